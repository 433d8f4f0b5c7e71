#include "project_editor/project_grids.h"

#include <algorithm>

#include "controls/grid_cell_controls.h"
#include "platform/ui/resources.h"
#include "project_editor/part_params.h"
#include "project_editor/project_dialogs.h"

namespace fs = std::filesystem;

namespace project_editor {

namespace {

constexpr int kBitmapGridIcons = 149;
constexpr int kInitialRows = 11;
constexpr grid::ColorRef kCurrentRowColour = 0xDCDC00;
constexpr grid::ColorRef kPastEndColour = 0xBCBCBC;
constexpr unsigned kHeaderFormat = 0x8025;
constexpr long kEditorStyle = 0x40000080;

}  // namespace

CProjectDialogGrid::CProjectDialogGrid() {
    platform::ui::LoadImageListStrip(m_icons, kBitmapGridIcons, 15, wxColour(0, 128, 128));
}

void CProjectDialogGrid::SetUpColumns() {
    // Every column holds its cell's value without a window of its own: a
    // click tells the owner, who acts on the current cell; nothing is typed in.
    for (int c = 0; c < GetCoreValue(); ++c) SetColumnControl(c, grid::kEditorValue, kEditorStyle, 0);
    SetColumnMetrics(0, 15, 15, grid::kIconImageList);
    SetColumnColor(1, 0xFF0000);
    for (int c : {4, 5, 6})
        if (c < GetCoreValue()) SetColumnColor(c, 0x808080);
    SetRowCount(kInitialRows, 0);
}

bool CProjectDialogGrid::CreateOver(wxWindow* parent, const wxRect& rect, int id) {
    if (!Create(0, kProjectGridStyle, rect, parent, id)) return false;
    RecalcLayout();
    return true;
}

void CProjectDialogGrid::GetCellInfo(int column, int row, GridImageListDraw& info, bool) {
    if (column != 0 || row < 0) return;
    info.imageList = &m_icons;
    info.index = IconIndex(row, row == GetCurrentDataRow());
}

const GridCellColors& CProjectDialogGrid::GetRowColors(int column, int row) const {
    m_colours = CZYKGridCtrl::GetRowColors(column, row);
    if (row >= DataRows()) m_colours.cellBackground = m_colours.currentBackground = kPastEndColour;
    if (row == GetCurrentDataRow())
        m_colours.cellBackground = m_colours.currentBackground = m_colours.selectedBackground = kCurrentRowColour;
    return m_colours;
}

void CProjectDialogGrid::OnCurrentCellChanged(int column, int row) {
    const int before = m_lastRow;
    CZYKGridCtrl::OnCurrentCellChanged(column, row);
    m_lastRow = row;
    if (before == row) return;
    Refresh(false);
    if (onRowChanged) onRowChanged();
}

// ---- CPictureFileGrid ----

CPictureFileGrid::CPictureFileGrid() {
    InsertColumn(22, "--", 5, kHeaderFormat, 0, 0, 0);
    InsertColumn(260, "名称", 4 | grid::kDtSingleLine, kHeaderFormat, 0, 0, 0);
    SetUpColumns();
    SetDefaultCellMetrics(999, 46);
}

void CPictureFileGrid::SetFileList(const std::vector<std::string>& names) {
    m_names.assign(names.begin(), names.begin() + std::min<std::ptrdiff_t>(names.size(), kMaxPictureFiles));
    m_marks.assign(m_names.size(), ' ');
    SetRowCount(count(), 1);
    CancelEdit();  // the current cell shows the new list's name
    if (WindowExists()) {
        RecalcLayout();
        Refresh();
    }
}

bool CPictureFileGrid::GetSelectedName(int& index, std::string& name) const {
    index = GetCurrentDataRow();
    if (index < 0 || index >= count()) return false;
    name = m_names[static_cast<std::size_t>(index)];
    return true;
}

bool CPictureFileGrid::ToggleMark() {
    const int row = GetCurrentDataRow();
    if (GetCurrentDataColumn() == 0 && row >= 0 && row < count()) {
        char& m = m_marks[static_cast<std::size_t>(row)];
        m = m == 'Y' ? ' ' : 'Y';
        if (WindowExists()) InvalidateRowBand(row);
    }
    return AnyMarked();
}

bool CPictureFileGrid::InvertMarks(int mode) {
    for (char& m : m_marks) m = mode == 9 ? (m == 'Y' ? ' ' : 'Y') : 'Y';
    if (WindowExists()) Refresh();
    return AnyMarked();
}

bool CPictureFileGrid::AnyMarked() const { return std::find(m_marks.begin(), m_marks.end(), 'Y') != m_marks.end(); }

std::vector<std::string> CPictureFileGrid::MarkedNames() const {
    std::vector<std::string> out;
    for (int i = 0; i < count(); ++i)
        if (marked(i)) out.push_back(m_names[static_cast<std::size_t>(i)]);
    return out;
}

std::vector<std::string> CPictureFileGrid::CopyMarkedFiles(const fs::path& from, const fs::path& to,
                                                           PictureFileOps& files) const {
    return CopyNamedFiles(from, to, MarkedNames(), files);
}

GridCellText CPictureFileGrid::GetCellText(int column, int row) const {
    if (column == 1 && row >= 0 && row < count()) return {m_names[static_cast<std::size_t>(row)], -1};
    return {};
}

int CPictureFileGrid::IconIndex(int row, bool) const {
    if (row < 0 || row >= count()) return -1;
    return marked(row) ? 11 : 10;
}

// ---- CMediaListGrid ----

CMediaListGrid::CMediaListGrid() {
    InsertColumn(18, "--", 5, kHeaderFormat, 0, 0, 0);
    for (const char* caption : {"图片列表", "动画列表", "多面声音", "动画声音"})
        InsertColumn(130, caption, 4 | grid::kDtSingleLine, kHeaderFormat, 0, 0, 0);
    SetUpColumns();
    SetDefaultCellMetrics(999, 32);
    m_faces = MediaFaceCount(CProjectStore::Instance(), CurrentPartIndex());
}

void CMediaListGrid::UpdateFaceCount() {
    m_faces = MediaFaceCount(CProjectStore::Instance(), CurrentPartIndex());
    CancelEdit();
    if (WindowExists()) Refresh();
}

bool CMediaListGrid::GetCurrentCell(int& row, int& column) const {
    row = GetCurrentDataRow();
    column = GetCurrentDataColumn();
    return row >= 0 && row < m_faces;
}

void CMediaListGrid::RefreshRow() {
    const int row = GetCurrentDataRow();
    CancelEdit();  // the current cell's holder takes the changed text
    if (row >= 0 && WindowExists()) InvalidateRowBand(row);
}

GridCellText CMediaListGrid::GetCellText(int column, int row) const {
    if (column < 1 || column > 4) return {};
    return {MediaCellText(CProjectStore::Instance(), CurrentPartIndex(), column, row), -1};
}

CGridCellControl* CMediaListGrid::CreateCellControl(int column, int row, long style, int id) {
    CGridCellControl* editor = CZYKGridCtrl::CreateCellControl(column, row, style, id);
    if (auto* combo = dynamic_cast<CGridComboCell*>(editor)) combo->ClearList();
    return editor;
}

}  // namespace project_editor
