// The demo base works wherever it is copied: Pavanel started in a copy
// publishes its web fitting room into that copy's own output folder, and
// nothing lands in the build's demo base. Both buttons are pressed through
// the X server. Screen: screens/pavanel-dialog-web-copied.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <set>
#include <vector>

#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "platform/ui/message_box.h"
#include "project_editor/pavanel_frame.h"
#include "project_editor/pavanel_view.h"
#include "project_editor/project_store.h"
#include "project_editor/stage_slot.h"
#include "project_editor/sys_set_info.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"
#include "web_publish/build_web_page_dlg.h"

namespace fs = std::filesystem;
using namespace project_editor;
using namespace web_publish;

namespace {

std::set<fs::path> Listing(const fs::path& dir) {
    std::set<fs::path> out;
    for (const auto& e : fs::recursive_directory_iterator(dir)) out.insert(e.path());
    return out;
}

void ClickThroughTheServer(wxWindow* w) {
    wxUIActionSimulator sim;
    sim.MouseMove(w->GetScreenRect().GetPosition() + w->GetSize() / 2);
    testsupport::PumpEvents(80);
    sim.MouseClick();
}

TEST(CopiedDemoBase, PavanelPublishesIntoTheCopy) {
    const fs::path demo = testsupport::DemoBase();
    ASSERT_TRUE(testsupport::FixtureExists(demo / "sysSetInfo.sy3"));
    const fs::path buildOutput = demo / "KZV输出的网页";
    ASSERT_TRUE(testsupport::FixtureExists(buildOutput));
    const std::set<fs::path> buildOutputBefore = Listing(buildOutput);

    testsupport::TempDir where;
    const fs::path copy = where / "别处的演示目录";
    fs::copy(demo, copy, fs::copy_options::recursive);
    testsupport::ScopedCwd cwd(copy);
    CProjectStore::ResetInstance();
    StageSlotTable::ResetInstance();
    CSysSetInfo::ResetInstance();
    CPavanelView::WebPageCommand() = [](CPavanelView& view) { RunWebPageCommand(&view, view.base()); };
    SetPageOpener([](const std::string&, std::string*) { return true; });
    platform::ui::MessageBoxRecorder boxes;

    auto* frame = new CMainFrame(copy);
    frame->ShowMaximised();
    testsupport::PumpEvents(400);
    std::string shownOutput;
    bool seen = false;
    WebPageDialogHook() = [&](CBuildWebPageDlg& dlg) {
        seen = true;
        testsupport::PumpEvents(300);
        shownOutput = static_cast<wxTextCtrl*>(dlg.control(kIdOutputFolder))->GetValue().utf8_string();
        EXPECT_TRUE(testsupport::SaveWindowScreenshot(&dlg, testsupport::Screen("pavanel-dialog-web-copied.png")));
        ClickThroughTheServer(dlg.control(kIdStartBuild));
        testsupport::PumpEvents(1500);
        if (dlg.IsModal()) {
            ADD_FAILURE() << "the build button did not end the dialog";
            dlg.EndModal(wxID_CANCEL);
        }
    };
    ClickThroughTheServer(frame->view()->control(kIdWebPage));
    testsupport::PumpEvents(2500);
    WebPageDialogHook() = nullptr;
    CPavanelView::WebPageCommand() = nullptr;
    frame->Destroy();
    testsupport::PumpEvents(50);

    ASSERT_TRUE(seen) << "the web page dialog did not open";
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown().front().text;
    // The copy's settings name no folder of the build: the output folder is
    // the base directory's own "KZV输出的网页".
    EXPECT_EQ(shownOutput, "KZV输出的网页");
    const fs::path page = copy / "KZV输出的网页" / "2010试衣间" / "kzvDress.htm";
    EXPECT_TRUE(fs::is_regular_file(page));
    EXPECT_TRUE(fs::is_regular_file(copy / "KZV输出的网页" / "2010试衣间" / "java1jsfile" / "Cloths_1.0_kzv.js"));
    EXPECT_EQ(LastBuiltPageFolder(), "2010试衣间");
    std::vector<fs::path> added;
    const std::set<fs::path> buildOutputAfter = Listing(buildOutput);
    std::set_difference(buildOutputAfter.begin(), buildOutputAfter.end(), buildOutputBefore.begin(),
                        buildOutputBefore.end(), std::back_inserter(added));
    EXPECT_TRUE(added.empty()) << added.size() << " files published into the build's demo base, " << added.front();
}

}  // namespace
