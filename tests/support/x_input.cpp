#include "tests/support/x_input.h"

#include <wx/uiaction.h>
#include <wx/window.h>

namespace testsupport {

void XPointTo(wxWindow* window, const wxPoint& client) {
    wxUIActionSimulator sim;
    sim.MouseMove(window->ClientToScreen(client));
}

void XPointTo(wxWindow* window) {
    const wxSize size = window->GetClientSize();
    XPointTo(window, wxPoint(size.x / 2, size.y / 2));
}

void XLeftClick() {
    wxUIActionSimulator sim;
    sim.MouseClick();
}

void XKey(int key_code, int modifiers) {
    wxUIActionSimulator sim;
    sim.Char(key_code, modifiers);
}

void XType(const char* text) {
    wxUIActionSimulator sim;
    sim.Text(text);
}

XInputScript::XInputScript(int interval_ms, int timeout_ms) : m_timeoutMs(timeout_ms), m_intervalMs(interval_ms) {
    m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
}

XInputScript::~XInputScript() { m_timer.Stop(); }

XInputScript& XInputScript::Then(Step step) {
    m_steps.push_back(std::move(step));
    return *this;
}

XInputScript& XInputScript::Do(std::function<void()> action) {
    return Then([action = std::move(action)] {
        action();
        return true;
    });
}

void XInputScript::Start() {
    m_deadline = wxGetLocalTimeMillis() + m_timeoutMs;
    m_timer.Start(m_intervalMs);
}

void XInputScript::Tick() {
    // A step may run a loop of its own (a dialog it opens): no tick starts
    // while one runs.
    if (m_running) return;
    if (done()) {
        m_timer.Stop();
        return;
    }
    if (wxGetLocalTimeMillis() > m_deadline) {
        m_timer.Stop();
        m_timedOut = true;
        if (onTimeout) onTimeout();
        return;
    }
    m_running = true;
    if (m_steps[m_next]()) ++m_next;
    m_running = false;
}

}  // namespace testsupport
