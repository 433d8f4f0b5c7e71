#pragma once
// Plain geometry of the stage editor: points and rectangles in window
// coordinates (a rectangle holds its left and top edge, not its right and
// bottom edge), and the rule that fits a picture into a box.
#include <algorithm>

namespace project_editor {

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
    // The rectangle between two corners, whichever way round they are.
    static Rect Normalised(Point a, Point b) {
        return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Shrinks the box (x, y, w, h) to a picture's aspect ratio and centres it
// across: a landscape picture lands in a square of side w, a portrait one in
// a square of side h, a square picture (or one of unknown size) keeps the
// box. Drawing and hit testing use the same fitted box.
void FitRect(int pictureWidth, int pictureHeight, int& x, int& y, int& w, int& h);
Rect FittedBox(int pictureWidth, int pictureHeight, int x, int y, int w, int h);

}  // namespace project_editor
