#pragma once
// CProjectStore: Pavanel's one open fitting project, shared by the stage
// editor and the project dialogs, which read and change its records in place.
// Reached through CProjectStore::Instance(); user-interface thread only.
//
// Failures come back as results with a reason (UTF-8, Chinese) that the
// caller shows; the store never raises a message itself.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "project_editor/project_file.h"

namespace project_editor {

enum class AddStringResult {
    Overwritten,  // written over the pool at the given offset
    Appended,     // added at the end of the pool; the offset is the new place
    PoolFull,     // no room: nothing written, offset and length unchanged
};

enum class SaveResult {
    Saved,
    NoProject,  // no current project name: nothing to write
    Failed,     // the file could not be written; the old file and the counter are kept
};

class CProjectStore {
public:
    CProjectStore();

    // The process-wide store, and a fresh one in its place (tests).
    static CProjectStore& Instance();
    static void ResetInstance();

    const std::filesystem::path& BaseDir() const { return m_baseDir; }
    void SetBaseDir(const std::filesystem::path& base) { m_baseDir = base; }
    // The project that Save writes; Load and Open do not change it.
    const std::string& ProjectName() const { return m_name; }
    void SetProjectName(std::string_view name) { m_name = name; }

    ProjectFile& Project() { return *m_project; }
    const ProjectFile& Project() const { return *m_project; }
    ProjectHeader& Header() { return m_project->header; }
    ProjectInfoBlock& Info() { return m_project->info; }
    // Records 0..165; an index outside them throws std::out_of_range.
    PartRecord& Part(int i) { return m_project->parts.at(static_cast<std::size_t>(i)); }
    FaceRecord& Face(int i) { return m_project->faces.at(static_cast<std::size_t>(i)); }
    int PartCount() const { return m_project->PartCount(); }
    int FaceCount() const { return m_project->FaceCount(); }
    int PoolLength() const { return m_project->PoolLength(); }
    void SetPartCount(int n) { m_project->SetPartCount(n); }

    // Unsaved changes: every change to a record adds 1; saving sets it to 0.
    int ModifiedCounter() const { return m_project->info.ModifiedCounter(); }
    bool IsModified() const { return ModifiedCounter() > 0; }
    void AddModified(int n = 1) { m_project->info.SetModifiedCounter(ModifiedCounter() + n); }
    void SetModifiedCounter(int c) { m_project->info.SetModifiedCounter(c); }

    // Blank project: info block, all face records, the pool and all part
    // records to their defaults; the header (and N) is kept.
    void Reset();

    // Writes a text (cut to 77 GBK bytes on a character boundary) into the
    // pool. With offset >= 0 it goes over the old text there when it fits
    // inside the used pool, else it is appended like a new text; an append
    // needs T + length below 18,700 and raises M to N. The caller stores
    // offset and length into the face record and marks the change.
    AddStringResult AddString(std::int32_t& offset, std::int32_t& length, std::string_view utf8);

    std::string GetFaceString(int part, int kind, int face) const {
        return m_project->FaceString(part, kind, face);
    }
    std::string GetPoolString(std::int32_t offset, std::int32_t length) const {
        return m_project->PoolString(offset, length);
    }

    // Converts the staged ".dy3" records into part records.
    void ConvertOldRecords();

    // Writes "<base>/KZV网页项目文件/<name>.dm3" through a temporary file.
    // Every part's face record is written (M is raised to N first).
    SaveResult Save(std::string* error = nullptr);

    // Reads "<base>/KZV网页项目文件/<name>.dm3". A modified project is saved
    // first; when that save fails nothing is loaded. A missing, short or
    // inconsistent file leaves the store as it was. The picture folder falls
    // back to "<base>/<name>/试衣及按钮图片" when it does not exist here.
    bool Load(std::string_view name, std::string* error = nullptr);

    // The ".dm3" when it exists, else the ".dy3" converted (after saving a
    // modified project, as Load does). The sample project's picture folder is
    // fixed afterwards.
    bool Open(std::string_view name, std::string* error = nullptr);

private:
    bool SaveBeforeSwitch(std::string* error);

    std::filesystem::path m_baseDir;
    std::string m_name;
    std::unique_ptr<ProjectFile> m_project;
    std::unique_ptr<std::array<LegacyPartRecord, kMaxParts>> m_legacy;
    int m_legacyCount = 0;
};

}  // namespace project_editor
