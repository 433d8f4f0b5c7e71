// The order file: its bytes read back by a reader written from the file's
// column table alone, the column layout's overlaps (never splitting a
// character), and writing: the folder, the question before replacing, bad
// order numbers and write failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "measure_market/order_file.h"
#include "platform/text.h"
#include "tests/support/temp_dir.h"

using namespace measure_market;
namespace fs = std::filesystem;

namespace {

std::string G(std::string_view utf8) { return *platform::Utf8ToGbk(utf8); }
std::string U(std::string_view gbk) { return platform::GbkToUtf8(gbk); }

std::string Trim(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return s.substr(i);
}

// An order file as its columns say, read from the bytes with no help from
// the writer.
struct ReadRow {
    std::string no, code, name, price, quantity, unit, amount, size, colour;
};
struct ReadOrder {
    std::vector<std::string> lines;  // GBK, without CR LF
    std::string orderNo, orderer, contact;
    std::vector<ReadRow> rows;
    bool hasTotal = false;
    std::string totalQuantity, totalAmount;
};

std::string Field(const std::string& line, std::size_t from, std::size_t to) {
    return Trim(U(line.substr(from, to - from)));
}

ReadOrder ReadBack(const std::string& bytes) {
    ReadOrder r;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
        if (end == std::string::npos) break;
        r.lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    const std::string rule(100, '-');
    EXPECT_GE(r.lines.size(), 2u);
    if (r.lines.size() < 2) return r;
    const std::string& h = r.lines[0];
    EXPECT_EQ(h.size(), 135u);
    EXPECT_EQ(h.substr(0, 7), G("定单号:"));
    EXPECT_EQ(h.substr(30, 7), G("定货人:"));
    EXPECT_EQ(h.substr(55, 9), G("联系方式:"));
    r.orderNo = Field(h, 7, 30);
    r.orderer = Field(h, 37, 55);
    r.contact = Field(h, 64, 135);
    EXPECT_EQ(r.lines[1], rule);
    if (r.lines.size() == 2) return r;
    EXPECT_EQ(r.lines[2].size(), 92u);
    EXPECT_EQ(r.lines[2].substr(0, 5), G(" 序号"));
    EXPECT_EQ(r.lines[2].substr(6, 15), G("  货 品 代 号  "));
    EXPECT_EQ(r.lines[2].substr(81, 4), G("尺码"));
    EXPECT_EQ(r.lines[3], rule);
    std::size_t i = 4;
    for (; i < r.lines.size() && r.lines[i] != rule; ++i) {
        const std::string& l = r.lines[i];
        EXPECT_EQ(l.size(), 94u);
        r.rows.push_back({Field(l, 0, 8), Field(l, 8, 21), Field(l, 21, 50), Field(l, 50, 59), Field(l, 59, 68),
                          Field(l, 68, 74), Field(l, 74, 83), Field(l, 83, 88), Field(l, 88, 94)});
    }
    if (i < r.lines.size()) {
        EXPECT_EQ(i + 2, r.lines.size());
        const std::string& t = r.lines.at(i + 1);
        EXPECT_EQ(t.size(), 81u);
        EXPECT_EQ(t.substr(19, 15), G("  合 计 金 额  "));
        EXPECT_EQ(t.substr(48, 5), G("数量:"));
        EXPECT_EQ(t.substr(66, 5), G("金额:"));
        r.hasTotal = true;
        r.totalQuantity = Field(t, 53, 66);
        r.totalAmount = Field(t, 71, 81);
    }
    return r;
}

OrderLineInput Line(std::string code, std::string name, std::string price, std::string quantity) {
    OrderLineInput in;
    in.code = std::move(code);
    in.name = std::move(name);
    in.price = std::move(price);
    in.quantity = std::move(quantity);
    in.unit = "件";
    in.size = "M";
    in.colour = "红色";
    return in;
}

TEST(OrderFileText, WithoutLinesHoldsTheHeaderAndOneRule) {
    OrderTable t;
    const std::string bytes = BuildOrderFileText(t, "2010A_001", "张三", "13800000000");
    EXPECT_EQ(bytes.size(), 135u + 2 + 100 + 2);
    const ReadOrder r = ReadBack(bytes);
    EXPECT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.orderNo, "2010A_001");
    EXPECT_EQ(r.orderer, "张三");
    EXPECT_EQ(r.contact, "13800000000");
}

TEST(OrderFileText, ColumnsHoldTheLinesAndTheTotal) {
    OrderTable t;
    t.AddLine(Line("W-1001", "白色棉衬衫", "12.50", "3"), 'W', "");
    t.AddLine(Line("W-2002", "藏青百褶裙", "50", "2"), 'W', "");
    const ReadOrder r = ReadBack(BuildOrderFileText(t, "2010A_001", "李四", "店内"));
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0].no, "1");
    EXPECT_EQ(r.rows[0].code, "W-1001");
    EXPECT_EQ(r.rows[0].name, "白色棉衬衫");
    EXPECT_EQ(r.rows[0].price, "12.50");
    EXPECT_EQ(r.rows[0].quantity, "3");
    EXPECT_EQ(r.rows[0].unit, "件");
    EXPECT_EQ(r.rows[0].amount, "37.50");
    EXPECT_EQ(r.rows[0].size, "M");
    EXPECT_EQ(r.rows[0].colour, "红色");
    EXPECT_EQ(r.rows[1].no, "2");
    EXPECT_EQ(r.rows[1].amount, "100.00");
    ASSERT_TRUE(r.hasTotal);
    EXPECT_EQ(r.totalQuantity, "5");
    EXPECT_EQ(r.totalAmount, "137.50");
}

TEST(OrderFileText, ALineIsPlacedByteForByte) {
    OrderTable t;
    OrderLineInput in = Line("A1", "Shirt", "12.50", "3");
    in.unit = "pc";
    in.colour = "red";
    t.AddLine(in, 'M', "");
    const ReadOrder r = ReadBack(BuildOrderFileText(t, "n", "", ""));
    ASSERT_GE(r.lines.size(), 5u);
    const std::string expected = "  1" + std::string(5, ' ') + "A1" + std::string(11, ' ') + "Shirt" +
                                 std::string(24, ' ') + "12.50" + std::string(4, ' ') + "3" + std::string(8, ' ') +
                                 "pc" + std::string(4, ' ') + "37.50" + std::string(4, ' ') + "M" +
                                 std::string(4, ' ') + "red" + std::string(3, ' ');
    EXPECT_EQ(r.lines[4], expected);
}

TEST(OrderFileText, LaterColumnsOverwriteWithoutSplittingACharacter) {
    OrderTable t;
    t.AddLine(Line("A", std::string(35, 'N'), "9", "1"), 'M', "");
    // 15 characters from column 21 reach column 51: the one on 49-50 is cut
    // by the price at 50.
    t.AddLine(Line("B", "名名名名名名名名名名名名名名名", "8", "1"), 'M', "");
    const std::string contact = "联系方式很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长";  // 76 bytes
    const ReadOrder r = ReadBack(BuildOrderFileText(t, "x", "", contact));
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.lines[4].substr(21, 29), std::string(29, 'N'));
    EXPECT_EQ(r.lines[4].substr(50, 1), "9");
    const std::string& second = r.lines[5];
    EXPECT_EQ(second.substr(21, 28), G("名名名名名名名名名名名名名名"));
    EXPECT_EQ(second[49], ' ');
    EXPECT_EQ(second.substr(50, 1), "8");
    // The header cuts the contact at its end on a character boundary.
    EXPECT_EQ(r.lines[0].size(), 135u);
    EXPECT_EQ(r.lines[0][134], ' ');
    EXPECT_EQ(r.contact, U(G(contact).substr(0, 70)));
    for (const std::string& l : r.lines) EXPECT_EQ(U(l).find('?'), std::string::npos) << U(l);
}

TEST(OrderTextLine, AnOverwriteInsideACharacterBlanksItsOtherHalf) {
    OrderTextLine l(10);
    l.Put(0, G("一二三"), {});  // bytes 0-5
    l.Put(3, "ab", {});         // starts in the second character's trail, ends in the third's lead
    EXPECT_EQ(l.bytes(), G("一") + " ab" + "     ");
    l.Put(8, G("四"), {});  // fits exactly
    EXPECT_EQ(l.bytes().substr(8), G("四"));
    l.Put(9, G("五"), {});  // would pass the end: nothing is written
    EXPECT_EQ(l.bytes().substr(8), G("四"));
}

TEST(OrderNumber, OnlyPlainFileNames) {
    for (const char* good : {"2010A_001", "定单-3", "a.b"}) EXPECT_TRUE(IsPlainOrderNumber(good)) << good;
    for (const char* bad : {"", ".", "..", "../x", "a/b", "a\\b", " x", "x ", ".hidden", "x\ny", "\x7f"})
        EXPECT_FALSE(IsPlainOrderNumber(bad)) << bad;
    EXPECT_FALSE(IsPlainOrderNumber("😀"));  // no GBK form
}

struct Recorder {
    std::vector<platform::MessageRequest> shown;
    std::vector<platform::MbResult> answers;
    platform::MessageSink sink() {
        return [this](const platform::MessageRequest& r) {
            shown.push_back(r);
            if (answers.empty()) return platform::MbResult::Ok;
            const auto a = answers.front();
            answers.erase(answers.begin());
            return a;
        };
    }
};

std::string FileBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(OrderFileWrite, WritesReadsBackAndAsksBeforeReplacing) {
    testsupport::TempDir base;
    OrderTable t;
    t.AddLine(Line("W-1001", "白色棉衬衫", "12.50", "3"), 'W', "");
    t.AddLine(Line("W-2002", "藏青百褶裙", "19.99", "7"), 'W', "");
    Recorder rec;
    ASSERT_EQ(WriteOrderFile(t, base.path(), "2010A_001", "李四", "店内", rec.sink()), OrderWriteResult::Written);
    EXPECT_TRUE(rec.shown.empty());
    const fs::path file = base / "定单数据表保存区" / "2010A_001.of3";
    const std::string bytes = FileBytes(file);
    EXPECT_EQ(bytes, BuildOrderFileText(t, "2010A_001", "李四", "店内"));

    // Read back: the rows' amounts add up to the total line, to the cent.
    const ReadOrder r = ReadBack(bytes);
    ASSERT_EQ(r.rows.size(), 2u);
    std::int64_t sum = 0, quantity = 0;
    for (const ReadRow& row : r.rows) {
        sum += ParseCents(row.amount);
        quantity += ParseCount(row.quantity);
        EXPECT_EQ(ParseCents(row.amount), ParseCount(row.quantity) * ParseCents(row.price));
    }
    EXPECT_EQ(sum, 17743);  // 37.50 + 139.93
    EXPECT_EQ(r.totalAmount, "177.43");
    EXPECT_EQ(ParseCents(r.totalAmount), sum);
    EXPECT_EQ(ParseCount(r.totalQuantity), quantity);
    EXPECT_EQ(ListOrderTitles(base.path()), std::vector<std::string>{"2010A_001"});
    EXPECT_EQ(ReadOrderText(file), U(bytes));

    // Again: the user keeps the old file, then replaces it.
    t.DeleteLine(0);
    rec.answers = {platform::MbResult::No};
    EXPECT_EQ(WriteOrderFile(t, base.path(), "2010A_001", "李四", "店内", rec.sink()), OrderWriteResult::Declined);
    ASSERT_EQ(rec.shown.size(), 1u);
    EXPECT_EQ(rec.shown[0].buttons, platform::MbButtons::YesNo);
    EXPECT_EQ(rec.shown[0].caption, "Lumora服饰搭配软件");
    EXPECT_EQ(FileBytes(file), bytes);
    rec.answers = {platform::MbResult::Yes};
    EXPECT_EQ(WriteOrderFile(t, base.path(), "2010A_001", "李四", "店内", rec.sink()), OrderWriteResult::Written);
    EXPECT_EQ(ReadBack(FileBytes(file)).totalAmount, "139.93");
    // Nothing but the order file in the folder (no temporary left behind).
    int files = 0;
    for (const auto& e : fs::directory_iterator(base / "定单数据表保存区")) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

// An order file whose name is a link (to a file beside it or outside the
// base), or that has a second name, is replaced in the file itself: the link
// stays and every name reads the new order.
TEST(OrderFileWrite, ReplacesTheFileBehindLinksAndSecondNames) {
    testsupport::TempDir base, outside;
    OrderTable t;
    t.AddLine(Line("W-1001", "白色棉衬衫", "12.50", "3"), 'W', "");
    const fs::path folder = base / "定单数据表保存区";
    fs::create_directories(folder);
    base.write("定单数据表保存区/real.of3", std::string("old order"));
    outside.write("客户定单.of3", std::string("old order"));
    fs::create_symlink("real.of3", folder / "2010A_001.of3");
    fs::create_symlink(outside / "客户定单.of3", folder / "2010A_002.of3");
    base.write("定单数据表保存区/2010A_003.of3", std::string("old order"));
    fs::create_hard_link(folder / "2010A_003.of3", folder / "备份.of3");
    struct Case {
        const char* orderNo;
        fs::path file;  // what must hold the new order
    } cases[] = {
        {"2010A_001", folder / "real.of3"},
        {"2010A_002", outside / "客户定单.of3"},
        {"2010A_003", folder / "备份.of3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orderNo);
        Recorder rec;
        rec.answers = {platform::MbResult::Yes};
        ASSERT_EQ(WriteOrderFile(t, base.path(), c.orderNo, "李四", "店内", rec.sink()), OrderWriteResult::Written);
        const std::string expected = BuildOrderFileText(t, c.orderNo, "李四", "店内");
        EXPECT_EQ(FileBytes(c.file), expected);
        EXPECT_EQ(FileBytes(folder / (std::string(c.orderNo) + ".of3")), expected);
    }
    EXPECT_TRUE(fs::is_symlink(folder / "2010A_001.of3"));
    EXPECT_TRUE(fs::is_symlink(folder / "2010A_002.of3"));
    EXPECT_EQ(fs::hard_link_count(folder / "备份.of3"), 2u);
}

TEST(OrderFileWrite, RefusalsAndFailuresAreReported) {
    testsupport::TempDir base;
    OrderTable t;
    t.AddLine(Line("A", "a", "1", "1"), 'M', "");
    Recorder rec;
    EXPECT_EQ(WriteOrderFile(t, base.path(), "", "", "", rec.sink()), OrderWriteResult::BadOrderNumber);
    EXPECT_EQ(WriteOrderFile(t, base.path(), "../escape", "", "", rec.sink()), OrderWriteResult::BadOrderNumber);
    EXPECT_FALSE(fs::exists(base / "escape.of3"));
    ASSERT_EQ(rec.shown.size(), 2u);

    // The order folder's name is taken by a file.
    base.write("定单数据表保存区", std::string("x"));
    EXPECT_EQ(WriteOrderFile(t, base.path(), "A1", "", "", rec.sink()), OrderWriteResult::FolderFailed);
    ASSERT_EQ(rec.shown.size(), 3u);
    EXPECT_EQ(rec.shown[2].text.rfind(" 建 A1 定单表失败 !", 0), 0u);
    fs::remove(base / "定单数据表保存区");

    // The order file's name is taken by a folder: the user says replace, the
    // write fails and says so.
    fs::create_directories(base / "定单数据表保存区" / "A1.of3" / "inside");
    rec.answers = {platform::MbResult::Yes};
    EXPECT_EQ(WriteOrderFile(t, base.path(), "A1", "", "", rec.sink()), OrderWriteResult::WriteFailed);
    ASSERT_EQ(rec.shown.size(), 5u);
    EXPECT_EQ(rec.shown[4].text.rfind(" 建 A1 定单表失败 !", 0), 0u);
    EXPECT_TRUE(fs::is_directory(base / "定单数据表保存区" / "A1.of3" / "inside"));
}

TEST(OrderFileList, TitlesInNameOrderUpToSixtyOne) {
    testsupport::TempDir base;
    EXPECT_TRUE(ListOrderTitles(base.path()).empty());
    for (int i = 70; i > 0; --i) base.write(fs::path("定单数据表保存区") / ("B" + std::to_string(100 + i) + ".of3"), "x");
    base.write("定单数据表保存区/A.txt", std::string("x"));
    base.write("定单数据表保存区/Upper.OF3", std::string("x"));
    const auto titles = ListOrderTitles(base.path());
    ASSERT_EQ(titles.size(), 61u);
    EXPECT_EQ(titles.front(), "B101");
    EXPECT_EQ(titles.back(), "B161");
    base.write("定单数据表保存区/empty.of3", std::string());
    EXPECT_FALSE(ReadOrderText(base / "定单数据表保存区" / "empty.of3"));
    EXPECT_FALSE(ReadOrderText(base / "定单数据表保存区" / "missing.of3"));
}

}  // namespace
