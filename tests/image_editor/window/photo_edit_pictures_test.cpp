// The photo-edit dialog's pictures as a user meets them, through the X
// server: the desktop's file chooser of "选择装入新照片" and "选择装入背景图"
// lists a camera's "….JPG" and "….PNG" and a double click on the row loads
// it; a large portrait photo shows fitted on the background colour; a
// missing picture is reported in a real box; the projects are listed once;
// the magnifier follows every change of the canvas. Screenshots
// build/screens/editor-*.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <wx/choice.h>
#include <wx/uiaction.h>

#include "image_editor/camera_sys_info.h"
#include "image_editor/fitting_canvas_wnd.h"
#include "image_editor/photo_edit_dlg.h"
#include "platform/files.h"
#include "platform/image/picture_io.h"
#include "platform/ui/message_box.h"
#include "platform/ui/message_box_dialog.h"
#include "platform/ui/popup_menu.h"
#include "tests/image_editor/window/editor_reset.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/user_input.h"
#include "tests/support/window_test_util.h"
#include "tests/support/x_window_state.h"

namespace fs = std::filesystem;
using namespace image_editor;

namespace {

constexpr const char* kChooser = "GtkFileChooserDialog";
constexpr const char* kMissing = "请注意,当前图片不存在";

// A click of the left button at a screen point, queued for whatever loop
// runs next (a click that opens a modal loop must not run it from here).
void ClickAt(const wxPoint& screen) {
    wxUIActionSimulator sim;
    sim.MouseMove(screen);
    sim.MouseClick();
}

wxPoint CentreOf(wxWindow* w, const Rect& r) {
    return w->ClientToScreen(wxPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
}

// A step that clicks the item of `text` in the shown popup menu once it is
// there (and closes a menu without it, failing the test).
testsupport::XInputScript::Step ClickMenuItem(const std::string& text) {
    return [text] {
        wxWindow* win = platform::ui::ActivePopupMenuWindow();
        const platform::PopupMenuModel* menu = platform::ui::ActivePopupMenuModel();
        if (!win || !win->IsShown() || !menu) return false;
        for (int i = 0; i < static_cast<int>(menu->items().size()); ++i)
            if (menu->items()[static_cast<std::size_t>(i)].text == text) {
                const platform::PopupRect r = menu->ItemRect(i);
                ClickAt(win->ClientToScreen(wxPoint(r.x + r.width / 2, r.y + r.height / 2)));
                return true;
            }
        ADD_FAILURE() << "no " << text << " in the menu";
        testsupport::XPressKey(WXK_ESCAPE);
        return true;
    };
}

bool Contains(const std::vector<std::string>& texts, const std::string& t) {
    return std::find(texts.begin(), texts.end(), t) != texts.end();
}

wxColour Rgb(ColorRef c) { return wxColour(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
wxColour At(const wxImage& img, int x, int y) { return wxColour(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y)); }

class PhotoEditPicturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "服饰搭配拍照图片/演示照片.png"));
        fs::copy(testsupport::DemoBase(), tmp.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        ::setenv("GSETTINGS_BACKEND", "memory", 1);  // the chooser's own settings stay in this process
        cwd = std::make_unique<testsupport::ScopedCwd>(tmp.path());
        PhotoEditHooks() = {};
        editortest::ResetEditor(tmp.path());
        caption = platform::ui::DefaultCaption();
        platform::ui::SetDefaultCaption("Pictova");  // as the module's entry sets it
    }
    void TearDown() override {
        testsupport::CancelDesktopDialogs(kChooser);
        if (dlg) dlg->Destroy();
        testsupport::PumpEvents(100);
        platform::ui::SetDefaultCaption(caption);
        PhotoEditHooks() = {};
        cwd.reset();
    }
    void Open() {
        dlg = new CPhotoEditDlg(nullptr, tmp.path());
        dlg->Show();
        dlg->Raise();
        testsupport::WaitUntilPlaced(dlg);
        testsupport::DeliverEvents(200);
    }
    const ToolButton& Tool(int code) const {
        for (const ToolButton& t : dlg->controller().tools())
            if (t.code == code) return t;
        throw std::runtime_error("no such tool");
    }
    // Clicks the tool, then the item of its popup; then the further steps
    // (in the loops the item opens) run. False when a step did not come.
    bool ToolMenu(int code, testsupport::XInputScript& script) {
        script.Start();
        ClickAt(CentreOf(dlg, Tool(code).rect));
        const bool done = testsupport::DeliverUntil([&] { return script.done() || script.timedOut(); }, 30000);
        testsupport::DeliverEvents(200);
        return done && script.done();
    }
    bool ToolMenu(int code, const std::string& item) {
        testsupport::XInputScript script(120, 10000);
        script.Then(ClickMenuItem(item));
        return ToolMenu(code, script);
    }
    // A photo of a phone held upright: the demo person on a wide backdrop.
    void WritePortraitPhoto(const fs::path& file) {
        const wxImage person = platform::image::LoadPicture(tmp / "服饰搭配拍照图片" / "演示照片.png");
        ASSERT_TRUE(person.IsOk());
        wxImage big(1080, 1920);
        big.SetRGB(wxRect(0, 0, 1080, 1920), person.GetRed(0, 0), person.GetGreen(0, 0), person.GetBlue(0, 0));
        big.Paste(person.Scale(1080, 1296, wxIMAGE_QUALITY_BICUBIC), 0, 312);
        ASSERT_TRUE(platform::image::SavePicture(big, file, platform::image::PictureFormat::Jpeg, 95));
    }

    testsupport::TempDir tmp;
    std::unique_ptr<testsupport::ScopedCwd> cwd;
    CPhotoEditDlg* dlg = nullptr;
    std::string caption;
};

// Both pictures dialogs list the files whose extension is upper case (as
// the camera writes them), not the files that are no pictures; a double
// click on the row picks it. The camera's portrait photo then shows fitted
// on the background colour, with nothing of its natural-size drawing beside.
TEST_F(PhotoEditPicturesTest, ThePickersListCameraPhotosAndAPortraitPhotoLoadsFitted) {
    const fs::path photos = tmp / "服饰搭配拍照图片";
    const fs::path camera = photos / "拍照图片A1_0.JPG";
    WritePortraitPhoto(camera);
    const fs::path backgrounds = tmp / "kzvEcamsys背景图片";
    const fs::path background = backgrounds / "背景图002.PNG";
    ASSERT_TRUE(platform::image::SavePicture(platform::image::LoadPicture(backgrounds / "背景图001.jpg"), background,
                                             platform::image::PictureFormat::Png, 100));
    const std::string note = "A1_0: 1080 x 1920";
    for (const fs::path& folder : {photos, backgrounds})
        ASSERT_TRUE(platform::SaveFileAtomic(folder / "拍照说明.txt",
                                             {reinterpret_cast<const std::uint8_t*>(note.data()), note.size()}));
    Open();

    struct Case {
        int tool;
        const char* item;
        fs::path file;
        const char* screen;
    };
    const Case cases[] = {
        {tool::kClearBackground, "选择装入新照片", camera, "editor-camera-photo.png"},
        {tool::kBackground, "选择装入背景图", background, "editor-background-picker.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        const std::string name = c.file.filename().string();
        std::vector<std::string> listed;
        testsupport::XInputScript script(150, 30000);
        script.Then(ClickMenuItem(c.item))
            // The chooser reads the folder in the background: its rows come
            // a moment after it is shown.
            .Then([&] {
                listed = testsupport::DesktopChooserTexts();
                return Contains(listed, name);
            })
            .Do([&] {
                testsupport::DeliverEvents(300);
                const wxImage shot = testsupport::GrabScreenArea(testsupport::DesktopDialogRect(kChooser));
                ASSERT_TRUE(shot.IsOk());
                shot.SaveFile(wxString::FromUTF8(testsupport::Screen(c.screen)), wxBITMAP_TYPE_PNG);
                wxPoint row;
                ASSERT_TRUE(testsupport::DesktopChooserRowAt(name, &row));
                wxUIActionSimulator sim;
                sim.MouseMove(row);
                sim.MouseDblClick();
            })
            .Then([] { return !testsupport::DesktopDialogShown(kChooser); });
        script.onTimeout = [] { testsupport::CancelDesktopDialogs(kChooser); };
        EXPECT_TRUE(ToolMenu(c.tool, script)) << "the chooser did not list " << name;
        EXPECT_FALSE(Contains(listed, "拍照说明.txt"));
    }
    EXPECT_EQ(dlg->controller().originalPhoto(), camera);
    EXPECT_EQ(CCameraSysInfo::Instance().GetSetText(301), background.string());  // the background remembered

    // The photo: 1080 x 1920 in the 640 x 480 area at (1, 1), fitted to
    // 270 x 480; the rest of the area is the background colour, in the
    // engine's store and on the screen.
    const CPhotoEngine& e = Engine();
    ASSERT_EQ(e.GetPhotoArea(), (Rect{1, 1, 641, 481}));
    int stored = 0;
    for (int row = 0; row < 480; ++row)
        for (int col = 270; col < 640; ++col) stored += e.ColourAt(col, row) == e.backgroundColour();
    EXPECT_EQ(stored, 370 * 480);
    testsupport::DeliverEvents(300);
    const wxImage canvas = testsupport::GrabScreenArea(dlg->canvas().GetScreenRect());
    ASSERT_TRUE(canvas.IsOk());
    // The canvas's client area inside its border.
    const wxPoint inner = dlg->canvas().ClientToScreen(wxPoint(0, 0)) - dlg->canvas().GetScreenPosition();
    int shownBackground = 0, checked = 0;
    // Right of the picture, clear of the dotted outline and the caption.
    for (int y = 10; y < 400; y += 3)
        for (int x = 280; x < 620; x += 3) {
            ++checked;
            shownBackground += At(canvas, inner.x + x, inner.y + y) == Rgb(e.backgroundColour());
        }
    EXPECT_EQ(shownBackground, checked);
    // The picture itself: the backdrop at its top, the person lower down.
    EXPECT_NE(At(canvas, inner.x + 1 + 135, inner.y + 1 + 20), Rgb(e.backgroundColour()));
    ASSERT_TRUE(testsupport::SaveWindowScreenshot(dlg, testsupport::Screen("editor-portrait-photo.png")));
}

// "拖移缩放原始照片" without a photo, and with a photo whose file is gone:
// the engine's box, over the dialog with the program's title, and the drag
// mode does not start.
TEST_F(PhotoEditPicturesTest, AMissingPhotoFileIsReportedInARealBox) {
    const fs::path photo = tmp / "服饰搭配拍照图片" / "将删除的照片.png";
    fs::copy_file(tmp / "服饰搭配拍照图片" / "演示照片.png", photo);
    Open();
    for (const int tool : {tool::kSticker, tool::kClearBackground}) {
        const bool withPhoto = tool == tool::kClearBackground;
        SCOPED_TRACE(withPhoto ? "the photo's file deleted" : "no photo");
        if (withPhoto) {
            ASSERT_TRUE(dlg->controller().OpenPhoto(photo));
            fs::remove(photo);
        }
        std::string text, title;
        bool viewable = false, hasIcon = false;
        testsupport::XInputScript script(150, 15000);
        script.Then(ClickMenuItem("拖移缩放原始照片"))
            .Then([&] {
                auto* box = testsupport::FindShownDialog<platform::ui::MessageBoxDialog>();
                if (!box || !testsupport::XStateOf(box).viewable) return false;
                viewable = true;
                text = box->text();
                title = box->GetTitle().utf8_string();
                hasIcon = box->icon() != nullptr;
                testsupport::SaveWindowScreenshot(box, testsupport::Screen("editor-missing-picture.png"));
                ClickAt(box->button(wxID_OK)->GetScreenRect().GetPosition() + wxPoint(8, 8));
                return true;
            })
            .Then([] { return testsupport::FindShownDialog<platform::ui::MessageBoxDialog>() == nullptr; });
        script.onTimeout = [] {
            if (auto* box = testsupport::FindShownDialog<platform::ui::MessageBoxDialog>()) box->EndModal(wxID_CANCEL);
        };
        EXPECT_TRUE(ToolMenu(tool, script)) << "no box came, or it did not close";
        EXPECT_TRUE(viewable);
        EXPECT_EQ(text, kMissing);
        EXPECT_EQ(title, "Pictova");
        EXPECT_TRUE(hasIcon);
        EXPECT_EQ(dlg->controller().specialMode(), 0);
        EXPECT_EQ(dlg->hintShown(), "---");
    }
}

// The dialog run as the entry runs it (modally): combo 1055 lists each
// basic project once.
TEST_F(PhotoEditPicturesTest, TheProjectComboListsEachProjectOnce) {
    const std::vector<std::string> projects = CCameraSysInfo::Instance().ListProjects(60);
    ASSERT_FALSE(projects.empty());
    std::vector<std::string> listed;
    testsupport::XInputScript script(100, 15000);
    int ticks = 0;
    script.Then([&] {
        wxWindow* w = testsupport::FindShownWindow(kPhotoEditDlgName);
        if (!w || !testsupport::XStateOf(w).viewable || ++ticks < 4) return false;
        auto* combo = dynamic_cast<wxChoice*>(w->FindWindow(1055));
        if (!combo) return true;
        for (unsigned i = 0; i < combo->GetCount(); ++i) listed.push_back(combo->GetString(i).utf8_string());
        ClickAt(w->FindWindow(wxID_CANCEL)->GetScreenRect().GetPosition() + wxPoint(10, 10));
        return true;
    });
    script.onTimeout = [] {
        if (auto* w = dynamic_cast<wxDialog*>(testsupport::FindShownWindow(kPhotoEditDlgName))) w->EndModal(wxID_CANCEL);
    };
    script.Start();
    RunPhotoEditDialog(tmp.path());  // returns once the dialog is closed
    EXPECT_TRUE(script.done());
    EXPECT_FALSE(script.timedOut()) << "the dialog did not close by its Cancel button";
    EXPECT_EQ(listed, projects);
    EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()).size(), listed.size());
}

// The magnifier panel, cell by cell on the screen, shows the photo as the
// engine holds it after a tone command, a wand click on the canvas and
// "背景图锐化", without anything else repainting it.
TEST_F(PhotoEditPicturesTest, TheMagnifierFollowsEveryChangeOfTheCanvas) {
    Open();
    ASSERT_TRUE(dlg->controller().OpenPhoto(tmp / "服饰搭配拍照图片" / "演示照片.png"));
    testsupport::DeliverEvents(300);
    CPhotoEngine& e = Engine();
    wxWindow* panel = dlg->panel();
    // Cells whose middle the scroll strips leave free, with what they should
    // show; the number that show something else.
    auto wrongCells = [&] {
        testsupport::DeliverEvents(300);
        const wxImage shot = testsupport::GrabScreenArea(panel->GetScreenRect());
        if (!shot.IsOk()) return -1;
        const wxSize s = panel->GetClientSize();
        const int cell = CPhotoEngine::kMagnifierCell;
        int wrong = 0;
        for (int b = 0; (b + 1) * cell <= s.y && b + e.magnifierRow() < e.photoHeight(); ++b)
            for (int a = 0; (a + 1) * cell <= s.x && a + e.magnifierCol() < e.photoWidth(); ++a) {
                const int x = a * cell + 3, y = b * cell + 3;
                if (x < 6 || y < 6 || x >= s.x - 6 || y >= s.y - 6) continue;
                const int col = a + e.magnifierCol(), row = b + e.magnifierRow();
                const ColorRef want = e.MaskAt(col, row) == mask::kKept ? e.ColourAt(col, row) : e.BackgroundPixelAt(col, row);
                wrong += At(shot, x, y) != Rgb(want);
            }
        return wrong;
    };
    ASSERT_EQ(wrongCells(), 0);

    const ColorRef before = e.ColourAt(10, 10);
    ASSERT_TRUE(ToolMenu(tool::kMakeup, "整个照片增亮"));
    ASSERT_NE(e.ColourAt(10, 10), before);
    EXPECT_EQ(wrongCells(), 0) << "after 整个照片增亮";

    ASSERT_TRUE(ToolMenu(tool::kClearBackground, "魔棒"));
    ClickAt(dlg->canvas().ClientToScreen(wxPoint(e.x0() + 10, e.y0() + 10)));
    testsupport::DeliverEvents(300);
    ASSERT_EQ(e.MaskAt(10, 10), 'c');
    EXPECT_EQ(wrongCells(), 0) << "after a wand click";

    // The background picture behind the removed pixels, then quantised.
    wxWindow* check = dlg->FindWindow(1065);
    ClickAt(check->GetScreenRect().GetPosition() + wxPoint(8, check->GetSize().y / 2));
    testsupport::DeliverEvents(300);
    ASSERT_TRUE(e.backgroundLoaded());
    EXPECT_EQ(wrongCells(), 0) << "with the background picture";
    const ColorRef behind = e.BackgroundPixelAt(10, 10);
    ASSERT_TRUE(ToolMenu(tool::kBackground, "背景图锐化"));
    ASSERT_TRUE(ToolMenu(tool::kBackground, "背景图锐化"));  // by 2, then by 4
    ASSERT_NE(e.BackgroundPixelAt(10, 10), behind);
    EXPECT_EQ(wrongCells(), 0) << "after 背景图锐化";
    testsupport::SaveWindowScreenshot(dlg, testsupport::Screen("editor-magnifier.png"));
}

}  // namespace
