// The photo-edit dialog's own controls driven through the X server, as a user
// does: real pointer clicks on the tool buttons, the popup menus, button
// 1069 and the sub-dialogs, and real Shift presses. A timer acts in the
// modal loops the clicks open. Screenshots build/screens/pictova-controls-*.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <wx/button.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/settings.h>
#include <wx/time.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "image_editor/camera_sys_info.h"
#include "image_editor/basic_project_reader.h"
#include "image_editor/edit_sub_dialogs.h"
#include "image_editor/fitting_canvas_wnd.h"
#include "image_editor/material_table.h"
#include "image_editor/photo_edit_dlg.h"
#include "picture_controls/icon_menu.h"
#include "picture_controls/my_color_sel_dlg.h"
#include "platform/image/picture_io.h"
#include "platform/ui/popup_menu.h"
#include "tests/image_editor/window/editor_reset.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

namespace fs = std::filesystem;
using namespace image_editor;

namespace {

// Runs the toolkit's events without the test pumps' yield, which disables
// every window for a moment (taking the keyboard focus away) and must not
// run a modal loop that a step opens.
void PumpKeepingFocus(int ms) {
    const wxLongLong end = wxGetLocalTimeMillis() + ms;
    do {
        wxTheApp->ProcessPendingEvents();
        while (wxTheApp->Pending()) wxTheApp->Dispatch();
        wxMilliSleep(5);
    } while (wxGetLocalTimeMillis() < end);
}

// What the X server shows of the window (the screenshot helper's own pump
// would close a popup menu).
void Shot(wxWindow* w, const std::string& name) {
    PumpKeepingFocus(150);
    const wxImage shot = testsupport::GrabScreenArea(w->GetScreenRect());
    ASSERT_TRUE(shot.IsOk());
    shot.SaveFile(wxString::FromUTF8(testsupport::Screen("pictova-controls-" + name + ".png")), wxBITMAP_TYPE_PNG);
}

// A real click of the left button at a screen point. The press and the
// release are queued together and handled by whatever loop runs next: a
// press that opens a modal dialog must not keep the button down (and the
// pointer grabbed) inside it, nor run that dialog's loop from here.
void ClickAt(const wxPoint& screen) {
    wxUIActionSimulator sim;
    sim.MouseMove(screen);
    sim.MouseClick();
}

void PressShift() {
    wxUIActionSimulator sim;
    sim.KeyDown(WXK_SHIFT);
    sim.KeyUp(WXK_SHIFT);
    PumpKeepingFocus(150);
}

wxPoint CentreOf(wxWindow* w, const Rect& r) {
    return w->ClientToScreen(wxPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
}

// Steps run one after another from a timer: each waits until what it needs
// is there, then acts. A step counts as taken before it acts, so the next
// one runs inside whatever modal loop the action opens.
struct Step {
    std::function<bool()> ready;
    std::function<void()> act;
};

class Steps {
public:
    explicit Steps(std::vector<Step> steps) : m_steps(std::move(steps)) {
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            if (m_next >= m_steps.size() || m_checking) return;
            m_checking = true;
            const bool ready = m_steps[m_next].ready();
            m_checking = false;
            if (!ready) return;
            const std::size_t i = m_next++;
            m_steps[i].act();
            ++m_acted;
        });
        m_timer.Start(120);
    }
    ~Steps() { m_timer.Stop(); }
    bool done() const { return m_acted == m_steps.size(); }
    std::size_t reached() const { return m_next; }

private:
    std::vector<Step> m_steps;
    std::size_t m_next = 0, m_acted = 0;
    bool m_checking = false;
    wxTimer m_timer;
};

// Pumps until the steps are done (or about ten seconds went by).
void RunUntilDone(const Steps& steps) {
    const wxLongLong end = wxGetLocalTimeMillis() + 10000;
    while (!steps.done() && wxGetLocalTimeMillis() < end) PumpKeepingFocus(50);
}

class PhotoEditControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "服饰搭配拍照图片/演示照片.png"));
        fs::copy(testsupport::DemoBase(), tmp.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        cwd = std::make_unique<testsupport::ScopedCwd>(tmp.path());
        PhotoEditHooks() = {};
        editortest::ResetEditor(tmp.path());
        dlg = new CPhotoEditDlg(nullptr, tmp.path());
        dlg->Show();
        dlg->Raise();
        testsupport::WaitUntilPlaced(dlg);
    }
    void TearDown() override {
        if (dlg) dlg->Destroy();
        testsupport::PumpEvents(100);
        PhotoEditHooks() = {};
        cwd.reset();
    }
    const ToolButton& Tool(int code) const {
        for (const ToolButton& t : dlg->controller().tools())
            if (t.code == code) return t;
        throw std::runtime_error("no such tool");
    }
    void ClickTool(int code) { ClickAt(CentreOf(dlg, Tool(code).rect)); }
    void LoadDemoPhoto() {
        ASSERT_TRUE(dlg->controller().OpenPhoto(tmp / "服饰搭配拍照图片" / "演示照片.png"));
        testsupport::PumpEvents(200);
    }

    testsupport::TempDir tmp;
    std::unique_ptr<testsupport::ScopedCwd> cwd;
    CPhotoEditDlg* dlg = nullptr;
};

TEST_F(PhotoEditControlsTest, APhotoGrabAndItsSaveAreExactlyThePhotoArea) {
    LoadDemoPhoto();
    const CPhotoEngine& e = Engine();
    ASSERT_EQ(e.photoWidth(), 400);
    ASSERT_EQ(e.photoHeight(), 480);
    ASSERT_EQ(e.GetPhotoArea(), (Rect{e.x0(), e.y0(), e.x0() + 400, e.y0() + 480}));

    const fs::path saved = tmp / "服饰搭配拍照图片" / "整区照片.jpg";
    wxPoint opened = wxDefaultPosition;
    Steps steps({{[] { return testsupport::FindShownDialog<CPhotoSaveDlg>() != nullptr; },
                  [&] {
                      CPhotoSaveDlg* save = testsupport::FindShownDialog<CPhotoSaveDlg>();
                      PumpKeepingFocus(150);
                      opened = save->GetScreenPosition();
                      save->SetName("整区照片");
                      Shot(save, "save");
                      const wxRect ok = save->FindWindow(wxID_OK)->GetRect();
                      ClickAt(save->ClientToScreen(wxPoint(ok.x + ok.width / 2, ok.y + ok.height / 2)));
                  }}});
    ClickTool(tool::kGrabAndSave);  // "图片拍照保留"
    RunUntilDone(steps);
    ASSERT_TRUE(steps.done()) << "the photo-save dialog did not open";
    testsupport::PumpEvents(200);
    // It opened at the tool, as it was placed.
    EXPECT_EQ(opened, dlg->ClientToScreen(wxPoint(Tool(tool::kGrabAndSave).rect.left, Tool(tool::kGrabAndSave).rect.top)));

    const fs::path grab = tmp / "服饰搭配拍照图片" / "tpho009383721.bmp";
    ASSERT_TRUE(fs::exists(grab));
    const wxImage bmp = platform::image::LoadPicture(grab);
    ASSERT_TRUE(bmp.IsOk());
    EXPECT_EQ(bmp.GetWidth(), 400);
    EXPECT_EQ(bmp.GetHeight(), 480);
    // The grab is the photo itself, corner to corner, not one pixel off.
    for (const auto& [col, row] : {std::pair{0, 0}, std::pair{399, 0}, std::pair{0, 479}, std::pair{399, 479},
                                  std::pair{200, 240}}) {
        const ColorRef c = e.ColourAt(col, row);
        EXPECT_EQ(bmp.GetRed(col, row), c & 0xFF) << col << "," << row;
        EXPECT_EQ(bmp.GetGreen(col, row), (c >> 8) & 0xFF) << col << "," << row;
        EXPECT_EQ(bmp.GetBlue(col, row), (c >> 16) & 0xFF) << col << "," << row;
    }
    ASSERT_TRUE(fs::exists(saved)) << "the photo-save dialog saved nothing";
    const wxImage jpg = platform::image::LoadPicture(saved);
    ASSERT_TRUE(jpg.IsOk());
    EXPECT_EQ(jpg.GetWidth(), 400);
    EXPECT_EQ(jpg.GetHeight(), 480);
}

TEST_F(PhotoEditControlsTest, TheSwatchBoxOpensUnderItsButton) {
    LoadDemoPhoto();
    dlg->controller().Command(cmd::kMakeupBrush);  // shows button 1069 "化装盒"
    testsupport::PumpEvents(150);
    wxWindow* button = dlg->FindWindow(1069);
    ASSERT_TRUE(button && button->IsShown());
    wxPoint opened = wxDefaultPosition;
    Steps steps({{[] { return testsupport::FindShownDialog<CMakeupSwatchDlg>() != nullptr; },
                  [&] {
                      CMakeupSwatchDlg* box = testsupport::FindShownDialog<CMakeupSwatchDlg>();
                      PumpKeepingFocus(150);
                      opened = box->GetScreenPosition();
                      Shot(dlg, "swatch-box");  // the box over the dialog
                      box->EndModal(wxID_CANCEL);
                  }}});
    const wxRect b = button->GetScreenRect();
    ClickAt(wxPoint(b.x + b.width / 2, b.y + b.height / 2));
    RunUntilDone(steps);
    ASSERT_TRUE(steps.done()) << "the swatch box did not open";
    EXPECT_EQ(opened.x, b.x);
    EXPECT_EQ(opened.y, b.GetBottom());
}

TEST_F(PhotoEditControlsTest, ShiftCyclesTheStickerFormsCursorAndLeavesOtherModesAlone) {
    LoadDemoPhoto();
    CFittingCanvasWnd& canvas = dlg->canvas();
    const wxPoint inside = canvas.ClientToScreen(wxPoint(30, 30));
    wxUIActionSimulator sim;
    auto pointAt = [&](const wxPoint& p) {
        sim.MouseMove(p + wxPoint(12, 12));  // a move there, wherever the pointer was
        PumpKeepingFocus(60);
        sim.MouseMove(p);
        PumpKeepingFocus(150);
        canvas.SetFocus();
        PumpKeepingFocus(50);
        ASSERT_EQ(wxWindow::FindFocus(), &canvas);  // the keys go to the canvas
    };
    dlg->controller().Command(cmd::kStickerPlain);
    pointAt(inside);
    EXPECT_EQ(canvas.shownCursor(), CanvasCursor::StickerPlain);
    PressShift();
    EXPECT_EQ(Engine().GetStickerForm(), 'Y');
    EXPECT_EQ(canvas.shownCursor(), CanvasCursor::StickerFeather);
    PressShift();
    EXPECT_EQ(Engine().GetStickerForm(), 'L');
    EXPECT_EQ(canvas.shownCursor(), CanvasCursor::StickerBright);
    PressShift();
    EXPECT_EQ(Engine().GetStickerForm(), ' ');
    EXPECT_EQ(canvas.shownCursor(), CanvasCursor::StickerPlain);

    // In the eraser's mode Shift changes neither the form nor the cursor.
    dlg->controller().Command(cmd::kEraser);
    pointAt(inside + wxPoint(4, 4));
    EXPECT_EQ(canvas.shownCursor(), CanvasCursor::Brush3);
    const wxCursor before = canvas.GetCursor();
    PressShift();
    EXPECT_TRUE(canvas.GetCursor().IsSameAs(before)) << "Shift put another cursor on the eraser";
    EXPECT_EQ(canvas.shownCursor(), CanvasCursor::Brush3);
    EXPECT_EQ(Engine().GetStickerForm(), ' ');
}

// A tool's menu holds the keyboard while it is open: real Escape closes it
// with nothing started, real Down and Return choose an entry.
TEST_F(PhotoEditControlsTest, AToolMenuAnswersTheKeyboard) {
    LoadDemoPhoto();
    const std::string idle = dlg->controller().hint();
    auto menuHoldsKeyboard = [] { return platform::ui::ActivePopupMenuHasKeyboard(); };
    bool closedByEscape = false;
    Steps escape({{menuHoldsKeyboard, [] { testsupport::XPressKey(WXK_ESCAPE); }},
                  {[] { return platform::ui::ActivePopupMenuWindow() == nullptr; }, [&] { closedByEscape = true; }}});
    ClickTool(tool::kClearBackground);  // "清除背景"
    RunUntilDone(escape);
    EXPECT_TRUE(closedByEscape) << "stopped at step " << escape.reached();
    EXPECT_EQ(dlg->controller().hint(), idle);

    // Down highlights "设置放大图区", Down again "用橡皮擦去背景"; Return starts the eraser.
    Steps choose({{menuHoldsKeyboard,
                   [] {
                       testsupport::XPressKey(WXK_DOWN);
                       testsupport::XPressKey(WXK_DOWN);
                   }},
                  {[] {
                       const platform::PopupMenuModel* m = platform::ui::ActivePopupMenuModel();
                       return m && m->highlighted() == 1;
                   },
                   [] { testsupport::XPressKey(WXK_RETURN); }},
                  {[] { return platform::ui::ActivePopupMenuWindow() == nullptr; }, [] {}}});
    PumpKeepingFocus(600);  // not a double click
    ClickTool(tool::kClearBackground);
    RunUntilDone(choose);
    ASSERT_TRUE(choose.done()) << "stopped at step " << choose.reached();
    PumpKeepingFocus(150);
    EXPECT_EQ(dlg->controller().hint(), "按住左键移动橡皮擦图.滚轮改半径.按Alt(或Ctrl)键反擦.右键结束.");
}

TEST_F(PhotoEditControlsTest, TheEdgeColourChooserStartsAtTheCurrentEdgeColour) {
    LoadDemoPhoto();
    Engine().SetEdgeColor(0xCC6633);
    unsigned shownColour = 0;
    Steps steps({{[] { return platform::ui::ActivePopupMenuWindow() && platform::ui::ActivePopupMenuWindow()->IsShown(); },
                  [&] {
                      PumpKeepingFocus(300);
                      const platform::PopupMenuModel* menu = platform::ui::ActivePopupMenuModel();
                      wxWindow* win = platform::ui::ActivePopupMenuWindow();
                      Shot(win, "sticker-menu");
                      for (int i = 0; i < static_cast<int>(menu->items().size()); ++i)
                          if (menu->items()[static_cast<std::size_t>(i)].text == "设置亮边颜色") {
                              const platform::PopupRect r = menu->ItemRect(i);
                              ClickAt(win->ClientToScreen(wxPoint(r.x + r.width / 2, r.y + r.height / 2)));
                              return;
                          }
                      ADD_FAILURE() << "no 设置亮边颜色 in the sticker tool's menu";
                      testsupport::XPressKey(WXK_ESCAPE);
                  }},
                 {[] { return testsupport::FindShownDialog<CCMyColorSelDlg>() != nullptr; },
                  [&] {
                      CCMyColorSelDlg* chooser = testsupport::FindShownDialog<CCMyColorSelDlg>();
                      PumpKeepingFocus(100);
                      shownColour = chooser->GetColor();
                      Shot(chooser, "edge-colour");
                      chooser->EndModal(wxID_CANCEL);
                  }}});
    ClickTool(tool::kSticker);  // "大头贴"
    RunUntilDone(steps);
    ASSERT_TRUE(steps.done()) << "stopped at step " << steps.reached();
    EXPECT_EQ(shownColour, 0xCC6633u);
    EXPECT_EQ(Engine().edgeColour(), 0xCC6633u);  // cancelled: unchanged
}

// The icon menu on its own: a disabled item's picture is embossed, and a
// nested pop-up opens and gives its command.
TEST(IconMenuWindow, DisabledPicturesAreEmbossedAndNestedPopupsOpen) {
    CIconMenu menu;
    ASSERT_TRUE(menu.LoadImageList(154));
    auto cmd = [](int id, const char* text, bool enabled = true) {
        picture_controls::MenuNode n;
        n.id = id;
        n.text = text;
        n.enabled = enabled;
        return n;
    };
    picture_controls::MenuNode moves;
    moves.text = "移动放大窗口";
    moves.children = {cmd(32799, "左移放大窗口"), cmd(32800, "右移放大窗口")};
    std::vector<picture_controls::MenuNode> nodes = {cmd(32789, "终止化装操作", false), cmd(32790, "继续操作,..."),
                                                     moves};
    menu.MakeOwnerDraw(nodes);
    wxFrame* owner = new wxFrame(nullptr, wxID_ANY, "owner", wxPoint(100, 100), wxSize(300, 200));
    owner->Show();
    testsupport::PumpEvents(100);

    wxImage disabledBox;
    wxRect rootRect;
    bool subOpened = false;
    Steps steps({{[] { return platform::ui::ActivePopupMenuWindow() != nullptr; },
                  [&] {
                      PumpKeepingFocus(100);
                      wxWindow* win = platform::ui::ActivePopupMenuWindow();
                      const platform::PopupMenuModel* m = platform::ui::ActivePopupMenuModel();
                      const platform::PopupRect r = m->ItemRect(0);
                      rootRect = win->GetScreenRect();
                      disabledBox = testsupport::GrabScreenArea(
                          wxRect(win->ClientToScreen(wxPoint(r.x, r.y)), wxSize(r.height, r.height)));
                      const platform::PopupRect p = m->ItemRect(2);
                      ClickAt(win->ClientToScreen(wxPoint(p.x + p.width / 2, p.y + p.height / 2)));
                  }},
                 {[] {
                      const platform::PopupMenuModel* m = platform::ui::ActivePopupMenuModel();
                      return m && m->items().size() == 2;
                  },
                  [&] {
                      subOpened = true;
                      PumpKeepingFocus(150);
                      wxWindow* win = platform::ui::ActivePopupMenuWindow();
                      const platform::PopupMenuModel* m = platform::ui::ActivePopupMenuModel();
                      const wxImage both = testsupport::GrabScreenArea(rootRect.Union(win->GetScreenRect()));
                      both.SaveFile(wxString::FromUTF8(testsupport::Screen("pictova-controls-icon-submenu.png")),
                                    wxBITMAP_TYPE_PNG);
                      const platform::PopupRect r = m->ItemRect(1);
                      ClickAt(win->ClientToScreen(wxPoint(r.x + r.width / 2, r.y + r.height / 2)));
                  }}});
    const int chosen = menu.Track(owner, nodes, wxPoint(150, 150));
    EXPECT_TRUE(subOpened);
    EXPECT_EQ(chosen, 32800);

    // The disabled picture shows only the menu's own colours: the light and
    // shade of the emboss over the background, none of the picture's red.
    ASSERT_TRUE(disabledBox.IsOk());
    const wxColour back = wxSystemSettings::GetColour(wxSYS_COLOUR_MENU);
    const wxColour light = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT);
    const wxColour shade = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW);
    int lightSeen = 0, shadeSeen = 0, other = 0;
    for (int y = 0; y < disabledBox.GetHeight(); ++y)
        for (int x = 0; x < disabledBox.GetWidth(); ++x) {
            const wxColour c(disabledBox.GetRed(x, y), disabledBox.GetGreen(x, y), disabledBox.GetBlue(x, y));
            if (c == shade) ++shadeSeen;
            else if (c == light) ++lightSeen;
            else if (c != back) ++other;
        }
    EXPECT_GT(shadeSeen, 50);  // the 12 x 12 square
    EXPECT_GT(lightSeen, 10);  // its lower and right edge, one pixel out
    EXPECT_EQ(other, 0);
    owner->Destroy();
    testsupport::PumpEvents(50);
}

// Pixels of a grabbed area that stand out from the menu's background.
int MarkedPixels(const wxImage& img, const wxRect& area) {
    const wxColour back = wxSystemSettings::GetColour(wxSYS_COLOUR_MENU);
    int marked = 0;
    for (int y = area.y; y < area.GetBottom() + 1 && y < img.GetHeight(); ++y)
        for (int x = area.x; x < area.GetRight() + 1 && x < img.GetWidth(); ++x)
            if (std::abs(img.GetRed(x, y) - back.Red()) + std::abs(img.GetGreen(x, y) - back.Green()) +
                    std::abs(img.GetBlue(x, y) - back.Blue()) > 90)
                ++marked;
    return marked;
}

// The icon menu asks a command target for its items' state before it opens:
// a checked item without a toolbar picture shows the check picture in the
// picture box, an unchecked one shows nothing there, and an accelerator after
// a tab stands at the right, 15 pixels in from the edge, apart from its word.
TEST(IconMenuWindow, CheckPictureAndRightAlignedAcceleratorFromTheCommandTarget) {
    CIconMenu menu;
    ASSERT_TRUE(menu.LoadImageList(154));
    auto cmd = [](int id, const char* text) {
        picture_controls::MenuNode n;
        n.id = id;
        n.text = text;
        return n;
    };
    // 9001 and 9002 have no button on toolbar 154; the first item is the
    // widest, so the accelerator row has room to spare.
    std::vector<picture_controls::MenuNode> nodes = {cmd(9001, "显示网格及全部参考线"), cmd(9002, "显示标尺"),
                                                     cmd(32790, "继续操作\tCtrl+G")};
    menu.MakeOwnerDraw(nodes);
    wxFrame* owner = new wxFrame(nullptr, wxID_ANY, "owner", wxPoint(100, 100), wxSize(300, 200));
    owner->Bind(wxEVT_UPDATE_UI, [](wxUpdateUIEvent& e) { e.Check(true); }, 9001);
    owner->Bind(wxEVT_UPDATE_UI, [](wxUpdateUIEvent& e) { e.Enable(false); }, 9002);
    owner->Show();
    testsupport::PumpEvents(100);
    CIconMenu::UpdateMenuUI(nodes, *owner);
    EXPECT_TRUE(nodes[0].checked);
    EXPECT_FALSE(nodes[1].checked);
    EXPECT_FALSE(nodes[1].enabled);
    EXPECT_TRUE(nodes[2].enabled);
    wxUIActionSimulator().MouseMove(wxPoint(5, 5));  // no item under the pointer

    int checkBox = -1, emptyBox = -1, wordStart = -1, textLeft = -1, wordEnd = -1, accelStart = -1, accelEnd = -1, rightLimit = -1;
    Steps steps({{[] { return platform::ui::ActivePopupMenuWindow() != nullptr; },
                  [&] {
                      PumpKeepingFocus(150);
                      wxWindow* win = platform::ui::ActivePopupMenuWindow();
                      const platform::PopupMenuModel* m = platform::ui::ActivePopupMenuModel();
                      const wxImage shot = testsupport::GrabScreenArea(win->GetScreenRect());
                      shot.SaveFile(wxString::FromUTF8(testsupport::Screen("pictova-controls-icon-check-accel.png")),
                                    wxBITMAP_TYPE_PNG);
                      const wxPoint origin = win->ClientToScreen(wxPoint(0, 0)) - win->GetScreenPosition();
                      auto box = [&](int i) {
                          const platform::PopupRect r = m->ItemRect(i);
                          return wxRect(origin.x + r.x, origin.y + r.y, r.height, r.height);
                      };
                      checkBox = MarkedPixels(shot, box(0));
                      emptyBox = MarkedPixels(shot, box(1));
                      // The accelerator row, column by column right of the picture box.
                      const platform::PopupRect r = m->ItemRect(2);
                      std::vector<int> columns;
                      for (int x = origin.x + r.x + r.height + 1; x < origin.x + r.x + r.width; ++x)
                          if (MarkedPixels(shot, wxRect(x, origin.y + r.y + 2, 1, r.height - 4)) > 0) columns.push_back(x);
                      ASSERT_FALSE(columns.empty());
                      // The largest gap between marked columns separates word and accelerator.
                      std::size_t gapAt = 0;
                      int widest = -1;
                      for (std::size_t k = 1; k < columns.size(); ++k)
                          if (columns[k] - columns[k - 1] > widest) {
                              widest = columns[k] - columns[k - 1];
                              gapAt = k - 1;
                          }
                      ASSERT_LT(gapAt + 1, columns.size());
                      wordStart = columns.front() - origin.x - r.x;
                      textLeft = r.height + 2;
                      wordEnd = columns[gapAt] - origin.x - r.x;
                      accelStart = columns[gapAt + 1] - origin.x - r.x;
                      accelEnd = columns.back() - origin.x - r.x;
                      rightLimit = r.width - 15;
                      testsupport::XPressKey(WXK_ESCAPE);
                  }}});
    const int chosen = menu.Track(owner, nodes, wxPoint(150, 150));
    EXPECT_TRUE(steps.done());
    EXPECT_EQ(chosen, 0);
    EXPECT_GT(checkBox, 8) << "no check picture for the checked item";
    EXPECT_EQ(emptyBox, 0) << "an unchecked item without a picture shows something in its box";
    EXPECT_LE(accelEnd, rightLimit);
    EXPECT_GE(accelEnd, rightLimit - 3) << "the accelerator does not end at the right";
    EXPECT_GT(accelStart - wordEnd, 6) << "word and accelerator run together";
    EXPECT_LE(wordStart, textLeft + 2) << "the word does not start at the left";
    owner->Destroy();
    testsupport::PumpEvents(50);
}

// The make-up brush's menu in the dialog is updated through the dialog
// before it opens: a real right click in the magnifier panel shows what the
// dialog's update handlers say, and a disabled item cannot be chosen.
TEST_F(PhotoEditControlsTest, TheMakeupMenuShowsTheDialogsCommandState) {
    LoadDemoPhoto();
    dlg->controller().Command(cmd::kMakeupBrush);
    testsupport::PumpEvents(150);
    ASSERT_EQ(dlg->canvas().control().toolMode(), mode::kMakeupBrush);
    ASSERT_FALSE(dlg->controller().panelShowsMaterials());
    dlg->Bind(wxEVT_UPDATE_UI, [](wxUpdateUIEvent& e) { e.Enable(false); }, cmd::kMagnifierLeft);
    dlg->Bind(wxEVT_UPDATE_UI, [](wxUpdateUIEvent& e) { e.Check(true); }, cmd::kContinue);
    const int colBefore = Engine().magnifierCol();

    std::vector<platform::PopupItem> shown;
    wxImage disabledBox;
    bool stillOpen = false;
    Steps steps({{[] { return platform::ui::ActivePopupMenuWindow() != nullptr; },
                  [&] {
                      PumpKeepingFocus(150);
                      wxWindow* win = platform::ui::ActivePopupMenuWindow();
                      const platform::PopupMenuModel* m = platform::ui::ActivePopupMenuModel();
                      shown = m->items();
                      Shot(win, "makeup-menu-state");
                      const platform::PopupRect r = m->ItemRect(2);
                      disabledBox = testsupport::GrabScreenArea(
                          wxRect(win->ClientToScreen(wxPoint(r.x, r.y)), wxSize(r.height, r.height)));
                      ClickAt(win->ClientToScreen(wxPoint(r.x + r.width / 2, r.y + r.height / 2)));
                  }},
                 {[] { return true; },
                  [&] {
                      PumpKeepingFocus(300);
                      stillOpen = platform::ui::ActivePopupMenuWindow() != nullptr;
                      if (!stillOpen) return;
                      wxWindow* win = platform::ui::ActivePopupMenuWindow();
                      const platform::PopupRect r = platform::ui::ActivePopupMenuModel()->ItemRect(3);
                      ClickAt(win->ClientToScreen(wxPoint(r.x + r.width / 2, r.y + r.height / 2)));  // "右移放大窗口"
                  }}});
    wxUIActionSimulator sim;
    const wxSize panel = dlg->panel()->GetClientSize();
    sim.MouseMove(dlg->panel()->ClientToScreen(wxPoint(panel.x / 2, panel.y / 2)));
    sim.MouseClick(wxMOUSE_BTN_RIGHT);
    RunUntilDone(steps);
    ASSERT_TRUE(steps.done()) << "stopped at step " << steps.reached();
    testsupport::PumpEvents(200);
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_TRUE(shown[0].enabled);
    EXPECT_TRUE(shown[1].checked);
    EXPECT_FALSE(shown[2].enabled);
    EXPECT_TRUE(shown[3].enabled);
    EXPECT_FALSE(shown[3].checked);
    EXPECT_TRUE(stillOpen) << "a click on the disabled item closed the menu";
    EXPECT_GT(Engine().magnifierCol(), colBefore) << "the enabled item's command did not run";
    // The disabled item's picture shows embossed: only the menu's own colours.
    ASSERT_TRUE(disabledBox.IsOk());
    const wxColour back = wxSystemSettings::GetColour(wxSYS_COLOUR_MENU);
    const wxColour light = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT);
    const wxColour shade = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW);
    int other = 0;
    for (int y = 0; y < disabledBox.GetHeight(); ++y)
        for (int x = 0; x < disabledBox.GetWidth(); ++x) {
            const wxColour c(disabledBox.GetRed(x, y), disabledBox.GetGreen(x, y), disabledBox.GetBlue(x, y));
            if (c != back && c != light && c != shade) ++other;
        }
    EXPECT_EQ(other, 0);
}

}  // namespace
