// The owner-drawn menu's drop-downs under a real X server, in both looks: a
// click on the bar entry opens our own menu under it, measured by the menu's
// rules (3-pixel separators in the XP look, half the menu height in the
// classic one) and drawn with the bitmap band, the toolbar's pictures and
// embossed disabled items. Screenshots: screens/dtmenu-xp.png and
// screens/dtmenu-classic.png.
#include <gtest/gtest.h>

#include <wx/dcmemory.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/settings.h>

#include "controls/dt_menu.h"
#include "platform/ui/menu_bar_hook.h"
#include "platform/ui/popup_menu.h"
#include "platform/ui/resources.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/user_input.h"
#include "tests/support/window_test_util.h"
#include "tests/support/x_window_state.h"

using namespace controls;

namespace {

constexpr int kMenuId = 9129;
constexpr int kToolbarId = 9129;

MenuTemplate TwoDropDowns() {
    return {
        {kMfPopup, 0, "文件(&F)"},
        {0, 100, "新建(&N)\tCtrl+N"},
        {0, 0, ""},
        {kMfGrayed, 101, "打开(&O)"},
        {kMfGrayed, 103, "另存为(&A)"},
        {kMfEnd, 102, "退出(&X)"},
        {kMfPopup | kMfEnd, 0, "帮助(&H)"},
        {kMfEnd, 200, "关于(&A)"},
    };
}

wxColour Sys(wxSystemColour c) { return wxSystemSettings::GetColour(c); }
wxColour Lighten(const wxColour& c, double f) {
    auto up = [f](unsigned char v) { return static_cast<unsigned char>(v + (255 - v) * f + 0.5); };
    return wxColour(up(c.Red()), up(c.Green()), up(c.Blue()));
}
wxColour At(const wxImage& img, int x, int y) { return wxColour(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y)); }
// Pixels of colour `c` in `r`; with `near`, also the text's smoothed edge
// pixels close to it.
int Count(const wxImage& img, const wxRect& r, const wxColour& c, int near = 0) {
    int n = 0;
    for (int y = r.y; y < r.GetBottom() + 1; ++y)
        for (int x = r.x; x < r.GetRight() + 1; ++x) {
            const wxColour p = At(img, x, y);
            n += std::abs(p.Red() - c.Red()) + std::abs(p.Green() - c.Green()) + std::abs(p.Blue() - c.Blue()) <= near;
        }
    return n;
}

struct Shown {
    std::vector<platform::PopupItem> items;
    std::vector<platform::PopupRect> rects;
    wxSize clientSize, xSize;
    wxPoint position;
    wxImage pixels;  // what the X server shows of the menu
    wxImage around;  // and of the frame's corner with it
};

// Clicks the first bar entry, reads the open drop-down, closes it with Escape.
Shown OpenFirstDropDown(wxFrame* frame, wxMenuBar* bar) {
    Shown shown;
    testsupport::XInputScript script(100, 15000);
    script
        .Then([&] {
            wxWindow* menu = platform::ui::ActivePopupMenuWindow();
            if (!menu || !testsupport::XStateOf(menu).viewable || !platform::ui::ActivePopupMenuHasKeyboard())
                return false;
            testsupport::DeliverEvents(150);
            const platform::PopupMenuModel* m = platform::ui::ActivePopupMenuModel();
            shown.items = m->items();
            for (int i = 0; i < static_cast<int>(m->items().size()); ++i) shown.rects.push_back(m->ItemRect(i));
            shown.clientSize = menu->GetClientSize();
            shown.xSize = testsupport::XStateOf(menu).screen.GetSize();
            shown.position = testsupport::XStateOf(menu).screen.GetPosition();
            shown.pixels = testsupport::GrabScreenArea(testsupport::XStateOf(menu).screen);
            shown.around = testsupport::GrabScreenArea(wxRect(frame->GetScreenPosition(), wxSize(400, 300)));
            testsupport::XPressKey(WXK_ESCAPE);
            return true;
        })
        .Then([] { return platform::ui::ActivePopupMenuWindow() == nullptr; });
    script.onTimeout = [] {
        if (auto* menu = dynamic_cast<wxDialog*>(platform::ui::ActivePopupMenuWindow())) menu->EndModal(wxID_CANCEL);
    };
    script.Start();
    testsupport::XClickAtScreen(platform::ui::MenuBarEntryRect(bar, 0).GetPosition() + wxPoint(8, 6));
    while (!script.done() && !script.timedOut()) testsupport::DeliverEvents(50);
    EXPECT_FALSE(script.timedOut()) << "the drop-down did not open or did not close on Escape";
    return shown;
}

}  // namespace

TEST(DTMenuDropDown, MeasuresItemsInBothLooks) {
    ASSERT_TRUE(testsupport::FixtureExists(platform::ui::ResourceDir() / "bitmap" / "129.png"));
    RegisterMenuResource(kMenuId, TwoDropDowns());
    RegisterToolbarResource(kToolbarId, ToolbarResource{129, 16, 15, {100, 101}});
    for (const bool xp : {true, false}) {
        SCOPED_TRACE(xp ? "XP look" : "classic look");
        DTMenu menu;
        menu.SetXpLook(xp ? 1 : 0, xp ? 1 : 0);
        ASSERT_TRUE(menu.LoadMenu(kMenuId));
        ASSERT_TRUE(menu.LoadToolbars({kToolbarId}));
        ASSERT_EQ(menu.xpLook(), xp);
        auto* frame = new wxFrame(nullptr, wxID_ANY, "menu", wxPoint(60, 60), wxSize(500, 360));
        wxMenuBar* bar = menu.CreateMenuBar([](int c) { return c; });
        frame->SetMenuBar(bar);
        menu.AttachDropDowns(frame, bar, [](int c) { return c; });
        frame->Show();
        testsupport::WaitUntilPlaced(frame);
        testsupport::PumpEvents(200);

        const Shown shown = OpenFirstDropDown(frame, bar);
        ASSERT_EQ(shown.items.size(), 5u);
        ASSERT_TRUE(shown.around.IsOk());
        shown.around.SaveFile(wxString::FromUTF8(testsupport::Screen(xp ? "dtmenu-xp.png" : "dtmenu-classic.png")),
                      wxBITMAP_TYPE_PNG);

        // The sizes the menu's measure gives, in the menu font.
        wxMemoryDC dc;
        wxBitmap probe(8, 8);
        dc.SelectObject(probe);
        dc.SetFont(platform::ui::PopupMenuFont());
        const int cyMenu = DTMenu::MenuHeight(dc);
        int widest = 0, total = 0;
        for (std::size_t i = 0; i < shown.items.size(); ++i) {
            const platform::PopupItem& it = shown.items[i];
            const MenuItemSize size = MeasureMenuItem(it.separator(), xp, true,
                                                      it.separator() ? 0 : DTMenu::ItemTextWidth(dc, it.text), cyMenu);
            EXPECT_EQ(shown.rects[i].height, size.height) << i;
            widest = std::max(widest, size.width);
            total += size.height;
        }
        EXPECT_EQ(shown.rects[1].height, xp ? 3 : std::max(19 / 2, cyMenu / 2));  // the separator
        EXPECT_EQ(shown.rects[0].height, std::max(cyMenu, xp ? 22 : 19));
        const wxSize expected(widest + 2 * platform::PopupMenuModel::kFrame, total + 2 * platform::PopupMenuModel::kFrame);
        EXPECT_EQ(shown.clientSize, expected);
        EXPECT_EQ(shown.xSize, expected);  // what the X server shows
        // Under the bar entry.
        const wxRect entry = platform::ui::MenuBarEntryRect(bar, 0);
        EXPECT_EQ(shown.position, wxPoint(entry.x, entry.GetBottom() + 1));

        ASSERT_TRUE(shown.pixels.IsOk());
        const wxImage& img = shown.pixels;
        const platform::PopupRect sep = shown.rects[1];
        const platform::PopupRect first = shown.rects[0];
        if (xp) {
            // The band at the left, the line of the separator right of it.
            const wxColour band = Lighten(Sys(wxSYS_COLOUR_BTNFACE), 0.25);
            const wxColour back = Lighten(Sys(wxSYS_COLOUR_WINDOW), 0.02);
            EXPECT_EQ(At(img, sep.x + 1, sep.y + 1), band);
            EXPECT_EQ(At(img, 1, img.GetHeight() - 2), band);  // from top to bottom
            EXPECT_EQ(At(img, sep.x + 40, sep.y), back);
            EXPECT_EQ(At(img, sep.x + 40, sep.y + 1), Sys(wxSYS_COLOUR_BTNSHADOW));
            EXPECT_EQ(At(img, sep.x + 40, sep.y + 2), back);
            EXPECT_EQ(At(img, img.GetWidth() - 1, 5), Sys(wxSYS_COLOUR_BTNSHADOW));  // the frame
        } else {
            // Etched across the middle: shade over light, on the menu colour.
            const int mid = sep.y + sep.height / 2 - 1;
            EXPECT_EQ(At(img, sep.x + 40, mid), Sys(wxSYS_COLOUR_BTNSHADOW));
            EXPECT_EQ(At(img, sep.x + 40, mid + 1), Sys(wxSYS_COLOUR_BTNHIGHLIGHT));
            EXPECT_EQ(At(img, sep.x + 40, sep.y), Sys(wxSYS_COLOUR_MENU));
        }

        // "新建" shows image 0 of the toolbar in its picture box.
        const int box = 16 + (xp ? 7 : 4);
        const wxImage picture = menu.Image(0).ConvertToImage();
        ASSERT_TRUE(picture.IsOk());
        const int px = first.x + (box - 16) / 2, py = first.y + (first.height - 15) / 2;
        int opaque = 0, differing = 0;
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 16; ++x) {
                if (picture.GetAlpha(x, y) != 255) continue;
                ++opaque;
                differing += At(img, px + x, py + y) !=
                             wxColour(picture.GetRed(x, y), picture.GetGreen(x, y), picture.GetBlue(x, y));
            }
        EXPECT_GT(opaque, 30);
        EXPECT_EQ(differing, 0);

        // "打开" is greyed with a picture, "另存为" without: no text in the menu
        // text colour but greyed (XP) or embossed (classic); the picture
        // embossed, its shape in the shade with a light copy below right.
        for (std::size_t i : {2u, 3u}) {
            const platform::PopupRect r = shown.rects[i];
            const wxRect text(r.x + box + 4, r.y, 30, r.height);
            EXPECT_EQ(Count(img, text, Sys(wxSYS_COLOUR_MENUTEXT), 60), 0) << i;
            EXPECT_GT(Count(img, text, Sys(xp ? wxSYS_COLOUR_GRAYTEXT : wxSYS_COLOUR_BTNSHADOW), 40), 5) << i;
        }
        const platform::PopupRect greyed = shown.rects[2];
        const wxRect pictureBox(greyed.x, greyed.y, box, greyed.height);
        EXPECT_GT(Count(img, pictureBox, Sys(wxSYS_COLOUR_BTNSHADOW)), 20);
        EXPECT_GT(Count(img, pictureBox, Sys(wxSYS_COLOUR_BTNHIGHLIGHT)), 10);

        frame->Destroy();
        testsupport::PumpEvents(100);
    }
}
