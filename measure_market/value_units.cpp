#include "measure_market/value_units.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace measure {

namespace {

constexpr double kMaxHundredths = 1e6;  // 100 m
constexpr double kHundredthsPerInch = 254;
constexpr double kHundredthsPerChi = 3333.333;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits at the front of s (at most 9), taken off s.
std::optional<long> Digits(std::string_view& s) {
    std::size_t n = 0;
    long v = 0;
    while (n < s.size() && IsDigit(s[n])) {
        if (n == 9) return std::nullopt;
        v = v * 10 + (s[n] - '0');
        ++n;
    }
    if (n == 0) return std::nullopt;
    s.remove_prefix(n);
    return v;
}

// "W", "W.F" or ".F" as a number; none for other text.
std::optional<double> Decimal(std::string_view s) {
    std::size_t digits = 0, dots = 0;
    for (char c : s) {
        if (IsDigit(c)) {
            ++digits;
        } else if (c == '.') {
            ++dots;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || digits > 12 || dots > 1) return std::nullopt;
    double v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) {
        // from_chars does not take "12." or ".5" in every library: read them by hand.
        const std::size_t dot = s.find('.');
        double whole = 0, fraction = 0;
        std::from_chars(s.data(), s.data() + dot, whole);
        const std::string f = "0" + std::string(s.substr(dot));
        if (f.size() > 2) std::from_chars(f.data(), f.data() + f.size(), fraction);
        v = whole + fraction;
    }
    return v;
}

// "N/D" as a number; none for other text or D = 0.
std::optional<double> Fraction(std::string_view s) {
    const auto n = Digits(s);
    if (!n || s.empty() || s.front() != '/') return std::nullopt;
    s.remove_prefix(1);
    const auto d = Digits(s);
    if (!d || !s.empty() || *d == 0) return std::nullopt;
    return static_cast<double>(*n) / static_cast<double>(*d);
}

std::optional<double> Inches(std::string_view s) {
    if (const auto d = Decimal(s)) return d;
    if (const auto f = Fraction(s)) return f;
    // "W N/D"
    const std::size_t blank = s.find_first_of(" \t");
    if (blank == std::string_view::npos) return std::nullopt;
    const auto whole = Decimal(s.substr(0, blank));
    const auto f = Fraction(Trim(s.substr(blank)));
    if (!whole || !f || s.substr(0, blank).find('.') != std::string_view::npos) return std::nullopt;
    return *whole + *f;
}

std::string Trimmed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string s(buf);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s;
}

}  // namespace

std::string FormatCentimetres(std::int32_t v) {
    if (v < 0) return {};
    char buf[32];
    if (v % 100 == 0)
        std::snprintf(buf, sizeof buf, "%d", v / 100);
    else
        std::snprintf(buf, sizeof buf, "%d.%02d", v / 100, v % 100);
    return buf;
}

std::string FormatInUnit(std::int32_t v, ValueUnit unit) {
    if (v < 0) return {};
    switch (unit) {
    case ValueUnit::Inch: return Trimmed(v / kHundredthsPerInch, 2);
    case ValueUnit::Chi: return Trimmed(v / kHundredthsPerChi, 3);
    default: return FormatCentimetres(v);
    }
}

std::optional<std::int32_t> ParseValue(std::string_view text, ValueUnit unit) {
    const std::string_view s = Trim(text);
    std::optional<double> hundredths;
    switch (unit) {
    case ValueUnit::Centimetre:
        if (const auto d = Decimal(s)) hundredths = std::round(*d * 100);
        break;
    case ValueUnit::Inch:
        if (const auto d = Inches(s)) hundredths = std::floor(*d * kHundredthsPerInch + 0.0007);
        break;
    case ValueUnit::Chi:
        if (const auto d = Decimal(s)) hundredths = std::floor(*d * kHundredthsPerChi + 0.0007);
        break;
    }
    if (!hundredths || *hundredths >= kMaxHundredths) return std::nullopt;
    return static_cast<std::int32_t>(*hundredths);
}

}  // namespace measure
