// Modules, sibling programs and the desktop opener.
//
// Programs are started with posix_spawn in a session of their own, so they
// survive us and our terminal. Each one is waited for by a small detached
// thread that calls waitpid on that one process id, so it never lingers as a
// zombie and no other child of the host is reaped by mistake.
#include "platform/shell.h"

#include "platform/error_text.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <system_error>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

namespace platform {
namespace {

void SetError(std::string* error, std::string text) {
    if (error) *error = std::move(text);
}

std::string LoaderError() {
    const char* e = dlerror();
    return e ? e : "unknown loader error";
}

bool HasControlChars(std::string_view s) {
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return true;
    }
    return false;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

void ReapLater(pid_t pid) {
    try {
        std::thread([pid] {
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the child is reaped when this process ends.
    }
}

}  // namespace

fs::path ExecutableDir() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path();
}

BindOutcome CallModuleEntry(const fs::path& dir, const std::string& file, const std::string& export_name,
                            std::string* error) {
    if (!dir.is_absolute() || file.empty() || file.find('/') != std::string::npos) {
        SetError(error, "module path is not a full path: " + (dir / file).string());
        return BindOutcome::MissingModule;
    }
    const fs::path path = dir / file;
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        SetError(error, LoaderError());
        return BindOutcome::MissingModule;
    }
    dlerror();
    if (void* startup = ::dlsym(handle, kModuleStartupExport)) {
        using Startup = int (*)();
        if (reinterpret_cast<Startup>(startup)() == 0) {
            SetError(error, "module start-up failed: " + path.string());
            ::dlclose(handle);
            return BindOutcome::MissingModule;
        }
    }
    dlerror();
    void* symbol = ::dlsym(handle, export_name.c_str());
    if (!symbol) {
        SetError(error, LoaderError());
        ::dlclose(handle);
        return BindOutcome::MissingExport;
    }
    using Entry = void (*)();
    reinterpret_cast<Entry>(symbol)();
    ::dlclose(handle);
    return BindOutcome::Ran;
}

namespace {

// Starts the program as StartDetached describes; -1 with a reason when it
// cannot be started. The caller waits for the child or leaves it to ReapLater.
pid_t Spawn(const fs::path& program, const std::vector<std::string>& args, std::string* error) {
    const std::string prog = program.string();
    if (prog.empty()) {
        SetError(error, "没有给出程序");
        return -1;
    }
    if (prog.find('/') != std::string::npos) {
        struct stat st {};
        if (::stat(prog.c_str(), &st) != 0) {
            SetError(error, "找不到程序 " + UserPath(program));
            return -1;
        }
        if (!S_ISREG(st.st_mode) || ::access(prog.c_str(), X_OK) != 0) {
            SetError(error, UserPath(program) + " 不是可以运行的程序");
            return -1;
        }
    }

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(prog.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

    // A fresh session, no blocked signals and default handling of the
    // signals a host commonly ignores or catches.
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int sig : {SIGPIPE, SIGCHLD, SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2})
        sigaddset(&defaults, sig);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, prog.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        SetError(error, "无法启动 " + UserPath(program) + ": " + ErrorReason(rc, FileAccess::Read));
        return -1;
    }
    return pid;
}

}  // namespace

bool StartDetached(const fs::path& program, const std::vector<std::string>& args, std::string* error) {
    const pid_t pid = Spawn(program, args, error);
    if (pid < 0) return false;
    ReapLater(pid);
    return true;
}

bool StartAndCheck(const fs::path& program, const std::vector<std::string>& args, std::chrono::milliseconds wait,
                   std::string* error) {
    const pid_t pid = Spawn(program, args, error);
    if (pid < 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
            const std::string name = program.filename().string();
            if (WIFEXITED(status))
                SetError(error, name + " 运行失败 (退出码 " + std::to_string(WEXITSTATUS(status)) + ")");
            else
                SetError(error, name + " 异常结束 (信号 " + std::to_string(WTERMSIG(status)) + ")");
            return false;
        }
        if (done < 0 && errno != EINTR) return true;  // reaped elsewhere: nothing more to learn
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
    ReapLater(pid);  // still running: it started, and what it runs is not ours to wait for
    return true;
}

bool StartSiblingProgram(const std::string& name, std::string* error, const fs::path& dir) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
        SetError(error, "不是一个程序名: " + name);
        return false;
    }
    const fs::path folder = dir.empty() ? ExecutableDir() : dir;
    if (!folder.is_absolute()) {
        SetError(error, "不知道程序所在的文件夹: " + folder.string());
        return false;
    }
    return StartDetached(folder / name, {}, error);
}

bool OpenWithDesktop(const std::string& target, std::string* error, const std::string& opener,
                     std::chrono::milliseconds wait) {
    if (target.empty() || HasControlChars(target)) {
        SetError(error, "不是网页或文档: \"" + target + "\"");
        return false;
    }
    std::string argument;
    if (StartsWithNoCase(target, "http://") || StartsWithNoCase(target, "https://")) {
        if (target.size() == target.find("//") + 2) {
            SetError(error, "链接没有主机名: " + target);
            return false;
        }
        argument = target;
    } else {
        std::error_code ec;
        const fs::path file = fs::absolute(target, ec);
        if (ec || !fs::is_regular_file(file, ec)) {
            SetError(error, "找不到网页或文档 " + UserPath(target));
            return false;
        }
        argument = file.string();  // absolute, so it can never pass for an option
    }
    return StartAndCheck(opener, {argument}, wait, error);
}

}  // namespace platform
