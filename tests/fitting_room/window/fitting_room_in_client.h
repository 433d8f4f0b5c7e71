#pragma once
// A fixture that starts the client on a copy of the demo base directory and
// opens the fitting room from the side bar, as a user does; the room's frame
// and its picture toolbar are at hand. Each test's own fixture derives from
// it and adds what it needs before or after the room opens.
#include <gtest/gtest.h>

#include <filesystem>

#include "fitting_room/dress_child_frame.h"
#include "fitting_room/dress_toolbar.h"
#include "fitting_room/shared_objects.h"
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

namespace fittingtest {

class FittingRoomInClient : public ::testing::Test {
protected:
    // Copies the demo base (which must hold `fixture`, a path below it),
    // starts the client and opens the fitting room.
    void OpenRoom(const std::filesystem::path& fixture) {
        namespace fs = std::filesystem;
        ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / fixture));
        fitting_room::ResetSharedObjects();
        shell::ResetDeferred();
        shell::ResetSysInfo();
        fs::copy(testsupport::DemoBase(), tmp.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::remove(tmp / "FittoraSysinfo.dm3");
        shell::SetBaseDirectory(tmp.path());
        client.SetFrameFactory(1, [](platform::ui::MdiClient* c) -> platform::ui::MdiChildFrame* {
            return CMWinFram_DressChdWnd::Make(c);
        });
        frame = client.Start();
        ASSERT_NE(frame, nullptr);
        frame->ShowMaximised();
        testsupport::PumpEvents(300);
        // The user switches to the fitting room on the side bar.
        const auto tabs = shell::NavTabs(frame->navBar()->lineHeight());
        frame->navBar()->ClickAt(10, (tabs[1].hit.top + tabs[1].hit.bottom) / 2);
        testsupport::PumpEvents(400);
        const auto& docs = client.templates().at(1)->documents();
        ASSERT_EQ(docs.size(), 1u);
        room = dynamic_cast<CMWinFram_DressChdWnd*>(docs[0]);
        ASSERT_NE(room, nullptr);
        bar = room->toolBar();
        ASSERT_TRUE(bar->IsShownOnScreen());
    }
    void CloseRoom() {
        if (frame) frame->Destroy();
        frame = nullptr;
        testsupport::PumpEvents(50);
        shell::ResetDeferred();
        fitting_room::ResetSharedObjects();
    }

    testsupport::TempDir tmp;
    ClientShell client;
    CMainFrame* frame = nullptr;
    CMWinFram_DressChdWnd* room = nullptr;
    CDressToolBar* bar = nullptr;
};

}  // namespace fittingtest
