// HTTP over libcurl.
//
// libcurl has no status callbacks of the kind the session reports, so the
// lines come from the hooks that mark the same stages: the name is being
// resolved before the transfer starts, it is resolved when the socket is
// opened, the connection stands when the request is about to go out, and the
// response has arrived with its first header line. The status of the answer
// is checked before any body byte reaches the caller, so an error page never
// passes for data; a body that ends before its announced length, a stall
// below the low-speed limit and a raised cancel flag all end the transfer
// with their own outcome.
#include "platform/net.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <dlfcn.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace platform {
namespace {

bool GlobalInit() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
        // libcurl gives up on a slow name lookup (a cancel, the connect
        // timeout) by leaving its resolver thread running on its own. When
        // libcurl came in with a module (the download module), the host
        // unloads it after the call: keep the library mapped for the rest of
        // the process so that such a thread never returns into freed code.
        Dl_info info{};
        if (dladdr(reinterpret_cast<void*>(&curl_easy_init), &info) != 0 && info.dli_fname)
            ::dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    });
    return ok;
}

std::string Cut255(std::string s) {
    if (s.size() > 255) s.resize(255);
    return s;
}

std::string HostOf(std::string_view url) {
    std::string host;
    CURLU* u = curl_url();
    if (!u) return host;
    if (curl_url_set(u, CURLUPART_URL, std::string(url).c_str(), 0) == CURLUE_OK) {
        char* h = nullptr;
        if (curl_url_get(u, CURLUPART_HOST, &h, 0) == CURLUE_OK && h) {
            host = h;
            curl_free(h);
        }
    }
    curl_url_cleanup(u);
    return host;
}

bool IsLoopbackHost(std::string host) {
    std::transform(host.begin(), host.end(), host.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    if (host == "localhost" || host.ends_with(".localhost")) return true;
    if (host == "[::1]" || host == "::1") return true;
    in_addr a{};
    return inet_pton(AF_INET, host.c_str(), &a) == 1 && (ntohl(a.s_addr) >> 24) == 127;
}

// Everything the callbacks need during one transfer.
struct Transfer {
    CURL* curl = nullptr;
    const HttpRequest* request = nullptr;
    const HttpCallbacks* callbacks = nullptr;
    std::string host;
    bool resolved = false;
    bool connected = false;
    bool responded = false;
    bool started = false;
    bool badStatus = false;
    bool refused = false;  // onData said no
    long status = 0;
    std::int64_t length = -1;
    std::uint64_t received = 0;

    void Status(unsigned code, std::string_view info = {}) const {
        if (!callbacks->status) return;
        const auto line = StatusLine(code, {reinterpret_cast<const std::uint8_t*>(info.data()), info.size()});
        if (line) callbacks->status(*line);
    }
    // The status of the final answer decides whether its body is data.
    bool Start() {
        if (started) return !badStatus;
        started = true;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        if (status < 200 || status > 299) {
            badStatus = true;
            return false;
        }
        curl_off_t len = -1;
        if (curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &len) != CURLE_OK) len = -1;
        length = len;
        if (callbacks->onStart) callbacks->onStart(length);
        return true;
    }
};

curl_socket_t OpenSocket(void* clientp, curlsocktype, curl_sockaddr* address) {
    auto* t = static_cast<Transfer*>(clientp);
    if (!t->resolved) {
        t->resolved = true;
        t->Status(kStatusNameResolved, t->host);
    }
    t->Status(kStatusConnecting);
    return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

int PreRequest(void* clientp, char*, char*, int, int) {
    auto* t = static_cast<Transfer*>(clientp);
    t->connected = true;
    t->Status(kStatusConnected);
    t->Status(kStatusSendingRequest);
    return CURL_PREREQFUNC_OK;
}

std::size_t OnHeader(char* buffer, std::size_t size, std::size_t n, void* userdata) {
    auto* t = static_cast<Transfer*>(userdata);
    if (!t->responded) {
        t->responded = true;
        t->Status(kStatusRequestSent);
        t->Status(kStatusResponseReceived);
    }
    (void)buffer;
    return size * n;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t n, void* userdata) {
    auto* t = static_cast<Transfer*>(userdata);
    const std::size_t bytes = size * n;
    if (!t->Start()) return 0;
    if (t->callbacks->onData &&
        !t->callbacks->onData(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(data), bytes))) {
        t->refused = true;
        return 0;
    }
    t->received += bytes;
    return bytes;
}

int OnProgress(void* clientp, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* t = static_cast<Transfer*>(clientp);
    const std::atomic<bool>* cancel = t->request->cancel;
    return cancel && cancel->load() ? 1 : 0;
}

}  // namespace

bool InitNetwork() { return GlobalInit(); }

int ProgressPercent(std::uint64_t received, std::int64_t length) {
    if (length <= 0) return -1;
    const auto total = static_cast<std::uint64_t>(length);
    if (received >= total) return 100;
    return static_cast<int>((static_cast<unsigned __int128>(received) * 100) / total);
}

HttpResult HttpGet(const HttpRequest& request, const HttpCallbacks& callbacks) {
    GlobalInit();
    HttpResult result;
    Transfer t;
    t.request = &request;
    t.callbacks = &callbacks;
    t.host = HostOf(request.url);

    if (request.cancel && request.cancel->load()) {
        result.outcome = HttpOutcome::Cancelled;
        result.message = "Cancelled";
        return result;
    }
    CURL* curl = curl_easy_init();
    if (!curl) {
        result.message = "Cannot start a transfer";
        return result;
    }
    t.curl = curl;
    char errbuf[CURL_ERROR_SIZE] = {};
    curl_slist* headers = nullptr;
    for (const std::string& h : request.headers) headers = curl_slist_append(headers, h.c_str());
    if (request.noCache) {
        headers = curl_slist_append(headers, "Pragma: no-cache");
        headers = curl_slist_append(headers, "Cache-Control: no-cache");
    }

    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, request.agent.c_str());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errbuf);
    if (headers) curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, static_cast<long>(std::clamp<std::size_t>(request.chunkBytes, 1024, 1 << 20)));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, request.connectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, request.lowSpeedBytesPerSecond);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, request.lowSpeedSeconds);
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETFUNCTION, &OpenSocket);
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETDATA, &t);
    curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, &PreRequest);
    curl_easy_setopt(curl, CURLOPT_PREREQDATA, &t);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &OnHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t);

    if (!t.host.empty()) t.Status(kStatusResolvingName, t.host);
    const CURLcode rc = curl_easy_perform(curl);
    if (rc == CURLE_OK && !t.started) t.Start();  // an empty body, or no body at all
    if (!t.started) {
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &t.status);
        curl_off_t len = -1;
        if (curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &len) == CURLE_OK) t.length = len;
    }

    result.status = t.status;
    result.length = t.length;
    result.received = t.received;
    const std::string detail = errbuf[0] ? std::string(errbuf) : std::string(curl_easy_strerror(rc));
    if (t.badStatus || (rc == CURLE_OK && (t.status < 200 || t.status > 299))) {
        result.outcome = HttpOutcome::HttpStatus;
        result.message = "The server answered with status " + std::to_string(t.status);
    } else if (rc == CURLE_OK) {
        if (t.length >= 0 && t.received < static_cast<std::uint64_t>(t.length)) {
            result.outcome = HttpOutcome::ShortBody;
            result.message = "The transfer ended before the whole file arrived";
        } else {
            result.outcome = HttpOutcome::Ok;
        }
    } else if (rc == CURLE_ABORTED_BY_CALLBACK) {
        result.outcome = HttpOutcome::Cancelled;
        result.message = "Cancelled";
    } else if (rc == CURLE_WRITE_ERROR && t.refused) {
        result.outcome = HttpOutcome::WriteFailed;
        result.message = "The received data could not be stored";
    } else if (rc == CURLE_PARTIAL_FILE) {
        result.outcome = HttpOutcome::ShortBody;
        result.message = detail;
    } else if (!t.connected && (rc == CURLE_COULDNT_CONNECT || rc == CURLE_COULDNT_RESOLVE_HOST ||
                                rc == CURLE_COULDNT_RESOLVE_PROXY || rc == CURLE_OPERATION_TIMEDOUT ||
                                rc == CURLE_SSL_CONNECT_ERROR || rc == CURLE_RECV_ERROR || rc == CURLE_SEND_ERROR)) {
        result.outcome = HttpOutcome::CannotConnect;
        result.message = detail;
    } else if (rc == CURLE_OPERATION_TIMEDOUT) {
        result.outcome = HttpOutcome::TimedOut;
        result.message = detail;
    } else {
        result.outcome = HttpOutcome::Failed;
        result.message = detail;
    }
    result.message = Cut255(result.message);

    curl_easy_cleanup(curl);
    curl_slist_free_all(headers);
    if (t.connected) {
        t.Status(kStatusClosingConnection);
        t.Status(kStatusConnectionClosed);
    }
    return result;
}

bool NetworkAvailable(std::string_view url) {
    if (IsLoopbackHost(HostOf(url))) return true;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return true;  // cannot tell: let the transfer find out
    bool up = false;
    for (ifaddrs* i = list; i && !up; i = i->ifa_next) {
        if (!i->ifa_addr) continue;
        const int family = i->ifa_addr->sa_family;
        const unsigned flags = i->ifa_flags;
        up = (family == AF_INET || family == AF_INET6) && (flags & IFF_UP) && (flags & IFF_RUNNING) &&
             !(flags & IFF_LOOPBACK);
    }
    freeifaddrs(list);
    return up;
}

CStatusInternetSession::CStatusInternetSession(std::string agent, StatusSink statusWindow)
    : m_agent(std::move(agent)) {
    EnableStatus();
    m_statusWindow = std::move(statusWindow);
}

void CStatusInternetSession::EnableStatus() {
    m_statusWindow = nullptr;
    GlobalInit();
}

std::optional<std::string> StatusLine(unsigned code, std::span<const std::uint8_t> info) {
    const std::string text = info.empty() ? std::string() : std::string(reinterpret_cast<const char*>(info.data()), info.size());
    char buffer[512];
    switch (code) {
    case kStatusResolvingName: return "Resolving name for " + text;
    case kStatusNameResolved: return "Resolved name for " + text;
    case kStatusConnecting: return std::string("Connecting to socket address ");
    case kStatusConnected: return std::string("Connected to socket address");
    case kStatusSendingRequest: return std::string("Sending request...");
    case kStatusRequestSent: return std::string("Request sent");
    case kStatusReceivingResponse: return std::nullopt;
    case kStatusResponseReceived: return std::string("Response received");
    case kStatusClosingConnection: return std::string("Closing the connection to the server");
    case kStatusConnectionClosed: return std::string("Connection to the server closed");
    case kStatusHandleCreated: return std::string();
    case kStatusHandleClosing: return std::nullopt;
    case kStatusRequestComplete: {
        if (info.size() != 8) return std::string("Request complete");
        const auto word = [&info](std::size_t at) {
            return std::uint32_t{info[at]} | std::uint32_t{info[at + 1]} << 8 | std::uint32_t{info[at + 2]} << 16 |
                   std::uint32_t{info[at + 3]} << 24;
        };
        std::snprintf(buffer, sizeof buffer, "Request complete, dwResult = %8.8X, dwError = %8.8X", word(0), word(4));
        return std::string(buffer);
    }
    default:
        std::snprintf(buffer, sizeof buffer, "Unknown status: %d", static_cast<int>(code));
        return std::string(buffer);
    }
}

void CStatusInternetSession::OnStatusCallback(unsigned code, std::span<const std::uint8_t> info) {
    if (const auto line = StatusLine(code, info)) SetStatusText("%s", line->c_str());
}

void CStatusInternetSession::ShowLine(const std::string& line) {
    m_statusText = line;
    if (m_statusWindow) m_statusWindow(m_statusText);
}

void CStatusInternetSession::SetStatusText(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    ShowLine(buffer);
}

HttpResult CStatusInternetSession::Get(HttpRequest request, HttpCallbacks callbacks) {
    if (request.agent.empty()) request.agent = m_agent;
    callbacks.status = [this](const std::string& line) { ShowLine(line); };
    OnStatusCallback(kStatusHandleCreated);  // a new request handle
    return HttpGet(request, callbacks);
}

bool CHttpFetcher::Open(const std::string& agent, StatusSink statusWindow) {
    Close();
    m_session = std::make_unique<CStatusInternetSession>(agent, std::move(statusWindow));
    return m_session != nullptr;
}

void CHttpFetcher::Close() { m_session.reset(); }

int CHttpFetcher::FetchText(const std::string& url, std::string* text, const std::string& agent,
                            StatusSink statusWindow, const std::atomic<bool>* cancel, std::size_t maxBytes) {
    text->clear();
    if (!m_session && !Open(agent, statusWindow)) return 0;
    if (statusWindow) m_session->SetStatusWindow(statusWindow);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    HttpRequest request;
    request.url = url;
    request.agent = agent;
    request.chunkBytes = 4095;
    request.connectTimeoutSeconds = m_connectSeconds;
    request.lowSpeedSeconds = m_lowSpeedSeconds;
    request.cancel = cancel;
    HttpCallbacks callbacks;
    CStatusInternetSession* session = m_session.get();
    callbacks.onData = [&](std::span<const std::uint8_t> chunk) {
        if (text->size() + chunk.size() > maxBytes) return false;
        text->append(reinterpret_cast<const char*>(chunk.data()), chunk.size());
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        const long seconds = static_cast<long>(elapsed + 5.787037037037037e-06);
        const auto total = static_cast<long long>(text->size());
        if (seconds > 0)
            session->SetStatusText("Read %lld bytes (%0.1f Kb/s)", total,
                                   static_cast<double>(total) / 1024.0 / static_cast<double>(seconds));
        else
            session->SetStatusText("Read %lld bytes", total);
        return true;
    };
    const HttpResult r = session->Get(request, callbacks);
    if (!r.ok()) {
        session->SetStatusText("%s", r.message.c_str());
        return 0;
    }
    session->SetStatusText("%s", "");
    return 1;
}

}  // namespace platform
