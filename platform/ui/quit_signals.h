#pragma once
// Ending a program on SIGTERM and SIGINT the way closing its main window ends
// it. The program calls WatchQuitSignals first thing in main, so that a
// signal at any time of its life is taken, and makes one watch at the start
// of its start-up; it gives the watch its main window once that exists and
// drops the watch when its main loop has ended. All of it runs on the window
// thread, except a small watcher thread that the signal wakes.
//
// On the first signal the dialogs and message boxes that are open are
// cancelled through their own close path, innermost first (a message box
// answers as its cancel); from then on no modal dialog or message box opens
// (each returns wxID_CANCEL at once, a message box's text goes to stderr), so
// nothing asks a question; then the main window is closed with force, and
// what its close saves is saved. A signal that comes before the main window
// exists ends the start-up: the program checks Received() as it goes and
// ends with status 0. Later signals change nothing: the close goes on. Only a
// program that has not ended ten seconds after the first signal is ended by
// that signal's default action, and then only once no file is being saved
// (platform::SaveBarrier). SIGKILL ends it at once.
#include <memory>

class wxTopLevelWindow;

namespace platform::ui {

// Takes SIGTERM and SIGINT from now until the process ends. Call it before
// anything else in main; the signals then never end the program by their
// default action before the close has had its ten seconds.
void WatchQuitSignals();

class QuitSignalWatch {
public:
    explicit QuitSignalWatch(wxTopLevelWindow* main = nullptr);
    // Without WatchQuitSignals, the handlers that were there before come back
    // once the last watch is gone.
    ~QuitSignalWatch();
    QuitSignalWatch(const QuitSignalWatch&) = delete;
    QuitSignalWatch& operator=(const QuitSignalWatch&) = delete;

    // The window that the signal closes once no dialog is left over it; when
    // a signal came already, its close starts at once.
    void SetMainWindow(wxTopLevelWindow* main);

    // The signal that started the program's end, 0 while none came.
    static int Received();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace platform::ui
