// The garment size chart: the text pool, field edits, row operations as
// tables of charts before and after, the filter, and the ".cd3" file.
#include <filesystem>
#include <gtest/gtest.h>

#include "measure_market/measure_data.h"
#include "measure_market/size_database.h"
#include "platform/record.h"
#include "platform/text.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace measure;
using testsupport::ReadAll;
using testsupport::TempDir;

struct ChartFixture : ::testing::Test {
    TempDir dir;
    CSizeDatabase db;
    void SetUp() override {
        std::filesystem::create_directories(DataFolder(dir.path()));
        db.CopyTrimmedName(dir.path());
        db.LoadSizes();
    }
    // Rows by their kind text (field 1), "" for a row without one; a title
    // row shows as "T:" before its text.
    std::vector<std::string> Kinds() {
        std::vector<std::string> out;
        for (int r = 0; r < db.GetStoredRowCount(); ++r) {
            out.push_back(std::string(db.GetSizeChar(r, kCharKind) == 'T' ? "T:" : "") + db.GetSizeField(r, 1));
        }
        return out;
    }
    void Fill(const std::vector<std::string>& kinds) {
        for (std::size_t i = 0; i < kinds.size(); ++i) {
            ASSERT_EQ(db.SetSizeField(static_cast<int>(i), 8, "胸围:" + std::to_string(80 + i)), 1);
            ASSERT_EQ(db.SetSizeField(static_cast<int>(i), 1, kinds[i]), 0);
        }
    }
};

TEST_F(ChartFixture, PoolReusesFreedSlotsThatFitButNeverSlotZero) {
    EXPECT_EQ(db.StoreText("abc", 250), 0);
    EXPECT_EQ(db.GetSlot(0).offset, 0);
    EXPECT_EQ(db.GetSlot(0).capacity, 3);
    db.MarkSlotFree(0);
    EXPECT_EQ(db.StoreText("xy", 250), 1);  // slot 0 is not reused
    EXPECT_EQ(db.GetSlot(1).offset, 3);

    const int ten = db.StoreText("0123456789", 250);
    const int six = db.StoreText("abcdef", 250);
    db.MarkSlotFree(ten);
    db.MarkSlotFree(six);
    EXPECT_EQ(db.StoreText("12345", 250), six);
    EXPECT_EQ(db.GetSlot(six).capacity, 6);
    EXPECT_EQ(db.GetSlot(six).length, 5);
    std::string text;
    EXPECT_EQ(db.ReadText(six, 250, text), 5);
    EXPECT_EQ(text, "12345");
    EXPECT_EQ(db.StoreText("", 250), -1);
    EXPECT_EQ(db.ReadText(1800, 250, text), 0);
    EXPECT_EQ(db.ReadText(-1, 250, text), 0);
}

TEST_F(ChartFixture, LongTextsAreCutAt250BytesOnACharacterBoundary) {
    ASSERT_EQ(db.SetSizeField(0, 8, std::string(300, 'x')), 1);
    EXPECT_EQ(db.GetSizeField(0, 8), std::string(250, 'x'));
    std::string wide;
    for (int i = 0; i < 130; ++i) wide += "码";  // 260 GBK bytes
    ASSERT_EQ(db.SetSizeField(0, 9, "a" + wide), 0);
    EXPECT_EQ(platform::GbkLength(db.GetSizeField(0, 9)), 249u);  // 250 would split a character
}

TEST_F(ChartFixture, EditingFieldEightPastTheEndAppendsRows) {
    EXPECT_EQ(db.SetSizeField(5, 1, "恤衫"), 0);  // only the parameter text makes a row
    EXPECT_EQ(db.GetStoredRowCount(), 0);
    EXPECT_EQ(db.SetSizeField(5, 8, ""), 0);
    EXPECT_EQ(db.SetSizeField(5, 8, "胸围:92"), 1);
    EXPECT_EQ(db.GetStoredRowCount(), 6);
    EXPECT_EQ(db.GetSizeCount(), 6);  // the display follows an unfiltered chart
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(db.GetSizeChar(r, kCharSex), 'M');
        EXPECT_EQ(db.GetSizeChar(r, kCharDigit), '1');
        EXPECT_EQ(db.GetSizeField(r, 8), "");
    }
    EXPECT_EQ(db.GetSizeField(5, 8), "胸围:92");
    EXPECT_TRUE(db.dirty());
}

TEST_F(ChartFixture, RowOperationsAsTables) {
    struct Case {
        const char* what;
        int op;
        int row;
        int result;
        std::vector<std::string> after;
    };
    const std::vector<std::string> start = {"a", "b", "c", "d"};
    const Case cases[] = {
        {"insert before the first", kRowInsert, 0, kRowOpDone, {"", "a", "b", "c", "d"}},
        {"insert before the last", kRowInsert, 3, kRowOpDone, {"a", "b", "c", "", "d"}},
        {"delete the second", kRowDelete, 1, kRowOpDone, {"a", "c", "d"}},
        {"delete the last", kRowDelete, 3, kRowOpDone, {"a", "b", "c"}},
        {"title row", kRowTitle, 2, kRowOpDone, {"a", "b", "T:c", "d"}},
        {"a row past the shown ones", kRowDelete, 4, -1, {"a", "b", "c", "d"}},
        {"an unknown operation", 5, 1, -1, {"a", "b", "c", "d"}},
        {"a negative row", kRowInsert, -1, -1, {"a", "b", "c", "d"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        db.Reset();
        db.CopyTrimmedName(dir.path());
        Fill(start);
        EXPECT_EQ(db.EditSizeRow(c.op, c.row), c.result);
        EXPECT_EQ(Kinds(), c.after);
        EXPECT_EQ(db.GetSizeCount(), static_cast<int>(c.after.size()));
    }
}

TEST_F(ChartFixture, DeleteClearsTheVacatedRowAndFreesTheTexts) {
    Fill({"a", "b"});
    ASSERT_EQ(db.ToggleSizeFlag(1, kCharSex), 'W');
    ASSERT_EQ(db.EditSizeRow(kRowDelete, 0), kRowOpDone);
    EXPECT_EQ(db.GetStoredRowCount(), 1);
    EXPECT_EQ(db.GetSizeChar(0, kCharSex), 'W');  // "b" moved up
    // The row left behind is a new row again: appending there starts clean.
    ASSERT_EQ(db.SetSizeField(1, 8, "x"), 1);
    EXPECT_EQ(db.GetSizeChar(1, kCharSex), 'M');
    EXPECT_EQ(db.GetSizeField(1, 1), "");
    EXPECT_EQ(db.GetSlot(0).length, 0);  // "胸围:80" was freed
}

TEST_F(ChartFixture, InsertIntoAFullChartFails) {
    for (int r = 0; r < kMaxSizeRows; ++r) ASSERT_EQ(db.SetSizeField(r, 8, "x"), 1);
    EXPECT_EQ(db.GetStoredRowCount(), 200);
    EXPECT_EQ(db.EditSizeRow(kRowInsert, 199), -1);
    EXPECT_EQ(db.SetSizeField(200, 8, "x"), 0);
}

TEST_F(ChartFixture, AFullPoolKeepsTheOldTextAndSaysSo) {
    ASSERT_EQ(db.SetSizeField(0, 8, "胸围:88"), 1);
    ASSERT_EQ(db.SetSizeField(0, 9, "old note"), 0);
    // Fill the pool with texts of 250 bytes until no more fit.
    while (db.StoreText(std::string(250, 'z'), 250) >= 0) {
    }
    EXPECT_EQ(db.SetSizeField(0, 9, std::string(249, 'n')), -1);
    EXPECT_EQ(db.GetSizeField(0, 9), "old note");
    EXPECT_EQ(db.SetSizeField(1, 8, std::string(249, 'n')), -1);  // no row appended either
    EXPECT_EQ(db.GetStoredRowCount(), 1);
    // A text that fits the freed slot of the note still goes in.
    EXPECT_EQ(db.SetSizeField(0, 9, "new"), 0);
    EXPECT_EQ(db.GetSizeField(0, 9), "new");
}

TEST_F(ChartFixture, TogglesCycleSexAndSizeDigit) {
    Fill({"a"});
    const char digits[] = {'2', '3', '4', '5', '1', '2'};
    for (char d : digits) EXPECT_EQ(db.ToggleSizeFlag(0, kCharDigit), d);
    EXPECT_EQ(db.ToggleSizeFlag(0, kCharSex), 'W');
    EXPECT_EQ(db.ToggleSizeFlag(0, kCharSex), 'M');
    EXPECT_EQ(db.ToggleSizeFlag(1, kCharSex), ' ');  // beyond the rows
    EXPECT_EQ(db.ToggleSizeFlag(0, 3), ' ');
}

TEST_F(ChartFixture, FileUntouchedWhenNothingChangedAndRoundTripsOtherwise) {
    const auto file = db.SizeFile();
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(ReadAll(file).size(), 28u);
    const auto stamp = std::filesystem::last_write_time(file);
    EXPECT_TRUE(db.SaveSizes());
    EXPECT_EQ(std::filesystem::last_write_time(file), stamp);

    Fill({"恤衫M", "女上装"});
    ASSERT_EQ(db.SetSizeField(1, 2, "160/84A"), 0);
    ASSERT_TRUE(db.SaveSizes());
    EXPECT_FALSE(db.dirty());
    CSizeDatabase again;
    again.CopyTrimmedName(dir.path());
    ASSERT_EQ(again.LoadSizes(), LoadResult::Loaded);
    EXPECT_EQ(again.GetSizeCount(), 2);
    EXPECT_EQ(again.GetSizeField(1, 2), "160/84A");
    EXPECT_EQ(again.GetSizeField(0, 8), "胸围:80");
    EXPECT_EQ(again.SizeFileBytes(), ReadAll(file));
}

TEST_F(ChartFixture, HostileChartFilesAreRefusedAndLeftAlone) {
    auto header = [](std::int32_t rows, std::int32_t slots, std::int32_t pool) {
        std::vector<unsigned char> b(28, ' ');
        platform::RecordWriter w(b);
        w.I32(4, rows);
        w.I32(8, slots);
        w.I32(12, pool);
        return b;
    };
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
    };
    std::vector<Case> cases = {
        {"short header", std::vector<unsigned char>(20, 0)},
        {"rows above 200", header(201, 0, 0)},
        {"slots above 1800", header(0, 1801, 0)},
        {"pool at 38000", header(0, 0, 38000)},
        {"negative rows", header(-1, 0, 0)},
        {"rows announced, not there", header(3, 0, 0)},
    };
    auto cut = header(0, 0, 4);
    cut.insert(cut.end(), {'a', 'b', 'c'});
    cases.push_back({"pool cut short", cut});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto file = db.SizeFile();
        dir.write(file.lexically_relative(dir.path()), c.bytes);
        {
            CSizeDatabase d;
            d.CopyTrimmedName(dir.path());
            EXPECT_EQ(d.LoadSizes(), LoadResult::Rejected);
            EXPECT_EQ(d.GetSizeCount(), 0);
            EXPECT_TRUE(d.sizeFileKept());
            // The chart takes no edit, and neither a save nor the exit
            // writes over the file.
            EXPECT_EQ(d.SetSizeField(0, 8, "胸围:90"), -1);
            EXPECT_EQ(d.GetStoredRowCount(), 0);
            EXPECT_FALSE(d.dirty());
            EXPECT_FALSE(d.SaveSizes());
        }
        EXPECT_EQ(ReadAll(file), c.bytes);
    }
}

// Something that cannot be read standing where the chart's file should be
// (a folder, a link to nothing) is kept, not taken for a missing file.
TEST_F(ChartFixture, AnUnreadableThingAtTheChartsPathIsKept) {
    const auto file = db.SizeFile();
    for (const bool folder : {true, false}) {
        SCOPED_TRACE(folder ? "folder" : "broken link");
        std::filesystem::remove_all(file);
        if (folder)
            std::filesystem::create_directories(file);
        else
            std::filesystem::create_symlink(dir.path() / "gone.cd3", file);
        CSizeDatabase d;
        d.CopyTrimmedName(dir.path());
        EXPECT_EQ(d.LoadSizes(), LoadResult::Missing);
        EXPECT_TRUE(d.sizeFileKept());
        EXPECT_STREQ(d.chartKeptText(), kTextChartUnreadable);
        EXPECT_EQ(d.SetSizeField(0, 8, "胸围:90"), -1);
        EXPECT_FALSE(d.SaveSizes());
        EXPECT_EQ(std::filesystem::is_directory(file), folder);
        EXPECT_EQ(std::filesystem::is_symlink(file), !folder);
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "gone.cd3"));
    }
}

TEST_F(ChartFixture, BytesAfterThePoolAreIgnored) {
    Fill({"恤衫M", "女上装"});
    auto bytes = db.SizeFileBytes();
    bytes.push_back('x');
    dir.write(db.SizeFile().lexically_relative(dir.path()), bytes);
    CSizeDatabase d;
    d.CopyTrimmedName(dir.path());
    ASSERT_EQ(d.LoadSizes(), LoadResult::Loaded);
    EXPECT_FALSE(d.sizeFileKept());
    EXPECT_EQ(d.GetSizeCount(), 2);
    EXPECT_EQ(d.GetSizeField(1, 1), "女上装");
}

TEST_F(ChartFixture, ANewChartReplacesAKeptFileOnlyWhenTheUserStartsOne) {
    const std::vector<unsigned char> damaged = {' ', ' ', ' ', ' ', 5, 0, 0, 0};
    const auto file = db.SizeFile();
    dir.write(file.lexically_relative(dir.path()), damaged);
    CSizeDatabase d;
    d.CopyTrimmedName(dir.path());
    ASSERT_EQ(d.LoadSizes(), LoadResult::Rejected);
    d.StartNewChart();
    EXPECT_FALSE(d.sizeFileKept());
    ASSERT_EQ(d.SetSizeField(0, 8, "胸围:90"), 1);
    ASSERT_TRUE(d.SaveSizes());
    CSizeDatabase again;
    again.CopyTrimmedName(dir.path());
    ASSERT_EQ(again.LoadSizes(), LoadResult::Loaded);
    EXPECT_EQ(again.GetSizeField(0, 8), "胸围:90");
}

TEST_F(ChartFixture, SlotsPointingPastThePoolReadBounded) {
    // One row whose kind text sits at the pool's last bytes with a length
    // that would run past it.
    std::vector<unsigned char> b(28, ' ');
    platform::RecordWriter(b).I32(4, 1);
    platform::RecordWriter(b).I32(8, 1);
    platform::RecordWriter(b).I32(12, 0);
    std::vector<unsigned char> row(48, 0);
    platform::RecordWriter rw(row);
    rw.Char(0, ' ');
    for (int i = 0; i < 10; ++i) rw.I32(8 + 4 * i, -1);
    rw.I32(8, 0);  // field 1 -> slot 0
    b.insert(b.end(), row.begin(), row.end());
    std::vector<unsigned char> slot(12, 0);
    platform::RecordWriter sw(slot);
    sw.I32(0, 37990);
    sw.I32(4, 200);
    sw.I32(8, 200);
    b.insert(b.end(), slot.begin(), slot.end());
    dir.write(db.SizeFile().lexically_relative(dir.path()), b);
    CSizeDatabase d;
    d.CopyTrimmedName(dir.path());
    ASSERT_EQ(d.LoadSizes(), LoadResult::Loaded);
    EXPECT_EQ(d.GetSizeField(0, 1), std::string(10, ' '));
}

TEST_F(ChartFixture, EditsUnderAFilterReachOnlyShownRows) {
    Fill({"a", "b", "c"});
    // Show only rows 2 and 0, as a match leaves it.
    ASSERT_EQ(db.SetSizeField(1, 8, "身高:999-1000"), 0);
    ASSERT_EQ(db.SetSizeField(0, 8, "身高:150-200"), 0);
    ASSERT_EQ(db.SetSizeField(2, 8, "身高:150-200"), 0);
    const std::string texts[2] = {"p", "M"};
    std::int32_t values[kFormValues];
    for (auto& v : values) v = -1;
    values[0] = 17000;
    std::filesystem::create_directories(DataFolder(dir.path()));
    db.LoadBodies();
    ASSERT_EQ(db.AddBody(texts, values, kFormValues), StoreResult::Stored);
    std::string t[2];
    db.GetBody(0, t, values, kFormValues);
    ASSERT_EQ(db.MatchSizes(), 2);
    EXPECT_EQ(db.GetSizeField(1, 1), "c");
    EXPECT_EQ(db.GetSizeField(2, 1), "");   // past the shown rows: nothing
    EXPECT_EQ(db.SetSizeField(2, 1, "x"), 0);
    EXPECT_EQ(db.SetSizeField(2, 8, "x"), 0);
    EXPECT_EQ(db.EditSizeRow(kRowDelete, 2), -1);
    EXPECT_EQ(db.ToggleSizeFlag(2, kCharSex), ' ');
    EXPECT_EQ(db.GetStoredRowCount(), 3);
    EXPECT_EQ(db.GetSizeField(1, 1), "c");
    ASSERT_EQ(db.SetSizeField(1, 9, "shown row edited"), 0);
    db.ResetFilter(kRowTitle);
    EXPECT_EQ(db.GetSizeField(2, 9), "shown row edited");
    EXPECT_EQ(db.GetSizeChar(2, kCharMark), ' ');
    EXPECT_EQ(db.GetSizeField(1, 9), "");
}

}  // namespace
