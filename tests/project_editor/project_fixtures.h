#pragma once
// Project files built byte by byte from the format's tables, with literal
// offsets (nothing here uses the production constants or codecs).
#include <string>
#include <vector>
#include <string_view>

#include "tests/project_editor/byte_builder.h"

namespace testbytes {

// GBK bytes of a few texts.
inline constexpr std::string_view kGbkZhangSan = "\xD5\xC5\xC8\xFD";  // 张三
inline constexpr std::string_view kGbkShiYi = "\xCA\xD4\xD2\xC2";     // 试衣
inline constexpr std::string_view kGbkFullA = "\xA3\xC1";             // Ａ

// ProjectHeader, 372 bytes: state 0, edition 1, picture folder 2..367, N at 368.
inline ByteBuilder HeaderBytes(std::int32_t n, std::string_view folder, char state = ' ', char edition = '1') {
    ByteBuilder b(372);
    b.U8(0, static_cast<std::uint8_t>(state)).U8(1, static_cast<std::uint8_t>(edition));
    b.Raw(2, folder).I32(368, n);
    return b;
}

// ProjectInfoBlock, 296 bytes: blanks 0..267, M at 268, 1 at 272, T at 276,
// 0 at 280, counter at 284, 0 at 288 and 292.
inline ByteBuilder InfoBytes(std::int32_t m, std::int32_t t, std::int32_t counter = 0) {
    ByteBuilder b(296);
    b.Fill(0, 268, ' ').I32(268, m).I32(272, 1).I32(276, t).I32(284, counter);
    return b;
}

// PartRecord, 544 bytes, with the reset defaults and the given name.
inline ByteBuilder PartBytes(char category, char rowType, std::string_view nameGbk) {
    ByteBuilder b(544);
    b.U8(0, static_cast<std::uint8_t>(category)).U8(1, static_cast<std::uint8_t>(rowType)).U8(2, '1');
    b.Raw(3, nameGbk);
    b.Raw(69, "-----").U8(83, ' ').U8(84, ' ').Raw(151, "----").Raw(472, "200,200");
    b.U8(485, ' ').U8(486, ' ').Raw(487, "100,100").Raw(504, "----").U8(513, ' ').U8(514, '0');
    b.I32(524, -1).I32(528, -1).F32Bits(540, 0x3F800000);
    return b;
}

// FaceRecord, 348 bytes: '0', '0', count, 'J', blanks 5..8, lengths at
// 9 + 16 (t - 1) + n, four -1 ints at 76, offsets at 92 + 64 (t - 1) + 4 n.
inline ByteBuilder FaceBytes(char count = '0') {
    ByteBuilder b(348);
    b.U8(0, '0').U8(1, '0').U8(2, static_cast<std::uint8_t>(count)).U8(3, 'J').Fill(5, 4, ' ');
    b.Fill(76, 16, 0xFF).Fill(92, 256, 0xFF);
    return b;
}

inline ByteBuilder& SetFaceString(ByteBuilder& face, int kind, int n, std::int32_t offset, std::uint8_t length) {
    face.I32(92 + 64 * (kind - 1) + 4 * n, offset);
    face.U8(9 + 16 * (kind - 1) + n, length);
    return face;
}

// A legacy ".dy3" part record (496 bytes) with every field distinct.
inline ByteBuilder LegacyPartBytes(int index) {
    ByteBuilder b(496);
    b.U8(0, static_cast<std::uint8_t>('C' + index)).U8(1, 'n').U8(2, '1');
    b.Raw(3, kGbkZhangSan).Raw(69, "G123").U8(83, 'S').U8(84, 'D').Raw(85, "pic7");
    b.Raw(151, "http://a/b").Raw(371, "ABCDEFGHIJKLMNOPQRST");  // 20 bytes, no NUL
    b.Raw(391, "abcdefghijklmnopqrstuvwxyz");                   // 26 bytes, no NUL
    b.Raw(417, "12,34").Raw(426, "56,78").U8(439, 'P').U8(440, 'J').Raw(441, "90,12");
    b.Raw(458, "9.99").U8(467, 'F').U8(468, '3').Fill(469, 3, 0xEE);
    b.I32(472, 111 + index).I32(476, 222).I32(480, 33).I32(484, 444).I32(488, 555);
    b.F32Bits(492, 0x3FC00001);
    return b;
}

// Three parts, three faces, a 40-byte pool, and everything a careless writer
// would lose: texts that fill their field without a NUL, bytes after a NUL,
// odd reserved bytes and float bits that are not plain numbers.
inline std::vector<std::uint8_t> OddFixture() {
    ByteBuilder header = HeaderBytes(3, std::string_view("pics\0junk", 9), 'Z', '\x07');
    ByteBuilder info = InfoBytes(3, 40);
    for (std::size_t i = 0; i < 268; ++i) info.U8(i, static_cast<std::uint8_t>(i * 7));
    info.I32(272, 5).I32(280, 0x01020304).I32(288, -77).I32(292, 0x7FFFFFFF);

    ByteBuilder p0 = PartBytes('A', 'T', kGbkShiYi);
    ByteBuilder p1 = PartBytes('A', 'x', "");
    for (int i = 0; i < 33; ++i) p1.Raw(3 + 2 * i, kGbkFullA);  // 66 bytes, no NUL
    for (int i = 0; i < 110; ++i) p1.Raw(151 + 2 * i, kGbkFullA);  // 220 bytes, no NUL
    p1.U8(515, 0xAB).F32Bits(540, 0x7FC00123).I32(516, -40).I32(520, 70000).I32(524, 7);
    ByteBuilder p2 = PartBytes('B', 'n', kGbkZhangSan);
    p2.F32Bits(540, 0x00000001).Raw(69, std::string_view("ab\0zz", 5)).U8(462, 'q');

    ByteBuilder f0 = FaceBytes('2');
    SetFaceString(f0, 1, 0, 0, 9);
    SetFaceString(f0, 1, 1, 9, 200);  // longer than the pool holds: read clamped
    f0.Fill(73, 3, 0xCD).U8(4, 'Y');
    ByteBuilder f1 = FaceBytes('\x7F');
    SetFaceString(f1, 4, 15, 40, 0);  // at the end of the pool, empty
    ByteBuilder f2(348, 0);           // never reset: zero offsets and lengths

    ByteBuilder pool;
    std::string poolBytes = std::string("front.jpg") + "\xD5\xC5" + '\0' + "\xFF";
    poolBytes.resize(40, '.');
    pool.Append(poolBytes);

    ByteBuilder file;
    file.Append(header).Append(info).Append(p0).Append(p1).Append(p2).Append(f0).Append(f1).Append(f2).Append(pool);
    return file.bytes();
}

}  // namespace testbytes
