// Size matching: parameter texts scanned into ranges, garment kinds, and
// bodies matched against small charts, as tables.
#include <filesystem>
#include <gtest/gtest.h>

#include "measure_market/measure_data.h"
#include "measure_market/size_database.h"
#include "platform/text.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace measure;
using testsupport::TempDir;

std::string G(const char* utf8) { return platform::Utf8ToGbkLossy(utf8); }

TEST(SizeParams, ScannerTable) {
    struct Case {
        const char* text;
        std::vector<std::pair<int, std::int32_t>> values;  // value index, value
        std::vector<std::pair<int, char>> flags;           // measure, flag
    };
    const Case cases[] = {
        {"身高:160-170,胸围:88", {{0, 16000}, {1, 17000}, {4, 8800}, {5, -1}}, {}},
        {"领围:<38", {{2, 3800}}, {{1, 'Y'}}},
        {"胸围:92(参考)", {{4, 9200}}, {}},
        {"胸 围 : 9 2 . 5 - 96", {{4, 9250}, {5, 9600}}, {}},
        {"腰围:*70,臀围:[90", {{6, 7000}, {8, 9000}}, {{3, '*'}, {4, 'y'}}},
        {"前衣长:70-72,后衣长:74", {{12, 7200}, {13, 7400}}, {}},  // one-value names keep the last
        {"脚长:25.5,脚围:24", {{28, 2550}, {29, 2400}}, {}},
        {"未知:5,胸围:90", {{4, 9000}}, {}},
        {"<胸围:90", {{4, -1}}, {}},  // before the colon '<' is part of the name
        {"胸围:(a,b)90", {{4, 9000}}, {}},                   // commas inside parentheses are skipped
        {"胸围:90,,腰围:70-", {{4, 9000}, {6, 7000}, {7, -1}}, {}},
        {"胸围:1234567890123456", {{4, 2147483647}}, {}},  // the value buffer keeps 12 digits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CSizeDatabase db;
        db.ParseSizeParams(G(c.text), 3);
        for (auto [index, value] : c.values) EXPECT_EQ(db.range(3).values[index], value) << "value " << index;
        for (auto [measure, flag] : c.flags) EXPECT_EQ(db.range(3).flags[measure], flag) << "flag " << measure;
    }
}

TEST(SizeParams, TrailBytesOfDoubleByteCharactersAreNotSyntax) {
    // "乕" is GBK 0x81 0x5B: its trail byte is '['. In a value it must not
    // set the flag, in a kind name it must not read as a capital letter.
    ASSERT_EQ(G("乕"), std::string("\x81\x5B"));
    CSizeDatabase db;
    db.ParseSizeParams(G("胸围:乕90"), 0);
    EXPECT_EQ(db.range(0).flags[2], ' ');
    EXPECT_EQ(db.range(0).values[4], 9000);
    ASSERT_EQ(G("丄"), std::string("\x81\x41"));  // trail byte 'A'
    char sex = '?';
    EXPECT_EQ(CSizeDatabase::ClassifyGarment(G("丄恤衫"), &sex), ' ');
    EXPECT_EQ(CSizeDatabase::SizeLetter(G("丄码")), ' ');
}

TEST(SizeParams, GarmentKinds) {
    struct Case {
        const char* text;
        char category;
        char sex;
    };
    const Case cases[] = {
        {"男鞋M", 'd', 'M'},      {"女上装", 'A', 'F'},   {"女牛仔裤 S", 'E', 'F'}, {"西 装 上 衣XL", 'A', 'M'},
        {"长袖衬衣", 'C', 'M'},   {"恤衫", 'B', 'M'},     {"T恤衫", ' ', '?'},      {"女鞋36", ' ', '?'},
        {"连衣裙", ' ', '?'},     {"", ' ', '?'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        char sex = '?';
        EXPECT_EQ(CSizeDatabase::ClassifyGarment(G(c.text), &sex), c.category);
        EXPECT_EQ(sex, c.sex);
    }
    EXPECT_EQ(CSizeDatabase::ClassifyGarment(std::string(4000, 'a'), nullptr), ' ');
    EXPECT_EQ(CSizeDatabase::SizeLetter(G("175/92A")), 'A');
    EXPECT_EQ(CSizeDatabase::SizeLetter(G("175")), ' ');
}

// A chart of rows (kind, sex letter, parameter text; kind "T" makes a title
// row) and a body, matched.
struct MatchFixture : ::testing::Test {
    TempDir dir;
    CSizeDatabase db;
    struct Row {
        const char* kind;
        char sex;
        const char* params;
    };
    void SetUp() override {
        std::filesystem::create_directories(DataFolder(dir.path()));
        db.CopyTrimmedName(dir.path());
        db.LoadBodies();
        db.LoadSizes();
    }
    void Chart(const std::vector<Row>& rows) {
        db.Reset();
        db.CopyTrimmedName(dir.path());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const int r = static_cast<int>(i);
            ASSERT_EQ(db.SetSizeField(r, 8, rows[i].params[0] ? rows[i].params : " "), 1);
            if (std::string(rows[i].kind) == "T") {
                ASSERT_EQ(db.EditSizeRow(kRowTitle, r), kRowOpDone);
            } else {
                db.SetSizeField(r, 1, rows[i].kind);
            }
            if (rows[i].sex != 'M') db.ToggleSizeFlag(r, kCharSex);
        }
    }
    // Selects a body of `sex` with the given values (others not given).
    void Body(char sex, const std::vector<std::pair<int, std::int32_t>>& values) {
        std::int32_t v[kFormValues];
        for (auto& x : v) x = -1;
        for (auto [i, value] : values) v[i] = value;
        const std::string texts[2] = {"客户", std::string(1, sex)};
        ASSERT_EQ(db.AddBody(texts, v, kFormValues), StoreResult::Stored);
        std::string t[2];
        ASSERT_EQ(db.GetBody(db.GetBodyCount() - 1, t, v, kFormValues), 1);
    }
    // The marked stored rows; shows every row again (marks stay).
    std::vector<int> Marked() {
        db.ResetFilter(0);
        std::vector<int> out;
        for (int r = 0; r < db.GetStoredRowCount(); ++r)
            if (db.GetSizeChar(r, kCharMark) == 'Y') out.push_back(r);
        return out;
    }
};

// Without a selected body a match marks nothing and takes away nothing: the
// marks and the shown rows of the last match stay.
TEST_F(MatchFixture, NoBodySelectedMatchesNothingAndKeepsMarks) {
    Chart({{"恤衫", 'M', "胸围:92"}, {"恤衫", 'M', "胸围:100"}});
    EXPECT_EQ(db.MatchSizes(), 0);  // nobody chosen yet
    EXPECT_EQ(db.GetSizeCount(), 2);
    EXPECT_TRUE(Marked().empty());
    Body('M', {{9, 8600}});
    ASSERT_EQ(db.MatchSizes(), 1);
    db.StartNewBodies();  // the selection goes with the table
    ASSERT_EQ(db.selectedBody(), -1);
    EXPECT_EQ(db.MatchSizes(), 0);
    EXPECT_EQ(db.GetSizeCount(), 1);  // the last match's row still shown
    EXPECT_EQ(db.GetSizeChar(0, kCharMark), 'Y');
    EXPECT_EQ(Marked(), std::vector<int>{0});
}

TEST_F(MatchFixture, BodiesAgainstChartsAsATable) {
    // Value indices of the body: 0 身高, 4 胸高, 5 手臂长, 9 胸围, 12 腰围,
    // 15 臀围, 25 大腿高, 26 小腿高, 28 劲围, 37 脚长.
    struct Case {
        const char* what;
        std::vector<Row> chart;
        char sex;
        std::vector<std::pair<int, std::int32_t>> body;
        std::vector<int> marked;
    };
    const std::vector<Row> chest = {{"恤衫", 'M', "胸围:92"}, {"恤衫", 'M', "胸围:96"}, {"恤衫", 'M', "胸围:100"}};
    const std::vector<Case> cases = {
        {"chest at the low end of the first size", chest, 'M', {{9, 8600}}, {0}},
        {"chest at the top of the first size, the low end of the next", chest, 'M', {{9, 9000}}, {0, 1}},
        {"chest between sizes", chest, 'M', {{9, 9100}}, {1}},
        {"chest too small for any", chest, 'M', {{9, 8500}}, {}},
        {"last row takes the default step of 2 cm", chest, 'M', {{9, 9600}}, {2}},
        {"unset chest never rejects", chest, 'M', {{0, 17000}}, {0, 1, 2}},
        {"a woman's body skips men's rows", chest, 'W', {{9, 8600}}, {}},
        {"any other sex letter counts as female",
         {{"女上装", 'W', "胸围:84-90"}, {"恤衫", 'M', "胸围:84-90"}}, ' ', {{9, 8600}}, {0}},
        {"range with allowance", {{"女上装", 'W', "胸围:84-90"}}, 'W', {{9, 8800}}, {0}},
        {"range with allowance, above", {{"女上装", 'W', "胸围:84-90"}}, 'W', {{9, 8900}}, {}},
        {"height range has no allowance", {{"恤衫", 'M', "身高:170-175"}}, 'M', {{0, 17000}}, {0}},
        {"height below the range", {{"恤衫", 'M', "身高:170-175"}}, 'M', {{0, 16999}}, {}},
        {"single height: body minus size within the step",
         {{"恤衫", 'M', "身高:170"}, {"恤衫", 'M', "身高:175"}}, 'M', {{0, 17400}}, {0}},
        {"collar 'at least' fails", {{"恤衫", 'M', "领围:<38"}}, 'M', {{28, 3700}}, {}},
        {"collar 'at least' passes", {{"恤衫", 'M', "领围:<38"}}, 'M', {{28, 3600}}, {0}},
        {"collar upper bound is exclusive",
         {{"恤衫", 'M', "领围:38"}, {"恤衫", 'M', "领围:39"}}, 'M', {{28, 3500}}, {}},
        {"collar inside the step", {{"恤衫", 'M', "领围:38"}, {"恤衫", 'M', "领围:39"}}, 'M', {{28, 3600}}, {0, 1}},
        {"chest 'at least' fails at equality too", {{"恤衫", 'M', "胸围:<92"}}, 'M', {{9, 9000}}, {}},
        {"title row sets the chest allowance",
         {{"T", 'M', "胸围:3"}, {"恤衫", 'M', "胸围:92"}, {"恤衫", 'M', "胸围:96"}}, 'M', {{9, 8500}}, {1}},
        {"title row '*' flags the rows below as 'at least'",
         {{"T", 'M', "胸围:*0"}, {"恤衫", 'M', "胸围:92"}}, 'M', {{9, 7000}}, {1}},
        {"waist-chest difference is composite",
         {{"女上装", 'W', "腰胸差:10-20"}}, 'W', {{9, 9000}, {12, 7500}}, {0}},
        {"waist-chest difference, out of range",
         {{"女上装", 'W', "腰胸差:10-20"}}, 'W', {{9, 9000}, {12, 6500}}, {}},
        {"composite with one part unset is not checked",
         {{"女上装", 'W', "腰胸差:10-20"}}, 'W', {{9, 9000}}, {0}},
        {"sleeve length compares with the arm length",
         {{"长袖衬衣", 'M', "袖长:58-62"}}, 'M', {{5, 5800}, {12, 8000}}, {0}},
        {"inside leg is thigh plus calf height",
         {{"西装裤子", 'M', "下裆:78-84"}}, 'M', {{25, 4000}, {26, 3800}}, {0}},
        {"rise compares with the chest height as the chart says",
         {{"西装裤子", 'M', "上裆:25-30"}}, 'M', {{4, 2600}}, {0}},
        {"foot length with its own step", {{"男鞋", 'M', "脚长:26"}}, 'M', {{37, 2550}}, {0}},
        {"garment length only for tops", {{"西装裤子", 'M', "衣长:70"}}, 'M', {{14, 2000}, {8, 4000}}, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Chart(c.chart);
        db.LoadBodies();
        Body(c.sex, c.body);
        const int n = db.MatchSizes();
        EXPECT_EQ(n, static_cast<int>(c.marked.size()));
        if (n > 0) {
            EXPECT_EQ(db.GetSizeCount(), n);
            for (int k = 0; k < n; ++k) EXPECT_EQ(db.StoredRowOf(k), c.marked[static_cast<size_t>(k)]);
        } else {
            EXPECT_EQ(db.GetSizeCount(), static_cast<int>(c.chart.size()));
        }
        EXPECT_EQ(Marked(), c.marked);
    }
}

TEST_F(MatchFixture, RangesAreParsedAgainBeforeEachMatch) {
    Chart({{"恤衫", 'M', "胸围:92"}});
    Body('M', {{9, 8800}});
    ASSERT_EQ(db.MatchSizes(), 1);
    ASSERT_EQ(db.SetSizeField(0, 8, "胸围:100"), 0);
    EXPECT_EQ(db.MatchSizes(), 0);
    EXPECT_EQ(db.GetSizeChar(0, kCharMark), ' ');
    db.ResetFilter(kRowTitle);
    EXPECT_EQ(db.GetSizeCount(), 1);
}

}  // namespace
