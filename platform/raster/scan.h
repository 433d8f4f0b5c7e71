#pragma once
// The one polygon scan converter of the suite: filled drawing items and the
// photo editor's polygon selections both take their pixels from here.
//
// Rule (half-open in y at the vertices): the polygon's edges join each point
// to the next and the last point back to the first. Pixel row y takes a
// crossing from every non-horizontal edge whose y range (y_low, y_high]
// contains y: an edge counts at its larger-y end and not at its smaller-y
// end, so a vertex where two edges meet gives one crossing, a peak or valley
// two or none, and two polygons sharing an edge never both fill a row of it.
// The crossing's x is the edge's exact x at y (double). Crossings are sorted
// and taken in pairs (even-odd); a pair fills the columns
// trunc(x_left) .. trunc(x_right + 0.5) - 1. There is no cap on points or
// crossings.
//
// So the rectangle (10,10) (20,10) (20,20) (10,20) fills columns 10..19 of
// rows 11..20 (its 10 x 10 pixels), and the diamond (20,10) (30,20) (20,30)
// (10,20) fills rows 11..29, row 20 from column 10 to 29.
//
// EdgeEnd::Low turns the rule round: an edge counts at its smaller-y end and
// not at its larger-y end, range [y_low, y_high), so the rows run from the
// smallest y up to but not including the largest (the rectangle above fills
// rows 10..19) and a vertex still gives one crossing.
#include <functional>
#include <span>
#include <vector>

namespace platform::raster {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Columns x0 .. x1-1 of row y.
struct Span {
    int y = 0;
    int x0 = 0;
    int x1 = 0;
    friend bool operator==(const Span&, const Span&) = default;
};

// Which end of an edge gives the crossing on the row through it.
enum class EdgeEnd { High, Low };

// Calls `sink` for every non-empty span, rows top to bottom and left to right
// within a row. Rows outside [clip_top, clip_bottom) are skipped without
// work; columns are not clipped. Fewer than 3 points fill nothing.
void ScanPolygon(std::span<const Point> points, const std::function<void(const Span&)>& sink,
                 int clip_top = -0x40000000, int clip_bottom = 0x40000000, EdgeEnd counted = EdgeEnd::High);

std::vector<Span> PolygonSpans(std::span<const Point> points);

}  // namespace platform::raster
