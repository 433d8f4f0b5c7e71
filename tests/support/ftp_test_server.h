#pragma once
// Starts tests/support/ftp_test_server.py (Debian's python3-pyftpdlib, run
// with /usr/bin/python3) on a free loopback port, serving `root` as the home
// folder of `user`, and stops it when the object goes away (or earlier, with
// Stop, to drop the connections of a running transfer).
#include <filesystem>
#include <string>

#include "platform/ftp.h"

namespace testsupport {

class FtpTestServer {
public:
    // How the server renames: onto an existing name too, only onto a free
    // name (as many Windows servers do), or not at all.
    enum class Rename { Replace, Keep, None };

    FtpTestServer(const std::filesystem::path& root, const std::string& user, const std::string& password,
                  long bytesPerSecond = 0, Rename rename = Rename::Replace);
    ~FtpTestServer() { Stop(); }
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    bool running() const { return m_port > 0; }
    int port() const { return m_port; }
    std::string server() const { return "127.0.0.1:" + std::to_string(m_port); }
    // The server with the user and password it serves, and short timeouts.
    platform::FtpSite Site() const;
    void Stop();

private:
    std::string m_user, m_password;
    int m_pid = -1;
    int m_life = -1;
    int m_port = 0;
};

}  // namespace testsupport
