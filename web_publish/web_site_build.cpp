#include "web_publish/web_site_build.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <set>
#include <system_error>

#include "platform/files.h"
#include "platform/text.h"
#include "web_publish/template_scramble.h"
#include "web_publish/web_templates.h"

namespace fs = std::filesystem;
using project_editor::IsUsableProjectName;
using project_editor::PartRecord;
using project_editor::ProjectFile;

namespace web_publish {

namespace {

// The page sources of the two kinds of template, in their folders.
constexpr const char* kFittingRoomPage = "kzv_FittoraWeb.htm";
constexpr const char* kVideoPage = "kzvVideoPlayer.htm";  // in "jsFile"

bool CopyReplacing(const fs::path& from, const fs::path& to) {
    return platform::FileExists(from) && platform::SaveCopyOfFile(from, to);
}

fs::path Join(const fs::path& dir, std::string_view name) { return dir / fs::path(std::string(name)); }

const PartRecord& PartAt(const ProjectFile& p, int i) { return p.parts.at(static_cast<std::size_t>(i)); }

}  // namespace

std::vector<std::pair<std::string, std::string>> ShowPicturePairs(const ProjectFile& project) {
    std::vector<std::pair<std::string, std::string>> pairs;
    auto add = [&](std::string source, std::string target) {
        if (pairs.size() >= static_cast<std::size_t>(kMaxListedPairs)) return;
        if (IsUsableProjectName(source) && IsUsableProjectName(target)) pairs.emplace_back(std::move(source), std::move(target));
    };
    for (int i = 0; i < project.PartCount(); ++i) {
        const PartRecord& part = PartAt(project, i);
        const auto& face = project.faces.at(static_cast<std::size_t>(i));
        if (part.RowType() == 'T' || face.FaceCountLetter() <= '0') continue;
        const int count = face.FaceCount();
        const std::string picture = platform::CutToGbkBytes(part.PictureName(), 65);
        if (picture.empty()) continue;
        const std::string ext = face.FaceKind() == 'P' ? "png" : face.FaceKind() == 'G' ? "gif" : "jpg";
        if (count > 1) {
            for (int f = 0; f < count; ++f) {
                const std::string s = project.FaceString(i, 1, f);
                if (!s.empty()) add(s + "." + ext, picture + std::to_string(f) + "." + ext);
            }
            const int gifs = face.PictureControlLetter() == '1' ? count : 1;
            for (int f = 0; f < gifs; ++f) {
                const std::string s = project.FaceString(i, 2, f);
                if (s.empty()) continue;
                add(s + ".gif", f == 0 ? "gif_" + picture + ".gif"
                                       : std::string("gif") + static_cast<char>('A' + f - 1) + "_" + picture + ".gif");
            }
        } else {
            const std::string s = project.FaceString(i, 1, 0);
            if (!s.empty()) add(s + "." + ext, s + "0." + ext);
        }
    }
    for (const char* fixed : {"ctrlFacepic_0.jpg", "ctrlFacepic_1.jpg", "ctrlFacepic_2.jpg", "ctrlFacepic_3.jpg",
                              "onLineHelp.jpg", "stageBkg001.jpg", "stageBkg002.jpg", "stageBkg003.jpg",
                              "stageBkg004.jpg", "stageBkg005.jpg"})
        pairs.emplace_back(fixed, fixed);
    return pairs;
}

std::vector<std::string> SoundNames(const ProjectFile& project, const fs::path& soundFolder) {
    std::vector<std::string> names;
    const std::vector<fs::path> files = platform::ListFiles(soundFolder, "*");
    auto byTitle = [&](const std::string& title, const std::string& ext) -> std::string {
        if (platform::FileExists(Join(soundFolder, title))) return title;
        if (!ext.empty() && platform::FileExists(Join(soundFolder, title + "." + ext))) return title + "." + ext;
        for (const fs::path& f : files)
            if (f.stem().string() == title) return f.filename().string();
        return {};
    };
    auto add = [&](const std::string& name) {
        if (names.size() < static_cast<std::size_t>(kMaxListedPairs) && IsUsableProjectName(name)) names.push_back(name);
    };
    for (int i = 0; i < project.PartCount(); ++i) {
        const PartRecord& part = PartAt(project, i);
        if (part.RowType() == 'T') continue;
        const std::string voice = part.VoiceText();
        if (!voice.empty()) add(voice);
        const auto& face = project.faces.at(static_cast<std::size_t>(i));
        const int count = face.FaceCount();
        if (count <= 0) continue;
        const std::size_t dot = voice.find('.');
        const std::string ext = dot == std::string::npos ? std::string() : voice.substr(dot + 1);
        std::vector<int> kinds = {3};
        if (face.SoundControlLetter() == '1' || face.SoundControlLetter() == '3') kinds.push_back(4);
        for (int kind : kinds) {
            for (int f = 0; f < count; ++f) {
                const std::string title = project.FaceString(i, kind, f);
                if (title.empty() || !IsUsableProjectName(title)) continue;
                if (std::string found = byTitle(title, ext); !found.empty()) add(found);
            }
        }
    }
    for (const char* fixed : {"background_music.mid", "onLineHelpSound.mp3", "onLineHelp.wma", "Gif_InitSound.MID"})
        names.emplace_back(fixed);
    return names;
}

WebSiteBuild::WebSiteBuild(fs::path base, const ProjectFile& project, PictureWork& pictures)
    : m_base(std::move(base)), m_project(project), m_pictures(pictures) {}

fs::path WebSiteBuild::PictureFolder() const {
    return project_editor::StoredFolderPath(m_project.header.PictureFolder(), m_base);
}

fs::path WebSiteBuild::ProjectFolder() const { return ProjectFolderOf(m_project, m_base); }

fs::path ProjectFolderOf(const ProjectFile& project, const fs::path& base) {
    const fs::path pictures = project_editor::StoredFolderPath(project.header.PictureFolder(), base);
    if (pictures.empty()) return {};
    fs::path p = pictures;
    while (!p.empty() && p.filename().empty()) p = p.parent_path();  // a trailing separator
    return p.parent_path();
}

BuildReport WebSiteBuild::Build(const WebPageSettings& settings) {
    return settings.templateIndex == kVideoTemplateIndex ? BuildVideoPage(settings) : BuildFittingRoom(settings);
}

bool WebSiteBuild::MakeFolder(const fs::path& folder, BuildReport& report) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!ec && fs::is_directory(folder, ec)) return true;
    char text[64];
    std::snprintf(text, sizeof text, ",%d>目录错!", ec ? ec.value() : ENOTDIR);
    report.outcome = BuildOutcome::FolderFailed;
    report.message = "创建<" + folder.string() + text;
    return false;
}

bool WebSiteBuild::Prepare(const WebPageSettings& s, BuildReport& report, PublishList& list, const fs::path& page,
                           fs::path& tpl) {
    list = CollectPublishList(m_project);
    const CountRule rule = ApplyCountRule(list);
    if (rule == CountRule::TooFew) {
        report.outcome = BuildOutcome::TooFewPictures;
        report.message = std::string(kTooFewMessage);
        return false;
    }
    report.cut = rule == CountRule::Cut;
    report.published = list.count;
    if (!IsUsableProjectName(s.pageFolder) || !IsUsableProjectName(s.pageName) || !IsUsableProjectName(s.templateName)) {
        report.outcome = BuildOutcome::BadName;
        report.message = "网页目录名、网页名称和模板名只能是一个名字 (不能为空, 不能含有 / 或 \\) !";
        return false;
    }
    bool foreign = false;
    fs::path output = platform::NormaliseStoredPath(s.outputFolder, &foreign);
    if (foreign || s.outputFolder.empty()) {
        report.outcome = BuildOutcome::FolderFailed;
        report.message = "输出目录<" + s.outputFolder + ">不在这台电脑上, 请改变输出目录!";
        return false;
    }
    const fs::path root = Join(m_base, kTemplateRootName);
    tpl = Join(root, s.templateName);
    std::error_code ec;
    if (!fs::is_directory(tpl, ec)) {
        report.outcome = BuildOutcome::MissingTemplate;
        report.message = "网页模板<" + s.templateName + ">没有安装 (" + root.string() + " 里没有它的目录), 网页没有建立!";
        return false;
    }
    if (!platform::FileExists(tpl / page)) {
        report.outcome = BuildOutcome::MissingTemplate;
        report.message = "网页模板<" + s.templateName + ">不全 (没有 " + (tpl / page).string() + "), 网页没有建立!";
        return false;
    }
    if (output.is_relative()) output = m_base / output;
    report.siteFolder = Join(output, s.pageFolder);
    return true;
}

int WebSiteBuild::CopyBasicPictures(const fs::path& templateDir, const fs::path& to) {
    std::vector<fs::path> files = platform::ListFiles(Join(templateDir, kBasicPicturesName), "*");
    if (files.size() > static_cast<std::size_t>(kMaxListedFiles)) files.resize(kMaxListedFiles);
    int n = 0;
    for (const fs::path& f : files) n += CopyReplacing(f, to / f.filename());
    return n;
}

BuildReport WebSiteBuild::BuildFittingRoom(const WebPageSettings& s) {
    BuildReport report;
    PublishList list;
    fs::path tpl;
    if (!Prepare(s, report, list, kFittingRoomPage, tpl)) return report;
    const fs::path site = report.siteFolder;
    const fs::path pictures = site / "java1img", scripts = site / "java1jsfile", sounds = site / "sound",
                   faces = site / "mulFaceImg";
    for (const fs::path& f : {site, pictures, scripts, sounds, faces})
        if (!MakeFolder(f, report)) return report;

    const fs::path js = tpl / "jsFile";
    report.pagePath = Join(site, s.pageName + ".htm");
    if (UnscrambleTemplateFile(tpl / kFittingRoomPage, report.pagePath) != UnscrambleResult::Written) {
        report.outcome = BuildOutcome::WriteFailed;
        report.message = "网页模板<" + (tpl / kFittingRoomPage).string() + ">读不到或网页写不进, 网页没有建立!";
        return report;
    }
    for (auto [from, to] : {std::pair{"kzv_Const.js", "Const.js"}, std::pair{"kzv_mootools.v1.1.js", "mootools.v1.1.js"},
                            std::pair{"kzv_Space_1.0_kzv.js", "Space_1.0_kzv.js"}, std::pair{"kzv_styles.css", "styles.css"}})
        UnscrambleTemplateFile(js / from, scripts / to);

    ClothDataOptions options{PictureFolder(), pictures, false, s.texts};
    const ClothData data = BuildClothData(m_project, list, options, m_pictures);
    report.pictures = data.copied;
    report.thumbnails = data.thumbnails;
    std::string error;
    if (!WriteClothData(js / "kzv_Cloth_part1.js", js / "kzv_Cloth_part2.js", data.text, scripts / "Cloths_1.0_kzv.js",
                        &error)) {
        report.outcome = BuildOutcome::WriteFailed;
        report.message = "数据文件写不进: " + error;
        return report;
    }
    report.basicPictures = CopyBasicPictures(tpl, pictures);
    const fs::path projectFolder = ProjectFolder();
    if (!projectFolder.empty()) {
        const fs::path showFolder = projectFolder / "展示及说明图片";
        for (const auto& [from, to] : ShowPicturePairs(m_project))
            report.showPictures += CopyReplacing(Join(showFolder, from), Join(faces, to));
        const fs::path soundFolder = projectFolder / "音乐及语音";
        for (const std::string& name : SoundNames(m_project, soundFolder))
            report.sounds += CopyReplacing(Join(soundFolder, name), Join(sounds, name));
    }
    return report;
}

BuildReport WebSiteBuild::BuildVideoPage(const WebPageSettings& s) {
    BuildReport report;
    PublishList list;
    fs::path tpl;
    if (!Prepare(s, report, list, fs::path("jsFile") / kVideoPage, tpl)) return report;
    const fs::path site = report.siteFolder;
    const fs::path pictures = site / "java1img", scripts = site / "java1jsfile", videos = site / "videodb";
    for (const fs::path& f : {site, pictures, scripts, videos})
        if (!MakeFolder(f, report)) return report;
    const fs::path js = tpl / "jsFile";
    UnscrambleTemplateFile(js / "kzv_Const.js", scripts / "Const.js");
    UnscrambleTemplateFile(js / "kzv_mootools.v1.1.js", scripts / "mootools.v1.1.js");
    for (const char* name : {"common2.js", "kzvPlayer2.0.js", "kzvplayer.css", "kzvplayer_block.css", "Player2.0.js"})
        CopyReplacing(js / name, scripts / name);
    report.pagePath = Join(site, s.pageName + ".htm");
    if (!CopyReplacing(js / kVideoPage, report.pagePath)) {
        report.outcome = BuildOutcome::WriteFailed;
        report.message = "网页模板<" + (js / kVideoPage).string() + ">读不到或网页写不进, 网页没有建立!";
        return report;
    }
    report.basicPictures = CopyBasicPictures(tpl, pictures);
    ClothDataOptions options{PictureFolder(), pictures, true, s.texts};
    const ClothData data = BuildClothData(m_project, list, options, m_pictures);
    report.pictures = data.copied;
    report.thumbnails = data.thumbnails;
    std::string error;
    if (!WriteClothData(js / "kzv_videoDaLst_part1.js", js / "kzv_videoDaLst_part2.js", data.text,
                        scripts / "videoDaLst_kzv.js", &error)) {
        report.outcome = BuildOutcome::WriteFailed;
        report.message = "数据文件写不进: " + error;
        return report;
    }
    const fs::path projectFolder = ProjectFolder();
    if (!projectFolder.empty()) {
        std::vector<fs::path> files = platform::ListFiles(projectFolder / "videodb", "*");
        if (files.size() > static_cast<std::size_t>(kMaxListedFiles)) files.resize(kMaxListedFiles);
        for (const fs::path& f : files) report.videos += CopyReplacing(f, videos / f.filename());
    }
    return report;
}

}  // namespace web_publish
