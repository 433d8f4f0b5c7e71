#pragma once
// The camera side of the capture dialog: lists the cameras, starts one into
// a running stream, and arms the frame writer. Owned by the dialog and used
// on its thread; the stream's own thread is ended by Stop() and by the
// destructor, so nothing runs once the graph is gone.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/capture/capture_stream.h"
#include "platform/capture/frame_source.h"

namespace camera {

// Start's results.
constexpr int kStartOk = 0;
constexpr int kStartNoDevice = 1;  // no camera at that index
constexpr int kStartFailed = 2;    // the camera is there but does not stream

class CCaptureGraph {
public:
    explicit CCaptureGraph(std::shared_ptr<platform::capture::CameraProvider> cameras);
    ~CCaptureGraph();
    CCaptureGraph(const CCaptureGraph&) = delete;
    CCaptureGraph& operator=(const CCaptureGraph&) = delete;

    // The cameras' names in order into `names`; their count, or -1 when
    // there is none.
    int ListDevices(std::vector<std::string>* names);

    // Starts camera `device` (0-based, in ListDevices order). `error` says
    // why it failed.
    int Start(int device, std::string* error);
    void Stop();
    bool Running() const { return m_stream.Running(); }

    void SetTempName(const std::filesystem::path& path) { m_stream.SetTempName(path); }
    // 1 arms the writer (false when it cannot: no temporary path yet), 0
    // disarms it.
    bool SetCaptureFlag(int value);
    int GetCaptureFlag() const { return m_stream.GetCaptureFlag(); }

    platform::capture::CaptureStream& stream() { return m_stream; }
    const platform::capture::CaptureStream& stream() const { return m_stream; }

private:
    std::shared_ptr<platform::capture::CameraProvider> m_cameras;
    platform::capture::CaptureStream m_stream;
};

}  // namespace camera
