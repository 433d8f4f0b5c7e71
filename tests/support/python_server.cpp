#include "tests/support/python_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace testsupport {

PythonServerProcess StartPythonServer(const std::string& script, const std::vector<std::string>& args) {
    PythonServerProcess server;
    int fds[2], life[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return server;
    if (::pipe2(life, O_CLOEXEC) != 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return server;
    }
    server.life = life[1];
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, life[0], STDIN_FILENO);
    std::vector<char*> argv = {const_cast<char*>("/usr/bin/python3"), const_cast<char*>(script.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    ::close(life[0]);
    if (rc != 0) {
        ::close(fds[0]);
        return server;
    }
    server.pid = pid;
    // The first line is the port; give the interpreter ten seconds.
    std::string line;
    pollfd p{fds[0], POLLIN, 0};
    while (line.find('\n') == std::string::npos && ::poll(&p, 1, 10000) > 0) {
        char buf[64];
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        line.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    server.port = std::atoi(line.c_str());
    return server;
}

void StopPythonServer(PythonServerProcess& server, int signal) {
    if (server.life >= 0) ::close(server.life);
    server.life = -1;
    if (server.pid <= 0) return;
    ::kill(server.pid, signal);
    int status = 0;
    while (::waitpid(server.pid, &status, 0) < 0 && errno == EINTR) {
    }
    server.pid = -1;
}

}  // namespace testsupport
