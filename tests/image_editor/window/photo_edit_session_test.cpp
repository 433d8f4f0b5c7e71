// A customer's session with the photo editor under Xvfb, on a copy of the
// demo base directory: Fittora's "图片编辑" opens the dialog from the real
// module; then, in this process, the dialog loads the demo photo, a head
// sticker keeps the person, the magic wand and the eraser take the backdrop
// away, the make-up brush colours the cheeks with a swatch, a dress from the
// basic project is placed, scaled and dragged onto the person, the result is
// saved into "服饰搭配拍照图片" and the fitting room imports it as its photo.
// Screenshots build/screens/pictova-*.png show each step.
#include <gtest/gtest.h>

#include <filesystem>
#include <wx/button.h>
#include <wx/time.h>
#include <wx/timer.h>

#include "fitting_room/dress_child_frame.h"
#include "fitting_room/dress_toolbar.h"
#include "fitting_room/dress_toolbar_rules.h"
#include "fitting_room/dress_view.h"
#include "fitting_room/shared_objects.h"
#include "fitting_room/show_gra_wnd.h"
#include "fitting_room/stage_control.h"
#include "image_editor/basic_project_reader.h"
#include "image_editor/camera_sys_info.h"
#include "image_editor/edit_sub_dialogs.h"
#include "image_editor/fitting_canvas_wnd.h"
#include "image_editor/material_table.h"
#include "image_editor/photo_edit_dlg.h"
#include "picture_controls/icon_menu.h"
#include "platform/image/picture_io.h"
#include "platform/ui/message_box.h"
#include "platform/ui/popup_menu.h"
#include "shell/bar_geometry.h"
#include "shell/base_directory.h"
#include "shell/client_shell.h"
#include "shell/deferred_request.h"
#include "shell/main_frame.h"
#include "shell/nav_bar.h"
#include "shell/sys_info.h"
#include "tests/image_editor/window/editor_reset.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

namespace fs = std::filesystem;
using namespace image_editor;

namespace {


void Shot(wxWindow* w, const std::string& name) {
    testsupport::PumpEvents(250);
    testsupport::SaveWindowScreenshot(w, (testsupport::ScreensDir() / ("pictova-" + name + ".png")).string());
}

class PhotoEditWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "服饰搭配拍照图片/演示照片.png"));
        fs::copy(testsupport::DemoBase(), tmp.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::remove(tmp / "FittoraSysinfo.dm3");
        cwd = std::make_unique<testsupport::ScopedCwd>(tmp.path());
        PhotoEditHooks() = {};
    }
    void TearDown() override {
        PhotoEditHooks() = {};
        fitting_room::DressToolBarDialogs() = {};
        cwd.reset();
    }
    testsupport::TempDir tmp;
    std::unique_ptr<testsupport::ScopedCwd> cwd;
};

// Looks at the module's dialog from a timer while the client's command
// waits in it, then cancels it.
class ModuleDialogDriver {
public:
    ModuleDialogDriver() {
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Step(); });
        m_timer.Start(60);
        m_deadline = wxGetLocalTimeMillis() + 20000;
    }
    bool seen = false;
    wxString title;
    bool hasCanvas = false;

private:
    void Step() {
        wxDialog* dlg = nullptr;
        for (wxWindow* w : wxTopLevelWindows)
            if (w->GetName() == kPhotoEditDlgName && w->IsShown()) dlg = dynamic_cast<wxDialog*>(w);
        if (!dlg || m_closing) return;
        if (++m_ticks < 6 && wxGetLocalTimeMillis() < m_deadline) return;
        seen = true;
        title = dlg->GetTitle();
        hasCanvas = dlg->FindWindow(1054) != nullptr;
        testsupport::SaveWindowScreenshot(dlg, (testsupport::ScreensDir() / "pictova-0-fittora-opens-the-editor.png").string());
        m_closing = true;
        dlg->EndModal(wxID_CANCEL);
    }
    wxTimer m_timer;
    wxLongLong m_deadline;
    int m_ticks = 0;
    bool m_closing = false;
};

TEST_F(PhotoEditWindowTest, FittorasImageEditCommandOpensTheEditorFromItsModule) {
    shell::ResetDeferred();
    shell::ResetSysInfo();
    shell::SetBaseDirectory(tmp.path());
    ClientShell client;
    CMainFrame* frame = client.Start();
    ASSERT_NE(frame, nullptr);
    frame->ShowMaximised();
    testsupport::PumpEvents(200);
    ModuleDialogDriver driver;
    frame->RunCommand(ID_IMAGE_EDIT);
    EXPECT_TRUE(driver.seen) << "the command opened no photo-edit dialog";
    EXPECT_TRUE(driver.title.StartsWith(wxString::FromUTF8("图片编辑[试衣平台]")));
    EXPECT_TRUE(driver.hasCanvas);
    // The module wrote its settings record into the base directory.
    EXPECT_TRUE(fs::exists(tmp / "kzvECameraSysInfo.e3f"));
    frame->Destroy();
    testsupport::PumpEvents(50);
    shell::ResetDeferred();
}

TEST_F(PhotoEditWindowTest, ACustomerCutsOutHerPhotoMakesItUpDressesItAndSavesIt) {
    editortest::ResetEditor(tmp.path());

    // Menus answer by their item's text.
    std::string pick;
    std::vector<std::string> menusSeen;
    PhotoEditHooks().trackPopup = [&](const std::vector<MenuEntry>& items) {
        for (const MenuEntry& m : items) {
            menusSeen.push_back(m.text);
            if (m.text == pick) return m.id;
        }
        return 0;
    };
    PhotoEditHooks().choosePicture = [&](const fs::path& folder) -> std::optional<fs::path> {
        EXPECT_EQ(folder, tmp / "服饰搭配拍照图片");
        return folder / "演示照片.png";
    };

    auto* dlg = new CPhotoEditDlg(nullptr, tmp.path());
    dlg->Show();
    testsupport::PumpEvents(300);
    PhotoEditController& c = dlg->controller();
    CFittingCanvasWnd& canvas = dlg->canvas();
    auto mouse = [&](int kind, int x, int y, bool alt = false, bool left = false) {
        CanvasInput in;
        in.x = x;
        in.y = y;
        in.alt = alt;
        in.left = left;
        canvas.Mouse(kind, in);
        testsupport::PumpEvents(10);
    };
    auto drag = [&](int x1, int y1, int x2, int y2, bool alt = false) {
        mouse(CFittingCanvasWnd::kLeftDown, x1, y1, alt);
        const int steps = 8;
        for (int i = 1; i <= steps; ++i)
            mouse(CFittingCanvasWnd::kMove, x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps, alt, true);
        mouse(CFittingCanvasWnd::kLeftUp, x2, y2, alt);
    };
    auto tool = [&](int code, const std::string& item) {
        pick = item;
        c.RunTool(code);
        testsupport::PumpEvents(50);
    };

    // 1. The demo photo, from the photo folder.
    tool(tool::kClearBackground, "选择装入新照片");
    CPhotoEngine& e = Engine();
    ASSERT_TRUE(e.photoPresent());
    ASSERT_EQ(e.photoWidth(), 400);
    ASSERT_EQ(e.photoHeight(), 480);
    const int x0 = e.x0(), y0 = e.y0();
    // The person's frame (500 x 1000 units at 0.45 px each) in canvas pixels.
    auto fx = [&](double u) { return static_cast<int>(x0 + 87 + u * 0.45); };
    auto fy = [&](double u) { return static_cast<int>(y0 + 15 + u * 0.45); };
    Shot(dlg, "1-photo");

    // 2. A head sticker round the whole person keeps her and removes the rest.
    tool(tool::kSticker, "普通形式");
    EXPECT_EQ(canvas.control().toolMode(), mode::kHeadSticker);
    drag(fx(250) - 119, fy(-15), fx(250) + 119, fy(1050));
    EXPECT_TRUE(e.StickerMade());
    Shot(dlg, "2-sticker-drawn");
    mouse(CFittingCanvasWnd::kRightDown, 5, 5);
    EXPECT_EQ(e.MaskAt(0, 0), mask::kRemoved);                       // a corner of the photo
    EXPECT_EQ(e.MaskAt(fx(250) - x0, fy(300) - y0), mask::kKept);     // her chest

    // 3. The magic wand takes the backdrop left inside the oval.
    tool(tool::kClearBackground, "魔棒");
    mouse(CFittingCanvasWnd::kLeftDown, fx(40), fy(500));
    mouse(CFittingCanvasWnd::kLeftUp, fx(40), fy(500));
    mouse(CFittingCanvasWnd::kRightDown, 5, 5);
    EXPECT_EQ(dlg->hintShown(), "---------");
    // Not one backdrop pixel is left: the cut-out edge is clean.
    int left = 0, bodyKept = 0;
    const ColorRef backdrop = 0xE6DDCF;  // #cfdde6
    for (int r = 0; r < e.photoHeight(); ++r)
        for (int col = 0; col < e.photoWidth(); ++col) {
            if (e.MaskAt(col, r) != mask::kKept) continue;
            if (e.ColourAt(col, r) == backdrop) ++left;
            else ++bodyKept;
        }
    EXPECT_EQ(left, 0);
    EXPECT_GT(bodyKept, 20000);
    // The eraser takes a stroke off her shoulder and the reverse key puts it back.
    tool(tool::kClearBackground, "用橡皮擦去背景");
    const int sx = fx(190), sy = fy(200);
    drag(sx, sy, sx + 20, sy);
    EXPECT_NE(e.MaskAt(sx + 10 - x0, sy - y0), mask::kKept);
    drag(sx, sy, sx + 20, sy, true);
    EXPECT_EQ(e.MaskAt(sx + 10 - x0, sy - y0), mask::kKept);
    mouse(CFittingCanvasWnd::kRightDown, 5, 5);
    // The park behind her.
    dlg->SetCheck(1065, true);
    testsupport::PumpEvents(200);
    EXPECT_TRUE(e.backgroundLoaded());
    Shot(dlg, "3-background-removed");
    // A close look at her face through the magnifier.
    tool(tool::kClearBackground, "设置放大图区");
    EXPECT_EQ(canvas.control().toolMode(), mode::kMagnifierPick);
    mouse(CFittingCanvasWnd::kMove, fx(210), fy(40));
    mouse(CFittingCanvasWnd::kLeftUp, fx(210), fy(40));
    EXPECT_EQ(e.magnifierCol(), fx(210) - x0);
    Shot(dlg, "3b-magnifier");
    // The eraser works cell by cell in the magnifier too; the reverse key
    // on the canvas puts the pixel back.
    tool(tool::kClearBackground, "用橡皮擦去背景");
    const int cellCol = e.magnifierCol() + 20, cellRow = e.magnifierRow() + 12;
    ASSERT_EQ(e.MaskAt(cellCol, cellRow), mask::kKept);
    dlg->PanelClick(20 * CPhotoEngine::kMagnifierCell + 3, 12 * CPhotoEngine::kMagnifierCell + 3);
    EXPECT_EQ(e.MaskAt(cellCol, cellRow), mask::kRemoved);
    mouse(CFittingCanvasWnd::kLeftDown, x0 + cellCol, y0 + cellRow, true);
    mouse(CFittingCanvasWnd::kMove, x0 + cellCol, y0 + cellRow, true, true);
    mouse(CFittingCanvasWnd::kLeftUp, x0 + cellCol, y0 + cellRow, true);
    EXPECT_EQ(e.MaskAt(cellCol, cellRow), mask::kKept);
    mouse(CFittingCanvasWnd::kRightDown, 5, 5);

    // 4. Make-up: a swatch from the box, then the brush on her cheeks.
    tool(tool::kMakeup, "化装盒");
    EXPECT_EQ(canvas.control().toolMode(), mode::kMakeupBrush);
    PhotoEditHooks().swatches = [&](CMakeupSwatchDlg& sw) {
        EXPECT_GE(sw.swatches().size(), 20u);
        sw.Show();
        testsupport::PumpEvents(100);
        const Rect r = sw.cells()[1];
        sw.ClickAt(r.left + 5, r.top + 5);
        Shot(&sw, "4a-makeup-swatches");
        sw.TakeSample();
        sw.Hide();
        return wxID_OK;
    };
    dlg->PressButton(1069);
    ASSERT_TRUE(e.HasMakeupSample());
    dlg->Wheel(true);  // a wider brush
    const ColorRef cheekBefore = e.ColourAt(fx(222) - x0, fy(100) - y0);
    for (int side : {222, 278}) drag(fx(side) - 6, fy(100), fx(side) + 6, fy(104));
    EXPECT_NE(e.ColourAt(fx(222) - x0, fy(100) - y0), cheekBefore);
    mouse(CFittingCanvasWnd::kRightDown, 5, 5);
    Shot(dlg, "4-made-up");

    // 5. A dress from the basic project 女装, placed, scaled and dragged on.
    dlg->SetCheck(1068, true);
    dlg->SelectProject("女装");
    dlg->SelectCategory("套装");
    testsupport::PumpEvents(200);
    const auto& parts = Reader().project().parts;
    const MaterialCell* dress = nullptr;
    for (const MaterialCell& cell : dlg->materialCells())
        if (cell.part >= 0 && parts[static_cast<std::size_t>(cell.part)].Name() == "碎花连衣裙") dress = &cell;
    ASSERT_NE(dress, nullptr);
    const int part = dress->part;
    dlg->PanelClick((dress->picture.left + dress->picture.right) / 2, (dress->picture.top + dress->picture.bottom) / 2);
    EXPECT_EQ(c.pickedPart(), part);
    Shot(dlg, "5a-material-list");
    dlg->ClickPreview();
    const int slot = Materials().selected();
    ASSERT_GE(slot, 0);
    ASSERT_TRUE(Materials().at(slot).visible());
    // The project's stage has the model at (104, 14) with 0.5 px a unit;
    // our photo is drawn at 0.45: scale by 0.9 and move onto her.
    const Material& m = Materials().at(slot);
    // Where the picture's corner lies on the stage's model, in its pixels.
    const int ox = m.x - m.width / 2 - 104, oy = m.y - m.height / 2 - 14;
    dlg->PressButton(wxID_OK);
    EXPECT_EQ(c.specialMode(), special::kMaterial);
    for (int i = 0; i < 4; ++i) dlg->Wheel(false);
    const int targetX = x0 + 87 + static_cast<int>(ox * 0.9) + m.width / 2;
    const int targetY = y0 + 15 + static_cast<int>(oy * 0.9) + m.height / 2;
    drag(m.x, m.y, targetX, targetY);
    EXPECT_NEAR(m.x, targetX, 2);
    EXPECT_NEAR(m.y, targetY, 2);
    mouse(CFittingCanvasWnd::kRightDown, 5, 5);
    EXPECT_EQ(c.specialMode(), 0);
    Shot(dlg, "5-dressed");

    // A caption of her own, dragged onto the picture.
    PhotoEditHooks().textItem = [&](CTextItemDlg& text) {
        text.SetCaption("我的试衣照");
        text.SetSizeText("24");
        return static_cast<int>(wxID_OK);
    };
    c.RunTool(tool::kDrawText);
    testsupport::PumpEvents(150);
    const TextItem& caption = canvas.control().textItem();
    EXPECT_EQ(caption.caption, "我的试衣照");
    ASSERT_GT(caption.box.Width(), 0);
    const int capX = (caption.box.left + caption.box.right) / 2, capY = (caption.box.top + caption.box.bottom) / 2;
    drag(capX, capY, fx(420), fy(880));
    testsupport::PumpEvents(150);
    EXPECT_GT(caption.box.left, x0);
    Shot(dlg, "5b-caption");

    // 6. Saved into the photo folder.
    fs::path saved;
    PhotoEditHooks().photoSave = [&](CPhotoSaveDlg& save) {
        EXPECT_EQ(save.folder(), tmp / "服饰搭配拍照图片");
        save.SetName("");
        EXPECT_FALSE(save.Save());  // an empty name is refused
        save.SetName("演示试衣照");
        save.Show();
        Shot(&save, "6-save");
        EXPECT_TRUE(save.Save());
        saved = save.saved();
        save.Hide();
        return wxID_OK;
    };
    platform::ui::MessageBoxRecorder boxes;
    c.RunTool(tool::kGrabAndSave);
    ASSERT_EQ(saved, tmp / "服饰搭配拍照图片" / "演示试衣照.jpg");
    ASSERT_TRUE(fs::exists(saved));
    EXPECT_EQ(boxes.shown().size(), 1u);  // the refusal of the empty name
    const wxImage photo = platform::image::LoadPicture(saved);
    ASSERT_TRUE(photo.IsOk());
    EXPECT_EQ(photo.GetWidth(), 400);
    EXPECT_EQ(photo.GetHeight(), 480);
    dlg->Destroy();
    testsupport::PumpEvents(100);

    // 7. The fitting room imports it as its photo.
    shell::ResetDeferred();
    shell::ResetSysInfo();
    fitting_room::ResetSharedObjects();
    shell::SetBaseDirectory(tmp.path());
    ClientShell client;
    client.SetFrameFactory(1, [](platform::ui::MdiClient* mdi) -> platform::ui::MdiChildFrame* {
        return CMWinFram_DressChdWnd::Make(mdi);
    });
    CMainFrame* frame = client.Start();
    ASSERT_NE(frame, nullptr);
    frame->ShowMaximised();
    testsupport::PumpEvents(300);
    const auto tabs = shell::NavTabs(frame->navBar()->lineHeight());
    frame->navBar()->ClickAt(10, (tabs[1].hit.top + tabs[1].hit.bottom) / 2);
    testsupport::PumpEvents(400);
    const auto& docs = client.templates().at(1)->documents();
    ASSERT_EQ(docs.size(), 1u);
    auto* room = dynamic_cast<CMWinFram_DressChdWnd*>(docs[0]);
    ASSERT_NE(room, nullptr);
    fitting_room::DressToolBarDialogs().photoFile = [&](wxWindow*, const fs::path& folder) -> std::optional<fs::path> {
        EXPECT_EQ(folder, tmp / "服饰搭配拍照图片");
        return saved;
    };
    auto* bar = room->toolBar();
    bar->ClickAt(bar->ButtonCentre(fitting_room::kBtnPhoto));
    testsupport::PumpEvents(400);
    EXPECT_EQ(fitting_room::FittingModel().GetPhotoPicture(nullptr, nullptr), saved);
    // The fitting window shows it: it takes the settings' photo as it does
    // when it opens, and its menu's photo button switches the photo on.
    CCShowGraCWnd* stage = room->view()->stage();
    ASSERT_NE(stage, nullptr);
    stage->control().SetPhotoSettings(shell::SysInfo().HasPhoto(), false);
    stage->OnMenuCommand(fitting_room::kCmdPhotoOnOff);
    stage->RepaintStage();
    // The dress sits on her: the saved picture is the dress's blue at her waist.
    const wxImage look = platform::image::LoadPicture(saved);
    const int wx = 87 + static_cast<int>(250 * 0.45), wy = 15 + static_cast<int>(380 * 0.45);
    EXPECT_GT(look.GetBlue(wx, wy), look.GetRed(wx, wy) + 40) << "no dress at her waist";
    Shot(frame, "7-fitting-room-photo");
    frame->Destroy();
    testsupport::PumpEvents(50);
    shell::ResetDeferred();
    fitting_room::ResetSharedObjects();
}

// Our own popup window, driven by the keyboard: the make-up menu of the
// magnifier panel as an icon menu.
TEST_F(PhotoEditWindowTest, TheIconMenuPopupFollowsTheKeyboard) {
    CIconMenu menu;
    EXPECT_TRUE(menu.LoadImageList(154));
    std::vector<picture_controls::MenuNode> nodes;
    for (const auto& [id, text] : std::vector<std::pair<int, std::string>>{
             {32789, "终止化装操作"}, {32790, "继续操作,..."}, {0, ""}, {32799, "左移放大窗口"}, {32800, "右移放大窗口"}}) {
        picture_controls::MenuNode n;
        n.id = id;
        n.text = text;
        nodes.push_back(n);
    }
    menu.MakeOwnerDraw(nodes);
    wxFrame* owner = new wxFrame(nullptr, wxID_ANY, "owner", wxPoint(100, 100), wxSize(300, 200));
    owner->Show();
    testsupport::PumpEvents(100);
    // Keys as the keyboard gives them, once the menu holds it; the pointer
    // stays away from the menu.
    testsupport::XPointTo(owner, wxPoint(5, 5));
    int steps = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (!platform::ui::ActivePopupMenuHasKeyboard()) return;
        ++steps;
        if (steps >= 2 && steps <= 4) testsupport::XPressKey(WXK_DOWN);  // the third skips the separator
        if (steps == 6) Shot(platform::ui::ActivePopupMenuWindow(), "8-icon-menu");
        if (steps == 7) testsupport::XPressKey(WXK_RETURN);
    });
    timer.Start(80);
    const int chosen = menu.Track(owner, nodes, wxPoint(150, 150));
    timer.Stop();
    EXPECT_EQ(chosen, 32799);
    owner->Destroy();
    testsupport::PumpEvents(50);
}

}  // namespace
