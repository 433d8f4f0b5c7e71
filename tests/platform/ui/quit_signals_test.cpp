// SIGTERM and SIGINT end a program through its own close: the dialog over the
// main window is cancelled first, no question is shown afterwards, and the
// main window gets a close it cannot refuse. A program that does not end is
// ended by the signal after the grace time.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdlib>
#include <vector>

#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/weakref.h>

#include "platform/ui/message_box.h"
#include "platform/ui/quit_signals.h"
#include "tests/support/window_test_util.h"

namespace {

using namespace platform::ui;

void (*HandlerOf(int sig))(int) {
    struct sigaction now {};
    sigaction(sig, nullptr, &now);
    return now.sa_handler;
}

TEST(QuitSignals, CancelTheDialogThenCloseTheMainWindowWithoutAQuestion) {
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        ASSERT_EQ(HandlerOf(sig), SIG_DFL);
        auto* frame = new wxFrame(nullptr, wxID_ANY, "main");
        frame->Show();
        wxWeakRef<wxFrame> alive(frame);
        std::vector<bool> couldVeto;
        std::vector<platform::MbResult> answers;
        int dialogResult = 0, afterwards = 0;
        frame->Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& e) {
            couldVeto.push_back(e.CanVeto());
            // A close that would ask: nothing is shown, the answer is Cancel.
            answers.push_back(ShowMessage("仍然退出吗?", platform::MbButtons::YesNo));
            frame->Destroy();
        });
        {
            QuitSignalWatch watch(frame);
            EXPECT_NE(HandlerOf(sig), SIG_DFL);
            auto* dlg = new wxDialog(frame, wxID_ANY, "over the frame");
            dlg->CallAfter([sig] { ::raise(sig); });
            dialogResult = dlg->ShowModal();
            // A dialog that a handler opens after the signal does not show.
            auto* later = new wxDialog(frame, wxID_ANY, "later");
            afterwards = later->ShowModal();
            later->Destroy();
            dlg->Destroy();
            for (int i = 0; i < 40 && alive; ++i) testsupport::PumpEvents(25);
            EXPECT_EQ(QuitSignalWatch::Received(), sig);
        }
        EXPECT_EQ(HandlerOf(sig), SIG_DFL) << "the handler before the watch is back";
        EXPECT_EQ(dialogResult, wxID_CANCEL);
        EXPECT_EQ(afterwards, wxID_CANCEL);
        EXPECT_FALSE(alive) << "the main window was closed";
        if (alive) alive->Destroy();
        EXPECT_EQ(couldVeto, std::vector<bool>{false});
        EXPECT_EQ(answers, std::vector<platform::MbResult>{platform::MbResult::Cancel});
    }
}

// A main window whose close never ends it: the signal's own action ends the
// program once the grace time is over.
TEST(QuitSignalsDeathTest, AProgramThatDoesNotEndIsEndedByTheSignal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            auto* frame = new wxFrame(nullptr, wxID_ANY, "stuck");
            frame->Bind(wxEVT_CLOSE_WINDOW, [](wxCloseEvent&) {});
            QuitSignalWatch watch(frame);
            ::raise(SIGTERM);
            testsupport::PumpEvents(6000);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGTERM), "");
}

}  // namespace
