#include "shell/sys_info.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

using testsupport::ReadAll;
using testsupport::TempDir;

std::int32_t I32At(const std::vector<unsigned char>& b, std::size_t off) {
    return static_cast<std::int32_t>(b[off] | (b[off + 1] << 8) | (b[off + 2] << 16) |
                                     (static_cast<std::uint32_t>(b[off + 3]) << 24));
}

class SysInfoTest : public ::testing::Test {
protected:
    void SetUp() override { shell::ResetSysInfo(); }
    shell::CSysInfo& info() { return shell::SysInfo(); }
    std::vector<unsigned char> FileBytes() { return ReadAll(tmp / "FittoraSysinfo.dm3"); }
    TempDir tmp;
};

TEST_F(SysInfoTest, FirstStartWritesTheDefaults) {
    info().SetDirectory(tmp.path());
    EXPECT_EQ(info().LoadOrCreate(), 0);
    const auto b = FileBytes();
    ASSERT_EQ(b.size(), 1756u);
    EXPECT_EQ(b[0], ' ');
    EXPECT_EQ(b[1], ' ');
    EXPECT_EQ(b[2], 'B');
    for (int i = 0; i < 9; ++i) EXPECT_EQ(b[3 + i], 11 + i);
    for (int i = 12; i < 111; ++i) EXPECT_EQ(b[i], ' ') << i;
    EXPECT_EQ(b[111], 'Y');
    EXPECT_EQ(b[112], ' ');
    EXPECT_EQ(b[113], 'A');
    EXPECT_EQ(b[114], ' ');
    for (int i = 115; i < 371; ++i) EXPECT_EQ(b[i], 0) << i;
    const std::string dir = tmp.path().string();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[371])), dir);
    for (std::size_t i = 371 + dir.size(); i < 627; ++i) EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(b[627], ' ');
    for (int i = 628; i < 1756; ++i) EXPECT_EQ(b[i], 0) << i;
}

TEST_F(SysInfoTest, EverySetterPersists) {
    info().SetDirectory(tmp.path());
    info().LoadOrCreate();

    info().SetShowAutostart('N');
    EXPECT_EQ(FileBytes()[111], 'N');

    struct FlagCase {
        int arg;
        unsigned char stored;
    };
    for (FlagCase c : {FlagCase{1, 'Y'}, FlagCase{0, 'N'}, FlagCase{2, 'N'}, FlagCase{-1, 'N'}}) {
        info().SetPhotoFlag(c.arg);
        EXPECT_EQ(FileBytes()[627], c.stored) << c.arg;
    }

    ASSERT_TRUE(info().SetPhotoPath("/照片/我的.jpg"));
    const auto b = FileBytes();
    // GBK on disk: "/照片/我的.jpg" is 1+4+1+4+4 bytes.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[628])).size(), 14u);
    EXPECT_EQ(b[628], '/');
    EXPECT_EQ(b[629], 0xD5);  // 照
    EXPECT_EQ(b[630], 0xD5);

    shell::ResetSysInfo();
    info().SetDirectory(tmp.path());
    info().LoadOrCreate();
    std::string path;
    EXPECT_EQ(info().GetPhoto(&path), 'N');
    EXPECT_EQ(path, "/照片/我的.jpg");
    EXPECT_EQ(info().GetShowAutostart(), 'N');
}

TEST_F(SysInfoTest, PhotoLengthRules) {
    info().SetDirectory(tmp.path());
    struct Case {
        std::string path;
        bool accepted;
        bool has_photo;
    };
    const Case cases[] = {
        {"abcd", true, false},
        {"abcde", true, true},
        {"照片", true, false},   // 4 bytes stored
        {"照片a", true, true},  // 5 bytes stored
        {std::string(246, 'x') + "照片", true, true},  // 250 bytes stored
        {std::string(250, 'x'), true, true},
        {std::string(251, 'x'), false, true},  // refused: the previous path stays
        {std::string(247, 'x') + "照片", false, true},  // 251 bytes stored
        {"a😀.jpg", false, true},                       // no GBK form
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(info().SetPhotoPath(c.path), c.accepted);
        EXPECT_EQ(info().HasPhoto(), c.has_photo);
    }
    std::string path;
    info().GetPhoto(&path);
    EXPECT_EQ(path, std::string(250, 'x'));

    // A record that cannot be saved is no success.
    info().SetDirectory(tmp / "no such folder");
    EXPECT_FALSE(info().SetPhotoPath("/照片/a.jpg"));
    EXPECT_FALSE(std::filesystem::exists(tmp / "no such folder"));
}

TEST_F(SysInfoTest, ShortAndHostileFiles) {
    // A short file is read as far as it goes; the rest keeps the defaults.
    tmp.write("FittoraSysinfo.dm3", std::string(112, 'N'));
    info().SetDirectory(tmp.path());
    EXPECT_EQ(info().LoadOrCreate(), 0);
    EXPECT_EQ(info().GetShowAutostart(), 'N');
    EXPECT_EQ(info().bytes()[113], 'A');
    EXPECT_EQ(FileBytes().size(), 112u);  // reading does not write

    // A full file: the counter at 1752 is kept at most 4; 1688 is returned;
    // a photo field without its terminator gives no path.
    std::vector<unsigned char> b(1756, 'Q');
    b[1752] = 9;
    b[1753] = b[1754] = b[1755] = 0;
    b[1688] = 7;
    b[1689] = b[1690] = b[1691] = 0;
    tmp.write("FittoraSysinfo.dm3", b);
    shell::ResetSysInfo();
    info().SetDirectory(tmp.path());
    EXPECT_EQ(info().LoadOrCreate(), 7);
    EXPECT_EQ(I32At(std::vector<unsigned char>(info().bytes().begin(), info().bytes().end()), 1752), 4);
    std::string path = "unchanged";
    EXPECT_EQ(info().GetPhoto(&path), 'Q');
    EXPECT_EQ(path, "");
    EXPECT_FALSE(info().HasPhoto());

    // A longer file: only the record's 1756 bytes are taken.
    b.resize(4000, 'Z');
    tmp.write("FittoraSysinfo.dm3", b);
    shell::ResetSysInfo();
    info().SetDirectory(tmp.path());
    info().LoadOrCreate();
    EXPECT_EQ(info().bytes()[1755], 0);
}

TEST_F(SysInfoTest, UnwritableFolderKeepsTheDefaults) {
    info().SetDirectory(tmp / "missing" / "folder");
    EXPECT_EQ(info().LoadOrCreate(), 0);
    EXPECT_EQ(info().GetShowAutostart(), 'Y');
    EXPECT_FALSE(info().Save());
}

}  // namespace
