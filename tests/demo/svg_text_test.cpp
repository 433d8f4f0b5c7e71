// Text laid out as outlines for the SVG renderer, from a tiny glyph set whose
// outlines are boxes, so that each placement can be read off the transform.
#include "tools/asset_builder/svg_text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>

using asset_builder::ExpandText;
using asset_builder::GlyphSet;
using asset_builder::ReadGlyphSet;
using asset_builder::TextCharacters;

namespace {

// 'A' 600 units wide, 上 a full em; a space with no outline.
const char kGlyphs[] =
    "# test glyphs\n"
    "metrics 1000 800 200\n"
    "U+0041 600 M0 0 L600 0 L600 -700 Z\n"
    "U+4E0A 1000 M100 -700 L900 -700 L900 0 Z\n"
    "U+0020 300\n";

GlyphSet Glyphs() {
    std::istringstream in(kGlyphs);
    return ReadGlyphSet(in);
}

std::string Svg(const std::string& body) { return "<svg viewBox=\"0 0 100 100\">" + body + "</svg>"; }

}  // namespace

TEST(SvgText, PlacesEachCharacterByAnchorBaselineAndDirection) {
    struct Case {
        const char* text;
        const char* expected;  // the <text> element's replacement
    };
    const Case cases[] = {
        // font-size 10: 0.01 per unit; 'A' advances 6.
        {R"~(<text x="10" y="50" font-size="10">A</text>)~",
         R"~(<g><path transform="translate(10,50) scale(0.01)" d="M0 0 L600 0 L600 -700 Z"/></g>)~"},
        {R"~(<text x="10" y="50" font-size="10" text-anchor="middle" letter-spacing="2">AA</text>)~",
         R"~(<g><path transform="translate(3,50) scale(0.01)" d="M0 0 L600 0 L600 -700 Z"/>)~"
         R"~(<path transform="translate(11,50) scale(0.01)" d="M0 0 L600 0 L600 -700 Z"/></g>)~"},
        {R"~(<text x="10" y="50" font-size="10" text-anchor="end" dominant-baseline="central">A</text>)~",
         R"~(<g><path transform="translate(4,53) scale(0.01)" d="M0 0 L600 0 L600 -700 Z"/></g>)~"},
        // Vertical: x is the column's centre, each em below the last, the
        // baseline at 80% of the em box; with "middle" y is the centre.
        {R"~(<text x="50" y="0" font-size="20" writing-mode="tb">上上</text>)~",
         R"~(<g><path transform="translate(40,16) scale(0.02)" d="M100 -700 L900 -700 L900 0 Z"/>)~"
         R"~(<path transform="translate(40,36) scale(0.02)" d="M100 -700 L900 -700 L900 0 Z"/></g>)~"},
        {R"~(<text x="50" y="40" font-size="20" writing-mode="tb" text-anchor="middle">上上</text>)~",
         R"~(<g><path transform="translate(40,36) scale(0.02)" d="M100 -700 L900 -700 L900 0 Z"/>)~"
         R"~(<path transform="translate(40,56) scale(0.02)" d="M100 -700 L900 -700 L900 0 Z"/></g>)~"},
        // Runs of white space become one space, which advances but draws nothing.
        {"<text x=\"0\" y=\"10\" font-size=\"10\">\n  A \t A </text>",
         R"~(<g><path transform="translate(0,10) scale(0.01)" d="M0 0 L600 0 L600 -700 Z"/>)~"
         R"~(<path transform="translate(9,10) scale(0.01)" d="M0 0 L600 0 L600 -700 Z"/></g>)~"},
        // Paint attributes stay on the group; bold thickens with a stroke of
        // the fill colour; a stroke width is given in the outline's units.
        {R"~(<text x="0" y="10" font-size="10" fill="#f00" font-family="x" opacity="0.5" font-weight="bold">A</text>)~",
         R"~(<g fill="#f00" opacity="0.5"><path transform="translate(0,10) scale(0.01)" stroke="#f00" )~"
         R"~(stroke-width="45" stroke-linejoin="round" d="M0 0 L600 0 L600 -700 Z"/></g>)~"},
        {R"~(<text x="0" y="10" font-size="10" fill="none" stroke="#000" stroke-width="1.5">A</text>)~",
         R"~(<g fill="none" stroke="#000"><path transform="translate(0,10) scale(0.01)" stroke-width="150" )~"
         R"~(d="M0 0 L600 0 L600 -700 Z"/></g>)~"},
        {R"~(<text x="0" y="0"/>)~", "<g></g>"},
    };
    const GlyphSet glyphs = Glyphs();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ExpandText(Svg(c.text), glyphs), Svg(c.expected));
    }
    // Nothing else in the drawing changes; <textPath> is not <text>.
    const std::string plain = Svg(R"~(<rect width="4" height="4"/><textPath/>)~");
    EXPECT_EQ(ExpandText(plain, glyphs), plain);
}

TEST(SvgText, RefusesWhatItCannotDraw) {
    const GlyphSet glyphs = Glyphs();
    const char* bad[] = {
        R"~(<text x="0" y="0">A&amp;</text>)~",          // no glyph for '&'
        R"~(<text x="0" y="0">下</text>)~",              // no glyph for 下
        R"~(<text x="0" y="0">A<tspan>A</tspan></text>)~",
        R"~(<text x="0" y="0">A)~",                      // never closed
        R"~(<text x="0" y="0" font-size="0">A</text>)~",
        R"~(<text x="a" y="0">A</text>)~",
        R"~(<text x="0" y="0">&bogus;</text>)~",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        EXPECT_THROW(ExpandText(Svg(text), glyphs), std::runtime_error);
    }
    try {
        ExpandText(Svg(R"~(<text x="0" y="0">上下</text>)~"), glyphs);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("U+4E0B"), std::string::npos) << e.what();
    }
}

TEST(SvgText, GlyphFilesRoundTripAndBadOnesAreRefused) {
    const GlyphSet glyphs = Glyphs();
    std::ostringstream out;
    asset_builder::WriteGlyphSet(out, glyphs, "two lines\nof comment");
    std::istringstream again(out.str());
    const GlyphSet read = ReadGlyphSet(again);
    EXPECT_EQ(read.ascender, 800);
    EXPECT_EQ(read.descender, 200);
    ASSERT_EQ(read.glyphs.size(), 3u);
    EXPECT_EQ(read.glyphs.at(U'上').path, "M100 -700 L900 -700 L900 0 Z");
    EXPECT_EQ(read.glyphs.at(U' ').advance, 300);
    EXPECT_TRUE(read.glyphs.at(U' ').path.empty());

    for (const char* text : {"U+0041 600 M0 0 Z\n", "metrics 1000 800 200\nA 600\n", "metrics 1000 800 200\nU+0041\n",
                             "metrics 0 800 200\n", "metrics 1000 800 200\nU+ZZ 600\n"}) {
        SCOPED_TRACE(text);
        std::istringstream in(text);
        EXPECT_THROW(ReadGlyphSet(in), std::runtime_error);
    }
}

TEST(SvgText, TextCharactersCollectsTheContentsOfTextElementsOnly) {
    const auto chars = TextCharacters(
        Svg(R"~(<desc>不要</desc><text x="0" y="0">上 A&#x4E0B;</text><text x="1" y="1">AA</text>)~"));
    EXPECT_EQ(chars, (std::set<char32_t>{U'上', U'A', U'下'}));
}
