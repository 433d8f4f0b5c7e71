#pragma once
// Helpers for tests that open real windows under Xvfb.
#include <string>
#include <wx/gdicmn.h>
#include <wx/image.h>

class wxWindow;

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

}  // namespace testsupport
