// The fitting window's logic: the in-window menu and nudge pad, the mouse
// modes driven by synthetic events, and what a paint shows.
#include <gtest/gtest.h>

#include "fitting_room/stage_control.h"
#include "tests/fitting_room/fitting_fixtures.h"

using namespace fitting_room;
using namespace fitting_test;

namespace {

class StageControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.SetPictureSizes(&sizes);
        model.SetDataDir("/base");
        stage.SetBaseDir("/base");
        stage.SetPictureSizes(&sizes);
        // Menu buttons of 30 x 30 pixels; the nudge pad is 60 x 56.
        for (const char* name :
             {"Clear", "DeepDown", "DeepUp", "PlaNum1", "PlaNum3", "PlaNum7", "Small", "Large", "ClothSEL", "LDecoSEL",
              "ClothDel", "SaveDeco", "PhotoShowOn", "PhotoShowOff", "PhotoMovSca"})
            sizes.Set(fs::path("/base/服饰搭配sysproj") / (std::string("DressHouseMnu_") + name + ".png"), 30, 30);
        sizes.Set("/base/服饰搭配sysproj/DressHouseMnu_PicMovPlate.png", 60, 56);
        stage.Layout(458, 518);
    }
    const StageItem& R(int slot) { return model.item('R', slot); }
    // A 100 x 100 garment in the 'R' list, as a list click puts it there.
    void Show(int slot, int x, int y) { model.ShowRightItem("/g" + std::to_string(slot) + ".png", 1.0f, x, y, slot); }
    StageReaction Drag(Point p) { return stage.Motion(p, true, false, false); }

    FakeSizes sizes{platform::PicSize{100, 100}};
    CFittingModel model;
    CGarmentPicList right;
    StageControl stage{model, right};
};

TEST_F(StageControlTest, MenuButtonsFollowThePhotoSettings) {
    EXPECT_EQ(model.stageRect(), (Rect{0, 0, 458, 518}));
    EXPECT_EQ(stage.MenuHitTest({10, 10}), -1);  // menu hidden
    stage.ToggleMenu();
    EXPECT_EQ(stage.MenuHitTest({10, 10}), kCmdClear);
    EXPECT_EQ(stage.button(7).pos, (Point{398, 458}));
    EXPECT_EQ(stage.button(10).pos, (Point{348, 4}));
    EXPECT_EQ(stage.previewBox(), (Rect{310, 420, 380, 490}));
    // Without a photo in the settings: 11 buttons, nothing where 12 and 13 would be.
    int shown = 0;
    for (int i = 0; i < kMenuButtonCount; ++i) shown += stage.ButtonShown(i) ? 1 : 0;
    EXPECT_EQ(shown, 11);
    EXPECT_EQ(stage.MenuHitTest({10, 200}), -1);
    EXPECT_EQ(stage.MenuHitTest({10, 240}), -1);

    stage.SetPhotoSettings(true, false);  // photo known but hidden: 12 only
    EXPECT_EQ(stage.MenuHitTest({10, 200}), kCmdPhotoOnOff);
    EXPECT_EQ(stage.MenuHitTest({10, 240}), -1);
    bool told = false;
    stage.onPhotoShownChanged = [&](bool shown) { told = shown; };
    EXPECT_EQ(stage.OnMenuCommand(kCmdPhotoOnOff), 1);
    EXPECT_TRUE(told);
    EXPECT_EQ(stage.MenuHitTest({10, 240}), kCmdPhotoPlace);
    EXPECT_EQ(stage.button(11).picture, "DressHouseMnu_PhotoShowOn.png");

    // A button whose picture is missing cannot be clicked.
    sizes.SetMissing("/base/服饰搭配sysproj/DressHouseMnu_Clear.png");
    stage.Layout(458, 518);
    EXPECT_EQ(stage.MenuHitTest({10, 10}), -1);
}

TEST_F(StageControlTest, NudgePadZones) {
    stage.ToggleMenu();
    const Point pad = stage.button(3).pos;
    struct Case {
        int dx, dy, command;
    };
    const Case cases[] = {
        {25, 50, kCmdNudgeDown}, {25, 5, kCmdNudgeUp},      {50, 30, kCmdNudgeRight},
        {5, 30, kCmdNudgeLeft},  {30, 30, kCmdNudgeStep},   {2, 2, kCmdNudgePad},  // on the pad, in no zone
        {19, 43, kCmdNudgeDown}, {18, 18, kCmdNudgeStep},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stage.MenuHitTest({pad.x + c.dx, pad.y + c.dy}), c.command) << c.dx << "," << c.dy;

    // The step cycles 1, 3, 7, 1 and the number button shows it.
    std::vector<int> steps;
    for (int i = 0; i < 4; ++i) {
        stage.OnMenuCommand(kCmdNudgeStep);
        steps.push_back(stage.nudgeStep());
    }
    EXPECT_EQ(steps, (std::vector<int>{3, 7, 1, 3}));
    EXPECT_EQ(stage.button(4).picture, "DressHouseMnu_PlaNum3.png");
    Show(4, 100, 100);
    EXPECT_EQ(stage.OnMenuCommand(kCmdNudgeLeft), 1);
    EXPECT_EQ(stage.OnMenuCommand(kCmdNudgeDown), 1);
    EXPECT_EQ(R(4).x, 97);
    EXPECT_EQ(R(4).y, 103);
    // The pad's click runs the zone's command.
    const auto r = stage.ButtonDown(MouseButton::Left, {pad.x + 50, pad.y + 30});
    EXPECT_TRUE(r.repaint);
    EXPECT_EQ(R(4).x, 100);
}

TEST_F(StageControlTest, FirstPressPicksThenADragMovesThePressedItem) {
    Show(5, 0, 0);      // R5 at (0,0)-(100,100)
    Show(3, 200, 200);  // R3 current and selected
    // A press on R5 picks it: no drag on the first press, the parent is told.
    auto r = stage.ButtonDown(MouseButton::Left, {50, 50});
    EXPECT_TRUE(r.notifyParent);
    EXPECT_EQ(stage.dragState(), kDragIdle);
    EXPECT_EQ(model.selection('R'), 5);
    Drag({90, 90});
    EXPECT_EQ(R(5).x, 0);
    stage.ButtonUp(MouseButton::Left, {90, 90});

    // Pressed again: the drag starts only past 2 pixels on both axes.
    r = stage.ButtonDown(MouseButton::Left, {50, 50});
    EXPECT_FALSE(r.notifyParent);
    EXPECT_EQ(stage.dragState(), kDragPressed);
    Drag({80, 51});  // purely sideways: not yet
    EXPECT_EQ(stage.dragState(), kDragPressed);
    EXPECT_EQ(R(5).x, 0);
    r = Drag({80, 53});
    EXPECT_EQ(stage.dragState(), kDragMoving);
    EXPECT_TRUE(r.repaint);
    EXPECT_EQ(r.cursor, StageCursor::Drag);
    EXPECT_EQ(R(5).x, 30);  // centred on the pointer
    EXPECT_EQ(R(5).y, 3);
    EXPECT_EQ(R(3).x, 200);  // the other item stays
    r = stage.ButtonUp(MouseButton::Left, {80, 53});
    EXPECT_EQ(stage.dragState(), kDragIdle);
    EXPECT_EQ(r.cursor, StageCursor::Arrow);
}

TEST_F(StageControlTest, DragFromEmptyStageMovesTheSelection) {
    Show(2, 300, 300);
    stage.ButtonDown(MouseButton::Middle, {10, 400});
    EXPECT_EQ(stage.dragState(), kDragPressed);
    stage.Motion({20, 410}, false, true, false);
    EXPECT_EQ(R(2).x, -30);
    EXPECT_EQ(R(2).y, 360);
    // A press that picks a new item after a plain click never drags.
    stage.ButtonUp(MouseButton::Middle, {20, 410});
    stage.ButtonDown(MouseButton::Left, {5, 5});  // empty stage
    stage.ButtonUp(MouseButton::Left, {5, 5});
    Show(7, 0, 0);
    model.HitTest({20, 410});  // R2 current again
    stage.ButtonDown(MouseButton::Left, {50, 50});  // R7: new
    Drag({90, 90});
    EXPECT_EQ(R(7).x, 0);
}

TEST_F(StageControlTest, PansWithTheRightButtonAndScalesWithTheWheel) {
    Show(2, 100, 100);
    stage.ButtonDown(MouseButton::Right, {200, 200});
    auto r = stage.Motion({204, 203}, false, false, true);
    EXPECT_FALSE(r.repaint);  // within 5 pixels
    r = stage.Motion({210, 200}, false, false, true);
    EXPECT_TRUE(r.repaint);
    EXPECT_EQ(model.panX(), -10);
    EXPECT_EQ(model.DrawnRect('R', 2), Rect::FromSize(110, 100, 100, 100));
    r = stage.Wheel(1);
    EXPECT_TRUE(r.repaint);
    EXPECT_EQ(R(2).width, 102);
    stage.Wheel(-1);
    EXPECT_EQ(R(2).width, 99);
    // Moving without buttons over a menu button shows the hand.
    stage.ToggleMenu();
    EXPECT_EQ(stage.Motion({10, 10}, false, false, false).cursor, StageCursor::Hand);
    EXPECT_EQ(stage.Motion({200, 10}, false, false, false).cursor, StageCursor::Arrow);
}

TEST_F(StageControlTest, PlacesThePersonalPhoto) {
    sizes.Set("/me.jpg", 200, 100);
    model.SetPhotoPicture("/me.jpg");
    EXPECT_EQ(stage.OnMenuCommand(kCmdPhotoPlace), 0);  // hidden photo: no placement
    stage.SetPhotoSettings(true, true);
    PaintOps ops;
    stage.WindowOps(ops);
    EXPECT_EQ(stage.photoRect(), Rect::FromSize(20, 20, 200, 100));
    ASSERT_EQ(stage.OnMenuCommand(kCmdPhotoPlace), 1);
    EXPECT_EQ(stage.photoMode(), kPhotoModePlace);

    stage.Motion({300, 300}, false, false, false);
    EXPECT_EQ(stage.photoRect(), Rect::FromSize(200, 250, 200, 100));
    stage.Wheel(1);  // 1 % of 200
    EXPECT_EQ(stage.photoRect(), (Rect{198, 248, 402, 352}));
    stage.ButtonDown(MouseButton::Middle, {0, 0});
    EXPECT_TRUE(stage.fineZoom());
    // Growth stops at 1,600 pixels, shrinking at 10.
    for (int i = 0; i < 2000; ++i) stage.Wheel(1);
    EXPECT_GE(stage.photoRect().width(), 1600);
    EXPECT_LE(stage.photoRect().width(), 1604);
    for (int i = 0; i < 5000; ++i) stage.Wheel(-1);
    EXPECT_LE(stage.photoRect().width(), 10);
    EXPECT_GE(stage.photoRect().width(), 6);
    ops.clear();
    stage.WindowOps(ops);
    EXPECT_TRUE(std::any_of(ops.begin(), ops.end(), [](const PaintOp& op) {
        return op.path.filename() == "DressHouse_TipPhotoMicro.png";
    }));

    // Right button leaves without storing; left stores the rectangle with 'Y'.
    const Rect placed = stage.photoRect();
    stage.ButtonDown(MouseButton::Right, {0, 0});
    char letter = 0;
    Rect stored;
    model.GetPhotoPicture(&stored, &letter);
    EXPECT_EQ(letter, ' ');
    stage.OnMenuCommand(kCmdPhotoPlace);
    stage.Motion({100, 100}, false, false, false);
    const Rect moved = stage.photoRect();
    EXPECT_EQ(moved.width(), placed.width());
    stage.ButtonDown(MouseButton::Left, {100, 100});
    EXPECT_EQ(stage.photoMode(), kPhotoModeOff);
    model.GetPhotoPicture(&stored, &letter);
    EXPECT_EQ(letter, 'Y');
    EXPECT_EQ(stored, moved);
}

TEST_F(StageControlTest, PaintsBackgroundStageMenuAndPreview) {
    sizes.Set("/base/服饰搭配背景图/试衣间背景图.jpg", 229, 259);
    Show(2, 10, 10);
    PaintOps ops;
    stage.WindowOps(ops);
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].dest, Rect::FromSize(0, 0, 458, 518));  // covers the client
    EXPECT_EQ(ops[1].path, fs::path("/g2.png"));

    stage.ToggleMenu();
    stage.OnMenuCommand(kSelectNextRight);
    EXPECT_EQ(stage.currentPicture(), fs::path("/g2.png"));
    ops.clear();
    stage.WindowOps(ops);
    ASSERT_EQ(ops.size(), 2u + 11u + 2u);
    EXPECT_EQ(ops[13].path.filename(), "图片框背景RED.PNG");
    EXPECT_EQ(ops[14].dest, Rect::FromSize(310 + 6, 420 + 6, 70, 70));
    // The snapshot shows the dressed stage alone.
    ops.clear();
    stage.StageOps(ops);
    EXPECT_EQ(ops.size(), 2u);
}

TEST_F(StageControlTest, SlideshowShowsEachPictureThenTheStage) {
    EXPECT_FALSE(stage.StartSlideshow());
    model.SetStringList({}, {"/show/a.jpg", "/show/b.jpg"}, "");
    ASSERT_TRUE(stage.StartSlideshow());
    PaintOps ops;
    stage.WindowOps(ops);
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].kind, PaintOp::Kind::Fill);
    EXPECT_EQ(ops[0].colour, 0xDEDEDEu);
    EXPECT_EQ(ops[1].path, fs::path("/show/a.jpg"));
    // Mouse input waits for the pictures.
    Show(2, 0, 0);
    stage.ButtonDown(MouseButton::Left, {50, 50});
    EXPECT_EQ(stage.dragState(), kDragIdle);
    EXPECT_TRUE(stage.NextSlide());
    EXPECT_EQ(stage.slide(), 1);
    EXPECT_FALSE(stage.NextSlide());
    EXPECT_FALSE(stage.InSlideshow());
    // A saved picture shows over the stage until the next change.
    stage.ShowPicture("/photos/me.jpg");
    ops.clear();
    stage.WindowOps(ops);
    EXPECT_EQ(ops.back().path, fs::path("/photos/me.jpg"));
    EXPECT_EQ(ops.back().dest.left, 1);
    EXPECT_TRUE(stage.ButtonDown(MouseButton::Left, {400, 400}).repaint);
    ops.clear();
    stage.WindowOps(ops);
    EXPECT_NE(ops.back().path, fs::path("/photos/me.jpg"));
}

TEST_F(StageControlTest, MenuCommandsReachTheModel) {
    Show(2, 10, 10);
    Show(3, 10, 10);
    EXPECT_EQ(stage.OnMenuCommand(kLayerDeeper), 1);  // nothing behind 3: into 4
    EXPECT_EQ(model.selection('R'), 4);
    EXPECT_EQ(stage.OnMenuCommand(kCmdGrow), 1);
    EXPECT_EQ(R(4).width, 101);
    EXPECT_EQ(stage.OnMenuCommand(kCmdRemove), 1);
    EXPECT_EQ(stage.OnMenuCommand(kCmdRemove), 0);
    EXPECT_EQ(stage.OnMenuCommand(kCmdStoreGroup), 1);
    EXPECT_EQ(model.groupCount(), 1);
    EXPECT_EQ(stage.OnMenuCommand(kCmdClear), 1);
    EXPECT_EQ(model.groupCount(), 0);
    EXPECT_FALSE(R(2).Shown());
    EXPECT_EQ(stage.OnMenuCommand(kCmdNudgeNumber), 0);
    EXPECT_EQ(stage.OnMenuCommand(12345), 0);
}

}  // namespace
