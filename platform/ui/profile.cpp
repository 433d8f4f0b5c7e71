#include "platform/ui/profile.h"

#include <wx/fileconf.h>
#include <wx/mstream.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/files.h"

namespace platform::ui {

bool SaveProfile(wxFileConfig& config, const std::filesystem::path& file, std::string* error) {
    wxMemoryOutputStream out;
    // Save() writes into the stream whatever the file's state and marks the
    // profile clean, so the toolkit does not write it again when it goes.
    if (!config.Save(out)) {
        if (error) *error = "cannot write the profile " + file.string();
        return false;
    }
    std::vector<std::uint8_t> bytes(out.GetLength());
    if (!bytes.empty()) out.CopyTo(bytes.data(), bytes.size());
    return platform::SaveFileAtomic(file, bytes, error);
}

void SaveProgramProfile(const char* appName) {
    auto* config = dynamic_cast<wxFileConfig*>(wxConfigBase::Get(false));
    if (!config) return;
    const std::filesystem::path file(wxFileConfig::GetLocalFileName(appName).utf8_string());
    std::string error;
    if (!SaveProfile(*config, file, &error)) std::fprintf(stderr, "最近文件列表无法保存: %s\n", error.c_str());
}

}  // namespace platform::ui
