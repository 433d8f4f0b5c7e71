// Order lines: money texts to cents, totals after every change (as a table
// of steps), deletion moving lines with their pictures, the full table and
// fields cut on character boundaries.
#include <gtest/gtest.h>

#include "measure_market/order_lines.h"
#include "platform/text.h"

using namespace measure_market;

namespace {

OrderLineInput Garment(const std::string& code, const std::string& price, const std::string& quantity) {
    OrderLineInput in;
    in.code = code;
    in.name = "货品" + code;
    in.price = price;
    in.quantity = quantity;
    in.unit = "件";
    return in;
}

TEST(OrderMoney, TextsToCentsAndBack) {
    const struct {
        const char* text;
        std::int64_t cents;
    } cases[] = {
        {"12.50", 1250}, {"12.5", 1250}, {"12", 1200},     {"0.05", 5},     {"  7.999", 799},
        {"50元", 5000},  {"", 0},        {"abc", 0},       {"-3.25", -325}, {".75", 75},
        {"+8", 800},     {"12.", 1200},  {"99999999999999999999", INT64_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseCents(c.text), c.cents) << c.text;
    EXPECT_EQ(ParseCount("3"), 3);
    EXPECT_EQ(ParseCount(" 12件"), 12);
    EXPECT_EQ(ParseCount("x"), 0);
    EXPECT_EQ(FormatCents(3750), "37.50");
    EXPECT_EQ(FormatCents(5), "0.05");
    EXPECT_EQ(FormatCents(-50), "-0.50");
    EXPECT_EQ(FormatCents(INT64_MIN), "-92233720368547758.08");
}

// Each step changes the table; the total line and the result text must
// follow at once.
TEST(OrderTotals, FollowEveryChange) {
    OrderTable t;
    struct Step {
        const char* what;
        std::function<void(OrderTable&)> act;
        int count;
        const char* total;  // "" when there must be no total line
    };
    const Step steps[] = {
        {"12.50 x 3", [](OrderTable& o) { o.AddLine(Garment("A1", "12.50", "3"), 'M', "/p/a1.png"); }, 1,
         "37.50 元(3件)"},
        {"50 x 2", [](OrderTable& o) { o.AddLine(Garment("B2", "50", "2"), 'M', "/p/b2.png"); }, 2,
         "137.50 元(5件)"},
        {"delete the first", [](OrderTable& o) { o.DeleteLine(0); }, 1, "100.00 元(2件)"},
        {"add 12.5 x 3 again", [](OrderTable& o) { o.AddLine(Garment("A1", "12.5", "3"), 'M', "/p/a1.png"); }, 2,
         "137.50 元(5件)"},
        {"quantity 3 -> 10", [](OrderTable& o) { o.SetQuantity(1, "10"); }, 2, "225.00 元(12件)"},
        {"delete the last", [](OrderTable& o) { o.DeleteLine(1); }, 1, "100.00 元(2件)"},
        {"delete the only one", [](OrderTable& o) { o.DeleteLine(0); }, 0, ""},
        {"a price with cents", [](OrderTable& o) { o.AddLine(Garment("C3", "0.99", "7"), 'M', ""); }, 1,
         "6.93 元(7件)"},
    };
    for (const Step& s : steps) {
        s.act(t);
        SCOPED_TRACE(s.what);
        ASSERT_EQ(t.count(), s.count);
        EXPECT_EQ(t.lastTotal().text, s.total);
        EXPECT_EQ(t.HasTotalLine(), *s.total != '\0');
        // Exactly one total line, right after the last line.
        int totals = 0;
        for (int i = 0; i <= kMaxOrderLines; ++i) totals += t.line(i).kind == kKindTotal;
        EXPECT_EQ(totals, *s.total ? 1 : 0);
        if (*s.total) {
            const OrderLine& total = t.line(t.count());
            EXPECT_EQ(total.name, "合计金额");
            EXPECT_EQ(total.amount + " 元(" + total.quantity + "件)", s.total);
        }
    }
    EXPECT_EQ(t.line(0).amount, "6.93");
}

TEST(OrderTotals, LineAmountsAreCentExact) {
    OrderTable t;
    t.AddLine(Garment("A", "12.50", "3"), 'M', "");
    t.AddLine(Garment("B", "19.99", "3"), 'M', "");
    t.AddLine(Garment("C", "0.01", "1"), 'M', "");
    EXPECT_EQ(t.line(0).amount, "37.50");
    EXPECT_EQ(t.line(1).amount, "59.97");
    EXPECT_EQ(t.line(2).amount, "0.01");
    EXPECT_EQ(t.UpdateTotal().text, "97.48 元(7件)");
}

TEST(OrderTotals, AnAmountTooLargeForItsFieldChangesNothingAndLeavesNoTotal) {
    OrderTable t;
    t.AddLine(Garment("A", "12.50", "3"), 'M', "");
    // 99999999 x 99999999.00 does not fit 11 characters.
    t.AddLine(Garment("B", "99999999", "99999999"), 'M', "");
    EXPECT_TRUE(t.lastTotal().overflow);
    EXPECT_EQ(t.lastTotal().text, "");
    EXPECT_FALSE(t.HasTotalLine());
    EXPECT_EQ(t.line(0).amount, "37.50");  // from before
    t.DeleteLine(1);
    EXPECT_EQ(t.lastTotal().text, "37.50 元(3件)");
}

TEST(OrderTable, DeletingTheFirstOfThreeMovesLinesAndPicturesUp) {
    OrderTable t;
    t.AddLine(Garment("A", "10", "1"), 'M', "/p/a.png");
    t.AddLine(Garment("B", "20", "1"), 'W', "/p/b.png");
    t.AddLine(Garment("C", "30", "1"), 'C', "/p/c.png");
    ASSERT_TRUE(t.DeleteLine(0));
    ASSERT_EQ(t.count(), 2);
    EXPECT_EQ(t.line(0).code, "B");
    EXPECT_EQ(t.line(0).tag, 'W');
    EXPECT_EQ(t.picturePath(0), "/p/b.png");
    EXPECT_EQ(t.line(1).code, "C");
    EXPECT_EQ(t.picturePath(1), "/p/c.png");
    EXPECT_EQ(t.line(2).kind, kKindTotal);
    EXPECT_EQ(t.line(2).amount, "50.00");
    EXPECT_EQ(t.line(3).kind, ' ');  // no second total line behind
    EXPECT_EQ(t.picturePath(2), "");
    EXPECT_FALSE(t.DeleteLine(2));  // the total line is not a line
    EXPECT_FALSE(t.DeleteLine(-1));
    EXPECT_FALSE(t.SetQuantity(2, "9"));
    EXPECT_EQ(t.count(), 2);
}

TEST(OrderTable, AHundredAndTwentyFirstLineIsRefused) {
    OrderTable t;
    for (int i = 0; i < kMaxOrderLines; ++i) ASSERT_TRUE(t.AddLine(Garment(std::to_string(i), "1", "1"), 'M', "x"));
    EXPECT_EQ(t.lastTotal().text, "120.00 元(120件)");
    EXPECT_FALSE(t.AddLine(Garment("extra", "5", "5"), 'M', "y"));
    EXPECT_EQ(t.count(), kMaxOrderLines);
    EXPECT_EQ(t.line(kMaxOrderLines).kind, kKindTotal);
    EXPECT_EQ(t.line(kMaxOrderLines).amount, "120.00");
}

TEST(OrderTable, FieldsAreCutOnCharacterBoundaries) {
    OrderTable t;
    OrderLineInput in = Garment("代码代码代码代码代码代码代码", "1", "123456789");
    in.name = std::string("X") + std::string(40, 'a') + "名称名称名称名称名称名称";  // 41 + 24 GBK bytes
    in.colour = "深红色色";                                                      // 8 bytes: fits
    in.size = "特大号特大号";                                                    // 12 bytes
    ASSERT_TRUE(t.AddLine(in, 'M', ""));
    const OrderLine& l = t.line(0);
    EXPECT_EQ(platform::GbkLength(l.code), 24u);  // 25 would split the 13th character
    EXPECT_EQ(platform::GbkLength(l.name), 65u);
    EXPECT_EQ(l.colour, "深红色色");
    EXPECT_EQ(l.size, "特大号特大");
    EXPECT_EQ(l.quantity, "12345678");
    EXPECT_EQ(l.amount, "12345678.00");  // 11 characters: just fits
    EXPECT_EQ(l.kind, kKindLine);
    EXPECT_EQ(l.checked, kUnchecked);
    EXPECT_TRUE(t.SetChecked(0, true));
    EXPECT_EQ(t.line(0).checked, kChecked);
    EXPECT_TRUE(t.SetNote(0, std::string(70, 'n')));
    EXPECT_EQ(t.line(0).note.size(), 65u);
}

}  // namespace
