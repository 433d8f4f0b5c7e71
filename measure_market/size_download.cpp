#include "measure_market/size_download.h"

#include <cstdio>
#include <system_error>
#include <vector>

#include "measure_market/size_database.h"
#include "platform/files.h"
#include "platform/net.h"
#include "platform/text.h"

namespace measure {

namespace {

constexpr std::size_t kMaxChartBytes =
    kSizeHeaderBytes + kMaxSizeRows * kSizeRecordBytes + kMaxSlots * kSlotBytes + kPoolBytes;

std::string Encode(std::string_view bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        const bool plain = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' ||
                           u == '.' || u == '_' || u == '~';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        }
    }
    return out;
}

}  // namespace

std::string SizeTableUrl(std::string_view host) {
    while (!host.empty() && host.back() == '/') host.remove_suffix(1);
    return std::string(host) + "/" + std::string(kSizeTableFolder) + "/" +
           Encode(platform::Utf8ToGbkLossy(kSizeTableName));
}

std::string ProgressText(std::uint64_t received, std::int64_t length) {
    char buf[96];
    const int percent = platform::ProgressPercent(received, length);
    if (percent < 0)
        std::snprintf(buf, sizeof buf, "( --%c ),[ %llu ]", '%', static_cast<unsigned long long>(received));
    else
        std::snprintf(buf, sizeof buf, "( %d%c ),[ %llu ]", percent, '%', static_cast<unsigned long long>(received));
    return buf;
}

SizeDownloadResult DownloadSizeTable(const std::string& url, const std::filesystem::path& chartFile,
                                     const std::function<void(const std::string&)>& progress,
                                     const SizeDownloadOptions& options) {
    SizeDownloadResult result;
    if (!platform::InitNetwork()) {
        result.text = kTextNoSession;
        return result;
    }
    std::vector<std::uint8_t> body;
    bool tooLong = false;
    std::int64_t length = -1;
    // The body is read in blocks of 10,240 bytes: the progress text follows
    // each whole block, and the last, shorter one when the body has ended,
    // however the network cut the pieces.
    std::uint64_t reported = 0;
    auto report = [&](std::uint64_t upTo) {
        reported = upTo;
        if (progress) progress(ProgressText(upTo, length));
    };
    platform::HttpRequest request;
    request.url = url;
    request.agent = options.agent;
    request.noCache = true;
    request.chunkBytes = kSizeTableBlock;
    request.connectTimeoutSeconds = options.connectTimeoutSeconds;
    request.lowSpeedSeconds = options.lowSpeedSeconds;
    request.cancel = options.cancel;
    platform::HttpCallbacks callbacks;
    callbacks.onStart = [&](std::int64_t announced) { length = announced; };
    callbacks.onData = [&](std::span<const std::uint8_t> chunk) {
        if (body.size() + chunk.size() > kMaxChartBytes) {
            tooLong = true;
            return false;
        }
        body.insert(body.end(), chunk.begin(), chunk.end());
        while (body.size() - reported >= kSizeTableBlock) report(reported + kSizeTableBlock);
        return true;
    };
    const platform::HttpResult got = platform::HttpGet(request, callbacks);
    result.total = body.size();
    if (tooLong) {
        result.text = kTextNotAChart;
        return result;
    }
    if (body.size() > reported) report(body.size());
    switch (got.outcome) {
    case platform::HttpOutcome::Ok:
        break;
    case platform::HttpOutcome::CannotConnect:
        result.text = kTextNoServer;
        return result;
    case platform::HttpOutcome::HttpStatus:
    case platform::HttpOutcome::Failed:
        result.text = kTextRequestFailed;
        return result;
    default:
        result.text = kTextReadFailed;
        return result;
    }
    if (got.status != 200) {
        result.text = kTextRequestFailed;
        return result;
    }
    if (!CSizeDatabase::IsValidSizeFile(body)) {
        result.text = kTextNotAChart;
        return result;
    }
    std::error_code ec;
    std::filesystem::create_directories(chartFile.parent_path(), ec);
    if (!platform::SaveFileAtomic(chartFile, body)) {
        result.text = kTextWriteFailed;
        return result;
    }
    result.ok = true;
    result.text = kTextDone;
    return result;
}

}  // namespace measure
