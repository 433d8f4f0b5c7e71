#include "platform/error_text.h"
#include "platform/shell.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

using namespace platform;
namespace fs = std::filesystem;
using testsupport::TempDir;

namespace {

const fs::path kModuleDir = TEST_MODULE_DIR;

bool Loaded(const fs::path& module) {
    void* h = ::dlopen(module.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (h) ::dlclose(h);
    return h != nullptr;
}

std::string ReadText(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Waits for a file that a started program writes (by renaming it into place).
std::string WaitForFile(const fs::path& p) {
    for (int i = 0; i < 500 && !fs::exists(p); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return ReadText(p);
}

// Our child processes still present (running or zombie), from /proc.
int ChildCount() {
    int n = 0;
    for (const auto& e : fs::directory_iterator("/proc")) {
        std::ifstream stat(e.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 2));
        char state = 0;
        long ppid = 0;
        rest >> state >> ppid;
        if (ppid == ::getpid()) ++n;
    }
    return n;
}

bool AllChildrenReaped() {
    for (int i = 0; i < 250; ++i) {
        if (ChildCount() == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void WriteScript(const fs::path& p, const std::string& body) {
    std::ofstream(p) << "#!/bin/sh\n" << body;
    ::chmod(p.c_str(), 0755);
}

}  // namespace

TEST(Shell, ModuleBindingOutcomes) {
    TempDir tmp;
    const fs::path log = tmp / "entry.log";
    ::setenv("MOD_ENTRY_LOG", log.c_str(), 1);
    // The working directory holds the modules too; a relative folder must not reach them.
    testsupport::ScopedCwd cwd(kModuleDir.parent_path());

    struct Case {
        fs::path dir;
        const char* file;
        BindOutcome outcome;
        const char* log;
    } cases[] = {
        {kModuleDir, "mod_missing.so", BindOutcome::MissingModule, ""},
        {kModuleDir, "mod_without_entry.so", BindOutcome::MissingExport, ""},
        {kModuleDir, "mod_with_entry.so", BindOutcome::Ran, "TestEntry\n"},
        {kModuleDir.filename(), "mod_with_entry.so", BindOutcome::MissingModule, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        fs::remove(log);
        std::string error;
        EXPECT_EQ(CallModuleEntry(c.dir, c.file, "TestEntry", &error), c.outcome);
        EXPECT_EQ(ReadText(log), c.log);
        EXPECT_EQ(error.empty(), c.outcome == BindOutcome::Ran) << error;
        EXPECT_FALSE(Loaded(kModuleDir / c.file)) << "module still loaded";
    }
    ::unsetenv("MOD_ENTRY_LOG");
}

TEST(Shell, SiblingProgramStartsDetachedInTheSameWorkingDirectory) {
    TempDir bin, work;
    WriteScript(bin / "Sibling",
                "{ echo \"$#\"; pwd; echo \"$$\"; cut -d' ' -f6 /proc/$$/stat; } > report.tmp\n"
                "mv report.tmp report.txt\n");
    testsupport::ScopedCwd cwd(work.path());
    std::string error;
    ASSERT_TRUE(StartSiblingProgram("Sibling", &error, bin.path())) << error;

    std::istringstream report(WaitForFile(work / "report.txt"));
    std::string args, dir, pid, session;
    report >> args >> dir >> pid >> session;
    EXPECT_EQ(args, "0");
    EXPECT_EQ(fs::path(dir), fs::canonical(work.path()));
    EXPECT_EQ(session, pid) << "not the leader of a session of its own";
    EXPECT_TRUE(AllChildrenReaped());
}

TEST(Shell, SiblingProgramThatCannotStartGivesAReason) {
    TempDir bin;
    bin.write("NotExecutable", "#!/bin/sh\n");
    fs::create_directories(bin / "Folder");
    for (const char* name : {"Missing", "NotExecutable", "Folder", "../Missing", ""}) {
        std::string error;
        EXPECT_FALSE(StartSiblingProgram(name, &error, bin.path())) << name;
        EXPECT_NE(error.find(name), std::string::npos) << error;
    }
    std::string error;
    EXPECT_TRUE(fs::exists(ExecutableDir() / "platform_tests"));
    EXPECT_FALSE(StartSiblingProgram("no-such-sibling", &error));
    EXPECT_EQ(error, "找不到程序 " + UserPath(ExecutableDir() / "no-such-sibling"));
}

TEST(Shell, DesktopOpensOnlyLinksAndExistingFiles) {
    TempDir tmp, work;
    const fs::path report = tmp / "opened.txt";
    const fs::path opener = tmp / "opener";
    WriteScript(opener, "{ echo \"$#\"; printf '%s' \"$1\"; } > '" + report.string() + ".tmp'\nmv '" +
                            report.string() + ".tmp' '" + report.string() + "'\n");
    work.write("说明.doc", "doc");
    work.write("-n", "an option-like name");
    fs::create_directories(work / "folder");
    testsupport::ScopedCwd cwd(work.path());
    const std::string abs = fs::current_path().string();

    struct Case {
        std::string target;
        bool opens;
        std::string argument;
    } cases[] = {
        {"https://example.com/a b?x=1&y=$(id)", true, "https://example.com/a b?x=1&y=$(id)"},
        {"HTTP://example.com/", true, "HTTP://example.com/"},
        {"说明.doc", true, abs + "/说明.doc"},
        {"-n", true, abs + "/-n"},
        {abs + "/说明.doc", true, abs + "/说明.doc"},
        {"ftp://example.com/x", false, ""},
        {"javascript:alert(1)", false, ""},
        {"file:///etc/passwd", false, ""},
        {"http://", false, ""},
        {"https://example.com/\nrm -rf", false, ""},
        {"missing.doc", false, ""},
        {"folder", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        fs::remove(report);
        std::string error;
        EXPECT_EQ(OpenWithDesktop(c.target, &error, opener.string()), c.opens) << error;
        if (c.opens)
            EXPECT_EQ(WaitForFile(report), "1\n" + c.argument);
        else
            EXPECT_FALSE(error.empty());
    }
    EXPECT_TRUE(AllChildrenReaped());

    std::string error;
    EXPECT_FALSE(OpenWithDesktop("https://example.com/", &error, "no-such-opener-program"));
    EXPECT_NE(error.find("no-such-opener-program"), std::string::npos) << error;
}

TEST(Shell, AnOpenerThatFailsToOpenIsReportedAndOneThatKeepsRunningCountsAsStarted) {
    TempDir tmp;
    struct Case {
        const char* name;
        std::string body;
        bool opens;
        const char* reason;  // part of the reason when it does not open
    } cases[] = {
        {"opens", "exit 0\n", true, ""},
        {"no-application", "exit 3\n", false, "运行失败 (退出码 3)"},
        {"killed", "kill -9 $$\n", false, "异常结束 (信号 9)"},
        // What an opener starts (a browser it stays with) is not waited for.
        {"browser", "sleep 2\n", true, ""},
        {"late-failure", "sleep 2; exit 4\n", true, ""},
    };
    const auto wait = std::chrono::milliseconds(300);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path opener = tmp / c.name;
        WriteScript(opener, c.body);
        std::string error;
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_EQ(OpenWithDesktop("https://example.com/", &error, opener.string(), wait), c.opens) << error;
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1500));  // never the 2 s
        if (!c.opens) {
            EXPECT_NE(error.find(c.name), std::string::npos) << error;
            EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        }
    }
}
