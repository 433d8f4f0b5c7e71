// The transfer dialog's window menu and About box under a real X server: a
// right click on the dialog's background and Alt+Space show the menu with
// the About entry; the menu holds the keyboard while it is open (Escape
// closes it, "A" and Return choose); choosing the entry maps the About box
// with the program's icon, name and version; Escape and "确定" close it.
#include "transfer/tranzel_about.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "platform/ui/popup_menu.h"
#include "platform/ui/resources.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/user_input.h"
#include "tests/support/window_test_util.h"
#include "tests/support/x_window_state.h"
#include "transfer/tranzel_dlg.h"

#include <X11/Xlib.h>

using testsupport::TempDir;

namespace {

// Whether the X server shows (maps) a top-level window titled `title`.
bool XShowsWindowTitled(const std::string& title) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    bool shown = false;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !shown; ++i) {
            Atom type = 0;
            int format = 0;
            unsigned long n = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, children[i], name, 0, 1024, False, utf8, &type, &format, &n, &after, &data) !=
                    0 ||
                !data)
                continue;
            const bool titled = std::string(reinterpret_cast<char*>(data), n) == title;
            XFree(data);
            XWindowAttributes attrs{};
            shown = titled && XGetWindowAttributes(display, children[i], &attrs) && attrs.map_state == IsViewable;
        }
        if (children) XFree(children);
    }
    XCloseDisplay(display);
    return shown;
}

void RunScript(testsupport::XInputScript& script) {
    while (!script.done() && !script.timedOut()) testsupport::DeliverEvents(50);
    testsupport::DeliverEvents(100);
}

// What the About box shows, read while it is open.
struct AboutSeen {
    bool mapped = false;
    std::vector<std::string> texts;
    std::string caption;
    int iconPixels = 0;         // opaque pixels of icon 128 compared on the screen
    int iconPixelsDiffering = 0;
};

AboutSeen Look(transfer::CAboutDlg* about, const wxImage& icon) {
    AboutSeen seen;
    seen.caption = about->GetTitle().utf8_string();
    seen.mapped = XShowsWindowTitled(seen.caption);
    for (wxWindow* child : about->GetChildren()) {
        if (auto* text = dynamic_cast<wxStaticText*>(child)) seen.texts.push_back(text->GetLabel().utf8_string());
        if (auto* button = dynamic_cast<wxButton*>(child)) seen.texts.push_back(button->GetLabel().utf8_string());
        if (auto* picture = dynamic_cast<wxStaticBitmap*>(child)) {
            const wxRect r = picture->GetScreenRect();
            const wxImage shown = testsupport::GrabScreenArea(wxRect(r.GetPosition(), icon.GetSize()));
            if (!shown.IsOk()) continue;
            for (int y = 0; y < icon.GetHeight(); ++y)
                for (int x = 0; x < icon.GetWidth(); ++x) {
                    if (icon.HasAlpha() && icon.GetAlpha(x, y) != 255) continue;
                    ++seen.iconPixels;
                    seen.iconPixelsDiffering += shown.GetRed(x, y) != icon.GetRed(x, y) ||
                                                shown.GetGreen(x, y) != icon.GetGreen(x, y) ||
                                                shown.GetBlue(x, y) != icon.GetBlue(x, y);
                }
        }
    }
    return seen;
}

void ClickItem(wxWindow* menu, const platform::PopupMenuModel& model, int index) {
    const platform::PopupRect r = model.ItemRect(index);
    testsupport::XPointTo(menu, wxPoint(r.x + r.width / 2, r.y + r.height / 2));
    testsupport::DeliverEvents(80);
    testsupport::XLeftClick();
}

// What a step that timed out leaves open: the About box, the window menu.
void EndAboutBoxAndMenu() {
    if (auto* about = testsupport::FindShownDialog<transfer::CAboutDlg>()) about->EndModal(wxID_CANCEL);
    if (auto* menu = dynamic_cast<wxDialog*>(platform::ui::ActivePopupMenuWindow())) menu->EndModal(wxID_CANCEL);
}

// The window menu is on the screen and holds the keyboard.
bool MenuOpenWithKeyboard() {
    wxWindow* menu = platform::ui::ActivePopupMenuWindow();
    return menu && testsupport::XStateOf(menu).viewable && platform::ui::ActivePopupMenuHasKeyboard();
}

}  // namespace

TEST(TranzelAbout, TheWindowMenuOpensTheAboutBoxByRightClickAndAltSpace) {
    const auto iconFile = platform::ui::ResourceDir() / "icon" / "128.png";
    ASSERT_TRUE(testsupport::FixtureExists(iconFile));
    wxImage icon;
    ASSERT_TRUE(icon.LoadFile(wxString::FromUTF8(iconFile.string()), wxBITMAP_TYPE_PNG));
    TempDir base;
    auto* dlg = new CTranzelDlg(nullptr, base.path());
    dlg->Show();
    dlg->Raise();
    testsupport::PumpEvents(300);
    const std::vector<std::string> expectedTexts = {"Tranzel 1.0 版", "Lumora文件上传下载专用工具",
                                                    "版权所有 (C) 2012-2026 Lumora", "确定"};

    const wxPoint background = dlg->ConvertDialogToPixels(wxPoint(153, 60));

    // The keyboard is in another program's window when the user right-clicks
    // the background: Escape still goes to the open menu and closes it.
    {
        testsupport::ForeignFocusWindow other;
        ASSERT_TRUE(other.ok());
        unsigned long menuWindow = 0;
        bool unmapped = false, heldWhileOpen = false;
        testsupport::XInputScript script(100, 20000);
        script
            .Then([&] {
                if (!MenuOpenWithKeyboard()) return false;
                menuWindow = testsupport::XWindowOf(platform::ui::ActivePopupMenuWindow());
                heldWhileOpen = testsupport::KeyboardHeld();
                testsupport::XPressKey(WXK_ESCAPE);
                return true;
            })
            .Then([&] {
                unmapped = platform::ui::ActivePopupMenuWindow() == nullptr;
                return unmapped;
            });
        script.onTimeout = EndAboutBoxAndMenu;
        script.Start();
        testsupport::XPointTo(dlg, background);
        testsupport::DeliverEvents(80);
        wxUIActionSimulator().MouseClick(wxMOUSE_BTN_RIGHT);
        RunScript(script);
        EXPECT_FALSE(script.timedOut()) << "Escape did not close the window menu";
        EXPECT_NE(menuWindow, 0u);
        EXPECT_TRUE(unmapped);
        EXPECT_FALSE(testsupport::FindShownDialog<transfer::CAboutDlg>());
        // Open, the menu held the keyboard; closed, it holds it no longer.
        EXPECT_TRUE(heldWhileOpen);
        EXPECT_FALSE(testsupport::KeyboardHeld());
    }

    // A right click on the background (between the account column and the
    // list), then the entry chosen with the mouse; Escape closes the box.
    {
        std::vector<platform::PopupItem> items;
        AboutSeen seen;
        bool closed = false;
        testsupport::XInputScript script(100, 30000);
        script
            .Then([&] {
                wxWindow* menu = platform::ui::ActivePopupMenuWindow();
                if (!menu || !menu->IsShown()) return false;
                testsupport::DeliverEvents(200);
                items = platform::ui::ActivePopupMenuModel()->items();
                const wxRect around = menu->GetScreenRect().Inflate(60, 40);
                testsupport::GrabScreenArea(around).SaveFile(
                    wxString::FromUTF8(testsupport::Screen("tranzel-window-menu.png")), wxBITMAP_TYPE_PNG);
                if (!items.empty()) ClickItem(menu, *platform::ui::ActivePopupMenuModel(), 0);
                return true;
            })
            .Then([&] {
                auto* about = testsupport::FindShownDialog<transfer::CAboutDlg>();
                if (!about || !XShowsWindowTitled(about->GetTitle().utf8_string())) return false;
                testsupport::DeliverEvents(300);  // placed and painted
                seen = Look(about, icon);
                testsupport::SaveWindowScreenshot(about, testsupport::Screen("tranzel-about.png"));
                // What a window manager does as the box comes up: it gets
                // the keyboard, "确定" the focus. Then Escape.
                testsupport::XPointTo(about);
                testsupport::GiveKeyboardTo(about);
                about->FindWindow(wxID_OK)->SetFocus();
                testsupport::DeliverEvents(100);
                testsupport::XKey(WXK_ESCAPE);
                return true;
            })
            .Then([&] {
                closed = !testsupport::FindShownDialog<transfer::CAboutDlg>();
                return closed;
            });
        script.onTimeout = EndAboutBoxAndMenu;
        script.Start();
        testsupport::XPointTo(dlg, background);
        testsupport::DeliverEvents(80);
        wxUIActionSimulator().MouseClick(wxMOUSE_BTN_RIGHT);
        RunScript(script);
        EXPECT_FALSE(script.timedOut());
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].id, 16);
        EXPECT_EQ(items[0].text, "关于 Tranzel(&A)...");
        EXPECT_TRUE(seen.mapped);
        EXPECT_EQ(seen.caption, "关于“Lumora文件上传下载专用工具”");
        EXPECT_EQ(seen.texts, expectedTexts);
        EXPECT_GT(seen.iconPixels, 600);
        EXPECT_EQ(seen.iconPixelsDiffering, 0);
        EXPECT_TRUE(closed);
        EXPECT_FALSE(XShowsWindowTitled("关于“Lumora文件上传下载专用工具”"));
        EXPECT_TRUE(dlg->IsShown());
    }

    // Alt+Space, then the entry's key "A", or Down and Return; "确定" closes
    // the box.
    for (const char* keys : {"A", "\n"}) {
        SCOPED_TRACE(keys);
        std::vector<platform::PopupItem> items;
        AboutSeen seen;
        bool closed = false;
        testsupport::XInputScript script(100, 30000);
        script
            .Then([&] {
                if (!MenuOpenWithKeyboard()) return false;
                wxWindow* menu = platform::ui::ActivePopupMenuWindow();
                items = platform::ui::ActivePopupMenuModel()->items();
                // Where the window menu opens: the dialog's top-left corner.
                EXPECT_EQ(menu->GetScreenPosition(), dlg->ClientToScreen(wxPoint(0, 0)));
                if (keys[0] == '\n') {
                    testsupport::XPressKey(WXK_DOWN);
                    testsupport::DeliverEvents(100);
                    testsupport::XPressKey(WXK_RETURN);
                } else {
                    testsupport::XPressKey(keys[0]);
                }
                return true;
            })
            .Then([&] {
                auto* about = testsupport::FindShownDialog<transfer::CAboutDlg>();
                if (!about || !XShowsWindowTitled(about->GetTitle().utf8_string())) return false;
                testsupport::DeliverEvents(300);
                seen = Look(about, icon);
                testsupport::XPointTo(about->FindWindow(wxID_OK));
                testsupport::DeliverEvents(80);
                testsupport::XLeftClick();
                return true;
            })
            .Then([&] {
                closed = !testsupport::FindShownDialog<transfer::CAboutDlg>();
                return closed;
            });
        script.onTimeout = EndAboutBoxAndMenu;
        script.Start();
        // Typing in the server's field, the user asks for the window menu.
        testsupport::ClickOn(dlg->serverEdit());
        testsupport::XPressKey(WXK_SPACE, wxMOD_ALT);
        RunScript(script);
        EXPECT_FALSE(script.timedOut());
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].id, 16);
        EXPECT_TRUE(seen.mapped);
        EXPECT_EQ(seen.texts, expectedTexts);
        EXPECT_EQ(seen.iconPixelsDiffering, 0);
        EXPECT_TRUE(closed);
        EXPECT_TRUE(dlg->IsShown());
    }
    dlg->Destroy();
    testsupport::PumpEvents(50);
}
