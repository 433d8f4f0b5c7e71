// Failure texts as the user reads them: reasons in Chinese, files by their
// path in the base directory.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "platform/error_text.h"
#include "platform/files.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

TEST(ErrorText, CommonReasonsAreChineseAndOnlyTheRestKeepTheSystemsWords) {
    struct Case {
        int err;
        FileAccess access;
        const char* reason;
    };
    const Case cases[] = {
        {EACCES, FileAccess::Write, "没有写入权限"},
        {EPERM, FileAccess::Write, "没有写入权限"},
        {EACCES, FileAccess::Read, "没有读取权限"},
        {EROFS, FileAccess::Write, "磁盘是只读的, 没有写入权限"},
        {ENOSPC, FileAccess::Write, "磁盘空间不足"},
        {EDQUOT, FileAccess::Write, "磁盘空间不足"},
        {EISDIR, FileAccess::Write, "是一个文件夹"},
        {ENOENT, FileAccess::Read, "文件不存在"},
        {ENOTDIR, FileAccess::Write, "路径中有一项不是文件夹"},
        {ENAMETOOLONG, FileAccess::Write, "文件名或路径太长"},
        {EFBIG, FileAccess::Write, "文件太大"},
        {EIO, FileAccess::Read, "磁盘读写出错"},
        {EMFILE, FileAccess::Read, "同时打开的文件太多"},
        {ECONNREFUSED, FileAccess::Read, "连接被拒绝"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::strerror(c.err));
        EXPECT_EQ(ErrorReason(c.err, c.access), c.reason);
        EXPECT_EQ(ErrorReason(std::error_code(c.err, std::generic_category()), c.access), c.reason);
    }
    // One without a Chinese text keeps the system's.
    EXPECT_EQ(ErrorReason(EDOM), std::strerror(EDOM));
}

TEST(ErrorText, FilesInTheBaseDirectoryAreNamedByTheirPathThere) {
    testsupport::TempDir dir;
    const fs::path base = dir / "base";
    fs::create_directories(base / "KZV网页项目文件");
    struct Case {
        fs::path file;
        std::string shown;
    };
    const Case cases[] = {
        {base / "KZV网页项目文件" / "春装.dm3", "KZV网页项目文件/春装.dm3"},
        {base / "服饰搭配sysproj" / "." / "a.png", "服饰搭配sysproj/a.png"},
        {base / "sysSetInfo.sy3", "sysSetInfo.sy3"},
        {"服饰搭配拍照图片/照片.JPG", "服饰搭配拍照图片/照片.JPG"},  // relative: already in the base
        {dir / "other" / "x.dat", (dir / "other" / "x.dat").string()},
        {base / ".." / "x.dat", (base / ".." / "x.dat").string()},
        {base, base.string()},  // the base itself is named whole
    };
    for (const Case& c : cases) EXPECT_EQ(UserPath(c.file, base), c.shown) << c.file;
    // Through a link to the base, the same file.
    ASSERT_EQ(::symlink(base.c_str(), (dir / "link").c_str()), 0);
    EXPECT_EQ(UserPath(dir / "link" / "KZV网页项目文件" / "春装.dm3", base), "KZV网页项目文件/春装.dm3");
    // Without a base given, the working directory is the base.
    testsupport::ScopedCwd cwd(base);
    EXPECT_EQ(UserPath(fs::current_path() / "KZV网页项目文件" / "春装.dm3"), "KZV网页项目文件/春装.dm3");
}

// A save refused in the base directory says so in the user's words.
TEST(ErrorText, RefusedSaveInTheBaseSaysWhyInChinese) {
    testsupport::TempDir dir;
    const fs::path project = dir / "KZV网页项目文件" / "春装.dm3";
    fs::create_directories(project);  // a folder where the project file should be
    testsupport::ScopedCwd cwd(dir.path());
    std::string error;
    EXPECT_FALSE(SaveFileAtomic(fs::current_path() / "KZV网页项目文件" / "春装.dm3", {}, &error));
    EXPECT_EQ(error, "无法写入 KZV网页项目文件/春装.dm3: 是一个文件夹");
    EXPECT_FALSE(SaveFileAtomic("/dev/null", {}, &error));
    EXPECT_EQ(error, "无法写入 /dev/null: 不是一个普通文件");
    EXPECT_EQ(FileErrorText("无法读取", "服饰尺码记录表.cd3", ENOENT, FileAccess::Read),
              "无法读取 服饰尺码记录表.cd3: 文件不存在");
}

}  // namespace
