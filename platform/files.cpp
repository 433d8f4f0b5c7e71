// Files of the base directory.
//
// Wildcard listings follow the rules the stored data were made with: '*' is
// any run of characters, '?' one character (a whole UTF-8 sequence), the part
// after the last '.' is compared without regard to ASCII case, and "*.*"
// takes every file, with or without a dot. Names starting with '.' are hidden
// files here (our own save temporaries among them) and are never listed.
//
// A save writes the whole new content into a temporary beside the file and,
// once that is on disk, renames it over the file. The file is the one the
// name leads to once its symbolic links are followed, so the temporary goes
// beside that file and the link is never replaced. A rename would give one
// name of a file with several a new file and leave the others with the old
// one, so such a file gets the content copied in place from the temporary
// instead (the old content kept aside until that worked, and put back if it
// did not). A temporary names the process that made it; one whose process is
// gone is what a killed save left, and the next save of that file removes it.
#include "platform/files.h"

#include "platform/save_guard.h"
#include "platform/error_text.h"
#include "platform/text.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace fs = std::filesystem;

namespace platform {
namespace {

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

namespace {

std::atomic<unsigned> g_saveCounter{0};

// The file a path names once its symbolic links are followed (a link's
// relative target is taken from the link's folder). A name that does not
// exist, or a link to a name that does not exist, gives that name: the save
// makes the file there.
bool FollowLinks(const fs::path& p, fs::path* out, int* err) {
    fs::path cur = p;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(cur.c_str(), &st) != 0) {
            if (errno == ENOENT) break;
            *err = errno;
            return false;
        }
        if (!S_ISLNK(st.st_mode)) break;
        std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(cur.c_str(), buf.data(), buf.size());
        if (n < 0) {
            *err = errno;
            return false;
        }
        if (static_cast<std::size_t>(n) >= buf.size()) {  // the link changed while it was read
            *err = ELOOP;
            return false;
        }
        const fs::path target(std::string(buf.data(), static_cast<std::size_t>(n)));
        cur = target.is_absolute() ? target : (cur.has_parent_path() ? cur.parent_path() : fs::path(".")) / target;
        if (hop == 39) {
            *err = ELOOP;
            return false;
        }
    }
    *out = cur;
    return true;
}

fs::path FolderOf(const fs::path& p) { return p.has_parent_path() ? p.parent_path() : fs::path("."); }

// A new temporary's name beside `file`: "." + name + tag + "<pid>-<n>", the
// shape RemoveStaleTemporaries knows.
fs::path TemporaryBeside(const fs::path& file, const char* tag) {
    return FolderOf(file) / ("." + file.filename().string() + tag + std::to_string(::getpid()) + "-" +
                             std::to_string(g_saveCounter.fetch_add(1)));
}

// Copies `src` (from its start) over `dst` from offset 0 and cuts `dst` to
// that length.
bool CopyOver(int src, int dst) {
    std::uint8_t buf[65536];
    off_t at = 0;
    for (;;) {
        const ssize_t n = ::pread(src, buf, sizeof buf, at);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::pwrite(dst, buf + done, static_cast<std::size_t>(n - done), at + done);
            if (w < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            done += w;
        }
        at += n;
    }
    return ::ftruncate(dst, at) == 0;
}

bool AllDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool AllAlnum(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

bool ProcessGone(std::string_view digits) {
    if (digits.size() > 9) return false;  // no pid this long: not ours to judge
    const long pid = std::stol(std::string(digits));
    if (pid <= 0 || pid == ::getpid()) return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace

int RemoveStaleTemporaries(const fs::path& file, std::string_view tag) {
    const std::string prefix = "." + file.filename().string() + std::string(tag);
    const fs::path dir = FolderOf(file);
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string_view rest = std::string_view(name).substr(prefix.size());
        const std::size_t dash = rest.find('-');
        bool stale = false;
        struct stat st {};
        if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (dash != std::string_view::npos) {
            stale = AllDigits(rest.substr(0, dash)) && AllDigits(rest.substr(dash + 1)) && ProcessGone(rest.substr(0, dash));
        } else if (rest.size() == 6 && AllAlnum(rest)) {
            // The older shape names no process: only what is long untouched.
            stale = st.st_mtime + 3600 < ::time(nullptr);
        }
        if (stale && ::unlink(it->path().c_str()) == 0) ++removed;
    }
    return removed;
}

FileSave::FileSave(fs::path p) : FileSave(std::move(p), Options{}) {}

FileSave::FileSave(fs::path p, Options options) : m_path(std::move(p)), m_options(options) {}

FileSave::~FileSave() { Abandon(); }

void FileSave::Abandon() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    if (!m_temp.empty()) ::unlink(m_temp.c_str());
    m_temp.clear();
    m_guard.reset();
}

bool FileSave::Begin(std::string* error) {
    Abandon();
    if (m_options.guarded) m_guard.emplace();
    int err = 0;
    if (!FollowLinks(m_path, &m_file, &err)) {
        if (error) *error = FileErrorText("无法写入", m_path, err);
        return false;
    }

    // What stands at the target decides first. A rename would put the new
    // file in place of anything, a file made read-only included, so a target
    // this process could not open for writing is left alone, and so is a
    // folder or anything else that is not a plain file.
    struct stat old {};
    bool replacing = false;
    if (::stat(m_file.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode)) {
            if (error) *error = FileErrorText("无法写入", m_path, EISDIR);
            return false;
        }
        if (!S_ISREG(old.st_mode)) {
            if (error) *error = "无法写入 " + UserPath(m_path) + ": " + std::string(kNotAFileReason);
            return false;
        }
        if (::faccessat(AT_FDCWD, m_file.c_str(), W_OK, AT_EACCESS) != 0) {
            if (error) *error = FileErrorText("无法写入", m_path, errno);
            return false;
        }
        replacing = true;
    } else if (errno != ENOENT) {
        if (error) *error = FileErrorText("无法写入", m_path, errno);
        return false;
    }

    // Those of the file, and those a save of the name left before it became
    // a link.
    RemoveStaleTemporaries(m_file, m_options.tag);
    if (m_file != m_path) RemoveStaleTemporaries(m_path, m_options.tag);

    const mode_t createMode = m_options.privateNewFile ? 0600 : 0666;
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_temp = TemporaryBeside(m_file, m_options.tag);
        m_fd = ::open(m_temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, createMode);
        if (m_fd < 0 && errno != EEXIST) break;
    }
    if (m_fd < 0) {
        const int e = errno;
        m_temp.clear();
        if (error) *error = FileErrorText("无法写入", m_path, e);
        return false;
    }

    // A replaced file keeps its owner and group where this process may give
    // them (the group alone when only that is allowed), and its permissions;
    // set-id bits only together with the owner.
    if (replacing) {
        mode_t mode = old.st_mode & 07777;
        if (::fchown(m_fd, old.st_uid, old.st_gid) != 0) {
            mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
            const bool groupKept = ::fchown(m_fd, static_cast<uid_t>(-1), old.st_gid) == 0;
            static_cast<void>(groupKept);  // otherwise it has this process's group
        }
        ::fchmod(m_fd, mode);
    } else if (m_options.privateNewFile) {
        ::fchmod(m_fd, 0600);
    }
    return true;
}

bool FileSave::Commit(std::string* error) {
    if (m_fd < 0) {
        if (error) *error = "无法写入 " + UserPath(m_path);
        return false;
    }
    auto fail = [&](const char* what, int err) {
        Abandon();
        if (error) *error = FileErrorText(what, m_path, err);
        return false;
    };
    if (!m_guard) m_guard.emplace();  // replacing the file is never cut off half way
    if (m_options.flush && ::fsync(m_fd) != 0) return fail("无法写入", errno);

    // A file with more than one name: a rename would give this name a new
    // file and leave the others with the old one. The new content, whole on
    // disk in the temporary, is copied over the file itself instead; a copy
    // of the old content is kept until that has worked and put back if it
    // has not.
    struct stat now {};
    if (::lstat(m_file.c_str(), &now) == 0 && S_ISREG(now.st_mode) && now.st_nlink > 1) {
        const int target = ::open(m_file.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        if (target < 0) return fail("无法写入", errno);
        struct stat opened {};
        if (::fstat(target, &opened) != 0 || opened.st_ino != now.st_ino || opened.st_dev != now.st_dev) {
            ::close(target);
            return fail("无法写入", EAGAIN);
        }
        const fs::path keptPath = TemporaryBeside(m_file, m_options.tag);
        const int kept = ::open(keptPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (kept < 0) {
            const int e = errno;
            ::close(target);
            return fail("无法写入", e);
        }
        bool ok = CopyOver(target, kept) && ::fsync(kept) == 0;
        int err = ok ? 0 : errno;
        const char* what = "无法写入";
        if (ok) {
            ok = CopyOver(m_fd, target) && ::fsync(target) == 0;
            if (!ok) {
                err = errno;
                what = "无法写入";
                // Put the old content back; the old length needs no new room.
                if (CopyOver(kept, target)) ::fsync(target);
            }
        }
        const bool closed = ::close(target) == 0;
        if (ok && !closed) {
            ok = false;
            err = errno;
            what = "无法写入";
        }
        ::close(kept);
        ::unlink(keptPath.c_str());
        if (!ok) return fail(what, err);
        Abandon();
        return true;
    }

    const int closed = ::close(m_fd);
    m_fd = -1;
    if (closed != 0) return fail("无法写入", errno);
    if (::rename(m_temp.c_str(), m_file.c_str()) != 0) return fail("无法写入", errno);
    m_temp.clear();

    const int dfd = ::open(FolderOf(m_file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    m_guard.reset();
    return true;
}

bool SaveFileAtomic(const fs::path& p, std::span<const std::uint8_t> bytes, std::string* error) {
    FileSave save(p);
    if (!save.Begin(error)) return false;
    if (!WriteAllToFd(save.fd(), bytes)) {
        const int err = errno;
        save.Abandon();
        if (error) *error = FileErrorText("无法写入", p, err);
        return false;
    }
    return save.Commit(error);
}

bool SaveCopyOfFile(const fs::path& from, const fs::path& to, std::string* error) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (in < 0 || ::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = in < 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
        if (in >= 0) ::close(in);
        if (error) {
            *error = err ? FileErrorText("无法读取", from, err, FileAccess::Read)
                         : "无法读取 " + UserPath(from) + ": " + std::string(kNotAFileReason);
        }
        return false;
    }
    // No flush of its own: the source stays where it was.
    FileSave::Options options;
    options.flush = false;
    FileSave save(to, options);
    bool ok = save.Begin(error);
    if (ok && !CopyOver(in, save.fd())) {
        const int err = errno;
        ok = false;
        if (error) *error = FileErrorText("无法写入", to, err);
    }
    ::close(in);
    if (!ok) return false;
    return save.Commit(error);
}

std::vector<fs::path> ListFiles(const fs::path& dir, std::string_view pattern) {
    return List(dir, [pattern](const fs::directory_entry& e, const std::string& name) {
        std::error_code ec;
        return e.is_regular_file(ec) && MatchName(pattern, name);
    });
}

std::string CaseBlindWildcard(const std::string& label, const std::string& patterns) {
    std::string out = label + "|";
    for (char c : patterns) {
        if (c >= 'a' && c <= 'z') {
            out += '[';
            out += c;
            out += static_cast<char>(c - 'a' + 'A');
            out += ']';
        } else if (c >= 'A' && c <= 'Z') {
            out += '[';
            out += static_cast<char>(c - 'A' + 'a');
            out += c;
            out += ']';
        } else {
            out += c;
        }
    }
    return out;
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
