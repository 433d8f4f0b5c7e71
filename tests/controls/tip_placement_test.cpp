#include "controls/tip_placement.h"

#include <gtest/gtest.h>

namespace {

using namespace controls;

TEST(TipPlacement, TipStandsAboveThePoint) {
    struct Case {
        int x, y, w, h;
        TipRect want;
    };
    const Case cases[] = {
        {100, 50, 60, 14, {100, 20, 168, 40}},
        {0, 0, 10, 14, {0, -30, 18, -10}},      // above the owner at small y
        {12, 20, 100, 16, {12, -12, 120, 10}},  // y < h + 16: top goes negative
        {-5, 300, 0, 0, {-5, 284, 3, 290}},
    };
    for (const Case& c : cases) {
        const TipRect r = TipRectFor(c.x, c.y, c.w, c.h);
        EXPECT_EQ(r, c.want) << c.x << "," << c.y;
        EXPECT_EQ(r.Width(), c.w + 8);
        EXPECT_EQ(r.Height(), c.h + 6);
    }
}

TEST(TipPlacement, RequestShowsOnlyWhenHiddenAndFocused) {
    EXPECT_TRUE(TipRequestShows(false, true));
    EXPECT_FALSE(TipRequestShows(true, true));
    EXPECT_FALSE(TipRequestShows(false, false));
    EXPECT_FALSE(TipRequestShows(true, false));
}

TEST(TipPlacement, HidesOnTheFourthTick) {
    TipTicks t;
    EXPECT_FALSE(t.Tick());
    EXPECT_FALSE(t.Tick());
    EXPECT_FALSE(t.Tick());
    EXPECT_TRUE(t.Tick());
    t.Restart();
    EXPECT_EQ(t.ticks(), 0);
    EXPECT_FALSE(t.Tick());
}

}  // namespace
