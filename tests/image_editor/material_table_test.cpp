// The placed materials: slots from the part's layer, a replacement keeping
// the scale and shift of the one it replaces, the wheel's limits, selection.
#include <gtest/gtest.h>

#include "image_editor/material_table.h"
#include "picture_controls/geometry.h"

namespace {

using image_editor::CMaterialTable;
using image_editor::PartPlacement;

PartPlacement Part(int layer, int w, int h, int x = 0, int y = 0, double scale = 1.0, const char* pic = "a.png") {
    PartPlacement p;
    p.layer = layer;
    p.naturalWidth = w;
    p.naturalHeight = h;
    p.x = x;
    p.y = y;
    p.scale = scale;
    p.picture = pic;
    return p;
}

TEST(MaterialTable, SlotsComeFromTheLayer) {
    struct Case {
        int layer, slot;
    } cases[] = {{-3, 10}, {0, 0}, {45, 45}, {100, 100}, {101, 90}, {140, 90}};
    for (const Case& c : cases) {
        CMaterialTable t;
        EXPECT_EQ(t.Place(Part(c.layer, 10, 10)), c.slot) << c.layer;
        EXPECT_EQ(t.selected(), c.slot);
    }
    CMaterialTable t;
    EXPECT_EQ(t.Place(Part(45, 0, 10)), -1);  // a picture without a size
}

TEST(MaterialTable, PlacingCentresTheScaledPictureOnThePartsBox) {
    CMaterialTable t;
    const int slot = t.Place(Part(45, 200, 100, 30, 40, 0.5));
    const auto& m = t.at(slot);
    EXPECT_EQ(m.width, 100);
    EXPECT_EQ(m.height, 50);
    // The wide picture moves down by half of width - fitted height (25).
    EXPECT_EQ(m.x, 30 + 50);
    EXPECT_EQ(m.y, 40 + 25 + 25);
    EXPECT_EQ(m.savedWidth, 100);
}

TEST(MaterialTable, AMaterialLandsWhereTheProjectBuildersStageDrawsThePart) {
    struct Case {
        int w, h, x, y;
        double scale;
    } cases[] = {
        {200, 100, 30, 40, 0.5}, {100, 200, 30, 40, 0.5}, {333, 101, -7, 12, 0.73}, {97, 301, 250, 5, 1.37},
        {64, 64, 10, 10, 2.0},   {1, 900, 0, 0, 0.3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " at " + std::to_string(c.scale));
        CMaterialTable t;
        const auto& m = t.at(t.Place(Part(45, c.w, c.h, c.x, c.y, c.scale)));
        const auto stage = picture_controls::FittedBox(c.w, c.h, c.x, c.y, static_cast<int>(c.w * c.scale),
                                                     static_cast<int>(c.h * c.scale));
        EXPECT_EQ(m.x - m.width / 2, stage.left);
        EXPECT_EQ(m.y - m.height / 2, stage.top);
        EXPECT_EQ(m.width, stage.width());
        EXPECT_EQ(m.height, stage.height());
    }
}

TEST(MaterialTable, AReplacementKeepsTheScaleAndShiftOfTheOneBefore) {
    CMaterialTable t;
    const int slot = t.Place(Part(45, 100, 200, 0, 0, 1.0, "old.png"));
    ASSERT_TRUE(t.Wheel(false, 600));  // 97 x 195
    ASSERT_TRUE(t.MoveSelected(10, -4, 600, 600));
    t.Place(Part(45, 80, 160, 0, 0, 1.0, "new.png"));
    const auto& m = t.at(slot);
    // r = 97 / 100 in floating point (an integer ratio would be 0).
    EXPECT_EQ(m.width, static_cast<int>(80 * 0.97));
    EXPECT_EQ(m.height, static_cast<int>(160 * 0.97));
    EXPECT_EQ(m.x, 80 + 10);
    EXPECT_EQ(m.y, 80 - 4);
    EXPECT_EQ(m.picture, "new.png");
}

TEST(MaterialTable, TheWheelStaysWithinItsLimits) {
    CMaterialTable t;
    t.Place(Part(45, 140, 20));
    // Grows while both sides stay below 1.5 x the canvas width (150 for 100).
    EXPECT_TRUE(t.Wheel(true, 100));  // 143 x 20
    EXPECT_EQ(t.at(45).width, 143);
    EXPECT_EQ(t.at(45).height, 21);   // unchanged by the factor: +1
    EXPECT_TRUE(t.Wheel(true, 100));  // 146
    EXPECT_TRUE(t.Wheel(true, 100));  // 149
    EXPECT_FALSE(t.Wheel(true, 100)); // 152 would pass 150
    EXPECT_EQ(t.at(45).width, 149);
    CMaterialTable small;
    small.Place(Part(45, 5, 4));
    EXPECT_FALSE(small.Wheel(false, 100));  // 4 x 3 would reach 3
    EXPECT_EQ(small.at(45).height, 4);
}

TEST(MaterialTable, SelectionWrapsAndDeletingMovesOn) {
    CMaterialTable t;
    t.Place(Part(20, 10, 10));
    t.Place(Part(60, 10, 10));
    t.Place(Part(45, 10, 10));
    EXPECT_EQ(t.selected(), 45);
    EXPECT_EQ(t.SelectNext(), 60);
    EXPECT_EQ(t.SelectNext(), 20);  // wrapped
    EXPECT_EQ(t.DeleteSelected(), 45);
    EXPECT_FALSE(t.at(20).visible());
    EXPECT_EQ(t.DeleteSelected(), 60);
    EXPECT_EQ(t.DeleteSelected(), -1);
    EXPECT_FALSE(t.AnyVisible());
}

}  // namespace
