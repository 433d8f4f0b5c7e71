#include "shell/bar_geometry.h"

#include <gtest/gtest.h>

namespace {

TEST(TitleBar, HitAreas) {
    struct Case {
        int x, y, area;
    };
    const Case cases[] = {{10, 3, 0},  {99, 19, 0}, {100, 10, -1}, {103, 3, 1}, {192, 10, 1},
                          {196, 3, 2}, {285, 19, 2}, {289, 3, 3},  {378, 19, 3}, {379, 10, -1},
                          {50, 2, -1}, {50, 20, -1}, {5, 10, -1}};
    for (const auto& c : cases) EXPECT_EQ(shell::TitleBarHit(c.x, c.y), c.area) << c.x << "," << c.y;
}

TEST(TitleBar, ClickDecisions) {
    struct Case {
        int area, current;
        char pending;
        std::optional<std::int32_t> code;
    };
    const Case cases[] = {
        {0, 1, ' ', std::nullopt},   // area 0 never acts
        {-1, 0, ' ', std::nullopt},  // outside every area
        {1, 0, ' ', 1001},          {2, 0, ' ', 1002}, {3, 0, ' ', 1003},
        {2, 1, ' ', 1002},  // from the fitting room to the measurement space
        {3, 1, ' ', 1003},
        {1, 1, ' ', std::nullopt},  // the current area again
        {3, 0, 'Y', std::nullopt},  // a request is still pending
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shell::TitleBarClick(c.area, c.current, c.pending), c.code) << c.area << " " << c.current;
    }
    EXPECT_EQ(shell::TitleAreaForWindow('C'), 2);
    EXPECT_EQ(shell::TitleAreaForWindow(' '), -1);  // the current window was closed
    EXPECT_EQ(shell::TitleBarClick(1, -1, ' '), 1001);
}

TEST(TitleBar, TitleTextCarriesTheDate) {
    EXPECT_EQ(shell::TitleBarText(2026, 12, 9), "Lumora服饰搭配试衣软件 V6.13 [ 2026年12月 9日 ]");
}

TEST(NavBar, TabsOverlapByHalfALine) {
    const int v = 16;  // w = 80
    const auto tabs = shell::NavTabs(v);
    ASSERT_EQ(tabs.size(), 4u);
    EXPECT_EQ(tabs[0].top, 32);
    EXPECT_EQ(tabs[0].bottom, 115);
    EXPECT_EQ(tabs[0].hit.bottom, 107);
    EXPECT_EQ(tabs[1].top, 107);
    EXPECT_EQ(tabs[1].bottom, 190);
    EXPECT_EQ(tabs[1].hit.bottom, 182);
    EXPECT_EQ(tabs[3].top, 257);
    for (const auto& t : tabs) {
        EXPECT_EQ(t.hit.left, 2);
        EXPECT_EQ(t.hit.right, 20);
    }
    EXPECT_EQ(shell::NavBarHit(10, 31, v), -1);
    EXPECT_EQ(shell::NavBarHit(10, 32, v), 0);
    EXPECT_EQ(shell::NavBarHit(10, 106, v), 0);
    EXPECT_EQ(shell::NavBarHit(10, 107, v), 1);
    EXPECT_EQ(shell::NavBarHit(20, 107, v), -1);
    EXPECT_EQ(shell::NavBarHit(10, 331, v), 3);
    EXPECT_EQ(shell::NavBarHit(10, 332, v), -1);
}

TEST(NavBar, TabShape) {
    const auto fill = shell::NavTabFill(100, 200);
    ASSERT_FALSE(fill.empty());
    EXPECT_EQ(fill[0], (shell::BarLine{2, 100, 18, 100}));
    EXPECT_EQ(fill[1], (shell::BarLine{2, 101, 19, 101}));
    EXPECT_EQ(fill[2], (shell::BarLine{2, 102, 20, 102}));
    // Full lines down to y1 - 19, then 18 lines cut along the slope.
    EXPECT_EQ(fill[fill.size() - 19], (shell::BarLine{2, 181, 20, 181}));
    EXPECT_EQ(fill[fill.size() - 18], (shell::BarLine{2, 182, 20, 182}));
    EXPECT_EQ(fill[fill.size() - 17], (shell::BarLine{2, 183, 20, 183}));  // trunc(0.78) = 0
    EXPECT_EQ(fill[fill.size() - 16], (shell::BarLine{2, 184, 19, 184}));  // trunc(1.56) = 1
    EXPECT_EQ(fill.back(), (shell::BarLine{2, 199, 7, 199}));              // trunc(13.26) = 13
    EXPECT_EQ(fill.size(), 2u + 80u + 18u);
    const auto outline = shell::NavTabOutline(100, 200);
    EXPECT_EQ(outline[3], (shell::BarLine{20, 182, 7, 200}));
    EXPECT_EQ(outline.back(), (shell::BarLine{2, 200, 2, 100}));
}

TEST(NavBar, ClickDecisions) {
    EXPECT_EQ(shell::NavBarClick(0, 1), 1000);
    EXPECT_EQ(shell::NavBarClick(3, 0), 1003);
    EXPECT_EQ(shell::NavBarClick(2, 2), std::nullopt);
    EXPECT_EQ(shell::NavBarClick(-1, 0), std::nullopt);
    EXPECT_EQ(shell::NavTabForWindow('D'), 3);
    EXPECT_EQ(shell::NavTabForWindow(' '), -1);
    EXPECT_EQ(shell::NavBarClick(0, -1), 1000);
}

}  // namespace
