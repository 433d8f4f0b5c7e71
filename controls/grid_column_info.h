#pragma once
// One column of the grid: caption, width, text formats, glyph, icon and the
// settings of its in-cell editor. The grid keeps one per column, in order.
#include <memory>
#include <string>

#include "controls/grid_cell_control.h"
#include "controls/grid_types.h"

struct GridColumnInfo {
    std::string caption;
    int headerFormat = 0;
    int cellFormat = 0;
    int glyphType = grid::kDfcNone;
    int glyphState = 0;
    int iconKind = grid::kIconNone;
    int iconWidth = 0;  // left unset by the original until SetColumnMetrics; here 0
    int iconHeight = 0;
    unsigned char editorKind = grid::kEditorEdit;
    long editorStyle = grid::kWsChild;
    int editorId = 0;
    std::unique_ptr<CGridCellControl> editor;  // made when a cell of the column first becomes current
    int width = 0;
};
