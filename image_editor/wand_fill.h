#pragma once
// The magic wand's fill on plain buffers: a photo mask (one state byte a
// pixel) and its colours (0x00BBGGRR), row by row, `width` a row. The engine
// runs it on its stores; the benchmark runs it on pictures of any size.
//
// A pixel joins when its mask is 'a' (already known to belong), or when it is
// 'A' and each channel lies in lo .. lo + 16 (lo: the seed's channel - 8).
// Every joining pixel 8-connected to a seed through joining pixels becomes
// 'c'. Scratch space is reserved once; a fill does not allocate while the
// reserve holds. Not thread-safe: one WandFill per caller.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace image_editor {

// Photo mask states (the photo-edit engine's and the fill's).
namespace mask {
inline constexpr char kEmpty = ' ';
inline constexpr char kKept = 'A';
inline constexpr char kPending = 'B';      // inside a keep polygon or sticker, not committed
inline constexpr char kWandRunning = 'a';
inline constexpr char kWandSelected = 'c';  // removed, still undoable
inline constexpr char kRemoved = 'x';
}  // namespace mask

// A run of selected pixels: indices start .. start + length - 1.
struct WandRun {
    std::uint32_t start, length;
};

class WandFill {
public:
    // Room for fills of up to `pixels` pixels without allocating.
    explicit WandFill(std::size_t pixels = 0);

    // Fills from every seed (an index whose mask is 'a'; others are skipped).
    // When `runs` is given, every selected run is appended to it.
    void Run(char* mask, const std::uint32_t* colours, int width, int height, std::span<const std::uint32_t> seeds,
             const int lo[3], std::vector<WandRun>* runs = nullptr);

private:
    std::vector<std::uint32_t> m_stack;  // runs to search from, six values each
};

}  // namespace image_editor
