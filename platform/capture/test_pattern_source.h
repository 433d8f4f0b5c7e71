#pragma once
// A camera without hardware: eight colour bars that move one step to the
// left with every frame, with the frame number drawn in black digits on a
// white box in the top-left corner. Tests and demonstrations hand it to the
// capture layer in place of a real camera.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/capture/frame_source.h"

namespace platform::capture {

struct TestPatternOptions {
    int width = 320;
    int height = 240;
    std::chrono::milliseconds interval{40};  // time between frames
    bool fail_open = false;                  // Open refuses, as a camera in use would
    std::uint64_t fail_after = 0;            // Grab fails after this many frames (0: never)
    int bar_step = 4;                        // pixels the bars move per frame
};

// The bars' colours, left to right: white, yellow, cyan, green, magenta, red,
// blue, black (0xRRGGBB).
inline constexpr std::uint32_t kTestPatternBars[8] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00,
                                                      0xFF00FF, 0xFF0000, 0x0000FF, 0x000000};

// The colour of column `x` in frame `number` of a picture `width` wide
// (outside the counter box).
std::uint32_t TestPatternColour(int x, int width, std::uint64_t number, int bar_step);

// The counter box: its right and bottom edges (exclusive) in pixels.
constexpr int kCounterBoxRight = 4 + 6 * 12 + 4;
constexpr int kCounterBoxBottom = 4 + 14 + 4;

class TestPatternSource : public FrameSource {
public:
    explicit TestPatternSource(TestPatternOptions options = {});

    bool Open(std::string* error) override;
    int Width() const override { return m_options.width; }
    int Height() const override { return m_options.height; }
    GrabResult Grab(std::vector<std::uint8_t>* dib, std::chrono::milliseconds wait, std::string* error) override;
    void Close() override { m_open = false; }

    // Fills `dib` with frame `number` (the first frame is 1).
    static void Render(const TestPatternOptions& options, std::uint64_t number, std::vector<std::uint8_t>* dib);

private:
    TestPatternOptions m_options;
    bool m_open = false;
    std::uint64_t m_count = 0;
    std::chrono::steady_clock::time_point m_next;
};

// Named cameras that are all test patterns ("测试图案摄像头 1", ...).
class TestPatternCameras : public CameraProvider {
public:
    explicit TestPatternCameras(TestPatternOptions options = {}, int count = 1) : m_options(options), m_count(count) {}
    std::vector<std::string> DeviceNames() override;
    std::unique_ptr<FrameSource> OpenDevice(int index) override;

private:
    TestPatternOptions m_options;
    int m_count;
};

}  // namespace platform::capture
