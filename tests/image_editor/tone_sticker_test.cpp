// Tone, make-up and head stickers: channel values at their edges, the
// strokes' once-per-pixel rule, the make-up stamps, and the sticker masks and
// rings as grids.
#include <gtest/gtest.h>

#include "tests/image_editor/engine_fixtures.h"

using namespace enginetest;
using image_editor::Point;
using image_editor::Surface;
namespace mode = image_editor::mode;

namespace {

ColorRef Grey(int v) { return static_cast<ColorRef>(v) * 0x010101u; }
int Red(ColorRef c) { return static_cast<int>(c & 0xFF); }

}  // namespace

TEST(Tone, ChannelValuesAtTheEdges) {
    struct Case {
        const char* what;
        int op;       // 101/102 whole photo, or a brush mode
        int before, after;
    };
    const Case cases[] = {
        {"brighten", 101, 0, 2},   {"brighten", 101, 9, 11},  {"brighten", 101, 10, 11},
        {"brighten", 101, 250, 255}, {"dodge", 102, 9, 8},    {"dodge", 102, 1, 0},
        {"dodge", 102, 0, 0},
        {"brighten brush", mode::kBrightenBrush, 0, 2},   {"brighten brush", mode::kBrightenBrush, 10, 12},
        {"brighten brush", mode::kBrightenBrush, 19, 21}, {"brighten brush", mode::kBrightenBrush, 20, 21},
        {"brighten brush", mode::kBrightenBrush, 60, 63}, {"brighten brush", mode::kBrightenBrush, 250, 255},
        {"dodge brush", mode::kDodgeBrush, 3, 2},         {"dodge brush", mode::kDodgeBrush, 2, 1},
        {"dodge brush", mode::kDodgeBrush, 1, 0},         {"dodge brush", mode::kDodgeBrush, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " " + std::to_string(c.before));
        auto e = NewEngine();
        Surface s(10, 10, 0);
        e->SetPhoto(2, 2, Uniform(3, 3, Grey(c.before)));
        if (c.op == 101 || c.op == 102) {
            EXPECT_EQ(e->AdjustPhoto(c.op), 1);
        } else {
            e->SetCanvasMode(c.op);
            e->BrushBrightenDodge(s, 1, 1);
            EXPECT_EQ(s.GetPixel(3, 3), Grey(c.after));
        }
        EXPECT_EQ(e->ColourAt(1, 1), Grey(c.after));
    }
}

TEST(Tone, ABrushStrokeChangesEachPixelOnce) {
    auto e = NewEngine();
    Surface s(40, 40, 0);
    e->SetPhoto(0, 0, Uniform(20, 20, Grey(100)));
    e->SetCanvasMode(mode::kBrightenBrush);
    e->BrushLine(s, 5, 5, 15, 5, 0);
    e->BrushLine(s, 15, 5, 5, 5, 0);  // back over the same pixels
    EXPECT_EQ(e->ColourAt(10, 5), Grey(105));
    // Radius 3 reaches rows 4..8: the core on rows 4..6, the ring one row
    // lower than centred (5 - 2 + 1 .. 5 + 2 + 1).
    EXPECT_EQ(e->ColourAt(10, 8), Grey(105));
    EXPECT_EQ(e->ColourAt(10, 3), Grey(100));
    EXPECT_EQ(e->ColourAt(10, 9), Grey(100));
    e->FillStrokeMask(' ');                     // the release ends the stroke
    e->BrushLine(s, 10, 5, 10, 5, 0);
    EXPECT_EQ(e->ColourAt(10, 5), Grey(110));
    // The brush ignores the mask and stays inside the photo at its edges.
    e->SetMaskAt(0, 0, 'x');
    e->FillStrokeMask(' ');
    e->StampBrush(s, 0, 0, 0);
    EXPECT_EQ(e->ColourAt(0, 0), Grey(105));
}

TEST(Tone, BackgroundQuantiseStepsAndRadiusSteps) {
    FakePictures pics;
    pics.files["bg.png"] = Uniform(4, 4, Grey(255));
    auto e = NewEngine(&pics);
    Surface s(20, 20, 0);
    EXPECT_EQ(e->AdjustBackground(103), 0);  // no background picture
    e->SetBackgroundPath("bg.png");
    e->SetBackgroundShown(true);
    ASSERT_TRUE(e->LoadBackground(s));
    std::vector<int> steps;
    for (int i = 0; i < 7; ++i) {
        steps.push_back(e->quantiseStep());
        EXPECT_EQ(e->AdjustBackground(103), 1);
    }
    EXPECT_EQ(steps, (std::vector<int>{2, 4, 8, 16, 32, 64, 64}));
    EXPECT_EQ(e->BackgroundPixelAt(0, 0), Grey(192));  // 255 -> 254 -> 252 -> ... -> 192
    EXPECT_EQ(e->BackgroundPixelAt(9, 9), e->backgroundColour());
    ASSERT_TRUE(e->LoadBackground(s));
    EXPECT_EQ(e->quantiseStep(), 2);

    std::vector<int> radii;
    for (int op : {0, 22222, 22222, 22222, 11111, 11111, 11111}) radii.push_back(e->StepRadius(op));
    EXPECT_EQ(radii, (std::vector<int>{3, 6, 9, 9, 6, 3, 3}));
}

TEST(Tone, SpotlightBrightensOnlyKeptPixelsInside) {
    auto e = NewEngine();
    e->SetPhoto(0, 0, Uniform(12, 8, Grey(90)));
    e->SetMaskAt(2, 2, 'x');
    for (Point p : std::vector<Point>{{1, 0}, {10, 0}, {10, 7}, {1, 7}, {1, 0}}) e->AddPolygonPoint(666, p);
    e->FillPolygonMask('L');
    std::string rows;
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 12; ++c) rows += Red(e->ColourAt(c, r)) == 117 ? '#' : '.';
        rows += '\n';
    }
    // Rows 0..6: from the smallest y up to, not including, the largest.
    EXPECT_EQ(rows, Rows(".#########..", ".#########..", ".#.#######..", ".#########..", ".#########..",
                         ".#########..", ".#########..", "............"));
    EXPECT_EQ(MaskRows(*e).find_first_not_of("A\n"), 2u * 13 + 2);  // the mask is left alone
}

TEST(Makeup, StampsNeedASampleAndKeepTheirSpacing) {
    auto e = NewEngine();
    Surface s(60, 60, 0);
    s.FillRect(0, 0, 30, 30, 0x3050F0);
    e->SetPhoto(30, 30, Uniform(20, 20, Grey(10)));
    e->SetCanvasMode(mode::kMakeupBrush);
    e->BrushLine(s, 32, 32, 45, 32, 0);
    EXPECT_EQ(e->ColourAt(2, 2), Grey(10));  // no sample yet: nothing
    e->SampleMakeupArea(s, 12, 12);
    ASSERT_TRUE(e->HasMakeupSample());
    e->BrushLine(s, 32, 32, 45, 32, 0);  // R = 3: single pixels 3 apart
    std::string row;
    for (int c = 0; c < 18; ++c) row += e->ColourAt(c, 2) == 0x3050F0u ? '#' : '.';
    EXPECT_EQ(row, "..#..#..#..#..#...");
    EXPECT_EQ(e->ColourAt(2, 1), Grey(10));
    EXPECT_EQ(e->MaskAt(2, 2), 'A');

    e->SetRadius(9);  // squares of radius 2 (every offset up to 2 has trunc(distance) <= 2)
    e->BrushLine(s, 40, 40, 40, 40, 0);
    std::string disc;
    for (int r = 7; r <= 13; ++r) {
        for (int c = 7; c <= 13; ++c) disc += e->ColourAt(c, r) == 0x3050F0u ? '#' : '.';
        disc += '\n';
    }
    EXPECT_EQ(disc, Rows(".......", ".#####.", ".#####.", ".#####.", ".#####.", ".#####.", "......."));
    // A click stamps with the full radius; at the photo's edge it stays inside.
    e->StampMakeup(s, 0, 0, 99);
    EXPECT_EQ(e->ColourAt(0, 0), 0x3050F0u);
}

TEST(Stickers, EllipseOutlines) {
    auto e = NewEngine();
    e->BuildEllipse(1000, 1000, 1000, 10);
    EXPECT_EQ(e->polygon().size(), 862u);  // stopped at 861, then closed
    EXPECT_EQ(e->polygon().front(), e->polygon().back());
    e->BuildEllipse(5, 5, 0, 0);  // a zero box has no outline
    EXPECT_TRUE(e->polygon().empty());
    e->BuildEllipse(20, 20, 10, 5);
    EXPECT_EQ(e->polygon().front(), (Point{30, 20}));
    EXPECT_GT(e->polygon().size(), 10u);
}

TEST(Stickers, ShapesMasksAndRings) {
    struct Case {
        const char* name;
        char form;
        int x1, y1, x2, y2, value;
        int ring;
    };
    const Case cases[] = {
        {"20 x 10 feathered: too thin for a ring", 'Y', 10, 10, 30, 20, 0, 0},
        {"60 x 24 feathered: a ring of 2", 'Y', 10, 10, 70, 34, 0, 2},
        {"Alt: no ring", 'L', 10, 10, 70, 34, 9, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto e = NewEngine();
        e->SetPhoto(0, 0, Uniform(80, 50, Grey(200)));
        e->SetCanvasMode(mode::kHeadSticker);
        e->SetStickerForm(c.form);
        e->MakeHeadSticker(c.x1, c.y1, c.x2, c.y2, c.value);
        const std::string m = MaskRows(*e);
        const char inside = c.value == 9 ? 'A' : 'B';
        EXPECT_EQ(e->MaskAt((c.x1 + c.x2) / 2, (c.y1 + c.y2) / 2), inside);
        int changed = 0;
        for (int r = 0; r < 50; ++r)
            for (int col = 0; col < 80; ++col) changed += e->ColourAt(col, r) != Grey(200);
        EXPECT_EQ(changed > 0, c.ring > 0);
        EXPECT_TRUE(c.value == 9 || m.find('B') != std::string::npos);
        EXPECT_EQ(e->StickerMade(), true);
    }
}

TEST(Stickers, PlainStickerKeepsOnlyTheEllipseWhenTheModeEnds) {
    auto e = NewEngine();
    e->SetPhoto(0, 0, Uniform(12, 8, Grey(200)));
    e->SetCanvasMode(mode::kHeadSticker);
    e->MakeHeadSticker(2, 1, 10, 7, 0);
    // The outline's points are truncated towards the top left (its lowest
    // point is row 6, just short of 7), and the scan takes the rows from its
    // top up to, not including, that lowest one: the shape leans up.
    EXPECT_EQ(MaskRows(*e), Rows("AAAAAAAAAAAA",
                                 "AAABBBBBAAAA",
                                 "AABBBBBBBAAA",
                                 "AABBBBBBBAAA",
                                 "AABBBBBBBAAA",
                                 "AABBBBBBBAAA",
                                 "AAAAAAAAAAAA",
                                 "AAAAAAAAAAAA"));
    Surface s(12, 8, 0);
    e->DrawMaskedPhoto(s);  // kept pixels dimmed, sticker pixels at full colour
    EXPECT_EQ(s.GetPixel(0, 0), Grey(120));
    EXPECT_EQ(s.GetPixel(5, 4), Grey(200));
    e->SetCanvasMode(mode::kEraser);  // leaving the mode by another tool commits too
    EXPECT_EQ(MaskRows(*e), Rows("xxxxxxxxxxxx",
                                 "xxxAAAAAxxxx",
                                 "xxAAAAAAAxxx",
                                 "xxAAAAAAAxxx",
                                 "xxAAAAAAAxxx",
                                 "xxAAAAAAAxxx",
                                 "xxxxxxxxxxxx",
                                 "xxxxxxxxxxxx"));
    EXPECT_FALSE(e->StickerMade());
    e->SetCanvasMode(0);  // nothing more to commit
    EXPECT_EQ(MaskRows(*e).find('B'), std::string::npos);
}

TEST(Stickers, BrightEdgeRingRunsFromTheInnerToTheOuterEllipse) {
    auto e = NewEngine();
    e->SetPhoto(0, 0, Uniform(140, 100, Grey(0)));
    e->SetCanvasMode(mode::kHeadSticker);
    e->SetStickerForm('*');
    e->SetStickerForm('*');
    ASSERT_EQ(e->GetStickerForm(), 'L');
    e->MakeHeadSticker(10, 20, 130, 80, 0);  // rx 60, ry 30: w = 5
    ASSERT_EQ(e->ringWidth(), 5);
    // Along the row through the centre, rightwards from the inner ellipse.
    std::vector<int> reds;
    for (int x = 70; x < 140; ++x) {
        const int v = Red(e->ColourAt(x, 50));
        if (v != 0 && (reds.empty() || reds.back() != v)) reds.push_back(v);
    }
    // e = 1 at the inner ellipse, growing outwards (255 - 6e).
    EXPECT_EQ(reds, (std::vector<int>{249, 243, 231, 219, 207}));
    int darkest = 255;
    for (int r = 0; r < 100; ++r)
        for (int c = 0; c < 140; ++c)
            if (Red(e->ColourAt(c, r)) != 0) darkest = std::min(darkest, Red(e->ColourAt(c, r)));
    EXPECT_EQ(darkest, 195);  // e = 10 where the ring reaches the outer ellipse
    // The feathered form blends towards the background colour.
    auto f = NewEngine();
    f->SetPhoto(0, 0, Uniform(140, 100, Grey(200)));
    f->SetStickerForm('Y');
    f->MakeHeadSticker(10, 20, 130, 80, 0);
    const int outer = Red(f->ColourAt(134, 50));  // e = 8: mostly background (red 13)
    EXPECT_EQ(outer, 200 * 2 / 10 + 13 * 8 / 10);
    EXPECT_EQ(f->ColourAt(70, 50), Grey(200));                // the inside keeps its colour
}
