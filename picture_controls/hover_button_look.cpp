#include "picture_controls/hover_button_look.h"

namespace picture_controls {

namespace {

constexpr HbColour kDisabledText = 0xC0C0C0;
constexpr int kPaleLift = 100;  // added to the glow's green and blue for the top of the halo

int Channel(HbColour c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

HbColour Pack(int r, int g, int b) {
    auto clamp = [](int v) { return static_cast<HbColour>(v < 0 ? 0 : v > 255 ? 255 : v); };
    return clamp(r) | (clamp(g) << 8) | (clamp(b) << 16);
}

}  // namespace

std::vector<HbColour> GradientRows(HbColour a, HbColour b, int height) {
    std::vector<HbColour> rows;
    if (height <= 0) return rows;
    const int step[3] = {(Channel(a, 0) - Channel(b, 0)) / height, (Channel(a, 8) - Channel(b, 8)) / height,
                         (Channel(a, 16) - Channel(b, 16)) / height};
    rows.reserve(static_cast<std::size_t>(height));
    for (int i = 0; i < height; ++i)
        rows.push_back(Pack(Channel(a, 0) - (i + 1) * step[0], Channel(a, 8) - (i + 1) * step[1],
                            Channel(a, 16) - (i + 1) * step[2]));
    return rows;
}

HoverButtonFace FaceOf(const HoverButtonState& state, const HoverButtonColours& c, BoxI item,
                       HoverButtonLook look) {
    HoverButtonFace f;
    const bool hovering = state.hovering && !state.pressed;
    if (state.pressed) {
        f.gradients.push_back({c.faceBottom, c.faceTop, item});
        f.light = c.shade;
        f.shade = c.shade;
        f.textColour = c.textPressed;
    } else {
        f.gradients.push_back({c.faceTop, c.faceBottom, item});
        f.light = c.light;
        f.shade = c.shade;
        f.textColour = c.textNormal;
    }
    if (hovering) {
        const HbColour pale = Pack(Channel(c.glow, 0), Channel(c.glow, 8) + kPaleLift, Channel(c.glow, 16) + kPaleLift);
        f.gradients.push_back({pale, c.glow, item});
        f.gradients.push_back(
            {c.faceTop, c.faceBottom, BoxI{item.left + 2, item.top + 2, item.right - 2, item.bottom - 2}});
        f.glowOutline = true;
        f.textColour = c.textHover;
    }
    const bool iconLeft = look == HoverButtonLook::PhotoEditor && state.style == 9;
    if (iconLeft) {
        if (state.disabled) f.textColour = kDisabledText;
        f.icon = state.hasIcon ? HoverButtonFace::Icon::AtTopLeft : HoverButtonFace::Icon::None;
        f.label = state.hasCaption ? (state.hasIcon ? HoverButtonFace::Label::LeftOfIcon : HoverButtonFace::Label::Centred)
                                   : HoverButtonFace::Label::None;
        return f;
    }
    if (state.disabled && look == HoverButtonLook::PhotoEditor) {
        f.textColour = kDisabledText;
        f.label = HoverButtonFace::Label::Dashes;
        f.icon = HoverButtonFace::Icon::None;
        return f;
    }
    if (state.disabled) f.textColour = kDisabledText;
    if (state.hasIcon) {
        f.icon = HoverButtonFace::Icon::Centred;
        f.label = HoverButtonFace::Label::None;
    } else {
        f.label = state.hasCaption ? HoverButtonFace::Label::Centred : HoverButtonFace::Label::None;
    }
    return f;
}

}  // namespace picture_controls
