// The raster surface's pixel rules as grids: lines without their last pixel,
// pen widths, ellipses, focus outlines, the exclusive-or pens and reading back.
#include <gtest/gtest.h>

#include <vector>

#include "platform/raster/surface.h"
#include "tests/platform/raster/grid.h"

using namespace platform::raster;
using rastertest::CountInk;
using rastertest::Grid;
using rastertest::Rows;

namespace {

Surface Blank(int w, int h) { return Surface(w, h, 0xFFFFFF); }

// A surface with a different colour in every pixel, to see exclusive-or work.
Surface Patterned(int w, int h) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.SetPixel(x, y, static_cast<ColorRef>((x * 37 + y * 101) & 0xFF) | (static_cast<ColorRef>(x * 5) & 0xFF) << 8 |
                                 (static_cast<ColorRef>(y * 7 + 3) & 0xFF) << 16);
    return s;
}

}  // namespace

TEST(Surface, ReadsBackWhatItStoresAndNothingOutside) {
    Surface s(4, 3, 0x123456);
    EXPECT_EQ(s.GetPixel(0, 0), 0x123456u);
    EXPECT_EQ(s.ArgbAt(0, 0), 0xFF563412u);  // 0xAARRGGBB of R 0x56 G 0x34 B 0x12
    s.SetPixel(3, 2, 0x0000FF);
    EXPECT_EQ(s.GetPixel(3, 2), 0x0000FFu);
    for (auto [x, y] : {std::pair{-1, 0}, {4, 0}, {0, 3}, {0, -1}}) EXPECT_EQ(s.GetPixel(x, y), kInvalidColor);
    s.SetPixel(9, 9, 0);  // ignored
    EXPECT_EQ(ToColorRef(ToArgb(0xA1B2C3)), 0xA1B2C3u);
}

TEST(Surface, ThinLinesLeaveOutTheirLastPixel) {
    Surface s = Blank(8, 6);
    s.MoveTo(1, 1);
    s.LineTo(6, 1);  // right
    s.MoveTo(0, 5);
    s.LineTo(4, 1);  // up and right: diagonal
    s.MoveTo(6, 5);
    s.LineTo(6, 3);  // up
    EXPECT_EQ(s.position(), (Point{6, 3}));
    EXPECT_EQ(Grid(s, 0, 0, 8, 6), Rows("........",
                                        ".#####..",
                                        "...#....",
                                        "..#.....",
                                        ".#....#.",
                                        "#.....#."));
    Surface dot = Blank(3, 3);
    dot.MoveTo(1, 1);
    dot.LineTo(1, 1);  // zero length: nothing
    EXPECT_EQ(CountInk(dot), 0);
}

TEST(Surface, APolylineTouchesEachJointOnce) {
    // With the exclusive-or pen a pixel drawn twice would come back white.
    Surface s = Blank(7, 5);
    s.SetRop2(Rop2::XorPen);
    s.SetPen({0xFFFFFF, 1, PenStyle::Solid});
    const std::vector<Point> zigzag = {{0, 0}, {5, 0}, {5, 3}, {1, 3}, {1, 1}};
    s.Polyline(zigzag);
    EXPECT_EQ(Grid(s, 0, 0, 7, 5), Rows("######.",
                                        ".....#.",
                                        ".#...#.",
                                        ".#####.",
                                        "......."));
}

TEST(Surface, PenWidthsCoverThatManyRowsAndColumns) {
    for (int w : {1, 2, 3, 4, 5, 8, 126}) {
        SCOPED_TRACE(w);
        Surface s = Blank(600, 600);
        s.SetPen({0, w, PenStyle::Solid});
        s.MoveTo(100, 450);
        s.LineTo(300, 450);
        s.MoveTo(450, 20);
        s.LineTo(450, 260);
        int rows = 0, cols = 0;
        for (int y = 0; y < 600; ++y) rows += s.GetPixel(200, y) == 0;
        for (int x = 0; x < 600; ++x) cols += s.GetPixel(x, 140) == 0;
        EXPECT_EQ(rows, w);
        EXPECT_EQ(cols, w);
    }
    Surface zero = Blank(9, 9);
    zero.SetPen({0, 0, PenStyle::Solid});
    zero.MoveTo(0, 4);
    zero.LineTo(9, 4);
    EXPECT_EQ(CountInk(zero), 9);
}

TEST(Surface, AWideLineHasRoundEnds) {
    Surface s = Blank(13, 7);
    s.SetPen({0, 5, PenStyle::Solid});
    s.MoveTo(4, 3);
    s.LineTo(8, 3);
    EXPECT_EQ(Grid(s, 0, 0, 13, 7), Rows(".............",
                                         "...#######...",
                                         "..#########..",
                                         "..#########..",
                                         "..#########..",
                                         "...#######...",
                                         "............."));
}

TEST(Surface, DashesAndDotsRunOnAlongAPolyline) {
    Surface s = Blank(40, 3);
    s.SetPen({0, 1, PenStyle::Dash});
    s.Polyline(std::vector<Point>{{0, 0}, {10, 0}, {36, 0}});
    EXPECT_EQ(Grid(s, 0, 0, 36, 1), Rows("##################......############"));
    s.SetPen({0, 1, PenStyle::Dot});
    s.Polyline(std::vector<Point>{{0, 2}, {14, 2}});
    EXPECT_EQ(Grid(s, 0, 2, 14, 3), Rows("###...###...##"));
    // A wide pen is solid.
    Surface wide = Blank(40, 5);
    wide.SetPen({0, 3, PenStyle::Dash});
    wide.MoveTo(2, 2);
    wide.LineTo(38, 2);
    EXPECT_EQ(Grid(wide, 2, 2, 38, 3), std::string(36, '#') + "\n");
}

TEST(Surface, EllipseOutlineIsClosedAndInscribed) {
    Surface s = Blank(11, 9);
    s.Ellipse(1, 1, 10, 8);
    EXPECT_EQ(Grid(s, 0, 0, 11, 9), Rows("...........",
                                         "...#####...",
                                         "..#.....#..",
                                         ".#.......#.",
                                         ".#.......#.",
                                         ".#.......#.",
                                         "..#.....#..",
                                         "...#####...",
                                         "..........."));
    // Normalised: the corners may come in any order.
    Surface t = Blank(11, 9);
    t.Ellipse(10, 8, 1, 1);
    EXPECT_EQ(t.pixels(), s.pixels());
}

TEST(Surface, WideEllipseIsARingCentredOnTheOutline) {
    Surface s = Blank(60, 60);
    s.SetPen({0, 4, PenStyle::Solid});
    s.Ellipse(10, 10, 50, 50);
    int across = 0;
    for (int x = 0; x < 60; ++x) across += s.GetPixel(x, 30) == 0;
    EXPECT_EQ(across, 8);  // two sides of 4
    EXPECT_EQ(s.GetPixel(30, 30), 0xFFFFFFu);
}

TEST(Surface, FrameBoxDrawsItsRightAndBottomEdges) {
    Surface s = Blank(7, 6);
    s.FrameBox(5, 4, 1, 1);
    EXPECT_EQ(Grid(s, 0, 0, 7, 6), Rows(".......",
                                        ".#####.",
                                        ".#...#.",
                                        ".#...#.",
                                        ".#####.",
                                        "......."));
}

TEST(Surface, FocusRectInvertsEveryOtherBorderPixel) {
    Surface s = Blank(8, 6);
    s.FocusRect(1, 1, 7, 5);
    EXPECT_EQ(Grid(s, 0, 0, 8, 6), Rows("........",
                                        ".#.#.#..",
                                        "......#.",
                                        ".#......",
                                        "..#.#.#.",
                                        "........"));
}

TEST(Surface, ExclusiveOrTwiceRestoresEveryShape) {
    const std::vector<Point> crossing = {{2, 2}, {40, 30}, {40, 3}, {3, 35}, {30, 38}};
    for (Rop2 rop : {Rop2::XorPen, Rop2::NotXorPen, Rop2::Not}) {
        for (int width : {1, 2, 7}) {
            SCOPED_TRACE(static_cast<int>(rop) * 100 + width);
            const Surface before = Patterned(48, 44);
            Surface s = before;
            s.SetRop2(rop);
            s.SetPen({0xF4F4F4, width, PenStyle::Solid});
            for (int pass = 0; pass < 2; ++pass) {
                s.Polyline(crossing);
                s.Ellipse(5, 6, 44, 40);
                s.FrameBox(-3, 10, 60, 20);
                s.FillPolygon(crossing);
                s.FocusRect(4, 4, 30, 30);
                if (pass == 0) {
                    EXPECT_NE(s.pixels(), before.pixels());
                }
            }
            EXPECT_EQ(s.pixels(), before.pixels());
        }
    }
}

TEST(Surface, NotXorPenOfTheRubberBandColourShiftsEachChannel) {
    Surface s(2, 1, 0x000000);
    s.SetPixel(1, 0, 0x80FF10);
    s.SetRop2(Rop2::NotXorPen);
    s.SetPen({0xF4F4F4, 1, PenStyle::Solid});
    s.MoveTo(0, 0);
    s.LineTo(2, 0);
    EXPECT_EQ(s.GetPixel(0, 0), 0x0B0B0Bu);
    EXPECT_EQ(s.GetPixel(1, 0), 0x8BF41Bu);
}

TEST(Surface, WideOverlappingPolylineChangesAPixelOnce) {
    Surface s = Blank(30, 30);
    s.SetRop2(Rop2::XorPen);
    s.SetPen({0xFFFFFF, 6, PenStyle::Solid});
    s.Polyline(std::vector<Point>{{5, 15}, {25, 15}, {15, 5}, {15, 25}});
    // Where the segments cross, the pixel is inked once, not restored.
    EXPECT_EQ(s.GetPixel(15, 15), 0x000000u);
    EXPECT_EQ(s.GetPixel(20, 15), 0x000000u);
}

TEST(Surface, DrawingOffTheEdgesIsClipped) {
    Surface s = Blank(10, 10);
    s.SetPen({0, 9, PenStyle::Solid});
    s.MoveTo(-100, -50);
    s.LineTo(200, 300);
    s.Ellipse(-20, -20, 30, 30);
    s.FillPolygon(std::vector<Point>{{-50, -50}, {50, -50}, {5, 50}});
    s.FillRect(-5, -5, 3, 3, 0x00FF00);
    EXPECT_EQ(s.GetPixel(0, 0), 0x00FF00u);
    EXPECT_EQ(s.GetPixel(5, 5), 0x000000u);
}

TEST(Surface, ATransparentSurfaceShowsWhatWasDrawn) {
    Surface s = Surface::WithArgb(6, 3, 0);
    s.SetRop2(Rop2::XorPen);
    s.SetPen({0x0000FF, 1, PenStyle::Solid});
    s.MoveTo(1, 1);
    s.LineTo(4, 1);
    for (int x = 0; x < 6; ++x) EXPECT_EQ(s.ArgbAt(x, 1) >> 24, (x >= 1 && x < 4) ? 0xFFu : 0u) << x;
    EXPECT_EQ(s.ArgbAt(2, 1), 0xFFFF0000u);
    EXPECT_EQ(s.ArgbAt(2, 0), 0u);
}
