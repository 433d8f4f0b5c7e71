// "摄像头拍照" from the client's menu: the command binds the real camera
// module, whose dialog is looked at here under Xvfb and closed. This machine
// has no camera, so the dialog shows our message and keeps "拍照" disabled.
// Afterwards the client still has its picture handlers and draws on.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/stattext.h>
#include <wx/time.h>
#include <wx/timer.h>

#include <filesystem>

#include "camera/lensory_dlg.h"
#include "camera/photo_names.h"
#include "shell/base_directory.h"
#include "shell/client_shell.h"
#include "shell/deferred_request.h"
#include "shell/download_record.h"
#include "shell/main_frame.h"
#include "shell/sys_info.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

namespace fs = std::filesystem;

namespace {

bool MachineHasVideoNodes() {
    std::error_code ec;
    for (fs::directory_iterator it("/dev", ec), end; !ec && it != end; it.increment(ec))
        if (it->path().filename().string().rfind("video", 0) == 0) return true;
    return false;
}

// Looks at the module's dialog from a timer while the command waits in it,
// then presses "关闭".
class CameraDialogDriver {
public:
    explicit CameraDialogDriver(std::string screenshot) : m_screenshot(std::move(screenshot)) {
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Step(); });
        m_timer.Start(50);
        m_deadline = wxGetLocalTimeMillis() + 20000;
    }
    ~CameraDialogDriver() { m_timer.Stop(); }

    bool seen = false, timedOut = false;
    wxString caption, message;
    bool messageShown = false, shotEnabled = true, openEnabled = true;

private:
    void Step() {
        wxDialog* dlg = nullptr;
        for (wxWindow* w : wxTopLevelWindows)
            if (w->GetName() == kLensoryDlgName && w->IsShown()) dlg = dynamic_cast<wxDialog*>(w);
        if (!dlg || m_closing) return;
        if (wxGetLocalTimeMillis() > m_deadline) {
            timedOut = true;
            dlg->EndModal(wxID_CANCEL);
            return;
        }
        if (++m_ticks < 4) return;  // let it paint
        seen = true;
        caption = dlg->GetTitle();
        wxWindow* msg = dlg->FindWindow(IDC_VIDEO_MESSAGE);
        messageShown = msg && msg->IsShown();
        message = msg ? msg->GetLabel() : wxString();
        shotEnabled = dlg->FindWindow(IDC_SHOT) && dlg->FindWindow(IDC_SHOT)->IsEnabled();
        openEnabled = dlg->FindWindow(IDC_OPEN_CAMERA) && dlg->FindWindow(IDC_OPEN_CAMERA)->IsEnabled();
        if (!m_screenshot.empty()) testsupport::SaveWindowScreenshot(dlg, m_screenshot);
        m_closing = true;
        wxWindow* close = dlg->FindWindow(wxID_CANCEL);
        wxCommandEvent click(wxEVT_BUTTON, wxID_CANCEL);
        click.SetEventObject(close);
        close->GetEventHandler()->ProcessEvent(click);
    }

    std::string m_screenshot;
    wxTimer m_timer;
    wxLongLong m_deadline;
    int m_ticks = 0;
    bool m_closing = false;
};

class CameraCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        cwd = std::make_unique<testsupport::ScopedCwd>(base.path());
        shell::ResetDeferred();
        shell::ResetSysInfo();
        shell::ResetDLoadRec();
        shell::SetBaseDirectory(base.path());
        frame = client.Start();
        ASSERT_NE(frame, nullptr);
        frame->ShowMaximised();
        testsupport::PumpEvents(200);
    }
    void TearDown() override {
        if (frame) frame->Destroy();
        testsupport::PumpEvents(50);
        cwd.reset();
        shell::ResetDeferred();
    }

    const fs::path buildDir = testsupport::BuildDir();
    testsupport::TempDir base;
    std::unique_ptr<testsupport::ScopedCwd> cwd;
    ClientShell client;
    CMainFrame* frame = nullptr;
};

TEST_F(CameraCommandTest, OpensTheCaptureDialogFromTheModule) {
    const std::string shot = (buildDir / "screens" / "lensory-fittora-no-camera.png").string();
    for (int round = 0; round < 2; ++round) {  // the dialog opens again in the same process
        SCOPED_TRACE(round);
        CameraDialogDriver driver(round == 0 ? shot : std::string());
        frame->RunCommand(ID_CAMERA);
        EXPECT_FALSE(driver.timedOut);
        ASSERT_TRUE(driver.seen) << "the command opened no capture dialog";
        EXPECT_EQ(driver.caption, wxString::FromUTF8("摄像头拍照 < " + base.path().string() + " >"));
        if (MachineHasVideoNodes()) continue;  // a machine with a camera lists it instead
        EXPECT_TRUE(driver.messageShown);
        EXPECT_EQ(driver.message, wxString::FromUTF8(std::string(camera::kNoCameraText)));
        EXPECT_FALSE(driver.shotEnabled);
        EXPECT_FALSE(driver.openEnabled);
    }
    // The client draws on: its picture handlers are all still there.
    for (auto type : {wxBITMAP_TYPE_PNG, wxBITMAP_TYPE_JPEG, wxBITMAP_TYPE_BMP, wxBITMAP_TYPE_GIF})
        EXPECT_NE(wxImage::FindHandler(type), nullptr);
    EXPECT_TRUE(frame->IsShown());
    testsupport::PumpEvents(100);
}

}  // namespace
