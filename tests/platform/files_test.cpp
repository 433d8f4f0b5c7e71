#include "platform/files.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
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
    EXPECT_EQ(ReadWholeFile(p), Bytes("old"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);  // no temporary left

    error.clear();
    EXPECT_FALSE(SaveFileAtomic(dir / "missing" / "x.dat", Bytes("new"), &error));
    EXPECT_FALSE(error.empty());
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
