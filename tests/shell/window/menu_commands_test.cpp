// The client's menu and bars under a real X server, driven as a user drives
// them: clicks on the side bar, the menu bar opened with F10 and walked with
// the arrow keys, dialogs closed with their own buttons. The guide command
// tells the fitting room to refresh when it is the current window, and
// File-Open with every window closed gives one show stage, however the show
// stage is asked for afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/menu.h>
#include <wx/panel.h>

#include "platform/ui/messages.h"
#include "platform/ui/popup_menu.h"
#include "shell/bar_geometry.h"
#include "shell/child_frames.h"
#include "shell/base_directory.h"
#include "shell/client_shell.h"
#include "shell/deferred_request.h"
#include "shell/guide_dlg.h"
#include "shell/main_frame.h"
#include "shell/nav_bar.h"
#include "shell/sys_info.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"
#include "tests/support/user_input.h"
#include "tests/support/x_window_state.h"

namespace fs = std::filesystem;

namespace {

// A view that records the notifications it receives.
class RecordingView : public wxPanel, public platform::ui::MessageReceiver {
public:
    explicit RecordingView(wxWindow* parent) : wxPanel(parent) {}
    std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t w, std::intptr_t) override {
        if (id == kWmUser50) received.push_back(static_cast<std::int32_t>(w));
        return 0;
    }
    std::vector<std::int32_t> received;
};

wxDialog* ShownDialog() {
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* d = dynamic_cast<wxDialog*>(w); d && d->IsShown()) return d;
    return nullptr;
}

// The entry of `bar` whose drop-down is open with the keyboard (-1 for none)
// and the position of its highlighted item: one of ours, or the desktop's.
int DropDownShown(wxMenuBar* bar, int* highlighted = nullptr) {
    const platform::PopupMenuModel* ours = platform::ui::ActivePopupMenuModel();
    if (!ours) {
        const int entry = testsupport::DesktopDropDownShown(bar, highlighted);
        return entry >= 0 && testsupport::KeyboardHeld() ? entry : -1;
    }
    if (highlighted) *highlighted = ours->highlighted();
    if (!platform::ui::ActivePopupMenuHasKeyboard() ||
        !testsupport::XStateOf(platform::ui::ActivePopupMenuWindow()).viewable || ours->items().empty())
        return -1;
    for (std::size_t entry = 0; entry < bar->GetMenuCount(); ++entry) {
        const wxMenu* menu = bar->GetMenu(entry);
        const platform::PopupItem& first = ours->items()[0];
        if (menu->GetMenuItemCount() == ours->items().size() &&
            menu->FindItemByPosition(0)->GetItemLabel().utf8_string() == first.text)
            return static_cast<int>(entry);
    }
    return -1;
}

// A script step that presses `key` until drop-down `entry` of `bar` is open
// (with item `highlighted` highlighted, when not -1), pressing it again when
// the menu has not followed in a second and a half.
testsupport::XInputScript::Step KeyUntil(wxMenuBar* bar, int key, int entry, int highlighted = -1) {
    auto pressedAt = std::make_shared<wxLongLong>(0);
    auto settled = std::make_shared<int>(0);
    return [=] {
        int shownHighlight = -1;
        if (DropDownShown(bar, &shownHighlight) == entry && (highlighted < 0 || shownHighlight == highlighted))
            return ++*settled > 2;  // a few ticks for the menu to settle before the next key
        const wxLongLong now = wxGetLocalTimeMillis();
        if (*pressedAt == 0 || now - *pressedAt > 1500) {
            testsupport::XPressKey(key);
            *pressedAt = now;
        }
        return false;
    };
}

class MenuCommands : public ::testing::Test {
protected:
    void SetUp() override {
        shell::ResetDeferred();
        shell::ResetSysInfo();
        ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "服饰搭配使用说明"));
        fs::copy(testsupport::DemoBase() / "服饰搭配使用说明", tmp / "服饰搭配使用说明", fs::copy_options::recursive);
        shell::SetBaseDirectory(tmp.path());
        client.SetViewFactory(1, [this](wxWindow* parent) {
            recorder = new RecordingView(parent);
            return recorder;
        });
        frame = client.Start();
        ASSERT_NE(frame, nullptr);
        frame->ShowMaximised();
        frame->Raise();
        testsupport::PumpEvents(300);
    }
    void TearDown() override {
        if (frame) frame->Destroy();
        testsupport::PumpEvents(50);
        shell::ResetDeferred();
    }

    // A click through the X server on side-bar tab i.
    void ClickTab(int i) {
        const auto tabs = shell::NavTabs(frame->navBar()->lineHeight());
        testsupport::XPointTo(frame->navBar(), wxPoint(10, (tabs[i].hit.top + tabs[i].hit.bottom) / 2));
        testsupport::PumpEvents(60);
        testsupport::XLeftClick();
        testsupport::PumpEvents(300);
    }
    // Opens the menu bar with F10 (its first menu, no item selected yet),
    // moves `right` menus on, selects item `item` (0 the first) with the
    // arrow keys and chooses it with Enter; `script` drives the dialog the
    // command opens, in the dialog's own loop, until it is done.
    void ChooseFromMenu(int right, int item, testsupport::XInputScript& script) {
        script.Start();
        testsupport::XPointTo(frame->client());
        testsupport::PumpEvents(60);
        // The keys from a timer, on the server's keyboard: with every window
        // closed the frame's own menu drops down as a menu of ours, whose loop
        // runs until they come; the child windows' menu bar is the desktop's.
        // Each key is pressed once the drop-down shows what the key before
        // it asked for, and again should the drop-down not follow it: a busy
        // desktop menu drops a key that comes while it changes drop-downs.
        wxMenuBar* bar = frame->GetMenuBar();
        testsupport::XInputScript keys(60, 20000);
        keys.Then(KeyUntil(bar, WXK_F10, 0));
        for (int i = 1; i <= right; ++i) keys.Then(KeyUntil(bar, WXK_RIGHT, i));
        // The items before `item` are enabled commands: each Down is one on.
        for (int i = 0; i <= item; ++i) keys.Then(KeyUntil(bar, WXK_DOWN, right, i));
        keys.Do([] { testsupport::XPressKey(WXK_RETURN); });
        keys.Start();
        const wxLongLong end = wxGetLocalTimeMillis() + 20000;
        while (!script.done() && !script.timedOut() && wxGetLocalTimeMillis() < end) testsupport::PumpEvents(50);
        testsupport::PumpEvents(200);
        EXPECT_FALSE(script.timedOut());
    }
    // The same for a command whose dialog is looked at by `inside` and then
    // closed with a click on its button `close`; true when it opened.
    bool ChooseFromMenu(int right, int item, int close, std::function<void(wxDialog&)> inside = {}) {
        bool sawDialog = false;
        testsupport::XInputScript script;
        script.Then([&] {
            wxDialog* dlg = ShownDialog();
            if (!dlg) return false;
            sawDialog = true;
            if (inside) inside(*dlg);
            wxWindow* button = dlg->FindWindow(close);
            EXPECT_NE(button, nullptr) << "no button " << close << " in " << dlg->GetTitle().utf8_string();
            if (!button) {
                dlg->EndModal(wxID_CANCEL);
                return true;
            }
            testsupport::XPointTo(button);
            return true;
        });
        script.Do([] { testsupport::XLeftClick(); });
        script.onTimeout = [] {
            if (wxDialog* dlg = ShownDialog(); dlg && dlg->IsModal()) dlg->EndModal(wxID_CANCEL);
        };
        ChooseFromMenu(right, item, script);
        return sawDialog;
    }

    testsupport::TempDir tmp;
    ClientShell client;
    CMainFrame* frame = nullptr;
    RecordingView* recorder = nullptr;
};

// "帮助" is the seventh menu of the child windows' menu bar, "操作指引" its
// first item.
constexpr int kHelpMenu = 6;

TEST_F(MenuCommands, TheGuideRefreshesTheFittingRoomWhenItIsCurrent) {
    ClickTab(1);
    ASSERT_EQ(frame->client()->ActiveChild()->caption(), wxString::FromUTF8("试衣搭配"));
    ASSERT_NE(recorder, nullptr);
    recorder->received.clear();
    EXPECT_TRUE(ChooseFromMenu(kHelpMenu, 0, wxID_CANCEL, [](wxDialog& dlg) {
        EXPECT_NE(dynamic_cast<CDlgGuide*>(&dlg), nullptr);
    }));
    EXPECT_EQ(recorder->received, (std::vector<std::int32_t>{shell::kRequestRefreshDressRoom}));

    // With the show stage current the guide asks for nothing.
    ClickTab(0);
    recorder->received.clear();
    shell::Deferred().code = 0;
    EXPECT_TRUE(ChooseFromMenu(kHelpMenu, 0, wxID_CANCEL));
    EXPECT_TRUE(recorder->received.empty());
    EXPECT_EQ(shell::Deferred().code, 0);
}

// Ctrl+F4 through the frame's accelerator table (the command the key gives).
void CloseCurrentChild(CMainFrame* frame) {
    frame->RunCommand(ID_CLOSE_CHILD);
    testsupport::PumpEvents(200);
}

TEST_F(MenuCommands, FileOpenWithEveryWindowClosedGivesOneShowStage) {
    const fs::path file = tmp / "open-me.txt";
    tmp.write("open-me.txt", std::string("x"));
    CloseCurrentChild(frame);
    ASSERT_TRUE(frame->client()->children().empty());
    ASSERT_EQ(frame->GetMenuBar(), frame->defaultMenuBar());
    auto& shows = client.templates().at(0)->documents();

    // 文件 -> 打开, a file typed into the desktop's file dialog (the
    // toolkit's own window, which runs a loop of its own: the keys wait until
    // it is shown and has the keyboard, and it is cancelled should the script
    // not get through).
    static constexpr const char* kChooser = "GtkFileChooserDialog";
    testsupport::XInputScript script;
    script.Then([] { return testsupport::FocusDesktopDialog(kChooser); })
        .Do([] { testsupport::XKey('L', wxMOD_CONTROL); })
        .Do([&] { testsupport::XType(file.c_str()); })
        .Do([] { testsupport::XKey(WXK_RETURN); })
        .Then([] { return !testsupport::DesktopDialogShown(kChooser); });
    script.onTimeout = [] { testsupport::CancelDesktopDialogs(kChooser); };
    ChooseFromMenu(0, 1, script);  // "打开", the second item of "文件"
    ASSERT_FALSE(script.timedOut());
    ASSERT_EQ(shows.size(), 1u);
    EXPECT_EQ(frame->client()->ActiveChild()->caption(), wxString::FromUTF8("新品展台"));
    EXPECT_EQ(frame->navBar()->currentTab(), 0);

    // The show stage's tab, and a way there and back: still one show stage.
    ClickTab(0);
    EXPECT_EQ(shows.size(), 1u);
    ClickTab(1);
    ClickTab(0);
    EXPECT_EQ(shows.size(), 1u);
    EXPECT_EQ(frame->client()->ActiveChild()->caption(), wxString::FromUTF8("新品展台"));
}

}  // namespace
