#include "shell/guide_pages.h"

#include <gtest/gtest.h>
#include <set>

namespace {

using shell::GuidePages;
using shell::GuideRect;

TEST(GuidePages, PageFilesUnderTheGuideFolder) {
    EXPECT_EQ(shell::GuidePageFile("/base", 1), std::filesystem::path("/base/服饰搭配使用说明/使用说明_PAG1.jpg"));
    EXPECT_EQ(shell::GuidePageFile("b", 12), std::filesystem::path("b/服饰搭配使用说明/使用说明_PAG12.jpg"));
}

TEST(GuidePages, TurnsOnlyToPagesThatExist) {
    std::set<int> present{1, 2, 3, 5};
    auto exists = [&](const std::filesystem::path& p) {
        for (int n : present)
            if (p == shell::GuidePageFile("base", n)) return true;
        return false;
    };
    GuidePages pages("base", exists);
    EXPECT_EQ(pages.current(), 1);
    EXPECT_FALSE(pages.Prev());
    EXPECT_TRUE(pages.Next());
    EXPECT_TRUE(pages.Next());
    EXPECT_EQ(pages.current(), 3);
    EXPECT_FALSE(pages.Next());  // page 4 is missing: 5 is never reached
    EXPECT_EQ(pages.current(), 3);
    EXPECT_TRUE(pages.Prev());
    EXPECT_TRUE(pages.Prev());
    EXPECT_FALSE(pages.Prev());
    EXPECT_EQ(pages.current(), 1);

    present = {1};
    GuidePages single("base", exists);
    EXPECT_FALSE(single.Next());
    EXPECT_EQ(single.current(), 1);
    EXPECT_EQ(single.CurrentFile(), shell::GuidePageFile("base", 1));
}

TEST(GuidePages, PageIsShrunkToFitCentredAndNeverEnlarged) {
    struct Case {
        GuideRect area;
        int w, h;
        GuideRect want;
    };
    const Case cases[] = {
        // Smaller than the area: natural size, centred in the area less 3 px.
        {{0, 0, 806, 546}, 800, 540, {3, 3, 803, 543}},
        {{0, 0, 806, 546}, 400, 200, {203, 173, 603, 373}},
        // Wider than the area: the width decides.
        {{10, 20, 416, 420}, 800, 540, {13, 85, 413, 355}},
        // Taller: the height decides.
        {{0, 0, 606, 206}, 800, 540, {155, 3, 451, 203}},
        // Empty picture: nothing to draw, at the centre.
        {{0, 0, 100, 100}, 0, 0, {50, 50, 50, 50}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(shell::PlaceGuidePage(c.area, c.w, c.h), c.want) << c.w << "x" << c.h;
}

}  // namespace
