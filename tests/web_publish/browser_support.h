#pragma once
// Runs tests/web_publish/browser_check.py: a published page opened in
// headless Chromium through chromedriver, its console errors and pictures
// checked, one element clicked, the colours at points of the stage read
// before and after, and a screenshot saved.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct BrowserReport {
    bool driven = false;
    std::string failure;
    std::string title;
    std::vector<std::string> errors;
    std::vector<std::string> broken;
    std::array<int, 2> stage{};
    std::vector<std::array<int, 3>> before, after;
    std::vector<int> worn;
};

// Whether chromium and chromedriver are installed.
bool BrowserAvailable();

BrowserReport CheckPageInBrowser(const std::string& url, const std::filesystem::path& screenshot,
                                 const std::string& clickSelector = {},
                                 const std::vector<std::array<int, 2>>& stagePoints = {});

// Runs `node --check` on a script; "" when it passes, else node's complaint.
std::string NodeCheck(const std::filesystem::path& script);
// Runs a script in node and returns what it prints.
std::string NodeRun(const std::string& program);

}  // namespace testsupport
