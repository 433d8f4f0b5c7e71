#pragma once
// Where the show-stage window draws the newest products: product k is
// "服饰搭配最新产品/产品_k.png", scaled into a 100-pixel box, placed in rows of
// n + 1 with n = (width - 80) / 160, until the first missing picture, the
// bottom of the window, or 26 products.
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace shell {

struct ShowcaseItem {
    int number;  // k
    int x, y, width, height;
};

struct ShowcaseSize {
    int width, height;
};

inline constexpr int kShowcaseMaxProducts = 26;

// `size_of(k)` gives the natural size of product k, or nullopt when its file
// does not exist.
std::vector<ShowcaseItem> LayoutShowcase(int client_width, int client_height,
                                         const std::function<std::optional<ShowcaseSize>(int)>& size_of);

std::filesystem::path ShowcaseProductPath(const std::filesystem::path& base, int k);
std::filesystem::path ShowcaseBackgroundPath(const std::filesystem::path& base);

}  // namespace shell
