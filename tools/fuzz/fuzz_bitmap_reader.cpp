// libFuzzer target: the bitmap reader of the measurement figures. Any bytes
// load or are refused without reading outside them; a loaded picture has
// width x height pixels and at most 256 colours.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "measure_market/dib_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    measure::CDibFile dib;
    const measure::DibStatus s = dib.LoadBytes(std::span(data, size));
    if (s == measure::DibStatus::Loaded) {
        if (dib.width() <= 0 || dib.height() <= 0 || dib.colourCount() > 256) std::abort();
        if (dib.rgb().size() != static_cast<std::size_t>(dib.width()) * dib.height() * 3) std::abort();
    } else if (!dib.rgb().empty()) {
        std::abort();
    }
    return 0;
}
