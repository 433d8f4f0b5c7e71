// libFuzzer target: a server's LIST reply as the transfer program reads it,
// and the names of upload temporaries. Every entry has a name that can be
// asked for again (not empty, no '/', no NUL, not "." or "..") and a UTF-8
// form to show; the dialog's rows are the entries without the upload
// temporaries; a name is a temporary of a package only when it is a
// temporary at all, and the name an upload makes for a package is one of
// that package's.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ftp.h"
#include "transfer/tranzel_core.h"

namespace {

bool Utf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        if ((c & 0xE0) == 0xC0)
            extra = 1;
        else if ((c & 0xF0) == 0xE0)
            extra = 2;
        else if ((c & 0xF8) == 0xF0)
            extra = 3;
        else if (c >= 0x80)
            return false;
        if (i + extra >= s.size() && extra > 0) return false;
        for (std::size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

// The temporary-name rules for one name.
void CheckName(std::string_view name, std::uint32_t tag) {
    if (platform::IsUploadTemporaryOf(name, "x") && !platform::IsUploadTemporary(name)) std::abort();
    // Names short enough to be kept whole in their temporaries' names.
    if (name.empty() || name.size() >= 200) return;
    const std::string made = platform::UploadTemporaryName(name, tag);
    if (!platform::IsUploadTemporary(made) || !platform::IsUploadTemporaryOf(made, name)) std::abort();
    if (platform::IsUploadTemporaryOf(made, std::string(name) + "x")) std::abort();
    if (name.size() > 1 && platform::IsUploadTemporaryOf(made, name.substr(1))) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const auto entries = platform::ParseFtpList(reply);
    std::size_t temporaries = 0;
    for (const auto& e : entries) {
        if (e.name.empty() || e.name == "." || e.name == ".." || e.name.find('/') != std::string::npos ||
            e.name.find('\0') != std::string::npos || e.name.size() > size)
            std::abort();
        if (!Utf8(e.display)) std::abort();
        if (!e.folder && platform::IsUploadTemporary(e.name)) ++temporaries;
        CheckName(e.name, static_cast<std::uint32_t>(size * 2654435761u));
    }
    const auto rows = transfer::RemoteRows(entries);
    if (rows.size() != entries.size() - temporaries) std::abort();
    for (const auto& row : rows) {
        if (!row.folder && platform::IsUploadTemporary(row.name)) std::abort();
        if (row.folder && (row.text.size() < 2 || row.text.front() != '[' || row.text.back() != ']')) std::abort();
    }
    // The whole input as one name, and as a server text.
    CheckName(reply, 0);
    platform::ValidFtpServer(reply);
    return 0;
}
