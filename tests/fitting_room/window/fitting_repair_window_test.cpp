// The fitting room and the show stage driven the way a user drives them:
// every click, double click and key goes through the X server to the real
// controls. A saved picture shows on the first pick; an imported photo and
// its menu buttons appear at once; a replaced garment keeps its true
// proportions on the stage and leaves the project file changed only in its
// scale; the replace dialog closes on Escape and on a close request; the
// show stage's bar floats inside the screen and docks again, and comes back
// after its close box; dragged onto the right edge it docks there and comes
// back there; a show actor scaled past the stage keeps its shape.
// Screens: screens/fittora-repair-*.png.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/image.h>
#include <wx/stattext.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "controls/control_bar.h"
#include "fitting_room/dress_child_frame.h"
#include "fitting_room/dress_toolbar.h"
#include "fitting_room/dress_view.h"
#include "fitting_room/photo_bar.h"
#include "fitting_room/replace_cloth_dlg.h"
#include "fitting_room/shared_objects.h"
#include "fitting_room/show_child_frame.h"
#include "fitting_room/show_stage_form.h"
#include "platform/sound/sound.h"
#include "platform/ui/message_box.h"
#include "project_editor/project_file.h"
#include "shell/bar_geometry.h"
#include "shell/base_directory.h"
#include "shell/client_shell.h"
#include "shell/deferred_request.h"
#include "shell/fittora_view.h"
#include "shell/main_frame.h"
#include "shell/nav_bar.h"
#include "shell/sys_info.h"
#include "tests/controls/drag_outline_on_screen.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/user_input.h"
#include "tests/support/window_test_util.h"
#include "tests/support/x_window_state.h"

using namespace fitting_room;
namespace fs = std::filesystem;
using testsupport::ClickAtScreen;
using testsupport::DoubleClickAtScreen;
using testsupport::PumpEvents;

namespace {

std::vector<std::uint8_t> Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

wxPoint Centre(const wxRect& r) { return wxPoint(r.x + r.width / 2, r.y + r.height / 2); }

// How many pixels of the image are close to the colour.
int CountNear(const wxImage& img, wxColour c, int tolerance = 12) {
    int n = 0;
    const unsigned char* p = img.GetData();
    for (int i = 0; i < img.GetWidth() * img.GetHeight(); ++i, p += 3)
        if (std::abs(p[0] - c.Red()) <= tolerance && std::abs(p[1] - c.Green()) <= tolerance &&
            std::abs(p[2] - c.Blue()) <= tolerance)
            ++n;
    return n;
}

void SaveFilled(const fs::path& p, int w, int h, wxColour c, wxBitmapType type = wxBITMAP_TYPE_PNG) {
    wxImage img(w, h);
    img.SetRGB(wxRect(0, 0, w, h), c.Red(), c.Green(), c.Blue());
    fs::create_directories(p.parent_path());
    ASSERT_TRUE(img.SaveFile(wxString::FromUTF8(p.string()), type)) << p;
}

// Runs `steps` one per tick once a shown top-level window of type T is found
// (for example inside a modal dialog's own event loop). A window still open
// two seconds after the last step (or never done after twenty) is ended, so a
// fault never leaves the test waiting in a dialog; leftOpen() says so.
template <class T>
class WindowDriver {
public:
    explicit WindowDriver(std::vector<std::function<void(T*)>> steps) : m_steps(std::move(steps)) {
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
        m_timer.Start(250);
    }
    ~WindowDriver() { m_timer.Stop(); }
    bool done() const { return m_next >= m_steps.size(); }
    bool leftOpen() const { return m_leftOpen; }

private:
    void Tick() {
        ++m_ticks;
        for (wxWindow* w : wxTopLevelWindows) {
            auto* t = dynamic_cast<T*>(w);
            if (!t || !t->IsShown()) continue;
            if (!done() && m_ticks <= 80) {
                m_steps[m_next++](t);
                m_doneAt = m_ticks;
            } else if (m_ticks - m_doneAt > 8) {
                m_leftOpen = true;
                if (t->IsModal()) t->EndModal(wxID_CANCEL);
                else t->Hide();
            }
            return;
        }
        if (done()) m_timer.Stop();
    }
    std::vector<std::function<void(T*)>> m_steps;
    std::size_t m_next = 0;
    int m_ticks = 0;
    int m_doneAt = 0;
    bool m_leftOpen = false;
    wxTimer m_timer;
};

class RepairWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "服饰搭配sysproj/女装Open.ico"));
        ResetSharedObjects();
        ResetShowStageTables();
        DlgImgedtFormview::ResetRunOnce();
        shell::ResetDeferred();
        shell::ResetSysInfo();
        fs::copy(testsupport::DemoBase(), tmp.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::remove(tmp / "FittoraSysinfo.dm3");
        shell::SetBaseDirectory(tmp.path());
        cwd = std::make_unique<testsupport::ScopedCwd>(tmp.path());
        DressToolBarDialogs() = {};
        CDlgReplaceCloth::Folder().clear();
    }
    void Start(bool showAutostart = false, int autoStartMs = 1500) {
        // The start-up switch as the user left it last time.
        shell::SysInfo().SetDirectory(tmp.path());
        shell::SysInfo().LoadOrCreate();
        shell::SysInfo().SetShowAutostart(showAutostart ? 'Y' : ' ');
        client.SetFrameFactory(0, [autoStartMs](platform::ui::MdiClient* c) -> platform::ui::MdiChildFrame* {
            return CMWinFram_ImageEdtChdWnd::Make(c, [](wxWindow* p) { return new CFittoraView(p); }, autoStartMs);
        });
        client.SetFrameFactory(1, [](platform::ui::MdiClient* c) -> platform::ui::MdiChildFrame* {
            return CMWinFram_DressChdWnd::Make(c);
        });
        frame = client.Start();
        ASSERT_NE(frame, nullptr);
        frame->ShowMaximised();
        frame->Raise();
        PumpEvents(400);
        showFrame = dynamic_cast<CMWinFram_ImageEdtChdWnd*>(frame->client()->ActiveChild());
        ASSERT_NE(showFrame, nullptr);
    }
    void TearDown() override {
        DressToolBarDialogs() = {};
        if (frame) frame->Destroy();
        frame = nullptr;
        PumpEvents(80);
        platform::sound::Stop();
        shell::ResetDeferred();
        ResetSharedObjects();
        CDlgReplaceCloth::Folder().clear();
        cwd.reset();
    }
    // A click on the side bar's tab of window 0-3.
    void ClickNavTab(int window) {
        const auto tabs = shell::NavTabs(frame->navBar()->lineHeight());
        const auto& hit = tabs.at(static_cast<std::size_t>(window)).hit;
        ClickAtScreen(frame->navBar()->ClientToScreen(wxPoint(10, (hit.top + hit.bottom) / 2)), 400);
    }
    void OpenFittingRoom() {
        ClickNavTab(1);
        const auto& docs = client.templates().at(1)->documents();
        ASSERT_EQ(docs.size(), 1u);
        room = dynamic_cast<CMWinFram_DressChdWnd*>(docs[0]);
        ASSERT_NE(room, nullptr);
        ASSERT_EQ(frame->client()->ActiveChild(), room);
        bar = room->toolBar();
        PumpEvents(200);
    }
    // A click on a button of the picture toolbar.
    void Press(int id) {
        const wxPoint at = bar->ButtonCentre(id);
        ASSERT_EQ(bar->ButtonAt(at), id);
        ClickAtScreen(bar->ClientToScreen(at), 250);
    }
    // A click on the thumbnail of the right list whose picture is `name`.
    void PickGarment(const std::string& name) {
        CGarmentPicList& list = RightGarmentList();
        for (const auto& pc : list.PagePlan())
            for (const auto& cell : pc.cells) {
                if (list.PartPicture(list.listedPart(cell.position)).filename() != name) continue;
                const wxPoint p((cell.hit.left + cell.hit.right) / 2, (cell.hit.top + cell.hit.bottom) / 2);
                ClickAtScreen(room->view()->ClientToScreen(p), 250);
                return;
            }
        FAIL() << name << " is not on the right list's page";
    }
    CCShowGraCWnd* stage() const { return room->view()->stage(); }
    wxImage StageOnScreen() const { return testsupport::GrabScreenArea(stage()->GetScreenRect()); }
    void Shot(const std::string& name, wxWindow* w) {
        PumpEvents(250);
        EXPECT_TRUE(testsupport::SaveWindowScreenshot(w, testsupport::Screen("fittora-repair-" + name + ".png")));
    }

    testsupport::TempDir tmp;
    std::unique_ptr<testsupport::ScopedCwd> cwd;
    ClientShell client;
    CMainFrame* frame = nullptr;
    CMWinFram_ImageEdtChdWnd* showFrame = nullptr;
    CMWinFram_DressChdWnd* room = nullptr;
    CDressToolBar* bar = nullptr;
};

// ---- the snapshot bar ----

TEST_F(RepairWindowTest, ASavedPictureShowsOnTheFirstPickByMouseOrKeys) {
    const fs::path photos = tmp / "服饰搭配拍照图片";
    for (const auto& e : fs::directory_iterator(photos)) fs::remove(e.path());
    SaveFilled(photos / "甲红.png", 300, 200, wxColour(220, 30, 30));
    SaveFilled(photos / "乙蓝.png", 300, 200, wxColour(30, 40, 220));
    Start();
    OpenFittingRoom();
    Press(kBtnCamera);
    DlgPhotoBar* photo = room->photoBar();
    ASSERT_TRUE(photo->IsShown());
    // The label switches to the saved pictures.
    ClickAtScreen(photo->modeLabel()->ClientToScreen(wxPoint(5, 5)));
    ASSERT_EQ(photo->mode(), 1);
    wxComboBox* saved = photo->savedCombo();
    ASSERT_TRUE(saved->IsShownOnScreen());
    ASSERT_EQ(saved->GetCount(), 2u);

    // The list opens on a press of its arrow (held a moment, as a hand does).
    auto openList = [&] {
        photo->Raise();
        PumpEvents(100);
        wxUIActionSimulator sim;
        sim.MouseMove(saved->ClientToScreen(wxPoint(saved->GetSize().x - 15, saved->GetSize().y / 2)));
        PumpEvents(100);
        sim.MouseDown();
        PumpEvents(200);
        sim.MouseUp();
        // The opened list holds the keyboard, as the desktop's lists do.
        ASSERT_TRUE(testsupport::DeliverUntil([] { return testsupport::KeyboardHeld(); }, 5000));
        testsupport::DeliverEvents(200);
    };
    // The mouse: a click on the first entry of the opened list. The list
    // drops below the box, one entry about 30 pixels high.
    openList();
    ClickAtScreen(saved->ClientToScreen(wxPoint(40, saved->GetSize().y + 15)), 150);
    testsupport::DeliverUntil([&] { return saved->GetSelection() == 0; }, 5000);
    PumpEvents(250);
    ASSERT_EQ(saved->GetSelection(), 0);
    EXPECT_EQ(stage()->control().shownPicture(), photos / "乙蓝.png");
    EXPECT_GT(CountNear(StageOnScreen(), wxColour(30, 40, 220)), 300 * 200 * 9 / 10);
    Shot("1-snapshot-shown", frame);

    // The keys: the next entry of the opened list, taken with Return.
    openList();
    testsupport::PressKey(WXK_DOWN, 150);
    testsupport::PressKey(WXK_RETURN, 150);
    testsupport::DeliverUntil([&] { return saved->GetSelection() == 1; }, 5000);
    PumpEvents(250);
    ASSERT_EQ(saved->GetSelection(), 1);
    EXPECT_EQ(stage()->control().shownPicture(), photos / "甲红.png");
    EXPECT_GT(CountNear(StageOnScreen(), wxColour(220, 30, 30)), 300 * 200 * 9 / 10);
}

// ---- the imported photo ----

TEST_F(RepairWindowTest, AnImportedPhotoAndItsMenuButtonsShowAtOnce) {
    const fs::path chosen = tmp / "服饰搭配拍照图片" / "导入照片.png";
    SaveFilled(chosen, 300, 400, wxColour(40, 170, 60));
    Start();
    OpenFittingRoom();
    Press(kBtnMenu);
    ASSERT_TRUE(stage()->control().menuShown());
    EXPECT_FALSE(stage()->control().ButtonShown(11));  // no photo yet

    DressToolBarDialogs().photoFile = [&](wxWindow*, const fs::path&) { return std::optional<fs::path>(chosen); };
    Press(kBtnPhoto);
    const StageControl& control = stage()->control();
    EXPECT_TRUE(control.photoShown());
    ASSERT_TRUE(control.ButtonShown(11));
    EXPECT_TRUE(control.ButtonShown(12));
    EXPECT_EQ(control.button(11).picture, "DressHouseMnu_PhotoShowOn.png");
    EXPECT_EQ(shell::SysInfo().GetPhoto(nullptr), 'Y');
    // On the screen: the photo at (20, 20) of the stage (here the part of it
    // beside the menu's column), and its button.
    const wxRect besideMenu(130, 30, 180, 380);
    EXPECT_GT(CountNear(StageOnScreen().GetSubImage(besideMenu), wxColour(40, 170, 60)), 180 * 380 * 95 / 100);
    EXPECT_FALSE(control.button(11).drawn.empty());
    Shot("2-imported-photo", room);

    // The photo button works at once: a click hides the photo, one more shows it.
    const Rect b = control.button(11).drawn;
    ClickAtScreen(stage()->ClientToScreen(wxPoint((b.left + b.right) / 2, (b.top + b.bottom) / 2)), 300);
    EXPECT_FALSE(control.photoShown());
    EXPECT_EQ(control.button(11).picture, "DressHouseMnu_PhotoShowOff.png");
    EXPECT_LT(CountNear(StageOnScreen().GetSubImage(besideMenu), wxColour(40, 170, 60)), 100);
}

// ---- the replace-garment dialog ----

// Where two project files differ, as "block record +offset" of each byte.
std::vector<std::string> DifferingFields(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    using namespace project_editor;
    std::vector<std::string> out;
    if (a.size() != b.size()) out.push_back("size " + std::to_string(a.size()) + " -> " + std::to_string(b.size()));
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i] == b[i]) continue;
        std::string where;
        if (i < kHeaderSize)
            where = "header +" + std::to_string(i);
        else if (i < kBlocksStart)
            where = "info +" + std::to_string(i - kHeaderSize);
        else
            where = "from the parts +" + std::to_string(i - kBlocksStart);
        out.push_back(where);
    }
    return out;
}

TEST_F(RepairWindowTest, AReplacedGarmentKeepsItsTrueProportionsAndOnlyItsScaleIsSaved) {
    // The source: an evening dress of 161 x 398 saved as "*.PNG" in a folder
    // of its own, chosen in an earlier opening of the dialog.
    const fs::path pictures = tmp / "服饰搭配基本项目" / "女装" / "试衣及按钮图片";
    const fs::path folder = tmp / "换装图片";
    fs::create_directories(folder);
    fs::copy_file(pictures / "红色晚礼服.png", folder / "晚礼服.PNG");
    CDlgReplaceCloth::Folder() = folder;
    const fs::path projectFile = project_editor::BasicProjectFilePath(tmp.path(), "女装");
    const auto projectBefore = Bytes(projectFile);
    const auto sourceBytes = Bytes(folder / "晚礼服.PNG");

    Start();
    OpenFittingRoom();
    PickGarment("白色棉衬衫.png");  // 136 x 180
    PickedItem picked;
    ASSERT_EQ(RightGarmentList().GetPickedItem(&picked), 1);
    const int part = RightGarmentList().currentPart();
    const int slot = picked.Slot();
    ASSERT_TRUE(FittingModel().item('R', slot).Shown());
    EXPECT_EQ(FittingModel().item('R', slot).naturalWidth, 136);

    bool thumbDrawn = false;
    WindowDriver<CDlgReplaceCloth> driver({
        [&](CDlgReplaceCloth* dlg) {
            ASSERT_EQ(dlg->names(), std::vector<std::string>{"晚礼服.PNG"});
            // The thumbnail is drawn (not an empty cell), then clicked.
            const ThumbGrid g = dlg->Grid();
            const wxPoint cell = dlg->thumbs()->ClientToScreen(wxPoint(g.left, g.top));
            const wxImage shot = testsupport::GrabScreenArea(wxRect(cell, wxSize(kThumbBox, kThumbBox)));
            thumbDrawn = shot.IsOk() && CountNear(shot, wxColour(0xA6, 0xB1, 0xA6), 2) < kThumbBox * kThumbBox - 200;
            testsupport::SaveWindowScreenshot(dlg, testsupport::Screen("fittora-repair-3-replace-dialog.png"));
            wxUIActionSimulator().MouseMove(cell + wxPoint(kThumbBox / 2, kThumbBox / 2));
        },
        [&](CDlgReplaceCloth*) { wxUIActionSimulator().MouseClick(); },
        [&](CDlgReplaceCloth* dlg) {
            EXPECT_EQ(dlg->source(), folder / "晚礼服.PNG");
            wxWindow* replace = dlg->FindWindow(1082);
            wxUIActionSimulator().MouseMove(replace->ClientToScreen(Centre(wxRect(replace->GetSize()))));
        },
        [&](CDlgReplaceCloth*) { wxUIActionSimulator().MouseClick(); },
    });
    platform::ui::MessageBoxRecorder boxes;
    Press(kBtnReplace);
    PumpEvents(300);
    EXPECT_TRUE(driver.done());
    EXPECT_FALSE(driver.leftOpen()) << "the dialog did not end with the replace";
    EXPECT_TRUE(thumbDrawn) << "the *.PNG picture shows an empty cell";
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown().front().text;
    EXPECT_EQ(Bytes(picked.picture), sourceBytes);

    // The slot took the new picture's size and the stored scale at once:
    // 136 x 1.0 / 161 keeps the old width, the height follows the dress.
    const float scale = 136.0f / 161.0f;
    PickedItem after;
    ASSERT_EQ(RightGarmentList().GetPickedItem(&after), 1);
    EXPECT_FLOAT_EQ(after.scale, scale);
    const StageItem& item = FittingModel().item('R', slot);
    EXPECT_EQ(item.naturalWidth, 161);
    EXPECT_EQ(item.naturalHeight, 398);
    EXPECT_EQ(item.width, static_cast<int>(161 * static_cast<double>(scale)));
    EXPECT_EQ(item.height, static_cast<int>(398 * static_cast<double>(scale)));
    const Rect drawn = FittingModel().DrawnRect('R', slot);
    EXPECT_NEAR(double(drawn.width()) / drawn.height(), 161.0 / 398.0, 0.01);
    Shot("3-replaced-garment", room->view());

    // The project file: the part's scale field, and no other byte.
    const auto projectAfter = Bytes(projectFile);
    const std::size_t scaleAt = project_editor::kPartSize * static_cast<std::size_t>(part) + 540;
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < 4; ++i) {
        if (projectBefore[project_editor::kBlocksStart + scaleAt + i] !=
            projectAfter[project_editor::kBlocksStart + scaleAt + i])
            expected.push_back("from the parts +" + std::to_string(scaleAt + i));
    }
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(DifferingFields(projectBefore, projectAfter), expected);
    project_editor::ProjectFile reread;
    ASSERT_EQ(project_editor::LoadProjectFile(projectFile, reread), project_editor::ProjectFileError::None);
    EXPECT_FLOAT_EQ(reread.parts[static_cast<std::size_t>(part)].Scale(), scale);
}

TEST_F(RepairWindowTest, EscapeAndTheCloseBoxEndTheReplaceDialog) {
    Start();
    OpenFittingRoom();
    PickGarment("白色棉衬衫.png");
    PickedItem picked;
    ASSERT_EQ(RightGarmentList().GetPickedItem(&picked), 1);
    const auto pictureBefore = Bytes(picked.picture);
    const fs::path projectFile = project_editor::BasicProjectFilePath(tmp.path(), "女装");
    const auto projectBefore = Bytes(projectFile);

    for (const char* how : {"Escape", "close box"}) {
        SCOPED_TRACE(how);
        const bool escape = std::string(how) == "Escape";
        bool asked = false;
        WindowDriver<CDlgReplaceCloth> driver({
            [&](CDlgReplaceCloth* dlg) {
                if (escape) {
                    dlg->Raise();
                    wxUIActionSimulator().Char(WXK_ESCAPE);
                } else {
                    asked = testsupport::PressCloseBox(dlg);
                }
            },
        });
        shell::Deferred().code = 0;
        Press(kBtnReplace);
        PumpEvents(400);
        ASSERT_TRUE(driver.done());
        EXPECT_FALSE(driver.leftOpen());
        EXPECT_TRUE(escape || asked);
        // Back from the dialog: it is gone, the toolbar asked for a repaint.
        bool open = false;
        for (wxWindow* w : wxTopLevelWindows)
            if (dynamic_cast<CDlgReplaceCloth*>(w) && w->IsShown()) open = true;
        EXPECT_FALSE(open);
        EXPECT_EQ(shell::Deferred().code, 66600366);
    }
    EXPECT_EQ(Bytes(picked.picture), pictureBefore);
    EXPECT_EQ(Bytes(projectFile), projectBefore);
}

// ---- the docking bar of the show stage ----

TEST_F(RepairWindowTest, TheWorkspaceBarFloatsOnTheScreenDocksAgainAndComesBack) {
    Start();
    CQxTabControlBar* wbar = showFrame->bar();
    const wxRect docked = wbar->GetRect();
    ASSERT_EQ(wbar->side(), controls::DockSide::Left);
    const wxRect area = wxDisplay(static_cast<unsigned>(std::max(0, wxDisplay::GetFromWindow(frame)))).GetClientArea();
    // A double click on the bar's sizing edge floats it.
    auto floatIt = [&] {
        const wxPoint edge = wbar->ClientToScreen(wxPoint(wbar->GetSize().x - 3, wbar->GetSize().y / 2));
        DoubleClickAtScreen(edge, 400);
        ASSERT_TRUE(wbar->IsFloating());
        ASSERT_NE(wbar->floatFrame(), nullptr);
    };
    auto dockedAgain = [&] {
        EXPECT_FALSE(wbar->IsFloating());
        EXPECT_EQ(wbar->floatFrame(), nullptr);
        EXPECT_EQ(wbar->GetParent(), showFrame);
        EXPECT_EQ(wbar->GetRect(), docked);
        EXPECT_EQ(showFrame->view()->GetPosition().x, docked.width);
    };

    floatIt();
    CQxFloatFrame* ff = wbar->floatFrame();
    // The floating frame lies inside the work area, with the form shown in it.
    const wxRect floating = ff->GetScreenRect();
    EXPECT_TRUE(area.Contains(floating)) << floating.x << "," << floating.y << " " << floating.width << "x"
                                         << floating.height << " in " << area.width << "x" << area.height;
    EXPECT_LE(floating.height, area.height);
    EXPECT_TRUE(showFrame->form()->IsShownOnScreen());
    Shot("4-bar-floating", ff);
    // A double click on its caption docks it again.
    DoubleClickAtScreen(ff->body()->ClientToScreen(ff->CaptionRect().GetPosition() + wxPoint(40, 8)), 400);
    dockedAgain();
    Shot("4-bar-docked-again", frame);

    // A double click on the rim does the same.
    floatIt();
    ff = wbar->floatFrame();
    DoubleClickAtScreen(ff->body()->ClientToScreen(wxPoint(1, ff->body()->GetSize().y / 2)), 400);
    dockedAgain();

    // Dragging the caption over the middle of the window moves the floating
    // frame there (near the window's edges it would dock).
    floatIt();
    ff = wbar->floatFrame();
    const wxPoint grip = ff->body()->ClientToScreen(ff->CaptionRect().GetPosition() + wxPoint(60, 8));
    const wxPoint before = ff->body()->ClientToScreen(wxPoint(0, 0));
    {
        testsupport::XDrag drag(grip);
        drag.MoveTo(grip + wxPoint(70, 300));
    }
    ASSERT_TRUE(wbar->IsFloating());
    ASSERT_EQ(wbar->floatFrame(), ff);
    EXPECT_EQ(ff->body()->ClientToScreen(wxPoint(0, 0)), before + wxPoint(70, 300));
    // Its close box hides the bar; the window opened again brings it back.
    ClickAtScreen(ff->body()->ClientToScreen(Centre(ff->CloseBoxRect())), 400);
    EXPECT_FALSE(wbar->IsShown());
    EXPECT_EQ(wbar->floatFrame(), nullptr);
    EXPECT_EQ(showFrame->view()->GetPosition().x, 0);
    ClickNavTab(1);
    ClickNavTab(0);
    ASSERT_EQ(frame->client()->ActiveChild(), showFrame);
    EXPECT_TRUE(wbar->IsShownOnScreen());
    dockedAgain();

    // Closing the window while the bar floats takes its frame along.
    floatIt();
    frame->RunCommand(ID_CLOSE_CHILD);
    PumpEvents(200);
    for (wxWindow* w : wxTopLevelWindows) {
        if (dynamic_cast<CQxFloatFrame*>(w)) {
            EXPECT_FALSE(w->IsShown());
        }
    }
}

// Dragged by its caption onto the window's right edge, the floating bar shows
// its docked shape there and docks there at its own width; floated again it
// docks back on the right, and after its close box it comes back there with
// its window.
TEST_F(RepairWindowTest, TheWorkspaceBarDraggedOntoTheRightEdgeDocksThereAndComesBackThere) {
    Start();
    CQxTabControlBar* wbar = showFrame->bar();
    const wxSize client = showFrame->GetClientSize();
    const wxPoint origin = showFrame->ClientToScreen(wxPoint(0, 0));
    const wxRect dockedRight(origin.x + client.x - 566, origin.y, 566, client.y);
    auto floatFrom = [&](int edgeX) {
        DoubleClickAtScreen(wbar->ClientToScreen(wxPoint(edgeX, wbar->GetSize().y / 2)), 400);
        EXPECT_TRUE(wbar->IsFloating());
        CQxFloatFrame* ff = wbar->floatFrame();
        if (ff) testsupport::WaitUntilPlaced(ff);
        return ff;
    };
    auto onTheRight = [&] {
        EXPECT_EQ(wbar->side(), controls::DockSide::Right);
        EXPECT_EQ(wbar->floatFrame(), nullptr);
        EXPECT_EQ(outlinetest::XRectOnceAt(wbar, dockedRight), dockedRight);
        EXPECT_TRUE(testsupport::XStateOf(wbar).viewable);
        EXPECT_EQ(testsupport::XStateOf(showFrame->view()).screen,
                  wxRect(origin.x, origin.y, client.x - 566, client.y));
        EXPECT_TRUE(showFrame->form()->IsShownOnScreen());
    };

    CQxFloatFrame* ff = floatFrom(wbar->GetSize().x - 3);
    ASSERT_NE(ff, nullptr);
    {
        testsupport::XDrag drag(outlinetest::Grip(ff));
        drag.MoveTo(origin + wxPoint(client.x / 2, client.y / 2));
        EXPECT_EQ(outlinetest::XOutlineWidth(ff->outline()), CQxDragOutline::kFloatingWidth);
        drag.MoveTo(origin + wxPoint(client.x - 2, client.y / 2));
        EXPECT_EQ(outlinetest::XOutlineOnceAt(ff->outline(), dockedRight), dockedRight);
        EXPECT_EQ(outlinetest::XOutlineWidth(ff->outline()), CQxDragOutline::kDockedWidth);
    }
    ASSERT_TRUE(testsupport::DeliverUntil([&] { return !wbar->IsFloating(); }, 3000));
    PumpEvents(300);
    onTheRight();
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(frame, testsupport::Screen("dock-right.png")));

    // Its sizing edge is now on its left: a double click there floats it, one
    // on the caption docks it on the right again.
    ff = floatFrom(3);
    ASSERT_NE(ff, nullptr);
    DoubleClickAtScreen(outlinetest::Grip(ff), 400);
    ASSERT_TRUE(testsupport::DeliverUntil([&] { return !wbar->IsFloating(); }, 3000));
    PumpEvents(200);
    onTheRight();

    // The close box hides it; the window opened again shows it on the right.
    ff = floatFrom(3);
    ASSERT_NE(ff, nullptr);
    ClickAtScreen(ff->body()->ClientToScreen(Centre(ff->CloseBoxRect())), 400);
    EXPECT_FALSE(testsupport::XStateOf(wbar).viewable);
    ClickNavTab(1);
    ClickNavTab(0);
    ASSERT_EQ(frame->client()->ActiveChild(), showFrame);
    PumpEvents(200);
    onTheRight();

    // Dropped on the top edge it docks there at its 1200-pixel height, cut to
    // the window: the bar covers it all and the view has no room left.
    ff = floatFrom(3);
    ASSERT_NE(ff, nullptr);
    {
        testsupport::XDrag drag(outlinetest::Grip(ff));
        drag.MoveTo(origin + wxPoint(client.x / 2, 2));
        EXPECT_EQ(outlinetest::XOutlineOnceAt(ff->outline(), wxRect(origin, client)), wxRect(origin, client));
    }
    ASSERT_TRUE(testsupport::DeliverUntil([&] { return !wbar->IsFloating(); }, 3000));
    PumpEvents(300);
    EXPECT_EQ(wbar->side(), controls::DockSide::Top);
    EXPECT_EQ(outlinetest::XRectOnceAt(wbar, wxRect(origin, client)), wxRect(origin, client));
    // The view with no room draws nothing, and leaves the drawing it shares
    // sound: what comes after it still shows.
    {
        wxBitmap shared(120, 30, 24);
        {
            wxMemoryDC dc(shared);
            auto* view = dynamic_cast<CFittoraView*>(showFrame->view());
            ASSERT_NE(view, nullptr);
            view->Draw(dc, wxSize(120, 0));
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.SetBrush(*wxRED_BRUSH);
            dc.DrawRectangle(0, 0, 120, 30);
        }
        const wxImage after = shared.ConvertToImage();
        EXPECT_EQ(wxColour(after.GetRed(60, 15), after.GetGreen(60, 15), after.GetBlue(60, 15)), *wxRED);
    }
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(frame, testsupport::Screen("dock-top.png")));
}

// ---- a show actor scaled past the stage ----

TEST_F(RepairWindowTest, AShowActorScaledPastTheStageKeepsItsShapeAndIsClipped) {
    // An 88 x 270 actor whose rows have their own colours, at scale 2.0 in
    // the middle of the 520 x 390 stage: 176 x 540, cut at the top and bottom.
    const fs::path show = tmp / "服饰发布展台图片";
    auto rowColour = [](int row) { return wxColour(row & 0xFF, 0x40 + (row >> 8) * 0x40, 0x80); };
    wxImage actor(88, 270);
    for (int y = 0; y < 270; ++y) {
        const wxColour c = rowColour(y);
        actor.SetRGB(wxRect(0, y, 88, 1), c.Red(), c.Green(), c.Blue());
    }
    ASSERT_TRUE(actor.SaveFile(wxString::FromUTF8((show / "高个模特.bmp").string()), wxBITMAP_TYPE_BMP));
    {
        std::ofstream script(show / "KZV动画描述.txt", std::ios::binary);
        script << "<RGB:255,0,255;BG:1;BMP1:\xB8\xDF\xB8\xF6\xC4\xA3\xCC\xD8;>(MV1:260,195,2.0;TIM:4000)";
    }
    Start(true, 100);
    DlgImgedtFormview* form = showFrame->form();
    for (int i = 0; i < 200 && form->frameCounter() < 1; ++i) PumpEvents(20);
    ASSERT_EQ(form->playState(), kShowPlaying);
    ASSERT_GE(form->frameCounter(), 1);
    const wxImage composed = form->currentFrame().ConvertToImage();
    ASSERT_EQ(composed.GetSize(), wxSize(520, 390));
    auto at = [&](int x, int y) { return wxColour(composed.GetRed(x, y), composed.GetGreen(x, y), composed.GetBlue(x, y)); };
    // Across: 176 pixels from x 172; the columns beside them are the stage's.
    for (int y : {0, 100, 195, 389}) {
        const wxColour expected = rowColour((y + 75) / 2);  // stage row y is actor row (y + 75) / 2
        for (int x : {172, 200, 260, 347}) EXPECT_EQ(at(x, y), expected) << x << ", " << y;
        EXPECT_NE(at(171, y), expected) << y;
        EXPECT_NE(at(348, y), expected) << y;
    }
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(form, testsupport::Screen("fittora-repair-5-show-actor.png")));
    form->StopShow();
}

// ---- picking on the stage ----

// Two garments of the right list overlap: where the front one (the lower
// slot) covers the one behind, the screen shows the front one and a real
// click picks it, not the one behind (which was the current slot).
TEST_F(RepairWindowTest, AClickWhereTwoGarmentsOverlapPicksTheFrontOne) {
    const fs::path front = tmp / "叠放" / "前.png", back = tmp / "叠放" / "后.png";
    SaveFilled(front, 200, 200, wxColour(220, 30, 30));
    SaveFilled(back, 200, 200, wxColour(30, 40, 220));
    Start();
    OpenFittingRoom();
    CFittingModel& model = FittingModel();
    ASSERT_EQ(model.ShowRightItem(front, 1.0f, 40, 40, 3), 1);
    ASSERT_EQ(model.ShowRightItem(back, 1.0f, 140, 140, 40), 1);
    ASSERT_EQ(model.currentSlot(), 40);
    stage()->RepaintStage();
    PumpEvents(250);
    const wxImage shown = StageOnScreen();
    ASSERT_TRUE(shown.IsOk());
    const wxPoint overlap(190, 190), backOnly(300, 300);
    EXPECT_EQ(wxColour(shown.GetRed(overlap.x, overlap.y), shown.GetGreen(overlap.x, overlap.y),
                       shown.GetBlue(overlap.x, overlap.y)),
              wxColour(220, 30, 30))
        << "the front garment is not on top on the screen";
    Shot("overlap", room);

    ClickAtScreen(stage()->ClientToScreen(overlap), 300);
    EXPECT_EQ(model.currentList(), 'R');
    EXPECT_EQ(model.currentSlot(), 3) << "the click picked the garment behind";
    EXPECT_EQ(model.selection('R'), 3);
    ClickAtScreen(stage()->ClientToScreen(backOnly), 300);
    EXPECT_EQ(model.currentSlot(), 40);
}

}  // namespace
