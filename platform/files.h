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

#include "platform/save_guard.h"

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

// One save of one file, for writers that produce the bytes as they go.
// Begin() checks what stands at the target, removes the temporaries that
// earlier saves of the same file left behind (those of processes that are
// gone) and opens a new temporary beside the file; the writer writes the
// whole new content to fd() (it may seek); Commit() puts it in place.
// A target that is a symbolic link is saved as the file the link names (the
// link stays); a file with several names is written in place, so every name
// reads what was saved. Destroying an uncommitted save removes its
// temporary and leaves the file as it was. One thread uses a save.
class FileSave {
public:
    struct Options {
        // Temporaries are named "." + file name + tag + "<pid>-<n>".
        const char* tag = ".tmp-";
        // A new file gets mode 0600 whatever the umask (a file that exists
        // keeps its own mode).
        bool privateNewFile = false;
        // Flush the new content to the disk before it replaces the file
        // (a large download may leave that to the system).
        bool flush = true;
        // The process is not ended while the save runs (see SaveGuard). A
        // download, which may run long, is guarded only while it replaces
        // the file.
        bool guarded = true;
    };

    explicit FileSave(std::filesystem::path p);
    FileSave(std::filesystem::path p, Options options);
    ~FileSave();
    FileSave(const FileSave&) = delete;
    FileSave& operator=(const FileSave&) = delete;

    // An existing target is replaced only when this process may write it (a
    // read-only file, a folder or a device fails here, before anything is
    // written). False with `error` set when the save cannot start.
    bool Begin(std::string* error = nullptr);
    int fd() const { return m_fd; }
    // Flushes the temporary and puts it in place. On failure the old file is
    // whole, no temporary is left and `error` says why.
    bool Commit(std::string* error = nullptr);
    // Removes the temporary; the file stays as it was.
    void Abandon();

    // The file the save writes: the target with its links followed.
    const std::filesystem::path& file() const { return m_file; }

private:
    std::filesystem::path m_path;
    Options m_options;
    std::filesystem::path m_file;
    std::filesystem::path m_temp;
    int m_fd = -1;
    std::optional<SaveGuard> m_guard;
};

// The whole of `bytes` through one FileSave: the new file keeps the old
// one's permissions, and its owner and group where this process may set
// them; links are written through as FileSave says. On failure the old file
// is untouched, no temporary is left and `error` says why, as the user reads it
// ("无法写入 <file in the base directory>: <reason>", see error_text.h).
bool SaveFileAtomic(const std::filesystem::path& p, std::span<const std::uint8_t> bytes,
                    std::string* error = nullptr);

// The bytes of the file `from` saved as `to` through one FileSave (a copy
// that replaces `to` whole, or leaves it as it was; not flushed, as the
// source stays). False with `error` set
// when `from` cannot be read or `to` cannot be saved.
bool SaveCopyOfFile(const std::filesystem::path& from, const std::filesystem::path& to,
                    std::string* error = nullptr);

// Removes the temporaries "." + name + tag + "<pid>-<n>" of `file` in its
// folder whose process is gone (never this process's, never another file's),
// and those of the older shape "." + name + tag + six letters or digits when
// they are more than an hour old. Called by FileSave::Begin; the number removed.
int RemoveStaleTemporaries(const std::filesystem::path& file, std::string_view tag);

// Regular files of `dir` whose names match `pattern` ('*' and '?' wildcards,
// the extension after the last '.' compared case-insensitively), sorted by
// name (byte order of the UTF-8 names). "*" and "*.*" take every file. Hidden
// names (a leading '.') are never listed. A missing folder gives an empty list.
std::vector<std::filesystem::path> ListFiles(const std::filesystem::path& dir, std::string_view pattern);

// A file dialog filter "label|patterns" whose patterns ("*.png;*.bmp") match
// without regard to case, as the listings above do: each letter becomes a
// bracket of both cases ("*.[pP][nN][gG]"), so that a camera's "A1.JPG" is
// listed beside "a2.jpg".
std::string CaseBlindWildcard(const std::string& label, const std::string& patterns);

// Sub-folders of `dir` (hidden ones left out), sorted by name.
std::vector<std::filesystem::path> ListFolders(const std::filesystem::path& dir);

// True for an existing regular file (or a link to one); false for folders.
bool FileExists(const std::filesystem::path& p);

// Writes all of `bytes` to an open descriptor, going on after interruptions
// and short writes. False on the first error (errno tells which).
bool WriteAllToFd(int fd, std::span<const std::uint8_t> bytes);

}  // namespace platform
