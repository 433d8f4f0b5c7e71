#pragma once
// Pixel grids for the raster tests: a rectangle of a surface written as rows
// of characters ('#' the ink colour, '.' the background, '?' anything else),
// so an expected picture reads like the picture.
#include <string>

#include "platform/raster/surface.h"

namespace rastertest {

inline std::string Grid(const platform::raster::Surface& s, int l, int t, int r, int b,
                        platform::raster::ColorRef ink = 0x000000, platform::raster::ColorRef back = 0xFFFFFF) {
    std::string out;
    for (int y = t; y < b; ++y) {
        for (int x = l; x < r; ++x) {
            const auto c = s.GetPixel(x, y);
            out += c == ink ? '#' : c == back ? '.' : '?';
        }
        out += '\n';
    }
    return out;
}

// Rows joined with newlines, for writing expected grids one row per line.
template <typename... Row>
std::string Rows(const Row&... rows) {
    std::string out;
    ((out += rows, out += '\n'), ...);
    return out;
}

inline int CountInk(const platform::raster::Surface& s, platform::raster::ColorRef ink = 0x000000) {
    int n = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) n += s.GetPixel(x, y) == ink;
    return n;
}

}  // namespace rastertest
