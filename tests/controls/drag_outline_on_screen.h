#pragma once
// Checks of a floating bar's drag outline and frame against what the X server
// maps, and a caption point to drag by. For the window tests of the docking
// bars and of the child frames that hold them.
#include <wx/popupwin.h>

#include "controls/control_bar.h"
#include "tests/support/window_test_util.h"
#include "tests/support/x_window_state.h"

namespace outlinetest {

// The rectangle the outline's four strips cover as mapped; empty unless all
// four are viewable.
inline wxRect XOutline(const CQxDragOutline& outline) {
    wxRect all;
    for (wxPopupWindow* strip : outline.strips()) {
        const testsupport::XWindowState x = testsupport::XStateOf(strip);
        if (!strip || !x.viewable) return {};
        all = all.IsEmpty() ? x.screen : all.Union(x.screen);
    }
    return all;
}

// The outline's rectangle once the server maps it as `expected` (or what it
// maps after a few seconds), as a busy server may lag behind the pointer.
inline wxRect XOutlineOnceAt(const CQxDragOutline& outline, const wxRect& expected) {
    testsupport::DeliverUntil([&] { return XOutline(outline) == expected; }, 3000);
    return XOutline(outline);
}

// A window's screen rectangle once the server shows it as `expected` (or
// what it shows after a few seconds).
inline wxRect XRectOnceAt(wxWindow* window, const wxRect& expected) {
    testsupport::DeliverUntil([&] { return testsupport::XStateOf(window).screen == expected; }, 3000);
    return testsupport::XStateOf(window).screen;
}

// The thickness of the outline's top strip as mapped.
inline int XOutlineWidth(const CQxDragOutline& outline) {
    return outline.strips()[0] ? testsupport::XStateOf(outline.strips()[0]).screen.height : 0;
}

inline bool XOutlineGone(const CQxDragOutline& outline) {
    for (wxPopupWindow* strip : outline.strips())
        if (strip && testsupport::XStateOf(strip).viewable) return false;
    return true;
}

// A point on the floating frame's caption, away from its close box.
inline wxPoint Grip(CQxFloatFrame* ff) {
    return ff->body()->ClientToScreen(ff->CaptionRect().GetPosition() + wxPoint(40, 8));
}

}  // namespace outlinetest
