// The value editor's units: texts in centimetres, inches and chi read into
// hundredths of a centimetre, and values shown in each unit.
#include <gtest/gtest.h>

#include "measure_market/value_units.h"

namespace {

using namespace measure;

TEST(ValueUnits, ParserTable) {
    struct Case {
        const char* text;
        ValueUnit unit;
        std::optional<std::int32_t> expect;
    };
    const auto cm = ValueUnit::Centimetre, in = ValueUnit::Inch, chi = ValueUnit::Chi;
    const Case cases[] = {
        {"172", cm, 17200},        {"17.255", cm, 1726},     {"17.254", cm, 1725},   {"5.08", cm, 508},
        {" 88.5 ", cm, 8850},      {".5", cm, 50},           {"0", cm, 0},           {"", cm, std::nullopt},
        {"abc", cm, std::nullopt}, {"-5", cm, std::nullopt}, {"1.2.3", cm, std::nullopt},
        {"9999.99", cm, 999999},
        {"100000", cm, std::nullopt},
        {"12", in, 3048},          {"12.5", in, 3175},       {"12 1/2", in, 3175},   {"11 3/4", in, 2984},
        {"3/4", in, 190},          {"12  1/2", in, 3175},    {"1/0", in, std::nullopt}, {"12 1/", in, std::nullopt},
        {"12.5 1/2", in, std::nullopt}, {"1/2/3", in, std::nullopt},
        {"2.5", chi, 8333},        {"3", chi, 9999},         {"2", chi, 6666},       {"2 1/2", chi, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\" unit " + std::to_string(static_cast<int>(c.unit)));
        EXPECT_EQ(ParseValue(c.text, c.unit), c.expect);
    }
}

TEST(ValueUnits, ShownValues) {
    EXPECT_EQ(FormatCentimetres(508), "5.08");
    EXPECT_EQ(FormatCentimetres(2540), "25.40");
    EXPECT_EQ(FormatCentimetres(1700), "17");
    EXPECT_EQ(FormatCentimetres(-1), "");
    EXPECT_EQ(FormatInUnit(3175, ValueUnit::Inch), "12.5");
    EXPECT_EQ(FormatInUnit(8333, ValueUnit::Chi), "2.5");
    EXPECT_EQ(FormatInUnit(1700, ValueUnit::Centimetre), "17");
    // What the editor opens with reads back to the same value.
    for (std::int32_t v : {508, 1700, 2984, 3175, 8333, 17250, 9999}) {
        for (ValueUnit u : {ValueUnit::Centimetre, ValueUnit::Inch, ValueUnit::Chi}) {
            const auto back = ParseValue(FormatInUnit(v, u), u);
            ASSERT_TRUE(back.has_value());
            EXPECT_NEAR(*back, v, u == ValueUnit::Centimetre ? 0 : 2) << v;
        }
    }
}

}  // namespace
