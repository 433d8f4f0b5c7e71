// The ".by3" and ".cd3" files read back by a reader of their own, written
// from the layout tables alone (literal offsets, no code of the database):
// what the program writes must read right, byte for byte.
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

#include "measure_market/measure_data.h"
#include "measure_market/size_database.h"
#include "tests/support/temp_dir.h"

namespace {

using testsupport::ReadAll;

std::int32_t I32(const std::vector<unsigned char>& b, std::size_t at) {
    return static_cast<std::int32_t>(b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16) |
                                     (static_cast<std::uint32_t>(b.at(at + 3)) << 24));
}
std::string Bytes(const std::vector<unsigned char>& b, std::size_t at, std::size_t n) {
    return std::string(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + n));
}

TEST(FileLayout, BodyFileAsTheTablesDescribeIt) {
    testsupport::TempDir dir;
    measure::CSizeDatabase db;
    db.CopyTrimmedName(dir.path());
    db.LoadBodies();
    std::int32_t values[39];
    for (int i = 0; i < 39; ++i) values[i] = 100 * i + 1;
    const std::string a[2] = {"王芳", "W"};
    const std::string b[2] = {"Li Lei", "M"};
    ASSERT_EQ(db.AddBody(a, values, 39), measure::StoreResult::Stored);
    values[0] = 17500;
    ASSERT_EQ(db.AddBody(b, values, 39), measure::StoreResult::Stored);

    const auto f = ReadAll(dir / "人体测量图片及数据" / "人体测量记录表.by3");
    ASSERT_EQ(f.size(), 52u + 2 * 236u);
    // Header.
    EXPECT_EQ(Bytes(f, 0, 26), std::string(26, ' '));
    EXPECT_EQ(Bytes(f, 26, 2), std::string(2, '\0'));
    EXPECT_EQ(I32(f, 28), 2);
    EXPECT_EQ(Bytes(f, 32, 20), std::string(20, '\0'));
    // Records.
    for (int r = 0; r < 2; ++r) {
        const std::size_t at = 52 + 236 * static_cast<std::size_t>(r);
        EXPECT_EQ(f[at], r == 0 ? 'W' : 'M');
        EXPECT_EQ(f[at + 1], 0);  // the reserved text is empty
        const std::string name = r == 0 ? "\xCD\xF5\xB7\xBC" : "Li Lei";  // 王芳 in GBK
        EXPECT_EQ(Bytes(f, at + 17, name.size()), name);
        EXPECT_EQ(f[at + 17 + name.size()], 0);
        EXPECT_EQ(f[at + 43], 0);
        EXPECT_EQ(Bytes(f, at + 44, 6), std::string(6, ' '));
        EXPECT_EQ(Bytes(f, at + 50, 2), std::string(2, '\0'));
        EXPECT_EQ(I32(f, at + 52), r == 0 ? 1 : 17500);
        EXPECT_EQ(I32(f, at + 52 + 4 * 38), 3801);
        for (int i = 39; i < 46; ++i) EXPECT_EQ(I32(f, at + 52 + 4 * i), -1);
    }
}

TEST(FileLayout, SizeChartFileAsTheTablesDescribeIt) {
    testsupport::TempDir dir;
    measure::CSizeDatabase db;
    db.CopyTrimmedName(dir.path());
    db.LoadSizes();
    ASSERT_EQ(db.SetSizeField(0, 8, "胸围:92"), 1);
    ASSERT_EQ(db.SetSizeField(0, 1, "恤衫"), 0);
    ASSERT_EQ(db.SetSizeField(1, 8, "身高:170"), 1);
    ASSERT_EQ(db.EditSizeRow(measure::kRowTitle, 1), measure::kRowOpDone);
    ASSERT_EQ(db.ToggleSizeFlag(0, measure::kCharSex), 'W');
    ASSERT_EQ(db.ToggleSizeFlag(0, measure::kCharDigit), '2');
    ASSERT_TRUE(db.SaveSizes());

    const auto f = ReadAll(dir / "人体测量图片及数据" / "服饰尺码记录表.cd3");
    const std::string chest = "\xD0\xD8\xCE\xA7:92";     // 胸围:92
    const std::string kind = "\xD0\xF4\xC9\xC0";         // 恤衫
    const std::string height = "\xC9\xED\xB8\xDF:170";  // 身高:170
    const int pool = static_cast<int>(chest.size() + kind.size() + height.size());
    ASSERT_EQ(f.size(), 28u + 2 * 48u + 3 * 12u + static_cast<std::size_t>(pool));
    EXPECT_EQ(Bytes(f, 0, 4), std::string(4, ' '));
    EXPECT_EQ(I32(f, 4), 2);
    EXPECT_EQ(I32(f, 8), 3);
    EXPECT_EQ(I32(f, 12), pool);
    EXPECT_EQ(Bytes(f, 16, 12), std::string(12, '\0'));
    // Row 0: size row, women, size 2, no mark; field 1 in slot 1, field 8 in slot 0.
    std::size_t row = 28;
    EXPECT_EQ(Bytes(f, row, 6), std::string(" W2   "));
    EXPECT_EQ(Bytes(f, row + 6, 2), std::string(2, '\0'));
    const std::int32_t slots0[7] = {1, -1, -1, -1, -1, 0, -1};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(I32(f, row + 8 + 4 * i), slots0[i]) << i;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(I32(f, row + 36 + 4 * i), -1);
    // Row 1: title row, its parameter text in slot 2.
    row += 48;
    EXPECT_EQ(Bytes(f, row, 4), std::string("TM1 "));
    EXPECT_EQ(I32(f, row + 8 + 4 * 5), 2);
    // Slots: offset, length, capacity.
    const std::size_t slots = 28 + 2 * 48;
    const std::int32_t expect[3][3] = {{0, 7, 7}, {7, 4, 4}, {11, 8, 8}};
    for (int s = 0; s < 3; ++s)
        for (int k = 0; k < 3; ++k) EXPECT_EQ(I32(f, slots + 12 * s + 4 * k), expect[s][k]) << s << k;
    EXPECT_EQ(Bytes(f, slots + 36, static_cast<std::size_t>(pool)), chest + kind + height);
}

}  // namespace
