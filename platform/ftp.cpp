// FTP over libcurl.
//
// A URL is built from the server text and the remote path, with every path
// segment percent-encoded from its bytes, so a name reaches the server
// exactly as given (curl changes into each folder, then sends the name).
// The user and password travel through their own options, never in the URL.
// curl's own error text is kept as the message; it names hosts and replies,
// never the password.
//
// Passive mode first: a server that answers both EPSV and PASV with a
// refusal (4xx/5xx: curl's "weird PASV reply" with that code) has moved no
// byte yet, so the same call starts over in active mode on the connection it
// already has. The site's session keeps the server's name for later calls.
#include "platform/ftp.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <functional>
#include <memory>
#include <random>
#include <system_error>

#include "platform/files.h"
#include "platform/error_text.h"
#include "platform/net.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

constexpr long kBufferBytes = 512 * 1024;
constexpr long kUploadBufferBytes = 2 * 1024 * 1024;
constexpr long kAcceptDefaultMs = 60 * 1000;  // curl's own, where no connect timeout is set

// At most 255 bytes, never cutting a UTF-8 character in two.
std::string Cut255(std::string s) {
    if (s.size() <= 255) return s;
    std::size_t n = 255;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    s.resize(n);
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
        case CURLE_FTP_PORT_FAILED:  // active mode refused too: no data connection at all
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
        case CURLE_FTP_ACCEPT_TIMEOUT:  // active mode: the server never connected back
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
        // In active mode the server's connection back is waited for as long
        // as a connection is.
        curl_easy_setopt(m_curl, CURLOPT_ACCEPTTIMEOUT_MS,
                         site.connectTimeoutSeconds > 0 ? site.connectTimeoutSeconds * 1000L : kAcceptDefaultMs);
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

    // Puts the operation's own state back (its file, its text) before the
    // call is made again in active mode.
    void OnRestart(std::function<void()> restart) { m_restart = std::move(restart); }

    // The call in passive mode, or in active mode where the server refused
    // passive mode, now or (as its session knows) before.
    FtpResult Run(const std::string& url, bool upload) {
        const bool activeFirst = m_site.session && m_site.session->PassiveRefused(m_site.server);
        if (activeFirst) UseActiveMode();
        FtpResult r = Perform(url, upload);
        if (!activeFirst && RefusedPassive(r)) {
            if (m_site.session) m_site.session->NotePassiveRefused(m_site.server);
            if (m_restart) m_restart();
            UseActiveMode();
            r = Perform(url, upload);
        }
        return r;
    }

private:
    void UseActiveMode() {
        // "-": the address of the control connection, a port the system picks.
        if (m_curl) curl_easy_setopt(m_curl, CURLOPT_FTPPORT, "-");
    }

    bool RefusedPassive(const FtpResult& r) const {
        const bool cancelled = m_site.cancel && m_site.cancel->load();
        return m_code == CURLE_FTP_WEIRD_PASV_REPLY && r.reply >= 400 && r.reply < 600 && r.bytes == 0 && !cancelled;
    }

    FtpResult Perform(const std::string& url, bool upload) {
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
        m_error[0] = '\0';
        return r;
    }

    const FtpSite& m_site;
    CURL* m_curl = nullptr;
    CURLcode m_code = CURLE_OK;
    Call m_call;
    std::function<void()> m_restart;
    char m_error[CURL_ERROR_SIZE] = {};
};

// "host:port" in lower case, with the default port where none is given.
std::string ServerKey(std::string_view server) {
    std::string key;
    for (char c : server) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto close = key.rfind(']');
    const auto colon = key.rfind(':');
    const bool hasPort = colon != std::string::npos && (close == std::string::npos ? key.find(':') == colon : colon > close);
    if (!hasPort) key += ":21";
    return key;
}

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
    if (!src->failed.empty()) return CURL_READFUNC_ABORT;
    if (src->left == 0) return 0;
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size * n, src->left));
    for (;;) {
        const ssize_t r = ::read(src->fd, data, want);
        if (r > 0) {
            src->left -= static_cast<std::uint64_t>(r);
            return static_cast<size_t>(r);
        }
        if (r == 0) {
            src->failed = "文件在传送时变短了";
            return CURL_READFUNC_ABORT;
        }
        if (errno != EINTR) {
            src->failed = "无法读取文件: " + ErrorReason(errno, FileAccess::Read);
            return CURL_READFUNC_ABORT;
        }
    }
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

namespace {

// `command`: the listing command, LIST when null.
FtpResult ListFolder(const FtpSite& site, std::string_view folder, std::vector<FtpEntry>* entries, const char* command) {
    entries->clear();
    if (!ValidFtpServer(site.server)) return Refuse(FtpOutcome::BadServer, "not a server name: " + site.server);
    Session s(site);
    std::string text;
    if (s.curl()) {
        curl_easy_setopt(s.curl(), CURLOPT_WRITEFUNCTION, &AppendText);
        curl_easy_setopt(s.curl(), CURLOPT_WRITEDATA, &text);
        if (command) curl_easy_setopt(s.curl(), CURLOPT_CUSTOMREQUEST, command);
    }
    s.OnRestart([&text] { text.clear(); });
    FtpResult r = s.Run(BuildUrl(site.server, folder, true), false);
    if (r.ok()) *entries = ParseFtpList(text);
    return r;
}

}  // namespace

FtpResult FtpList(const FtpSite& site, std::string_view folder, std::vector<FtpEntry>* entries) {
    return ListFolder(site, folder, entries, nullptr);
}

FtpResult FtpDownload(const FtpSite& site, std::string_view remote, const fs::path& local) {
    if (!ValidFtpServer(site.server)) return Refuse(FtpOutcome::BadServer, "not a server name: " + site.server);
    if (remote.empty() || remote.back() == '/') return Refuse(FtpOutcome::RemoteMissing, "no remote file named");
    // Into a temporary beside the file, which replaces it only once the whole
    // file arrived (no flush first: flushing 200 MB would double the time of
    // a loopback download).
    platform::FileSave::Options options;
    options.tag = ".part-";
    options.flush = false;
    options.guarded = false;  // a quit signal may end a download that hangs
    platform::FileSave save(local, options);
    std::string error;
    if (!save.Begin(&error)) return Refuse(FtpOutcome::LocalFileError, error);
    int fd = save.fd();

    Session s(site);
    if (s.curl()) {
        curl_easy_setopt(s.curl(), CURLOPT_WRITEFUNCTION, &WriteFd);
        curl_easy_setopt(s.curl(), CURLOPT_WRITEDATA, &fd);
    }
    bool restarted = true;
    s.OnRestart([fd, &restarted] { restarted = ::ftruncate(fd, 0) == 0 && ::lseek(fd, 0, SEEK_SET) == 0; });
    FtpResult r = s.Run(BuildUrl(site.server, remote, false), false);
    if (!restarted && r.ok()) r = Refuse(FtpOutcome::LocalFileError, "无法写入 " + UserPath(local));
    if (r.ok() && !save.Commit(&error)) r = Refuse(FtpOutcome::LocalFileError, error);
    if (!r.ok()) save.Abandon();
    return r;
}

namespace {

constexpr long kCleanupSeconds = 10;

bool FitsInCommand(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

std::string TemporaryName(std::string_view name) {
    std::random_device random;
    return UploadTemporaryName(name, static_cast<std::uint32_t>(random()));
}

std::string InFolder(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
}

// At most kCleanupSeconds; 0 or less (curl's default or no limit at all)
// becomes kCleanupSeconds too.
long CleanupSeconds(long seconds) {
    return seconds > 0 ? std::min(seconds, kCleanupSeconds) : kCleanupSeconds;
}

// The site for the work after the upload's own connection ended: it ignores
// the cancel flag and gives up sooner.
FtpSite CleanupSite(const FtpSite& site) {
    FtpSite quick = site;
    quick.cancel = nullptr;
    quick.progress = nullptr;
    quick.connectTimeoutSeconds = CleanupSeconds(site.connectTimeoutSeconds);
    quick.lowSpeedSeconds = CleanupSeconds(site.lowSpeedSeconds);
    return quick;
}

// `commands` on a connection of their own, with no transfer; paths in them
// are relative to the login folder.
FtpResult RunCommands(const FtpSite& site, const std::vector<std::string>& commands) {
    const FtpSite quick = CleanupSite(site);
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

// Deletes what earlier uploads of `name` left in `folder` under their
// temporary names, as far as the server lets it (a file it keeps stays, and
// the rest are still deleted). The temporaries of other names, and names of
// another shape, are not touched.
void RemoveStaleTemporaries(const FtpSite& site, const std::string& folder, const std::string& name) {
    // Many servers list names with a leading dot only when asked with "-a";
    // one that does not take it gets the plain listing.
    const FtpSite quick = CleanupSite(site);
    std::vector<FtpEntry> entries;
    if (!ListFolder(quick, folder, &entries, "LIST -a").ok() && !FtpList(quick, folder, &entries).ok()) return;
    std::vector<std::string> commands;
    for (const FtpEntry& e : entries)
        if (!e.folder && IsUploadTemporaryOf(e.name, name) && FitsInCommand(e.name))
            commands.push_back("*DELE " + InFolder(folder, e.name));  // '*': a refusal does not stop the others
    if (!commands.empty()) RunCommands(site, commands);
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
    if (src.fd < 0) return Refuse(FtpOutcome::LocalFileError, FileErrorText("无法读取", local, errno, FileAccess::Read));
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
        s.OnRestart([&src, &st] {
            src.left = static_cast<std::uint64_t>(st.st_size);
            if (::lseek(src.fd, 0, SEEK_SET) != 0) src.failed = "无法从头读取文件";
        });
        r = s.Run(BuildUrl(site.server, folder + "/" + tmp, false), true);
        renameFailed = s.code() == CURLE_QUOTE_ERROR;
        curl_slist_free_all(rename);
    }
    ::close(src.fd);
    if (!src.failed.empty()) {
        // The server's reply and the bytes moved stay as they were.
        r.outcome = FtpOutcome::LocalFileError;
        r.message = Cut255(src.failed + ": " + UserPath(local));
    }

    if (r.ok()) {
        RemoveStaleTemporaries(site, folder, name);
        return r;
    }
    if (renameFailed && src.failed.empty()) {
        r = ReplaceByRename(site, folder, tmp, name, r);
        if (r.ok()) RemoveStaleTemporaries(site, folder, name);
        return r;
    }
    // A temporary file exists only where the server answered; one that never
    // did is not asked again (that would wait out the timeouts once more).
    if (MayHaveStarted(r.outcome) && r.reply != 0) RunCommands(site, {"DELE " + InFolder(folder, tmp)});
    return r;
}

bool FtpSession::PassiveRefused(std::string_view server) const {
    const std::string key = ServerKey(server);
    std::lock_guard<std::mutex> lock(m_lock);
    return std::find(m_activeOnly.begin(), m_activeOnly.end(), key) != m_activeOnly.end();
}

void FtpSession::NotePassiveRefused(std::string_view server) {
    std::string key = ServerKey(server);
    std::lock_guard<std::mutex> lock(m_lock);
    if (std::find(m_activeOnly.begin(), m_activeOnly.end(), key) == m_activeOnly.end()) m_activeOnly.push_back(std::move(key));
}

}  // namespace platform
