#include "platform/record.h"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace platform {
namespace {

void Check(std::size_t size, std::size_t off, std::size_t len) {
    if (off > size || len > size - off) throw std::out_of_range("record field outside the record");
}

std::uint64_t Load(std::span<const std::uint8_t> b, std::size_t off, std::size_t len) {
    Check(b.size(), off, len);
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < len; ++i) v |= static_cast<std::uint64_t>(b[off + i]) << (8 * i);
    return v;
}

void Store(std::span<std::uint8_t> b, std::size_t off, std::size_t len, std::uint64_t v) {
    Check(b.size(), off, len);
    for (std::size_t i = 0; i < len; ++i) b[off + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::uint8_t RecordReader::U8(std::size_t off) const { return static_cast<std::uint8_t>(Load(m_bytes, off, 1)); }
std::int16_t RecordReader::I16(std::size_t off) const { return static_cast<std::int16_t>(U16(off)); }
std::uint16_t RecordReader::U16(std::size_t off) const { return static_cast<std::uint16_t>(Load(m_bytes, off, 2)); }
std::int32_t RecordReader::I32(std::size_t off) const { return static_cast<std::int32_t>(U32(off)); }
std::uint32_t RecordReader::U32(std::size_t off) const { return static_cast<std::uint32_t>(Load(m_bytes, off, 4)); }
float RecordReader::F32(std::size_t off) const { return std::bit_cast<float>(U32(off)); }
double RecordReader::F64(std::size_t off) const { return std::bit_cast<double>(Load(m_bytes, off, 8)); }

void RecordWriter::U8(std::size_t off, std::uint8_t v) { Store(m_bytes, off, 1, v); }
void RecordWriter::I16(std::size_t off, std::int16_t v) { Store(m_bytes, off, 2, static_cast<std::uint16_t>(v)); }
void RecordWriter::U16(std::size_t off, std::uint16_t v) { Store(m_bytes, off, 2, v); }
void RecordWriter::I32(std::size_t off, std::int32_t v) { Store(m_bytes, off, 4, static_cast<std::uint32_t>(v)); }
void RecordWriter::U32(std::size_t off, std::uint32_t v) { Store(m_bytes, off, 4, v); }
void RecordWriter::F32(std::size_t off, float v) { Store(m_bytes, off, 4, std::bit_cast<std::uint32_t>(v)); }
void RecordWriter::F64(std::size_t off, double v) { Store(m_bytes, off, 8, std::bit_cast<std::uint64_t>(v)); }

void RecordWriter::Fill(std::size_t off, std::size_t len, std::uint8_t v) {
    Check(m_bytes.size(), off, len);
    if (len) std::memset(m_bytes.data() + off, v, len);
}

void RecordWriter::Bytes(std::size_t off, std::span<const std::uint8_t> src) {
    Check(m_bytes.size(), off, src.size());
    if (!src.empty()) std::memmove(m_bytes.data() + off, src.data(), src.size());
}

}  // namespace platform
