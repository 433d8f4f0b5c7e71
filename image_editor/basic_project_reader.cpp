#include "image_editor/basic_project_reader.h"

#include <system_error>

namespace image_editor {

namespace fs = std::filesystem;
using project_editor::PartRecord;

namespace {
bool IsFolder(const fs::path& p) {
    std::error_code ec;
    return !p.empty() && fs::is_directory(p, ec);
}
}  // namespace

void CBasicProjectReader::Clear() {
    m_name.clear();
    m_loaded = false;
    m_project = project_editor::ProjectFile{};
    m_project.SetPartCount(0);
    m_folder.clear();
}

int CBasicProjectReader::ReadProjectFile(std::string_view name) {
    Clear();
    if (!project_editor::IsUsableProjectName(name)) return 0;
    const fs::path file = project_editor::BasicProjectFilePath(m_base, name);
    if (project_editor::LoadProjectFile(file, m_project) != project_editor::ProjectFileError::None) {
        Clear();
        return 0;
    }
    m_name = std::string(name);
    m_loaded = true;
    fs::path folder = project_editor::ConfinedFolderPath(m_project.header.PictureFolder(), m_base);
    if (!IsFolder(folder))
        folder = m_base / fs::path(std::string(project_editor::kBasicProjectFolderName)) / fs::path(m_name) /
                 fs::path(std::string(project_editor::kPictureSubfolderName));
    m_folder = folder;
    return 1;
}

int CBasicProjectReader::ReadProjectIfExists(std::string_view name) {
    std::error_code ec;
    if (!project_editor::IsUsableProjectName(name) ||
        !fs::exists(project_editor::BasicProjectFilePath(m_base, name), ec)) {
        Clear();
        return 0;
    }
    return ReadProjectFile(name);
}

void CBasicProjectReader::MoveParts(int dx, int dy) {
    for (int i = 0; i < partCount(); ++i) {
        PartRecord& p = m_project.parts[static_cast<std::size_t>(i)];
        if (p.RowType() == 'T') continue;
        p.SetX(project_editor::ClampStagePosition(p.X() + dx));
        p.SetY(project_editor::ClampStagePosition(p.Y() + dy));
    }
}

fs::path CBasicProjectReader::PicturePath(int part) const {
    if (part < 0 || part >= partCount()) return {};
    const std::string pic = m_project.parts[static_cast<std::size_t>(part)].PictureName();
    if (pic.empty() || pic.find('/') != std::string::npos || pic.find('\\') != std::string::npos || pic == "..")
        return {};
    return m_folder / fs::path(pic + ".png");
}

std::vector<std::string> CBasicProjectReader::Categories() const {
    std::vector<std::string> out;
    for (int i = 0; i < partCount(); ++i) {
        const PartRecord& p = m_project.parts[static_cast<std::size_t>(i)];
        if (p.RowType() == 'T') out.push_back(p.Name());
    }
    return out;
}

std::vector<int> CBasicProjectReader::ListedParts(std::string_view category) const {
    std::vector<int> out;
    const bool all = category.empty() || category == kAllCategories;
    bool inCategory = all;
    for (int i = 0; i < partCount(); ++i) {
        const PartRecord& p = m_project.parts[static_cast<std::size_t>(i)];
        if (p.RowType() == 'T') {
            inCategory = all || p.Name() == category;
            continue;
        }
        if (p.PictureNameGbk().empty() || !inCategory) continue;
        out.push_back(i);
    }
    return out;
}

CBasicProjectReader& Reader() {
    static CBasicProjectReader reader;
    return reader;
}

}  // namespace image_editor
