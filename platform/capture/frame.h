#pragma once
// One video frame as the capture layer hands it on: 24-bit pixels in the
// layout of a bottom-up device-independent bitmap (rows from the bottom of
// the picture up, blue-green-red, each row padded to a multiple of 4 bytes),
// so that a frame file is its header followed by these bytes unchanged.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::capture {

// Bytes of one stored row of a 24-bit frame `width` pixels wide.
constexpr std::size_t DibStride(int width) { return (std::size_t(width) * 3 + 3) & ~std::size_t(3); }

// Bytes of a whole 24-bit frame.
constexpr std::size_t DibSize(int width, int height) { return DibStride(width) * std::size_t(height); }

struct VideoFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> dib;  // DibSize(width, height) bytes
    std::uint64_t number = 0;       // 1 for the first frame of a stream

    // The colour at (x, y), y counted from the top of the picture.
    void PixelAt(int x, int y, std::uint8_t* r, std::uint8_t* g, std::uint8_t* b) const {
        const std::uint8_t* p = dib.data() + DibStride(width) * std::size_t(height - 1 - y) + std::size_t(x) * 3;
        *b = p[0];
        *g = p[1];
        *r = p[2];
    }
};

}  // namespace platform::capture
