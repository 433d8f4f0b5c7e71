// The main frame's own menu 129 under a real X server: shown while no child
// window is open, its drop-downs our own menus in the XP look with the
// pictures of toolbar 129, greyed and check items, opened and moved through
// by real keys and clicks; the child menu back when a window opens.
// Screenshot of the open file menu: screens/frame-menu-xp.png.
#include <gtest/gtest.h>

#include <memory>
#include <wx/dialog.h>
#include <wx/menu.h>
#include <wx/settings.h>

#include "platform/ui/menu_bar_hook.h"
#include "platform/ui/popup_menu.h"
#include "shell/base_directory.h"
#include "shell/client_shell.h"
#include "shell/deferred_request.h"
#include "shell/frame_resources.h"
#include "shell/main_frame.h"
#include "shell/sys_info.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/user_input.h"
#include "tests/support/window_test_util.h"
#include "tests/support/x_window_state.h"

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

    testsupport::TempDir tmp;
    ClientShell client;
    CMainFrame* frame = nullptr;
};

// What a step sees of the open drop-down.
struct Seen {
    std::vector<platform::PopupItem> items;
    std::vector<platform::PopupRect> rects;
    int highlighted = -1;
    wxRect screen;
    wxImage pixels;
};

Seen LookAtOpenMenu() {
    Seen seen;
    wxWindow* menu = platform::ui::ActivePopupMenuWindow();
    const platform::PopupMenuModel* m = platform::ui::ActivePopupMenuModel();
    if (!menu || !m) return seen;
    seen.items = m->items();
    for (int i = 0; i < static_cast<int>(seen.items.size()); ++i) seen.rects.push_back(m->ItemRect(i));
    seen.highlighted = m->highlighted();
    seen.screen = testsupport::XStateOf(menu).screen;
    seen.pixels = testsupport::GrabScreenArea(seen.screen);
    return seen;
}

// A drop-down of `count` items is on the screen, holds the keyboard and
// has been painted.
bool DropDownOpen(std::size_t count) {
    wxWindow* menu = platform::ui::ActivePopupMenuWindow();
    const platform::PopupMenuModel* m = platform::ui::ActivePopupMenuModel();
    if (!menu || !m || m->items().size() != count || !testsupport::XStateOf(menu).viewable ||
        !platform::ui::ActivePopupMenuHasKeyboard())
        return false;
    testsupport::DeliverEvents(150);
    return true;
}

bool NoMenuOpen() { return platform::ui::ActivePopupMenuWindow() == nullptr; }

void RunScript(testsupport::XInputScript& script) {
    script.onTimeout = [] {
        if (auto* menu = dynamic_cast<wxDialog*>(platform::ui::ActivePopupMenuWindow())) menu->EndModal(wxID_CANCEL);
    };
    script.Start();
    while (!script.done() && !script.timedOut()) testsupport::DeliverEvents(50);
    testsupport::DeliverEvents(100);
}

wxColour At(const wxImage& img, int x, int y) { return wxColour(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y)); }

TEST_F(DefaultMenuTest, TheFramesOwnMenuDropsDownAsOurOwnMenusInTheXpLook) {
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
    EXPECT_TRUE(frame->defaultMenu().xpLook());
    int fileNew = 0;
    frame->onFileNew = [&] { ++fileNew; };
    testsupport::GiveKeyboardTo(frame);
    testsupport::PumpEvents(200);
    const wxRect fileEntry = platform::ui::MenuBarEntryRect(bar, 0);
    const wxRect viewEntry = platform::ui::MenuBarEntryRect(bar, 1);
    const wxRect helpEntry = platform::ui::MenuBarEntryRect(bar, 2);
    ASSERT_FALSE(fileEntry.IsEmpty());

    // F10 drops the file menu down under its entry, nothing highlighted;
    // Down highlights the first item, Right goes to the view menu (where
    // Down passes over the greyed toolbar command), Left back, Escape closes.
    Seen file, fileDown, view, fileAgain;
    int viewDown = -1;
    bool shot = false;
    {
        testsupport::XInputScript script(100, 20000);
        script
            .Then([&] {
                if (!DropDownOpen(8)) return false;
                file = LookAtOpenMenu();
                testsupport::XPressKey(WXK_DOWN);
                return true;
            })
            .Then([&] {
                if (platform::ui::ActivePopupMenuModel()->highlighted() != 0) return false;
                testsupport::DeliverEvents(150);
                fileDown = LookAtOpenMenu();
                const wxRect area(frame->GetScreenPosition(), wxSize(360, 300));
                shot = testsupport::GrabScreenArea(area).SaveFile(
                    wxString::FromUTF8(testsupport::Screen("frame-menu-xp.png")), wxBITMAP_TYPE_PNG);
                testsupport::XPressKey(WXK_RIGHT);
                return true;
            })
            .Then([&] {
                if (!DropDownOpen(2)) return false;
                view = LookAtOpenMenu();
                testsupport::XPressKey(WXK_DOWN);
                return true;
            })
            .Then([&] {
                viewDown = platform::ui::ActivePopupMenuModel()->highlighted();
                testsupport::XPressKey(WXK_LEFT);
                return true;
            })
            .Then([&] {
                if (!DropDownOpen(8)) return false;
                fileAgain = LookAtOpenMenu();
                testsupport::XPressKey(WXK_ESCAPE);
                return true;
            })
            .Then(NoMenuOpen);
        testsupport::XPressKey(WXK_F10);
        RunScript(script);
        EXPECT_FALSE(script.timedOut());
    }
    ASSERT_EQ(file.items.size(), 8u);
    EXPECT_TRUE(shot);
    EXPECT_EQ(file.screen.GetPosition(), wxPoint(fileEntry.x, fileEntry.GetBottom() + 1));
    EXPECT_EQ(file.highlighted, -1);
    ASSERT_EQ(view.items.size(), 2u);
    EXPECT_EQ(view.screen.GetPosition(), wxPoint(viewEntry.x, viewEntry.GetBottom() + 1));
    EXPECT_EQ(view.highlighted, -1);
    EXPECT_EQ(viewDown, 1);
    EXPECT_FALSE(view.items[0].enabled);
    EXPECT_EQ(fileAgain.screen.GetPosition(), file.screen.GetPosition());

    // What the file menu shows: the resource's items with their states, the
    // separators 3 pixels high, the toolbar's picture of "新建" in the band.
    EXPECT_EQ(file.items[0].text, "新建(&N)\tCtrl+N");
    EXPECT_EQ(file.items[0].id, shell::ID_FILE_NEW);
    for (std::size_t i : {2u, 4u, 6u}) {
        EXPECT_TRUE(file.items[i].separator()) << i;
        EXPECT_EQ(file.rects[i].height, 3) << i;
    }
    EXPECT_FALSE(file.items[5].enabled);  // "最近文件"
    const DTMenu& menu = frame->defaultMenu();
    const controls::DTMenuNode* newNode = menu.model().Find(shell::ID_FILE_NEW);
    ASSERT_NE(newNode, nullptr);
    const wxImage picture = menu.Image(newNode->data.bitmapIndex).ConvertToImage();
    const wxImage& shown = fileDown.pixels;
    ASSERT_TRUE(picture.IsOk() && shown.IsOk());
    const platform::PopupRect first = file.rects[0];
    const int px = first.x + (23 - 16) / 2, py = first.y + (first.height - 15) / 2;
    int opaque = 0, differing = 0;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 16; ++x) {
            if (picture.GetAlpha(x, y) != 255) continue;
            ++opaque;
            // The highlight's light fill lies under the highlighted item's picture.
            differing += At(shown, px + x, py + y) !=
                         wxColour(picture.GetRed(x, y), picture.GetGreen(x, y), picture.GetBlue(x, y));
        }
    EXPECT_GT(opaque, 30);
    EXPECT_EQ(differing, 0);
    // The highlighted item is framed in the highlight colour.
    EXPECT_EQ(At(shown, first.x + 40, first.y), wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT));
    EXPECT_NE(At(file.pixels, first.x + 40, first.y), wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT));
    // An item without a picture: the band's colour where a picture would be.
    const platform::PopupRect exit = file.rects[7];
    EXPECT_EQ(At(shown, exit.x + 11, exit.y + exit.height / 2), At(shown, exit.x + 2, exit.y + 2));

    // Alt+V, then the item's key: the status bar command runs; the next
    // time the item shows checked. A click outside closes the menu.
    {
        testsupport::XInputScript script(100, 20000);
        script
            .Then([&] {
                if (!DropDownOpen(2)) return false;
                testsupport::XPressKey('s');
                return true;
            })
            .Then(NoMenuOpen);
        testsupport::XPressKey('v', wxMOD_ALT);
        RunScript(script);
        EXPECT_FALSE(script.timedOut());
    }
    testsupport::PumpEvents(100);
    EXPECT_TRUE(frame->hiddenStatusBar()->IsShown());
    Seen checked;
    {
        testsupport::XInputScript script(100, 20000);
        script
            .Then([&] {
                if (!DropDownOpen(2)) return false;
                checked = LookAtOpenMenu();
                testsupport::XClickAtScreen(frame->GetScreenRect().GetBottomRight() - wxPoint(200, 200));
                return true;
            })
            .Then(NoMenuOpen);
        testsupport::XClickAtScreen(viewEntry.GetPosition() + wxPoint(6, 6));
        RunScript(script);
        EXPECT_FALSE(script.timedOut());
    }
    ASSERT_EQ(checked.items.size(), 2u);
    EXPECT_TRUE(checked.items[1].checked);
    EXPECT_EQ(checked.highlighted, -1);
    EXPECT_TRUE(frame->hiddenStatusBar()->IsShown());  // the click outside chose nothing

    // The help menu by a click; the pointer onto the file entry takes the
    // file menu down instead; Return there (after Down) gives File-New.
    {
        testsupport::XInputScript script(100, 20000);
        script
            .Then([&] {
                if (!DropDownOpen(1)) return false;
                testsupport::XMovePointer(fileEntry.GetPosition() + wxPoint(8, 6));
                return true;
            })
            .Then([&] {
                if (!DropDownOpen(8)) return false;
                testsupport::XPressKey(WXK_DOWN);
                testsupport::DeliverEvents(100);
                testsupport::XPressKey(WXK_RETURN);
                return true;
            })
            .Then(NoMenuOpen);
        testsupport::XClickAtScreen(helpEntry.GetPosition() + wxPoint(6, 6));
        RunScript(script);
        EXPECT_FALSE(script.timedOut());
    }
    testsupport::PumpEvents(100);
    EXPECT_EQ(fileNew, 1);

    // A window opens: the child windows' menu comes back.
    frame->OpenNewDocument(1);
    testsupport::PumpEvents(100);
    EXPECT_EQ(frame->GetMenuBar(), frame->childMenuBar());
}

}  // namespace
