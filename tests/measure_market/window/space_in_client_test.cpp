// The measurement space inside the client: the side bar's third tab opens
// child window C with the form, its chart and the 3-D view; the value
// editor opens in the unit chosen last and reads what it shows.
#include <filesystem>
#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/textctrl.h>

#include "measure_market/measure_data.h"
#include "measure_market/measure_form.h"
#include "measure_market/opengl_view.h"
#include "measure_market/size_chart_grid.h"
#include "measure_market/size_database.h"
#include "measure_market/space_child_frame.h"
#include "measure_market/value_edit_dlg.h"
#include "shell/bar_geometry.h"
#include "shell/base_directory.h"
#include "shell/client_shell.h"
#include "shell/deferred_request.h"
#include "shell/main_frame.h"
#include "shell/nav_bar.h"
#include "shell/sys_info.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

namespace fs = std::filesystem;

namespace {

TEST(SpaceInClient, TheSideBarOpensTheMeasurementSpace) {
    const fs::path demo = testsupport::DemoBase() / std::string(measure::kDataFolder);
    ASSERT_TRUE(testsupport::FixtureExists(demo / std::string(measure::kSizeFileName)));
    testsupport::TempDir tmp;
    fs::copy(testsupport::DemoBase(), tmp.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    fs::remove(tmp / "FittoraSysinfo.dm3");
    shell::ResetDeferred();
    shell::ResetSysInfo();
    shell::SetBaseDirectory(tmp.path());
    measure::SizeDatabase().Reset();
    ClientShell client;
    client.SetFrameFactory(2, [](platform::ui::MdiClient* c) -> platform::ui::MdiChildFrame* {
        return CMWinFram_SpaceChdWnd::Make(c, shell::BaseDirectory());
    });
    CMainFrame* frame = client.Start();
    ASSERT_NE(frame, nullptr);
    frame->ShowMaximised();
    testsupport::PumpEvents(300);
    const auto tabs = shell::NavTabs(frame->navBar()->lineHeight());
    frame->navBar()->ClickAt(10, (tabs[2].hit.top + tabs[2].hit.bottom) / 2);
    testsupport::PumpEvents(600);
    const auto& docs = client.templates().at(2)->documents();
    ASSERT_EQ(docs.size(), 1u);
    auto* space = dynamic_cast<CMWinFram_SpaceChdWnd*>(docs[0]);
    ASSERT_NE(space, nullptr);
    EXPECT_TRUE(space->view()->IsShownOnScreen());
    EXPECT_TRUE(space->form()->IsShownOnScreen());
    EXPECT_EQ(space->form()->personCombo()->GetCount(), 2u);
    EXPECT_GT(space->form()->grid()->shownRows(), 10);
    testsupport::SaveWindowScreenshot(frame, testsupport::Screen("measure-client.png"));
    frame->Destroy();
    testsupport::PumpEvents(100);
    shell::ResetDeferred();
    measure::SizeDatabase().Reset();
}

TEST(ValueEditor, OpensInTheRememberedUnitAndReadsWhatItShows) {
    wxFrame* top = new wxFrame(nullptr, wxID_ANY, "editor");
    DlgValueEdit::RememberUnit(measure::ValueUnit::Centimetre);
    {
        DlgValueEdit dlg(top, 508, wxPoint(100, 100));
        EXPECT_EQ(dlg.valueEdit()->GetValue(), "5.08");
        EXPECT_EQ(dlg.GetBackgroundColour(), wxColour(0xDC, 0xFA, 0xFA));
        // Its buttons say what every box's buttons say.
        ASSERT_NE(dlg.FindWindow(wxID_OK), nullptr);
        ASSERT_NE(dlg.FindWindow(wxID_CANCEL), nullptr);
        EXPECT_EQ(dlg.FindWindow(wxID_OK)->GetLabel().utf8_string(), "确定");
        EXPECT_EQ(dlg.FindWindow(wxID_CANCEL)->GetLabel().utf8_string(), "取消");
        // Switching to inches shows the same value in inches.
        dlg.unitCombo()->SetSelection(1);
        wxCommandEvent pick(wxEVT_CHOICE, dlg.unitCombo()->GetId());
        pick.SetInt(1);
        pick.SetEventObject(dlg.unitCombo());
        dlg.unitCombo()->ProcessWindowEvent(pick);
        EXPECT_EQ(DlgValueEdit::RememberedUnit(), measure::ValueUnit::Inch);
        EXPECT_EQ(dlg.valueEdit()->GetValue(), "2");
        dlg.valueEdit()->ChangeValue("11 3/4");
        ASSERT_TRUE(dlg.Accept());
        EXPECT_EQ(dlg.result(), 2984);
        dlg.valueEdit()->ChangeValue("eleven");
        EXPECT_FALSE(dlg.Accept());
        EXPECT_FALSE(dlg.hint().empty());
    }
    {
        // The next editor opens in inches.
        DlgValueEdit dlg(top, 3175, wxPoint(100, 100));
        EXPECT_EQ(dlg.unitCombo()->GetSelection(), 1);
        EXPECT_EQ(dlg.valueEdit()->GetValue(), "12.5");
        ASSERT_TRUE(dlg.Accept());
        EXPECT_EQ(dlg.result(), 3175);
    }
    {
        DlgValueEdit dlg(top, -1, wxPoint(100, 100));
        EXPECT_EQ(dlg.valueEdit()->GetValue(), "");  // a value never entered shows empty
    }
    DlgValueEdit::RememberUnit(measure::ValueUnit::Centimetre);
    top->Destroy();
    testsupport::PumpEvents(50);
}

}  // namespace
