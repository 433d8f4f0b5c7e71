// libFuzzer target: the project builder's settings record. A record of the
// right size loads and reads back every field; setting a field from the
// input stays within the field and leaves every other byte alone.
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <string_view>
#include <vector>

#include "project_editor/sys_set_info.h"

using namespace project_editor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CSysSetInfo info;
    const std::span<const std::uint8_t> bytes(data, size);
    const bool loaded = info.LoadBytes(bytes);
    if (loaded != (size == kSysSetInfoSize)) std::abort();
    for (int field = -1; field <= 12; ++field) (void)info.GetField(field);
    (void)info.GetOutputFolder();
    (void)info.GetSeriesName();

    // Any tail beyond a whole record is a text to store into each field.
    const std::size_t at = size > kSysSetInfoSize ? kSysSetInfoSize : size / 2;
    const std::string_view text(reinterpret_cast<const char*>(data) + at, size - at);
    for (int field : {0, 1, 2, 3, 4, 5, 6, 7, 11}) {
        CSysSetInfo copy;
        if (loaded) copy.LoadBytes(bytes);
        const auto before = std::vector<std::uint8_t>(copy.Bytes().begin(), copy.Bytes().end());
        copy.SetField(field, text);
        const auto after = copy.Bytes();
        std::size_t changedFrom = kSysSetInfoSize, changedTo = 0;
        for (std::size_t i = 0; i < kSysSetInfoSize; ++i)
            if (before[i] != after[i]) {
                changedFrom = std::min(changedFrom, i);
                changedTo = i;
            }
        if (changedFrom == kSysSetInfoSize) continue;
        struct Range {
            int field;
            std::size_t from, to;  // inclusive
            std::size_t limit;     // a text ends with a NUL within its first limit + 1 bytes
        };
        constexpr Range kRanges[] = {{0, 115, 115, 0},      {1, 2172, 2175, 0},   {2, 867, 1132, 260},
                                     {3, 1133, 1198, 60},   {4, 1331, 1596, 260}, {5, 1597, 1623, 22},
                                     {6, 1199, 1264, 60},   {11, 1265, 1330, 60}};
        bool inside = false;
        for (const Range& r : kRanges) {
            if (r.field != field) continue;
            inside = changedFrom >= r.from && changedTo <= r.to;
            if (r.limit > 0) {
                bool terminated = false;
                for (std::size_t i = r.from; i <= r.from + r.limit; ++i) terminated = terminated || after[i] == 0;
                if (!terminated) std::abort();
            }
        }
        if (!inside) std::abort();
        (void)copy.GetField(field);
    }
    return 0;
}
