#pragma once
// The publish list of a web fitting room: which parts of the open project go
// onto the page, and in which order (deepest layer first, then project order),
// with each part's place in its category and the category's number.
//
// Pure data over a ProjectFile; no I/O.
#include <array>
#include <cstdint>

#include "project_editor/project_file.h"

namespace web_publish {

inline constexpr int kMinPublished = 2;
inline constexpr int kMaxPublished = 62;

struct PublishEntry {
    std::int32_t key = 0;       // (depth + 1) * 1000 - part index
    std::int32_t part = 0;      // index of the PartRecord
    std::int32_t position = 0;  // place among the published parts of its category, in project order
    std::int32_t category = 0;  // number of the 'T' caption row above it (0-based)
};

struct PublishList {
    int count = 0;
    std::array<PublishEntry, project_editor::kMaxParts> entries{};
    const PublishEntry& at(int i) const { return entries.at(static_cast<std::size_t>(i)); }
};

// Every part that is not a caption row and has a picture name, sorted by key,
// largest first (keys are unique: a depth ties only within one depth, where
// the part index decides, so parts of one depth keep project order).
PublishList CollectPublishList(const project_editor::ProjectFile& project);

enum class CountRule {
    TooFew,  // fewer than two entries: nothing may be published
    Kept,
    Cut,     // more than 62: the count was cut to 62
};
CountRule ApplyCountRule(PublishList& list);

}  // namespace web_publish
