// Pavanel's frame on a copy of the demo base directory under a real X server:
// the series project opens, two parts are placed from the gallery, one is
// dragged, a rectangle and an arrow are drawn, the placement is stored (and
// read back by an independent reader), the colour chooser opens, the
// composition is saved, a voice plays, and closing saves a change; twelve
// pictures are added to a category, twelve more from a folder chosen in the
// folder tree as copies of a part, and a category is replaced. Long part
// names stay in their gallery cells, on the screen too after the part
// parameters dialog set one; the tool icons go out when a tool ends by
// itself. Screens go to screens/pavanel-stage-*.png,
// screens/pavanel-addpics-*.png and screens/gallery-long-name*.png.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/dcmemory.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/weakref.h>

#include "picture_controls/hover_button.h"
#include "picture_controls/hyper_link.h"
#include "picture_controls/my_color_sel_dlg.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui/message_box.h"
#include "platform/ui/quit_signals.h"
#include "project_editor/add_fitting_pic_dlg.h"
#include "project_editor/pavanel_frame.h"
#include "project_editor/pavanel_session.h"
#include "project_editor/pavanel_view.h"
#include "project_editor/project_grids.h"
#include "project_editor/project_open_dlg.h"
#include "project_editor/project_param_dlg.h"
#include "project_editor/shell_tree_ctrl.h"
#include "project_editor/sys_set_info.h"
#include "tests/project_editor/dm3_reader.h"
#include "tests/project_editor/project_fixtures.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/user_input.h"
#include "tests/support/window_test_util.h"
#include "tests/support/x_window_state.h"

namespace fs = std::filesystem;
using namespace project_editor;

namespace {

const char* const kSeries = "2010秋冬女装";

wxPoint Centre(const Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// The gallery cell that shows the part with this picture name.
GalleryCell CellOf(CPavanelView* view, const std::string& picture) {
    for (const GalleryCell& c : view->gallery().Cells())
        if (c.part >= 0 && CProjectStore::Instance().Part(c.part).PictureName() == picture) return c;
    ADD_FAILURE() << "no gallery cell for " << picture;
    return {};
}

class PavanelWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "KZV网页项目文件" /
                                               (std::string(kSeries) + ".dm3")));
        for (const char* part : {"KZV网页项目文件", kSeries, "服饰搭配sysproj", "KZV背景图片", "sysSetInfo.sy3",
                                 "KZV软件使用说明.htm"}) {
            fs::copy(testsupport::DemoBase() / fs::path(part), m_base / fs::path(part),
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        }
        fs::create_directories(m_base.path() / "KZV我制作的搭配图");
        m_screens = testsupport::ScreensDir();
        fs::create_directories(m_screens);
        m_cwd = std::make_unique<testsupport::ScopedCwd>(m_base.path());
        CProjectStore::ResetInstance();
        StageSlotTable::ResetInstance();
        CSysSetInfo::ResetInstance();
        StageDrawList().Clear();
        CHyperLink::SetOpener([this](const std::string& target, std::string*) {
            m_opened.push_back(target);
            return true;
        });
        m_frame = new CMainFrame(m_base.path());
        m_frame->ShowMaximised();
        testsupport::PumpEvents(400);
        m_view = m_frame->view();
    }
    void TearDown() override {
        if (m_frame) m_frame->Destroy();
        testsupport::PumpEvents(50);
        CHyperLink::SetOpener(picture_controls::DesktopLinkOpener());
    }
    void Shot(const std::string& name) {
        m_frame->Raise();
        m_view->Refresh();
        testsupport::PumpEvents(150);
        EXPECT_TRUE(testsupport::SaveWindowScreenshot(m_frame, (m_screens / ("pavanel-stage-" + name + ".png")).string()));
    }
    // A drag on the stage canvas, in canvas coordinates.
    void Drag(wxPoint from, wxPoint to) {
        CStageWnd* stage = m_view->stage();
        stage->HandleButton(true, 1, from);
        for (int i = 1; i <= 4; ++i)
            stage->HandleMotion(from + (to - from) * i / 4, true, false);
        stage->HandleButton(false, 1, to);
        testsupport::PumpEvents(30);
    }
    fs::path ProjectFile() const { return m_base.path() / "KZV网页项目文件" / (std::string(kSeries) + ".dm3"); }

    testsupport::TempDir m_base;
    fs::path m_screens;
    std::unique_ptr<testsupport::ScopedCwd> m_cwd;
    platform::ui::MessageBoxRecorder m_boxes;
    CMainFrame* m_frame = nullptr;
    CPavanelView* m_view = nullptr;
    std::vector<std::string> m_opened;
};

TEST_F(PavanelWindow, PlacesDragsDrawsStoresAndSaves) {
    CProjectStore& store = CProjectStore::Instance();
    StageSlotTable& slots = StageSlotTable::Instance();
    ASSERT_EQ(store.ProjectName(), kSeries);
    EXPECT_EQ(m_frame->GetTitle().utf8_string(), std::string(kPavanelTitle));
    ASSERT_GE(m_view->gallery().items().size(), 15u);
    EXPECT_TRUE(m_boxes.shown().empty()) << m_boxes.shown().front().text;
    for (int id : {kIdBackgroundPicture, kIdProjectTable}) EXPECT_TRUE(m_view->control(id)->IsEnabled()) << id;
    EXPECT_FALSE(m_view->control(kIdAddPictures)->IsEnabled()) << "processing mode starts off";
    Shot("0-opened");

    // Two parts from the gallery (the auto check puts them on the stage).
    const int n = store.PartCount();
    m_view->LeftDown(Centre(CellOf(m_view, "秋冬模特").picture));
    m_view->LeftDown(Centre(CellOf(m_view, "驼色风衣").picture));
    testsupport::PumpEvents(50);
    const int model = slots.SlotOfPart(CellOf(m_view, "秋冬模特").part, n);
    const int coatPart = CellOf(m_view, "驼色风衣").part;
    const int coat = slots.SlotOfPart(coatPart, n);
    EXPECT_EQ(model, 99);
    EXPECT_EQ(coat, 30);
    ASSERT_EQ(slots.Current(), coat);
    EXPECT_TRUE(m_view->control(kIdAddToStage)->IsEnabled());

    // Drag the coat 120 px right and 40 px down.
    const StageSlot before = slots.Slot(coat);
    const Rect box = before.Box({0, 0});
    const wxPoint grab = Centre(box);
    Drag(grab, grab + wxPoint(120, 40));
    EXPECT_EQ(slots.Slot(coat).x, grab.x + 120 - before.scaledHeight / 2);
    EXPECT_EQ(slots.Slot(coat).y, grab.y + 40 - before.scaledWidth / 2);

    // A rectangle and an arrow with the tool icon bar, in the drawing colour.
    StageDrawList().SetColor(0x2020E0);
    StageDrawList().SetWidth(3);
    m_view->LeftDown(Centre(m_view->toolIcon(2)));
    EXPECT_EQ(m_view->stage()->control().tool(), kToolRectangle);
    Drag({560, 120}, {760, 260});
    m_view->LeftDown(Centre(m_view->toolIcon(5)));
    EXPECT_EQ(m_view->stage()->control().tool(), kToolArrow);
    Drag({520, 420}, {700, 330});
    ASSERT_EQ(StageDrawList().itemCount(), 2);
    EXPECT_EQ(StageDrawList().item(0).kind, 'B');
    EXPECT_EQ(StageDrawList().item(1).kind, 'E');
    EXPECT_EQ(StageDrawList().item(1).count, 8);
    m_view->stage()->HandleButton(true, 3, {10, 10});  // right button: back to select mode

    // Store the coat's placement, one layer forward and a little larger.
    m_view->RunCommand(kIdForward);
    EXPECT_EQ(slots.Current(), 29);
    m_view->RunCommand(kIdLarger);
    const StageSlot stored = slots.Slot(29);
    m_view->RunCommand(kIdStorePlacement);
    const dm3test::File f = dm3test::Read(ProjectFile());
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.parts[coatPart].x, stored.x);
    EXPECT_EQ(f.parts[coatPart].y, stored.y);
    EXPECT_EQ(f.parts[coatPart].depth, 29);
    EXPECT_FLOAT_EQ(f.parts[coatPart].scale, static_cast<float>(static_cast<double>(stored.scaledWidth) /
                                                                stored.pictureWidth));
    EXPECT_EQ(f.modified, 0);
    Shot("1-placed-and-drawn");

    // The colour chooser at the caption-colour swatch, seen while it is open.
    wxTimer timer;
    bool seen = false;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxWindow* w : wxTopLevelWindows) {
            if (auto* dlg = dynamic_cast<CCMyColorSelDlg*>(w); dlg && dlg->IsShown()) {
                dlg->SetColor(0x3050F0);
                dlg->Update();
                testsupport::PumpEvents(100);
                seen = testsupport::SaveWindowScreenshot(m_frame, (m_screens / "pavanel-stage-2-colour-chooser.png").string());
                const wxRect r = dlg->GetScreenRect();
                const wxRect screen = wxGetClientDisplayRect();
                EXPECT_TRUE(screen.Contains(r)) << "the chooser stays on screen";
                dlg->EndModal(wxID_OK);
                return;
            }
        }
    });
    timer.StartOnce(700);
    m_view->ChooseCaptionColour();
    EXPECT_TRUE(seen);
    EXPECT_EQ(m_view->stage()->control().captionColour(), 0x3050F0u);

    // Save the composition as PNG.
    static_cast<wxTextCtrl*>(m_view->control(kIdPictureName))->SetValue(wxString::FromUTF8("秋冬搭配"));
    m_view->ComboSelected(kIdPictureType, 2);
    EXPECT_TRUE(m_view->control(kIdSaveComposition)->IsEnabled());
    m_view->RunCommand(kIdSaveComposition);
    const fs::path saved = m_base.path() / "KZV我制作的搭配图" / "秋冬搭配.png";
    ASSERT_TRUE(fs::exists(saved));
    wxImage picture;
    ASSERT_TRUE(picture.LoadFile(wxString::FromUTF8(saved.string())));
    EXPECT_EQ(picture.GetSize(), m_view->stage()->GetClientSize());
    fs::copy_file(saved, m_screens / "pavanel-stage-3-composition.png", fs::copy_options::overwrite_existing);

    // A change that only closing saves.
    m_view->RunCommand(kIdBack);
    EXPECT_TRUE(store.IsModified());
    m_frame->Close();
    m_frame = nullptr;
    testsupport::PumpEvents(50);
    EXPECT_EQ(dm3test::Read(ProjectFile()).parts[coatPart].depth, 30);
}

TEST_F(PavanelWindow, VoicesPlayOrSaySoAndLinksOpen) {
    CProjectStore& store = CProjectStore::Instance();
    m_view->LeftDown(Centre(CellOf(m_view, "燕麦色开衫").picture));
    m_view->RunCommand(kIdSound);
    EXPECT_TRUE(m_boxes.shown().empty()) << "the WAV voice plays";
    m_view->LeftDown(Centre(CellOf(m_view, "驼色风衣").picture));
    m_view->RunCommand(kIdSound);
    ASSERT_EQ(m_boxes.shown().size(), 1u);
    EXPECT_NE(m_boxes.shown().back().text.find("无法播放声音文件: 风衣介绍.wma"), std::string::npos) << m_boxes.shown().back().text;
    // The face picture of the coat over the stage, then off again.
    m_view->RunCommand(kIdFace);
    EXPECT_EQ(m_view->stage()->control().overlay().filename().string(), "驼色风衣_展示.jpg");
    m_view->RunCommand(kIdFace);
    EXPECT_TRUE(m_view->stage()->control().overlay().empty());
    // Marking mode in the gallery: two ticks, then a new depth for both.
    m_view->LeftUp(Centre(m_view->markingModeRect()));
    m_view->LeftUp(Centre(m_view->markingModeRect()));
    EXPECT_EQ(m_view->gallery().markingMode(), kMarkDepth);
    const GalleryCell a = CellOf(m_view, "海魂条纹衫"), b = CellOf(m_view, "白色棉衬衫");
    m_view->LeftDown(Centre(a.picture));
    m_view->LeftDown(Centre(b.picture));
    Shot("4-marking");
    m_view->ComboSelected(kIdDisplay, 43);
    EXPECT_EQ(store.Part(a.part).Depth(), 44);
    EXPECT_EQ(store.Part(b.part).Depth(), 44);
    EXPECT_EQ(m_view->gallery().markingMode(), kMarkDisplay);
    EXPECT_EQ(StageSlotTable::Instance().Current(), kNoSlot);
    // Processing mode labels every part with its depth.
    m_view->CheckChanged(kIdProcessing, true);
    EXPECT_EQ(m_view->control(kIdWebPage)->GetLabel().utf8_string(), "试衣图片参数");
    Shot("7-processing-mode");
    m_view->CheckChanged(kIdProcessing, false);
    EXPECT_EQ(m_view->control(kIdWebPage)->GetLabel().utf8_string(), "创建搭配网页");
    // The manual link opens the page beside the data.
    auto* link = dynamic_cast<CHyperLink*>(wxWindow::FindWindowByLabel(wxString::FromUTF8("使用说明"), m_view));
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->Open());
    ASSERT_EQ(m_opened.size(), 1u);
    EXPECT_EQ(fs::path(m_opened[0]).filename().string(), "KZV软件使用说明.htm");
}

TEST_F(PavanelWindow, ReferencePictureTurnsAndScalesOnTheStage) {
    const fs::path reference = m_base.path() / "KZV背景图片" / "秋日街景.jpg";
    ASSERT_TRUE(m_view->stage()->LoadPictureFile(reference));
    m_view->ComboSelected(kIdReferenceAngle, 1);  // 15 degrees
    m_view->ComboSelected(kIdReferenceScale, 2);  // 0.75
    EXPECT_EQ(m_view->stage()->control().referenceAngle(), 15);
    EXPECT_DOUBLE_EQ(m_view->stage()->control().referenceScale(), 0.75);
    m_view->LeftDown(Centre(CellOf(m_view, "秋冬模特").picture));
    m_view->LeftDown(Centre(CellOf(m_view, "藏青百褶裙").picture));
    Shot("5-reference-picture");
    // The stage shows the picture: a point right of the model, well inside the
    // turned picture, is not the background colour.
    const wxImage shown = m_view->stage()->RenderPicture();
    const wxSize size = shown.GetSize();
    const int x = size.x * 2 / 3, y = size.y * 2 / 5;
    EXPECT_FALSE(shown.GetRed(x, y) == 155 && shown.GetGreen(x, y) == 222 && shown.GetBlue(x, y) == 255);
    m_view->RunCommand(kIdClearReference);
    EXPECT_TRUE(m_view->stage()->control().referencePath().empty());
}

TEST_F(PavanelWindow, TheFrameSelectionChoosesWhatTheCompositionKeeps) {
    m_view->LeftDown(Centre(CellOf(m_view, "秋冬模特").picture));
    static_cast<wxTextCtrl*>(m_view->control(kIdPictureName))->SetValue("frame");
    m_view->RunCommand(kIdFrame);
    for (int id : {kIdSelect, kIdSaveComposition, kIdCaptionHeight, kIdAddToStage})
        EXPECT_FALSE(m_view->control(id)->IsEnabled()) << id;
    CStageWnd* stage = m_view->stage();
    stage->HandleButton(true, 1, {100, 60});
    stage->HandleButton(false, 1, {100, 60});
    stage->HandleMotion({150, 100}, false, false);
    stage->HandleMotion({420, 560}, false, false);
    testsupport::PumpEvents(30);
    stage->HandleButton(true, 1, {420, 560});
    const wxPoint at = stage->GetPosition();
    EXPECT_EQ(m_view->frameRect(), (Rect{100, 60, 420, 560}.Offset(at.x, at.y)));
    for (int id : {kIdSelect, kIdSaveComposition, kIdCaptionHeight, kIdAddToStage, kIdWebPage})
        EXPECT_TRUE(m_view->control(id)->IsEnabled()) << id;
    for (int id : {kIdBackgroundPicture, kIdProjectTable}) EXPECT_TRUE(m_view->control(id)->IsEnabled()) << id;
    EXPECT_FALSE(m_view->control(kIdAddPictures)->IsEnabled()) << "processing mode is off";
    m_view->CheckChanged(kIdShowFrame, true);
    Shot("6-frame");
    m_view->RunCommand(kIdSaveComposition);
    wxImage picture;
    ASSERT_TRUE(picture.LoadFile(wxString::FromUTF8((m_base.path() / "KZV我制作的搭配图" / "frame.jpg").string())));
    EXPECT_EQ(picture.GetSize(), wxSize(320, 500));
}

TEST_F(PavanelWindow, AFailedSaveOnCloseAsksAndCanKeepTheWindow) {
    CProjectStore& store = CProjectStore::Instance();
    m_view->LeftDown(Centre(CellOf(m_view, "驼色风衣").picture));
    m_view->RunCommand(kIdBack);
    ASSERT_TRUE(store.IsModified());
    store.SetBaseDir(m_base.path() / "gone");  // the project folder cannot be written
    m_boxes.QueueAnswer(platform::MbResult::No);
    m_frame->Close();
    testsupport::PumpEvents(50);
    ASSERT_EQ(m_boxes.shown().size(), 1u);
    EXPECT_EQ(m_boxes.shown()[0].buttons, platform::MbButtons::YesNo);
    EXPECT_TRUE(m_frame->IsShown()) << "the user kept the window";
    EXPECT_TRUE(store.IsModified());
    // With the folder back, closing saves.
    store.SetBaseDir(m_base.path());
    m_frame->Close();
    m_frame = nullptr;
    testsupport::PumpEvents(50);
    EXPECT_FALSE(store.IsModified());
}

// SIGTERM ends Pavanel the way closing its frame does: the modified project
// is written whole, as it is in memory.
TEST_F(PavanelWindow, AQuitSignalClosesTheFrameAndSavesTheProject) {
    CProjectStore& store = CProjectStore::Instance();
    m_view->LeftDown(Centre(CellOf(m_view, "驼色风衣").picture));
    m_view->RunCommand(kIdBack);
    ASSERT_TRUE(store.IsModified());
    const fs::path file = ProjectFile();
    const auto before = testsupport::ReadAll(file);
    wxWeakRef<CMainFrame> alive(m_frame);
    {
        platform::ui::QuitSignalWatch watch(m_frame);
        ::raise(SIGTERM);
        for (int i = 0; i < 40 && alive; ++i) testsupport::PumpEvents(25);
    }
    EXPECT_FALSE(alive) << "the frame is still open";
    m_frame = alive.get();
    EXPECT_FALSE(store.IsModified());
    const auto after = testsupport::ReadAll(file);
    EXPECT_NE(after, before);
    const std::vector<std::uint8_t> expected = WriteProjectBytes(store.Project());
    EXPECT_EQ(after, std::vector<unsigned char>(expected.begin(), expected.end()));
}

// Runs `act` on the add-pictures dialog once it is open, then opens it with `open`.
bool WithAddDialog(const std::function<void()>& open, const std::function<void(CAddFittingPicDlg&)>& act) {
    testsupport::ModalDialogDriver driver([] { return testsupport::FindShownDialog<CAddFittingPicDlg>(); },
                                          [&](wxDialog* dlg) {
                                              auto* add = static_cast<CAddFittingPicDlg*>(dlg);
                                              act(*add);
                                              if (add->IsModal()) add->EndModal(wxID_CANCEL);
                                          },
                                          60);
    open();
    // A modal dialog holds open() until the driver has ended it; a dialog
    // that has not come a few seconds after open() returned never opened.
    if (!testsupport::DeliverUntil(
            [&] { return driver.acted() || testsupport::FindShownDialog<CAddFittingPicDlg>(); }, 3000))
        return false;
    driver.WaitUntilClosed();
    return driver.acted() && !driver.timedOut();
}

TEST_F(PavanelWindow, AddsTwelvePicturesBothWays) {
    CProjectStore& store = CProjectStore::Instance();
    const fs::path pics = m_base.path() / kSeries / "试衣及按钮图片";
    const std::vector<fs::path> own = platform::ListFiles(pics, "*.png");
    ASSERT_GE(own.size(), 12u);
    // Twelve pictures no part uses yet: the project's own pictures under new names.
    std::vector<std::string> fresh, arrived;
    const fs::path src = m_base.path() / "新到货";
    fs::create_directories(src);
    for (int i = 0; i < 12; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%02d", i + 1);
        fresh.push_back(std::string("新款") + name);
        arrived.push_back(std::string("到货") + name);
        fs::copy_file(own[static_cast<std::size_t>(i)], pics / (fresh.back() + ".png"));
        fs::copy_file(own[static_cast<std::size_t>(11 - i)], src / (arrived.back() + ".png"));
    }
    int caption = -1;
    for (int i = 0; i < store.PartCount(); ++i)
        if (store.Part(i).RowType() == 'T' && store.Part(i).Name() == "上装") caption = i;
    ASSERT_GE(caption, 0);
    int categoryEnd = caption + 1;
    while (categoryEnd < store.PartCount() && store.Part(categoryEnd).RowType() != 'T') ++categoryEnd;
    const int n0 = store.PartCount();

    // Mode 0 from "加试衣图片" (in processing mode): the twelve go into 上装.
    testsupport::ClickOn(m_view->control(kIdProcessing));
    ASSERT_TRUE(m_view->control(kIdAddPictures)->IsEnabled());
    const bool seen = WithAddDialog([&] { m_view->RunCommand(kIdAddPictures); }, [&](CAddFittingPicDlg& dlg) {
        EXPECT_EQ(dlg.GetTitle().utf8_string(), "添加试衣图片");
        auto* combo = static_cast<wxComboBox*>(dlg.FindWindow(kIdCategoryCombo));
        for (unsigned i = 0; i < combo->GetCount(); ++i)
            if (combo->GetString(i).utf8_string() == "上装") combo->SetSelection(static_cast<int>(i));
        const auto& entries = dlg.core().entries();
        for (int e = 0; e < static_cast<int>(entries.size()); ++e) {
            if (!entries[static_cast<std::size_t>(e)].title.starts_with("新款")) continue;
            if (e < dlg.core().first() + dlg.core().columns() * dlg.core().rows())
                dlg.ClickPictures(dlg.CellOrigin(e) + wxPoint(45, 45));
            else
                dlg.core().Toggle(e);
        }
        EXPECT_EQ(dlg.core().TickedCount(), 12);
        dlg.Refresh();
        testsupport::PumpEvents(200);
        EXPECT_TRUE(testsupport::SaveWindowScreenshot(&dlg, (m_screens / "pavanel-addpics-1-category.png").string()));
        dlg.RunCommand(kIdConfirmAdd);
    });
    ASSERT_TRUE(seen);
    ASSERT_EQ(store.PartCount(), n0 + 12);
    dm3test::File f = dm3test::Read(ProjectFile());
    ASSERT_TRUE(f.ok);
    ASSERT_EQ(f.n, n0 + 12);
    std::int32_t depth = 60;
    for (int i = categoryEnd - 1; i > caption; --i) {
        depth = store.Part(i).Depth();
        break;
    }
    for (int j = 0; j < 12; ++j) {
        const dm3test::Part& p = f.parts[static_cast<std::size_t>(categoryEnd + j)];
        const std::string title = fresh[static_cast<std::size_t>(j)];
        wxImage image;
        ASSERT_TRUE(image.LoadFile(wxString::FromUTF8((pics / (title + ".png")).string())));
        const std::string gbk = platform::Utf8ToGbkLossy(title);
        testbytes::ByteBuilder want = testbytes::PartBytes(static_cast<char>(f.parts[caption].category), 'n', gbk);
        want.U8(2, f.parts[caption].bytes[2]).Fill(69, 14, 0).Raw(69, "---").Fill(151, 220, 0).Raw(85, gbk);
        want.Fill(504, 9, 0).Raw(504, "0.00").U8(485, ' ').U8(486, ' ').U8(513, ' ');
        want.I32(516, 200).I32(520, 200).I32(524, depth).I32(532, image.GetWidth()).I32(536, image.GetHeight());
        want.F32Bits(540, image.GetWidth() > 200 || image.GetHeight() > 200 ? 0x3F000000 : 0x3F800000);
        EXPECT_EQ(p.bytes, want.bytes()) << title << ": blank defaults apart from the set fields";
        EXPECT_EQ(p.faceBytes, testbytes::FaceBytes('0').bytes()) << title;
    }
    m_view->Refresh();
    Shot("addpics");
    fs::rename(m_screens / "pavanel-stage-addpics.png", m_screens / "pavanel-addpics-2-gallery.png");

    // Mode 9 from the group icon: the twelve from a folder chosen in the tree
    // become copies of the selected part.
    int ref = -1;
    for (int i = 0; i < store.PartCount(); ++i)
        if (store.Part(i).RowType() == 'T' && store.Part(i).Name() == "下装") ref = i + 1;
    ASSERT_GT(ref, 0);
    m_view->editor().SelectPart(ref);
    const PartRecord templatePart = store.Part(ref);
    const FaceRecord templateFace = store.Face(ref);
    const int n1 = store.PartCount();
    bool treeSeen = false;
    CAddFittingPicDlg::FolderDialogHook() = [&](CFolderTreeDlg& tree) {
        EXPECT_EQ(tree.GetId(), kFolderDialogId);
        EXPECT_TRUE(tree.tree().SelectFolder(src));
        testsupport::PumpEvents(200);
        EXPECT_EQ(tree.path(), src);
        EXPECT_EQ(tree.GetTitle().utf8_string(), src.string());
        treeSeen = testsupport::SaveWindowScreenshot(&tree, (m_screens / "pavanel-addpics-3-folder-tree.png").string());
        tree.EndModal(wxID_OK);
    };
    const bool seen9 = WithAddDialog(
        [&] {
            const wxPoint at = Centre(m_view->groupIcon());
            m_view->LeftDown(at);
            m_view->LeftUp(at);
        },
        [&](CAddFittingPicDlg& dlg) {
            EXPECT_EQ(dlg.GetTitle().utf8_string(), "批量添加替换试衣图片");
            dlg.RunCommand(kIdSourceFolder);
            EXPECT_EQ(dlg.core().sourceFolder(), src);
            ASSERT_EQ(dlg.core().entries().size(), 12u);
            for (int e = 0; e < 12; ++e) dlg.ClickPictures(dlg.CellOrigin(e) + wxPoint(20, 20));
            dlg.Refresh();
            testsupport::PumpEvents(200);
            EXPECT_TRUE(testsupport::SaveWindowScreenshot(&dlg, (m_screens / "pavanel-addpics-4-reference.png").string()));
            dlg.RunCommand(kIdConfirmAdd);
        });
    CAddFittingPicDlg::FolderDialogHook() = nullptr;
    ASSERT_TRUE(seen9);
    EXPECT_TRUE(treeSeen);
    ASSERT_EQ(store.PartCount(), n1 + 12);
    f = dm3test::Read(ProjectFile());
    ASSERT_EQ(f.n, n1 + 12);
    for (int j = 0; j < 12; ++j) {
        const int i = ref + j;  // right after the caption row
        const std::string title = arrived[static_cast<std::size_t>(j)];
        PartRecord want = templatePart;
        want.SetName(title);
        want.SetPictureName(title);
        EXPECT_EQ(store.Part(i), want) << title;
        EXPECT_EQ(store.Face(i), templateFace) << title;
        EXPECT_EQ(f.parts[static_cast<std::size_t>(i)].pictureGbk, platform::Utf8ToGbkLossy(title));
        EXPECT_TRUE(fs::exists(pics / (title + ".png")));
    }
    EXPECT_EQ(store.Part(ref + 12).Name(), templatePart.Name()) << "the reference part stays, behind the new ones";
    m_view->Refresh();
    Shot("addpics");
    fs::rename(m_screens / "pavanel-stage-addpics.png", m_screens / "pavanel-addpics-5-after-reference.png");

    // "替换全部" on 下装 with a locked row and a picture that a part of 上装 shares.
    const int captionRow = ref - 1;
    int end = captionRow + 1;
    while (end < store.PartCount() && store.Part(end).RowType() != 'T') ++end;
    ASSERT_GE(end - captionRow, 15) << "twelve new parts and at least two of the demo's";
    const std::string locked = store.Part(ref + 12).PictureName();
    const std::string shared = store.Part(ref + 13).PictureName();
    store.Part(ref + 12).SetRowType('K');
    store.Part(caption + 1).SetPictureName(shared);
    const fs::path season = m_base.path() / "换季";
    fs::create_directories(season);
    for (const char* t : {"换季1", "换季2", "换季3"}) fs::copy_file(own[0], season / (std::string(t) + ".png"));
    m_view->editor().SelectPart(ref);
    CAddFittingPicDlg::FolderDialogHook() = [&](CFolderTreeDlg& tree) {
        EXPECT_TRUE(tree.tree().SelectFolder(season));
        testsupport::PumpEvents(100);
        tree.EndModal(wxID_OK);
    };
    const bool seenAll = WithAddDialog(
        [&] {
            const wxPoint at = Centre(m_view->groupIcon());
            m_view->LeftDown(at);
            m_view->LeftUp(at);
        },
        [&](CAddFittingPicDlg& dlg) {
            dlg.RunCommand(kIdSourceFolder);
            ASSERT_EQ(dlg.core().entries().size(), 3u);
            static_cast<wxComboBox*>(dlg.FindWindow(kIdCategoryCombo))->SetSelection(0);
            for (int e = 0; e < 3; ++e) dlg.ClickPictures(dlg.CellOrigin(e) + wxPoint(20, 20));
            dlg.Refresh();
            testsupport::PumpEvents(200);
            EXPECT_TRUE(testsupport::SaveWindowScreenshot(&dlg, (m_screens / "pavanel-addpics-6-replace-all.png").string()));
            dlg.RunCommand(kIdConfirmAdd);
        });
    CAddFittingPicDlg::FolderDialogHook() = nullptr;
    ASSERT_TRUE(seenAll);
    f = dm3test::Read(ProjectFile());
    ASSERT_TRUE(f.ok);
    std::vector<std::string> category;
    for (int i = captionRow + 1; i < f.n && f.parts[static_cast<std::size_t>(i)].rowType != 'T'; ++i)
        category.push_back(platform::GbkToUtf8(f.parts[static_cast<std::size_t>(i)].pictureGbk));
    EXPECT_EQ(category, (std::vector<std::string>{"换季1", "换季2", "换季3", locked})) << "the locked row survives";
    EXPECT_EQ(f.n, n1 + 12 - (end - captionRow - 1) + 4);
    EXPECT_TRUE(fs::exists(pics / (locked + ".png")));
    EXPECT_TRUE(fs::exists(pics / (shared + ".png"))) << "上装 still uses it";
    EXPECT_FALSE(fs::exists(pics / "到货01.png"));
    EXPECT_TRUE(fs::exists(pics / "换季1.png"));
    EXPECT_TRUE(m_boxes.shown().empty()) << m_boxes.shown().front().text;
}

}  // namespace

namespace {

// What the button paints (off screen) beside what the X server shows of it:
// the share of pixels that differ clearly.
double ScreenDiffersFromPaint(CHoverButton* button) {
    const wxSize size = button->GetClientSize();
    wxBitmap bmp(size.x, size.y, 24);
    {
        wxMemoryDC dc(bmp);
        button->Draw(dc);
    }
    const wxImage painted = bmp.ConvertToImage();
    const wxImage shown = testsupport::GrabScreenArea(wxRect(button->GetScreenPosition(), size));
    if (!shown.IsOk()) return 1.0;
    int differ = 0;
    for (int y = 0; y < size.y; ++y)
        for (int x = 0; x < size.x; ++x)
            differ += std::abs(painted.GetRed(x, y) - shown.GetRed(x, y)) + std::abs(painted.GetGreen(x, y) - shown.GetGreen(x, y)) +
                          std::abs(painted.GetBlue(x, y) - shown.GetBlue(x, y)) > 60;
    return static_cast<double>(differ) / (size.x * size.y);
}

TEST_F(PavanelWindow, TickingProcessingModeShowsTheWebPageButtonsNewCaptionAtOnce) {
    auto* button = dynamic_cast<CHoverButton*>(m_view->control(kIdWebPage));
    ASSERT_NE(button, nullptr);
    m_frame->Raise();
    testsupport::PumpEvents(200);
    const wxImage before = testsupport::GrabScreenArea(wxRect(button->GetScreenPosition(), button->GetClientSize()));
    EXPECT_LT(ScreenDiffersFromPaint(button), 0.02) << "创建搭配网页 on the screen";
    // The pointer goes straight to the check box: it never passes the button.
    testsupport::ClickOn(m_view->control(kIdProcessing));
    ASSERT_TRUE(static_cast<wxCheckBox*>(m_view->control(kIdProcessing))->GetValue());
    EXPECT_FALSE(button->hovering());
    const wxImage after = testsupport::GrabScreenArea(wxRect(button->GetScreenPosition(), button->GetClientSize()));
    EXPECT_LT(ScreenDiffersFromPaint(button), 0.02) << "试衣图片参数 on the screen";
    ASSERT_TRUE(before.IsOk() && after.IsOk());
    ASSERT_EQ(before.GetSize(), after.GetSize());
    EXPECT_FALSE(std::equal(before.GetData(), before.GetData() + before.GetWidth() * before.GetHeight() * 3,
                            after.GetData()))
        << "the button on the screen changed";
    EXPECT_TRUE(after.SaveFile(wxString::FromUTF8(testsupport::Screen("pavanel-stage-processing-caption.png")),
                               wxBITMAP_TYPE_PNG));
}

TEST_F(PavanelWindow, ProcessingModeGivesAndTakesAddPicturesAndAnAddShowsEveryCategoryWithThePreviewKept) {
    CProjectStore& store = CProjectStore::Instance();
    StageSlotTable& slots = StageSlotTable::Instance();
    wxWindow* add = m_view->control(kIdAddPictures);
    auto* processing = static_cast<wxCheckBox*>(m_view->control(kIdProcessing));
    wxWindow* web = m_view->control(kIdWebPage);
    // At start-up processing mode is off: "创建搭配网页", and no "加试衣图片".
    ASSERT_FALSE(processing->GetValue());
    EXPECT_EQ(web->GetLabel().utf8_string(), "创建搭配网页");
    EXPECT_FALSE(add->IsEnabled());
    m_frame->Raise();
    testsupport::PumpEvents(200);
    const wxRect addArea(add->GetScreenPosition(), add->GetClientSize());
    const wxImage offLook = testsupport::GrabScreenArea(addArea);
    bool opened = WithAddDialog([&] { testsupport::ClickOn(add); }, [](CAddFittingPicDlg&) {});
    EXPECT_FALSE(opened) << "a click on the disabled button at start-up opened the dialog";
    testsupport::ClickOn(processing);
    ASSERT_TRUE(processing->GetValue());
    EXPECT_TRUE(add->IsEnabled());
    testsupport::PumpEvents(200);
    const wxImage onLook = testsupport::GrabScreenArea(addArea);
    ASSERT_TRUE(offLook.IsOk() && onLook.IsOk());
    EXPECT_FALSE(std::equal(offLook.GetData(), offLook.GetData() + offLook.GetWidth() * offLook.GetHeight() * 3,
                            onLook.GetData()))
        << "the screen shows the button alike before and after processing mode";
    EXPECT_EQ(web->GetLabel().utf8_string(), "试衣图片参数");
    testsupport::ClickOn(processing);
    EXPECT_FALSE(add->IsEnabled()) << "processing mode off";
    EXPECT_EQ(web->GetLabel().utf8_string(), "创建搭配网页");
    opened = WithAddDialog([&] { testsupport::ClickOn(add); }, [](CAddFittingPicDlg&) {});
    EXPECT_FALSE(opened) << "a click on the disabled button opens nothing";
    testsupport::ClickOn(processing);
    ASSERT_TRUE(add->IsEnabled());

    // The coat and the boots on the stage from the gallery, then the coat's
    // slot made current with "选择" while the boots stay the gallery's pick.
    const int coat = CellOf(m_view, "驼色风衣").part, boots = CellOf(m_view, "棕色短靴").part;
    testsupport::ClickAt(m_view, Centre(CellOf(m_view, "驼色风衣").picture));
    testsupport::ClickAt(m_view, Centre(CellOf(m_view, "棕色短靴").picture));
    ASSERT_EQ(m_view->editor().selectedPart(), boots);
    for (int i = 0; i < 2 && slots.Slot(slots.Current()).part != coat; ++i)
        testsupport::ClickOn(m_view->control(kIdSelect));
    ASSERT_EQ(slots.Slot(slots.Current()).part, coat);
    ASSERT_EQ(m_view->previewPart(), coat);
    // The gallery narrowed to one category.
    m_view->ComboSelected(kIdDisplay, 6);
    ASSERT_NE(m_view->gallery().display(), 0);

    // A new picture goes into the first category ("模特"): every part behind it moves on.
    const fs::path pics = m_base.path() / kSeries / "试衣及按钮图片";
    fs::copy_file(pics / "驼色风衣.png", pics / "新款风衣.png");
    const bool seen = WithAddDialog([&] { testsupport::ClickOn(add); }, [&](CAddFittingPicDlg& dlg) {
        testsupport::PumpEvents(200);
        const auto& entries = dlg.core().entries();
        int entry = -1;
        for (int e = 0; e < static_cast<int>(entries.size()); ++e)
            if (entries[static_cast<std::size_t>(e)].title == "新款风衣") entry = e;
        ASSERT_GE(entry, 0);
        ASSERT_LT(entry, dlg.core().columns() * dlg.core().rows());
        testsupport::ClickAt(dlg.FindWindow(kIdPictureArea), dlg.CellOrigin(entry) + wxPoint(45, 45));
        EXPECT_EQ(dlg.core().TickedCount(), 1);
        testsupport::ClickOn(dlg.FindWindow(kIdConfirmAdd));
        EXPECT_FALSE(dlg.IsModal());
    });
    ASSERT_TRUE(seen);
    ASSERT_EQ(store.Part(coat + 1).PictureName(), "驼色风衣") << "the coat moved one place on";
    EXPECT_EQ(m_view->gallery().display(), 0);
    EXPECT_EQ(static_cast<wxChoice*>(m_view->control(kIdDisplay))->GetStringSelection().utf8_string(), "全部");
    EXPECT_EQ(m_view->gallery().first(), 0);
    EXPECT_EQ(slots.Slot(slots.Current()).part, coat + 1);
    EXPECT_EQ(m_view->previewPart(), coat + 1) << "the preview keeps the current slot's part";
    EXPECT_EQ(m_view->editor().selectedPart(), boots + 1);
    Shot("after-add");
}

TEST_F(PavanelWindow, TheAddPicturesDialogListsChineseNamesInStoredOrderAndLeavesOnEscapeOrItsCloseBox) {
    const fs::path pics = m_base.path() / kSeries / "试衣及按钮图片";
    for (const char* name : {"中式旗袍", "啊", "张", "白"}) fs::copy_file(pics / "驼色风衣.png", pics / (std::string(name) + ".png"));
    int closings = 0;
    testsupport::ClickOn(m_view->control(kIdProcessing));  // "加试衣图片" is there in processing mode
    for (bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Escape" : "close box");
        const bool seen = WithAddDialog([&] { testsupport::ClickOn(m_view->control(kIdAddPictures)); },
                                        [&](CAddFittingPicDlg& dlg) {
            testsupport::PumpEvents(200);
            std::vector<std::string> ours;
            for (const PictureEntry& e : dlg.core().entries())
                if (e.title == "中式旗袍" || e.title == "啊" || e.title == "张" || e.title == "白") ours.push_back(e.title);
            EXPECT_EQ(ours, (std::vector<std::string>{"啊", "白", "张", "中式旗袍"}));
            if (escape) {
                testsupport::GiveKeyboardTo(&dlg);
                dlg.FindWindow(kIdHideAdded)->SetFocus();
                testsupport::PressKey(WXK_ESCAPE);
            } else {
                testsupport::PressCloseBox(&dlg);
            }
            closings += !dlg.IsModal();
            EXPECT_EQ(dlg.GetReturnCode(), wxID_CANCEL);
        });
        ASSERT_TRUE(seen);
    }
    EXPECT_EQ(closings, 2);
    EXPECT_EQ(CProjectStore::Instance().PartCount(), dm3test::Read(ProjectFile()).n) << "nothing added";
}

}  // namespace

namespace {

// ---- long gallery names and the tool icons ----

const char* const kLongNames[] = {
    "秋冬新款双面羊毛呢长大衣 Double-Face Wool Coat 限量版X",  // 39 characters, Chinese and ASCII
    "Autumn Winter Double Faced Wool Coat XL",               // 39 ASCII characters
};

// The view painted off screen, as its client area.
wxImage PaintedView(CPavanelView* view) {
    const wxSize size = view->GetClientSize();
    wxBitmap bmp(size.x, size.y, 24);
    {
        wxMemoryDC dc(bmp);
        view->Draw(dc);
    }
    return bmp.ConvertToImage();
}

bool SamePixel(const wxImage& a, const wxImage& b, int x, int y) {
    return a.GetRed(x, y) == b.GetRed(x, y) && a.GetGreen(x, y) == b.GetGreen(x, y) && a.GetBlue(x, y) == b.GetBlue(x, y);
}

bool Inside(const Rect& r, int x, int y) { return r.Contains({x, y}); }

TEST_F(PavanelWindow, ALongGalleryNameIsCutAtItsOwnCellAndLeavesItsNeighboursAlone) {
    CProjectStore& store = CProjectStore::Instance();
    const std::vector<GalleryCell> cells = m_view->gallery().Cells();
    ASSERT_GE(cells.size(), 3u);
    std::vector<GalleryCell> row(cells.begin(), cells.begin() + 3);  // the first row: three columns
    std::vector<std::string> kept;
    for (const GalleryCell& c : row) {
        ASSERT_GE(c.part, 0);
        kept.push_back(store.Part(c.part).Name());
        // The rectangle a name draws in lies in its 'T' and the gallery, and
        // no two of them meet.
        EXPECT_GE(c.nameClip.left, c.name.left);
        EXPECT_LE(c.nameClip.right, c.name.right);
        EXPECT_EQ(c.nameClip.top, c.name.top);
        EXPECT_EQ(c.nameClip.bottom, c.name.bottom);
        EXPECT_GT(c.nameClip.left, m_view->gallery().rect().left);
        EXPECT_LT(c.nameClip.right, m_view->gallery().rect().right);
    }
    EXPECT_LE(row[0].nameClip.right, row[1].nameClip.left);
    EXPECT_LE(row[1].nameClip.right, row[2].nameClip.left);
    const wxSize size = m_view->GetClientSize();
    auto setNames = [&](int only, const std::string& name) {
        for (int k = 0; k < 3; ++k) store.Part(row[static_cast<std::size_t>(k)].part).SetName(only < 0 || only == k ? name : "");
    };
    for (bool processing : {false, true}) {
        m_view->CheckChanged(kIdProcessing, processing);
        for (const char* longName : kLongNames) {
            SCOPED_TRACE(std::string(processing ? "processing mode, " : "") + longName);
            ASSERT_EQ(wxString::FromUTF8(longName).length(), 39u);
            setNames(-1, "");
            const wxImage none = PaintedView(m_view);
            wxImage alone[3];
            for (int k = 0; k < 3; ++k) {
                setNames(k, longName);
                alone[k] = PaintedView(m_view);
            }
            setNames(-1, longName);
            const wxImage all = PaintedView(m_view);
            for (int k = 0; k < 3; ++k) {
                const GalleryCell& c = row[static_cast<std::size_t>(k)];
                int outsideT = 0, outsideClip = 0, inside = 0, minX = size.x, maxX = -1, neighbour = 0;
                for (int y = 0; y < size.y; ++y)
                    for (int x = 0; x < size.x; ++x) {
                        if (Inside(c.nameClip, x, y) && !SamePixel(all, alone[k], x, y)) ++neighbour;
                        if (SamePixel(alone[k], none, x, y)) continue;
                        outsideT += !Inside(c.name, x, y);
                        if (!Inside(c.nameClip, x, y)) {
                            ++outsideClip;
                            continue;
                        }
                        ++inside;
                        minX = std::min(minX, x);
                        maxX = std::max(maxX, x);
                    }
                EXPECT_EQ(outsideT, 0) << "column " << k << ": pixels of the name outside its 'T'";
                EXPECT_EQ(outsideClip, 0) << "column " << k << ": pixels of the name over its neighbours' part of 'T'";
                EXPECT_GT(inside, 200) << "column " << k << ": the name is drawn";
                // Too long for the cell: it reaches both ends and is cut there.
                EXPECT_LE(minX, c.nameClip.left + 4) << "column " << k;
                EXPECT_GE(maxX, c.nameClip.right - 5) << "column " << k;
                EXPECT_EQ(neighbour, 0) << "column " << k << ": its name as it is alone, with both neighbours long too";
            }
            int elsewhere = 0;
            for (int y = 0; y < size.y; ++y)
                for (int x = 0; x < size.x; ++x)
                    if (!Inside(row[0].nameClip, x, y) && !Inside(row[1].nameClip, x, y) &&
                        !Inside(row[2].nameClip, x, y) && !SamePixel(all, none, x, y))
                        ++elsewhere;
            EXPECT_EQ(elsewhere, 0) << "three long names change nothing beyond their name rectangles";
        }
    }
    for (int k = 0; k < 3; ++k) store.Part(row[static_cast<std::size_t>(k)].part).SetName(kept[static_cast<std::size_t>(k)]);
}

// What the X server shows of the view's client area once its paints are
// done: two grabs a moment apart agree.
wxImage ShownView(CPavanelView* view) {
    const wxRect area(view->ClientToScreen(wxPoint(0, 0)), view->GetClientSize());
    wxImage last = testsupport::GrabScreenArea(area);
    for (int i = 0; i < 100; ++i) {
        testsupport::DeliverEvents(100);
        wxImage now = testsupport::GrabScreenArea(area);
        if (now.IsOk() && last.IsOk() && now.GetSize() == last.GetSize() &&
            std::equal(now.GetData(), now.GetData() + now.GetWidth() * now.GetHeight() * 3, last.GetData()))
            return now;
        last = now;
    }
    return last;
}

// The pixels of the view that differ between two grabs outside the gallery
// and the view's child windows (-1 when a grab failed).
int ChangedOutsideGallery(CPavanelView* view, const wxImage& before, const wxImage& after) {
    const wxSize size = view->GetClientSize();
    if (!before.IsOk() || !after.IsOk() || before.GetSize() != size || after.GetSize() != size) return -1;
    std::vector<wxRect> children;
    for (wxWindow* child : view->GetChildren())
        if (child->IsShown()) children.push_back(child->GetRect());
    const Rect g = view->gallery().rect();
    int changed = 0;
    for (int y = 0; y < size.y; ++y)
        for (int x = 0; x < size.x; ++x) {
            if (g.Contains({x, y}) || SamePixel(before, after, x, y)) continue;
            changed += std::none_of(children.begin(), children.end(), [&](const wxRect& r) { return r.Contains(x, y); });
        }
    return changed;
}

TEST_F(PavanelWindow, ALongNameSetInThePartParametersLeavesNothingOutsideTheGallery) {
    CProjectStore& store = CProjectStore::Instance();
    m_frame->Raise();
    testsupport::PumpEvents(200);
    auto* processing = static_cast<wxCheckBox*>(m_view->control(kIdProcessing));
    testsupport::ClickOn(processing);
    ASSERT_TRUE(processing->GetValue());
    // The first cell's part: a long name there reaches furthest left; then
    // the last one of the first row, which reaches right. The screen beside
    // the gallery stays as it was before the name was set.
    wxImage before;
    for (int column : {0, 2}) {
        SCOPED_TRACE("column " + std::to_string(column));
        const GalleryCell cell = m_view->gallery().Cells().at(static_cast<std::size_t>(column));
        ASSERT_GE(cell.part, 0);
        testsupport::ClickAt(m_view, Centre(cell.picture));
        ASSERT_EQ(m_view->editor().selectedPart(), cell.part);
        before = ShownView(m_view);  // the part's own name, short
        const wxString longName = wxString::FromUTF8(kLongNames[0]);
        if (wxTheClipboard->Open()) {
            wxTheClipboard->SetData(new wxTextDataObject(longName));
            wxTheClipboard->Close();
        }
        // "试衣图片参数" clicked; in the dialog the name is replaced by a paste
        // and "保存退出" clicked.
        CProjectParamDlg* dlg = nullptr;
        wxTextCtrl* edit = nullptr;
        testsupport::XInputScript script;
        script
            .Then([&] {
                dlg = testsupport::FindShownDialog<CProjectParamDlg>();
                edit = dlg ? dynamic_cast<wxTextCtrl*>(dlg->control(kIdGoodsName)) : nullptr;
                return edit != nullptr;
            })
            .Do([&] { testsupport::XPointTo(edit); })
            .Do([] { testsupport::XLeftClick(); })
            .Do([] { testsupport::XKey('A', wxMOD_CONTROL); })
            .Do([] { testsupport::XKey('V', wxMOD_CONTROL); })
            .Then([&] { return edit->GetValue() == longName; })
            .Do([&] { testsupport::XPointTo(dlg->FindWindow(kIdSaveExit)); })
            .Do([] { testsupport::XLeftClick(); })
            .Then([&] { return !testsupport::FindShownDialog<CProjectParamDlg>(); });
        script.onTimeout = [&] {
            if (auto* d = testsupport::FindShownDialog<CProjectParamDlg>(); d && d->IsModal()) d->EndModal(wxID_CANCEL);
        };
        script.Start();
        testsupport::ClickOn(m_view->control(kIdWebPage));
        while (!script.done() && !script.timedOut()) testsupport::DeliverEvents(50);
        ASSERT_FALSE(script.timedOut());
        ASSERT_EQ(store.Part(cell.part).Name(), kLongNames[0]);
        const wxImage after = ShownView(m_view);
        if (column == 0) {
            EXPECT_TRUE(testsupport::SaveWindowScreenshot(m_frame, testsupport::Screen("gallery-long-name-processing.png")));
        }
        EXPECT_EQ(ChangedOutsideGallery(m_view, before, after), 0) << "processing mode on";
    }
    // Processing mode off: only the gallery is drawn again, and nothing
    // of the long labels stays beside it.
    testsupport::ClickOn(processing);
    ASSERT_FALSE(processing->GetValue());
    EXPECT_EQ(ChangedOutsideGallery(m_view, before, ShownView(m_view)), 0) << "processing mode off";
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(m_frame, testsupport::Screen("gallery-long-name.png")));
}

// The number of pixels of tool icon i that show the lit fill, as the X server shows them.
int LitPixels(CPavanelView* view, int i) {
    const Rect r = view->toolIcon(i);
    const wxImage shown = testsupport::GrabScreenArea(wxRect(view->ClientToScreen(wxPoint(r.left, r.top)),
                                                             wxSize(r.width(), r.height())));
    if (!shown.IsOk()) return -1;
    int lit = 0;
    for (int y = 0; y < shown.GetHeight(); ++y)
        for (int x = 0; x < shown.GetWidth(); ++x)
            lit += std::abs(shown.GetRed(x, y) - 255) + std::abs(shown.GetGreen(x, y) - 236) +
                       std::abs(shown.GetBlue(x, y) - 220) < 12;
    return lit;
}

// Waits (delivering events, never repainting) until icon i shows lit or unlit.
bool IconShows(CPavanelView* view, int i, bool lit) {
    return testsupport::DeliverUntil([&] {
        const int n = LitPixels(view, i);
        return lit ? n > 100 : n == 0;
    });
}

TEST_F(PavanelWindow, AToolIconGoesOutWhenTheOutlineClosesItselfOrTheRightButtonEndsTheTool) {
    CStageWnd* stage = m_view->stage();
    m_frame->Raise();
    testsupport::PumpEvents(200);
    for (int i = 1; i <= 6; ++i) EXPECT_TRUE(IconShows(m_view, i, false)) << i;
    // The outline tool (the sixth drawing icon) chosen by a click.
    testsupport::ClickAt(m_view, Centre(m_view->toolIcon(6)));
    ASSERT_EQ(stage->control().tool(), kToolOutline);
    EXPECT_TRUE(IconShows(m_view, 6, true));
    // Three points, then the first again: the outline closes and the tool ends.
    const wxPoint points[] = {{200, 150}, {380, 190}, {300, 340}};
    for (const wxPoint& p : points) testsupport::ClickAt(stage, p);
    EXPECT_EQ(stage->control().tool(), kToolOutline);
    EXPECT_EQ(stage->control().polylineCount(), 2);
    testsupport::ClickAt(stage, points[0] + wxPoint(1, 1));
    EXPECT_EQ(stage->control().tool(), kToolSelect);
    ASSERT_EQ(StageDrawList().itemCount(), 1);
    EXPECT_EQ(StageDrawList().item(0).kind, 'D');
    EXPECT_EQ(StageDrawList().item(0).count, 4);
    EXPECT_TRUE(IconShows(m_view, 6, false)) << "the outline icon stays lit after the outline closed";
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(m_frame, testsupport::Screen("pavanel-stage-outline-closed.png")));

    // The rectangle tool, ended with the right button on the stage.
    testsupport::ClickAt(m_view, Centre(m_view->toolIcon(2)));
    ASSERT_EQ(stage->control().tool(), kToolRectangle);
    EXPECT_TRUE(IconShows(m_view, 2, true));
    testsupport::XPointTo(stage, wxPoint(420, 420));
    testsupport::DeliverEvents(60);
    wxUIActionSimulator().MouseClick(wxMOUSE_BTN_RIGHT);
    testsupport::DeliverEvents(150);
    EXPECT_EQ(stage->control().tool(), kToolSelect);
    EXPECT_TRUE(IconShows(m_view, 2, false)) << "the rectangle icon stays lit after the right button";
}

// The gallery stands at the left, the stage in the middle and the part
// commands at the right, as the view's messages say ("在左边选一个部件"):
// a real click at the left picks a part, "试衣图片参数" with nothing picked
// sends the user there.
TEST_F(PavanelWindow, TheGalleryIsAtTheLeftOfTheStageAsTheMessagesSay) {
    m_frame->Raise();
    testsupport::PumpEvents(200);
    const Rect gallery = m_view->gallery().rect();
    const wxRect stage = m_view->stage()->GetRect();
    const Rect tools = m_view->toolIcon(0);
    EXPECT_LT(gallery.right, tools.left);
    EXPECT_LT(tools.right, stage.x);
    EXPECT_LT(stage.GetRight(), m_view->control(kIdSelect)->GetPosition().x) << "the part commands right of the stage";
    EXPECT_LT(m_view->control(kIdDisplay)->GetPosition().x, stage.x) << "the display combo under the gallery";
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(m_frame, testsupport::Screen("stage-editor.png")));

    // "试衣图片参数" with no part picked points to the left.
    testsupport::ClickOn(m_view->control(kIdProcessing));
    testsupport::ClickOn(m_view->control(kIdWebPage));
    testsupport::PumpEvents(100);
    ASSERT_FALSE(m_boxes.shown().empty());
    EXPECT_EQ(m_boxes.shown().back().text, "请先在左边选一个部件 (锁定的部件不能设置参数)");
    // A real click there picks the part.
    const GalleryCell coat = CellOf(m_view, "驼色风衣");
    const wxPoint at = Centre(coat.picture);
    ASSERT_LT(at.x, stage.x);
    testsupport::ClickAt(m_view, at);
    EXPECT_EQ(m_view->editor().selectedPart(), coat.part);
}

// "加到平台" is there only while a part is picked: not at start-up, once a
// part is clicked in the gallery, and no more after "项目表" opened another
// project (nothing is picked there); a click on it then puts nothing on the stage.
TEST_F(PavanelWindow, AddToStageFollowsThePickAcrossAnotherProjectOpened) {
    fs::copy(testsupport::DemoBase() / "春夏通勤搭配", m_base / "春夏通勤搭配",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    wxWindow* add = m_view->control(kIdAddToStage);
    EXPECT_FALSE(add->IsEnabled()) << "nothing picked at start-up";
    m_view->CheckChanged(kIdAuto, false);  // a pick does not place the part at once
    testsupport::ClickAt(m_view, Centre(CellOf(m_view, "驼色风衣").picture));
    ASSERT_GE(m_view->editor().selectedPart(), 0);
    EXPECT_TRUE(add->IsEnabled());

    CProjectOpenDlg* dlg = nullptr;
    testsupport::XInputScript script;
    script
        .Then([&] {
            dlg = testsupport::FindShownDialog<CProjectOpenDlg>();
            return dlg != nullptr;
        })
        .Do([&] {
            const grid::Rect r = dlg->grid().CellRect(1, 1);  // 春夏通勤搭配
            testsupport::XPointTo(&dlg->grid(), wxPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        })
        .Do([] { testsupport::XLeftClick(); })
        .Then([&] { return dlg->grid().GetCurrentDataRow() == 1; })
        .Do([&] { testsupport::XPointTo(dlg->FindWindow(kIdOpenProject)); })
        .Do([] { testsupport::XLeftClick(); });
    script.onTimeout = [&] {
        if (dlg && dlg->IsModal()) dlg->EndModal(wxID_CANCEL);
    };
    script.Start();
    testsupport::ClickOn(m_view->control(kIdProjectTable));
    testsupport::DeliverUntil([&] { return script.done() && !testsupport::FindShownDialog<CProjectOpenDlg>(); }, 20000);
    ASSERT_FALSE(script.timedOut());
    ASSERT_EQ(CProjectStore::Instance().ProjectName(), "春夏通勤搭配");
    EXPECT_EQ(m_view->editor().selectedPart(), -1);
    EXPECT_FALSE(add->IsEnabled()) << "\"加到平台\" with nothing picked";
    testsupport::ClickOn(add);
    for (int s = 0; s < 100; ++s) EXPECT_NE(StageSlotTable::Instance().Slot(s).used, 'Y') << "slot " << s;
}

}  // namespace
