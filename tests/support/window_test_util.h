#pragma once
// Helpers for tests that open real windows under Xvfb.
#include <string>
#include <vector>
#include <wx/gdicmn.h>
#include <wx/image.h>
#include <wx/time.h>
#include <wx/toplevel.h>

#include "tests/support/user_input.h"

class wxWindow;

namespace testsupport {

// Runs the event loop for about `ms` milliseconds (paints, sizes, calls after).
void PumpEvents(int ms = 100);

// Runs the event loop until done() holds or about `ms` milliseconds have
// passed; returns what done() says at the end.
template <typename F>
bool PumpUntil(F done, int ms = 20000) {
    const wxLongLong end = wxGetLocalTimeMillis() + ms;
    while (!done() && wxGetLocalTimeMillis() < end) PumpEvents(20);
    return done();
}

// Runs the event loop until the X server shows the window and its screen
// position has stood still for four looks (the toolkit places a window once
// it is mapped, so positions taken before then point elsewhere); at most 3 s.
void WaitUntilPlaced(wxWindow* window);

// What the X server shows in a rectangle of the screen (native controls and
// dropped lists included); an invalid image when it cannot be read.
wxImage GrabScreenArea(const wxRect& area);

// Saves what the X server shows of the window's screen rectangle as PNG
// (the window must be shown and uncovered). Folders are created. Returns
// false when nothing could be grabbed.
bool SaveWindowScreenshot(wxWindow* window, const std::string& png_path);

// The shown dialog of a class, if any.
template <class D>
D* FindShownDialog() {
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* d = dynamic_cast<D*>(w); d && d->IsShown()) return d;
    return nullptr;
}

// The shown top-level window of a name, if any: for the windows of a loaded
// module, whose classes are its own.
wxWindow* FindShownWindow(const wxString& name);

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
