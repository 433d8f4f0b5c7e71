#pragma once
// An independent reader of the ".dm3" layout for tests: header 372 bytes (N
// at 368), info block 296 bytes (M at 268, T at 276), then N part records of
// 544 bytes with x at 516, y at 520, depth at 524, width 532, height 536 and
// the float scale at 540. Written from the format's tables with literal
// offsets; it shares nothing with the production codec.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace dm3test {

struct Part {
    char category = 0;
    char rowType = 0;
    std::string nameGbk;
    std::string pictureGbk;
    std::int32_t x = 0, y = 0, depth = 0, width = 0, height = 0;
    float scale = 0;
    char mark = 0;  // byte 4 of the part's face record
    std::vector<unsigned char> bytes;      // the whole part record
    std::vector<unsigned char> faceBytes;  // its face record, when there is one
};

struct File {
    bool ok = false;
    std::int32_t n = 0, m = 0, t = 0, modified = 0;
    std::vector<Part> parts;
};

inline std::int32_t I32(const std::vector<unsigned char>& b, std::size_t off) {
    return static_cast<std::int32_t>(std::uint32_t(b[off]) | std::uint32_t(b[off + 1]) << 8 |
                                     std::uint32_t(b[off + 2]) << 16 | std::uint32_t(b[off + 3]) << 24);
}

inline std::string Text(const std::vector<unsigned char>& b, std::size_t off, std::size_t width) {
    std::string s;
    for (std::size_t i = 0; i < width && b[off + i] != 0; ++i) s.push_back(static_cast<char>(b[off + i]));
    return s;
}

inline File Read(const std::filesystem::path& p) {
    File f;
    std::ifstream in(p, std::ios::binary);
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 668) return f;
    f.n = I32(b, 368);
    f.m = I32(b, 372 + 268);
    f.t = I32(b, 372 + 276);
    f.modified = I32(b, 372 + 284);
    if (f.n < 0 || f.m < 0 || b.size() != 668u + 544u * f.n + 348u * f.m + std::size_t(f.t)) return f;
    for (int i = 0; i < f.n; ++i) {
        const std::size_t o = 668 + 544 * std::size_t(i);
        Part part;
        part.category = static_cast<char>(b[o]);
        part.rowType = static_cast<char>(b[o + 1]);
        part.nameGbk = Text(b, o + 3, 66);
        part.pictureGbk = Text(b, o + 85, 66);
        part.x = I32(b, o + 516);
        part.y = I32(b, o + 520);
        part.depth = I32(b, o + 524);
        part.width = I32(b, o + 532);
        part.height = I32(b, o + 536);
        const std::uint32_t bits = static_cast<std::uint32_t>(I32(b, o + 540));
        std::memcpy(&part.scale, &bits, 4);
        part.bytes.assign(b.begin() + static_cast<std::ptrdiff_t>(o), b.begin() + static_cast<std::ptrdiff_t>(o + 544));
        if (i < f.m) {
            const std::size_t fo = 668 + 544 * std::size_t(f.n) + 348 * std::size_t(i);
            part.mark = static_cast<char>(b[fo + 4]);
            part.faceBytes.assign(b.begin() + static_cast<std::ptrdiff_t>(fo), b.begin() + static_cast<std::ptrdiff_t>(fo + 348));
        }
        f.parts.push_back(part);
    }
    f.ok = true;
    return f;
}

}  // namespace dm3test
