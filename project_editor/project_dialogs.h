#pragma once
// The work of the create-or-open dialog and the replace-base-project dialog,
// without a window: listing project names and import files, the clothing
// template, creating a project (folders, system files, reference template),
// opening one, importing marked files, and replacing a basic project's
// folders with those of the open project.
//
// Window thread only; works on the process-wide store and settings passed
// in. Questions to the user come back through a callback, never a box.
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "project_editor/add_fitting_pics.h"
#include "project_editor/project_store.h"
#include "project_editor/sys_set_info.h"

namespace project_editor {

inline constexpr int kMaxListedNames = 260;
inline constexpr std::string_view kSoundSubfolderName = "音乐及语音";
inline constexpr std::string_view kShowSubfolderName = "展示及说明图片";
inline constexpr std::string_view kSystemPictureFolderName = "KZVSYSPIC";
inline constexpr std::string_view kTemplateFolderName = "试衣搭配模板SYSMDL";
inline constexpr std::string_view kSpecialTipCaption = "特别提示";
inline constexpr std::string_view kEmptyNameMessage = "项目名不能为空!";
inline constexpr std::string_view kOpenErrorMessage = "打开项目出错!";
inline constexpr std::string_view kReplaceQuestion = "真要用当前试衣搭配项目替换系统基本项目吗";
// Import kinds (combo 1148) and reference templates (combo 1161).
inline constexpr std::string_view kImportFittingPictures = "试衣图片";
inline constexpr std::string_view kImportShowPictures = "展示图片";
inline constexpr std::string_view kImportSounds = "多媒体语音";
inline constexpr std::string_view kNoTemplate = "不用模板";
inline constexpr const char* kReferenceTemplates[] = {"女装模板", "男装模板", "童装模板", "不用模板"};
inline constexpr const char* kBasicKinds[] = {"男装", "女装", "童装"};
// The three sub-folders of a project, in the order they are made and copied.
inline constexpr std::string_view kProjectSubfolders[] = {kPictureSubfolderName, kSoundSubfolderName,
                                                          kShowSubfolderName};

// Process-wide values the stage editor and the dialogs share: the part the
// parameters dialog works on (-1 none) and the basic-project folder of the
// replace dialog (empty until first set).
int& CurrentPartIndex();
std::filesystem::path& BasicProjectFolder();

// Names of the regular files of `folder` matching any of `masks`, mask by
// mask, each mask's names sorted; titles (name without its last extension)
// when `titles`. Empty names are skipped; at most `cap` names.
std::vector<std::string> ListNames(const std::filesystem::path& folder, std::initializer_list<std::string_view> masks,
                                   bool titles, std::size_t cap = kMaxListedNames);
// The projects of "<base>/KZV网页项目文件" ("*.dm3", titles).
std::vector<std::string> ListProjectNames(const std::filesystem::path& base);
// The files of a source folder that an import kind takes.
std::vector<std::string> ListImportFiles(const std::filesystem::path& folder, std::string_view kind);

// The folder of the open project: its picture folder without the last
// component, or "<base>/<name>" when the stored folder is not on this machine.
std::filesystem::path ProjectFolderOf(const CProjectStore& store);
// Where an import kind goes: the project folder plus "试衣及按钮图片",
// "展示及说明图片" or "音乐及语音".
std::filesystem::path ImportTargetFolder(const CProjectStore& store, std::string_view kind);

// Copies `names` from `from` into `to`, replacing; returns "name: reason" for
// every file that failed.
std::vector<std::string> CopyNamedFiles(const std::filesystem::path& from, const std::filesystem::path& to,
                                        const std::vector<std::string>& names, PictureFileOps& files);

// Resets the store and fills the 13 rows of the clothing template.
void FillClothingTemplate(CProjectStore& store);

// A project name that is a plain file name on every system the projects go
// to: not empty, no leading or trailing blank, no control character, none
// of \ / : * ? " < > |, not "." or "..", expressible in GBK and at most 60
// GBK bytes.
bool IsPlainProjectName(std::string_view name);

enum class CreateOutcome {
    Created,
    EmptyName,      // "项目名不能为空!"
    NotPlainName,   // the name cannot be a file name
    Declined,       // the user kept the existing project or the modified one
    Failed,         // folders or the project file could not be written
};

struct CreateReport {
    CreateOutcome outcome = CreateOutcome::Failed;
    std::string message;                // for the user when not created
    std::vector<std::string> problems;  // files that could not be copied, a template not found
};

// Asks the user a yes/no question; true for yes.
using AskUser = std::function<bool(const std::string& question)>;

// Creates the project `name` under the base directory of `store`: asks
// before it replaces an existing project of that name and, when the open
// project is modified and cannot be saved, before that change is dropped;
// makes the folders, fills the clothing template, copies the system files
// and the reference template's pictures and project, keeps the new
// project's own picture folder, saves, and stores the name as the series
// name of `settings`.
CreateReport CreateProject(CProjectStore& store, CSysSetInfo& settings, std::string_view name,
                           std::string_view reference, const AskUser& ask, PictureFileOps& files);

// Opens a listed project, makes it current, saves it and stores its name as
// the series name. False with the reason on failure.
bool OpenProject(CProjectStore& store, CSysSetInfo& settings, std::string_view name, std::string* error);

// Whether "<folder>/<kind>.dm3" exists (the replace button's condition).
bool BasicProjectExists(const std::filesystem::path& folder, std::string_view kind);
// The basic-project folder at the dialog's opening: the process-wide one
// when set, else "<base>/服饰搭配基本项目" when it holds the kind's project,
// else empty.
std::filesystem::path InitialBasicFolder(const std::filesystem::path& base, std::string_view kind);

enum class ReplaceOutcome {
    Replaced,
    NoBasicProject,  // "<folder>/<kind>.dm3" does not exist
    NoSource,        // the open project's folders do not exist
    SameFolder,      // the open project is the basic project itself
    CopyFailed,      // a file could not be copied: nothing was removed
};

struct ReplaceReport {
    ReplaceOutcome outcome = ReplaceOutcome::CopyFailed;
    int copied = 0;
    int removed = 0;
    std::vector<std::string> problems;  // "file: reason"
    std::string Message() const;        // for the user
};

// Replaces the three sub-folders of "<folder>/<kind>" with those of the open
// project. Every file of the project's folders (up to 260 each) is copied
// first, replacing; only when all copies succeeded are the basic project's
// older files that the copy did not overwrite removed. The project files
// themselves are not copied.
ReplaceReport ReplaceBaseProject(const CProjectStore& store, const std::filesystem::path& folder,
                                 std::string_view kind, PictureFileOps& files);

}  // namespace project_editor
