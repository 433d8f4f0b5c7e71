#pragma once
// The photo-edit canvas without a window: its tool mode (an engine mode or a
// drawing mode), the special modes of the dialog (drag the photo, drag and
// scale a picture, move and scale a material, move all), the mouse rules of
// every mode, and what one paint composes on the canvas's raster surface.
//
// The canvas window feeds it plain mouse events in client coordinates and
// acts on the CanvasReaction it gets back (repaint, notices for the dialog,
// the cursor). Immediate engine work (eraser and brush strokes, samples)
// happens on the surface of the last paint; every paint composes the whole
// canvas again. Main thread only.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "image_editor/material_table.h"
#include "image_editor/photo_engine.h"
#include "picture_controls/draw_item_list.h"
#include "platform/raster/surface.h"

namespace image_editor {

// Notices to the dialog (sent as WM_USER+21 with the code).
namespace notice {
inline constexpr int kSpecialEnded = 201107025;
inline constexpr int kModeEnded = 201107066;
inline constexpr int kMagnifierMoved = 201107022;
inline constexpr int kMagnifierChosen = 201107029;
inline constexpr int kGrabChosen = 20110807;
inline constexpr int kBoxDone = 20090803;
}  // namespace notice

namespace special {
inline constexpr int kNone = 0;
inline constexpr int kDragPhoto = 11;
inline constexpr int kDragPicture = 22;
inline constexpr int kMaterial = 111;
inline constexpr int kMoveAll = 116;
}  // namespace special

// Drawing modes of the canvas (drawing items).
namespace draw_mode {
inline constexpr int kFreeLine = 1000;
inline constexpr int kRectangle = 1001;
inline constexpr int kCircle = 1002;
inline constexpr int kPolyline = 1003;
inline constexpr int kArrow = 1004;
inline constexpr int kPolygon = 1005;
}  // namespace draw_mode

inline constexpr int kCaptureNow = 99;
inline constexpr int kMinBandDistance = 11;  // a drag shorter than this adds nothing at the release
inline constexpr int kMinAreaSide = 80;      // valid area and grab region
inline constexpr platform::raster::ColorRef kPanelColour = 0xF2D3C1;
inline constexpr platform::raster::ColorRef kValidAreaColour = 0xA6A6A6;

enum class CanvasCursor {
    Keep, Arrow, Brush3, Brush6, Brush9, Wand, Makeup, MakeupNoSample,
    StickerPlain, StickerFeather, StickerBright, Hand, Cross
};

struct CanvasNotice {
    int code = 0;
    int tag = 1001;
    Rect rect{};
};

struct CanvasReaction {
    bool repaint = false;
    std::vector<CanvasNotice> notices;
    CanvasCursor cursor = CanvasCursor::Keep;
    bool flashCursor = false;  // make-up sample requested: flash the cursor
};

struct CanvasInput {
    int x = 0, y = 0;
    // The "reverse" gesture: Alt, or its stand-in where the window manager
    // takes Alt+drag (Ctrl, or the dialog's toggle).
    bool alt = false;
    bool left = false;    // button held (moves)
    bool middle = false;  // button held (moves)
};

// The caption drawn on the picture.
struct TextItem {
    Rect box{};  // bounding box of the last drawing, for hit tests
    std::string sizeText = "28";
    std::string caption = "试衣背景";
    platform::raster::ColorRef colour = 0xDEDEFF;
    int further = 0xFFDE9B;
    int offsetX = 60, offsetY = 0;  // offsetY: canvas height - 60 once placed
    std::string fontFace;
    int SizeValue() const;
};

// Scaled pictures of the materials, with their alpha: the window side keeps
// them (from the picture cache), tests answer from a table.
class MaterialPictures {
public:
    virtual ~MaterialPictures() = default;
    // An ARGB surface of exactly width x height, or null when the picture is
    // missing.
    virtual const Surface* Scaled(const std::filesystem::path& picture, int width, int height) = 0;
    // The picture's natural size, or {0, 0} when missing.
    virtual std::pair<int, int> NaturalSize(const std::filesystem::path& picture) = 0;
};

class CanvasControl {
public:
    CanvasControl(CPhotoEngine& engine, picture_controls::CDrawItemList& drawing, CMaterialTable& materials);

    // The surface of the last paint, on which immediate engine work is done.
    void SetSurface(Surface* surface) { m_surface = surface; }
    void SetCanvasSize(int width, int height);
    int canvasWidth() const { return m_width; }
    int canvasHeight() const { return m_height; }

    void SetToolMode(int mode);
    void SetSpecialMode(int mode);
    // Ends a running tool mode (as the dialog does before a new one).
    CanvasReaction EndToolMode();
    int toolMode() const { return m_toolMode; }
    int specialMode() const { return m_special; }
    int bandState() const { return m_band; }
    int dragState() const { return m_drag; }
    int sampleRequest() const { return m_sampleRequest; }
    void RequestBackgroundReload() { m_reloadBackground = true; }
    // Loads a photo file centred on the canvas and fits it into its valid
    // area; a path shorter than 4 characters captures the current file
    // again. False when the file cannot be decoded (the photo stays).
    bool OpenPhoto(const std::filesystem::path& path);

    CanvasReaction LeftDown(const CanvasInput& in);
    CanvasReaction LeftUp(const CanvasInput& in);
    CanvasReaction Move(const CanvasInput& in);
    CanvasReaction MiddleDown(const CanvasInput& in);
    CanvasReaction MiddleUp(const CanvasInput& in);
    CanvasReaction RightDown(const CanvasInput& in);

    // The cursor the current mode shows with no button held.
    CanvasCursor ModeCursor() const;

    // Composes the canvas on `dc` (its size is the canvas): fill, picture of
    // special mode 22 (capturing on request), background, photo, polygon,
    // drawing items and bands, materials, valid-area outline (unless
    // `forGrab`). The caption is drawn by the window on top (text needs the
    // toolkit). A capture of special mode 22 reports kSpecialEnded.
    CanvasReaction Paint(Surface& dc, MaterialPictures* pictures, bool forGrab = false);

    TextItem& textItem() { return m_text; }
    const TextItem& textItem() const { return m_text; }
    // The caption's place: (60, canvas height - 60) unless dragged.
    int textX() const { return m_text.offsetX; }
    int textY() const { return m_text.offsetY; }

    // Called when a move-all drag ends without a canvas background picture:
    // the project's part positions follow the materials.
    std::function<void(int dx, int dy)> onMoveAllParts;

    // The canvas background picture (nothing in the editor sets it; kept for
    // the move-all rule).
    std::filesystem::path backgroundPicture;
    int backgroundOffsetX = 0, backgroundOffsetY = 0;

private:
    bool PolygonMode() const;
    bool BrushMode() const;
    bool BandMode() const;
    CanvasReaction EndByRightButton();
    void DrawMaterials(Surface& dc, MaterialPictures* pictures) const;
    void StartDrag(const CanvasInput& in);
    CanvasReaction DragMove(const CanvasInput& in);
    CanvasReaction DragEnd(const CanvasInput& in);

    CPhotoEngine& m_engine;
    picture_controls::CDrawItemList& m_drawing;
    CMaterialTable& m_materials;
    Surface* m_surface = nullptr;
    Surface m_scratch;  // when no surface was painted yet
    int m_width = 0, m_height = 0;

    int m_toolMode = 0;
    int m_band = 0;  // 0 idle, 1 first point, 2 moving, -1 restart at the next click
    bool m_outline = false;
    int m_special = 0;
    int m_capture = 0;
    int m_drag = 0;  // 0, 9 text armed, 19 drag armed, 109 text dragged, 119 move-all dragged
    Point m_dragPress{}, m_dragLast{};
    bool m_moveAll = false;
    Point m_press{}, m_last{};
    char m_moved = ' ';
    int m_sampleRequest = 0;
    Rect m_closeBox{};  // the drawing polygon's closing box
    Rect m_firstBox{};  // the engine polygon's first-point box
    bool m_brushOutline = false;
    Point m_brushAt{};
    bool m_magnifierBox = false;
    Point m_magnifierAt{};
    bool m_reloadBackground = false;
    TextItem m_text;
    Surface& Dc();
};

// The editor's one drawing-item list (the annotations on the photo).
picture_controls::CDrawItemList& EditorDrawing();

}  // namespace image_editor
