#pragma once
// What the X server holds for one of the toolkit's windows: whether it is
// mapped and viewable, where it stands on the screen. Read through a
// connection of our own, so that nothing of the toolkit's idea of the window
// (its shown flag, its cached rectangle) can answer for it. Also a window of
// another program that takes the keyboard, as when the user switches to it.
#include <functional>
#include <memory>
#include <wx/gdicmn.h>

class wxWindow;

namespace testsupport {

struct XWindowState {
    bool exists = false;    // the window has an X window at all
    bool viewable = false;  // map_state == IsViewable
    wxRect screen;          // its rectangle in root coordinates (border excluded)
};

// The X window behind a window's outer widget (0 when it has none yet).
unsigned long XWindowOf(wxWindow* window);

// The state of the X window behind `window` (a top-level or pop-up window).
XWindowState XStateOf(wxWindow* window);

// Whether the X server's keyboard focus is on the X window behind
// `topLevel` or on one inside it: where typed keys go, whatever the toolkit
// believes. False while the focus follows the pointer (no window has it).
bool XFocusIsIn(wxWindow* topLevel);

// Whether a client holds the keyboard (a menu while it is open): a grab of
// our own connection is refused.
bool KeyboardHeld();

// Delivers events (without the safe yield, which takes the focus away) until
// `done` holds or about `ms` milliseconds went by; whether it held.
bool DeliverUntil(const std::function<bool()>& done, int ms = 10000);

// A small window of another X client, mapped at a corner of the screen
// and given the keyboard focus; gone again with the object.
class ForeignFocusWindow {
public:
    ForeignFocusWindow();
    ~ForeignFocusWindow();
    ForeignFocusWindow(const ForeignFocusWindow&) = delete;
    ForeignFocusWindow& operator=(const ForeignFocusWindow&) = delete;
    // False when it could not be made or did not get the focus.
    bool ok() const { return m_ok; }

private:
    struct X;
    std::unique_ptr<X> m_x;
    bool m_ok = false;
};

}  // namespace testsupport
