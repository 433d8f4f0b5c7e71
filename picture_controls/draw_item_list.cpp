// The list is two fixed tables (items, points) and a little rubber-band
// state. Filled items go through the one scan converter of platform/raster;
// the arrow outline keeps the system's own angle constants, so arrows land on
// the same pixels as in pictures the system drew before.
#include "picture_controls/draw_item_list.h"

#include <algorithm>
#include <cmath>

namespace picture_controls {

namespace {

constexpr double kDegreesPerRadian = 57.29582790879778;   // 180 / 3.14159
constexpr double kRadiansPerDegree = 0.01745327777777778;  // 3.14159 / 180
constexpr int kCrossArm = 4;

void Normalise(int& l, int& t, int& r, int& b) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
}

}  // namespace

CDrawItemList::CDrawItemList() = default;
CDrawItemList::~CDrawItemList() = default;

void CDrawItemList::AddItem(char kind) {
    if (m_itemCount >= kMaxItems) return;
    DrawingItem& it = m_items[static_cast<std::size_t>(m_itemCount)];
    it.kind = kind;
    it.flag = ' ';
    it.penStyle = 'A';
    it.width = static_cast<std::int8_t>(static_cast<std::uint8_t>(m_width & 0xFF));
    it.colour = m_colour;
    it.first = -1;
    it.count = 0;
    m_current = m_itemCount;
    ++m_itemCount;
    if (kind == 'E')
        for (int i = 0; i < m_outlineCount; ++i) AddPoint(m_outline[static_cast<std::size_t>(i)].x, m_outline[static_cast<std::size_t>(i)].y);
}

void CDrawItemList::AddPoint(int x, int y) {
    if (m_current < 0 || m_current >= m_itemCount || m_pointCount >= kMaxPoints) return;
    m_points[static_cast<std::size_t>(m_pointCount)] = {x, y};
    DrawingItem& it = m_items[static_cast<std::size_t>(m_current)];
    if (it.first < 0) it.first = m_pointCount;
    ++it.count;
    ++m_pointCount;
}

void CDrawItemList::Undo() {
    if (m_itemCount <= 0) return;
    --m_itemCount;
    const DrawingItem& gone = m_items[static_cast<std::size_t>(m_itemCount)];
    // Its points go back to the table when nothing was stored after them.
    if (gone.first >= 0 && gone.first + gone.count == m_pointCount) m_pointCount = gone.first;
    if (m_current >= m_itemCount) m_current = -1;
}

void CDrawItemList::Clear() {
    m_mode = ' ';
    m_itemCount = 0;
    m_pointCount = 0;
    m_current = -1;
}

std::span<const Point> CDrawItemList::pointsOf(int i) const {
    if (i < 0 || i >= m_itemCount) return {};
    const DrawingItem& it = m_items[static_cast<std::size_t>(i)];
    if (it.first < 0 || it.count <= 0 || it.first + it.count > m_pointCount) return {};
    return {m_points.data() + it.first, static_cast<std::size_t>(it.count)};
}

Pen CDrawItemList::PenOf(const DrawingItem& item) {
    Pen pen;
    pen.style = item.penStyle == 'C' ? PenStyle::Dash : item.penStyle == 'B' ? PenStyle::Dot : PenStyle::Solid;
    int w = item.width;
    if (w <= 0) w = 1;
    if (w == 127) w = 126;
    pen.width = w;
    pen.colour = item.colour;
    return pen;
}

void CDrawItemList::DrawLastSegment(DrawPainter& painter) const {
    const std::span<const Point> pts = pointsOf(m_current);
    if (pts.size() < 2) return;
    painter.SetRop2(Rop2::CopyPen);
    painter.SetPen(PenOf(m_items[static_cast<std::size_t>(m_current)]));
    painter.Polyline(pts.subspan(pts.size() - 2));
}

void CDrawItemList::DrawAll(DrawPainter& painter) const { DrawItems(painter, 0, m_itemCount); }

void CDrawItemList::DrawItems(DrawPainter& painter, int first, int last) const {
    painter.SetRop2(Rop2::CopyPen);
    for (int i = std::max(first, 0); i < std::min(last, m_itemCount); ++i) DrawItem(painter, i);
}

void CDrawItemList::DrawItem(DrawPainter& painter, int index) const {
    const std::span<const Point> pts = pointsOf(index);
    if (pts.size() < 2) return;
    const DrawingItem& it = m_items[static_cast<std::size_t>(index)];
    const Pen pen = PenOf(it);
    painter.SetPen(pen);
    switch (it.kind) {
    case 'A':
        painter.Polyline(pts);
        break;
    case 'B': {
        int l = pts[0].x, t = pts[0].y, r = pts[1].x, b = pts[1].y;
        Normalise(l, t, r, b);
        const Point box[5] = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
        painter.Polyline(box);
        break;
    }
    case 'C':
        painter.Ellipse(pts[0].x, pts[0].y, pts[1].x, pts[1].y);
        break;
    case 'D':
        if (index == m_current) {
            painter.Polyline(pts);
            const Point p = pts[0];
            painter.Line(p.x - kCrossArm, p.y, p.x + kCrossArm, p.y);
            painter.Line(p.x, p.y - kCrossArm, p.x, p.y + kCrossArm);
        } else {
            FillPolygon(painter, pts, pen);
        }
        break;
    case 'E':
        FillPolygon(painter, pts, pen);
        break;
    default:
        break;
    }
}

void CDrawItemList::FillPolygon(DrawPainter& painter, std::span<const Point> points, const Pen& pen) {
    if (points.size() > static_cast<std::size_t>(kFillPointCap)) points = points.first(kFillPointCap);
    Pen solid = pen;
    solid.style = PenStyle::Solid;
    painter.SetPen(solid);
    painter.FillPolygon(points);
    if (solid.width > 1) {
        // Scan lines drawn with a wide pen reach half its width beyond the
        // outline: the closed outline stroked with the pen covers the same.
        Point closed[kFillPointCap + 1];
        std::copy(points.begin(), points.end(), closed);
        closed[points.size()] = points.front();
        painter.Polyline(std::span<const Point>(closed, points.size() + 1));
    }
}

void CDrawItemList::BeginRubberBand(char mode, int x, int y) {
    m_bandMode = mode;
    m_bandAnchor = {x, y};
    m_drawn = 0;
}

void CDrawItemList::SetRubberBandSize(int width, int height) {
    m_bandWidth = width;
    m_bandHeight = height;
}

void CDrawItemList::DrawRubberBand(int x, int y, int extra) {
    if (extra == kEraseOnly) {
        m_drawn = 0;
        return;
    }
    Feedback f;
    f.mode = m_bandMode;
    f.anchor = m_bandAnchor;
    f.end = {x, y};
    f.extra = extra;
    f.width = m_bandWidth;
    f.height = m_bandHeight;
    if (m_bandMode == 'L' || m_bandMode == 'A') m_bandLast = {x, y};
    if (m_bandMode == 'A') m_outlineCount = DrawArrowHead(m_bandAnchor.x, m_bandAnchor.y, x, y, m_outline.data());
    m_shown = f;
    m_drawn = kDrawn;
}

void CDrawItemList::DrawRubberBand(DrawPainter& painter, int x, int y, int extra) {
    if (m_drawn == kDrawn) PaintRubberBand(painter);  // drawn again: gone
    DrawRubberBand(x, y, extra);
    PaintRubberBand(painter);
}

void CDrawItemList::PaintRubberBand(DrawPainter& painter) const {
    if (m_drawn != kDrawn) return;
    painter.SetRop2(Rop2::NotXorPen);
    painter.SetPen(Pen{kRubberBandColour, 1, PenStyle::Solid});
    DrawFeedback(painter, m_shown);
    painter.SetRop2(Rop2::CopyPen);
}

void CDrawItemList::DrawFeedback(DrawPainter& painter, const Feedback& f) {
    const Point a = f.anchor, e = f.end;
    auto box = [&](int l, int t, int r, int b) {
        Normalise(l, t, r, b);
        const Point p[5] = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
        painter.Polyline(p);
    };
    switch (f.mode) {
    case 'r':
        box(e.x, e.y, e.x + f.width, e.y + f.height);
        break;
    case 'R':
        box(a.x, a.y, e.x, e.y);
        break;
    case 'C':
        painter.Ellipse(a.x, a.y, e.x, e.y);
        break;
    case 'c':
        painter.Ellipse(e.x - f.extra, e.y - f.extra, e.x + f.extra, e.y + f.extra);
        break;
    case 'L':
        painter.Line(a.x, a.y, e.x, e.y);
        break;
    case 'A': {
        Point outline[kArrowPoints];
        DrawArrowHead(a.x, a.y, e.x, e.y, outline);
        painter.Polyline(outline);
        break;
    }
    default:
        break;
    }
}

int CDrawItemList::DrawArrowHead(int x1, int y1, int x2, int y2, Point out[kArrowPoints]) {
    const double dx = x2 - x1, dy = y2 - y1;
    const double len = std::sqrt(dx * dx + dy * dy);
    double angle;
    if (dx == 0) {
        angle = dy < 0 ? 270.0 : 90.0;
    } else {
        angle = std::atan(std::abs(dy / dx)) * kDegreesPerRadian;
        if (dx < 0) angle = 180.0 - angle;
        if (dy < 0) angle = 360.0 - angle;
    }
    const int head = static_cast<int>(0.3 * len);
    const int halfHead = static_cast<int>(0.15 * len);
    double shaft = 0.075 * len;
    if (shaft <= 0) shaft = 1.0;
    const int halfShaft = static_cast<int>(shaft);
    const int base = static_cast<int>(len - head);
    const int tip = static_cast<int>(len);
    const Point local[kArrowPoints] = {{0, -halfShaft}, {0, halfShaft},  {base, halfShaft}, {base, halfHead},
                                       {tip, 0},        {base, -halfHead}, {base, -halfShaft}, {0, -halfShaft}};
    const double rad = angle * kRadiansPerDegree;
    const double c = std::cos(rad), s = std::sin(rad);
    for (int i = 0; i < kArrowPoints; ++i) {
        const double px = local[i].x, py = local[i].y;
        out[i] = {static_cast<int>(px * c - py * s + x1), static_cast<int>(px * s + py * c + y1)};
    }
    return kArrowPoints;
}

}  // namespace picture_controls
