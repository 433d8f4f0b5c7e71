#include "image_editor/camera_sys_info.h"

#include <cstring>
#include <memory>
#include <system_error>

#include "platform/files.h"
#include "platform/record.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace image_editor {

namespace {

std::unique_ptr<CCameraSysInfo>& Slot() {
    static std::unique_ptr<CCameraSysInfo> info;
    return info;
}

// The text field of a get id (101, 301, 601, 201) or a set id (one more).
std::size_t TextFieldAt(int id, bool& set) {
    switch (id) {
        case 101: set = false; return camrec::kText1At;
        case 102: set = true; return camrec::kText1At;
        case 301: set = false; return camrec::kText2At;
        case 302: set = true; return camrec::kText2At;
        case 601: set = false; return camrec::kText3At;
        case 602: set = true; return camrec::kText3At;
        case 201: set = false; return camrec::kText4At;
        case 202: set = true; return camrec::kText4At;
        default: return 0;
    }
}

}  // namespace

CCameraSysInfo& CCameraSysInfo::Instance() {
    auto& s = Slot();
    if (!s) s = std::make_unique<CCameraSysInfo>();
    return *s;
}

void CCameraSysInfo::ResetInstance() { Slot() = std::make_unique<CCameraSysInfo>(); }

void CCameraSysInfo::SetBaseDir(const fs::path& dir) {
    m_dir = dir;
    m_file = dir / std::string(kCameraSysInfoFileName);
}

std::uint16_t CCameraSysInfo::LoadOrCreate() {
    std::error_code ec;
    const bool exists = fs::exists(m_file, ec);
    if (ec) return 0;
    if (!exists) {
        const std::string photoDir = (m_dir / std::string(kPhotoFolderName)).string();
        platform::WriteTextField(m_record, camrec::kPhotoDir0At, camrec::kPhotoDirWidth, photoDir);
        platform::WriteTextField(m_record, camrec::kPhotoDir1At, camrec::kPhotoDirWidth, photoDir);
        Save();
        return 0;
    }
    const auto bytes = platform::ReadWholeFile(m_file, kCameraSysInfoSize + 1);
    if (!bytes || !LoadBytes(*bytes)) return 0;
    return platform::RecordReader(m_record).U16(camrec::kStatusAt);
}

bool CCameraSysInfo::LoadBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kCameraSysInfoSize) return false;
    std::memcpy(m_record.data(), bytes.data(), kCameraSysInfoSize);
    return true;
}

bool CCameraSysInfo::Save() const {
    if (m_file.empty()) return false;
    return platform::SaveFileAtomic(m_file, m_record);
}

fs::path CCameraSysInfo::GetPhotoDir() const {
    const std::string stored =
        platform::GbkToUtf8(platform::ReadFieldBytes(m_record, camrec::kPhotoDir0At, camrec::kPhotoDirWidth));
    if (stored.empty()) return m_dir / std::string(kPhotoFolderName);
    return platform::NormaliseStoredPath(stored);
}

std::string CCameraSysInfo::GetSetText(int id, std::string_view in) {
    bool set = false;
    const std::size_t at = TextFieldAt(id, set);
    if (at == 0) return {};
    if (set) {
        const std::string cut = platform::CutToGbkBytes(in, camrec::kTextLimit);
        platform::WriteTextField(m_record, at, camrec::kTextWidth, cut);
        Save();
    }
    return platform::GbkToUtf8(platform::ReadFieldBytes(m_record, at, camrec::kTextWidth));
}

std::vector<std::string> CCameraSysInfo::ListProjects(int capacity) const {
    std::vector<std::string> out;
    for (const fs::path& p : platform::ListFiles(m_dir / std::string(kBasicProjectFolder), "*.dm3")) {
        if (static_cast<int>(out.size()) >= capacity) break;
        out.push_back(p.stem().string());
    }
    return out;
}

std::vector<fs::path> CCameraSysInfo::ListMakeupSwatches(int capacity) const {
    std::vector<fs::path> out;
    for (const fs::path& p : platform::ListFiles(m_dir / std::string(kSysPictureFolder), "kzvECam化装盒_COLOR*.png")) {
        if (static_cast<int>(out.size()) >= capacity) break;
        out.push_back(p);
    }
    return out;
}

std::string CCameraSysInfo::DirectoryOf(std::string_view path) {
    // Characters, not bytes: the text is UTF-8 here (decoded from GBK), so a
    // trail byte can never pass for a separator.
    std::size_t bytes = 0;
    for (int chars = 0; bytes < path.size() && chars < 256; ++chars) {
        const unsigned char c = static_cast<unsigned char>(path[bytes]);
        std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        bytes = std::min(path.size(), bytes + len);
    }
    const std::string_view head = path.substr(0, bytes);
    const std::size_t cut = head.find_last_of("\\/");
    if (cut == std::string_view::npos) return {};
    return std::string(head.substr(0, cut));
}

int CCameraSysInfo::ModeFlag(int code) {
    if (code == 9) m_mode = 1;
    if (code == 11) m_mode = 0;
    return m_mode;
}

}  // namespace image_editor
