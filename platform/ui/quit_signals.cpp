// The handler only writes the signal's number into a pipe. A watcher thread
// (with every signal blocked) reads it and hands the end to the window thread
// with CallAfter; it then waits out the grace time, and when the program is
// still there, or a second signal comes, ends it with the signal's default
// action. On the window thread a modal-dialog hook keeps the dialogs that are
// open, and a timer repeats the step below until the program has ended: close
// the innermost dialog over the main window, or, when none is left, the main
// window itself.
#include "platform/ui/quit_signals.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <thread>
#include <vector>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/timer.h>
#include <wx/toplevel.h>
#include <wx/weakref.h>

#include "platform/ui/message_box_dialog.h"

namespace platform::ui {
namespace {

constexpr int kQuitSignals[] = {SIGTERM, SIGINT};
constexpr int kGraceMs = 2000;
constexpr int kStepMs = 100;
constexpr unsigned char kStopByte = 0;

std::atomic<int> g_wakeFd{-1};   // the pipe's write end while a watch lives
std::atomic<int> g_received{0};  // the first quit signal

// The watch that lives now, as the window thread reaches it.
struct Quitter {
    virtual void Begin() = 0;

protected:
    ~Quitter() = default;
};
Quitter* g_active = nullptr;  // window thread only

void OnQuitSignal(int sig) {
    const int saved = errno;
    const int fd = g_wakeFd.load();
    if (fd >= 0) {
        const auto b = static_cast<unsigned char>(sig);
        [[maybe_unused]] const ssize_t n = ::write(fd, &b, 1);
    }
    errno = saved;
}

[[noreturn]] void EndByDefault(int sig) {
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    ::sigaction(sig, &dfl, nullptr);
    ::kill(::getpid(), sig);
    // Every thread blocks it: end all the same.
    ::usleep(500 * 1000);
    ::_exit(128 + sig);
}

void Watch(int fd) {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    int first = 0;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int n = ::poll(&p, 1, first ? kGraceMs : -1);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (n == 0) EndByDefault(first);  // the grace time is over
        unsigned char b = 0;
        const ssize_t r = ::read(fd, &b, 1);
        if (r < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (r <= 0 || b == kStopByte) return;
        if (first) EndByDefault(first);  // a second signal
        first = b;
        g_received.store(first);
        if (wxTheApp) wxTheApp->CallAfter([] {
            if (g_active) g_active->Begin();
        });
    }
}

}  // namespace

struct QuitSignalWatch::Impl final : Quitter, wxModalDialogHook, wxTimer {
    wxWeakRef<wxTopLevelWindow> main;
    std::vector<wxDialog*> open;  // modal dialogs shown now, outermost first
    struct sigaction previous[std::size(kQuitSignals)] {};
    int fds[2] = {-1, -1};
    std::thread watcher;
    bool closing = false;

    int Enter(wxDialog* dialog) override {
        if (g_received.load()) {
            if (auto* box = dynamic_cast<MessageBoxDialog*>(dialog)) std::fprintf(stderr, "%s\n", box->text().c_str());
            return wxID_CANCEL;
        }
        open.push_back(dialog);
        return wxID_NONE;
    }
    void Exit(wxDialog* dialog) override {
        const auto it = std::find(open.rbegin(), open.rend(), dialog);
        if (it != open.rend()) open.erase(std::next(it).base());
    }
    void Notify() override { Step(); }

    void Begin() override {
        Step();
        if (!IsRunning()) Start(kStepMs);
    }

    void Step() {
        for (auto it = open.rbegin(); it != open.rend(); ++it) {
            if (*it == main.get()) continue;
            // Each ends through its own cancel; a message box answers as
            // Escape does.
            if ((*it)->IsModal()) (*it)->Close();
            return;
        }
        if (closing) return;
        closing = true;
        if (main) main->Close(true);
    }
};

QuitSignalWatch::QuitSignalWatch(wxTopLevelWindow* main) : m_impl(std::make_unique<Impl>()) {
    Impl& i = *m_impl;
    i.main = main;
    g_active = &i;
    g_received.store(0);
    i.Register();
    if (::pipe2(i.fds, O_CLOEXEC | O_NONBLOCK) != 0) return;  // no watch: the signals keep their default
    g_wakeFd.store(i.fds[1]);
    i.watcher = std::thread(Watch, i.fds[0]);
    struct sigaction sa {};
    sa.sa_handler = OnQuitSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (std::size_t k = 0; k < std::size(kQuitSignals); ++k) ::sigaction(kQuitSignals[k], &sa, &i.previous[k]);
}

QuitSignalWatch::~QuitSignalWatch() {
    Impl& i = *m_impl;
    i.Stop();
    i.Unregister();
    if (i.watcher.joinable()) {
        for (std::size_t k = 0; k < std::size(kQuitSignals); ++k) ::sigaction(kQuitSignals[k], &i.previous[k], nullptr);
        g_wakeFd.store(-1);
        [[maybe_unused]] const ssize_t n = ::write(i.fds[1], &kStopByte, 1);
        i.watcher.join();
    }
    for (int fd : i.fds)
        if (fd >= 0) ::close(fd);
    g_active = nullptr;
}

int QuitSignalWatch::Received() { return g_received.load(); }

}  // namespace platform::ui
