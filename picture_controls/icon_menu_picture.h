#pragma once
// The embossed form of an icon menu's picture, as a disabled item shows it:
// the picture's shape (its pixels that are neither transparent nor white)
// drawn in the light colour one pixel right of and below its place, then in
// the shade colour in place, on a transparent ground; the picture's own
// colours are gone. Pixels are ARGB (0xAARRGGBB) row by row; a pixel counts
// as transparent below alpha 128, as white with every channel 0xE0 or more.
#include <cstdint>
#include <span>
#include <vector>

namespace picture_controls {

std::vector<std::uint32_t> EmbossPicture(std::span<const std::uint32_t> argb, int width, int height,
                                         std::uint32_t light, std::uint32_t shade);

}  // namespace picture_controls
