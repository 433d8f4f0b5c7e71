// The canvas's modes fed plain events: the wand, the engine polygons with
// undo and restart, the eraser, the rubber-band rules, the head sticker and
// every way out of its mode, the material drag with its clamps and the
// move-all drag; no window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "image_editor/canvas_control.h"
#include "tests/image_editor/engine_fixtures.h"

namespace {

using namespace image_editor;
using enginetest::MaskRows;
using enginetest::Rows;

constexpr ColorRef kSky = 0xE6DDCF, kBody = 0x404080;

class CanvasControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A 12 x 6 photo at (10, 20): sky around a body.
        engine.SetPhoto(10, 20, enginetest::MakePicture({"............",
                                                         "....BBBB....",
                                                         "....BBBB....",
                                                         "....BBBB....",
                                                         "....BBBB....",
                                                         "............"},
                                                        {{'.', kSky}, {'B', kBody}}));
        canvas.SetCanvasSize(200, 150);
        canvas.SetSurface(&surface);
    }
    CanvasInput At(int x, int y, bool alt = false, bool left = false) {
        CanvasInput in;
        in.x = x;
        in.y = y;
        in.alt = alt;
        in.left = left;
        return in;
    }
    // A click at photo position (col, row).
    CanvasInput Photo(int col, int row) { return At(10 + col, 20 + row); }

    CPhotoEngine engine;
    picture_controls::CDrawItemList drawing;
    CMaterialTable materials;
    CanvasControl canvas{engine, drawing, materials};
    Surface surface{200, 150};
};

TEST_F(CanvasControlTest, WandSelectsTheSkyAndTheMiddleButtonTakesItBack) {
    canvas.SetToolMode(mode::kMagicWand);
    EXPECT_TRUE(canvas.LeftDown(Photo(0, 0)).repaint);
    EXPECT_EQ(MaskRows(engine), Rows("cccccccccccc", "ccccAAAAcccc", "ccccAAAAcccc", "ccccAAAAcccc",
                                     "ccccAAAAcccc", "cccccccccccc"));
    canvas.MiddleDown(Photo(0, 0));
    EXPECT_EQ(engine.MaskAt(0, 0), mask::kKept);
    // The right button ends the mode and tells the dialog.
    const CanvasReaction r = canvas.RightDown(Photo(0, 0));
    ASSERT_EQ(r.notices.size(), 1u);
    EXPECT_EQ(r.notices[0].code, notice::kModeEnded);
    EXPECT_EQ(canvas.toolMode(), 0);
}

TEST_F(CanvasControlTest, CutPolygonWithUndoClosesOnItsFirstPoint) {
    canvas.SetToolMode(mode::kCutPolygon);
    canvas.LeftDown(Photo(0, 0));
    canvas.LeftDown(Photo(11, 0));
    canvas.LeftDown(Photo(5, 3));  // a wrong point...
    canvas.MiddleDown(Photo(5, 3));  // ...taken back
    EXPECT_EQ(engine.polygon().size(), 2u);
    canvas.LeftDown(Photo(11, 5));
    EXPECT_EQ(canvas.toolMode(), mode::kCutPolygon);
    canvas.LeftDown(Photo(0, 5));  // 5 rows below the first point: still open
    EXPECT_EQ(canvas.toolMode(), mode::kCutPolygon);
    const CanvasReaction r = canvas.LeftDown(Photo(1, 1));  // inside the first point's box: closed
    ASSERT_EQ(r.notices.size(), 1u);
    EXPECT_EQ(r.notices[0].code, notice::kModeEnded);
    EXPECT_EQ(canvas.toolMode(), 0);
    // The scan fills the rows from the first point's up to, not including,
    // the last one's.
    EXPECT_EQ(MaskRows(engine), Rows("xxxxxxxxxxxA", "xxxxxxxxxxxA", "xxxxxxxxxxxA", "xxxxxxxxxxxA",
                                     "xxxxxxxxxxxA", "AAAAAAAAAAAA"));
}

TEST_F(CanvasControlTest, TheMiddleButtonOnAOnePointPolygonRestartsItAtTheNextClick) {
    canvas.SetToolMode(mode::kKeepPolygon);
    canvas.LeftDown(Photo(3, 3));
    canvas.MiddleDown(Photo(3, 3));
    EXPECT_EQ(canvas.bandState(), -1);
    canvas.LeftDown(Photo(0, 0));
    ASSERT_EQ(engine.polygon().size(), 1u);
    EXPECT_EQ(engine.polygon()[0].x, 10);
    EXPECT_EQ(engine.polygon()[0].y, 20);
}

TEST_F(CanvasControlTest, EraserDragRemovesAndTheReverseKeyRestores) {
    engine.SetRadius(3);
    canvas.SetToolMode(mode::kEraser);
    canvas.LeftDown(Photo(0, 0));
    canvas.Move(At(10 + 11, 20, false, true));
    canvas.LeftUp(Photo(11, 0));
    for (int c = 0; c < 12; ++c) EXPECT_EQ(engine.MaskAt(c, 0), mask::kRemoved) << c;
    canvas.LeftDown(Photo(0, 0));
    canvas.Move(At(10 + 11, 20, true, true));
    for (int c = 0; c < 12; ++c) EXPECT_EQ(engine.MaskAt(c, 0), mask::kKept) << c;
}

TEST_F(CanvasControlTest, TheMagnifierAreaFollowsThePointerAndStaysOnThePhoto) {
    engine.SetMagnifierSize(10, 8);
    canvas.SetToolMode(mode::kMagnifierPick);
    const CanvasReaction moved = canvas.Move(Photo(3, 2));
    ASSERT_EQ(moved.notices.size(), 1u);
    EXPECT_EQ(moved.notices[0].code, notice::kMagnifierMoved);
    EXPECT_EQ(engine.magnifierCol(), 3);
    canvas.Move(At(0, 0));  // left of and above the photo
    EXPECT_EQ(engine.magnifierCol(), 0);
    EXPECT_EQ(engine.magnifierRow(), 0);
    const CanvasReaction chosen = canvas.LeftUp(At(190, 140));  // beyond it
    ASSERT_EQ(chosen.notices.size(), 1u);
    EXPECT_EQ(chosen.notices[0].code, notice::kMagnifierChosen);
    EXPECT_EQ(engine.magnifierCol(), 11);
    EXPECT_EQ(engine.magnifierRow(), 5);
    EXPECT_EQ(canvas.toolMode(), 0);
}

TEST_F(CanvasControlTest, AShortRectangleDragAddsNothingUntilTheNextClick) {
    canvas.SetToolMode(draw_mode::kRectangle);
    canvas.LeftDown(At(50, 50));
    canvas.Move(At(55, 55, false, true));
    canvas.LeftUp(At(55, 55));  // 7 pixels: nothing yet
    EXPECT_EQ(drawing.itemCount(), 0);
    canvas.LeftDown(At(90, 80));  // the next click adds it from the press
    ASSERT_EQ(drawing.itemCount(), 1);
    const auto pts = drawing.pointsOf(0);
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_EQ(pts[0].x, 50);
    EXPECT_EQ(pts[1].x, 90);
    // A long drag adds at the release.
    canvas.LeftDown(At(10, 10));
    canvas.Move(At(40, 40, false, true));
    canvas.LeftUp(At(40, 40));
    EXPECT_EQ(drawing.itemCount(), 2);
}

TEST_F(CanvasControlTest, AValidAreaNeedsEightyPixelsEachWay) {
    canvas.SetToolMode(mode::kValidArea);
    canvas.LeftDown(At(10, 10));
    canvas.Move(At(60, 60));
    canvas.LeftDown(At(89, 120));  // 79 in x: ignored
    EXPECT_EQ(canvas.toolMode(), mode::kValidArea);
    canvas.LeftDown(At(90, 120));
    EXPECT_EQ(canvas.toolMode(), 0);
    EXPECT_EQ(engine.GetPhotoArea(), (Rect{10, 10, 90, 120}));
}

TEST_F(CanvasControlTest, AGrabRegionIsReportedWithItsRectangle) {
    canvas.SetToolMode(mode::kGrabRegion);
    canvas.LeftDown(At(100, 100));
    canvas.Move(At(50, 50));
    const CanvasReaction r = canvas.LeftDown(At(10, 5));
    ASSERT_EQ(r.notices.size(), 1u);
    EXPECT_EQ(r.notices[0].code, notice::kGrabChosen);
    EXPECT_EQ(r.notices[0].rect, (Rect{10, 5, 100, 100}));
}

// Stickers made in the mode are committed whichever way the mode ends.
TEST_F(CanvasControlTest, StickersAreCommittedByEveryWayOut) {
    enum class Out { RightButton, NewMode, EndToolMode };
    for (Out out : {Out::RightButton, Out::NewMode, Out::EndToolMode}) {
        SCOPED_TRACE(static_cast<int>(out));
        SetUp();
        engine.SetStickerForm(' ');
        canvas.SetToolMode(mode::kHeadSticker);
        // Too short a drag makes nothing.
        canvas.LeftDown(Photo(4, 1));
        canvas.Move(At(10 + 8, 20 + 4, false, true));
        canvas.LeftUp(At(10 + 8, 20 + 4));
        EXPECT_FALSE(engine.StickerMade());
        // A box over the middle of the photo keeps its ellipse.
        canvas.LeftDown(At(12, 20));
        canvas.Move(At(24, 26, false, true));
        canvas.LeftUp(At(24, 26));
        EXPECT_TRUE(engine.StickerMade());
        switch (out) {
            case Out::RightButton: canvas.RightDown(At(0, 0)); break;
            case Out::NewMode: canvas.SetToolMode(mode::kEraser); break;
            case Out::EndToolMode: canvas.EndToolMode(); break;
        }
        EXPECT_FALSE(engine.StickerMade());
        EXPECT_EQ(engine.MaskAt(5, 3), mask::kKept);     // inside the ellipse
        EXPECT_EQ(engine.MaskAt(0, 0), mask::kRemoved);  // a corner outside it
    }
}

TEST_F(CanvasControlTest, TheMakeupSampleIsTakenAtThePressPoint) {
    surface.Fill(0x000000);
    surface.FillRect(0, 0, 40, 40, 0x2233CC);  // around the press point
    canvas.SetToolMode(mode::kMakeupBrush);
    EXPECT_TRUE(canvas.LeftDown(At(20, 20, true)).flashCursor);
    EXPECT_EQ(canvas.sampleRequest(), 9);
    canvas.Move(At(150, 120, true, true));
    canvas.LeftUp(At(150, 120, true));
    ASSERT_TRUE(engine.HasMakeupSample());
    EXPECT_EQ(engine.SampleAt(11, 11), 0x2233CCu);
    EXPECT_EQ(canvas.sampleRequest(), 0);
}

TEST_F(CanvasControlTest, AMaterialDragKeepsItsClamps) {
    PartPlacement p;
    p.layer = 45;
    p.naturalWidth = 40;
    p.naturalHeight = 60;
    p.picture = "coat.png";
    const int slot = materials.Place(p);  // centre (30, 30) of its 60 x 60 box
    canvas.SetSpecialMode(special::kMaterial);
    struct Case {
        int dx, dy, x, y;
    } cases[] = {
        {-125, 0, 0, 30},     // x -95 jumps to 0
        {5, -125, 5, -90},    // y -95 stops at -90
        {500, 400, 200, 150}, // at or beyond the canvas size: the size
        {-1, 0, 200, 150},    // a move of 1 pixel in x is not a drag
    };
    for (const Case& c : cases) {
        const Material& m = materials.at(slot);
        const int fromX = m.x, fromY = m.y;
        canvas.LeftDown(At(fromX, fromY));
        canvas.Move(At(fromX + c.dx, fromY + c.dy, false, true));
        canvas.LeftUp(At(fromX + c.dx, fromY + c.dy));
        EXPECT_EQ(materials.at(slot).x, c.x) << c.dx << "," << c.dy;
        EXPECT_EQ(materials.at(slot).y, c.y) << c.dx << "," << c.dy;
    }
    // The right button ends the special mode.
    const CanvasReaction r = canvas.RightDown(At(0, 0));
    ASSERT_EQ(r.notices.size(), 1u);
    EXPECT_EQ(r.notices[0].code, notice::kSpecialEnded);
    EXPECT_EQ(canvas.specialMode(), 0);
}

TEST_F(CanvasControlTest, MoveAllShiftsEveryMaterialAndThePartsOnce) {
    for (int layer : {45, 55}) {
        PartPlacement p;
        p.layer = layer;
        p.naturalWidth = 10;
        p.naturalHeight = 10;
        p.x = 100;
        p.y = 50;
        p.picture = "g.png";
        materials.Place(p);
    }
    int partsDx = 0, partsDy = 0;
    canvas.onMoveAllParts = [&](int dx, int dy) { partsDx += dx, partsDy += dy; };
    canvas.SetSpecialMode(special::kMoveAll);
    canvas.LeftDown(At(100, 100));
    canvas.Move(At(101, 101, false, true));  // under 3 pixels: no move
    EXPECT_EQ(materials.offsetX(), 0);
    canvas.Move(At(110, 95, false, true));
    EXPECT_EQ(materials.offsetX(), 10);
    EXPECT_EQ(materials.offsetY(), -5);
    canvas.LeftUp(At(110, 95));
    EXPECT_EQ(materials.offsetX(), 0);
    EXPECT_EQ(materials.at(45).x, 115);
    EXPECT_EQ(materials.at(55).y, 50);
    EXPECT_EQ(partsDx, 10);
    EXPECT_EQ(partsDy, -5);
}

TEST_F(CanvasControlTest, ThePaintComposesPhotoMaterialsAndOutline) {
    struct OnePicture : MaterialPictures {
        Surface s = Surface::WithArgb(4, 4, 0xFF00FF00);
        const Surface* Scaled(const std::filesystem::path&, int w, int h) override {
            return w == 4 && h == 4 ? &s : nullptr;
        }
        std::pair<int, int> NaturalSize(const std::filesystem::path&) override { return {4, 4}; }
    } pics;
    PartPlacement p;
    p.layer = 20;
    p.naturalWidth = 4;
    p.naturalHeight = 4;
    p.x = 100;
    p.y = 100;
    p.picture = "g.png";
    materials.Place(p);
    Surface dc(200, 150);
    canvas.Paint(dc, &pics);
    EXPECT_EQ(dc.GetPixel(10 + 5, 20 + 2), kBody);       // the photo
    EXPECT_EQ(dc.GetPixel(101, 101), 0x00FF00u);          // the material
    EXPECT_EQ(dc.GetPixel(150, 140), engine.backgroundColour());
}

}  // namespace

// A photo larger than the canvas is loaded at its natural size, then fitted
// into the area that took. When it is not 4:3 the fitted picture leaves part
// of the area free: that part is the background colour, so the wand, the
// eraser and the grabs see nothing of the natural-size drawing.
TEST(CanvasOpenPhoto, ALargePhotoIsTheFittedPictureOnTheBackgroundColour) {
    struct Case {
        int width, height;
        int fittedWidth, fittedHeight;
    };
    const Case cases[] = {{1080, 1920, 270, 480}, {1920, 1080, 640, 360}, {1280, 960, 640, 480}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        enginetest::FakePictures pictures;
        pictures.files["big.jpg"] = enginetest::Uniform(c.width, c.height, kBody);
        CPhotoEngine engine(&pictures);
        picture_controls::CDrawItemList drawing;
        CMaterialTable materials;
        CanvasControl canvas{engine, drawing, materials};
        Surface surface(700, 520, 0xFFFFFF);
        canvas.SetCanvasSize(700, 520);
        canvas.SetSurface(&surface);
        ASSERT_TRUE(canvas.OpenPhoto("big.jpg"));
        ASSERT_EQ(engine.GetPhotoArea(), (Rect{1, 1, 641, 481}));
        ASSERT_EQ(engine.photoWidth(), 640);
        ASSERT_EQ(engine.photoHeight(), 480);
        int picture = 0, background = 0, other = 0;
        for (int row = 0; row < 480; ++row)
            for (int col = 0; col < 640; ++col) {
                const bool fitted = col < c.fittedWidth && row < c.fittedHeight;
                const ColorRef v = engine.ColourAt(col, row);
                if (fitted && v == kBody) ++picture;
                else if (!fitted && v == engine.backgroundColour()) ++background;
                else ++other;
            }
        EXPECT_EQ(picture, c.fittedWidth * c.fittedHeight);
        EXPECT_EQ(background, 640 * 480 - c.fittedWidth * c.fittedHeight);
        EXPECT_EQ(other, 0);
        // The wand on the picture takes the fitted picture and no more.
        canvas.SetToolMode(mode::kMagicWand);
        canvas.LeftDown(CanvasInput{10, 10});
        const std::string masks = MaskRows(engine);
        EXPECT_EQ(std::count(masks.begin(), masks.end(), 'c'), c.fittedWidth * c.fittedHeight);
    }
}
