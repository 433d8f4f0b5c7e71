// The project download from end to end: the client's "下载试衣图片" command
// writes the request, binds the real download module, whose dialog is driven
// here under Xvfb against a loopback server (a name chosen, the download
// started), then the client reads the result and unpacks the package. The
// unpacked project is compared byte for byte with the project the shop
// packed.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <wx/button.h>
#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/time.h>
#include <wx/timer.h>

#include "platform/ui/message_box.h"
#include "project_editor/project_file.h"
#include "shell/base_directory.h"
#include "shell/client_shell.h"
#include "shell/data_package.h"
#include "shell/deferred_request.h"
#include "shell/download_record.h"
#include "shell/main_frame.h"
#include "shell/sys_info.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/http_test_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"
#include "transfer/download_dlg.h"

namespace fs = std::filesystem;
using testsupport::ReadAll;
using testsupport::TempDir;

namespace {

std::vector<unsigned char> Picture(int seed, std::size_t size) {
    std::vector<unsigned char> b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<unsigned char>(i * 13 + static_cast<std::size_t>(seed));
    return b;
}

std::map<std::string, std::vector<unsigned char>> FilesUnder(const fs::path& root) {
    std::map<std::string, std::vector<unsigned char>> out;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) out[e.path().lexically_relative(root).string()] = ReadAll(e.path());
    return out;
}

std::string Str(const std::vector<unsigned char>& b) { return std::string(b.begin(), b.end()); }

wxDialog* FindDownloadDialog() {
    for (wxWindow* w : wxTopLevelWindows) {
        if (w->GetName() == kDownloadDlgName && w->IsShown()) return dynamic_cast<wxDialog*>(w);
    }
    return nullptr;
}

// Drives the module's dialog from a timer while the command waits in it:
// choose `row`, press "数据下载", and take a picture while the bar moves.
class DialogDriver {
public:
    DialogDriver(int row, std::string screenshot) : m_row(row), m_screenshot(std::move(screenshot)) {
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Step(); });
        m_timer.Start(30);
        m_deadline = wxGetLocalTimeMillis() + 30000;
    }
    ~DialogDriver() { m_timer.Stop(); }

    bool sawList = false, pressed = false, sawProgress = false, timedOut = false;
    wxString listedName;

private:
    void Step() {
        wxDialog* dlg = FindDownloadDialog();
        if (!dlg) return;
        if (wxGetLocalTimeMillis() > m_deadline) {  // never leave the test hanging in the dialog
            timedOut = true;
            dlg->EndModal(wxID_CANCEL);
            return;
        }
        auto* list = dynamic_cast<wxListCtrl*>(dlg->FindWindow(IDC_DOWNLOAD_LIST));
        auto* gauge = dynamic_cast<wxGauge*>(dlg->FindWindow(DownloadDlgWindowId(IDC_DOWNLOAD_PROGRESS)));
        auto* start = dynamic_cast<wxButton*>(dlg->FindWindow(DownloadDlgWindowId(IDC_DOWNLOAD_START)));
        if (!list || !gauge || !start) return;
        if (!sawList) {
            if (list->GetItemText(0, 1).empty()) return;
            sawList = true;
            listedName = list->GetItemText(m_row, 1);
            list->SetItemState(m_row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                               wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
            return;
        }
        if (!pressed) {
            if (!start->IsEnabled()) return;
            pressed = true;
            wxCommandEvent click(wxEVT_BUTTON, start->GetId());
            click.SetEventObject(start);
            start->GetEventHandler()->ProcessEvent(click);
            return;
        }
        if (!sawProgress && gauge->GetValue() >= 30 && gauge->GetValue() < 100) {
            sawProgress = true;
            if (!m_screenshot.empty()) testsupport::SaveWindowScreenshot(dlg, m_screenshot);
        }
    }

    int m_row;
    std::string m_screenshot;
    wxTimer m_timer;
    wxLongLong m_deadline;
};

class DownloadFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        screenshot = (testsupport::ScreensDir() / "download-dialog.png").string();
        // The shop packs its project.
        {
            auto project = std::make_unique<project_editor::ProjectFile>();
            project->SetPartCount(2);
            project->parts[0].SetName("红色上衣");
            const auto bytes = project_editor::WriteProjectBytes(*project);
            shop.write(fs::path("KZV网页项目文件") / "春季新款.dm3", std::vector<unsigned char>(bytes.begin(), bytes.end()));
        }
        const fs::path p = fs::path("服饰搭配自定试衣项目") / "春季新款";
        shop.write(p / "试衣及按钮图片" / "红色上衣.png", Picture(1, 250000));
        shop.write(p / "试衣及按钮图片" / "空白.png", std::vector<unsigned char>{});
        shop.write(p / "音乐及语音" / "音乐.mp3", Picture(2, 60000));
        shop.write(p / "展示及说明图片" / "说明.jpg", Picture(3, 9000));
        shell::CDataPackage packer;
        packer.SetDirectories(shop.path());
        ASSERT_TRUE(packer.Pack("春季新款")) << packer.GetLastErrorText();

        // Its web host lists the package and a broken one.
        site.write("dressDLoad2010/FittoraProjLst.htm", std::string("\xB4\xBA\xBC\xBE\xD0\xC2\xBF\xEE.rar,broken.rar,\r\n"));
        site.write(fs::path("dressDLoad2010") / std::string("\xB4\xBA\xBC\xBE\xD0\xC2\xBF\xEE.rar"),
                   ReadAll(packer.PackagePath("春季新款")));
        site.write("dressDLoad2010/broken.rar", std::string("<html><body>this is no package</body></html>"));
        server = std::make_unique<testsupport::HttpTestServer>(site.path());
        ASSERT_TRUE(server->running());

        // The customer's installation, with the host in its profile.
        for (const char* folder : {"服饰搭配下载专区", "KZV网页项目文件", "服饰搭配自定试衣项目"})
            fs::create_directories(base / folder);
        cwd = std::make_unique<testsupport::ScopedCwd>(base.path());
        auto* profile = new wxFileConfig("Fittora", "", (base / "profile.ini").string(), "", wxCONFIG_USE_LOCAL_FILE);
        profile->Write(wxString::FromUTF8(shell::kDownloadHostKey.data(), shell::kDownloadHostKey.size()),
                       wxString(server->url("/slow")));
        delete wxConfigBase::Set(profile);

        shell::ResetDeferred();
        shell::ResetSysInfo();
        shell::ResetDLoadRec();
        shell::ResetDataPackage();
        shell::SetBaseDirectory(base.path());
        frame = client.Start();
        ASSERT_NE(frame, nullptr);
        frame->ShowMaximised();
        testsupport::PumpEvents(200);
    }
    void TearDown() override {
        if (frame) frame->Destroy();
        testsupport::PumpEvents(50);
        delete wxConfigBase::Set(nullptr);
        cwd.reset();
        shell::ResetDeferred();
    }

    // Runs the command with the dialog driven to download list row `row`.
    void RunDownload(int row, const std::string& shot = {}) {
        DialogDriver driver(row, shot);
        frame->RunCommand(ID_DOWNLOAD_PROJECTS);
        EXPECT_FALSE(driver.timedOut);
        EXPECT_TRUE(driver.sawList);
        EXPECT_TRUE(driver.pressed);
        lastListed = driver.listedName;
        sawProgress = driver.sawProgress;
    }

    TempDir shop, site, base;
    std::string screenshot;
    std::unique_ptr<testsupport::HttpTestServer> server;
    std::unique_ptr<testsupport::ScopedCwd> cwd;
    ClientShell client;
    CMainFrame* frame = nullptr;
    wxString lastListed;
    bool sawProgress = false;
};

TEST_F(DownloadFlowTest, TheCommandDownloadsAndInstallsAProject) {
    platform::ui::MessageBoxRecorder boxes;
    const wxMenuBar* bar = frame->GetMenuBar();
    EXPECT_TRUE(bar->IsEnabled(MenuItemId(ID_DOWNLOAD_PROJECTS)));

    RunDownload(0, screenshot);
    EXPECT_EQ(lastListed, wxString::FromUTF8("春季新款.rar"));
    EXPECT_TRUE(sawProgress);
    EXPECT_TRUE(fs::exists(screenshot));
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown().front().text;

    // The request went out for the project list, and came back answered.
    const auto record = ReadAll(base / "服饰搭配下载专区" / "fittoraDLoadRec.3if");
    ASSERT_EQ(record.size(), 572u);
    EXPECT_EQ(record[0], 'B');
    EXPECT_EQ(record[1], 'Y');
    const std::string address(reinterpret_cast<const char*>(record.data()) + 8);
    EXPECT_EQ(address, server->url("/slow/dressDLoad2010/FittoraProjLst.htm"));
    EXPECT_EQ(ReadAll(base / "服饰搭配下载专区" / "春季新款.rar"),
              ReadAll(shop / "服饰搭配上传数据专区" / "春季新款.rar"));

    // The project is installed as the shop packed it.
    EXPECT_EQ(ReadAll(base / "KZV网页项目文件" / "春季新款.dm3"), ReadAll(shop / "KZV网页项目文件" / "春季新款.dm3"));
    EXPECT_EQ(FilesUnder(base / "服饰搭配自定试衣项目" / "春季新款"),
              FilesUnder(shop / "服饰搭配自定试衣项目" / "春季新款"));

    // Again: the project exists, the client asks, No keeps it as it is.
    base.write(fs::path("服饰搭配自定试衣项目") / "春季新款" / "音乐及语音" / "音乐.mp3", std::string("changed here"));
    boxes.QueueAnswer(platform::MbResult::No);
    RunDownload(0);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "下载的试衣项目已存在!是否更新?");
    EXPECT_EQ(boxes.shown()[0].buttons, platform::MbButtons::YesNo);
    EXPECT_EQ(Str(ReadAll(base / "服饰搭配自定试衣项目" / "春季新款" / "音乐及语音" / "音乐.mp3")), "changed here");

    // A download that is no package: the package's error text is shown and
    // nothing is installed.
    RunDownload(1);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[1].text, "文件数据出错!!");
    EXPECT_EQ(std::distance(fs::directory_iterator(base / "服饰搭配自定试衣项目"), fs::directory_iterator()), 1);
}

}  // namespace
