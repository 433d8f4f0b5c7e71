// The bitmap reader against real small pictures (1, 4, 8, 24 and 32 bits,
// bottom-up and top-down, bit-field masks, 8 and 4-bit run-length streams)
// and against short and hostile files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "measure_market/dib_file.h"
#include "platform/record.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace measure;

// A bitmap file: the headers, `colours` table entries of `tableEntry`, the
// rows (already padded) at `offset` (0: right after the table).
struct Bmp {
    int width = 2, height = 2, bits = 24;
    std::uint32_t clrUsed = 0, compression = 0, offset = 0, sizeImage = 0;
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
        w.U32(34, sizeImage);
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

TEST(DibFile, SixteenAndThirtyTwoBitsWithBitFieldMasks) {
    Bmp b16;  // 5-6-5 masks after the info header: pure red, then pure blue
    b16.bits = 16;
    b16.height = 1;
    b16.compression = 3;
    b16.table = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0x00, 0, 0};
    b16.rows = {0x00, 0xF8, 0x1F, 0x00};
    CDibFile f;
    ASSERT_EQ(f.LoadBytes(b16.Bytes()), DibStatus::Loaded);
    EXPECT_EQ(f.rgb(), Rgb({255, 0, 0, 0, 0, 255}));

    Bmp b32;  // the channels in the top three bytes
    b32.bits = 32;
    b32.width = 1;
    b32.height = 1;
    b32.compression = 3;
    b32.table = {0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0};
    b32.rows = {0, 30, 20, 10};
    ASSERT_EQ(f.LoadBytes(b32.Bytes()), DibStatus::Loaded);
    EXPECT_EQ(f.rgb(), Rgb({10, 20, 30}));
}

// Run-length pictures: a 16-colour table in which index i is (16 i, 255 - 16 i, i),
// and the expected picture as one hexadecimal colour index a pixel, top row first.
std::vector<std::uint8_t> SixteenColours() {
    std::vector<std::uint8_t> table;
    for (int i = 0; i < 16; ++i) {
        const std::uint8_t r = static_cast<std::uint8_t>(16 * i), g = static_cast<std::uint8_t>(255 - 16 * i);
        table.insert(table.end(), {static_cast<std::uint8_t>(i), g, r, 0});
    }
    return table;
}

std::vector<std::uint8_t> Picture(const std::vector<std::string>& rows) {
    std::vector<std::uint8_t> rgb;
    for (const std::string& row : rows)
        for (char c : row) {
            const int i = std::stoi(std::string(1, c), nullptr, 16);
            rgb.insert(rgb.end(), {static_cast<std::uint8_t>(16 * i), static_cast<std::uint8_t>(255 - 16 * i),
                                   static_cast<std::uint8_t>(i)});
        }
    return rgb;
}

// The grid of colour indices of a loaded picture, as Picture writes it.
std::vector<std::string> Grid(const CDibFile& f) {
    std::vector<std::string> rows;
    for (int y = 0; y < f.height(); ++y) {
        std::string row;
        for (int x = 0; x < f.width(); ++x) {
            const int red = f.rgb()[(static_cast<std::size_t>(y) * f.width() + x) * 3];
            row += "0123456789ABCDEF"[red / 16];
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(DibFile, RunLengthPicturesUnfoldToTheirPixels) {
    // Streams go bottom row first: (n, v) n pixels of v; (0, 0) end of line;
    // (0, 1) end of bitmap; (0, 2, dx, dy) move right and up; (0, n, ...) n
    // pixels as they stand, padded to 16 bits. Decoding stops at the end of
    // bitmap; runs are clipped at a row's end, pixels past the last row are
    // dropped; what is never set shows colour 0.
    struct Case {
        const char* what;
        int bits, width, height;
        std::vector<std::uint8_t> stream;
        std::vector<std::string> picture;
        std::uint32_t sizeImage = 0;  // 0: the stream's own length
    };
    const Case cases[] = {
        {"encoded runs and line ends", 8, 4, 3,
         {3, 1, 1, 2, 0, 0, 2, 3, 2, 4, 0, 0, 4, 5, 0, 1},
         {"5555",
          "3344",
          "1112"}},
        {"an absolute run of odd length, padded", 8, 6, 1,
         {0, 3, 7, 8, 9, 0, 2, 4, 1, 10, 0, 1},
         {"78944A"}},
        {"an absolute run of even length, not padded", 8, 5, 1,
         {0, 4, 1, 2, 3, 4, 1, 15, 0, 1},
         {"1234F"}},
        {"a delta skips pixels, which keep colour 0", 8, 4, 3,
         {1, 1, 0, 2, 2, 1, 1, 3, 0, 0, 0, 2, 3, 0, 1, 6, 0, 1},
         {"0006",
          "0003",
          "1000"}},
        {"an end-of-bitmap mark before the last row leaves the rest at colour 0", 8, 3, 3,
         {3, 1, 0, 0, 1, 2, 0, 1},
         {"000",
          "200",
          "111"}},
        {"a delta to the row's very end stays inside", 8, 3, 2,
         {1, 1, 0, 2, 2, 0, 0, 0, 1, 5, 0, 1},
         {"500",
          "100"}},
        {"pixels past the last row's line end are dropped", 8, 1, 2,
         {1, 1, 0, 0, 1, 2, 0, 0, 1, 3, 0, 0, 0, 0, 1, 4, 0, 1},
         {"2",
          "1"}},
        {"a run past the row's end is clipped, not wrapped", 8, 3, 2,
         {5, 1, 1, 2, 0, 0, 1, 3, 0, 1},
         {"300",
          "111"}},
        {"an absolute run past the row's end is clipped", 8, 2, 2,
         {0, 3, 4, 5, 6, 0, 0, 0, 1, 7, 0, 1},
         {"70",
          "45"}},
        {"an image size past the file's end is cut at it", 8, 3, 1,
         {3, 7, 0, 1},
         {"777"},
         0xFFFFFFFF},
        {"an index past the colour table shows colour 0", 8, 2, 1,
         {1, 200, 1, 2, 0, 1},
         {"02"}},
        {"4 bits: an encoded run alternates its two nibbles", 4, 5, 2,
         {5, 0x12, 0, 0, 4, 0xC0, 0, 1},
         {"C0C00",
          "12121"}},
        {"4 bits: an absolute run of nibbles, padded to 16 bits", 4, 6, 2,
         {0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 2, 0xAB, 0, 3, 0xDE, 0xF0, 0, 1},
         {"ABDEF0",
          "345670"}},
        {"4 bits: a delta, and a run past the row's end", 4, 4, 2,
         {0, 2, 1, 1, 9, 0x9A, 0, 1},
         {"09A9",
          "0000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bmp b;
        b.bits = c.bits;
        b.compression = c.bits == 8 ? 1 : 2;
        b.width = c.width;
        b.height = c.height;
        b.table = SixteenColours();
        b.clrUsed = 16;
        b.rows = c.stream;
        b.sizeImage = c.sizeImage ? c.sizeImage : static_cast<std::uint32_t>(c.stream.size());
        CDibFile f;
        ASSERT_EQ(f.LoadBytes(b.Bytes()), DibStatus::Loaded);
        EXPECT_EQ(f.colourCount(), 16);
        EXPECT_EQ(Grid(f), c.picture);
        EXPECT_EQ(f.rgb(), Picture(c.picture));
    }
}

TEST(DibFile, RunLengthStreamsTheReaderRefuses) {
    auto rle = [](int bits, std::uint32_t compression) {
        Bmp b;
        b.bits = bits;
        b.compression = compression;
        b.width = 2;
        b.height = 2;
        b.table = SixteenColours();
        b.clrUsed = 16;
        b.rows = {2, 1, 0, 0, 2, 2, 0, 1};
        b.sizeImage = 8;
        return b;
    };
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        DibStatus expect;
    };
    std::vector<Case> cases;
    {
        Bmp b = rle(8, 1);
        b.height = -2;
        cases.push_back({"8-bit runs stored top-down", b.Bytes(), DibStatus::BadHeader});
    }
    {
        Bmp b = rle(4, 2);
        b.height = -2;
        cases.push_back({"4-bit runs stored top-down", b.Bytes(), DibStatus::BadHeader});
    }
    cases.push_back({"8-bit runs on a 4-bit picture", rle(4, 1).Bytes(), DibStatus::BadHeader});
    cases.push_back({"4-bit runs on an 8-bit picture", rle(8, 2).Bytes(), DibStatus::BadHeader});
    {
        Bmp b = rle(8, 1);
        b.width = 16000;
        b.height = 16000;  // a few bytes that would unfold to 256 million pixels
        cases.push_back({"runs of a huge picture", b.Bytes(), DibStatus::BadHeader});
        b.width = 4096;
        b.height = 4097;  // just past the 4096 x 4096 pixels runs may unfold to
        cases.push_back({"runs of a picture just too large", b.Bytes(), DibStatus::BadHeader});
    }
    {
        Bmp b = rle(8, 1);
        b.rows.clear();
        b.sizeImage = 0;
        cases.push_back({"no stream at all", b.Bytes(), DibStatus::BadBits});
    }
    {
        auto bytes = rle(8, 1).Bytes();
        platform::RecordWriter(bytes).U32(10, static_cast<std::uint32_t>(bytes.size() + 1));
        cases.push_back({"stream offset past the end", bytes, DibStatus::BadBits});
    }
    {
        auto bytes = rle(8, 1).Bytes();
        platform::RecordWriter(bytes).U32(10, 4);
        cases.push_back({"stream offset inside the file header", bytes, DibStatus::BadBits});
    }
    cases.push_back({"the image compressed as JPEG", rle(24, 4).Bytes(), DibStatus::BadHeader});
    // Damaged streams: the file or the header's image size ends before the
    // end-of-bitmap mark, or a delta moves outside the picture.
    struct Damage {
        const char* what;
        int bits;
        std::vector<std::uint8_t> stream;
        std::uint32_t sizeImage = 0;  // 0: the stream's own length
    };
    const Damage damaged[] = {
        {"no end-of-bitmap mark", 8, {2, 1, 0, 0, 2, 2, 0, 0}},
        {"cut inside an absolute run", 8, {0, 4, 5, 6}},
        {"cut inside a pair", 8, {2, 3, 1}},
        {"cut inside a delta", 8, {1, 3, 0, 2, 1}},
        {"cut inside the end-of-bitmap mark", 8, {2, 1, 0, 0, 2, 2, 0}},
        {"the image size ends before the mark", 8, {2, 1, 0, 0, 2, 2, 0, 1}, 6},
        {"a delta past the row's end", 8, {0, 2, 3, 0, 1, 4, 0, 1}},
        {"a delta past the last row", 8, {1, 1, 0, 2, 0, 2, 0, 1}},
        {"a delta past the last row after line ends", 8, {0, 0, 0, 2, 0, 1, 0, 1}},
        {"4 bits: cut inside an absolute run", 4, {0, 4, 0x12}},
        {"4 bits: a delta past the row's end", 4, {0, 2, 3, 0, 0, 1}},
    };
    for (const Damage& d : damaged) {
        Bmp b = rle(d.bits, d.bits == 8 ? 1 : 2);
        b.rows = d.stream;
        b.sizeImage = d.sizeImage ? d.sizeImage : static_cast<std::uint32_t>(d.stream.size());
        cases.push_back({d.what, b.Bytes(), DibStatus::BadRuns});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDibFile f;
        EXPECT_EQ(f.LoadBytes(c.bytes), c.expect);
        EXPECT_FALSE(f.loaded());
        EXPECT_TRUE(f.rgb().empty());
    }
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
        b.bits = 8;
        b.clrUsed = 0xFFFFFFFF;  // capped at 256: then 1 KB of table is needed
        cases.push_back({"colour count beyond the table", b.Bytes(), DibStatus::BadColours});
    }
    {
        Bmp b = base();
        b.compression = 1;  // 8-bit runs on a 24-bit picture
        cases.push_back({"compressed", b.Bytes(), DibStatus::BadHeader});
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
