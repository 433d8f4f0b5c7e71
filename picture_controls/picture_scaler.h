#pragma once
// Scales a decoded picture into premultiplied 32-bit pixels, the form the
// screen draws without a further conversion (0xAARRGGBB in one native-endian
// word; an opaque picture has alpha 255 everywhere). Shrinking averages the
// covered source pixels (box filter); enlarging takes the bilinear filter; the
// two axes choose apart. The rows of one result can be made in any order and
// on any thread, so a large picture is scaled by several threads at once.
#include <cstdint>
#include <vector>

namespace picture_controls {

// A decoded picture as it is kept: RGB triples row after row, and an alpha
// plane or none (opaque).
struct SourcePlanes {
    const std::uint8_t* rgb = nullptr;
    const std::uint8_t* alpha = nullptr;
    int width = 0, height = 0;
};

class PictureScaler {
public:
    // Source and result sizes must be at least 1 x 1.
    PictureScaler(const SourcePlanes& source, int width, int height);
    // Only the part [left, right) x [top, bottom) of the width x height
    // result (a picture partly outside the window): its rows and columns
    // count from that part's corner, and its pixels equal the whole result's.
    PictureScaler(const SourcePlanes& source, int width, int height, int left, int top, int right, int bottom);

    int width() const { return m_width; }
    int height() const { return m_height; }

    // Writes result rows [y0, y1) into `pixels`, whose rows are `strideBytes`
    // apart and start at result row 0. Reads only the source; threads may
    // write disjoint row ranges of one result at the same time.
    void ScaleRows(std::uint32_t* pixels, int strideBytes, int y0, int y1) const;

private:
    // For each result coordinate, the first source index and `taps` weights.
    struct Axis {
        int taps = 0;
        std::vector<int> first;
        std::vector<float> weights;  // taps per result coordinate
    };
    static Axis MakeAxis(int source, int result);
    static Axis PartAxis(int source, int result, int from, int to);

    SourcePlanes m_source;
    int m_width, m_height;
    Axis m_x, m_y;
};

}  // namespace picture_controls
