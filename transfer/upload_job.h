#pragma once
// The upload job of the transfer program: what to send where, run on a
// worker thread of its own, and the status the dialog's timer polls.
//
// The dialog fills the job and starts it; the worker stores 1066 while it
// runs, writes the result message, then stores 1099 with release order. The
// timer reads the status with acquire order and takes the message only after
// it has seen 1099, so the message it reads is the finished one. One job runs
// at a time; the destructor waits for a running worker.
#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/ftp.h"

namespace transfer {

inline constexpr int kJobStarted = 1;
inline constexpr int kJobRunning = 1066;
inline constexpr int kJobDone = 1099;

class UploadJob {
public:
    UploadJob() = default;
    ~UploadJob() {
        Cancel();
        Wait();
    }
    UploadJob(const UploadJob&) = delete;
    UploadJob& operator=(const UploadJob&) = delete;

    // Status kJobStarted, then the worker; false (and nothing started) while
    // an earlier worker still runs or when no thread can be made.
    bool Start(const platform::FtpSite& site, const std::filesystem::path& local, const std::string& remote);

    int Status() const { return m_status.load(std::memory_order_acquire); }
    // True once the worker has finished: `message` is its result text
    // ("上传成功! " or "上传失败! 上传失败!< path >").
    bool TakeResult(std::string* message, bool* ok = nullptr) const;
    const platform::FtpResult& result() const { return m_result; }  // after TakeResult
    // Asks a running upload to stop (it then ends as failed).
    void Cancel() { m_cancel.store(true); }
    void Wait();

private:
    void Run();

    platform::FtpSite m_site;
    std::filesystem::path m_local;
    std::string m_remote;
    std::string m_message;
    platform::FtpResult m_result;
    std::atomic<int> m_status{0};
    std::atomic<bool> m_cancel{false};
    std::thread m_thread;
};

}  // namespace transfer
