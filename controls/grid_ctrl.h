#pragma once
// The grid control window: a table that asks its subclass for every cell's
// text, colours and icon, paints headers, row headers and cells, scrolls,
// resizes columns by dragging and edits the current cell in place.
//
// A subclass adds its columns in its constructor (InsertColumn,
// SetColumnControl, SetColumnMetrics, SetColumnColor) and overrides the cell
// operations of CGridCore; the owner creates the window with Create, sets the
// row count and calls RecalcLayout. Before an owner saves, closes, or moves
// or deletes rows, it calls EndEdit (or CancelEdit) so that a typed value
// lands on its own row; focus leaving the grid commits the edit as well.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <wx/bitmap.h>
#include <wx/cursor.h>
#include <wx/font.h>
#include <wx/imaglist.h>
#include <wx/window.h>

#include "controls/grid_core.h"

// The window side's font behind the core's font references.
struct GridFont {
    wxFont font;
};

// What a subclass fills in to have an image-list image drawn in a cell.
struct GridImageListDraw {
    wxImageList* imageList = nullptr;
    int index = -1;
    int style = wxIMAGELIST_DRAW_TRANSPARENT;
    wxDC* dc = nullptr;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

class CZYKGridCtrl : public wxWindow, public CGridCore, public GridHost {
public:
    CZYKGridCtrl();
    ~CZYKGridCtrl() override;

    // Creates the window. exStyle 0 gives a sunken client edge; style carries
    // the grid's own bits in its low word (grid::GridStyle) and WS_VISIBLE.
    bool Create(long exStyle, long style, const wxRect& rect, wxWindow* parent, int id);

    // Paints the part `rect` of the client area onto dc.
    void Draw(wxDC& dc, const wxRect& rect);

    // Picture of a bitmap (kind 1) or icon (kind 2) cell; an invalid bitmap
    // draws nothing.
    virtual wxBitmap GetCellIcon(int column, int row, bool isCurrent);
    // Image-list image of a kind 4 cell: fill in imageList, index and style.
    virtual void GetCellInfo(int column, int row, GridImageListDraw& info, bool isCurrent);
    // Lets a subclass adjust the styles before the window is made.
    virtual void PreCreateWindow(long& exStyle, long& style);

    // The cell font (the header font unless replaced).
    const wxFont& GetCellFont() const { return m_cellFont.font; }
    void SetHeaderFont(const wxFont& font);

    // Posts a key to the grid's key handler (used by the editors).
    void PostKey(grid::Key key, bool shift, bool ctrl);
    // Checks, once pending events are handled, whether the focus has left the
    // grid and its editors; if so the edit in progress is committed.
    void ScheduleFocusCheck();
    // Whether `window` is the grid or lies inside it.
    bool IsInsideGrid(const wxWindow* window) const;
    // The combo editor tells the grid while its list is dropped.
    void SetListDropped(bool dropped) { m_listDropped = dropped; }

    // ---- GridHost --------------------------------------------------------
    bool WindowExists() const override;
    grid::Size ClientSize() const override;
    grid::Size FullClientSize() const override;
    grid::Size ScrollBarSize() const override;
    int CellTextHeight() const override;
    unsigned GridStyleBits() const override { return m_gridStyle; }
    void Invalidate(const grid::Rect* rect, bool erase) override;
    void UpdateNow() override;
    void ScrollData(int dx, int dy) override;
    void SetScrollBar(bool horizontal, bool shown, int position, int page, int range) override;
    void SetScrollPosition(bool horizontal, int position) override;
    void FocusGrid() override;
    void SetMouseCapture(bool capture) override;
    std::uintptr_t WindowHandle() const override;
    int WindowId() const override;
    std::intptr_t SendToParent(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) override;
    void PostToParent(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) override;
    std::intptr_t SendToOwner(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) override;

    // Widths of texts already measured in a font (the painter's cache).
    std::unordered_map<std::string, int>& WidthCache(const GridFont* font) { return m_widthCache[font]; }

    // Draws the icon of a cell (the painter calls it).
    void DrawCellIcon(wxDC& dc, int column, int row, int kind, const grid::Rect& rect, bool isCurrent);

protected:
    CGridCellControl* NewCellEditor(int kind, int column, int row) override;

private:
    void HandlePaint(wxPaintEvent& event);
    void HandleSize(wxSizeEvent& event);
    void HandleScrollWin(wxScrollWinEvent& event);
    void HandleMouseWheel(wxMouseEvent& event);
    void HandleLeftDown(wxMouseEvent& event);
    void HandleLeftDClick(wxMouseEvent& event);
    void HandleLeftUp(wxMouseEvent& event);
    void HandleMotion(wxMouseEvent& event);
    void HandleCaptureLost(wxMouseCaptureLostEvent& event);
    void HandleKeyDown(wxKeyEvent& event);
    void HandleSetFocus(wxFocusEvent& event);
    void HandleKillFocus(wxFocusEvent& event);
    void HandleEditCommand(wxCommandEvent& event);
    void HandleUpdateEditCommand(wxUpdateUIEvent& event);
    void MeasureFont();
    const wxCursor& ResizeCursor();

    GridFont m_cellFont;
    GridFont m_headerFont;
    bool m_ownHeaderFont = false;
    int m_textHeight = 13;
    unsigned m_gridStyle = 0;
    bool m_created = false;
    bool m_destroying = false;
    bool m_listDropped = false;
    bool m_focusCheckPending = false;
    bool m_captured = false;
    bool m_resizeCursorShown = false;
    wxCursor m_resizeCursor;
    std::unordered_map<const GridFont*, std::unordered_map<std::string, int>> m_widthCache;
    struct BarState {
        bool shown = false;
        int position = 0;
        int page = 0;
        int range = 0;
        bool valid = false;
        bool operator==(const BarState& o) const {
            return shown == o.shown && position == o.position && page == o.page && range == o.range;
        }
    };
    BarState m_bars[2];
    wxSize m_laidOutSize;
    bool m_layoutPending = false;
    bool m_resizeCursorLoaded = false;
};
