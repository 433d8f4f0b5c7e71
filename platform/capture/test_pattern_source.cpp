#include "platform/capture/test_pattern_source.h"

#include <algorithm>
#include <thread>

#include "platform/capture/frame.h"

namespace platform::capture {

namespace {

// 5 x 7 digits, one byte a row, the leftmost pixel in bit 4; drawn twice
// the size.
constexpr std::uint8_t kDigits[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
};

void Put(std::vector<std::uint8_t>& dib, int width, int height, int x, int y, std::uint32_t rgb) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    std::uint8_t* p = dib.data() + DibStride(width) * std::size_t(height - 1 - y) + std::size_t(x) * 3;
    p[0] = std::uint8_t(rgb);
    p[1] = std::uint8_t(rgb >> 8);
    p[2] = std::uint8_t(rgb >> 16);
}

}  // namespace

std::uint32_t TestPatternColour(int x, int width, std::uint64_t number, int bar_step) {
    if (width <= 0) return 0;
    const std::uint64_t shift = (number * std::uint64_t(std::max(bar_step, 0))) % std::uint64_t(width);
    const std::uint64_t column = (std::uint64_t(x) + shift) % std::uint64_t(width);
    return kTestPatternBars[column * 8 / std::uint64_t(width)];
}

TestPatternSource::TestPatternSource(TestPatternOptions options) : m_options(options) {}

bool TestPatternSource::Open(std::string* error) {
    if (m_options.fail_open || m_options.width <= 0 || m_options.height <= 0) {
        if (error) *error = "测试图案摄像头正在使用中";
        return false;
    }
    m_open = true;
    m_count = 0;
    m_next = std::chrono::steady_clock::now();
    return true;
}

GrabResult TestPatternSource::Grab(std::vector<std::uint8_t>* dib, std::chrono::milliseconds wait, std::string* error) {
    if (!m_open || (m_options.fail_after && m_count >= m_options.fail_after)) {
        if (error) *error = "测试图案摄像头已停止";
        return GrabResult::Failed;
    }
    const auto now = std::chrono::steady_clock::now();
    if (m_next > now + wait) {
        std::this_thread::sleep_for(wait);
        return GrabResult::NoFrame;
    }
    if (m_next > now) std::this_thread::sleep_until(m_next);
    m_next = std::max(m_next + m_options.interval, std::chrono::steady_clock::now());
    Render(m_options, ++m_count, dib);
    return GrabResult::Frame;
}

void TestPatternSource::Render(const TestPatternOptions& o, std::uint64_t number, std::vector<std::uint8_t>* dib) {
    const int w = o.width, h = o.height;
    dib->assign(DibSize(w, h), 0);
    for (int x = 0; x < w; ++x) {
        const std::uint32_t c = TestPatternColour(x, w, number, o.bar_step);
        for (int y = 0; y < h; ++y) Put(*dib, w, h, x, y, c);
    }
    for (int y = 0; y < kCounterBoxBottom; ++y)
        for (int x = 0; x < kCounterBoxRight; ++x) Put(*dib, w, h, x, y, 0xFFFFFF);
    std::uint64_t rest = number % 1000000;
    for (int d = 5; d >= 0; --d, rest /= 10) {
        const auto& glyph = kDigits[rest % 10];
        const int left = 4 + d * 12 + 1;
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (glyph[row] & (0x10 >> col))
                    for (int dy = 0; dy < 2; ++dy)
                        for (int dx = 0; dx < 2; ++dx) Put(*dib, w, h, left + col * 2 + dx, 4 + row * 2 + dy, 0);
    }
}

std::vector<std::string> TestPatternCameras::DeviceNames() {
    std::vector<std::string> names;
    for (int i = 1; i <= m_count; ++i) names.push_back("测试图案摄像头 " + std::to_string(i));
    return names;
}

std::unique_ptr<FrameSource> TestPatternCameras::OpenDevice(int index) {
    if (index < 0 || index >= m_count) return nullptr;
    return std::make_unique<TestPatternSource>(m_options);
}

}  // namespace platform::capture
