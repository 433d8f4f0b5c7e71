#include "project_editor/sys_set_info.h"

#include <gtest/gtest.h>

#include "tests/project_editor/byte_builder.h"
#include "tests/support/temp_dir.h"

using namespace project_editor;
using namespace testbytes;
namespace fs = std::filesystem;

namespace {

TEST(SysSetInfo, MissingFileIsCreatedWithTheDefaults) {
    testsupport::TempDir dir;
    CSysSetInfo::ResetInstance();
    CSysSetInfo& s = CSysSetInfo::Instance();
    s.SetBaseDir(dir.path());
    EXPECT_EQ(s.Load(), CSysSetInfo::LoadResult::Created);

    const auto b = testsupport::ReadAll(dir / "sysSetInfo.sy3");
    ASSERT_EQ(b.size(), 2252u);
    EXPECT_EQ(b[115], '1');
    const std::string out = (dir.path() / "KZV输出的网页").string();
    EXPECT_EQ(s.GetOutputFolder(), out);
    EXPECT_EQ(TextAt(b, 601, 266), "2010\xC7\xEF\xB6\xAC\xC5\xAE\xD7\xB0");  // 2010秋冬女装
    EXPECT_EQ(TextAt(b, 1133, 66), "2010\xCA\xD4\xD2\xC2\xBC\xE4");            // 2010试衣间
    EXPECT_EQ(TextAt(b, 1199, 66), "kzvDress");
    EXPECT_EQ(TextAt(b, 1265, 66), "");
    EXPECT_FALSE(TextAt(b, 867, 266).empty());
    EXPECT_FALSE(TextAt(b, 1331, 266).empty());
    EXPECT_FALSE(TextAt(b, 1597, 27).empty());
    EXPECT_EQ(I32At(b, 2172), 0);
    EXPECT_EQ(s.GetSeriesName(), "2010秋冬女装");
}

TEST(SysSetInfo, StoredRecordIsReadAndReservedBytesSurviveASave) {
    testsupport::TempDir dir;
    ByteBuilder rec(2252);
    for (std::size_t i = 0; i < 2252; ++i) rec.U8(i, static_cast<std::uint8_t>(i * 31 + 7));
    rec.U8(115, '3').Raw(601, std::string("\xD5\xC5\xC8\xFD\0", 5)).Raw(1199, std::string("page\0", 5));
    rec.Raw(1133, std::string(66, '\xA3'));  // a field filled to the end, no NUL
    rec.I32(2172, 12);
    dir.write("sysSetInfo.sy3", rec.bytes());

    CSysSetInfo s;
    s.SetBaseDir(dir.path());
    ASSERT_EQ(s.Load(), CSysSetInfo::LoadResult::Loaded);
    EXPECT_EQ(s.GetField(0), "3");
    EXPECT_EQ(s.GetField(1), "12");
    EXPECT_EQ(s.GetField(6), "page");
    EXPECT_EQ(s.GetSeriesName(), "张三");
    EXPECT_EQ(s.GetField(3).empty(), false);

    ASSERT_TRUE(s.SetField(CSysSetInfo::kTemplateName, "t1"));
    ASSERT_TRUE(s.Save());
    const auto b = testsupport::ReadAll(dir / "sysSetInfo.sy3");
    ASSERT_EQ(b.size(), 2252u);
    for (std::size_t i = 0; i < 2252; ++i) {
        if (i >= 1265 && i < 1265 + 66) continue;
        ASSERT_EQ(b[i], rec.bytes()[i]) << "byte " << i;
    }
    EXPECT_EQ(TextAt(b, 1265, 66), "t1");
}

TEST(SysSetInfo, FieldsAreCutToTheirLimits) {
    std::string chinese61;  // 31 characters, 62 GBK bytes
    for (int i = 0; i < 31; ++i) chinese61 += "张";
    struct Case {
        int field;
        std::string text;
        std::string expect;
        bool taken;
    };
    const Case cases[] = {
        {5, std::string(30, '9'), std::string(22, '9'), true},
        {2, std::string(300, 'h'), std::string(260, 'h'), true},
        {4, std::string(261, 'd'), std::string(260, 'd'), true},
        {3, chinese61, chinese61.substr(0, 30 * 3), true},
        {6, std::string(61, 'p'), std::string(60, 'p'), true},
        {11, "模板", "模板", true},
        {0, "Xyz", "X", true},
        {0, "", "", true},
        {0, "张", "1", false},
        {1, "42abc", "42", true},
        {1, " -7", "-7", true},
        {1, "abc", "0", true},
        {1, "99999999999", "2147483647", true},
        {7, "x", "", false},
        {-1, "x", "", false},
        {12, "x", "", false},
    };
    for (const Case& c : cases) {
        CSysSetInfo s;
        EXPECT_EQ(s.SetField(c.field, c.text), c.taken) << c.field << ' ' << c.text;
        EXPECT_EQ(s.GetField(c.field), c.expect) << c.field << ' ' << c.text;
    }
}

TEST(SysSetInfo, LongFoldersAreCutToTheirFieldAndSaved) {
    testsupport::TempDir dir;
    CSysSetInfo s;
    s.SetBaseDir(dir.path());
    std::string longName;
    for (int i = 0; i < 140; ++i) longName += "张";  // 280 GBK bytes
    ASSERT_TRUE(s.SetSeriesName(longName));
    const auto b = testsupport::ReadAll(dir / "sysSetInfo.sy3");
    EXPECT_EQ(TextAt(b, 601, 266).size(), 264u);  // 265 would split a character
    EXPECT_EQ(b[601 + 265], 0);
    ASSERT_TRUE(s.SetOutputFolder(std::string(400, 'o')));
    EXPECT_EQ(s.GetOutputFolder(), std::string(265, 'o'));
}

TEST(SysSetInfo, BaseDirAfterLoadResetsTheOutputFolder) {
    testsupport::TempDir dir;
    ByteBuilder rec(2252);
    rec.Raw(335, "/elsewhere/web");
    dir.write("sysSetInfo.sy3", rec.bytes());
    CSysSetInfo s;
    s.SetBaseDir(dir.path());
    ASSERT_EQ(s.Load(), CSysSetInfo::LoadResult::Loaded);
    EXPECT_EQ(s.GetOutputFolder(), "/elsewhere/web");
    s.SetBaseDir(dir.path());
    EXPECT_EQ(s.GetOutputFolder(), (dir.path() / "KZV输出的网页").string());
}

TEST(SysSetInfo, FileOfTheWrongSizeIsNeitherReadNorOverwritten) {
    testsupport::TempDir dir;
    for (std::size_t size : {0u, 100u, 2251u, 2253u}) {
        ByteBuilder rec(size, 'Q');
        dir.write("sysSetInfo.sy3", rec.bytes());
        CSysSetInfo s;
        s.SetBaseDir(dir.path());
        EXPECT_EQ(s.Load(), CSysSetInfo::LoadResult::Unreadable) << size;
        EXPECT_EQ(s.GetSeriesName(), "2010秋冬女装") << size;
        EXPECT_EQ(testsupport::ReadAll(dir / "sysSetInfo.sy3").size(), size);
    }
}

}  // namespace
