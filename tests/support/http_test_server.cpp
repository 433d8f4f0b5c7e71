#include "tests/support/http_test_server.h"

#include "tests/support/python_server.h"

#include <signal.h>

namespace testsupport {

HttpTestServer::HttpTestServer(const std::filesystem::path& root) {
    const PythonServerProcess server = StartPythonServer(HTTP_TEST_SERVER_SCRIPT, {root.string()});
    m_pid = server.pid;
    m_life = server.life;
    m_port = server.port;
}

HttpTestServer::~HttpTestServer() {
    PythonServerProcess server{m_pid, m_life, m_port};
    StopPythonServer(server, SIGTERM);
    m_pid = -1;
    m_life = -1;
}

std::string HttpTestServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

}  // namespace testsupport
