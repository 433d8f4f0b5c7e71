#pragma once
// CPhotoEngine: the photo editor's pixel work. It holds the photo being
// edited as colours with a one-byte state per pixel (the photo mask), the
// optional background picture with its own pixel copy, the polygon the user
// clicks, the magic-wand bounds, the make-up sample and the head-sticker
// state. It draws on a platform::raster::Surface that stands for the canvas
// (never a window) and reads pixels back only from that surface.
//
// The editor dialog uses one process-wide instance (Engine()); tests build
// their own. Main thread only. The stores are allocated once, at
// construction: no stroke or wand click allocates.
//
// Coordinates: "canvas" positions are surface pixels; "photo" positions
// (col, row) are relative to the photo area's origin (x0, y0). Every
// per-pixel operation ignores photo positions outside the photo area.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/message.h"
#include "image_editor/wand_fill.h"
#include "platform/raster/surface.h"

namespace image_editor {

using platform::raster::ColorRef;
using platform::raster::Point;
using platform::raster::Surface;

// A decoded picture: colours row by row (0x00BBGGRR).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<ColorRef> pixels;
    ColorRef At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Where the engine gets pictures from: the window side decodes files with the
// toolkit; tests answer from a table.
class PictureSource {
public:
    virtual ~PictureSource() = default;
    virtual bool Exists(const std::filesystem::path& path) = 0;
    // nullopt when the file is missing or cannot be decoded.
    virtual std::optional<Picture> Load(const std::filesystem::path& path) = 0;
};

// Canvas modes (the canvas copies its mode into the engine).
namespace mode {
inline constexpr int kNone = 0;
inline constexpr int kMagnifierPick = 20116001;
inline constexpr int kEraser = 20116002;
inline constexpr int kMagicWand = 20116003;
inline constexpr int kCutPolygon = 20116004;
inline constexpr int kKeepPolygon = 20116064;
inline constexpr int kHeadSticker = 20116201;
inline constexpr int kBrightenBrush = 20116301;
inline constexpr int kDodgeBrush = 20116302;
inline constexpr int kMakeupBrush = 20116303;
inline constexpr int kValidArea = 20117026;
inline constexpr int kGrabRegion = 20118007;
inline constexpr int kSpotlight = 20118107;
}  // namespace mode

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

class CPhotoEngine {
public:
    static constexpr int kStoreEntries = 650000;
    static constexpr int kMaxWidth = 640;
    static constexpr int kMaxHeight = 480;
    static constexpr ColorRef kDefaultBackground = 0x6A6F0D;
    static constexpr ColorRef kClearedColour = 0x0D0C0B;
    static constexpr int kMaxPolygonPoints = 260;   // clicked points
    static constexpr int kMaxOutlinePoints = 862;   // an ellipse's 861 points and the closing one
    static constexpr int kSampleSize = 23;
    static constexpr int kSampleStride = 26;
    static constexpr int kPolygonClosed = 999;
    static constexpr int kMagnifierCell = 7;

    explicit CPhotoEngine(PictureSource* pictures = nullptr);

    void SetPictureSource(PictureSource* pictures) { m_pictures = pictures; }
    // Where "请注意,当前图片不存在" goes.
    void SetMessageSink(platform::MessageSink sink) { m_sink = std::move(sink); }

    // --- photo and background pictures ---------------------------------
    void ClearPhoto();
    // Loads the file centred in the surface and captures it. A file that
    // cannot be decoded is refused (false): photo, path and valid area stay.
    bool LoadPhoto(const std::filesystem::path& path, Surface& dc);
    // Re-captures the current photo file the same way.
    bool CapturePhotoFromWindow(Surface& dc);
    // Fills the valid area with the background colour, draws the current
    // photo scaled into it (at its top-left corner) and captures the valid
    // area. False when the area is too small or the file cannot be decoded.
    bool LoadPhotoFitted(Surface& dc);
    // Reads the surface over the photo area into the photo colours (mask
    // 'A'); pixels outside the surface take the background colour.
    void CaptureArea(Surface& dc, int x0, int y0, int width, int height);

    void SetDrawRect();
    void MoveDrawRect(int dx, int dy);
    int ScaleDrawRect(double factor);
    int StepRotation(int op, int value);
    int CheckPictureFile(int code);
    // Draws the photo (or, with redraw target 111, the background picture)
    // into the drawing rectangle, turned about the rectangle's centre; code
    // 99 then captures it.
    void RedrawPhoto(int code, Surface& dc);
    void RedrawBackgroundPicture(int code, Surface& dc);

    void SetBackgroundPath(const std::filesystem::path& p) { m_bgPath = p; }
    void SetBackgroundShown(bool shown) { m_bgShown = shown ? 1 : 0; }
    bool LoadBackground(Surface& dc);
    void DrawBackground(Surface& dc) const;
    ColorRef BackgroundPixelAt(int col, int row) const;
    void DrawMaskedPhoto(Surface& dc) const;

    void SetPhotoArea(int x1, int y1, int x2, int y2);  // the valid area
    Rect GetPhotoArea() const { return m_valid; }
    void SetGrabArea(int op, int x1, int y1, int x2, int y2);
    Rect TakeGrabArea();

    // --- selections ------------------------------------------------------
    int AddPolygonPoint(int op, Point& point);
    Rect DrawPolygon(Surface& dc) const;
    void FillPolygonMask(int value);
    void CommitKeepSelection();
    void EraseAt(Surface& dc, int col, int row, int alt);
    void StampEraser(Surface& dc, int x, int y, int alt);
    void EraseLine(Surface& dc, int x1, int y1, int x2, int y2, int alt);
    void MagicWandAt(int x, int y);
    void MagicWandAtView(int x, int y);
    void GrowWandRegion();
    int WandPixelInRange(int col, int row);
    void CancelWandSelection();

    // --- tone and make-up ---------------------------------------------
    int AdjustBackground(int op);
    int AdjustPhoto(int op);
    void FillStrokeMask(char value);
    void BrushBrightenDodge(Surface& dc, int col, int row);
    void StampBrush(Surface& dc, int x, int y, int alt);
    void BrushLine(Surface& dc, int x1, int y1, int x2, int y2, int alt);
    void StampMakeup(Surface& dc, int x, int y, int mode);
    void SampleMakeupArea(const Surface& dc, int x, int y);
    void SampleMakeupColor(const Surface& dc, int x, int y);
    void ClearMakeupSample() { m_sampleTaken = false; }
    bool HasMakeupSample() const { return m_sampleTaken; }
    ColorRef SampleAt(int row, int col) const { return m_sample[row * kSampleStride + col]; }
    void BrightenMaskedPixel(int col, int row);
    int StepRadius(int op);

    // --- head stickers ----------------------------------------------------
    void SetStickerForm(char c);
    char GetStickerForm() const { return m_stickerForm; }
    void SetEdgeColor(ColorRef c) { m_edgeColour = c; }
    ColorRef edgeColour() const { return m_edgeColour; }
    void MakeHeadSticker(int x1, int y1, int x2, int y2, int value);
    void BuildEllipse(double cx, double cy, double rx, double ry);
    bool FindEdgeCrossing(int x, int y, int cx, int cy, Point& out) const;
    static bool SegmentIntersect(double ax, double ay, double bx, double by, double px, double py, double qx,
                                 double qy, Point& out);
    void BlendRingPixel(int x, int y, int col, int row);
    // Leaving the head-sticker mode, by whatever way: the stickers made since
    // it started are committed, as the right button does.
    void LeaveStickerMode();
    bool StickerMade() const { return m_stickerMade; }

    // --- magnifier ----------------------------------------------------------
    void SetMagnifierSize(int width, int height) { m_magViewW = width, m_magViewH = height; }
    void SetMagnifierOrigin(int x, int y);
    int StepMagnifier(int op);
    void SetMagnifierRect(const Rect& r) { m_magRect = r; }
    int GetMagnifierWidth() const { return m_magViewW; }
    int GetMagnifierHeight() const { return m_magViewH; }
    void DrawMagnifier(Surface& dc, const Rect& rect) const;
    void EraseAtView(Surface& dc, int a, int b, int alt);
    void EraseLineView(Surface& dc, int x1, int y1, int x2, int y2, int alt);
    void PaintAtView(Surface& dc, int a, int b);
    void PaintLineView(Surface& dc, int x1, int y1, int x2, int y2);

    // --- state ---------------------------------------------------------------
    // The canvas's mode, copied before each click; leaving the head-sticker
    // mode commits its stickers.
    void SetCanvasMode(int mode);
    int canvasMode() const { return m_mode; }
    bool photoPresent() const { return m_photoPresent == 'Y'; }
    int x0() const { return m_x0; }
    int y0() const { return m_y0; }
    int photoWidth() const { return m_width; }
    int photoHeight() const { return m_height; }
    int radius() const { return m_radius; }
    void SetRadius(int r) { m_radius = r; }
    ColorRef backgroundColour() const { return m_bgColour; }
    void SetBackgroundColour(ColorRef c) { m_bgColour = c; }
    bool backgroundLoaded() const { return m_bgLoaded == 'Y'; }
    bool backgroundShown() const { return m_bgShown == 1; }
    // Special mode 11: the photo (and its valid area) follows the pointer.
    void MovePhoto(int dx, int dy) {
        m_x0 += dx, m_y0 += dy;
    }
    // The file the photo is drawn from when it is scaled or captured again.
    void SetPhotoPath(const std::filesystem::path& p) { m_photoPath = p; }
    int quantiseStep() const { return m_quantStep; }
    int rotation() const { return m_angle; }
    int redrawTarget() const { return m_redrawTarget; }
    Rect drawRect() const { return {m_drawL, m_drawT, m_drawL + m_drawW, m_drawT + m_drawH}; }
    const std::filesystem::path& photoPath() const { return m_photoPath; }
    int magnifierCol() const { return m_magCol; }
    int magnifierRow() const { return m_magRow; }

    char MaskAt(int col, int row) const { return m_mask[Index(col, row)]; }
    void SetMaskAt(int col, int row, char c) {
        m_mask[Index(col, row)] = c;
        if (c == mask::kWandSelected) AnyRowMayHoldSelection();
    }
    ColorRef ColourAt(int col, int row) const { return m_colours[Index(col, row)]; }
    void SetColourAt(int col, int row, ColorRef c) { m_colours[Index(col, row)] = c; }
    char StrokeAt(int col, int row) const { return m_stroke[Index(col, row)]; }
    const std::vector<Point>& polygon() const { return m_poly; }
    const std::vector<Point>& innerEllipse() const { return m_inner; }
    int ringWidth() const { return m_ringWidth; }

    // Tests and the benchmark: a photo given directly, placed at (x0, y0).
    void SetPhoto(int x0, int y0, const Picture& pic);

private:
    bool Inside(int col, int row) const { return col >= 0 && row >= 0 && col < m_width && row < m_height; }
    std::size_t Index(int col, int row) const { return static_cast<std::size_t>(col) + static_cast<std::size_t>(row) * m_width; }
    bool BackgroundActive() const { return m_bgShown == 1 && m_bgLoaded == 'Y'; }
    std::optional<Picture> Decode(const std::filesystem::path& p) const;
    template <class Fn> void ForRing(int col, int row, Fn&& fn) const;
    bool MagnifierCellRect(int a, int b, Rect& out) const;
    void FloodWand();  // grows the waiting pixels (m_wandSeeds)
    void AnyRowMayHoldSelection() { m_wandRunsKnown = false; }
    template <class Fn> void ForEachSelected(Fn&& fn);  // then forgets the selection's place
    void ShowCell(Surface& dc, int a, int b, ColorRef c) const;

    PictureSource* m_pictures = nullptr;
    platform::MessageSink m_sink;

    // Stores (650,000 entries each).
    std::vector<ColorRef> m_colours;
    std::vector<char> m_mask;
    std::vector<char> m_stroke;
    std::vector<ColorRef> m_bgColours;
    std::vector<char> m_bgMask;
    std::array<ColorRef, kSampleSize * kSampleStride> m_sample{};

    ColorRef m_bgColour = kDefaultBackground;
    int m_radius = 3;
    int m_bgShown = 0;
    int m_showX = 0, m_showY = 0;
    char m_photoPresent = ' ';
    int m_x0 = 0, m_y0 = 0, m_width = 0, m_height = 0;
    double m_viewScale = 1.0;
    int m_naturalW = 0, m_naturalH = 0;
    Rect m_grab{};
    Rect m_valid{6, 6, 326, 246};
    std::filesystem::path m_photoPath;
    int m_drawL = 0, m_drawT = 0, m_drawW = 0, m_drawH = 0;
    int m_angle = 0;
    int m_redrawTarget = 0;
    int m_magCol = 0, m_magRow = 0;
    Rect m_magRect{};
    int m_magViewW = 0, m_magViewH = 0;
    char m_bgLoaded = ' ';
    int m_bgX = 1, m_bgY = 1, m_bgW = 0, m_bgH = 0;
    std::filesystem::path m_bgPath;
    int m_quantStep = 2;
    std::vector<Point> m_poly;
    int m_lo[3]{}, m_hi[3]{};
    int m_mode = 0;
    int m_shapeFill = 0;
    int m_shapeValue = 0;
    char m_stickerForm = ' ';
    bool m_stickerMade = false;
    std::vector<Point> m_inner;
    int m_ringWidth = 0;
    ColorRef m_edgeColour = 0xFFFFFF;
    int m_ringCx = 0, m_ringCy = 0, m_radX = 0, m_radY = 0;
    bool m_sampleTaken = false;
    int m_lastStampX = 0, m_lastStampY = 0;
    char m_stampMade = ' ';
    WandFill m_fill;
    std::vector<std::uint32_t> m_wandSeeds;  // waiting pixels; reserved once
    // Where the wand-selected pixels ('c') are: the runs its fills selected,
    // while they are known; after a new photo or a hand-set 'c', anywhere.
    std::vector<WandRun> m_wandRuns;  // reserved once
    bool m_wandRunsKnown = false;
};

// The editor's one engine.
CPhotoEngine& Engine();
void ResetEngine();

// Brush and eraser stepping: one call per integer step along the longer axis
// of the segment (the other coordinate from the slope in double, truncated),
// both ends included; a zero-length segment gives one.
template <class Fn>
void StepSegment(int x1, int y1, int x2, int y2, Fn&& fn) {
    const int dx = x2 - x1, dy = y2 - y1;
    if (dx == 0 && dy == 0) {
        fn(x1, y1);
        return;
    }
    const bool alongX = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const int steps = alongX ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy);
    const int step = (alongX ? dx : dy) > 0 ? 1 : -1;
    const double slope = alongX ? static_cast<double>(dy) / dx : static_cast<double>(dx) / dy;
    for (int k = 0; k <= steps; ++k) {
        const int t = k * step;
        if (alongX)
            fn(x1 + t, static_cast<int>(y1 + t * slope));
        else
            fn(static_cast<int>(x1 + t * slope), y1 + t);
    }
}

// Draws a picture into the box (l, t, w, h) of the surface: at natural size
// exactly, scaled bilinearly otherwise, turned by `degrees` about the box's
// centre when not 0.
void DrawPicture(Surface& dc, const Picture& pic, int l, int t, int w, int h, double degrees = 0.0);

}  // namespace image_editor
