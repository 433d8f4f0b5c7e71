#pragma once
// COrderGrid: the order form's table of order lines (the process-wide
// OrderLines()) with the total line after the last one. Its operations end
// the edit in progress first, so that a value typed into a cell is in the
// table before lines are added, deleted, totalled or written.
//
// Window thread only; the owner (the order form) receives WM_USER+70 after
// every click and onLinesChanged after every change of the lines or totals.
#include <array>
#include <filesystem>
#include <functional>
#include <string>

#include "controls/grid_ctrl.h"
#include "measure_market/order_file.h"
#include "measure_market/order_lines.h"

namespace measure_market {

inline constexpr int kOrderGridRows = 120;
inline constexpr grid::ColorRef kEvenRowColour = 0xD2FFFF;
inline constexpr grid::ColorRef kPastEndColour = 0xBEBEBE;
inline constexpr grid::ColorRef kTotalRowColour = 0xD2D2D2;
inline constexpr grid::ColorRef kCurrentRowColour = 0xDCDC00;

// A line as the form shows it again (GetSelectedLine).
struct SelectedLine {
    OrderLine line;
    std::string picturePath;
};

}  // namespace measure_market

class COrderGrid : public CZYKGridCtrl {
public:
    COrderGrid();

    // Adds a line; false when the table is full.
    bool AddLine(const measure_market::OrderLineInput& in, char tag, const std::string& picturePath);
    bool GetSelectedLine(measure_market::SelectedLine* out);
    // The picture path of line `index`; false past the last line.
    bool GetLineNote(int index, std::string* path) const;
    bool HasSelectedLine() const;
    bool DeleteSelectedLine();
    measure_market::OrderTotal UpdateTotal();
    measure_market::OrderWriteResult WriteOrderFile(const std::filesystem::path& base, const std::string& orderNo,
                                                    const std::string& orderer, const std::string& contact,
                                                    const platform::MessageSink& messages);
    // Shows the table as it is now (after a change made elsewhere).
    void Reload();

    std::function<void()> onLinesChanged;

    GridCellText GetCellText(int column, int row) const override;
    GridCellFormat GetCellFormat(int column, int row) const override;
    int OnCellTextChanged(int column, int row) override;
    const GridCellColors& GetRowColors(int column, int row) const override;
    void OnCurrentCellChanged(int column, int row) override;

private:
    void Changed();
    mutable GridCellColors m_colours;
    int m_lastRow = -1;
};
