#include "controls/grid_dc_painter.h"

#include <algorithm>
#include <wx/brush.h>
#include <wx/pen.h>

#include "controls/grid_ctrl.h"
#include "platform/text.h"
#include "platform/ui/colour.h"

using grid::Rect;

namespace {

// The tick of a check glyph: per column of the 7-pixel mark, the top row of
// its 3-pixel run.
constexpr int kTickTop[7] = {2, 3, 4, 3, 2, 1, 0};

}  // namespace

GridDcPainter::GridDcPainter(wxDC& dc, CZYKGridCtrl& grid) : m_dc(dc), m_grid(grid) {
    m_dc.SetPen(*wxTRANSPARENT_PEN);
    m_dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    SelectFont(nullptr);
}

GridDcPainter::~GridDcPainter() {
    if (m_clipped) m_dc.DestroyClippingRegion();
    m_dc.SetBrush(wxNullBrush);
    m_dc.SetPen(wxNullPen);
}

void GridDcPainter::SelectFont(const GridFont* font) {
    const GridFont* use = font ? font : m_grid.CellFont();
    if (use == m_font && m_lineHeight > 0) return;
    m_font = use;
    m_dc.SetFont(use ? use->font : m_grid.GetCellFont());
    m_widths = &m_grid.WidthCache(use);
    auto it = m_widths->find(std::string("\x01height"));
    if (it == m_widths->end()) {
        wxCoord w = 0, h = 0;
        m_dc.GetTextExtent(wxString::FromUTF8("Ag国"), &w, &h);
        it = m_widths->emplace("\x01height", h).first;
    }
    m_lineHeight = it->second;
}

void GridDcPainter::SetClip(const Rect& rect) {
    if (m_clipped) m_dc.DestroyClippingRegion();
    m_clip = rect;
    m_clipped = true;
    m_dc.SetClippingRegion(rect.left, rect.top, std::max(0, rect.Width()), std::max(0, rect.Height()));
}

void GridDcPainter::ResetClip() {
    if (m_clipped) m_dc.DestroyClippingRegion();
    m_clipped = false;
}

void GridDcPainter::Fill(int x, int y, int w, int h, grid::ColorRef color) {
    if (w <= 0 || h <= 0) return;
    if (color != m_brushColor) {
        auto it = m_brushes.find(color);
        if (it == m_brushes.end()) it = m_brushes.emplace(color, wxBrush(platform::ui::ToColour(color))).first;
        m_dc.SetBrush(it->second);
        m_brushColor = color;
    }
    m_dc.DrawRectangle(x, y, w, h);
}

void GridDcPainter::FillRect(const Rect& rect, grid::ColorRef color) {
    Fill(rect.left, rect.top, rect.Width(), rect.Height(), color);
}

void GridDcPainter::Line(int x1, int y1, int x2, int y2, grid::ColorRef color) {
    if (y1 == y2)
        Fill(std::min(x1, x2), y1, std::abs(x2 - x1), 1, color);
    else if (x1 == x2)
        Fill(x1, std::min(y1, y2), 1, std::abs(y2 - y1), color);
}

void GridDcPainter::FrameRect(const Rect& r, grid::ColorRef color) {
    if (r.IsEmpty()) return;
    Fill(r.left, r.top, r.Width(), 1, color);
    Fill(r.left, r.bottom - 1, r.Width(), 1, color);
    Fill(r.left, r.top, 1, r.Height(), color);
    Fill(r.right - 1, r.top, 1, r.Height(), color);
}

void GridDcPainter::Draw3dRect(const Rect& r, grid::ColorRef topLeft, grid::ColorRef bottomRight) {
    if (r.IsEmpty()) return;
    Fill(r.left, r.top, r.Width() - 1, 1, topLeft);
    Fill(r.left, r.top, 1, r.Height() - 1, topLeft);
    Fill(r.right - 1, r.top, 1, r.Height(), bottomRight);
    Fill(r.left, r.bottom - 1, r.Width(), 1, bottomRight);
}

void GridDcPainter::FocusRect(const Rect& r) {
    if (r.IsEmpty()) return;
    const grid::ColorRef color = m_grid.SysColors().windowText;
    for (int x = r.left; x < r.right; x += 2) {
        Fill(x, r.top, 1, 1, color);
        Fill(x, r.bottom - 1, 1, 1, color);
    }
    for (int y = r.top; y < r.bottom; y += 2) {
        Fill(r.left, y, 1, 1, color);
        Fill(r.right - 1, y, 1, 1, color);
    }
}

void GridDcPainter::PushButton(const Rect& r, bool pushed) {
    const grid::SysColors& sys = m_grid.SysColors();
    FillRect(r, sys.btnFace);
    if (pushed)
        FrameRect(r, sys.btnShadow);
    else
        Draw3dRect(r, sys.btnHighlight, sys.btnShadow);
}

void GridDcPainter::CheckGlyph(const Rect& r, unsigned state) {
    const grid::SysColors& sys = m_grid.SysColors();
    const bool inactive = state & grid::kDfcsInactive;
    const bool radio = (state & 0x0F) == grid::kDfcsButtonRadio;
    FillRect(r, (inactive || (state & grid::kDfcsPushed)) ? sys.btnFace : sys.window);
    if (state & grid::kDfcsFlat) {
        FrameRect(r, sys.btnShadow);
    } else {
        Draw3dRect(r, sys.btnShadow, sys.btnHighlight);
        Draw3dRect(r.Deflated(1), sys.windowFrame, sys.btnFace);
    }
    if (!(state & grid::kDfcsChecked)) return;
    const grid::ColorRef mark = inactive ? sys.btnShadow : sys.windowText;
    if (radio) {
        const int cx = r.left + r.Width() / 2, cy = r.top + r.Height() / 2;
        Fill(cx - 2, cy - 1, 4, 2, mark);
        Fill(cx - 1, cy - 2, 2, 4, mark);
        return;
    }
    // A 7 x 5 tick centred in the box.
    const int x0 = r.left + (r.Width() - 7) / 2;
    const int y0 = r.top + (r.Height() - 5) / 2;
    for (int i = 0; i < 7; ++i) Fill(x0 + i, y0 + kTickTop[i], 1, 3, mark);
}

void GridDcPainter::ComboArrow(const Rect& r, bool pushed) {
    PushButton(r, pushed);
    const grid::ColorRef mark = m_grid.SysColors().windowText;
    const int cx = r.left + r.Width() / 2 + (pushed ? 1 : 0);
    const int cy = r.top + (r.Height() - 4) / 2 + (pushed ? 1 : 0);
    for (int i = 0; i < 4; ++i) Fill(cx - 3 + i, cy + i, 7 - 2 * i, 1, mark);
}

void GridDcPainter::FrameControl(const Rect& rect, int type, unsigned state) {
    if (rect.IsEmpty()) return;
    if (type == grid::kDfcScroll) {
        ComboArrow(rect, state & grid::kDfcsPushed);
    } else if (type == grid::kDfcButton) {
        if ((state & 0x1F) == grid::kDfcsButtonPush)
            PushButton(rect, state & grid::kDfcsPushed);
        else
            CheckGlyph(rect, state);
    }
}

int GridDcPainter::MeasureWidth(const wxString& text) { return MeasureWidth(text.utf8_string(), text); }

int GridDcPainter::MeasureWidth(const std::string& key, const wxString& text) {
    auto it = m_widths->find(key);
    if (it != m_widths->end()) return it->second;
    wxCoord w = 0, h = 0;
    m_dc.GetTextExtent(text, &w, &h);
    if (m_widths->size() > 8192) m_widths->clear();
    m_widths->emplace(key, w);
    return w;
}

int GridDcPainter::TextWidth(const std::string& text) { return MeasureWidth(wxString::FromUTF8(text)); }

void GridDcPainter::Text(const std::string& utf8, const Rect& rect, unsigned format, grid::ColorRef color) {
    if (rect.IsEmpty() || utf8.empty()) return;
    const std::string shown = (format & grid::kDtNoPrefix) ? utf8 : platform::StripMnemonics(utf8);
    // One line: a line break ends what is shown.
    std::string line = shown;
    if (const size_t cut = line.find('\n'); cut != std::string::npos) line.resize(cut);
    wxString text = wxString::FromUTF8(line);
    if (line.find('\r') != std::string::npos) text.Replace("\r", "");
    if (text.empty()) return;
    int width = MeasureWidth(line, text);
    const int room = rect.Width();
    if (width > room && (format & grid::kDtEndEllipsis)) {
        const wxString dots = "...";
        const int dotsWidth = MeasureWidth(dots);
        wxArrayInt widths;
        m_dc.GetPartialTextExtents(text, widths);
        size_t keep = 0;
        while (keep < widths.size() && widths[keep] + dotsWidth <= room) ++keep;
        text = text.Left(keep) + dots;
        width = (keep ? widths[keep - 1] : 0) + dotsWidth;
    }
    int x = rect.left;
    if (format & grid::kDtCenter)
        x = rect.left + (room - width) / 2;
    else if (format & grid::kDtRight)
        x = rect.right - width;
    int y = rect.top;
    if (format & grid::kDtVCenter)
        y = rect.top + (rect.Height() - m_lineHeight) / 2;
    else if (format & grid::kDtBottom)
        y = rect.bottom - m_lineHeight;
    m_dc.SetTextForeground(platform::ui::ToColour(color));
    const bool overflows = width > room || m_lineHeight > rect.Height();
    if (overflows) {
        Rect clip = m_clipped ? rect.Intersect(m_clip) : rect;
        if (clip.IsEmpty()) return;
        if (m_clipped) m_dc.DestroyClippingRegion();
        m_dc.SetClippingRegion(clip.left, clip.top, clip.Width(), clip.Height());
        m_dc.DrawText(text, x, y);
        m_dc.DestroyClippingRegion();
        if (m_clipped) m_dc.SetClippingRegion(m_clip.left, m_clip.top, m_clip.Width(), m_clip.Height());
    } else {
        m_dc.DrawText(text, x, y);
    }
}

void GridDcPainter::Triangle(const int (&xs)[3], const int (&ys)[3], grid::ColorRef color) {
    // Filled scan line by scan line, so that the pixels are exact.
    const int top = std::min({ys[0], ys[1], ys[2]});
    const int bottom = std::max({ys[0], ys[1], ys[2]});
    for (int y = top; y <= bottom; ++y) {
        int lo = 1 << 30, hi = -(1 << 30);
        for (int i = 0; i < 3; ++i) {
            const int j = (i + 1) % 3;
            const int ya = ys[i], yb = ys[j];
            if ((y < std::min(ya, yb)) || (y > std::max(ya, yb))) continue;
            if (ya == yb) {
                lo = std::min({lo, xs[i], xs[j]});
                hi = std::max({hi, xs[i], xs[j]});
            } else {
                const int x = xs[i] + (xs[j] - xs[i]) * (y - ya) / (yb - ya);
                lo = std::min(lo, x);
                hi = std::max(hi, x);
            }
        }
        if (lo <= hi) Fill(lo, y, hi - lo + 1, 1, color);
    }
}

void GridDcPainter::CellIcon(int column, int row, int kind, const Rect& rect, bool isCurrent) {
    m_grid.DrawCellIcon(m_dc, column, row, kind, rect, isCurrent);
    m_brushColor = 0xFFFFFFFF;
    m_dc.SetPen(*wxTRANSPARENT_PEN);
}

void GridDcPainter::MarkerLine(int x, int top, int bottom) { Fill(x, top, 1, bottom - top, m_grid.SysColors().windowText); }
