// The photo-edit engine's pixel store and selections: the magic wand (also
// against a direct transcription of its repeated whole-image passes), the
// keep and cut polygons, the eraser, and loading and capturing photos.
#include <gtest/gtest.h>

#include <random>

#include "tests/image_editor/engine_fixtures.h"

using namespace enginetest;
using image_editor::Point;
using image_editor::Surface;
namespace mode = image_editor::mode;

namespace {

const std::map<char, ColorRef> kPalette = {
    {'r', 0x0000C8}, {'s', 0x0004CC},  // red and a red within 8 of it
    {'t', 0x0000D4},                   // red 12 away: outside the bounds
    {'g', 0x00C800}, {'b', 0xC80000}, {'w', 0xFFFFFF},
    {'k', 0x000000}, {'l', 0x080808}, {'m', 0x090909},  // black, 8 away (in), 9 away (out)
    {'W', 0xFFFFFF}, {'v', 0xF7F7F7}, {'u', 0xF6F6F6},  // white, 8 away (in), 9 away (out)
};

// The passes as the editor first did them: every 'a' becomes 'c' and its
// eight neighbours are tested against the seed's bounds, scanning rows top
// to bottom and columns left to right, until a pass marks nothing new.
std::vector<char> WandByPasses(std::vector<char> m, const std::vector<ColorRef>& px, int w, int h, int sc, int sr) {
    auto idx = [w](int c, int r) { return static_cast<std::size_t>(r) * w + c; };
    if (m[idx(sc, sr)] != 'A') return m;
    for (char& v : m)
        if (v == 'c') v = 'x';
    m[idx(sc, sr)] = 'a';
    const ColorRef s = px[idx(sc, sr)];
    const int lo[3] = {int(s & 0xFF) - 8, int((s >> 8) & 0xFF) - 8, int((s >> 16) & 0xFF) - 8};
    for (bool marked = true; marked;) {
        marked = false;
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) {
                if (m[idx(c, r)] != 'a') continue;
                m[idx(c, r)] = 'c';
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nc = c + dx, nr = r + dy;
                        if ((!dx && !dy) || nc < 0 || nr < 0 || nc >= w || nr >= h || m[idx(nc, nr)] != 'A') continue;
                        const ColorRef p = px[idx(nc, nr)];
                        const int ch[3] = {int(p & 0xFF), int((p >> 8) & 0xFF), int((p >> 16) & 0xFF)};
                        bool in = true;
                        for (int k = 0; k < 3; ++k) in = in && ch[k] >= lo[k] && ch[k] <= lo[k] + 16;
                        if (in) {
                            m[idx(nc, nr)] = 'a';
                            marked = true;
                        }
                    }
            }
    }
    return m;
}

}  // namespace

TEST(MagicWand, SelectsTheSeedsColourEightConnected) {
    struct Case {
        const char* name;
        std::vector<std::string> photo;
        std::vector<std::string> mask;  // empty: all kept
        int col, row;
        std::string expected;
    };
    const Case cases[] = {
        {"diagonal steps join, other colours stop",
         {"rrgg", "ggrg", "gggs", "rggg"}, {}, 0, 0,
         Rows("ccAA", "AAcA", "AAAc", "AAAA")},
        {"bounds come from the seed, not the neighbour",
         {"rst", "ggg"}, {}, 0, 0, Rows("ccA", "AAA")},
        {"removed and pending pixels are walls",
         {"rrrr", "rrrr"}, {"AxAA", "AxBA"}, 0, 0, Rows("cxAA", "cxBA")},
        {"a seed on a removed pixel does nothing",
         {"rrr"}, {"xAA"}, 0, 0, Rows("xAA")},
        {"a seed outside the photo does nothing",
         {"rr"}, {}, 5, 0, Rows("AA")},
        {"bounds below 0 on a row longer than sixteen",
         {"kllllllllllllllllmll", "WvvvvvvvvvvvvvvvvuvW"}, {}, 0, 0,
         Rows("cccccccccccccccccAAA", "AAAAAAAAAAAAAAAAAAAA")},
        {"bounds above 255 on a row longer than sixteen",
         {"kllllllllllllllllmll", "WvvvvvvvvvvvvvvvvuvW"}, {}, 0, 1,
         Rows("AAAAAAAAAAAAAAAAAAAA", "cccccccccccccccccAAA")},
        {"a run grows left past sixteen pixels",
         {"mmllllllllllllllllllk"}, {}, 20, 0, Rows("AAccccccccccccccccccc")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto e = NewEngine();
        e->SetPhoto(10, 20, MakePicture(c.photo, kPalette));
        if (!c.mask.empty()) SetMask(*e, c.mask);
        e->MagicWandAt(10 + c.col, 20 + c.row);
        EXPECT_EQ(MaskRows(*e), c.expected);
    }
}

TEST(MagicWand, SecondClickRemovesTheFirstSelectionAndMiddleButtonUndoes) {
    auto e = NewEngine();
    e->SetPhoto(0, 0, MakePicture({"rrgg", "rrgg", "bbbb"}, kPalette));
    e->MagicWandAt(0, 0);
    e->MagicWandAt(0, 0);  // a selected pixel: nothing at all happens
    EXPECT_EQ(MaskRows(*e), Rows("ccAA", "ccAA", "AAAA"));
    e->MagicWandAt(3, 0);
    EXPECT_EQ(MaskRows(*e), Rows("xxcc", "xxcc", "AAAA"));
    e->CancelWandSelection();
    EXPECT_EQ(MaskRows(*e), Rows("xxAA", "xxAA", "AAAA"));
    e->MagicWandAtView(0, 14);  // the magnifier's cell (0, 2)
    EXPECT_EQ(MaskRows(*e), Rows("xxAA", "xxAA", "cccc"));
}

TEST(MagicWand, MatchesTheRepeatedPassesOnRandomPhotos) {
    std::mt19937 rng(20110807);
    const ColorRef shades[] = {0x101010, 0x141414, 0x181818, 0x1C1C1C, 0x121A10, 0x602010};
    const char marks[] = {'A', 'A', 'A', 'A', 'A', 'x', 'B', 'c'};
    for (int round = 0; round < 800; ++round) {
        // Small photos, then larger ones of few colours whose regions wind.
        const bool large = round >= 400;
        const int w = 1 + rng() % (large ? 40 : 13), h = 1 + rng() % (large ? 30 : 11);
        Picture pic;
        pic.width = w;
        pic.height = h;
        std::vector<char> mask;
        for (int i = 0; i < w * h; ++i) {
            pic.pixels.push_back(shades[rng() % (large ? 2 : std::size(shades))] ^ (large && rng() % 3 == 0 ? 0x400000 : 0));
            mask.push_back(marks[rng() % std::size(marks)]);
        }
        const int sc = rng() % w, sr = rng() % h;
        auto e = NewEngine();
        e->SetPhoto(3, 4, pic);
        for (int i = 0; i < w * h; ++i) e->SetMaskAt(i % w, i / w, mask[i]);
        e->MagicWandAt(3 + sc, 4 + sr);
        const auto expected = WandByPasses(mask, pic.pixels, w, h, sc, sr);
        std::string got, want;
        for (int i = 0; i < w * h; ++i) {
            got += e->MaskAt(i % w, i / w);
            want += expected[i];
        }
        ASSERT_EQ(got, want) << "round " << round << " size " << w << "x" << h;
    }
}

TEST(Polygon, PointsCloseNearTheFirstAndStopAtTheCap) {
    auto e = NewEngine();
    Point p{10, 10};
    EXPECT_EQ(e->AddPolygonPoint(111, p), -1);  // nothing to remove
    EXPECT_EQ(e->AddPolygonPoint(666, p), 1);
    Point q{12, 12};
    EXPECT_EQ(e->AddPolygonPoint(111, q), -1);  // one point stays
    Point near{14, 14};  // two points only: no closing yet
    EXPECT_EQ(e->AddPolygonPoint(666, near), 2);
    Point far{30, 10};
    EXPECT_EQ(e->AddPolygonPoint(666, far), 3);
    Point edge{15, 10};  // the square is half-open: x + 5 is outside
    EXPECT_EQ(e->AddPolygonPoint(666, edge), 4);
    Point back{0, 0};
    EXPECT_EQ(e->AddPolygonPoint(111, back), 3);
    EXPECT_EQ(back, (Point{30, 10}));
    Point close{5, 14};
    EXPECT_EQ(e->AddPolygonPoint(666, close), 999);
    EXPECT_EQ(e->polygon().back(), (Point{10, 10}));
    Point none{0, 0};
    EXPECT_EQ(e->AddPolygonPoint(-1, none), 0);
    for (int i = 0; i < 300; ++i) {
        Point pt{100 + i * 20, 300};
        e->AddPolygonPoint(666, pt);
    }
    EXPECT_EQ(e->polygon().size(), 260u);
}

TEST(Polygon, KeepAndCutFillTheMaskInsideThePhoto) {
    struct Case {
        const char* name;
        std::vector<Point> pts;
        int value;
        bool commit;
        std::string expected;
    };
    // The photo sits at (0, 0), 14 x 10 pixels.
    const std::string all(14, 'A');
    const Case cases[] = {
        // Rows from the smallest y up to but not including the largest: 1..7.
        {"cut a square", {{2, 1}, {10, 1}, {10, 8}, {2, 8}, {2, 1}}, 'x', false,
         Rows(all, "AAxxxxxxxxAAAA", "AAxxxxxxxxAAAA", "AAxxxxxxxxAAAA", "AAxxxxxxxxAAAA", "AAxxxxxxxxAAAA",
              "AAxxxxxxxxAAAA", "AAxxxxxxxxAAAA", all, all)},
        {"keep a square: the rest is removed", {{2, 1}, {10, 1}, {10, 8}, {2, 8}, {2, 1}}, 'B', true,
         Rows(std::string(14, 'x'), "xxAAAAAAAAxxxx", "xxAAAAAAAAxxxx", "xxAAAAAAAAxxxx", "xxAAAAAAAAxxxx",
              "xxAAAAAAAAxxxx", "xxAAAAAAAAxxxx", "xxAAAAAAAAxxxx", std::string(14, 'x'), std::string(14, 'x'))},
        {"a polygon larger than the photo stays inside it", {{-5, -5}, {40, -5}, {40, 40}, {-5, 40}, {-5, -5}}, 'x',
         false,
         Rows(std::string(14, 'x'), std::string(14, 'x'), std::string(14, 'x'), std::string(14, 'x'),
              std::string(14, 'x'), std::string(14, 'x'), std::string(14, 'x'), std::string(14, 'x'),
              std::string(14, 'x'), std::string(14, 'x'))},
        {"a diamond: a vertex row counts once", {{6, 0}, {12, 5}, {6, 10}, {0, 5}, {6, 0}}, 'x', false,
         Rows(all, "AAAAxxxAAAAAAA", "AAAxxxxxAAAAAA", "AAxxxxxxxxAAAA", "AxxxxxxxxxxAAA", "xxxxxxxxxxxxAA",
              "AxxxxxxxxxxAAA", "AAxxxxxxxxAAAA", "AAAxxxxxAAAAAA", "AAAAxxxAAAAAAA")},
        {"a vertex on one side gives one crossing: its row is filled",
         {{10, 1}, {10, 8}, {2, 8}, {0, 4}, {2, 1}, {10, 1}}, 'x', false,
         Rows(all, "AAxxxxxxxxAAAA", "AxxxxxxxxxAAAA", "xxxxxxxxxxAAAA", "xxxxxxxxxxAAAA", "xxxxxxxxxxAAAA",
              "AxxxxxxxxxAAAA", "AxxxxxxxxxAAAA", all, all)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto e = NewEngine();
        e->SetPhoto(0, 0, Uniform(14, 10, 0x808080));
        for (Point p : c.pts) e->AddPolygonPoint(666, p);
        e->FillPolygonMask(c.value);
        if (c.commit) e->CommitKeepSelection();
        EXPECT_EQ(MaskRows(*e), c.expected);
        EXPECT_TRUE(e->polygon().empty());
    }
}

TEST(Polygon, TheDiamondFillsRowTwenty) {
    auto e = NewEngine();
    e->SetPhoto(0, 0, Uniform(40, 40, 0x808080));
    for (Point p : std::vector<Point>{{20, 10}, {30, 20}, {20, 30}, {10, 20}, {20, 10}}) e->AddPolygonPoint(666, p);
    e->FillPolygonMask('x');
    std::string row20;
    for (int c = 8; c < 32; ++c) row20 += e->MaskAt(c, 20);
    EXPECT_EQ(row20, "AAxxxxxxxxxxxxxxxxxxxxAA");
}

TEST(Polygon, DrawsItsFirstPointBoxAndAnXorOutline) {
    auto e = NewEngine();
    Surface s(40, 30, 0x000000);
    for (Point p : std::vector<Point>{{10, 10}, {30, 10}}) e->AddPolygonPoint(666, p);
    const auto box = e->DrawPolygon(s);
    EXPECT_EQ(box, (image_editor::Rect{5, 5, 15, 15}));
    EXPECT_EQ(s.GetPixel(5, 5), 0x00FFFFu);
    EXPECT_EQ(s.GetPixel(14, 14), 0xFFFF00u);
    EXPECT_EQ(s.GetPixel(20, 10), 0xF4E9E9u);  // xor on black
    EXPECT_EQ(s.rop2(), platform::raster::Rop2::CopyPen);
}

TEST(Eraser, StampsItsCoreOnThePointerAndItsRingOneRowBelow) {
    auto e = NewEngine();
    Surface s(60, 60, 0xFFFFFF);
    e->SetPhoto(20, 20, Uniform(9, 9, 0x101010));
    e->StampEraser(s, 24, 24, 0);
    // The 3 x 3 core round the pointer (4, 4), and the ring of radius 3 at
    // (4 + trunc(3 cos a), 4 + trunc(3 sin a) + 1): one row lower. At 90, 180
    // and 270 degrees the double sine and cosine fall just short of 3 and
    // truncate to 2.
    EXPECT_EQ(MaskRows(*e), Rows("AAAAAAAAA",
                                 "AAAAAAAAA",
                                 "AAAAAAAAA",
                                 "AAAxxxAAA",
                                 "AAxxxxxAA",
                                 "AAxxxxAxA",
                                 "AAxAAAxAA",
                                 "AAAxxxAAA",
                                 "AAAAAAAAA"));
    EXPECT_EQ(s.GetPixel(24, 24), e->backgroundColour());
    e->StampEraser(s, 24, 24, 9);  // Alt restores
    EXPECT_EQ(MaskRows(*e).find('x'), std::string::npos);
    EXPECT_EQ(s.GetPixel(24, 24), 0x101010u);
}

TEST(Eraser, RingsAtTheEdgesStayInsideThePhoto) {
    auto e = NewEngine();
    Surface s(30, 30, 0xFFFFFF);
    e->SetPhoto(5, 5, Uniform(4, 3, 0x101010));
    e->SetRadius(9);
    e->EraseLine(s, 0, 0, 12, 9, 0);
    EXPECT_EQ(MaskRows(*e), Rows("xxxx", "xxxx", "xxxx"));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool inPhoto = x >= 5 && x < 9 && y >= 5 && y < 8;
            if (!inPhoto) {
                ASSERT_EQ(s.GetPixel(x, y), 0xFFFFFFu) << x << "," << y;
            }
        }
}

TEST(Eraser, LinesStepAlongTheLongerAxisWithBothEnds) {
    struct Case {
        int x1, y1, x2, y2;
        std::vector<Point> steps;
    };
    const Case cases[] = {
        {3, 3, 3, 3, {{3, 3}}},
        {0, 0, 4, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        {0, 0, -2, 5, {{0, 0}, {0, 1}, {0, 2}, {-1, 3}, {-1, 4}, {-2, 5}}},
        {5, 1, 2, 1, {{5, 1}, {4, 1}, {3, 1}, {2, 1}}},
    };
    for (const auto& c : cases) {
        std::vector<Point> got;
        image_editor::StepSegment(c.x1, c.y1, c.x2, c.y2, [&](int x, int y) { got.push_back({x, y}); });
        EXPECT_EQ(got, c.steps);
    }
}

TEST(PhotoLoad, CentresCapsAndRefusesWhatCannotBeDecoded) {
    FakePictures pics;
    pics.files["wide.png"] = Uniform(700, 500, 0x203040);
    pics.files["small.png"] = MakePicture({"rg", "bw"}, kPalette);
    pics.files["offset.png"] = Uniform(10, 10, 0x111111);
    auto e = NewEngine(&pics);

    Surface big(800, 600, 0);
    ASSERT_TRUE(e->LoadPhoto("wide.png", big));
    EXPECT_EQ(e->x0(), 50);
    EXPECT_EQ(e->photoWidth(), 640);
    EXPECT_EQ(e->photoHeight(), 480);
    EXPECT_EQ(e->GetPhotoArea(), (image_editor::Rect{50, 50, 690, 530}));

    Surface narrow(600, 400, 0);
    ASSERT_TRUE(e->LoadPhoto("wide.png", narrow));  // wider than the canvas: one pixel in
    EXPECT_EQ(e->x0(), 1);
    EXPECT_EQ(e->y0(), 1);
    // Captured from the surface; beyond it the background colour.
    EXPECT_EQ(e->ColourAt(0, 0), 0x203040u);
    EXPECT_EQ(e->ColourAt(639, 0), e->backgroundColour());

    Surface exact(652, 10, 0);  // a centring offset of 321 becomes 1
    ASSERT_TRUE(e->LoadPhoto("offset.png", exact));
    EXPECT_EQ(e->x0(), 1);

    Surface s(12, 12, 0);
    ASSERT_TRUE(e->LoadPhoto("small.png", s));
    EXPECT_EQ(e->x0(), 5);
    EXPECT_EQ(e->ColourAt(1, 1), 0xFFFFFFu);
    e->SetMaskAt(0, 0, 'x');
    const auto area = e->GetPhotoArea();
    EXPECT_FALSE(e->LoadPhoto("broken.jpg", s));
    EXPECT_EQ(e->GetPhotoArea(), area);
    EXPECT_EQ(e->photoPath(), "small.png");
    EXPECT_EQ(e->MaskAt(0, 0), 'x');
}

TEST(PhotoLoad, TheFittedPhotoIsDrawnAtTheValidAreasCorner) {
    FakePictures pics;
    pics.files["p.png"] = Uniform(40, 20, 0x00FF00);
    auto e = NewEngine(&pics);
    Surface s(200, 200, 0xFFFFFF);
    // Loaded at its natural size first, centred: (80, 90)-(120, 110), which
    // reaches into the valid area below. The fitted picture is drawn over
    // that very drawing, as the canvas loads a photo.
    ASSERT_TRUE(e->LoadPhoto("p.png", s));
    e->SetPhotoArea(120, 100, 100, 80);  // normalised: (100, 80)-(120, 100)
    ASSERT_TRUE(e->LoadPhotoFitted(s));
    EXPECT_EQ(e->x0(), 100);
    EXPECT_EQ(e->y0(), 80);
    EXPECT_EQ(e->photoWidth(), 20);
    EXPECT_EQ(MaskRows(*e).find_first_not_of("A\n"), std::string::npos);
    // Scaled by 2: 20 x 10; below it the background colour, not the natural
    // drawing's lower rows.
    for (int row = 0; row < 20; ++row)
        EXPECT_EQ(e->ColourAt(0, row), row < 10 ? 0x00FF00u : e->backgroundColour()) << "row " << row;
    EXPECT_EQ(s.GetPixel(0, 0), 0xFFFFFFu);     // nothing drawn at the canvas corner
    EXPECT_EQ(s.GetPixel(85, 95), 0x00FF00u);  // nor over the natural drawing outside the area
    e->SetPhotoArea(0, 0, 10, 50);
    EXPECT_FALSE(e->LoadPhotoFitted(s));  // an area of 10 pixels is too narrow
}

TEST(PhotoLoad, RotationTurnsAboutThePicturesOwnCentre) {
    FakePictures pics;
    pics.files["sq.png"] = Uniform(20, 20, 0x0000FF);
    auto e = NewEngine(&pics);
    Surface s(80, 80, 0xFFFFFF);
    ASSERT_TRUE(e->LoadPhoto("sq.png", s));
    s.Fill(0xFFFFFF);
    ASSERT_EQ(e->CheckPictureFile(0), 1);
    e->SetDrawRect();
    e->MoveDrawRect(-20, -20);  // the box (10, 10)-(30, 30)
    e->StepRotation(100, 90);
    e->RedrawPhoto(0, s);
    int inside = 0, outside = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x) {
            const bool in = x >= 10 && x < 30 && y >= 10 && y < 30;
            (in ? inside : outside) += s.GetPixel(x, y) == 0x0000FFu;
        }
    EXPECT_EQ(inside, 400);
    EXPECT_EQ(outside, 0);
}

TEST(PhotoLoad, AMissingPictureIsReportedAndScalingHasAFloor) {
    auto e = NewEngine();
    std::vector<std::string> shown;
    e->SetMessageSink([&](const platform::MessageRequest& m) {
        shown.push_back(m.text);
        return platform::MbResult::Ok;
    });
    EXPECT_EQ(e->CheckPictureFile(111), 0);
    EXPECT_EQ(shown, std::vector<std::string>{"请注意,当前图片不存在"});
    EXPECT_EQ(e->StepRotation(100, 359), 359);
    EXPECT_EQ(e->StepRotation(101, 0), 0);
    EXPECT_EQ(e->StepRotation(102, 0), -1);
    e->StepRotation(100, -359);
    EXPECT_EQ(e->StepRotation(102, 0), 0);
}

TEST(Magnifier, StepsStopAtTheEdgesAndCellsStayInsideThePhoto) {
    auto e = NewEngine();
    Surface s(300, 300, 0xFFFFFF);
    e->SetPhoto(0, 0, Uniform(30, 30, 0x404040));
    e->SetMagnifierSize(12, 12);
    EXPECT_EQ(e->StepMagnifier(101), 0);
    EXPECT_EQ(e->StepMagnifier(102), 1);
    EXPECT_EQ(e->magnifierCol(), 4);
    e->SetMagnifierOrigin(25, 0);
    EXPECT_EQ(e->StepMagnifier(102), 0);  // 25 + 12 >= 30
    e->SetMagnifierRect({100, 100, 170, 170});
    e->SampleMakeupColor(s, 0, 0);
    e->PaintAtView(s, 2, 0);   // column 27: inside
    e->PaintAtView(s, 8, 0);   // column 33: beyond the photo, ignored
    e->EraseAtView(s, 9, 9, 0);
    EXPECT_EQ(e->ColourAt(27, 0), 0xFFFFFFu);
    EXPECT_EQ(s.GetPixel(100 + 2 * 7 + 3, 103), 0xFFFFFFu);
    EXPECT_EQ(e->MaskAt(25 + 0, 0), 'A');
    e->EraseLineView(s, 0, 0, 3, 0, 0);  // columns 25..28 of row 0
    EXPECT_EQ(e->MaskAt(28, 0), 'x');
    EXPECT_EQ(e->MaskAt(29, 0), 'A');
    e->SetGrabArea(1, 90, 80, 20, 10);
    EXPECT_EQ(e->TakeGrabArea(), (image_editor::Rect{20, 10, 90, 80}));
    EXPECT_EQ(e->TakeGrabArea(), (image_editor::Rect{}));  // taken once
    e->DrawMagnifier(s, {100, 100, 170, 170});
    EXPECT_EQ(s.GetPixel(100, 100), 0x808080u);  // grid line
    EXPECT_EQ(s.GetPixel(101 + 4 * 7, 101), 0x404040u);  // column 29, kept
}

TEST(PhotoDisplay, RemovedPixelsShowTheBackground) {
    FakePictures pics;
    pics.files["bg.png"] = MakePicture({"gggg", "gggg", "gggg"}, kPalette);
    auto e = NewEngine(&pics);
    e->SetPhoto(1, 1, MakePicture({"rrr", "rrr"}, kPalette));
    SetMask(*e, {"AxB", "caA"});
    struct Case {
        const char* name;
        int canvasMode;
        bool backgroundShown;
        std::string expected;  // the photo area: r photo, k background colour, . untouched (white)
    };
    const Case cases[] = {
        {"kept pixels in their colour, the rest in the background colour", mode::kEraser, false,
         Rows("rkk", "kkr")},
        {"with a background picture shown only kept pixels are drawn", mode::kEraser, true, Rows("r..", "..r")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Surface s(5, 4, 0xFFFFFF);
        e->SetBackgroundShown(c.backgroundShown);
        e->SetCanvasMode(c.canvasMode);
        e->DrawMaskedPhoto(s);
        std::string got;
        for (int y = 1; y < 3; ++y) {
            for (int x = 1; x < 4; ++x) {
                const auto p = s.GetPixel(x, y);
                got += p == kPalette.at('r') ? 'r' : p == e->backgroundColour() ? 'k' : p == 0xFFFFFF ? '.' : '?';
            }
            got += '\n';
        }
        EXPECT_EQ(got, c.expected);
    }
    // A loaded background picture is what the eraser uncovers.
    Surface s(5, 4, 0xFFFFFF);
    e->SetBackgroundPath("bg.png");
    e->SetBackgroundShown(true);
    ASSERT_TRUE(e->LoadBackground(s));
    s.Fill(0xFFFFFF);
    e->EraseAt(s, 0, 0, 0);
    EXPECT_EQ(s.GetPixel(1, 1), kPalette.at('g'));
    EXPECT_EQ(e->BackgroundPixelAt(0, 0), kPalette.at('g'));
    e->SetBackgroundPath("missing.png");
    EXPECT_FALSE(e->LoadBackground(s));
    EXPECT_FALSE(e->backgroundLoaded());
    EXPECT_EQ(e->BackgroundPixelAt(0, 0), e->backgroundColour());
}

TEST(PhotoDisplay, DragScaleAndCaptureOfTheDrawingRectangle) {
    FakePictures pics;
    pics.files["p.png"] = Uniform(200, 100, 0x0000FF);
    auto e = NewEngine(&pics);
    Surface s(300, 200, 0xFFFFFF);
    ASSERT_TRUE(e->LoadPhoto("p.png", s));
    e->SetDrawRect();
    EXPECT_EQ(e->drawRect(), (image_editor::Rect{50, 50, 250, 150}));
    EXPECT_EQ(e->ScaleDrawRect(0.5), 0);  // 100 wide: refused
    EXPECT_EQ(e->drawRect().Width(), 200);
    EXPECT_EQ(e->ScaleDrawRect(0.975), 1);
    EXPECT_EQ(e->drawRect(), (image_editor::Rect{50, 50, 245, 147}));
    s.Fill(0xFFFFFF);
    e->MoveDrawRect(-50, -50);
    e->StepRotation(100, 5);
    e->RedrawPhoto(99, s);  // drawn and captured over the valid area
    EXPECT_EQ(e->rotation(), 0);
    EXPECT_EQ(e->x0(), 50);
    EXPECT_EQ(e->ColourAt(0, 0), 0x0000FFu);
    EXPECT_EQ(e->ColourAt(199, 99), 0xFFFFFFu);  // the smaller picture no longer reaches here

    // The background picture's redraw target captures into the background store.
    pics.files["bg.png"] = Uniform(30, 20, 0x00FF00);
    e->SetBackgroundPath("bg.png");
    ASSERT_EQ(e->CheckPictureFile(111), 1);
    EXPECT_EQ(e->redrawTarget(), 111);
    e->SetDrawRect();
    s.Fill(0xFFFFFF);
    e->MoveDrawRect(-49, -49);  // at (1, 1), where the background store reads from
    e->RedrawPhoto(99, s);
    EXPECT_TRUE(e->backgroundLoaded());
    EXPECT_EQ(e->redrawTarget(), 0);
    e->SetBackgroundShown(true);
    EXPECT_EQ(e->BackgroundPixelAt(0, 0), 0x00FF00u);  // read back from the surface at (1, 1)
}
