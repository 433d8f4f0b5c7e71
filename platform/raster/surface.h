#pragma once
// An ARGB32 picture in memory that is drawn on with the pixel rules the
// system's stored pictures were made with: pen widths, lines that leave out
// their last pixel, polygons filled by one scan converter, inscribed ellipses,
// the exclusive-or pens, focus rectangles, and pixels read back. Drawn items
// that end up in pictures and the photo editor draw here; a window shows the
// surface with one blit. Plain memory, no toolkit: usable on any thread, one
// thread per surface.
//
// Coordinates are pixel indices, x to the right and y down; a pixel (x, y)
// covers [x, x+1) x [y, y+1). Shapes given as boxes (l, t, r, b) cover the
// columns l..r-1 and rows t..b-1. Anything outside the surface is clipped.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/raster/scan.h"

namespace platform::raster {

using Argb = std::uint32_t;      // 0xAARRGGBB
using ColorRef = std::uint32_t;  // 0x00BBGGRR, the system's colour values

constexpr ColorRef kInvalidColor = 0xFFFFFFFFu;  // GetPixel outside the surface

constexpr Argb ToArgb(ColorRef c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr ColorRef ToColorRef(Argb a) {
    return ((a >> 16) & 0xFFu) | (a & 0xFF00u) | ((a & 0xFFu) << 16);
}

enum class PenStyle { Solid, Dash, Dot };

// How a pen's colour meets the pixel under it (the colour channels; every
// pixel drawn becomes opaque).
enum class Rop2 {
    CopyPen,    // the pen's colour
    XorPen,     // pen ^ pixel: drawing the same thing twice restores the pixels
    NotXorPen,  // ~(pen ^ pixel): twice restores too
    Not,        // ~pixel, whatever the pen
};

struct Pen {
    ColorRef colour = 0;
    int width = 1;  // below 1 draws 1
    PenStyle style = PenStyle::Solid;
};

// Pixel rules of the pen:
// - Width 1 (cosmetic): Bresenham lines that leave out their end pixel, so a
//   polyline touches each joint once. Dash (18 on, 6 off) and Dot (3 on,
//   3 off) patterns run on along a polyline; the gaps are left untouched.
// - Width w > 1: every pixel whose centre lies closer than w/2 to the segment
//   (round caps and joins; the centre line sits on pixel centres for odd w and
//   between pixels for even w, so a horizontal line of width w covers w rows).
//   A polyline is one stroke: each pixel changes once even where segments
//   overlap (which matters for the exclusive-or pens). Wide pens are solid.
class Surface {
public:
    Surface() = default;
    Surface(int width, int height, ColorRef background = 0xFFFFFF);
    // A surface whose pixels all start as `fill` (alpha included): with 0 it
    // is transparent, and every pixel drawn on becomes opaque, so the alpha
    // tells which pixels the drawing covered.
    static Surface WithArgb(int width, int height, Argb fill);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool empty() const { return m_width <= 0 || m_height <= 0; }

    // Reading back: the colour at (x, y), kInvalidColor outside.
    ColorRef GetPixel(int x, int y) const;
    Argb ArgbAt(int x, int y) const;
    void SetPixel(int x, int y, ColorRef c);
    // Rows of `width()` pixels, top to bottom.
    Argb* Row(int y) { return m_pixels.data() + static_cast<std::size_t>(y) * m_width; }
    const Argb* Row(int y) const { return m_pixels.data() + static_cast<std::size_t>(y) * m_width; }
    const std::vector<Argb>& pixels() const { return m_pixels; }

    // Plain fills, not through the pen.
    void Fill(ColorRef c);
    void FillArgb(Argb a);
    void FillRect(int l, int t, int r, int b, ColorRef c);

    // Drawing state.
    void SetPen(const Pen& pen) { m_pen = pen; }
    const Pen& pen() const { return m_pen; }
    void SetRop2(Rop2 rop) { m_rop = rop; }
    Rop2 rop2() const { return m_rop; }
    Point position() const { return m_pos; }

    // Pen drawing, through the raster operation.
    void MoveTo(int x, int y) { m_pos = {x, y}; }
    void LineTo(int x, int y);                      // from the position; moves it
    void Polyline(std::span<const Point> points);  // one stroke; the position is left alone
    // The outline of the box (l, t, r, b), normalised: a closed polyline
    // through its corners (l, t), (r, t), (r, b), (l, b).
    void FrameBox(int l, int t, int r, int b);
    // The outline of the ellipse inscribed in the box, normalised (columns
    // l..r-1, rows t..b-1); a wide pen makes a ring centred on that outline.
    void Ellipse(int l, int t, int r, int b);
    // Spans in the pen's colour (its width plays no part).
    void FillSpans(std::span<const Span> spans);
    // The polygon through `points` (closed; half-open rule of scan.h) in the
    // pen's colour.
    void FillPolygon(std::span<const Point> points);
    // The dotted focus outline of the box (l, t, r, b): every other pixel of
    // its border inverted, starting at the top-left corner; twice restores.
    void FocusRect(int l, int t, int r, int b);

private:
    void Apply(int y, int x0, int x1);  // half-open run through the raster op

    int m_width = 0;
    int m_height = 0;
    std::vector<Argb> m_pixels;
    Pen m_pen;
    Rop2 m_rop = Rop2::CopyPen;
    Point m_pos;
};

// The pixel spans a pen stroke covers (the rules above), each pixel once,
// sorted by row then x. Used by painters that draw the exclusive-or pens on a
// toolkit's context by reading the pixels back. A thin dashed or dotted line
// gives its dashes.
std::vector<Span> StrokeSpans(std::span<const Point> points, const Pen& pen);
std::vector<Span> EllipseSpans(int l, int t, int r, int b, const Pen& pen);
std::vector<Span> FocusRectSpans(int l, int t, int r, int b);  // its dots, 1 px each

}  // namespace platform::raster
