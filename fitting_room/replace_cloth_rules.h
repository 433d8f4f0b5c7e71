#pragma once
// The replace-garment dialog without a window: the folder's pictures, the
// thumbnail grid and its pages, and the scale that keeps a replaced garment
// at its old width on the stage.
#include <filesystem>
#include <string>
#include <vector>

#include "picture_controls/geometry.h"

namespace fitting_room {

using picture_controls::Point;
using picture_controls::Rect;

inline constexpr int kMaxReplaceNames = 260;
inline constexpr int kThumbCell = 66;
inline constexpr int kThumbBox = 60;

// The file names of the folder's PNG pictures, at most 260, in name order.
// The extension matches without regard to case, and each name keeps its own
// (".png", ".PNG", ...), so the file is opened under the name it has.
std::vector<std::string> ListPngFiles(const std::filesystem::path& folder);

// Target width x item scale / source width; the old scale when either width
// is unknown (0 or less).
float ReplacedScale(int targetWidth, float itemScale, int sourceWidth);

struct ThumbGrid {
    int columns = 0;
    int rows = 0;
    int left = 0;  // top-left of the first cell
    int top = 0;
    int PageSize() const { return columns * rows; }
    Point CellOrigin(int row, int column) const { return {left + column * kThumbCell, top + row * kThumbCell}; }
};
ThumbGrid LayOutThumbs(const Rect& area);

// The name index under the point (the 60 x 60 box shrunk by 3), or -1.
int ThumbAt(const ThumbGrid& g, int pageStart, int count, Point p);

// Page moves: back by a page (not below 0); forward only when the new start
// is still below the count.
int PageBack(int pageStart, const ThumbGrid& g);
int PageForward(int pageStart, const ThumbGrid& g, int count);

}  // namespace fitting_room
