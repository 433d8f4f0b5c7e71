#include "picture_controls/picture_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include <wx/colour.h>
#include <wx/log.h>

#include "platform/image/picture_io.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using picture_controls::ConvertImageFile;
using picture_controls::EncoderInfo;
using picture_controls::GetEncoderClsid;
using picture_controls::GrabFormats;
using picture_controls::GrabScreenToFile;
using platform::image::LoadPicture;
using platform::image::PictureFormat;
using testsupport::TempDir;

const std::map<char, wxColour>& Colours() {
    static const std::map<char, wxColour> colours{
        {'.', *wxWHITE}, {'R', wxColour(220, 20, 30)}, {'G', wxColour(30, 160, 40)},
        {'B', wxColour(20, 40, 210)}, {'K', *wxBLACK}};
    return colours;
}

// The picture as a grid of colour letters; '?' for a colour not in the list.
std::vector<std::string> ToGrid(const wxImage& img) {
    std::vector<std::string> rows;
    for (int y = 0; y < img.GetHeight(); ++y) {
        std::string row;
        for (int x = 0; x < img.GetWidth(); ++x) {
            char letter = '?';
            for (const auto& [l, c] : Colours())
                if (c == wxColour(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y)))
                    letter = l;
            row += letter;
        }
        rows.push_back(row);
    }
    return rows;
}

// A window's content in window coordinates: a red block at (100, 50) 4 x 2,
// a blue bar at (102, 52) 3 x 1, and a green pixel far away at (300, 200).
void DrawWindow(wxDC& dc) {
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(Colours().at('R')));
    dc.DrawRectangle(100, 50, 4, 2);
    dc.SetBrush(wxBrush(Colours().at('B')));
    dc.DrawRectangle(102, 52, 3, 1);
    dc.SetBrush(wxBrush(Colours().at('G')));
    dc.DrawRectangle(300, 200, 1, 1);
}

TEST(GetEncoderClsid, FindsExactMimeTypesInTableOrder) {
    const std::pair<const char*, int> cases[] = {
        {"image/bmp", 0},  {"image/jpeg", 1}, {"image/gif", 2},   {"image/png", 3},
        {"jpg", -1},       {"image/jpg", -1}, {"IMAGE/PNG", -1},  {"image/tiff", -1},
        {"", -1},          {"image/", -1},
    };
    for (const auto& [mime, index] : cases) {
        EncoderInfo info{PictureFormat::Bmp, "", "", 0, ""};
        EXPECT_EQ(GetEncoderClsid(mime, &info), index) << mime;
        if (index >= 0) {
            EXPECT_EQ(info.mime, mime);
        } else {
            EXPECT_EQ(info.mime, "") << "untouched on failure";
        }
    }
    EXPECT_EQ(GetEncoderClsid("image/png", nullptr), 3);
}

class PictureFilesTest : public ::testing::Test {
protected:
    TempDir m_dir;
};

TEST_F(PictureFilesTest, GrabRendersTheAreaAtItsOffset) {
    const fs::path target = m_dir / "grab.png";
    ASSERT_TRUE(GrabScreenToFile(target, 99, 49, 7, 5, 100, "PNG", DrawWindow));
    const std::vector<std::string> want{
        ".......",
        ".RRRR..",
        ".RRRR..",
        "...BBB.",
        ".......",
    };
    EXPECT_EQ(ToGrid(LoadPicture(target)), want);

    // An area that holds only the far pixel.
    ASSERT_TRUE(GrabScreenToFile(target, 299, 199, 3, 2, 100, "BMP", DrawWindow));
    EXPECT_EQ(ToGrid(LoadPicture(target)), (std::vector<std::string>{"...", ".G."}));
}

TEST_F(PictureFilesTest, GrabWritesEveryFormatWordItKnows) {
    struct Case {
        const char* word;
        GrabFormats formats;
        bool written;
        std::vector<unsigned char> signature;  // the first bytes of the file written
    };
    const std::vector<unsigned char> bmp{'B', 'M'}, jpeg{0xFF, 0xD8, 0xFF},
        png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, gif{'G', 'I', 'F', '8'};
    const Case cases[] = {
        {"BMP", GrabFormats::All, true, bmp},   {"JPG", GrabFormats::All, true, jpeg},
        {"PNG", GrabFormats::All, true, png},   {"GIF", GrabFormats::All, true, gif},
        {"BMP", GrabFormats::NoGif, true, bmp}, {"JPG", GrabFormats::NoGif, true, jpeg},
        {"PNG", GrabFormats::NoGif, true, png}, {"GIF", GrabFormats::NoGif, false, {}},
        {"jpg", GrabFormats::All, false, {}},   {"JPEG", GrabFormats::All, false, {}},
        {"", GrabFormats::All, false, {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        const fs::path target = m_dir / ("grab" + std::to_string(n++));
        SCOPED_TRACE(c.word);
        EXPECT_EQ(GrabScreenToFile(target, 98, 48, 10, 8, 90, c.word, DrawWindow, c.formats),
                  c.written);
        EXPECT_EQ(fs::exists(target), c.written);
        if (c.written) {
            // The word picks the format, whatever the file is called.
            const std::vector<unsigned char> bytes = testsupport::ReadAll(target);
            ASSERT_GE(bytes.size(), c.signature.size());
            EXPECT_TRUE(std::equal(c.signature.begin(), c.signature.end(), bytes.begin()));
            const wxImage img = LoadPicture(target);
            ASSERT_TRUE(img.IsOk());
            EXPECT_EQ(img.GetSize(), wxSize(10, 8));
            // The middle of the red block, allowing for JPEG's loss.
            EXPECT_GT(img.GetRed(4, 2), 180);
            EXPECT_LT(img.GetGreen(4, 2), 70);
        }
    }
}

TEST_F(PictureFilesTest, GrabThatCannotSaveKeepsTheOldFile) {
    const fs::path target = m_dir / "old.png";
    m_dir.write("old.png", std::string("old bytes"));
    EXPECT_FALSE(GrabScreenToFile(target, 0, 0, 10, 10, 100, "gif", DrawWindow));
    EXPECT_FALSE(GrabScreenToFile(target, 0, 0, 0, 10, 100, "PNG", DrawWindow));
    EXPECT_FALSE(GrabScreenToFile(target, 0, 0, 10, -3, 100, "PNG", DrawWindow));
    EXPECT_FALSE(GrabScreenToFile(m_dir / "no folder" / "x.png", 0, 0, 4, 4, 100, "PNG",
                                  DrawWindow));
    EXPECT_EQ(testsupport::ReadAll(target), (std::vector<unsigned char>{'o', 'l', 'd', ' ', 'b',
                                                                         'y', 't', 'e', 's'}));
}

TEST_F(PictureFilesTest, ConvertWritesTheFormatOfTheWord) {
    const fs::path source = m_dir / "源.png";
    ASSERT_TRUE(GrabScreenToFile(source, 99, 49, 7, 5, 100, "PNG", DrawWindow));
    const std::pair<const char*, wxBitmapType> cases[] = {
        {"BMP", wxBITMAP_TYPE_BMP},
        {"JPG", wxBITMAP_TYPE_JPEG},
        {"PNG", wxBITMAP_TYPE_PNG},
        {"GIF", wxBITMAP_TYPE_GIF},
    };
    for (const auto& [word, type] : cases) {
        SCOPED_TRACE(word);
        const fs::path target = m_dir / (std::string("out.") + word);
        ASSERT_EQ(ConvertImageFile(word, source, target, 100), 1);
        // Read back with the handler of the format only.
        wxImage img;
        wxLogNull quiet;
        ASSERT_TRUE(img.LoadFile(wxString::FromUTF8(target.string()), type));
        EXPECT_EQ(img.GetSize(), wxSize(7, 5));
        if (type != wxBITMAP_TYPE_JPEG) {
            EXPECT_EQ(ToGrid(img), ToGrid(LoadPicture(source)));
        }
    }
}

TEST_F(PictureFilesTest, ConvertRefusesWhatItCannotDo) {
    const fs::path source = m_dir / "a.png";
    ASSERT_TRUE(GrabScreenToFile(source, 99, 49, 7, 5, 100, "PNG", DrawWindow));

    EXPECT_EQ(ConvertImageFile("jpg", source, m_dir / "lower.jpg", 100), 0);
    EXPECT_FALSE(fs::exists(m_dir / "lower.jpg"));
    EXPECT_EQ(ConvertImageFile("JPEG", source, m_dir / "long.jpg", 100), 0);
    EXPECT_FALSE(fs::exists(m_dir / "long.jpg"));
    EXPECT_EQ(ConvertImageFile("JPG", m_dir / "missing.png", m_dir / "m.jpg", 100), 0);
    EXPECT_FALSE(fs::exists(m_dir / "m.jpg"));

    // A source that is no picture leaves the target as it was.
    m_dir.write("broken.png", std::string("nothing"));
    m_dir.write("target.jpg", std::string("kept"));
    EXPECT_EQ(ConvertImageFile("JPG", m_dir / "broken.png", m_dir / "target.jpg", 100), 0);
    EXPECT_EQ(testsupport::ReadAll(m_dir / "target.jpg"),
              (std::vector<unsigned char>{'k', 'e', 'p', 't'}));
}

TEST_F(PictureFilesTest, ConvertOntoItselfAndQuality) {
    const fs::path photo = m_dir / "photo.jpg";
    ASSERT_TRUE(GrabScreenToFile(photo, 90, 40, 40, 30, 100, "PNG", DrawWindow));
    ASSERT_EQ(ConvertImageFile("JPG", photo, photo, 100), 1);  // PNG bytes become JPEG in place
    wxImage img;
    {
        wxLogNull quiet;
        ASSERT_TRUE(img.LoadFile(wxString::FromUTF8(photo.string()), wxBITMAP_TYPE_JPEG));
    }
    EXPECT_EQ(img.GetSize(), wxSize(40, 30));

    ASSERT_EQ(ConvertImageFile("JPG", photo, m_dir / "q10.jpg", 10), 1);
    EXPECT_LT(fs::file_size(m_dir / "q10.jpg"), fs::file_size(photo));
}

}  // namespace
