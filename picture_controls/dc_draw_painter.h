#pragma once
// Draws the drawing-item list on a toolkit context (a window's paint, a
// memory bitmap). Copy-pen drawing uses the context's own lines and polygons
// without antialiasing. The exclusive-or pens and focus outlines, which the
// toolkit's contexts cannot draw, are made by reading the covered pixels back,
// changing them by the raster rule and drawing them again, so the feedback
// looks as on our own surfaces; this needs a context whose pixels can be read
// (a memory context, as every buffered paint is); on any other one the shape
// is drawn in the pen's colour. Main thread only.
#include <wx/dc.h>
#include <wx/graphics.h>

#include "picture_controls/draw_painter.h"

namespace picture_controls {

class DcDrawPainter final : public DrawPainter {
public:
    explicit DcDrawPainter(wxDC& dc);
    ~DcDrawPainter() override;

    void SetPen(const Pen& pen) override;
    void SetRop2(Rop2 rop) override { m_rop = rop; }
    void Polyline(std::span<const Point> points) override;
    void Ellipse(int l, int t, int r, int b) override;
    void FillPolygon(std::span<const Point> points) override;
    void FocusRect(int l, int t, int r, int b) override;

private:
    void ApplySpans(const std::vector<Span>& spans, Rop2 rop, ColorRef colour);
    // Reads the box back, changes the spans' pixels, draws the box again;
    // false when the context cannot be read.
    bool ApplyInBox(const std::vector<Span>& spans, int l, int t, int r, int b, Rop2 rop, ColorRef colour);

    wxDC& m_dc;
    Pen m_pen;
    Rop2 m_rop = Rop2::CopyPen;
    wxPen m_oldPen;
    wxBrush m_oldBrush;
    wxAntialiasMode m_oldAntialias = wxANTIALIAS_DEFAULT;
};

}  // namespace picture_controls
