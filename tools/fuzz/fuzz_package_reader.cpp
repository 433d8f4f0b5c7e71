// libFuzzer target: the project package reader. Any input is either refused
// or gives a directory whose every entry lies within the input, whose names
// are plain file names, and whose first entry is the project file.
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
    if (entries.empty() || entries.size() > 880 || entries[0].kind != shell::kEntryProject) std::abort();
    for (const shell::PackageEntry& e : entries) {
        if (e.offset < 0 || e.size < 0 || static_cast<std::uint64_t>(e.offset + e.size) > size) std::abort();
        if (!shell::IsPlainFileName(e.name)) std::abort();
    }
    return 0;
}
