#pragma once
// The drawing primitives the grid paints with. The window side draws them on
// a toolkit device context; tests record them.
#include <string>

#include "controls/grid_types.h"

struct GridFont;

class GridPainter {
public:
    virtual ~GridPainter() = default;

    // Selects a font; null selects the grid's cell font.
    virtual void SelectFont(const GridFont* font) = 0;
    virtual void SetClip(const grid::Rect& rect) = 0;
    virtual void ResetClip() = 0;
    virtual void FillRect(const grid::Rect& rect, grid::ColorRef color) = 0;
    // A horizontal or vertical one-pixel line; the end point is not drawn.
    virtual void Line(int x1, int y1, int x2, int y2, grid::ColorRef color) = 0;
    // A one-pixel rectangle along the inside of `rect`.
    virtual void FrameRect(const grid::Rect& rect, grid::ColorRef color) = 0;
    virtual void Draw3dRect(const grid::Rect& rect, grid::ColorRef topLeft, grid::ColorRef bottomRight) = 0;
    virtual void FocusRect(const grid::Rect& rect) = 0;
    // A frame control (grid::FrameControlType and grid::FrameControlState).
    virtual void FrameControl(const grid::Rect& rect, int type, unsigned state) = 0;
    // Text in `rect` with grid::TextFormat flags.
    virtual void Text(const std::string& text, const grid::Rect& rect, unsigned format, grid::ColorRef color) = 0;
    virtual int TextWidth(const std::string& text) = 0;
    virtual void Triangle(const int (&xs)[3], const int (&ys)[3], grid::ColorRef color) = 0;
    // The icon of a cell (the window side asks the grid for the picture).
    virtual void CellIcon(int column, int row, int kind, const grid::Rect& rect, bool isCurrent) = 0;
    // The column-resize marker.
    virtual void MarkerLine(int x, int top, int bottom) = 0;
};

// The size of a cell's glyph (check box, radio button).
constexpr int kGridGlyphSize = 13;

// A cell's glyph in `area` as the grid shows it: with a text, the glyph at the
// left and the text after it; alone, the glyph centred.
void PaintGlyphAndText(GridPainter& p, const grid::Rect& area, int type, unsigned state, const std::string& text,
                       grid::ColorRef color);
