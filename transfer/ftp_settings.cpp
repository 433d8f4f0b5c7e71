#include "transfer/ftp_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

#include "platform/files.h"
#include "platform/record.h"
#include "platform/save_guard.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace transfer {
namespace {

// GBK bytes of a text, cut to 36 bytes on a character boundary.
std::string StoredBytes(const std::string& utf8) {
    const std::string gbk = platform::Utf8ToGbkLossy(utf8);
    return gbk.substr(0, platform::GbkCutLength(gbk, kFtpTextBytes));
}

void EncodeShifted(platform::RecordWriter& w, std::size_t offset, const ShiftTriple& t, const std::string& utf8) {
    const std::string text = StoredBytes(utf8);
    for (std::size_t k = 0; k < kFtpWords; ++k) {
        std::int32_t c;
        if (k < text.size())
            c = static_cast<std::int8_t>(static_cast<std::uint8_t>(text[k]));
        else if (k == text.size())
            c = 0;
        else
            c = static_cast<std::int32_t>(k) + t.filler;
        w.I32(offset + 4 * k, t.base + static_cast<std::int32_t>(k) * t.step + c);
    }
}

// Bytes up to the first NUL or other control character, at most 36, cut on a
// character boundary, as UTF-8.
std::string BoundedText(const std::string& raw) {
    std::size_t n = 0;
    while (n < raw.size() && n < kFtpTextBytes && static_cast<std::uint8_t>(raw[n]) >= 0x20 && raw[n] != 0x7F) ++n;
    const std::string gbk = raw.substr(0, n);
    return platform::GbkToUtf8(gbk.substr(0, platform::GbkCutLength(gbk, kFtpTextBytes)));
}

std::string DecodeShifted(const platform::RecordReader& r, std::size_t offset, const ShiftTriple& t) {
    std::string raw;
    for (std::size_t k = 0; k < kFtpWords; ++k) {
        const auto word = static_cast<std::uint8_t>(r.U32(offset + 4 * k) & 0xFF);
        const auto shift = static_cast<std::uint8_t>((t.base + static_cast<int>(k) * t.step) & 0xFF);
        const auto c = static_cast<std::uint8_t>(word - shift);
        if (c == 0) break;
        raw += static_cast<char>(c);
    }
    return BoundedText(raw);
}

}  // namespace

FtpSettingsBytes EncodeFtpSettings(const FtpSettings& settings) {
    FtpSettingsBytes bytes{};
    platform::RecordWriter w(bytes);
    const std::string folder = StoredBytes(settings.siteFolder);
    w.Bytes(kFtpFolderOffset, std::span(reinterpret_cast<const std::uint8_t*>(folder.data()), folder.size()));
    EncodeShifted(w, kFtpServerOffset, kServerShift, settings.server);
    EncodeShifted(w, kFtpUserOffset, kUserShift, settings.user);
    EncodeShifted(w, kFtpPasswordOffset, kPasswordShift, settings.password);
    return bytes;
}

std::optional<FtpSettings> DecodeFtpSettings(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kFtpSettingsSize) return std::nullopt;
    platform::RecordReader r(bytes);
    FtpSettings s;
    s.siteFolder = BoundedText(platform::ReadFieldBytes(bytes, kFtpFolderOffset, kFtpFolderWidth));
    s.server = DecodeShifted(r, kFtpServerOffset, kServerShift);
    s.user = DecodeShifted(r, kFtpUserOffset, kUserShift);
    s.password = DecodeShifted(r, kFtpPasswordOffset, kPasswordShift);
    return s;
}

fs::path FtpSettingsPath(const fs::path& base) { return base / kFtpSettingsFileName; }

int ReadFtpSettings(const fs::path& file, FtpSettings* settings) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return 0;
    // One byte more than a record, so that a longer file is seen as such.
    const auto bytes = platform::ReadWholeFile(file, kFtpSettingsSize + 1);
    if (!bytes) return 0;
    auto decoded = DecodeFtpSettings(*bytes);
    if (!decoded) return 0;
    *settings = std::move(*decoded);
    return 1;
}

int WriteFtpSettings(const fs::path& file, const FtpSettings& settings) {
    static std::atomic<unsigned> counter{0};
    const FtpSettingsBytes bytes = EncodeFtpSettings(settings);
    const platform::SaveGuard inProgress;  // the process does not end in the middle of it
    const fs::path dir = file.has_parent_path() ? file.parent_path() : fs::path(".");
    fs::path tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = dir / ("." + file.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-" +
                     std::to_string(counter.fetch_add(1)));
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return 0;
    ::fchmod(fd, 0600);  // whatever the umask
    bool ok = platform::WriteAllToFd(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(tmp.c_str(), file.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok ? 1 : 0;
}

}  // namespace transfer
