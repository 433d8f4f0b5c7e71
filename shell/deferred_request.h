#pragma once
// Deferred requests: how the client's components switch and notify its four
// child windows without calling each other. A sender stores a request code
// and calls the idle handler with 12; the handler dispatches by range:
//   1000-1998           activate or open child window A-D (1000-1003 act)
//   66600000-66689999   notify the fitting room (template B)
//   77700000-77789999   notify the market (template D)
// Window thread only; reached through Deferred().
#include <array>
#include <cstdint>
#include <functional>

namespace shell {

inline constexpr std::int32_t kRequestShowStage = 1000;
inline constexpr std::int32_t kRequestDressRoom = 1001;
inline constexpr std::int32_t kRequestSpace = 1002;
inline constexpr std::int32_t kRequestMarket = 1003;
inline constexpr std::int32_t kRequestRefreshDressRoom = 66600366;
inline constexpr unsigned kNotifyLParam = 1001;
// The current-window letter after the current window was closed.
inline constexpr char kNoCurrentWindow = ' ';

// What the dispatcher asks of the windows. Template index 0-3 is A-D.
class DeferredHost {
public:
    virtual ~DeferredHost() = default;
    virtual void OpenNewDocument(int tmpl) = 0;
    // Activate and show maximised every open frame of the template.
    virtual void ShowFramesOf(int tmpl) = 0;
    // WM_USER+50 (code, 1001) to every view of the template, then its frame.
    virtual void NotifyViews(int tmpl, std::int32_t code) = 0;
};

class DeferredRequest {
public:
    std::int32_t code = 0;
    char pending = ' ';  // 'Y' stored, 'y' being dispatched, ' ' nothing
    char current = 'A';  // the child window last addressed; ' ' once it was closed
    std::array<char, 4> opened{' ', ' ', ' ', ' '};
    int busy = 0;  // 9 while the idle handler runs

    void SetHost(DeferredHost* host) { m_host = host; }

    // The sender's three steps: code, pending 'Y', idle handler with 12.
    void Store(std::int32_t request);

    // The idle handler. Only count 12 with a pending request dispatches;
    // a call while a dispatch runs drops the request just stored.
    void OnIdle(int count);

    // A child window of the template was closed and none of its kind is
    // left: the next request for it opens it again, and when it was the
    // current window no window is current until the next request.
    void ChildClosed(int tmpl);
    // The window of the template is the one shown now (the client showed it
    // after another was closed): it is the current window.
    void ChildShown(int tmpl);

    // Told after every dispatch (the bars follow the current window).
    std::function<void()> onDispatched;

private:
    void ActivateOrOpen();
    void Notify(int tmpl, char letter, std::int32_t request);

    DeferredHost* m_host = nullptr;
};

DeferredRequest& Deferred();
void ResetDeferred();  // tests

}  // namespace shell
