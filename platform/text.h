#pragma once
// Text conversion between the UTF-8 the suite holds in memory and the GBK that
// its files hold, and the fixed-width text fields of binary records.
// Pure functions, safe from any thread.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// Byte length of the UTF-8 sequence that starts `s` (not empty); 1 for a
// stray or cut byte, so that a walk over any bytes moves on.
std::size_t Utf8SequenceLength(std::string_view s);

// A text as it shows where '&' marks the key of the next character (menus,
// button and cell texts): "&&" shows one '&', a single '&' nothing.
std::string StripMnemonics(std::string_view text);

// GBK bytes to UTF-8. A byte sequence with no GBK meaning becomes '?', so old
// data always reads.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 to GBK; nullopt when a character has no GBK form (emoji, say) or the
// input is not UTF-8.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// As above, but a character with no GBK form becomes '?'.
std::string Utf8ToGbkLossy(std::string_view utf8);

// Length of the longest prefix of `gbk` that is at most `limit` bytes and does
// not end inside a double-byte character.
std::size_t GbkCutLength(std::string_view gbk, std::size_t limit);

// Number of GBK bytes of a UTF-8 text (unmappable characters count as one).
std::size_t GbkLength(std::string_view utf8);

// UTF-8 text cut so that its GBK form has at most `limit` bytes.
std::string CutToGbkBytes(std::string_view utf8, std::size_t limit);

// The GBK bytes of a fixed field: up to the first NUL within `width` bytes.
std::string ReadFieldBytes(std::span<const std::uint8_t> record, std::size_t offset, std::size_t width);

// A fixed field read as UTF-8: bounded by its width, up to the first NUL, with
// trailing blanks (the padding of blank-padded fields) removed.
std::string ReadTextField(std::span<const std::uint8_t> record, std::size_t offset, std::size_t width);

enum class FieldPad { Nul, Blank };

// Writes UTF-8 text as GBK into a field of `width` bytes at `offset`: cut on a
// character boundary to at most `width - 1` bytes (Nul) or `width` bytes
// (Blank), then the rest of the field filled with NULs or blanks. Returns true
// when the whole text fitted.
bool WriteTextField(std::span<std::uint8_t> record, std::size_t offset, std::size_t width,
                    std::string_view utf8, FieldPad pad = FieldPad::Nul);

}  // namespace platform
