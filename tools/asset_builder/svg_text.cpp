#include "tools/asset_builder/svg_text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

namespace asset_builder {
namespace {

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

std::string Number(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    std::string s = buf;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string CodeName(char32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
    return buf;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

struct Attr {
    std::string name, value;
};

// The attributes of a start tag's inside (between the element name and '>').
std::vector<Attr> ParseAttributes(std::string_view tag) {
    std::vector<Attr> attrs;
    std::size_t p = 0;
    auto skipSpace = [&] {
        while (p < tag.size() && std::isspace(static_cast<unsigned char>(tag[p]))) ++p;
    };
    for (;;) {
        skipSpace();
        if (p >= tag.size() || tag[p] == '/') break;
        const std::size_t nameStart = p;
        while (p < tag.size() && tag[p] != '=' && !std::isspace(static_cast<unsigned char>(tag[p]))) ++p;
        Attr a{std::string(tag.substr(nameStart, p - nameStart)), {}};
        skipSpace();
        if (p >= tag.size() || tag[p] != '=') Fail("attribute " + a.name + " has no value");
        ++p;
        skipSpace();
        if (p >= tag.size() || (tag[p] != '"' && tag[p] != '\'')) Fail("attribute " + a.name + " is not quoted");
        const char quote = tag[p++];
        const std::size_t close = tag.find(quote, p);
        if (close == std::string_view::npos) Fail("attribute " + a.name + " is not closed");
        a.value = std::string(tag.substr(p, close - p));
        p = close + 1;
        attrs.push_back(std::move(a));
    }
    return attrs;
}

std::string DecodeEntities(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const std::size_t semi = text.find(';', i);
        if (semi == std::string_view::npos) Fail("unterminated entity in text");
        const std::string_view name = text.substr(i + 1, semi - i - 1);
        if (name == "amp") out += '&';
        else if (name == "lt") out += '<';
        else if (name == "gt") out += '>';
        else if (name == "quot") out += '"';
        else if (name == "apos") out += '\'';
        else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            const std::string digits(name.substr(hex ? 2 : 1));
            char* end = nullptr;
            const unsigned long code = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
            if (digits.empty() || *end != '\0' || code == 0 || code > 0x10FFFF) Fail("bad character reference");
            AppendUtf8(out, static_cast<char32_t>(code));
        } else {
            Fail("unknown entity &" + std::string(name) + ";");
        }
        i = semi;
    }
    return out;
}

// XML's default white space handling in SVG: line breaks and tabs become
// spaces, runs collapse, leading and trailing spaces go.
std::u32string NormaliseSpace(const std::u32string& text) {
    std::u32string out;
    bool space = false;
    for (char32_t c : text) {
        if (c == U' ' || c == U'\t' || c == U'\n' || c == U'\r') {
            space = !out.empty();
            continue;
        }
        if (space) out += U' ';
        space = false;
        out += c;
    }
    return out;
}

double ParseLength(const std::string& value, const char* what) {
    char* end = nullptr;
    const double v = std::strtod(value.c_str(), &end);
    const std::string rest(end);
    if (end == value.c_str() || !(rest.empty() || rest == "px") || !std::isfinite(v))
        Fail(std::string("bad ") + what + ": " + value);
    return v;
}

struct TextElement {
    std::size_t begin = 0, end = 0;  // the whole element, "<text" to past "</text>"
    std::string_view attributes;     // inside of the start tag
    std::string content;             // raw, entities not decoded
};

// The next <text> element at or after `from`; begin == npos when none.
TextElement FindText(const std::string& svg, std::size_t from) {
    TextElement t;
    t.begin = std::string::npos;
    std::size_t pos = from;
    while ((pos = svg.find("<text", pos)) != std::string::npos) {
        const std::size_t after = pos + 5;
        if (after < svg.size() && (std::isspace(static_cast<unsigned char>(svg[after])) || svg[after] == '>')) break;
        pos = after;
    }
    if (pos == std::string::npos) return t;
    const std::size_t close = svg.find('>', pos);
    if (close == std::string::npos) Fail("a <text> start tag is not closed");
    t.begin = pos;
    if (svg[close - 1] == '/') {  // <text .../>: nothing to draw
        t.attributes = std::string_view(svg).substr(pos + 5, close - 1 - (pos + 5));
        t.end = close + 1;
        return t;
    }
    t.attributes = std::string_view(svg).substr(pos + 5, close - (pos + 5));
    const std::size_t endTag = svg.find("</text>", close);
    if (endTag == std::string::npos) Fail("a <text> element is not closed");
    t.content = svg.substr(close + 1, endTag - close - 1);
    if (t.content.find('<') != std::string::npos) Fail("a <text> element holds other elements");
    t.end = endTag + 7;
    return t;
}

std::string Layout(const TextElement& t, const GlyphSet& set) {
    double x = 0, y = 0, size = 16, spacing = 0, strokeWidth = -1;
    std::string anchor = "start", baseline = "auto", fill = "#000000";
    bool vertical = false, bold = false, hasStroke = false;
    std::string kept;
    for (const Attr& a : ParseAttributes(t.attributes)) {
        if (a.name == "x") x = ParseLength(a.value, "x");
        else if (a.name == "y") y = ParseLength(a.value, "y");
        else if (a.name == "font-size") size = ParseLength(a.value, "font-size");
        else if (a.name == "letter-spacing") spacing = ParseLength(a.value, "letter-spacing");
        else if (a.name == "stroke-width") strokeWidth = ParseLength(a.value, "stroke-width");
        else if (a.name == "text-anchor") anchor = a.value;
        else if (a.name == "dominant-baseline") baseline = a.value;
        else if (a.name == "writing-mode") vertical = a.value == "tb" || a.value == "tb-rl" || a.value == "vertical-rl";
        else if (a.name == "font-weight") bold = a.value == "bold" || a.value == "bolder" || std::atoi(a.value.c_str()) >= 600;
        else if (a.name == "font-family" || a.name == "font-style") {
        } else {
            if (a.name == "fill") fill = a.value;
            if (a.name == "stroke") hasStroke = a.value != "none";
            kept += " " + a.name + "=\"" + a.value + "\"";
        }
    }
    if (!(size > 0)) Fail("font-size must be above 0");
    const std::u32string text = NormaliseSpace(DecodeUtf8(DecodeEntities(t.content)));
    const double k = size / set.unitsPerEm;
    std::vector<const Glyph*> glyphs;
    for (char32_t c : text) {
        const auto it = set.glyphs.find(c);
        if (it == set.glyphs.end()) {
            std::string shown;
            AppendUtf8(shown, c);
            Fail("the glyph file has no " + CodeName(c) + " (" + shown + "); run the refresh_glyphs target");
        }
        glyphs.push_back(&it->second);
    }

    // Outline thickness in font units: the stroke is scaled with the outline.
    std::string strokeAttrs;
    if (hasStroke && strokeWidth >= 0) {
        strokeAttrs = " stroke-width=\"" + Number(strokeWidth / k) + "\"";
    } else if (bold && !hasStroke) {
        strokeAttrs = " stroke=\"" + fill + "\" stroke-width=\"" + Number(0.045 * set.unitsPerEm) +
                      "\" stroke-linejoin=\"round\"";
    }

    std::string out = "<g" + kept + ">";
    auto place = [&](const Glyph& g, double gx, double gy) {
        if (g.path.empty()) return;
        out += "<path transform=\"translate(" + Number(gx) + "," + Number(gy) + ") scale(" + Number(k) + ")\"" +
               strokeAttrs + " d=\"" + g.path + "\"/>";
    };
    const double emHeight = set.ascender + set.descender;
    if (vertical) {
        const double n = static_cast<double>(glyphs.size());
        const double total = n * size + (n > 0 ? (n - 1) * spacing : 0);
        double top = anchor == "middle" ? y - total / 2 : anchor == "end" ? y - total : y;
        for (const Glyph* g : glyphs) {
            place(*g, x - g->advance * k / 2, top + size * set.ascender / emHeight);
            top += size + spacing;
        }
    } else {
        double total = 0;
        for (const Glyph* g : glyphs) total += g->advance * k;
        if (!glyphs.empty()) total += spacing * static_cast<double>(glyphs.size() - 1);
        double left = anchor == "middle" ? x - total / 2 : anchor == "end" ? x - total : x;
        double base = y;
        if (baseline == "central" || baseline == "middle") base = y + (set.ascender - set.descender) * k / 2;
        else if (baseline == "hanging" || baseline == "text-before-edge") base = y + set.ascender * k;
        for (const Glyph* g : glyphs) {
            place(*g, left, base);
            left += g->advance * k + spacing;
        }
    }
    out += "</g>";
    return out;
}

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t c = 0;
        if (b < 0x80) c = b;
        else if ((b & 0xE0) == 0xC0) extra = 1, c = b & 0x1F;
        else if ((b & 0xF0) == 0xE0) extra = 2, c = b & 0x0F;
        else if ((b & 0xF8) == 0xF0) extra = 3, c = b & 0x07;
        else Fail("malformed UTF-8 in text");
        for (int j = 1; j <= extra; ++j) {
            if (i + j >= text.size()) Fail("truncated UTF-8 in text");
            const unsigned char cb = static_cast<unsigned char>(text[i + j]);
            if ((cb & 0xC0) != 0x80) Fail("malformed UTF-8 in text");
            c = (c << 6) | (cb & 0x3F);
        }
        out += c;
        i += extra + 1;
    }
    return out;
}

GlyphSet ReadGlyphSet(std::istream& in) {
    GlyphSet set;
    std::string line;
    int number = 0;
    bool metrics = false;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        auto bad = [&] { Fail("glyph file line " + std::to_string(number) + ": cannot read \"" + line + "\""); };
        if (key == "metrics") {
            if (!(fields >> set.unitsPerEm >> set.ascender >> set.descender) || !(set.unitsPerEm > 0) ||
                !(set.ascender + set.descender > 0))
                bad();
            metrics = true;
            continue;
        }
        if (key.size() < 3 || key.compare(0, 2, "U+") != 0) bad();
        char* end = nullptr;
        const unsigned long code = std::strtoul(key.c_str() + 2, &end, 16);
        if (*end != '\0' || code > 0x10FFFF) bad();
        Glyph g;
        if (!(fields >> g.advance)) bad();
        std::getline(fields >> std::ws, g.path);
        set.glyphs[static_cast<char32_t>(code)] = std::move(g);
    }
    if (!metrics) Fail("glyph file has no metrics line");
    return set;
}

void WriteGlyphSet(std::ostream& out, const GlyphSet& set, std::string_view comment) {
    std::istringstream lines{std::string(comment)};
    std::string line;
    while (std::getline(lines, line)) out << "# " << line << "\n";
    out << "metrics " << Number(set.unitsPerEm) << " " << Number(set.ascender) << " " << Number(set.descender)
        << "\n";
    for (const auto& [code, g] : set.glyphs) {
        out << CodeName(code) << " " << Number(g.advance);
        if (!g.path.empty()) out << " " << g.path;
        out << "\n";
    }
}

std::string ExpandText(const std::string& svg, const GlyphSet& set) {
    std::string out;
    std::size_t done = 0;
    for (;;) {
        const TextElement t = FindText(svg, done);
        if (t.begin == std::string::npos) break;
        out.append(svg, done, t.begin - done);
        out += Layout(t, set);
        done = t.end;
    }
    out.append(svg, done, std::string::npos);
    return out;
}

std::set<char32_t> TextCharacters(const std::string& svg) {
    std::set<char32_t> chars;
    std::size_t done = 0;
    for (;;) {
        const TextElement t = FindText(svg, done);
        if (t.begin == std::string::npos) break;
        for (char32_t c : DecodeUtf8(DecodeEntities(t.content)))
            if (c != U' ' && c != U'\t' && c != U'\n' && c != U'\r') chars.insert(c);
        done = t.end;
    }
    return chars;
}

}  // namespace asset_builder
