#include "tests/support/user_input.h"

#include <dlfcn.h>

#include <optional>

#include <wx/evtloop.h>
#include <wx/time.h>
#include <wx/uiaction.h>
#include <wx/utils.h>
#include <wx/window.h>

namespace testsupport {

namespace {

// Lets the input arrive and be handled, in the running event loop (a modal
// dialog's, say) or in one of our own. Not through a safe yield: that
// disables every window for its time, which takes the keyboard focus away.
void Deliver(int ms) {
    static wxGUIEventLoop* own = new wxGUIEventLoop;
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    std::optional<wxEventLoopActivator> activate;
    if (!loop) {
        activate.emplace(own);
        loop = own;
    }
    const wxLongLong end = wxGetLocalTimeMillis() + ms;
    do {
        loop->YieldFor(wxEVT_CATEGORY_ALL);
        wxMilliSleep(5);
    } while (wxGetLocalTimeMillis() < end);
    loop->YieldFor(wxEVT_CATEGORY_ALL);
}

// The test X server runs no window manager: the toolkit is asked as a window
// manager would ask it, through its own call (found in the running process).
void CallToolkit(const char* function, wxWindow* topLevel) {
    using Call = void (*)(void*);
    if (auto call = reinterpret_cast<Call>(::dlsym(RTLD_DEFAULT, function))) call(topLevel->GetHandle());
    Deliver(150);
}

}  // namespace

void ClickAt(wxWindow* window, wxPoint at) {
    wxUIActionSimulator sim;
    sim.MouseMove(window->ClientToScreen(at));
    Deliver(60);
    sim.MouseClick();
    Deliver(120);
}

void ClickOn(wxWindow* window) {
    const wxSize size = window->GetClientSize();
    ClickAt(window, wxPoint(size.x / 2, size.y / 2));
}

void PressKey(int key) {
    wxUIActionSimulator sim;
    sim.Char(key);
    Deliver(120);
}

void TypeText(const wxString& text) {
    wxUIActionSimulator sim;
    sim.Text(text.utf8_str());
    Deliver(120);
}

void GiveKeyboardTo(wxWindow* topLevel) { CallToolkit("gtk_window_present", topLevel); }

void PressCloseBox(wxWindow* topLevel) { CallToolkit("gtk_window_close", topLevel); }

}  // namespace testsupport
