#include "shell/sys_info.h"

#include <algorithm>
#include <memory>

#include "platform/files.h"
#include "platform/record.h"
#include "platform/text.h"

namespace shell {
namespace {

constexpr std::size_t kOffAutostart = 111;
constexpr std::size_t kOffProgramDir = 371;
constexpr std::size_t kProgramDirWidth = 256;
constexpr std::size_t kOffPhotoFlag = 627;
constexpr std::size_t kOffPhotoPath = 628;
constexpr std::size_t kPhotoPathWidth = 251;
constexpr std::size_t kOffLoadResult = 1688;
constexpr std::size_t kOffCounter = 1752;

std::unique_ptr<CSysInfo>& Instance() {
    static std::unique_ptr<CSysInfo> info = std::make_unique<CSysInfo>();
    return info;
}

}  // namespace

CSysInfo::CSysInfo() : m_path("kzvQxwtsysinfo.sys") {
    m_record.fill(0);
    platform::RecordWriter w(m_record);
    w.Char(0, ' ');
    w.Char(1, ' ');
    w.Char(2, 'B');
    for (int i = 0; i < 9; ++i) w.U8(3 + i, static_cast<std::uint8_t>(11 + i));
    w.Fill(12, 99, ' ');
    w.Char(kOffAutostart, 'Y');
    w.Char(112, ' ');
    w.Char(113, 'A');
    w.Char(114, ' ');
    w.Char(kOffPhotoFlag, ' ');
}

void CSysInfo::SetDirectory(const std::filesystem::path& dir) {
    m_directory = dir;
    m_path = dir / "FittoraSysinfo.dm3";
}

void CSysInfo::ClampCounter() {
    platform::RecordWriter w(m_record);
    if (platform::RecordReader(m_record).I32(kOffCounter) > 4) w.I32(kOffCounter, 4);
}

int CSysInfo::LoadOrCreate() {
    if (platform::FileExists(m_path)) {
        auto bytes = platform::ReadWholeFile(m_path, kSize);
        if (!bytes) return 0;
        std::copy(bytes->begin(), bytes->end(), m_record.begin());
        ClampCounter();
        return platform::RecordReader(m_record).I32(kOffLoadResult);
    }
    platform::WriteTextField(m_record, kOffProgramDir, kProgramDirWidth, m_directory.string());
    Save();
    return 0;
}

bool CSysInfo::Save() {
    ClampCounter();
    return platform::SaveFileAtomic(m_path, m_record);
}

void CSysInfo::SetShowAutostart(char flag) {
    m_record[kOffAutostart] = static_cast<std::uint8_t>(flag);
    Save();
}

char CSysInfo::GetShowAutostart() const { return static_cast<char>(m_record[kOffAutostart]); }

char CSysInfo::GetPhoto(std::string* path) const {
    if (path) {
        std::string raw = platform::ReadFieldBytes(m_record, kOffPhotoPath, kPhotoPathWidth);
        // A field without its terminator inside 251 bytes holds no usable path.
        *path = raw.size() <= kMaxPhotoPathBytes ? platform::GbkToUtf8(raw) : std::string();
    }
    return static_cast<char>(m_record[kOffPhotoFlag]);
}

bool CSysInfo::SetPhotoPath(const std::string& path) {
    auto stored = platform::Utf8ToGbk(path);
    if (!stored || stored->size() > kMaxPhotoPathBytes) return false;
    platform::WriteTextField(m_record, kOffPhotoPath, kPhotoPathWidth, path);
    return Save();
}

void CSysInfo::SetPhotoFlag(int flag) {
    m_record[kOffPhotoFlag] = flag == 1 ? 'Y' : 'N';
    Save();
}

bool CSysInfo::HasPhoto() const {
    std::string raw = platform::ReadFieldBytes(m_record, kOffPhotoPath, kPhotoPathWidth);
    return raw.size() > 4 && raw.size() <= kMaxPhotoPathBytes;
}

CSysInfo& SysInfo() { return *Instance(); }
void ResetSysInfo() { Instance() = std::make_unique<CSysInfo>(); }

}  // namespace shell
