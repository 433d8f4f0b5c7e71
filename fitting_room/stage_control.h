#pragma once
// The fitting window's logic, without a window: the in-window menu of 13
// picture buttons with the nudge pad, the menu commands on the fitting model,
// the mouse modes (pressing, dragging the selected item, panning, placing the
// personal photo), the show-picture slideshow, and what a paint shows.
//
// Window thread only. The window feeds it plain mouse events in client
// coordinates and acts on the StageReaction it gets back; it paints the
// PaintOps of WindowOps (snapshots paint StageOps: the dressed stage alone).
#include <array>
#include <filesystem>
#include <functional>
#include <string>

#include "fitting_room/fitting_model.h"
#include "fitting_room/garment_pic_list.h"
#include "picture_controls/geometry.h"
#include "picture_controls/paint_ops.h"
#include "platform/picture_size.h"

namespace fitting_room {

using picture_controls::Point;
using picture_controls::Rect;
using picture_controls::PaintOp;
using picture_controls::PaintOps;

inline constexpr int kMenuButtonCount = 13;

// Menu commands.
inline constexpr int kCmdClear = 1001;
inline constexpr int kCmdPhotoOnOff = 1030;
inline constexpr int kCmdPhotoPlace = 1031;
inline constexpr int kCmdRemove = 2004;
inline constexpr int kCmdStoreGroup = 2026;
inline constexpr int kCmdNudgePad = 4000;
inline constexpr int kCmdNudgeNumber = 4044;
inline constexpr int kCmdNudgeStep = 4060;
inline constexpr int kCmdNudgeLeft = 4061;
inline constexpr int kCmdNudgeUp = 4062;
inline constexpr int kCmdNudgeRight = 4063;
inline constexpr int kCmdNudgeDown = 4064;
inline constexpr int kCmdShrink = 4201;
inline constexpr int kCmdGrow = 4202;

inline constexpr int kPhotoModeOff = 0;
inline constexpr int kPhotoModePlace = 101;
inline constexpr int kDragIdle = 0;
inline constexpr int kDragPressed = 19;
inline constexpr int kDragMoving = 119;

inline constexpr int kCursorHand = 131;
inline constexpr int kCursorDrag = 142;
inline constexpr std::uint32_t kSlideBackground = 0xDEDEDE;

struct MenuButton {
    char kind = 'b';
    std::string picture;  // file name in the interface folder
    int command = 0;
    Point pos;
    Rect drawn;  // where it is drawn now; empty while hidden or missing
};

enum class MouseButton { Left, Middle, Right };
enum class StageCursor { Keep, Arrow, Hand, Drag };

struct StageReaction {
    bool repaint = false;
    bool notifyParent = false;  // a press made a new item current
    StageCursor cursor = StageCursor::Keep;
};

class StageControl {
public:
    StageControl(CFittingModel& model, const CGarmentPicList& rightList);

    void SetBaseDir(const std::filesystem::path& base) { m_baseDir = base; }
    void SetPictureSizes(platform::PictureSizeSource* sizes) { m_sizes = sizes; }
    // From the settings record at creation: whether it holds a personal photo
    // (buttons 12 and 13 exist) and whether the photo shows.
    void SetPhotoSettings(bool hasPhoto, bool shown);
    // Told when command 1030 switches the photo, so the settings follow.
    std::function<void(bool shown)> onPhotoShownChanged;

    // The client size: the model's stage rectangle, the buttons placed
    // relative to it and the preview box.
    void Layout(int width, int height);

    int MenuHitTest(Point p) const;
    // 1 when the stage must be repainted.
    int OnMenuCommand(int command);
    void ToggleMenu();

    StageReaction ButtonDown(MouseButton b, Point p);
    StageReaction ButtonUp(MouseButton b, Point p);
    StageReaction Motion(Point p, bool left, bool middle, bool right);
    StageReaction Wheel(int direction);

    // Everything the window shows, and the dressed stage alone.
    void WindowOps(PaintOps& ops);
    void StageOps(PaintOps& ops);

    // The slideshow of the picked item's show pictures: Start answers whether
    // there is a first picture; Next moves on and answers false after the last.
    bool StartSlideshow();
    bool NextSlide();
    bool InSlideshow() const { return m_slide >= 0; }
    int slide() const { return m_slide; }
    // A picture shown over the stage until the next change.
    void ShowPicture(const std::filesystem::path& p) { m_shownPicture = p; }
    void ClearShownPicture() { m_shownPicture.clear(); }
    const std::filesystem::path& shownPicture() const { return m_shownPicture; }

    int photoMode() const { return m_photoMode; }
    bool fineZoom() const { return m_fineZoom; }
    const Rect& photoRect() const { return m_photoRect; }
    bool photoShown() const { return m_photoShown; }
    bool menuShown() const { return m_menuShown; }
    int dragState() const { return m_dragState; }
    int nudgeStep() const { return m_nudgeStep; }
    const std::filesystem::path& currentPicture() const { return m_currentPicture; }
    const MenuButton& button(int i) const { return m_buttons.at(static_cast<std::size_t>(i)); }
    bool ButtonShown(int i) const;
    const Rect& previewBox() const { return m_previewBox; }
    const Rect& clientRect() const { return m_client; }
    std::filesystem::path InterfacePicture(const std::string& name) const;

private:
    void UpdateButtons();
    int PadZone(Point p) const;
    void PhotoOps(PaintOps& ops, bool tip);
    void DressedStage(PaintOps& ops, bool tip);

    CFittingModel& m_model;
    const CGarmentPicList& m_rightList;
    platform::PictureSizeSource* m_sizes = nullptr;
    std::filesystem::path m_baseDir;

    std::filesystem::path m_currentPicture;
    int m_photoMode = kPhotoModeOff;
    Rect m_photoRect;
    bool m_hasPhoto = false;
    bool m_photoShown = false;
    Rect m_previewBox;
    bool m_fineZoom = false;
    bool m_menuShown = false;
    std::array<MenuButton, kMenuButtonCount> m_buttons;
    Rect m_client;
    int m_dragState = kDragIdle;
    Point m_press;
    int m_nudgeStep = 1;
    Point m_panAnchor;
    int m_slide = -1;
    std::filesystem::path m_shownPicture;
};

}  // namespace fitting_room
