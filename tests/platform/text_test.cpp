#include "platform/text.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace platform;

namespace {

std::vector<std::uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

}  // namespace

TEST(Text, GbkAndUtf8ConvertBothWays) {
    struct Case {
        std::string utf8, gbk;
    } cases[] = {
        {"", ""},
        {"base\\dir 12", "base\\dir 12"},
        {"中文产品", "\xD6\xD0\xCE\xC4\xB2\xFA\xC6\xB7"},
        {"试衣及按钮图片", "\xCA\xD4\xD2\xC2\xBC\xB0\xB0\xB4\xC5\xA5\xCD\xBC\xC6\xAC"},
        {"€5", "\x80" "5"},  // the GBK table of the stored data, not GB18030's
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8);
        EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk);
        EXPECT_EQ(Utf8ToGbkLossy(c.utf8), c.gbk);
        EXPECT_EQ(GbkLength(c.utf8), c.gbk.size());
    }
}

TEST(Text, BadBytesReadAsQuestionMarks) {
    struct Case {
        std::string gbk, utf8;
    } cases[] = {
        {"a\xFF" "b", "a?b"},                    // never a GBK byte
        {"\xD6\xD0\xD6", "中?"},                 // cut after a lead byte
        {"\xAA\xA1" "x", "?x"},                  // well-formed pair with no character: one mark
        {"\xD6" "A\xD6\xD0", "諥中"},            // 0xD6 0x41 is one character in GBK
        {"\xD6\x20" "b", "? b"},                 // lead byte before a byte that cannot trail
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8);
    }
}

TEST(Text, CharactersWithoutGbkFormAreRefusedOrMarked) {
    EXPECT_EQ(Utf8ToGbk("衣😀"), std::nullopt);
    EXPECT_EQ(Utf8ToGbk("a\xC3"), std::nullopt);  // not UTF-8
    EXPECT_EQ(Utf8ToGbkLossy("衣😀b"), "\xD2\xC2?b");
    EXPECT_EQ(Utf8ToGbkLossy("a\xFF" "b\xE4\xB8"), "a?b?");
    EXPECT_EQ(GbkLength("😀中"), 3u);
}

TEST(Text, CutsFallOnCharacterBoundaries) {
    // 0xB0 0xB0 and 0xB0 0xA1: the second character starts with a byte that
    // also follows a lead byte, so only a scan from the front finds the edge.
    const std::string gbk = "A\xB0\xB0\xB0\xA1" "B";
    const std::size_t expected[] = {0, 1, 1, 3, 3, 5, 6, 6};
    for (std::size_t limit = 0; limit < std::size(expected); ++limit)
        EXPECT_EQ(GbkCutLength(gbk, limit), expected[limit]) << "limit " << limit;
    EXPECT_EQ(GbkCutLength("\xB0\xB0\xB0", 3), 3u);  // a lone lead byte at the end is one byte

    struct Case {
        std::string utf8;
        std::size_t limit;
        std::string cut;
    } cases[] = {
        {"中文ab", 0, ""}, {"中文ab", 1, ""},   {"中文ab", 3, "中"},
        {"中文ab", 5, "中文a"}, {"中文ab", 60, "中文ab"}, {"😀中", 2, "😀"},
    };
    for (const Case& c : cases) EXPECT_EQ(CutToGbkBytes(c.utf8, c.limit), c.cut) << c.utf8 << " " << c.limit;
}

TEST(Text, FixedFieldsAreWrittenWithinTheirWidth) {
    struct Case {
        std::string text;
        std::size_t width;
        FieldPad pad;
        std::string field;  // the bytes between the guards
        bool fits;
        std::string read_back;
    } cases[] = {
        {"中文", 5, FieldPad::Nul, std::string("\xD6\xD0\xCE\xC4\0", 5), true, "中文"},
        {"中文", 4, FieldPad::Nul, std::string("\xD6\xD0\0\0", 4), false, "中"},
        {"a中文", 4, FieldPad::Nul, std::string("a\xD6\xD0\0", 4), false, "a中"},
        {"中文", 4, FieldPad::Blank, "\xD6\xD0\xCE\xC4", true, "中文"},
        {"a中", 4, FieldPad::Blank, "a\xD6\xD0 ", true, "a中"},
        {"ab中", 3, FieldPad::Blank, "ab ", false, "ab"},
        {"x😀", 4, FieldPad::Nul, std::string("x?\0\0", 4), true, "x?"},
        {"", 3, FieldPad::Nul, std::string(3, '\0'), true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " width " + std::to_string(c.width));
        std::vector<std::uint8_t> rec(c.width + 2, 0xEE);
        rec[1] = 'Z';  // stale content is replaced
        EXPECT_EQ(WriteTextField(rec, 1, c.width, c.text, c.pad), c.fits);
        EXPECT_EQ(rec.front(), 0xEE);
        EXPECT_EQ(rec.back(), 0xEE);
        EXPECT_EQ(std::string(rec.begin() + 1, rec.end() - 1), c.field);
        EXPECT_EQ(ReadTextField(rec, 1, c.width), c.read_back);
    }
}

TEST(Text, FixedFieldsAreReadWithinTheirWidth) {
    const auto rec = Bytes(std::string("\xD6\xD0\xCE\xC4" "AB  \0xy" "\xCE\xC4", 13));
    EXPECT_EQ(ReadFieldBytes(rec, 0, 4), "\xD6\xD0\xCE\xC4");  // no terminator: the width bounds it
    EXPECT_EQ(ReadTextField(rec, 0, 2), "中");
    EXPECT_EQ(ReadTextField(rec, 4, 4), "AB");                 // blank padding dropped
    EXPECT_EQ(ReadFieldBytes(rec, 4, 8), "AB  ");              // stops at the NUL
    EXPECT_EQ(ReadTextField(rec, 10, 2), "y?");                // a field that ends inside a character
    EXPECT_EQ(ReadTextField(rec, 13, 0), "");
    EXPECT_THROW(ReadTextField(rec, 12, 3), std::out_of_range);
    std::vector<std::uint8_t> out(4);
    EXPECT_THROW(WriteTextField(out, 2, 3, "a"), std::out_of_range);
}

TEST(Text, MnemonicMarksAreDroppedAndDoubledOnesShowOnce) {
    struct Case {
        const char* text;
        const char* shown;
    } const cases[] = {
        {"关于 Tranzel(&A)...", "关于 Tranzel(A)..."},
        {"Save && &Quit", "Save & Quit"},
        {"&&&", "&"},
        {"trailing&", "trailing"},
        {"no marks", "no marks"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(StripMnemonics(c.text), c.shown) << c.text;
}

TEST(Text, Utf8SequencesAreWholeOrOneStrayByte) {
    EXPECT_EQ(Utf8SequenceLength("a"), 1u);
    EXPECT_EQ(Utf8SequenceLength("中文"), 3u);
    EXPECT_EQ(Utf8SequenceLength("\xF0\x9F\x98\x80"), 4u);
    EXPECT_EQ(Utf8SequenceLength("\xE4\xB8"), 1u);   // cut short
    EXPECT_EQ(Utf8SequenceLength("\xE4" "ab"), 1u);  // not followed by continuation bytes
    EXPECT_EQ(Utf8SequenceLength("\x80"), 1u);       // a stray continuation byte
}
