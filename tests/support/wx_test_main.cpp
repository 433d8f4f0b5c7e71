// Main for tests that open windows: starts wx without running its event loop,
// so each test creates its windows, pumps events and paints on demand.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (the build does it) needs no display.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) {
        fprintf(stderr, "cannot start wx (is DISPLAY set?)\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    wxLog::SetActiveTarget(new wxLogStderr);
    wxInitAllImageHandlers();
    // An active loop, so that tests can dispatch events (paints, sizes) while
    // they run.
    int rc = 0;
    {
        wxEventLoop loop;
        wxEventLoopActivator activate(&loop);
        rc = RUN_ALL_TESTS();
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return rc;
}
