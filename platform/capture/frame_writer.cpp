#include "platform/capture/frame_writer.h"

#include <algorithm>

#include "platform/files.h"

namespace platform::capture {

namespace {

void Put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

}  // namespace

std::array<std::uint8_t, kFrameFileHeaderSize> FrameFileHeader(int width, int height, std::size_t pixel_bytes) {
    std::array<std::uint8_t, kFrameFileHeaderSize> h{};
    h[0] = 'B';
    h[1] = 'M';
    Put32(&h[2], std::uint32_t(pixel_bytes + kFrameFileHeaderSize));
    Put32(&h[10], std::uint32_t(kFrameFileHeaderSize));
    Put32(&h[14], 40);
    Put32(&h[18], std::uint32_t(width));
    Put32(&h[22], std::uint32_t(height));
    Put16(&h[26], 1);
    Put16(&h[28], 24);
    return h;
}

std::vector<std::uint8_t> FrameFileBytes(int width, int height, std::span<const std::uint8_t> dib) {
    const auto header = FrameFileHeader(width, height, dib.size());
    std::vector<std::uint8_t> out(kFrameFileHeaderSize + dib.size());
    std::copy(header.begin(), header.end(), out.begin());
    std::copy(dib.begin(), dib.end(), out.begin() + std::ptrdiff_t(kFrameFileHeaderSize));
    return out;
}

bool WriteFrameFile(const std::filesystem::path& path, int width, int height, std::span<const std::uint8_t> dib,
                    std::string* error) {
    return SaveFileAtomic(path, FrameFileBytes(width, height, dib), error);
}

}  // namespace platform::capture
