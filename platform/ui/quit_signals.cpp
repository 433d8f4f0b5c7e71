// The handler notes the first signal and writes the signal's number into a
// pipe. A watcher thread (with every signal blocked) reads it and hands the
// end to the window thread with CallAfter, when a watch is there to take it;
// later signals it only drains. Ten seconds after the first signal it ends a
// program that is still there with the signal's default action, once the
// saves in progress are done. On the window thread a modal-dialog hook keeps
// the dialogs that are open, and a timer repeats the step below until the
// program has ended: close the innermost dialog over the main window, or,
// when none is left, the main window itself.
//
// The handlers, the pipe and the thread belong to the process: WatchQuitSignals
// keeps them for the rest of its life; without it (a test's own process) they
// live as long as a watch does.
#include "platform/ui/quit_signals.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <thread>
#include <vector>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/timer.h>
#include <wx/toplevel.h>
#include <wx/weakref.h>

#include "platform/save_guard.h"
#include "platform/ui/message_box_dialog.h"

namespace platform::ui {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kQuitSignals[] = {SIGTERM, SIGINT};
constexpr auto kGrace = std::chrono::seconds(10);
constexpr int kStepMs = 100;
constexpr unsigned char kStopByte = 0;

std::atomic<int> g_wakeFd{-1};   // the pipe's write end while the handlers are ours
std::atomic<int> g_received{0};  // the first quit signal

// The watch that lives now, as the window thread reaches it.
struct Quitter {
    virtual void Begin() = 0;

protected:
    ~Quitter() = default;
};
Quitter* g_active = nullptr;  // window thread only
// Whether a watch is there to be told; the watcher thread asks under the
// lock, so that it never calls into an application that has gone.
std::mutex g_tellLock;
bool g_watching = false;

void OnQuitSignal(int sig) {
    const int saved = errno;
    int none = 0;
    g_received.compare_exchange_strong(none, sig);
    const int fd = g_wakeFd.load();
    if (fd >= 0) {
        const auto b = static_cast<unsigned char>(sig);
        [[maybe_unused]] const ssize_t n = ::write(fd, &b, 1);
    }
    errno = saved;
}

[[noreturn]] void EndByDefault(int sig) {
    // No file is left half-written: the saves that run end first, and no
    // new one starts.
    static platform::SaveBarrier* const noSaves = new platform::SaveBarrier;
    static_cast<void>(noSaves);
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    ::sigaction(sig, &dfl, nullptr);
    ::kill(::getpid(), sig);
    // Every thread blocks it: end all the same.
    ::usleep(500 * 1000);
    ::_exit(128 + sig);
}

void TellTheWindowThread() {
    const std::lock_guard<std::mutex> lock(g_tellLock);
    if (g_watching && wxTheApp) wxTheApp->CallAfter([] {
        if (g_active) g_active->Begin();
    });
}

void Watch(int fd) {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    int first = 0;
    Clock::time_point deadline{};
    for (;;) {
        int timeout = -1;
        if (first) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) EndByDefault(first);  // the grace time is over
            timeout = static_cast<int>(left);
        }
        pollfd p{fd, POLLIN, 0};
        const int n = ::poll(&p, 1, timeout);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (n == 0) continue;
        unsigned char b = 0;
        const ssize_t r = ::read(fd, &b, 1);
        if (r < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (r <= 0 || b == kStopByte) return;
        if (first) continue;  // a later signal: the close that runs goes on
        first = b;
        deadline = Clock::now() + kGrace;
        int none = 0;
        g_received.compare_exchange_strong(none, first);
        TellTheWindowThread();
    }
}

// The handlers, the pipe and the watcher thread. Made and ended on the
// thread that starts the program (the window thread).
struct ProcessWatch {
    int fds[2] = {-1, -1};
    std::thread watcher;
    struct sigaction previous[std::size(kQuitSignals)] {};
    int users = 0;
};
ProcessWatch* g_process = nullptr;

void Acquire() {
    if (!g_process) {
        auto* w = new ProcessWatch;
        g_received.store(0);
        if (::pipe2(w->fds, O_CLOEXEC | O_NONBLOCK) == 0) {
            g_wakeFd.store(w->fds[1]);
            w->watcher = std::thread(Watch, w->fds[0]);
            struct sigaction sa {};
            sa.sa_handler = OnQuitSignal;
            sigemptyset(&sa.sa_mask);
            sa.sa_flags = SA_RESTART;
            for (std::size_t k = 0; k < std::size(kQuitSignals); ++k)
                ::sigaction(kQuitSignals[k], &sa, &w->previous[k]);
        }  // else no watch: the signals keep their default
        g_process = w;
    }
    ++g_process->users;
}

void Release() {
    if (!g_process || --g_process->users > 0) return;
    ProcessWatch* w = g_process;
    g_process = nullptr;
    if (w->watcher.joinable()) {
        for (std::size_t k = 0; k < std::size(kQuitSignals); ++k) ::sigaction(kQuitSignals[k], &w->previous[k], nullptr);
        g_wakeFd.store(-1);
        [[maybe_unused]] const ssize_t n = ::write(w->fds[1], &kStopByte, 1);
        w->watcher.join();
    }
    for (int fd : w->fds)
        if (fd >= 0) ::close(fd);
    delete w;
}

}  // namespace

void WatchQuitSignals() {
    static bool started = false;
    if (started) return;
    started = true;
    Acquire();  // never released: the process keeps the watch until it ends
}

struct QuitSignalWatch::Impl final : Quitter, wxModalDialogHook, wxTimer {
    wxWeakRef<wxTopLevelWindow> main;
    std::vector<wxDialog*> open;  // modal dialogs shown now, outermost first
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
        if (closing || !main) return;
        closing = true;
        main->Close(true);
    }
};

QuitSignalWatch::QuitSignalWatch(wxTopLevelWindow* main) : m_impl(std::make_unique<Impl>()) {
    Acquire();
    m_impl->main = main;
    m_impl->Register();
    g_active = m_impl.get();
    {
        const std::lock_guard<std::mutex> lock(g_tellLock);
        g_watching = true;
    }
    if (g_received.load()) TellTheWindowThread();
}

QuitSignalWatch::~QuitSignalWatch() {
    m_impl->Stop();
    m_impl->Unregister();
    {
        const std::lock_guard<std::mutex> lock(g_tellLock);
        g_watching = false;
    }
    g_active = nullptr;
    Release();
}

void QuitSignalWatch::SetMainWindow(wxTopLevelWindow* main) {
    m_impl->main = main;
    if (g_received.load()) TellTheWindowThread();
}

int QuitSignalWatch::Received() { return g_received.load(); }

}  // namespace platform::ui
