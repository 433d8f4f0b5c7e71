#include "controls/control_bar_layout.h"

#include <algorithm>
#include <cstdlib>

#include "platform/text.h"

namespace controls {

DockSide DockSideOfBar(int id) {
    switch (id) {
        case kDockBarTop: return DockSide::Top;
        case kDockBarLeft: return DockSide::Left;
        case kDockBarRight: return DockSide::Right;
        case kDockBarBottom: return DockSide::Bottom;
        default: return DockSide::Floating;
    }
}

int DockBarIdOf(DockSide side) {
    switch (side) {
        case DockSide::Top: return kDockBarTop;
        case DockSide::Left: return kDockBarLeft;
        case DockSide::Right: return kDockBarRight;
        case DockSide::Bottom: return kDockBarBottom;
        case DockSide::Floating: break;
    }
    return 0;
}

NonClientLayout LayoutNonClient(DockSide side, BarRect w) {
    const int e = kSizingEdgeWidth;
    auto deflate = [&](int l, int t, int r, int b) { return BarRect{w.left + l, w.top + t, w.right - r, w.bottom - b}; };
    switch (side) {
        case DockSide::Top: return {{w.left, w.bottom - e, w.right, w.bottom}, deflate(2, 2, 2, 7)};
        case DockSide::Left: return {{w.right - e, w.top, w.right, w.bottom}, deflate(2, 2, 7, 6)};
        case DockSide::Right: return {{w.left, w.top, w.left + e, w.bottom}, deflate(7, 2, 2, 6)};
        case DockSide::Bottom: return {{w.left, w.top, w.right, w.top + e}, deflate(2, 7, 2, 2)};
        case DockSide::Floating: break;
    }
    return {{}, w};
}

BarSize ControlBarSizes::CalcFixedLayout(bool stretch, bool horizontal, int topDockWidth, int leftDockHeight) const {
    BarSize s = stretch ? BarSize{kStretchLength, kStretchLength} : BarSize{topDockWidth + 4, leftDockHeight + 4};
    if (horizontal)
        s.cy = m_horz.cy;
    else
        s.cx = m_vert.cx;
    return s;
}

BarSize ControlBarSizes::CalcDynamicLayout(int length, unsigned mode, int topDockWidth, int leftDockHeight) {
    if (mode & (kLmHorzDock | kLmVertDock))
        return CalcFixedLayout((mode & kLmStretch) != 0, (mode & kLmHorz) != 0, topDockWidth, leftDockHeight);
    if (mode & kLmMruWidth) return m_float;
    if (mode & kLmCommit) {
        m_float.cx = length;
        return m_float;
    }
    if (mode & kLmLengthY) {
        m_float.cy = std::max(length, kBarMinSize);
        return m_float;
    }
    return {std::max(length, kBarMinSize), m_float.cy};
}

void ControlBarSizes::EndEdgeTracking() {
    for (BarSize* s : {&m_horz, &m_vert, &m_float}) {
        s->cx = std::max(s->cx, kBarMinSize);
        s->cy = std::max(s->cy, kBarMinSize);
    }
}

DockSide DockSideOfStyle(unsigned style) {
    if (style & kCbrsAlignTop) return DockSide::Top;
    if (style & kCbrsAlignBottom) return DockSide::Bottom;
    if (style & kCbrsAlignLeft) return DockSide::Left;
    if (style & kCbrsAlignRight) return DockSide::Right;
    return DockSide::Floating;
}

DockSiteLayout LayoutDockSite(BarRect client, const std::vector<DockedBar>& bars) {
    DockSiteLayout out;
    out.bars.resize(bars.size());
    BarRect rest = client;
    auto take = [](int want, int room) { return std::clamp(want, 0, std::max(room, 0)); };
    // Horizontal bars first so they span the full width, then vertical ones.
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < bars.size(); ++i) {
            const DockSide side = bars[i].side;
            if (side == DockSide::Floating || IsHorizontalDock(side) != (pass == 0)) continue;
            BarRect& r = out.bars[i];
            switch (side) {
                case DockSide::Top: {
                    const int t = take(bars[i].thickness, rest.Height());
                    r = {rest.left, rest.top, rest.right, rest.top + t};
                    rest.top += t;
                    break;
                }
                case DockSide::Bottom: {
                    const int t = take(bars[i].thickness, rest.Height());
                    r = {rest.left, rest.bottom - t, rest.right, rest.bottom};
                    rest.bottom -= t;
                    break;
                }
                case DockSide::Left: {
                    const int t = take(bars[i].thickness, rest.Width());
                    r = {rest.left, rest.top, rest.left + t, rest.bottom};
                    rest.left += t;
                    break;
                }
                case DockSide::Right: {
                    const int t = take(bars[i].thickness, rest.Width());
                    r = {rest.right - t, rest.top, rest.right, rest.bottom};
                    rest.right -= t;
                    break;
                }
                case DockSide::Floating: break;
            }
        }
    }
    out.centre = rest;
    return out;
}

unsigned AlignBitOf(DockSide side) {
    switch (side) {
        case DockSide::Top: return kCbrsAlignTop;
        case DockSide::Left: return kCbrsAlignLeft;
        case DockSide::Right: return kCbrsAlignRight;
        case DockSide::Bottom: return kCbrsAlignBottom;
        case DockSide::Floating: break;
    }
    return 0;
}

bool BeyondDragThreshold(BarPoint from, BarPoint to) {
    return std::abs(to.x - from.x) >= kDragThreshold || std::abs(to.y - from.y) >= kDragThreshold;
}

DockSide DockSideUnder(const DockDragSite& s, BarPoint p) {
    const BarRect& r = s.site;
    if (r.Empty()) return DockSide::Floating;
    const bool acrossX = p.x >= r.left - kDockZone && p.x < r.right + kDockZone;
    const bool acrossY = p.y >= r.top - kDockZone && p.y < r.bottom + kDockZone;
    struct Edge {
        DockSide side;
        bool along;
        int distance;
    };
    // Distances to the edges' outermost pixel rows and columns.
    const Edge edges[] = {
        {DockSide::Top, acrossX, std::abs(p.y - r.top)},
        {DockSide::Bottom, acrossX, std::abs(p.y - (r.bottom - 1))},
        {DockSide::Left, acrossY, std::abs(p.x - r.left)},
        {DockSide::Right, acrossY, std::abs(p.x - (r.right - 1))},
    };
    DockSide best = DockSide::Floating;
    int bestDistance = kDockZone;
    for (const Edge& e : edges) {
        if (!(s.dockStyle & AlignBitOf(e.side)) || !e.along || e.distance >= bestDistance) continue;
        best = e.side;
        bestDistance = e.distance;
    }
    return best;
}

BarRect KeepCaptionOnScreen(BarRect f, BarRect area, int captionBottom) {
    const int w = f.Width(), h = f.Height();
    const int x = std::max(area.left, std::min(f.left, area.right - w));
    const int y = std::max(area.top, std::min(f.top, area.bottom - captionBottom));
    return {x, y, x + w, y + h};
}

DockDrop WhereDropLands(const DockDragSite& s, BarRect start, BarPoint from, BarPoint to, bool keepFloating) {
    const DockSide side = keepFloating ? DockSide::Floating : DockSideUnder(s, to);
    if (side == DockSide::Floating) {
        const int dx = to.x - from.x, dy = to.y - from.y;
        const BarRect moved{start.left + dx, start.top + dy, start.right + dx, start.bottom + dy};
        return {DockSide::Floating, KeepCaptionOnScreen(moved, s.workArea, s.captionBottom)};
    }
    // Docked after the bars already there, as the frame's layout will place it.
    std::vector<DockedBar> bars = s.docked;
    bars.push_back({side, IsHorizontalDock(side) ? s.horzThickness : s.vertThickness});
    return {side, LayoutDockSite(s.site, bars).bars.back()};
}

BarRect SizeFloatingFrame(BarRect r, unsigned edges, int dx, int dy, BarSize minimum, BarRect area) {
    if (edges & kEdgeLeft) r.left = std::max(area.left, std::min(r.left + dx, r.right - minimum.cx));
    if (edges & kEdgeTop) r.top = std::max(area.top, std::min(r.top + dy, r.bottom - minimum.cy));
    if (edges & kEdgeRight) r.right = std::min(area.right, std::max(r.right + dx, r.left + minimum.cx));
    if (edges & kEdgeBottom) r.bottom = std::max(r.bottom + dy, r.top + minimum.cy);
    return r;
}

std::string PageNameForRecord(std::string_view name) { return platform::CutToGbkBytes(name, kPageNameField - 1); }

}  // namespace controls
