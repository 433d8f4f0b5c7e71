#pragma once
// The docking control bar's arithmetic without a window: which side holds
// the bar, its sizes for each docking direction, the fixed and dynamic
// layout answers the frame's dock layout asks for, where the sizing edge
// lies and how far the client area is inset, and the tab pages' names.
// CQxControlBar and CQxTabControlBar (control_bar.h) ask it; tests call it.
#include <string>
#include <string_view>
#include <vector>

namespace controls {

// The dock bars' ids; any other id means the bar floats.
inline constexpr int kDockBarTop = 59419;
inline constexpr int kDockBarLeft = 59420;
inline constexpr int kDockBarRight = 59421;
inline constexpr int kDockBarBottom = 59422;

enum class DockSide { Top, Left, Right, Bottom, Floating };
DockSide DockSideOfBar(int dockBarId);
int DockBarIdOf(DockSide side);
inline bool IsHorizontalDock(DockSide s) { return s == DockSide::Top || s == DockSide::Bottom; }

inline constexpr int kBarMinSize = 32;      // minimum cx and cy
inline constexpr int kBarInitialSize = 200;  // all sizes before Create
inline constexpr int kSizingEdgeWidth = 5;
inline constexpr int kStretchLength = 32767;
// Bar style bits kept from the creation style.
inline constexpr unsigned kBarStyleMask = 0x40FFFF;
// Commands of the bar: hide it, toggle docking.
inline constexpr int kCmdHideBar = 1213;
inline constexpr int kCmdToggleDocking = 1214;
// The tab control inside a tabbed bar, and a page name's field (31 + NUL).
inline constexpr int kTabControlId = 1000;
inline constexpr std::size_t kPageNameField = 32;

struct BarSize {
    int cx = 0, cy = 0;
    bool operator==(const BarSize&) const = default;
};

struct BarRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const BarRect&) const = default;
};

// Modes of a dynamic layout request, as the dock layout sends them.
enum LayoutMode : unsigned {
    kLmStretch = 0x01,
    kLmHorz = 0x02,
    kLmMruWidth = 0x04,
    kLmHorzDock = 0x08,
    kLmVertDock = 0x10,
    kLmLengthY = 0x20,
    kLmCommit = 0x40,
};

// Where the sizing edge lies and the client area inside the window (both
// in window coordinates) for a bar of the given window rectangle.
struct NonClientLayout {
    BarRect edge;    // empty when floating
    BarRect client;
};
NonClientLayout LayoutNonClient(DockSide side, BarRect window);

// The bar's remembered sizes and its answers to the dock layout.
class ControlBarSizes {
public:
    // Create: every size becomes the creation size.
    void SetAll(BarSize size) { m_horz = m_vert = m_float = size; }
    BarSize horz() const { return m_horz; }
    BarSize vert() const { return m_vert; }
    BarSize floating() const { return m_float; }

    // With stretch, 32767 x 32767; else the frame's top dock bar width + 4
    // by its left dock bar height + 4, with the thickness of the direction.
    BarSize CalcFixedLayout(bool stretch, bool horizontal, int topDockWidth, int leftDockHeight) const;
    // Docking requests go to CalcFixedLayout; the rest size the floating bar.
    BarSize CalcDynamicLayout(int length, unsigned mode, int topDockWidth, int leftDockHeight);

    // A release on the sizing edge keeps the sizes, raised to the minimum.
    void EndEdgeTracking();

private:
    BarSize m_horz{kBarInitialSize, kBarInitialSize};
    BarSize m_vert{kBarInitialSize, kBarInitialSize};
    BarSize m_float{kBarInitialSize, kBarInitialSize};
};

// Alignment bits of a bar's creation style: the side it docks to first.
inline constexpr unsigned kCbrsAlignLeft = 0x1000;
inline constexpr unsigned kCbrsAlignTop = 0x2000;
inline constexpr unsigned kCbrsAlignRight = 0x4000;
inline constexpr unsigned kCbrsAlignBottom = 0x8000;
DockSide DockSideOfStyle(unsigned style);

// The frame's dock layout: bars docked at the top are stacked down from the
// top and those at the bottom up from the bottom, across the full width;
// left and right bars share the height that remains; the centre gets the
// rest. Thicknesses are the bars' horizontal cy or vertical cx, cut to the
// room that is left (never negative).
struct DockedBar {
    DockSide side = DockSide::Top;
    int thickness = 0;
};
struct DockSiteLayout {
    std::vector<BarRect> bars;  // in the order given
    BarRect centre;
};
DockSiteLayout LayoutDockSite(BarRect client, const std::vector<DockedBar>& bars);

// A page name as the page record holds it: at most 31 bytes in the
// system's text encoding, cut on a character boundary (UTF-8 in and out).
std::string PageNameForRecord(std::string_view name);

}  // namespace controls
