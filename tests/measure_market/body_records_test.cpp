// Body records: the ".by3" file made, read and written, its limits, and
// hostile files that must neither overrun the table nor be overwritten.
#include <filesystem>
#include <gtest/gtest.h>

#include "measure_market/measure_data.h"
#include "measure_market/size_database.h"
#include "platform/record.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace measure;
using testsupport::ReadAll;
using testsupport::TempDir;

struct BodyFixture : ::testing::Test {
    TempDir dir;
    CSizeDatabase db;
    std::filesystem::path file;
    void SetUp() override {
        std::filesystem::create_directories(DataFolder(dir.path()));
        db.CopyTrimmedName(dir.path());
        file = db.BodyFile();
    }
    StoreResult Add(const std::string& name, char sex, std::int32_t first = 17000) {
        const std::string texts[2] = {name, std::string(1, sex)};
        std::int32_t values[kFormValues];
        for (int i = 0; i < kFormValues; ++i) values[i] = first + i;
        return db.AddBody(texts, values, kFormValues);
    }
};

TEST_F(BodyFixture, MissingFileGivesAnEmptyTableAndANewHeader) {
    EXPECT_EQ(db.LoadBodies(), LoadResult::Created);
    EXPECT_EQ(db.GetBodyCount(), 0);
    const auto bytes = ReadAll(file);
    ASSERT_EQ(bytes.size(), 52u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 26), std::string(26, ' '));
    EXPECT_EQ(platform::RecordReader(bytes).I32(28), 0);
}

TEST_F(BodyFixture, BaseDirectoryWithBlanksIsKeptAsItIs) {
    TempDir other;
    const auto base = other.path() / "my shop  data";
    std::filesystem::create_directories(base);
    CSizeDatabase d;
    d.CopyTrimmedName(base);
    EXPECT_EQ(d.LoadBodies(), LoadResult::Created);
    EXPECT_TRUE(std::filesystem::exists(base / "人体测量图片及数据" / "人体测量记录表.by3"));
}

TEST_F(BodyFixture, AddGetUpdateRoundTrip) {
    db.LoadBodies();
    ASSERT_EQ(Add("张三", 'M'), StoreResult::Stored);
    ASSERT_EQ(Add("李四丽", 'W', 9000), StoreResult::Stored);
    CSizeDatabase again;
    again.CopyTrimmedName(dir.path());
    ASSERT_EQ(again.LoadBodies(), LoadResult::Loaded);
    ASSERT_EQ(again.GetBodyCount(), 2);
    std::string texts[2];
    std::int32_t values[kFormValues];
    ASSERT_EQ(again.GetBody(1, texts, values, kFormValues), 1);
    EXPECT_EQ(texts[0], "李四丽");
    EXPECT_EQ(texts[1], "W");
    EXPECT_EQ(values[0], 9000);
    EXPECT_EQ(values[38], 9038);
    EXPECT_EQ(again.BodyValue(1, 39), -1);  // never written by the form
    EXPECT_EQ(again.selectedBody(), 1);

    const std::string changed[2] = {"李四丽", "W"};
    values[9] = 8800;
    ASSERT_EQ(again.UpdateBody(1, changed, values, kFormValues), StoreResult::Stored);
    EXPECT_EQ(again.UpdateBody(2, changed, values, kFormValues), StoreResult::BadIndex);
    CSizeDatabase third;
    third.CopyTrimmedName(dir.path());
    third.LoadBodies();
    EXPECT_EQ(third.BodyValue(1, 9), 8800);
    EXPECT_EQ(third.GetBodyName(0), "张三");
    EXPECT_EQ(third.GetBodyName(5), "");
}

TEST_F(BodyFixture, NamesAreCutAt25BytesOnACharacterBoundary) {
    db.LoadBodies();
    Add(std::string(30, 'a'), 'M');
    Add("一二三四五六七八九十一二三四", 'W');  // 28 GBK bytes: 12 characters fit
    EXPECT_EQ(db.GetBodyName(0), std::string(25, 'a'));
    EXPECT_EQ(db.GetBodyName(1), "一二三四五六七八九十一二");
    EXPECT_EQ(db.bodyRecord(1)[17 + 24], 0);  // the 25th byte would split a character
}

TEST_F(BodyFixture, TheFortyFirstRecordIsRefused) {
    db.LoadBodies();
    for (int i = 0; i < 40; ++i) ASSERT_EQ(Add("p" + std::to_string(i), 'M'), StoreResult::Stored);
    EXPECT_EQ(Add("extra", 'M'), StoreResult::TableFull);
    EXPECT_EQ(db.GetBodyCount(), 40);
    EXPECT_EQ(ReadAll(file).size(), 9492u);
}

TEST_F(BodyFixture, GetBodyWithABadIndexKeepsTheSelection) {
    db.LoadBodies();
    Add("a", 'M');
    Add("b", 'W');
    std::string texts[2];
    std::int32_t values[kFormValues];
    ASSERT_EQ(db.GetBody(1, texts, values, kFormValues), 1);
    EXPECT_EQ(db.GetBody(-1, texts, values, kFormValues), 0);
    EXPECT_EQ(db.GetBody(2, texts, values, kFormValues), 0);
    EXPECT_EQ(db.selectedBody(), 1);
}

TEST_F(BodyFixture, DamagedFilesAreKeptUntilTheUserStartsANewTable) {
    struct Case {
        const char* what;
        std::size_t size;
        std::int32_t count;
        int expectCount;
        LoadResult expect;
    };
    const Case cases[] = {
        {"bytes after the records", 52 + 2 * 236 + 7, 2, 2, LoadResult::Loaded},
        {"header cut short", 30, 0, 0, LoadResult::Rejected},
        {"count above 40", 52 + 40 * 236, 1000, 0, LoadResult::Rejected},
        {"negative count", 52 + 236, -5, 0, LoadResult::Rejected},
        {"fewer records than counted", 52 + 236 + 100, 3, 0, LoadResult::Rejected},
        {"empty file", 0, 0, 0, LoadResult::Rejected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<unsigned char> bytes(c.size, 0x41);
        if (c.size >= 32) platform::RecordWriter(bytes).I32(28, c.count);
        dir.write(file.lexically_relative(dir.path()), bytes);
        CSizeDatabase d;
        d.CopyTrimmedName(dir.path());
        EXPECT_EQ(d.LoadBodies(), c.expect);
        EXPECT_EQ(d.GetBodyCount(), c.expectCount);
        EXPECT_EQ(ReadAll(file), bytes);  // reading never writes
        std::string texts[2] = {"new", "W"};
        std::int32_t values[kFormValues] = {};
        if (c.expect == LoadResult::Loaded) {
            EXPECT_FALSE(d.bodyFileKept());
            EXPECT_EQ(d.GetBody(c.expectCount - 1, texts, values, kFormValues), 1);
            EXPECT_EQ(texts[0].size(), 25u);  // no terminator in the file: bounded by the field
            continue;
        }
        // Nothing the form does writes over the damaged file ...
        EXPECT_TRUE(d.bodyFileKept());
        EXPECT_EQ(d.AddBody(texts, values, kFormValues), StoreResult::FileKept);
        EXPECT_EQ(d.UpdateBody(0, texts, values, kFormValues), StoreResult::FileKept);
        EXPECT_FALSE(d.SaveBodies());
        EXPECT_EQ(d.GetBodyCount(), 0);
        EXPECT_EQ(ReadAll(file), bytes);
        // ... until the user chooses a new table.
        d.StartNewBodies();
        ASSERT_EQ(d.AddBody(texts, values, kFormValues), StoreResult::Stored);
        EXPECT_EQ(ReadAll(file).size(), 52u + 236u);
    }
}

TEST_F(BodyFixture, AFailedWriteIsReportedAndTakenBack) {
    db.LoadBodies();
    ASSERT_EQ(Add("kept", 'M'), StoreResult::Stored);
    const auto before = ReadAll(file);
    // The data folder replaced by a plain file: nothing can be written below it.
    const auto folder = DataFolder(dir.path());
    std::filesystem::rename(folder, dir / "saved");
    dir.write("人体测量图片及数据", std::string("not a folder"));
    EXPECT_EQ(Add("lost", 'W'), StoreResult::WriteFailed);
    EXPECT_EQ(db.GetBodyCount(), 1);
    EXPECT_FALSE(db.lastError().empty());
    const std::string texts[2] = {"renamed", "W"};
    std::int32_t values[kFormValues] = {};
    EXPECT_EQ(db.UpdateBody(0, texts, values, kFormValues), StoreResult::WriteFailed);
    EXPECT_EQ(db.GetBodyName(0), "kept");
    std::filesystem::remove(folder);
    std::filesystem::rename(dir / "saved", folder);
    EXPECT_EQ(ReadAll(file), before);
    ASSERT_EQ(Add("later", 'W'), StoreResult::Stored);
    EXPECT_EQ(ReadAll(file).size(), 52u + 2 * 236u);
}

}  // namespace
