#pragma once
// The list page of the download host: file names separated by commas, and
// the addresses of the listed files beside it. Pure functions.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace transfer {

inline constexpr std::size_t kMaxListedNames = 101;  // name slots 0..100
inline constexpr std::size_t kMaxListedNameBytes = 106;

// The names of a list page, as GBK bytes. A comma ends a name; blanks and
// line breaks around a name are not part of it; a name keeps its first 106
// bytes (cut on a character boundary). Empty names between commas count; a
// last name without a comma behind it counts when it is not empty. At most
// 101 names are taken.
std::vector<std::string> ParseFileList(std::string_view text);

// The list page's address up to, not including, its last '/' (one found at
// position 1 or later); an address without one is its own base.
std::string GetBaseUrl(std::string_view url);

// "<base>/<name>" with the name's GBK bytes percent-encoded.
std::string FileUrl(std::string_view baseUrl, std::string_view nameGbk);

// A listed name as it may be downloaded: its UTF-8 form when it is a plain
// file name that fits the download record and is not the record itself,
// else nothing.
std::optional<std::string> DownloadableName(std::string_view nameGbk);

}  // namespace transfer
