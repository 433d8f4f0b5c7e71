#pragma once
// Colours are written in the system's files and tables as 0x00BBGGRR values;
// this is the one place that turns them into toolkit colours and back.
#include <cstdint>
#include <wx/colour.h>

namespace platform::ui {

using ColorRef = std::uint32_t;

constexpr ColorRef Rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned RedOf(ColorRef c) { return c & 0xFF; }
constexpr unsigned GreenOf(ColorRef c) { return (c >> 8) & 0xFF; }
constexpr unsigned BlueOf(ColorRef c) { return (c >> 16) & 0xFF; }

inline wxColour ToColour(ColorRef c) { return wxColour(RedOf(c), GreenOf(c), BlueOf(c)); }
inline ColorRef FromColour(const wxColour& c) { return Rgb(c.Red(), c.Green(), c.Blue()); }

}  // namespace platform::ui
