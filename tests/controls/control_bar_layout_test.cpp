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
