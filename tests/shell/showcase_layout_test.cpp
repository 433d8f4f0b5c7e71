#include "shell/showcase_layout.h"

#include <gtest/gtest.h>

namespace {

// Products 1..count exist, each `w` x `h`.
auto Products(int count, int w, int h) {
    return [=](int k) -> std::optional<shell::ShowcaseSize> {
        if (k > count) return std::nullopt;
        return shell::ShowcaseSize{w, h};
    };
}

TEST(Showcase, RowsHoldNPlusOneProducts) {
    // n = (600 - 80) / 160 = 3: four products a row, 120 apart.
    const auto items = shell::LayoutShowcase(600, 1000, Products(6, 200, 100));
    ASSERT_EQ(items.size(), 6u);
    // 200 x 100 scales by 0.5 to 100 x 50.
    EXPECT_EQ(items[0].x, 20);
    EXPECT_EQ(items[0].y, 45);
    EXPECT_EQ(items[0].width, 100);
    EXPECT_EQ(items[0].height, 50);
    EXPECT_EQ(items[3].x, 3 * 120 + 20);
    EXPECT_EQ(items[3].y, 45);
    EXPECT_EQ(items[4].x, 20);
    EXPECT_EQ(items[4].y, 165);
}

TEST(Showcase, NarrowWindowHoldsOnePerRow) {
    const auto items = shell::LayoutShowcase(239, 1000, Products(3, 50, 80));
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[1].y - items[0].y, 120);
    EXPECT_EQ(items[1].x, items[0].x);
    // 50 x 80 scales by 100/80 = 1.25 to 62 x 100.
    EXPECT_EQ(items[0].width, 62);
    EXPECT_EQ(items[0].height, 100);
    EXPECT_EQ(items[0].x, 70 - 31);
}

TEST(Showcase, StopsAtFirstMissingAt26AndAtTheBottom) {
    EXPECT_EQ(shell::LayoutShowcase(2000, 2000, Products(5, 10, 10)).size(), 5u);
    EXPECT_EQ(shell::LayoutShowcase(2000, 2000, Products(40, 10, 10)).size(), 26u);
    // A gap: product 3 missing hides 4 and 5 too.
    auto gap = [](int k) -> std::optional<shell::ShowcaseSize> {
        if (k == 3) return std::nullopt;
        return shell::ShowcaseSize{10, 10};
    };
    EXPECT_EQ(shell::LayoutShowcase(2000, 2000, gap).size(), 2u);
    // Height 200: the first row (y 70) fits, the second (y 190) needs 240.
    EXPECT_EQ(shell::LayoutShowcase(600, 200, Products(10, 10, 10)).size(), 4u);
    EXPECT_TRUE(shell::LayoutShowcase(600, 119, Products(10, 10, 10)).empty());
}

TEST(Showcase, ZeroSizedPictureDrawsNothingBig) {
    const auto items = shell::LayoutShowcase(600, 600, Products(1, 0, 0));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].width, 0);
    EXPECT_EQ(items[0].height, 0);
}

}  // namespace
