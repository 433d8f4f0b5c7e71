#include "controls/control_bar_layout.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace {

using namespace controls;

TEST(ControlBarLayout, DockBarIdsNameTheSides) {
    EXPECT_EQ(DockSideOfBar(59419), DockSide::Top);
    EXPECT_EQ(DockSideOfBar(59420), DockSide::Left);
    EXPECT_EQ(DockSideOfBar(59421), DockSide::Right);
    EXPECT_EQ(DockSideOfBar(59422), DockSide::Bottom);
    for (int other : {0, 59418, 59423, -1}) EXPECT_EQ(DockSideOfBar(other), DockSide::Floating) << other;
    // The workspace bar of the child frames: WS_CHILD | WS_VISIBLE | CBRS_TOP.
    EXPECT_EQ(DockSideOfStyle(0x50000000u | 0x2000u), DockSide::Top);
    EXPECT_EQ(0x50002000u & kBarStyleMask, 0x2000u);
}

TEST(ControlBarLayout, SizingEdgeFacesTheCentre) {
    const BarRect w{0, 0, 300, 100};
    struct Case {
        DockSide side;
        BarRect edge, client;
    };
    const Case cases[] = {
        {DockSide::Top, {0, 95, 300, 100}, {2, 2, 298, 93}},
        {DockSide::Left, {295, 0, 300, 100}, {2, 2, 293, 94}},
        {DockSide::Right, {0, 0, 5, 100}, {7, 2, 298, 94}},
        {DockSide::Bottom, {0, 0, 300, 5}, {2, 7, 298, 98}},
        {DockSide::Floating, {}, {0, 0, 300, 100}},
    };
    for (const Case& c : cases) {
        const NonClientLayout l = LayoutNonClient(c.side, w);
        EXPECT_EQ(l.edge, c.edge) << static_cast<int>(c.side);
        EXPECT_EQ(l.client, c.client) << static_cast<int>(c.side);
    }
}

TEST(ControlBarLayout, FixedLayoutSpansTheFrameWithItsThickness) {
    ControlBarSizes s;
    EXPECT_EQ(s.horz(), (BarSize{200, 200}));
    s.SetAll({566, 1200});
    // Docked at the top: the frame's full width (top dock bar + 4) by horz cy.
    EXPECT_EQ(s.CalcFixedLayout(false, true, 1000, 700), (BarSize{1004, 1200}));
    EXPECT_EQ(s.CalcFixedLayout(false, false, 1000, 700), (BarSize{566, 704}));
    EXPECT_EQ(s.CalcFixedLayout(true, true, 1000, 700), (BarSize{32767, 1200}));
    EXPECT_EQ(s.CalcDynamicLayout(-1, kLmHorzDock | kLmHorz, 1000, 700), (BarSize{1004, 1200}));
    EXPECT_EQ(s.CalcDynamicLayout(-1, kLmVertDock, 1000, 700), (BarSize{566, 704}));
}

TEST(ControlBarLayout, DynamicLayoutSizesTheFloatingBar) {
    ControlBarSizes s;
    s.SetAll({300, 150});
    EXPECT_EQ(s.CalcDynamicLayout(0, kLmMruWidth, 0, 0), (BarSize{300, 150}));
    EXPECT_EQ(s.CalcDynamicLayout(250, kLmCommit, 0, 0), (BarSize{250, 150}));
    EXPECT_EQ(s.CalcDynamicLayout(10, kLmLengthY, 0, 0), (BarSize{250, 32}));
    EXPECT_EQ(s.CalcDynamicLayout(90, kLmLengthY, 0, 0), (BarSize{250, 90}));
    EXPECT_EQ(s.CalcDynamicLayout(5, 0, 0, 0), (BarSize{32, 90}));
    EXPECT_EQ(s.CalcDynamicLayout(400, 0, 0, 0), (BarSize{400, 90}));
    // Docked sizes are untouched by the floating requests.
    EXPECT_EQ(s.horz(), (BarSize{300, 150}));
}

TEST(ControlBarLayout, EdgeReleaseKeepsThicknessRaisedToMinimum) {
    ControlBarSizes s;
    s.SetAll({566, 120});
    s.EndEdgeTracking();
    EXPECT_EQ(s.horz(), (BarSize{566, 120}));
    s.SetAll({10, 0});
    s.EndEdgeTracking();
    EXPECT_EQ(s.vert(), (BarSize{32, 32}));
    EXPECT_EQ(s.floating(), (BarSize{32, 32}));
}

TEST(ControlBarLayout, DockSiteStacksBarsAroundTheCentre) {
    const BarRect client{0, 0, 800, 600};
    const std::vector<DockedBar> bars = {
        {DockSide::Left, 150}, {DockSide::Top, 40}, {DockSide::Bottom, 30}, {DockSide::Right, 100},
        {DockSide::Floating, 500}, {DockSide::Top, 20},
    };
    const DockSiteLayout l = LayoutDockSite(client, bars);
    ASSERT_EQ(l.bars.size(), bars.size());
    EXPECT_EQ(l.bars[1], (BarRect{0, 0, 800, 40}));
    EXPECT_EQ(l.bars[5], (BarRect{0, 40, 800, 60}));
    EXPECT_EQ(l.bars[2], (BarRect{0, 570, 800, 600}));
    EXPECT_EQ(l.bars[0], (BarRect{0, 60, 150, 570}));
    EXPECT_EQ(l.bars[3], (BarRect{700, 60, 800, 570}));
    EXPECT_TRUE(l.bars[4].Empty());
    EXPECT_EQ(l.centre, (BarRect{150, 60, 700, 570}));
}

TEST(ControlBarLayout, DockSiteCutsBarsToTheRoomLeft) {
    // The workspace bar's 1200-pixel height on a small frame takes it all.
    const DockSiteLayout l =
        LayoutDockSite({0, 0, 400, 300}, {{DockSide::Top, 1200}, {DockSide::Left, 50}, {DockSide::Bottom, 10}});
    EXPECT_EQ(l.bars[0], (BarRect{0, 0, 400, 300}));
    EXPECT_EQ(l.bars[2], (BarRect{0, 300, 400, 300}));
    EXPECT_EQ(l.bars[1], (BarRect{0, 300, 50, 300}));
    EXPECT_EQ(l.centre, (BarRect{50, 300, 400, 300}));
    EXPECT_TRUE(l.centre.Empty());
}

// A floating bar dragged by its caption, on a frame whose client area lies
// below a 100-pixel header of a 1280 x 1024 screen. The floating frame is
// 400 x 300 at (300, 200) and was grabbed at (400, 210).
DockDragSite DragSite(unsigned style = kCbrsAlignAny, std::vector<DockedBar> docked = {}) {
    DockDragSite s;
    s.site = {0, 100, 1280, 1000};
    s.docked = std::move(docked);
    s.workArea = {0, 0, 1280, 1024};
    s.dockStyle = style;
    s.horzThickness = 150;
    s.vertThickness = 566;
    s.captionBottom = 22;
    return s;
}
constexpr BarRect kFrameAtStart{300, 200, 700, 500};
constexpr BarPoint kGrip{400, 210};
BarRect Moved(int dx, int dy) { return {300 + dx, 200 + dy, 700 + dx, 500 + dy}; }

TEST(ControlBarDrag, ADropDocksOnTheSideUnderThePointerOrFloatsThere) {
    struct Case {
        const char* what;
        BarPoint to;
        bool ctrl;
        DockDrop drop;
    };
    const Case cases[] = {
        {"right edge", {1279, 500}, false, {DockSide::Right, {714, 100, 1280, 1000}}},
        {"right zone's inner end", {1279 - 23, 500}, false, {DockSide::Right, {714, 100, 1280, 1000}}},
        {"just beyond the zone", {1279 - 24, 500}, false, {DockSide::Floating, {880, 490, 1280, 790}}},
        {"left edge", {0, 500}, false, {DockSide::Left, {0, 100, 566, 1000}}},
        {"top edge", {640, 101}, false, {DockSide::Top, {0, 100, 1280, 250}}},
        {"bottom edge", {640, 999}, false, {DockSide::Bottom, {0, 850, 1280, 1000}}},
        {"below the frame, inside the zone", {640, 1010}, false, {DockSide::Bottom, {0, 850, 1280, 1000}}},
        {"above the header's zone", {640, 60}, false, {DockSide::Floating, Moved(240, -150)}},
        {"corner, equally near: top first", {3, 103}, false, {DockSide::Top, {0, 100, 1280, 250}}},
        {"corner, nearer the left", {1, 105}, false, {DockSide::Left, {0, 100, 566, 1000}}},
        {"middle", {640, 500}, false, {DockSide::Floating, Moved(240, 290)}},
        {"Ctrl on the right edge: floats, kept on the screen", {1279, 500}, true,
         {DockSide::Floating, {880, 490, 1280, 790}}},
        {"Ctrl low down: the caption stays above the screen's bottom", {400, 1020}, true,
         {DockSide::Floating, {300, 1002, 700, 1302}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WhereDropLands(DragSite(), kFrameAtStart, kGrip, c.to, c.ctrl), c.drop) << c.what;
}

TEST(ControlBarDrag, OnlyAllowedSidesTakeTheBarAndItStacksAfterDockedBars) {
    // A bar that may dock only left or right shows its floating shape elsewhere.
    const DockDragSite sides = DragSite(kCbrsAlignLeft | kCbrsAlignRight);
    EXPECT_EQ(DockSideUnder(sides, {640, 101}), DockSide::Floating);
    EXPECT_EQ(DockSideUnder(sides, {640, 999}), DockSide::Floating);
    EXPECT_EQ(DockSideUnder(sides, {3, 103}), DockSide::Left);  // the top no longer wins the corner
    EXPECT_EQ(WhereDropLands(sides, kFrameAtStart, kGrip, {640, 101}, false).side, DockSide::Floating);
    EXPECT_EQ(DockSideUnder(DragSite(0), {0, 500}), DockSide::Floating);
    // A frame out of sight takes no bar.
    DockDragSite hidden = DragSite();
    hidden.site = {};
    EXPECT_EQ(DockSideUnder(hidden, {0, 500}), DockSide::Floating);

    // With a 60-pixel bar on top and one on the left: the left one is beside
    // it below the top bar, a second top bar goes below the first.
    const DockDragSite busy = DragSite(kCbrsAlignAny, {{DockSide::Top, 60}, {DockSide::Left, 200}});
    EXPECT_EQ(WhereDropLands(busy, kFrameAtStart, kGrip, {0, 500}, false),
              (DockDrop{DockSide::Left, {200, 160, 766, 1000}}));
    EXPECT_EQ(WhereDropLands(busy, kFrameAtStart, kGrip, {640, 100}, false),
              (DockDrop{DockSide::Top, {0, 160, 1280, 310}}));
    EXPECT_EQ(WhereDropLands(busy, kFrameAtStart, kGrip, {1279, 500}, false),
              (DockDrop{DockSide::Right, {714, 160, 1280, 1000}}));
    // A thickness beyond the room left is cut to it.
    DockDragSite thick = DragSite();
    thick.horzThickness = 1200;
    EXPECT_EQ(WhereDropLands(thick, kFrameAtStart, kGrip, {640, 999}, false),
              (DockDrop{DockSide::Bottom, {0, 100, 1280, 1000}}));
}

TEST(ControlBarDrag, TheCaptionNeverLeavesTheWorkArea) {
    const BarRect area{0, 0, 1280, 1024};
    struct Case {
        BarRect frame, kept;
    };
    const Case cases[] = {
        {{100, 100, 500, 400}, {100, 100, 500, 400}},          // inside: unchanged
        {{1000, 100, 1400, 400}, {880, 100, 1280, 400}},       // half off the right
        {{-150, 100, 250, 400}, {0, 100, 400, 400}},           // off the left
        {{100, -40, 500, 260}, {100, 0, 500, 300}},            // caption above the screen
        {{100, 900, 500, 1200}, {100, 900, 500, 1200}},        // the bottom may hang below
        {{100, 1010, 500, 1310}, {100, 1002, 500, 1302}},      // but not the caption
        {{200, 100, 1600, 400}, {0, 100, 1400, 400}},          // wider than the area: its left
    };
    for (const Case& c : cases) EXPECT_EQ(KeepCaptionOnScreen(c.frame, area, 22), c.kept) << c.frame.left;
    // A second screen's work area right of the first.
    EXPECT_EQ(KeepCaptionOnScreen({1200, 50, 1500, 250}, {1280, 30, 2560, 1024}, 22), (BarRect{1280, 50, 1580, 250}));

    // Sizing by the rim: moving edges stop at the area (the bottom may go on)
    // and at the minimum size.
    const BarRect f{100, 100, 500, 400};
    const BarSize min{120, 80};
    EXPECT_EQ(SizeFloatingFrame(f, kEdgeLeft, -300, 0, min, area), (BarRect{0, 100, 500, 400}));
    EXPECT_EQ(SizeFloatingFrame(f, kEdgeLeft, 350, 0, min, area), (BarRect{380, 100, 500, 400}));
    EXPECT_EQ(SizeFloatingFrame(f, kEdgeTop | kEdgeLeft, -20, -150, min, area), (BarRect{80, 0, 500, 400}));
    EXPECT_EQ(SizeFloatingFrame(f, kEdgeRight, 1000, 0, min, area), (BarRect{100, 100, 1280, 400}));
    EXPECT_EQ(SizeFloatingFrame(f, kEdgeRight | kEdgeBottom, -900, 1000, min, area), (BarRect{100, 100, 220, 1400}));
    EXPECT_EQ(SizeFloatingFrame(f, kEdgeBottom, 0, -500, min, area), (BarRect{100, 100, 500, 180}));

    // A drag begins once the pointer has gone 4 pixels either way.
    EXPECT_FALSE(BeyondDragThreshold({10, 10}, {13, 7}));
    EXPECT_TRUE(BeyondDragThreshold({10, 10}, {14, 10}));
    EXPECT_TRUE(BeyondDragThreshold({10, 10}, {10, 6}));
}

TEST(ControlBarLayout, PageNamesFitTheirFieldOnACharacterBoundary) {
    struct Case {
        std::string in, out;
    };
    const std::string zh14 = "一二三四五六七八九十一二三四";  // 28 GBK bytes
    const std::string zh15 = zh14 + "五";
    const Case cases[] = {
        {"", ""},
        {std::string(31, 'a'), std::string(31, 'a')},  // 31 kept whole
        {std::string(32, 'b'), std::string(31, 'b')},
        {std::string(80, 'c'), std::string(31, 'c')},
        {zh15 + "x", zh15 + "x"},                    // 31 bytes
        {zh15 + "六", zh15},                          // 32: the last character would be split
        {"a" + zh15 + "七", "a" + zh15},              // 33 -> 31
        {"ab" + zh15 + "七", "ab" + zh14},            // 31 would split a character: 30
        {"测量" + std::string(40, 'z'), "测量" + std::string(27, 'z')},
    };
    for (const Case& c : cases) {
        const std::string got = PageNameForRecord(c.in);
        EXPECT_EQ(got, c.out) << c.in;
        EXPECT_LE(platform::GbkLength(got), 31u) << c.in;
    }
}

}  // namespace
