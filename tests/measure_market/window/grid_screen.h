#pragma once
// What the X server shows of a grid's cells, for the window tests of the
// order grid and the size chart: a cell's inside, its check box, and simple
// measures of the pixels (same pixels, one colour, marks on a field).
#include <algorithm>
#include <cstdlib>
#include <map>
#include <wx/image.h>

#include "controls/grid_ctrl.h"
#include "tests/support/window_test_util.h"

namespace gridscreen {

// The middle of a data cell, in the grid's client coordinates.
inline wxPoint CellCentre(const CGridCoreBase& grid, int column, int row) {
    const grid::Rect r = grid.CellRect(column, row);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// What the screen shows of a rectangle of the grid's client area.
inline wxImage Grab(CZYKGridCtrl* grid, const grid::Rect& r) {
    return testsupport::GrabScreenArea(
        wxRect(grid->ClientToScreen(wxPoint(r.left, r.top)), wxSize(r.Width(), r.Height())));
}

// Inside a cell: its border lines and the current-cell frame left out, so a
// current and a plain cell of one row compare alike.
inline wxImage Inside(CZYKGridCtrl* grid, int column, int row) { return Grab(grid, grid->CellRect(column, row).Deflated(2)); }

// Inside the frame that an edit editor shown over the cell draws when it
// has the focus: where its text goes.
inline wxImage EditField(CZYKGridCtrl* grid, int column, int row) {
    return Grab(grid, grid->CellRect(column, row).Deflated(4));
}

// The check box of a cell without text (13 pixels, less in a lower row),
// where the grid paints it and where its check editor shows.
inline grid::Rect CheckBoxRect(const CGridCoreBase& grid, int column, int row) {
    const grid::Rect r = grid.CellRect(column, row).Deflated(2);
    const int size = std::min(13, std::min(r.Width(), r.Height()));
    const int x = r.left + (r.Width() - size) / 2, y = r.top + (r.Height() - size) / 2;
    return {x, y, x + size, y + size};
}
inline wxImage CheckBox(CZYKGridCtrl* grid, int column, int row) { return Grab(grid, CheckBoxRect(*grid, column, row)); }
inline wxPoint CheckBoxCentre(const CGridCoreBase& grid, int column, int row) {
    const grid::Rect r = CheckBoxRect(grid, column, row);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

inline bool SamePixels(const wxImage& a, const wxImage& b) {
    if (!a.IsOk() || !b.IsOk() || a.GetSize() != b.GetSize()) return false;
    return std::equal(a.GetData(), a.GetData() + a.GetWidth() * a.GetHeight() * 3, b.GetData());
}

// Nothing drawn: every pixel has the first pixel's colour.
inline bool OneColour(const wxImage& image) {
    if (!image.IsOk()) return false;
    const unsigned char* p = image.GetData();
    const int n = image.GetWidth() * image.GetHeight();
    for (int i = 1; i < n; ++i)
        if (p[3 * i] != p[0] || p[3 * i + 1] != p[1] || p[3 * i + 2] != p[2]) return false;
    return true;
}

// Pixels that stand out from the most common colour (the field): text,
// a selection, a box. An empty field with its caret has a dozen.
inline int Marks(const wxImage& image) {
    if (!image.IsOk()) return -1;
    const unsigned char* p = image.GetData();
    const int n = image.GetWidth() * image.GetHeight();
    std::map<unsigned long, int> counts;
    for (int i = 0; i < n; ++i) ++counts[(p[3 * i] << 16) | (p[3 * i + 1] << 8) | p[3 * i + 2]];
    unsigned long field = 0;
    int most = 0;
    for (const auto& [colour, count] : counts)
        if (count > most) field = colour, most = count;
    int marks = 0;
    for (int i = 0; i < n; ++i) {
        const int d = std::max({std::abs(p[3 * i] - static_cast<int>(field >> 16)),
                                std::abs(p[3 * i + 1] - static_cast<int>((field >> 8) & 0xFF)),
                                std::abs(p[3 * i + 2] - static_cast<int>(field & 0xFF))});
        marks += d > 40;
    }
    return marks;
}

}  // namespace gridscreen
