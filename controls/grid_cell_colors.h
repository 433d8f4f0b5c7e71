#pragma once
// The colour set the grid paints cells with. The grid owns one; a subclass
// may hold more and hand one out per row.
#include "controls/grid_types.h"

// A font the window side knows; the core only passes references around.
struct GridFont;

struct GridCellColors {
    grid::ColorRef cellBackground = 0;
    grid::ColorRef cellText = 0;
    grid::ColorRef currentBackground = 0;
    grid::ColorRef currentText = 0;
    grid::ColorRef selectedBackground = 0;
    grid::ColorRef selectedText = 0;
    grid::ColorRef borderLeft = 0;
    grid::ColorRef borderTop = 0;
    grid::ColorRef borderRight = 0;
    grid::ColorRef borderBottom = 0;
    unsigned char borderOverhang = 0;  // how far top and bottom lines reach past the sides
    grid::ColorRef frameSecond = 0;    // rectangle colour of the dotted current-cell frame
    grid::ColorRef frameColor = 0xC86400;
    int solidFrame = 1;  // 1: one-pixel rectangle in frameColor; 0: frameSecond with a focus rectangle
    const GridFont* currentFont = nullptr;  // null: keep the grid's font
    const GridFont* otherFont = nullptr;

    // The defaults, taken from the system colours.
    static GridCellColors FromSystem(const grid::SysColors& sys) {
        GridCellColors c;
        c.cellBackground = sys.window;
        c.cellText = sys.windowText;
        c.currentBackground = sys.window;
        c.currentText = sys.windowText;
        c.selectedBackground = sys.highlight;
        c.selectedText = sys.highlightText;
        c.borderLeft = c.borderTop = c.borderRight = c.borderBottom = sys.btnFace;
        c.frameSecond = sys.window;
        return c;
    }

    void Clear() {
        currentFont = nullptr;
        otherFont = nullptr;
    }
};

using GridCellBorder = GridCellColors;
