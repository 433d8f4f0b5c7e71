// The stage's picture scaler: premultiplied pixels out, box filter when
// shrinking, bilinear when enlarging, and bands of rows and parts of the
// result that join seamlessly.
#include "picture_controls/picture_scaler.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

using picture_controls::PictureScaler;
using picture_controls::SourcePlanes;

namespace {

struct Picture {
    int w, h;
    std::vector<std::uint8_t> rgb, alpha;
    SourcePlanes planes() const { return {rgb.data(), alpha.empty() ? nullptr : alpha.data(), w, h}; }
};

Picture Random(int w, int h, bool withAlpha, unsigned seed) {
    std::mt19937 gen(seed);
    Picture p{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w * h * 3)), {}};
    for (auto& c : p.rgb) c = static_cast<std::uint8_t>(gen());
    if (withAlpha) {
        p.alpha.resize(static_cast<std::size_t>(w * h));
        for (auto& a : p.alpha) a = static_cast<std::uint8_t>(gen());
    }
    return p;
}

std::vector<std::uint32_t> Scale(const Picture& p, int w, int h) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w * h), 0xDEADBEEF);
    PictureScaler(p.planes(), w, h).ScaleRows(out.data(), w * 4, 0, h);
    return out;
}

unsigned Channel(std::uint32_t p, int shift) { return (p >> shift) & 0xFF; }

}  // namespace

TEST(PictureScaler, TheOwnSizeCopiesPremultipliedPixels) {
    Picture p{2, 1, {200, 100, 50, 10, 20, 30}, {255, 128}};
    const auto out = Scale(p, 2, 1);
    EXPECT_EQ(out[0], 0xFFC86432u);
    // 10, 20, 30 at alpha 128: each channel times 128 / 255, rounded.
    EXPECT_EQ(out[1], (128u << 24) | (5u << 16) | (10u << 8) | 15u);
    p.alpha.clear();  // opaque
    EXPECT_EQ(Scale(p, 2, 1)[1], 0xFF0A141Eu);
}

TEST(PictureScaler, ShrinkingAveragesTheCoveredPixels) {
    // 4 x 2 opaque grey levels to 2 x 1: each result is the mean of a 2 x 2 block.
    Picture p{4, 2, {}, {}};
    const std::uint8_t grey[8] = {0, 100, 200, 40, 20, 80, 60, 100};
    for (std::uint8_t g : grey) p.rgb.insert(p.rgb.end(), {g, g, g});
    const auto out = Scale(p, 2, 1);
    EXPECT_EQ(Channel(out[0], 0), 50u);   // (0 + 100 + 20 + 80) / 4
    EXPECT_EQ(Channel(out[1], 0), 100u);  // (200 + 40 + 60 + 100) / 4
    EXPECT_EQ(Channel(out[0], 24), 255u);
    // A factor that is not whole: 3 pixels to 2 cover 1.5 source pixels each.
    Picture q{3, 1, {0, 0, 0, 90, 90, 90, 180, 180, 180}, {}};
    const auto thirds = Scale(q, 2, 1);
    EXPECT_EQ(Channel(thirds[0], 8), 30u);   // (0 + 0.5 * 90) / 1.5
    EXPECT_EQ(Channel(thirds[1], 8), 150u);  // (0.5 * 90 + 180) / 1.5
}

TEST(PictureScaler, EnlargingBlendsNeighboursAndKeepsFlatColoursFlat) {
    Picture flat{3, 2, {}, {}};
    for (int i = 0; i < 6; ++i) flat.rgb.insert(flat.rgb.end(), {12, 34, 56});
    for (std::uint32_t px : Scale(flat, 7, 5)) EXPECT_EQ(px, 0xFF0C2238u);
    // 0 and 200 side by side, doubled: the outer pixels keep their value,
    // the inner ones take a quarter and three quarters.
    Picture edge{2, 1, {0, 0, 0, 200, 200, 200}, {}};
    const auto out = Scale(edge, 4, 1);
    EXPECT_EQ(Channel(out[0], 16), 0u);
    EXPECT_EQ(Channel(out[1], 16), 50u);
    EXPECT_EQ(Channel(out[2], 16), 150u);
    EXPECT_EQ(Channel(out[3], 16), 200u);
}

TEST(PictureScaler, TransparentPixelsGiveNoColourToTheirNeighbours) {
    // Opaque blue beside fully transparent red: the blend holds no red.
    Picture p{2, 1, {255, 0, 0, 0, 0, 255}, {0, 255}};
    for (int w : {1, 3, 5}) {
        for (std::uint32_t px : Scale(p, w, 1)) {
            EXPECT_EQ(Channel(px, 16), 0u) << w;
            EXPECT_LE(Channel(px, 0), Channel(px, 24)) << w;
        }
    }
}

TEST(PictureScaler, BandsAndPartsEqualTheWholeResult) {
    struct Case {
        int sw, sh, w, h;
        bool alpha;
    };
    const Case cases[] = {
        {160, 120, 192, 144, false},  // a room background stretched
        {200, 270, 164, 221, true},   // a garment shrunk
        {37, 53, 90, 20, true},       // wider and flatter
        {1, 1, 9, 7, false},          // one pixel
        {50, 50, 1, 1, true},         // to one pixel
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sw) + "x" + std::to_string(c.sh) + " to " + std::to_string(c.w) + "x" +
                     std::to_string(c.h));
        const Picture p = Random(c.sw, c.sh, c.alpha, static_cast<unsigned>(c.sw * 31 + c.w));
        const auto whole = Scale(p, c.w, c.h);
        // Rows written with a wider stride, in bands of 7, last band first.
        const int stride = c.w + 3;
        std::vector<std::uint32_t> banded(static_cast<std::size_t>(stride * c.h), 0);
        PictureScaler scaler(p.planes(), c.w, c.h);
        for (int y = (c.h - 1) / 7 * 7; y >= 0; y -= 7) scaler.ScaleRows(banded.data(), stride * 4, y, y + 7);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                ASSERT_EQ(banded[static_cast<std::size_t>(y * stride + x)], whole[static_cast<std::size_t>(y * c.w + x)])
                    << x << "," << y;
        // A part of the result, as for a picture reaching past the window.
        const int left = c.w / 3, top = c.h / 4, right = c.w - c.w / 5, bottom = c.h;
        std::vector<std::uint32_t> part(static_cast<std::size_t>((right - left) * (bottom - top)));
        PictureScaler(p.planes(), c.w, c.h, left, top, right, bottom)
            .ScaleRows(part.data(), (right - left) * 4, 0, bottom - top);
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                ASSERT_EQ(part[static_cast<std::size_t>((y - top) * (right - left) + x - left)],
                          whole[static_cast<std::size_t>(y * c.w + x)])
                    << x << "," << y;
        for (std::uint32_t px : whole) {
            if (!c.alpha) {
                EXPECT_EQ(Channel(px, 24), 255u);
            }
            EXPECT_LE(Channel(px, 16), Channel(px, 24));
        }
    }
}
