#pragma once
// Input as a user gives it: the pointer moved, buttons clicked and keys
// pressed through the X server's test extension, so that they reach the real
// controls through the toolkit's own handlers (the window must be shown and
// not covered), and the requests a window manager would send.
//
// The X... functions only send; the others send, then deliver the events for
// a while in the running event loop (a modal dialog's, say, or one of our
// own), without the safe yield of PumpEvents, which disables every window and
// so takes the keyboard focus away. A modal dialog opened by a click is
// driven by an XInputScript (or a ModalDialogDriver) whose steps run from a
// timer while the dialog's own loop turns.
#include <functional>
#include <string>
#include <vector>
#include <wx/gdicmn.h>
#include <wx/string.h>
#include <wx/time.h>
#include <wx/timer.h>

class wxWindow;
class wxTopLevelWindow;
class wxDialog;
class wxMenuBar;

namespace testsupport {

// Sending only.
void XPointTo(wxWindow* window, const wxPoint& client);  // a point of the client area
void XPointTo(wxWindow* window);                          // its middle
void XLeftClick();                                        // where the pointer stands
void XKey(int key_code, int modifiers = 0);               // wxMOD_* held around the key
void XType(const char* text);
// A key (a wxKeyCode, a letter or digit; a capital with Shift) pressed and
// released on the X server's own keyboard, through its test extension, with
// wxMOD_* held around it: it goes where the server sends keys, to the window
// that holds the keyboard (an open menu) or else to the focus.
void XPressKey(int key, int modifiers = 0);
// The pointer moved, and a button (1 left) clicked at a screen point, the
// same way: the click goes to the window that holds the pointer, if any.
void XMovePointer(const wxPoint& screen);
void XClickAtScreen(const wxPoint& screen, int button = 1);                             // UTF-8, key by key

// Handles what has arrived for about `ms` milliseconds.
void DeliverEvents(int ms);

// Sending, then delivering.
void ClickAtScreen(const wxPoint& screen, int deliverMs = 150);
void DoubleClickAtScreen(const wxPoint& screen, int deliverMs = 200);
void ClickAt(wxWindow* window, wxPoint client, int deliverMs = 150);
void ClickOn(wxWindow* window);  // in the middle of the window
void PressKey(int key, int deliverMs = 150);  // a wxKeyCode or a character
void TypeText(const wxString& text);

// A drag with the left button as a hand makes it: the pointer goes to
// `from` (screen) and the button goes down there, with Ctrl held when asked;
// each move goes in a few steps and delivers. The button (and Ctrl) come up
// on Release, or when the drag goes out of scope.
class XDrag {
public:
    explicit XDrag(const wxPoint& from, bool ctrl = false);
    ~XDrag();
    XDrag(const XDrag&) = delete;
    XDrag& operator=(const XDrag&) = delete;
    void MoveTo(const wxPoint& to, int steps = 4);
    void Release();

private:
    wxPoint m_at;
    bool m_ctrl;
    bool m_down = true;
};

// Gives a top-level window the keyboard, as a window manager does when the
// user clicks its title bar.
void GiveKeyboardTo(wxWindow* topLevel);

// What a window manager reads to decide on a window's close box: the Motif
// hints on the X window allow closing and ask for a title with its buttons.
bool OffersCloseBox(wxTopLevelWindow* window);

// Sends the window what a window manager sends when its close box is clicked
// (WM_DELETE_WINDOW through the X server), then delivers. False when it could
// not be sent.
bool PressCloseBox(wxWindow* topLevel);

// The desktop's own dialogs (the file chooser "GtkFileChooserDialog" and the
// questions it asks, "GtkMessageDialog") are not among the toolkit's windows.
// The first shown one of the named type gets the keyboard and the pointer
// moves to its middle; false when none is shown.
bool FocusDesktopDialog(const char* gtkType);
bool DesktopDialogShown(const char* gtkType);
// Answers every shown one of the named type with "cancel", as Escape would.
void CancelDesktopDialogs(const char* gtkType);
// The rows the shown file chooser ("GtkFileChooserDialog") lists now: every
// text of every row of its file lists (the names, with their size and date
// texts), as its view holds them after its filter; empty when none is shown.
std::vector<std::string> DesktopChooserTexts();
// The middle of the row of the shown file chooser's list that shows `text`,
// on the screen; false when no row shows it.
bool DesktopChooserRowAt(const std::string& text, wxPoint* screen);
// Where the first shown desktop dialog of the type stands on the screen; an
// empty rectangle when none is shown.
wxRect DesktopDialogRect(const char* gtkType);

// A menu bar the desktop draws (the toolkit's own): the entry whose
// drop-down is shown now (-1 for none) and, through `highlighted`, the
// position of its highlighted item (-1 for none).
int DesktopDropDownShown(wxMenuBar* bar, int* highlighted = nullptr);

class XInputScript {
public:
    // A step returns false while what it waits for has not happened; it is
    // then run again on the next tick.
    using Step = std::function<bool()>;

    explicit XInputScript(int interval_ms = 150, int timeout_ms = 20000);
    ~XInputScript();
    XInputScript(const XInputScript&) = delete;
    XInputScript& operator=(const XInputScript&) = delete;

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

// Acts on a modal dialog the test opens through a real click: once `find`
// returns the shown dialog and it has settled for a few ticks, `act` runs once
// (and presses what the user would). Gives up after `seconds`, ending the
// dialog.
class ModalDialogDriver {
public:
    ModalDialogDriver(std::function<wxDialog*()> find, std::function<void(wxDialog*)> act, int seconds = 10);

    // Delivers events until the act has run and the dialog is gone (or time is up).
    void WaitUntilClosed();
    bool acted() const { return m_acted; }
    bool timedOut() const { return m_script.timedOut(); }

private:
    std::function<wxDialog*()> m_find;
    bool m_acted = false;
    int m_shownTicks = 0;
    int m_seconds;
    XInputScript m_script;
};

}  // namespace testsupport
