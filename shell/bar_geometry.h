#pragma once
// Geometry and click decisions of the two bars that stand in for the main
// frame's caption: the status strip along the bottom (four click areas, the
// title with the date and the user label) and the side bar on the left (four
// vertical tabs). Plain numbers, so tests need no display.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace shell {

struct BarRect {
    int left, top, right, bottom;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

struct BarLine {
    int x1, y1, x2, y2;  // drawn from (x1, y1) to (x2, y2), the last pixel excluded
    bool operator==(const BarLine&) const = default;
};

// ---- status strip ----
inline constexpr int kTitleBarHeight = 22;
inline constexpr int kTitleAreaCount = 4;
BarRect TitleBarArea(int index);
inline constexpr BarRect kTitleTextRect{395, 3, 775, 20};
// The strip's artwork labels the click areas in its left part, which is
// drawn at its own width; the rest of the artwork is stretched.
inline constexpr int kTitleLabelledWidth = 390;
inline constexpr BarRect kUserLabelRect{791, 3, 961, 20};
// "Lumora服饰搭配试衣软件 V6.13 [ 2026年12月 9日 ]"
std::string TitleBarText(int year, int month, int day);
int TitleBarHit(int x, int y);  // area index, or -1

// The area that stands for a current-window letter ('A' area 0 ... 'D' area
// 3); -1 when no window is current (it was closed).
int TitleAreaForWindow(char letter);

// What a left click on `area` asks for: the request code to store, or none.
// Area 0 never acts; the current area and a click while a request is still
// pending do nothing.
std::optional<std::int32_t> TitleBarClick(int area, int current_area, char pending);

// ---- side bar ----
inline constexpr int kNavBarWidth = 22;
inline constexpr int kNavTabCount = 4;
extern const char* const kNavTabCaptions[kNavTabCount];

struct NavTab {
    int top, bottom;  // drawn from top to bottom
    BarRect hit;
};

// The four tabs for a caption line height v (the height of "工程设置").
std::vector<NavTab> NavTabs(int v);
// The small areas that only change the cursor.
std::vector<BarRect> NavSmallAreas(int v);
// The horizontal fill lines and the outline of a tab drawn from y0 to y1.
std::vector<BarLine> NavTabFill(int y0, int y1);
std::vector<BarLine> NavTabOutline(int y0, int y1);

int NavBarHit(int x, int y, int v);  // tab index, or -1
int NavTabForWindow(char letter);  // -1 when no window is current
// The request a click on `tab` stores, or none (the current tab again).
std::optional<std::int32_t> NavBarClick(int tab, int current_tab);

}  // namespace shell
