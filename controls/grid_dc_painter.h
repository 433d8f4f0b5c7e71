#pragma once
// The grid's drawing primitives on a toolkit device context: borders and
// fills as exact pixel rectangles, classic raised buttons for the fixed
// cells, check glyphs and combo arrows drawn by hand, single-line text with
// alignment, end ellipsis and clipping.
#include <string>
#include <unordered_map>
#include <wx/brush.h>
#include <wx/dc.h>

#include "controls/grid_painter.h"

class CZYKGridCtrl;
struct GridFont;

class GridDcPainter : public GridPainter {
public:
    GridDcPainter(wxDC& dc, CZYKGridCtrl& grid);
    ~GridDcPainter() override;

    void SelectFont(const GridFont* font) override;
    void SetClip(const grid::Rect& rect) override;
    void ResetClip() override;
    void FillRect(const grid::Rect& rect, grid::ColorRef color) override;
    void Line(int x1, int y1, int x2, int y2, grid::ColorRef color) override;
    void FrameRect(const grid::Rect& rect, grid::ColorRef color) override;
    void Draw3dRect(const grid::Rect& rect, grid::ColorRef topLeft, grid::ColorRef bottomRight) override;
    void FocusRect(const grid::Rect& rect) override;
    void FrameControl(const grid::Rect& rect, int type, unsigned state) override;
    void Text(const std::string& text, const grid::Rect& rect, unsigned format, grid::ColorRef color) override;
    int TextWidth(const std::string& text) override;
    void Triangle(const int (&xs)[3], const int (&ys)[3], grid::ColorRef color) override;
    void CellIcon(int column, int row, int kind, const grid::Rect& rect, bool isCurrent) override;
    void MarkerLine(int x, int top, int bottom) override;

private:
    void Fill(int x, int y, int w, int h, grid::ColorRef color);
    void PushButton(const grid::Rect& rect, bool pushed);
    void CheckGlyph(const grid::Rect& rect, unsigned state);
    void ComboArrow(const grid::Rect& rect, bool pushed);
    int MeasureWidth(const wxString& text);
    int MeasureWidth(const std::string& key, const wxString& text);

    wxDC& m_dc;
    CZYKGridCtrl& m_grid;
    const GridFont* m_font = nullptr;
    int m_lineHeight = 0;
    bool m_clipped = false;
    grid::Rect m_clip;
    grid::ColorRef m_brushColor = 0xFFFFFFFF;
    std::unordered_map<std::string, int>* m_widths = nullptr;
    std::unordered_map<grid::ColorRef, wxBrush> m_brushes;
};
