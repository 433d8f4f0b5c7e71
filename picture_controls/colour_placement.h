#pragma once
// Where the colour chooser appears: the caller's point and mode, the
// program's placement rules, and the screen. The result always lies on the
// display area (a dialog larger than the area keeps its top-left corner on
// it), so a chooser placed near an edge of a small screen stays reachable.
#include <optional>

namespace picture_controls {

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

enum class ColourPlacementMode : int {
    System = 0,        // where the toolkit puts it (centred)
    TopLeft = 1001,    // top-left corner at (x, y)
    BottomLeft = 2011, // bottom-left corner at (x, y) (the photo editor's rule)
};

// Which modes a program honours: the project builder places only by the
// top-left corner; the photo editor by either corner.
enum class ColourPlacementRules { ProjectBuilder, PhotoEditor };

// The dialog's top-left corner in screen coordinates for (x, y, mode), or
// none for the system's placement (then the toolkit centres it). `area` is
// the work area of the display that holds (x, y).
std::optional<ScreenRect> PlaceColourDialog(int x, int y, int mode, int dialog_width, int dialog_height,
                                            const ScreenRect& area, ColourPlacementRules rules);

// Moves `r` the least distance that puts it inside `area`; when it is larger,
// its top-left corner goes to the area's.
ScreenRect KeepOnArea(ScreenRect r, const ScreenRect& area);

}  // namespace picture_controls
