#include "platform/capture/v4l2_source.h"

#include "platform/error_text.h"

#include <fcntl.h>
#include <libv4l2.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "platform/capture/frame.h"

namespace platform::capture {

namespace fs = std::filesystem;

namespace {

constexpr unsigned kBufferCount = 4;

int Ioctl(int fd, unsigned long request, void* arg) {
    int r;
    do {
        r = v4l2_ioctl(fd, request, arg);
    } while (r == -1 && errno == EINTR);
    return r;
}

// What failed and why, as the user reads it in the picture area.
std::string Reason(const char* what) { return std::string(what) + ": " + ErrorReason(errno, FileAccess::Read); }

// The number after "video", or -1 for other names.
int VideoNumber(const std::string& name) {
    if (name.rfind("video", 0) != 0 || name.size() == 5) return -1;
    int n = 0;
    for (std::size_t i = 5; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || n > 100000) return -1;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

}  // namespace

std::vector<VideoDevice> ListVideoDevices(const fs::path& dev_dir) {
    std::vector<std::pair<int, fs::path>> nodes;
    std::error_code ec;
    for (fs::directory_iterator it(dev_dir, ec), end; !ec && it != end; it.increment(ec)) {
        const int n = VideoNumber(it->path().filename().string());
        if (n >= 0) nodes.emplace_back(n, it->path());
    }
    std::sort(nodes.begin(), nodes.end());
    std::vector<VideoDevice> devices;
    for (const auto& [n, path] : nodes) {
        const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        v4l2_capability cap{};
        if (::ioctl(fd, VIDIOC_QUERYCAP, &cap) == 0) {
            const std::uint32_t caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
            if ((caps & V4L2_CAP_VIDEO_CAPTURE) && (caps & V4L2_CAP_STREAMING)) {
                const char* card = reinterpret_cast<const char*>(cap.card);
                std::string name(card, strnlen(card, sizeof cap.card));
                if (name.empty()) name = path.filename().string();
                devices.push_back({path, name});
            }
        }
        ::close(fd);
    }
    return devices;
}

V4l2Source::V4l2Source(fs::path device, int wanted_width, int wanted_height)
    : m_device(std::move(device)), m_wantedWidth(wanted_width), m_wantedHeight(wanted_height) {}

V4l2Source::~V4l2Source() { Close(); }

bool V4l2Source::Open(std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = UserPath(m_device) + ": " + why;
        Close();
        return false;
    };
    Close();
    m_fd = v4l2_open(m_device.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) return fail(Reason("无法打开"));

    v4l2_format fmt{};
    fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    fmt.fmt.pix.width = std::uint32_t(m_wantedWidth);
    fmt.fmt.pix.height = std::uint32_t(m_wantedHeight);
    fmt.fmt.pix.pixelformat = V4L2_PIX_FMT_BGR24;
    fmt.fmt.pix.field = V4L2_FIELD_ANY;
    if (Ioctl(m_fd, VIDIOC_S_FMT, &fmt) < 0) return fail(Reason("无法设定画面格式"));
    if (fmt.fmt.pix.pixelformat != V4L2_PIX_FMT_BGR24) return fail("the camera gives no 24-bit colour pictures");
    if (fmt.fmt.pix.width == 0 || fmt.fmt.pix.height == 0 || fmt.fmt.pix.width > 8192 || fmt.fmt.pix.height > 8192)
        return fail("the camera gives no usable picture size");
    m_width = int(fmt.fmt.pix.width);
    m_height = int(fmt.fmt.pix.height);
    m_bytesPerLine = std::max<std::size_t>(fmt.fmt.pix.bytesperline, std::size_t(m_width) * 3);

    v4l2_requestbuffers req{};
    req.count = kBufferCount;
    req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    req.memory = V4L2_MEMORY_MMAP;
    if (Ioctl(m_fd, VIDIOC_REQBUFS, &req) < 0 || req.count == 0) return fail(Reason("无法取得画面缓冲区"));
    for (unsigned i = 0; i < req.count; ++i) {
        v4l2_buffer buf{};
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        buf.index = i;
        if (Ioctl(m_fd, VIDIOC_QUERYBUF, &buf) < 0) return fail(Reason("无法查询画面缓冲区"));
        void* start = v4l2_mmap(nullptr, buf.length, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, buf.m.offset);
        if (start == MAP_FAILED) return fail(Reason("无法映射画面缓冲区"));
        m_buffers.push_back({start, buf.length});
        if (Ioctl(m_fd, VIDIOC_QBUF, &buf) < 0) return fail(Reason("无法送回画面缓冲区"));
    }
    v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (Ioctl(m_fd, VIDIOC_STREAMON, &type) < 0) return fail(Reason("无法开始传送画面"));
    m_streaming = true;
    return true;
}

GrabResult V4l2Source::Grab(std::vector<std::uint8_t>* dib, std::chrono::milliseconds wait, std::string* error) {
    if (m_fd < 0 || !m_streaming) {
        if (error) *error = "摄像头没有打开";
        return GrabResult::Failed;
    }
    pollfd pfd{m_fd, POLLIN, 0};
    const int ready = ::poll(&pfd, 1, int(std::clamp<long long>(wait.count(), 0, 60000)));
    if (ready < 0) {
        if (errno == EINTR) return GrabResult::NoFrame;
        if (error) *error = Reason("等待画面出错");
        return GrabResult::Failed;
    }
    if (ready == 0) return GrabResult::NoFrame;
    if (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)) {
        if (error) *error = "摄像头已断开";
        return GrabResult::Failed;
    }
    v4l2_buffer buf{};
    buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buf.memory = V4L2_MEMORY_MMAP;
    if (Ioctl(m_fd, VIDIOC_DQBUF, &buf) < 0) {
        if (errno == EAGAIN || errno == EIO) return GrabResult::NoFrame;
        if (error) *error = Reason("无法取得画面");
        return GrabResult::Failed;
    }
    GrabResult result = GrabResult::NoFrame;
    const std::size_t rowBytes = std::size_t(m_width) * 3;
    const std::size_t needed = m_bytesPerLine * std::size_t(m_height - 1) + rowBytes;
    if (buf.index < m_buffers.size() && !(buf.flags & V4L2_BUF_FLAG_ERROR) && buf.bytesused >= needed &&
        m_buffers[buf.index].length >= needed) {
        const auto* src = static_cast<const std::uint8_t*>(m_buffers[buf.index].start);
        dib->assign(DibSize(m_width, m_height), 0);
        const std::size_t stride = DibStride(m_width);
        for (int y = 0; y < m_height; ++y)
            std::memcpy(dib->data() + stride * std::size_t(m_height - 1 - y), src + m_bytesPerLine * std::size_t(y),
                        rowBytes);
        result = GrabResult::Frame;
    }
    if (Ioctl(m_fd, VIDIOC_QBUF, &buf) < 0) {
        if (error) *error = Reason("无法送回画面缓冲区");
        return GrabResult::Failed;
    }
    return result;
}

void V4l2Source::Close() {
    if (m_fd >= 0 && m_streaming) {
        v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        Ioctl(m_fd, VIDIOC_STREAMOFF, &type);
    }
    m_streaming = false;
    for (const Buffer& b : m_buffers) v4l2_munmap(b.start, b.length);
    m_buffers.clear();
    if (m_fd >= 0) {
        v4l2_requestbuffers req{};
        req.count = 0;
        req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        req.memory = V4L2_MEMORY_MMAP;
        Ioctl(m_fd, VIDIOC_REQBUFS, &req);
        v4l2_close(m_fd);
    }
    m_fd = -1;
}

std::vector<std::string> SystemCameras::DeviceNames() {
    m_devices = ListVideoDevices();
    std::vector<std::string> names;
    for (const auto& d : m_devices) names.push_back(d.name);
    return names;
}

std::unique_ptr<FrameSource> SystemCameras::OpenDevice(int index) {
    if (index < 0 || std::size_t(index) >= m_devices.size()) return nullptr;
    return std::make_unique<V4l2Source>(m_devices[std::size_t(index)].path);
}

}  // namespace platform::capture
