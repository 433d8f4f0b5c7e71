// libFuzzer target: the project package reader. Any input is either refused
// or gives a directory whose entries' data lie between the header and the
// directory without sharing a byte, whose names are plain file names (or
// empty, for entries to skip), and whose first entry is the named project.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "shell/data_package.h"
#include "shell/download_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<shell::PackageEntry> entries;
    const auto readAt = [&](std::uint64_t offset, std::span<std::uint8_t> out) {
        if (offset > size || out.size() > size - offset) return false;
        std::memcpy(out.data(), data + offset, out.size());
        return true;
    };
    const shell::PackageFault fault = shell::ReadPackageIndex(size, readAt, &entries);
    if (fault != shell::PackageFault::None) {
        if (!entries.empty()) std::abort();
        return 0;
    }
    if (entries.empty() || entries.size() > 880 || entries[0].kind != shell::kEntryProject || entries[0].name.empty())
        std::abort();
    std::vector<std::pair<std::int64_t, std::int64_t>> spans;
    for (const shell::PackageEntry& e : entries) {
        if (e.offset < 0 || e.size < 0 || static_cast<std::uint64_t>(e.offset + e.size) > size) std::abort();
        if (e.size > 0 && e.offset < 316) std::abort();
        if (!e.name.empty() && !shell::IsPlainFileName(e.name)) std::abort();
        if (e.size > 0) spans.emplace_back(e.offset, e.offset + e.size);
    }
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; i < spans.size(); ++i)
        if (spans[i].first < spans[i - 1].second) std::abort();
    return 0;
}
