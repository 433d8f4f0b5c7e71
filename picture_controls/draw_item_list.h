#pragma once
// The user's annotations on a picture: free lines, rectangles, ellipses,
// polygons and arrows, each a DrawingItem with its pen and a run of points in
// one shared point table, within fixed capacities and without allocation.
// Each program keeps one process-wide list (its owner empties it); the list
// draws through a DrawPainter, so the same items land on a window or in a
// picture alike.
//
// Rubber-band feedback (the shape being dragged) is kept as state: the
// window repaints and calls PaintRubberBand after the items, which draws the
// feedback with the not-exclusive-or pen of colour 0xF4F4F4. On a surface that
// keeps its pixels between calls, the immediate form DrawRubberBand(painter,
// ...) erases the previous feedback by drawing it again.
//
// Main thread (or the one thread that owns the list).
#include <array>
#include <cstdint>
#include <span>

#include "picture_controls/draw_painter.h"

namespace picture_controls {

// One item: 16 bytes, in this field order.
struct DrawingItem {
    char kind = 'A';         // 'A' line or free line, 'B' rectangle, 'C' ellipse, 'D' polygon, 'E' arrow
    char flag = ' ';
    char penStyle = 'A';     // 'C' dashed, 'B' dotted, anything else solid
    std::int8_t width = 1;   // read as signed; 0 or less draws 1, 127 draws 126
    std::uint32_t colour = 0xFFFFFF;  // 0x00BBGGRR
    std::int32_t first = -1;  // first point in the point table, -1 while it has none
    std::int32_t count = 0;   // number of points
};
static_assert(sizeof(DrawingItem) == 16);

class CDrawItemList {
public:
    static constexpr int kMaxItems = 1200;
    static constexpr int kMaxPoints = 12000;
    // A filled item fills the polygon of at most its first 180 points.
    static constexpr int kFillPointCap = 180;
    static constexpr int kArrowPoints = 8;
    static constexpr ColorRef kRubberBandColour = 0xF4F4F4;
    static constexpr int kEraseOnly = 99;  // DrawRubberBand's `extra` that only erases
    static constexpr int kDrawn = 9;       // the drawn flag while feedback is shown

    CDrawItemList();
    virtual ~CDrawItemList();

    // A new item of `kind` with the current width and colour becomes the
    // current item; nothing when the list is full. An arrow ('E') takes the
    // outline last built by the rubber band in mode 'A'.
    void AddItem(char kind);
    // Appends a point to the current item; nothing without one or when the
    // point table is full.
    void AddPoint(int x, int y);
    // No current item.
    void EndItem() { m_current = -1; }
    // Drops the last item and gives its points back to the table (when they
    // are the table's last ones); the current item ends if it was that item.
    void Undo();
    // Empties the list: no items, no points, no current item, mode ' '.
    void Clear();
    // Width (low byte kept in the item) and colour of the next items.
    void SetWidth(int width) { m_width = width; }
    void SetColor(ColorRef colour) { m_colour = colour; }

    // The line between the current item's last two points, with its pen.
    void DrawLastSegment(DrawPainter& painter) const;
    // Every item in order, each with its own pen: 'A' a polyline, 'B' the
    // rectangle of its first two points, 'C' the ellipse inscribed in it, 'D'
    // filled (the current one, still being built, as a polyline with a cross
    // at its first point), 'E' filled.
    void DrawAll(DrawPainter& painter) const;
    // Items first..last-1 (clamped to the list), as DrawAll draws them.
    void DrawItems(DrawPainter& painter, int first, int last) const;
    // Fills the polygon of `points` (closed, at most kFillPointCap of them)
    // in `pen`'s colour; a pen wider than 1 reaches half its width beyond the
    // outline, as scan lines drawn with it would.
    static void FillPolygon(DrawPainter& painter, std::span<const Point> points, const Pen& pen);

    // Rubber band. Modes: 'r' rectangle of the fixed size at (x, y); 'R'
    // rectangle anchor..(x, y); 'C' ellipse inscribed in it; 'c' circle centred
    // on (x, y) of radius `extra`; 'L' line anchor..(x, y); 'A' arrow outline
    // anchor..(x, y) (kept as the saved outline). Other letters draw nothing.
    void BeginRubberBand(char mode, int x, int y);
    void SetRubberBandSize(int width, int height);
    // Moves the kept feedback to (x, y) (extra: the radius in mode 'c');
    // extra == kEraseOnly removes it. Records the last end and, in mode 'A',
    // the saved outline. The window repaints afterwards.
    void DrawRubberBand(int x, int y, int extra);
    // The same on a surface that keeps its pixels: erases the feedback drawn
    // before by drawing it again, then draws the new one.
    void DrawRubberBand(DrawPainter& painter, int x, int y, int extra);
    // Ends the feedback (nothing shown); the same as extra == kEraseOnly.
    void EndRubberBand() { DrawRubberBand(m_bandLast.x, m_bandLast.y, kEraseOnly); }
    // Draws the kept feedback once, when there is some (call at the end of a
    // paint).
    void PaintRubberBand(DrawPainter& painter) const;
    bool RubberBandShown() const { return m_drawn == kDrawn; }

    // The arrow outline from (x1, y1) to (x2, y2): a shaft up to 70 % of the
    // length, a head twice as wide, closed back at the start. Returns 8.
    static int DrawArrowHead(int x1, int y1, int x2, int y2, Point out[kArrowPoints]);

    // State, for the owner and for tests.
    char mode() const { return m_mode; }
    int itemCount() const { return m_itemCount; }
    int pointCount() const { return m_pointCount; }
    int currentItem() const { return m_current; }
    int width() const { return m_width; }
    ColorRef colour() const { return m_colour; }
    const DrawingItem& item(int i) const { return m_items[static_cast<std::size_t>(i)]; }
    // The points of item i (empty when it has none).
    std::span<const Point> pointsOf(int i) const;
    char rubberBandMode() const { return m_bandMode; }
    Point rubberBandAnchor() const { return m_bandAnchor; }
    Point rubberBandLastEnd() const { return m_bandLast; }
    std::span<const Point> savedOutline() const {
        return {m_outline.data(), static_cast<std::size_t>(m_outlineCount)};
    }

    // The pen an item draws with.
    static Pen PenOf(const DrawingItem& item);

private:
    struct Feedback {
        char mode = ' ';
        Point anchor;
        Point end;
        int extra = 0;
        int width = 0;   // mode 'r'
        int height = 0;
    };
    static void DrawFeedback(DrawPainter& painter, const Feedback& f);
    void DrawItem(DrawPainter& painter, int index) const;

    char m_mode = ' ';
    int m_itemCount = 0;
    int m_pointCount = 0;
    int m_width = 1;
    ColorRef m_colour = 0xFFFFFF;
    std::array<DrawingItem, kMaxItems> m_items{};
    std::array<Point, kMaxPoints> m_points{};
    int m_current = -1;
    Point m_bandAnchor;
    Point m_bandLast;
    Feedback m_shown;  // the feedback on the screen while m_drawn == kDrawn
    char m_bandMode = ' ';
    int m_drawn = 0;
    int m_outlineCount = 0;
    std::array<Point, kArrowPoints> m_outline{};
    int m_bandWidth = 0;
    int m_bandHeight = 0;
};

}  // namespace picture_controls
