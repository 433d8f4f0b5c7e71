// The fitting model: showing items in slots, hit testing, moving, layers,
// scaling, groups and the drawing order.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include <cmath>
#include <limits>

#include "fitting_room/fitting_model.h"
#include "tests/fitting_room/fitting_fixtures.h"

using namespace fitting_room;
using namespace fitting_test;

namespace {

class FittingModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.SetPictureSizes(&sizes);
        model.SetDataDir("/base");
        model.SetStageRect(0, 0, 460, 520);
    }
    // Shows a 100 x 100 picture named after the slot in the 'R' list.
    void Put(int slot, char list = 'R', int x = 10, int y = 10) {
        const fs::path p = "/pics/" + std::string(1, list) + std::to_string(slot) + ".png";
        if (list == 'R')
            ASSERT_EQ(model.ShowRightItem(p, 1.0f, x, y, slot), 1);
        else
            ASSERT_EQ(model.ShowLeftItem(p, 1.0f, x, y, slot), 1);
    }
    FakeSizes sizes;
    CFittingModel model;
};

TEST_F(FittingModelTest, ShowsTogglesAndReplacesItemsInSlots) {
    sizes.Set("/pics/coat.png", 200, 300);
    EXPECT_EQ(model.ShowRightItem("/pics/coat.png", 0.5f, 30, 40, 0), 0);
    EXPECT_EQ(model.ShowRightItem("/pics/coat.png", 0.5f, 30, 40, 100), 0);
    EXPECT_EQ(model.ShowRightItem("/pics/coat.png", 0.5f, 30, 40, 7), 1);
    const StageItem& it = model.item('R', 7);
    EXPECT_TRUE(it.Shown());
    EXPECT_EQ(it.naturalWidth, 200);
    EXPECT_EQ(it.width, 100);
    EXPECT_EQ(it.height, 150);
    EXPECT_EQ(it.x, 30);
    EXPECT_EQ(model.currentSlot(), 7);
    EXPECT_EQ(model.selection('R'), 7);
    EXPECT_EQ(model.currentList(), 'R');
    // A different picture replaces it; the same one again takes it off.
    EXPECT_EQ(model.ShowRightItem("/pics/dress.png", 1.0f, 0, 0, 7), 1);
    EXPECT_EQ(model.item('R', 7).picture, "/pics/dress.png");
    EXPECT_EQ(model.ShowRightItem("/pics/dress.png", 1.0f, 0, 0, 7), 1);
    EXPECT_FALSE(model.item('R', 7).Shown());
    // A missing picture has no size and draws nothing.
    sizes.SetMissing("/pics/gone.png");
    EXPECT_EQ(model.ShowLeftItem("/pics/gone.png", 1.0f, 0, 0, 3), 1);
    EXPECT_EQ(model.item('L', 3).width, 0);
    EXPECT_EQ(model.currentList(), 'L');
    PaintOps ops;
    model.DrawOps(ops);
    EXPECT_TRUE(ops.empty());
    // Broken scales from a project neither overflow nor turn the picture inside out.
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), -2.0f, 1e30f}) {
        EXPECT_EQ(model.ShowRightItem("/pics/s.png", bad, 0, 0, 9), 1);
        EXPECT_GE(model.item('R', 9).width, 0);
        EXPECT_LE(model.item('R', 9).width, 20000);
        model.ResetRightList();
    }
    // Positions from a project are clamped before the stage offset and the
    // pan are added to them.
    model.SetStageRect(100, 50, 560, 570);
    model.OffsetAll(INT_MAX, INT_MIN);
    for (int far : {INT_MAX, INT_MIN}) {
        SCOPED_TRACE(far);
        EXPECT_EQ(model.ShowRightItem("/pics/s.png", 1.0f, far, far, 9), 1);
        EXPECT_EQ(std::abs(model.item('R', 9).x), 20000);
        EXPECT_EQ(std::abs(model.item('R', 9).y), 20000);
        PaintOps drawn;
        model.DrawOps(drawn);
        EXPECT_FALSE(model.DrawnRect('R', 9).empty());
        model.ResetRightList();
    }
}

TEST_F(FittingModelTest, DrawsGroupsThenSlotsFromBackToFront) {
    Put(5, 'L', 1, 1);
    Put(5, 'R', 2, 2);
    Put(1, 'R', 3, 3);
    Put(60, 'R', 4, 4);
    model.OffsetAll(10, 20);
    PaintOps ops;
    model.DrawOps(ops);
    std::vector<std::string> order;
    for (const auto& op : ops) order.push_back(op.path.stem().string());
    EXPECT_EQ(order, (std::vector<std::string>{"R60", "L5", "R5", "R1"}));
    EXPECT_EQ(ops[0].dest, Rect::FromSize(4 - 10, 4 - 20, 100, 100));  // the pan moves unstored items

    model.StoreGroup(0);
    Put(2, 'R', 50, 50);
    ops.clear();
    model.DrawOps(ops);
    ASSERT_EQ(ops.size(), 5u);
    EXPECT_EQ(ops[0].path.stem(), "R60");
    EXPECT_EQ(ops[0].dest, Rect::FromSize(-6, -16, 100, 100));  // stored where it was seen
    EXPECT_EQ(ops[4].path.stem(), "R2");
}

TEST_F(FittingModelTest, FitsPicturesIntoSquareBoxes) {
    sizes.Set("/wide.png", 200, 100);
    sizes.Set("/tall.png", 50, 100);
    model.ShowRightItem("/wide.png", 1.0f, 0, 0, 1);
    model.ShowRightItem("/tall.png", 1.0f, 0, 0, 2);
    EXPECT_EQ(model.DrawnRect('R', 1), Rect::FromSize(0, 50, 200, 100));
    EXPECT_EQ(model.DrawnRect('R', 2), Rect::FromSize(25, 0, 50, 100));
    EXPECT_EQ(FitItemBox(0, 0, 10, 10, 0, 5), Rect{});
}

TEST_F(FittingModelTest, HitTestPicksTheItemOnTopInEitherList) {
    Put(9, 'R', 0, 0);
    Put(4, 'L', 50, 50);
    model.ShowRightItem("/pics/front.png", 1.0f, 300, 300, 2);  // current after showing
    EXPECT_EQ(model.HitTest({20, 20}), 1);                       // only R9 there
    EXPECT_EQ(model.selection('R'), 9);
    EXPECT_EQ(model.HitTest({20, 20}), 0);  // already current
    EXPECT_EQ(model.HitTest({70, 70}), 1);  // L4 lies over R9
    EXPECT_EQ(model.currentList(), 'L');
    EXPECT_EQ(model.selection('L'), 4);
    EXPECT_EQ(model.currentSlot(), 4);
    EXPECT_EQ(model.HitTest({450, 10}), 0);  // nothing
    // The hit area follows the pan, like the drawing.
    model.OffsetAll(-200, -200);
    EXPECT_EQ(model.HitTest({220, 220}), 1);
    EXPECT_EQ(model.selection('R'), 9);
}

TEST_F(FittingModelTest, PressOnTheCurrentSlotSelectsItAgainAfterSelectNext) {
    Put(5, 'R', 0, 0);
    Put(10, 'R', 300, 300);
    ASSERT_EQ(model.HitTest({20, 20}), 1);  // R5 current and selected
    EXPECT_EQ(model.SelectNext(kSelectNextRight).stem(), "R10");
    // The press lands on R5, still the current slot: no new pick, but the
    // drag that follows must move R5, not the item SelectNext chose.
    EXPECT_EQ(model.HitTest({20, 20}), 0);
    EXPECT_EQ(model.selection('R'), 5);
    ASSERT_EQ(model.MoveSelectedTo(100, 100), 1);
    EXPECT_EQ(model.item('R', 5).x, 50);
    EXPECT_EQ(model.item('R', 10).x, 300);
}

TEST_F(FittingModelTest, MovesAndClampsTheSelection) {
    EXPECT_EQ(model.MoveSelectedTo(50, 50), 0);  // nothing selected
    Put(3);
    EXPECT_EQ(model.MoveSelectedTo(200, 300), 1);
    EXPECT_EQ(model.item('R', 3).x, 150);
    EXPECT_EQ(model.item('R', 3).y, 250);
    EXPECT_EQ(model.DrawnRect('R', 3), Rect::FromSize(150, 250, 100, 100));
    EXPECT_EQ(model.MoveSelectedBy(-1000, -1000), 1);
    EXPECT_EQ(model.item('R', 3).x, 0);
    EXPECT_EQ(model.item('R', 3).y, -90);
    EXPECT_EQ(model.MoveSelectedBy(2000, 2000), 1);
    EXPECT_EQ(model.item('R', 3).x, 460);
    EXPECT_EQ(model.item('R', 3).y, 520);
    EXPECT_EQ(model.RemoveSelected(), 1);
    EXPECT_EQ(model.MoveSelectedBy(1, 1), 0);
    EXPECT_EQ(model.RemoveSelected(), 0);
}

TEST_F(FittingModelTest, ChangesLayersOverOccupancyPatterns) {
    // Slots from 1: 'c' the selected item, 'x' another shown item, '.' empty.
    struct Case {
        const char* slots;
        int command;
        int target;  // 0: nothing moves
    };
    const Case cases[] = {
        {"c", kLayerDeeper, 2},       {"cx", kLayerDeeper, 3},    {"c.x", kLayerDeeper, 4},
        {"cxx", kLayerDeeper, 4},     {"c.x.x", kLayerDeeper, 4}, {"c", kLayerNearer, 0},
        {"xc", kLayerNearer, 0},      {".c", kLayerNearer, 1},    {"..c", kLayerNearer, 2},
        {".xc", kLayerNearer, 1},     {"x.xc", kLayerNearer, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.slots) + (c.command == kLayerDeeper ? " deeper" : " nearer"));
        model.ResetRightList();
        int selected = 0;
        for (int i = 0; c.slots[i]; ++i) {
            if (c.slots[i] == 'x') Put(i + 1);
            if (c.slots[i] == 'c') selected = i + 1;
        }
        Put(selected);
        EXPECT_EQ(model.ChangeLayer(c.command), c.target ? 1 : 0);
        const int now = c.target ? c.target : selected;
        EXPECT_EQ(model.selection('R'), now);
        EXPECT_TRUE(model.item('R', now).Shown());
        EXPECT_EQ(model.item('R', now).picture.stem(), "R" + std::to_string(selected));
        if (c.target) {
            EXPECT_FALSE(model.item('R', selected).Shown());
        }
    }
    // Everything behind taken: nowhere to go.
    model.ResetRightList();
    for (int s = 2; s < 100; ++s) Put(s);
    Put(1);
    EXPECT_EQ(model.ChangeLayer(kLayerDeeper), 0);
    EXPECT_EQ(model.ChangeLayer(1234), 0);
}

TEST_F(FittingModelTest, ScalingStaysWithinItsLimits) {
    sizes.Set("/four.png", 4, 4);
    model.ShowRightItem("/four.png", 1.0f, 0, 0, 1);
    EXPECT_EQ(model.ScaleSelected(1, 0), 1);  // 4 x 1.025 is 4.1: still 4
    EXPECT_EQ(model.item('R', 1).width, 4);
    EXPECT_EQ(model.ScaleSelected(-1, 0), 0);  // 3 is not above 3
    EXPECT_EQ(model.ScaleSelected(1, 1), 0);   // no such step
    Put(2);
    EXPECT_EQ(model.ScaleSelected(-1, 2), 1);  // fine shrink: 0.983
    EXPECT_EQ(model.item('R', 2).width, 98);
    EXPECT_EQ(model.ScaleSelected(1, 2), 1);  // fine grow: 1.0125
    EXPECT_EQ(model.item('R', 2).width, 99);
    sizes.Set("/big.png", 450, 100);
    model.ShowRightItem("/big.png", 1.0f, 0, 0, 3);
    EXPECT_EQ(model.ScaleSelected(1, 0), 0);  // 461 reaches the stage width
    EXPECT_EQ(model.item('R', 3).width, 450);
}

TEST_F(FittingModelTest, SelectsTheNextShownItemAndWraps) {
    EXPECT_EQ(model.SelectNext(kSelectNextLeft), fs::path());
    EXPECT_EQ(model.currentList(), 'L');
    Put(3);
    Put(8);
    Put(20);
    // The selection is 20 (shown last); the next lies below it.
    EXPECT_EQ(model.SelectNext(kSelectNextRight).stem(), "R8");
    EXPECT_EQ(model.SelectNext(kSelectNextRight).stem(), "R3");
    EXPECT_EQ(model.SelectNext(kSelectNextRight).stem(), "R20");  // wraps to the highest
}

TEST_F(FittingModelTest, StoresGroupsWithinTheirCaps) {
    model.StoreGroup(0);  // nothing shown: no group
    EXPECT_EQ(model.groupCount(), 0);
    model.OffsetAll(5, 5);
    model.StoreGroup(0);
    EXPECT_EQ(model.panX(), 0);  // the pan is reset all the same

    model.SetPhotoPicture("/me.jpg");
    for (int g = 0; g < 17; ++g) {
        Put(1);
        model.StoreGroup(g == 0 ? 1 : 0);
    }
    EXPECT_EQ(model.groupCount(), 17);
    EXPECT_EQ(model.group(0).flag, 'Y');
    EXPECT_EQ(model.group(0).photoRect, Rect::FromSize(20, 20, 100, 100));
    EXPECT_EQ(model.group(1).flag, ' ');
    Put(1);
    model.OffsetAll(3, 3);
    model.StoreGroup(0);  // the 18th does nothing, not even the pan
    EXPECT_EQ(model.groupCount(), 17);
    EXPECT_EQ(model.panX(), 3);
    EXPECT_TRUE(model.item('R', 1).Shown());

    // At most 332 stored items.
    model.ResetAll();
    model.ResetRightList();
    for (int round = 0; round < 2; ++round) {
        for (int s = 1; s < 100; ++s) {
            Put(s, 'R');
            Put(s, 'L');
        }
        model.StoreGroup(0);
    }
    EXPECT_EQ(model.storedCount(), 332);
    EXPECT_EQ(model.group(0).count, 198);
    EXPECT_EQ(model.group(1).count, 134);
    EXPECT_EQ(model.group(1).first, 198);
    model.ResetAll();
    EXPECT_EQ(model.storedCount(), 0);
    EXPECT_EQ(model.groupCount(), 0);
}

TEST_F(FittingModelTest, KeepsBackgroundsStringsAndSavePath) {
    EXPECT_EQ(model.GetBackgroundPath(), fs::path("/base/服饰搭配背景图/试衣间背景图.jpg"));
    EXPECT_EQ(model.GetPlatformBackgroundPath(), fs::path("/base/服饰搭配背景图/试衣平台背景.jpg"));
    EXPECT_EQ(model.IsTransparentBackground(), 0);
    model.SetBackground("kzv_透明试衣间背景");
    EXPECT_EQ(model.IsTransparentBackground(), 1);
    EXPECT_EQ(model.GetBackgroundPath(), model.TransparentBackgroundPath());
    model.SetPlatformBackground("试衣平台背景2");
    EXPECT_EQ(model.GetPlatformBackgroundPath(), fs::path("/base/服饰搭配背景图/试衣平台背景2.jpg"));

    std::vector<fs::path> pictures;
    for (int i = 0; i < 20; ++i) pictures.push_back("/show/" + std::to_string(i) + ".jpg");
    model.SetStringList("/voice.mp3", pictures, "https://x");
    EXPECT_EQ(model.GetListCount(), 16);
    EXPECT_EQ(model.GetListString(15), fs::path("/show/15.jpg"));
    EXPECT_EQ(model.GetListString(16), fs::path());
    EXPECT_EQ(model.GetFirstListTitle(), fs::path("/voice.mp3"));
    EXPECT_EQ(model.GetSecondListTitle(), "https://x");

    model.SetSavePath("/photos/me.png", 'P');
    char f = 0;
    EXPECT_EQ(model.GetSavePath(&f), fs::path("/photos/me.png"));
    EXPECT_EQ(f, 'P');
    EXPECT_EQ(model.HitTestStage({459, 519}), 9);
    EXPECT_EQ(model.HitTestStage({460, 0}), -1);
}

// Two overlapping items of the same list: a press where both lie picks the
// one in front (the lower slot, drawn last), not the one behind it, even when
// the one behind is the current slot.
TEST_F(FittingModelTest, HitTestPicksTheFrontOfTwoOverlappingItemsOfOneList) {
    Put(3, 'R', 0, 0);
    Put(40, 'R', 50, 50);  // shown last: the current slot
    ASSERT_EQ(model.currentSlot(), 40);
    EXPECT_EQ(model.HitTest({70, 70}), 1);
    EXPECT_EQ(model.currentSlot(), 3);
    EXPECT_EQ(model.selection('R'), 3);
    EXPECT_EQ(model.HitTest({70, 70}), 0);   // the front one again: no new pick
    EXPECT_EQ(model.HitTest({140, 140}), 1);  // only the one behind there
    EXPECT_EQ(model.currentSlot(), 40);
}

}  // namespace
