#include "tests/support/ftp_test_server.h"

#include "tests/support/python_server.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

namespace testsupport {

FtpTestServer::FtpTestServer(const std::filesystem::path& root, const std::string& user, const std::string& password,
                             long bytesPerSecond, Rename rename, Passive passive)
    : m_user(user), m_password(password) {
    const char* renameMode = rename == Rename::Keep ? "keep" : rename == Rename::None ? "none" : "replace";
    // The command log lies outside the served folder, so no listing shows it.
    std::string log = (std::filesystem::temp_directory_path() / "ftp-test-commands-XXXXXX").string();
    const int fd = ::mkstemp(log.data());
    if (fd >= 0) {
        ::close(fd);
        m_log = log;
    }
    const PythonServerProcess server = StartPythonServer(
        FTP_TEST_SERVER_SCRIPT, {root.string(), user, password, std::to_string(bytesPerSecond), renameMode,
                                 passive == Passive::Refused ? "refuse" : "offer", m_log.string()});
    m_pid = server.pid;
    m_life = server.life;
    m_port = server.port;
}

platform::FtpSite FtpTestServer::Site() const {
    platform::FtpSite site;
    site.server = server();
    site.user = m_user;
    site.password = m_password;
    site.connectTimeoutSeconds = 5;
    site.lowSpeedSeconds = 5;
    return site;
}

FtpTestServer::~FtpTestServer() {
    Stop();
    std::error_code ec;
    if (!m_log.empty()) std::filesystem::remove(m_log, ec);
}

std::vector<std::string> FtpTestServer::Commands() const {
    std::vector<std::string> verbs;
    std::ifstream in(m_log);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) verbs.push_back(line);
    return verbs;
}

int FtpTestServer::Count(const std::string& verb) const {
    const auto verbs = Commands();
    return static_cast<int>(std::count(verbs.begin(), verbs.end(), verb));
}

void FtpTestServer::Stop() {
    PythonServerProcess server{m_pid, m_life, m_port};
    StopPythonServer(server, SIGKILL);
    m_pid = -1;
    m_life = -1;
}

}  // namespace testsupport
