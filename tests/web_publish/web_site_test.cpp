// The site build: the files each template makes, building twice, the refusals
// and failures (nothing opened after them), the listings of basic pictures and
// videos (folders skipped, sorted before the cap), show pictures, and sounds
// found by their title.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/web_publish/browser_support.h"
#include "tests/web_publish/web_fixtures.h"
#include "web_publish/web_site_build.h"
#include "web_publish/web_templates.h"

namespace fs = std::filesystem;
using namespace web_publish;
using namespace webtest;

namespace {

const fs::path kTemplates = testsupport::DemoBase() / "KZV网页项目模板";

// Copies pictures byte for byte and writes a marker as thumbnail.
class CopyingPictures : public FakePictures {
public:
    std::vector<PictureOutcome> Run(const std::vector<PictureJob>& in) override {
        auto out = FakePictures::Run(in);
        for (std::size_t i = 0; i < in.size(); ++i) {
            if (!out[i].size) continue;
            if (!in[i].copyTo.empty()) out[i].copied = platform::SaveFileAtomic(in[i].copyTo, *platform::ReadWholeFile(in[i].source));
            if (!in[i].thumbnailTo.empty()) out[i].thumbnail = platform::SaveFileAtomic(in[i].thumbnailTo, std::vector<std::uint8_t>{1});
        }
        return out;
    }
};

class WebSite : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::FixtureExists(kTemplates));
        fs::copy(kTemplates, m_base / "KZV网页项目模板", fs::copy_options::recursive);
        const fs::path shop = m_base / "春装店";
        for (const char* pic : {"model", "top1", "top2", "skirt"})
            m_base.write(fs::path("春装店/试衣及按钮图片") / (std::string(pic) + ".png"), std::string("png ") + pic);
        m_project = NewProject((shop / "试衣及按钮图片").string());
        ProjectFile& p = *m_project;
        AddCaption(p, 'A', "模特");
        AddPart(p, 'A', "model", 99);
        AddCaption(p, 'B', "上装");
        AddPart(p, 'B', "top1", 45).SetVoiceText("top1.wav");
        AddPart(p, 'B', "top2", 45);
        AddPart(p, 'C', "skirt", 55);
        m_pictures.sizes = {{"model.png", {200, 500}}, {"top1.png", {120, 80}}, {"top2.png", {90, 90}},
                            {"skirt.png", {100, 150}}};
        m_settings.outputFolder = (m_base.path() / "输出" / "深一层").string();  // parents made too
        m_settings.pageFolder = "春季试衣间";
        m_settings.pageName = "index";
        m_settings.templateName = "网页试衣间[下标]模板";
    }
    BuildReport Build() {
        WebSiteBuild build(m_base.path(), *m_project, m_pictures);
        return build.Build(m_settings);
    }
    fs::path Site() const { return m_base.path() / "输出" / "深一层" / "春季试衣间"; }

    testsupport::TempDir m_base;
    std::unique_ptr<ProjectFile> m_project;
    CopyingPictures m_pictures;
    WebPageSettings m_settings;
};

TEST_F(WebSite, EachFittingRoomTemplateMakesItsSiteAndBuildsTwice) {
    for (const char* tpl : {"网页试衣间[下标]模板", "网页试衣间[上标]模板"}) {
        m_settings.templateName = tpl;
        m_settings.templateIndex = std::string(tpl).find("上标") != std::string::npos ? 1 : 0;
        // Between the two builds a copied script, a style sheet, a picture
        // and the page are changed by hand: the second build puts back what
        // the first one wrote.
        const char* const touched[] = {"index.htm", "java1jsfile/Const.js", "java1jsfile/styles.css",
                                       "java1img/pic_0.png", "java1img/kzv_stage.png"};
        std::map<std::string, std::vector<unsigned char>> first;
        for (int round = 0; round < 2; ++round) {
            if (round == 1) {
                for (const char* f : touched) {
                    first[f] = testsupport::ReadAll(Site() / f);
                    ASSERT_FALSE(first[f].empty()) << f;
                    m_base.write(fs::relative(Site() / f, m_base.path()).string(), "changed by hand");
                }
            }
            const BuildReport r = Build();
            ASSERT_TRUE(r.ok()) << r.message;
            EXPECT_EQ(r.pagePath, Site() / "index.htm");
            EXPECT_EQ(r.published, 4);
            for (const char* f : {"index.htm", "java1jsfile/Const.js", "java1jsfile/mootools.v1.1.js",
                                  "java1jsfile/Space_1.0_kzv.js", "java1jsfile/styles.css", "java1jsfile/Cloths_1.0_kzv.js",
                                  "java1img/pic_0.png", "java1img/pic_1.png", "java1img/Spic_1.png",
                                  "java1img/pic_3.png", "java1img/kzv_stage.png", "java1img/kzv_hanger.png"})
                EXPECT_TRUE(platform::FileExists(Site() / f)) << tpl << " " << f;
            EXPECT_FALSE(fs::exists(Site() / "java1img/Spic_0.png")) << "the model has no thumbnail";
            for (const char* d : {"sound", "mulFaceImg"}) EXPECT_TRUE(fs::is_directory(Site() / d)) << d;
            EXPECT_EQ(testsupport::NodeCheck(Site() / "java1jsfile/Cloths_1.0_kzv.js"), "");
        }
        for (const char* f : touched) EXPECT_EQ(testsupport::ReadAll(Site() / f), first[f]) << tpl << " " << f;
        const std::string page(reinterpret_cast<const char*>(testsupport::ReadAll(Site() / "index.htm").data()),
                               testsupport::ReadAll(Site() / "index.htm").size());
        EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
        const bool above = page.find("kzvTabs") < page.find("kzvThumbs");
        EXPECT_EQ(above, m_settings.templateIndex == 1) << tpl;
    }
}

TEST_F(WebSite, VideoPageHasItsPlayerDataAndVideos) {
    m_base.write("春装店/videodb/b_clip.mp4", "mp4");
    m_base.write("春装店/videodb/a_clip.webm", "webm");
    fs::create_directories(m_base.path() / "春装店/videodb/folder.mp4");
    EXPECT_EQ(WebDialogModeFor(m_base.path() / "春装店"), 0);
    EXPECT_EQ(WebDialogModeFor(m_base.path() / "没有"), kFittingRoomOnlyMode);
    m_settings.templateName = "视频播放模板";
    m_settings.templateIndex = kVideoTemplateIndex;
    const BuildReport r = Build();
    ASSERT_TRUE(r.ok()) << r.message;
    for (const char* f : {"index.htm", "java1jsfile/Const.js", "java1jsfile/mootools.v1.1.js", "java1jsfile/common2.js",
                          "java1jsfile/kzvPlayer2.0.js", "java1jsfile/kzvplayer.css", "java1jsfile/kzvplayer_block.css",
                          "java1jsfile/Player2.0.js", "java1jsfile/videoDaLst_kzv.js", "java1img/kzv_screen.png",
                          "java1img/pag1Video_1.png", "java1img/Spag1Video_2.png", "videodb/a_clip.webm", "videodb/b_clip.mp4"})
        EXPECT_TRUE(platform::FileExists(Site() / f)) << f;
    EXPECT_FALSE(fs::exists(Site() / "videodb/folder.mp4"));
    EXPECT_EQ(r.videos, 2);
    EXPECT_EQ(testsupport::NodeCheck(Site() / "java1jsfile/videoDaLst_kzv.js"), "");
}

TEST_F(WebSite, RefusalsAndFailuresMakeNoPage) {
    // Fewer than two publishable parts: nothing is made.
    auto lone = NewProject(m_project->header.PictureFolder());
    AddPart(*lone, 'B', "top1", 45);
    WebSiteBuild loneBuild(m_base.path(), *lone, m_pictures);
    BuildReport r = loneBuild.Build(m_settings);
    EXPECT_EQ(r.outcome, BuildOutcome::TooFewPictures);
    EXPECT_EQ(r.message, "图片数不能少于两张!");
    EXPECT_FALSE(fs::exists(m_base.path() / "输出"));

    for (const char* bad : {"", "..", "a/b", "a\\b"}) {
        WebPageSettings s = m_settings;
        s.pageName = bad;
        WebSiteBuild build(m_base.path(), *m_project, m_pictures);
        EXPECT_EQ(build.Build(s).outcome, BuildOutcome::BadName) << bad;
    }
    m_settings.outputFolder = "C:\\网页";
    EXPECT_EQ(Build().outcome, BuildOutcome::FolderFailed);

    // A file where the site folder should be.
    m_settings.outputFolder = (m_base.path() / "输出").string();
    m_base.write("输出/春季试衣间", "a file");
    r = Build();
    EXPECT_EQ(r.outcome, BuildOutcome::FolderFailed);
    EXPECT_EQ(r.message.rfind("创建<" + (m_base.path() / "输出/春季试衣间").string() + ",", 0), 0u) << r.message;
    EXPECT_NE(r.message.find(">目录错!"), std::string::npos);

    // A template that is not installed, and one without its page: refused
    // with the template's name before anything is made.
    m_settings.outputFolder = (m_base.path() / "输出2").string();
    for (const char* name : {"说明书模式", "网页试衣间[下标]模板"}) {
        fs::remove(m_base.path() / "KZV网页项目模板/网页试衣间[下标]模板/kzv_FittoraWeb.htm");
        m_settings.templateName = name;
        r = Build();
        EXPECT_EQ(r.outcome, BuildOutcome::MissingTemplate) << name;
        EXPECT_NE(r.message.find(std::string("网页模板<") + name + ">"), std::string::npos) << r.message;
        EXPECT_FALSE(fs::exists(m_base.path() / "输出2")) << name;
    }
}

TEST_F(WebSite, ListingsSkipFoldersAndAreSortedBeforeTheirCaps) {
    const fs::path basic = m_base.path() / "KZV网页项目模板/网页试衣间[下标]模板/基本图片";
    fs::create_directories(basic / "aaa_folder");
    for (int i = 0; i < 400; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "z%03d.png", 399 - i);  // written in reverse
        m_base.write(fs::relative(basic, m_base.path()) / name, "x");
    }
    const BuildReport r = Build();
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(r.basicPictures, kMaxListedFiles);
    // The two template pictures sort before "z...": 384 of the z files fit.
    EXPECT_TRUE(fs::exists(Site() / "java1img/z383.png"));
    EXPECT_FALSE(fs::exists(Site() / "java1img/z384.png"));
    EXPECT_FALSE(fs::exists(Site() / "java1img/aaa_folder"));
}

TEST_F(WebSite, ShowPicturesAndSoundsFoundByTitle) {
    ProjectFile& p = *m_project;
    // top1 (part 3): three faces of kind 'P', all animations, face sounds by title.
    auto& face = p.faces[3];
    face.SetFaceCountLetter('3');
    face.SetFaceKind('P');
    face.SetPictureControlLetter('1');
    face.SetSoundControlLetter('3');
    AddFaceString(p, 3, 1, 0, "正面");
    AddFaceString(p, 3, 1, 2, "背面");
    AddFaceString(p, 3, 2, 0, "动画甲");
    AddFaceString(p, 3, 2, 1, "动画乙");
    AddFaceString(p, 3, 3, 0, "介绍");
    AddFaceString(p, 3, 4, 1, "音乐");
    AddFaceString(p, 3, 3, 1, "../escape");
    // skirt (part 5): one face.
    p.faces[5].SetFaceCountLetter('1');
    AddFaceString(p, 5, 1, 0, "裙子展示");
    // model: face count '0' copies nothing.
    AddFaceString(p, 1, 1, 0, "模特展示");
    const auto pairs = ShowPicturePairs(p);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"正面.png", "top10.png"}, {"背面.png", "top12.png"}, {"动画甲.gif", "gif_top1.gif"},
        {"动画乙.gif", "gifA_top1.gif"}, {"裙子展示.jpg", "裙子展示0.jpg"}};
    ASSERT_EQ(pairs.size(), expected.size() + 10);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), pairs.begin()));
    EXPECT_EQ(pairs.back().first, "stageBkg005.jpg");

    const fs::path sounds = m_base.path() / "春装店/音乐及语音";
    m_base.write("春装店/音乐及语音/top1.wav", "w");
    m_base.write("春装店/音乐及语音/介绍.wav", "w");      // the voice text's extension
    m_base.write("春装店/音乐及语音/音乐.mp3", "m");      // another extension: found by title
    m_base.write("春装店/音乐及语音/音乐.ogg", "o");
    const std::vector<std::string> names = SoundNames(p, sounds);
    const std::vector<std::string> want = {"top1.wav", "介绍.wav", "音乐.mp3", "background_music.mid",
                                           "onLineHelpSound.mp3", "onLineHelp.wma", "Gif_InitSound.MID"};
    EXPECT_EQ(names, want);

    m_base.write("春装店/展示及说明图片/正面.png", "p");
    m_base.write("春装店/展示及说明图片/裙子展示.jpg", "j");
    const BuildReport r = Build();
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_TRUE(platform::FileExists(Site() / "mulFaceImg/top10.png"));
    EXPECT_TRUE(platform::FileExists(Site() / "mulFaceImg/裙子展示0.jpg"));
    EXPECT_TRUE(platform::FileExists(Site() / "sound/音乐.mp3"));
    EXPECT_TRUE(platform::FileExists(Site() / "sound/介绍.wav"));
    EXPECT_EQ(r.sounds, 3);
}

}  // namespace
