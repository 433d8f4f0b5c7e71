#pragma once
// Input as a user gives it: the pointer moved, the left button clicked and
// keys pressed through the X server's test extension, so that they reach the
// real controls through the toolkit's own handlers. A modal dialog is driven
// by an XInputScript: its steps run one at a time from a timer while the
// dialog's own loop turns and delivers what the steps sent.
#include <functional>
#include <vector>
#include <wx/gdicmn.h>
#include <wx/time.h>
#include <wx/timer.h>

class wxWindow;

namespace testsupport {

// The pointer over a point of the window's client area (its centre when
// `client` is omitted).
void XPointTo(wxWindow* window, const wxPoint& client);
void XPointTo(wxWindow* window);
// A left click where the pointer stands.
void XLeftClick();
// A key pressed and released (wxMOD_* modifiers held around it).
void XKey(int key_code, int modifiers = 0);
// Text typed key by key.
void XType(const char* text);

class XInputScript {
public:
    // A step returns false while what it waits for has not happened; it is
    // then run again on the next tick.
    using Step = std::function<bool()>;

    explicit XInputScript(int interval_ms = 150, int timeout_ms = 20000);
    ~XInputScript();

    XInputScript& Then(Step step);
    // A step that only sends input and goes on.
    XInputScript& Do(std::function<void()> action);
    // Starts the timer; the steps run while an event loop turns.
    void Start();

    bool done() const { return m_next >= m_steps.size(); }
    bool timedOut() const { return m_timedOut; }
    // Run once when the script times out (closes what it left open).
    std::function<void()> onTimeout;

private:
    void Tick();

    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    int m_timeoutMs;
    bool m_timedOut = false;
    bool m_running = false;
    wxLongLong m_deadline;
    wxTimer m_timer;
    int m_intervalMs;
};

}  // namespace testsupport
