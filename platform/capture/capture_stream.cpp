#include "platform/capture/capture_stream.h"

#include <system_error>

#include "platform/capture/frame_writer.h"

namespace platform::capture {

namespace {
constexpr std::chrono::milliseconds kGrabWait{100};
}

CaptureStream::~CaptureStream() { Stop(); }

bool CaptureStream::Start(std::unique_ptr<FrameSource> source, std::string* error) {
    Stop();
    if (!source) {
        if (error) *error = "没有这个摄像头";
        return false;
    }
    if (!source->Open(error)) return false;
    m_source = std::move(source);
    m_width = m_source->Width();
    m_height = m_source->Height();
    {
        std::lock_guard lock(m_frameLock);
        m_latest = VideoFrame{};
        m_error.clear();
    }
    m_stop.store(false, std::memory_order_release);
    m_ended.store(false, std::memory_order_release);
    m_thread = std::thread([this] { Run(); });
    return true;
}

void CaptureStream::Stop() {
    m_stop.store(true, std::memory_order_release);
    if (m_thread.joinable()) m_thread.join();
    if (m_source) {
        m_source->Close();
        m_source.reset();
    }
    std::lock_guard lock(m_shotLock);
    if (m_armed.load(std::memory_order_acquire)) {
        m_write = FrameWrite::Failed;
        m_writeError = "the camera was closed";
        m_armed.store(0, std::memory_order_release);
    }
}

void CaptureStream::Run() {
    std::vector<std::uint8_t> dib;
    std::uint64_t count = 0;
    while (!m_stop.load(std::memory_order_acquire)) {
        std::string why;
        const GrabResult r = m_source->Grab(&dib, kGrabWait, &why);
        if (r == GrabResult::NoFrame) continue;
        if (r == GrabResult::Failed) {
            {
                std::lock_guard lock(m_frameLock);
                m_error = why.empty() ? "the camera stopped" : why;
            }
            {
                std::lock_guard lock(m_shotLock);
                if (m_armed.load(std::memory_order_acquire)) {
                    m_write = FrameWrite::Failed;
                    m_writeError = why.empty() ? "the camera stopped" : why;
                    m_armed.store(0, std::memory_order_release);
                }
            }
            m_ended.store(true, std::memory_order_release);
            if (m_notify) m_notify();
            return;
        }
        if (dib.size() != DibSize(m_width, m_height)) continue;  // a source must keep its size
        if (m_armed.load(std::memory_order_acquire)) WriteArmed(dib);
        {
            std::lock_guard lock(m_frameLock);
            m_latest.width = m_width;
            m_latest.height = m_height;
            m_latest.dib.swap(dib);
            m_latest.number = ++count;
        }
        if (m_notify) m_notify();
    }
}

void CaptureStream::WriteArmed(const std::vector<std::uint8_t>& dib) {
    std::lock_guard lock(m_shotLock);
    if (!m_armed.load(std::memory_order_acquire)) return;  // disarmed meanwhile
    std::string why;
    if (WriteFrameFile(m_tempName, m_width, m_height, dib, &why)) {
        m_write = FrameWrite::Written;
        m_writeError.clear();
    } else {
        m_write = FrameWrite::Failed;
        m_writeError = why;
    }
    m_armed.store(0, std::memory_order_release);
}

std::string CaptureStream::Error() const {
    std::lock_guard lock(m_frameLock);
    return m_error;
}

bool CaptureStream::CopyLatest(VideoFrame* out) const {
    std::lock_guard lock(m_frameLock);
    if (m_latest.number == 0) return false;
    *out = m_latest;
    return true;
}

std::uint64_t CaptureStream::FrameCount() const {
    std::lock_guard lock(m_frameLock);
    return m_latest.number;
}

bool CaptureStream::SetTempName(const std::filesystem::path& path) {
    std::lock_guard lock(m_shotLock);
    if (m_armed.load(std::memory_order_acquire)) return false;
    m_tempName = path;
    return true;
}

std::filesystem::path CaptureStream::TempName() const {
    std::lock_guard lock(m_shotLock);
    return m_tempName;
}

bool CaptureStream::Arm() {
    std::lock_guard lock(m_shotLock);
    if (m_tempName.empty()) return false;
    if (m_armed.load(std::memory_order_acquire)) return true;
    std::error_code ec;
    std::filesystem::remove(m_tempName, ec);  // a file left from before is never taken for the new frame
    m_write = FrameWrite::Pending;
    m_writeError.clear();
    m_armed.store(1, std::memory_order_release);
    return true;
}

void CaptureStream::Disarm() {
    std::lock_guard lock(m_shotLock);
    m_armed.store(0, std::memory_order_release);
    m_write = FrameWrite::None;
}

FrameWrite CaptureStream::LastWrite(std::string* error) const {
    std::lock_guard lock(m_shotLock);
    if (error) *error = m_writeError;
    return m_write;
}

}  // namespace platform::capture
