#pragma once
// Paints the fitting room's PaintOps on a wx device context. Pictures come
// from the process's picture cache (a file is decoded once) and are scaled
// once per size with high-quality interpolation; the scaled bitmaps are kept
// (least recently used dropped beyond a byte bound), so a repaint of an
// unchanged stage only blits. Before a paint that needs new pictures, all of
// them are decoded in parallel and scaled in parallel, once each; only the
// conversion to bitmaps stays on the window thread. A file changed on disk is decoded and scaled
// again. Missing pictures draw nothing.
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

#include "fitting_room/paint_ops.h"

namespace fitting_room {

class PicturePainter {
public:
    static constexpr std::size_t kDefaultMaxBytes = 160u * 1024 * 1024;

    void Paint(wxDC& dc, const PaintOps& ops);
    // A picture scaled to `dest`, or at its natural size with its top-left at
    // dest's top-left.
    void DrawPicture(wxDC& dc, const std::filesystem::path& path, const Rect& dest, bool natural);
    void DrawIcon(wxDC& dc, int resource, const Rect& dest);
    // Decodes and scales, on all cores, the pictures of `ops` that have no
    // kept bitmap yet (Paint calls it first).
    void Prepare(const PaintOps& ops);

    void SetMaxBytes(std::size_t bytes) { m_maxBytes = bytes; }
    void Clear();
    std::size_t scaledCount() const { return m_scaled.size(); }

private:
    struct Scaled {
        std::shared_ptr<const wxImage> source;  // the decoded picture it was made from
        wxBitmap bitmap;
        std::size_t bytes = 0;
        std::list<std::string>::iterator lru;
    };
    const wxBitmap* ScaledBitmap(const std::filesystem::path& path, int w, int h);
    const wxBitmap* Keep(const std::string& key, std::shared_ptr<const wxImage> source, const wxImage& scaled);
    void Trim();

    std::unordered_map<std::string, Scaled> m_scaled;
    std::list<std::string> m_lru;  // most recently used first
    std::size_t m_bytes = 0;
    std::size_t m_maxBytes = kDefaultMaxBytes;
    std::map<int, wxBitmap> m_icons;
};

}  // namespace fitting_room
