#pragma once
// Starts tests/support/ftp_test_server.py (Debian's python3-pyftpdlib, run
// with /usr/bin/python3) on a free loopback port, serving `root` as the home
// folder of `user`, and stops it when the object goes away (or earlier, with
// Stop, to drop the connections of a running transfer). The commands it was
// sent can be read back.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ftp.h"

namespace testsupport {

class FtpTestServer {
public:
    // How the server renames: onto an existing name too, only onto a free
    // name (as many Windows servers do), or not at all.
    enum class Rename { Replace, Keep, None };
    // Whether it takes passive data connections (EPSV, PASV) or answers them
    // 502, as servers that allow active mode only do.
    enum class Passive { Offered, Refused };

    FtpTestServer(const std::filesystem::path& root, const std::string& user, const std::string& password,
                  long bytesPerSecond = 0, Rename rename = Rename::Replace, Passive passive = Passive::Offered);
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    bool running() const { return m_port > 0; }
    int port() const { return m_port; }
    std::string server() const { return "127.0.0.1:" + std::to_string(m_port); }
    // The server with the user and password it serves, and short timeouts.
    platform::FtpSite Site() const;
    void Stop();

    // The verbs of the commands the server has been sent so far, in order
    // ("USER", "EPSV", "RETR", ...).
    std::vector<std::string> Commands() const;
    // How many of them are `verb`.
    int Count(const std::string& verb) const;

private:
    std::string m_user, m_password;
    std::filesystem::path m_log;
    int m_pid = -1;
    int m_life = -1;
    int m_port = 0;
};

}  // namespace testsupport
