#include "shell/guide_pages.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

namespace shell {

std::filesystem::path GuidePageFile(const std::filesystem::path& baseDir, int page) {
    char name[64];
    std::snprintf(name, sizeof name, kGuidePageFormat, page);
    return baseDir / kGuideFolder / name;
}

GuidePages::GuidePages(std::filesystem::path baseDir, Exists exists)
    : m_base(std::move(baseDir)), m_exists(std::move(exists)) {
    if (!m_exists) m_exists = [](const std::filesystem::path& p) {
        std::error_code ec;
        return std::filesystem::is_regular_file(p, ec);
    };
}

bool GuidePages::Next() {
    if (!m_exists(GuidePageFile(m_base, m_page + 1))) return false;
    ++m_page;
    return true;
}

bool GuidePages::Prev() {
    if (m_page < 2) return false;
    --m_page;
    return true;
}

GuideRect PlaceGuidePage(GuideRect area, int w, int h) {
    const GuideRect r{area.left + kGuidePageMargin, area.top + kGuidePageMargin, area.right - kGuidePageMargin,
                      area.bottom - kGuidePageMargin};
    double s = w > 0 ? static_cast<double>(r.right - r.left) / w : 1.0;
    if (h > 0) s = std::min(s, static_cast<double>(r.bottom - r.top) / h);
    s = std::min(s, 1.0);
    const int dw = static_cast<int>(w * s), dh = static_cast<int>(h * s);
    const int left = (r.left + r.right) / 2 - dw / 2, top = (r.top + r.bottom) / 2 - dh / 2;
    return {left, top, left + dw, top + dh};
}

}  // namespace shell
