// The bitmap reader against real small pictures (1, 4, 8, 24 and 32 bits,
// bottom-up and top-down) and against short and hostile files.
#include <gtest/gtest.h>

#include "measure_market/dib_file.h"
#include "platform/record.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace measure;

// A bitmap file: the headers, `colours` table entries of `tableEntry`, the
// rows (already padded) at `offset` (0: right after the table).
struct Bmp {
    int width = 2, height = 2, bits = 24;
    std::uint32_t clrUsed = 0, compression = 0, offset = 0;
    std::vector<std::uint8_t> table;
    std::vector<std::uint8_t> rows;

    std::vector<std::uint8_t> Bytes() const {
        std::vector<std::uint8_t> b(54, 0);
        platform::RecordWriter w(b);
        w.U8(0, 'B');
        w.U8(1, 'M');
        w.U32(14, 40);
        w.I32(18, width);
        w.I32(22, height);
        w.U16(26, 1);
        w.U16(28, static_cast<std::uint16_t>(bits));
        w.U32(30, compression);
        w.U32(46, clrUsed);
        b.insert(b.end(), table.begin(), table.end());
        const std::uint32_t at = offset ? offset : static_cast<std::uint32_t>(b.size());
        if (b.size() < at) b.resize(at, 0);
        platform::RecordWriter(b).U32(10, at);
        b.insert(b.end(), rows.begin(), rows.end());
        platform::RecordWriter(b).U32(2, static_cast<std::uint32_t>(b.size()));
        return b;
    }
};

std::vector<std::uint8_t> Rgb(std::initializer_list<std::uint8_t> v) { return v; }

TEST(DibFile, Reads24BitBottomUpAnd8BitWithAPalette) {
    Bmp b24;  // 2 x 2: bottom row blue, white; top row red, green (BGR, rows padded to 8)
    b24.rows = {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
    CDibFile f;
    ASSERT_EQ(f.LoadBytes(b24.Bytes()), DibStatus::Loaded);
    EXPECT_EQ(f.width(), 2);
    EXPECT_EQ(f.colourCount(), 0);
    EXPECT_EQ(f.imageSize(), 4u);  // the header's 0 becomes width x height
    EXPECT_EQ(f.rgb(), Rgb({255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}));

    Bmp b8;
    b8.bits = 8;
    b8.height = -2;  // top-down
    b8.clrUsed = 2;
    b8.table = {0, 0, 255, 0, 0, 255, 0, 0};  // red, green
    b8.rows = {1, 0, 0, 0, 0, 1, 0, 0};
    ASSERT_EQ(f.LoadBytes(b8.Bytes()), DibStatus::Loaded);
    EXPECT_EQ(f.colourCount(), 2);
    EXPECT_EQ(f.rgb(), Rgb({0, 255, 0, 255, 0, 0, 255, 0, 0, 0, 255, 0}));

    Bmp b1;
    b1.bits = 1;
    b1.width = 3;
    b1.height = 1;
    b1.table = {0, 0, 0, 0, 255, 255, 255, 0};
    b1.rows = {0b10100000, 0, 0, 0};
    ASSERT_EQ(f.LoadBytes(b1.Bytes()), DibStatus::Loaded);
    EXPECT_EQ(f.colourCount(), 2);
    EXPECT_EQ(f.rgb(), Rgb({255, 255, 255, 0, 0, 0, 255, 255, 255}));

    Bmp b32;
    b32.bits = 32;
    b32.width = 1;
    b32.height = 1;
    b32.rows = {10, 20, 30, 0};
    ASSERT_EQ(f.LoadBytes(b32.Bytes()), DibStatus::Loaded);
    EXPECT_EQ(f.rgb(), Rgb({30, 20, 10}));
}

TEST(DibFile, BitsAreReadAtTheHeadersOffset) {
    Bmp b;
    b.width = 1;
    b.height = 1;
    b.offset = 100;  // a gap after the headers
    b.rows = {1, 2, 3, 0};
    CDibFile f;
    ASSERT_EQ(f.LoadBytes(b.Bytes()), DibStatus::Loaded);
    EXPECT_EQ(f.rgb(), Rgb({3, 2, 1}));
}

TEST(DibFile, ShortAndHostileFiles) {
    auto base = [] {
        Bmp b;
        b.width = 2;
        b.height = 2;
        b.rows.assign(16, 7);
        return b;
    };
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        DibStatus expect;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}, DibStatus::NotBitmap});
    cases.push_back({"other magic", {'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, DibStatus::NotBitmap});
    cases.push_back({"file header only", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0}, DibStatus::BadHeader});
    auto cut = base().Bytes();
    cut.resize(40);
    cases.push_back({"info header cut", cut, DibStatus::BadHeader});
    auto rowsCut = base().Bytes();
    rowsCut.resize(rowsCut.size() - 1);
    cases.push_back({"last row one byte short", rowsCut, DibStatus::BadBits});
    {
        Bmp b = base();
        b.width = 100000;
        cases.push_back({"width beyond the limit", b.Bytes(), DibStatus::BadHeader});
    }
    {
        Bmp b = base();
        b.width = 0;
        cases.push_back({"zero width", b.Bytes(), DibStatus::BadHeader});
    }
    {
        Bmp b = base();
        b.height = INT32_MIN;
        cases.push_back({"most negative height", b.Bytes(), DibStatus::BadHeader});
    }
    {
        Bmp b = base();
        b.width = 16000;
        b.height = 16000;  // 768 MB of rows announced in a file of 70 bytes
        cases.push_back({"rows announced, not there", b.Bytes(), DibStatus::BadBits});
    }
    {
        Bmp b = base();
        b.bits = 7;
        cases.push_back({"odd bit depth", b.Bytes(), DibStatus::BadHeader});
    }
    {
        Bmp b = base();
        b.compression = 1;  // run-length
        cases.push_back({"compressed", b.Bytes(), DibStatus::BadHeader});
    }
    {
        Bmp b = base();
        b.bits = 8;
        b.clrUsed = 0xFFFFFFFF;  // capped at 256: then 1 KB of table is needed
        cases.push_back({"colour count beyond the table", b.Bytes(), DibStatus::BadColours});
    }
    {
        auto bytes = base().Bytes();
        platform::RecordWriter(bytes).U32(10, 0xFFFFFFF0);
        cases.push_back({"bits offset past the end", bytes, DibStatus::BadBits});
    }
    {
        auto bytes = base().Bytes();
        platform::RecordWriter(bytes).U32(14, 0xFFFFFFFF);
        cases.push_back({"info header size huge", bytes, DibStatus::BadHeader});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDibFile f;
        EXPECT_EQ(f.LoadBytes(c.bytes), c.expect);
        EXPECT_FALSE(f.loaded());
        EXPECT_TRUE(f.rgb().empty());
    }
}

TEST(DibFile, ColourTableCappedAt256AndIndicesPastItSafe) {
    Bmp b;
    b.bits = 8;
    b.width = 2;
    b.height = 1;
    b.clrUsed = 100000;
    b.table.assign(256 * 4, 9);
    b.rows = {0, 255, 0, 0};
    CDibFile f;
    ASSERT_EQ(f.LoadBytes(b.Bytes()), DibStatus::Loaded);
    EXPECT_EQ(f.colourCount(), 256);

    Bmp small;
    small.bits = 8;
    small.width = 1;
    small.height = 1;
    small.clrUsed = 1;
    small.table = {1, 2, 3, 0};
    small.rows = {200, 0, 0, 0};  // index past the one-colour table
    ASSERT_EQ(f.LoadBytes(small.Bytes()), DibStatus::Loaded);
    EXPECT_EQ(f.rgb(), Rgb({3, 2, 1}));
}

TEST(DibFile, VisiblePartIsClippedToTheArea) {
    // 3 x 2, top-down: pixel values 1..6 in the red channel.
    Bmp b;
    b.width = 3;
    b.height = -2;
    b.rows = {0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 0, 0, 0, 4, 0, 0, 5, 0, 0, 6, 0, 0, 0};
    CDibFile f;
    ASSERT_EQ(f.LoadBytes(b.Bytes()), DibStatus::Loaded);
    auto reds = [](const DibPatch& p) {
        std::vector<int> out;
        for (std::size_t i = 0; i < p.rgb.size(); i += 3) out.push_back(p.rgb[i]);
        return out;
    };
    struct Case {
        const char* what;
        int x, y, areaW, areaH;
        int px, py, pw, ph;
        std::vector<int> red;
    };
    const Case cases[] = {
        {"whole", 1, 1, 10, 10, 1, 1, 3, 2, {1, 2, 3, 4, 5, 6}},
        {"cut left and top", -1, -1, 10, 10, 0, 0, 2, 1, {5, 6}},
        {"cut right and bottom", 8, 9, 10, 10, 8, 9, 2, 1, {1, 2}},
        {"beyond the area", 10, 0, 10, 10, 0, 0, 0, 0, {}},
        {"near the limits of int", 2147483646, -2147483647, 10, 10, 0, 0, 0, 0, {}},
        {"no area", 0, 0, 0, 5, 0, 0, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DibPatch p = VisiblePart(f, c.x, c.y, c.areaW, c.areaH);
        EXPECT_EQ(p.width, c.pw);
        EXPECT_EQ(p.height, c.ph);
        if (c.pw > 0) {
            EXPECT_EQ(std::make_pair(p.x, p.y), std::make_pair(c.px, c.py));
        }
        EXPECT_EQ(reds(p), c.red);
    }
    EXPECT_EQ(VisiblePart(CDibFile{}, 0, 0, 10, 10).width, 0);  // nothing loaded
}

TEST(DibFile, MissingFile) {
    testsupport::TempDir dir;
    CDibFile f(dir / "none.bmp");
    EXPECT_EQ(f.status(), DibStatus::NoFile);
}

}  // namespace
