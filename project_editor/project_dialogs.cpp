// Creating a project writes in this order, so that a failure part way
// leaves something the user can open again: the folders, the clothing
// template saved under the new name, the system files, then (with a
// reference template) the template's pictures and project copied over the
// saved one and opened. Whatever project ends up open has its picture
// folder pointed at the new project's own "试衣及按钮图片".
//
// Replacing a basic project copies before it removes: a copy that fails
// leaves the basic project's old files where they were.
#include "project_editor/project_dialogs.h"

#include <algorithm>
#include <set>
#include <system_error>

#include "platform/error_text.h"
#include "platform/files.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace project_editor {

namespace {

std::string NameOf(const fs::path& p) { return p.filename().string(); }

std::string TitleOf(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

struct TemplateRow {
    char category;
    char type;
    char switchLetter;
    const char* caption;  // caption rows only
    int depth;
};

constexpr TemplateRow kTemplateRows[] = {
    {'A', 'T', '1', "初始类(模特)", 90},   {'A', 'K', '1', nullptr, 96},          {'A', 'x', '1', nullptr, 90},
    {'B', 'T', '0', "第一类(上装)", 40},   {'B', 'x', '0', nullptr, 40},          {'C', 'T', '1', "第二类(下装)", 60},
    {'C', 'x', '1', nullptr, 60},          {'D', 'T', '0', "第三类(包包鞋类)", 80}, {'D', 'x', '0', nullptr, 80},
    {'E', 'T', '1', "第四类(装饰品)", 20}, {'E', 'x', '1', nullptr, 20},          {'F', 'T', '1', "第五类(套装)", 40},
    {'F', 'x', '1', nullptr, 40},
};

constexpr std::string_view kPhotoName = "kzvphoto";

struct SystemFile {
    const char* source;  // in "<base>/KZVSYSPIC"
    std::string_view folder;
    const char* target;
};

const SystemFile kSystemFiles[] = {
    {"photo.png", kPictureSubfolderName, "kzvphoto.png"},
    {"background_music.mid", kSoundSubfolderName, "background_music.mid"},
    {"Gif_InitSound.MID", kSoundSubfolderName, "Gif_InitSound.MID"},
    {"onLineHelp_dress.wma", kSoundSubfolderName, "onLineHelp.wma"},
    {"onLineHelp_dress.jpg", kShowSubfolderName, "onLineHelp.jpg"},
    {"stageBkg001.jpg", kShowSubfolderName, "stageBkg001.jpg"},
    {"stageBkg002.jpg", kShowSubfolderName, "stageBkg002.jpg"},
    {"stageBkg003.jpg", kShowSubfolderName, "stageBkg003.jpg"},
    {"stageBkg004.jpg", kShowSubfolderName, "stageBkg004.jpg"},
    {"stageBkg005.jpg", kShowSubfolderName, "stageBkg005.jpg"},
};

// "男装模板" -> "男装"; empty for a text that is not one of the templates.
std::string TemplateKind(std::string_view reference) {
    for (int i = 0; i < 3; ++i)
        if (reference == kReferenceTemplates[i]) {
            std::string s(reference);
            return s.substr(0, s.size() - std::string_view("模板").size());
        }
    return {};
}

bool SameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

// The folder the picture folder names, whatever it is stored as.
fs::path PictureFolderOf(const CProjectStore& store) {
    return StoredFolderPath(store.Project().header.PictureFolder(), store.BaseDir());
}

}  // namespace

int& CurrentPartIndex() {
    static int part = -1;
    return part;
}

fs::path& BasicProjectFolder() {
    static fs::path folder;
    return folder;
}

std::vector<std::string> ListNames(const fs::path& folder, std::initializer_list<std::string_view> masks, bool titles,
                                   std::size_t cap) {
    std::vector<std::string> names;
    for (std::string_view mask : masks) {
        for (const fs::path& p : platform::ListFiles(folder, mask)) {
            if (names.size() >= cap) return names;
            std::string name = NameOf(p);
            if (titles) name = TitleOf(name);
            if (!name.empty()) names.push_back(std::move(name));
        }
    }
    return names;
}

std::vector<std::string> ListProjectNames(const fs::path& base) {
    return ListNames(base / fs::path(std::string(kProjectFolderName)), {"*.dm3"}, true);
}

std::vector<std::string> ListImportFiles(const fs::path& folder, std::string_view kind) {
    if (folder.empty()) return {};
    if (kind == kImportShowPictures) return ListNames(folder, {"*.jpg", "*.png", "*.gif"}, false);
    if (kind == kImportSounds) return ListNames(folder, {"*.mid", "*.mp3", "*.wma", "*.wav"}, false);
    return ListNames(folder, {"*.png"}, false);
}

fs::path ProjectFolderOf(const CProjectStore& store) {
    const fs::path pictures = PictureFolderOf(store);
    if (!pictures.empty() && pictures.has_parent_path()) return pictures.parent_path();
    return store.BaseDir() / fs::path(store.ProjectName());
}

fs::path ImportTargetFolder(const CProjectStore& store, std::string_view kind) {
    std::string_view sub = kPictureSubfolderName;
    if (kind == kImportShowPictures) sub = kShowSubfolderName;
    if (kind == kImportSounds) sub = kSoundSubfolderName;
    return ProjectFolderOf(store) / fs::path(std::string(sub));
}

std::vector<std::string> CopyNamedFiles(const fs::path& from, const fs::path& to, const std::vector<std::string>& names,
                                        PictureFileOps& files) {
    std::vector<std::string> failed;
    std::error_code ec;
    fs::create_directories(to, ec);
    for (const std::string& name : names) {
        std::string why;
        if (!files.Copy(from / fs::path(name), to / fs::path(name), why)) failed.push_back(name + ": " + why);
    }
    return failed;
}

void FillClothingTemplate(CProjectStore& store) {
    store.Reset();
    store.Header().SetStateLetter('A');
    store.Header().SetEditionLetter('1');
    int i = 0;
    for (const TemplateRow& row : kTemplateRows) {
        PartRecord& p = store.Part(i++);
        p.Reset();
        p.SetCategory(row.category);
        p.SetRowType(row.type);
        p.SetSwitch(row.switchLetter);
        p.SetAnimationShowLetter(' ');
        p.SetAnimationSoundLetter(' ');
        p.SetDepth(row.depth);
        p.SetWidth(0);
        p.SetHeight(0);
        p.SetScale(1.0f);
        p.SetAnimationSize("");
        p.SetFacePictureSize("200,200");
        p.SetSizeText("100,100");
        p.SetFaceLetter('0');
        if (row.caption) {
            p.SetName(row.caption);
            p.SetGoodsCode("-----");
            p.SetPictureName("");
            p.SetWebLink("----");
            p.SetPrice("----");
            p.SetX(0);
            p.SetY(0);
        } else {
            const std::string_view name = row.type == 'K' ? kPhotoName : std::string_view();
            p.SetName(name);
            p.SetPictureName(name);
            p.SetGoodsCode("");
            p.SetWebLink("");
            p.SetPrice("");
            p.SetX(200);
            p.SetY(200);
        }
    }
    store.SetPartCount(i);
}

bool IsPlainProjectName(std::string_view name) {
    if (!IsUsableProjectName(name)) return false;
    if (name.front() == ' ' || name.back() == ' ' || name.front() == '\t' || name.back() == '\t') return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) return false;
        if (std::string_view(":*?\"<>|\\/").find(static_cast<char>(c)) != std::string_view::npos) return false;
    }
    const auto gbk = platform::Utf8ToGbk(name);
    return gbk && gbk->size() <= 60;
}

CreateReport CreateProject(CProjectStore& store, CSysSetInfo& settings, std::string_view name,
                           std::string_view reference, const AskUser& ask, PictureFileOps& files) {
    CreateReport r;
    if (name.empty()) {
        r.outcome = CreateOutcome::EmptyName;
        r.message = std::string(kEmptyNameMessage);
        return r;
    }
    if (!IsPlainProjectName(name)) {
        r.outcome = CreateOutcome::NotPlainName;
        r.message = "项目名只能是一个普通的文件名 (不能含 \\ / : * ? \" < > | 和首尾空格, 不超过 30 个汉字): " +
                    std::string(name);
        return r;
    }
    const fs::path base = store.BaseDir();
    const fs::path folder = base / fs::path(std::string(name));
    const fs::path dm3 = ProjectFilePath(base, name);
    std::error_code ec;
    if (fs::exists(dm3, ec) || fs::exists(folder, ec)) {
        if (!ask("项目 \"" + std::string(name) + "\" 已经存在。\n要用新项目替换它吗? 它的项目文件会被新项目覆盖。")) {
            r.outcome = CreateOutcome::Declined;
            return r;
        }
    }
    if (store.IsModified() && store.ProjectName() != name) {
        std::string why;
        if (store.Save(&why) == SaveResult::Failed &&
            !ask("当前项目 \"" + store.ProjectName() + "\" 的修改未能保存:\n" + why + "\n放弃这些修改, 新建项目吗?")) {
            r.outcome = CreateOutcome::Declined;
            return r;
        }
    }

    const fs::path pictures = folder / fs::path(std::string(kPictureSubfolderName));
    const std::string pictureText = pictures.string();
    if (platform::Utf8ToGbkLossy(pictureText).size() >= 360) {
        r.message = "项目的图片目录路径太长, 没有新建项目: " + pictureText;
        return r;
    }
    fs::create_directories(base / fs::path(std::string(kProjectFolderName)), ec);
    for (std::string_view sub : kProjectSubfolders) {
        fs::create_directories(folder / fs::path(std::string(sub)), ec);
        if (ec) {
            r.message = "不能建立项目目录 " + platform::UserPath(folder / fs::path(std::string(sub))) + ": " +
                        platform::ErrorReason(ec);
            return r;
        }
    }

    FillClothingTemplate(store);
    store.SetProjectName(name);
    store.Header().SetPictureFolder(pictureText);
    std::string why;
    if (store.Save(&why) != SaveResult::Saved) {
        r.message = why.empty() ? "项目文件保存失败" : why;
        store.AddModified();
        return r;
    }

    const fs::path sys = base / fs::path(std::string(kSystemPictureFolderName));
    for (const SystemFile& f : kSystemFiles) {
        std::string err;
        if (!files.Copy(sys / f.source, folder / fs::path(std::string(f.folder)) / f.target, err))
            r.problems.push_back(std::string(f.source) + ": " + err);
    }

    const std::string kind = TemplateKind(reference);
    if (!kind.empty()) {
        const fs::path tpl = base / fs::path(std::string(kTemplateFolderName)) / fs::path(std::string(reference));
        const fs::path tplProject = tpl / fs::path(kind + ".dm3");
        if (!platform::FileExists(tplProject)) {
            r.problems.push_back("没有找到参照模板 " + tplProject.string() + ", 新项目只用了服装模板");
        } else {
            for (std::string_view sub : kProjectSubfolders) {
                const fs::path from = tpl / fs::path(std::string(sub));
                const auto names = ListNames(from, {"*"}, false, static_cast<std::size_t>(-1));
                for (std::string& p : CopyNamedFiles(from, folder / fs::path(std::string(sub)), names, files))
                    r.problems.push_back(std::move(p));
            }
            std::string err;
            std::string openError;
            if (!files.Copy(tplProject, dm3, err)) {
                r.problems.push_back(tplProject.string() + ": " + err);
            } else if (!store.Open(name, &openError)) {
                // The copy is not a project this program reads: the clothing
                // template is written back in its place.
                r.problems.push_back("参照模板打不开, 新项目只用了服装模板: " + openError);
                FillClothingTemplate(store);
            }
            store.SetProjectName(name);
            store.Header().SetPictureFolder(pictureText);
            if (store.Save(&why) != SaveResult::Saved) {
                store.AddModified();
                r.message = why.empty() ? "项目文件保存失败" : why;
                return r;
            }
        }
    }

    if (!settings.SetSeriesName(name)) r.problems.push_back("设置记录未能保存");
    CurrentPartIndex() = -1;
    r.outcome = CreateOutcome::Created;
    return r;
}

bool OpenProject(CProjectStore& store, CSysSetInfo& settings, std::string_view name, std::string* error) {
    std::string why;
    if (!store.Open(name, &why)) {
        if (error) *error = std::string(kOpenErrorMessage) + (why.empty() ? "" : "\n" + why);
        return false;
    }
    store.SetProjectName(name);
    if (store.Save(&why) == SaveResult::Failed) {
        store.AddModified();
        if (error) *error = why;
    }
    settings.SetSeriesName(name);
    CurrentPartIndex() = -1;
    return true;
}

bool BasicProjectExists(const fs::path& folder, std::string_view kind) {
    if (folder.empty() || kind.empty()) return false;
    return platform::FileExists(folder / fs::path(std::string(kind) + ".dm3"));
}

fs::path InitialBasicFolder(const fs::path& base, std::string_view kind) {
    if (!BasicProjectFolder().empty()) return BasicProjectFolder();
    const fs::path standard = base / fs::path(std::string(kBasicProjectFolderName));
    if (BasicProjectExists(standard, kind)) {
        BasicProjectFolder() = standard;
        return standard;
    }
    return {};
}

std::string ReplaceReport::Message() const {
    switch (outcome) {
        case ReplaceOutcome::Replaced: {
            std::string s = "基本项目已替换: 复制了 " + std::to_string(copied) + " 个文件, 删除了 " +
                            std::to_string(removed) + " 个旧文件。";
            for (const std::string& p : problems) s += "\n" + p;
            return s;
        }
        case ReplaceOutcome::NoBasicProject: return "所选目录中没有这个基本项目, 没有替换。";
        case ReplaceOutcome::NoSource: return "当前项目的图片目录不存在, 没有替换。";
        case ReplaceOutcome::SameFolder: return "当前项目就是这个基本项目, 不用替换。";
        case ReplaceOutcome::CopyFailed: {
            std::string s = "有文件复制失败, 基本项目的旧文件都保留着:";
            for (const std::string& p : problems) s += "\n" + p;
            return s;
        }
    }
    return {};
}

ReplaceReport ReplaceBaseProject(const CProjectStore& store, const fs::path& folder, std::string_view kind,
                                 PictureFileOps& files) {
    ReplaceReport r;
    if (!BasicProjectExists(folder, kind)) {
        r.outcome = ReplaceOutcome::NoBasicProject;
        return r;
    }
    const fs::path source = ProjectFolderOf(store);
    const fs::path target = folder / fs::path(std::string(kind));
    std::error_code ec;
    if (store.ProjectName().empty() || !fs::is_directory(source, ec)) {
        r.outcome = ReplaceOutcome::NoSource;
        return r;
    }
    if (SameFolder(source, target)) {
        r.outcome = ReplaceOutcome::SameFolder;
        return r;
    }
    bool anySource = false;
    std::vector<std::set<std::string>> copied(std::size(kProjectSubfolders));
    for (std::size_t i = 0; i < std::size(kProjectSubfolders); ++i) {
        const std::string sub(kProjectSubfolders[i]);
        const fs::path from = source / fs::path(sub);
        if (fs::is_directory(from, ec)) anySource = true;
        const auto names = ListNames(from, {"*"}, false);
        const auto failed = CopyNamedFiles(from, target / fs::path(sub), names, files);
        r.problems.insert(r.problems.end(), failed.begin(), failed.end());
        r.copied += static_cast<int>(names.size() - failed.size());
        copied[i].insert(names.begin(), names.end());
    }
    if (!anySource) {
        r.outcome = ReplaceOutcome::NoSource;
        return r;
    }
    if (!r.problems.empty()) {
        r.outcome = ReplaceOutcome::CopyFailed;
        return r;
    }
    for (std::size_t i = 0; i < std::size(kProjectSubfolders); ++i) {
        const fs::path to = target / fs::path(std::string(kProjectSubfolders[i]));
        for (const std::string& old : ListNames(to, {"*"}, false)) {
            if (copied[i].count(old)) continue;
            std::string why;
            if (files.Remove(to / fs::path(old), why))
                ++r.removed;
            else
                r.problems.push_back(old + ": " + why);
        }
    }
    r.outcome = ReplaceOutcome::Replaced;
    return r;
}

}  // namespace project_editor
