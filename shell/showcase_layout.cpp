#include "shell/showcase_layout.h"

#include <algorithm>
#include <string>

namespace shell {

std::vector<ShowcaseItem> LayoutShowcase(int client_width, int client_height,
                                         const std::function<std::optional<ShowcaseSize>(int)>& size_of) {
    std::vector<ShowcaseItem> items;
    const int n = (client_width - 80) / 160;
    int c = 0;
    int y = 70;
    for (int k = 1; k <= kShowcaseMaxProducts; ++k) {
        if (client_height < y + 50) break;
        const auto size = size_of(k);
        if (!size) break;
        float s = 1.0f;
        if (size->width > 0) s = 100.0f / static_cast<float>(size->width);
        if (size->height > 0) s = std::min(s, 100.0f / static_cast<float>(size->height));
        const int w = static_cast<int>(static_cast<float>(size->width) * s);
        const int h = static_cast<int>(static_cast<float>(size->height) * s);
        items.push_back(ShowcaseItem{k, c * 120 + 20 + 50 - w / 2, y - h / 2, w, h});
        if (++c > n) {
            c = 0;
            y += 120;
        }
    }
    return items;
}

std::filesystem::path ShowcaseProductPath(const std::filesystem::path& base, int k) {
    return base / "服饰搭配最新产品" / ("产品_" + std::to_string(k) + ".png");
}

std::filesystem::path ShowcaseBackgroundPath(const std::filesystem::path& base) {
    return base / "服饰搭配sysproj" / "展台右窗背景图片.jpg";
}

}  // namespace shell
