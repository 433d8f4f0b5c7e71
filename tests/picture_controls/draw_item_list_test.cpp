// The drawing-item list: capacities, undo and clear, pens, the arrow outline,
// and what it draws on a raster surface, as pixel grids.
#include <gtest/gtest.h>

#include <vector>

#include "picture_controls/draw_item_list.h"
#include "tests/platform/raster/grid.h"

using namespace picture_controls;
using platform::raster::Surface;
using rastertest::CountInk;
using rastertest::Grid;
using rastertest::Rows;

namespace {

// The list is large (it never allocates); tests keep one on the heap.
std::unique_ptr<CDrawItemList> NewList() {
    auto list = std::make_unique<CDrawItemList>();
    list->SetColor(0x000000);
    return list;
}

std::vector<Point> Pts(std::span<const Point> s) { return {s.begin(), s.end()}; }

}  // namespace

TEST(DrawItemList, StartsEmptyWithTheDefaultPen) {
    CDrawItemList list;
    EXPECT_EQ(list.mode(), ' ');
    EXPECT_EQ(list.itemCount(), 0);
    EXPECT_EQ(list.pointCount(), 0);
    EXPECT_EQ(list.currentItem(), -1);
    EXPECT_EQ(list.width(), 1);
    EXPECT_EQ(list.colour(), 0xFFFFFFu);
    EXPECT_EQ(list.rubberBandMode(), ' ');
    EXPECT_FALSE(list.RubberBandShown());
    EXPECT_TRUE(list.savedOutline().empty());
}

TEST(DrawItemList, ItemsTakeTheCurrentPenAndTheirPoints) {
    auto list = NewList();
    list->SetWidth(300);  // only the low byte is kept: 44
    list->SetColor(0x0000FF);
    list->AddItem('B');
    list->AddPoint(1, 2);
    list->AddPoint(3, 4);
    list->EndItem();
    const DrawingItem& it = list->item(0);
    EXPECT_EQ(it.kind, 'B');
    EXPECT_EQ(it.flag, ' ');
    EXPECT_EQ(it.penStyle, 'A');
    EXPECT_EQ(it.width, 44);
    EXPECT_EQ(it.colour, 0x0000FFu);
    EXPECT_EQ(it.first, 0);
    EXPECT_EQ(it.count, 2);
    EXPECT_EQ(Pts(list->pointsOf(0)), (std::vector<Point>{{1, 2}, {3, 4}}));
    EXPECT_EQ(list->currentItem(), -1);
    list->AddPoint(9, 9);  // no current item
    EXPECT_EQ(list->pointCount(), 2);
}

TEST(DrawItemList, PenWidthsFromTheSignedByte) {
    struct Case {
        int width;
        int drawn;
    } cases[] = {{1, 1}, {0, 1}, {-5, 1}, {126, 126}, {127, 126}, {128, 1}, {200, 1}, {300, 44}};
    for (const Case& c : cases) {
        DrawingItem item;
        item.width = static_cast<std::int8_t>(static_cast<std::uint8_t>(c.width & 0xFF));
        EXPECT_EQ(CDrawItemList::PenOf(item).width, c.drawn) << c.width;
    }
    DrawingItem dashed;
    dashed.penStyle = 'C';
    EXPECT_EQ(CDrawItemList::PenOf(dashed).style, PenStyle::Dash);
    dashed.penStyle = 'B';
    EXPECT_EQ(CDrawItemList::PenOf(dashed).style, PenStyle::Dot);
}

TEST(DrawItemList, CapacitiesAreKept) {
    auto list = NewList();
    for (int i = 0; i < CDrawItemList::kMaxItems; ++i) list->AddItem('A');
    EXPECT_EQ(list->currentItem(), CDrawItemList::kMaxItems - 1);
    list->EndItem();
    list->AddItem('A');  // the 1201st
    EXPECT_EQ(list->itemCount(), CDrawItemList::kMaxItems);
    EXPECT_EQ(list->currentItem(), -1) << "the current item stays as it was";

    list->Clear();
    list->AddItem('A');
    for (int i = 0; i < CDrawItemList::kMaxPoints + 5; ++i) list->AddPoint(i, i);
    EXPECT_EQ(list->pointCount(), CDrawItemList::kMaxPoints);
    EXPECT_EQ(list->item(0).count, CDrawItemList::kMaxPoints);
}

TEST(DrawItemList, UndoGivesBackTheUndoneItemsPointsAndEndsIt) {
    auto list = NewList();
    list->Undo();  // empty: stays at 0
    EXPECT_EQ(list->itemCount(), 0);

    list->AddItem('A');
    list->AddPoint(0, 0);
    list->AddPoint(5, 5);
    list->EndItem();
    list->AddItem('A');  // being drawn
    list->AddPoint(10, 10);
    list->AddPoint(20, 20);
    list->AddPoint(30, 30);
    list->Undo();
    EXPECT_EQ(list->itemCount(), 1);
    EXPECT_EQ(list->pointCount(), 2) << "the undone item's points are free again";
    EXPECT_EQ(list->currentItem(), -1) << "points must not go to the undone item";
    list->AddPoint(99, 99);
    EXPECT_EQ(list->pointCount(), 2);

    // A new item reuses the freed room and is stored whole.
    list->AddItem('A');
    list->AddPoint(7, 7);
    list->AddPoint(8, 8);
    EXPECT_EQ(list->item(1).first, 2);
    EXPECT_EQ(Pts(list->pointsOf(1)), (std::vector<Point>{{7, 7}, {8, 8}}));

    // Undo of an earlier item (the current one still open) keeps the points
    // of the items after it.
    list->EndItem();
    list->AddItem('A');
    list->AddPoint(1, 1);
    list->EndItem();
    list->Undo();
    list->Undo();
    EXPECT_EQ(list->itemCount(), 1);
    EXPECT_EQ(list->pointCount(), 2);
}

TEST(DrawItemList, ClearEndsTheCurrentItem) {
    auto list = NewList();
    list->AddItem('A');
    list->AddPoint(1, 1);
    list->Clear();
    EXPECT_EQ(list->itemCount(), 0);
    EXPECT_EQ(list->pointCount(), 0);
    EXPECT_EQ(list->currentItem(), -1);
    EXPECT_EQ(list->mode(), ' ');
    list->AddPoint(2, 2);  // nowhere to go
    EXPECT_EQ(list->pointCount(), 0);
}

TEST(DrawItemList, ArrowOutlines) {
    struct Case {
        int x1, y1, x2, y2;
        std::vector<Point> outline;
    } cases[] = {
        // Zero length: shaft half-width 1, everything else 0, pointing down.
        {5, 5, 5, 5, {{5, 4}, {4, 5}, {4, 5}, {5, 5}, {5, 5}, {5, 5}, {5, 4}, {5, 4}}},
        {0, 0, 100, 0, {{0, -7}, {0, 7}, {70, 7}, {70, 15}, {100, 0}, {70, -15}, {70, -7}, {0, -7}}},
        // Left (180 degrees) and up (270): the system's angle constants leave
        // the tip one pixel short.
        {0, 0, -100, 0, {{0, 6}, {0, -6}, {-70, -6}, {-70, -14}, {-99, 0}, {-69, 15}, {-69, 7}, {0, 6}}},
        {0, 0, 0, -100, {{-6, 0}, {6, 0}, {6, -70}, {14, -70}, {0, -99}, {-15, -69}, {-7, -69}, {-6, 0}}},
        {10, 20, 40, 60, {{12, 18}, {7, 21}, {28, 49}, {25, 52}, {39, 60}, {36, 43}, {33, 46}, {12, 18}}},
    };
    for (const Case& c : cases) {
        Point out[CDrawItemList::kArrowPoints];
        EXPECT_EQ(CDrawItemList::DrawArrowHead(c.x1, c.y1, c.x2, c.y2, out), 8);
        EXPECT_EQ(std::vector<Point>(out, out + 8), c.outline) << c.x2 << "," << c.y2;
    }
}

TEST(DrawItemList, AFilledArrowAsPixels) {
    auto list = NewList();
    list->BeginRubberBand('A', 2, 6);
    list->DrawRubberBand(22, 6, 0);
    list->EndRubberBand();
    list->AddItem('E');
    list->EndItem();
    ASSERT_EQ(list->item(0).count, 8);
    Surface s(26, 13);
    RasterDrawPainter painter(s);
    list->DrawAll(painter);
    // Length 20: outline (2,5) (2,7) (16,7) (16,9) (22,6) (16,3) (16,5), filled
    // by the half-open row rule.
    EXPECT_EQ(Grid(s, 0, 0, 26, 11), Rows("..........................",
                                          "..........................",
                                          "..........................",
                                          "..........................",
                                          "................##........",
                                          "................####......",
                                          "..####################....",
                                          "..##################......",
                                          "................##........",
                                          "..........................",
                                          ".........................."));
}

TEST(DrawItemList, ShapesAsPixels) {
    auto list = NewList();
    list->AddItem('B');
    list->AddPoint(8, 5);  // corners in any order
    list->AddPoint(1, 1);
    list->AddItem('C');
    list->AddPoint(11, 1);
    list->AddPoint(20, 8);
    list->AddItem('A');
    list->AddPoint(1, 8);
    list->AddPoint(4, 8);
    list->AddPoint(4, 10);
    list->EndItem();
    Surface s(22, 11);
    RasterDrawPainter painter(s);
    list->DrawAll(painter);
    // The rectangle with its right and bottom edges, the ellipse inscribed in
    // columns 11..19 and rows 1..7, the polyline without its last point.
    EXPECT_EQ(Grid(s, 0, 0, 22, 11), Rows("......................",
                                          ".########....#####....",
                                          ".#......#...#.....#...",
                                          ".#......#..#.......#..",
                                          ".#......#..#.......#..",
                                          ".########..#.......#..",
                                          "............#.....#...",
                                          ".............#####....",
                                          ".####.................",
                                          "....#.................",
                                          "......................"));
}

TEST(DrawItemList, AFinishedPolygonIsFilledClosedAndTheOneBeingBuiltIsNot) {
    auto list = NewList();
    list->AddItem('D');
    list->AddPoint(10, 2);
    list->AddPoint(18, 10);
    list->AddPoint(2, 10);  // not repeated: the fill closes it
    Surface open(21, 13);
    RasterDrawPainter p1(open);
    list->DrawAll(p1);
    // Being built: the polyline and a cross at the first point.
    EXPECT_EQ(open.GetPixel(6, 2), 0x000000u);   // cross arm
    EXPECT_EQ(open.GetPixel(10, 6), 0xFFFFFFu);  // not filled
    list->EndItem();
    Surface filled(21, 13);
    RasterDrawPainter p2(filled);
    list->DrawAll(p2);
    EXPECT_EQ(Grid(filled, 0, 0, 21, 12), Rows(".....................",
                                               ".....................",
                                               ".....................",
                                               ".........##..........",
                                               "........####.........",
                                               ".......######........",
                                               "......########.......",
                                               ".....##########......",
                                               "....############.....",
                                               "...##############....",
                                               "..################...",
                                               "....................."));
}

TEST(DrawItemList, AFilledItemFillsOnlyItsFirst180Points) {
    auto list = NewList();
    list->AddItem('D');
    // 179 points along a small square's edge, then far-away points that
    // would enlarge the shape.
    for (int i = 0; i < 45; ++i) list->AddPoint(10 + i % 10, 10);
    for (int i = 0; i < 45; ++i) list->AddPoint(20, 10 + i % 10);
    for (int i = 0; i < 45; ++i) list->AddPoint(20 - i % 10, 20);
    for (int i = 0; i < 45; ++i) list->AddPoint(10, 20 - i % 10);
    for (int i = 0; i < 40; ++i) list->AddPoint(90, 90);
    list->EndItem();
    Surface s(100, 100);
    RasterDrawPainter painter(s);
    list->DrawAll(painter);
    EXPECT_EQ(s.GetPixel(15, 15), 0x000000u);
    EXPECT_EQ(s.GetPixel(60, 60), 0xFFFFFFu);
    EXPECT_EQ(s.GetPixel(89, 89), 0xFFFFFFu);
}

TEST(DrawItemList, AWideFilledItemReachesHalfItsWidthBeyond) {
    auto list = NewList();
    list->SetWidth(5);
    list->AddItem('D');
    for (Point p : {Point{20, 20}, {40, 20}, {40, 40}, {20, 40}}) list->AddPoint(p.x, p.y);
    list->EndItem();
    Surface s(60, 60);
    RasterDrawPainter painter(s);
    list->DrawAll(painter);
    EXPECT_EQ(s.GetPixel(18, 30), 0x000000u);
    EXPECT_EQ(s.GetPixel(17, 30), 0xFFFFFFu);
    EXPECT_EQ(s.GetPixel(30, 30), 0x000000u);
}

TEST(DrawItemList, LastSegmentIsDrawnWithTheItemsPen) {
    auto list = NewList();
    list->SetWidth(3);
    list->AddItem('A');
    list->AddPoint(2, 5);
    Surface s(20, 10);
    RasterDrawPainter painter(s);
    list->DrawLastSegment(painter);
    EXPECT_EQ(CountInk(s), 0);  // one point: nothing
    list->AddPoint(12, 5);
    list->AddPoint(12, 8);
    list->DrawLastSegment(painter);
    EXPECT_EQ(s.GetPixel(12, 7), 0x000000u);
    EXPECT_EQ(s.GetPixel(6, 5), 0xFFFFFFu) << "only the last segment";
}

TEST(DrawItemList, RubberBandFeedbackIsKeptAsState) {
    auto list = NewList();
    list->BeginRubberBand('L', 3, 4);
    EXPECT_FALSE(list->RubberBandShown());
    list->DrawRubberBand(10, 12, 0);
    EXPECT_TRUE(list->RubberBandShown());
    EXPECT_EQ(list->rubberBandLastEnd(), (Point{10, 12}));
    list->DrawRubberBand(10, 12, CDrawItemList::kEraseOnly);
    EXPECT_FALSE(list->RubberBandShown());

    // 'c' with radius 99 cannot be shown: it only erases.
    list->BeginRubberBand('c', 0, 0);
    list->DrawRubberBand(5, 5, 4);
    EXPECT_TRUE(list->RubberBandShown());
    list->DrawRubberBand(5, 5, 99);
    EXPECT_FALSE(list->RubberBandShown());

    // The arrow mode keeps the outline that the next arrow item takes.
    list->BeginRubberBand('A', 0, 0);
    list->DrawRubberBand(100, 0, 0);
    EXPECT_EQ(list->savedOutline().size(), 8u);
    EXPECT_EQ(list->savedOutline()[4], (Point{100, 0}));
}

TEST(DrawItemList, RubberBandPaintsInNotXorAndTwiceRestores) {
    struct Case {
        char mode;
        Point end;
        int extra;
    } cases[] = {{'r', {4, 5}, 0}, {'R', {20, 14}, 0}, {'C', {20, 14}, 0}, {'c', {12, 9}, 5},
                 {'L', {20, 14}, 0}, {'A', {22, 16}, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        auto list = NewList();
        list->SetRubberBandSize(8, 6);
        Surface s(26, 20, 0x406080);
        const Surface before = s;
        RasterDrawPainter painter(s);
        list->BeginRubberBand(c.mode, 2, 2);
        list->DrawRubberBand(painter, c.end.x, c.end.y, c.extra);
        int changed = 0;
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x) {
                const auto px = s.GetPixel(x, y);
                if (px != 0x406080u) {
                    EXPECT_EQ(px, 0x406080u ^ 0x0B0B0Bu) << x << "," << y;
                    ++changed;
                }
            }
        EXPECT_GT(changed, 0);
        // Moving erases the old feedback first; erasing leaves the picture as it was.
        list->DrawRubberBand(painter, c.end.x - 1, c.end.y - 1, c.extra);
        list->DrawRubberBand(painter, 0, 0, CDrawItemList::kEraseOnly);
        EXPECT_EQ(s.pixels(), before.pixels());
        EXPECT_FALSE(list->RubberBandShown());
    }
}

TEST(DrawItemList, UnknownRubberBandModeDrawsNothing) {
    auto list = NewList();
    Surface s(10, 10);
    RasterDrawPainter painter(s);
    list->BeginRubberBand('Q', 1, 1);
    list->DrawRubberBand(painter, 8, 8, 0);
    EXPECT_EQ(s.pixels(), Surface(10, 10).pixels());
}
