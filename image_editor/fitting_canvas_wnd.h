#pragma once
// CFittingCanvasWnd: the photo-edit dialog's canvas. It owns the canvas's
// raster surface and the CanvasControl (the mouse rules), forwards plain
// mouse events to it, and paints by composing the surface (CanvasControl::
// Paint), drawing the caption on top and showing the result with one blit.
// Grabs render the same picture off screen. Decoded pictures come from the
// process's picture cache; scaled materials are kept until their size
// changes. Main thread only.
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <wx/bitmap.h>
#include <wx/cursor.h>
#include <wx/image.h>
#include <wx/window.h>

#include "image_editor/canvas_control.h"
#include "image_editor/photo_engine.h"

namespace image_editor {

// The engine's pictures from the process's picture cache (no decoding per
// paint or mouse move).
class CachedEnginePictures : public PictureSource {
public:
    bool Exists(const std::filesystem::path& path) override;
    std::optional<Picture> Load(const std::filesystem::path& path) override;

private:
    std::map<std::string, std::pair<const void*, std::shared_ptr<Picture>>> m_converted;
};

// Scaled material pictures, with alpha, from the picture cache.
class CachedMaterialPictures : public MaterialPictures {
public:
    const Surface* Scaled(const std::filesystem::path& picture, int width, int height) override;
    std::pair<int, int> NaturalSize(const std::filesystem::path& picture) override;

private:
    struct Entry {
        const void* source = nullptr;
        int width = 0, height = 0;
        Surface surface;
    };
    std::map<std::string, Entry> m_scaled;
};

class CFittingCanvasWnd : public wxWindow {
public:
    CFittingCanvasWnd(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);
    ~CFittingCanvasWnd() override;

    CanvasControl& control() { return m_control; }
    CachedMaterialPictures& materialPictures() { return m_materials; }
    // Where the canvas's notices go (the dialog's WM_USER+21 handler).
    std::function<void(const CanvasNotice&)> onNotice;
    // Called after every paint of the canvas (the dialog's magnifier follows).
    std::function<void()> onPainted;
    // Whether Alt's stand-in (Ctrl) counts as Alt, and the dialog's toggle.
    void SetReverseToggle(bool on) { m_reverseToggle = on; }
    bool reverseToggle() const { return m_reverseToggle; }

    // The canvas as the next paint shows it (the caption included); without
    // the valid-area outline and bands when `forGrab`.
    wxImage Render(bool forGrab);
    // Draws the caption onto `dc` at the text item's place and keeps its box.
    void DrawCaption(wxDC& dc);

    // Shows the cursor of the current mode (the head-sticker form after Shift).
    void ShowModeCursor();
    // The cursor the canvas shows now.
    CanvasCursor shownCursor() const { return m_shownCursor; }

    // Mouse input as plain calls (the event handlers use them; so do tests).
    void Mouse(int kind, const CanvasInput& in);
    enum { kLeftDown, kLeftUp, kMove, kMiddleDown, kMiddleUp, kRightDown };

private:
    void OnPaint(wxPaintEvent&);
    void OnMouse(wxMouseEvent& e);
    void Act(const CanvasReaction& r);
    void ComposeSurface(bool forGrab);

    CanvasControl m_control;
    Surface m_surface;
    CachedEnginePictures m_enginePictures;
    CachedMaterialPictures m_materials;
    bool m_reverseToggle = false;
    bool m_painting = false;
    CanvasCursor m_shownCursor = CanvasCursor::Arrow;
    wxCursor m_stickerCursors[3];  // plain, feathered, bright edge
};

}  // namespace image_editor
