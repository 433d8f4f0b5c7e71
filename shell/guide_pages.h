#pragma once
// The operation guide's pages without a window: the folder and the file of
// each page under the base directory, turning pages forward and back (a page
// exists when its file does), and where a page picture lands in the page
// area (centred, never enlarged). CDlgGuide asks it; tests call it.
#include <filesystem>
#include <functional>

namespace shell {

inline constexpr const char* kGuideFolder = "服饰搭配使用说明";
inline constexpr const char* kGuidePageFormat = "使用说明_PAG%d.jpg";
// The page area's fill and the margin inside it.
inline constexpr unsigned kGuideAreaColour = 0xDEDEDE;
inline constexpr int kGuidePageMargin = 3;

std::filesystem::path GuidePageFile(const std::filesystem::path& baseDir, int page);

class GuidePages {
public:
    using Exists = std::function<bool(const std::filesystem::path&)>;
    // `exists` answers whether a page file is there (the disk by default).
    explicit GuidePages(std::filesystem::path baseDir, Exists exists = {});

    int current() const { return m_page; }
    std::filesystem::path CurrentFile() const { return GuidePageFile(m_base, m_page); }
    // Forward when the next page's file exists; back down to page 1.
    // True when the page changed.
    bool Next();
    bool Prev();

private:
    std::filesystem::path m_base;
    Exists m_exists;
    int m_page = 1;
};

struct GuideRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const GuideRect&) const = default;
};
// The drawn rectangle of a w x h picture in the page area: the area less
// the margin, scaled down to fit (never up), centred.
GuideRect PlaceGuidePage(GuideRect area, int pictureWidth, int pictureHeight);

}  // namespace shell
