#include "controls/control_bar_layout.h"

#include <algorithm>

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

std::string PageNameForRecord(std::string_view name) { return platform::CutToGbkBytes(name, kPageNameField - 1); }

}  // namespace controls
