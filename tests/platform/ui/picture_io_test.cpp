#include "platform/image/picture_io.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>

#include <wx/colour.h>
#include <wx/mstream.h>

#include "tests/support/temp_dir.h"

namespace {

using platform::image::EncoderByLetter;
using platform::image::EncoderByMime;
using platform::image::EncoderByWord;
using platform::image::LoadPicture;
using platform::image::PictureFormat;
using platform::image::SavePicture;
using testsupport::TempDir;

// One letter a pixel: '.' transparent, the rest opaque colours.
wxImage FromGrid(const std::vector<std::string>& rows, bool with_alpha) {
    static const std::map<char, wxColour> colours{
        {'.', wxColour(0, 0, 0)},       {'W', wxColour(255, 255, 255)},
        {'R', wxColour(200, 30, 40)},   {'G', wxColour(20, 180, 60)},
        {'B', wxColour(10, 20, 230)},   {'Y', wxColour(250, 220, 5)},
    };
    wxImage img(int(rows[0].size()), int(rows.size()));
    if (with_alpha) img.InitAlpha();
    for (int y = 0; y < img.GetHeight(); ++y)
        for (int x = 0; x < img.GetWidth(); ++x) {
            const wxColour& c = colours.at(rows[y][x]);
            img.SetRGB(x, y, c.Red(), c.Green(), c.Blue());
            if (with_alpha) img.SetAlpha(x, y, rows[y][x] == '.' ? 0 : 255);
        }
    return img;
}

// A smooth picture with thousands of colours.
wxImage Gradient(int w, int h) {
    wxImage img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.SetRGB(x, y, (x * 255) / (w - 1), (y * 255) / (h - 1), ((x + y) * 255) / (w + h - 2));
    return img;
}

::testing::AssertionResult SameRgb(const wxImage& a, const wxImage& b) {
    if (!a.IsOk() || !b.IsOk()) return ::testing::AssertionFailure() << "invalid image";
    if (a.GetSize() != b.GetSize()) return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            if (a.GetRed(x, y) != b.GetRed(x, y) || a.GetGreen(x, y) != b.GetGreen(x, y) ||
                a.GetBlue(x, y) != b.GetBlue(x, y))
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " differs";
    return ::testing::AssertionSuccess();
}

double MeanAbsDiff(const wxImage& a, const wxImage& b) {
    const std::size_t n = std::size_t(a.GetWidth()) * a.GetHeight() * 3;
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += std::abs(int(a.GetData()[i]) - int(b.GetData()[i]));
    return sum / double(n);
}

TEST(PictureEncoderTable, LooksUpExactNamesOnly) {
    struct Case {
        const char* by;
        std::string key;
        std::optional<PictureFormat> want;
    };
    const Case cases[] = {
        {"mime", "image/bmp", PictureFormat::Bmp},   {"mime", "image/jpeg", PictureFormat::Jpeg},
        {"mime", "image/gif", PictureFormat::Gif},   {"mime", "image/png", PictureFormat::Png},
        {"mime", "jpg", std::nullopt},               {"mime", "image/jpg", std::nullopt},
        {"mime", "image/JPEG", std::nullopt},        {"mime", "image/png ", std::nullopt},
        {"mime", "", std::nullopt},                  {"mime", "image/tiff", std::nullopt},
        {"word", "BMP", PictureFormat::Bmp},         {"word", "JPG", PictureFormat::Jpeg},
        {"word", "GIF", PictureFormat::Gif},         {"word", "PNG", PictureFormat::Png},
        {"word", "jpg", std::nullopt},               {"word", "Png", std::nullopt},
        {"word", "JPEG", std::nullopt},              {"word", "", std::nullopt},
        {"letter", "B", PictureFormat::Bmp},         {"letter", "J", PictureFormat::Jpeg},
        {"letter", "G", PictureFormat::Gif},         {"letter", "P", PictureFormat::Png},
        {"letter", "j", std::nullopt},               {"letter", "X", std::nullopt},
        {"letter", std::string(1, '\0'), std::nullopt},
    };
    for (const Case& c : cases) {
        const platform::image::PictureEncoder* e =
            std::string(c.by) == "mime"   ? EncoderByMime(c.key)
            : std::string(c.by) == "word" ? EncoderByWord(c.key)
                                          : EncoderByLetter(c.key[0]);
        SCOPED_TRACE(std::string(c.by) + " '" + c.key + "'");
        ASSERT_EQ(e != nullptr, c.want.has_value());
        if (e) {
            EXPECT_EQ(e->format, *c.want);
        }
    }
}

class PictureIoTest : public ::testing::Test {
protected:
    TempDir m_dir;
};

TEST_F(PictureIoTest, PngKeepsColoursAndAlphaExactly) {
    wxImage img = FromGrid({"RRGG..", "RRGGBB", "YYWW.B"}, true);
    img.SetAlpha(2, 0, 1);
    img.SetAlpha(3, 0, 127);
    img.SetAlpha(4, 1, 128);
    img.SetAlpha(5, 1, 254);
    const auto path = m_dir / "试衣 图片.png";
    ASSERT_TRUE(SavePicture(img, path, PictureFormat::Png));
    const wxImage back = LoadPicture(path);
    ASSERT_TRUE(SameRgb(img, back));
    ASSERT_TRUE(back.HasAlpha());
    for (int y = 0; y < img.GetHeight(); ++y)
        for (int x = 0; x < img.GetWidth(); ++x)
            EXPECT_EQ(back.GetAlpha(x, y), img.GetAlpha(x, y)) << x << "," << y;
}

TEST_F(PictureIoTest, BmpKeepsColoursExactly) {
    const wxImage img = Gradient(37, 21);  // odd width: rows are padded in the file
    ASSERT_TRUE(SavePicture(img, m_dir / "a.bmp", PictureFormat::Bmp));
    EXPECT_TRUE(SameRgb(img, LoadPicture(m_dir / "a.bmp")));
}

TEST_F(PictureIoTest, JpegIsCloseAndHonoursQuality) {
    const wxImage img = Gradient(96, 64);
    ASSERT_TRUE(SavePicture(img, m_dir / "high.jpg", PictureFormat::Jpeg, 95));
    ASSERT_TRUE(SavePicture(img, m_dir / "low.jpg", PictureFormat::Jpeg, 5));
    const wxImage high = LoadPicture(m_dir / "high.jpg");
    const wxImage low = LoadPicture(m_dir / "low.jpg");
    ASSERT_TRUE(high.IsOk());
    ASSERT_TRUE(low.IsOk());
    EXPECT_EQ(high.GetSize(), img.GetSize());
    EXPECT_LT(MeanAbsDiff(img, high), 2.0);
    EXPECT_GT(MeanAbsDiff(img, low), MeanAbsDiff(img, high));
    EXPECT_LT(std::filesystem::file_size(m_dir / "low.jpg"),
              std::filesystem::file_size(m_dir / "high.jpg") / 2);
}

TEST_F(PictureIoTest, GifKeepsFewColoursExactlyAndTransparency) {
    const wxImage opaque = FromGrid({"RRGGBB", "RYYWWB", "GGGGRR"}, false);
    ASSERT_TRUE(SavePicture(opaque, m_dir / "a.gif", PictureFormat::Gif));
    EXPECT_TRUE(SameRgb(opaque, LoadPicture(m_dir / "a.gif")));

    // Alpha turns into the transparent colour; opaque pixels keep theirs.
    const wxImage clear = FromGrid({"..RR..", ".RGGR.", "..RR.."}, true);
    ASSERT_TRUE(SavePicture(clear, m_dir / "b.gif", PictureFormat::Gif));
    const wxImage back = LoadPicture(m_dir / "b.gif");
    ASSERT_TRUE(back.IsOk());
    ASSERT_TRUE(back.HasMask() || back.HasAlpha());
    for (int y = 0; y < clear.GetHeight(); ++y)
        for (int x = 0; x < clear.GetWidth(); ++x) {
            const bool want_clear = clear.GetAlpha(x, y) == 0;
            EXPECT_EQ(back.IsTransparent(x, y), want_clear) << x << "," << y;
            if (!want_clear) {
                EXPECT_EQ(back.GetRed(x, y), clear.GetRed(x, y));
                EXPECT_EQ(back.GetGreen(x, y), clear.GetGreen(x, y));
                EXPECT_EQ(back.GetBlue(x, y), clear.GetBlue(x, y));
            }
        }
}

TEST_F(PictureIoTest, GifReducesManyColoursToAPalette) {
    const wxImage img = Gradient(120, 90);
    ASSERT_GT(img.CountColours(), 256u);
    ASSERT_TRUE(SavePicture(img, m_dir / "many.gif", PictureFormat::Gif));
    const wxImage back = LoadPicture(m_dir / "many.gif");
    ASSERT_TRUE(back.IsOk());
    EXPECT_EQ(back.GetSize(), img.GetSize());
    EXPECT_LE(back.CountColours(), 256u);
    EXPECT_LT(MeanAbsDiff(img, back), 8.0);
}

TEST_F(PictureIoTest, FailedSaveKeepsTheOldFile) {
    const auto path = m_dir / "keep.png";
    ASSERT_TRUE(SavePicture(FromGrid({"RG", "BY"}, false), path, PictureFormat::Png));
    const auto before = testsupport::ReadAll(path);

    std::string error;
    EXPECT_FALSE(SavePicture(wxImage(), path, PictureFormat::Png, 100, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(testsupport::ReadAll(path), before);

    error.clear();
    EXPECT_FALSE(SavePicture(FromGrid({"R"}, false), m_dir / "no such folder" / "x.png",
                             PictureFormat::Png, 100, &error));
    EXPECT_FALSE(error.empty());
    // No temporary files are left behind.
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(m_dir.path())) ++files;
    EXPECT_EQ(files, 1u);
}

TEST_F(PictureIoTest, LoadAnswersInvalidForMissingOrBrokenFiles) {
    EXPECT_FALSE(LoadPicture(m_dir / "missing.png").IsOk());
    m_dir.write("empty.png", std::string());
    EXPECT_FALSE(LoadPicture(m_dir / "empty.png").IsOk());
    m_dir.write("text.jpg", std::string("not a picture at all"));
    EXPECT_FALSE(LoadPicture(m_dir / "text.jpg").IsOk());
    // A PNG cut in half.
    ASSERT_TRUE(SavePicture(Gradient(40, 40), m_dir / "whole.png", PictureFormat::Png));
    auto bytes = testsupport::ReadAll(m_dir / "whole.png");
    bytes.resize(bytes.size() / 2);
    m_dir.write("cut.png", bytes);
    const wxImage cut = LoadPicture(m_dir / "cut.png");
    EXPECT_TRUE(!cut.IsOk() || cut.GetSize() == wxSize(40, 40));
    EXPECT_FALSE(LoadPicture(m_dir.path()).IsOk());  // a folder
}

TEST_F(PictureIoTest, LoadRecognisesTheContentNotTheName) {
    const wxImage img = FromGrid({"RGB", "YWR"}, false);
    ASSERT_TRUE(SavePicture(img, m_dir / "really-a-bmp.jpg", PictureFormat::Bmp));
    EXPECT_TRUE(SameRgb(img, LoadPicture(m_dir / "really-a-bmp.jpg")));
}

TEST_F(PictureIoTest, LoadsIcons) {
    const wxImage img = Gradient(16, 16);
    wxMemoryOutputStream out;
    ASSERT_TRUE(wxImage(img).SaveFile(out, wxBITMAP_TYPE_ICO));
    std::vector<unsigned char> bytes(out.GetLength());
    out.CopyTo(bytes.data(), bytes.size());
    m_dir.write("a.ico", bytes);
    const wxImage back = LoadPicture(m_dir / "a.ico");
    ASSERT_TRUE(back.IsOk());
    EXPECT_EQ(back.GetSize(), img.GetSize());
    EXPECT_LT(MeanAbsDiff(img, back), 8.0);  // the toolkit writes icons with a palette
}

}  // namespace
