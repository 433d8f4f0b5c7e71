#include "controls/grid_core_base.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

using grid::Rect;

namespace {

constexpr int kMaxBarExtent = 32766;
constexpr int kComboArrowWidth = 17;

// Scale of a scroll axis: bar positions are pixels divided by it.
int AxisScale(int extent) { return extent > kMaxBarExtent ? extent / (kMaxBarExtent + 1) + 1 : 1; }

}  // namespace

void PaintGlyphAndText(GridPainter& p, const Rect& area, int type, unsigned state, const std::string& text,
                       grid::ColorRef color) {
    const int size = std::min(kGridGlyphSize, std::min(area.Width(), area.Height()));
    if (size <= 0) return;
    const int gy = area.top + (area.Height() - size) / 2;
    int gx = area.left;
    if (text.empty()) gx = area.left + (area.Width() - size) / 2;
    p.FrameControl({gx, gy, gx + size, gy + size}, type, state);
    if (text.empty()) return;
    Rect rest = area;
    rest.left = gx + size + p.TextWidth(" ");
    if (!rest.IsEmpty())
        p.Text(text, rest, grid::kDtLeft | grid::kDtVCenter | grid::kDtSingleLine | grid::kDtEndEllipsis, color);
}

CGridCoreBase::CGridCoreBase(GridHost* host) : m_host(host) {
    std::memset(m_columnColorFlags, ' ', sizeof m_columnColorFlags);
    m_colors = GridCellColors::FromSystem(m_sys);
}

CGridCoreBase::~CGridCoreBase() = default;

// ---- settings -------------------------------------------------------------

void CGridCoreBase::SetFixedRowCount(int count, int relayout) {
    count = std::max(0, count);
    m_currentRow += count - m_fixedRows;
    m_fixedRows = count;
    if (relayout) {
        RecalcLayout();
        if (CGridCellControl* editor = GetColumnControl(GetCurrentDataColumn()); editor && editor->IsShown())
            ShowCurrentEditor();
    }
}

int CGridCoreBase::SetColumnColor(int column, grid::ColorRef color) {
    if (column >= 0 && column < 38) {
        m_columnColors[column] = color;
        m_columnColorFlags[column] = 'Y';
    }
    return column;
}

bool CGridCoreBase::GetColumnColor(int column, grid::ColorRef& color) const {
    if (column < 0 || column >= 38 || m_columnColorFlags[column] != 'Y') return false;
    color = m_columnColors[column];
    return true;
}

void CGridCoreBase::SetSysColors(const grid::SysColors& sys) {
    m_sys = sys;
    const GridFont* current = m_colors.currentFont;
    const GridFont* other = m_colors.otherFont;
    m_colors = GridCellColors::FromSystem(sys);
    m_colors.currentFont = current;
    m_colors.otherFont = other;
}

void CGridCoreBase::SetFonts(const GridFont* cellFont, const GridFont* headerFont) {
    m_cellFont = cellFont;
    m_headerFont = headerFont ? headerFont : cellFont;
}

void CGridCoreBase::SetExtraSize(int width, int height) {
    m_extraWidth = width;
    m_extraHeight = height;
}

unsigned CGridCoreBase::StyleBits() const { return m_host ? m_host->GridStyleBits() : 0; }

grid::Size CGridCoreBase::Client() const { return m_host ? m_host->ClientSize() : grid::Size{}; }

grid::ColorRef CGridCoreBase::OuterLineColor() const {
    return (StyleBits() & grid::kStyleFlatFixed) ? m_sys.btnShadow : m_sys.windowFrame;
}

// ---- layout ---------------------------------------------------------------

void CGridCoreBase::RecalcLayout() {
    if (m_host) m_rowHeight = std::max(1, m_host->CellTextHeight() + 3);
    m_headerRowHeight = m_rowHeight * 12 / 10;
    const int fixedColumns = GetFixedColumnCount();
    if (fixedColumns >= 1 && !(StyleBits() & grid::kStyleFixedColumnSizing))
        m_fixedColumnWidth = m_fixedWidthSwitch ? m_fixedWidthSetting : m_rowHeight / 2;
    int total = fixedColumns * m_fixedColumnWidth;
    for (int c = 0, n = GetCoreValue(); c < n; ++c) total += std::max(0, GetColumnValue(c));
    m_totalWidth = total;
    m_contentWidth = std::max(0, total - 1 + m_extraWidth);
    m_contentHeight =
        std::max(0, GetRowCount() * m_rowHeight + GetFixedRowCount() * m_headerRowHeight - 1 + m_extraHeight);
    m_scaleX = AxisScale(m_contentWidth);
    m_scaleY = AxisScale(m_contentHeight);
    UpdateScrollBars();
    ClampScrollPositions();
}

void CGridCoreBase::UpdateScrollBars() {
    if (m_inLayout) return;
    m_inLayout = true;
    const grid::Size full = m_host ? m_host->FullClientSize() : grid::Size{};
    const grid::Size bar = m_host ? m_host->ScrollBarSize() : grid::Size{};
    // Content extents in pixels, the last border line included.
    const int extentX = m_contentWidth + 1;
    const int extentY = m_contentHeight + 1;
    int w = full.width;
    int h = full.height;
    bool needH = extentX > w;
    bool needV = extentY > h;
    if (needV) {
        w -= bar.width;
        needH = extentX > w;
    }
    if (needH) {
        h -= bar.height;
        if (!needV && extentY > h) {
            needV = true;
            w -= bar.width;
        }
    }
    m_hBar = needH;
    m_vBar = needV;
    m_pageWidth = std::max(0, w);
    m_pageHeight = std::max(0, h);
    m_lineStepX = std::max(1, m_pageWidth / 10);
    m_lineStepY = m_rowHeight;
    m_barRangeX = (extentX + m_scaleX - 1) / m_scaleX;
    m_barRangeY = (extentY + m_scaleY - 1) / m_scaleY;
    ClampScrollPositions();
    if (m_host) {
        m_host->SetScrollBar(true, needH, m_scrollX / m_scaleX, std::max(1, m_pageWidth / m_scaleX), m_barRangeX);
        m_host->SetScrollBar(false, needV, m_scrollY / m_scaleY, std::max(1, m_pageHeight / m_scaleY), m_barRangeY);
        // Bars that float over the content take no room: the page is what
        // the client area really is once the bars are set.
        const grid::Size client = m_host->ClientSize();
        if (client.width > 0 && client.height > 0 && (client.width != m_pageWidth || client.height != m_pageHeight)) {
            m_pageWidth = client.width;
            m_pageHeight = client.height;
            m_lineStepX = std::max(1, m_pageWidth / 10);
            ClampScrollPositions();
            m_host->SetScrollBar(true, needH, m_scrollX / m_scaleX, std::max(1, m_pageWidth / m_scaleX), m_barRangeX);
            m_host->SetScrollBar(false, needV, m_scrollY / m_scaleY, std::max(1, m_pageHeight / m_scaleY),
                                 m_barRangeY);
        }
    }
    m_inLayout = false;
}

int CGridCoreBase::MaxScrollX() const { return std::max(0, m_contentWidth + 1 - m_pageWidth); }
int CGridCoreBase::MaxScrollY() const { return std::max(0, m_contentHeight + 1 - m_pageHeight); }

void CGridCoreBase::ClampScrollPositions() {
    m_scrollX = std::clamp(m_scrollX, 0, MaxScrollX());
    m_scrollY = std::clamp(m_scrollY, 0, MaxScrollY());
}

// ---- geometry -------------------------------------------------------------

int CGridCoreBase::ColumnLeft(int column) const {
    int x = GetFixedColumnCount() * m_fixedColumnWidth;
    for (int c = 0; c < column; ++c) x += std::max(0, GetColumnValue(c));
    return x - m_scrollX - 1;
}

int CGridCoreBase::RowTop(int row) const {
    return GetFixedRowCount() * m_headerRowHeight + row * m_rowHeight - m_scrollY - 1;
}

Rect CGridCoreBase::CellRect(int column, int row) const {
    const int x = ColumnLeft(column);
    const int y = RowTop(row);
    return {x, y, x + std::max(0, GetColumnValue(column)) + 1, y + m_rowHeight + 1};
}

int CGridCoreBase::ColumnAtX(int x) const {
    // A point on a boundary line belongs to the column on its left.
    int right = GetFixedColumnCount() * m_fixedColumnWidth - m_scrollX - 1;
    const int n = GetCoreValue();
    for (int c = 0; c < n; ++c) {
        right += std::max(0, GetColumnValue(c));
        if (x <= right) return c;
    }
    return n;
}

int CGridCoreBase::RowAtY(int y) const {
    const int offset = y - GetFixedRowCount() * m_headerRowHeight + m_scrollY;
    if (offset < 0 || m_rowHeight <= 0) return 0;
    return offset / m_rowHeight;
}

GridHit CGridCoreBase::GridHitTest(int x, int y) const {
    GridHit hit;
    const int fixedW = GetFixedColumnCount() * m_fixedColumnWidth;
    const int fixedH = GetFixedRowCount() * m_headerRowHeight;
    if (x < 0 || y < 0) return hit;
    const int columns = GetCoreValue();
    const int rows = GetRowCount();
    const bool inFixedColumn = x < fixedW;
    const bool inHeader = y < fixedH;
    const int column = inFixedColumn ? x / std::max(1, m_fixedColumnWidth) : ColumnAtX(x);
    const int row = inHeader ? y / std::max(1, m_headerRowHeight) : RowAtY(y);
    if (!inFixedColumn && column >= columns) return hit;  // right of the last column
    if (!inHeader && row >= rows) return hit;              // below the last row
    hit.column = column;
    hit.row = row;
    if (inFixedColumn && inHeader)
        hit.area = GridHit::Corner;
    else if (inHeader)
        hit.area = GridHit::Header;
    else if (inFixedColumn)
        hit.area = GridHit::RowHeader;
    else
        hit.area = GridHit::Cell;
    return hit;
}

// ---- repaint requests -----------------------------------------------------

void CGridCoreBase::InvalidateRect(const Rect& rect) {
    if (m_host && m_host->WindowExists() && !rect.IsEmpty()) m_host->Invalidate(&rect, false);
}

void CGridCoreBase::InvalidateCell(int column, int row) { InvalidateRect(CellRect(column, row)); }

void CGridCoreBase::InvalidateRowBand(int row) {
    const int y = RowTop(row);
    InvalidateRect({0, y, Client().width, y + m_rowHeight + 1});
}

void CGridCoreBase::InvalidateRowHeader(int row) {
    const int y = RowTop(row);
    InvalidateRect({0, y, GetFixedColumnCount() * m_fixedColumnWidth, y + m_rowHeight + 1});
}

void CGridCoreBase::InvalidateHeaderCell(int column) {
    const int x = ColumnLeft(column);
    InvalidateRect({x, 0, x + std::max(0, GetColumnValue(column)) + 1, GetFixedRowCount() * m_headerRowHeight});
}

void CGridCoreBase::InvalidateMarker() {
    if (m_markerX >= 0) InvalidateRect({m_markerX - 1, 0, m_markerX + 2, Client().height});
}

void CGridCoreBase::GoToRow(int row) {
    if (!m_host || !m_host->WindowExists()) return;
    const int y = RowTop(row);
    const Rect band{0, y, Client().width, y + m_rowHeight};
    if (!band.IsEmpty()) m_host->Invalidate(&band, true);
}

// ---- current cell and editing ---------------------------------------------

Rect CGridCoreBase::EditorRect() const {
    const int column = GetCurrentDataColumn();
    const int row = GetCurrentDataRow();
    Rect r = CellRect(column, row);
    if (HasCellIcon(column, row)) {
        int w = 0, h = 0;
        GetCellIconSize(column, row, w, h);
        const int shift = std::clamp(w, 0, std::max(0, r.Width() - 2)) + 2;
        r.left += shift;
    }
    return r;
}

void CGridCoreBase::ShowCurrentEditor() {
    const int column = GetCurrentDataColumn();
    CGridCellControl* editor = GetColumnControl(column);
    if (!editor) return;
    if (!EditorTakesCell(column, GetCurrentDataRow())) {
        editor->Hide();
        return;
    }
    const Rect r = EditorRect();
    editor->ShowAt(r.left, r.top, r.Width() - 1, m_rowHeight);
}

bool CGridCoreBase::EditorTakesCell(int column, int row) const {
    const CGridCellControl* editor = GetColumnControl(column);
    if (!editor) return false;
    if (editor->Kind() != grid::kEditorCheck) return true;
    return GetCellFormat(column, row).glyphType != grid::kDfcNone;
}

void CGridCoreBase::SyncCurrentEditor() {
    const int column = GetCurrentDataColumn();
    const int row = GetCurrentDataRow();
    if (row < 0 || row >= GetRowCount()) return;
    CGridCellControl* editor = GetColumnControl(column);
    if (!editor || editor->IsModified()) return;
    const GridCellText cell = GetCellText(column, row);
    std::string text;
    int value = 0;
    editor->GetValue(text, value);
    if (text == cell.text && value == cell.value) return;
    LoadCellControl(column, row, editor);
}

int CGridCoreBase::SetCurrentCell(int column, int row) {
    const int fixedColumns = GetFixedColumnCount();
    const int fixedRows = GetFixedRowCount();
    if (column < fixedColumns || column >= fixedColumns + GetCoreValue()) return 0;
    if (row < fixedRows || row >= fixedRows + GetRowCount()) return 0;
    if (m_inSetCurrent) return 0;
    m_inSetCurrent = true;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{m_inSetCurrent};

    if (!EndEdit(false)) return 0;

    const int oldColumn = m_currentColumn - fixedColumns;
    const int oldRow = m_currentRow - fixedRows;
    const int newColumn = column - fixedColumns;
    const int newRow = row - fixedRows;
    const bool changed = column != m_currentColumn || row != m_currentRow;
    m_currentColumn = column;
    m_currentRow = row;

    OnCurrentCellChanged(newColumn, newRow);
    if (m_host) m_host->FocusGrid();

    const bool rowSelect = StyleBits() & grid::kStyleRowSelect;
    if (oldRow != newRow) InvalidateRowHeader(oldRow);
    if (rowSelect && oldRow != newRow) {
        InvalidateRowBand(oldRow);
    } else {
        InvalidateCell(oldColumn, oldRow);
        if (oldColumn != newColumn) InvalidateHeaderCell(oldColumn);
    }

    EnsureVisible(newColumn, newRow);

    if (CGridCellControl* editor = GetColumnControl(newColumn)) {
        // The same cell made current again may hold another row by now.
        if (changed)
            LoadCellControl(newColumn, newRow, editor);
        else
            SyncCurrentEditor();
    } else if (CGridCellControl* made = CreateCellControl(newColumn, newRow, GetColumnControlStyle(newColumn), 0)) {
        SetColumnControlObject(newColumn, made);
        if (CGridCellControl* stored = GetColumnControl(newColumn)) LoadCellControl(newColumn, newRow, stored);
    }

    InvalidateRowHeader(newRow);
    if (rowSelect) {
        InvalidateRowBand(newRow);
    } else {
        InvalidateCell(newColumn, newRow);
        InvalidateHeaderCell(newColumn);
    }

    if (m_host && m_host->WindowExists())
        m_host->SendToParent(grid::kMsgCurrentCellChanged, m_host->WindowHandle(), 0);
    ShowCurrentEditor();
    // The focus coming back re-activates the cell as it stood; anything else
    // but a click brings the editor up without the user having chosen it.
    if (CGridCellControl* editor = GetColumnControl(newColumn); editor && !m_focusActivating)
        editor->SetFirstClickSelects(!m_clickActivating);
    return 1;
}

int CGridCoreBase::EndEdit(bool discardOnFailure) {
    const int column = GetCurrentDataColumn();
    const int row = GetCurrentDataRow();
    CGridCellControl* editor = GetColumnControl(column);
    if (!editor) return 1;
    if (editor->IsModified()) {
        const bool ok = editor->Commit() && OnCellTextChanged(column, row);
        if (!ok) {
            if (discardOnFailure) {
                editor->SetModified(0);
                editor->Hide();
            }
            return 0;
        }
        editor->SetModified(0);
        InvalidateCell(column, row);
    }
    editor->Hide();
    return 1;
}

void CGridCoreBase::RowCountShrunk(int rows) {
    const int fixedRows = GetFixedRowCount();
    if (m_currentRow < fixedRows + rows) return;
    if (CGridCellControl* editor = GetColumnControl(GetCurrentDataColumn())) {
        editor->SetModified(0);
        editor->Hide();
    }
    m_currentRow = fixedRows + std::max(0, rows - 1);
    if (m_host && m_host->WindowExists()) m_host->Invalidate(nullptr, false);
}

void CGridCoreBase::CancelEdit() {
    const int column = GetCurrentDataColumn();
    const int row = GetCurrentDataRow();
    CGridCellControl* editor = GetColumnControl(column);
    if (!editor) return;
    LoadCellControl(column, row, editor);
    editor->SetModified(0);
    editor->Hide();
    InvalidateCell(column, row);
}

bool CGridCoreBase::IsEditing() const {
    const CGridCellControl* editor = GetColumnControl(GetCurrentDataColumn());
    return editor && editor->IsModified();
}

// ---- scrolling ------------------------------------------------------------

void CGridCoreBase::EnsureVisible(int column, int row) {
    const grid::Size client{m_pageWidth, m_pageHeight};
    const int fixedW = GetFixedColumnCount() * m_fixedColumnWidth;
    const int fixedH = GetFixedRowCount() * m_headerRowHeight;
    const Rect cell = CellRect(column, row);
    // The cell shows fully when its inside starts in the data area and its
    // right / bottom border line is on screen.
    int dx = 0;
    if (cell.left + 1 < fixedW || cell.Width() > client.width - fixedW)
        dx = cell.left + 1 - fixedW;
    else if (cell.right > client.width)
        dx = cell.right - client.width;
    int dy = 0;
    if (cell.top + 1 < fixedH || cell.Height() > client.height - fixedH)
        dy = cell.top + 1 - fixedH;
    else if (cell.bottom > client.height)
        dy = cell.bottom - client.height;
    if (dx || dy) OnScrollBy(dx, dy, true);
}

int CGridCoreBase::OnScroll(unsigned code, int position, bool doScroll) {
    const unsigned hCode = code & 0xFF;
    const unsigned vCode = (code >> 8) & 0xFF;
    const int fixedH = GetFixedRowCount() * m_headerRowHeight;
    // A page moves by what the data area shows, never less than a line.
    const int pageX = std::max(m_lineStepX, m_pageWidth);
    const int pageY = std::max(m_lineStepY, m_pageHeight - fixedH);

    auto target = [&](unsigned c, int pos, int line, int page, int scale, int barRange, int barPage, int maxPos) {
        switch (c) {
            case kLineUp: return pos - line;
            case kLineDown: return pos + line;
            case kPageUp: return pos - page;
            case kPageDown: return pos + page;
            case kThumbTrack:
                // The end of the bar is the end of the content, whatever the scale.
                if (position >= barRange - barPage) return maxPos;
                return position * scale;
            case kTop: return 0;
            case kBottom: return maxPos;
            default: return pos;
        }
    };
    int x = m_scrollX;
    int y = m_scrollY;
    if (hCode != kNoScroll)
        x = target(hCode, x, m_lineStepX, pageX, m_scaleX, m_barRangeX, std::max(1, m_pageWidth / m_scaleX),
                   MaxScrollX());
    if (vCode != kNoScroll)
        y = target(vCode, y, m_lineStepY, pageY, m_scaleY, m_barRangeY, std::max(1, m_pageHeight / m_scaleY),
                   MaxScrollY());
    x = std::clamp(x, 0, MaxScrollX());
    y = std::clamp(y, 0, MaxScrollY());
    return OnScrollBy(x - m_scrollX, y - m_scrollY, doScroll);
}

int CGridCoreBase::OnScrollBy(int dx, int dy, bool doScroll) {
    if (!m_hBar) dx = 0;
    if (!m_vBar) dy = 0;
    const int x = std::clamp(m_scrollX + dx, 0, MaxScrollX());
    const int y = std::clamp(m_scrollY + dy, 0, MaxScrollY());
    if (x == m_scrollX && y == m_scrollY) return 0;
    if (!doScroll) return 1;
    const int movedX = x - m_scrollX;
    const int movedY = y - m_scrollY;
    m_scrollX = x;
    m_scrollY = y;
    if (m_host) {
        m_host->ScrollData(-movedX, -movedY);
        if (movedX) m_host->SetScrollPosition(true, m_scrollX / m_scaleX);
        if (movedY) m_host->SetScrollPosition(false, m_scrollY / m_scaleY);
    }
    AfterScroll();
    return 1;
}

void CGridCoreBase::AfterScroll() {
    if (!m_host) return;
    m_host->UpdateNow();
    // The editor stays with its value; it shows again when the cell is next
    // activated, and the cell shows the edited value meanwhile.
    if (CGridCellControl* editor = GetColumnControl(GetCurrentDataColumn())) editor->Hide();
    if (!m_inSetCurrent) m_host->FocusGrid();
    if (GetRowCount() > 0) InvalidateCell(GetCurrentDataColumn(), GetCurrentDataRow());
}

// ---- keyboard -------------------------------------------------------------

bool CGridCoreBase::HandleKey(grid::Key key, bool shift, bool ctrl) {
    const int column = m_currentColumn;
    const int row = m_currentRow;
    const int firstColumn = GetFixedColumnCount();
    const int lastColumn = firstColumn + GetCoreValue() - 1;
    const int firstRow = GetFixedRowCount();
    const int lastRow = firstRow + GetRowCount() - 1;
    // Page keys move by the rows the data area shows, at least one.
    const int pageRows = std::max(1, (m_pageHeight - GetFixedRowCount() * m_headerRowHeight) / std::max(1, m_rowHeight));
    using grid::Key;
    switch (key) {
        case Key::Tab:
            SetCurrentCell(shift ? column - 1 : column + 1, row);
            return true;
        case Key::Enter:
            if (!SetCurrentCell(column, row + 1)) SetCurrentCell(column, row);
            return true;
        case Key::PageUp:
            SetCurrentCell(column, ctrl ? firstRow : std::max(firstRow, row - pageRows));
            return true;
        case Key::PageDown:
            SetCurrentCell(column, ctrl ? lastRow : std::min(lastRow, row + pageRows));
            return true;
        case Key::End:
            SetCurrentCell(lastColumn, row);
            return true;
        case Key::Home:
            SetCurrentCell(firstColumn, row);
            return true;
        case Key::Left:
            SetCurrentCell(column - 1, row);
            return true;
        case Key::Right:
            SetCurrentCell(column + 1, row);
            return true;
        case Key::Up:
            SetCurrentCell(column, row - 1);
            return true;
        case Key::Down:
            SetCurrentCell(column, row + 1);
            return true;
        default:
            SetCurrentCell(column, row);
            return false;
    }
}

// ---- mouse ----------------------------------------------------------------

bool CGridCoreBase::UpdateResizeZone(int x, int y) {
    m_resizeArmed = false;
    const int fixedColumns = GetFixedColumnCount();
    const int fixedH = GetFixedRowCount() * m_headerRowHeight;
    if (y < 0 || y >= fixedH || x >= m_totalWidth - m_scrollX + 4) return false;
    if (StyleBits() & grid::kStyleFixedColumnSizing) {
        for (int c = 0; c < fixedColumns; ++c) {
            if (std::abs(x - (c + 1) * m_fixedColumnWidth) <= 2) {
                m_resizeArmed = true;
                m_resizeColumn = c;
                return true;
            }
        }
    }
    const int fixedW = fixedColumns * m_fixedColumnWidth;
    for (int c = 0, n = GetCoreValue(); c < n; ++c) {
        const int right = ColumnLeft(c) + std::max(0, GetColumnValue(c));
        if (right < fixedW - 2) continue;  // scrolled under the fixed column
        if (std::abs(x - right) > 2) continue;
        // Where edges coincide (a column dragged to width 0), a point left of
        // the edge takes the visible column and a point right of it the
        // hidden one, so that it can be widened again.
        if (!m_resizeArmed || x > right) {
            m_resizeArmed = true;
            m_resizeColumn = fixedColumns + c;
        }
    }
    return m_resizeArmed;
}

void CGridCoreBase::PressHit(const GridHit& hit, bool dblClick) {
    if (hit.area == GridHit::Header) {
        m_pressedHeaderColumn = hit.column;
        m_pressedHeaderRow = hit.row;
        InvalidateHeaderCell(hit.column);
        if (m_host) m_host->SetMouseCapture(true);
        if (dblClick)
            OnHeaderDblClick(hit.column, hit.row);
        else
            OnHeaderClick(hit.column, hit.row);
    } else if (hit.area == GridHit::RowHeader) {
        m_pressedRowHeaderColumn = hit.column;
        m_pressedRowHeaderRow = hit.row;
        InvalidateRowHeader(hit.row);
        if (m_host) m_host->SetMouseCapture(true);
    }
}

void CGridCoreBase::ReleasePressed() {
    bool released = false;
    if (m_pressedHeaderColumn >= 0) {
        const int column = m_pressedHeaderColumn;
        m_pressedHeaderColumn = m_pressedHeaderRow = -1;
        InvalidateHeaderCell(column);
        released = true;
    }
    if (m_pressedRowHeaderRow >= 0) {
        const int row = m_pressedRowHeaderRow;
        m_pressedRowHeaderColumn = m_pressedRowHeaderRow = -1;
        InvalidateRowHeader(row);
        released = true;
    }
    if (released && m_host) m_host->SetMouseCapture(false);
}

void CGridCoreBase::OnLButtonDown(int x, int y) {
    m_clickCode = 0;
    if (m_resizeArmed) {
        if (m_host) m_host->SetMouseCapture(true);
        m_resizeTracking = true;
        m_markerX = x;
        InvalidateMarker();
    } else {
        const GridHit hit = GridHitTest(x, y);
        if (hit.area == GridHit::Header || hit.area == GridHit::RowHeader) {
            PressHit(hit, false);
        } else if (hit.area == GridHit::Cell) {
            m_clickCode = grid::kClickCodeDataCell;
            const int column = GetFixedColumnCount() + hit.column;
            const int row = GetFixedRowCount() + hit.row;
            const bool wasCurrent = m_currentColumn == column && m_currentRow == row;
            m_clickActivating = true;
            const bool made = SetCurrentCell(column, row);
            m_clickActivating = false;
            if (m_currentColumn == column && m_currentRow == row && EditorTakesCell(hit.column, hit.row)) {
                if (CGridCellControl* editor = GetColumnControl(hit.column)) {
                    // A click on the cell that was current already starts the
                    // edit afresh, as a click on any other cell does: the row's
                    // text, all of it selected, so that typing replaces it.
                    if (made && wasCurrent && !editor->IsModified()) LoadCellControl(hit.column, hit.row, editor);
                    const Rect cell = CellRect(hit.column, hit.row);
                    editor->Click(x - cell.left, y - cell.top);
                }
            }
        }
    }
    if (m_host && m_host->WindowExists())
        m_host->SendToOwner(grid::kMsgGridNotify, grid::kGridNotifyTag, reinterpret_cast<std::intptr_t>(&m_clickCode));
}

void CGridCoreBase::OnLButtonDblClk(int x, int y) {
    const GridHit hit = GridHitTest(x, y);
    if (hit.area == GridHit::Header || hit.area == GridHit::RowHeader)
        PressHit(hit, true);
    else if (hit.area == GridHit::Cell)
        SetCurrentCell(GetFixedColumnCount() + hit.column, GetFixedRowCount() + hit.row);
}

void CGridCoreBase::OnMouseMove(int x, int y, bool leftDown) {
    if (m_resizeTracking) {
        if (leftDown) {
            InvalidateMarker();
            m_markerX = x;
            InvalidateMarker();
        } else {
            EndResize(x);
        }
        return;
    }
    const GridHit hit = GridHitTest(x, y);
    if (m_pressedHeaderColumn >= 0 &&
        !(hit.area == GridHit::Header && hit.column == m_pressedHeaderColumn && hit.row == m_pressedHeaderRow))
        ReleasePressed();
    if (m_pressedRowHeaderRow >= 0 && !(hit.area == GridHit::RowHeader && hit.column == m_pressedRowHeaderColumn &&
                                        hit.row == m_pressedRowHeaderRow))
        ReleasePressed();
}

void CGridCoreBase::OnLButtonUp(int x, int y) {
    (void)y;
    if (m_resizeTracking) EndResize(x);
    ReleasePressed();
}

void CGridCoreBase::EndResize(int x) {
    InvalidateMarker();
    m_resizeTracking = false;
    m_resizeArmed = false;
    m_markerX = -1;
    if (m_host) m_host->SetMouseCapture(false);
    const int fixedColumns = GetFixedColumnCount();
    const bool fixedChanged = m_resizeColumn < fixedColumns;
    if (fixedChanged) {
        m_fixedColumnWidth = std::max(0, x - m_resizeColumn * m_fixedColumnWidth);
    } else {
        const int column = m_resizeColumn - fixedColumns;
        if (!IsValidColumn(column)) return;
        // x + scroll - the left border line's content position
        SetColumnValue(column, std::max(0, x - ColumnLeft(column)));
    }
    CGridCellControl* editor = GetColumnControl(GetCurrentDataColumn());
    const bool wasShown = editor && editor->IsShown();
    if (editor) editor->Hide();
    RecalcLayout();
    if (m_host && m_host->WindowExists()) {
        m_host->SendToParent(grid::kMsgColumnResized, m_host->WindowHandle(), 0);
        m_host->FocusGrid();
        m_host->Invalidate(nullptr, false);
    }
    if (wasShown) ShowCurrentEditor();
}

// ---- focus, size, commands ------------------------------------------------

void CGridCoreBase::OnFocusGained(bool fromEditor) {
    m_hasFocus = true;
    if (m_inSetCurrent) return;
    if (!fromEditor || !GetColumnControl(GetCurrentDataColumn())) {
        m_focusActivating = true;
        SetCurrentCell(m_currentColumn, m_currentRow);
        m_focusActivating = false;
    }
}

void CGridCoreBase::OnFocusLeft() {
    m_hasFocus = false;
    if (m_inSetCurrent) return;
    EndEdit(false);
}

void CGridCoreBase::OnSize() {
    RecalcLayout();
    // The editor moves with its cell; an edit in progress goes on.
    CGridCellControl* editor = GetColumnControl(GetCurrentDataColumn());
    if (editor && editor->IsShown() && GetRowCount() > 0) ShowCurrentEditor();
}

void CGridCoreBase::OnDestroy() { EndEdit(true); }

int CGridCoreBase::CanEditCommand(grid::EditCommand command) const {
    const CGridCellControl* editor = GetColumnControl(GetCurrentDataColumn());
    if (!editor) return 0;
    switch (command) {
        case grid::EditCommand::Cut: return editor->CanCut();
        case grid::EditCommand::Copy: return editor->CanCopy();
        case grid::EditCommand::Paste: return editor->CanPaste();
        case grid::EditCommand::Undo: return editor->CanUndo();
    }
    return 0;
}

void CGridCoreBase::DoEditCommand(grid::EditCommand command) {
    CGridCellControl* editor = GetColumnControl(GetCurrentDataColumn());
    if (!editor) return;
    switch (command) {
        case grid::EditCommand::Cut: editor->Cut(); break;
        case grid::EditCommand::Copy: editor->Copy(); break;
        case grid::EditCommand::Paste: editor->Paste(); break;
        case grid::EditCommand::Undo: editor->Undo(); break;
    }
}

// ---- painting -------------------------------------------------------------

void CGridCoreBase::Paint(GridPainter& p, const Rect& update) {
    if (update.IsEmpty()) return;
    // The current cell is painted from its editor: it must show this row.
    SyncCurrentEditor();
    const grid::Size client = Client();
    const int fixedColumns = GetFixedColumnCount();
    const int fixedRows = GetFixedRowCount();
    const int fixedW = fixedColumns * m_fixedColumnWidth;
    const int fixedH = fixedRows * m_headerRowHeight;
    const int rows = GetRowCount();
    const int columns = GetCoreValue();
    p.SelectFont(m_cellFont);

    const int firstRow = std::min(rows, RowAtY(fixedH));
    const int lastRow = std::min(rows - 1, RowAtY(client.height - 1));
    const int firstColumn = std::min(columns, ColumnAtX(fixedW));
    const int lastColumn = std::min(columns - 1, ColumnAtX(client.width - 1));

    const Rect dataArea = Rect{fixedW, fixedH, client.width, client.height}.Intersect(update);
    if (!dataArea.IsEmpty() && columns > 0) {
        p.SetClip(dataArea);
        for (int r = firstRow; r <= lastRow; ++r) {
            const int y = RowTop(r);
            if (y <= dataArea.bottom && y + m_rowHeight + 1 >= dataArea.top) DrawRow(p, r, y);
        }
        p.ResetClip();
    }
    const bool meetsFixedColumn = update.left < fixedW;
    const bool meetsHeader = update.top < fixedH;
    if (meetsFixedColumn && rows > 0) {
        const Rect strip = Rect{0, fixedH, fixedW, client.height}.Intersect(update);
        if (!strip.IsEmpty()) {
            p.SetClip(strip);
            for (int r = firstRow; r <= lastRow; ++r)
                for (int c = 0; c < fixedColumns; ++c) DrawRowHeaderCell(p, c, r, c * m_fixedColumnWidth, RowTop(r));
            p.ResetClip();
        }
    }
    if (meetsHeader && columns > 0) {
        const Rect strip = Rect{fixedW, 0, client.width, fixedH}.Intersect(update);
        if (!strip.IsEmpty()) {
            p.SetClip(strip);
            for (int h = 0; h < fixedRows; ++h)
                for (int c = firstColumn; c <= lastColumn; ++c) DrawHeaderCell(p, c, h, ColumnLeft(c), h * m_headerRowHeight);
            p.ResetClip();
        }
    }
    if (meetsFixedColumn && meetsHeader) {
        for (int h = 0; h < fixedRows; ++h)
            for (int c = 0; c < fixedColumns; ++c) DrawCorner(p, c * m_fixedColumnWidth, h * m_headerRowHeight);
    }

    // What lies below the last row and right of the last column.
    const int rowsBottom = rows > 0 ? std::max(fixedH, RowTop(rows - 1) + m_rowHeight + 1) : fixedH;
    const int columnsRight = columns > 0 ? std::max(fixedW, ColumnLeft(columns - 1) + std::max(0, GetColumnValue(columns - 1)) + 1) : fixedW;
    const Rect below = Rect{0, rowsBottom, client.width, client.height}.Intersect(update);
    if (!below.IsEmpty()) p.FillRect(below, m_sys.window);
    const Rect right = Rect{columnsRight, 0, client.width, rowsBottom}.Intersect(update);
    if (!right.IsEmpty()) p.FillRect(right, m_sys.window);

    if (m_resizeTracking && m_markerX >= 0) {
        const int top = fixedRows >= 2 ? fixedH : 0;
        p.MarkerLine(m_markerX, top, client.height);
    }
    p.SelectFont(m_cellFont);
}

void CGridCoreBase::DrawRow(GridPainter& p, int row, int y) {
    const grid::Size client = Client();
    const int fixedW = GetFixedColumnCount() * m_fixedColumnWidth;
    const int columns = GetCoreValue();
    const int first = std::min(columns, ColumnAtX(fixedW));
    const int last = std::min(columns - 1, ColumnAtX(client.width - 1));
    for (int c = first; c <= last; ++c) DrawCell(p, c, row, ColumnLeft(c), y);
    if (row == GetCurrentDataRow() && (StyleBits() & grid::kStyleRowSelect) && columns > 0) {
        const GridCellColors& colors = GetRowColors(GetCurrentDataColumn(), row);
        const Rect band = Rect{ColumnLeft(0), y, ColumnLeft(columns - 1) + std::max(0, GetColumnValue(columns - 1)) + 1,
                               y + m_rowHeight + 1}
                              .Deflated(1);
        if (colors.solidFrame) {
            p.FrameRect(band, colors.frameColor);
        } else {
            p.FrameRect(band, colors.frameSecond);
            p.FocusRect(band.Deflated(1));
        }
    }
}

void CGridCoreBase::DrawCell(GridPainter& p, int column, int row, int x, int y) {
    const int width = std::max(0, GetColumnValue(column));
    const Rect cell{x, y, x + width + 1, y + m_rowHeight + 1};
    const GridCellColors& colors = GetRowColors(column, row);
    const unsigned style = StyleBits();
    const bool isCurrent = column == GetCurrentDataColumn() && row == GetCurrentDataRow();
    const bool selectedRow = (style & grid::kStyleRowSelect) && row == GetCurrentDataRow();
    grid::ColorRef background = colors.cellBackground;
    grid::ColorRef text = colors.cellText;
    if (isCurrent) {
        background = colors.currentBackground;
        text = colors.currentText;
    } else if (selectedRow) {
        background = colors.selectedBackground;
        text = colors.selectedText;
    }
    GetColumnColor(column, text);

    // Borders: left and right lines down the sides, top and bottom lines
    // reaching past them by the overhang.
    grid::ColorRef left = colors.borderLeft, top = colors.borderTop, right = colors.borderRight,
                   bottom = colors.borderBottom;
    int overhang = colors.borderOverhang;
    if (style & grid::kStyleBackgroundBorders) {
        left = right = selectedRow ? colors.selectedBackground : colors.cellBackground;
        top = bottom = colors.cellBackground;
        overhang = 1;
    }
    if (overhang == 0 && left == top && left == right && left == bottom) {
        // Four lines of one colour along the edges: the same pixels as a
        // fill, whose inside the background covers next.
        p.FillRect(cell, left);
    } else {
        p.Line(cell.left, cell.top, cell.left, cell.bottom, left);
        p.Line(cell.right - 1, cell.top, cell.right - 1, cell.bottom, right);
        p.Line(cell.left - overhang, cell.top, cell.right + overhang, cell.top, top);
        p.Line(cell.left - overhang, cell.bottom - 1, cell.right + overhang, cell.bottom - 1, bottom);
    }

    Rect inner = cell.Deflated(1);
    if (inner.IsEmpty()) return;

    GridCellText value;
    const CGridCellControl* editor = isCurrent ? GetColumnControl(column) : nullptr;
    if (editor)
        editor->GetValue(value.text, value.value);
    else
        value = GetCellText(column, row);
    const GridCellFormat format = GetCellFormat(column, row);

    p.FillRect(inner, background);

    int textLeft = inner.left;
    if (HasCellIcon(column, row)) {
        int iw = 0, ih = 0;
        GetCellIconSize(column, row, iw, ih);
        iw = std::clamp(iw, 0, inner.Width());
        ih = std::clamp(ih, 0, inner.Height());
        const int iy = inner.top + (inner.Height() - ih) / 2;
        p.CellIcon(column, row, GetCellIconKind(column, row), {inner.left, iy, inner.left + iw, iy + ih}, isCurrent);
        textLeft = inner.left + iw + 2;
    }

    if (isCurrent) {
        if (colors.solidFrame) {
            p.FrameRect(inner, colors.frameColor);
        } else {
            p.FrameRect(inner, colors.frameSecond);
            p.FocusRect(inner.Deflated(1));
        }
    }

    Rect textRect = inner.Deflated(1);
    textRect.left = std::max(textRect.left, textLeft);
    if (textRect.IsEmpty()) return;
    const GridFont* font = isCurrent ? colors.currentFont : colors.otherFont;
    if (font) p.SelectFont(font);

    if (format.glyphType == grid::kDfcScroll) {
        const int arrow = std::min(kComboArrowWidth, textRect.Width());
        const Rect arrowRect{textRect.right - arrow, textRect.top, textRect.right, textRect.bottom};
        Rect rest = textRect;
        rest.right = arrowRect.left;
        if (!rest.IsEmpty()) p.Text(value.text, rest, static_cast<unsigned>(format.format), text);
        p.FrameControl(arrowRect, grid::kDfcScroll, grid::kDfcsScrollComboBox);
    } else if (format.glyphType != grid::kDfcNone) {
        // The glyph's state is the cell format's: a subclass that shows its
        // values as checks gives each cell its state in GetCellFormat.
        PaintGlyphAndText(p, textRect, format.glyphType, static_cast<unsigned>(format.glyphState), value.text, text);
    } else {
        p.Text(value.text, textRect, static_cast<unsigned>(format.format), text);
    }
    if (font) p.SelectFont(m_cellFont);
}

void CGridCoreBase::DrawFixedFace(GridPainter& p, const Rect& inner, bool pressed) const {
    if (pressed) {
        p.FillRect(inner, m_sys.btnFace);
        p.FrameRect(inner, m_sys.btnShadow);
    } else if (StyleBits() & grid::kStyleFlatFixed) {
        p.FillRect(inner, m_sys.btnFace);
        p.Draw3dRect(inner, m_sys.btnHighlight, m_sys.btnShadow);
    } else {
        p.FrameControl(inner, grid::kDfcButton, grid::kDfcsButtonPush);
    }
}

void CGridCoreBase::DrawHeaderCell(GridPainter& p, int column, int row, int x, int y) {
    const int width = std::max(0, GetColumnValue(column));
    const Rect cell{x, y, x + width + 1, y + m_headerRowHeight};
    p.FrameRect(cell, OuterLineColor());
    const Rect inner = cell.Deflated(1);
    if (inner.IsEmpty()) return;
    const bool pressed = column == m_pressedHeaderColumn && row == m_pressedHeaderRow;
    DrawFixedFace(p, inner, pressed);
    const GridColumnHeader header = GetColumnHeader(column);
    Rect textRect = inner.Deflated(2);
    if (pressed) {
        textRect.left += 1;
        textRect.top += 1;
        textRect.right += 1;
        textRect.bottom += 1;
    }
    if (textRect.IsEmpty()) return;
    p.SelectFont(m_headerFont);
    p.Text(header.caption, textRect, static_cast<unsigned>(header.format), m_sys.windowText);
    p.SelectFont(m_cellFont);
}

void CGridCoreBase::DrawRowHeaderCell(GridPainter& p, int column, int row, int x, int y) {
    const Rect cell{x, y, x + m_fixedColumnWidth, y + m_rowHeight + 1};
    p.FrameRect(cell, OuterLineColor());
    const Rect inner = cell.Deflated(1);
    if (inner.IsEmpty()) return;
    const bool pressed = column == m_pressedRowHeaderColumn && row == m_pressedRowHeaderRow;
    DrawFixedFace(p, inner, pressed);
    if (row == GetCurrentDataRow() && column == GetFixedColumnCount() - 1) {
        // A small triangle pointing right: 4 wide, 8 high.
        const int ty = cell.top + (cell.Height() - 8) / 2;
        const int tx = m_fixedWidthSwitch > 98 ? cell.right - 8 : cell.left + (cell.Width() - 4) / 2;
        const int xs[3] = {tx, tx + 4, tx};
        const int ys[3] = {ty, ty + 4, ty + 8};
        p.Triangle(xs, ys, m_sys.windowFrame);
    }
    char number[16];
    std::snprintf(number, sizeof number, "%d", row + 1);
    const Rect textRect{inner.left, inner.top, cell.right - 11, inner.bottom};
    if (!textRect.IsEmpty())
        p.Text(number, textRect, grid::kDtRight | grid::kDtVCenter | grid::kDtSingleLine, m_sys.windowText);
}

void CGridCoreBase::DrawCorner(GridPainter& p, int x, int y) {
    const Rect cell{x, y, x + m_fixedColumnWidth, y + m_headerRowHeight};
    const Rect inner = cell.Deflated(1);
    if (!inner.IsEmpty()) {
        if (StyleBits() & grid::kStyleFlatFixed) {
            p.FillRect(inner, m_sys.btnFace);
            p.Draw3dRect(inner, m_sys.btnHighlight, m_sys.btnShadow);
        } else {
            p.FrameControl(inner, grid::kDfcButton, grid::kDfcsButtonPush);
        }
    }
    p.FrameRect(cell, OuterLineColor());
}

// ---- default cell operations ------------------------------------------------

CGridCellControl* CGridCoreBase::CreateCellControl(int column, int row, long style, int id) {
    (void)row;
    auto* editor = new CGridCellControl;
    editor->Create(style, m_host, id ? id : grid::kFirstEditorId + column);
    editor->SetFrameSettings(&m_colors);
    return editor;
}

CGridCellControl* CGridCoreBase::CreateCellObject(int column, int row, long style, int id) {
    (void)row;
    auto* editor = new CGridCellControl;
    editor->CreateWithoutWindow(style, m_host, id ? id : grid::kFirstEditorId + column);
    editor->SetFrameSettings(&m_colors);
    return editor;
}

void CGridCoreBase::SetColumnControlObject(int column, CGridCellControl* editor) {
    (void)column;
    m_editor.reset(editor);
}

void CGridCoreBase::LoadCellControl(int column, int row, CGridCellControl* editor) {
    if (!editor) return;
    const GridCellText cell = GetCellText(column, row);
    editor->SetValue(cell.text, cell.value);
}

CGridCellControl* CGridCoreBase::GetColumnControl(int column) const {
    (void)column;
    return m_editor.get();
}

long CGridCoreBase::GetColumnControlStyle(int column) const {
    (void)column;
    return grid::kWsChild;
}

const GridCellColors& CGridCoreBase::GetRowColors(int column, int row) const {
    (void)column, (void)row;
    return m_colors;
}

bool CGridCoreBase::HasCellIcon(int column, int row) const {
    (void)column, (void)row;
    return false;
}

int CGridCoreBase::GetCellIconKind(int column, int row) const {
    (void)column, (void)row;
    return grid::kIconNone;
}

void CGridCoreBase::GetCellIconSize(int column, int row, int& width, int& height) const {
    (void)column, (void)row;
    width = height = 0;
}

void CGridCoreBase::OnCurrentCellChanged(int column, int row) { (void)column, (void)row; }

GridCellFormat CGridCoreBase::GetCellFormat(int column, int row) const {
    (void)column, (void)row;
    return {};
}

GridCellText CGridCoreBase::GetCellText(int column, int row) const {
    char text[32];
    std::snprintf(text, sizeof text, "%u - %u", static_cast<unsigned>(column), static_cast<unsigned>(row));
    return {text, -1};
}

void CGridCoreBase::OnHeaderClick(int column, int row) { (void)column, (void)row; }

void CGridCoreBase::OnHeaderDblClick(int column, int row) { OnHeaderClick(column, row); }

int CGridCoreBase::GetColumnControlId(int column) const { return grid::kFirstEditorId + column; }
