// libFuzzer target: the icon-list reader. Any bytes load or are refused
// without reading or writing beyond the tables; every listed member is an
// item of the file, and every group list stays within its capacity.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "picture_controls/icon_list_file.h"

using picture_controls::CIconListFile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static auto file = std::make_unique<CIconListFile>();
    file->Clear();
    const char kind = size > 0 && (data[0] & 1) ? 'B' : 'b';
    if (!file->LoadBytes({data, size}, kind)) return 0;
    for (int group = 0; group <= 22; ++group) {
        const int n = file->BuildNameList(group);
        if (n < 0 || n > CIconListFile::kMaxMembers || static_cast<std::size_t>(n) != file->members().size())
            std::abort();
        for (int m : file->members())
            if (m < 0 || m >= file->itemCount()) std::abort();
        for (int g = 0; g < std::min(file->groupCount(), CIconListFile::kMaxGroups); ++g)
            if (file->groupName(g).size() > 3 * CIconListFile::kMaxEntryText) std::abort();
    }
    for (int e = -1; e <= file->entryCount(); ++e) (void)file->GetEntryText(e);
    return 0;
}
