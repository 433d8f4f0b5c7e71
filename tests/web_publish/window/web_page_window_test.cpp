// The web page dialog opened from Pavanel's "创建搭配网页" on a copy of the demo
// base directory, and published sites in headless Chromium on a loopback HTTP
// server: no console error, every picture loads, a click on a thumbnail
// dresses the model (the garment's own pixels appear at its place). Screens:
// screens/pavanel-dialog-web*.png and screens/web-*.png.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dcmemory.h>
#include <wx/textctrl.h>

#include "platform/files.h"
#include "platform/image/picture_io.h"
#include "platform/ui/message_box.h"
#include "project_editor/pavanel_frame.h"
#include "project_editor/pavanel_view.h"
#include "project_editor/project_store.h"
#include "project_editor/stage_slot.h"
#include "project_editor/sys_set_info.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/http_test_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/user_input.h"
#include "tests/support/window_test_util.h"
#include "tests/web_publish/browser_support.h"
#include "web_publish/build_web_page_dlg.h"
#include "web_publish/picture_work_wx.h"
#include "web_publish/web_site_build.h"

namespace fs = std::filesystem;
using namespace project_editor;
using namespace web_publish;

namespace {

const char* const kSeries = "2010秋冬女装";

std::string UrlPath(const std::string& utf8) {
    std::string out;
    char buf[4];
    for (unsigned char c : utf8) {
        if (std::isalnum(c) || c == '/' || c == '.' || c == '_' || c == '-') {
            out += static_cast<char>(c);
        } else {
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        }
    }
    return out;
}

// The entry the page shows first in its first tab (the lowest category after
// the model's), and points of its garment's opaque pixels on the stage with
// their colours.
struct GarmentProbe {
    int entry = -1;
    std::vector<std::array<int, 2>> points;
    std::vector<std::array<int, 3>> colours;
};

GarmentProbe ProbeFirstGarment(const ProjectFile& project, const fs::path& base) {
    GarmentProbe probe;
    PublishList list = CollectPublishList(project);
    ApplyCountRule(list);
    int best = 99;
    for (int e = 0; e < list.count; ++e) {
        const int kind = static_cast<unsigned char>(project.parts.at(list.at(e).part).Category()) - 'A';
        if (kind >= 1 && kind < best) best = kind, probe.entry = e;
    }
    if (probe.entry < 0) return probe;
    const PartRecord& part = project.parts.at(static_cast<std::size_t>(list.at(probe.entry).part));
    const fs::path picture = StoredFolderPath(project.header.PictureFolder(), base) / (part.PictureName() + ".png");
    const wxImage image = platform::image::LoadPicture(picture);
    if (!image.IsOk() || !image.HasAlpha() || part.Scale() != 1.0f) return probe;
    // A grid over the picture: opaque pixels only, inside the 460 x 520 stage.
    for (int gy = 1; gy < 8 && probe.points.size() < 12; ++gy) {
        for (int gx = 1; gx < 6; ++gx) {
            const int px = image.GetWidth() * gx / 6, py = image.GetHeight() * gy / 8;
            if (image.GetAlpha(px, py) != 255) continue;
            // A project keeps the corner of the square around the picture.
            const int w = image.GetWidth(), h = image.GetHeight();
            const int sx = part.X() + (h > w ? (h - w) / 2 : 0) + px, sy = part.Y() + (w > h ? (w - h) / 2 : 0) + py;
            if (sx < 0 || sy < 0 || sx >= 460 || sy >= 520) continue;
            probe.points.push_back({sx, sy});
            probe.colours.push_back({image.GetRed(px, py), image.GetGreen(px, py), image.GetBlue(px, py)});
        }
    }
    return probe;
}

int Distance(const std::array<int, 3>& a, const std::array<int, 3>& b) {
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

// Opens the page, clicks the probe's thumbnail and checks what a visitor sees.
void ExpectDressedInBrowser(const fs::path& outputFolder, const std::string& pageFolder, const std::string& page,
                            const GarmentProbe& probe, const fs::path& shot) {
    testsupport::HttpTestServer server(outputFolder);
    ASSERT_TRUE(server.running());
    const std::string url = server.url("/site/" + UrlPath(pageFolder + "/" + page + ".htm"));
    const std::string selector = ".kzv-thumb[data-entry=\"" + std::to_string(probe.entry) + "\"]";
    const testsupport::BrowserReport r = testsupport::CheckPageInBrowser(url, shot, selector, probe.points);
    ASSERT_TRUE(r.driven) << r.failure;
    EXPECT_TRUE(r.errors.empty()) << r.errors.front();
    EXPECT_TRUE(r.broken.empty()) << r.broken.front();
    EXPECT_NE(std::find(r.worn.begin(), r.worn.end(), probe.entry), r.worn.end()) << "the garment is worn";
    ASSERT_EQ(r.after.size(), probe.points.size());
    ASSERT_FALSE(probe.points.empty());
    int changed = 0;
    for (std::size_t i = 0; i < probe.points.size(); ++i) {
        EXPECT_LE(Distance(r.after[i], probe.colours[i]), 10)
            << "garment pixel at stage " << probe.points[i][0] << "," << probe.points[i][1];
        changed += Distance(r.before[i], probe.colours[i]) > 40;
    }
    EXPECT_GT(changed, 0) << "the click changed the stage";
}

class WebPageWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "KZV网页项目模板" / "网页试衣间[下标]模板"));
        for (const char* part : {"KZV网页项目文件", kSeries, "服饰搭配sysproj", "KZV网页项目模板", "sysSetInfo.sy3"})
            fs::copy(testsupport::DemoBase() / fs::path(part), m_base / fs::path(part),
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        m_screens = testsupport::ScreensDir();
        fs::create_directories(m_screens);
        m_cwd = std::make_unique<testsupport::ScopedCwd>(m_base.path());
        CProjectStore::ResetInstance();
        StageSlotTable::ResetInstance();
        CSysSetInfo::ResetInstance();
        CPavanelView::WebPageCommand() = [](CPavanelView& view) { RunWebPageCommand(&view, view.base()); };
        SetPageOpener([this](const std::string& target, std::string*) {
            m_opened.push_back(target);
            return true;
        });
        platform::image::EnsureImageHandlers();
    }
    void TearDown() override {
        if (m_frame) m_frame->Destroy();
        testsupport::PumpEvents(50);
        WebPageDialogHook() = nullptr;
        CPavanelView::WebPageCommand() = nullptr;
    }
    void OpenFrame() {
        m_frame = new CMainFrame(m_base.path());
        m_frame->ShowMaximised();
        testsupport::PumpEvents(300);
    }

    testsupport::TempDir m_base;
    fs::path m_screens;
    std::unique_ptr<testsupport::ScopedCwd> m_cwd;
    platform::ui::MessageBoxRecorder m_boxes;
    CMainFrame* m_frame = nullptr;
    std::vector<std::string> m_opened;
};

TEST_F(WebPageWindow, DemoProjectPublishedFromPavanelDressesInChromium) {
    OpenFrame();
    CPavanelView* view = m_frame->view();
    ASSERT_EQ(CProjectStore::Instance().ProjectName(), kSeries);
    ASSERT_TRUE(view->control(kIdWebPage)->IsEnabled());
    bool seen = false;
    WebPageDialogHook() = [&](CBuildWebPageDlg& dlg) {
        seen = true;
        testsupport::PumpEvents(200);
        // No videos in the project: mode 9, the two fitting rooms only.
        EXPECT_EQ(dlg.mode(), kFittingRoomOnlyMode);
        auto* combo = static_cast<wxChoice*>(dlg.control(kIdTemplateCombo));
        ASSERT_EQ(combo->GetCount(), 2u);
        EXPECT_EQ(combo->GetString(0).utf8_string(), "网页试衣间[下标]模板");
        EXPECT_EQ(static_cast<wxTextCtrl*>(dlg.control(kIdPageFolder))->GetValue().utf8_string(), "2010试衣间");
        EXPECT_EQ(dlg.changeCount(), 0);
        EXPECT_TRUE(testsupport::SaveWindowScreenshot(&dlg, (m_screens / "pavanel-dialog-web.png").string()));
        // The other template: its name becomes the page folder.
        dlg.OnSelTemplate(1);
        EXPECT_EQ(static_cast<wxTextCtrl*>(dlg.control(kIdPageFolder))->GetValue().utf8_string(), "网页试衣间[上标]模板");
        EXPECT_EQ(dlg.changeCount(), 1);
        dlg.OnSelTemplate(0);
        static_cast<wxTextCtrl*>(dlg.control(kIdPageFolder))->SetValue(wxString::FromUTF8("秋冬试衣间"));
        // Into this test's base directory (the demo's settings name the build's).
        static_cast<wxTextCtrl*>(dlg.control(kIdOutputFolder))
            ->SetValue(wxString::FromUTF8((m_base.path() / "KZV输出的网页").string()));
        static_cast<wxCheckBox*>(dlg.control(kIdTestAfterBuild))->SetValue(true);
        wxCommandEvent tick(wxEVT_CHECKBOX, kIdTestAfterBuild);
        dlg.ProcessWindowEvent(tick);
        testsupport::PumpEvents(100);
        EXPECT_TRUE(testsupport::SaveWindowScreenshot(&dlg, (m_screens / "pavanel-dialog-web-filled.png").string()));
        dlg.OnStartBuild();
    };
    view->RunCommand(kIdWebPage);
    ASSERT_TRUE(seen);
    EXPECT_TRUE(m_boxes.shown().empty()) << m_boxes.shown().front().text;
    const fs::path output = m_base.path() / "KZV输出的网页";
    const fs::path page = output / "秋冬试衣间" / "kzvDress.htm";
    ASSERT_EQ(m_opened.size(), 1u);
    EXPECT_EQ(m_opened[0], page.string());
    EXPECT_EQ(LastBuiltPageFolder(), "秋冬试衣间");
    // The settings keep the dialog's choices.
    CSysSetInfo stored;
    stored.SetBaseDir(m_base.path());
    ASSERT_EQ(stored.Load(), CSysSetInfo::LoadResult::Loaded);
    EXPECT_EQ(stored.GetField(CSysSetInfo::kPageFolder), "秋冬试衣间");
    EXPECT_EQ(stored.GetField(CSysSetInfo::kTemplateName), "网页试衣间[下标]模板");
    // The program's own record took them over: saving it later keeps them.
    EXPECT_EQ(CSysSetInfo::Instance().GetField(CSysSetInfo::kPageFolder), "秋冬试衣间");
    ASSERT_TRUE(CSysSetInfo::Instance().SetSeriesName(CSysSetInfo::Instance().GetSeriesName()));
    ASSERT_EQ(stored.Load(), CSysSetInfo::LoadResult::Loaded);
    EXPECT_EQ(stored.GetField(CSysSetInfo::kPageFolder), "秋冬试衣间");

    ASSERT_TRUE(testsupport::BrowserAvailable()) << "chromium and chromedriver are not installed (tools/setup.sh installs them)";
    const GarmentProbe probe = ProbeFirstGarment(CProjectStore::Instance().Project(), m_base.path());
    ASSERT_GE(probe.entry, 0);
    ExpectDressedInBrowser(output, "秋冬试衣间", "kzvDress", probe, m_screens / "web-pavanel-dressed.png");
}

TEST_F(WebPageWindow, RefusedBuildEndsWithFailureAndOpensNothing) {
    OpenFrame();
    // A project with one publishable part.
    CProjectStore& store = CProjectStore::Instance();
    for (int i = 2; i < store.PartCount(); ++i) store.Part(i).SetPictureName("");
    WebPageDialogHook() = [&](CBuildWebPageDlg& dlg) {
        static_cast<wxCheckBox*>(dlg.control(kIdTestAfterBuild))->SetValue(true);
        dlg.OnStartBuild();
    };
    const auto report = RunWebPageCommand(m_frame->view(), m_base.path());
    ASSERT_TRUE(report);
    EXPECT_EQ(report->outcome, BuildOutcome::TooFewPictures);
    ASSERT_EQ(m_boxes.shown().size(), 1u);
    EXPECT_EQ(m_boxes.shown()[0].text, "图片数不能少于两张!");
    EXPECT_EQ(m_boxes.shown()[0].caption, "Lumora软件");
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(WebPageWindow, OfferedTemplatesFollowTheModeAndTheStoredChoice) {
    struct Case { int mode; std::string index, name; unsigned entries; std::string shown; int kept; bool installed; };
    const Case cases[] = {
        {0, "1", "", 6, "网页试衣间[上标]模板", 1, true},
        {0, "10", "", 6, "视频播放模板", 10, true},
        {kFittingRoomOnlyMode, "10", "", 2, "网页试衣间[下标]模板", 0, true},  // mode 9: the two fitting rooms
        {0, "3", "", 6, "家居搭配模板A", 3, false},                            // offered, though not installed
        {0, "0", "网页试衣间[上标]模板", 6, "网页试衣间[上标]模板", 1, true},     // the stored name wins
        {0, "0", "体验模式A类", 6, "体验模式A类", 2, false},
        {0, "0", "没有这个模板", 6, "网页试衣间[下标]模板", 0, true},
    };
    for (const Case& c : cases) {
        CSysSetInfo settings;
        settings.SetBaseDir(m_base.path());
        settings.Load();
        settings.SetField(CSysSetInfo::kTemplateIndex, c.index);
        settings.SetField(CSysSetInfo::kTemplateName, c.name);
        settings.SetField(CSysSetInfo::kInitialLayer, "0");
        ASSERT_TRUE(settings.Save());
        CBuildWebPageDlg dlg(nullptr, m_base.path());
        dlg.SetMode(c.mode);
        dlg.OnInitDialog();
        auto* combo = static_cast<wxChoice*>(dlg.control(kIdTemplateCombo));
        EXPECT_EQ(combo->GetCount(), c.entries) << c.index << c.name;
        EXPECT_EQ(combo->GetStringSelection().utf8_string(), c.shown) << c.index << c.name;
        EXPECT_EQ(dlg.templateIndex(), c.kept) << c.index << c.name;
        EXPECT_EQ(static_cast<wxChoice*>(dlg.control(kIdInitialLayer))->GetStringSelection().utf8_string(),
                  "0:初层为普通(视频)");
        EXPECT_EQ(dlg.changeCount(), 0);
        // The thumbnail of the chosen template is painted inside its area.
        wxBitmap bmp(200, 240);
        {
            wxMemoryDC dc(bmp);
            dlg.DrawThumbnail(dc);
        }
        const wxImage shot = bmp.ConvertToImage();
        // A template that is not installed has no thumbnail: the area stays plain.
        EXPECT_EQ(!(shot.GetRed(100, 120) == 0x64 && shot.GetGreen(100, 120) == 0xA6 && shot.GetBlue(100, 120) == 0xA6),
                  c.installed)
            << "thumbnail drawn";
        EXPECT_EQ(shot.GetRed(0, 0), 0x64);  // the frame colour 0xA6A664
        dlg.Destroy();
    }
}

TEST_F(WebPageWindow, ATemplateThatIsNotInstalledIsRefusedByNameWritesNothingAndEndsTheDialogWithOk) {
    OpenFrame();
    CPavanelView* view = m_frame->view();
    // A project with videos: the dialog offers every template.
    const fs::path videos = ProjectFolderOf(CProjectStore::Instance().Project(), m_base.path()) / "videodb";
    fs::create_directories(videos);
    std::ofstream(videos / "走秀.mp4") << "video";
    ASSERT_FALSE(fs::exists(m_base.path() / "KZV网页项目模板" / "说明书模式"));
    const fs::path output = m_base.path() / "KZV输出的网页";
    bool seen = false;
    int result = wxID_NONE;
    WebPageDialogHook() = [&](CBuildWebPageDlg& dlg) {
        seen = true;
        testsupport::PumpEvents(200);
        auto* combo = static_cast<wxChoice*>(dlg.control(kIdTemplateCombo));
        std::vector<std::string> entries;
        for (unsigned i = 0; i < combo->GetCount(); ++i) entries.push_back(combo->GetString(i).utf8_string());
        EXPECT_EQ(entries, (std::vector<std::string>{"网页试衣间[下标]模板", "网页试衣间[上标]模板", "体验模式A类",
                                                     "家居搭配模板A", "说明书模式", "视频播放模板"}));
        dlg.OnSelTemplate(4);
        static_cast<wxTextCtrl*>(dlg.control(kIdOutputFolder))->SetValue(wxString::FromUTF8(output.string()));
        static_cast<wxCheckBox*>(dlg.control(kIdTestAfterBuild))->SetValue(true);
        wxCommandEvent tick(wxEVT_CHECKBOX, kIdTestAfterBuild);
        dlg.ProcessWindowEvent(tick);
        testsupport::ClickOn(dlg.control(kIdStartBuild));
        EXPECT_FALSE(dlg.IsModal()) << "the build ended the dialog";
        result = dlg.GetReturnCode();
    };
    view->RunCommand(kIdWebPage);
    ASSERT_TRUE(seen);
    EXPECT_EQ(result, wxID_OK);
    ASSERT_EQ(m_boxes.shown().size(), 1u);
    EXPECT_NE(m_boxes.shown()[0].text.find("网页模板<说明书模式>"), std::string::npos) << m_boxes.shown()[0].text;
    EXPECT_EQ(m_boxes.shown()[0].caption, "Lumora软件");
    EXPECT_FALSE(fs::exists(output));
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(WebPageWindow, HostileTextsAndTheOtherTemplatesWorkInChromium) {
    ASSERT_TRUE(testsupport::BrowserAvailable()) << "chromium and chromedriver are not installed (tools/setup.sh installs them)";
    CProjectStore& store = CProjectStore::Instance();
    store.SetBaseDir(m_base.path());
    ASSERT_TRUE(store.Open(kSeries));
    ProjectFile& project = store.Project();
    // Texts that break a careless writer, on every part.
    for (int i = 0; i < project.PartCount(); ++i) {
        PartRecord& p = project.parts.at(static_cast<std::size_t>(i));
        if (p.RowType() == 'T') continue;
        p.SetName("\"引号\" \\反斜杠\\\n换行</script>" + std::to_string(i));
        p.SetPrice(i % 2 ? "----" : "5-");
        p.SetWebLink("javascript:alert('x')");
        p.SetVoiceText("say\"\n.wav");
        p.SetAnimationShowLetter('\0');
    }
    const GarmentProbe probe = ProbeFirstGarment(project, m_base.path());
    ASSERT_GE(probe.entry, 0);
    WxPictureWork pictures;
    WebSiteBuild build(m_base.path(), project, pictures);
    WebPageSettings s;
    s.outputFolder = (m_base.path() / "站点").string();
    s.pageFolder = "上标";
    s.pageName = "试衣";
    s.templateName = "网页试衣间[上标]模板";
    s.templateIndex = 1;
    s.texts = {"123\"</script>", "http://shop.example.com/", "", "1:初层为主面"};  // the model worn first
    BuildReport r = build.Build(s);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(testsupport::NodeCheck(r.siteFolder / "java1jsfile" / "Cloths_1.0_kzv.js"), "");
    ExpectDressedInBrowser(m_base.path() / "站点", "上标", "试衣", probe, m_screens / "web-hostile-texts.png");

    // The video page of the same project, with a video.
    m_base.write(fs::path(kSeries) / "videodb" / "clip.webm", "not really a video");
    for (int i = 0; i < project.PartCount(); ++i)
        if (project.parts.at(static_cast<std::size_t>(i)).Category() == 'A') project.parts.at(static_cast<std::size_t>(i)).SetVoiceText("clip.webm");
    s.pageFolder = "视频";
    s.templateName = "视频播放模板";
    s.templateIndex = kVideoTemplateIndex;
    r = build.Build(s);
    ASSERT_TRUE(r.ok()) << r.message;
    testsupport::HttpTestServer server(m_base.path() / "站点");
    const testsupport::BrowserReport v =
        testsupport::CheckPageInBrowser(server.url("/site/" + UrlPath("视频/试衣.htm")), m_screens / "web-video.png",
                                        ".kzv-thumb");
    ASSERT_TRUE(v.driven) << v.failure;
    EXPECT_TRUE(v.errors.empty()) << v.errors.front();
    EXPECT_TRUE(v.broken.empty()) << v.broken.front();
}

// An empty initial-layer text gives the script "Init0FaceCtrl:-49": a valid
// value the page takes as "not the main layer first", as -1. The model is a
// tab of its own then, and Chromium shows the page without an error.
TEST_F(WebPageWindow, AnEmptyInitialLayerPublishesMinus49AndThePageWorksInChromium) {
    ASSERT_TRUE(testsupport::BrowserAvailable()) << "chromium and chromedriver are not installed (tools/setup.sh installs them)";
    CProjectStore& store = CProjectStore::Instance();
    store.SetBaseDir(m_base.path());
    ASSERT_TRUE(store.Open(kSeries));
    WxPictureWork pictures;
    WebSiteBuild build(m_base.path(), store.Project(), pictures);
    WebPageSettings s;
    s.outputFolder = (m_base.path() / "站点").string();
    s.pageFolder = "初层";
    s.pageName = "试衣";
    s.templateName = "网页试衣间[下标]模板";
    s.templateIndex = 0;
    s.texts = {"12345", "http://shop.example.com/", "", ""};
    const BuildReport r = build.Build(s);
    ASSERT_TRUE(r.ok()) << r.message;
    const fs::path script = r.siteFolder / "java1jsfile" / "Cloths_1.0_kzv.js";
    EXPECT_EQ(testsupport::NodeCheck(script), "");
    std::ifstream in(script, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Init0FaceCtrl:-49,"), std::string::npos);

    testsupport::HttpTestServer server(m_base.path() / "站点");
    ASSERT_TRUE(server.running());
    const testsupport::BrowserReport v = testsupport::CheckPageInBrowser(
        server.url("/site/" + UrlPath("初层/试衣.htm")), m_screens / "web-initial-layer-empty.png", ".kzv-thumb");
    ASSERT_TRUE(v.driven) << v.failure;
    EXPECT_TRUE(v.errors.empty()) << v.errors.front();
    EXPECT_TRUE(v.broken.empty()) << v.broken.front();
    EXPECT_FALSE(v.worn.empty()) << "a click on the first thumbnail dresses the stage";
}

}  // namespace
