// SIGTERM and SIGINT end a program through its own close: the message box
// and the dialog over the main window are cancelled first, no question is
// shown afterwards, and the main window gets a close it cannot refuse, also
// when the signal came before the main window was there. A second signal
// changes nothing; a program that does not end is ended by the signal ten
// seconds after it, once no save is in progress.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include "platform/save_guard.h"
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

// A main window whose close never ends it, a second signal 10 ms after the
// first, and a save in progress when the grace time is over: the second
// signal changes nothing, and the program is ended by the first signal's
// own action ten seconds after it, once the save is done.
TEST(QuitSignalsDeathTest, AStuckCloseIsEndedTenSecondsAfterTheSignalOnceNoSaveRuns) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            auto* frame = new wxFrame(nullptr, wxID_ANY, "stuck");
            frame->Bind(wxEVT_CLOSE_WINDOW, [](wxCloseEvent&) {});
            QuitSignalWatch watch(frame);
            const auto sent = std::chrono::steady_clock::now();
            std::thread saving([sent] {
                const platform::SaveGuard inProgress;
                std::this_thread::sleep_until(sent + std::chrono::milliseconds(11500));
                std::fprintf(stderr, "the save is done\n");
            });
            saving.detach();
            ::raise(SIGTERM);
            testsupport::PumpEvents(10);
            ::raise(SIGINT);
            testsupport::PumpEvents(9500);
            std::fprintf(stderr, "still there after 9.5 s\n");
            testsupport::PumpEvents(10000);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGTERM), "still there after 9.5 s.*the save is done");
}

// A signal that comes before the main window exists: dialogs of the
// start-up are cancelled, and the main window given later is closed at once.
TEST(QuitSignals, ASignalBeforeTheMainWindowClosesItOnceItIsThere) {
    QuitSignalWatch watch;
    ::raise(SIGTERM);
    testsupport::PumpEvents(50);
    EXPECT_EQ(QuitSignalWatch::Received(), SIGTERM);
    auto* early = new wxDialog(nullptr, wxID_ANY, "start-up");
    EXPECT_EQ(early->ShowModal(), wxID_CANCEL);
    early->Destroy();
    auto* frame = new wxFrame(nullptr, wxID_ANY, "main");
    wxWeakRef<wxFrame> alive(frame);
    bool couldVeto = true;
    frame->Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& e) {
        couldVeto = e.CanVeto();
        frame->Destroy();
    });
    watch.SetMainWindow(frame);
    for (int i = 0; i < 40 && alive; ++i) testsupport::PumpEvents(25);
    EXPECT_FALSE(alive) << "the main window was not closed";
    EXPECT_FALSE(couldVeto);
    if (alive) alive->Destroy();
}

}  // namespace
