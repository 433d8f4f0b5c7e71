#pragma once
// The link control's rules without a window: its option bits, the colour
// its text takes, its size when it fits its text, and opening its target
// through the desktop (http/https pages and existing files only; the target
// reaches the opener as one argument, never through a command line).
#include <cstdint>
#include <functional>
#include <string>

namespace picture_controls {

using LinkColour = std::uint32_t;  // 0x00BBGGRR

namespace link_option {
constexpr int kUnderline = 0x01;
constexpr int kUseHover = 0x02;
constexpr int kAutoSize = 0x04;
constexpr int kDownClick = 0x08;
constexpr int kGetFocusOnClick = 0x10;
constexpr int kNoHandCursor = 0x20;
constexpr int kNoActiveColour = 0x40;
constexpr int kDefault = kUnderline | kAutoSize | kGetFocusOnClick;  // 21
}  // namespace link_option

constexpr LinkColour kLinkColour = 0xFF0000;     // R 0 G 0 B 255
constexpr LinkColour kActiveColour = 0x808000;   // R 0 G 128 B 128
constexpr LinkColour kVisitedColour = 0x800080;  // R 128 G 0 B 128
constexpr LinkColour kHoverColour = 0x0000FF;    // R 255 G 0 B 0

struct LinkState {
    bool active = false;
    bool hover = false;
    bool visited = false;
    int options = link_option::kDefault;
};

LinkColour LinkTextColour(const LinkState& s);

// Sizing to the text: the control's rectangle (x, y, w, h) becomes the text's
// size, keeping the top-left unless the text is centred vertically (the
// height changes about the centre), centred horizontally (the width about the
// centre) or right-aligned (the right edge stays).
struct LinkRect {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const LinkRect&, const LinkRect&) = default;
};
enum class LinkAlign { Left, Centre, Right };
LinkRect SizeLinkToText(LinkRect r, int text_width, int text_height, LinkAlign horizontal, bool centre_vertical);

// Opens `target` with the desktop opener (a program name or path; the
// desktop's own opener by default). False with the text to show the user
// ("Can't open link:\n\n" and the reason) when it is refused or cannot start.
using LinkOpener = std::function<bool(const std::string& target, std::string* error)>;
LinkOpener DesktopLinkOpener(const std::string& opener_program = "xdg-open");
bool OpenLinkTarget(const std::string& target, const LinkOpener& opener, std::string* message);

}  // namespace picture_controls
