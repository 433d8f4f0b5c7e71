// A box of a loaded module carries the module's name as its title, as the
// client's boxes carry the client's. Each module is bound by the client's
// own command; its entry refuses a working directory too long to be a base
// directory, and says so in a real box, looked at here through the X server.
#include <gtest/gtest.h>
#include <wx/dialog.h>

#include <filesystem>
#include <string>

#include "platform/ui/message_box.h"
#include "shell/base_directory.h"
#include "shell/client_shell.h"
#include "shell/deferred_request.h"
#include "shell/download_record.h"
#include "shell/main_frame.h"
#include "shell/sys_info.h"
#include "tests/support/temp_dir.h"
#include "tests/support/user_input.h"
#include "tests/support/window_test_util.h"
#include "tests/support/x_window_state.h"

namespace fs = std::filesystem;

namespace {

// The shown modal dialog of whichever library: the module's classes are its
// own, the toolkit's are shared.
wxDialog* ShownModalDialog() {
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* d = dynamic_cast<wxDialog*>(w); d && d->IsShown() && d->IsModal()) return d;
    return nullptr;
}

TEST(ModuleBoxes, CarryTheModuleName) {
    struct Case {
        int command;
        const char* module;
    };
    const Case cases[] = {{ID_CAMERA, "Lensory"}, {ID_DOWNLOAD_PROJECTS, "Dolvane"}, {ID_IMAGE_EDIT, "Pictova"}};
    testsupport::TempDir base;
    // A working directory whose path is longer than a base directory may be.
    fs::path deep = base.path();
    for (int i = 0; i < 6; ++i) deep /= std::string(50, 'd');
    fs::create_directories(deep);
    shell::ResetDeferred();
    shell::ResetSysInfo();
    shell::ResetDLoadRec();
    shell::SetBaseDirectory(base.path());
    platform::ui::SetDefaultCaption("Fittora");
    ClientShell client;
    CMainFrame* frame = client.Start();
    ASSERT_NE(frame, nullptr);
    frame->ShowMaximised();
    testsupport::PumpEvents(200);
    {
        testsupport::ScopedCwd cwd(deep);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.module);
            std::string title, text;
            bool mapped = false;
            testsupport::ModalDialogDriver driver(ShownModalDialog, [&](wxDialog* box) {
                title = box->GetTitle().utf8_string();
                mapped = testsupport::XStateOf(box).viewable;
                for (wxWindow* w : box->GetChildren())
                    if (w->GetLabel().Find(wxString::FromUTF8("当前目录")) != wxNOT_FOUND) text = w->GetLabel().utf8_string();
                testsupport::XKey(WXK_RETURN);
            });
            frame->CallAfter([&] { frame->RunCommand(c.command); });
            driver.WaitUntilClosed();
            ASSERT_TRUE(driver.acted()) << "no box from the module";
            EXPECT_FALSE(driver.timedOut());
            EXPECT_TRUE(mapped);
            EXPECT_EQ(title, c.module);
            EXPECT_EQ(text.rfind("当前目录的路径太长", 0), 0u) << text;
        }
    }
    EXPECT_EQ(platform::ui::DefaultCaption(), "Fittora");
    frame->Destroy();
    testsupport::PumpEvents(50);
    shell::ResetDeferred();
}

}  // namespace
