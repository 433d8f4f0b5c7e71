#pragma once
// Ending a program on SIGTERM and SIGINT the way closing its main window ends
// it. The program makes one watch once its main window exists and drops it
// when its main loop has ended; all of it runs on the window thread, except a
// small watcher thread that the signal wakes.
//
// On the first signal the dialogs and message boxes open over the main window
// are cancelled through their own close path, innermost first (a message box
// answers as its cancel); from then on no modal dialog or message box opens
// (each returns wxID_CANCEL at once, a message box's text goes to stderr), so
// nothing asks a question; then the main window is closed with force, and
// what its close saves is saved. A program that has not ended
// two seconds after the signal, or that gets a second one, ends by the
// signal's default action.
#include <memory>

class wxTopLevelWindow;

namespace platform::ui {

class QuitSignalWatch {
public:
    explicit QuitSignalWatch(wxTopLevelWindow* main);
    ~QuitSignalWatch();  // the handlers that were there before come back
    QuitSignalWatch(const QuitSignalWatch&) = delete;
    QuitSignalWatch& operator=(const QuitSignalWatch&) = delete;

    // The signal that started the program's end, 0 while none came.
    static int Received();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace platform::ui
