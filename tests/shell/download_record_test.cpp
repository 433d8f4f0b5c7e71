// The download request record between its two sides: the client's request
// writer and result reader, the module's request reader and result writer,
// each with an object of its own, as in the two deliverables.
#include "shell/download_record.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/project_editor/byte_builder.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testsupport::ReadAll;
using testsupport::TempDir;

namespace {

fs::path RecordPath(const TempDir& tmp) { return tmp / "服饰搭配下载专区" / "fittoraDLoadRec.3if"; }

std::string Field(const std::vector<unsigned char>& b, std::size_t off, std::size_t len) {
    return std::string(b.begin() + static_cast<std::ptrdiff_t>(off), b.begin() + static_cast<std::ptrdiff_t>(off + len));
}

TEST(DownloadRecord, RequestAndResultTravelBetweenTheTwoSides) {
    TempDir tmp;
    shell::CDLoadRecord client, module;
    client.SetDirectory(tmp.path());
    module.SetDirectory(tmp.path());

    // The download folder is made for the request.
    ASSERT_EQ(client.WriteRequest('B', "http://host/dressDLoad2010/FittoraProjLst.htm", "试衣项目下载"), 1);
    auto bytes = ReadAll(RecordPath(tmp));
    ASSERT_EQ(bytes.size(), 572u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], ' ');
    EXPECT_EQ(Field(bytes, 2, 6), "      ");
    EXPECT_EQ(Field(bytes, 8, 45), "http://host/dressDLoad2010/FittoraProjLst.htm");
    EXPECT_EQ(bytes[8 + 45], 0);
    EXPECT_EQ(Field(bytes, 274, 12), "\xCA\xD4\xD2\xC2\xCF\xEE\xC4\xBF\xCF\xC2\xD4\xD8");  // GBK of the title
    EXPECT_EQ(bytes[286], 0);
    EXPECT_EQ(bytes[340], 0);
    EXPECT_EQ(bytes[406], 0);

    // No result yet: the client reads back its own request.
    std::string name = "unchanged";
    EXPECT_FALSE(client.ReadResult(&name));
    EXPECT_EQ(name, "unchanged");

    std::string address, title;
    char kind = 0;
    ASSERT_TRUE(module.Read(&address, &title, &kind));
    EXPECT_EQ(address, "http://host/dressDLoad2010/FittoraProjLst.htm");
    EXPECT_EQ(title, "试衣项目下载");
    EXPECT_EQ(kind, 'B');
    ASSERT_TRUE(module.WriteResult("春装 2010.rar"));

    const auto after = ReadAll(RecordPath(tmp));
    EXPECT_EQ(after[1], 'Y');
    // Kind, address and title of the request stay as they were.
    EXPECT_EQ(Field(after, 0, 1), Field(bytes, 0, 1));
    EXPECT_EQ(Field(after, 2, 404), Field(bytes, 2, 404));
    ASSERT_TRUE(client.ReadResult(&name));
    EXPECT_EQ(name, "春装 2010.rar");

    // The next request clears the status again.
    ASSERT_EQ(client.WriteRequest('A', "http://host/dressDLoad2010/kzvTShowProjLst.htm", "T台秀下载"), 1);
    EXPECT_FALSE(client.ReadResult(&name));
}

TEST(DownloadRecord, TextsAreCutToTheirLimitsOnCharacterBoundaries) {
    TempDir tmp;
    shell::CDLoadRecord client;
    client.SetDirectory(tmp.path());
    const std::string a260(260, 'a');
    ASSERT_EQ(client.WriteRequest('B', a260, std::string(61, 't')), 1);
    auto b = ReadAll(RecordPath(tmp));
    EXPECT_EQ(Field(b, 8, 260), a260);
    EXPECT_EQ(b[268], 0);
    EXPECT_EQ(Field(b, 274, 60), std::string(60, 't'));
    EXPECT_EQ(b[334], 0);

    // 300 characters keep 260; a title of 31 Chinese characters (62 bytes)
    // keeps 30 of them rather than half of the 31st.
    std::string zh;
    for (int i = 0; i < 31; ++i) zh += "试";
    ASSERT_EQ(client.WriteRequest('B', std::string(300, 'b'), zh), 1);
    b = ReadAll(RecordPath(tmp));
    EXPECT_EQ(Field(b, 8, 260), std::string(260, 'b'));
    EXPECT_EQ(b[268], 0);
    EXPECT_EQ(b[274 + 60], 0);
    std::string title;
    shell::CDLoadRecord module;
    module.SetDirectory(tmp.path());
    ASSERT_TRUE(module.Read(nullptr, &title, nullptr));
    EXPECT_EQ(title, zh.substr(0, 30 * 3));

    // A result name longer than 160 bytes would name another file: refused.
    EXPECT_FALSE(module.WriteResult(std::string(161, 'n') + ".rar"));
    std::string name;
    EXPECT_FALSE(client.ReadResult(&name));
    ASSERT_TRUE(module.WriteResult(std::string(156, 'n') + ".rar"));
    ASSERT_TRUE(client.ReadResult(&name));
    EXPECT_EQ(name.size(), 160u);
}

TEST(DownloadRecord, MissingAndShortFiles) {
    TempDir tmp;
    shell::CDLoadRecord module;
    module.SetDirectory(tmp.path());
    std::string address = "kept";
    EXPECT_FALSE(module.Read(&address, nullptr, nullptr));
    EXPECT_EQ(address, "kept");

    // A file of only 20 bytes replaces only those: the title the object held
    // before stays.
    shell::CDLoadRecord client;
    client.SetDirectory(tmp.path());
    ASSERT_EQ(client.WriteRequest('B', "http://long-address/list.htm", "标题"), 1);
    std::string title;
    ASSERT_TRUE(module.Read(nullptr, &title, nullptr));
    testbytes::ByteBuilder shortFile(20);
    shortFile.U8(0, 'A').U8(1, ' ').Raw(8, "http://x");
    tmp.write(RecordPath(tmp).lexically_relative(tmp.path()), shortFile.bytes());
    char kind = 0;
    ASSERT_TRUE(module.Read(&address, &title, &kind));
    EXPECT_EQ(kind, 'A');
    EXPECT_EQ(address, "http://x");
    EXPECT_EQ(title, "标题");

    // No folder can be made where a file stands: the request is not written.
    TempDir blocked;
    blocked.write("服饰搭配下载专区", std::string("a file"));
    shell::CDLoadRecord blockedClient;
    blockedClient.SetDirectory(blocked.path());
    EXPECT_EQ(blockedClient.WriteRequest('B', "http://x/y", "t"), 0);
}

TEST(DownloadRecord, PlainFileNames) {
    struct Case {
        const char* gbk;
        std::size_t len;
        bool plain;
    } cases[] = {
        {"a.rar", 5, true},
        {"\xB4\xBA\xD7\xB0.rar", 8, true},   // 春装.rar
        {"\x81\x5C.rar", 6, true},           // a GBK character whose second byte is '\\'
        {"", 0, false},
        {".", 1, false},
        {"..", 2, false},
        {"../a.rar", 8, false},
        {"a/b.rar", 7, false},
        {"a\\b.rar", 7, false},
        {"a\tb", 3, false},
        {"a\x7F", 2, false},
        {"a\0b", 3, false},
        {"\xFF\xFF.rar", 6, false},          // no GBK
        {"\xB4", 1, false},                  // half a character
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.gbk, c.len));
        EXPECT_EQ(shell::PlainFileNameFromGbk(std::string_view(c.gbk, c.len)).has_value(), c.plain);
    }
    EXPECT_FALSE(shell::IsPlainFileName("😀.rar"));  // no GBK form
    EXPECT_EQ(shell::ListPageUrl("http://h:8/", "/dressDLoad2010/a.htm"), "http://h:8/dressDLoad2010/a.htm");
    EXPECT_EQ(shell::ListPageUrl("http://h/shop", "/p.htm"), "http://h/shop/p.htm");
}

}  // namespace
