#pragma once
// One piece of blocking work (a fetch, a download) on a thread of its own,
// with a cancel flag the work polls. The owner starts it, may cancel it, and
// waits for it before it goes away: the destructor cancels and waits, so no
// work outlives its owner (nor the module that holds its code).
#include <atomic>
#include <functional>
#include <thread>

namespace transfer {

class BackgroundTask {
public:
    using Work = std::function<void(const std::atomic<bool>& cancel)>;

    BackgroundTask() = default;
    ~BackgroundTask();
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // Starts `work` unless one is still running (false then).
    bool Start(Work work);
    void Cancel() { m_cancel = true; }
    void Wait();
    bool Running() const { return m_running; }

private:
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_running{false};
};

}  // namespace transfer
