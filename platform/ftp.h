#pragma once
// FTP over libcurl: list a remote folder, download a file, upload a file.
// Every call opens its own connection, does its one operation and closes it.
//
// Transfers are binary. The data connection is passive (EPSV, then PASV),
// which works behind NAT; a server that refuses both gets active mode (EPRT,
// then PORT) on the same call, and a session remembers that, so its later
// calls to that server go active at once. A connection that cannot be opened
// within the connect timeout or that stalls below the low-speed limit ends
// the call. Remote paths use '/' and are relative to the login folder; names
// go to the server as the bytes given (UTF-8 for names typed or made here,
// the server's own bytes for listed names).
//
// Everything here is blocking and runs on the calling thread; callbacks run
// inside the transfer. The password goes only to the server: it is never put
// into a URL, a message or a status line.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class FtpOutcome {
    Ok,
    BadServer,       // the server text is not a host name or address (with an optional :port)
    CannotConnect,   // no connection (name, refusal, connect timeout)
    LoginDenied,     // the server refused the user or the password
    RemoteMissing,   // the remote file or folder does not exist (or cannot be entered)
    RemoteRefused,   // the server refused the transfer (no permission, disk full)
    Dropped,         // the connection ended in the middle of the operation
    TimedOut,        // the transfer stalled below the low-speed limit
    Cancelled,       // the cancel flag was raised
    LocalFileError,  // the local file could not be read or written
    Failed,          // anything else
};

// What the calls of one program run learned about servers: which of them
// refused passive mode. Shared by the calls of every thread.
class FtpSession {
public:
    bool PassiveRefused(std::string_view server) const;
    void NotePassiveRefused(std::string_view server);

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_activeOnly;  // server keys ("host:port", lower case)
};

struct FtpSite {
    std::string server;  // "host" or "host:port" (default port 21)
    std::string user;
    std::string password;
    long connectTimeoutSeconds = 20;
    long lowSpeedBytesPerSecond = 1;  // below this for lowSpeedSeconds: TimedOut
    long lowSpeedSeconds = 30;
    const std::atomic<bool>* cancel = nullptr;
    // Null: every call asks for passive mode first.
    std::shared_ptr<FtpSession> session;
    // Bytes moved so far and the whole size (-1 when unknown); may be called often.
    std::function<void(std::uint64_t done, std::int64_t total)> progress;
};

struct FtpResult {
    FtpOutcome outcome = FtpOutcome::Failed;
    long reply = 0;        // the server's last reply code, 0 when none arrived
    std::string message;   // what went wrong, in English, at most 255 characters
    std::uint64_t bytes = 0;  // bytes moved
    bool ok() const { return outcome == FtpOutcome::Ok; }
};

struct FtpEntry {
    std::string name;     // the name's bytes as the server sent them
    std::string display;  // the name in UTF-8 (a GBK server's names converted)
    bool folder = false;
    std::uint64_t size = 0;
};

// The entries of a LIST reply: Unix "ls -l" lines and DOS/IIS lines; "." and
// ".." and lines that are neither are left out. Names keep their spaces.
std::vector<FtpEntry> ParseFtpList(std::string_view reply);

// True for "host" or "host:port" with a host of letters, digits, '.', '-'
// (or a bracketed IPv6 address) and a port of 1 to 65535.
bool ValidFtpServer(std::string_view server);

// Lists `folder` (e.g. "web/DressDLoad2010"); `entries` receives what was found.
FtpResult FtpList(const FtpSite& site, std::string_view folder, std::vector<FtpEntry>* entries);

// Gets `remote` into `local`: into a temporary file next to it, which
// replaces `local` only when the whole file arrived. A failed download
// leaves `local` as it was and no partial file behind.
FtpResult FtpDownload(const FtpSite& site, std::string_view remote, const std::filesystem::path& local);

// Puts `local` to `remote`. The file goes up under a temporary name in the
// same folder (".<name>.<8 hex digits>.part") and is renamed over `remote`
// only once the server has taken the whole of it, so an upload that fails or
// is cancelled leaves an existing `remote` byte for byte as it was; the
// temporary file is then deleted where the server still answers. A server
// that renames only onto free names gets the old file deleted just before
// the rename. Once the file stands under its name, the temporaries that
// earlier uploads of the same name left there (a server or a program that
// died in the middle) are deleted; those of other names are not. The remote
// folder must exist.
FtpResult FtpUpload(const FtpSite& site, const std::filesystem::path& local, std::string_view remote);

// The name of a temporary file for an upload of `name`: '.', the name (its
// first 200 bytes, cut on a UTF-8 boundary), '.', `tag` as 8 lower-case hex
// digits, ".part".
std::string UploadTemporaryName(std::string_view name, std::uint32_t tag);
// True for the name of an upload's temporary file as FtpUpload makes them:
// '.', a name, '.', 8 lower-case hex digits, ".part".
bool IsUploadTemporary(std::string_view fileName);
// True for a temporary file of an upload of `name` (a name without folder).
bool IsUploadTemporaryOf(std::string_view fileName, std::string_view name);

// An English name of the outcome, for messages and tests.
const char* FtpOutcomeName(FtpOutcome outcome);

}  // namespace platform
