#include "web_publish/js_literal.h"

#include <cstdint>
#include <cstdio>

namespace web_publish {

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    if (n == 2 && b < 0xC2) return 0;  // overlong
    return n;
}

std::string Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

}  // namespace

std::string JsString(std::string_view s) {
    std::string out = "\"";
    char buf[8];
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = Utf8Length(s, i);
        if (n == 0) {  // not UTF-8: the replacement character
            out += "\\uFFFD";
            ++i;
            continue;
        }
        if (n == 3 && c == 0xE2 && static_cast<unsigned char>(s[i + 1]) == 0x80 &&
            (static_cast<unsigned char>(s[i + 2]) == 0xA8 || static_cast<unsigned char>(s[i + 2]) == 0xA9)) {
            out += static_cast<unsigned char>(s[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
            i += 3;
            continue;
        }
        if (n > 1) {
            out.append(s.substr(i, n));
            i += n;
            continue;
        }
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '<': out += "\\x3C"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    std::snprintf(buf, sizeof buf, "\\x%02X", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
        ++i;
    }
    out += '"';
    return out;
}

std::string JsLetter(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u >= 0x7F) return "\"\"";
    return JsString(std::string_view(&c, 1));
}

std::optional<std::string> JsNumber(std::string_view text) {
    const std::string t = Trim(text);
    std::size_t i = 0;
    std::string out;
    if (i < t.size() && t[i] == '-') out += t[i++];
    std::string whole, frac;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') whole += t[i++];
    bool point = false;
    if (i < t.size() && t[i] == '.') {
        point = true;
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') frac += t[i++];
    }
    if (i != t.size() || (whole.empty() && frac.empty()) || (point && frac.empty())) return std::nullopt;
    const std::size_t nz = whole.find_first_not_of('0');
    whole = nz == std::string::npos ? "0" : whole.substr(nz);
    out += whole;
    if (point) out += "." + frac;
    return out;
}

std::string CleanPrice(std::string_view priceBytes) {
    std::string kept;
    for (std::size_t i = 0; i < priceBytes.size() && i < 8; ++i) {
        const char c = priceBytes[i];
        if (c == '\0') break;
        if ((c >= '0' && c <= '9') || c == '.' || c == '-') kept += c;
    }
    return JsNumberItem(kept);
}

std::string JsSizePair(std::string_view text) {
    std::string t(text);
    if (!t.empty() && (t[0] == 'J' || t[0] == 'j' || t[0] == 'P' || t[0] == 'p' || t[0] == 'G' || t[0] == 'g'))
        t[0] = ' ';
    const std::size_t comma = t.find(',');
    const std::string a = comma == std::string::npos ? t : t.substr(0, comma);
    const std::string b = comma == std::string::npos ? std::string() : t.substr(comma + 1);
    const std::string second = JsNumberItem(b);
    return "[" + JsNumberItem(a) + "," + second + (second.empty() ? ",]" : "]");
}

}  // namespace web_publish
