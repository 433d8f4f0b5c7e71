#pragma once
// Checks of a toolbar tip against what the X server shows: its window mapped
// and viewable, standing where the tip rule puts it for the asked point and
// text, and its pixels being the tip's face with that text. For the window
// tests of the tip and of the bars that use it.
#include <string>

#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/popupwin.h>
#include <wx/window.h>

#include "controls/tbar_but_tittle_tip.h"
#include "controls/tip_placement.h"
#include "platform/ui/fonts.h"
#include "tests/support/window_test_util.h"
#include "tests/support/x_window_state.h"

namespace tiptest {

// The text's size in the tip's font (14-pixel "宋体").
inline wxSize TextSize(const std::string& text) {
    wxBitmap one(1, 1);
    wxMemoryDC dc(one);
    dc.SetFont(platform::ui::MakeFont(controls::kTipFontHeight));
    return dc.GetTextExtent(wxString::FromUTF8(text));
}

// Where a tip asked at (x, y) of the owner's client area stands on the screen:
// left x, top y - h - 16, right x + w + 8, bottom y - 10 for text of w x h.
inline wxRect ExpectedScreenRect(wxWindow* owner, int x, int y, const std::string& text) {
    const wxSize t = TextSize(text);
    return wxRect(owner->ClientToScreen(wxPoint(x, y - t.y - 16)), wxSize(t.x + 8, t.y + 6));
}

inline bool Dark(const wxImage& im, int x, int y) {
    return im.GetRed(x, y) + im.GetGreen(x, y) + im.GetBlue(x, y) < 3 * 110;
}

// Whether `grab` (the X server's pixels of the tip's window) is the tip's
// face with `text`: a dark frame, pale yellow inside, and the dark pixels of
// the text where the face has them.
inline ::testing::AssertionResult FaceShows(const wxImage& grab, const std::string& text) {
    if (!grab.IsOk() || grab.GetWidth() <= 6 || grab.GetHeight() <= 6)
        return ::testing::AssertionFailure() << "nothing grabbed";
    const int w = grab.GetWidth(), h = grab.GetHeight();
    wxBitmap bitmap(w, h, 24);
    {
        wxMemoryDC dc(bitmap);
        CTbarButTittleTip::Paint(dc, w, h, text);
    }
    const wxImage face = bitmap.ConvertToImage();
    int inFace = 0, inBoth = 0, onlyShown = 0;
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x) {
            const bool f = Dark(face, x, y), g = Dark(grab, x, y);
            inFace += f;
            inBoth += f && g;
            onlyShown += g && !f;
        }
    const bool framed =
        Dark(grab, w / 2, 0) && Dark(grab, w / 2, h - 1) && Dark(grab, 0, h / 2) && Dark(grab, w - 1, h / 2);
    // The background beside the end of the text.
    const int bx = w - 3, by = h / 2;
    const bool paleYellow = grab.GetRed(bx, by) > 240 && grab.GetGreen(bx, by) > 240 &&
                            grab.GetBlue(bx, by) > 200 && grab.GetBlue(bx, by) < 240;
    if (inFace >= 15 && inBoth * 10 >= inFace * 9 && onlyShown * 10 <= inFace && framed && paleYellow)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the tip does not show \"" << text << "\": " << inFace
                                         << " dark pixels in its face, " << inBoth << " of them shown, " << onlyShown
                                         << " dark pixels elsewhere; " << (framed ? "framed" : "no frame")
                                         << "; background at the end (" << int(grab.GetRed(bx, by)) << ","
                                         << int(grab.GetGreen(bx, by)) << "," << int(grab.GetBlue(bx, by)) << ")";
}

// The tip's window among the owner's children (for owners that keep their
// tip to themselves).
inline wxPopupWindow* TipWindowOf(wxWindow* owner) {
    for (wxWindow* child : owner->GetChildren())
        if (auto* popup = dynamic_cast<wxPopupWindow*>(child)) return popup;
    return nullptr;
}

// Waits until the X server maps the tip's window; then it must stand at
// `where` and show `text`.
inline ::testing::AssertionResult XShowsTip(wxPopupWindow* popup, const std::string& text, const wxRect& where) {
    if (!popup) return ::testing::AssertionFailure() << "the tip has no window";
    if (!testsupport::DeliverUntil([&] { return testsupport::XStateOf(popup).viewable; }))
        return ::testing::AssertionFailure() << "the X server never mapped the tip for \"" << text << "\"";
    // The map, the place and the paint reach the server one after another.
    testsupport::DeliverUntil([&] { return testsupport::XStateOf(popup).screen == where; }, 3000);
    const testsupport::XWindowState state = testsupport::XStateOf(popup);
    if (!state.viewable) return ::testing::AssertionFailure() << "the tip for \"" << text << "\" went at once";
    if (state.screen != where) {
        const wxRect& s = state.screen;
        return ::testing::AssertionFailure() << "the tip for \"" << text << "\" stands at " << s.x << "," << s.y << " "
                                             << s.width << "x" << s.height << ", not at " << where.x << "," << where.y
                                             << " " << where.width << "x" << where.height;
    }
    ::testing::AssertionResult face = ::testing::AssertionFailure();
    testsupport::DeliverUntil(
        [&] {
            face = FaceShows(testsupport::GrabScreenArea(where), text);
            return static_cast<bool>(face);
        },
        3000);
    return face;
}

inline ::testing::AssertionResult XShowsTip(CTbarButTittleTip& tip, const std::string& text, const wxRect& where) {
    return XShowsTip(tip.window(), text, where);
}

// Waits until the X server no longer shows the tip's window.
inline bool XHidesTip(wxPopupWindow* popup, int ms = 10000) {
    return testsupport::DeliverUntil([&] { return !testsupport::XStateOf(popup).viewable; }, ms);
}

inline bool XHidesTip(CTbarButTittleTip& tip, int ms = 10000) { return XHidesTip(tip.window(), ms); }

// Waits until the X server no longer shows the tip's window; the tip's timer
// ticks as counted just before that look, or -1 when the tip never went.
inline int TicksWhenXHides(CTbarButTittleTip& tip) {
    int ticksWhenGone = -1;
    testsupport::DeliverUntil([&] {
        const int ticks = tip.ticks();
        if (testsupport::XStateOf(tip.window()).viewable) return false;
        ticksWhenGone = ticks;
        return true;
    });
    return ticksWhenGone;
}

}  // namespace tiptest
