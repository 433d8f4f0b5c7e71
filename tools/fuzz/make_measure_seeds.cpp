// Writes the seed corpora of the measurement readers' fuzz targets: body
// files (empty, two persons, a full table), size charts (empty, with title
// and size rows) and bitmaps of every depth and compression the reader takes.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "measure_market/measure_data.h"
#include "measure_market/size_database.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> Bmp(int w, int h, int bits, int colours) {
    const int stride = (w * bits + 31) / 32 * 4;
    std::vector<std::uint8_t> b(54 + colours * 4 + stride * h, 0);
    auto u32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    u32(2, static_cast<std::uint32_t>(b.size()));
    u32(10, static_cast<std::uint32_t>(54 + colours * 4));
    u32(14, 40);
    u32(18, static_cast<std::uint32_t>(w));
    u32(22, static_cast<std::uint32_t>(h));
    b[26] = 1;
    b[28] = static_cast<std::uint8_t>(bits);
    u32(46, static_cast<std::uint32_t>(colours));
    for (std::size_t i = 54; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i * 37);
    return b;
}

// A run-length picture (compression 1 with 8 bits, 2 with 4 bits) of 16
// colours with the given stream, its length as the image size.
std::vector<std::uint8_t> RleBmp(int w, int h, int bits, const std::vector<std::uint8_t>& stream) {
    std::vector<std::uint8_t> b = Bmp(w, 1, bits, 16);
    b.resize(54 + 16 * 4);
    for (int i = 0; i < 16; ++i) {
        b[54 + i * 4] = static_cast<std::uint8_t>(i * 16);
        b[54 + i * 4 + 1] = static_cast<std::uint8_t>(255 - i * 16);
        b[54 + i * 4 + 2] = static_cast<std::uint8_t>(i * 7);
        b[54 + i * 4 + 3] = 0;
    }
    b.insert(b.end(), stream.begin(), stream.end());
    auto u32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    u32(2, static_cast<std::uint32_t>(b.size()));
    u32(22, static_cast<std::uint32_t>(h));
    u32(30, bits == 8 ? 1 : 2);
    u32(34, static_cast<std::uint32_t>(stream.size()));
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const fs::path bodies = argv[1], charts = argv[2], bitmaps = argv[3];
    for (const auto& d : {bodies, charts, bitmaps}) fs::create_directories(d);

    const fs::path work = fs::temp_directory_path() / ("measure_seeds_" + std::to_string(::getpid()));
    measure::CSizeDatabase db;
    db.CopyTrimmedName(work);
    db.LoadBodies();
    db.LoadSizes();
    Write(bodies / "empty", db.BodyFileBytes());
    std::int32_t values[measure::kFormValues];
    for (int i = 0; i < measure::kFormValues; ++i) values[i] = 1000 + 250 * i;
    const std::string a[2] = {"王丽", "W"}, b[2] = {"Zhang Qiang", "M"};
    db.AddBody(a, values, measure::kFormValues);
    db.AddBody(b, values, measure::kFormValues);
    Write(bodies / "two", db.BodyFileBytes());
    auto bodyBytes = db.BodyFileBytes();
    bodyBytes.push_back(7);
    Write(bodies / "two_then_a_byte", bodyBytes);
    bodyBytes.resize(bodyBytes.size() - 9);
    Write(bodies / "two_cut_short", bodyBytes);

    Write(charts / "empty", db.SizeFileBytes());
    db.SetSizeField(0, 8, "胸围:2");
    db.EditSizeRow(measure::kRowTitle, 0);
    db.SetSizeField(1, 8, "身高:150-160,胸围:78-84(参考),腰围:<60");
    db.SetSizeField(1, 1, "女上装");
    db.SetSizeField(1, 2, "155/80A");
    db.SetSizeField(2, 8, "领围:[38,袖长:58-62,脚长:25.5");
    db.SetSizeField(2, 1, "男鞋M");
    db.ToggleSizeFlag(1, measure::kCharSex);
    Write(charts / "rows", db.SizeFileBytes());
    auto longer = db.SizeFileBytes();
    longer.push_back('x');
    Write(charts / "rows_then_a_byte", longer);
    longer.resize(longer.size() - 12);
    Write(charts / "rows_cut_short", longer);

    Write(bitmaps / "rgb24", Bmp(3, 2, 24, 0));
    Write(bitmaps / "pal8", Bmp(4, 3, 8, 16));
    Write(bitmaps / "mono", Bmp(9, 2, 1, 2));
    Write(bitmaps / "rgb32", Bmp(2, 2, 32, 0));
    Write(bitmaps / "rgb16", Bmp(3, 3, 16, 0));
    // Runs, absolute runs (odd ones padded), line ends, deltas, end of bitmap.
    Write(bitmaps / "rle8", RleBmp(6, 4, 8, {3, 1, 2, 2, 0, 0, 0, 3, 4, 5, 6, 0, 1, 7, 0, 2, 1, 1, 2, 8,
                                              0, 0, 0, 4, 9, 10, 11, 12, 0, 1}));
    Write(bitmaps / "rle4", RleBmp(7, 3, 4, {5, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 2, 2, 1, 3, 0xAB,
                                              0, 0, 0, 3, 0xDE, 0xF0, 0, 1}));
    // An end-of-bitmap mark before the last row, and damaged streams: runs
    // past a row's end then a delta past the last row, and a stream cut
    // inside an absolute run.
    Write(bitmaps / "rle8_early_end", RleBmp(4, 3, 8, {4, 1, 0, 0, 0, 2, 1, 0, 2, 3, 0, 1}));
    Write(bitmaps / "rle8_overrun", RleBmp(3, 2, 8, {255, 1, 0, 5, 1, 2, 3, 4, 5, 0, 0, 2, 200, 1, 1, 2, 0, 0, 0, 0, 9, 9}));
    Write(bitmaps / "rle4_cut", RleBmp(5, 2, 4, {2, 0x11, 0, 0, 0, 9, 0x12, 0x34}));
    std::error_code ec;
    fs::remove_all(work, ec);
    return 0;
}
