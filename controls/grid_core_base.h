#pragma once
// Geometry, painting, scrolling and navigation of the grid control, with the
// table of overridable cell operations. It holds no cell data: every cell's
// text, colours and icon come from the operations that subclasses override.
//
// Indices: the current cell is kept in absolute indices (the fixed column and
// the fixed rows counted); every overridable operation and the column
// operations take data indices (fixed column and rows not counted).
#include <cstdint>
#include <memory>
#include <string>

#include "controls/grid_cell_colors.h"
#include "controls/grid_cell_control.h"
#include "controls/grid_host.h"
#include "controls/grid_painter.h"
#include "controls/grid_types.h"

// Text and value of a cell.
struct GridCellText {
    std::string text;
    int value = -1;
};

// How a cell is drawn.
struct GridCellFormat {
    int format = 5;  // grid::TextFormat flags
    int glyphType = grid::kDfcNone;
    int glyphState = 0;
    int iconKind = grid::kIconNone;
};

// Caption and text format of a column header.
struct GridColumnHeader {
    std::string caption;
    int format = 0;
};

// What lies under a point of the client area.
struct GridHit {
    enum Area { Outside, Corner, Header, RowHeader, Cell };
    Area area = Outside;
    int column = -1;  // data column, or fixed column for Corner/RowHeader
    int row = -1;     // data row, or header row for Corner/Header
    bool operator==(const GridHit&) const = default;
};

class CGridCoreBase {
public:
    explicit CGridCoreBase(GridHost* host = nullptr);
    virtual ~CGridCoreBase();
    CGridCoreBase(const CGridCoreBase&) = delete;
    CGridCoreBase& operator=(const CGridCoreBase&) = delete;

    void SetHost(GridHost* host) { m_host = host; }
    GridHost* Host() const { return m_host; }

    // ---- settings -------------------------------------------------------
    // Stores the fixed row count, moves the current row by the difference and,
    // with relayout, lays out again and re-places the editor.
    void SetFixedRowCount(int count, int relayout);
    // Text colour of data column 0..37; other indices are ignored.
    int SetColumnColor(int column, grid::ColorRef color);
    bool GetColumnColor(int column, grid::ColorRef& color) const;
    void SetSysColors(const grid::SysColors& sys);
    const grid::SysColors& SysColors() const { return m_sys; }
    GridCellColors& CellColors() { return m_colors; }
    const GridCellColors& CellColors() const { return m_colors; }
    // Fonts are the window side's; null header font means the cell font.
    void SetFonts(const GridFont* cellFont, const GridFont* headerFont);
    const GridFont* CellFont() const { return m_cellFont; }
    void SetExtraSize(int width, int height);

    // ---- current cell and editing ----------------------------------------
    // Makes (absolute column, absolute row) current. Returns 0 when the cell
    // lies outside the data area or the edit in progress cannot be ended;
    // the current cell then stays.
    int SetCurrentCell(int column, int row);
    int GetCurrentColumn() const { return m_currentColumn; }
    int GetCurrentRow() const { return m_currentRow; }
    int GetCurrentDataColumn() const { return m_currentColumn - GetFixedColumnCount(); }
    int GetCurrentDataRow() const { return m_currentRow - GetFixedRowCount(); }
    // Ends the edit in progress: a changed value is committed and handed to
    // OnCellTextChanged. Returns 0 when that fails; with discardOnFailure the
    // change is then dropped and the editor hidden. Owners call it before they
    // save, or move or delete rows.
    int EndEdit(bool discardOnFailure = false);
    // Drops the edit in progress: the editor is loaded again with the cell's
    // stored value and hidden.
    void CancelEdit();
    // Whether the current cell's editor holds a change not yet committed.
    bool IsEditing() const;
    // Invalidates the band of a data row across the client width.
    void GoToRow(int row);
    void RecalcLayout();
    int GetRowHeight() const { return m_headerRowHeight; }
    int GetDataRowHeight() const { return m_rowHeight; }

    // ---- geometry --------------------------------------------------------
    int GetFixedColumnWidth() const { return m_fixedColumnWidth; }
    int GetTotalWidth() const { return m_totalWidth; }
    grid::Size GetContentSize() const { return {m_contentWidth, m_contentHeight}; }
    grid::Size GetPageSize() const { return {m_pageWidth, m_pageHeight}; }
    int GetScrollX() const { return m_scrollX; }
    int GetScrollY() const { return m_scrollY; }
    int GetScaleX() const { return m_scaleX; }
    int GetScaleY() const { return m_scaleY; }
    bool HasHorizontalBar() const { return m_hBar; }
    bool HasVerticalBar() const { return m_vBar; }
    // Largest scroll position of each axis.
    int MaxScrollX() const;
    int MaxScrollY() const;
    // Client x of a data column's left border line / y of a data row's top one.
    int ColumnLeft(int column) const;
    int RowTop(int row) const;
    // The rectangle of a data cell, both border lines included.
    grid::Rect CellRect(int column, int row) const;
    GridHit GridHitTest(int x, int y) const;

    // ---- scrolling -------------------------------------------------------
    // Scroll-bar codes as the bars send them.
    enum ScrollCode : unsigned {
        kLineUp = 0,
        kLineDown = 1,
        kPageUp = 2,
        kPageDown = 3,
        kThumbPosition = 4,
        kThumbTrack = 5,
        kTop = 6,
        kBottom = 7,
        kEndScroll = 8,
        kNoScroll = 0xFF,
    };
    // code: low byte horizontal, high byte vertical (0xFF none); position in
    // bar units for the thumb codes.
    virtual int OnScroll(unsigned code, int position, bool doScroll);
    virtual int OnScrollBy(int dx, int dy, bool doScroll);
    // Scrolls so that a data cell is fully visible.
    void EnsureVisible(int column, int row);

    // ---- input -----------------------------------------------------------
    // The key handler; returns whether the key was handled.
    bool HandleKey(grid::Key key, bool shift, bool ctrl);
    void OnLButtonDown(int x, int y);
    void OnLButtonDblClk(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnMouseMove(int x, int y, bool leftDown);
    // Arms the column-resize zone for a point; returns whether it is armed.
    bool UpdateResizeZone(int x, int y);
    bool IsResizeArmed() const { return m_resizeArmed; }
    bool IsResizing() const { return m_resizeTracking; }
    int GetClickCode() const { return m_clickCode; }
    // Focus arrived at the grid window; fromEditor when it came from the
    // current cell's editor.
    void OnFocusGained(bool fromEditor);
    void OnFocusLostToGrid() { m_hasFocus = false; }
    // Focus left the grid and its editors: the edit in progress is committed.
    void OnFocusLeft();
    bool IsGridFocused() const { return m_hasFocus; }
    void OnSize();
    void OnDestroy();
    int CanEditCommand(grid::EditCommand command) const;
    void DoEditCommand(grid::EditCommand command);
    // Places the current cell's editor over its cell; an editor that does
    // not belong on the cell (EditorTakesCell) is hidden instead.
    void ShowCurrentEditor();
    // Whether the editor of a column belongs on a cell: a check editor only
    // where the grid paints a check box (the cell's format has a glyph), so
    // that a click on a cell without one (a total line, an empty row) shows
    // no box and changes nothing. Every other editor takes every cell.
    bool EditorTakesCell(int column, int row) const;
    // Loads the current cell's editor again when it holds no change of its
    // own and its cell no longer holds what it shows: the rows under an
    // unchanged current cell have changed (a delete, an insert, a reload, a
    // filter). Painting and every activation of the cell run it, so the
    // current cell and its editor always show the row that is there now.
    void SyncCurrentEditor();

    // ---- painting --------------------------------------------------------
    virtual void Paint(GridPainter& painter, const grid::Rect& update);
    virtual void DrawRow(GridPainter& painter, int row, int y);
    virtual void DrawCell(GridPainter& painter, int column, int row, int x, int y);
    virtual void DrawHeaderCell(GridPainter& painter, int column, int row, int x, int y);
    virtual void DrawRowHeaderCell(GridPainter& painter, int column, int row, int x, int y);
    // The face of a header or row-header cell: pressed, flat or raised.
    void DrawFixedFace(GridPainter& painter, const grid::Rect& inner, bool pressed) const;
    void DrawCorner(GridPainter& painter, int x, int y);

    // ---- overridable cell operations ---------------------------------------
    virtual int GetRowCount() const { return 0; }
    virtual int GetCoreValue() const { return 0; }
    virtual int GetColumnValue(int column) const = 0;
    virtual void SetColumnValue(int column, int width) = 0;
    // Makes the editor of a column; the caller takes ownership.
    virtual CGridCellControl* CreateCellControl(int column, int row, long style, int id);
    virtual CGridCellControl* CreateCellObject(int column, int row, long style, int id);
    // Stores (and owns) the editor of a column.
    virtual void SetColumnControlObject(int column, CGridCellControl* editor);
    // Loads an editor with the cell's text and value.
    virtual void LoadCellControl(int column, int row, CGridCellControl* editor);
    virtual CGridCellControl* GetColumnControl(int column) const;
    virtual long GetColumnControlStyle(int column) const;
    // The edited value of a cell was committed; returns success.
    virtual int OnCellTextChanged(int column, int row) = 0;
    virtual void OnCellChangedHook(int column, int row) = 0;
    virtual const GridCellColors& GetRowColors(int column, int row) const;
    virtual bool HasCellIcon(int column, int row) const;
    virtual int GetCellIconKind(int column, int row) const;
    virtual void GetCellIconSize(int column, int row, int& width, int& height) const;
    virtual void OnCurrentCellChanged(int column, int row);
    virtual GridCellFormat GetCellFormat(int column, int row) const;
    virtual GridCellText GetCellText(int column, int row) const;
    virtual GridColumnHeader GetColumnHeader(int column) const = 0;
    virtual int GetFixedRowCount() const { return m_fixedRows; }
    virtual int GetFixedColumnCount() const { return m_fixedColumns; }
    virtual void OnHeaderClick(int column, int row);
    virtual void OnHeaderDblClick(int column, int row);
    virtual int GetColumnControlId(int column) const;

protected:
    // The row count went down to `rows`: an edit on a row that no longer
    // exists is dropped (its value has no row to go to) and the current
    // cell moves to the last row left, so the keys keep working.
    void RowCountShrunk(int rows);
    bool IsValidColumn(int column) const { return column >= 0 && column < GetCoreValue(); }
    unsigned StyleBits() const;
    grid::Size Client() const;
    grid::ColorRef OuterLineColor() const;
    // Data column / row under a client coordinate of the data area (may be
    // past the last one).
    int ColumnAtX(int x) const;
    int RowAtY(int y) const;
    void InvalidateRect(const grid::Rect& rect);
    void InvalidateCell(int column, int row);
    void InvalidateRowBand(int row);
    void InvalidateRowHeader(int row);
    void InvalidateHeaderCell(int column);
    void InvalidateMarker();
    void UpdateScrollBars();
    void ClampScrollPositions();
    void AfterScroll();
    void EndResize(int x);
    void PressHit(const GridHit& hit, bool dblClick);
    void ReleasePressed();
    // Editor rectangle of the current cell (right of its icon).
    grid::Rect EditorRect() const;

    GridHost* m_host = nullptr;
    int m_fixedWidthSwitch = 0;
    int m_fixedWidthSetting = 0;
    grid::ColorRef m_columnColors[38] = {};
    char m_columnColorFlags[38];
    bool m_resizeArmed = false;
    bool m_resizeTracking = false;
    int m_resizeColumn = -1;  // absolute column
    int m_markerX = -1;
    int m_headerRowHeight = 16;
    int m_rowHeight = 16;
    int m_totalWidth = 0;
    int m_currentColumn = 1;
    int m_currentRow = 1;
    const GridFont* m_cellFont = nullptr;
    const GridFont* m_headerFont = nullptr;
    int m_contentWidth = 0;
    int m_contentHeight = 0;
    int m_pageWidth = 0;
    int m_pageHeight = 0;
    int m_lineStepX = 1;
    int m_lineStepY = 16;
    int m_extraWidth = 0;
    int m_extraHeight = 0;
    bool m_inLayout = false;
    int m_scrollX = 0;
    int m_scrollY = 0;
    int m_scaleX = 1;
    int m_scaleY = 1;
    int m_barRangeX = 0;
    int m_barRangeY = 0;
    bool m_hBar = false;
    bool m_vBar = false;
    int m_fixedRows = 1;
    int m_fixedColumns = 1;
    int m_fixedColumnWidth = 8;
    int m_pressedHeaderColumn = -1;
    int m_pressedHeaderRow = -1;
    int m_pressedRowHeaderColumn = -1;
    int m_pressedRowHeaderRow = -1;
    grid::SysColors m_sys;
    GridCellColors m_colors;
    std::unique_ptr<CGridCellControl> m_editor;
    int m_clickCode = 0;
    bool m_hasFocus = false;
    bool m_inSetCurrent = false;
    bool m_clickActivating = false;  // a click in the data area is making its cell current
    bool m_focusActivating = false;  // the focus coming back re-activates the current cell
};
