#include "tests/support/ftp_test_server.h"

#include "tests/support/python_server.h"

#include <signal.h>

namespace testsupport {

FtpTestServer::FtpTestServer(const std::filesystem::path& root, const std::string& user, const std::string& password,
                             long bytesPerSecond, Rename rename)
    : m_user(user), m_password(password) {
    const char* renameMode = rename == Rename::Keep ? "keep" : rename == Rename::None ? "none" : "replace";
    const PythonServerProcess server = StartPythonServer(
        FTP_TEST_SERVER_SCRIPT, {root.string(), user, password, std::to_string(bytesPerSecond), renameMode});
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

void FtpTestServer::Stop() {
    PythonServerProcess server{m_pid, m_life, m_port};
    StopPythonServer(server, SIGKILL);
    m_pid = -1;
    m_life = -1;
}

}  // namespace testsupport
