// libFuzzer target: the bitmap reader of the measurement figures and the
// painter's placement of what it read. Any bytes (run-length streams among
// them) load or are refused without reading or writing outside the input or
// the picture; a loaded picture has width x height pixels and at
// most 256 colours, and the part of it that lands on an area, wherever the
// picture is put (positions near the limits of int included), lies inside
// the area and holds the picture's own pixels.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "measure_market/dib_file.h"

namespace {

void CheckPlacement(const measure::CDibFile& dib, int x, int y, int areaW, int areaH) {
    const measure::DibPatch p = measure::VisiblePart(dib, x, y, areaW, areaH);
    if (p.width == 0 && p.height == 0) {
        if (!p.rgb.empty()) std::abort();
        return;
    }
    if (p.width <= 0 || p.height <= 0 || p.x < 0 || p.y < 0 || p.x + p.width > areaW || p.y + p.height > areaH)
        std::abort();
    if (p.rgb.size() != static_cast<std::size_t>(p.width) * p.height * 3) std::abort();
    // The patch's corners are the picture's pixels under them.
    const int corners[2][2] = {{0, 0}, {p.width - 1, p.height - 1}};
    for (const auto& c : corners) {
        const std::int64_t sx = static_cast<std::int64_t>(p.x) + c[0] - x, sy = static_cast<std::int64_t>(p.y) + c[1] - y;
        if (sx < 0 || sy < 0 || sx >= dib.width() || sy >= dib.height()) std::abort();
        const std::uint8_t* from = dib.rgb().data() + (sy * dib.width() + sx) * 3;
        const std::uint8_t* to = p.rgb.data() + (static_cast<std::size_t>(c[1]) * p.width + c[0]) * 3;
        if (std::memcmp(from, to, 3) != 0) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    measure::CDibFile dib;
    const measure::DibStatus s = dib.LoadBytes(std::span(data, size));
    if (s == measure::DibStatus::Loaded) {
        if (dib.width() <= 0 || dib.height() <= 0 || dib.colourCount() > 256) std::abort();
        if (dib.rgb().size() != static_cast<std::size_t>(dib.width()) * dib.height() * 3) std::abort();
    } else if (!dib.rgb().empty()) {
        std::abort();
    }
    // The form draws its figure at the area's corner; other places come from
    // the input's last bytes.
    std::int32_t x = 0, y = 0;
    if (size >= 8) {
        std::memcpy(&x, data + size - 8, 4);
        std::memcpy(&y, data + size - 4, 4);
    }
    CheckPlacement(dib, 0, 0, 480, 470);
    CheckPlacement(dib, x, y, 64, 48);
    CheckPlacement(dib, INT_MAX - 1, INT_MIN + 1, 64, 48);
    CheckPlacement(dib, -dib.width() + 1, -dib.height() + 1, 64, 48);
    return 0;
}
