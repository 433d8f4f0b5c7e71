#include "tests/support/fixture_paths.h"

namespace fs = std::filesystem;

namespace testsupport {

fs::path SourceDir() { return fs::path(SUITE_TEST_SOURCE_DIR); }
fs::path BuildDir() { return fs::path(SUITE_TEST_BUILD_DIR); }
fs::path DemoBase() { return BuildDir() / "demo-base"; }

fs::path ScreensDir() {
    fs::path dir = BuildDir() / "screens";
    std::error_code ec;
    fs::create_directories(dir, ec);
    return dir;
}

std::string Screen(const std::string& name) { return (ScreensDir() / name).string(); }

::testing::AssertionResult FixtureExists(const fs::path& p) {
    if (fs::exists(p)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "missing fixture " << p.string()
                                         << " (the build makes it; build the whole tree first)";
}

}  // namespace testsupport
