#pragma once
// Where frames come from: a camera of the machine or a generated test
// pattern that tests hand in. A source is opened on the thread that starts
// the stream, then read only by the stream's own thread, then closed after
// that thread has ended.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::capture {

enum class GrabResult {
    Frame,    // `dib` holds a new frame
    NoFrame,  // nothing arrived within the wait; try again
    Failed,   // the device is gone or broken; the stream ends
};

class FrameSource {
public:
    virtual ~FrameSource() = default;

    // Opens the device and negotiates the frame size; false with a reason
    // when it cannot deliver frames.
    virtual bool Open(std::string* error) = 0;
    // The negotiated size (after a successful Open).
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Waits at most `wait` for the next frame and stores it in DIB layout
    // (see frame.h).
    virtual GrabResult Grab(std::vector<std::uint8_t>* dib, std::chrono::milliseconds wait, std::string* error) = 0;
    // Stops streaming and releases the device. Safe to call twice.
    virtual void Close() = 0;
};

// The cameras a dialog can choose from: their names in a fixed order, and a
// source for one of them.
class CameraProvider {
public:
    virtual ~CameraProvider() = default;
    virtual std::vector<std::string> DeviceNames() = 0;
    // A source for device `index` of DeviceNames(), or null when there is no
    // such device.
    virtual std::unique_ptr<FrameSource> OpenDevice(int index) = 0;
};

}  // namespace platform::capture
