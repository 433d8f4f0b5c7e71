#include "platform/record.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

using platform::RecordReader;
using platform::RecordWriter;

TEST(Record, FieldsAreLittleEndianAtTheirOffsets) {
    std::array<std::uint8_t, 24> buf{};
    RecordWriter w(buf);
    w.I16(1, -2);
    w.U32(3, 0x11223344u);
    w.I32(7, -100000);
    w.F32(11, 1.5f);
    w.Char(15, 'A');
    w.F64(16, -0.25);

    const std::array<std::uint8_t, 24> expected = {
        0x00, 0xFE, 0xFF, 0x44, 0x33, 0x22, 0x11, 0x60, 0x79, 0xFE, 0xFF,  // U16 -2, U32, I32 -100000
        0x00, 0x00, 0xC0, 0x3F,                                            // 1.5f
        'A',                                                               // letter
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD0, 0xBF};                   // -0.25
    EXPECT_EQ(buf, expected);

    RecordReader r(buf);
    EXPECT_EQ(r.I16(1), -2);
    EXPECT_EQ(r.U16(1), 0xFFFE);
    EXPECT_EQ(r.U32(3), 0x11223344u);
    EXPECT_EQ(r.I32(7), -100000);
    EXPECT_EQ(r.F32(11), 1.5f);
    EXPECT_EQ(r.Char(15), 'A');
    EXPECT_EQ(r.F64(16), -0.25);
}

TEST(Record, AccessOutsideTheRecordThrowsAndWritesNothing) {
    std::array<std::uint8_t, 8> buf{};
    RecordWriter w(buf);
    RecordReader r(buf);
    EXPECT_THROW(r.U32(5), std::out_of_range);
    EXPECT_THROW(r.F64(1), std::out_of_range);
    EXPECT_THROW(r.U8(8), std::out_of_range);
    EXPECT_THROW(r.U16(SIZE_MAX), std::out_of_range);  // offset + width wraps around
    EXPECT_THROW(w.I32(6, -1), std::out_of_range);
    EXPECT_THROW(w.Fill(4, 5, 0xFF), std::out_of_range);
    const std::array<std::uint8_t, 3> three{1, 2, 3};
    EXPECT_THROW(w.Bytes(6, three), std::out_of_range);
    EXPECT_EQ(buf, (std::array<std::uint8_t, 8>{}));

    w.Fill(4, 4, 0xAB);
    w.Bytes(0, three);
    EXPECT_EQ(buf, (std::array<std::uint8_t, 8>{1, 2, 3, 0, 0xAB, 0xAB, 0xAB, 0xAB}));
}
