// The main frame's own menu 129 under a real X server: shown while no child
// window is open, its commands with the pictures of toolbar 129, greyed and
// check items, and the child menu back when a window opens. Screenshot of the
// open file menu: screens/menu-default-file.png.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <wx/menu.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "shell/base_directory.h"
#include "shell/client_shell.h"
#include "shell/deferred_request.h"
#include "shell/frame_resources.h"
#include "shell/main_frame.h"
#include "shell/sys_info.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

namespace fs = std::filesystem;

namespace {

class DefaultMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell::ResetDeferred();
        shell::ResetSysInfo();
        shell::SetBaseDirectory(tmp.path());
        frame = client.Start();
        ASSERT_NE(frame, nullptr);
        frame->ShowMaximised();
        testsupport::PumpEvents(300);
    }
    void TearDown() override {
        if (frame) frame->Destroy();
        testsupport::PumpEvents(50);
        shell::ResetDeferred();
    }
    wxMenuItem* Item(int command) { return frame->GetMenuBar()->FindItem(DefaultMenuItemId(command)); }

    testsupport::TempDir tmp;
    ClientShell client;
    CMainFrame* frame = nullptr;
};

TEST_F(DefaultMenuTest, ShowsTheToolbarPicturesWhileNoWindowIsOpen) {
    // The show stage is open: the child windows' menu.
    EXPECT_EQ(frame->GetMenuBar(), frame->childMenuBar());
    frame->RunCommand(ID_CLOSE_CHILD);
    testsupport::PumpEvents(100);
    ASSERT_TRUE(frame->client()->children().empty());
    wxMenuBar* bar = frame->GetMenuBar();
    ASSERT_EQ(bar, frame->defaultMenuBar());
    ASSERT_EQ(bar->GetMenuCount(), 3u);
    EXPECT_EQ(bar->GetMenuLabel(0), wxString::FromUTF8("文件(&F)"));
    EXPECT_EQ(bar->GetMenuLabel(2), wxString::FromUTF8("帮助(&H)"));

    // Pictures by command: new, open and about are on the toolbar; print
    // setup, exit and the view commands are not.
    for (int command : {shell::ID_FILE_NEW, shell::ID_FILE_OPEN, shell::ID_APP_ABOUT}) {
        ASSERT_NE(Item(command), nullptr) << command;
        EXPECT_TRUE(Item(command)->GetBitmap().IsOk()) << command;
        EXPECT_EQ(Item(command)->GetBitmap().GetSize(), wxSize(16, 15)) << command;
    }
    for (int command : {shell::ID_FILE_PRINT_SETUP, shell::ID_APP_EXIT, shell::ID_VIEW_STATUS_BAR}) {
        ASSERT_NE(Item(command), nullptr) << command;
        EXPECT_FALSE(Item(command)->GetBitmap().IsOk()) << command;
    }
    // The picture's ground colour is transparent.
    const wxImage newPicture = Item(shell::ID_FILE_NEW)->GetBitmap().ConvertToImage();
    ASSERT_TRUE(newPicture.HasAlpha());
    EXPECT_EQ(newPicture.GetAlpha(0, 0), 0);
    EXPECT_GT(newPicture.GetAlpha(8, 8), 0);
    // Separators, greyed items, mnemonics and the accelerator as the resource gives them.
    wxMenu* file = bar->GetMenu(0);
    ASSERT_EQ(file->GetMenuItemCount(), 8u);
    EXPECT_TRUE(file->FindItemByPosition(2)->IsSeparator());
    EXPECT_TRUE(file->FindItemByPosition(4)->IsSeparator());
    EXPECT_FALSE(Item(shell::ID_FILE_MRU_FILE1)->IsEnabled());
    EXPECT_FALSE(Item(shell::ID_VIEW_TOOLBAR)->IsEnabled());
    EXPECT_EQ(Item(shell::ID_FILE_NEW)->GetItemLabelText(), wxString::FromUTF8("新建"));
    const std::unique_ptr<wxAcceleratorEntry> accel(Item(shell::ID_FILE_NEW)->GetAccel());  // the caller owns it
    ASSERT_TRUE(accel);
    EXPECT_EQ(accel->ToString(), "Ctrl+N");
    // The status bar command shows the hidden status bar and checks itself.
    EXPECT_TRUE(Item(shell::ID_VIEW_STATUS_BAR)->IsCheckable());
    frame->RunCommand(shell::ID_VIEW_STATUS_BAR);
    frame->UpdateWindowUI();
    EXPECT_TRUE(frame->hiddenStatusBar()->IsShown());
    EXPECT_TRUE(Item(shell::ID_VIEW_STATUS_BAR)->IsChecked());
    frame->RunCommand(shell::ID_VIEW_STATUS_BAR);
    frame->UpdateWindowUI();
    EXPECT_FALSE(Item(shell::ID_VIEW_STATUS_BAR)->IsChecked());

    // Open the file menu from the menu bar, as a user does, and take a picture.
    bool shot = false;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        wxRect area(frame->GetScreenPosition(), wxSize(420, 320));
        const wxImage screen = testsupport::GrabScreenArea(area);
        if (screen.IsOk()) {
            shot = screen.SaveFile(testsupport::Screen("menu-default-file.png"), wxBITMAP_TYPE_PNG);
        }
        wxUIActionSimulator sim;
        sim.Char(WXK_ESCAPE);
    });
    timer.StartOnce(600);
    // Keyboard use: F10 opens the menu bar's first menu.
    wxUIActionSimulator sim;
    frame->Raise();
    frame->SetFocus();
    testsupport::PumpEvents(100);
    sim.KeyDown(WXK_F10);
    sim.KeyUp(WXK_F10);
    testsupport::PumpEvents(1200);
    EXPECT_TRUE(shot);
    EXPECT_TRUE(fs::exists(testsupport::Screen("menu-default-file.png")));

    // A window opens: the child windows' menu comes back.
    frame->OpenNewDocument(1);
    testsupport::PumpEvents(100);
    EXPECT_EQ(frame->GetMenuBar(), frame->childMenuBar());
}

}  // namespace
