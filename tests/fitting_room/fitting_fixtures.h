#pragma once
// Small fitting projects for the fitting-room tests, written through the
// project file's own writer, and picture sizes answered from a table.
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/picture_size.h"
#include "project_editor/project_file.h"

namespace fitting_test {

namespace fs = std::filesystem;

struct PartSpec {
    char type = 'x';
    std::string name;
    std::string picture;
    int depth = 1;
    float scale = 1.0f;
    int x = 10;
    int y = 20;
};

// "T:上装 a b - K:lock T:下装 c": "T:name" a category row, "K:name" a locked
// row, "-" a part without a picture, any other word an item with that
// picture name (and that name).
inline std::vector<PartSpec> Parts(const std::string& spec) {
    std::vector<PartSpec> parts;
    std::istringstream in(spec);
    std::string word;
    while (in >> word) {
        PartSpec p;
        if (word.rfind("T:", 0) == 0 || word.rfind("K:", 0) == 0) {
            p.type = word[0];
            p.name = word.substr(2);
        } else if (word == "-") {
            p.name = "nopicture";
        } else {
            p.name = word;
            p.picture = word;
        }
        parts.push_back(p);
    }
    return parts;
}

inline std::unique_ptr<project_editor::ProjectFile> Project(const std::vector<PartSpec>& parts,
                                                             const std::string& folder = "C:\\old\\pictures") {
    auto project = std::make_unique<project_editor::ProjectFile>();
    project->header.SetPictureFolder(folder);
    project->SetPartCount(static_cast<int>(parts.size()));
    project->SetFaceCount(static_cast<int>(parts.size()));
    for (std::size_t i = 0; i < parts.size() && i < project->parts.size(); ++i) {
        auto& part = project->parts[i];
        part.SetRowType(parts[i].type);
        part.SetName(parts[i].name);
        part.SetPictureName(parts[i].picture);
        part.SetDepth(parts[i].depth);
        part.SetScale(parts[i].scale);
        part.SetX(parts[i].x);
        part.SetY(parts[i].y);
    }
    return project;
}

inline void WriteProject(const fs::path& file, const project_editor::ProjectFile& project) {
    fs::create_directories(file.parent_path());
    const auto bytes = project_editor::WriteProjectBytes(project);
    platform::SaveFileAtomic(file, bytes);
}

inline fs::path BasicProject(const fs::path& base, const std::string& name) {
    return project_editor::BasicProjectFilePath(base, name);
}

inline fs::path BasicPictures(const fs::path& base, const std::string& name) {
    return base / "服饰搭配基本项目" / name / "试衣及按钮图片";
}

// Sizes from a table; every other path answers `fallback` (nullopt: missing).
class FakeSizes : public platform::PictureSizeSource {
public:
    explicit FakeSizes(std::optional<platform::PicSize> fallback = platform::PicSize{100, 100})
        : m_fallback(fallback) {}
    void Set(const fs::path& p, int w, int h) { m_sizes[p.lexically_normal().string()] = platform::PicSize{w, h}; }
    void SetMissing(const fs::path& p) { m_sizes[p.lexically_normal().string()] = std::nullopt; }
    std::optional<platform::PicSize> SizeOf(const fs::path& p) override {
        ++calls;
        auto it = m_sizes.find(p.lexically_normal().string());
        return it != m_sizes.end() ? it->second : m_fallback;
    }
    int calls = 0;

private:
    std::map<std::string, std::optional<platform::PicSize>> m_sizes;
    std::optional<platform::PicSize> m_fallback;
};

}  // namespace fitting_test
