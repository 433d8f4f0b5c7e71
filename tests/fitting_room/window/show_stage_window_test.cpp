// Window A under a real X server with the demo base directory: the
// "Workspace" bar with the show-stage form, the demo show playing on its
// timer (screenshots screens/show-1.png ... show-5.png), a click ending it,
// and the start-up switch. The show download runs the real download module
// against a loopback server and says where the file went.
#include <gtest/gtest.h>

#include <filesystem>
#include <wx/checkbox.h>
#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/listctrl.h>
#include <wx/button.h>
#include <wx/notebook.h>
#include <wx/time.h>
#include <wx/timer.h>

#include "controls/control_bar.h"
#include "fitting_room/show_child_frame.h"
#include "fitting_room/show_stage_form.h"
#include "platform/sound/sound.h"
#include "platform/text.h"
#include "platform/ui/message_box.h"
#include "shell/base_directory.h"
#include "shell/client_shell.h"
#include "shell/deferred_request.h"
#include "shell/download_record.h"
#include "shell/fittora_view.h"
#include "shell/main_frame.h"
#include "shell/sys_info.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/http_test_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"
#include "transfer/download_dlg.h"

namespace fs = std::filesystem;

namespace {

bool SameImage(const wxImage& a, const wxImage& b) {
    return a.IsOk() && b.IsOk() && a.GetSize() == b.GetSize() &&
           std::equal(a.GetData(), a.GetData() + 3 * a.GetWidth() * a.GetHeight(), b.GetData());
}

class ShowStageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "服饰发布展台图片/KZV动画描述.txt"));
        fs::copy(testsupport::DemoBase(), base.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::remove(base / "FittoraSysinfo.dm3");
        screens = testsupport::ScreensDir();
        fs::create_directories(screens);
        cwd = std::make_unique<testsupport::ScopedCwd>(base.path());
        shell::ResetDeferred();
        shell::ResetSysInfo();
        shell::ResetDLoadRec();
        fitting_room::ResetShowStageTables();
        DlgImgedtFormview::ResetRunOnce();
        shell::SetBaseDirectory(base.path());
    }
    void Start(int autoStartMs) {
        client.SetFrameFactory(0, [autoStartMs](platform::ui::MdiClient* c) -> platform::ui::MdiChildFrame* {
            return CMWinFram_ImageEdtChdWnd::Make(c, [](wxWindow* p) { return new CFittoraView(p); }, autoStartMs);
        });
        frame = client.Start();
        ASSERT_NE(frame, nullptr);
        frame->ShowMaximised();
        testsupport::PumpEvents(300);
        showFrame = dynamic_cast<CMWinFram_ImageEdtChdWnd*>(frame->client()->ActiveChild());
        ASSERT_NE(showFrame, nullptr);
        form = showFrame->form();
        ASSERT_NE(form, nullptr);
    }
    void TearDown() override {
        if (frame) frame->Destroy();
        testsupport::PumpEvents(50);
        platform::sound::Stop();
        cwd.reset();
        shell::ResetDeferred();
    }

    testsupport::TempDir base;
    fs::path screens;
    std::unique_ptr<testsupport::ScopedCwd> cwd;
    ClientShell client;
    CMainFrame* frame = nullptr;
    CMWinFram_ImageEdtChdWnd* showFrame = nullptr;
    DlgImgedtFormview* form = nullptr;
};

TEST_F(ShowStageWindowTest, PlaysTheDemoShowOnItsTimerAndStopsOnAClick) {
    Start(300);
    // The bar docks on the left with the form as its page "OutBar".
    CQxTabControlBar* bar = showFrame->bar();
    EXPECT_EQ(bar->side(), controls::DockSide::Left);
    EXPECT_EQ(bar->GetSize().x, 566);
    ASSERT_EQ(bar->pages().size(), 1u);
    EXPECT_EQ(bar->pages()[0].name, "OutBar");
    EXPECT_EQ(bar->pages()[0].view, form);
    EXPECT_EQ(showFrame->view()->GetPosition().x, 566);
    EXPECT_EQ(bar->GetLabel(), "Workspace");
    // A first start: the show starts by itself; the box is clear.
    EXPECT_FALSE(form->autostartBox()->GetValue());
    EXPECT_EQ(form->stageRect(), wxRect(12, 12, 520, 390));
    const auto& tables = fitting_room::ShowStageTables();
    EXPECT_EQ(tables.sceneCount, 6);
    EXPECT_EQ(tables.pictures.names[0], "红裙模特");

    // Playing: the frames follow each other on the timer while the window
    // keeps answering; the actors move between the pictures taken.
    for (int i = 0; i < 200 && form->playState() != kShowPlaying; ++i) testsupport::PumpEvents(20);
    ASSERT_EQ(form->playState(), kShowPlaying);
    EXPECT_EQ(form->timerCounter(), 1);
    for (int k = 0; k < 5; ++k) EXPECT_TRUE(form->PictureLoaded(k)) << k;
    EXPECT_EQ(tables.pictures.states[0], 'y');
    std::vector<wxImage> frames;
    std::vector<int> counters;
    // A shot is taken once the show has moved on since the last one: the
    // script holds its poses for 1.2 s and more, so a fixed pause between
    // shots could land twice in one pose on a loaded machine.
    for (int shot = 1; shot <= 5; ++shot) {
        testsupport::PumpEvents(shot == 1 ? 400 : 300);
        for (int waited = 0; !counters.empty() && form->frameCounter() <= counters.back() && waited < 5000; waited += 20)
            testsupport::PumpEvents(20);
        ASSERT_EQ(form->playState(), kShowPlaying) << shot;
        frames.push_back(form->currentFrame().ConvertToImage());
        counters.push_back(form->frameCounter());
        EXPECT_TRUE(testsupport::SaveWindowScreenshot(
            form, (screens / ("show-" + std::to_string(shot) + ".png")).string()));
        if (shot == 2) {
            EXPECT_TRUE(testsupport::SaveWindowScreenshot(frame, (screens / "show-window-A.png").string()));
        }
    }
    for (std::size_t i = 1; i < frames.size(); ++i) {
        EXPECT_GT(counters[i], counters[i - 1]) << i;
        EXPECT_FALSE(SameImage(frames[i], frames[i - 1])) << "frame " << i << " shows the same picture";
    }
    // The mouse is never captured: the showcase beside it answers.
    EXPECT_EQ(wxWindow::GetCapture(), nullptr);

    // A click on the stage ends the show; the still stage comes back.
    wxMouseEvent click(wxEVT_LEFT_DOWN);
    click.SetPosition(wxPoint(100, 100));
    click.SetEventObject(form);
    form->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(form->playState(), kShowEnded);
    EXPECT_FALSE(platform::sound::IsPlaying());
    const int stopped = form->frameCounter();
    testsupport::PumpEvents(400);
    EXPECT_EQ(form->frameCounter(), stopped);
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(form, (screens / "show-still.png").string()));
}

TEST_F(ShowStageWindowTest, StartUpSwitchIsStoredAndKeepsTheShowStill) {
    shell::SysInfo().SetDirectory(base.path());
    shell::SysInfo().LoadOrCreate();
    shell::SysInfo().SetShowAutostart(' ');
    Start(50);
    testsupport::PumpEvents(300);
    EXPECT_TRUE(form->autostartBox()->GetValue());
    EXPECT_EQ(form->playState(), kShowConstructed);  // not armed
    form->autostartBox()->SetValue(false);
    form->OnStopAutostart();
    EXPECT_EQ(shell::SysInfo().GetShowAutostart(), 'Y');
    form->autostartBox()->SetValue(true);
    form->OnStopAutostart();
    EXPECT_EQ(shell::SysInfo().GetShowAutostart(), ' ');
    // Closing the window while armed leaves nothing running.
    form->ArmShow(10000);
    frame->RunCommand(ID_CLOSE_CHILD);
    testsupport::PumpEvents(100);
    EXPECT_TRUE(frame->client()->children().empty());
}

TEST_F(ShowStageWindowTest, ShowDownloadLandsInTheDownloadFolderAndSaysWhere) {
    testsupport::TempDir site;
    const std::string name = "\xB4\xBA\xBC\xBE\xD0\xE3.rar";  // 春季秀.rar in GBK
    site.write("dressDLoad2010/kzvTShowProjLst.htm", name + ",");
    site.write(fs::path("dressDLoad2010") / name, testsupport::PatternBytes(70000));
    testsupport::HttpTestServer server(site.path());
    ASSERT_TRUE(server.running());
    auto* profile = new wxFileConfig("Fittora", "", (base / "profile.ini").string(), "", wxCONFIG_USE_LOCAL_FILE);
    profile->Write(wxString::FromUTF8(shell::kDownloadHostKey.data(), shell::kDownloadHostKey.size()),
                   wxString(server.url("/files")));
    delete wxConfigBase::Set(profile);

    shell::SysInfo().SetDirectory(base.path());
    shell::SysInfo().LoadOrCreate();
    shell::SysInfo().SetShowAutostart(' ');
    Start(50);
    platform::ui::MessageBoxRecorder boxes;
    bool picked = false, pressed = false, timedOut = false;
    const wxLongLong deadline = wxGetLocalTimeMillis() + 30000;
    wxTimer driver;
    driver.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxWindow* w : wxTopLevelWindows) {
            auto* dlg = dynamic_cast<wxDialog*>(w);
            if (!dlg || dlg->GetName() != kDownloadDlgName || !dlg->IsShown()) continue;
            if (wxGetLocalTimeMillis() > deadline) {  // never leave the test hanging in the dialog
                timedOut = true;
                if (auto* status = dlg->FindWindow(DownloadDlgWindowId(32781))) ADD_FAILURE() << status->GetLabel();
                dlg->EndModal(wxID_CANCEL);
                return;
            }
            auto* list = dynamic_cast<wxListCtrl*>(dlg->FindWindow(IDC_DOWNLOAD_LIST));
            auto* start = dynamic_cast<wxButton*>(dlg->FindWindow(DownloadDlgWindowId(IDC_DOWNLOAD_START)));
            if (!list || !start) return;
            if (!picked) {
                if (list->GetItemText(0, 1).empty()) return;
                picked = true;
                list->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                                   wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
            } else if (!pressed && start->IsEnabled()) {
                pressed = true;
                wxCommandEvent e(wxEVT_BUTTON, start->GetId());
                e.SetEventObject(start);
                start->GetEventHandler()->ProcessEvent(e);
            }
        }
    });
    driver.Start(30);
    form->OnDownloadShows();
    driver.Stop();
    EXPECT_FALSE(timedOut);
    EXPECT_TRUE(picked);
    EXPECT_TRUE(pressed);
    // The request named the show list; the file lies in the download folder
    // and is not installed; the user is told where it is.
    const auto record = testsupport::ReadAll(base / "服饰搭配下载专区" / "fittoraDLoadRec.3if");
    ASSERT_EQ(record.size(), 572u);
    EXPECT_EQ(record[0], 'A');
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data()) + 8),
              server.url("/files/dressDLoad2010/kzvTShowProjLst.htm"));
    EXPECT_EQ(record[1], 'Y');
    EXPECT_EQ(testsupport::ReadAll(base / "服饰搭配下载专区" / "春季秀.rar"), testsupport::PatternBytes(70000));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find("服饰搭配下载专区/春季秀.rar"), std::string::npos) << boxes.shown()[0].text;
    EXPECT_EQ(fitting_room::ShowStageTables().pictures.names[0], "红裙模特");  // the show is unchanged
    delete wxConfigBase::Set(nullptr);
}

}  // namespace
