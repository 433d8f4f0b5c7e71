#include "picture_controls/picture_scaler.h"

#include <algorithm>
#include <cmath>

namespace picture_controls {

PictureScaler::Axis PictureScaler::PartAxis(int source, int result, int from, int to) {
    Axis axis = MakeAxis(source, result);
    if (from == 0 && to == result) return axis;
    Axis part;
    part.taps = axis.taps;
    part.first.assign(axis.first.begin() + from, axis.first.begin() + to);
    part.weights.assign(axis.weights.begin() + static_cast<std::ptrdiff_t>(from) * axis.taps,
                        axis.weights.begin() + static_cast<std::ptrdiff_t>(to) * axis.taps);
    return part;
}

PictureScaler::Axis PictureScaler::MakeAxis(int source, int result) {
    Axis axis;
    axis.first.resize(static_cast<std::size_t>(result));
    if (source == result) {
        axis.taps = 1;
        axis.weights.assign(static_cast<std::size_t>(result), 1.0f);
        for (int i = 0; i < result; ++i) axis.first[static_cast<std::size_t>(i)] = i;
        return axis;
    }
    const double ratio = static_cast<double>(source) / result;
    if (result > source) {
        // Bilinear: pixel centres mapped onto the source, the two neighbours weighted.
        axis.taps = std::min(2, source);
        axis.weights.resize(static_cast<std::size_t>(result * axis.taps));
        for (int i = 0; i < result; ++i) {
            float* w = &axis.weights[static_cast<std::size_t>(i * axis.taps)];
            if (axis.taps == 1) {
                axis.first[static_cast<std::size_t>(i)] = 0;
                w[0] = 1.0f;
                continue;
            }
            const double s = std::clamp((i + 0.5) * ratio - 0.5, 0.0, static_cast<double>(source - 1));
            int left = static_cast<int>(s);
            double f = s - left;
            if (left >= source - 1) {
                left = source - 2;
                f = 1.0;
            }
            axis.first[static_cast<std::size_t>(i)] = left;
            w[0] = static_cast<float>(1.0 - f);
            w[1] = static_cast<float>(f);
        }
        return axis;
    }
    // Box: each source pixel weighted by how much of it the result pixel covers.
    axis.taps = std::min(source, static_cast<int>(std::ceil(ratio)) + 1);
    axis.weights.assign(static_cast<std::size_t>(result * axis.taps), 0.0f);
    for (int i = 0; i < result; ++i) {
        const double a = i * ratio, b = (i + 1) * ratio;
        const int first = std::min(static_cast<int>(a), source - axis.taps);
        axis.first[static_cast<std::size_t>(i)] = first;
        float* w = &axis.weights[static_cast<std::size_t>(i * axis.taps)];
        for (int k = 0; k < axis.taps; ++k) {
            const double overlap = std::min(b, first + k + 1.0) - std::max(a, static_cast<double>(first + k));
            if (overlap > 0) w[k] = static_cast<float>(overlap / ratio);
        }
    }
    return axis;
}

PictureScaler::PictureScaler(const SourcePlanes& source, int width, int height)
    : PictureScaler(source, width, height, 0, 0, width, height) {}

PictureScaler::PictureScaler(const SourcePlanes& source, int width, int height, int left, int top, int right,
                             int bottom)
    : m_source(source), m_width(right - left), m_height(bottom - top),
      m_x(PartAxis(source.width, width, left, right)), m_y(PartAxis(source.height, height, top, bottom)) {}

void PictureScaler::ScaleRows(std::uint32_t* pixels, int strideBytes, int y0, int y1) const {
    y0 = std::max(y0, 0);
    y1 = std::min(y1, m_height);
    if (y0 >= y1) return;
    const int sw = m_source.width;
    const int taps = m_y.taps;
    const std::size_t rowFloats = static_cast<std::size_t>(m_width) * 4;

    // The source rows that the current result row needs, scaled across and
    // premultiplied, kept in a ring of `taps` rows: result rows walk down the
    // source, so each source row is scaled across about once. The buffers are
    // the thread's own and reused, so a band costs no fresh memory.
    thread_local std::vector<float> ring, premultiplied;
    ring.resize(static_cast<std::size_t>(taps) * rowFloats);
    premultiplied.resize(static_cast<std::size_t>(sw) * 4);
    std::vector<int> held(static_cast<std::size_t>(taps), -1);
    auto across = [&](int sy) -> const float* {
        const auto slot = static_cast<std::size_t>(sy % taps);
        float* out = &ring[slot * rowFloats];
        if (held[slot] == sy) return out;
        held[slot] = sy;
        const std::uint8_t* rgb = m_source.rgb + static_cast<std::size_t>(sy) * static_cast<std::size_t>(sw) * 3;
        const std::uint8_t* alpha =
            m_source.alpha ? m_source.alpha + static_cast<std::size_t>(sy) * static_cast<std::size_t>(sw) : nullptr;
        float* pre = premultiplied.data();
        if (alpha) {
            for (int x = 0; x < sw; ++x) {
                const float a = alpha[x], k = a * (1.0f / 255.0f);
                pre[4 * x] = rgb[3 * x] * k;
                pre[4 * x + 1] = rgb[3 * x + 1] * k;
                pre[4 * x + 2] = rgb[3 * x + 2] * k;
                pre[4 * x + 3] = a;
            }
        } else {
            for (int x = 0; x < sw; ++x) {
                pre[4 * x] = rgb[3 * x];
                pre[4 * x + 1] = rgb[3 * x + 1];
                pre[4 * x + 2] = rgb[3 * x + 2];
                pre[4 * x + 3] = 255.0f;
            }
        }
        const int xtaps = m_x.taps;
        for (int x = 0; x < m_width; ++x) {
            const float* w = &m_x.weights[static_cast<std::size_t>(x * xtaps)];
            const float* px = pre + static_cast<std::size_t>(m_x.first[static_cast<std::size_t>(x)]) * 4;
            float r = 0, g = 0, b = 0, a = 0;
            for (int k = 0; k < xtaps; ++k, px += 4) {
                r += w[k] * px[0];
                g += w[k] * px[1];
                b += w[k] * px[2];
                a += w[k] * px[3];
            }
            float* o = out + static_cast<std::size_t>(x) * 4;
            o[0] = r;
            o[1] = g;
            o[2] = b;
            o[3] = a;
        }
        return out;
    };

    // Down the result rows, packed as premultiplied 0xAARRGGBB.
    auto channel = [](float v, int limit) {
        const int c = static_cast<int>(v + 0.5f);
        return static_cast<std::uint32_t>(std::clamp(c, 0, limit));
    };
    std::vector<const float*> rows(static_cast<std::size_t>(taps));
    for (int y = y0; y < y1; ++y) {
        const float* w = &m_y.weights[static_cast<std::size_t>(y * taps)];
        const int first = m_y.first[static_cast<std::size_t>(y)];
        for (int k = 0; k < taps; ++k) rows[static_cast<std::size_t>(k)] = across(first + k);
        auto* row = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(pixels) +
                                                     static_cast<std::ptrdiff_t>(y) * strideBytes);
        for (int x = 0; x < m_width; ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int k = 0; k < taps; ++k) {
                const float* px = rows[static_cast<std::size_t>(k)] + static_cast<std::size_t>(x) * 4;
                r += w[k] * px[0];
                g += w[k] * px[1];
                b += w[k] * px[2];
                a += w[k] * px[3];
            }
            const std::uint32_t av = channel(a, 255);
            const int lim = static_cast<int>(av);
            row[x] = (av << 24) | (channel(r, lim) << 16) | (channel(g, lim) << 8) | channel(b, lim);
        }
    }
}

}  // namespace picture_controls
