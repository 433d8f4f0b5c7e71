#include "platform/files.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

using namespace platform;
namespace fs = std::filesystem;
using testsupport::TempDir;

namespace {

std::vector<std::string> Names(const std::vector<fs::path>& paths) {
    std::vector<std::string> out;
    for (const fs::path& p : paths) out.push_back(p.filename().string());
    return out;
}

std::vector<std::uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

// The ordinary user the saves run as when the tests run as root.
constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

// Runs `body` as an ordinary user with `dir` as its working directory: in a
// child process that gives up root for kNobody when the tests run as root
// (`dir` is handed to it), in this process as its own user otherwise.
// `body` returns what went wrong, empty when nothing did.
std::string AsOrdinaryUser(const fs::path& dir, const std::function<std::string()>& body) {
    if (::geteuid() != 0) {
        testsupport::ScopedCwd cwd(dir);
        return body();
    }
    if (::chown(dir.c_str(), kNobody, kNoGroup) != 0) return "cannot hand the folder over";
    // The child enters the folder through a descriptor, so the folders above
    // it need not be open to that user.
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int out[2];
    if (dirFd < 0 || ::pipe(out) != 0) return "cannot prepare the child";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        std::string what;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0 || ::geteuid() == 0)
            what = "cannot give up root";
        else if (::fchdir(dirFd) != 0)
            what = "cannot enter the folder";
        else
            try {
                what = body();
            } catch (const std::exception& e) {
                what = e.what();
            }
        const ssize_t written = ::write(out[1], what.data(), what.size());
        ::_exit(written == static_cast<ssize_t>(what.size()) ? 0 : 1);
    }
    ::close(out[1]);
    ::close(dirFd);
    std::string what;
    char buf[512];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        what.append(buf, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        what += " (the child did not end well)";
    return what;
}

mode_t ModeOf(const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace

TEST(Files, ListingsMatchWildcardsAndAreSortedByName) {
    TempDir dir;
    for (const char* name : {"b.dm3", "a.DM3", "c.dm3x", "x.dm3.bak", "产品_红.png", "产品_蓝.PNG", "产品.png",
                             "其它_产品_1.png", "readme", ".hidden.png", "a.b.dm3", "ab.jpg", "abc.jpg"})
        dir.write(name, "x");
    fs::create_directories(dir / "folder.png");
    fs::create_directories(dir / "子目录");
    fs::create_directories(dir / ".git");
    ASSERT_EQ(::symlink((dir / "b.dm3").c_str(), (dir / "link.dm3").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "nowhere").c_str(), (dir / "dangling.dm3").c_str()), 0);

    using V = std::vector<std::string>;
    struct Case {
        const char* pattern;
        V names;
    } cases[] = {
        {"*.dm3", V{"a.DM3", "a.b.dm3", "b.dm3", "link.dm3"}},
        {"产品_*.png", V{"产品_红.png", "产品_蓝.PNG"}},
        {"*.PNG", V{"产品.png", "产品_红.png", "产品_蓝.PNG", "其它_产品_1.png"}},
        {"*.*", V{"a.DM3", "a.b.dm3", "ab.jpg", "abc.jpg", "b.dm3", "c.dm3x", "link.dm3", "readme", "x.dm3.bak",
                  "产品.png", "产品_红.png", "产品_蓝.PNG", "其它_产品_1.png"}},
        {"a?.jpg", V{"ab.jpg"}},
        {"产品_?.png", V{"产品_红.png", "产品_蓝.PNG"}},  // '?' is one character, not one byte
        {"A.dm3", V{}},                                  // names keep their case
        {"readme.*", V{"readme"}},
        {"*.bmp", V{}},
    };
    for (const Case& c : cases) EXPECT_EQ(Names(ListFiles(dir.path(), c.pattern)), c.names) << c.pattern;

    EXPECT_EQ(ListFiles(dir.path(), "*.dm3").front(), dir / "a.DM3");
    EXPECT_TRUE(ListFiles(dir / "missing", "*.*").empty());
    EXPECT_EQ(Names(ListFolders(dir.path())), (V{"folder.png", "子目录"}));
}

TEST(Files, SaveReplacesTheFileWhole) {
    TempDir dir;
    const fs::path p = JoinPath(dir.path(), {"数据", "size.dat"});
    fs::create_directories(p.parent_path());
    std::string error;
    ASSERT_TRUE(SaveFileAtomic(p, Bytes("first version"), &error)) << error;
    ::chmod(p.c_str(), 0640);
    ASSERT_TRUE(SaveFileAtomic(p, Bytes("second"), &error)) << error;
    EXPECT_EQ(ReadWholeFile(p), Bytes("second"));
    EXPECT_EQ(ReadWholeFile(p, 3), Bytes("sec"));
    struct stat st {};
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // No temporary is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(p.parent_path()), fs::directory_iterator()), 1);
}

TEST(Files, FailedSaveLeavesTheOldFileAndSaysWhy) {
    TempDir dir;
    const fs::path p = dir / "record.dat";
    dir.write("record.dat", "old");
    std::string error;
    {
        // Writes beyond 8 bytes fail (EFBIG) for as long as the limit holds.
        rlimit old_limit{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
        const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old_limit;
        small.rlim_cur = 8;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool saved = SaveFileAtomic(p, Bytes("a record longer than the limit"), &error);
        ::setrlimit(RLIMIT_FSIZE, &old_limit);
        std::signal(SIGXFSZ, old_handler);
        EXPECT_FALSE(saved);
    }
    EXPECT_NE(error.find("record.dat"), std::string::npos) << error;
    EXPECT_NE(error.find(": 文件太大"), std::string::npos) << error;
    EXPECT_EQ(ReadWholeFile(p), Bytes("old"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);  // no temporary left

    error.clear();
    EXPECT_FALSE(SaveFileAtomic(dir / "missing" / "x.dat", Bytes("new"), &error));
    EXPECT_NE(error.find("x.dat: 文件不存在"), std::string::npos) << error;
}

// As the user who owns them: a file made read-only, and a folder where the
// file should be, are refused and stay as they were; a writable file is
// replaced and keeps its permissions. Relative names, as a program started in
// its base directory uses them.
TEST(Files, SaveRefusesWhatThisUserMayNotWriteAndKeepsTheMode) {
    TempDir dir;
    const fs::path folder = dir / "数据";
    fs::create_directories(folder);
    const std::string failures = AsOrdinaryUser(folder, [] {
        std::string wrong;
        auto check = [&wrong](bool ok, const std::string& what) {
            if (!ok) wrong += what + "; ";
        };
        std::string error;
        check(SaveFileAtomic("只读.by3", Bytes("the user's own")), "the first save failed");
        check(::chmod("只读.by3", 0444) == 0, "chmod failed");
        check(!SaveFileAtomic("只读.by3", Bytes("written over"), &error), "a read-only file was replaced");
        check(error == "无法写入 只读.by3: 没有写入权限", "the error does not say why in words: " + error);
        check(ReadWholeFile("只读.by3") == Bytes("the user's own"), "the read-only file changed");
        check(ModeOf("只读.by3") == 0444, "the read-only file's mode changed");

        check(SaveFileAtomic("open.cd3", Bytes("first")), "the writable file was not made");
        check(::chmod("open.cd3", 0640) == 0, "chmod failed");
        check(SaveFileAtomic("open.cd3", Bytes("second"), &error), "the writable file was not saved: " + error);
        check(ReadWholeFile("open.cd3") == Bytes("second"), "the writable file holds the old bytes");
        check(ModeOf("open.cd3") == 0640, "the writable file lost its mode");

        check(::mkdir("服饰尺码记录表.cd3", 0755) == 0, "mkdir failed");
        error.clear();
        check(!SaveFileAtomic("服饰尺码记录表.cd3", Bytes("chart"), &error), "a folder was replaced");
        check(error == "无法写入 服饰尺码记录表.cd3: 是一个文件夹", "the error does not say why in words: " + error);
        check(fs::is_directory("服饰尺码记录表.cd3") && fs::is_empty("服饰尺码记录表.cd3"), "the folder changed");

        // Nothing else was left in the folder: no temporaries.
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(".")) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        check(names == std::vector<std::string>{"open.cd3", "只读.by3", "服饰尺码记录表.cd3"}, "other files were left");
        return wrong;
    });
    EXPECT_EQ(failures, "");

    // Whoever saves it next (root in the tests' usual run), the file keeps
    // its owner, group and mode.
    struct stat before {}, after {};
    ASSERT_EQ(::stat((folder / "open.cd3").c_str(), &before), 0);
    ASSERT_TRUE(SaveFileAtomic(folder / "open.cd3", Bytes("third")));
    ASSERT_EQ(::stat((folder / "open.cd3").c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    if (::geteuid() == 0) {
        EXPECT_EQ(after.st_uid, kNobody);
    }
}

TEST(Files, ReadWholeFileRefusesWhatIsNotAFile) {
    TempDir dir;
    EXPECT_EQ(ReadWholeFile(dir / "missing"), std::nullopt);
    EXPECT_EQ(ReadWholeFile(dir.path()), std::nullopt);
    dir.write("empty", "");
    EXPECT_EQ(ReadWholeFile(dir / "empty"), std::vector<std::uint8_t>{});
    EXPECT_TRUE(FileExists(dir / "empty"));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir / "missing"));
}

TEST(Files, StoredPathsAreNormalised) {
    struct Case {
        const char* stored;
        const char* path;
        bool foreign;
    } cases[] = {
        {"服饰\\产品\\a.png", "服饰/产品/a.png", false},
        {"C:\\试衣\\照片.jpg", "C:/试衣/照片.jpg", true},
        {"d:/data", "d:/data", true},
        {"\\\\server\\share\\a.png", "//server/share/a.png", true},
        {"/home/user/a.png", "/home/user/a.png", false},
        {"", "", false},
    };
    for (const Case& c : cases) {
        bool foreign = !c.foreign;
        EXPECT_EQ(NormaliseStoredPath(c.stored, &foreign), fs::path(c.path)) << c.stored;
        EXPECT_EQ(foreign, c.foreign) << c.stored;
    }
}

TEST(Files, BaseDirectoryMustFitTheStoredFormat) {
    TempDir dir;
    // Each "试衣" is 4 GBK bytes but 6 UTF-8 bytes: the GBK form is what counts.
    fs::path fits = dir.path();
    while (fits.string().size() + 40 < kMaxBaseDirBytes) fits /= "x";
    fs::path chinese = fits;
    const std::size_t gbk_now = fits.string().size();
    for (std::size_t n = gbk_now; n + 5 <= kMaxBaseDirBytes; n += 5) chinese /= "试衣";
    fs::create_directories(chinese);
    {
        testsupport::ScopedCwd cwd(chinese);
        std::string error;
        const auto base = CurrentBaseDirectory(&error);
        ASSERT_TRUE(base) << error;
        EXPECT_EQ(*base, chinese);
        EXPECT_GT(chinese.string().size(), kMaxBaseDirBytes);
    }
    const fs::path too_long = chinese / "试衣";
    fs::create_directories(too_long);
    testsupport::ScopedCwd cwd(too_long);
    std::string error;
    EXPECT_EQ(CurrentBaseDirectory(&error), std::nullopt);
    EXPECT_NE(error.find("250"), std::string::npos) << error;
}
