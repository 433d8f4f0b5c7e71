// Docking bars and the toolbar tip on real windows: a frame with a tabbed
// bar on the left and a plain bar on top, the sizing edge pressed and
// released, floating and docking again, hiding; floating bars dragged by
// their caption through the X server, with the outline and the bars checked
// where the server maps them; a tip over the centre.
// Screenshots: screens/docking-bars.png, screens/docking-drag-outline.png.
#include <filesystem>
#include <gtest/gtest.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include "controls/control_bar.h"
#include "controls/tbar_but_tittle_tip.h"
#include "tests/controls/drag_outline_on_screen.h"
#include "tests/controls/tip_on_screen.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/window_test_util.h"

namespace {

using controls::DockSide;

struct DockFrame {
    wxFrame* frame = nullptr;
    wxPanel* centre = nullptr;
    CQxControlBar* top = nullptr;
    CQxTabControlBar* left = nullptr;

    DockFrame() {
        frame = new wxFrame(nullptr, wxID_ANY, "docking", wxPoint(40, 40), wxSize(800, 560));
        centre = new wxPanel(frame);
        centre->SetBackgroundColour(*wxWHITE);
        top = new CQxControlBar();
        EXPECT_TRUE(top->Create(frame, 61446, "Tools", wxSize(300, 60), 0x50000000u | controls::kCbrsAlignTop));
        left = new CQxTabControlBar();
        EXPECT_TRUE(left->Create(frame, 61447, "Workspace", wxSize(220, 1200), 0x50000000u | controls::kCbrsAlignLeft));
        frame->Bind(wxEVT_SIZE, [this](wxSizeEvent&) { CQxControlBar::LayoutDockSite(frame, centre); });
        frame->Show();
        frame->SendSizeEvent();
        testsupport::PumpEvents(300);
    }
    ~DockFrame() { frame->Destroy(); testsupport::PumpEvents(50); }
};

wxWindow* MakePage(wxWindow* parent, const char* text) {
    auto* p = new wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_SIMPLE);
    new wxStaticText(p, wxID_ANY, wxString::FromUTF8(text), wxPoint(10, 10));
    return p;
}

TEST(ControlBarWindow, DocksAroundTheCentreAndKeepsItsThickness) {
    DockFrame f;
    const wxSize client = f.frame->GetClientSize();
    EXPECT_EQ(f.top->side(), DockSide::Top);
    EXPECT_EQ(f.top->dockBarId(), 59419);
    EXPECT_EQ(f.top->GetRect(), wxRect(0, 0, client.x, 60));
    EXPECT_EQ(f.left->GetRect(), wxRect(0, 60, 220, client.y - 60));
    EXPECT_EQ(f.centre->GetRect(), wxRect(220, 60, client.x - 220, client.y - 60));

    // Press and release on the top bar's edge (its bottom 5 pixels).
    EXPECT_FALSE(f.top->OnEdgePress(wxPoint(100, 20)));  // the client area does nothing
    ASSERT_TRUE(f.top->OnEdgePress(wxPoint(100, 57)));
    EXPECT_TRUE(f.top->tracking());
    f.top->OnEdgeRelease();
    testsupport::PumpEvents(100);
    EXPECT_FALSE(f.top->tracking());
    EXPECT_EQ(f.top->GetSize().y, 60);
    EXPECT_EQ(f.top->sizes().horz(), (controls::BarSize{300, 60}));
}

TEST(ControlBarWindow, TabbedBarShowsItsFirstPageOnly) {
    DockFrame f;
    const std::string longName = "身体尺寸测量数据表格及其说明文字第二页";  // 38 GBK bytes
    ASSERT_TRUE(f.left->AddView("测量", [](wxWindow* p) { return MakePage(p, "第一页: 测量数据"); }));
    ASSERT_TRUE(f.left->AddView(longName, [](wxWindow* p) { return MakePage(p, "第二页"); }));
    EXPECT_FALSE(f.left->AddView("坏页", [](wxWindow*) -> wxWindow* { return nullptr; }));
    EXPECT_FALSE(f.left->AddView("抛出", [](wxWindow*) -> wxWindow* { throw std::runtime_error("no view"); }));
    testsupport::PumpEvents(200);
    ASSERT_EQ(f.left->pages().size(), 2u);
    EXPECT_EQ(f.left->tabs()->GetPageCount(), 2u);
    EXPECT_EQ(f.left->pages()[1].name, "身体尺寸测量数据表格及其说明文");  // 30 bytes: one more would split
    EXPECT_EQ(f.left->lastView(), f.left->pages()[1].view);
    EXPECT_TRUE(f.left->pages()[0].view->IsShownOnScreen());
    EXPECT_FALSE(f.left->pages()[1].view->IsShownOnScreen());
    EXPECT_FALSE(f.left->pages()[1].view->IsEnabled());
    // The tab control's area lies inside the client rectangle (edge on the right).
    const wxRect tabs = f.left->tabs()->GetRect();
    EXPECT_EQ(tabs, wxRect(2, 2, 220 - 9, f.left->GetSize().y - 8));
    // A click on the second tab is not followed: the change is vetoed.
    wxBookCtrlEvent change(wxEVT_NOTEBOOK_PAGE_CHANGING, f.left->tabs()->GetId(), 1, 0);
    change.SetEventObject(f.left->tabs());
    f.left->tabs()->ProcessWindowEvent(change);
    EXPECT_FALSE(change.IsAllowed());
    EXPECT_EQ(f.left->tabs()->GetSelection(), 0);

    CTbarButTittleTip tip;
    ASSERT_TRUE(tip.Create(f.centre));
    testsupport::GiveKeyboardTo(f.frame);
    tip.ShowTip(120, 120, "选择服饰类别");
    ASSERT_TRUE(tiptest::XShowsTip(tip, "选择服饰类别", tiptest::ExpectedScreenRect(f.centre, 120, 120, "选择服饰类别")));
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(f.frame, testsupport::Screen("docking-bars.png")));
}

TEST(ControlBarWindow, FloatsDocksAndHides) {
    DockFrame f;
    const wxSize client = f.frame->GetClientSize();
    f.left->ToggleDocking();
    testsupport::PumpEvents(200);
    EXPECT_TRUE(f.left->IsFloating());
    ASSERT_NE(f.left->floatFrame(), nullptr);
    EXPECT_EQ(f.left->GetParent(), f.left->floatFrame()->body());
    EXPECT_EQ(f.left->GetRect(), f.left->floatFrame()->BarRect());
    EXPECT_EQ(f.centre->GetRect(), wxRect(0, 60, client.x, client.y - 60));

    ASSERT_TRUE(f.left->RunBarCommand(controls::kCmdToggleDocking));
    testsupport::PumpEvents(200);
    EXPECT_EQ(f.left->side(), DockSide::Left);
    EXPECT_EQ(f.left->GetParent(), f.frame);
    EXPECT_EQ(f.centre->GetRect(), wxRect(220, 60, client.x - 220, client.y - 60));

    ASSERT_TRUE(f.top->RunBarCommand(controls::kCmdHideBar));
    testsupport::PumpEvents(200);
    EXPECT_FALSE(f.top->IsShown());
    EXPECT_EQ(f.centre->GetRect(), wxRect(220, 0, client.x - 220, client.y));
    EXPECT_FALSE(f.top->RunBarCommand(1));
}

// ---- dragging a floating bar by its caption ----

CQxFloatFrame* FloatBar(CQxControlBar* bar) {
    bar->ToggleDocking();
    testsupport::PumpEvents(100);
    CQxFloatFrame* ff = bar->floatFrame();
    if (ff) testsupport::WaitUntilPlaced(ff);
    return ff;
}
using outlinetest::Grip;
using outlinetest::XOutline;
using outlinetest::XOutlineGone;
using outlinetest::XOutlineOnceAt;
using outlinetest::XOutlineWidth;
using outlinetest::XRectOnceAt;

TEST(ControlBarDragWindow, TheOutlineShowsWhereTheBarGoesAndTheReleaseDocksItThere) {
    DockFrame f;
    const wxSize client = f.frame->GetClientSize();
    const wxPoint origin = f.frame->ClientToScreen(wxPoint(0, 0));
    CQxFloatFrame* ff = FloatBar(f.left);
    ASSERT_NE(ff, nullptr);
    const wxRect start = testsupport::XStateOf(ff).screen;
    const wxPoint grip = Grip(ff);
    const wxPoint middle = origin + wxPoint(client.x / 2, client.y / 2);
    const wxPoint rightEdge = origin + wxPoint(client.x - 2, client.y / 2);
    const wxRect dockedRight(origin.x + client.x - 220, origin.y + 60, 220, client.y - 60);
    {
        testsupport::XDrag drag(grip);
        drag.MoveTo(grip + wxPoint(2, 1));  // not yet a drag
        EXPECT_FALSE(ff->outline().shown());
        EXPECT_TRUE(XOutlineGone(ff->outline()));
        // Over the middle: the floating frame's shape where it would go; the
        // frame itself stays.
        drag.MoveTo(middle);
        const wxRect floatingThere(start.GetPosition() + (middle - grip), start.GetSize());
        EXPECT_EQ(XOutlineOnceAt(ff->outline(), floatingThere), floatingThere);
        EXPECT_EQ(XOutlineWidth(ff->outline()), CQxDragOutline::kFloatingWidth);
        EXPECT_EQ(testsupport::XStateOf(ff).screen, start);
        // Over the frame's right edge: the bar's docked shape there.
        drag.MoveTo(rightEdge);
        EXPECT_EQ(XOutlineOnceAt(ff->outline(), dockedRight), dockedRight);
        EXPECT_EQ(XOutlineWidth(ff->outline()), CQxDragOutline::kDockedWidth);
        EXPECT_TRUE(testsupport::SaveWindowScreenshot(f.frame, testsupport::Screen("docking-drag-outline.png")));
        drag.Release();
    }
    ASSERT_TRUE(testsupport::DeliverUntil([&] { return !f.left->IsFloating(); }, 3000));
    testsupport::PumpEvents(200);
    EXPECT_EQ(f.left->side(), DockSide::Right);
    EXPECT_EQ(f.left->floatFrame(), nullptr);
    EXPECT_EQ(f.left->GetParent(), f.frame);
    EXPECT_EQ(XRectOnceAt(f.left, dockedRight), dockedRight);
    EXPECT_TRUE(testsupport::XStateOf(f.left).viewable);
    EXPECT_EQ(f.centre->GetRect(), wxRect(0, 60, client.x - 220, client.y - 60));
    for (wxWindow* w : wxTopLevelWindows) EXPECT_EQ(dynamic_cast<CQxFloatFrame*>(w), nullptr);

    // The double click on its edge (now its left side) floats it, and the one
    // on the caption brings it back to the right; so do commands 1214.
    testsupport::DoubleClickAtScreen(f.left->ClientToScreen(wxPoint(2, client.y / 2)), 300);
    ASSERT_TRUE(f.left->IsFloating());
    ff = f.left->floatFrame();
    ASSERT_NE(ff, nullptr);
    testsupport::WaitUntilPlaced(ff);
    testsupport::DoubleClickAtScreen(Grip(ff), 300);
    ASSERT_TRUE(testsupport::DeliverUntil([&] { return !f.left->IsFloating(); }, 3000));
    EXPECT_EQ(f.left->side(), DockSide::Right);
    ASSERT_TRUE(f.left->RunBarCommand(controls::kCmdToggleDocking));
    testsupport::PumpEvents(100);
    EXPECT_TRUE(f.left->IsFloating());
    ASSERT_TRUE(f.left->RunBarCommand(controls::kCmdToggleDocking));
    testsupport::PumpEvents(200);
    EXPECT_EQ(f.left->side(), DockSide::Right);
    EXPECT_EQ(XRectOnceAt(f.left, dockedRight), dockedRight);
    // Hidden and shown again, it is still on the right.
    ASSERT_TRUE(f.left->RunBarCommand(controls::kCmdHideBar));
    testsupport::PumpEvents(200);
    EXPECT_FALSE(testsupport::XStateOf(f.left).viewable);
    f.left->ShowBar();
    testsupport::PumpEvents(200);
    EXPECT_EQ(f.left->side(), DockSide::Right);
    EXPECT_EQ(XRectOnceAt(f.left, dockedRight), dockedRight);
    EXPECT_TRUE(testsupport::XStateOf(f.left).viewable);

    // The top bar dropped on the bottom edge docks there with its own 60
    // pixels; the side bar then runs from the top.
    ff = FloatBar(f.top);
    ASSERT_NE(ff, nullptr);
    const wxRect dockedBottom(origin.x, origin.y + client.y - 60, client.x, 60);
    {
        testsupport::XDrag drag(Grip(ff));
        drag.MoveTo(origin + wxPoint(client.x / 3, client.y - 3));
        EXPECT_EQ(XOutlineOnceAt(ff->outline(), dockedBottom), dockedBottom);
    }
    ASSERT_TRUE(testsupport::DeliverUntil([&] { return !f.top->IsFloating(); }, 3000));
    testsupport::PumpEvents(200);
    EXPECT_EQ(f.top->side(), DockSide::Bottom);
    EXPECT_EQ(XRectOnceAt(f.top, dockedBottom), dockedBottom);
    const wxRect rightFromTheTop(origin.x + client.x - 220, origin.y, 220, client.y - 60);
    EXPECT_EQ(XRectOnceAt(f.left, rightFromTheTop), rightFromTheTop);
}

TEST(ControlBarDragWindow, CtrlKeepsTheBarFloatingAndItsCaptionStaysOnTheScreen) {
    DockFrame f;
    const wxSize client = f.frame->GetClientSize();
    const wxPoint origin = f.frame->ClientToScreen(wxPoint(0, 0));
    const wxRect area = wxDisplay(f.frame).GetClientArea();
    CQxFloatFrame* ff = FloatBar(f.left);
    ASSERT_NE(ff, nullptr);
    wxRect start = testsupport::XStateOf(ff).screen;
    // Ctrl held over the frame's right edge: the floating shape; on to the
    // screen's right edge, the shape is pushed back inside the screen, and
    // the frame goes there.
    const wxPoint rightEdge = origin + wxPoint(client.x - 2, client.y / 2);
    const wxPoint screenEdge(area.GetRight() - 1, rightEdge.y);
    wxPoint grip = Grip(ff);
    const wxPoint moved = start.GetPosition() + (screenEdge - grip);
    const wxRect kept(area.GetRight() + 1 - start.width, moved.y, start.width, start.height);
    ASSERT_LT(kept.x, moved.x);  // the drag would have put it partly off the screen
    {
        testsupport::XDrag drag(grip, true);
        drag.MoveTo(rightEdge);
        const wxRect floatingThere(start.GetPosition() + (rightEdge - grip), start.GetSize());
        EXPECT_EQ(XOutlineOnceAt(ff->outline(), floatingThere), floatingThere);
        EXPECT_EQ(XOutlineWidth(ff->outline()), CQxDragOutline::kFloatingWidth);
        drag.MoveTo(screenEdge);
        EXPECT_EQ(XOutlineOnceAt(ff->outline(), kept), kept);
    }
    testsupport::PumpEvents(200);
    ASSERT_TRUE(f.left->IsFloating());
    EXPECT_EQ(f.left->floatFrame(), ff);
    EXPECT_EQ(XRectOnceAt(ff, kept), kept);
    EXPECT_TRUE(XOutlineGone(ff->outline()));
    const wxRect closeBox(ff->body()->ClientToScreen(ff->CloseBoxRect().GetPosition()), ff->CloseBoxRect().GetSize());
    EXPECT_TRUE(area.Contains(closeBox));

    // Up past the top of the screen: the caption stops at the top.
    grip = Grip(ff);
    {
        testsupport::XDrag drag(grip);
        drag.MoveTo(wxPoint(grip.x - 300, 0));
    }
    testsupport::PumpEvents(200);
    ASSERT_TRUE(f.left->IsFloating());
    start = wxRect(kept.x - 300, area.y, kept.width, kept.height);
    EXPECT_EQ(XRectOnceAt(ff, start), start);

    // Ctrl pressed and let go while the pointer rests over the left edge
    // switches the outline between the floating and the docked shape;
    // Escape ends the drag: the outline goes and the frame stays.
    testsupport::GiveKeyboardTo(ff);
    {
        const wxPoint leftEdge = origin + wxPoint(3, client.y / 2);
        const wxRect dockedLeft(origin.x, origin.y + 60, 220, client.y - 60);
        testsupport::XDrag drag(Grip(ff));
        drag.MoveTo(leftEdge);
        EXPECT_EQ(XOutlineOnceAt(ff->outline(), dockedLeft), dockedLeft);
        wxUIActionSimulator sim;
        sim.KeyDown(WXK_CONTROL);
        testsupport::DeliverEvents(150);
        EXPECT_EQ(XOutlineWidth(ff->outline()), CQxDragOutline::kFloatingWidth);
        EXPECT_EQ(XOutline(ff->outline()).GetSize(), start.GetSize());
        sim.KeyUp(WXK_CONTROL);
        testsupport::DeliverEvents(150);
        EXPECT_EQ(XOutlineOnceAt(ff->outline(), dockedLeft), dockedLeft);
        testsupport::XKey(WXK_ESCAPE);
        testsupport::DeliverEvents(200);
        EXPECT_TRUE(XOutlineGone(ff->outline()));
        drag.MoveTo(leftEdge + wxPoint(1, 20));  // still over the left edge, no longer dragging
        EXPECT_TRUE(XOutlineGone(ff->outline()));
    }
    testsupport::PumpEvents(200);
    EXPECT_TRUE(f.left->IsFloating());
    EXPECT_EQ(testsupport::XStateOf(ff).screen, start);
}

// A floating bar's frame: room for the bar, the caption and the rim, cut
// to the work area and moved inside it.
TEST(ControlBarWindow, FloatingFramesFitTheWorkArea) {
    const wxRect area(0, 0, 1920, 1040);  // a 1080-line screen above a 40-pixel panel
    const int extraW = 2 * CQxFloatFrame::kRim, extraH = 2 * CQxFloatFrame::kRim + CQxFloatFrame::kCaptionHeight;
    struct Case {
        wxPoint at;
        wxSize bar;
        wxRect frame;
    };
    const Case cases[] = {
        {{100, 50}, {200, 300}, {100, 50, 200 + extraW, 300 + extraH}},
        {{60, 90}, {566, 1200}, {60, 0, 566 + extraW, 1040}},          // too tall: the area's height
        {{1800, 900}, {300, 200}, {1920 - 300 - extraW, 1040 - 200 - extraH, 300 + extraW, 200 + extraH}},
        {{-50, -20}, {300, 200}, {0, 0, 300 + extraW, 200 + extraH}},
        {{10, 10}, {4000, 3000}, {0, 0, 1920, 1040}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CQxFloatFrame::FitToWorkArea(c.at, c.bar, area), c.frame) << c.at.x << "," << c.at.y;
    // An area that does not start at the origin.
    EXPECT_EQ(CQxFloatFrame::FitToWorkArea({0, 0}, {100, 100}, wxRect(64, 30, 800, 600)),
              wxRect(64, 30, 100 + extraW, 100 + extraH));
}

// The tip's face, painted on a memory bitmap: a black frame, pale yellow
// inside, the text's dark pixels from (3, 3) on and nowhere else.
TEST(TbarTipWindow, FaceIsBlackTextInABlackFrameOnPaleYellow) {
    const std::string text = "背景";
    const wxSize t = tiptest::TextSize(text);
    const int w = t.x + 8, h = t.y + 6;
    wxBitmap bitmap(w, h, 24);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxRED_BRUSH);
        dc.Clear();
        CTbarButTittleTip::Paint(dc, w, h, text);
    }
    const wxImage face = bitmap.ConvertToImage();
    int text_pixels = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            const unsigned rgb = face.GetRed(x, y) << 16 | face.GetGreen(x, y) << 8 | face.GetBlue(x, y);
            if (edge) {
                EXPECT_EQ(rgb, 0x000000u) << x << "," << y;
            } else if (x < 3 || y < 3 || x >= 3 + t.x || y >= 3 + t.y) {
                EXPECT_EQ(rgb, 0xFFFFE1u) << x << "," << y;  // the margin around the text
            } else {
                text_pixels += tiptest::Dark(face, x, y);
            }
        }
    EXPECT_GT(text_pixels, 20);
}

// The tip as the X server shows it: mapped with its own text at its own
// place, a second request ignored while it is up, hidden on the fourth tick
// of its timer, and never shown while another program has the keyboard.
TEST(TbarTipWindow, IsMappedAboveThePointOnceAndGoesOnTheFourthTick) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "tip", wxPoint(60, 60), wxSize(400, 200));
    auto* owner = new wxPanel(frame);
    frame->Show();
    testsupport::PumpEvents(200);
    testsupport::GiveKeyboardTo(frame);
    {
        CTbarButTittleTip tip;
        ASSERT_TRUE(tip.Create(owner));

        // Near the top of the owner the tip reaches above it.
        const wxRect first = tiptest::ExpectedScreenRect(owner, 30, 10, "背景");
        EXPECT_LT(first.y, owner->ClientToScreen(wxPoint(0, 0)).y);
        tip.ShowTip(30, 10, "背景");
        ASSERT_TRUE(tiptest::XShowsTip(tip, "背景", first));

        tip.ShowTip(200, 100, "模特试衣");  // ignored while shown
        EXPECT_EQ(tip.text(), "背景");
        EXPECT_TRUE(tiptest::XShowsTip(tip, "背景", first));

        // The timer's own ticks: shown through the third, gone on the fourth.
        const int ticksWhenGone = tiptest::TicksWhenXHides(tip);
        ASSERT_NE(ticksWhenGone, -1) << "the tip never went";
        EXPECT_FALSE(ticksWhenGone <= 3) << "hidden on tick " << tip.ticks();
        EXPECT_EQ(tip.ticks(), 4);
        EXPECT_FALSE(tip.IsShown());

        // The next tip has its own width at its own place; the owner hides it.
        tip.ShowTip(200, 100, "模特试衣");
        EXPECT_TRUE(tiptest::XShowsTip(tip, "模特试衣", tiptest::ExpectedScreenRect(owner, 200, 100, "模特试衣")));
        tip.HideTip();
        EXPECT_TRUE(tiptest::XHidesTip(tip));

        // Another program has the keyboard: no tip.
        {
            testsupport::ForeignFocusWindow other;
            ASSERT_TRUE(other.ok());
            ASSERT_TRUE(testsupport::DeliverUntil([&] { return !frame->IsActive(); }));
            tip.ShowTip(120, 80, "背景");
            testsupport::DeliverEvents(400);
            EXPECT_FALSE(tip.IsShown());
            EXPECT_FALSE(testsupport::XStateOf(tip.window()).viewable);
        }
    }
    frame->Destroy();
    testsupport::PumpEvents(50);
}

}  // namespace
