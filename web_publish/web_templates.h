#pragma once
// The page templates of the web page dialog, each a folder under
// "KZV网页项目模板": the two fitting rooms (numbers 0 and 1), three more
// fitting-room layouts (2 to 4) and the video page (number 10, the number
// that builds the video page). A template whose folder is not installed is
// still offered; a build from it is refused.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace web_publish {

inline constexpr std::string_view kTemplateRootName = "KZV网页项目模板";
inline constexpr std::string_view kTemplateThumbnailName = "模板缩略图.jpg";
inline constexpr std::string_view kBasicPicturesName = "基本图片";
inline constexpr int kVideoTemplateIndex = 10;
// The dialog mode in which only the fitting-room templates are offered.
inline constexpr int kFittingRoomOnlyMode = 9;

struct WebTemplate {
    int index;              // the template index kept in the settings
    std::string_view name;  // its folder under "KZV网页项目模板"
};

// "网页试衣间[下标]模板" (0), "网页试衣间[上标]模板" (1), "体验模式A类" (2),
// "家居搭配模板A" (3), "说明书模式" (4), "视频播放模板" (10), in this order.
const std::vector<WebTemplate>& ShippedTemplates();
// The templates offered in a mode: mode 9 offers the first two alone.
std::vector<WebTemplate> OfferedTemplates(int mode);

// The mode the stage editor opens the dialog in: 9 (fitting rooms only)
// unless the project has videos to publish, that is, files in the
// "videodb" folder of its project folder.
int WebDialogModeFor(const std::filesystem::path& projectFolder);

}  // namespace web_publish
