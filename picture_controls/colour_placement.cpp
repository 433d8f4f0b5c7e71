#include "picture_controls/colour_placement.h"

#include <algorithm>

namespace picture_controls {

ScreenRect KeepOnArea(ScreenRect r, const ScreenRect& area) {
    r.x = std::min(r.x, area.x + area.width - r.width);
    r.y = std::min(r.y, area.y + area.height - r.height);
    r.x = std::max(r.x, area.x);
    r.y = std::max(r.y, area.y);
    return r;
}

std::optional<ScreenRect> PlaceColourDialog(int x, int y, int mode, int dialog_width, int dialog_height,
                                            const ScreenRect& area, ColourPlacementRules rules) {
    ScreenRect r{x, y, dialog_width, dialog_height};
    switch (mode) {
    case static_cast<int>(ColourPlacementMode::TopLeft):
        break;
    case static_cast<int>(ColourPlacementMode::BottomLeft):
        if (rules != ColourPlacementRules::PhotoEditor) return std::nullopt;
        r.y = y - dialog_height;
        break;
    default:
        return std::nullopt;
    }
    return KeepOnArea(r, area);
}

}  // namespace picture_controls
