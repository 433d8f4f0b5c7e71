#pragma once
// The image editor's reader of basic projects ("服饰搭配基本项目/<name>.dm3"):
// the project whose parts the photo-edit dialog offers as clothing materials.
// The file is checked whole by the project-file codec before anything is
// taken (every count bounded to the format's capacities); a refused or
// missing file leaves the buffers empty, so nothing of the previous project
// stays behind. One process-wide reader through Reader(); main thread only.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "project_editor/project_file.h"

namespace image_editor {

inline constexpr std::string_view kDefaultProjectCategory = "秋冬新款女装";
inline constexpr std::string_view kAllCategories = "全部";

class CBasicProjectReader {
public:
    void SetBaseDir(const std::filesystem::path& base) { m_base = base; }
    const std::filesystem::path& baseDir() const { return m_base; }

    // 1 when "<base>/服饰搭配基本项目/<name>.dm3" was read and accepted, else 0
    // (and the buffers are empty). The material folder is the picture folder
    // the project names, or "<base>/服饰搭配基本项目/<name>/试衣及按钮图片"
    // when that folder does not exist (or lies outside the base directory).
    int ReadProjectFile(std::string_view name);
    // The same, but 0 at once when the file does not exist.
    int ReadProjectIfExists(std::string_view name);
    void Clear();
    // A move-all drag moves every part's position with the materials.
    void MoveParts(int dx, int dy);

    const std::string& name() const { return m_name; }
    bool loaded() const { return m_loaded; }
    const project_editor::ProjectFile& project() const { return m_project; }
    int partCount() const { return m_loaded ? m_project.PartCount() : 0; }
    const std::filesystem::path& materialFolder() const { return m_folder; }
    // "<material folder>/<picture name>.png" of part i; empty for a part
    // without a picture name or an index out of range.
    std::filesystem::path PicturePath(int part) const;

    // The category rows' names, in order ("全部" is not among them).
    std::vector<std::string> Categories() const;
    // The parts the material list shows for a category filter: every part
    // with a picture name that is not a category row, and, unless the filter
    // is "全部" (or empty), only those under the category row of that name.
    std::vector<int> ListedParts(std::string_view category) const;

private:
    std::filesystem::path m_base;
    std::string m_name;
    bool m_loaded = false;
    project_editor::ProjectFile m_project;
    std::filesystem::path m_folder;
};

CBasicProjectReader& Reader();

}  // namespace image_editor
