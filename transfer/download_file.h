#pragma once
// Downloading one listed file into the download folder. Blocking: the
// download dialog runs it on a worker thread; progress is reported through a
// callback on that thread. The body goes to a hidden temporary file beside
// the target, which replaces the target only when the whole file arrived, so
// a failed or cancelled download never touches an earlier copy.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace transfer {

enum DownloadResult : int {
    kDownloadDone = 0,
    kDownloadOpenFailed = 1,    // no answer with the file (no connection, error status)
    kDownloadCreateFailed = 2,  // the local file could not be written
    kDownloadReadFailed = 3,    // the transfer broke off or stalled
    kDownloadOffline = 4,       // the machine is offline
    kDownloadCancelled = 5,
};

struct DownloadProgress {
    std::uint64_t received = 0;
    std::int64_t length = -1;  // -1: the server sent no length
    int percent = -1;          // -1: unknown
    std::string line;          // "%d KB / %d KB @ %1.1f KB/s"
};

struct DownloadOptions {
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(const DownloadProgress&)> progress;
    // The connected-state check; platform::NetworkAvailable when empty.
    std::function<bool(std::string_view url)> online;
    long connectTimeoutSeconds = 20;
    long lowSpeedSeconds = 30;
};

// The rate line of a progress report: received and length in whole KB (a
// length of 0 when unknown) and the rate over `elapsedMs` (10 when 0).
std::string RateLine(std::uint64_t received, std::int64_t length, std::int64_t elapsedMs);

// Downloads `url` to `path` (its folder is made when missing). Returns a
// DownloadResult.
int DownloadFile(const std::string& url, const std::filesystem::path& path, const DownloadOptions& options);

// The blank 400-byte work record "JXCellTemp/jxClothDownRec.jxr" the dialog
// leaves in the base directory when that folder exists.
bool WriteWorkRecord(const std::filesystem::path& base);

}  // namespace transfer
