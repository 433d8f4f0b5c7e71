// The suite's three programs, the real executables, each started in a copy of
// the demo base under this test's X server, end on SIGTERM and on SIGINT
// within 3 s through their own close: exit status 0, the profile that a
// normal close writes is written, and no save or download is left half-done.
// A second signal 10 ms after the first changes nothing: the close goes on.
// Fittora gets the signal once its show plays, with the sound layer running.
// A signal that comes as soon as a program watches for it, before its main
// window is up, ends it with status 0 too. Screens:
// screens/signal-<program>.png, each program as it was when the signal came.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <wx/image.h>

#include "platform/text.h"
#include "shell/bar_geometry.h"
#include "tests/project_editor/dm3_reader.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/ftp_test_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"
#include "transfer/ftp_settings.h"
#include "transfer/tranzel_core.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The screen rectangle of a shown top-level window of process `pid` (titled
// `title`, when one is given; titled otherwise, when `other` is set).
std::optional<wxRect> ShownWindow(pid_t pid, const std::string& title = {}, bool other = false) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return std::nullopt;
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    const Atom nameAtom = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    auto titleOf = [&](Window w) {
        std::string text;
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, w, nameAtom, 0, 1024, False, utf8, &type, &format, &items, &after,
                               &data) == 0 &&
            data && format == 8)
            text.assign(reinterpret_cast<char*>(data), items);
        if (data) XFree(data);
        return text;
    };
    std::optional<wxRect> found;
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
                data && items == 1 && format == 32 && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid &&
                (title.empty() || (titleOf(children[i]) == title) != other)) {
                XWindowAttributes attrs{};
                if (XGetWindowAttributes(display, children[i], &attrs) && attrs.map_state == IsViewable)
                    found = wxRect(attrs.x, attrs.y, attrs.width, attrs.height);
            }
            if (data) XFree(data);
        }
        if (children) XFree(children);
    }
    XCloseDisplay(display);
    return found;
}

bool HasVisibleWindow(pid_t pid) { return ShownWindow(pid).has_value(); }

// Starts `program` in `dir` with `home` as its home, as the desktop would.
pid_t Start(const fs::path& program, const fs::path& dir, const fs::path& home) {
    auto replaced = [](const std::string& v) {
        for (const char* name :
             {"HOME=", "XDG_CONFIG_HOME=", "XDG_CACHE_HOME=", "XDG_DATA_HOME=", "SDL_AUDIODRIVER=", "GSETTINGS_BACKEND="})
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
    env.push_back("GSETTINGS_BACKEND=memory");  // the save dialog's settings: no desktop settings service here
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

// The temporaries of the one save (".<name>.tmp-...") and of downloads
// (".<name>.part-...") under `dir`: none is left by a close that ended.
std::vector<fs::path> HalfDoneSaves(const fs::path& dir) {
    std::vector<fs::path> found;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name.find(".tmp-") != std::string::npos || name.find(".part-") != std::string::npos)
            found.push_back(e.path());
    }
    return found;
}

// Sends `sig`, and `second` (when not 0) 10 ms later.
bool SendSignals(pid_t pid, int sig, int second) {
    if (kill(pid, sig) != 0) return false;
    if (second == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return kill(pid, second) == 0;
}

std::string SignalsText(int sig, int second) {
    return std::string(strsignal(sig)) + (second ? std::string(", 10 ms later ") + strsignal(second) : "");
}

void SaveScreen(const std::string& name) {
    const wxImage screen = testsupport::GrabScreenArea(wxRect(0, 0, 1600, 1000));
    EXPECT_TRUE(screen.IsOk() && screen.SaveFile(testsupport::Screen(name), wxBITMAP_TYPE_PNG));
}

std::string ExitText(int status) {
    if (status == -1) return "still running 3 s after the signal";
    if (WIFSIGNALED(status)) return std::string("ended by ") + strsignal(WTERMSIG(status));
    return "exit status " + std::to_string(WEXITSTATUS(status));
}

// A copy of the demo base and a home folder of its own, for one start.
struct Place {
    testsupport::TempDir where;
    fs::path base = where / "演示目录", home = where / "home";
    Place() {
        fs::copy(testsupport::DemoBase(), base, fs::copy_options::recursive);
        fs::create_directories(home);
    }
};

struct Case {
    const char* program;
    int signal;
    int second;           // a second signal 10 ms after the first, or 0
    const char* profile;  // what the program's close writes into the home folder, or nullptr
    bool sound;           // the program plays a sound at start (the show stage's show)
};

TEST(ProgramSignals, EachProgramEndsThroughItsCloseWithinThreeSeconds) {
    const Case cases[] = {
        {"Fittora", SIGTERM, 0, ".Fittora", true},       {"Fittora", SIGINT, 0, ".Fittora", true},
        {"Fittora", SIGTERM, SIGTERM, ".Fittora", true}, {"Pavanel", SIGTERM, 0, ".Pavanel", false},
        {"Pavanel", SIGINT, 0, ".Pavanel", false},       {"Pavanel", SIGINT, SIGTERM, ".Pavanel", false},
        {"Tranzel", SIGTERM, 0, nullptr, false},         {"Tranzel", SIGINT, 0, nullptr, false},
        {"Tranzel", SIGINT, SIGINT, nullptr, false},
    };
    ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "sysSetInfo.sy3"));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " + SignalsText(c.signal, c.second));
        const fs::path program = testsupport::BuildDir() / "bin" / c.program;
        ASSERT_TRUE(testsupport::FixtureExists(program));
        Place place;

        const pid_t pid = Start(program, place.base, place.home);
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
        if (c.signal == SIGTERM && c.second == 0) SaveScreen(std::string("signal-") + c.program + ".png");

        ASSERT_TRUE(SendSignals(pid, c.signal, c.second));
        const auto sent = Clock::now();
        int status = WaitFor(pid, std::chrono::seconds(3));
        if (status == -1) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            ADD_FAILURE() << "still running 3 s after the signal";
            continue;
        }
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent).count();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ExitText(status) << " after " << took << " ms";
        if (c.profile) {
            EXPECT_TRUE(fs::is_regular_file(place.home / c.profile)) << "the close did not write the profile";
        }
        EXPECT_EQ(HalfDoneSaves(place.where.path()), std::vector<fs::path>{});
    }
}

// True once the process takes SIGTERM and SIGINT itself: its handlers are in.
bool CatchesQuitSignals(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    const unsigned long long both = (1ull << (SIGTERM - 1)) | (1ull << (SIGINT - 1));
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) & both) == both;
    return false;
}

TEST(ProgramSignals, ASignalBeforeTheMainWindowIsUpEndsTheProgramWithStatusZero) {
    struct Early {
        const char* program;
        int signal, second;
        int afterMs;  // after the program watches for the signals: within the first 0.1 s
    };
    const Early cases[] = {
        {"Fittora", SIGTERM, 0, 0}, {"Fittora", SIGINT, 0, 100}, {"Fittora", SIGTERM, SIGTERM, 30},
        {"Pavanel", SIGTERM, 0, 0}, {"Pavanel", SIGINT, SIGINT, 100},
        {"Tranzel", SIGTERM, 0, 0}, {"Tranzel", SIGINT, SIGTERM, 100},
    };
    for (const Early& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " + SignalsText(c.signal, c.second) + " " + std::to_string(c.afterMs) +
                     " ms after the start");
        const fs::path program = testsupport::BuildDir() / "bin" / c.program;
        ASSERT_TRUE(testsupport::FixtureExists(program));
        Place place;
        const auto started = Clock::now();
        const pid_t pid = Start(program, place.base, place.home);
        ASSERT_GT(pid, 0);
        bool watching = false;
        int ended = -1;
        for (const auto end = Clock::now() + std::chrono::seconds(10); Clock::now() < end;) {
            if ((watching = CatchesQuitSignals(pid))) break;
            if (waitpid(pid, &ended, WNOHANG) == pid) break;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        if (!watching) {
            if (ended == -1) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
            FAIL() << "the program never took the signals (" << ExitText(ended) << ")";
        }
        const auto watchingAfter =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
        // At once the main window cannot be there; 100 ms later it may be
        // coming up.
        if (c.afterMs == 0) EXPECT_FALSE(HasVisibleWindow(pid)) << "the main window was up already";
        std::this_thread::sleep_for(std::chrono::milliseconds(c.afterMs));
        ASSERT_TRUE(SendSignals(pid, c.signal, c.second));
        const int status = WaitFor(pid, std::chrono::seconds(3));
        if (status == -1) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << ExitText(status) << " (it watched for the signals " << watchingAfter << " ms after its start)";
        EXPECT_FALSE(HasVisibleWindow(pid));
        EXPECT_EQ(HalfDoneSaves(place.where.path()), std::vector<fs::path>{});
    }
}

// ---- a message box open when the signal comes ----
//
// Each program is driven as its user drives it, by clicks and keys through
// the X server at the places its windows show on the test screen (1600 x
// 1000, no window manager), until one of its message boxes is on the screen;
// then the signal comes. The box is answered as its cancel, the windows
// under it close as they do by hand, the program ends with status 0 within
// 3 s, and what its close saves is on the disk. Screens:
// screens/signal-box-<program>.png, the box over the program.

using namespace std::chrono_literals;

// What the box tests send: each signal once, and two 10 ms apart.
struct Signals {
    int first, second;
};
constexpr Signals kSignalsToSend[] = {{SIGTERM, 0}, {SIGINT, 0}, {SIGTERM, SIGINT}};

// A started program, ended with SIGKILL if a test leaves it running.
class Running {
public:
    Running(const char* program, const fs::path& base, const fs::path& home)
        : m_pid(Start(testsupport::BuildDir() / "bin" / program, base, home)) {}
    ~Running() {
        if (m_pid > 0 && !m_ended) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    pid_t pid() const { return m_pid; }
    // Its first window is up and its start has settled.
    bool Shown() {
        for (const auto end = Clock::now() + 30s; m_pid > 0 && Clock::now() < end;) {
            if (HasVisibleWindow(m_pid)) {
                testsupport::PumpEvents(1200);
                return true;
            }
            if (WaitFor(m_pid, 100ms) != -1) {
                m_ended = true;
                return false;
            }
        }
        return false;
    }
    // Sends `sig` (and `second` 10 ms later); the wait status once the
    // program has ended, -1 when it is still running 3 s later.
    int Signal(int sig, int second = 0) {
        if (!SendSignals(m_pid, sig, second)) return -1;
        const int status = WaitFor(m_pid, 3s);
        m_ended = status != -1;
        return status;
    }

private:
    pid_t m_pid;
    bool m_ended = false;
};

wxColour ScreenPixel(const wxPoint& p) {
    const wxImage px = testsupport::GrabScreenArea(wxRect(p, wxSize(1, 1)));
    return px.IsOk() ? wxColour(px.GetRed(0, 0), px.GetGreen(0, 0), px.GetBlue(0, 0)) : wxColour();
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::seconds limit = 15s) {
    for (const auto end = Clock::now() + limit; Clock::now() < end;) {
        if (done()) return true;
        std::this_thread::sleep_for(50ms);
    }
    return done();
}

// Input for another process's windows, through the X server's test
// extension (the toolkit's simulator wants a window of this process).
void ClickScreen(const wxPoint& p) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    XTestFakeMotionEvent(display, -1, p.x, p.y, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(60ms);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
    std::this_thread::sleep_for(100ms);
}

// Clicks at `p` until `done` (a click that came before the window was ready
// to take it is given again), at most five times.
bool ClickUntil(const wxPoint& p, const std::function<bool()>& done) {
    for (int i = 0; i < 5; ++i) {
        ClickScreen(p);
        if (WaitUntil(done, 3s)) return true;
    }
    return false;
}

void TypeLetters(const char* letters) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    for (const char* c = letters; *c; ++c) {
        const char name[2] = {*c, 0};
        const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(name));
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
    }
    XSync(display, False);
    XCloseDisplay(display);
}

bool ScreenIsTheTestScreen() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    const bool ok = DisplayWidth(display, DefaultScreen(display)) == 1600 &&
                    DisplayHeight(display, DefaultScreen(display)) == 1000;
    XCloseDisplay(display);
    return ok;
}

// The middle of a click area of Fittora's status strip along the bottom.
wxPoint StripArea(int index) {
    const shell::BarRect r = shell::TitleBarArea(index);
    return {(r.left + r.right) / 2, 1000 - shell::kTitleBarHeight + (r.top + r.bottom) / 2};
}

bool Holds(const fs::path& file, const std::string& text) {
    const auto bytes = testsupport::ReadAll(file);
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

// Fittora: a size-chart cell typed in the measurement space, then in the
// fitting room "替换或添加同类服装" with nothing picked: the box "特别提示".
TEST(ProgramSignals, FittorasBoxIsAnsweredAndTheTypedChartCellIsSaved) {
    ASSERT_TRUE(ScreenIsTheTestScreen());
    // Places on the test screen: the chart's first row (the current one,
    // drawn cyan), the "国家标准" cell of its second row, a point of the
    // fitting room's background (the 3-D view is black there), button 1000.
    const wxPoint chartFirstRow(300, 536), chartCell(230, 551), roomBackground(800, 130), addReplace(1572, 52);
    for (const Signals sig : kSignalsToSend) {
        SCOPED_TRACE(SignalsText(sig.first, sig.second));
        Place place;
        const fs::path chart = place.base / "人体测量图片及数据" / "服饰尺码记录表.cd3";
        ASSERT_TRUE(testsupport::FixtureExists(chart));
        ASSERT_FALSE(Holds(chart, "xyz"));
        Running fittora("Fittora", place.base, place.home);
        ASSERT_TRUE(fittora.Shown());

        ClickScreen(StripArea(2));  // 个性空间
        ASSERT_TRUE(WaitUntil([&] {
            const wxColour c = ScreenPixel(chartFirstRow);
            return c.Red() < 40 && c.Green() > 180 && c.Blue() > 180;
        })) << "the measurement space did not open";
        ClickScreen(chartCell);
        TypeLetters("xyz");
        ClickScreen(StripArea(1));  // 试衣搭配
        ASSERT_TRUE(WaitUntil([&] {
            const wxColour c = ScreenPixel(roomBackground);
            return c.Red() > 200 && c.Green() > 190 && c.Blue() > 170;
        })) << "the fitting room did not open";
        ASSERT_TRUE(ClickUntil(addReplace, [&] { return ShownWindow(fittora.pid(), "特别提示").has_value(); }))
            << "no message box";
        if (sig.first == SIGTERM && sig.second == 0) SaveScreen("signal-box-Fittora.png");

        const int status = fittora.Signal(sig.first, sig.second);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ExitText(status);
        EXPECT_TRUE(Holds(chart, "xyz")) << "the typed cell was not saved";
        EXPECT_TRUE(fs::is_regular_file(place.home / ".Fittora")) << "the close did not write the profile";
        EXPECT_EQ(HalfDoneSaves(place.where.path()), std::vector<fs::path>{});
    }
}

// Pavanel: "驼色风衣" put on the stage and moved one layer back, then its
// parameters ("加工模式", "试衣图片参数") and "删除图片": the question
// "真要删除当前图片吗?请确认!". The part stays, with its new depth.
TEST(ProgramSignals, PavanelsQuestionIsAnsweredNoAndTheChangedDepthIsSaved) {
    ASSERT_TRUE(ScreenIsTheTestScreen());
    // Places on the test screen: the coat in the gallery, a point of the
    // stage the coat covers once it is there, "↓", "加工模式", the button
    // "创建搭配网页" that becomes "试衣图片参数", and "删除图片" in the
    // parameters dialog (from the dialog's corner).
    const wxPoint galleryCoat(343, 717), coatOnStage(703, 322), layerBack(1576, 468), processing(17, 51),
        parameters(98, 18), deleteInDialog(65, 476);
    const std::string coat = *platform::Utf8ToGbk("驼色风衣");
    auto coatDepth = [&](const fs::path& file, int* parts) {
        const dm3test::File f = dm3test::Read(file);
        *parts = f.ok ? f.n : -1;
        for (const dm3test::Part& p : f.parts)
            if (p.nameGbk == coat) return p.depth;
        return -1;
    };
    for (const Signals sig : kSignalsToSend) {
        SCOPED_TRACE(SignalsText(sig.first, sig.second));
        Place place;
        const fs::path project = place.base / "KZV网页项目文件" / "2010秋冬女装.dm3";
        ASSERT_TRUE(testsupport::FixtureExists(project));
        int partsBefore = 0, partsAfter = 0;
        const int depthBefore = coatDepth(project, &partsBefore);
        ASSERT_GT(depthBefore, 0);
        Running pavanel("Pavanel", place.base, place.home);
        ASSERT_TRUE(pavanel.Shown());

        ASSERT_TRUE(ClickUntil(galleryCoat, [&] { return ScreenPixel(coatOnStage).Blue() < 150; }))
            << "the coat is not on the stage";
        ClickScreen(layerBack);
        ClickScreen(processing);
        ClickScreen(parameters);
        std::optional<wxRect> dialog;
        ASSERT_TRUE(WaitUntil([&] { return (dialog = ShownWindow(pavanel.pid(), "设置项目参数")).has_value(); }))
            << "the parameters dialog did not open";
        ASSERT_TRUE(ClickUntil(dialog->GetTopLeft() + deleteInDialog,
                               [&] { return ShownWindow(pavanel.pid(), "特别提示").has_value(); }))
            << "no question";
        if (sig.first == SIGTERM && sig.second == 0) SaveScreen("signal-box-Pavanel.png");

        const int status = pavanel.Signal(sig.first, sig.second);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ExitText(status);
        EXPECT_EQ(coatDepth(project, &partsAfter), depthBefore + 1) << "the new depth was not saved";
        EXPECT_EQ(partsAfter, partsBefore) << "the question was not answered no";
        EXPECT_TRUE(fs::is_regular_file(place.home / ".Pavanel")) << "the close did not write the profile";
        EXPECT_EQ(HalfDoneSaves(place.where.path()), std::vector<fs::path>{});
    }
}

// Tranzel: a package on its way to a slow server, then "退出": the question
// whether to stop the upload. The upload is stopped and its temporary file
// removed from the server before the program ends.
TEST(ProgramSignals, TranzelsStopQuestionIsAnsweredAndTheUploadLeavesNothingOnTheServer) {
    ASSERT_TRUE(ScreenIsTheTestScreen());
    // Dialog units of the dialog (407 x 223) to a point of the screen.
    auto at = [](const wxRect& dlg, double x, double y) {
        return wxPoint(dlg.x + static_cast<int>(x * dlg.width / 407), dlg.y + static_cast<int>(y * dlg.height / 223));
    };
    for (const Signals sig : kSignalsToSend) {
        SCOPED_TRACE(SignalsText(sig.first, sig.second));
        Place place;
        testsupport::TempDir remote;
        const fs::path site = remote / "web" / "DressDLoad2010";
        fs::create_directories(site);
        testsupport::FtpTestServer server(remote.path(), "shop", "secret", 64 * 1024);
        ASSERT_TRUE(server.running());
        ASSERT_EQ(transfer::WriteFtpSettings(transfer::FtpSettingsPath(place.base),
                                             {server.server(), "shop", "secret", "DressDLoad2010"}),
                  1);
        const fs::path uploads = transfer::UploadFolder(place.base);
        fs::remove_all(uploads);
        place.where.write(fs::relative(uploads / "春装.rar", place.where.path()), testsupport::PatternBytes(3 << 20));
        Running tranzel("Tranzel", place.base, place.home);
        ASSERT_TRUE(tranzel.Shown());
        const std::optional<wxRect> dlg = ShownWindow(tranzel.pid(), "Lumora文件上传下载专用工具");
        ASSERT_TRUE(dlg.has_value());

        auto temporaries = [&] {
            std::vector<std::string> found;
            for (const std::string& name : testsupport::FileNames(site))
                if (name.size() > 5 && name.compare(name.size() - 5, 5, ".part") == 0) found.push_back(name);
            return found;
        };
        bool started = false;
        for (int i = 0; i < 5 && !started; ++i) {
            ClickScreen(at(*dlg, 158 + 39, 194 + 8));             // 显示上传文件列表
            ClickScreen(at(*dlg, 158 + 40, 20) + wxPoint(0, 10));  // the first package
            ClickScreen(at(*dlg, 348 + 26, 194 + 8));             // 上传
            started = WaitUntil([&] { return !temporaries().empty(); }, 5s);
        }
        ASSERT_TRUE(started) << "the upload did not start";
        ASSERT_TRUE(ClickUntil(at(*dlg, 82 + 33, 96 + 8),  // 退出
                               [&] { return ShownWindow(tranzel.pid(), "Tranzel").has_value(); }))
            << "no question";
        if (sig.first == SIGTERM && sig.second == 0) SaveScreen("signal-box-Tranzel.png");

        const int status = tranzel.Signal(sig.first, sig.second);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ExitText(status);
        EXPECT_EQ(testsupport::FileNames(site), std::vector<std::string>{}) << "left on the server";
        EXPECT_EQ(HalfDoneSaves(place.where.path()), std::vector<fs::path>{});
    }
}

void PressReturn() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    const KeyCode code = XKeysymToKeycode(display, XK_Return);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
}

// Tranzel: a package on its way down from a slow server ("网站查询", the
// package, "下载", its name confirmed with Return in the save dialog). No
// box is open; the download is stopped and its temporary file removed
// before the program ends, and nothing stands under the package's name.
TEST(ProgramSignals, TranzelsDownloadIsStoppedAndLeavesNoTemporary) {
    ASSERT_TRUE(ScreenIsTheTestScreen());
    auto at = [](const wxRect& dlg, double x, double y) {
        return wxPoint(dlg.x + static_cast<int>(x * dlg.width / 407), dlg.y + static_cast<int>(y * dlg.height / 223));
    };
    const std::string title = "Lumora文件上传下载专用工具";
    for (const Signals sig : {Signals{SIGTERM, 0}, Signals{SIGTERM, SIGTERM}, Signals{SIGINT, SIGINT}}) {
        SCOPED_TRACE(SignalsText(sig.first, sig.second));
        Place place;
        testsupport::TempDir remote;
        remote.write("web/DressDLoad2010/春装.rar", testsupport::PatternBytes(3 << 20));
        testsupport::FtpTestServer server(remote.path(), "shop", "secret", 64 * 1024);
        ASSERT_TRUE(server.running());
        ASSERT_EQ(transfer::WriteFtpSettings(transfer::FtpSettingsPath(place.base),
                                             {server.server(), "shop", "secret", "DressDLoad2010"}),
                  1);
        Running tranzel("Tranzel", place.base, place.home);
        ASSERT_TRUE(tranzel.Shown());
        const std::optional<wxRect> dlg = ShownWindow(tranzel.pid(), title);
        ASSERT_TRUE(dlg.has_value());

        auto downloading = [&] {
            for (const auto& e : fs::recursive_directory_iterator(place.where.path()))
                if (e.path().filename().string().find("春装.rar.part-") != std::string::npos) return true;
            return false;
        };
        ASSERT_TRUE(ClickUntil(at(*dlg, 7 + 33, 96 + 8), [&] { return server.Count("LIST") > 0; }))  // 网站查询
            << "the site was not listed";
        std::optional<wxRect> chooser;
        for (int i = 0; i < 5 && !chooser; ++i) {
            ClickScreen(at(*dlg, 158 + 40, 20) + wxPoint(0, 10));  // the package
            ClickScreen(at(*dlg, 290 + 26, 194 + 8));             // 下载
            WaitUntil([&] { return (chooser = ShownWindow(tranzel.pid(), title, true)).has_value(); }, 3s);
        }
        ASSERT_TRUE(chooser.has_value()) << "no save dialog";
        const wxPoint inChooser = chooser->GetPosition() + wxPoint(chooser->width / 2, 20);
        for (int i = 0; i < 5 && !downloading() && ShownWindow(tranzel.pid(), title, true); ++i) {
            ClickScreen(inChooser);
            PressReturn();
            WaitUntil(downloading, 3s);
        }
        ASSERT_TRUE(downloading()) << "the download did not start";
        if (sig.first == SIGTERM && sig.second == 0) SaveScreen("signal-download-Tranzel.png");

        const int status = tranzel.Signal(sig.first, sig.second);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ExitText(status);
        EXPECT_EQ(HalfDoneSaves(place.where.path()), std::vector<fs::path>{});
        for (const auto& e : fs::recursive_directory_iterator(place.where.path()))
            EXPECT_NE(e.path().filename().string(), "春装.rar") << "a cut package at " << e.path();
    }
}

}  // namespace
