#pragma once
// Our raster surfaces to and from the toolkit's images, for showing a surface
// with one blit and for drawing on a loaded picture. Any thread that owns the
// objects (no window is involved).
#include <wx/image.h>

#include "platform/raster/surface.h"

namespace picture_controls {

// The surface as an image; with `with_alpha` the surface's alpha becomes the
// image's (a surface made by Surface::WithArgb(w, h, 0) shows only what was
// drawn on it), else the image is opaque.
wxImage SurfaceToImage(const platform::raster::Surface& surface, bool with_alpha = false);

// An opaque surface with the image's colours (alpha is dropped).
platform::raster::Surface SurfaceFromImage(const wxImage& image);

}  // namespace picture_controls
