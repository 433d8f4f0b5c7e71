// Files of the base directory.
//
// Wildcard listings follow the rules the stored data were made with: '*' is
// any run of characters, '?' one character (a whole UTF-8 sequence), the part
// after the last '.' is compared without regard to ASCII case, and "*.*"
// takes every file, with or without a dot. Names starting with '.' are hidden
// files here (our own save temporaries among them) and are never listed.
#include "platform/files.h"

#include "platform/error_text.h"
#include "platform/text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

namespace fs = std::filesystem;

namespace platform {
namespace {

// What the user reads when a save fails: the file by its name in the base
// directory and the reason in words.
std::string ErrnoText(const char* what, const fs::path& p, int err) { return FileErrorText(what, p, err); }

// One character of a name: a complete UTF-8 sequence, or a stray byte.
std::vector<std::string_view> SplitChars(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
        if (i + n > s.size()) n = 1;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) n = 1;
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

bool SameChar(std::string_view a, std::string_view b, bool fold) {
    if (a.size() != b.size()) return false;
    if (!fold || a.size() != 1) return a == b;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(a[0]) == lower(b[0]);
}

// Classic '*' / '?' matching with one backtrack point.
bool WildMatch(std::string_view pattern, std::string_view name, bool fold) {
    const auto p = SplitChars(pattern);
    const auto n = SplitChars(name);
    std::size_t pi = 0, ni = 0, star = std::string_view::npos, mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == "*") {
            star = pi++;
            mark = ni;
        } else if (pi < p.size() && (p[pi] == "?" || SameChar(p[pi], n[ni], fold))) {
            ++pi;
            ++ni;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            ni = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == "*") ++pi;
    return pi == p.size();
}

bool MatchName(std::string_view pattern, std::string_view name) {
    if (pattern == "*" || pattern == "*.*") return true;
    const std::size_t pdot = pattern.rfind('.');
    if (pdot == std::string_view::npos) return WildMatch(pattern, name, false);
    const std::string_view pstem = pattern.substr(0, pdot);
    const std::string_view pext = pattern.substr(pdot + 1);
    const std::size_t ndot = name.rfind('.');
    if (ndot == std::string_view::npos)  // "name.*" also takes "name"
        return pext.find_first_not_of('*') == std::string_view::npos && WildMatch(pstem, name, false);
    return WildMatch(pstem, name.substr(0, ndot), false) && WildMatch(pext, name.substr(ndot + 1), true);
}

bool Hidden(const fs::path& name) {
    const std::string s = name.string();
    return s.empty() || s[0] == '.';
}

template <typename Keep>
std::vector<fs::path> List(const fs::path& dir, Keep keep) {
    std::vector<std::pair<std::string, fs::path>> found;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path name = it->path().filename();
        if (Hidden(name) || !keep(*it, name.string())) continue;
        found.emplace_back(name.string(), it->path());
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<fs::path> out;
    out.reserve(found.size());
    for (auto& f : found) out.push_back(std::move(f.second));
    return out;
}


}  // namespace

bool WriteAllToFd(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<fs::path> CurrentBaseDirectory(std::string* error) {
    std::error_code ec;
    fs::path cwd = fs::current_path(ec);
    if (ec) {
        if (error) *error = "无法读取当前目录: " + ErrorReason(ec, FileAccess::Read);
        return std::nullopt;
    }
    const std::string text = cwd.string();
    const std::optional<std::string> gbk = Utf8ToGbk(text);
    if (!gbk) {
        if (error) *error = "当前目录的路径含有无法保存的字符: " + text;
        return std::nullopt;
    }
    if (gbk->size() > kMaxBaseDirBytes) {
        if (error)
            *error = "当前目录的路径太长 (" + std::to_string(gbk->size()) + " 字节, 最多 " +
                     std::to_string(kMaxBaseDirBytes) + " 字节): " + text;
        return std::nullopt;
    }
    return cwd;
}

fs::path JoinPath(const fs::path& base, std::initializer_list<std::string_view> parts) {
    fs::path p = base;
    for (std::string_view part : parts) p /= fs::path(std::string(part));
    return p;
}

fs::path NormaliseStoredPath(std::string_view stored, bool* foreign) {
    std::string s(stored);
    std::replace(s.begin(), s.end(), '\\', '/');
    const bool drive = s.size() >= 2 && s[1] == ':' &&
                       ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'));
    const bool unc = s.size() >= 2 && s[0] == '/' && s[1] == '/';
    if (foreign) *foreign = drive || unc;
    return fs::path(s);
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const fs::path& p, std::size_t max_bytes) {
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::vector<std::uint8_t> out;
    out.reserve(std::min<std::size_t>(max_bytes, static_cast<std::size_t>(st.st_size)));
    std::uint8_t buf[65536];
    while (out.size() < max_bytes) {
        const std::size_t want = std::min(sizeof buf, max_bytes - out.size());
        const ssize_t n = ::read(fd, buf, want);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        out.insert(out.end(), buf, buf + n);
    }
    ::close(fd);
    return out;
}

bool SaveFileAtomic(const fs::path& p, std::span<const std::uint8_t> bytes, std::string* error) {
    static std::atomic<unsigned> counter{0};
    const fs::path dir = p.has_parent_path() ? p.parent_path() : fs::path(".");

    // What stands at the target decides first. A rename would put the new
    // file in place of anything, a file made read-only included, so a target
    // this process could not open for writing is left alone, and so is a
    // folder or anything else that is not a plain file.
    struct stat old {};
    bool replacing = false;
    if (::stat(p.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode)) {
            if (error) *error = ErrnoText("无法写入", p, EISDIR);
            return false;
        }
        if (!S_ISREG(old.st_mode)) {
            if (error) *error = "无法写入 " + UserPath(p) + ": " + std::string(kNotAFileReason);
            return false;
        }
        if (::faccessat(AT_FDCWD, p.c_str(), W_OK, AT_EACCESS) != 0) {
            if (error) *error = ErrnoText("无法写入", p, errno);
            return false;
        }
        replacing = true;
    } else if (errno != ENOENT) {
        if (error) *error = ErrnoText("无法写入", p, errno);
        return false;
    }

    const std::string base = "." + p.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-";
    fs::path tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = dir / (base + std::to_string(counter.fetch_add(1)));
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        if (error) *error = ErrnoText("无法写入", p, errno);
        return false;
    }

    auto fail = [&](const char* what) {
        const int err = errno;
        if (fd >= 0) ::close(fd);
        ::unlink(tmp.c_str());
        if (error) *error = ErrnoText(what, p, err);
        return false;
    };

    // A replaced file keeps its owner and group where this process may give
    // them (the group alone when only that is allowed), and its permissions;
    // set-id bits only together with the owner.
    if (replacing) {
        mode_t mode = old.st_mode & 07777;
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
            const bool groupKept = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
            static_cast<void>(groupKept);  // otherwise it has this process's group
        }
        ::fchmod(fd, mode);
    }

    if (!WriteAllToFd(fd, bytes)) return fail("无法写入");
    if (::fsync(fd) != 0) return fail("无法写入");
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return fail("无法写入");
    if (::rename(tmp.c_str(), p.c_str()) != 0) return fail("无法写入");

    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

std::vector<fs::path> ListFiles(const fs::path& dir, std::string_view pattern) {
    return List(dir, [pattern](const fs::directory_entry& e, const std::string& name) {
        std::error_code ec;
        return e.is_regular_file(ec) && MatchName(pattern, name);
    });
}

std::vector<fs::path> ListFolders(const fs::path& dir) {
    return List(dir, [](const fs::directory_entry& e, const std::string&) {
        std::error_code ec;
        return e.is_directory(ec);
    });
}

bool FileExists(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

}  // namespace platform
