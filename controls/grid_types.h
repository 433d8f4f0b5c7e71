#pragma once
// Plain values shared by the grid core, its editors and its window: pixel
// rectangles, colours as 0x00BBGGRR values, style bits, text-format and
// frame-control flags, keys and the notification message numbers.
#include <cstdint>

namespace grid {

using ColorRef = std::uint32_t;  // 0x00BBGGRR

constexpr ColorRef Rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

// A rectangle in client pixels; right and bottom are exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Intersects(const Rect& o) const {
        return !IsEmpty() && !o.IsEmpty() && left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    Rect Intersect(const Rect& o) const {
        Rect r{left > o.left ? left : o.left, top > o.top ? top : o.top, right < o.right ? right : o.right,
               bottom < o.bottom ? bottom : o.bottom};
        if (r.IsEmpty()) return {};
        return r;
    }
    Rect Deflated(int d) const { return {left + d, top + d, right - d, bottom - d}; }
    bool operator==(const Rect&) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// The grid's own style bits (the low bits of its window style).
enum GridStyle : unsigned {
    kStyleBackgroundBorders = 0x01,  // cell borders in background colours
    kStyleRowSelect = 0x02,          // the whole current row is selected and framed
    kStyleFlatFixed = 0x04,          // fixed cells as flat 3-D rectangles
    kStyleFixedColumnSizing = 0x10,  // fixed-column width kept; it can be resized by dragging
};

// Text-drawing flags (cell and header formats).
enum TextFormat : unsigned {
    kDtLeft = 0x0000,
    kDtCenter = 0x0001,
    kDtRight = 0x0002,
    kDtVCenter = 0x0004,
    kDtBottom = 0x0008,
    kDtSingleLine = 0x0020,
    kDtNoPrefix = 0x0800,
    kDtEndEllipsis = 0x8000,
};

// Frame-control types and states (glyph cells, headers, combo arrows).
enum FrameControlType : int {
    kDfcNone = 0,
    kDfcScroll = 3,
    kDfcButton = 4,
};
enum FrameControlState : unsigned {
    kDfcsButtonCheck = 0x0000,
    kDfcsButtonRadio = 0x0004,
    kDfcsScrollComboBox = 0x0005,
    kDfcsButtonPush = 0x0010,
    kDfcsInactive = 0x0100,
    kDfcsPushed = 0x0200,
    kDfcsChecked = 0x0400,
    kDfcsFlat = 0x4000,
};

// Icon kinds of a column.
enum IconKind : int { kIconNone = 0, kIconBitmap = 1, kIconIcon = 2, kIconImageList = 4 };

// Editor kinds of a column.
enum EditorKind : unsigned char { kEditorValue = 0, kEditorEdit = 1, kEditorCheck = 2, kEditorCombo = 3 };

// Window-style values the columns and editors carry.
inline constexpr long kWsChild = 0x40000000;
inline constexpr int kFirstEditorId = 0xF008;  // editor id of column 0 when none is given

// Keys the grid and its editors act on. Only key-down events map to these;
// typed characters never do.
enum class Key { Other, Tab, Enter, Escape, PageUp, PageDown, End, Home, Left, Up, Right, Down };

// Messages the grid sends.
inline constexpr unsigned kMsgCurrentCellChanged = 1925;  // wParam grid window, lParam 0
inline constexpr unsigned kMsgColumnResized = 1926;       // wParam grid window, lParam 0
inline constexpr unsigned kMsgCellTextChanged = 1927;     // wParam data column, lParam data row
inline constexpr unsigned kMsgRowCountChanged = 1928;     // wParam grid window id, lParam new count
inline constexpr unsigned kMsgGridNotify = 0x0400 + 70;   // to the owner after a left click
inline constexpr std::uintptr_t kGridNotifyTag = 20050818;
inline constexpr int kClickCodeDataCell = 9;

// Edit commands routed to the current cell's editor.
enum class EditCommand { Cut, Copy, Paste, Undo };

// System colours the grid paints with; the window fills them in from the
// desktop's settings, tests keep these values.
struct SysColors {
    ColorRef window = Rgb(255, 255, 255);
    ColorRef windowText = Rgb(0, 0, 0);
    ColorRef highlight = Rgb(0, 120, 215);
    ColorRef highlightText = Rgb(255, 255, 255);
    ColorRef btnFace = Rgb(240, 240, 240);
    ColorRef btnHighlight = Rgb(255, 255, 255);
    ColorRef btnShadow = Rgb(160, 160, 160);
    ColorRef windowFrame = Rgb(100, 100, 100);
};

}  // namespace grid
