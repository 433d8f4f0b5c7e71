#include "fitting_room/replace_cloth_rules.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace fitting_room {

std::vector<std::string> ListPngFiles(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        std::string ext = it->path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
        if (ext != ".png") continue;
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    if (names.size() > static_cast<std::size_t>(kMaxReplaceNames)) names.resize(kMaxReplaceNames);
    return names;
}

float ReplacedScale(int targetWidth, float itemScale, int sourceWidth) {
    if (targetWidth <= 0 || sourceWidth <= 0) return itemScale;
    return static_cast<float>(targetWidth) * itemScale / static_cast<float>(sourceWidth);
}

ThumbGrid LayOutThumbs(const Rect& area) {
    ThumbGrid g;
    const int w = std::max(0, area.right - area.left), h = std::max(0, area.bottom - area.top);
    g.columns = w / kThumbCell;
    g.rows = h / kThumbCell;
    g.left = area.left + (w - g.columns * kThumbCell) / 2;
    g.top = area.top + (h - g.rows * kThumbCell) / 2;
    return g;
}

int ThumbAt(const ThumbGrid& g, int pageStart, int count, Point p) {
    for (int i = 0; i < g.rows; ++i)
        for (int j = 0; j < g.columns; ++j) {
            const int n = pageStart + g.columns * i + j;
            if (n >= count) return -1;
            const Point o = g.CellOrigin(i, j);
            if (p.x >= o.x + 3 && p.x < o.x + kThumbBox - 3 && p.y >= o.y + 3 && p.y < o.y + kThumbBox - 3) return n;
        }
    return -1;
}

int PageBack(int pageStart, const ThumbGrid& g) { return std::max(0, pageStart - g.PageSize()); }

int PageForward(int pageStart, const ThumbGrid& g, int count) {
    const int next = pageStart + g.PageSize();
    return next < count ? next : pageStart;
}

}  // namespace fitting_room
