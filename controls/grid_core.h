#pragma once
// The grid's columns and row count on top of its geometry and navigation.
// Subclasses add their columns in their constructors and override the cell
// operations (GetCellText, OnCellTextChanged, GetRowColors, ...).
#include <string>
#include <vector>

#include "controls/grid_column_info.h"
#include "controls/grid_core_base.h"

class CGridCore : public CGridCoreBase {
public:
    explicit CGridCore(GridHost* host = nullptr);
    ~CGridCore() override;

    // Appends a column; returns its index.
    int InsertColumn(int width, const std::string& caption, int cellFormat, int headerFormat, int glyphType,
                     int glyphState, int editorId);
    // Inserts a column at index (clamped to 0..count); returns the index used.
    int InsertColumnAt(int index, int width, const std::string& caption, int cellFormat, int headerFormat,
                       int glyphType, int glyphState, int editorId);
    // Editor kind, style and id of a column. Returns 0 (changing nothing) when
    // the column's editor already exists or the column does not.
    int SetColumnControl(int column, int kind, long style, int id);
    int SetColumnMetrics(int column, int iconWidth, int iconHeight, int iconKind);
    // Fixed-column width rule of the next layout: with a nonzero switch the
    // given width, else half the row height.
    void SetDefaultCellMetrics(int widthSwitch, int fixedColumnWidth);
    // Stores the row count; with notify, posts 1928 to the parent with the
    // window's id and the new count. It does not lay out.
    void SetRowCount(int count, int notify);
    const GridColumnInfo* Column(int column) const;

    // ---- the cell operations this level supplies -------------------------
    int GetRowCount() const override { return m_rowCount; }
    int GetCoreValue() const override { return static_cast<int>(m_columns.size()); }
    int GetColumnValue(int column) const override;
    void SetColumnValue(int column, int width) override;
    CGridCellControl* CreateCellControl(int column, int row, long style, int id) override;
    CGridCellControl* CreateCellObject(int column, int row, long style, int id) override;
    void SetColumnControlObject(int column, CGridCellControl* editor) override;
    CGridCellControl* GetColumnControl(int column) const override;
    long GetColumnControlStyle(int column) const override;
    int OnCellTextChanged(int column, int row) override;
    void OnCellChangedHook(int column, int row) override;
    bool HasCellIcon(int column, int row) const override;
    int GetCellIconKind(int column, int row) const override;
    void GetCellIconSize(int column, int row, int& width, int& height) const override;
    GridCellFormat GetCellFormat(int column, int row) const override;
    GridCellText GetCellText(int column, int row) const override;
    GridColumnHeader GetColumnHeader(int column) const override;
    int GetColumnControlId(int column) const override;

protected:
    // Makes an editor object of a kind, without its window; null for a kind
    // this level cannot make. The window side makes the edit, check and combo
    // editors.
    virtual CGridCellControl* NewCellEditor(int kind, int column, int row);
    // Destroys every column's editor.
    void DestroyEditors();

    std::vector<GridColumnInfo> m_columns;
    int m_rowCount = 0;

private:
    CGridCellControl* MakeEditor(int column, int row, long style, int id, bool withWindow);
};
