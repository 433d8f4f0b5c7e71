#pragma once
// The stage canvas's logic, without a window: the caption, colours, reference
// and overlay pictures, the frame, and the three mouse state machines (drag of
// a part, the caption or the whole stage; the drawing tools; the rectangle
// selection). The window (CStageWnd) feeds it plain mouse events in client
// coordinates and acts on the CanvasReaction it gets back; it paints the
// StageScene that Scene() describes. Feedback that the old program drew with
// XOR straight onto the screen (rubber bands, focus rectangles) is state here
// and shows at the next paint.
//
// Window thread only. Reads and changes the process-wide slot table and the
// project store it is given.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "picture_controls/geometry.h"
#include "project_editor/project_store.h"
#include "project_editor/stage_slot.h"

namespace project_editor {

using picture_controls::Point;
using picture_controls::Rect;

// Message to the parent (the user message base plus 21) and its codes.
inline constexpr unsigned kStageNotifyMessage = 0x415;
inline constexpr int kNotifyRectSelected = 20090803;
inline constexpr int kNotifySlotSelected = 20090807;

// Tool modes: 0 or below select/move; 1000 freehand; 1001 rectangle; 1002
// ellipse; 1003 polyline; 1004 arrow; 1005 closed outline; 1006 none.
inline constexpr int kToolSelect = 0;
inline constexpr int kToolFreehand = 1000;
inline constexpr int kToolRectangle = 1001;
inline constexpr int kToolEllipse = 1002;
inline constexpr int kToolPolyline = 1003;
inline constexpr int kToolArrow = 1004;
inline constexpr int kToolOutline = 1005;
inline constexpr int kToolNone = 1006;

// Drag states.
inline constexpr int kDragNone = 0;
inline constexpr int kDragCaptionPressed = 9;
inline constexpr int kDragPressed = 19;
inline constexpr int kDragCaption = 109;
inline constexpr int kDragStage = 119;

// Rectangle selection states.
inline constexpr int kRectOff = 0;
inline constexpr int kRectArmed = 1;
inline constexpr int kRectRunning = 9;
inline constexpr int kRectDone = -1;

// Defaults (0x00BBGGRR).
inline constexpr std::uint32_t kDefaultStageBackground = 0xFFDE9B;  // R 155 G 222 B 255
inline constexpr std::uint32_t kDefaultCaptionColour = 0xDEDEFF;    // R 255 G 222 B 222
inline constexpr std::uint32_t kFrameDark = 0x37210B;               // R 11 G 33 B 55
inline constexpr std::uint32_t kFrameLight = 0xFFCDD7;              // R 215 G 205 B 255

// What the canvas does to the drawing-item list. The window side passes the
// process's CDrawItemList behind this face; tests pass a recorder.
class StageDrawing {
public:
    virtual ~StageDrawing() = default;
    virtual void AddItem(char kind) = 0;
    virtual void AddPoint(int x, int y) = 0;
    virtual void EndItem() = 0;
    virtual void BeginRubberBand(char mode, int x, int y) = 0;
    // Moves the free end of the feedback (for 'A' this also builds the arrow
    // outline that the next AddItem('E') takes).
    virtual void MoveRubberBand(int x, int y) = 0;
    // Takes the feedback off the stage.
    virtual void EndRubberBand() = 0;
    virtual void Clear() = 0;
};

enum class CanvasCursor { Keep, Arrow, Drag, Tool };

struct CanvasReaction {
    bool repaint = false;
    int notify = 0;   // 0, kNotifySlotSelected or kNotifyRectSelected
    Rect selected;    // with kNotifyRectSelected: canvas coordinates
    CanvasCursor cursor = CanvasCursor::Keep;
    bool releaseClip = false;
    bool saved = false;        // the project was written (move-all)
    std::string saveError;     // a save that failed: the reason for the user
};

enum class CanvasButton { Left, Middle, Right };

// One picture to draw: the file and the box it is scaled into.
struct ScenePicture {
    std::filesystem::path path;
    Rect box;
    friend bool operator==(const ScenePicture&, const ScenePicture&) = default;
};

// Everything a paint shows, in drawing order (the drawing items and the
// rubber band come from the item list and are drawn between the pictures and
// the caption).
struct StageScene {
    Rect stage;
    std::uint32_t background = kDefaultStageBackground;
    bool hasReference = false;
    std::filesystem::path reference;
    Rect referenceClip;     // the reference picture is clipped to this box
    double referenceX = 0, referenceY = 0, referenceW = 0, referenceH = 0;
    int referenceAngle = 0;
    std::vector<ScenePicture> parts;  // back (slot 99) to front (slot 0)
    std::string caption;
    int captionHeight = 28;
    std::uint32_t captionColour = kDefaultCaptionColour;
    Point captionAt;
    bool frame = false;
    Rect frameRect;
    std::filesystem::path overlay;   // drawn at natural size at stage top-left + (1, 1)
    bool focusRect = false;          // the rectangle selection in progress
    Rect focus;
    bool captionFocus = false;       // the caption's outline while it is dragged
    friend bool operator==(const StageScene&, const StageScene&) = default;
};

class StageCanvasControl {
public:
    StageCanvasControl(CProjectStore& store, StageSlotTable& slots, StageDrawing& drawing);

    // The stage rectangle (the window's client area at each paint).
    void SetStageRect(const Rect& r) { m_stage = r; }
    const Rect& StageRect() const { return m_stage; }
    // The caption's rectangle as the last paint measured it.
    void SetCaptionRect(const Rect& r) { m_captionRect = r; }
    const Rect& CaptionRect() const { return m_captionRect; }

    void SetMode(int tool);
    // Ends an active tool; true when there was one (repaint, arrow cursor).
    bool EndMode();
    // 0 caption font height, 1 caption text, 2 caption colour, 3 background
    // colour (decimal COLORREF texts). False for another index.
    bool SetText(int index, const std::string& text);
    void SetOption(int frame) { m_frameOption = frame; }
    void SetFrameRect(const Rect& r) { m_frameRect = r; }
    // 1 reference angle (degrees), 2 reference scale.
    bool SetValue(int index, const std::string& text);
    void SetOffset(int x, int y) { m_refOffset = {x, y}; }
    void SetFlagA(int lock) { m_lock = lock; }
    void SetFlagB(int moveReference) { m_moveReference = moveReference; }
    // The reference picture; false (nothing changed) when the file cannot be read.
    bool LoadPictureFile(const std::filesystem::path& path);
    void SetPicturePath(const std::filesystem::path& overlay) { m_overlay = overlay; }
    // Reference picture off, drawing items cleared, no current slot.
    void ClearPicture();
    // Reference picture off only.
    void ClearPicture2();
    void BeginLineMode();

    CanvasReaction ButtonDown(CanvasButton b, Point p);
    CanvasReaction ButtonUp(CanvasButton b, Point p);
    CanvasReaction Motion(Point p, bool left, bool middle);

    // The picture file of a part: "<picture folder>/<picture name>.png".
    std::filesystem::path PartPicture(int part) const;
    StageScene Scene() const;
    // The reference picture's drawn size and place for a picture of w x h.
    void ReferenceGeometry(int w, int h, StageScene& scene) const;
    // Natural sizes of reference pictures (the window answers from its cache).
    void SetReferenceSize(int w, int h) { m_refW = w; m_refH = h; }

    int tool() const { return m_tool; }
    int phase() const { return m_phase; }
    int dragState() const { return m_drag; }
    int rectState() const { return m_rectState; }
    char rectMark() const { return m_rectMark; }
    const Rect& rectSelection() const { return m_rectSel; }
    Point captionPos() const { return m_captionPos; }
    void SetCaptionPos(Point p) { m_captionPos = p; }
    std::uint32_t background() const { return m_background; }
    std::uint32_t captionColour() const { return m_captionColour; }
    const std::string& caption() const { return m_caption; }
    int captionHeight() const { return m_captionHeight; }
    const std::filesystem::path& referencePath() const { return m_refPath; }
    Point referenceOffset() const { return m_refOffset; }
    int referenceAngle() const { return m_refAngle; }
    double referenceScale() const { return m_refScale; }
    const std::filesystem::path& overlay() const { return m_overlay; }
    int polylineCount() const { return m_polyCount; }
    int lock() const { return m_lock; }
    int moveReference() const { return m_moveReference; }

private:
    // True when the current slot changed (the parent is told).
    bool HitTestSlots(Point p);
    void SelectPress(Point p, CanvasReaction& r);
    void ReleaseStage(Point p, CanvasReaction& r);
    void ToolDown(Point p, CanvasReaction& r);
    Point Origin() const { return {m_stage.left, m_stage.top}; }

    CProjectStore& m_store;
    StageSlotTable& m_slots;
    StageDrawing& m_drawing;

    Rect m_stage;
    Point m_captionPos{10, 10};
    Rect m_captionRect;
    std::uint32_t m_background = kDefaultStageBackground;
    std::uint32_t m_captionColour = kDefaultCaptionColour;
    int m_captionHeight = 28;
    std::string m_caption = "试衣背景";

    int m_drag = kDragNone;
    Point m_press;
    int m_tool = kToolSelect;
    int m_phase = 0;
    int m_polyCount = 0;
    Rect m_closeRect;
    int m_rectState = kRectOff;
    char m_rectMark = ' ';
    Point m_rectStart;
    Rect m_rectSel;

    int m_frameOption = 0;
    Rect m_frameRect;
    int m_lock = 0;
    int m_moveReference = 0;

    std::filesystem::path m_refPath;
    char m_refLoaded = ' ';
    int m_refAngle = 0;
    Point m_refOffset;
    double m_refScale = 1.0;
    int m_refW = 0, m_refH = 0;
    std::filesystem::path m_overlay;
};

}  // namespace project_editor
