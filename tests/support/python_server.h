#pragma once
// A loopback test server run as "/usr/bin/python3 <script> <args>...": it
// prints its port on its first line and reads its stdin until it closes, so it
// goes with this process even when a test dies without its destructors.
#include <string>
#include <vector>

namespace testsupport {

struct PythonServerProcess {
    int pid = -1;
    int life = -1;  // the write end of the server's stdin
    int port = 0;   // 0 when the server did not start
};

PythonServerProcess StartPythonServer(const std::string& script, const std::vector<std::string>& args);

// Closes the server's stdin, sends `signal` and waits for it.
void StopPythonServer(PythonServerProcess& server, int signal);

}  // namespace testsupport
