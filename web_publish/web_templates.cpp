#include "web_publish/web_templates.h"

#include "platform/files.h"

namespace web_publish {

const std::vector<WebTemplate>& ShippedTemplates() {
    static const std::vector<WebTemplate> list = {
        {0, "网页试衣间[下标]模板"}, {1, "网页试衣间[上标]模板"}, {kVideoTemplateIndex, "视频播放模板"}};
    return list;
}

std::vector<WebTemplate> OfferedTemplates(int mode) {
    std::vector<WebTemplate> out;
    for (const WebTemplate& t : ShippedTemplates())
        if (mode != kFittingRoomOnlyMode || t.index != kVideoTemplateIndex) out.push_back(t);
    return out;
}

int WebDialogModeFor(const std::filesystem::path& projectFolder) {
    if (!projectFolder.empty() && !platform::ListFiles(projectFolder / "videodb", "*").empty()) return 0;
    return kFittingRoomOnlyMode;
}

}  // namespace web_publish
