// The one polygon scan converter: which rows and columns a polygon fills, at
// vertices, shared edges and with many crossings.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/raster/scan.h"
#include "platform/raster/surface.h"
#include "tests/platform/raster/grid.h"

using namespace platform::raster;
using rastertest::Grid;
using rastertest::Rows;

namespace {

std::string FillGrid(std::vector<Point> pts, int w, int h) {
    Surface s(w, h);
    s.SetPen({0x000000, 1, PenStyle::Solid});
    s.FillPolygon(pts);
    return Grid(s, 0, 0, w, h);
}

}  // namespace

TEST(Scan, RectangleFillsItsAreaOnce) {
    const std::vector<Point> rect = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
    std::vector<Span> expected;
    for (int y = 11; y <= 20; ++y) expected.push_back({y, 10, 20});
    EXPECT_EQ(PolygonSpans(rect), expected);
}

TEST(Scan, DiamondFillsItsMiddleRowAndIsSymmetric) {
    const std::vector<Point> diamond = {{20, 10}, {30, 20}, {20, 30}, {10, 20}};
    const std::vector<Span> spans = PolygonSpans(diamond);
    std::map<int, Span> byRow;
    for (const Span& s : spans) {
        EXPECT_FALSE(byRow.count(s.y)) << "two spans in row " << s.y;
        byRow[s.y] = s;
    }
    ASSERT_FALSE(byRow.empty());
    EXPECT_EQ(byRow.begin()->first, 11);
    EXPECT_EQ(byRow.rbegin()->first, 29);
    ASSERT_TRUE(byRow.count(20));
    EXPECT_EQ(byRow[20], (Span{20, 10, 30}));
    for (int d = 1; d <= 9; ++d) {
        EXPECT_EQ(byRow[20 - d].x0, byRow[20 + d].x0) << d;
        EXPECT_EQ(byRow[20 - d].x1, byRow[20 + d].x1) << d;
    }
    // The same diamond, small, as a picture.
    EXPECT_EQ(FillGrid({{4, 0}, {8, 4}, {4, 8}, {0, 4}}, 9, 9), Rows(".........",
                                                                     "...##....",
                                                                     "..####...",
                                                                     ".######..",
                                                                     "########.",
                                                                     ".######..",
                                                                     "..####...",
                                                                     "...##....",
                                                                     "........."));
}

TEST(Scan, ANotchSplitsTheRowsBelowItsVertex) {
    // The notch vertex (4,4) opens two spans on the rows below it.
    EXPECT_EQ(FillGrid({{0, 0}, {8, 0}, {8, 8}, {4, 4}, {0, 8}}, 9, 9), Rows(".........",
                                                                            "########.",
                                                                            "########.",
                                                                            "########.",
                                                                            "########.",
                                                                            "###..###.",
                                                                            "##....##.",
                                                                            "#......#.",
                                                                            "........."));
}

TEST(Scan, CountingTheSmallerEndFillsFromTheTopRowAndAVertexOnce) {
    auto spans = [](std::vector<Point> pts) {
        std::vector<Span> out;
        ScanPolygon(pts, [&](const Span& s) { out.push_back(s); }, -1000, 1000, EdgeEnd::Low);
        return out;
    };
    std::vector<Span> rect;
    for (int y = 10; y <= 19; ++y) rect.push_back({y, 10, 20});
    EXPECT_EQ(spans({{10, 10}, {20, 10}, {20, 20}, {10, 20}}), rect);
    // A vertex on one side only, (0, 4): its row takes one crossing there.
    const auto side = spans({{10, 1}, {10, 8}, {2, 8}, {0, 4}, {2, 1}});
    ASSERT_EQ(side.size(), 7u);
    EXPECT_EQ(side.front(), (Span{1, 2, 10}));
    EXPECT_EQ(side[3], (Span{4, 0, 10}));
    EXPECT_EQ(side.back(), (Span{7, 1, 10}));
    // The clip keeps its meaning.
    std::vector<int> rows;
    ScanPolygon(std::vector<Point>{{0, 0}, {5, 0}, {5, 9}, {0, 9}}, [&](const Span& s) { rows.push_back(s.y); }, 3, 6,
                EdgeEnd::Low);
    EXPECT_EQ(rows, (std::vector<int>{3, 4, 5}));
}

TEST(Scan, ClosesThePolygonAndIgnoresARepeatedFirstPoint) {
    const std::vector<Point> open = {{0, 0}, {12, 0}, {0, 12}};
    const std::vector<Point> closed = {{0, 0}, {12, 0}, {0, 12}, {0, 0}};
    EXPECT_FALSE(PolygonSpans(open).empty());
    EXPECT_EQ(PolygonSpans(open), PolygonSpans(closed));
}

TEST(Scan, TwoHalvesOfASquareCoverEachPixelOnce) {
    Surface s(20, 20, 0x000000);
    s.SetRop2(Rop2::XorPen);
    s.SetPen({0x010101, 1, PenStyle::Solid});
    s.FillPolygon(std::vector<Point>{{2, 2}, {17, 2}, {17, 17}});
    s.FillPolygon(std::vector<Point>{{2, 2}, {17, 17}, {2, 17}});
    Surface whole(20, 20, 0x000000);
    whole.SetPen({0x010101, 1, PenStyle::Solid});
    whole.FillPolygon(std::vector<Point>{{2, 2}, {17, 2}, {17, 17}, {2, 17}});
    EXPECT_EQ(s.pixels(), whole.pixels()) << "a pixel was filled twice or missed";
}

TEST(Scan, HasNoCapOnCrossingsOrPoints) {
    // A comb of 40 teeth: 80 crossings on the rows through the teeth.
    std::vector<Point> comb;
    for (int i = 0; i < 40; ++i) {
        comb.push_back({i * 4, 20});
        comb.push_back({i * 4 + 2, 0});
        comb.push_back({i * 4 + 2, 20});
    }
    comb.push_back({160, 20});
    comb.push_back({160, 30});
    comb.push_back({0, 30});
    int spansOnRow10 = 0;
    ScanPolygon(comb, [&](const Span& s) { spansOnRow10 += s.y == 10; });
    EXPECT_EQ(spansOnRow10, 40);
}

TEST(Scan, SkipsRowsOutsideTheClipAndDegeneratePolygons) {
    const std::vector<Point> rect = {{0, -1000}, {5, -1000}, {5, 1000}, {0, 1000}};
    std::vector<int> rows;
    ScanPolygon(rect, [&](const Span& s) { rows.push_back(s.y); }, 3, 6);
    EXPECT_EQ(rows, (std::vector<int>{3, 4, 5}));
    EXPECT_TRUE(PolygonSpans(std::vector<Point>{{0, 0}, {9, 9}}).empty());
    EXPECT_TRUE(PolygonSpans(std::vector<Point>{{0, 0}, {9, 0}, {20, 0}}).empty());
}
