// The project table of "创建或打开项目" driven through the X server as a user
// does: the row of the project open at start clicked, the other project
// reached with the arrow keys, "打开项目" clicked. "项目名称" follows the keys
// and the project opened is the row they reached, not the one open before.
// Screen: screens/pavanel-dialog-open-keys.png.
#include <gtest/gtest.h>

#include <filesystem>
#include <wx/app.h>
#include <wx/textctrl.h>

#include "platform/text.h"
#include "platform/ui/message_box.h"
#include "project_editor/pavanel_frame.h"
#include "project_editor/pavanel_session.h"
#include "project_editor/pavanel_view.h"
#include "project_editor/project_dialogs.h"
#include "project_editor/project_grids.h"
#include "project_editor/project_open_dlg.h"
#include "project_editor/stage_slot.h"
#include "project_editor/sys_set_info.h"
#include "tests/project_editor/dm3_reader.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"
#include "tests/support/user_input.h"

namespace fs = std::filesystem;
using namespace project_editor;

namespace {

TEST(ProjectOpenDialogKeys, TheRowReachedWithTheArrowKeysIsOpened) {
    testsupport::TempDir base;
    for (const char* part : {"KZV网页项目文件", "2010秋冬女装", "春夏通勤搭配", "服饰搭配sysproj", "KZV背景图片",
                             "sysSetInfo.sy3", "KZVSYSPIC"}) {
        const fs::path from = testsupport::DemoBase() / fs::path(part);
        ASSERT_TRUE(testsupport::FixtureExists(from));
        fs::copy(from, base / fs::path(part), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
    testsupport::ScopedCwd cwd(base.path());
    platform::ui::MessageBoxRecorder boxes;
    CProjectStore::ResetInstance();
    StageSlotTable::ResetInstance();
    CSysSetInfo::ResetInstance();
    auto* frame = new CMainFrame(base.path());
    frame->ShowMaximised();
    testsupport::PumpEvents(400);
    CProjectStore& store = CProjectStore::Instance();
    ASSERT_EQ(store.ProjectName(), "2010秋冬女装") << "the series project is open at start";

    CProjectOpenDlg* dlg = nullptr;
    wxTextCtrl* name = nullptr;
    wxString afterClick, afterKeys;
    const auto rowCentre = [&](int row) {
        const grid::Rect r = dlg->grid().CellRect(1, row);
        return wxPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    testsupport::XInputScript script;
    script
        .Then([&] {
            for (wxWindow* w : wxTopLevelWindows)
                if (auto* d = dynamic_cast<CProjectOpenDlg*>(w); d && d->IsShown()) dlg = d;
            if (!dlg) return false;
            name = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(kIdProjectName));
            return name != nullptr;
        })
        .Do([&] { testsupport::XPointTo(&dlg->grid(), rowCentre(0)); })  // 2010秋冬女装, open now
        .Do([] { testsupport::XLeftClick(); })
        .Then([&] {
            afterClick = name->GetValue();
            return dlg->grid().GetCurrentDataRow() == 0;
        })
        .Do([] { testsupport::XKey(WXK_DOWN); })
        .Then([&] {
            if (dlg->grid().GetCurrentDataRow() != 1) return false;  // 春夏通勤搭配
            afterKeys = name->GetValue();
            testsupport::SaveWindowScreenshot(dlg, testsupport::Screen("pavanel-dialog-open-keys.png"));
            return true;
        })
        .Do([&] { testsupport::XPointTo(dlg->FindWindow(kIdOpenProject)); })
        .Do([] { testsupport::XLeftClick(); });
    script.onTimeout = [&] {
        if (dlg && dlg->IsModal()) dlg->EndModal(wxID_CANCEL);
    };
    script.Start();
    frame->view()->RunCommand(kIdProjectTable);
    EXPECT_FALSE(script.timedOut());
    EXPECT_EQ(afterClick, wxString::FromUTF8("2010秋冬女装"));
    EXPECT_EQ(afterKeys, wxString::FromUTF8("春夏通勤搭配"));
    // The other project is open: its name, its records, the series of the
    // settings and the frame's title.
    EXPECT_EQ(store.ProjectName(), "春夏通勤搭配");
    const dm3test::File opened = dm3test::Read(base.path() / "KZV网页项目文件" / "春夏通勤搭配.dm3");
    const dm3test::File before = dm3test::Read(base.path() / "KZV网页项目文件" / "2010秋冬女装.dm3");
    ASSERT_TRUE(opened.ok && before.ok);
    ASSERT_EQ(store.PartCount(), opened.n);
    std::vector<std::string> pictures, want, old;
    for (int i = 0; i < store.PartCount(); ++i) pictures.push_back(platform::Utf8ToGbkLossy(store.Part(i).PictureName()));
    for (const dm3test::Part& p : opened.parts) want.push_back(p.pictureGbk);
    for (const dm3test::Part& p : before.parts) old.push_back(p.pictureGbk);
    EXPECT_EQ(pictures, want);
    EXPECT_NE(want, old) << "the two demo projects differ";
    EXPECT_EQ(CSysSetInfo::Instance().GetSeriesName(), "春夏通勤搭配");
    EXPECT_EQ(frame->GetTitle().utf8_string(), ProjectFrameTitle("春夏通勤搭配"));
    EXPECT_TRUE(boxes.shown().empty());
    frame->Destroy();
    testsupport::PumpEvents(50);
}

}  // namespace
