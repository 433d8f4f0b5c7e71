#pragma once
// The framing arithmetic of the asset builder, kept free of wx so that it can
// be tested on its own: reading and replacing the root viewBox of an SVG text,
// widening a viewBox to the aspect of an output picture, and planning the crop
// of a picture to the part of the drawing that is actually painted.
#include <optional>
#include <string>

namespace asset_builder {

struct ViewBox {
    double x = 0, y = 0, w = 0, h = 0;
};

// Pixel rectangle [left, right) x [top, bottom) of a rendered picture.
struct PixelBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
};

// The viewBox of the root <svg> element; none when it is missing, malformed
// or not of positive size.
std::optional<ViewBox> FindViewBox(const std::string& svg);

// The same document with the root element's viewBox replaced by `box` and its
// width/height attributes removed, so that the renderer frames exactly `box`.
// Throws std::invalid_argument when the text has no root <svg> element.
std::string WithViewBox(const std::string& svg, const ViewBox& box);

// `box` widened about its centre in one direction so that its aspect equals
// width : height; a drawing keeps its proportions and is centred.
ViewBox FitAspect(const ViewBox& box, int width, int height);

// A crop to the painted part of a drawing, scaled to fit a box.
struct TrimPlan {
    ViewBox frame;       // the region of the drawing to render
    int width = 0;       // output size in pixels
    int height = 0;
};

// `painted` is the painted area found in a probe rendering of `whole` at
// `probeScale` pixels per unit. The result frames that area with `pad` pixels
// of empty margin on each side and is as large as fits in maxWidth x maxHeight.
TrimPlan PlanTrim(const ViewBox& whole, double probeScale, const PixelBox& painted, int maxWidth,
                  int maxHeight, int pad);

// A crop to the painted part at a fixed resolution, `scale` pixels per unit,
// on the pixel grid of the whole drawing rendered at that scale: the picture
// lines up pixel for pixel with any other drawing of the same frame cropped
// the same way. `left` and `top` are the picture's top-left corner in that
// grid (pixels from the viewBox origin), so a drawing placed there in a whole
// rendering lands on the same pixels.
struct GridTrimPlan {
    TrimPlan trim;
    int left = 0;
    int top = 0;
};
GridTrimPlan PlanTrimOnGrid(const ViewBox& whole, double probeScale, const PixelBox& painted, double scale,
                            int pad);

}  // namespace asset_builder
