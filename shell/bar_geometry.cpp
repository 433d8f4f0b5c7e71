#include "shell/bar_geometry.h"

#include <cstdio>

namespace shell {

const char* const kNavTabCaptions[kNavTabCount] = {"新品展台", "试衣搭配", "个性空间", "看样定货"};

BarRect TitleBarArea(int index) {
    const int left = 10 + 93 * index;
    return BarRect{left, 3, left + 90, 20};
}

std::string TitleBarText(int year, int month, int day) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "Lumora服饰搭配试衣软件 V6.13 [ %4d年%2d月%2d日 ]", year, month, day);
    return buf;
}

int TitleBarHit(int x, int y) {
    for (int i = 0; i < kTitleAreaCount; ++i) {
        if (TitleBarArea(i).Contains(x, y)) return i;
    }
    return -1;
}

int TitleAreaForWindow(char letter) { return letter >= 'A' && letter <= 'D' ? letter - 'A' : -1; }

std::optional<std::int32_t> TitleBarClick(int area, int current_area, char pending) {
    if (area < 1 || area > 3) return std::nullopt;
    if (area == current_area || pending == 'Y') return std::nullopt;
    return 1000 + area;
}

std::vector<NavTab> NavTabs(int v) {
    const int w = 5 * v;
    std::vector<NavTab> tabs;
    NavTab first{32, w + 35, BarRect{2, 32, 20, w + 35 - v / 2}};
    tabs.push_back(first);
    for (int i = 1; i < kNavTabCount; ++i) {
        const int t = tabs.back().hit.bottom;
        tabs.push_back(NavTab{t, t + w + 3, BarRect{2, t, 20, t + w + 3 - v / 2}});
    }
    return tabs;
}

std::vector<BarRect> NavSmallAreas(int v) {
    std::vector<BarRect> areas{BarRect{3, 6, 19, 22}};
    const int step = 18 + (18 * v) / 10;
    int y = NavTabs(v).back().bottom + step / 2;
    for (int i = 0; i < 3; ++i, y += step) areas.push_back(BarRect{3, y, 19, y + 16});
    return areas;
}

std::vector<BarLine> NavTabFill(int y0, int y1) {
    std::vector<BarLine> lines{{2, y0, 18, y0}, {2, y0 + 1, 19, y0 + 1}};
    for (int y = y0 + 2; y <= y1 - 19; ++y) lines.push_back({2, y, 20, y});
    for (int k = 0; k < 18; ++k) {
        const int y = y1 - 18 + k;
        lines.push_back({2, y, 20 - static_cast<int>(0.78 * k), y});
    }
    return lines;
}

std::vector<BarLine> NavTabOutline(int y0, int y1) {
    const int cut = static_cast<int>(0.78 * 17);
    return {{2, y0, 18, y0},          {18, y0, 20, y0 + 2},   {20, y0 + 2, 20, y1 - 18},
            {20, y1 - 18, 20 - cut, y1}, {20 - cut, y1, 2, y1}, {2, y1, 2, y0}};
}

int NavBarHit(int x, int y, int v) {
    const auto tabs = NavTabs(v);
    for (int i = 0; i < kNavTabCount; ++i) {
        if (tabs[i].hit.Contains(x, y)) return i;
    }
    return -1;
}

int NavTabForWindow(char letter) { return letter >= 'A' && letter <= 'D' ? letter - 'A' : -1; }

std::optional<std::int32_t> NavBarClick(int tab, int current_tab) {
    if (tab < 0 || tab >= kNavTabCount || tab == current_tab) return std::nullopt;
    return 1000 + tab;
}

}  // namespace shell
