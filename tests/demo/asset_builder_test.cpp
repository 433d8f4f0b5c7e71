// The asset builder run as the build runs it, on small drawings.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/demo/picture_probe.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using demotest::LoadPicture;
using demotest::PaintedArea;
using demotest::RunAssetBuilder;

namespace {

std::string Data(const char* name) { return std::string("'") + TEST_DATA_DIR + "/" + name + "'"; }
std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

}  // namespace

TEST(AssetBuilder, SizeDrawsTheWholeFrameCentred) {
    testsupport::TempDir dir;
    // 400 x 200 units into 200 x 200 pixels: half scale, 50 px bands above and below.
    const fs::path out = dir / "whole.png";
    ASSERT_EQ(RunAssetBuilder("--size 200x200 " + Data("two_squares.svg") + " " + Quote(out)), 0);
    const wxImage img = LoadPicture(out);
    ASSERT_TRUE(img.IsOk());
    EXPECT_EQ(img.GetSize(), wxSize(200, 200));
    ASSERT_TRUE(img.HasAlpha());
    EXPECT_EQ(img.GetAlpha(60, 85), 255);  // inside the red square (units 100..140, 50..90)
    EXPECT_EQ(img.GetRed(60, 85), 255);
    EXPECT_EQ(img.GetAlpha(5, 5), 0);
    EXPECT_EQ(PaintedArea(img), wxRect(wxPoint(50, 75), wxPoint(169, 124)));
}

TEST(AssetBuilder, FitCropsToThePaintAndKeepsHalfCoverage) {
    testsupport::TempDir dir;
    // Painted: units 100..340 x 50..150, 240 x 100; fitted into 124 x 124 with
    // 2 px margins: 120 px for 240 units, so 124 x about 54.
    const fs::path out = dir / "fit.png";
    ASSERT_EQ(RunAssetBuilder("--fit 124x124 " + Data("two_squares.svg") + " " + Quote(out)), 0);
    const wxImage img = LoadPicture(out);
    ASSERT_TRUE(img.IsOk());
    EXPECT_EQ(img.GetWidth(), 124);
    EXPECT_NEAR(img.GetHeight(), 55, 2);
    const wxRect painted = PaintedArea(img);
    EXPECT_NEAR(painted.GetLeft(), 2, 1);
    EXPECT_NEAR(painted.GetRight(), 121, 1);
    EXPECT_NEAR(painted.GetTop(), 2, 1);
    EXPECT_NEAR(painted.GetBottom(), img.GetHeight() - 3, 1);
    // The 60% blue square keeps its coverage and its full colour.
    const wxPoint blue(painted.GetRight() - 8, painted.GetBottom() - 8);
    EXPECT_NEAR(img.GetAlpha(blue.x, blue.y), 153, 2);
    EXPECT_EQ(img.GetBlue(blue.x, blue.y), 255);
}

TEST(AssetBuilder, MaskAndMatteGiveOpaquePictures) {
    testsupport::TempDir dir;
    const fs::path masked = dir / "masked.png", jpeg = dir / "matte.jpg", bmp = dir / "plain.bmp";
    ASSERT_EQ(RunAssetBuilder("--size 400x200 --mask 0,128,128 " + Data("two_squares.svg") + " " + Quote(masked)), 0);
    ASSERT_EQ(RunAssetBuilder("--size 400x200 --matte 0,0,0 --quality 95 " + Data("two_squares.svg") + " " + Quote(jpeg)), 0);
    ASSERT_EQ(RunAssetBuilder("--size 400x200 " + Data("two_squares.svg") + " " + Quote(bmp)), 0);

    const wxImage m = LoadPicture(masked);
    ASSERT_TRUE(m.IsOk());
    EXPECT_FALSE(m.HasAlpha());
    EXPECT_EQ(m.GetRed(5, 5), 0);  // empty: exactly the mask colour
    EXPECT_EQ(m.GetGreen(5, 5), 128);
    EXPECT_EQ(m.GetBlue(5, 5), 128);
    EXPECT_EQ(m.GetRed(120, 70), 255);  // painted: its own colour
    EXPECT_EQ(m.GetBlue(320, 130), 255);  // more than half covered counts as painted

    const wxImage j = LoadPicture(jpeg);
    ASSERT_TRUE(j.IsOk());
    EXPECT_LT(j.GetRed(5, 5) + j.GetGreen(5, 5) + j.GetBlue(5, 5), 30);  // the black matte
    EXPECT_NEAR(j.GetBlue(320, 130), 153, 12);  // 60% blue on black

    const wxImage b = LoadPicture(bmp);
    ASSERT_TRUE(b.IsOk());
    EXPECT_EQ(b.GetRed(5, 5), 255);  // laid on white
    EXPECT_EQ(b.GetBlue(5, 5), 255);
}

TEST(AssetBuilder, TrimCropsOnTheWholeDrawingsGridAndTellsWhere) {
    testsupport::TempDir dir;
    // Half a pixel per unit: the red square (units 100..140 x 50..90) lies on
    // pixels 50..69 x 25..44 of the whole drawing, the blue one on 150..169 x
    // 55..74. The crop keeps the 2 px margin plus one pixel of slack where an
    // edge falls exactly between two pixels: it starts at (47, 22).
    const fs::path out = dir / "trim.png", origin = dir / "trim.origin";
    ASSERT_EQ(RunAssetBuilder("--trim 0.5 --origin " + Quote(origin) + " " + Data("two_squares.svg") + " " + Quote(out)),
              0);
    std::ifstream in(origin);
    int left = -1, top = -1;
    ASSERT_TRUE(in >> left >> top);
    EXPECT_EQ(left, 47);
    EXPECT_EQ(top, 22);
    const wxImage img = LoadPicture(out);
    ASSERT_TRUE(img.IsOk());
    EXPECT_EQ(img.GetSize(), wxSize(173 - 47, 78 - 22));
    // Pixel (x, y) of the crop is pixel (x + left, y + top) of the whole: the
    // squares' edges fall on the same pixels, fully covered.
    EXPECT_EQ(PaintedArea(img), wxRect(wxPoint(50 - left, 25 - top), wxPoint(169 - left, 74 - top)));
    EXPECT_EQ(img.GetAlpha(50 - left, 25 - top), 255);
    EXPECT_EQ(img.GetAlpha(49 - left, 25 - top), 0);
}

TEST(AssetBuilder, ViewFramesAChosenRegion) {
    testsupport::TempDir dir;
    // Units 90..150 x 40..100 around the red square, one pixel per unit.
    const fs::path out = dir / "view.png";
    ASSERT_EQ(RunAssetBuilder("--view 90,40,60,60 --size 60x60 " + Data("two_squares.svg") + " " + Quote(out)), 0);
    const wxImage img = LoadPicture(out);
    ASSERT_TRUE(img.IsOk());
    EXPECT_EQ(PaintedArea(img), wxRect(wxPoint(10, 10), wxPoint(49, 49)));
}

TEST(AssetBuilder, TextIsDrawnFromTheGlyphFile) {
    testsupport::TempDir dir;
    // text.svg writes one character whose outline in glyphs.txt is a box.
    const fs::path out = dir / "text.png";
    ASSERT_EQ(RunAssetBuilder("--glyphs " + Data("glyphs.txt") + " --size 100x100 " + Data("text.svg") + " " +
                              Quote(out)),
              0);
    const wxImage img = LoadPicture(out);
    ASSERT_TRUE(img.IsOk());
    EXPECT_EQ(PaintedArea(img), wxRect(wxPoint(20, 30), wxPoint(59, 79)));
    EXPECT_EQ(img.GetGreen(40, 50), 128);
}

TEST(AssetBuilder, BadRequestsFailAndLeaveNoPicture) {
    testsupport::TempDir dir;
    const fs::path out = dir / "out.png";
    struct Case {
        std::string args;
        int code;
    };
    const Case cases[] = {
        {"", 2},
        {Data("two_squares.svg") + " " + Quote(out), 2},  // no size
        {"--size 10 " + Data("two_squares.svg") + " " + Quote(out), 2},
        {"--size 0x10 " + Data("two_squares.svg") + " " + Quote(out), 2},
        {"--size 10x10 --fit 10x10 " + Data("two_squares.svg") + " " + Quote(out), 2},
        {"--size 10x10 --mask 1,2 " + Data("two_squares.svg") + " " + Quote(out), 2},
        {"--size 10x10 --matte 1,2,300 " + Data("two_squares.svg") + " " + Quote(out), 2},
        {"--size 10x10 --bogus " + Data("two_squares.svg") + " " + Quote(out), 2},
        {"--size 10x10 " + Data("two_squares.svg") + " " + Quote(dir / "out.gif"), 1},
        {"--size 10x10 " + Data("missing.svg") + " " + Quote(out), 1},
        {"--size 10x10 " + Data("no_viewbox.svg") + " " + Quote(out), 1},
        {"--fit 10x10 " + Data("empty.svg") + " " + Quote(out), 1},
        {"--trim 0 " + Data("two_squares.svg") + " " + Quote(out), 2},
        {"--trim 1 --size 10x10 " + Data("two_squares.svg") + " " + Quote(out), 2},
        {"--size 10x10 --origin " + Quote(dir / "o.txt") + " " + Data("two_squares.svg") + " " + Quote(out), 2},
        {"--size 10x10 --view 0,0,10 " + Data("two_squares.svg") + " " + Quote(out), 2},
        {"--size 10x10 --view 0,0,0,10 " + Data("two_squares.svg") + " " + Quote(out), 2},
        {"--size 10x10 " + Data("text.svg") + " " + Quote(out), 1},  // text without --glyphs
        {"--size 10x10 --glyphs " + Data("missing.txt") + " " + Data("text.svg") + " " + Quote(out), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        EXPECT_EQ(RunAssetBuilder(c.args), c.code);
    }
    EXPECT_TRUE(fs::is_empty(dir.path()));
}
