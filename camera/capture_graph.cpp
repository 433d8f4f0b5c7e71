#include "camera/capture_graph.h"

namespace camera {

CCaptureGraph::CCaptureGraph(std::shared_ptr<platform::capture::CameraProvider> cameras)
    : m_cameras(std::move(cameras)) {}

CCaptureGraph::~CCaptureGraph() { Stop(); }

int CCaptureGraph::ListDevices(std::vector<std::string>* names) {
    if (!m_cameras) return -1;
    std::vector<std::string> found = m_cameras->DeviceNames();
    if (found.empty()) return -1;
    if (names) *names = found;
    return int(found.size());
}

int CCaptureGraph::Start(int device, std::string* error) {
    auto source = m_cameras ? m_cameras->OpenDevice(device) : nullptr;
    if (!source) {
        if (error) *error = "没有第 " + std::to_string(device + 1) + " 个摄像头";
        return kStartNoDevice;
    }
    return m_stream.Start(std::move(source), error) ? kStartOk : kStartFailed;
}

void CCaptureGraph::Stop() { m_stream.Stop(); }

bool CCaptureGraph::SetCaptureFlag(int value) {
    if (value) return m_stream.Arm();
    m_stream.Disarm();
    return true;
}

}  // namespace camera
