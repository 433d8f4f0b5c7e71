#pragma once
// A left click through the toolkit's input simulator at a point of a window
// (its middle by default), then the events it causes.
#include <wx/gdicmn.h>
#include <wx/uiaction.h>
#include <wx/window.h>

#include "tests/support/window_test_util.h"

namespace transfertest {

inline void Click(wxWindow* w, wxPoint at = wxDefaultPosition) {
    const wxRect r = w->GetScreenRect();
    if (at == wxDefaultPosition) at = wxPoint(r.width / 2, r.height / 2);
    wxUIActionSimulator sim;
    sim.MouseMove(r.x + at.x, r.y + at.y);
    testsupport::PumpEvents(60);
    sim.MouseClick();
    testsupport::PumpEvents(150);
}

}  // namespace transfertest
