// glyph_extract: writes the glyph file that asset_builder lays text with, from
// a font, for every character in the <text> elements of the given drawings.
// Run through the refresh_glyphs target after adding text to a drawing; the
// build itself only reads the file, so it needs neither FreeType nor a font.
#include "tools/asset_builder/svg_text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

struct PathWriter {
    std::ostringstream d;
    double k = 1;  // font units to the file's units
    bool open = false;

    void Point(const FT_Vector* v) { d << ' ' << Num(v->x * k) << ' ' << Num(-v->y * k); }
    static std::string Num(double v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.1f", v);
        std::string s = buf;
        if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
        return s == "-0" ? "0" : s;
    }
};

int MoveTo(const FT_Vector* to, void* user) {
    auto* w = static_cast<PathWriter*>(user);
    if (w->open) w->d << " Z ";
    w->d << 'M';
    w->Point(to);
    w->open = true;
    return 0;
}
int LineTo(const FT_Vector* to, void* user) {
    auto* w = static_cast<PathWriter*>(user);
    w->d << " L";
    w->Point(to);
    return 0;
}
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* w = static_cast<PathWriter*>(user);
    w->d << " Q";
    w->Point(control);
    w->Point(to);
    return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* w = static_cast<PathWriter*>(user);
    w->d << " C";
    w->Point(c1);
    w->Point(c2);
    w->Point(to);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: glyph_extract FONT OUTPUT.txt DRAWING.svg...\n");
        return 2;
    }
    std::set<char32_t> wanted;
    for (int i = 3; i < argc; ++i) {
        std::ifstream in(std::filesystem::path(argv[i]), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        try {
            const auto chars = asset_builder::TextCharacters(text.str());
            wanted.insert(chars.begin(), chars.end());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "glyph_extract: %s: %s\n", argv[i], e.what());
            return 1;
        }
    }
    wanted.insert(U' ');

    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) || FT_New_Face(library, argv[1], 0, &face)) {
        std::fprintf(stderr, "glyph_extract: cannot open the font %s\n", argv[1]);
        return 1;
    }
    asset_builder::GlyphSet set;
    const double k = 1000.0 / face->units_per_EM;
    set.unitsPerEm = 1000;
    set.ascender = face->ascender * k;
    set.descender = -face->descender * k;
    FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    int missing = 0;
    for (char32_t c : wanted) {
        const FT_UInt index = FT_Get_Char_Index(face, c);
        if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING)) {
            std::fprintf(stderr, "glyph_extract: the font has no U+%04X\n", static_cast<unsigned>(c));
            ++missing;
            continue;
        }
        PathWriter w;
        w.k = k;
        if (face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) FT_Outline_Decompose(&face->glyph->outline, &funcs, &w);
        if (w.open) w.d << " Z";
        asset_builder::Glyph g;
        g.advance = face->glyph->advance.x * k;
        g.path = w.d.str();
        set.glyphs[c] = g;
    }
    const std::string family = face->family_name ? face->family_name : "?";
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (missing) return 1;

    std::ofstream out(std::filesystem::path(argv[2]), std::ios::binary | std::ios::trunc);
    asset_builder::WriteGlyphSet(out, set,
                                 "Character outlines for the text in the drawings, in units of 1000 per em,\n"
                                 "y down, origin on the baseline. Written by glyph_extract (target\n"
                                 "refresh_glyphs) from the font " + family +
                                     " (Apache License 2.0); do not edit.");
    if (!out.flush()) {
        std::fprintf(stderr, "glyph_extract: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
