#pragma once
// CSizeChartGrid: the size chart on the measurement form. Grid row k shows
// display row k of the size database: its kind, size labels, parameter text
// and note as editable texts, and icons for a title row, a matched row, the
// row's sex and size digit. Rows past the shown ones are grey; editing the
// parameter text of the first of them appends a row.
//
// Window thread only. The form owns it; the database is the process-wide one.
#include <filesystem>
#include <wx/imaglist.h>

#include "controls/grid_ctrl.h"
#include "measure_market/size_database.h"

class CSizeChartGrid : public CZYKGridCtrl {
public:
    // Loads the bodies and the chart of `base` into `db`.
    CSizeChartGrid(measure::CSizeDatabase& db, const std::filesystem::path& base);

    int shownRows() const { return m_shown; }
    // Takes the display count again, keeps the current cell, repaints.
    void RefreshRows();
    // Reads the chart file again first (after a download).
    void ReloadRows();
    // Insert, delete or title on the current row; returns EditSizeRow's result
    // (-1 also when the open edit could not be stored).
    int RowOperation(int op);
    // Column 6 or 7 of a shown row: toggles the sex or size digit. True when
    // something changed.
    bool ToggleAtCurrentCell();
    // True when the chart may take a typed text: at once, or, while its file
    // is kept (it could not be read), when the user chooses a new chart. Row
    // operations and toggles need rows, which a kept chart does not have.
    bool MayChangeChart();
    // The message the last failed edit left for the user, empty otherwise.
    const std::string& editError() const { return m_editError; }

    GridCellText GetCellText(int column, int row) const override;
    int OnCellTextChanged(int column, int row) override;
    void OnCellChangedHook(int column, int row) override { CZYKGridCtrl::OnCellChangedHook(column, row); }
    void GetCellInfo(int column, int row, GridImageListDraw& info, bool isCurrent) override;
    const GridCellColors& GetRowColors(int column, int row) const override;
    void OnCurrentCellChanged(int column, int row) override;

private:
    // Takes the display count again and makes `row` (a data row) current.
    void RefreshRowsAt(int row);

    measure::CSizeDatabase& m_db;
    wxImageList m_icons;
    int m_shown = 0;
    int m_lastRow = -1;
    std::string m_editError;
    mutable GridCellColors m_colours;
};

inline constexpr int kSizeChartGridRows = 201;
inline constexpr int kSizeChartBitmap = 158;
