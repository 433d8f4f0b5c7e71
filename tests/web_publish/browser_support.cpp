#include "tests/web_publish/browser_support.h"

#include <cstdio>
#include <sstream>

namespace testsupport {

namespace {

std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string Run(const std::string& command, int* status = nullptr) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        const int rc = pclose(p);
        if (status) *status = rc;
    } else if (status) {
        *status = -1;
    }
    return out;
}

}  // namespace

bool BrowserAvailable() {
    int rc = 0;
    Run("command -v chromium >/dev/null && command -v chromedriver >/dev/null", &rc);
    return rc == 0;
}

BrowserReport CheckPageInBrowser(const std::string& url, const std::filesystem::path& screenshot,
                                 const std::string& clickSelector, const std::vector<std::array<int, 2>>& points) {
    std::string command = "/usr/bin/python3 " + Quote(BROWSER_CHECK_SCRIPT) + " " + Quote(url) + " " +
                          Quote(screenshot.string()) + " " + Quote(clickSelector);
    for (const auto& p : points) command += " " + std::to_string(p[0]) + "," + std::to_string(p[1]);
    int rc = 0;
    const std::string out = Run(command + " 2>&1", &rc);
    BrowserReport r;
    r.driven = rc == 0;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        std::string key;
        in >> key;
        std::string rest;
        std::getline(in >> std::ws, rest);
        if (key == "error") r.errors.push_back(rest);
        else if (key == "broken") r.broken.push_back(rest);
        else if (key == "title") r.title = rest;
        else if (key == "failure") r.failure = rest;
        else if (key == "stage") std::istringstream(rest) >> r.stage[0] >> r.stage[1];
        else if (key == "worn") r.worn.push_back(std::atoi(rest.c_str()));
        else if (key == "before" || key == "after") {
            int i;
            std::array<int, 3> c{};
            std::istringstream(rest) >> i >> c[0] >> c[1] >> c[2];
            (key == "before" ? r.before : r.after).push_back(c);
        } else if (!r.driven) {
            r.failure += line + "\n";
        }
    }
    return r;
}

std::string NodeCheck(const std::filesystem::path& script) {
    int rc = 0;
    const std::string out = Run("node --check " + Quote(script.string()) + " 2>&1", &rc);
    return rc == 0 ? std::string() : (out.empty() ? "node failed" : out);
}

std::string NodeRun(const std::string& program) { return Run("node -e " + Quote(program) + " 2>&1"); }

}  // namespace testsupport
