// libFuzzer target: the FTP settings file. A whole record always reads, every
// text is at most 36 GBK bytes of UTF-8 without control characters, and what
// was read writes and reads back unchanged; other sizes are refused. The file
// as the program reads it: anything shorter than a record is refused, and a
// longer one reads as its first 524 bytes.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

#include "platform/text.h"
#include "transfer/ftp_settings.h"

namespace fs = std::filesystem;

namespace {

// A folder beside the target's own files, reused from run to run.
const fs::path& WorkDir() {
    static const fs::path dir = [] {
        const fs::path d = fs::read_symlink("/proc/self/exe").parent_path() / "work" / "ftp_settings_files";
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

bool Bounded(const std::string& t) {
    if (platform::GbkLength(t) > transfer::kFtpTextBytes) return false;
    for (unsigned char c : t)
        if (c < 0x20 || c == 0x7F) return false;
    return !platform::Utf8ToGbk(t) || platform::Utf8ToGbk(t)->size() <= transfer::kFtpTextBytes;
}

bool Same(const transfer::FtpSettings& a, const transfer::FtpSettings& b) {
    return a.server == b.server && a.user == b.user && a.password == b.password && a.siteFolder == b.siteFolder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto read = transfer::DecodeFtpSettings(std::span(data, size));
    if (read.has_value() != (size == transfer::kFtpSettingsSize)) std::abort();
    if (read) {
        for (const std::string* t : {&read->server, &read->user, &read->password, &read->siteFolder})
            if (!Bounded(*t)) std::abort();
        const auto once = transfer::DecodeFtpSettings(transfer::EncodeFtpSettings(*read));
        const auto twice = transfer::DecodeFtpSettings(transfer::EncodeFtpSettings(*once));
        if (!once || !twice || !Same(*once, *twice)) std::abort();
    }
    // The input as the settings file.
    const fs::path file = transfer::FtpSettingsPath(WorkDir());
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    transfer::FtpSettings fromFile{"keep", "keep", "keep", "keep"};
    const int got = transfer::ReadFtpSettings(file, &fromFile);
    if (got != (size >= transfer::kFtpSettingsSize ? 1 : 0)) std::abort();
    if (got) {
        const auto head = transfer::DecodeFtpSettings(std::span(data, transfer::kFtpSettingsSize));
        if (!head || !Same(*head, fromFile)) std::abort();
    } else if (fromFile.server != "keep" || fromFile.siteFolder != "keep") {
        std::abort();
    }

    // The input as a text in every field: stored within its bounds.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const transfer::FtpSettings in{text, text, text, text};
    const auto back = transfer::DecodeFtpSettings(transfer::EncodeFtpSettings(in));
    if (!back) std::abort();
    for (const std::string* t : {&back->server, &back->user, &back->password, &back->siteFolder})
        if (!Bounded(*t)) std::abort();
    return 0;
}
