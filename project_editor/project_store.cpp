#include "project_editor/project_store.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "platform/error_text.h"
#include "platform/files.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace project_editor {

namespace {

std::unique_ptr<CProjectStore>& Slot() {
    static std::unique_ptr<CProjectStore> store;
    return store;
}

void SetError(std::string* error, std::string text) {
    if (error) *error = std::move(text);
}

}  // namespace

CProjectStore& CProjectStore::Instance() {
    auto& s = Slot();
    if (!s) s = std::make_unique<CProjectStore>();
    return *s;
}

void CProjectStore::ResetInstance() { Slot() = std::make_unique<CProjectStore>(); }

CProjectStore::CProjectStore()
    : m_project(std::make_unique<ProjectFile>()),
      m_legacy(std::make_unique<std::array<LegacyPartRecord, kMaxParts>>()) {}

void CProjectStore::Reset() { m_project->Reset(); }

AddStringResult CProjectStore::AddString(std::int32_t& offset, std::int32_t& length, std::string_view utf8) {
    const std::string gbk = platform::Utf8ToGbkLossy(utf8);
    const auto n = static_cast<std::int32_t>(platform::GbkCutLength(gbk, kMaxAddStringBytes));
    const std::int32_t used = PoolLength();
    const auto pool = m_project->pool.MutableBytes();

    if (offset >= 0 && offset <= used && n <= used - offset) {
        std::memcpy(pool.data() + offset, gbk.data(), static_cast<std::size_t>(n));
        length = n;
        return AddStringResult::Overwritten;
    }
    if (used + n >= kPoolCapacity) return AddStringResult::PoolFull;
    std::memcpy(pool.data() + used, gbk.data(), static_cast<std::size_t>(n));
    offset = used;
    length = n;
    m_project->SetPoolLength(used + n);
    if (FaceCount() < PartCount()) m_project->SetFaceCount(PartCount());
    return AddStringResult::Appended;
}

void CProjectStore::ConvertOldRecords() {
    const int n = std::min(PartCount(), m_legacyCount);
    for (int i = 0; i < n; ++i)
        ConvertLegacyPart((*m_legacy)[static_cast<std::size_t>(i)], m_project->parts[static_cast<std::size_t>(i)]);
}

SaveResult CProjectStore::Save(std::string* error) {
    if (m_name.empty()) return SaveResult::NoProject;
    if (!IsUsableProjectName(m_name)) {
        SetError(error, "项目名不能用作文件名: " + m_name);
        return SaveResult::Failed;
    }
    if (FaceCount() < PartCount()) m_project->SetFaceCount(PartCount());
    const std::vector<std::uint8_t> bytes = WriteProjectBytes(*m_project);
    std::string why;
    if (!platform::SaveFileAtomic(ProjectFilePath(m_baseDir, m_name), bytes, &why)) {
        SetError(error, "项目文件保存失败: " + why);
        return SaveResult::Failed;
    }
    SetModifiedCounter(0);
    return SaveResult::Saved;
}

bool CProjectStore::SaveBeforeSwitch(std::string* error) {
    if (!IsModified()) return true;
    std::string why;
    if (Save(&why) == SaveResult::Failed) {
        SetError(error, "当前项目未能保存, 没有打开新项目: " + why);
        return false;
    }
    return true;
}

bool CProjectStore::Load(std::string_view name, std::string* error) {
    if (!IsUsableProjectName(name)) {
        SetError(error, "项目名不能用作文件名: " + std::string(name));
        return false;
    }
    if (!SaveBeforeSwitch(error)) return false;
    const fs::path file = ProjectFilePath(m_baseDir, name);
    const auto bytes = platform::ReadWholeFile(file, kMaxProjectFileSize + 1);
    if (!bytes) {
        SetError(error, DescribeProjectError(ProjectFileError::Unreadable) + ": " + platform::UserPath(file));
        return false;
    }
    const ProjectFileError e = ReadProjectBytes(*bytes, *m_project);
    if (e != ProjectFileError::None) {
        SetError(error, DescribeProjectError(e, bytes->size()) + ": " + platform::UserPath(file));
        return false;
    }
    SetModifiedCounter(0);
    ApplyPictureFolderFallback(m_project->header, m_baseDir,
                               {platform::JoinPath(m_baseDir, {name, kPictureSubfolderName})});
    return true;
}

bool CProjectStore::Open(std::string_view name, std::string* error) {
    if (!IsUsableProjectName(name)) {
        SetError(error, "项目名不能用作文件名: " + std::string(name));
        return false;
    }
    const bool sample = name == kSampleProjectName;
    std::error_code ec;
    if (fs::exists(ProjectFilePath(m_baseDir, name), ec)) {
        if (!Load(name, error)) return false;
        if (sample)
            Header().SetPictureFolder(platform::JoinPath(m_baseDir, {kSampleProjectName, kPictureSubfolderName}).string());
        return true;
    }

    const fs::path file = LegacyProjectFilePath(m_baseDir, name);
    const auto bytes = platform::ReadWholeFile(file, kMaxLegacyFileSize + 1);
    if (!bytes) {
        SetError(error, DescribeProjectError(ProjectFileError::Unreadable) + ": " + platform::UserPath(file));
        return false;
    }
    ProjectHeader header;
    // Checked into a scratch header first, so a bad file changes nothing.
    const ProjectFileError e = ReadLegacyBytes(*bytes, header, *m_legacy);
    if (e != ProjectFileError::None) {
        SetError(error, DescribeProjectError(e, bytes->size()) + ": " + platform::UserPath(file));
        return false;
    }
    if (!SaveBeforeSwitch(error)) return false;
    m_project->header = header;
    m_legacyCount = m_project->PartCount();
    Reset();
    ConvertOldRecords();
    if (sample)
        Header().SetPictureFolder(platform::JoinPath(m_baseDir, {kDefaultPictureFolderName}).string());
    else
        ApplyPictureFolderFallback(m_project->header, m_baseDir,
                                   {platform::JoinPath(m_baseDir, {name, kPictureSubfolderName})});
    return true;
}

}  // namespace project_editor
