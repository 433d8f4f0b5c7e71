// Two calls of the real image editor module in one process, through the
// client's binding, each driven through the X server as a user does: the
// first ticks "背景图片", brightens the background, places a material, sets a
// valid area and closes with Cancel; the second must start as the first did:
// the box unticked, no background, material or valid area on the canvas, and
// the background tool offering what it offered then. Screenshot
// build/screens/photo-editor-second-run.png.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <wx/checkbox.h>
#include <wx/dialog.h>

#include "image_editor/photo_edit_dlg.h"
#include "platform/shell.h"
#include "shell/library_binding.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

namespace fs = std::filesystem;

namespace {

// The module's windows, seen as the toolkit's: the module's classes are its own.
wxDialog* EditorDialog() {
    return dynamic_cast<wxDialog*>(testsupport::FindShownWindow(image_editor::kPhotoEditDlgName));
}

wxWindow* ShownPopupMenu() { return testsupport::FindShownWindow("platform_popup_menu"); }

// What the X server shows of a window's client area.
wxImage ClientPixels(wxWindow* w) {
    return testsupport::GrabScreenArea(wxRect(w->ClientToScreen(wxPoint(0, 0)), w->GetClientSize()));
}

int PixelsApart(const wxImage& a, const wxImage& b) {
    if (!a.IsOk() || !b.IsOk() || a.GetSize() != b.GetSize()) return -1;
    int n = 0;
    const unsigned char* p = a.GetData();
    const unsigned char* q = b.GetData();
    for (int i = 0; i < a.GetWidth() * a.GetHeight(); ++i)
        if (p[3 * i] != q[3 * i] || p[3 * i + 1] != q[3 * i + 1] || p[3 * i + 2] != q[3 * i + 2]) ++n;
    return n;
}

// An image of one colour: a window not painted yet.
bool Uniform(const wxImage& img) {
    const unsigned char* p = img.GetData();
    for (int i = 1; i < img.GetWidth() * img.GetHeight(); ++i)
        if (p[3 * i] != p[0] || p[3 * i + 1] != p[1] || p[3 * i + 2] != p[2]) return false;
    return true;
}

long Brightness(const wxImage& img) {
    long sum = 0;
    const unsigned char* p = img.GetData();
    for (int i = 0; i < img.GetWidth() * img.GetHeight() * 3; ++i) sum += p[i];
    return sum;
}

// "rgb(r, g, b)", readable in a failure.
std::string PixelAt(const wxImage& img, int x, int y) {
    if (!img.IsOk() || x >= img.GetWidth() || y >= img.GetHeight()) return "none";
    return wxColour(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y)).GetAsString(wxC2S_CSS_SYNTAX).utf8_string();
}

// One call of the module, the dialog driven by `steps` from a timer while the
// binding waits in it; the steps must end the dialog. On a time-out every
// window the steps left open is closed.
struct CallResult {
    int bound = 0;
    bool done = false;
};
CallResult CallEditor(const std::function<void(testsupport::XInputScript&)>& steps) {
    testsupport::XInputScript script(150, 120000);
    steps(script);
    script.onTimeout = [] {
        if (wxWindow* menu = ShownPopupMenu()) {
            if (auto* d = dynamic_cast<wxDialog*>(menu); d && d->IsModal()) d->EndModal(wxID_CANCEL);
        }
        if (wxDialog* d = EditorDialog()) d->EndModal(wxID_CANCEL);
    };
    script.Start();
    CallResult r;
    r.bound = shell::BindClientModule(shell::ClientModule::ImageEditor, platform::ExecutableDir(), {});
    r.done = script.done() && !script.timedOut();
    return r;
}

class PhotoEditSecondCallTest : public ::testing::Test {
protected:
    using Script = testsupport::XInputScript;

    void SetUp() override {
        ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "kzvEcamsys背景图片/背景图001.jpg"));
        fs::copy(testsupport::DemoBase(), tmp.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        cwd = std::make_unique<testsupport::ScopedCwd>(tmp.path());
    }
    void TearDown() override { cwd.reset(); }

    // Waits until the module's dialog is mapped and stays put.
    void WaitForDialog(Script& s) {
        s.Then([this] {
            wxDialog* d = EditorDialog();
            if (!d || !d->IsShownOnScreen()) return false;
            const wxPoint at = d->GetScreenPosition();
            same = at == lastAt ? same + 1 : 0;
            lastAt = at;
            if (same < 4) return false;
            dlg = d;
            canvas = d->FindWindow(1054);
            bgCheck = dynamic_cast<wxCheckBox*>(d->FindWindow(1065));
            same = 0;
            lastAt = wxDefaultPosition;
            return canvas && bgCheck;
        });
        Rest(s);
    }
    // The pointer to a place without a tool (no tip over the canvas).
    void Rest(Script& s) {
        s.Do([this] { testsupport::XPointTo(dlg, wxPoint(620, 615)); });
    }
    // Waits until the window shows a painted picture (not of one colour)
    // that `shows` accepts and that three looks in a row find unchanged,
    // and keeps it in `out`.
    void Settled(Script& s, std::function<wxWindow*()> window, wxImage& out,
                 std::function<bool(const wxImage&)> shows = {}) {
        s.Then([this, window, &out, shows] {
            const wxImage now = ClientPixels(window());
            const bool accepted = now.IsOk() && !Uniform(now) && (!shows || shows(now));
            steady = accepted && PixelsApart(now, lastLook) == 0 ? steady + 1 : 0;
            lastLook = now;
            if (steady < 2) return false;
            out = now;
            steady = 0;
            lastLook = wxImage();
            return true;
        });
    }
    // A click where the user clicks; the loop that is running handles it.
    void Click(Script& s, std::function<wxWindow*()> window, std::function<wxPoint()> at) {
        s.Do([window, at] {
            testsupport::XPointTo(window(), at());
            testsupport::XLeftClick();
        });
    }
    // The centre of the background tool ("选择背景图"), 48 x 48 at 52 left
    // of the box "背景图片" and 2 above it.
    wxPoint BackgroundTool() const {
        const wxRect box = bgCheck->GetRect();
        return wxPoint(box.x - 52 + 24, box.y - 2 + 24);
    }
    // Opens the background tool's menu and keeps what it shows once painted.
    void OpenBackgroundMenu(Script& s, wxImage& shown) {
        Click(s, [this] { return dlg; }, [this] { return BackgroundTool(); });
        s.Then([this] {
            wxWindow* m = ShownPopupMenu();
            if (!m || !m->IsShownOnScreen()) return false;
            menu = m;
            return true;
        });
        Settled(s, [this] { return menu; }, shown);
    }
    // A press outside the menu cancels it (pressed again until the menu,
    // once it holds the pointer, is gone).
    void CancelMenu(Script& s) {
        s.Then([this] {
            if (!ShownPopupMenu()) return true;
            testsupport::XPointTo(dlg, wxPoint(620, 615));
            testsupport::XLeftClick();
            return false;
        });
    }

    testsupport::TempDir tmp;
    std::unique_ptr<testsupport::ScopedCwd> cwd;
    wxDialog* dlg = nullptr;
    wxWindow* canvas = nullptr;
    wxCheckBox* bgCheck = nullptr;
    wxWindow* menu = nullptr;
    int same = 0, steady = 0;
    wxPoint lastAt = wxDefaultPosition;
    wxImage lastLook;
};

TEST_F(PhotoEditSecondCallTest, TheSecondCallStartsAsTheFirstDid) {
    const std::string plain = "rgb(13, 111, 106)";  // the canvas's background colour
    auto canvasOf = [this] { return canvas; };

    // --- first call --------------------------------------------------------------
    wxImage fresh, freshMenu, shown, brightened, dirty, unused;
    bool freshTicked = true;
    const CallResult first = CallEditor([&](Script& s) {
        WaitForDialog(s);
        Settled(s, canvasOf, fresh);
        s.Do([&] { freshTicked = bgCheck->GetValue(); });
        OpenBackgroundMenu(s, freshMenu);
        CancelMenu(s);
        // "背景图片" ticked: the background picture is drawn.
        Click(s, [&] { return bgCheck; }, [&] { return wxPoint(8, bgCheck->GetClientSize().y / 2); });
        s.Then([&] { return bgCheck->GetValue(); });
        Rest(s);
        Settled(s, canvasOf, shown, [&](const wxImage& now) { return PixelsApart(now, fresh) > 0; });
        // "背景图增亮": the fifth entry, after "设置背景色", "选择装入背景图" and
        // "移动缩放旋转背景图" with the separators between them.
        OpenBackgroundMenu(s, unused);
        s.Do([&] {
            const wxSize m = menu->GetClientSize();
            const int items = 7, separators = 5;
            const int h = (m.y - 2 * 2 - separators * 6) / items;
            EXPECT_EQ((m.y - 2 * 2 - separators * 6) % items, 0) << "not the menu of a shown background";
            testsupport::XPointTo(menu, wxPoint(m.x / 2, 2 + 3 * h + 2 * 6 + h / 2));
            testsupport::XLeftClick();
        });
        s.Then([] { return ShownPopupMenu() == nullptr; });
        Rest(s);
        Settled(s, canvasOf, brightened, [&](const wxImage& now) { return Brightness(now) > Brightness(shown); });
        // A material of the first project: "素材(服装)", the first thumbnail,
        // then its preview, which places it.
        Click(s, [&] { return dlg->FindWindow(1068); }, [] { return wxPoint(8, 12); });
        s.Then([&] { return dynamic_cast<wxCheckBox*>(dlg->FindWindow(1068))->GetValue(); });
        Click(s, [&] { return dlg->FindWindow(1056); }, [] { return wxPoint(64, 55); });
        Click(s, [&] { return dlg->FindWindow(1067); }, [&] {
            const wxSize p = dlg->FindWindow(1067)->GetClientSize();
            return wxPoint(p.x / 2, p.y / 2);
        });
        // A valid area by two clicks, from the corner box of the grab tool
        // (40 x 40 at 122 left of the preview, 2 above "背景图片").
        Click(s, [&] { return dlg; }, [&] {
            const wxRect preview = dlg->FindWindow(1067)->GetRect();
            return wxPoint(preview.x - 122 + 9, bgCheck->GetRect().y - 2 + 9);
        });
        Click(s, canvasOf, [] { return wxPoint(40, 120); });
        s.Do([&] { testsupport::XPointTo(canvas, wxPoint(200, 250)); });
        Click(s, canvasOf, [] { return wxPoint(420, 330); });
        Rest(s);
        // The material (a figure in the middle) and the valid area's outline.
        Settled(s, canvasOf, dirty, [&](const wxImage& now) { return PixelsApart(now, brightened) > 5000; });
        s.Do([&] { testsupport::SaveWindowScreenshot(dlg, testsupport::Screen("photo-editor-first-run.png")); });
        Click(s, [&] { return dlg->FindWindow(wxID_CANCEL); }, [] { return wxPoint(10, 10); });
    });
    ASSERT_EQ(first.bound, 9);
    ASSERT_TRUE(first.done) << "the first call was not driven to its end";
    EXPECT_FALSE(freshTicked);
    // Where nothing is drawn a fresh canvas shows its plain colour.
    EXPECT_EQ(PixelAt(fresh, 600, 300), plain);
    EXPECT_GT(PixelsApart(fresh, shown), fresh.GetWidth() * fresh.GetHeight() / 2) << "no background drawn";

    // --- second call -------------------------------------------------------------
    wxImage second, secondMenu;
    bool secondTicked = true;
    const CallResult again = CallEditor([&](Script& s) {
        WaitForDialog(s);
        Settled(s, canvasOf, second);
        s.Do([&] { secondTicked = bgCheck->GetValue(); });
        OpenBackgroundMenu(s, secondMenu);
        CancelMenu(s);
        Rest(s);
        s.Do([&] { testsupport::SaveWindowScreenshot(dlg, testsupport::Screen("photo-editor-second-run.png")); });
        Click(s, [&] { return dlg->FindWindow(wxID_CANCEL); }, [] { return wxPoint(10, 10); });
    });
    ASSERT_EQ(again.bound, 9);
    ASSERT_TRUE(again.done) << "the second call was not driven to its end";
    EXPECT_FALSE(secondTicked);
    // Not one pixel of the canvas differs from the fresh call's: no
    // background (brightened or not), no material, the default valid area.
    EXPECT_EQ(PixelsApart(fresh, second), 0);
    EXPECT_EQ(PixelAt(second, 600, 300), plain);
    // "选择背景图" offers the entries of a fresh call, none of those that
    // need the box ticked.
    EXPECT_EQ(secondMenu.GetSize(), freshMenu.GetSize());
    EXPECT_EQ(PixelsApart(freshMenu, secondMenu), 0);
}

}  // namespace
