// Scan conversion by rows: for each row every non-horizontal edge whose
// (y_low, y_high] range (or [y_low, y_high)) holds the row gives one crossing at its exact x; the
// sorted crossings pair up into spans. Edges are sorted by their low end once,
// so a row only looks at the edges that can reach it.
#include "platform/raster/scan.h"

#include <algorithm>
#include <cmath>

namespace platform::raster {

namespace {

struct Edge {
    int yLow = 0;   // excluded (EdgeEnd::High) or included (EdgeEnd::Low)
    int yHigh = 0;  // included (EdgeEnd::High) or excluded (EdgeEnd::Low)
    int x0 = 0;     // x at yLow
    int dx = 0;     // x at yHigh minus x0
    int dy = 0;     // yHigh - yLow, above 0
};

}  // namespace

void ScanPolygon(std::span<const Point> points, const std::function<void(const Span&)>& sink, int clip_top,
                 int clip_bottom, EdgeEnd counted) {
    const std::size_t n = points.size();
    if (n < 3) return;
    std::vector<Edge> edges;
    edges.reserve(n);
    int minY = points[0].y, maxY = points[0].y;
    for (std::size_t i = 0; i < n; ++i) {
        const Point a = points[i];
        const Point b = points[(i + 1) % n];
        minY = std::min(minY, a.y);
        maxY = std::max(maxY, a.y);
        if (a.y == b.y) continue;
        const Point lo = a.y < b.y ? a : b;
        const Point hi = a.y < b.y ? b : a;
        edges.push_back({lo.y, hi.y, lo.x, hi.x - lo.x, hi.y - lo.y});
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.yLow < r.yLow; });

    // With the larger-y end counted, row y takes the edges with yLow < y <=
    // yHigh; with the smaller-y end, those with yLow <= y < yHigh, which are
    // the first rule's tests on y + 1.
    const int shift = counted == EdgeEnd::Low ? 1 : 0;
    const int first = std::max(minY + 1 - shift, clip_top);
    const int last = std::min(maxY - shift, clip_bottom - 1);
    std::vector<double> xs;
    std::vector<const Edge*> active;
    std::size_t next = 0;
    for (int y = first; y <= last; ++y) {
        while (next < edges.size() && edges[next].yLow < y + shift) active.push_back(&edges[next++]);
        xs.clear();
        std::size_t keep = 0;
        for (const Edge* e : active) {
            if (e->yHigh < y + shift) continue;  // finished: dropped below
            active[keep++] = e;
            // Multiplied before divided, so a crossing on a whole pixel is exact.
            xs.push_back(e->x0 + static_cast<double>(y - e->yLow) * e->dx / e->dy);
        }
        active.resize(keep);
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
            const int x0 = static_cast<int>(std::trunc(xs[i]));
            const int x1 = static_cast<int>(std::trunc(xs[i + 1] + 0.5));
            if (x1 > x0) sink(Span{y, x0, x1});
        }
    }
}

std::vector<Span> PolygonSpans(std::span<const Point> points) {
    std::vector<Span> out;
    ScanPolygon(points, [&](const Span& s) { out.push_back(s); });
    return out;
}

}  // namespace platform::raster
