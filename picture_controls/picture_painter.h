#pragma once
// Paints PaintOps on a wx device context: the fitting room's stage and the
// market's menu, the stage editor's canvas and its gallery. Pictures come
// from the process's picture cache (a file is decoded once) and are scaled
// once per size (box filter when shrinking, bilinear when enlarging) straight
// into premultiplied cairo surfaces, which the toolkit's cairo contexts draw
// as they are; the scaled pictures are kept by path and size (least recently
// used dropped beyond a byte bound), so a repaint of an unchanged stage only
// blits. Before a paint that needs new pictures, all of them are decoded in
// parallel and scaled in bands of rows on all cores, a large background
// among them. A file changed on disk is decoded and scaled again. Missing
// pictures draw nothing.
//
// Window thread only.
#include <cstddef>
#include <filesystem>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/image.h>

#include "picture_controls/paint_ops.h"
#include "platform/raster/surface.h"

typedef struct _cairo_surface cairo_surface_t;

namespace picture_controls {

class PicturePainter {
public:
    static constexpr std::size_t kDefaultMaxBytes = 160u * 1024 * 1024;

    // One paint: while a pass lives, each picture's file is looked at once
    // (by Prepare, or by the first draw that needs it), not at every step.
    // Paint opens one itself.
    class Pass {
    public:
        explicit Pass(PicturePainter& painter) : m_painter(painter) { ++m_painter.m_passes; }
        ~Pass();
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;

    private:
        PicturePainter& m_painter;
    };

    void Paint(wxDC& dc, const PaintOps& ops);
    // A picture scaled to `dest`, or at its natural size with its top-left at
    // dest's top-left.
    void DrawPicture(wxDC& dc, const std::filesystem::path& path, const Rect& dest, bool natural);
    // A picture scaled to `dest`, turned by `degrees` (clockwise on the
    // screen) about (cx, cy). The device context's clipping applies; only
    // the part inside it is made and kept.
    void DrawTurnedPicture(wxDC& dc, const std::filesystem::path& path, const Rect& dest, double degrees, double cx,
                           double cy);
    void DrawIcon(wxDC& dc, int resource, const Rect& dest);
    // Decodes and scales, on all cores, the pictures of `ops` that have no
    // kept pixels yet (Paint calls it first with the context's area). Of a
    // picture reaching outside `area` only the part inside is made.
    void Prepare(const PaintOps& ops);
    void Prepare(const PaintOps& ops, const Rect& area);
    // Prepares for drawing on `dc`: of a picture reaching outside the
    // context only the part inside is made.
    void Prepare(wxDC& dc, const PaintOps& ops);

    // In an open pass: the picture this pass found for the file (null when it
    // looked and found none, or did not look at it).
    std::shared_ptr<const wxImage> Checked(const std::filesystem::path& path) const;

    void SetMaxBytes(std::size_t bytes) { m_maxBytes = bytes; }
    void Clear();
    std::size_t scaledCount() const { return m_scaled.size(); }

private:
    struct Scaled {
        std::shared_ptr<const wxImage> source;     // the decoded picture it was made from
        std::shared_ptr<cairo_surface_t> surface;  // premultiplied pixels, ready to draw
        wxBitmap bitmap;                           // made only for a context without cairo
        std::size_t bytes = 0;
        std::list<std::string>::iterator lru;
    };
    // The kept part `part` (relative to the picture's corner) of the file's
    // decoded `image` scaled to w x h, made now when it is not kept.
    Scaled* ScaledPicture(const std::filesystem::path& path, const std::shared_ptr<const wxImage>& image, int w, int h,
                          const Rect& part);
    Scaled* Keep(const std::string& key, std::shared_ptr<const wxImage> source,
                 std::shared_ptr<cairo_surface_t> surface);
    void Draw(wxDC& dc, Scaled& picture, int x, int y);
    void Trim();
    // The decoded picture, looked up once per pass.
    std::shared_ptr<const wxImage> Source(const std::filesystem::path& path);

    std::unordered_map<std::string, Scaled> m_scaled;
    std::list<std::string> m_lru;  // most recently used first
    std::size_t m_bytes = 0;
    std::size_t m_maxBytes = kDefaultMaxBytes;
    std::map<int, wxBitmap> m_icons;
    int m_passes = 0;
    std::unordered_map<std::string, std::shared_ptr<const wxImage>> m_checked;  // in the open pass, by path
};

// Draws one of our raster surfaces at (x, y) as it stands, its transparent
// pixels letting through what lies below. Its pixels must be opaque or
// transparent black, as a surface made by Surface::WithArgb(w, h, 0) is
// after drawing on it with pens.
void DrawCoverSurface(wxDC& dc, const platform::raster::Surface& surface, int x, int y);

}  // namespace picture_controls
