#include "web_publish/publish_list.h"

#include <algorithm>

namespace web_publish {

using project_editor::PartRecord;

PublishList CollectPublishList(const project_editor::ProjectFile& project) {
    PublishList list;
    int position = 0, category = 0;
    const int n = project.PartCount();
    for (int i = 0; i < n; ++i) {
        const PartRecord& part = project.parts.at(static_cast<std::size_t>(i));
        if (part.RowType() == 'T') {
            position = 0;
            category = i == 0 ? 0 : category + 1;
            continue;
        }
        if (part.PictureNameGbk().empty()) continue;
        // Depths far outside the stage's slots still sort; the key must not overflow.
        const std::int64_t depth = std::clamp<std::int64_t>(part.Depth(), -1000000, 1000000);
        PublishEntry& e = list.entries.at(static_cast<std::size_t>(list.count++));
        e = {static_cast<std::int32_t>((depth + 1) * 1000 - i), i, position++, category};
    }
    for (int p = 0; p < list.count; ++p) {
        int best = p;
        for (int q = p + 1; q < list.count; ++q)
            if (list.entries[static_cast<std::size_t>(q)].key > list.entries[static_cast<std::size_t>(best)].key) best = q;
        if (best != p) std::swap(list.entries[static_cast<std::size_t>(p)], list.entries[static_cast<std::size_t>(best)]);
    }
    return list;
}

CountRule ApplyCountRule(PublishList& list) {
    if (list.count < kMinPublished) return CountRule::TooFew;
    if (list.count > kMaxPublished) {
        list.count = kMaxPublished;
        return CountRule::Cut;
    }
    return CountRule::Kept;
}

}  // namespace web_publish
