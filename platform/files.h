#pragma once
// Files of the base directory: where it is, paths built from it, whole-file
// reads, saves through a temporary file, and sorted wildcard listings.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The stored formats keep the base directory in 250 bytes (GBK).
inline constexpr std::size_t kMaxBaseDirBytes = 250;

// The process's working directory as the base directory. Fails with a
// message in `error` when it cannot be read or its GBK form is longer than
// kMaxBaseDirBytes (paths built from it would not fit the records).
std::optional<std::filesystem::path> CurrentBaseDirectory(std::string* error = nullptr);

// base / part / part ..., each part a UTF-8 folder or file name.
std::filesystem::path JoinPath(const std::filesystem::path& base,
                               std::initializer_list<std::string_view> parts);

// A path as stored in a record by this or another machine (UTF-8 already
// converted from GBK): backslashes become '/', and a drive letter ("C:") or a
// network share ("\\host") makes it a foreign path, reported through `foreign`.
std::filesystem::path NormaliseStoredPath(std::string_view stored, bool* foreign = nullptr);

// The file's bytes, or nullopt when it cannot be read. `max_bytes` bounds
// what is read (longer files are cut there).
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& p,
                                                       std::size_t max_bytes = SIZE_MAX);

// Writes to a temporary file in the same folder, flushes it and renames it
// over `p`. An existing `p` is replaced only when this process may write it
// (a read-only file, a folder or a device at `p` fails before anything is
// written); the new file keeps the old one's permissions, and its owner and
// group where this process may set them. On failure the old file is
// untouched, no temporary is left and `error` says why, as the user reads it
// ("无法写入 <file in the base directory>: <reason>", see error_text.h).
bool SaveFileAtomic(const std::filesystem::path& p, std::span<const std::uint8_t> bytes,
                    std::string* error = nullptr);

// Regular files of `dir` whose names match `pattern` ('*' and '?' wildcards,
// the extension after the last '.' compared case-insensitively), sorted by
// name (byte order of the UTF-8 names). "*" and "*.*" take every file. Hidden
// names (a leading '.') are never listed. A missing folder gives an empty list.
std::vector<std::filesystem::path> ListFiles(const std::filesystem::path& dir, std::string_view pattern);

// Sub-folders of `dir` (hidden ones left out), sorted by name.
std::vector<std::filesystem::path> ListFolders(const std::filesystem::path& dir);

// True for an existing regular file (or a link to one); false for folders.
bool FileExists(const std::filesystem::path& p);

// Writes all of `bytes` to an open descriptor, going on after interruptions
// and short writes. False on the first error (errno tells which).
bool WriteAllToFd(int fd, std::span<const std::uint8_t> bytes);

}  // namespace platform
