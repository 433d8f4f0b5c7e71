// The icon-list reader on files built here from the format's table: groups
// and members by kind, long names, and short or hostile files that must be
// refused without touching the tables.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "picture_controls/icon_list_file.h"
#include "platform/text.h"
#include "tests/support/temp_dir.h"

using picture_controls::CIconListFile;

namespace {

struct Spec {
    std::vector<std::pair<char, int>> items;  // type letter, name entry
    std::vector<std::string> names;           // UTF-8, one text entry each
};

void Put32(std::vector<unsigned char>& b, std::size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(static_cast<std::uint32_t>(v) >> (8 * i));
}

std::vector<unsigned char> Build(const Spec& s) {
    std::string text;
    std::vector<std::pair<int, int>> entries;
    for (const auto& n : s.names) {
        const std::string g = *platform::Utf8ToGbk(n);
        entries.push_back({static_cast<int>(text.size()), static_cast<int>(g.size())});
        text += g;
    }
    const std::size_t n = s.items.size(), m = entries.size();
    std::vector<unsigned char> b(32 + 60 * n + 12 * m + text.size(), 0);
    std::memcpy(b.data(), "      ", 6);
    Put32(b, 8, static_cast<std::int32_t>(n));
    Put32(b, 12, static_cast<std::int32_t>(m));
    Put32(b, 16, static_cast<std::int32_t>(text.size()));
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t at = 32 + 60 * i;
        std::memcpy(&b[at], "         ", 9);
        b[at + 1] = static_cast<unsigned char>(s.items[i].first);
        for (int k = 0; k < 12; ++k) Put32(b, at + 12 + 4 * k, -1);
        Put32(b, at + 16, s.items[i].second);
    }
    for (std::size_t i = 0; i < m; ++i) {
        const std::size_t at = 32 + 60 * n + 12 * i;
        Put32(b, at, entries[i].first);
        Put32(b, at + 4, entries[i].second);
    }
    std::memcpy(b.data() + 32 + 60 * n + 12 * m, text.data(), text.size());
    return b;
}

// Item 0 is a title; two groups of members.
Spec TwoGroups() {
    return {{{'T', 0}, {'H', 1}, {' ', 2}, {' ', 3}, {'H', 4}, {' ', 5}, {' ', 6}, {' ', 7}},
            {"标题", "上衣", "衬衫", "外套", "裙子", "长裙", "短裙", "百褶裙"}};
}

std::vector<int> Members(const CIconListFile& f) { return {f.members().begin(), f.members().end()}; }

}  // namespace

TEST(IconListFile, ReadsGroupsAndMembersByKind) {
    testsupport::TempDir base;
    base.write("服饰图标/服饰图标列表.jxd", Build(TwoGroups()));
    base.write("通用图标/通用图标列表.jxd", Build({}));
    CIconListFile f;
    f.SetBaseDir(base.path());

    EXPECT_EQ(f.Load('B'), 1);
    EXPECT_EQ(f.GetKind(), 'B');
    EXPECT_EQ(f.groupCount(), 2);
    EXPECT_EQ(f.groupName(0), "上衣");
    EXPECT_EQ(f.groupName(1), "裙子");
    EXPECT_EQ(f.groupHeader(1), 4);
    EXPECT_EQ(f.groupMembers(0), 2);
    EXPECT_EQ(f.groupMembers(1), 3);
    EXPECT_EQ(Members(f), (std::vector<int>{2, 3, 5, 6, 7}));  // item 0 skipped for 'B'
    EXPECT_EQ(f.BuildNameList(2), 3);
    EXPECT_EQ(Members(f), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(f.BuildNameList(1), 2);
    EXPECT_EQ(Members(f), (std::vector<int>{2, 3}));
    EXPECT_EQ(f.GetEntryText(6), "短裙");

    EXPECT_EQ(f.Load('b'), 1);  // lower case: item 0 is a member before any group
    EXPECT_EQ(Members(f), (std::vector<int>{0, 2, 3, 5, 6, 7}));

    EXPECT_EQ(f.Load('C'), 1);  // N = 0: no groups
    EXPECT_EQ(f.groupCount(), 0);
    EXPECT_TRUE(f.members().empty());
    EXPECT_EQ(f.Load('x'), 0);  // "搭配图片\搭配图片记录表.jxd" is missing
    EXPECT_EQ(f.GetKind(), 'C');
    EXPECT_EQ(f.PathFor('x'), base / "搭配图片" / "搭配图片记录表.jxd");
}

TEST(IconListFile, EntryTextsAreBoundedAndCutOnCharacters) {
    std::string longName = "a";
    for (int i = 0; i < 200; ++i) longName += "衣";
    Spec s{{{'H', 0}, {' ', 1}, {' ', 2}, {' ', 3}, {' ', 9}, {' ', -1}}, {longName, std::string(300, 'n'), "", "x"}};
    auto bytes = Build(s);
    // Entry 3 points beyond the text bytes; entry 2 has a negative length.
    const std::size_t entries = 32 + 60 * 6;
    Put32(bytes, entries + 12 * 3, 100000);
    Put32(bytes, entries + 12 * 2 + 4, -5);
    CIconListFile f;
    ASSERT_EQ(f.LoadBytes(bytes, 'c'), 1);
    const std::string name = f.groupName(0);
    EXPECT_EQ(platform::GbkLength(name), 249u);  // 'a' and 124 characters: the 125th would reach 251
    EXPECT_EQ(f.GetEntryText(1), std::string(250, 'n'));
    EXPECT_EQ(f.GetEntryText(2), "");
    EXPECT_EQ(f.GetEntryText(3), "");
    EXPECT_EQ(f.GetEntryText(9), "");
    EXPECT_EQ(f.GetEntryText(-1), "");
}

TEST(IconListFile, RefusesFilesThatDoNotFitAndKeepsTheTables) {
    const auto good = Build(TwoGroups());
    auto withCounts = [&](std::int32_t n, std::int32_t m, std::int32_t d) {
        auto b = good;
        Put32(b, 8, n);
        Put32(b, 12, m);
        Put32(b, 16, d);
        return b;
    };
    const struct {
        const char* name;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"empty", {}},
        {"header cut short", std::vector<unsigned char>(good.begin(), good.begin() + 20)},
        {"body cut short", std::vector<unsigned char>(good.begin(), good.end() - 1)},
        {"negative item count", withCounts(-1, 8, 0)},
        {"too many items", withCounts(601, 8, 0)},
        {"too many entries", withCounts(8, 3601, 0)},
        {"too many text bytes", withCounts(8, 8, 436169)},
        {"counts beyond the file", withCounts(8, 8, 400000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CIconListFile f;
        ASSERT_EQ(f.LoadBytes(good, 'B'), 1);
        EXPECT_EQ(f.LoadBytes(c.bytes, 'C'), 0);
        EXPECT_EQ(f.GetKind(), 'B');
        EXPECT_EQ(f.itemCount(), 8);
        EXPECT_EQ(f.groupName(1), "裙子");
    }
}

TEST(IconListFile, ManyGroupsStayWithinTheTables) {
    Spec s;
    for (int g = 0; g < 25; ++g) {
        s.items.push_back({'H', g});
        s.names.push_back("组" + std::to_string(g));
        for (int k = 0; k < 20; ++k) s.items.push_back({' ', -1});
    }
    CIconListFile f;
    ASSERT_EQ(f.LoadBytes(Build(s), 'c'), 1);
    EXPECT_EQ(f.groupCount(), 25);
    EXPECT_EQ(f.groupName(18), "组18");
    EXPECT_EQ(f.members().size(), 500u);
    EXPECT_EQ(f.groupMembers(15), 20);
    EXPECT_EQ(f.BuildNameList(22), 20);
    EXPECT_EQ(f.members().front(), 21 * 21 + 1);
}
