#pragma once
// CDibFile: a device-independent bitmap file (".bmp") read whole and checked
// before use: the file and info headers must fit, the colour table holds at
// most 256 entries (and no more than the bit depth can index) and lies inside
// the file, and the pixel rows are read at the file header's offset and must
// lie inside the file too. Uncompressed 1, 4, 8, 24 and 32-bit pictures,
// 16 and 32-bit ones with bit-field masks, and bottom-up 8 and 4-bit ones
// with run-length compression are read. A run-length stream is read at most
// as far as the header's image size and the file's end, and must reach its
// end-of-bitmap mark there; a mark before the last row ends the picture, and
// what the stream never sets shows colour 0. A run past a row's end is
// clipped at it; a delta that moves outside the picture makes the stream
// damaged. The pixels are handed out as top-down RGB triplets.
//
// Any thread; no window code.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace measure {

enum class DibStatus {
    Loaded,
    NoFile,        // cannot be read
    NotBitmap,     // does not start with "BM"
    BadHeader,     // headers short, sizes beyond limits, unknown depth or compression,
                   // a top-down or over-large run-length picture
    BadColours,    // the colour table does not fit
    BadBits,       // the pixel rows do not fit in the file, or no run-length stream
    BadRuns,       // the run-length stream ends before its end-of-bitmap mark, or a
                   // delta moves outside the picture
};

inline constexpr int kMaxDibSide = 16384;
inline constexpr const char* kNotBitmapMessage = "This isn't a bitmap file!";

class CDibFile {
public:
    CDibFile() = default;
    explicit CDibFile(const std::filesystem::path& path) { Load(path); }

    DibStatus Load(const std::filesystem::path& path);
    DibStatus LoadBytes(std::span<const std::uint8_t> bytes);

    bool loaded() const { return m_status == DibStatus::Loaded; }
    DibStatus status() const { return m_status; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int bitCount() const { return m_bitCount; }
    // Entries of the colour table (0 when there is none).
    int colourCount() const { return static_cast<int>(m_colours.size() / 3); }
    // The colour table as RGB triplets.
    const std::vector<std::uint8_t>& colours() const { return m_colours; }
    // Bytes of the pixel rows or of the run-length stream, as the header
    // gives them (width x height when it gives 0).
    std::uint32_t imageSize() const { return m_imageSize; }
    // width x height RGB triplets, top row first.
    const std::vector<std::uint8_t>& rgb() const { return m_rgb; }

private:
    DibStatus Fail(DibStatus s);

    DibStatus m_status = DibStatus::NoFile;
    int m_width = 0;
    int m_height = 0;
    int m_bitCount = 0;
    std::uint32_t m_imageSize = 0;
    std::vector<std::uint8_t> m_colours;
    std::vector<std::uint8_t> m_rgb;
};

// The part of a loaded picture that lands on an area of areaWidth x
// areaHeight pixels when its top-left corner is put at (x, y): where it goes
// in the area and its RGB triplets, top row first. Empty when nothing lands.
struct DibPatch {
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};
DibPatch VisiblePart(const CDibFile& dib, int x, int y, int areaWidth, int areaHeight);

}  // namespace measure
