// List pages of the download host and the addresses of the listed files.
#include "transfer/download_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

TEST(DownloadList, PagesGiveTheirNames) {
    std::string hundredFifty;
    for (int i = 0; i < 150; ++i) hundredFifty += "p" + std::to_string(i) + ",";
    Names first101;
    for (int i = 0; i < 101; ++i) first101.push_back("p" + std::to_string(i));
    std::string gbk106;
    for (int i = 0; i < 53; ++i) gbk106 += "\xBA\xEC";  // 53 × 红: exactly 106 bytes

    struct Case {
        const char* what;
        std::string page;
        Names names;
    } cases[] = {
        {"three names, two commas", "a.rar,b.rar,c.rar", {"a.rar", "b.rar", "c.rar"}},
        {"the same with a comma behind", "a.rar,b.rar,c.rar,", {"a.rar", "b.rar", "c.rar"}},
        {"only two commas: two empty names", ",,", {"", ""}},
        {"an empty page", "", {}},
        {"line breaks and blanks around names", "a.rar,\r\n b.rar ,\r\n", {"a.rar", "b.rar"}},
        {"blanks inside a name stay", "spring 2010.rar,", {"spring 2010.rar"}},
        {"150 names fill 101 slots", hundredFifty, first101},
        {"200 characters keep 106", std::string(200, 'x') + ",y", {std::string(106, 'x'), "y"}},
        {"a cut never halves a character", gbk106 + "\xBA\xEC,", {gbk106}},
        {"a cut one byte into a character", "a" + gbk106 + ",", {"a" + gbk106.substr(0, 104)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(transfer::ParseFileList(c.page), c.names);
    }
}

TEST(DownloadList, AddressesOfListedFiles) {
    EXPECT_EQ(transfer::GetBaseUrl("http://h/dressDLoad2010/FittoraProjLst.htm"), "http://h/dressDLoad2010");
    EXPECT_EQ(transfer::GetBaseUrl("http://h:81/list.htm"), "http://h:81");
    EXPECT_EQ(transfer::GetBaseUrl("list.htm"), "list.htm");
    EXPECT_EQ(transfer::GetBaseUrl("/list.htm"), "/list.htm");  // a '/' at position 0 does not count
    EXPECT_EQ(transfer::FileUrl("http://h/d", "a-b_c.~1.rar"), "http://h/d/a-b_c.~1.rar");
    EXPECT_EQ(transfer::FileUrl("http://h/d", "\xB4\xBA \xD7\xB0?#.rar"), "http://h/d/%B4%BA%20%D7%B0%3F%23.rar");
}

TEST(DownloadList, OnlyPlainNamesCanBeDownloaded) {
    EXPECT_EQ(transfer::DownloadableName("\xB4\xBA\xD7\xB0.rar"), "春装.rar");
    EXPECT_EQ(transfer::DownloadableName(std::string(160, 'a')), std::string(160, 'a'));
    for (const std::string& bad : {std::string(), std::string(".."), std::string("../x.rar"), std::string("a/b"),
                                  std::string("a\\b"), std::string("a\x01"), std::string("\xFF\xFF"),
                                  std::string(161, 'a'), std::string("fittoraDLoadRec.3if")}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(transfer::DownloadableName(bad).has_value());
    }
}

}  // namespace
