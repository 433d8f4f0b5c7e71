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

// All four sides, as a bar that may dock anywhere is enabled.
inline constexpr unsigned kCbrsAlignAny = 0xF000;
unsigned AlignBitOf(DockSide side);

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

// ---- dragging a floating bar ----
//
// A press on the caption of a floating bar's frame starts a drag once the
// pointer has moved kDragThreshold pixels. While it moves, the outline shows
// where a release would put the bar: the bar's docked shape when the pointer
// is within kDockZone pixels of a side of the frame that the bar may dock to
// (the nearest side wins; top, bottom, left, right on a tie), its floating
// frame moved with the pointer elsewhere or while Ctrl is held. A floating
// frame always keeps its whole caption inside the screen's work area.
inline constexpr int kDockZone = 24;
inline constexpr int kDragThreshold = 4;

struct BarPoint {
    int x = 0, y = 0;
    bool operator==(const BarPoint&) const = default;
};

// What a drag needs of the bar, its frame and the screen; screen coordinates.
struct DockDragSite {
    BarRect site;                   // the frame's client area
    std::vector<DockedBar> docked;  // the frame's other shown docked bars, in layout order
    BarRect workArea;               // the work area of the screen
    unsigned dockStyle = kCbrsAlignAny;  // alignment bits of the sides the bar may dock to
    int horzThickness = 0;          // the bar's height docked at the top or bottom
    int vertThickness = 0;          // its width docked on the left or right
    int captionBottom = 0;          // the floating frame's caption bottom, from the frame's top
};

struct DockDrop {
    DockSide side = DockSide::Floating;
    BarRect outline;  // the bar's docked place, or the floating frame's rectangle
    bool operator==(const DockDrop&) const = default;
};

bool BeyondDragThreshold(BarPoint from, BarPoint to);
// The side the pointer is over, or Floating when it is over none it may dock to.
DockSide DockSideUnder(const DockDragSite& site, BarPoint pointer);
// A drag that began with the floating frame at `frameAtStart` and the pointer
// at `from`, with the pointer now at `to`.
DockDrop WhereDropLands(const DockDragSite& site, BarRect frameAtStart, BarPoint from, BarPoint to,
                        bool keepFloating);
// The frame moved (never sized) so that its caption lies inside the work area;
// a frame wider than the area keeps its left edge on the area's left.
BarRect KeepCaptionOnScreen(BarRect frame, BarRect workArea, int captionBottom);

// Sizing the floating frame by its rim: the edges that move (kEdge... bits),
// by the pointer's travel, never below `minimum`, and with the moving left,
// top and right edges kept inside the work area.
inline constexpr unsigned kEdgeLeft = 1, kEdgeTop = 2, kEdgeRight = 4, kEdgeBottom = 8;
BarRect SizeFloatingFrame(BarRect frameAtStart, unsigned edges, int dx, int dy, BarSize minimum, BarRect workArea);

// A page name as the page record holds it: at most 31 bytes in the
// system's text encoding, cut on a character boundary (UTF-8 in and out).
std::string PageNameForRecord(std::string_view name);

}  // namespace controls
