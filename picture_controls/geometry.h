#pragma once
// Plain geometry of the windows that show pictures (the fitting room, the
// stage editor, the market): points and rectangles in window coordinates (a
// rectangle holds its left and top edge, not its right and bottom edge), and
// the fitting rules that decide where pictures land. The point is the one of
// our raster surface, so drawing items and windows share it.
#include <algorithm>

#include "platform/raster/scan.h"

namespace picture_controls {

using platform::raster::Point;

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static Rect FromSize(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
    // The rectangle between two corners, whichever way round they are.
    static Rect Normalised(Point a, Point b) {
        return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    Rect Inflate(int d) const { return {left - d, top - d, right + d, bottom + d}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Shrinks the box (x, y, w, h) to a picture's aspect ratio and centres it
// across: a landscape picture lands in a square of side w, a portrait one in
// a square of side h, a square picture (or one of unknown size) keeps the
// box. Drawing and hit testing use the same fitted box.
void FitRect(int pictureWidth, int pictureHeight, int& x, int& y, int& w, int& h);
Rect FittedBox(int pictureWidth, int pictureHeight, int x, int y, int w, int h);
// The same fitted box, but empty when the picture's natural size is unknown (0).
Rect FitItemBox(int x, int y, int w, int h, int naturalWidth, int naturalHeight);

// The factor that makes a picture cover a box (the larger of the two ratios)
// and the one that makes it fit inside (the smaller). 0 for an empty picture.
double CoverScale(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight);
double ContainScale(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight);

// A picture of the given size scaled by `scale` with its top-left at (x, y)
// (sizes truncated).
Rect ScaledAt(int x, int y, int pictureWidth, int pictureHeight, double scale);

}  // namespace picture_controls
