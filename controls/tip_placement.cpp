#include "controls/tip_placement.h"

namespace controls {

TipRect TipRectFor(int x, int y, int textWidth, int textHeight) {
    return TipRect{x, y - textHeight - 16, x + textWidth + 8, y - 10};
}

bool TipRequestShows(bool tipVisible, bool programHasFocus) { return !tipVisible && programHasFocus; }

}  // namespace controls
