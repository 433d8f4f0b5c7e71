// Every shape becomes pixel spans first (scan.h for polygons, the stroke and
// ellipse rules below), and the spans go through the raster operation once
// each. Thin lines are Bresenham's, leaving out the end pixel. A wide stroke
// is the set of pixel centres nearer than half the width to any of its
// segments: per row, each segment's capsule gives one interval (a capsule is
// convex), and the intervals of all segments are merged before they are
// drawn, so overlapping segments change a pixel once.
#include "platform/raster/surface.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform::raster {

namespace {

constexpr int kDashOn = 18, kDashOff = 6;
constexpr int kDotOn = 3, kDotOff = 3;

bool PatternOn(PenStyle style, int pos) {
    switch (style) {
    case PenStyle::Dash:
        return pos % (kDashOn + kDashOff) < kDashOn;
    case PenStyle::Dot:
        return pos % (kDotOn + kDotOff) < kDotOn;
    case PenStyle::Solid:
        break;
    }
    return true;
}

int EffectiveWidth(const Pen& pen) { return std::max(1, pen.width); }

// Sorts spans by row and x and merges those that overlap or touch.
std::vector<Span> MergeSpans(std::vector<Span> spans) {
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) {
        return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
    });
    std::vector<Span> out;
    for (const Span& s : spans) {
        if (s.x1 <= s.x0) continue;
        if (!out.empty() && out.back().y == s.y && s.x0 <= out.back().x1)
            out.back().x1 = std::max(out.back().x1, s.x1);
        else
            out.push_back(s);
    }
    return out;
}

// Bresenham from a to b without b; calls put(x, y, index along the line).
template <typename Put>
void Bresenham(Point a, Point b, Put&& put) {
    int x = a.x, y = a.y;
    const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
    const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    int err = dx + dy;
    int i = 0;
    while (x != b.x || y != b.y) {
        put(x, y, i++);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// The open interval of u on the row v where the capsule around segment a-b
// with radius r holds; false when the row misses it.
bool CapsuleRow(double ax, double ay, double bx, double by, double r, double v, double& lo, double& hi) {
    lo = std::numeric_limits<double>::infinity();
    hi = -lo;
    auto disk = [&](double cx, double cy) {
        const double d = v - cy;
        if (std::abs(d) >= r) return;
        const double half = std::sqrt(r * r - d * d);
        lo = std::min(lo, cx - half);
        hi = std::max(hi, cx + half);
    };
    disk(ax, ay);
    disk(bx, by);
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    if (len2 > 0) {
        const double len = std::sqrt(len2);
        double sLo = -std::numeric_limits<double>::infinity(), sHi = -sLo;
        // Keeps u where k*u + m lies in [from, to].
        auto clamp = [&](double k, double m, double from, double to) {
            if (k == 0) {
                if (m < from || m > to) sHi = sLo - 1;
                return;
            }
            double u1 = (from - m) / k, u2 = (to - m) / k;
            if (u1 > u2) std::swap(u1, u2);
            sLo = std::max(sLo, u1);
            sHi = std::min(sHi, u2);
        };
        // Projection on the segment in [0, 1], distance from its line below r.
        clamp(dx / len2, (-ax * dx + (v - ay) * dy) / len2, 0.0, 1.0);
        clamp(dy / len, (-ax * dy - (v - ay) * dx) / len, -r, r);
        if (sLo < sHi) {
            lo = std::min(lo, sLo);
            hi = std::max(hi, sHi);
        }
    }
    return lo < hi;
}

// The pixels px whose (px + shift) lies strictly inside (lo, hi).
bool PixelsInside(double lo, double hi, double shift, int& x0, int& x1) {
    x0 = static_cast<int>(std::floor(lo - shift)) + 1;
    x1 = static_cast<int>(std::ceil(hi - shift));  // exclusive
    return x1 > x0;
}

void ThinSpans(Point a, Point b, PenStyle style, int& pos, std::vector<Span>& out) {
    Bresenham(a, b, [&](int x, int y, int) {
        if (PatternOn(style, pos)) out.push_back({y, x, x + 1});
        ++pos;
    });
}

void WideSpans(std::span<const Point> points, int width, std::vector<Span>& out) {
    const double r = width / 2.0;
    // The centre line on pixel centres for odd widths, between pixels for even.
    const double shift = (width % 2 == 0) ? 0.5 : 0.0;
    const std::size_t segments = points.size() == 1 ? 1 : points.size() - 1;
    for (std::size_t i = 0; i < segments; ++i) {
        const Point a = points[i];
        const Point b = points.size() == 1 ? a : points[i + 1];
        const int top = static_cast<int>(std::floor(std::min(a.y, b.y) - r - shift)) - 1;
        const int bottom = static_cast<int>(std::ceil(std::max(a.y, b.y) + r - shift)) + 1;
        for (int py = top; py <= bottom; ++py) {
            double lo, hi;
            int x0, x1;
            if (CapsuleRow(a.x, a.y, b.x, b.y, r, py + shift, lo, hi) && PixelsInside(lo, hi, shift, x0, x1))
                out.push_back({py, x0, x1});
        }
    }
}

// The columns of row py inside the ellipse with centre (cx, cy) and radii
// (a, b), testing pixel centres; false when none.
bool EllipseRow(double cx, double cy, double a, double b, int py, int& x0, int& x1) {
    if (a <= 0 || b <= 0) return false;
    const double d = (py + 0.5 - cy) / b;
    if (d * d > 1.0) return false;
    const double half = a * std::sqrt(1.0 - d * d);
    x0 = static_cast<int>(std::ceil(cx - half - 0.5));
    x1 = static_cast<int>(std::floor(cx + half - 0.5)) + 1;
    return x1 > x0;
}

}  // namespace

std::vector<Span> StrokeSpans(std::span<const Point> points, const Pen& pen) {
    std::vector<Span> spans;
    if (points.empty()) return spans;
    const int width = EffectiveWidth(pen);
    if (width == 1) {
        int pos = 0;
        for (std::size_t i = 0; i + 1 < points.size(); ++i) ThinSpans(points[i], points[i + 1], pen.style, pos, spans);
        // A thin line leaves each pixel once unless it crosses itself, where
        // the pixel changes twice, as on any exclusive-or display.
        std::stable_sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) {
            return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
        });
        return spans;
    }
    WideSpans(points, width, spans);
    return MergeSpans(std::move(spans));
}

std::vector<Span> EllipseSpans(int l, int t, int r, int b, const Pen& pen) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    std::vector<Span> spans;
    if (r - l < 1 || b - t < 1) return spans;
    const double cx = (l + r) / 2.0, cy = (t + b) / 2.0, a = (r - l) / 2.0, bb = (b - t) / 2.0;
    const int width = EffectiveWidth(pen);
    if (width == 1) {
        // The inside pixels that have a 4-neighbour outside: a closed outline
        // one pixel thick.
        auto row = [&](int py, int& x0, int& x1) { return EllipseRow(cx, cy, a, bb, py, x0, x1); };
        for (int py = t; py < b; ++py) {
            int x0, x1;
            if (!row(py, x0, x1)) continue;
            int in0 = x0 + 1, in1 = x1 - 1;  // interior candidates, half-open
            int u0, u1, d0, d1;
            if (row(py - 1, u0, u1) && row(py + 1, d0, d1)) {
                in0 = std::max({in0, u0, d0});
                in1 = std::min({in1, u1, d1});
            } else {
                in1 = in0;  // top or bottom row: all outline
            }
            if (in1 <= in0) {
                spans.push_back({py, x0, x1});
            } else {
                spans.push_back({py, x0, in0});
                spans.push_back({py, in1, x1});
            }
        }
        return MergeSpans(std::move(spans));
    }
    const double half = width / 2.0;
    for (int py = static_cast<int>(std::floor(t - half)); py <= static_cast<int>(std::ceil(b + half)); ++py) {
        int o0, o1, i0, i1;
        if (!EllipseRow(cx, cy, a + half, bb + half, py, o0, o1)) continue;
        if (!EllipseRow(cx, cy, a - half, bb - half, py, i0, i1)) {
            spans.push_back({py, o0, o1});
        } else {
            spans.push_back({py, o0, i0});
            spans.push_back({py, i1, o1});
        }
    }
    return MergeSpans(std::move(spans));
}

std::vector<Span> FocusRectSpans(int l, int t, int r, int b) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    std::vector<Span> spans;
    if (r - l < 1 || b - t < 1) return spans;
    auto dot = [&](int x, int y) {
        if (((x - l) + (y - t)) % 2 == 0) spans.push_back({y, x, x + 1});
    };
    for (int y = t; y < b; ++y) {
        if (y == t || y == b - 1) {
            for (int x = l; x < r; ++x) dot(x, y);
        } else {
            dot(l, y);
            if (r - 1 > l) dot(r - 1, y);
        }
    }
    return spans;
}

Surface::Surface(int width, int height, ColorRef background)
    : m_width(std::max(0, width)),
      m_height(std::max(0, height)),
      m_pixels(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), ToArgb(background)) {}

ColorRef Surface::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return kInvalidColor;
    return ToColorRef(Row(y)[x]);
}

Argb Surface::ArgbAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
    return Row(y)[x];
}

void Surface::SetPixel(int x, int y, ColorRef c) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    Row(y)[x] = ToArgb(c);
}

Surface Surface::WithArgb(int width, int height, Argb fill) {
    Surface s(width, height);
    s.FillArgb(fill);
    return s;
}

void Surface::Fill(ColorRef c) { std::fill(m_pixels.begin(), m_pixels.end(), ToArgb(c)); }

void Surface::FillArgb(Argb a) { std::fill(m_pixels.begin(), m_pixels.end(), a); }

void Surface::FillRect(int l, int t, int r, int b, ColorRef c) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    l = std::max(l, 0);
    t = std::max(t, 0);
    r = std::min(r, m_width);
    b = std::min(b, m_height);
    const Argb v = ToArgb(c);
    for (int y = t; y < b; ++y) std::fill(Row(y) + l, Row(y) + std::max(l, r), v);
}

void Surface::Apply(int y, int x0, int x1) {
    if (y < 0 || y >= m_height) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, m_width);
    if (x1 <= x0) return;
    Argb* row = Row(y);
    const Argb pen = ToArgb(m_pen.colour) & 0x00FFFFFFu;
    switch (m_rop) {
    case Rop2::CopyPen:
        std::fill(row + x0, row + x1, pen | 0xFF000000u);
        break;
    case Rop2::XorPen:
        for (int x = x0; x < x1; ++x) row[x] = 0xFF000000u | ((row[x] ^ pen) & 0x00FFFFFFu);
        break;
    case Rop2::NotXorPen:
        for (int x = x0; x < x1; ++x) row[x] = 0xFF000000u | (~(row[x] ^ pen) & 0x00FFFFFFu);
        break;
    case Rop2::Not:
        for (int x = x0; x < x1; ++x) row[x] = 0xFF000000u | (~row[x] & 0x00FFFFFFu);
        break;
    }
}

void Surface::LineTo(int x, int y) {
    const Point p[2] = {m_pos, {x, y}};
    Polyline(p);
    m_pos = {x, y};
}

void Surface::Polyline(std::span<const Point> points) {
    if (points.size() < 2) return;
    for (const Span& s : StrokeSpans(points, m_pen)) Apply(s.y, s.x0, s.x1);
}

void Surface::FrameBox(int l, int t, int r, int b) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    const Point p[5] = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
    Polyline(p);
}

void Surface::Ellipse(int l, int t, int r, int b) {
    for (const Span& s : EllipseSpans(l, t, r, b, m_pen)) Apply(s.y, s.x0, s.x1);
}

void Surface::FillSpans(std::span<const Span> spans) {
    for (const Span& s : spans) Apply(s.y, s.x0, s.x1);
}

void Surface::FillPolygon(std::span<const Point> points) {
    ScanPolygon(points, [this](const Span& s) { Apply(s.y, s.x0, s.x1); }, 0, m_height);
}

void Surface::FocusRect(int l, int t, int r, int b) {
    const Rop2 rop = m_rop;
    m_rop = Rop2::Not;
    for (const Span& s : FocusRectSpans(l, t, r, b)) Apply(s.y, s.x0, s.x1);
    m_rop = rop;
}

}  // namespace platform::raster
