#pragma once
// Paints a StageScene and the drawing items on a toolkit context: the
// background, the reference picture (scaled, rotated about its box's centre,
// clipped to the box), the parts back to front with high-quality scaling,
// the drawing items and the rubber band, the caption, the 3-D frame, the
// overlay picture and the focus outlines. Scaled pictures are kept per size,
// so repainting an unchanged stage only copies bitmaps.
//
// The same painter draws the window, the saved composition (where the items
// go through our own raster surface instead) and the benchmark. Window
// thread only.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <list>
#include <string>
#include <unordered_map>

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/font.h>
#include <wx/image.h>

#include "picture_controls/draw_item_list.h"
#include "project_editor/stage_canvas.h"

namespace project_editor {

class StagePainter {
public:
    struct Options {
        bool items = true;    // the drawing items and rubber band
        bool feedback = true; // focus outlines
    };

    // Draws everything; returns the caption's rectangle (from its text extent).
    Rect Paint(wxDC& dc, const StageScene& scene, const picture_controls::CDrawItemList* items,
               Options options);
    Rect Paint(wxDC& dc, const StageScene& scene, const picture_controls::CDrawItemList* items) {
        return Paint(dc, scene, items, Options{});
    }
    // The first steps alone (background, reference picture, parts) and the
    // last ones (caption, frame, overlay, feedback), for pictures whose items
    // are drawn on a raster surface in between.
    void PaintPictures(wxDC& dc, const StageScene& scene);
    Rect PaintTop(wxDC& dc, const StageScene& scene, bool feedback);

    // A picture scaled to w x h (null when it cannot be read).
    const wxBitmap* Scaled(const std::filesystem::path& path, int w, int h);
    void SetFontFace(const wxFont& font) { m_font = font; }
    void Clear();
    std::size_t cachedCount() const { return m_scaled.size(); }

    // The drawing items: the finished ones from a layer that is drawn again
    // (on our raster surface) only when they change, the item being drawn
    // and the rubber band straight onto the context.
    void PaintItems(wxDC& dc, const picture_controls::CDrawItemList& items, const Rect& stage);

private:
    void DrawReference(wxDC& dc, const StageScene& scene);
    void BuildItemLayer(const picture_controls::CDrawItemList& items, int finished, const Rect& stage);
    void Trim();

    struct Entry {
        wxBitmap bitmap;
        std::size_t bytes = 0;
        std::list<std::string>::iterator lru;
    };
    std::unordered_map<std::string, Entry> m_scaled;
    std::list<std::string> m_lru;
    std::size_t m_bytes = 0;
    std::size_t m_maxBytes = 192u * 1024 * 1024;
    wxFont m_font;
    std::uint64_t m_layerKey = 0;
    bool m_layerValid = false;
    wxBitmap m_layer;
    Point m_layerAt;
};

// The composed stage as a picture: the pictures drawn by the painter, the
// items through our raster surface, then caption and frame.
wxImage RenderStagePicture(StagePainter& painter, const StageScene& scene,
                           const picture_controls::CDrawItemList& items);

}  // namespace project_editor
