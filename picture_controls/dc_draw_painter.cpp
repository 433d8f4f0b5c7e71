#include "picture_controls/dc_draw_painter.h"

#include <algorithm>
#include <vector>

#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include "platform/ui/colour.h"

namespace picture_controls {

namespace {

wxPenStyle ToWxStyle(PenStyle s) {
    switch (s) {
    case PenStyle::Dash:
        return wxPENSTYLE_SHORT_DASH;
    case PenStyle::Dot:
        return wxPENSTYLE_DOT;
    case PenStyle::Solid:
        break;
    }
    return wxPENSTYLE_SOLID;
}

std::vector<wxPoint> ToWx(std::span<const Point> points) {
    std::vector<wxPoint> out;
    out.reserve(points.size());
    for (const Point& p : points) out.emplace_back(p.x, p.y);
    return out;
}

}  // namespace

DcDrawPainter::DcDrawPainter(wxDC& dc) : m_dc(dc), m_oldPen(dc.GetPen()), m_oldBrush(dc.GetBrush()) {
    if (wxGraphicsContext* gc = m_dc.GetGraphicsContext()) {
        m_oldAntialias = gc->GetAntialiasMode();
        gc->SetAntialiasMode(wxANTIALIAS_NONE);
    }
}

DcDrawPainter::~DcDrawPainter() {
    m_dc.SetPen(m_oldPen);
    m_dc.SetBrush(m_oldBrush);
    if (wxGraphicsContext* gc = m_dc.GetGraphicsContext()) gc->SetAntialiasMode(m_oldAntialias);
}

void DcDrawPainter::SetPen(const Pen& pen) {
    m_pen = pen;
    const int width = std::max(1, pen.width);
    wxPen wx(platform::ui::ToColour(pen.colour), width, width > 1 ? wxPENSTYLE_SOLID : ToWxStyle(pen.style));
    wx.SetCap(wxCAP_ROUND);
    wx.SetJoin(wxJOIN_ROUND);
    m_dc.SetPen(wx);
    m_dc.SetBrush(*wxTRANSPARENT_BRUSH);
}

void DcDrawPainter::Polyline(std::span<const Point> points) {
    if (points.size() < 2) return;
    if (m_rop != Rop2::CopyPen) {
        ApplySpans(platform::raster::StrokeSpans(points, m_pen), m_rop, m_pen.colour);
        return;
    }
    const std::vector<wxPoint> pts = ToWx(points);
    m_dc.DrawLines(static_cast<int>(pts.size()), pts.data());
}

void DcDrawPainter::Ellipse(int l, int t, int r, int b) {
    if (m_rop != Rop2::CopyPen) {
        ApplySpans(platform::raster::EllipseSpans(l, t, r, b, m_pen), m_rop, m_pen.colour);
        return;
    }
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    m_dc.SetBrush(*wxTRANSPARENT_BRUSH);
    m_dc.DrawEllipse(l, t, r - l, b - t);
}

void DcDrawPainter::FillPolygon(std::span<const Point> points) {
    if (points.size() < 3) return;
    if (m_rop != Rop2::CopyPen) {
        ApplySpans(platform::raster::PolygonSpans(points), m_rop, m_pen.colour);
        return;
    }
    const std::vector<wxPoint> pts = ToWx(points);
    m_dc.SetPen(*wxTRANSPARENT_PEN);
    m_dc.SetBrush(wxBrush(platform::ui::ToColour(m_pen.colour)));
    m_dc.DrawPolygon(static_cast<int>(pts.size()), pts.data(), 0, 0, wxODDEVEN_RULE);
    SetPen(m_pen);
}

void DcDrawPainter::FocusRect(int l, int t, int r, int b) {
    ApplySpans(platform::raster::FocusRectSpans(l, t, r, b), Rop2::Not, 0);
}

void DcDrawPainter::ApplySpans(const std::vector<Span>& spans, Rop2 rop, ColorRef colour) {
    if (spans.empty()) return;
    if (rop == Rop2::CopyPen) {
        m_dc.SetPen(*wxTRANSPARENT_PEN);
        m_dc.SetBrush(wxBrush(platform::ui::ToColour(colour)));
        // Runs of equal columns on consecutive rows become one rectangle.
        std::size_t i = 0;
        while (i < spans.size()) {
            std::size_t j = i + 1;
            while (j < spans.size() && spans[j].y == spans[j - 1].y + 1 && spans[j].x0 == spans[i].x0 &&
                   spans[j].x1 == spans[i].x1)
                ++j;
            m_dc.DrawRectangle(spans[i].x0, spans[i].y, spans[i].x1 - spans[i].x0, static_cast<int>(j - i));
            i = j;
        }
        SetPen(m_pen);
        return;
    }
    // Reading a large box back costs far more than a few thin ones, so the
    // spans are grouped into boxes they mostly fill (a rectangle's outline
    // becomes four strips, a slanted line a chain of small squares).
    struct Box {
        int l, t, r, b;
        long long pixels;
        std::vector<Span> spans;
    };
    std::vector<Box> boxes;
    std::vector<std::size_t> open;  // boxes that reach the previous row
    for (const Span& s : spans) {
        std::erase_if(open, [&](std::size_t i) { return boxes[i].b < s.y; });
        const long long w = s.x1 - s.x0;
        bool placed = false;
        for (std::size_t i : open) {
            Box& box = boxes[i];
            const long long l = std::min(box.l, s.x0), r = std::max(box.r, s.x1);
            const long long t = std::min(box.t, s.y), b = std::max(box.b, s.y + 1);
            if ((r - l) * (b - t) <= 4 * (box.pixels + w) + 256) {
                box = {static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b),
                       box.pixels + w, std::move(box.spans)};
                box.spans.push_back(s);
                placed = true;
                break;
            }
        }
        if (!placed) {
            boxes.push_back({s.x0, s.y, s.x1, s.y + 1, w, {s}});
            open.push_back(boxes.size() - 1);
        }
    }
    for (const Box& box : boxes)
        if (!ApplyInBox(box.spans, box.l, box.t, box.r, box.b, rop, colour)) {
            ApplySpans(spans, Rop2::CopyPen, colour);  // cannot read back: plain colour
            return;
        }
}

bool DcDrawPainter::ApplyInBox(const std::vector<Span>& spans, int l, int t, int r, int b, Rop2 rop,
                               ColorRef colour) {
    const wxSize size = m_dc.GetSize();
    const wxPoint origin(m_dc.DeviceToLogicalX(0), m_dc.DeviceToLogicalY(0));
    l = std::max(l, origin.x);
    t = std::max(t, origin.y);
    r = std::min(r, origin.x + size.x);
    b = std::min(b, origin.y + size.y);
    if (r <= l || b <= t) return true;
    // Only a memory context can be read back on this toolkit.
    if (!dynamic_cast<wxMemoryDC*>(&m_dc)) return false;
    // Copied out through a small context: reading the big bitmap itself
    // converts every row the box spans.
    wxBitmap under(r - l, b - t, 24);
    {
        wxMemoryDC copy(under);
        if (!copy.Blit(0, 0, r - l, b - t, &m_dc, l, t)) return false;
    }
    wxImage img = under.ConvertToImage();
    const unsigned pen[3] = {colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF};
    unsigned char* rgb = img.GetData();
    for (const Span& s : spans) {
        if (s.y < t || s.y >= b) continue;
        for (int x = std::max(s.x0, l); x < std::min(s.x1, r); ++x) {
            unsigned char* p = rgb + (static_cast<std::size_t>(s.y - t) * (r - l) + (x - l)) * 3;
            for (int c = 0; c < 3; ++c) {
                unsigned v = p[c];
                switch (rop) {
                case Rop2::XorPen:
                    v ^= pen[c];
                    break;
                case Rop2::NotXorPen:
                    v = ~(v ^ pen[c]);
                    break;
                case Rop2::Not:
                    v = ~v;
                    break;
                case Rop2::CopyPen:
                    v = pen[c];
                    break;
                }
                p[c] = static_cast<unsigned char>(v & 0xFF);
            }
        }
    }
    if (img.HasAlpha()) img.ClearAlpha();
    m_dc.DrawBitmap(wxBitmap(img), l, t, false);
    return true;
}

}  // namespace picture_controls
