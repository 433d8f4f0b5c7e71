// What the build put into the resource folder and the demo base directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tests/demo/picture_probe.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using demotest::LoadPicture;
using demotest::MeanBrightness;
using demotest::PaintedArea;

namespace {

const fs::path kBase = DEMO_BASE_DIR;
const fs::path kResources = RESOURCE_DIR;

struct Product {
    std::string picture, drawing;
    int boxWidth = 0, boxHeight = 0;
};

std::vector<Product> ReadProductList() {
    std::ifstream in(fs::path(DEMO_SOURCE_DIR) / "products.txt");
    std::vector<Product> list;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Product p;
        std::string box;
        char x = 0;
        fields >> p.picture >> p.drawing >> box;
        std::istringstream(box) >> p.boxWidth >> x >> p.boxHeight;
        list.push_back(p);
    }
    return list;
}

double Luminance(double r, double g, double b) {
    auto lin = [](double c) {
        c /= 255;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b);
}

double Contrast(double l1, double l2) { return (std::max(l1, l2) + 0.05) / (std::min(l1, l2) + 0.05); }

}  // namespace

TEST(DemoBase, HasEveryFixedFolder) {
    const char* folders[] = {
        "KZV网页项目文件", "KZV网页项目模板", "KZV输出的网页", "KZV背景图片", "KZV我制作的搭配图", "KZVSYSPIC",
        "服饰搭配基本项目", "服饰搭配自定试衣项目", "服饰搭配上传数据专区", "服饰搭配下载专区", "服饰搭配拍照图片",
        "服饰搭配sysproj", "服饰搭配最新产品", "服饰搭配背景图", "服饰搭配使用说明", "服饰发布展台图片",
        "人体测量图片及数据", "定单数据表保存区", "图片目录PNG", "试衣搭配模板SYSMDL", "ephoto_syspic",
        "kzvEcamsys背景图片", "tmpBmpData"};
    for (const char* f : folders) EXPECT_TRUE(fs::is_directory(kBase / f)) << f;
}

// The demo base works wherever it is copied: no file names the build folder
// or the source tree, in UTF-8 or GBK, with either separator. The only exceptions
// are the fields where a program keeps the folder it runs in, written when
// someone starts it here ("make run"): the client record's program directory
// and the photo editor's two photo folders.
TEST(DemoBase, HoldsNoPathOfTheMachineThatBuiltIt) {
    ASSERT_TRUE(testsupport::FixtureExists(kBase / "sysSetInfo.sy3"));
    std::vector<std::string> needles;
    for (const fs::path& dir : {testsupport::BuildDir(), testsupport::SourceDir()}) {
        for (const fs::path& form : {dir.lexically_normal(), fs::weakly_canonical(dir)}) {
            std::string slash = form.generic_string();
            while (slash.size() > 1 && slash.back() == '/') slash.pop_back();
            std::string back = slash;
            std::replace(back.begin(), back.end(), '/', '\\');
            for (const std::string& utf8 : {slash, back}) {
                needles.push_back(utf8);
                needles.push_back(platform::Utf8ToGbkLossy(utf8));
            }
        }
    }
    struct RunTimeField {
        const char* file;
        std::size_t at, width;
    };
    const RunTimeField runTime[] = {
        {"FittoraSysinfo.dm3", 371, 256}, {"kzvECameraSysInfo.e3f", 68, 468}, {"kzvECameraSysInfo.e3f", 640, 468}};
    for (const auto& e : fs::recursive_directory_iterator(kBase)) {
        if (!e.is_regular_file()) continue;
        const fs::path rel = e.path().lexically_relative(kBase);
        std::vector<unsigned char> bytes = testsupport::ReadAll(e.path());
        for (const RunTimeField& f : runTime)
            if (rel == f.file && bytes.size() > f.at)
                std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(f.at), std::min(f.width, bytes.size() - f.at), 0);
        const std::string text(bytes.begin(), bytes.end());
        for (const std::string& n : needles) EXPECT_EQ(text.find(n), std::string::npos) << rel << " holds " << n;
    }
}

TEST(DemoBase, ShowcaseBackdropIsABrightFullSizePicture) {
    const wxImage img = LoadPicture(kBase / "服饰搭配sysproj" / "展台右窗背景图片.jpg");
    ASSERT_TRUE(img.IsOk());
    EXPECT_EQ(img.GetSize(), wxSize(1280, 800));
    EXPECT_GT(MeanBrightness(img), 170);
}

TEST(DemoBase, NewestProductsAreTransparentCutOutsOfTheirOwn) {
    const auto list = ReadProductList();
    ASSERT_EQ(list.size(), 12u);
    std::set<std::string> drawings;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Product& p = list[i];
        SCOPED_TRACE(p.picture);
        // The showcase looks for 产品_1.png, 产品_2.png, ... and stops at the first gap.
        EXPECT_EQ(p.picture, "产品_" + std::to_string(i + 1) + ".png");
        EXPECT_TRUE(drawings.insert(p.drawing).second) << "drawing used twice: " << p.drawing;

        const wxImage img = LoadPicture(kBase / "服饰搭配最新产品" / p.picture);
        ASSERT_TRUE(img.IsOk());
        ASSERT_TRUE(img.HasAlpha());
        EXPECT_LE(img.GetWidth(), p.boxWidth);
        EXPECT_LE(img.GetHeight(), p.boxHeight);
        EXPECT_GE(img.GetHeight(), 100);
        // Fitted to the box: one side fills it.
        EXPECT_TRUE(img.GetWidth() == p.boxWidth || img.GetHeight() == p.boxHeight);
        // Cut out: transparent corners, a painted area reaching the margins.
        EXPECT_EQ(img.GetAlpha(0, 0), 0);
        EXPECT_EQ(img.GetAlpha(img.GetWidth() - 1, img.GetHeight() - 1), 0);
        const wxRect painted = PaintedArea(img);
        EXPECT_LE(std::min(painted.GetLeft(), painted.GetTop()), 4);
        EXPECT_GE(std::max(painted.GetRight() - img.GetWidth(), painted.GetBottom() - img.GetHeight()), -5);
    }
}

TEST(BuiltResources, NumberedPicturesHaveTheirSizes) {
    struct Case {
        const char* file;
        wxSize size;
        bool alpha;
    };
    const Case cases[] = {
        {"icon/130.png", {48, 48}, true},      {"cursor/131.png", {32, 32}, true},
        {"bitmap/132.png", {1024, 22}, false}, {"bitmap/133.png", {22, 800}, false},
        {"bitmap/134.png", {128, 16}, false},  {"cursor/152.png", {32, 32}, true},
        {"cursor/142.png", {32, 32}, true},    {"icon/144.png", {16, 16}, true},
        {"icon/145.png", {16, 16}, true},      {"icon/146.png", {16, 16}, true},
        {"icon/147.png", {16, 16}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const wxImage img = LoadPicture(kResources / c.file);
        ASSERT_TRUE(img.IsOk());
        EXPECT_EQ(img.GetSize(), c.size);
        // Backgrounds are opaque; a stray alpha channel would show the frame through.
        if (c.alpha) {
            EXPECT_TRUE(img.HasAlpha());
            EXPECT_EQ(img.GetAlpha(0, 0), 0);
        } else if (img.HasAlpha()) {
            EXPECT_EQ(img.GetAlpha(0, 0), 255);
        }
    }
}

TEST(BuiltResources, CursorHotSpotsLieOnTheDrawing) {
    for (const char* id : {"131", "142", "152"}) {
        SCOPED_TRACE(id);
        std::ifstream in(kResources / "cursor" / (std::string(id) + ".hotspot"));
        int x = -1, y = -1;
        ASSERT_TRUE(in >> x >> y);
        const wxImage img = LoadPicture(kResources / "cursor" / (std::string(id) + ".png"));
        ASSERT_TRUE(img.IsOk());
        ASSERT_TRUE(x >= 0 && y >= 0 && x < img.GetWidth() && y < img.GetHeight());
        EXPECT_GT(img.GetAlpha(x, y), 0);
    }
    // The hand points up: nothing is painted above its fingertip.
    const wxImage hand = LoadPicture(kResources / "cursor" / "131.png");
    EXPECT_LE(PaintedArea(hand).GetTop(), 1);
}

TEST(BuiltResources, LivePageArrowsStandOutFromDeadOnes) {
    // The garment lists draw 146/147 while they can page and 144/145 when
    // not: the live arrow is darker, and up and down point opposite ways.
    auto darkness = [](const wxImage& img) {
        double sum = 0;
        for (int y = 0; y < img.GetHeight(); ++y)
            for (int x = 0; x < img.GetWidth(); ++x)
                sum += img.GetAlpha(x, y) / 255.0 * (255 - (img.GetRed(x, y) + img.GetGreen(x, y) + img.GetBlue(x, y)) / 3.0);
        return sum;
    };
    // Rows painted in the arrow's colour: the up arrow is wide at its bottom.
    auto widthOfRow = [](const wxImage& img, int y) {
        int n = 0;
        for (int x = 0; x < img.GetWidth(); ++x) n += img.GetRed(x, y) < 150 && img.GetAlpha(x, y) > 128;
        return n;
    };
    const wxImage upDead = LoadPicture(kResources / "icon" / "144.png");
    const wxImage downDead = LoadPicture(kResources / "icon" / "145.png");
    const wxImage upLive = LoadPicture(kResources / "icon" / "146.png");
    const wxImage downLive = LoadPicture(kResources / "icon" / "147.png");
    ASSERT_TRUE(upDead.IsOk() && downDead.IsOk() && upLive.IsOk() && downLive.IsOk());
    EXPECT_GT(darkness(upLive), 1.5 * darkness(upDead));
    EXPECT_GT(darkness(downLive), 1.5 * darkness(downDead));
    EXPECT_GT(widthOfRow(upLive, 10), widthOfRow(upLive, 5));
    EXPECT_LT(widthOfRow(downLive, 10), widthOfRow(downLive, 5));
}

TEST(BuiltResources, ImageListCellsHaveMaskAndPicture) {
    const wxImage img = LoadPicture(kResources / "bitmap" / "134.png");
    ASSERT_TRUE(img.IsOk());
    for (int cell = 0; cell < 8; ++cell) {
        SCOPED_TRACE(cell);
        int mask = 0, drawn = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = cell * 16; x < cell * 16 + 16; ++x) {
                const bool isMask = img.GetRed(x, y) == 0 && img.GetGreen(x, y) == 128 && img.GetBlue(x, y) == 128;
                (isMask ? mask : drawn) += 1;
            }
        }
        EXPECT_GT(mask, 16);
        EXPECT_GT(drawn, 30);
    }
}

TEST(BuiltResources, StatusStripTextColoursStandOut) {
    // The strip draws its title in RGB(128,128,0) and the user label in
    // RGB(210,210,210) over rows 3..19 of the stretched background, right of
    // the labelled click areas (the first 390 columns).
    const wxImage img = LoadPicture(kResources / "bitmap" / "132.png");
    ASSERT_TRUE(img.IsOk());
    const wxImage band = img.GetSubImage(wxRect(390, 3, img.GetWidth() - 390, 17));
    double r = 0, g = 0, b = 0;
    const unsigned char* p = band.GetData();
    const int n = band.GetWidth() * band.GetHeight();
    for (int i = 0; i < n; ++i) {
        r += p[3 * i];
        g += p[3 * i + 1];
        b += p[3 * i + 2];
    }
    const double bg = Luminance(r / n, g / n, b / n);
    EXPECT_GE(Contrast(Luminance(128, 128, 0), bg), 3.0);
    EXPECT_GE(Contrast(Luminance(210, 210, 210), bg), 7.0);

    // Each click area carries a label: light strokes on its dark ground.
    for (int area = 0; area < 4; ++area) {
        int light = 0;
        for (int y = 3; y < 20; ++y)
            for (int x = 10 + 93 * area; x < 100 + 93 * area; ++x)
                light += Luminance(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y)) > 0.35;
        EXPECT_GT(light, 40) << area;  // the plain gradient has none
    }
}
