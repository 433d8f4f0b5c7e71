#pragma once
// Starts tests/support/http_test_server.py with Debian's /usr/bin/python3 on
// a free loopback port, serving the files under `root` (see the script for
// the paths that cut bodies short, stall or answer with an error), and stops
// it when the object goes away.
#include <filesystem>
#include <string>

namespace testsupport {

class HttpTestServer {
public:
    explicit HttpTestServer(const std::filesystem::path& root);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    bool running() const { return m_port > 0; }
    int port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by `path` (which starts with '/').
    std::string url(const std::string& path = "") const;

private:
    int m_pid = -1;
    int m_life = -1;  // the write end of the server's stdin
    int m_port = 0;
};

}  // namespace testsupport
