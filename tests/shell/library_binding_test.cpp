#include "shell/library_binding.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/support/temp_dir.h"

namespace {

struct BindCase {
    const char* folder;
    int result;
    const char* message;  // nullptr: none
    platform::MbIcon icon;
    bool ran;
};

TEST(LibraryBinding, OutcomesAreKeptApart) {
    const BindCase cases[] = {
        {"no-such-folder", -2, " Dolvane.so not found ! ", platform::MbIcon::None, false},
        {"shell-without", -1, " 在线下载程序运行错 ! ", platform::MbIcon::Exclamation, false},
        {"shell-with", 9, nullptr, platform::MbIcon::None, true},
        // The network could not start: the module does not load, its entry never runs.
        {"shell-netfail", -2, " Dolvane.so not found ! ", platform::MbIcon::None, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        testsupport::TempDir tmp;
        const auto mark = tmp / "mark";
        setenv("SHELL_TEST_MARK", mark.c_str(), 1);
        std::vector<platform::MessageRequest> shown;
        const int r = shell::RunDownloadLibrary(std::filesystem::path(SHELL_TEST_MODULES) / c.folder,
                                                [&](const platform::MessageRequest& m) {
                                                    shown.push_back(m);
                                                    return platform::MbResult::Ok;
                                                });
        EXPECT_EQ(r, c.result);
        if (c.message) {
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].text, c.message);
            EXPECT_EQ(shown[0].icon, c.icon);
        } else {
            EXPECT_TRUE(shown.empty());
        }
        EXPECT_EQ(std::filesystem::exists(mark), c.ran);
    }
}

TEST(LibraryBinding, EachModuleHasItsOwnTexts) {
    std::vector<std::string> texts;
    auto sink = [&](const platform::MessageRequest& m) {
        texts.push_back(m.text);
        return platform::MbResult::Ok;
    };
    EXPECT_EQ(shell::BindClientModule(shell::ClientModule::Camera, "/nonexistent", sink), -2);
    EXPECT_EQ(shell::BindClientModule(shell::ClientModule::ImageEditor, "/nonexistent", sink), -2);
    EXPECT_EQ(texts, (std::vector<std::string>{"Lensory.so 不存在 !", "Pictova.so 不存在 !"}));
    EXPECT_STREQ(shell::ModuleInfo(shell::ClientModule::Camera).export_name, "Lensory");
    EXPECT_STREQ(shell::ModuleInfo(shell::ClientModule::ImageEditor).export_name, "CPictova");
}

// Whether a library whose file name holds `name` is mapped into this process.
bool Mapped(const std::string& name) {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find(name) != std::string::npos) return true;
    return false;
}

TEST(LibraryBinding, TheHttpLibraryOutlivesTheModuleThatBroughtIt) {
    // A name lookup that libcurl abandoned goes on on a thread of its own;
    // unmapping the library under it would crash the client later on.
    ASSERT_FALSE(Mapped("libcurl")) << "the test program must not link libcurl itself, or this test shows nothing";
    const int r = shell::RunDownloadLibrary(std::filesystem::path(SHELL_TEST_MODULES) / "shell-net",
                                            [](const platform::MessageRequest&) { return platform::MbResult::Ok; });
    ASSERT_EQ(r, 9);
    EXPECT_FALSE(Mapped("shell-net/Dolvane.so"));  // the module itself is gone
    EXPECT_TRUE(Mapped("libcurl"));
}

}  // namespace
