#include "measure_market/size_chart_grid.h"

#include "measure_market/grid_edit_commit.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace {

constexpr grid::ColorRef kEvenRow = 0xD2FFFF;
constexpr grid::ColorRef kTitleRow = 0xC8FFC8;
constexpr grid::ColorRef kPastShown = 0xC8C8C8;
constexpr grid::ColorRef kCurrentRow = 0xDCDC00;

struct ColumnSpec {
    int width;
    const char* caption;
    bool text;
};
constexpr ColumnSpec kColumns[] = {
    {16, "--", false},        {100, "服饰类型", true}, {100, "国家标准", true}, {100, "S/L/M标注", true},
    {100, "欧码标注", true},  {100, "北美标注", true}, {18, "--", false},       {18, "季", false},
    {370, "服饰参数", true},  {450, "备注", true},
};

bool IsTextColumn(int column) { return measure::FieldSlotIndex(column) >= 0; }

}  // namespace

CSizeChartGrid::CSizeChartGrid(measure::CSizeDatabase& db, const std::filesystem::path& base) : m_db(db) {
    m_db.CopyTrimmedName(base);
    m_db.LoadBodies();
    m_db.LoadSizes();
    for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
        const ColumnSpec& s = kColumns[c];
        InsertColumn(s.width, s.caption, s.text ? (grid::kDtLeft | grid::kDtSingleLine | 4) : 5, 0x8025, 0, 0, 0);
        if (s.text)
            SetColumnControl(c, grid::kEditorEdit, 0x40000080, 0);
        else
            SetColumnMetrics(c, 15, 15, grid::kIconImageList);
    }
    platform::ui::LoadImageListStrip(m_icons, kSizeChartBitmap, 15, wxColour(0, 128, 128));
    SetRowCount(kSizeChartGridRows, 0);
    m_db.ParseAllSizes();
    const grid::ColorRef colours[5] = {0xFF0000, 0x000080, 0x808000, 0x000080, 0x808000};
    for (int c = 1; c <= 5; ++c) SetColumnColor(c, colours[c - 1]);
    SetDefaultCellMetrics(999, 36);
    m_shown = m_db.GetSizeCount();
}

void CSizeChartGrid::RefreshRows() { RefreshRowsAt(GetCurrentDataRow()); }

void CSizeChartGrid::RefreshRowsAt(int row) {
    m_shown = m_db.GetSizeCount();
    if (WindowExists()) {
        SetCurrentCell(GetCurrentColumn(), GetFixedRowCount() + row);
        RecalcLayout();
        Refresh(false);
    }
}

void CSizeChartGrid::ReloadRows() {
    CancelEdit();
    m_db.LoadSizes();
    RefreshRows();
}

bool CSizeChartGrid::MayChangeChart() {
    if (!m_db.sizeFileKept()) return true;
    const auto answer = platform::ui::ShowMessage(measure::kAskNewChart, platform::MbButtons::YesNo,
                                                  platform::MbIcon::Question, "特别提示", this);
    if (answer != platform::MbResult::Yes) return false;
    m_db.StartNewChart();
    RefreshRows();
    return true;
}

int CSizeChartGrid::RowOperation(int op) {
    if (!measure::CommitGridEdit(*this)) return -1;
    // The current cell follows the row acted on: after an insert the new row
    // (it takes the stored place of the row it went before), after a delete
    // the row that moved up into the deleted one's place, after a title the
    // row itself; an insert or delete shows the whole chart again.
    const int displayRow = GetCurrentDataRow();
    const int stored = m_db.StoredRowOf(displayRow);
    const int result = m_db.EditSizeRow(op, displayRow);
    if (result != measure::kRowOpDone) return result;
    const int row = m_db.DisplayRowOf(stored);
    RefreshRowsAt(row >= 0 ? row : displayRow);
    return result;
}

bool CSizeChartGrid::ToggleAtCurrentCell() {
    const int column = GetCurrentDataColumn(), row = GetCurrentDataRow();
    if ((column != measure::kCharSex && column != measure::kCharDigit) || row < 0 || row >= m_shown) return false;
    if (m_db.ToggleSizeFlag(row, column) == ' ') return false;
    GoToRow(row);
    return true;
}

GridCellText CSizeChartGrid::GetCellText(int column, int row) const {
    if (row < 0 || row >= m_shown || !IsTextColumn(column)) return {};
    return {m_db.GetSizeField(row, column), -1};
}

int CSizeChartGrid::OnCellTextChanged(int column, int row) {
    CGridCellControl* editor = GetColumnControl(column);
    if (!editor || !IsTextColumn(column)) return CZYKGridCtrl::OnCellTextChanged(column, row);
    std::string text;
    int value = 0;
    editor->GetValue(text, value);
    if (text == m_db.GetSizeField(row, column) && row < m_shown) return CZYKGridCtrl::OnCellTextChanged(column, row);
    if ((text.empty() && m_db.sizeFileKept()) || !MayChangeChart()) {
        // The typed text goes; the unreadable file stays as it is.
        GoToRow(row);
        return CZYKGridCtrl::OnCellTextChanged(column, row);
    }
    const int result = m_db.SetSizeField(row, column, text);
    if (result < 0) {
        m_editError = "尺码库的文字空间已满, 这一格保留原来的文字!";
        platform::ui::ShowMessage(m_editError, platform::MbButtons::Ok, platform::MbIcon::Exclamation, "特别提示", this);
        GoToRow(row);
        return CZYKGridCtrl::OnCellTextChanged(column, row);
    }
    m_editError.clear();
    if (result == 1) RefreshRows();
    GoToRow(row);
    return CZYKGridCtrl::OnCellTextChanged(column, row);
}

void CSizeChartGrid::GetCellInfo(int column, int row, GridImageListDraw& info, bool) {
    if (row < 0 || row >= m_shown) return;
    info.imageList = &m_icons;
    switch (column) {
    case 0:
        if (m_db.GetSizeChar(row, measure::kCharKind) == 'T')
            info.index = 10;
        else if (m_db.GetSizeChar(row, measure::kCharMark) == 'Y')
            info.index = 11;
        break;
    case 6: info.index = m_db.GetSizeChar(row, measure::kCharSex) == 'M' ? 7 : 6; break;
    case 7: {
        const char d = m_db.GetSizeChar(row, measure::kCharDigit);
        if (d >= '1' && d <= '5') info.index = d - '0';
        break;
    }
    default: break;
    }
}

const GridCellColors& CSizeChartGrid::GetRowColors(int column, int row) const {
    m_colours = CZYKGridCtrl::GetRowColors(column, row);
    grid::ColorRef fill = m_colours.cellBackground;
    bool set = false;
    if (row % 2 == 0) fill = kEvenRow, set = true;
    if (row < m_shown && m_db.GetSizeChar(row, measure::kCharKind) == 'T') fill = kTitleRow, set = true;
    if (row >= m_shown) fill = kPastShown, set = true;
    if (row == GetCurrentDataRow()) fill = kCurrentRow, set = true;
    if (set) m_colours.cellBackground = m_colours.currentBackground = m_colours.selectedBackground = fill;
    return m_colours;
}

void CSizeChartGrid::OnCurrentCellChanged(int column, int row) {
    const int before = m_lastRow;
    CZYKGridCtrl::OnCurrentCellChanged(column, row);
    m_lastRow = row;
    if (before != row && WindowExists()) Refresh(false);
}
