// The suite's three programs, the real executables, each started in a copy of
// the demo base under this test's X server, end on SIGTERM and on SIGINT
// within 3 s through their own close: exit status 0, the profile that a
// normal close writes is written, and no save is left half-done. Fittora gets
// the signal once its show plays, with the sound layer running. Screens:
// screens/signal-<program>.png, each program as it was when the signal came.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <wx/image.h>

#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// True once a top-level window of process `pid` is on the screen.
bool HasVisibleWindow(pid_t pid) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    bool found = false;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (pidAtom != 0 && XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) {
            Atom type = 0;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                                   &after, &data) == 0 &&
                data && items == 1 && format == 32 && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid) {
                XWindowAttributes attrs{};
                found = XGetWindowAttributes(display, children[i], &attrs) && attrs.map_state == IsViewable;
            }
            if (data) XFree(data);
        }
        if (children) XFree(children);
    }
    XCloseDisplay(display);
    return found;
}

// Starts `program` in `dir` with `home` as its home, as the desktop would.
pid_t Start(const fs::path& program, const fs::path& dir, const fs::path& home) {
    auto replaced = [](const std::string& v) {
        for (const char* name : {"HOME=", "XDG_CONFIG_HOME=", "XDG_CACHE_HOME=", "XDG_DATA_HOME=", "SDL_AUDIODRIVER="})
            if (v.rfind(name, 0) == 0) return true;
        return false;
    };
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (!replaced(*e)) env.push_back(*e);
    env.push_back("HOME=" + home.string());
    env.push_back("XDG_CONFIG_HOME=" + (home / ".config").string());
    env.push_back("XDG_CACHE_HOME=" + (home / ".cache").string());
    env.push_back("XDG_DATA_HOME=" + (home / ".local/share").string());
    env.push_back("SDL_AUDIODRIVER=dummy");
    std::vector<char*> envp;
    for (std::string& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string path = program.string();
    char* argv[] = {path.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    pid_t pid = -1;
    if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits up to `limit` for the child to end; its wait status, or -1.
int WaitFor(pid_t pid, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    do {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (Clock::now() < end);
    return -1;
}

// True once one of the process's threads is SDL's audio thread: the sound
// layer has started (SDL would take SIGTERM and SIGINT for itself if let).
bool SoundStarted(pid_t pid) {
    std::error_code ec;
    for (const auto& t : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
        std::ifstream comm(t.path() / "comm");
        std::string name;
        if (std::getline(comm, name) && name.rfind("SDLAudio", 0) == 0) return true;
    }
    return false;
}

std::vector<fs::path> HalfDoneSaves(const fs::path& dir) {
    std::vector<fs::path> found;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.path().filename().string().find(".tmp-") != std::string::npos) found.push_back(e.path());
    return found;
}

struct Case {
    const char* program;
    int signal;
    const char* profile;  // what the program's close writes into the home folder, or nullptr
    bool sound;           // the program plays a sound at start (the show stage's show)
};

TEST(ProgramSignals, EachProgramEndsThroughItsCloseWithinThreeSeconds) {
    const Case cases[] = {
        {"Fittora", SIGTERM, ".Fittora", true}, {"Fittora", SIGINT, ".Fittora", true},
        {"Pavanel", SIGTERM, ".Pavanel", false}, {"Pavanel", SIGINT, ".Pavanel", false},
        {"Tranzel", SIGTERM, nullptr, false},    {"Tranzel", SIGINT, nullptr, false},
    };
    ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "sysSetInfo.sy3"));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " + strsignal(c.signal));
        const fs::path program = testsupport::BuildDir() / "bin" / c.program;
        ASSERT_TRUE(testsupport::FixtureExists(program));
        testsupport::TempDir where;
        const fs::path base = where / "演示目录", home = where / "home";
        fs::copy(testsupport::DemoBase(), base, fs::copy_options::recursive);
        fs::create_directories(home);

        const pid_t pid = Start(program, base, home);
        ASSERT_GT(pid, 0);
        bool shown = false;
        int early = -1;
        for (const auto end = Clock::now() + std::chrono::seconds(30); !shown && Clock::now() < end;) {
            shown = HasVisibleWindow(pid);
            if (!shown && (early = WaitFor(pid, std::chrono::milliseconds(100))) != -1) break;
        }
        if (!shown) {
            if (early == -1) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
            FAIL() << "no window came up (status " << early << ")";
        }
        // Let the start finish (the first paints; the show's sound).
        testsupport::PumpEvents(1200);
        for (const auto end = Clock::now() + std::chrono::seconds(15); c.sound && !SoundStarted(pid) && Clock::now() < end;)
            testsupport::PumpEvents(100);
        EXPECT_TRUE(!c.sound || SoundStarted(pid)) << "the show's sound did not start";
        if (c.signal == SIGTERM) {
            const wxImage screen = testsupport::GrabScreenArea(wxRect(0, 0, 1600, 1000));
            EXPECT_TRUE(screen.IsOk() &&
                        screen.SaveFile(testsupport::Screen(std::string("signal-") + c.program + ".png"), wxBITMAP_TYPE_PNG));
        }

        ASSERT_EQ(kill(pid, c.signal), 0);
        const auto sent = Clock::now();
        int status = WaitFor(pid, std::chrono::seconds(3));
        if (status == -1) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            ADD_FAILURE() << "still running 3 s after the signal";
            continue;
        }
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent).count();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << (WIFSIGNALED(status) ? std::string("ended by ") + strsignal(WTERMSIG(status))
                                    : "exit status " + std::to_string(WEXITSTATUS(status)))
            << " after " << took << " ms";
        if (c.profile) EXPECT_TRUE(fs::is_regular_file(home / c.profile)) << "the close did not write the profile";
        EXPECT_EQ(HalfDoneSaves(base), std::vector<fs::path>{});
    }
}

}  // namespace
