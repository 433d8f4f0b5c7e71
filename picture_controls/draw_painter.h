#pragma once
// What the drawing-item list draws with: pen, raster operation, polylines,
// inscribed ellipses, filled polygons and focus outlines. Two painters carry it
// out: RasterDrawPainter on our own ARGB surface (pictures, the photo editor,
// tests) and DcDrawPainter (dc_draw_painter.h) on a toolkit context (windows).
// A painter is used on one thread, for one drawing pass.
#include <span>

#include "platform/raster/surface.h"

namespace picture_controls {

using platform::raster::ColorRef;
using platform::raster::Pen;
using platform::raster::PenStyle;
using platform::raster::Point;
using platform::raster::Rop2;
using platform::raster::Span;

class DrawPainter {
public:
    virtual ~DrawPainter() = default;

    virtual void SetPen(const Pen& pen) = 0;
    virtual void SetRop2(Rop2 rop) = 0;
    // An open polyline that leaves out its last pixel (surface.h's rules).
    virtual void Polyline(std::span<const Point> points) = 0;
    // The outline of the ellipse inscribed in the box (l, t, r, b).
    virtual void Ellipse(int l, int t, int r, int b) = 0;
    // The closed polygon filled in the pen's colour by the scan rule of
    // platform/raster/scan.h.
    virtual void FillPolygon(std::span<const Point> points) = 0;
    // The dotted focus outline of the box: inverts every other border pixel.
    virtual void FocusRect(int l, int t, int r, int b) = 0;

    void Line(int x1, int y1, int x2, int y2) {
        const Point p[2] = {{x1, y1}, {x2, y2}};
        Polyline(p);
    }
};

// Draws on a raster surface; the surface's pen and raster operation are the
// painter's, and are left as the last drawing set them.
class RasterDrawPainter final : public DrawPainter {
public:
    explicit RasterDrawPainter(platform::raster::Surface& surface) : m_surface(surface) {}

    void SetPen(const Pen& pen) override { m_surface.SetPen(pen); }
    void SetRop2(Rop2 rop) override { m_surface.SetRop2(rop); }
    void Polyline(std::span<const Point> points) override { m_surface.Polyline(points); }
    void Ellipse(int l, int t, int r, int b) override { m_surface.Ellipse(l, t, r, b); }
    void FillPolygon(std::span<const Point> points) override { m_surface.FillPolygon(points); }
    void FocusRect(int l, int t, int r, int b) override { m_surface.FocusRect(l, t, r, b); }

private:
    platform::raster::Surface& m_surface;
};

}  // namespace picture_controls
