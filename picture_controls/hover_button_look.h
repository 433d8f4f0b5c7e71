#pragma once
// How a hover button paints in each state, as plain values: the gradients,
// frames, text colour and where the caption and icon go. The window side
// (hover_button.h) draws what this decides.
#include <cstdint>
#include <vector>

namespace picture_controls {

using HbColour = std::uint32_t;  // 0x00BBGGRR

// The two programs draw the button slightly differently: the photo editor
// honours the drawing style (9 puts the icon left of the caption), the
// project builder always centres and greys a disabled caption.
enum class HoverButtonLook { ProjectBuilder, PhotoEditor };

struct HoverButtonColours {
    HbColour frame = 0x807C6E;
    HbColour glow = 0x5078FF;
    HbColour textHover = 0;
    HbColour textNormal = 0;
    HbColour textPressed = 0;
    HbColour light = 0xE6E6E6;
    HbColour shade = 0x808080;
    HbColour faceTop = 0xFFFFFF;
    HbColour faceBottom = 0xFFE6E6;
};

struct HoverButtonState {
    bool pressed = false;
    bool hovering = false;
    bool disabled = false;
    bool hasIcon = false;
    bool hasCaption = true;
    int style = 9;
};

struct BoxI {
    int left = 0;
    int top = 0;
    int right = 0;   // exclusive
    int bottom = 0;  // exclusive
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const BoxI&, const BoxI&) = default;
};

struct GradientFill {
    HbColour from = 0;
    HbColour to = 0;
    BoxI box;
};

struct HoverButtonFace {
    std::vector<GradientFill> gradients;  // in order
    bool frame3d = true;        // rounded frame in the frame colour, 3-D rectangle 1 px inside
    HbColour light = 0;         // of the 3-D rectangle
    HbColour shade = 0;
    bool glowOutline = false;   // the rounded rectangle one pixel in, while hovering
    HbColour textColour = 0;
    enum class Label { Centred, LeftOfIcon, Dashes, None } label = Label::Centred;
    enum class Icon { None, AtTopLeft, Centred } icon = Icon::None;
};

// The face of a button of `size` in `state`.
HoverButtonFace FaceOf(const HoverButtonState& state, const HoverButtonColours& colours, BoxI item,
                       HoverButtonLook look);

// The colours of the 1-pixel rows of a vertical gradient from `a` to `b` over
// `height` rows: each channel steps by (a - b) / height (integer division),
// row i being a minus (i + 1) steps. Height 0 or less: no rows.
std::vector<HbColour> GradientRows(HbColour a, HbColour b, int height);

}  // namespace picture_controls
