// Pavanel's project dialogs on a copy of the demo base directory under a
// real X server, opened from the view's own commands: a new project made
// from the women's reference template (read back by the independent
// reader), files imported into it, a basic project replaced, a part's
// parameters and face picture edited, a background picked and backgrounds
// converted. Screens go to screens/pavanel-dialog-*.png.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include "platform/files.h"
#include "platform/image/picture_io.h"
#include "platform/text.h"
#include "platform/ui/message_box.h"
#include "project_editor/pavanel_frame.h"
#include "project_editor/pavanel_view.h"
#include "project_editor/picture_list_dlgs.h"
#include "project_editor/project_dialogs.h"
#include "project_editor/project_grids.h"
#include "project_editor/project_open_dlg.h"
#include "project_editor/project_param_dlg.h"
#include "project_editor/shell_tree_ctrl.h"
#include "project_editor/stage_wnd.h"
#include "tests/project_editor/dm3_reader.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/user_input.h"
#include "tests/support/window_test_util.h"

namespace fs = std::filesystem;
using namespace project_editor;

namespace {

const char* const kSeries = "2010秋冬女装";

// Runs `act` on the first shown dialog of type T once it is open, then
// opens it with `open`; the dialog is cancelled afterwards if `act` left it open.
template <class T>
bool WithDialog(const std::function<void()>& open, const std::function<void(T&)>& act) {
    wxTimer timer;
    bool seen = false;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* dlg = dynamic_cast<T*>(w); dlg && dlg->IsShown()) {
                seen = true;
                testsupport::PumpEvents(200);
                act(*dlg);
                if (dlg->IsModal()) dlg->EndModal(wxID_CANCEL);
                return;
            }
    });
    timer.StartOnce(700);
    open();
    return seen;
}

class ProjectDialogsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "试衣搭配模板SYSMDL" / "女装模板" / "女装.dm3"));
        for (const char* part : {"KZV网页项目文件", kSeries, "服饰搭配sysproj", "KZV背景图片", "sysSetInfo.sy3",
                                 "KZVSYSPIC", "试衣搭配模板SYSMDL", "服饰搭配基本项目"}) {
            fs::copy(testsupport::DemoBase() / fs::path(part), m_base / fs::path(part),
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        }
        m_screens = testsupport::ScreensDir();
        fs::create_directories(m_screens);
        m_cwd = std::make_unique<testsupport::ScopedCwd>(m_base.path());
        CProjectStore::ResetInstance();
        StageSlotTable::ResetInstance();
        CSysSetInfo::ResetInstance();
        BasicProjectFolder().clear();
        m_frame = new CMainFrame(m_base.path());
        m_frame->ShowMaximised();
        testsupport::PumpEvents(400);
        m_view = m_frame->view();
    }
    void TearDown() override {
        ProjectFolderDialogHook() = nullptr;
        CProjectParamDlg::ListDialogHook() = nullptr;
        if (m_frame) m_frame->Destroy();
        testsupport::PumpEvents(50);
    }
    void Shot(wxWindow* w, const std::string& name) {
        w->Raise();
        w->Refresh();
        testsupport::PumpEvents(200);
        EXPECT_TRUE(testsupport::SaveWindowScreenshot(w, (m_screens / ("pavanel-dialog-" + name + ".png")).string()));
    }
    int PartNamed(const std::string& picture) {
        CProjectStore& store = CProjectStore::Instance();
        for (int i = 0; i < store.PartCount(); ++i)
            if (store.Part(i).PictureName() == picture) return i;
        return -1;
    }

    testsupport::TempDir m_base;
    fs::path m_screens;
    std::unique_ptr<testsupport::ScopedCwd> m_cwd;
    platform::ui::MessageBoxRecorder m_boxes;
    CMainFrame* m_frame = nullptr;
    CPavanelView* m_view = nullptr;
};

TEST_F(ProjectDialogsWindow, CreatesAProjectFromTheTemplateAndImportsFiles) {
    CProjectStore& store = CProjectStore::Instance();
    bool listed = false;
    const bool seen = WithDialog<CProjectOpenDlg>([&] { m_view->RunCommand(kIdProjectTable); }, [&](CProjectOpenDlg& dlg) {
        listed = std::find(dlg.names().begin(), dlg.names().end(), kSeries) != dlg.names().end();
        EXPECT_FALSE(dlg.FindWindow(kIdNewProject)->IsEnabled());
        static_cast<wxTextCtrl*>(dlg.FindWindow(kIdProjectName))->SetValue(wxString::FromUTF8("秋季新品"));
        testsupport::PumpEvents(50);
        EXPECT_TRUE(dlg.FindWindow(kIdNewProject)->IsEnabled());
        static_cast<wxChoice*>(dlg.FindWindow(kIdReferenceTemplate))->SetStringSelection(wxString::FromUTF8("女装模板"));
        Shot(&dlg, "1-create");
        dlg.RunCommand(kIdNewProject);
    });
    ASSERT_TRUE(seen);
    EXPECT_TRUE(listed);
    EXPECT_EQ(store.ProjectName(), "秋季新品");
    EXPECT_NE(std::string(m_frame->GetTitle().utf8_str()).find("秋季新品"), std::string::npos);

    // The independent reader sees the women's template under the new name,
    // with its own picture folder.
    const fs::path dm3 = m_base.path() / "KZV网页项目文件" / "秋季新品.dm3";
    const dm3test::File file = dm3test::Read(dm3);
    const dm3test::File tpl = dm3test::Read(m_base.path() / "试衣搭配模板SYSMDL" / "女装模板" / "女装.dm3");
    ASSERT_TRUE(file.ok);
    ASSERT_TRUE(tpl.ok);
    EXPECT_EQ(file.n, tpl.n);
    for (int i = 0; i < file.n; ++i) EXPECT_EQ(file.parts[i].pictureGbk, tpl.parts[i].pictureGbk) << i;
    const auto bytes = testsupport::ReadAll(dm3);
    std::string folder;
    for (std::size_t i = 2; i < 368 && bytes[i]; ++i) folder.push_back(static_cast<char>(bytes[i]));
    EXPECT_EQ(fs::path(platform::GbkToUtf8(folder)), m_base.path() / "秋季新品" / "试衣及按钮图片");
    const fs::path own = m_base.path() / "秋季新品";
    EXPECT_TRUE(fs::exists(own / "试衣及按钮图片" / "kzvphoto.png"));
    EXPECT_TRUE(fs::exists(own / "展示及说明图片" / "stageBkg003.jpg"));
    EXPECT_TRUE(fs::exists(own / "音乐及语音" / "background_music.mid"));
    EXPECT_EQ(platform::ListFiles(own / "试衣及按钮图片", "*.png").size(),
              platform::ListFiles(m_base.path() / "试衣搭配模板SYSMDL" / "女装模板" / "试衣及按钮图片", "*.png").size() + 1);
    Shot(m_frame, "2-new-project-on-stage");

    // Import: two sounds of a folder chosen in the folder tree.
    const fs::path src = m_base.path() / "素材";
    fs::create_directories(src);
    for (const char* f : {"欢迎.wav", "介绍.mp3", "不要.txt"}) std::ofstream(src / f) << "snd";
    ProjectFolderDialogHook() = [&](CFolderTreeDlg& tree) {
        tree.tree().SelectFolder(src);
        testsupport::PumpEvents(50);
        tree.EndModal(wxID_OK);
    };
    const bool imported = WithDialog<CProjectOpenDlg>([&] { m_view->RunCommand(kIdProjectTable); }, [&](CProjectOpenDlg& dlg) {
        auto* mode = static_cast<wxCheckBox*>(dlg.FindWindow(kIdImportMode));
        ASSERT_TRUE(mode->IsEnabled());
        mode->SetValue(true);
        dlg.RunCommand(kIdImportMode);
        EXPECT_FALSE(dlg.FindWindow(kIdOpenProject)->IsEnabled());
        EXPECT_TRUE(dlg.names().empty());
        static_cast<wxChoice*>(dlg.FindWindow(kIdImportKind))->SetStringSelection(wxString::FromUTF8("多媒体语音"));
        dlg.RunCommand(kIdImportKind);
        dlg.RunCommand(kIdFileFolder);
        EXPECT_EQ(dlg.names(), (std::vector<std::string>{"介绍.mp3", "欢迎.wav"}));
        EXPECT_FALSE(dlg.FindWindow(kIdStartImport)->IsEnabled());
        dlg.RunCommand(kIdInvertMarks);
        EXPECT_TRUE(dlg.grid().marked(0));
        EXPECT_TRUE(dlg.FindWindow(kIdStartImport)->IsEnabled());
        Shot(&dlg, "3-import");
        dlg.RunCommand(kIdStartImport);
        EXPECT_TRUE(dlg.problems().empty());
    });
    ASSERT_TRUE(imported);
    EXPECT_TRUE(fs::exists(own / "音乐及语音" / "欢迎.wav"));
    EXPECT_TRUE(fs::exists(own / "音乐及语音" / "介绍.mp3"));
}

TEST_F(ProjectDialogsWindow, ReplacesABasicProjectWithTheOpenOne) {
    const fs::path basic = m_base.path() / "服饰搭配基本项目";
    const bool seen = WithDialog<CReplaceBaseProjectDlg>([&] { m_view->OpenReplaceBaseProject(); },
                                                         [&](CReplaceBaseProjectDlg& dlg) {
        EXPECT_TRUE(dlg.replaceEnabled());  // "男装" is in the demo's basic projects
        // A folder without basic projects keeps the button disabled.
        ProjectFolderDialogHook() = [&](CFolderTreeDlg& tree) {
            tree.tree().SelectFolder(m_base.path() / "KZVSYSPIC");
            testsupport::PumpEvents(50);
            tree.EndModal(wxID_OK);
        };
        dlg.ChooseFolder();
        EXPECT_FALSE(dlg.replaceEnabled());
        ProjectFolderDialogHook() = [&](CFolderTreeDlg& tree) {
            tree.tree().SelectFolder(basic);
            testsupport::PumpEvents(50);
            tree.EndModal(wxID_OK);
        };
        dlg.ChooseFolder();
        dlg.ChooseKind(2);  // "童装"
        EXPECT_TRUE(dlg.replaceEnabled());
        Shot(&dlg, "4-replace");
        m_boxes.QueueAnswer(platform::MbResult::Yes);
        dlg.Confirm();
    });
    ASSERT_TRUE(seen);
    ASSERT_FALSE(m_boxes.shown().empty());
    EXPECT_EQ(m_boxes.shown().front().text, "真要用当前试衣搭配项目替换系统基本项目吗");
    // The children's basic project now holds the series project's pictures only.
    const auto own = platform::ListFiles(m_base.path() / kSeries / "试衣及按钮图片", "*");
    const auto replaced = platform::ListFiles(basic / "童装" / "试衣及按钮图片", "*");
    ASSERT_EQ(replaced.size(), own.size());
    for (std::size_t i = 0; i < own.size(); ++i) EXPECT_EQ(replaced[i].filename(), own[i].filename());
}

TEST_F(ProjectDialogsWindow, EditsAPartsParametersAndFacePicture) {
    CProjectStore& store = CProjectStore::Instance();
    const int part = PartNamed("燕麦色开衫");
    ASSERT_GE(part, 0);
    m_view->editor().SelectPart(part);
    m_view->CheckChanged(kIdProcessing, true);
    EXPECT_TRUE(m_view->control(kIdWebPage)->IsEnabled());
    bool listSeen = false;
    CProjectParamDlg::ListDialogHook() = [&](CPicVoiceListDlg& list) {
        listSeen = true;
        testsupport::PumpEvents(150);
        ASSERT_FALSE(list.names().empty());
        list.SelectRow(0);
        Shot(&list, "6-picture-list");
        list.Confirm();
    };
    const bool seen = WithDialog<CProjectParamDlg>([&] { m_view->RunCommand(kIdWebPage); }, [&](CProjectParamDlg& dlg) {
        EXPECT_EQ(CurrentPartIndex(), part);
        auto* count = static_cast<wxChoice*>(dlg.control(kIdShowCount));
        count->SetStringSelection("2");
        dlg.RunCommand(kIdShowCount);
        EXPECT_EQ(dlg.grid().faceCount(), 2);
        // A click on the first face's "图片列表" cell opens the list.
        const grid::Rect cell = dlg.grid().CellRect(1, 0);
        testsupport::ClickAt(&dlg.grid(), wxPoint((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
        static_cast<wxTextCtrl*>(dlg.control(kIdGoodsName))->SetValue(wxString::FromUTF8("燕麦色羊毛开衫 \"秋\""));
        static_cast<wxTextCtrl*>(dlg.control(kIdPrice))->SetValue("268");
        static_cast<wxComboBox*>(dlg.control(kIdDepth))->SetValue("150");
        Shot(&dlg, "5-parameters");
        dlg.RunCommand(kIdSaveExit);
    });
    ASSERT_TRUE(seen);
    EXPECT_TRUE(listSeen);
    const dm3test::File f = dm3test::Read(m_base.path() / "KZV网页项目文件" / (std::string(kSeries) + ".dm3"));
    ASSERT_TRUE(f.ok);
    const dm3test::Part& p = f.parts.at(static_cast<std::size_t>(part));
    EXPECT_EQ(platform::GbkToUtf8(p.nameGbk), "燕麦色羊毛开衫 \"秋\"");
    EXPECT_EQ(p.depth, 99);
    EXPECT_EQ(dm3test::Text(p.bytes, 504, 9), "268");
    EXPECT_EQ(p.faceBytes.at(2), '2');
    EXPECT_FALSE(store.GetFaceString(part, 1, 0).empty());
    EXPECT_EQ(store.GetFaceString(part, 1, 0).find('.'), std::string::npos);
}

TEST_F(ProjectDialogsWindow, PicksABackgroundAndConvertsMarkedOnes) {
    const bool seen = WithDialog<CBkgPictureDlg>([&] { m_view->RunCommand(kIdBackgroundPicture); }, [&](CBkgPictureDlg& dlg) {
        ASSERT_GE(dlg.titles().size(), 3u);
        EXPECT_FALSE(dlg.FindWindow(kIdBkgConvert)->IsShown());
        dlg.ClickThumbnail(1);
        Shot(&dlg, "7-background");
        dlg.EndModal(wxID_OK);
    });
    ASSERT_TRUE(seen);
    EXPECT_EQ(m_view->stage()->control().referencePath().filename(), "秋日街景.jpg");

    // The second mode on a folder of our own: convert stays disabled until a
    // thumbnail is marked; a bad size changes nothing; a good one rewrites
    // the marked picture at that size.
    const fs::path folder = m_base.path() / "转换";
    fs::create_directories(folder);
    const fs::path demo = m_base.path() / "KZV背景图片";
    fs::copy_file(demo / "花园.jpg", folder / "花园.jpg");
    fs::copy_file(demo / "摄影棚.jpg", folder / "摄影棚.jpg");
    fs::copy_file(demo / "花园.jpg", folder / "stageBkg001.jpg");
    CBkgPictureDlg dlg(m_frame, (folder.string() + "/"), 'C');
    dlg.Show();
    testsupport::PumpEvents(200);
    EXPECT_EQ(dlg.titles(), (std::vector<std::string>{"摄影棚", "花园"}));
    EXPECT_FALSE(dlg.convertEnabled());
    dlg.ClickThumbnail(1);
    EXPECT_TRUE(dlg.convertEnabled());
    const auto before = testsupport::ReadAll(folder / "花园.jpg");
    dlg.SetSizeTexts("0", "240");
    dlg.Convert();
    EXPECT_EQ(testsupport::ReadAll(folder / "花园.jpg"), before);
    ASSERT_FALSE(m_boxes.shown().empty());
    dlg.SetSizeTexts("320", "240");
    dlg.Convert();
    EXPECT_EQ(dlg.lastConvert().converted, 1);
    const wxImage converted = platform::image::LoadPicture(folder / "花园.jpg");
    ASSERT_TRUE(converted.IsOk());
    EXPECT_EQ(converted.GetWidth(), 320);
    EXPECT_EQ(converted.GetHeight(), 240);
    EXPECT_EQ(platform::ListFiles(folder, "*").size(), 3u);  // no temporary file left
    Shot(&dlg, "8-convert");
    dlg.Destroy();
}

}  // namespace

namespace {

TEST_F(ProjectDialogsWindow, DeletingAPartFromItsParametersRenumbersTheStage) {
    CProjectStore& store = CProjectStore::Instance();
    const int part = PartNamed("白色棉衬衫");
    const int later = PartNamed("藏青百褶裙");
    ASSERT_GE(part, 0);
    ASSERT_GT(later, part);
    const int n = store.PartCount();
    m_view->editor().SelectPart(later);
    m_view->RunCommand(kIdAddToStage);
    const int slot = StageSlotTable::Instance().SlotOfPart(later, n);
    ASSERT_GE(slot, 0);
    m_view->editor().SelectPart(part);
    m_view->CheckChanged(kIdProcessing, true);
    m_boxes.QueueAnswer(platform::MbResult::Yes);
    const bool seen = WithDialog<CProjectParamDlg>([&] { m_view->RunCommand(kIdWebPage); },
                                                   [&](CProjectParamDlg& dlg) { dlg.RunCommand(kIdDeletePicture); });
    ASSERT_TRUE(seen);
    ASSERT_FALSE(m_boxes.shown().empty());
    EXPECT_EQ(m_boxes.shown().back().text, "真要删除当前图片吗?请确认!");
    EXPECT_EQ(store.PartCount(), n - 1);
    EXPECT_EQ(PartNamed("白色棉衬衫"), -1);
    EXPECT_EQ(StageSlotTable::Instance().Slot(slot).part, later - 1);
    EXPECT_EQ(store.Part(later - 1).PictureName(), "藏青百褶裙");
    const dm3test::File f = dm3test::Read(m_base.path() / "KZV网页项目文件" / (std::string(kSeries) + ".dm3"));
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.n, n - 1);
    EXPECT_LE(f.m, f.n);
    EXPECT_EQ(m_view->editor().selectedPart(), -1);
}

}  // namespace

namespace {

void Click(CZYKGridCtrl* grid, int column, int row) {
    const grid::Rect cell = grid->CellRect(column, row);
    const wxPoint at((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    for (auto [type, down] : {std::pair{wxEVT_MOTION, false}, {wxEVT_LEFT_DOWN, true}, {wxEVT_LEFT_UP, false}}) {
        wxMouseEvent e(type);
        e.SetEventObject(grid);
        e.SetPosition(at);
        e.m_leftDown = down;
        grid->GetEventHandler()->ProcessEvent(e);
    }
}

TEST_F(ProjectDialogsWindow, AClickOnAListedProjectOpensIt) {
    CProjectStore& store = CProjectStore::Instance();
    std::string otherName = "春夏通勤搭配";
    const bool seen = WithDialog<CProjectOpenDlg>([&] { m_view->RunCommand(kIdProjectTable); }, [&](CProjectOpenDlg& dlg) {
        const auto& names = dlg.names();
        const auto it = std::find(names.begin(), names.end(), otherName);
        ASSERT_NE(it, names.end());
        Click(&dlg.grid(), 1, static_cast<int>(it - names.begin()));
        testsupport::PumpEvents(50);
        EXPECT_EQ(std::string(static_cast<wxTextCtrl*>(dlg.FindWindow(kIdProjectName))->GetValue().utf8_str()), otherName);
        EXPECT_TRUE(dlg.FindWindow(kIdOpenProject)->IsEnabled());
        EXPECT_FALSE(dlg.FindWindow(kIdNewProject)->IsEnabled());
        dlg.RunCommand(kIdOpenProject);
    });
    ASSERT_TRUE(seen);
    EXPECT_EQ(store.ProjectName(), otherName);
    EXPECT_EQ(CSysSetInfo::Instance().GetSeriesName(), otherName);
    EXPECT_NE(std::string(m_frame->GetTitle().utf8_str()).find(otherName), std::string::npos);
}

}  // namespace

namespace {

wxPoint CellCentre(CZYKGridCtrl& grid, int column, int row) {
    const grid::Rect cell = grid.CellRect(column, row);
    return {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
}

// The grid's child windows that show (an in-cell editor over a cell).
int ShownEditors(CZYKGridCtrl& grid) {
    int n = 0;
    for (wxWindow* child : grid.GetChildren()) n += child->IsShown();
    return n;
}

// Each column holds its value without an editor window: a click on any cell
// shows no edit box, and what is typed there and ended with Enter changes
// nothing. The media grid's "图片列表" cell opens the picture list, no other
// cell does.
TEST_F(ProjectDialogsWindow, EveryProjectGridColumnHoldsItsValueAndOnlyThePictureCellOpensTheList) {
    CProjectStore& store = CProjectStore::Instance();
    auto typeIntoCell = [](CZYKGridCtrl& grid, int column, int row) {
        testsupport::ClickAt(&grid, CellCentre(grid, column, row));
        EXPECT_EQ(grid.GetCurrentDataColumn(), column);
        CGridCellControl* editor = grid.GetColumnControl(column);
        ASSERT_NE(editor, nullptr) << column;
        EXPECT_EQ(editor->Kind(), grid::kEditorValue) << column;
        EXPECT_EQ(ShownEditors(grid), 0) << column;
        testsupport::TypeText("xyz");
        testsupport::PressKey(WXK_RETURN);
        EXPECT_EQ(ShownEditors(grid), 0) << column;
    };

    // The project table of "项目表".
    const bool tableSeen = WithDialog<CProjectOpenDlg>([&] { m_view->RunCommand(kIdProjectTable); }, [&](CProjectOpenDlg& dlg) {
        const std::vector<std::string> names = dlg.names();
        ASSERT_GE(names.size(), 2u);
        for (int column : {0, 1}) typeIntoCell(dlg.grid(), column, 1);
        EXPECT_EQ(dlg.names(), names);
        EXPECT_EQ(std::string(static_cast<wxTextCtrl*>(dlg.FindWindow(kIdProjectName))->GetValue().utf8_str()), names[1]);
    });
    ASSERT_TRUE(tableSeen);

    // The part-media grid of "试衣图片参数".
    const int part = PartNamed("燕麦色开衫");
    ASSERT_GE(part, 0);
    m_view->editor().SelectPart(part);
    m_view->CheckChanged(kIdProcessing, true);
    int lists = 0;
    CProjectParamDlg::ListDialogHook() = [&](CPicVoiceListDlg& list) {
        ++lists;
        list.EndModal(wxID_CANCEL);
    };
    const bool paramsSeen = WithDialog<CProjectParamDlg>([&] { m_view->RunCommand(kIdWebPage); }, [&](CProjectParamDlg& dlg) {
        static_cast<wxChoice*>(dlg.control(kIdShowCount))->SetStringSelection("2");
        dlg.RunCommand(kIdShowCount);
        ASSERT_EQ(dlg.grid().faceCount(), 2);
        const std::string picture = store.GetFaceString(part, 1, 0);
        for (int column = 0; column < 5; ++column) {
            SCOPED_TRACE(column);
            const int before = lists;
            typeIntoCell(dlg.grid(), column, 0);
            EXPECT_EQ(lists - before, column == 1 ? 1 : 0);
        }
        EXPECT_EQ(store.GetFaceString(part, 1, 0), picture) << "typing changed no face string";
        Shot(&dlg, "9-media-grid");
    });
    ASSERT_TRUE(paramsSeen);
    EXPECT_EQ(lists, 1);
}

}  // namespace
