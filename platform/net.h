#pragma once
// HTTP over libcurl: one GET with status lines, progress and cancel
// (HttpGet), the status session that turns the transfer's stages into short
// English status lines (CStatusInternetSession), the fetcher that reads a
// page into a string (CHttpFetcher), and the connected-state check.
//
// Everything here is blocking and runs on the calling thread; window code
// calls it from a worker thread and brings the callbacks' results to its
// windows itself. Callbacks run on the calling thread, inside the transfer.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using StatusSink = std::function<void(const std::string& line)>;

// Starts the HTTP library once per process; false when it cannot start.
// HttpGet starts it itself; a program calls this to report the failure early.
bool InitNetwork();

enum class HttpOutcome {
    Ok,             // a 2xx answer, its whole body received
    CannotConnect,  // no connection could be opened (name, refusal, connect timeout)
    HttpStatus,     // the server answered with a status other than 2xx
    ShortBody,      // the connection ended before the announced length arrived
    TimedOut,       // the transfer stalled below the low-speed limit
    Cancelled,      // the cancel flag was raised
    WriteFailed,    // the data callback refused a chunk
    Failed,         // anything else (bad address, protocol error)
};

struct HttpRequest {
    std::string url;  // http:// or https:// only
    std::string agent;
    std::vector<std::string> headers;  // extra request headers, "Name: value"
    bool noCache = false;              // ask every cache on the way for a fresh copy
    std::size_t chunkBytes = 16384;    // largest piece handed to onData
    long connectTimeoutSeconds = 20;
    long lowSpeedBytesPerSecond = 1;   // below this for lowSpeedSeconds: TimedOut
    long lowSpeedSeconds = 30;
    const std::atomic<bool>* cancel = nullptr;
};

struct HttpCallbacks {
    StatusSink status;  // the session's status lines
    // Called once before the first chunk of a 2xx body: the announced length,
    // -1 when the server sent none.
    std::function<void(std::int64_t length)> onStart;
    // One piece of the body, in order; false stops the transfer (WriteFailed).
    std::function<bool(std::span<const std::uint8_t> chunk)> onData;
};

struct HttpResult {
    HttpOutcome outcome = HttpOutcome::Failed;
    long status = 0;             // the HTTP status, 0 when none arrived
    std::int64_t length = -1;    // the announced length, -1 when none
    std::uint64_t received = 0;  // body bytes handed to onData
    std::string message;         // what went wrong, in English, at most 255 characters
    bool ok() const { return outcome == HttpOutcome::Ok; }
};

HttpResult HttpGet(const HttpRequest& request, const HttpCallbacks& callbacks);

// The connected-state check: false when the machine is offline, that is
// when no network interface but the loopback one is up, unless `url` names
// this machine itself (localhost, 127.x.x.x, ::1).
bool NetworkAvailable(std::string_view url);

// The percent of `received` out of `length`, in 64 bits; -1 when the length
// is unknown (not above 0). Never above 100.
int ProgressPercent(std::uint64_t received, std::int64_t length);

// The stages of a transfer a session reports, by the numbers the status
// callback of the internet layer uses.
enum InternetStatus : unsigned {
    kStatusResolvingName = 10,
    kStatusNameResolved = 11,
    kStatusConnecting = 20,
    kStatusConnected = 21,
    kStatusSendingRequest = 30,
    kStatusRequestSent = 31,
    kStatusReceivingResponse = 40,
    kStatusResponseReceived = 41,
    kStatusClosingConnection = 50,
    kStatusConnectionClosed = 51,
    kStatusHandleCreated = 60,
    kStatusHandleClosing = 70,
    kStatusRequestComplete = 100,
};

// The status line of a stage, or none for the stages that write nothing.
// `info` is the stage's information: the host name for the name stages, two
// little-endian 32-bit words (result and error) for a completed request.
std::optional<std::string> StatusLine(unsigned code, std::span<const std::uint8_t> info = {});

// A session: an agent text, a status window (any sink; none keeps the lines
// only) and the last status line.
class CStatusInternetSession {
public:
    CStatusInternetSession(std::string agent, StatusSink statusWindow);
    virtual ~CStatusInternetSession() = default;

    void EnableStatus();
    void SetStatusWindow(StatusSink statusWindow) { m_statusWindow = std::move(statusWindow); }
    // Formats into at most 511 characters, keeps the line and shows it.
    void SetStatusText(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // A stage of the transfer: writes its status line (StatusLine), if any.
    void OnStatusCallback(unsigned code, std::span<const std::uint8_t> info = {});
    const std::string& statusText() const { return m_statusText; }
    const std::string& agent() const { return m_agent; }

    // A GET through the session: its status lines go to the status window.
    HttpResult Get(HttpRequest request, HttpCallbacks callbacks);

private:
    void ShowLine(const std::string& line);

    std::string m_agent;
    StatusSink m_statusWindow;
    std::string m_statusText;
};

// Reads a page into a string.
class CHttpFetcher {
public:
    CHttpFetcher() = default;
    virtual ~CHttpFetcher() { Close(); }
    CHttpFetcher(const CHttpFetcher&) = delete;
    CHttpFetcher& operator=(const CHttpFetcher&) = delete;

    bool Open(const std::string& agent, StatusSink statusWindow);
    void Close();
    CStatusInternetSession* session() const { return m_session.get(); }

    // 1 when the whole body of a 2xx answer was read into `text`, 0
    // otherwise (the reason is the session's last status line, and `text`
    // keeps what had arrived). `maxBytes` bounds the body; a longer one fails.
    int FetchText(const std::string& url, std::string* text, const std::string& agent, StatusSink statusWindow,
                  const std::atomic<bool>* cancel = nullptr, std::size_t maxBytes = 4u << 20);

    // Timeouts for the next fetches (tests shorten them).
    void SetTimeouts(long connectSeconds, long lowSpeedSeconds) {
        m_connectSeconds = connectSeconds;
        m_lowSpeedSeconds = lowSpeedSeconds;
    }

private:
    std::unique_ptr<CStatusInternetSession> m_session;
    long m_connectSeconds = 20;
    long m_lowSpeedSeconds = 30;
};

}  // namespace platform
