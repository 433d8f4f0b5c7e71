// The stage canvas's state machines fed plain events: selection and drag of
// parts, the caption, moving everything, the drawing tools and the rectangle
// selection.
#include <gtest/gtest.h>

#include "project_editor/stage_canvas.h"
#include "project_editor/stage_editor.h"
#include "tests/project_editor/dm3_reader.h"
#include "tests/project_editor/stage_fixtures.h"

using namespace stagetest;

namespace {

// A slot showing part `part` at (x, y) with a square 100 x 100 picture.
void Show(StageSlotTable& slots, int s, int part, int x, int y, int size = 100) {
    StageSlot& slot = slots.Slot(s);
    slot.used = slot.shown = 'Y';
    slot.part = part;
    slot.x = x;
    slot.y = y;
    slot.pictureWidth = slot.pictureHeight = size;
    slot.scaledWidth = slot.scaledHeight = size;
}

struct Canvas : Stage {
    StageCanvasControl canvas{store, slots, drawing};
    explicit Canvas(const std::string& spec = "T:上装 a b c d") : Stage(spec) {
        canvas.SetStageRect({0, 0, 600, 500});
    }
    CanvasReaction Left(int x, int y) { return canvas.ButtonDown(CanvasButton::Left, {x, y}); }
    CanvasReaction Up(int x, int y) { return canvas.ButtonUp(CanvasButton::Left, {x, y}); }
    CanvasReaction Move(int x, int y, bool left = true) { return canvas.Motion({x, y}, left, false); }
};

TEST(StageSlots, OccupiedNeedsBothMarksAndAPartInsideTheProject) {
    StageSlotTable t;
    Show(t, 5, 2, 0, 0);
    EXPECT_TRUE(t.Occupied(5, 3));
    EXPECT_FALSE(t.Occupied(5, 2)) << "part index N is not a part";
    t.Slot(5).shown = ' ';
    EXPECT_FALSE(t.Occupied(5, 3));
    EXPECT_FALSE(t.Occupied(100, 3));
    EXPECT_FALSE(t.Occupied(-1, 3));
}

TEST(StageSlots, FitRectCentresAcrossTheLongerSide) {
    struct Case { int pw, ph, x, y, w, h; Rect want; };
    const Case cases[] = {
        {200, 100, 10, 10, 100, 100, {10, 35, 110, 85}},   // landscape: height halves, centred down
        {100, 200, 10, 10, 100, 100, {35, 10, 85, 110}},   // portrait: width halves, centred across
        {100, 100, 10, 10, 80, 60, {10, 10, 90, 70}},      // square keeps the box
        {0, 0, 10, 10, 80, 60, {10, 10, 90, 70}},          // unknown size keeps the box
        {300, 100, 0, 0, 100, 100, {0, 33, 100, 66}},      // 33.3 truncated, (100 - 33) / 2 = 33
    };
    for (const Case& c : cases) EXPECT_EQ(FittedBox(c.pw, c.ph, c.x, c.y, c.w, c.h), c.want) << c.pw << "x" << c.ph;
}

TEST(StageCanvas, HitTestingTakesTheFrontSlotAndTellsTheParentOnce) {
    Canvas c;
    Show(c.slots, 40, 1, 100, 100);
    Show(c.slots, 20, 2, 150, 150);  // in front, overlapping
    auto r = c.Left(160, 160);
    EXPECT_EQ(r.notify, kNotifySlotSelected);
    EXPECT_EQ(c.slots.Current(), 20);
    EXPECT_EQ(c.canvas.dragState(), kDragNone);
    c.Up(160, 160);
    // A press on the current part again: no new notice, the drag is armed.
    r = c.Left(160, 160);
    EXPECT_EQ(r.notify, 0);
    EXPECT_EQ(c.canvas.dragState(), kDragPressed);
    c.Up(160, 160);
    r = c.Left(110, 110);  // only the back one here
    EXPECT_EQ(c.slots.Current(), 40);
}

TEST(StageCanvas, SlotsOfPartsOutsideTheProjectAreNeitherHitNorDrawn) {
    Canvas c;  // N = 5
    Show(c.slots, 30, 5, 0, 0);
    Show(c.slots, 31, 4, 300, 300);
    EXPECT_EQ(c.Left(50, 50).notify, 0);
    EXPECT_NE(c.slots.Current(), 30);
    const StageScene scene = c.canvas.Scene();
    ASSERT_EQ(scene.parts.size(), 1u);
    EXPECT_EQ(scene.parts[0].path.filename().string(), "d.png");
}

TEST(StageCanvas, LockKeepsTheCurrentSlot) {
    Canvas c;
    Show(c.slots, 40, 1, 100, 100);
    Show(c.slots, 20, 2, 300, 300);
    c.Left(110, 110);
    c.Up(110, 110);
    c.canvas.SetFlagA(1);
    EXPECT_EQ(c.Left(310, 310).notify, 0);
    EXPECT_EQ(c.slots.Current(), 40);
}

TEST(StageCanvas, DragStartsBeyondTwoPixelsInBothDirectionsAndIsClamped) {
    Canvas c;
    Show(c.slots, 40, 1, 100, 100, 80);
    c.Left(120, 120);
    c.Up(120, 120);
    c.Left(120, 120);
    c.Move(125, 122);  // 2 px in y: no drag
    EXPECT_EQ(c.canvas.dragState(), kDragPressed);
    c.Move(122, 130);  // 2 px in x: no drag
    EXPECT_EQ(c.canvas.dragState(), kDragPressed);
    auto r = c.Move(200, 210);
    EXPECT_EQ(c.canvas.dragState(), kDragStage);
    EXPECT_TRUE(r.repaint);
    EXPECT_EQ(r.cursor, CanvasCursor::Drag);
    EXPECT_EQ(c.slots.Slot(40).x, 160);  // the pointer minus half the size
    EXPECT_EQ(c.slots.Slot(40).y, 170);
    c.Move(-100, -200);
    EXPECT_EQ(c.slots.Slot(40).x, 0) << "x below -90 becomes 0";
    EXPECT_EQ(c.slots.Slot(40).y, -90);
    c.Move(900, 900);
    EXPECT_EQ(c.slots.Slot(40).x, 600);
    EXPECT_EQ(c.slots.Slot(40).y, 500);
    r = c.Up(900, 900);
    EXPECT_EQ(c.canvas.dragState(), kDragNone);
    EXPECT_EQ(r.cursor, CanvasCursor::Arrow);
    EXPECT_FALSE(c.store.IsModified()) << "a drag changes the slot only";
}

TEST(StageCanvas, CaptionFollowsThePointer) {
    Canvas c;
    c.canvas.SetCaptionRect({10, 10, 110, 40});
    c.Left(20, 20);
    EXPECT_EQ(c.canvas.dragState(), kDragCaptionPressed);
    c.Move(300, 200);
    EXPECT_EQ(c.canvas.dragState(), kDragCaption);
    EXPECT_EQ(c.canvas.captionPos(), (Point{250, 185}));
    EXPECT_TRUE(c.Up(300, 200).repaint);
}

TEST(StageCanvas, MoveAllShiftsEveryRecordAndSavesOnce) {
    Canvas c;
    for (int i = 0; i < 5; ++i) {
        c.store.Part(i).SetX(10 * i);
        c.store.Part(i).SetY(5);
    }
    Show(c.slots, 40, 1, 100, 100);
    c.canvas.SetFlagB(1);
    c.Left(50, 50);
    EXPECT_EQ(c.canvas.dragState(), kDragPressed);
    c.Move(51, 50);
    EXPECT_EQ(c.canvas.dragState(), kDragStage);
    auto r = c.Up(80, 30);
    EXPECT_TRUE(r.saved);
    EXPECT_EQ(c.slots.Slot(40).x, 130);
    EXPECT_EQ(c.slots.Slot(40).y, 80);
    const dm3test::File f = dm3test::Read(c.ProjectFile());
    ASSERT_TRUE(f.ok);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(f.parts[i].x, 10 * i + 30);
        EXPECT_EQ(f.parts[i].y, -15);
    }
    EXPECT_FALSE(c.store.IsModified());
}

TEST(StageCanvas, MoveAllWithAReferencePictureMovesThePictureOnly) {
    Canvas c;
    c.dir.write("ref.jpg", std::string("not empty"));
    ASSERT_TRUE(c.canvas.LoadPictureFile(c.dir / "ref.jpg"));
    c.canvas.SetFlagB(1);
    c.Left(50, 50);
    c.Move(60, 60);
    auto r = c.Up(70, 45);
    EXPECT_FALSE(r.saved);
    EXPECT_EQ(c.canvas.referenceOffset(), (Point{20, -5}));
    EXPECT_FALSE(std::filesystem::exists(c.ProjectFile()));
}

TEST(StageCanvas, MoveAllWithZeroDistanceSavesNothing) {
    Canvas c;
    c.canvas.SetFlagB(1);
    c.Left(50, 50);
    c.Move(60, 60);
    EXPECT_FALSE(c.Up(50, 50).saved);
    EXPECT_FALSE(std::filesystem::exists(c.ProjectFile()));
}

TEST(StageCanvas, LineToolsNeedMoreThanTenPixels) {
    for (int d : {10, 11}) {
        Canvas c;
        c.canvas.SetMode(kToolRectangle);
        c.Left(100, 100);
        c.Move(100 + d, 100);
        EXPECT_EQ(c.canvas.phase(), 2);
        c.Up(100 + d, 100);
        if (d == 10) {
            EXPECT_EQ(c.drawing.Items(), "") << "10 px adds nothing";
            EXPECT_EQ(c.canvas.phase(), 2);
        } else {
            EXPECT_EQ(c.drawing.Items(), "item B pt 100,100 pt 111,100");
            EXPECT_EQ(c.canvas.phase(), 0);
        }
    }
}

TEST(StageCanvas, ASecondPressFinishesARubberBandWithBothCorners) {
    Canvas c;
    c.canvas.SetMode(kToolEllipse);
    c.Left(10, 10);
    c.Up(10, 10);
    c.Move(60, 40, false);  // the band follows without a button held
    EXPECT_EQ(c.canvas.phase(), 2);
    auto r = c.Left(60, 40);
    EXPECT_TRUE(r.repaint);
    EXPECT_EQ(c.drawing.Items(), "item C pt 10,10 pt 60,40");
    EXPECT_EQ(c.canvas.phase(), 0);
}

TEST(StageCanvas, ArrowTakesTheRubberBandOutline) {
    Canvas c;
    c.canvas.SetMode(kToolArrow);
    c.Left(10, 10);
    EXPECT_EQ(c.drawing.log.front(), "band A 10,10");
    c.Move(100, 50);
    c.Up(100, 50);
    EXPECT_EQ(c.drawing.last, "100,50");
    EXPECT_EQ(c.drawing.Items(), "item E") << "the list adds the saved outline itself";
}

TEST(StageCanvas, OutlineClosesOnlyNearItsFirstPointAfterASegment) {
    Canvas c;
    c.canvas.SetMode(kToolOutline);
    c.Left(100, 100);
    c.Move(102, 102);
    c.Left(102, 102);  // inside the close square but no segment yet: a segment
    EXPECT_EQ(c.canvas.tool(), kToolOutline);
    c.Move(200, 100);
    c.Left(200, 100);
    c.Move(103, 97);
    auto r = c.Left(103, 97);  // 3 px away: closes
    EXPECT_EQ(c.canvas.tool(), kToolSelect);
    EXPECT_EQ(r.cursor, CanvasCursor::Arrow);
    EXPECT_EQ(c.drawing.Items(), "item D pt 100,100 pt 102,102 pt 200,100 pt 100,100");
}

TEST(StageCanvas, OutlineFarFromItsStartGoesOn) {
    Canvas c;
    c.canvas.SetMode(kToolOutline);
    c.Left(100, 100);
    c.Move(200, 100);
    c.Left(200, 100);
    c.Move(104, 100);
    c.Left(104, 100);  // 4 px: outside the 7 x 7 square
    EXPECT_EQ(c.canvas.tool(), kToolOutline);
    EXPECT_EQ(c.canvas.polylineCount(), 2);
}

TEST(StageCanvas, RightButtonEndsATool) {
    Canvas c;
    c.canvas.SetMode(kToolPolyline);
    c.Left(10, 10);
    c.Move(50, 10);
    c.Left(50, 10);
    auto r = c.canvas.ButtonDown(CanvasButton::Right, {60, 60});
    EXPECT_EQ(c.canvas.tool(), kToolSelect);
    EXPECT_TRUE(r.repaint);
    EXPECT_EQ(c.drawing.log.back(), "end");
    EXPECT_EQ(c.drawing.Items(), "item A pt 10,10 pt 50,10");
}

TEST(StageCanvas, FreehandAddsAPointPerMove) {
    Canvas c;
    c.canvas.SetMode(kToolFreehand);
    c.Left(5, 5);
    c.Move(6, 7);
    c.Move(6, 7);
    c.Move(9, 9);
    c.Up(9, 9);
    EXPECT_EQ(c.drawing.Items(), "item A pt 5,5 pt 6,7 pt 9,9");
    EXPECT_EQ(c.drawing.log.back(), "end");
}

TEST(StageCanvas, RectangleSelectionReportsTheNormalisedRectangle) {
    Canvas c;
    c.canvas.BeginLineMode();
    EXPECT_EQ(c.canvas.rectMark(), 'N');
    c.Left(300, 200);
    c.Move(250, 150);
    EXPECT_FALSE(c.canvas.Scene().focusRect) << "the first move only starts";
    c.Move(100, 120);
    EXPECT_TRUE(c.canvas.Scene().focusRect);
    auto r = c.Left(100, 120);
    EXPECT_EQ(r.notify, kNotifyRectSelected);
    EXPECT_EQ(r.selected, (Rect{100, 120, 300, 200}));
    EXPECT_EQ(c.canvas.rectState(), kRectDone);
    // The middle button is ignored while the selection is armed.
    c.canvas.BeginLineMode();
    Show(c.slots, 3, 1, 0, 0);
    EXPECT_EQ(c.canvas.ButtonDown(CanvasButton::Middle, {10, 10}).notify, 0);
}

TEST(StageCanvas, CaptionAndColourTexts) {
    Canvas c;
    EXPECT_EQ(c.canvas.caption(), "试衣背景");
    EXPECT_EQ(c.canvas.background(), 0xFFDE9Bu);
    EXPECT_TRUE(c.canvas.SetText(3, "255"));
    EXPECT_TRUE(c.canvas.SetText(0, "36"));
    EXPECT_TRUE(c.canvas.SetText(1, "新标题"));
    EXPECT_FALSE(c.canvas.SetText(4, "x"));
    EXPECT_EQ(c.canvas.background(), 255u);
    EXPECT_EQ(c.canvas.captionHeight(), 36);
    EXPECT_EQ(c.canvas.Scene().caption, "新标题");

    // Index 2 is the caption colour, a COLORREF in decimal (0x00BBGGRR):
    // "255" is pure red, and the background keeps its own colour.
    EXPECT_EQ(c.canvas.captionColour(), kDefaultCaptionColour);
    EXPECT_EQ(c.canvas.Scene().captionColour, kDefaultCaptionColour);
    EXPECT_TRUE(c.canvas.SetText(2, "16711680"));
    EXPECT_EQ(c.canvas.captionColour(), 0xFF0000u);
    EXPECT_EQ(c.canvas.Scene().captionColour, 0xFF0000u);
    EXPECT_EQ(c.canvas.background(), 255u);
    // Texts that are no colour leave the last one as it was.
    for (const char* bad : {"", "abc", "-5"}) {
        EXPECT_TRUE(c.canvas.SetText(2, bad));
        EXPECT_EQ(c.canvas.Scene().captionColour, 0xFF0000u) << '"' << bad << '"';
    }
    EXPECT_TRUE(c.canvas.SetText(3, "65280"));
    EXPECT_EQ(c.canvas.Scene().captionColour, 0xFF0000u);
    EXPECT_EQ(c.canvas.Scene().background, 0x00FF00u);
}

TEST(StageCanvas, ReferencePictureFitsAndScales) {
    Canvas c;
    c.dir.write("ref.jpg", std::string("x"));
    ASSERT_TRUE(c.canvas.LoadPictureFile(c.dir / "ref.jpg"));
    EXPECT_FALSE(c.canvas.LoadPictureFile(c.dir / "missing.jpg"));
    c.canvas.SetReferenceSize(1180, 490);  // the box is 590 x 490: fit 0.5
    StageScene s = c.canvas.Scene();
    EXPECT_DOUBLE_EQ(s.referenceW, 1180) << "scale 1.0 draws the natural size";
    c.canvas.SetValue(2, "2.0");
    s = c.canvas.Scene();
    EXPECT_DOUBLE_EQ(s.referenceW, 1180);
    EXPECT_DOUBLE_EQ(s.referenceH, 490);
    c.canvas.SetValue(2, "0.5");
    s = c.canvas.Scene();
    EXPECT_DOUBLE_EQ(s.referenceW, 295);
    c.canvas.ClearPicture();
    EXPECT_FALSE(c.canvas.Scene().hasReference);
    EXPECT_EQ(c.drawing.log.back(), "clear");
}

}  // namespace
