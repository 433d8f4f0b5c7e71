// The client's main frame under a real X server: start-up, switching the four
// child windows from the side bar and the status strip, notifications, and
// screenshots of each window for people to look at.
#include <gtest/gtest.h>

#include <filesystem>
#include <wx/display.h>
#include <wx/menu.h>

#include "platform/ui/messages.h"
#include "shell/bar_geometry.h"
#include "shell/base_directory.h"
#include "shell/child_frames.h"
#include "shell/client_shell.h"
#include "shell/deferred_request.h"
#include "shell/main_frame.h"
#include "shell/nav_bar.h"
#include "shell/sys_info.h"
#include "shell/title_bar.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

namespace fs = std::filesystem;

namespace {

// A view that records the notifications it receives.
class RecordingView : public wxPanel, public platform::ui::MessageReceiver {
public:
    explicit RecordingView(wxWindow* parent) : wxPanel(parent) {}
    std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t w, std::intptr_t l) override {
        if (id == kWmUser50) received.push_back({static_cast<std::int32_t>(w), static_cast<long>(l)});
        return 0;
    }
    std::vector<std::pair<std::int32_t, long>> received;
};

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell::ResetDeferred();
        shell::ResetSysInfo();
        // The demo base directory, so the pictures show.
        ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase()));
        fs::copy(testsupport::DemoBase(), tmp.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::remove(tmp / "FittoraSysinfo.dm3");
        shell::SetBaseDirectory(tmp.path());
        client.SetViewFactory(1, [this](wxWindow* parent) {
            recorder = new RecordingView(parent);
            return recorder;
        });
        frame = client.Start();
        frame->ShowMaximised();
        testsupport::PumpEvents(300);
    }
    void TearDown() override {
        frame->Destroy();
        testsupport::PumpEvents(50);
        shell::ResetDeferred();
    }

    // Clicks the middle of side-bar tab i.
    void ClickTab(int i) {
        const auto tabs = shell::NavTabs(frame->navBar()->lineHeight());
        frame->navBar()->ClickAt(10, (tabs[i].hit.top + tabs[i].hit.bottom) / 2);
        testsupport::PumpEvents(150);
    }
    wxString ActiveCaption() { return frame->client()->ActiveChild()->caption(); }
    // The template index (0-3) of the child window shown, -1 for none.
    int ShownWindow() {
        const auto* active = frame->client()->ActiveChild();
        for (int t = 0; active && t < 4; ++t)
            if (client.templates().at(static_cast<std::size_t>(t)) == active->docTemplate()) return t;
        return -1;
    }

    testsupport::TempDir tmp;
    ClientShell client;
    CMainFrame* frame = nullptr;
    RecordingView* recorder = nullptr;
};

TEST_F(MainFrameTest, StartsOnTheShowStage) {
    EXPECT_EQ(client.templates().at(0)->documents().size(), 1u);
    EXPECT_EQ(ActiveCaption(), wxString::FromUTF8("新品展台"));
    EXPECT_EQ(frame->GetTitle(), wxString::FromUTF8("Lumora服饰搭配试衣软件2012"));
    EXPECT_FALSE(frame->hiddenStatusBar()->IsShown());
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(2), "-----");
    EXPECT_EQ(frame->GetRect(), wxDisplay(frame).GetClientArea());
    // Start-up leaves nothing pending: the status strip answers the first click.
    EXPECT_EQ(shell::Deferred().pending, ' ');
    EXPECT_EQ(fs::file_size(tmp / "FittoraSysinfo.dm3"), 1756u);
    // A second File-New opens nothing.
    client.OnFileNew();
    EXPECT_EQ(client.templates().at(0)->documents().size(), 1u);
}

TEST_F(MainFrameTest, SideBarSwitchesTheFourWindows) {
    const char* letters = "ABCD";
    for (int i : {1, 2, 3, 0}) {
        ClickTab(i);
        EXPECT_EQ(shell::Deferred().current, letters[i]);
        EXPECT_EQ(ActiveCaption(), wxString::FromUTF8(kChildCaptions[i]));
        EXPECT_EQ(frame->navBar()->currentTab(), i);
        // The child fills the client area.
        EXPECT_EQ(frame->client()->ActiveChild()->GetSize(), frame->client()->GetClientSize());
        testsupport::SaveWindowScreenshot(frame, std::string(testsupport::Screen("fittora-")) + letters[i] + ".png");
    }
    for (int t = 0; t < 4; ++t) EXPECT_EQ(client.templates().at(t)->documents().size(), 1u) << t;
    // The current tab again stores nothing.
    shell::Deferred().code = 0;
    ClickTab(0);
    EXPECT_EQ(shell::Deferred().code, 0);
}

TEST_F(MainFrameTest, StatusStripFollowsTheCurrentWindow) {
    auto* strip = frame->titleBar();
    const auto area = [](int i) { return shell::TitleBarArea(i); };
    strip->ClickAt(area(0).left + 5, 10);  // area 0: nothing
    EXPECT_EQ(ActiveCaption(), wxString::FromUTF8("新品展台"));
    strip->ClickAt(area(1).left + 5, 10);
    testsupport::PumpEvents(100);
    EXPECT_EQ(ActiveCaption(), wxString::FromUTF8("试衣搭配"));
    strip->ClickAt(area(2).left + 5, 10);  // from area 1 straight to the measurement space
    testsupport::PumpEvents(100);
    EXPECT_EQ(ActiveCaption(), wxString::FromUTF8("个性空间"));
    // The side bar moved the window: both bars show it.
    ClickTab(3);
    EXPECT_EQ(strip->currentArea(), 3);
    strip->ClickAt(area(3).left + 5, 10);  // the current area again: nothing
    EXPECT_EQ(client.templates().at(3)->documents().size(), 1u);
}

TEST_F(MainFrameTest, NotificationsReachTheFittingRoomViews) {
    shell::Deferred().Store(66601003);  // not open yet: only opens it
    testsupport::PumpEvents(100);
    ASSERT_NE(recorder, nullptr);
    EXPECT_TRUE(recorder->received.empty());
    shell::Deferred().Store(66601003);
    EXPECT_EQ(recorder->received, (std::vector<std::pair<std::int32_t, long>>{{66601003, 1001}}));
}

TEST_F(MainFrameTest, ClosedWindowOpensAgainOnRequest) {
    ClickTab(1);
    frame->RunCommand(ID_CLOSE_CHILD);
    testsupport::PumpEvents(100);
    EXPECT_TRUE(client.templates().at(1)->documents().empty());
    EXPECT_EQ(ActiveCaption(), wxString::FromUTF8("新品展台"));
    ClickTab(0);
    ClickTab(1);
    EXPECT_EQ(client.templates().at(1)->documents().size(), 1u);
    EXPECT_EQ(ActiveCaption(), wxString::FromUTF8("试衣搭配"));
}

// Ctrl+F4 as the frame's accelerator table turns it into a command (the X
// server of the tests gives no window the keyboard without a window manager).
void PressCtrlF4(CMainFrame* frame) {
    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.m_keyCode = WXK_F4;
    key.m_controlDown = true;
    const int command = frame->GetAcceleratorTable()->GetCommand(key);
    ASSERT_EQ(CommandOfMenuItem(command), ID_CLOSE_CHILD);
    wxCommandEvent menu(wxEVT_MENU, command);
    frame->GetEventHandler()->ProcessEvent(menu);
    testsupport::PumpEvents(200);
}

TEST_F(MainFrameTest, EachClosedWindowReopensWithOneClickOnItsTabOrStripArea) {
    for (int i : {1, 2, 3, 0}) ClickTab(i);
    auto* strip = frame->titleBar();
    const auto docs = [this](int t) { return client.templates().at(static_cast<std::size_t>(t))->documents().size(); };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        if (frame->navBar()->currentTab() != i) ClickTab(i);
        ASSERT_EQ(ActiveCaption(), wxString::FromUTF8(kChildCaptions[i]));
        PressCtrlF4(frame);
        ASSERT_EQ(docs(i), 0u);
        // Both bars mark the window shown now, not the closed one.
        const int shown = ShownWindow();
        EXPECT_NE(shown, i);
        EXPECT_EQ(frame->navBar()->currentTab(), shown);
        EXPECT_EQ(strip->currentArea(), shown);
        ClickTab(i);  // one click
        EXPECT_EQ(docs(i), 1u);
        EXPECT_EQ(ActiveCaption(), wxString::FromUTF8(kChildCaptions[i]));
        EXPECT_EQ(frame->navBar()->currentTab(), i);
        if (i == 0) continue;  // area 0 of the strip does nothing
        PressCtrlF4(frame);
        ASSERT_EQ(docs(i), 0u);
        strip->ClickAt(shell::TitleBarArea(i).left + 5, 10);  // one click
        testsupport::PumpEvents(150);
        EXPECT_EQ(docs(i), 1u);
        EXPECT_EQ(ActiveCaption(), wxString::FromUTF8(kChildCaptions[i]));
        EXPECT_EQ(strip->currentArea(), i);
    }
    for (int t = 0; t < 4; ++t) EXPECT_EQ(docs(t), 1u) << t;
    testsupport::SaveWindowScreenshot(strip, testsupport::Screen("fittora-status-strip.png"));

    // Closing the windows one by one: the bars follow the window shown, and
    // mark none once the last is closed.
    while (frame->client()->ActiveChild()) {
        PressCtrlF4(frame);
        EXPECT_EQ(frame->navBar()->currentTab(), ShownWindow());
        EXPECT_EQ(strip->currentArea(), ShownWindow());
    }
    EXPECT_EQ(frame->navBar()->currentTab(), -1);
}

}  // namespace
