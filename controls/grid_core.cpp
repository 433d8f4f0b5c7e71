#include "controls/grid_core.h"

#include <algorithm>

CGridCore::CGridCore(GridHost* host) : CGridCoreBase(host) { m_columns.reserve(16); }

CGridCore::~CGridCore() { DestroyEditors(); }

void CGridCore::DestroyEditors() {
    // Deleting an editor destroys its window.
    for (GridColumnInfo& column : m_columns) column.editor.reset();
    m_editor.reset();
}

int CGridCore::InsertColumn(int width, const std::string& caption, int cellFormat, int headerFormat, int glyphType,
                            int glyphState, int editorId) {
    return InsertColumnAt(GetCoreValue(), width, caption, cellFormat, headerFormat, glyphType, glyphState, editorId);
}

int CGridCore::InsertColumnAt(int index, int width, const std::string& caption, int cellFormat, int headerFormat,
                              int glyphType, int glyphState, int editorId) {
    index = std::clamp(index, 0, GetCoreValue());
    GridColumnInfo info;
    info.caption = caption;
    info.headerFormat = headerFormat;
    info.cellFormat = cellFormat;
    info.glyphType = glyphType;
    info.glyphState = glyphState;
    info.editorId = editorId;
    info.width = width;
    m_columns.insert(m_columns.begin() + index, std::move(info));
    return index;
}

int CGridCore::SetColumnControl(int column, int kind, long style, int id) {
    if (!IsValidColumn(column)) return 0;
    GridColumnInfo& info = m_columns[static_cast<size_t>(column)];
    if (info.editor) return 0;
    info.editorKind = static_cast<unsigned char>(kind);
    info.editorStyle = style;
    if (id)
        info.editorId = id;
    else if (!info.editorId)
        info.editorId = grid::kFirstEditorId + column;
    return 1;
}

int CGridCore::SetColumnMetrics(int column, int iconWidth, int iconHeight, int iconKind) {
    if (!IsValidColumn(column)) return 0;
    GridColumnInfo& info = m_columns[static_cast<size_t>(column)];
    info.iconWidth = iconWidth;
    info.iconHeight = iconHeight;
    info.iconKind = iconKind;
    return 1;
}

void CGridCore::SetDefaultCellMetrics(int widthSwitch, int fixedColumnWidth) {
    m_fixedWidthSwitch = widthSwitch;
    m_fixedWidthSetting = fixedColumnWidth;
}

void CGridCore::SetRowCount(int count, int notify) {
    count = std::max(0, count);
    if (count == m_rowCount) return;
    m_rowCount = count;
    RowCountShrunk(count);
    if (notify && m_host && m_host->WindowExists())
        m_host->PostToParent(grid::kMsgRowCountChanged, static_cast<std::uintptr_t>(m_host->WindowId()), count);
}

const GridColumnInfo* CGridCore::Column(int column) const {
    return IsValidColumn(column) ? &m_columns[static_cast<size_t>(column)] : nullptr;
}

int CGridCore::GetColumnValue(int column) const {
    return IsValidColumn(column) ? m_columns[static_cast<size_t>(column)].width : 0;
}

void CGridCore::SetColumnValue(int column, int width) {
    if (!IsValidColumn(column)) return;
    m_columns[static_cast<size_t>(column)].width = width;
    if (m_host && m_host->WindowExists()) m_host->Invalidate(nullptr, false);
}

CGridCellControl* CGridCore::NewCellEditor(int kind, int column, int row) {
    (void)column, (void)row;
    if (kind == grid::kEditorValue) return new CGridCellControl;
    return nullptr;
}

CGridCellControl* CGridCore::MakeEditor(int column, int row, long style, int id, bool withWindow) {
    if (!IsValidColumn(column)) return nullptr;
    GridColumnInfo& info = m_columns[static_cast<size_t>(column)];
    if (!id) id = info.editorId;
    info.editorId = id;
    CGridCellControl* editor = NewCellEditor(info.editorKind, column, row);
    if (!editor) return nullptr;
    const int made = withWindow ? editor->Create(style, m_host, id) : editor->CreateWithoutWindow(style, m_host, id);
    if (!made) {
        delete editor;
        return nullptr;
    }
    editor->Enable(0);
    editor->SetFrameSettings(&m_colors);
    editor->SetFont(m_cellFont, false);
    return editor;
}

CGridCellControl* CGridCore::CreateCellControl(int column, int row, long style, int id) {
    return MakeEditor(column, row, style, id, true);
}

CGridCellControl* CGridCore::CreateCellObject(int column, int row, long style, int id) {
    return MakeEditor(column, row, style, id, false);
}

void CGridCore::SetColumnControlObject(int column, CGridCellControl* editor) {
    if (!IsValidColumn(column)) {
        delete editor;
        return;
    }
    GridColumnInfo& info = m_columns[static_cast<size_t>(column)];
    if (info.editor.get() == editor) return;
    info.editor.reset(editor);
}

CGridCellControl* CGridCore::GetColumnControl(int column) const {
    return IsValidColumn(column) ? m_columns[static_cast<size_t>(column)].editor.get() : nullptr;
}

long CGridCore::GetColumnControlStyle(int column) const {
    return IsValidColumn(column) ? m_columns[static_cast<size_t>(column)].editorStyle : 0;
}

int CGridCore::OnCellTextChanged(int column, int row) {
    if (m_host && m_host->WindowExists())
        m_host->SendToParent(grid::kMsgCellTextChanged, static_cast<std::uintptr_t>(column), row);
    OnCellChangedHook(column, row);
    return 1;
}

void CGridCore::OnCellChangedHook(int column, int row) { (void)column, (void)row; }

bool CGridCore::HasCellIcon(int column, int row) const { return GetCellIconKind(column, row) != grid::kIconNone; }

int CGridCore::GetCellIconKind(int column, int row) const {
    (void)row;
    return IsValidColumn(column) ? m_columns[static_cast<size_t>(column)].iconKind : grid::kIconNone;
}

void CGridCore::GetCellIconSize(int column, int row, int& width, int& height) const {
    (void)row;
    width = height = 0;
    if (!IsValidColumn(column)) return;
    width = m_columns[static_cast<size_t>(column)].iconWidth;
    height = m_columns[static_cast<size_t>(column)].iconHeight;
}

GridCellFormat CGridCore::GetCellFormat(int column, int row) const {
    (void)row;
    if (!IsValidColumn(column)) return {};
    const GridColumnInfo& info = m_columns[static_cast<size_t>(column)];
    return {info.cellFormat, info.glyphType, info.glyphState, info.iconKind};
}

GridCellText CGridCore::GetCellText(int column, int row) const {
    (void)column, (void)row;
    return {std::string(), -1};
}

GridColumnHeader CGridCore::GetColumnHeader(int column) const {
    if (!IsValidColumn(column)) return {};
    const GridColumnInfo& info = m_columns[static_cast<size_t>(column)];
    return {info.caption, info.headerFormat};
}

int CGridCore::GetColumnControlId(int column) const {
    return IsValidColumn(column) ? m_columns[static_cast<size_t>(column)].editorId : 0;
}
