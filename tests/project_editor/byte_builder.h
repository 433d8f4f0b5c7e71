#pragma once
// A test-only byte builder and reader. Tests write and check file bytes at
// offsets written as literals, independent of the production codecs.
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace testbytes {

class ByteBuilder {
public:
    explicit ByteBuilder(std::size_t size = 0, std::uint8_t fill = 0) : m_b(size, fill) {}

    ByteBuilder& U8(std::size_t off, std::uint8_t v) {
        m_b.at(off) = v;
        return *this;
    }
    ByteBuilder& I32(std::size_t off, std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i) m_b.at(off + i) = static_cast<std::uint8_t>(u >> (8 * i));
        return *this;
    }
    ByteBuilder& F32Bits(std::size_t off, std::uint32_t bits) { return I32(off, static_cast<std::int32_t>(bits)); }
    // Raw bytes (GBK texts are written as byte literals), no terminator added.
    ByteBuilder& Raw(std::size_t off, std::string_view bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) m_b.at(off + i) = static_cast<std::uint8_t>(bytes[i]);
        return *this;
    }
    ByteBuilder& Fill(std::size_t off, std::size_t len, std::uint8_t v) {
        for (std::size_t i = 0; i < len; ++i) m_b.at(off + i) = v;
        return *this;
    }
    ByteBuilder& Append(const ByteBuilder& other) {
        m_b.insert(m_b.end(), other.m_b.begin(), other.m_b.end());
        return *this;
    }
    ByteBuilder& Append(std::string_view bytes) {
        m_b.insert(m_b.end(), bytes.begin(), bytes.end());
        return *this;
    }
    std::size_t size() const { return m_b.size(); }
    const std::vector<std::uint8_t>& bytes() const { return m_b; }
    std::vector<std::uint8_t>& bytes() { return m_b; }

private:
    std::vector<std::uint8_t> m_b;
};

// Checked access: a test that reads past the bytes fails instead of reading junk.
inline std::uint8_t At(std::span<const std::uint8_t> b, std::size_t i) {
    if (i >= b.size()) throw std::out_of_range("test read past the bytes");
    return b[i];
}

inline std::int32_t I32At(std::span<const std::uint8_t> b, std::size_t off) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(At(b, off + i)) << (8 * i);
    return static_cast<std::int32_t>(u);
}

inline std::uint32_t U32At(std::span<const std::uint8_t> b, std::size_t off) {
    return static_cast<std::uint32_t>(I32At(b, off));
}

// `len` raw bytes at `off`.
inline std::string BytesAt(std::span<const std::uint8_t> b, std::size_t off, std::size_t len) {
    std::string s(len, '\0');
    for (std::size_t i = 0; i < len; ++i) s[i] = static_cast<char>(At(b, off + i));
    return s;
}

// A text field: bytes up to the first NUL within `width`.
inline std::string TextAt(std::span<const std::uint8_t> b, std::size_t off, std::size_t width) {
    std::string s = BytesAt(b, off, width);
    return s.substr(0, s.find('\0'));
}

}  // namespace testbytes
