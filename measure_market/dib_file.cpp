// The bitmap reader. Every size comes from the file and is checked against
// the file's length before it is used: the info header's own size, the
// colour table (capped at 256 entries), and the rows at the file header's
// bits offset, each padded to four bytes, or the run-length stream there,
// never read past the header's image size nor past the file's end.
// Arithmetic is done in 64 bits so that no size from the file can wrap.
#include "measure_market/dib_file.h"

#include <algorithm>
#include <bit>
#include <optional>

#include "platform/files.h"
#include "platform/record.h"

namespace measure {

namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::size_t kMaxFileBytes = 1u << 30;
// A run-length stream of a few bytes can announce any size: the pictures it
// may unfold to are capped (4096 x 4096 pixels), so that a small file cannot
// make the reader allocate gigabytes.
constexpr std::uint64_t kMaxRunLengthPixels = 1u << 24;

// Position and width of a mask's bits, to scale a field to 8 bits.
struct MaskField {
    int shift = 0;
    int bits = 0;
    std::uint8_t Take(std::uint32_t pixel, std::uint32_t mask) const {
        if (bits == 0) return 0;
        const std::uint32_t v = (pixel & mask) >> shift;
        const std::uint32_t max = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1);
        return static_cast<std::uint8_t>((static_cast<std::uint64_t>(v) * 255 + max / 2) / max);
    }
};

MaskField FieldOf(std::uint32_t mask) {
    if (mask == 0) return {};
    return {std::countr_zero(mask), std::popcount(mask)};
}

// Unfolds a run-length stream of 8 or 4-bit pixels (bottom row first) into
// one colour index a pixel, top row first. Decoding ends at the end-of-bitmap
// mark; pixels the stream never sets (after an early mark, under a delta)
// keep index 0. A run past a row's end is clipped at it (nothing wraps into
// the next row), and pixels after the last row's line end are dropped. The
// stream is damaged, and nothing is returned, when it ends before its
// end-of-bitmap mark or a delta moves outside the picture.
std::optional<std::vector<std::uint8_t>> UnfoldRuns(std::span<const std::uint8_t> s, int width, int height, int bits) {
    std::vector<std::uint8_t> index(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    std::int64_t x = 0, y = 0;  // y counts rows from the bottom
    auto put = [&](unsigned v) {
        if (x < width && y < height)
            index[static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(v);
        ++x;
    };
    // The i-th pixel of a run: a byte each, or nibbles high then low.
    auto pixel = [bits](unsigned byte, unsigned i) { return bits == 8 ? byte : (i % 2 == 0 ? byte >> 4 : byte & 15u); };
    std::size_t at = 0;
    while (s.size() - at >= 2) {
        const unsigned count = s[at], value = s[at + 1];
        at += 2;
        if (count > 0) {  // encoded run: count pixels of one byte
            for (unsigned i = 0; i < count; ++i) put(pixel(value, i));
        } else if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            return index;
        } else if (value == 2) {  // delta: right and up, to a place inside the picture
            if (s.size() - at < 2) return std::nullopt;
            x += s[at];
            y += s[at + 1];
            at += 2;
            if (x > width || y >= height) return std::nullopt;
        } else {  // absolute run: value pixels, padded to a 16-bit boundary
            const std::size_t length = bits == 8 ? value : (value + 1) / 2;
            const std::size_t padded = (length + 1) & ~std::size_t{1};
            if (s.size() - at < length) return std::nullopt;
            for (unsigned i = 0; i < value; ++i) put(pixel(s[at + (bits == 8 ? i : i / 2)], i));
            at += std::min(padded, s.size() - at);
        }
    }
    return std::nullopt;  // the stream ended before its end-of-bitmap mark
}

}  // namespace

DibStatus CDibFile::Fail(DibStatus s) {
    m_status = s;
    m_width = m_height = m_bitCount = 0;
    m_imageSize = 0;
    m_colours.clear();
    m_rgb.clear();
    return s;
}

DibStatus CDibFile::Load(const std::filesystem::path& path) {
    const auto bytes = platform::ReadWholeFile(path, kMaxFileBytes);
    if (!bytes) return Fail(DibStatus::NoFile);
    return LoadBytes(*bytes);
}

DibStatus CDibFile::LoadBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kFileHeader || bytes[0] != 'B' || bytes[1] != 'M') return Fail(DibStatus::NotBitmap);
    platform::RecordReader file(bytes);
    const std::uint64_t bitsOffset = file.U32(10);
    if (bytes.size() < kFileHeader + 4) return Fail(DibStatus::BadHeader);
    const std::uint64_t infoSize = file.U32(kFileHeader);
    std::int64_t width = 0, height = 0;
    int planes = 1, bitCount = 0;
    std::uint32_t compression = kBiRgb, sizeImage = 0, clrUsed = 0;
    std::uint32_t masks[3] = {0, 0, 0};
    if (infoSize == 12) {  // the old core header
        if (bytes.size() < kFileHeader + 12) return Fail(DibStatus::BadHeader);
        width = file.U16(18);
        height = file.I16(20);
        planes = file.U16(22);
        bitCount = file.U16(24);
    } else if (infoSize >= 40 && infoSize <= 1024) {
        if (bytes.size() < kFileHeader + infoSize) return Fail(DibStatus::BadHeader);
        width = file.I32(18);
        height = file.I32(22);
        planes = file.U16(26);
        bitCount = file.U16(28);
        compression = file.U32(30);
        sizeImage = file.U32(34);
        clrUsed = file.U32(46);
    } else {
        return Fail(DibStatus::BadHeader);
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > kMaxDibSide || height > kMaxDibSide || planes != 1)
        return Fail(DibStatus::BadHeader);
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return Fail(DibStatus::BadHeader);
    // Run-length pictures: 8-bit runs or 4-bit runs, always stored bottom-up.
    const bool runs = (compression == kBiRle8 && bitCount == 8) || (compression == kBiRle4 && bitCount == 4);
    if (runs && (topDown || static_cast<std::uint64_t>(width * height) > kMaxRunLengthPixels))
        return Fail(DibStatus::BadHeader);

    std::uint64_t tableAt = kFileHeader + infoSize;
    if (compression == kBiBitfields && (bitCount == 16 || bitCount == 32)) {
        // The three masks follow a plain info header; larger headers hold them.
        if (bytes.size() < kFileHeader + 40 + 12) return Fail(DibStatus::BadHeader);
        for (int i = 0; i < 3; ++i) masks[i] = file.U32(kFileHeader + 40 + 4 * i);
        if (infoSize == 40) tableAt += 12;
    } else if (compression != kBiRgb && !runs) {
        return Fail(DibStatus::BadHeader);
    } else if (bitCount == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (bitCount == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }

    // The colour table: the header's count, or the depth's; at most 256 and
    // never more than the depth can index.
    std::uint64_t colours = clrUsed;
    if (colours == 0) colours = bitCount <= 8 ? (1u << bitCount) : 0;
    if (bitCount <= 8) colours = std::min<std::uint64_t>(colours, 1u << bitCount);
    colours = std::min<std::uint64_t>(colours, 256);
    const std::uint64_t entry = infoSize == 12 ? 3 : 4;
    const std::uint64_t tableEnd = tableAt + colours * entry;
    if (tableEnd > bytes.size()) return Fail(DibStatus::BadColours);
    m_colours.clear();
    for (std::uint64_t i = 0; i < colours; ++i) {
        const std::size_t at = static_cast<std::size_t>(tableAt + i * entry);
        m_colours.push_back(bytes[at + 2]);
        m_colours.push_back(bytes[at + 1]);
        m_colours.push_back(bytes[at]);
    }
    if (bitCount <= 8 && colours == 0) return Fail(DibStatus::BadColours);

    if (bitsOffset < kFileHeader || bitsOffset > bytes.size()) return Fail(DibStatus::BadBits);
    const std::uint64_t rest = bytes.size() - bitsOffset;
    const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bitCount + 31) / 32) * 4;
    const std::uint64_t need = runs ? 1 : stride * static_cast<std::uint64_t>(height);
    if (need > rest) return Fail(DibStatus::BadBits);

    m_width = static_cast<int>(width);
    m_height = static_cast<int>(height);
    m_bitCount = bitCount;
    m_imageSize = sizeImage != 0 ? sizeImage : static_cast<std::uint32_t>(width * height);
    m_rgb.assign(static_cast<std::size_t>(width * height * 3), 0);
    const int palette = colourCount();
    auto lookUp = [&](int index, std::uint8_t* out) {
        if (index >= palette) index = 0;  // an index past the table shows its first colour
        std::copy_n(m_colours.data() + index * 3, 3, out);
    };
    if (runs) {
        // The stream is the header's image size, or the rest of the file when
        // it gives 0; a size past the file's end is cut at it.
        const std::uint64_t length = sizeImage != 0 ? std::min<std::uint64_t>(sizeImage, rest) : rest;
        const auto index = UnfoldRuns(bytes.subspan(static_cast<std::size_t>(bitsOffset), static_cast<std::size_t>(length)),
                                      m_width, m_height, bitCount);
        if (!index) return Fail(DibStatus::BadRuns);
        for (std::size_t i = 0; i < index->size(); ++i) lookUp((*index)[i], m_rgb.data() + i * 3);
        m_status = DibStatus::Loaded;
        return m_status;
    }
    const MaskField fields[3] = {FieldOf(masks[0]), FieldOf(masks[1]), FieldOf(masks[2])};
    for (int y = 0; y < m_height; ++y) {
        const int fileRow = topDown ? y : m_height - 1 - y;
        const std::uint8_t* row = bytes.data() + bitsOffset + stride * static_cast<std::uint64_t>(fileRow);
        std::uint8_t* out = m_rgb.data() + static_cast<std::size_t>(y) * m_width * 3;
        for (int x = 0; x < m_width; ++x, out += 3) {
            if (bitCount <= 8) {
                const int perByte = 8 / bitCount;
                const int shift = 8 - bitCount * (x % perByte + 1);
                lookUp((row[x / perByte] >> shift) & ((1 << bitCount) - 1), out);
            } else if (bitCount == 24) {
                out[0] = row[x * 3 + 2];
                out[1] = row[x * 3 + 1];
                out[2] = row[x * 3];
            } else {
                const std::uint32_t px = bitCount == 16
                                             ? static_cast<std::uint32_t>(row[x * 2] | (row[x * 2 + 1] << 8))
                                             : static_cast<std::uint32_t>(row[x * 4] | (row[x * 4 + 1] << 8) |
                                                                          (row[x * 4 + 2] << 16) |
                                                                          (static_cast<std::uint32_t>(row[x * 4 + 3]) << 24));
                for (int c = 0; c < 3; ++c) out[c] = fields[c].Take(px, masks[c]);
            }
        }
    }
    m_status = DibStatus::Loaded;
    return m_status;
}

DibPatch VisiblePart(const CDibFile& dib, int x, int y, int areaWidth, int areaHeight) {
    DibPatch patch;
    if (!dib.loaded() || areaWidth <= 0 || areaHeight <= 0) return patch;
    // Clipped in 64 bits: a position near the limits of int must not wrap.
    const std::int64_t left = std::max<std::int64_t>(x, 0), top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(static_cast<std::int64_t>(x) + dib.width(), areaWidth);
    const std::int64_t bottom = std::min<std::int64_t>(static_cast<std::int64_t>(y) + dib.height(), areaHeight);
    if (left >= right || top >= bottom) return patch;
    patch.x = static_cast<int>(left);
    patch.y = static_cast<int>(top);
    patch.width = static_cast<int>(right - left);
    patch.height = static_cast<int>(bottom - top);
    patch.rgb.resize(static_cast<std::size_t>(patch.width) * patch.height * 3);
    const std::size_t rowBytes = static_cast<std::size_t>(patch.width) * 3;
    for (int row = 0; row < patch.height; ++row) {
        const std::size_t sy = static_cast<std::size_t>(top - y + row), sx = static_cast<std::size_t>(left - x);
        const std::uint8_t* from = dib.rgb().data() + (sy * static_cast<std::size_t>(dib.width()) + sx) * 3;
        std::copy_n(from, rowBytes, patch.rgb.data() + static_cast<std::size_t>(row) * rowBytes);
    }
    return patch;
}

}  // namespace measure
