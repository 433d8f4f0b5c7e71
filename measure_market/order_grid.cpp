#include "measure_market/order_grid.h"

#include <wx/window.h>

using namespace measure_market;

namespace {
constexpr int kColumnChecked = 0;
constexpr int kColumnQuantity = 4;
constexpr int kColumnSize = 7;
constexpr int kColumnColour = 8;
constexpr int kColumnNote = 9;
}  // namespace

COrderGrid::COrderGrid() {
    InsertColumn(30, "复核", 5, 0x8025, grid::kDfcButton, grid::kDfcsFlat, 0);
    SetColumnControl(kColumnChecked, grid::kEditorCheck, 0x40008003, 0);
    const struct {
        int width;
        const char* caption;
    } columns[] = {{100, "代码"}, {160, "名称"}, {90, "单价"}, {60, "数量"}, {50, "单位"},
                   {90, "合价"},  {60, "尺码"},  {100, "颜色"}, {170, "备注"}};
    for (const auto& c : columns) {
        const int column = InsertColumn(c.width, c.caption, 0x8025, 0x8025, 0, 0, 0);
        SetColumnControl(column, grid::kEditorEdit, 0x40000080, 0);
    }
    SetColumnColor(1, 0xFF0000);
    SetColumnColor(2, 0x000080);
    SetColumnColor(3, 0x808000);
    SetDefaultCellMetrics(999, 36);
    SetRowCount(kOrderGridRows, 0);
}

bool COrderGrid::AddLine(const OrderLineInput& in, char tag, const std::string& picturePath) {
    EndEdit(true);
    if (!OrderLines().AddLine(in, tag, picturePath)) return false;
    const int row = OrderLines().count() - 1;
    RecalcLayout();
    SetCurrentCell(GetFixedColumnCount() + 1, GetFixedRowCount() + row);
    EnsureVisible(1, row);
    Changed();
    return true;
}

bool COrderGrid::GetSelectedLine(SelectedLine* out) {
    const int r = GetCurrentDataRow();
    if (r < 0 || r >= OrderLines().count()) return false;
    out->line = OrderLines().line(r);
    out->picturePath = OrderLines().picturePath(r);
    return true;
}

bool COrderGrid::GetLineNote(int index, std::string* path) const {
    if (index < 0 || index >= OrderLines().count()) return false;
    *path = OrderLines().picturePath(index);
    return true;
}

bool COrderGrid::HasSelectedLine() const {
    const int r = GetCurrentDataRow();
    return r >= 0 && r < OrderLines().count();
}

bool COrderGrid::DeleteSelectedLine() {
    // A value typed into the row is kept or dropped with it, never moved
    // onto the next line.
    EndEdit(true);
    if (!OrderLines().DeleteLine(GetCurrentDataRow())) return false;
    Changed();
    return true;
}

OrderTotal COrderGrid::UpdateTotal() {
    EndEdit(true);
    const OrderTotal t = OrderLines().UpdateTotal();
    Changed();
    return t;
}

OrderWriteResult COrderGrid::WriteOrderFile(const std::filesystem::path& base, const std::string& orderNo,
                                            const std::string& orderer, const std::string& contact,
                                            const platform::MessageSink& messages) {
    EndEdit(true);
    return measure_market::WriteOrderFile(OrderLines(), base, orderNo, orderer, contact, messages);
}

void COrderGrid::Reload() {
    CancelEdit();
    Changed();
}

void COrderGrid::Changed() {
    Refresh(false);
    if (onLinesChanged) onLinesChanged();
}

GridCellText COrderGrid::GetCellText(int column, int row) const {
    const OrderTable& t = OrderLines();
    if (row < 0 || row > t.count() || row > kMaxOrderLines) return {};
    const OrderLine& l = t.line(row);
    if (row == t.count()) {
        if (l.kind != kKindTotal) return {};
        if (column == 2) return {l.name, -1};
        if (column == kColumnQuantity) return {l.quantity, -1};
        if (column == 6) return {l.amount, -1};
        return {};
    }
    switch (column) {
        case 0: return {"", l.checked == kChecked ? 1 : 0};
        case 1: return {l.code, -1};
        case 2: return {l.name, -1};
        case 3: return {l.price, -1};
        case 4: return {l.quantity, -1};
        case 5: return {l.unit, -1};
        case 6: return {l.amount, -1};
        case 7: return {l.size, -1};
        case 8: return {l.colour, -1};
        case 9: return {l.note, -1};
        default: return {};
    }
}

GridCellFormat COrderGrid::GetCellFormat(int column, int row) const {
    GridCellFormat f = CZYKGridCtrl::GetCellFormat(column, row);
    if (column == kColumnChecked) {
        if (row < 0 || row >= OrderLines().count())
            f.glyphType = grid::kDfcNone;  // no box on the total line and the empty rows
        else if (OrderLines().line(row).checked == kChecked)
            f.glyphState |= grid::kDfcsChecked;
    }
    return f;
}

int COrderGrid::OnCellTextChanged(int column, int row) {
    CGridCellControl* editor = GetColumnControl(column);
    if (!editor) return 0;
    std::string text;
    int value = 0;
    editor->GetValue(text, value);
    OrderTable& t = OrderLines();
    bool changed = true;
    switch (column) {
        case kColumnChecked: t.SetChecked(row, value == 1); break;
        case kColumnQuantity: t.SetQuantity(row, text); break;
        case kColumnSize: t.SetSize(row, text); break;
        case kColumnColour: t.SetColour(row, text); break;
        case kColumnNote: t.SetNote(row, text); break;
        default: changed = false; break;  // the other columns are not stored
    }
    const int result = CZYKGridCtrl::OnCellTextChanged(column, row);
    if (changed && column == kColumnQuantity) Changed();
    return result;
}

const GridCellColors& COrderGrid::GetRowColors(int column, int row) const {
    GridCellColors& c = m_colours;
    c = CZYKGridCtrl::GetRowColors(column, row);
    auto set = [&c](grid::ColorRef colour) { c.cellBackground = c.currentBackground = colour; };
    if (row % 2 == 0) set(kEvenRowColour);
    if (row >= OrderLines().count()) set(kPastEndColour);
    if (row == OrderLines().count() && OrderLines().HasTotalLine()) set(kTotalRowColour);
    if (row == GetCurrentDataRow()) {
        set(kCurrentRowColour);
        c.selectedBackground = kCurrentRowColour;
        c.selectedText = c.cellText;
    }
    return c;
}

void COrderGrid::OnCurrentCellChanged(int column, int row) {
    const int before = m_lastRow;
    CZYKGridCtrl::OnCurrentCellChanged(column, row);
    m_lastRow = row;
    if (before != row) Refresh(false);
}
