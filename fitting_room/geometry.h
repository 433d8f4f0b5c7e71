#pragma once
// Plain geometry of the fitting room: points and rectangles in window
// coordinates (a rectangle holds its left and top edge, not its right and
// bottom edge), and the fitting rules that decide where pictures land.
#include <algorithm>

namespace fitting_room {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static Rect FromSize(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    Rect Inflate(int d) const { return {left - d, top - d, right + d, bottom + d}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// An item box (x, y, w, h) shrunk to the picture's aspect ratio: a landscape
// picture is centred in a square of side w, a portrait one in a square of
// side h. Drawing and hit testing both use this rectangle. Empty when the
// picture's natural size is unknown (0).
Rect FitItemBox(int x, int y, int w, int h, int naturalWidth, int naturalHeight);

// The factor that makes a picture cover a box (the larger of the two ratios)
// and the one that makes it fit inside (the smaller). 0 for an empty picture.
double CoverScale(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight);
double ContainScale(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight);

// A picture of the given size scaled by `scale` with its top-left at (x, y)
// (sizes truncated).
Rect ScaledAt(int x, int y, int pictureWidth, int pictureHeight, double scale);

}  // namespace fitting_room
