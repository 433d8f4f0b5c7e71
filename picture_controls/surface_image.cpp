#include "picture_controls/surface_image.h"

namespace picture_controls {

wxImage SurfaceToImage(const platform::raster::Surface& surface, bool with_alpha) {
    const int w = surface.width(), h = surface.height();
    if (w <= 0 || h <= 0) return {};
    wxImage image(w, h, false);
    if (with_alpha) image.InitAlpha();
    unsigned char* rgb = image.GetData();
    unsigned char* alpha = with_alpha ? image.GetAlpha() : nullptr;
    for (int y = 0; y < h; ++y) {
        const platform::raster::Argb* row = surface.Row(y);
        for (int x = 0; x < w; ++x) {
            const platform::raster::Argb p = row[x];
            *rgb++ = static_cast<unsigned char>(p >> 16);
            *rgb++ = static_cast<unsigned char>(p >> 8);
            *rgb++ = static_cast<unsigned char>(p);
            if (alpha) *alpha++ = static_cast<unsigned char>(p >> 24);
        }
    }
    return image;
}

platform::raster::Surface SurfaceFromImage(const wxImage& image) {
    if (!image.IsOk()) return {};
    const int w = image.GetWidth(), h = image.GetHeight();
    platform::raster::Surface surface(w, h);
    const unsigned char* rgb = image.GetData();
    for (int y = 0; y < h; ++y) {
        platform::raster::Argb* row = surface.Row(y);
        for (int x = 0; x < w; ++x, rgb += 3)
            row[x] = 0xFF000000u | static_cast<platform::raster::Argb>(rgb[0]) << 16 |
                     static_cast<platform::raster::Argb>(rgb[1]) << 8 | rgb[2];
    }
    return surface;
}

}  // namespace picture_controls
