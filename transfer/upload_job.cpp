#include "transfer/upload_job.h"

#include <system_error>

#include "transfer/tranzel_texts.h"

namespace transfer {

bool UploadJob::Start(const platform::FtpSite& site, const std::filesystem::path& local, const std::string& remote) {
    const int status = Status();
    if (status == kJobStarted || status == kJobRunning) return false;
    Wait();
    m_site = site;
    m_cancel.store(false);
    m_site.cancel = &m_cancel;
    m_local = local;
    m_remote = remote;
    m_message.clear();
    m_result = {};
    m_status.store(kJobStarted, std::memory_order_release);
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        m_status.store(0, std::memory_order_release);
        return false;
    }
    return true;
}

void UploadJob::Run() {
    m_status.store(kJobRunning, std::memory_order_release);
    m_result = platform::FtpUpload(m_site, m_local, m_remote);
    m_message = m_result.ok() ? std::string(kUploadDone) : UploadFailedText(m_local.string());
    m_status.store(kJobDone, std::memory_order_release);
}

bool UploadJob::TakeResult(std::string* message, bool* ok) const {
    if (Status() != kJobDone) return false;
    *message = m_message;
    if (ok) *ok = m_result.ok();
    return true;
}

void UploadJob::Wait() {
    if (m_thread.joinable()) m_thread.join();
}

}  // namespace transfer
