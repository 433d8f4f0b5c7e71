#include "web_publish/web_templates.h"

#include "platform/files.h"

namespace web_publish {

const std::vector<WebTemplate>& ShippedTemplates() {
    static const std::vector<WebTemplate> list = {
        {0, "网页试衣间[下标]模板"}, {1, "网页试衣间[上标]模板"}, {2, "体验模式A类"},
        {3, "家居搭配模板A"},        {4, "说明书模式"},           {kVideoTemplateIndex, "视频播放模板"}};
    return list;
}

std::vector<WebTemplate> OfferedTemplates(int mode) {
    const std::vector<WebTemplate>& all = ShippedTemplates();
    if (mode != kFittingRoomOnlyMode) return all;
    return {all[0], all[1]};
}

int WebDialogModeFor(const std::filesystem::path& projectFolder) {
    if (!projectFolder.empty() && !platform::ListFiles(projectFolder / "videodb", "*").empty()) return 0;
    return kFittingRoomOnlyMode;
}

}  // namespace web_publish
