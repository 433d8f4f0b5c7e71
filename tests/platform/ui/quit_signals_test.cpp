// SIGTERM and SIGINT end a program through its own close: the message box
// and the dialog over the main window are cancelled first, no question is
// shown afterwards, and the main window gets a close it cannot refuse. A
// program that does not end is ended by the signal after the grace time.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include "platform/ui/message_box.h"
#include "platform/ui/message_box_dialog.h"
#include "platform/ui/quit_signals.h"
#include "tests/support/window_test_util.h"

namespace {

using namespace platform::ui;

void (*HandlerOf(int sig))(int) {
    struct sigaction now {};
    sigaction(sig, nullptr, &now);
    return now.sa_handler;
}

// A real message box over a dialog over the main window: the box is
// answered as its cancel, then the dialog is cancelled, then the main window
// is closed, each through its own close, before the grace time is out.
TEST(QuitSignals, CancelTheBoxAndTheDialogThenCloseTheMainWindowWithoutAQuestion) {
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        ASSERT_EQ(HandlerOf(sig), SIG_DFL);
        auto* frame = new wxFrame(nullptr, wxID_ANY, "main");
        frame->Show();
        wxWeakRef<wxFrame> alive(frame);
        std::vector<bool> couldVeto;
        std::vector<platform::MbResult> answers;
        std::vector<std::string> ended;
        bool boxShown = false;
        int dialogResult = 0, afterwards = 0;
        frame->Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& e) {
            couldVeto.push_back(e.CanVeto());
            ended.push_back("main");
            // A close that would ask: nothing is shown, the answer is Cancel.
            answers.push_back(ShowMessage("仍然退出吗?", platform::MbButtons::YesNo));
            frame->Destroy();
        });
        {
            QuitSignalWatch watch(frame);
            EXPECT_NE(HandlerOf(sig), SIG_DFL);
            auto* dlg = new wxDialog(frame, wxID_ANY, "over the frame");
            // The signal comes while the box is on the screen.
            wxTimer signal;
            signal.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
                auto* box = testsupport::FindShownDialog<MessageBoxDialog>();
                if (!box || !box->IsModal()) return;
                boxShown = true;
                signal.Stop();
                ::raise(sig);
            });
            dlg->CallAfter([&] {
                signal.Start(50);
                answers.push_back(ShowMessage("真要删除当前图片吗?请确认!", platform::MbButtons::YesNo,
                                              platform::MbIcon::Question, "特别提示", dlg));
                ended.push_back("box");
            });
            dialogResult = dlg->ShowModal();
            ended.push_back("dialog");
            // A dialog that a handler opens after the signal does not show.
            auto* later = new wxDialog(frame, wxID_ANY, "later");
            afterwards = later->ShowModal();
            later->Destroy();
            dlg->Destroy();
            for (int i = 0; i < 40 && alive; ++i) testsupport::PumpEvents(25);
            EXPECT_EQ(QuitSignalWatch::Received(), sig);
        }
        EXPECT_EQ(HandlerOf(sig), SIG_DFL) << "the handler before the watch is back";
        EXPECT_TRUE(boxShown);
        EXPECT_EQ(dialogResult, wxID_CANCEL);
        EXPECT_EQ(afterwards, wxID_CANCEL);
        EXPECT_FALSE(alive) << "the main window was closed";
        if (alive) alive->Destroy();
        EXPECT_EQ(couldVeto, std::vector<bool>{false});
        EXPECT_EQ(answers, (std::vector<platform::MbResult>{platform::MbResult::Cancel, platform::MbResult::Cancel}));
        EXPECT_EQ(ended, (std::vector<std::string>{"box", "dialog", "main"}));
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
