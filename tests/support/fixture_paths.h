#pragma once
// Where the tests find what the build made for them: the build folder, its
// demo base directory and screenshot folder, and the source tree. The paths
// come from the build, so a test binary started from any folder finds them; a
// fixture that is not there fails its test.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace testsupport {

std::filesystem::path SourceDir();  // the repository's root
std::filesystem::path BuildDir();   // the build folder (bin/, demo-base/, screens/)
std::filesystem::path DemoBase();   // BuildDir() / "demo-base"
std::filesystem::path ScreensDir(); // BuildDir() / "screens", created on first use
std::string Screen(const std::string& name);  // ScreensDir() / name, as a string

// Succeeds when `p` exists; the failure names the missing fixture.
::testing::AssertionResult FixtureExists(const std::filesystem::path& p);

}  // namespace testsupport
