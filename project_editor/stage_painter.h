#pragma once
// Paints a StageScene and the drawing items on a toolkit context: the
// background, the reference picture (scaled, turned about its box's centre,
// clipped to the box), the parts back to front, the drawing items and the
// rubber band, the caption, the 3-D frame, the overlay picture and the focus
// outlines. The pictures go through the picture painter the fitting room uses:
// a paint that needs new pictures decodes them on all cores and scales them
// in bands of rows on all cores, and what was scaled is kept per size, so
// repainting an unchanged stage only blits. The finished drawing items are
// kept as one layer drawn on our raster surface, made again only when they
// change.
//
// The same painter draws the window, the saved composition (where the items
// go through our own raster surface instead) and the benchmark. Window
// thread only.
#include <cstdint>
#include <memory>
#include <vector>

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/font.h>
#include <wx/image.h>

#include "picture_controls/draw_item_list.h"
#include "picture_controls/picture_painter.h"
#include "platform/raster/surface.h"
#include "project_editor/stage_canvas.h"

namespace project_editor {

class StagePainter {
public:
    // Draws everything (the items when given); returns the caption's
    // rectangle (from its text extent).
    Rect Paint(wxDC& dc, const StageScene& scene, const picture_controls::CDrawItemList* items);
    // Paints into the window's memory bitmap, unless it shows this scene and
    // these items already and no picture file of the scene changed since:
    // then it is left as it is. Returns the caption's rectangle.
    Rect PaintBuffer(wxBitmap& buffer, const StageScene& scene, const picture_controls::CDrawItemList* items);
    // The first steps alone (background, reference picture, parts) and the
    // last ones (caption, frame, overlay, feedback), for pictures whose items
    // are drawn on a raster surface in between.
    void PaintPictures(wxDC& dc, const StageScene& scene);
    Rect PaintTop(wxDC& dc, const StageScene& scene, bool feedback);

    // The pictures of the stage, which the view's gallery and preview share.
    picture_controls::PicturePainter& pictures() { return m_pictures; }
    void SetFontFace(const wxFont& font) {
        m_font = font;
        m_shown.valid = false;
    }
    // Forgets the scaled pictures, the item layer and what the buffer shows.
    void Clear();

    // The drawing items: the finished ones from a layer that is drawn again
    // (on our raster surface) only when they change, the item being drawn
    // and the rubber band straight onto the context.
    void PaintItems(wxDC& dc, const picture_controls::CDrawItemList& items, const Rect& stage);

private:
    // What the finished items look like: the layer is made again when it changes.
    struct LayerKey {
        std::uint64_t hash = 0;
        int finished = 0;       // the items drawn on the layer (the one being drawn is not)
        bool building = false;  // the last item is being drawn
    };
    static LayerKey KeyOf(const picture_controls::CDrawItemList& items, const Rect& stage);
    // Paint, in an open pass, with the items' key worked out already (unused
    // without items).
    Rect PaintKeyed(wxDC& dc, const StageScene& scene, const picture_controls::CDrawItemList* items,
                    const LayerKey& key);
    void PaintItemsKeyed(wxDC& dc, const picture_controls::CDrawItemList& items, const Rect& stage,
                         const LayerKey& key);
    bool LayerCurrent(const LayerKey& key) const;
    // Reads only the items and writes only the layer: runs on any one thread.
    void MakeItemLayer(const picture_controls::CDrawItemList& items, const LayerKey& key, const Rect& stage);
    void DrawReference(wxDC& dc, const StageScene& scene);
    void BuildItemLayer(const picture_controls::CDrawItemList& items, int finished, const Rect& stage);

    // What PaintBuffer last painted into its bitmap.
    struct Shown {
        bool valid = false;
        StageScene scene;
        std::uint64_t items = 0;
        wxSize size;
        std::vector<std::shared_ptr<const wxImage>> sources;  // the scene's decoded pictures
        Rect caption;
    };

    picture_controls::PicturePainter m_pictures;
    wxFont m_font;
    Shown m_shown;
    std::uint64_t m_layerKey = 0;
    bool m_layerValid = false;
    platform::raster::Surface m_layer;  // transparent where no item is
    Point m_layerAt;
};

// The composed stage as a picture: the pictures drawn by the painter, the
// items through our raster surface, then caption and frame.
wxImage RenderStagePicture(StagePainter& painter, const StageScene& scene,
                           const picture_controls::CDrawItemList& items);

}  // namespace project_editor
