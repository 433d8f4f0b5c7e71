#pragma once
// The text description of one demo fitting project (demo/projects/*.txt) and
// the arithmetic that puts its pictures on the fitting stage. Read by the
// project builder, which writes the ".dm3", and by the demo tests.
//
// Lines (fields separated by blanks, '#' starts a comment line):
//   project <name> basic|web        the project and where it is kept
//   figure <x> <y> <scale>          stage pixel of the drawing frame's origin,
//                                   and the scale stored with every item
//   category <name>                 a category row; items follow it
//   item <picture> <drawing.svg> <depth> <name> <goods code> <price> [<link>]
//   voice <picture> <file.wav> <text>
//                                   the item's voice file in the project's
//                                   "音乐及语音", spoken from the text (the
//                                   rest of the line) at build time
//
// Every item's picture is the painted part of its drawing at kPictureScale
// pixels per drawing unit, cropped on the grid of the whole drawing (the
// asset builder's --trim) so that its corner in that grid, the "origin",
// says where it lies on the figure. On the stage the picture is drawn at its
// natural size times the stored scale, with its top-left corner at
//   x = figure x + round(origin left x scale), y = figure y + round(origin top x scale),
// so every item of a project lands on the figure drawn in the same frame.
#include <istream>
#include <string>
#include <vector>

namespace demo {

// Pixels per drawing unit of every garment picture: the 1000-unit frame of
// the drawings becomes a figure of about 485 pixels on the 520-pixel stage.
inline constexpr double kPictureScale = 0.5;

struct DemoItem {
    std::string picture;  // picture name without extension
    std::string drawing;  // SVG file under demo/garments
    int depth = 0;        // stage slot, 1 (front) .. 99 (back)
    std::string name, goodsCode, price, link;
    std::string voice, voiceText;  // voice file name and what it says; empty when none
    int category = -1;    // index of the category it follows
};

struct DemoProject {
    std::string name;
    bool web = false;
    int figureX = 0, figureY = 0;
    float scale = 1.0f;
    std::vector<std::string> categories;
    std::vector<DemoItem> items;
};

// Throws std::runtime_error with the line number on a line it cannot read,
// an item before the first category, a depth outside 1..99, or a voice for
// no item, without text, or whose file is not a plain ".wav" name.
DemoProject ReadDemoProject(std::istream& in);

// Stage position of an item's top-left corner from its origin.
int StageCoordinate(int figure, int origin, float scale);

// The fitting model draws a stored item centred in a square box whose corner
// is the stored x, y: the box is as wide and as high as the picture's longer
// scaled side. StoredCorner turns the place where a w x h picture's own
// top-left corner should land into that stored corner; PictureCorner goes
// back.
struct Corner {
    int x, y;
    bool operator==(const Corner&) const = default;
};
Corner StoredCorner(int left, int top, int w, int h);
Corner PictureCorner(int x, int y, int w, int h);

}  // namespace demo
