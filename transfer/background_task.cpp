#include "transfer/background_task.h"

#include <system_error>

namespace transfer {

BackgroundTask::~BackgroundTask() {
    Cancel();
    Wait();
}

bool BackgroundTask::Start(Work work) {
    if (m_running) return false;
    Wait();
    m_cancel = false;
    m_running = true;
    try {
        m_thread = std::thread([this, work = std::move(work)] {
            work(m_cancel);
            m_running = false;
        });
    } catch (const std::system_error&) {
        m_running = false;
        return false;
    }
    return true;
}

void BackgroundTask::Wait() {
    if (m_thread.joinable()) m_thread.join();
}

}  // namespace transfer
