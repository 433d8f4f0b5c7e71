#pragma once
// What a picture window paints, as a list of steps that the window side
// carries out in order: pictures at a rectangle (scaled to it), fills, and
// numbered icons. The cores decide every position; the window only draws.
#include <cstdint>
#include <filesystem>
#include <vector>

#include "picture_controls/geometry.h"

namespace picture_controls {

struct PaintOp {
    enum class Kind { Picture, Fill, Icon };
    Kind kind = Kind::Picture;
    std::filesystem::path path;  // Picture: the file
    Rect dest;                   // where it lands (a picture is scaled to it)
    bool natural = false;        // Picture: drawn at its own size, top-left at dest
    std::uint32_t colour = 0;    // Fill: 0x00BBGGRR
    int resource = 0;            // Icon: the resource number

    static PaintOp Picture(std::filesystem::path p, Rect r) {
        PaintOp op;
        op.path = std::move(p);
        op.dest = r;
        return op;
    }
    static PaintOp Natural(std::filesystem::path p, Point at) {
        PaintOp op;
        op.path = std::move(p);
        op.dest = Rect{at.x, at.y, at.x, at.y};
        op.natural = true;
        return op;
    }
    static PaintOp Fill(Rect r, std::uint32_t c) {
        PaintOp op;
        op.kind = Kind::Fill;
        op.dest = r;
        op.colour = c;
        return op;
    }
    static PaintOp Icon(int id, Rect r) {
        PaintOp op;
        op.kind = Kind::Icon;
        op.dest = r;
        op.resource = id;
        return op;
    }
};

using PaintOps = std::vector<PaintOp>;

}  // namespace picture_controls
