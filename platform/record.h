#pragma once
// Little-endian field codecs at explicit offsets of a byte record. Records are
// never copied from or to structs: every field goes through these calls.
// An access outside the record throws std::out_of_range (a programming error).
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platform {

class RecordReader {
public:
    explicit RecordReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::size_t size() const { return m_bytes.size(); }
    std::span<const std::uint8_t> bytes() const { return m_bytes; }

    std::uint8_t U8(std::size_t off) const;
    char Char(std::size_t off) const { return static_cast<char>(U8(off)); }
    std::int16_t I16(std::size_t off) const;
    std::uint16_t U16(std::size_t off) const;
    std::int32_t I32(std::size_t off) const;
    std::uint32_t U32(std::size_t off) const;
    float F32(std::size_t off) const;
    double F64(std::size_t off) const;

private:
    std::span<const std::uint8_t> m_bytes;
};

class RecordWriter {
public:
    explicit RecordWriter(std::span<std::uint8_t> bytes) : m_bytes(bytes) {}
    std::size_t size() const { return m_bytes.size(); }
    std::span<std::uint8_t> bytes() const { return m_bytes; }

    void U8(std::size_t off, std::uint8_t v);
    void Char(std::size_t off, char v) { U8(off, static_cast<std::uint8_t>(v)); }
    void I16(std::size_t off, std::int16_t v);
    void U16(std::size_t off, std::uint16_t v);
    void I32(std::size_t off, std::int32_t v);
    void U32(std::size_t off, std::uint32_t v);
    void F32(std::size_t off, float v);
    void F64(std::size_t off, double v);
    void Fill(std::size_t off, std::size_t len, std::uint8_t v);
    void Bytes(std::size_t off, std::span<const std::uint8_t> src);

private:
    std::span<std::uint8_t> m_bytes;
};

}  // namespace platform
