// libFuzzer target: the image editor's settings record. A record of the right
// size loads and reads back every text; storing a text from the input changes
// only its own field and leaves it terminated within 257 bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "image_editor/camera_sys_info.h"

using namespace image_editor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    CCameraSysInfo info;
    const bool loaded = info.LoadBytes(bytes);
    if (loaded != (size == kCameraSysInfoSize)) std::abort();
    for (int id : {101, 301, 601, 201, 0, 999}) (void)info.GetSetText(id);
    (void)info.GetPhotoDir();

    const std::size_t at = size > kCameraSysInfoSize ? kCameraSysInfoSize : size / 2;
    const std::string_view text(reinterpret_cast<const char*>(data) + at, size - at);
    (void)CCameraSysInfo::DirectoryOf(text);
    const struct {
        int id;
        std::size_t from;
    } fields[] = {{102, 1212}, {302, 1678}, {602, 2144}, {202, 2610}};
    for (const auto& f : fields) {
        CCameraSysInfo copy;
        if (loaded) copy.LoadBytes(bytes);
        const std::vector<std::uint8_t> before(copy.Bytes().begin(), copy.Bytes().end());
        (void)copy.GetSetText(f.id, text);  // no base directory: nothing is saved
        const auto after = copy.Bytes();
        bool terminated = false;
        for (std::size_t i = f.from; i <= f.from + 256; ++i) terminated = terminated || after[i] == 0;
        if (!terminated) std::abort();
        for (std::size_t i = 0; i < kCameraSysInfoSize; ++i)
            if (before[i] != after[i] && (i < f.from || i >= f.from + 466)) std::abort();
    }
    return 0;
}
