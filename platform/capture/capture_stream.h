#pragma once
// A running camera: the source is read on a thread of the stream's own; each
// frame becomes the latest frame, which the window thread copies when the
// notification (called on the streaming thread, after the frame is stored)
// tells it one arrived. The window thread may arm the frame writer: the next
// frame is then written as a frame file at the temporary path on the
// streaming thread, and the armed flag is cleared.
//
// The armed flag is an atomic int that the window thread polls; the path and
// the outcome of the write are guarded by a lock that the writer holds while
// it writes, so a disarm or a new path never meets a half-done write.
// Stop() (and the destructor) ends the thread before returning.
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/capture/frame.h"
#include "platform/capture/frame_source.h"

namespace platform::capture {

enum class FrameWrite {
    None,     // nothing armed since the last disarm
    Pending,  // armed; waiting for a frame
    Written,  // the armed frame is in the file
    Failed,   // the frame could not be written, or the stream ended first
};

class CaptureStream {
public:
    CaptureStream() = default;
    ~CaptureStream();
    CaptureStream(const CaptureStream&) = delete;
    CaptureStream& operator=(const CaptureStream&) = delete;

    // Called on the streaming thread after each frame and when the stream
    // ends. Set it before Start.
    void SetFrameNotify(std::function<void()> notify) { m_notify = std::move(notify); }

    // Opens the source and starts the streaming thread. False with a reason
    // when the source cannot be opened (nothing runs then).
    bool Start(std::unique_ptr<FrameSource> source, std::string* error);
    // Ends the thread and closes the source; a pending shot fails.
    void Stop();

    bool Running() const { return m_thread.joinable() && !m_ended.load(std::memory_order_acquire); }
    // True once the stream ended by itself (the device failed); Error() says why.
    bool Ended() const { return m_ended.load(std::memory_order_acquire); }
    std::string Error() const;
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // The latest frame (window thread); false while none arrived.
    bool CopyLatest(VideoFrame* out) const;
    std::uint64_t FrameCount() const;

    // The frame writer. The path is not changed while a shot is armed.
    bool SetTempName(const std::filesystem::path& path);
    std::filesystem::path TempName() const;
    // Removes a file left at the path, then arms. False (nothing armed) while
    // the path is empty. Arming while armed changes nothing.
    bool Arm();
    void Disarm();
    int GetCaptureFlag() const { return m_armed.load(std::memory_order_acquire); }
    FrameWrite LastWrite(std::string* error = nullptr) const;

private:
    void Run();
    void WriteArmed(const std::vector<std::uint8_t>& dib);

    std::unique_ptr<FrameSource> m_source;
    std::function<void()> m_notify;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_ended{false};
    int m_width = 0, m_height = 0;

    mutable std::mutex m_frameLock;
    VideoFrame m_latest;
    std::string m_error;

    std::atomic<int> m_armed{0};
    mutable std::mutex m_shotLock;
    std::filesystem::path m_tempName;
    FrameWrite m_write = FrameWrite::None;
    std::string m_writeError;
};

}  // namespace platform::capture
