#include "transfer/download_list.h"

#include "platform/text.h"
#include "shell/download_record.h"

namespace transfer {
namespace {

std::string_view Trim(std::string_view s) {
    constexpr std::string_view kBlanks = " \t\r\n\f\v";
    const std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

std::string Slot(std::string_view piece) {
    const std::string_view name = Trim(piece);
    return std::string(name.substr(0, platform::GbkCutLength(name, kMaxListedNameBytes)));
}

}  // namespace

std::vector<std::string> ParseFileList(std::string_view text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (names.size() < kMaxListedNames) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            std::string last = Slot(text.substr(start));
            if (!last.empty()) names.push_back(std::move(last));
            break;
        }
        names.push_back(Slot(text.substr(start, comma - start)));
        start = comma + 1;
    }
    return names;
}

std::string GetBaseUrl(std::string_view url) {
    const std::size_t slash = url.rfind('/');
    if (slash == std::string_view::npos || slash < 1) return std::string(url);
    return std::string(url.substr(0, slash));
}

std::string FileUrl(std::string_view baseUrl, std::string_view nameGbk) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string url(baseUrl);
    url += '/';
    for (char c : nameGbk) {
        const auto u = static_cast<unsigned char>(c);
        const bool plain = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' ||
                           u == '.' || u == '_' || u == '~';
        if (plain) {
            url += c;
        } else {
            url += '%';
            url += kHex[u >> 4];
            url += kHex[u & 15];
        }
    }
    return url;
}

std::optional<std::string> DownloadableName(std::string_view nameGbk) {
    if (nameGbk.size() > shell::DLoadRecord::kMaxFileNameBytes) return std::nullopt;
    auto name = shell::PlainFileNameFromGbk(nameGbk);
    // The download folder also holds the request record itself.
    if (name && *name == shell::kDownloadRecordName) return std::nullopt;
    return name;
}

}  // namespace transfer
