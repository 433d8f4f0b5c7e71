#pragma once
// Helpers for tests that open real windows under Xvfb.
#include <functional>
#include <string>
#include <vector>
#include <wx/gdicmn.h>
#include <wx/image.h>
#include <wx/timer.h>
#include <wx/toplevel.h>

class wxWindow;
class wxTopLevelWindow;
class wxDialog;

namespace testsupport {

// Runs the event loop for about `ms` milliseconds (paints, sizes, calls after).
void PumpEvents(int ms = 100);

// What the X server shows in a rectangle of the screen (native controls and
// dropped lists included); an invalid image when it cannot be read.
wxImage GrabScreenArea(const wxRect& area);

// Saves what the X server shows of the window's screen rectangle as PNG
// (the window must be shown and uncovered). Folders are created. Returns
// false when nothing could be grabbed.
bool SaveWindowScreenshot(wxWindow* window, const std::string& png_path);

// Real input through the X server (XTest), as a user gives it: the pointer
// moves to a screen point and clicks or double-clicks there; keys go to the
// window with the focus. Each pumps the events for a while afterwards.
void ClickAtScreen(const wxPoint& p, int pumpMs = 150);
void DoubleClickAtScreen(const wxPoint& p, int pumpMs = 200);
void PressKey(int keyCode, int pumpMs = 150);
// A point of a window's client area in screen coordinates.
wxPoint ScreenPoint(wxWindow* window, const wxPoint& client);

// Asks a top-level window to close the way a window manager's close box
// does: the WM_DELETE_WINDOW message of the X protocol, sent to the window
// found on the server by its title. False when no such window is mapped.
bool SendCloseRequest(wxWindow* topLevel);

// A left click through the X server (the pointer moved there first) at a
// point of the window's client area, or at its middle; events are pumped
// after it unless a modal dialog it opens holds the loop.
void MouseClickAt(wxWindow* window, wxPoint client);
void MouseClickCentre(wxWindow* window);

// What a window manager reads to decide on a window's close box: the Motif
// hints on the X window allow closing and ask for a title with its buttons.
bool OffersCloseBox(wxTopLevelWindow* window);

// Sends the window what a window manager sends when its close box is
// clicked (WM_DELETE_WINDOW through the X server). False when it could not.
bool PressCloseBox(wxTopLevelWindow* window);

// Acts on a modal dialog the test opens through a real click: a timer
// running inside the dialog's modal loop waits until `find` returns the shown
// dialog, lets it settle for a few ticks, then calls `act` once (which
// presses what the user would). Gives up after `seconds`, ending the dialog.
class ModalDialogDriver {
public:
    ModalDialogDriver(std::function<wxDialog*()> find, std::function<void(wxDialog*)> act, int seconds = 10);
    ~ModalDialogDriver();
    ModalDialogDriver(const ModalDialogDriver&) = delete;
    ModalDialogDriver& operator=(const ModalDialogDriver&) = delete;

    // Pumps events until the act has run and the dialog is gone (or time is up).
    void WaitUntilClosed();
    bool acted() const { return m_acted; }
    bool timedOut() const { return m_timedOut; }

private:
    std::function<wxDialog*()> m_find;
    std::function<void(wxDialog*)> m_act;
    wxTimer m_timer;
    int m_ticks = 0, m_shownTicks = 0, m_maxTicks;
    bool m_acted = false, m_timedOut = false;
};

// The shown dialog of a class, if any.
template <class D>
D* FindShownDialog() {
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* d = dynamic_cast<D*>(w); d && d->IsShown()) return d;
    return nullptr;
}

// The icons that the X server holds for the top-level window titled `title`
// (what a desktop shows for it), each as its size and ARGB pixels; empty when
// there is no such window or it has no icon.
struct WindowIcon {
    int width = 0;
    int height = 0;
    std::vector<unsigned long> argb;  // row by row
};
std::vector<WindowIcon> WindowIcons(const std::string& title);

}  // namespace testsupport
