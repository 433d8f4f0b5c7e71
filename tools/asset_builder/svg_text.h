#pragma once
// Text for a renderer that draws no text: every <text> element of a drawing is
// replaced by the outlines of its characters, taken from a glyph file that is
// kept in the source tree (so a build needs no font). glyph_extract writes
// that file from a font for the characters the drawings use.
//
// Supported on <text>: x, y, font-size, text-anchor (start, middle, end),
// dominant-baseline (auto, central/middle, hanging), writing-mode (tb, tb-rl,
// vertical-rl: one character under the other, x the column's centre, y its
// top, or its centre with text-anchor middle), letter-spacing, font-weight
// (bold or 600 and more thickens the outline), stroke-width (in user units);
// every other attribute (fill, stroke, opacity, transform...) is kept on a
// group around the outlines. The content is plain text with the XML entities.
#include <istream>
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace asset_builder {

struct Glyph {
    double advance = 0;  // in font units
    std::string path;    // outline in font units, y down, origin on the baseline
};

struct GlyphSet {
    double unitsPerEm = 1000;
    double ascender = 880;   // above the baseline, font units
    double descender = 120;  // below the baseline, font units (positive)
    std::map<char32_t, Glyph> glyphs;
};

// Reads a glyph file: '#' comment lines, one line "metrics <units per em>
// <ascender> <descender>", and lines "U+XXXX <advance> [<path data>]".
// Throws std::runtime_error with the line number on anything else.
GlyphSet ReadGlyphSet(std::istream& in);

// Writes `set` in the form ReadGlyphSet reads, characters in code order.
void WriteGlyphSet(std::ostream& out, const GlyphSet& set, std::string_view comment);

// The drawing with every <text> element replaced by a group of outlines.
// Throws std::runtime_error naming a character that the set lacks, or a
// <text> element that is not closed or holds other elements.
std::string ExpandText(const std::string& svg, const GlyphSet& set);

// Every character in the <text> elements of a drawing (spaces excluded).
std::set<char32_t> TextCharacters(const std::string& svg);

// UTF-8 to code points; a malformed sequence throws std::runtime_error.
std::u32string DecodeUtf8(std::string_view text);

}  // namespace asset_builder
