#include "tests/support/ftp_test_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

extern char** environ;

namespace testsupport {

FtpTestServer::FtpTestServer(const std::filesystem::path& root, const std::string& user, const std::string& password,
                             long bytesPerSecond) {
    int fds[2], life[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    if (::pipe2(life, O_CLOEXEC) != 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return;
    }
    m_life = life[1];
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, life[0], STDIN_FILENO);
    const std::string script = FTP_TEST_SERVER_SCRIPT;
    const std::string rootText = root.string();
    const std::string rate = std::to_string(bytesPerSecond);
    std::vector<char*> argv = {const_cast<char*>("/usr/bin/python3"), const_cast<char*>(script.c_str()),
                               const_cast<char*>(rootText.c_str()), const_cast<char*>(user.c_str()),
                               const_cast<char*>(password.c_str()), const_cast<char*>(rate.c_str()), nullptr};
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    ::close(life[0]);
    if (rc != 0) {
        ::close(fds[0]);
        return;
    }
    m_pid = pid;
    std::string line;
    pollfd p{fds[0], POLLIN, 0};
    while (line.find('\n') == std::string::npos && ::poll(&p, 1, 10000) > 0) {
        char buf[64];
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        line.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    m_port = std::atoi(line.c_str());
}

void FtpTestServer::Stop() {
    if (m_life >= 0) ::close(m_life);
    m_life = -1;
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGKILL);
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
}

}  // namespace testsupport
