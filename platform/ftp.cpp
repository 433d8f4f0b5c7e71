// FTP over libcurl.
//
// A URL is built from the server text and the remote path, with every path
// segment percent-encoded from its bytes, so a name reaches the server
// exactly as given (curl changes into each folder, then sends the name).
// The user and password travel through their own options, never in the URL.
// curl's own error text is kept as the message; it names hosts and replies,
// never the password.
#include "platform/ftp.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <system_error>

#include "platform/net.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

constexpr long kBufferBytes = 512 * 1024;
constexpr long kUploadBufferBytes = 2 * 1024 * 1024;

std::string Cut255(std::string s) {
    if (s.size() > 255) s.resize(255);
    return s;
}

bool IsUnreserved(unsigned char c) {
    return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

std::string EncodeSegment(std::string_view seg) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : seg) {
        if (IsUnreserved(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// "ftp://server/" + encoded segments; a folder URL ends with '/'.
std::string BuildUrl(std::string_view server, std::string_view path, bool folder) {
    std::string url = "ftp://" + std::string(server) + "/";
    std::size_t start = 0;
    bool first = true;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view seg = path.substr(start, end - start);
        if (!seg.empty()) {
            if (!first) url += '/';
            url += EncodeSegment(seg);
            first = false;
        }
        start = end + 1;
    }
    if (folder && !first) url += '/';
    return url;
}

struct Call {
    const FtpSite* site = nullptr;
    std::int64_t total = -1;
};

int ProgressHook(void* p, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal, curl_off_t ulnow) {
    auto* call = static_cast<Call*>(p);
    if (call->site->cancel && call->site->cancel->load()) return 1;
    if (call->site->progress) {
        const bool up = ultotal > 0 || ulnow > 0;
        const curl_off_t now = up ? ulnow : dlnow;
        std::int64_t total = call->total;
        if (total < 0) total = up ? (ultotal > 0 ? ultotal : -1) : (dltotal > 0 ? dltotal : -1);
        call->site->progress(static_cast<std::uint64_t>(now), total);
    }
    return 0;
}

FtpOutcome OutcomeOf(CURLcode rc, long reply, bool upload) {
    switch (rc) {
        case CURLE_OK: return FtpOutcome::Ok;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
        case CURLE_FTP_WEIRD_SERVER_REPLY:
            return FtpOutcome::CannotConnect;
        case CURLE_OPERATION_TIMEDOUT: return reply == 0 ? FtpOutcome::CannotConnect : FtpOutcome::TimedOut;
        case CURLE_LOGIN_DENIED: return FtpOutcome::LoginDenied;
        case CURLE_REMOTE_FILE_NOT_FOUND:
        case CURLE_REMOTE_ACCESS_DENIED:
            // curl reports a folder it cannot enter as access denied.
            return FtpOutcome::RemoteMissing;
        case CURLE_UPLOAD_FAILED:
        case CURLE_REMOTE_DISK_FULL:
        case CURLE_QUOTE_ERROR:
            return FtpOutcome::RemoteRefused;
        case CURLE_FTP_COULDNT_RETR_FILE:
            return reply == 550 ? FtpOutcome::RemoteMissing : FtpOutcome::RemoteRefused;
        case CURLE_ABORTED_BY_CALLBACK: return FtpOutcome::Cancelled;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_FTP_ACCEPT_FAILED:
        case CURLE_FTP_CANT_GET_HOST:
        case CURLE_FTP_WEIRD_PASV_REPLY:
        case CURLE_FTP_WEIRD_227_FORMAT:
            return FtpOutcome::Dropped;
        case CURLE_READ_ERROR: return upload ? FtpOutcome::LocalFileError : FtpOutcome::Failed;
        case CURLE_WRITE_ERROR: return upload ? FtpOutcome::Failed : FtpOutcome::LocalFileError;
        default: return FtpOutcome::Failed;
    }
}

// One easy handle set up for the site; the caller adds what its operation needs.
class Session {
public:
    explicit Session(const FtpSite& site) : m_site(site) {
        InitNetwork();
        m_curl = curl_easy_init();
        m_call.site = &site;
        if (!m_curl) return;
        curl_easy_setopt(m_curl, CURLOPT_ERRORBUFFER, m_error);
        curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(m_curl, CURLOPT_PROTOCOLS_STR, "ftp");
        curl_easy_setopt(m_curl, CURLOPT_USERNAME, site.user.c_str());
        curl_easy_setopt(m_curl, CURLOPT_PASSWORD, site.password.c_str());
        curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT, site.connectTimeoutSeconds);
        curl_easy_setopt(m_curl, CURLOPT_FTP_RESPONSE_TIMEOUT, site.connectTimeoutSeconds + site.lowSpeedSeconds);
        curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_LIMIT, site.lowSpeedBytesPerSecond);
        curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_TIME, site.lowSpeedSeconds);
        curl_easy_setopt(m_curl, CURLOPT_FTP_USE_EPSV, 1L);  // passive: EPSV first, then PASV
        curl_easy_setopt(m_curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_MULTICWD));
        curl_easy_setopt(m_curl, CURLOPT_BUFFERSIZE, kBufferBytes);
        curl_easy_setopt(m_curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(m_curl, CURLOPT_XFERINFOFUNCTION, &ProgressHook);
        curl_easy_setopt(m_curl, CURLOPT_XFERINFODATA, &m_call);
    }
    ~Session() {
        if (m_curl) curl_easy_cleanup(m_curl);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    CURL* curl() const { return m_curl; }
    Call& call() { return m_call; }
    CURLcode code() const { return m_code; }  // of the last Run

    FtpResult Run(const std::string& url, bool upload) {
        FtpResult r;
        if (!m_curl) {
            r.message = "the FTP library could not start";
            return r;
        }
        curl_easy_setopt(m_curl, CURLOPT_URL, url.c_str());
        const CURLcode rc = curl_easy_perform(m_curl);
        m_code = rc;
        curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &r.reply);
        curl_off_t moved = 0;
        curl_easy_getinfo(m_curl, upload ? CURLINFO_SIZE_UPLOAD_T : CURLINFO_SIZE_DOWNLOAD_T, &moved);
        r.bytes = static_cast<std::uint64_t>(moved);
        r.outcome = OutcomeOf(rc, r.reply, upload);
        if (rc != CURLE_OK) r.message = Cut255(m_error[0] ? m_error : curl_easy_strerror(rc));
        return r;
    }

private:
    const FtpSite& m_site;
    CURL* m_curl = nullptr;
    CURLcode m_code = CURLE_OK;
    Call m_call;
    char m_error[CURL_ERROR_SIZE] = {};
};

FtpResult Refuse(FtpOutcome outcome, std::string message) {
    FtpResult r;
    r.outcome = outcome;
    r.message = Cut255(std::move(message));
    return r;
}

size_t AppendText(char* data, size_t size, size_t n, void* out) {
    auto* text = static_cast<std::string*>(out);
    if (text->size() > (64u << 20)) return 0;  // no listing is this long
    text->append(data, size * n);
    return size * n;
}

size_t WriteFd(char* data, size_t size, size_t n, void* p) {
    const int fd = *static_cast<int*>(p);
    const std::size_t len = size * n;
    std::size_t done = 0;
    while (done < len) {
        const ssize_t w = ::write(fd, data + done, len - done);
        if (w < 0) {
            if (errno == EINTR) continue;
            return 0;
        }
        done += static_cast<std::size_t>(w);
    }
    return len;
}

// The local file as it was measured when the upload began: never more than
// that many bytes, and a file that ends sooner or cannot be read aborts the
// upload, so what arrives under the temporary name is whole or is never
// renamed.
struct UploadSource {
    int fd = -1;
    std::uint64_t left = 0;
    std::string failed;  // why the file could not be sent whole; empty while it reads
};

size_t ReadFd(char* data, size_t size, size_t n, void* p) {
    auto* src = static_cast<UploadSource*>(p);
    if (src->left == 0) return 0;
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size * n, src->left));
    for (;;) {
        const ssize_t r = ::read(src->fd, data, want);
        if (r > 0) {
            src->left -= static_cast<std::uint64_t>(r);
            return static_cast<size_t>(r);
        }
        if (r == 0) {
            src->failed = "the file got shorter while it was sent";
            return CURL_READFUNC_ABORT;
        }
        if (errno != EINTR) {
            src->failed = "cannot read the file: " + std::generic_category().message(errno);
            return CURL_READFUNC_ABORT;
        }
    }
}

std::vector<std::string_view> SplitFields(std::string_view line, int count, std::string_view* rest) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (static_cast<int>(out.size()) < count) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t') ++j;
        out.push_back(line.substr(i, j - i));
        i = j;
    }
    // One separator blank before the name; further blanks belong to it.
    if (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    *rest = i < line.size() ? line.substr(i) : std::string_view{};
    return out;
}

bool AllDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::uint64_t ToU64(std::string_view s) {
    std::uint64_t v = 0;
    for (char c : s) {
        if (v > (UINT64_MAX - 9) / 10) return UINT64_MAX;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    return v;
}

bool ValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size()) return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80) return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::optional<FtpEntry> ParseUnixLine(std::string_view line) {
    // perms links owner group size month day time-or-year name
    std::string_view name;
    auto f = SplitFields(line, 8, &name);
    if (f.size() == 8 && AllDigits(f[4]) && !name.empty()) {
        FtpEntry e;
        e.folder = f[0][0] == 'd';
        if (f[0][0] == 'l') {
            const auto arrow = name.find(" -> ");
            if (arrow != std::string_view::npos) name = name.substr(0, arrow);
        }
        e.name = std::string(name);
        e.size = ToU64(f[4]);
        return e;
    }
    // Some servers leave out the group: perms links owner size month day time name
    f = SplitFields(line, 7, &name);
    if (f.size() == 7 && AllDigits(f[3]) && !name.empty()) {
        FtpEntry e;
        e.folder = f[0][0] == 'd';
        e.name = std::string(name);
        e.size = ToU64(f[3]);
        return e;
    }
    return std::nullopt;
}

std::optional<FtpEntry> ParseDosLine(std::string_view line) {
    // 01-31-10  09:12PM  <DIR>  name   |   01-31-10  09:12PM  1234 name
    std::string_view name;
    auto f = SplitFields(line, 3, &name);
    if (f.size() != 3 || name.empty()) return std::nullopt;
    if (f[0].size() < 8 || !std::isdigit(static_cast<unsigned char>(f[0][0])) || f[0].find('-') == std::string_view::npos)
        return std::nullopt;
    if (f[1].find(':') == std::string_view::npos) return std::nullopt;
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    FtpEntry e;
    if (f[2] == "<DIR>") {
        e.folder = true;
    } else if (AllDigits(f[2])) {
        e.size = ToU64(f[2]);
    } else {
        return std::nullopt;
    }
    e.name = std::string(name);
    return e;
}

}  // namespace

const char* FtpOutcomeName(FtpOutcome outcome) {
    switch (outcome) {
        case FtpOutcome::Ok: return "ok";
        case FtpOutcome::BadServer: return "bad server";
        case FtpOutcome::CannotConnect: return "cannot connect";
        case FtpOutcome::LoginDenied: return "login denied";
        case FtpOutcome::RemoteMissing: return "remote missing";
        case FtpOutcome::RemoteRefused: return "remote refused";
        case FtpOutcome::Dropped: return "dropped";
        case FtpOutcome::TimedOut: return "timed out";
        case FtpOutcome::Cancelled: return "cancelled";
        case FtpOutcome::LocalFileError: return "local file error";
        case FtpOutcome::Failed: return "failed";
    }
    return "failed";
}

std::vector<FtpEntry> ParseFtpList(std::string_view reply) {
    std::vector<FtpEntry> out;
    std::size_t start = 0;
    while (start < reply.size()) {
        std::size_t end = reply.find('\n', start);
        if (end == std::string_view::npos) end = reply.size();
        std::string_view line = reply.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        std::optional<FtpEntry> e;
        const char kind = line[0];
        if (std::strchr("-dlbcps", kind) && line.size() >= 10) e = ParseUnixLine(line);
        if (!e) e = ParseDosLine(line);
        if (!e || e->name == "." || e->name == ".." || e->name.find('/') != std::string::npos ||
            e->name.find('\0') != std::string::npos)
            continue;
        e->display = ValidUtf8(e->name) ? e->name : GbkToUtf8(e->name);
        out.push_back(std::move(*e));
    }
    return out;
}

bool ValidFtpServer(std::string_view server) {
    if (server.empty() || server.size() > 255) return false;
    std::string_view host = server;
    std::string_view port;
    if (host.front() == '[') {
        const auto close = host.find(']');
        if (close == std::string_view::npos || close < 3) return false;
        for (char c : host.substr(1, close - 1))
            if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.') return false;
        const std::string_view after = host.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') return false;
            port = after.substr(1);
            if (port.empty()) return false;
        }
    } else {
        const auto colon = host.find(':');
        if (colon != std::string_view::npos) {
            port = host.substr(colon + 1);
            host = host.substr(0, colon);
            if (port.empty()) return false;
        }
        if (host.empty() || host.front() == '.' || host.front() == '-') return false;
        for (char c : host)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-') return false;
    }
    if (!port.empty()) {
        if (!AllDigits(port) || port.size() > 5) return false;
        const auto p = ToU64(port);
        if (p < 1 || p > 65535) return false;
    }
    return true;
}

FtpResult FtpList(const FtpSite& site, std::string_view folder, std::vector<FtpEntry>* entries) {
    entries->clear();
    if (!ValidFtpServer(site.server)) return Refuse(FtpOutcome::BadServer, "not a server name: " + site.server);
    Session s(site);
    std::string text;
    if (s.curl()) {
        curl_easy_setopt(s.curl(), CURLOPT_WRITEFUNCTION, &AppendText);
        curl_easy_setopt(s.curl(), CURLOPT_WRITEDATA, &text);
    }
    FtpResult r = s.Run(BuildUrl(site.server, folder, true), false);
    if (r.ok()) *entries = ParseFtpList(text);
    return r;
}

FtpResult FtpDownload(const FtpSite& site, std::string_view remote, const fs::path& local) {
    if (!ValidFtpServer(site.server)) return Refuse(FtpOutcome::BadServer, "not a server name: " + site.server);
    if (remote.empty() || remote.back() == '/') return Refuse(FtpOutcome::RemoteMissing, "no remote file named");
    const fs::path dir = local.has_parent_path() ? local.parent_path() : fs::path(".");
    std::string pattern = (dir / ("." + local.filename().string() + ".part-XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return Refuse(FtpOutcome::LocalFileError, "cannot create a file next to " + local.string());
    const std::string tmp(name.data());
    // The new file gets the modes a plain new file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);

    Session s(site);
    if (s.curl()) {
        curl_easy_setopt(s.curl(), CURLOPT_WRITEFUNCTION, &WriteFd);
        curl_easy_setopt(s.curl(), CURLOPT_WRITEDATA, &fd);
    }
    FtpResult r = s.Run(BuildUrl(site.server, remote, false), false);
    // No fsync: the file replaces the old one only once it arrived whole,
    // and flushing 200 MB would double the time of a loopback download.
    if (::close(fd) != 0 && r.ok()) r = Refuse(FtpOutcome::LocalFileError, "cannot write " + local.string());
    if (r.ok() && ::rename(tmp.c_str(), local.c_str()) != 0)
        r = Refuse(FtpOutcome::LocalFileError, "cannot replace " + local.string());
    if (!r.ok()) ::unlink(tmp.c_str());
    return r;
}

namespace {

constexpr long kCleanupSeconds = 10;

bool FitsInCommand(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// ".<name>.<8 hex digits>.part"; the name is cut (on a UTF-8 boundary) so
// the whole stays within what servers take.
std::string TemporaryName(std::string_view name) {
    std::size_t keep = std::min<std::size_t>(name.size(), 200);
    while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    std::random_device random;
    char tag[16];
    std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(random()));
    return "." + std::string(name.substr(0, keep)) + "." + tag + ".part";
}

std::string InFolder(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
}

// At most kCleanupSeconds; 0 or less (curl's default or no limit at all)
// becomes kCleanupSeconds too.
long CleanupSeconds(long seconds) {
    return seconds > 0 ? std::min(seconds, kCleanupSeconds) : kCleanupSeconds;
}

// `commands` on a connection of their own, with no transfer; paths in them
// are relative to the login folder. Used after the upload's own connection
// ended, so it ignores the cancel flag and gives up sooner.
FtpResult RunCommands(const FtpSite& site, const std::vector<std::string>& commands) {
    FtpSite quick = site;
    quick.cancel = nullptr;
    quick.progress = nullptr;
    quick.connectTimeoutSeconds = CleanupSeconds(site.connectTimeoutSeconds);
    quick.lowSpeedSeconds = CleanupSeconds(site.lowSpeedSeconds);
    Session s(quick);
    curl_slist* list = nullptr;
    for (const std::string& c : commands) list = curl_slist_append(list, c.c_str());
    if (s.curl()) {
        curl_easy_setopt(s.curl(), CURLOPT_QUOTE, list);
        curl_easy_setopt(s.curl(), CURLOPT_NOBODY, 1L);
    }
    FtpResult r = s.Run(BuildUrl(site.server, "", true), false);
    curl_slist_free_all(list);
    return r;
}

// The whole file is on the server as `tmp`, but renaming it onto `name`
// failed. Servers that rename only onto free names are common; the old file
// goes only once a rename is known to work there, and the new one is deleted
// only when the server refused to delete the old one: a DELE whose answer was
// lost may have run, and then the new copy is all there is.
FtpResult ReplaceByRename(const FtpSite& site, const std::string& folder, const std::string& tmp,
                          const std::string& name, const FtpResult& upload) {
    const auto at = [&](const std::string& n) { return InFolder(folder, n); };
    const std::string moved = TemporaryName(name);
    if (!RunCommands(site, {"RNFR " + at(tmp), "RNTO " + at(moved)}).ok()) {
        RunCommands(site, {"DELE " + at(tmp)});
        return Refuse(FtpOutcome::RemoteRefused, "the server does not rename files: " + upload.message);
    }
    const FtpOutcome deleted = RunCommands(site, {"DELE " + at(name)}).outcome;
    FtpResult placed = RunCommands(site, {"RNFR " + at(moved), "RNTO " + at(name)});
    if (placed.ok()) {
        placed.bytes = upload.bytes;
        return placed;
    }
    if (deleted == FtpOutcome::RemoteRefused) {
        RunCommands(site, {"DELE " + at(moved)});
        return Refuse(FtpOutcome::RemoteRefused, "the server kept the old file: " + placed.message);
    }
    return Refuse(FtpOutcome::RemoteRefused, "the new file stays on the server as " + at(moved));
}

bool MayHaveStarted(FtpOutcome o) {
    return o != FtpOutcome::BadServer && o != FtpOutcome::CannotConnect && o != FtpOutcome::LoginDenied &&
           o != FtpOutcome::RemoteMissing && o != FtpOutcome::Ok;
}

}  // namespace

FtpResult FtpUpload(const FtpSite& site, const fs::path& local, std::string_view remote) {
    if (!ValidFtpServer(site.server)) return Refuse(FtpOutcome::BadServer, "not a server name: " + site.server);
    if (remote.empty() || remote.back() == '/') return Refuse(FtpOutcome::RemoteMissing, "no remote file named");
    if (!FitsInCommand(remote)) return Refuse(FtpOutcome::RemoteRefused, "a remote name with a line break");
    const auto slash = remote.rfind('/');
    const std::string folder(slash == std::string_view::npos ? std::string_view{} : remote.substr(0, slash));
    const std::string name(slash == std::string_view::npos ? remote : remote.substr(slash + 1));
    const std::string tmp = TemporaryName(name);

    UploadSource src;
    src.fd = ::open(local.c_str(), O_RDONLY | O_CLOEXEC);
    if (src.fd < 0) return Refuse(FtpOutcome::LocalFileError, "cannot read " + local.string());
    struct stat st {};
    if (::fstat(src.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(src.fd);
        return Refuse(FtpOutcome::LocalFileError, "not a file: " + local.string());
    }
    src.left = static_cast<std::uint64_t>(st.st_size);

    FtpResult r;
    bool renameFailed = false;
    {
        Session s(site);
        // curl sends these only after the server has confirmed the whole
        // file (226), in the folder of the file.
        curl_slist* rename = curl_slist_append(nullptr, ("RNFR " + tmp).c_str());
        rename = curl_slist_append(rename, ("RNTO " + name).c_str());
        if (s.curl()) {
            curl_easy_setopt(s.curl(), CURLOPT_UPLOAD, 1L);
            curl_easy_setopt(s.curl(), CURLOPT_READFUNCTION, &ReadFd);
            curl_easy_setopt(s.curl(), CURLOPT_READDATA, &src);
            curl_easy_setopt(s.curl(), CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(st.st_size));
            curl_easy_setopt(s.curl(), CURLOPT_UPLOAD_BUFFERSIZE, kUploadBufferBytes);
            curl_easy_setopt(s.curl(), CURLOPT_POSTQUOTE, rename);
            s.call().total = st.st_size;
        }
        r = s.Run(BuildUrl(site.server, folder + "/" + tmp, false), true);
        renameFailed = s.code() == CURLE_QUOTE_ERROR;
        curl_slist_free_all(rename);
    }
    ::close(src.fd);
    if (!src.failed.empty()) {
        // The server's reply and the bytes moved stay as they were.
        r.outcome = FtpOutcome::LocalFileError;
        r.message = Cut255(src.failed + ": " + local.string());
    }

    if (r.ok()) return r;
    if (renameFailed && src.failed.empty()) return ReplaceByRename(site, folder, tmp, name, r);
    // A temporary file exists only where the server answered; one that never
    // did is not asked again (that would wait out the timeouts once more).
    if (MayHaveStarted(r.outcome) && r.reply != 0) RunCommands(site, {"DELE " + InFolder(folder, tmp)});
    return r;
}

}  // namespace platform
