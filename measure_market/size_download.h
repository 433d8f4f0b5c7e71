#pragma once
// The size-table download: the chart file is fetched from the download
// host, held in memory until the whole body of a 200 answer has arrived and
// its counts and length agree with the chart format, and only then put in
// place of the chart file (through the suite's one save). A failed
// or refused download leaves the old chart as it was.
//
// Blocking; runs on the calling thread, and so do the progress callbacks
// (the measurement form calls it from a thread of its own).
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace measure {

// The path of the size table on the download host.
inline constexpr std::string_view kSizeTableFolder = "kzvweb_clothda";
inline constexpr std::string_view kSizeTableName = "服饰尺码记录表cd3.zip";
inline constexpr std::size_t kSizeTableBlock = 10240;

// Status texts of the download.
inline constexpr const char* kTextConnecting = "正在连接站点....";
inline constexpr const char* kTextNoSession = "不能打开站点!!";
inline constexpr const char* kTextNoServer = "不能连接远程服务器";
inline constexpr const char* kTextRequestFailed = "通讯连接失败!!";
inline constexpr const char* kTextReadFailed = "下载文件时出现错误!!";
inline constexpr const char* kTextNotAChart = "下载的文件不是尺码库, 原尺码库不变!!";
inline constexpr const char* kTextWriteFailed = "不能保存下载的尺码库!!";
inline constexpr const char* kTextDone = "下载完成!!";

// host (with or without a trailing '/') + "/kzvweb_clothda/" + the file
// name in GBK, percent-encoded.
std::string SizeTableUrl(std::string_view host);
// "( 34% ),[ 10240 ]"; without a length "( --% ),[ 10240 ]".
std::string ProgressText(std::uint64_t received, std::int64_t length);

struct SizeDownloadOptions {
    std::string agent = "Fittora";
    long connectTimeoutSeconds = 20;
    long lowSpeedSeconds = 30;
    const std::atomic<bool>* cancel = nullptr;
};

struct SizeDownloadResult {
    bool ok = false;
    std::string text;  // the status text to show (kText...)
    std::uint64_t total = 0;
};

// Downloads url into `chartFile`; `progress` gets the progress text after
// each block of kSizeTableBlock bytes and after the last, shorter block.
SizeDownloadResult DownloadSizeTable(const std::string& url, const std::filesystem::path& chartFile,
                                     const std::function<void(const std::string&)>& progress,
                                     const SizeDownloadOptions& options = {});

}  // namespace measure
