#pragma once
// The programs' profile (the recent-file list), a wxFileConfig in the user's
// home folder, written through the suite's one save when the program ends.
#include <filesystem>
#include <string>

class wxFileConfig;

namespace platform::ui {

// Writes what `config` holds to `file` (the file it was read from) through
// platform::SaveFileAtomic: a link is written through, a read-only file is
// kept. The toolkit's own writer, which would rename a temporary over the
// file, is left nothing to do. False with `error` set when it failed.
bool SaveProfile(wxFileConfig& config, const std::filesystem::path& file, std::string* error = nullptr);

// The profile of the program `appName` as made with wxFileConfig(appName, ...)
// and set as the current wxConfigBase: saved as above; a failure is told on
// the standard error (the program is ending, nothing can be asked).
void SaveProgramProfile(const char* appName);

}  // namespace platform::ui
