#include "picture_controls/icon_menu_picture.h"

namespace picture_controls {

namespace {
bool InShape(std::uint32_t p) {
    if ((p >> 24) < 0x80) return false;
    const bool white = ((p >> 16) & 0xFF) >= 0xE0 && ((p >> 8) & 0xFF) >= 0xE0 && (p & 0xFF) >= 0xE0;
    return !white;
}
}  // namespace

std::vector<std::uint32_t> EmbossPicture(std::span<const std::uint32_t> argb, int width, int height,
                                         std::uint32_t light, std::uint32_t shade) {
    if (width <= 0 || height <= 0 || argb.size() < static_cast<std::size_t>(width) * height) return {};
    const std::size_t n = static_cast<std::size_t>(width) * height;
    std::vector<std::uint32_t> out(n, 0);
    auto at = [width](int x, int y) { return static_cast<std::size_t>(y) * width + x; };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (InShape(argb[at(x, y)]) && x + 1 < width && y + 1 < height) out[at(x + 1, y + 1)] = light | 0xFF000000u;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (InShape(argb[at(x, y)])) out[at(x, y)] = shade | 0xFF000000u;
    return out;
}

}  // namespace picture_controls
