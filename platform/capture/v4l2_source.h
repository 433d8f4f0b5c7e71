#pragma once
// The machine's cameras through V4L2. Devices are the /dev/video<N> nodes
// that capture video and stream, in the order of N. A source asks for
// 24-bit BGR (libv4l2 converts what the camera sends), takes the size the
// driver grants nearest to the one asked for, and streams through
// memory-mapped buffers.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/capture/frame_source.h"

namespace platform::capture {

struct VideoDevice {
    std::filesystem::path path;  // "/dev/video0"
    std::string name;            // the driver's card name
};

// The capture devices under `dev_dir`, sorted by their number.
std::vector<VideoDevice> ListVideoDevices(const std::filesystem::path& dev_dir = "/dev");

class V4l2Source : public FrameSource {
public:
    V4l2Source(std::filesystem::path device, int wanted_width = 640, int wanted_height = 480);
    ~V4l2Source() override;
    V4l2Source(const V4l2Source&) = delete;
    V4l2Source& operator=(const V4l2Source&) = delete;

    bool Open(std::string* error) override;
    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    GrabResult Grab(std::vector<std::uint8_t>* dib, std::chrono::milliseconds wait, std::string* error) override;
    void Close() override;

private:
    struct Buffer {
        void* start = nullptr;
        std::size_t length = 0;
    };
    std::filesystem::path m_device;
    int m_wantedWidth, m_wantedHeight;
    int m_fd = -1;
    int m_width = 0, m_height = 0;
    std::size_t m_bytesPerLine = 0;
    std::vector<Buffer> m_buffers;
    bool m_streaming = false;
};

// The machine's cameras (ListVideoDevices of "/dev").
class SystemCameras : public CameraProvider {
public:
    std::vector<std::string> DeviceNames() override;
    std::unique_ptr<FrameSource> OpenDevice(int index) override;

private:
    std::vector<VideoDevice> m_devices;
};

}  // namespace platform::capture
