#include "platform/files.h"

#include "tests/support/ordinary_user.h"
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
using testsupport::AsOrdinaryUser;
using testsupport::kNobody;
using testsupport::TempDir;

namespace {

std::vector<std::string> Names(const std::vector<fs::path>& paths) {
    std::vector<std::string> out;
    for (const fs::path& p : paths) out.push_back(p.filename().string());
    return out;
}

std::vector<std::uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

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

// A name that is a symbolic link is saved as the file the link names: the
// link stays a link and the file it names holds the new bytes, wherever it
// lies (beside it, in another folder, at the end of a chain, or not made
// yet). No temporary stays beside either.
TEST(Files, SaveWritesThroughSymbolicLinks) {
    TempDir base, outside;
    struct Case {
        const char* name;
        fs::path link;    // in base
        fs::path target;  // what the link says
        fs::path file;    // the file that must hold the bytes
        bool exists;
    } cases[] = {
        {"beside it", "服饰尺码记录表.cd3", "chart_real.cd3", base / "chart_real.cd3", true},
        {"an order file", "2010A_001.of3", "orders/real.of3", base / "orders" / "real.of3", true},
        {"outside the base", "客户.cd3", outside / "客户.cd3", outside / "客户.cd3", true},
        {"a chain", "chain.cd3", "服饰尺码记录表.cd3", base / "chart_real.cd3", true},
        {"a link to nothing yet", "new.of3", "made_later.of3", base / "made_later.of3", false},
    };
    fs::create_directories(base / "orders");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.exists && !fs::exists(c.file)) {
            ASSERT_TRUE(SaveFileAtomic(c.file, Bytes("old rows")));
            ::chmod(c.file.c_str(), 0640);
        }
        fs::create_symlink(c.target, base / c.link);
        std::string error;
        ASSERT_TRUE(SaveFileAtomic(base / c.link, Bytes(std::string("new rows of ") + c.name), &error)) << error;
        EXPECT_TRUE(fs::is_symlink(base / c.link));
        EXPECT_EQ(fs::read_symlink(base / c.link), c.target);
        EXPECT_EQ(ReadWholeFile(c.file), Bytes(std::string("new rows of ") + c.name));
        if (c.exists) {
            EXPECT_EQ(ModeOf(c.file), 0640u);
        }
    }
    for (const fs::path& dir : {base.path(), base / "orders", outside.path()}) {
        for (const std::string& name : testsupport::FileNames(dir)) {
            EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
        }
    }
    EXPECT_EQ(testsupport::FileNames(base.path()),
              (std::vector<std::string>{"2010A_001.of3", "chain.cd3", "chart_real.cd3", "made_later.of3", "new.of3",
                                        "orders", "客户.cd3", "服饰尺码记录表.cd3"}));

    // A link in a loop cannot be saved through; nothing is made.
    fs::create_symlink("loop_b.cd3", base / "loop_a.cd3");
    fs::create_symlink("loop_a.cd3", base / "loop_b.cd3");
    std::string error;
    EXPECT_FALSE(SaveFileAtomic(base / "loop_a.cd3", Bytes("x"), &error));
    EXPECT_NE(error.find("loop_a.cd3"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_symlink(base / "loop_a.cd3"));
}

// As the owner, who may not write them: a link to a file made read-only is
// refused like the file itself, and a failed save through a link keeps the
// old bytes.
TEST(Files, SaveThroughALinkRefusesWhatTheFileRefuses) {
    TempDir dir;
    const fs::path folder = dir / "数据";
    fs::create_directories(folder);
    const std::string failures = AsOrdinaryUser(folder, [] {
        std::string wrong;
        auto check = [&wrong](bool ok, const std::string& what) {
            if (!ok) wrong += what + "; ";
        };
        check(SaveFileAtomic("chart_real.cd3", Bytes("old rows")), "the first save failed");
        check(::chmod("chart_real.cd3", 0444) == 0, "chmod failed");
        check(::symlink("chart_real.cd3", "服饰尺码记录表.cd3") == 0, "symlink failed");
        std::string error;
        check(!SaveFileAtomic("服饰尺码记录表.cd3", Bytes("new rows"), &error), "a read-only file was written");
        check(error.find("服饰尺码记录表.cd3") != std::string::npos, "the error names no file: " + error);
        check(ReadWholeFile("chart_real.cd3") == Bytes("old rows"), "the read-only file changed");
        check(fs::is_symlink("服饰尺码记录表.cd3"), "the link was replaced");
        check(testsupport::FileNames(".") == std::vector<std::string>{"chart_real.cd3", "服饰尺码记录表.cd3"},
              "other files were left");
        return wrong;
    });
    EXPECT_EQ(failures, "");

    // Writes beyond 8 bytes fail (EFBIG) for as long as the limit holds.
    ::chmod((folder / "chart_real.cd3").c_str(), 0644);
    rlimit old_limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old_limit;
    small.rlim_cur = 8;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = SaveFileAtomic(folder / "服饰尺码记录表.cd3", Bytes("rows longer than the limit"));
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadWholeFile(folder / "chart_real.cd3"), Bytes("old rows"));
    EXPECT_TRUE(fs::is_symlink(folder / "服饰尺码记录表.cd3"));
    EXPECT_EQ(testsupport::FileNames(folder), (std::vector<std::string>{"chart_real.cd3", "服饰尺码记录表.cd3"}));
}

// A file with a second name stays one file: whichever name is saved, every
// name reads what was saved, and the file keeps its mode. A save that fails
// leaves the old bytes under both names.
TEST(Files, SaveKeepsAFileWithSeveralNamesOneFile) {
    TempDir dir;
    const fs::path order = dir / "2010A_001.of3";
    const fs::path backup = dir / "备份.of3";
    ASSERT_TRUE(SaveFileAtomic(order, Bytes("the first order, a long line of rows")));
    ::chmod(order.c_str(), 0640);
    fs::create_hard_link(order, backup);
    struct stat before {};
    ASSERT_EQ(::stat(order.c_str(), &before), 0);

    struct Step {
        fs::path saved;
        const char* bytes;
    } steps[] = {
        {order, "shorter"},
        {backup, "through the second name, and longer than before"},
        {order, ""},
        {order, "again"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.bytes);
        std::string error;
        ASSERT_TRUE(SaveFileAtomic(s.saved, Bytes(s.bytes), &error)) << error;
        EXPECT_EQ(ReadWholeFile(order), Bytes(s.bytes));
        EXPECT_EQ(ReadWholeFile(backup), Bytes(s.bytes));
        struct stat now {};
        ASSERT_EQ(::stat(order.c_str(), &now), 0);
        EXPECT_EQ(now.st_ino, before.st_ino);
        EXPECT_EQ(now.st_nlink, 2u);
        EXPECT_EQ(now.st_mode & 07777, 0640u);
        EXPECT_EQ(testsupport::FileNames(dir.path()), (std::vector<std::string>{"2010A_001.of3", "备份.of3"}));
    }

    rlimit old_limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old_limit;
    small.rlim_cur = 8;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = SaveFileAtomic(backup, Bytes("rows longer than the limit"));
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadWholeFile(order), Bytes("again"));
    EXPECT_EQ(ReadWholeFile(backup), Bytes("again"));
    EXPECT_EQ(testsupport::FileNames(dir.path()), (std::vector<std::string>{"2010A_001.of3", "备份.of3"}));
}

// A save removes the temporaries that killed saves of the same file left
// (their process is gone), and nothing else: not those of a live process,
// not another file's, not look-alikes, not folders.
TEST(Files, SaveRemovesItsOwnStaleTemporaries) {
    const pid_t child = testsupport::EndedProcessId();
    ASSERT_GT(child, 0);
    const std::string gone = std::to_string(child);
    const std::string live = std::to_string(::getppid());
    const std::string self = std::to_string(::getpid());

    TempDir dir;
    dir.write("服饰尺码记录表.cd3", "old");
    const std::vector<std::string> stale = {".服饰尺码记录表.cd3.tmp-" + gone + "-0",
                                            ".服饰尺码记录表.cd3.tmp-" + gone + "-17"};
    const std::vector<std::string> kept = {
        ".服饰尺码记录表.cd3.tmp-" + live + "-0",      // its process still runs
        ".服饰尺码记录表.cd3.tmp-" + self + "-999",    // this process's own
        ".客户.cd3.tmp-" + gone + "-0",                // another file's
        ".服饰尺码记录表.cd3.tmp-" + gone + "-0.bak",  // look-alikes
        ".服饰尺码记录表.cd3.tmp-" + gone + "-",
        ".服饰尺码记录表.cd3.tmp-" + gone,
        ".服饰尺码记录表.cd3.tmp-x" + gone + "-0",
        "服饰尺码记录表.cd3.tmp-" + gone + "-0",
        ".服饰尺码记录表.cd3.part-" + gone + "-0",  // a download's, not a save's
    };
    for (const auto& n : stale) dir.write(n, "half a save");
    for (const auto& n : kept) dir.write(n, "keep");
    fs::create_directory(dir / (".服饰尺码记录表.cd3.tmp-" + gone + "-5"));  // a folder is no temporary

    ASSERT_TRUE(SaveFileAtomic(dir / "服饰尺码记录表.cd3", Bytes("new")));
    EXPECT_EQ(ReadWholeFile(dir / "服饰尺码记录表.cd3"), Bytes("new"));
    std::vector<std::string> expected = kept;
    expected.push_back("服饰尺码记录表.cd3");
    expected.push_back(".服饰尺码记录表.cd3.tmp-" + gone + "-5");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(testsupport::FileNames(dir.path()), expected);

    // The older download shape names no process: it goes only when it has
    // been left untouched for more than an hour.
    dir.write(".p.rar.part-Ab3xY9", "old");
    dir.write(".p.rar.part-Zz0000", "recent");
    const timespec times[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir / ".p.rar.part-Ab3xY9").c_str(), times, 0), 0);
    EXPECT_EQ(RemoveStaleTemporaries(dir / "p.rar", ".part-"), 1);
    EXPECT_FALSE(fs::exists(dir / ".p.rar.part-Ab3xY9"));
    EXPECT_TRUE(fs::exists(dir / ".p.rar.part-Zz0000"));
}

// A copy goes through the same save: the copy lands in the file a link
// names, a missing source or a folder at the target changes nothing.
TEST(Files, CopiesAreSavedLikeEveryOtherFile) {
    TempDir dir;
    dir.write("源.png", "picture");
    dir.write("real.png", "old picture");
    ::chmod((dir / "real.png").c_str(), 0640);
    fs::create_symlink("real.png", dir / "红色上衣.png");
    std::string error;
    ASSERT_TRUE(SaveCopyOfFile(dir / "源.png", dir / "红色上衣.png", &error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "红色上衣.png"));
    EXPECT_EQ(ReadWholeFile(dir / "real.png"), Bytes("picture"));
    EXPECT_EQ(ModeOf(dir / "real.png"), 0640u);

    EXPECT_FALSE(SaveCopyOfFile(dir / "missing.png", dir / "real.png", &error));
    EXPECT_NE(error.find("missing.png"), std::string::npos) << error;
    fs::create_directory(dir / "folder.png");
    EXPECT_FALSE(SaveCopyOfFile(dir / "源.png", dir / "folder.png", &error));
    EXPECT_TRUE(fs::is_empty(dir / "folder.png"));
    EXPECT_EQ(ReadWholeFile(dir / "real.png"), Bytes("picture"));
    EXPECT_EQ(testsupport::FileNames(dir.path()),
              (std::vector<std::string>{"folder.png", "real.png", "源.png", "红色上衣.png"}));
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
