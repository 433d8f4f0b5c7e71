#pragma once
// The photo-edit dialog's decisions without a window: the table of its 16
// tool buttons, the popup menu of each tool, the mode commands with their
// hints, the wheel and Shift rules, the canvas notices, the grabs and the
// material panel's commands. The dialog forwards clicks, commands, wheel
// notches and notices; everything that needs a window (menus, file and
// colour dialogs, grabs, boxes, repaints) goes through PhotoEditHost, which
// tests replace with a recorder. Main thread only.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "image_editor/basic_project_reader.h"
#include "image_editor/canvas_control.h"
#include "image_editor/material_table.h"
#include "image_editor/photo_engine.h"
#include "picture_controls/draw_item_list.h"

namespace image_editor {

// Mode commands of the popup menus.
namespace cmd {
inline constexpr int kBackgroundColour = 32771;
inline constexpr int kEraser = 32772;
inline constexpr int kCutPolygon = 32773;
inline constexpr int kMagnifierArea = 32774;
inline constexpr int kMagicWand = 32775;
inline constexpr int kLoadBackground = 32776;
inline constexpr int kDragBackground = 32777;
inline constexpr int kBackgroundBrighten = 32779;
inline constexpr int kBackgroundDodge = 32780;
inline constexpr int kBackgroundQuantise = 32781;
inline constexpr int kReloadBackground = 32782;
inline constexpr int kKeepPolygon = 32783;
inline constexpr int kPhotoBrighten = 32784;
inline constexpr int kPhotoDodge = 32785;
inline constexpr int kBrightenBrush = 32786;
inline constexpr int kDodgeBrush = 32787;
inline constexpr int kMakeupBrush = 32788;
inline constexpr int kEndMode = 32789;
inline constexpr int kContinue = 32790;
inline constexpr int kDragPhoto = 32791;
inline constexpr int kScalePhoto = 32792;
inline constexpr int kNewPhoto = 32793;
inline constexpr int kReloadPhoto = 32794;
inline constexpr int kValidArea = 32795;
inline constexpr int kStickerPlain = 32796;
inline constexpr int kStickerFeather = 32797;
inline constexpr int kStickerBright = 32798;
inline constexpr int kMagnifierLeft = 32799;
inline constexpr int kMagnifierRight = 32800;
inline constexpr int kMagnifierUp = 32801;
inline constexpr int kMagnifierDown = 32802;
inline constexpr int kEdgeColour = 32803;
inline constexpr int kSpotlight = 32804;
inline constexpr int kMaterialMode = 1;        // IDOK "移动缩放"
inline constexpr int kMoveAll = 1073;
inline constexpr int kNextMaterial = 1074;
inline constexpr int kDeleteMaterial = 1075;
inline constexpr int kClearMaterials = 1083;
}  // namespace cmd

// Tool codes.
namespace tool {
inline constexpr int kBackground = 2001;
inline constexpr int kSticker = 2201;
inline constexpr int kClearBackground = 2002;
inline constexpr int kMakeup = 2003;
inline constexpr int kAutoAdd = 2004;
inline constexpr int kGrabToClipboard = 2101;
inline constexpr int kGrabAndSave = 2102;
inline constexpr int kDrawColour = 3001;
inline constexpr int kDrawDelete = 3008;
inline constexpr int kDrawText = 3026;
inline constexpr int kGrabCorner = 21011;
}  // namespace tool

inline constexpr int kWheelScale = 101;
inline constexpr int kWheelRotate = 606;

struct ToolButton {
    char row = 'U';
    char shown = 'Y';
    std::string picture;  // "<base>/ephoto_syspic/<picture>.png"
    std::string tip;
    Rect rect{};
    int code = 0;
};

struct MenuEntry {
    std::string text;  // empty with id 0: a separator
    int id = 0;
    bool separator() const { return id == 0; }
};

// The rectangles (dialog client coordinates) the tool table hangs on.
struct DialogRects {
    Rect backgroundCheck;  // 1065
    Rect preview;          // 1067
    Rect canvas;           // 1054
};

std::vector<ToolButton> BuildToolTable(const DialogRects& rects);
// The code of the first shown tool containing the point (tool 5's corner box:
// 21011); 0 when none.
int HitTool(const std::vector<ToolButton>& tools, int x, int y);
// Tool 5's 16 x 16 corner box.
Rect GrabCornerBox(const ToolButton& grabTool);

// The texts the dialog shows.
namespace hint {
inline constexpr const char* kNone = "---";
inline constexpr const char* kDone = "---------";
inline constexpr const char* kIdle = "----";
}  // namespace hint
// The hint of a mode command or drawing tool; empty when it has none.
std::string HintFor(int command);

class PhotoEditHost {
public:
    virtual ~PhotoEditHost() = default;
    virtual void ShowHint(const std::string& text) = 0;
    virtual void RepaintCanvas() = 0;
    virtual void RedrawPanel() = 0;
    virtual void RedrawTools() = 0;
    // Tracks the popup at the tool's rectangle; the chosen id or 0.
    virtual int TrackPopup(const std::vector<MenuEntry>& items, const Rect& at) = 0;
    virtual std::optional<ColorRef> ChooseColour(ColorRef initial, const Rect& at) = 0;
    virtual std::optional<std::filesystem::path> ChoosePicture(const std::filesystem::path& folder) = 0;
    // Renders the canvas (as a paint composes it, without the outlines) and
    // writes `region` of it to `file` as 'J' (JPEG) or 'B' (BMP), quality 100.
    virtual bool GrabCanvas(const Rect& region, const std::filesystem::path& file, char format) = 0;
    virtual bool CopyToClipboard(const std::filesystem::path& file) = 0;
    virtual void RunPhotoSave(const std::filesystem::path& source, const Rect& at) = 0;
    // The text dialog on the caption; true after OK (the item updated).
    virtual bool RunTextDialog(TextItem& item, const Rect& at) = 0;
    virtual void RunSwatchDialog() = 0;
    virtual void ShowMakeupButton(bool shown) = 0;
    virtual void ShowPreview(int part) = 0;  // -1 clears it
    virtual void EnableMaterialButtons(bool enable) = 0;
    virtual platform::MbResult Message(const platform::MessageRequest& request) = 0;
};

class PhotoEditController {
public:
    PhotoEditController(CPhotoEngine& engine, CanvasControl& canvas, picture_controls::CDrawItemList& drawing,
                        CMaterialTable& materials, CBasicProjectReader& reader, PhotoEditHost& host);

    void SetBaseDir(const std::filesystem::path& base);
    const std::filesystem::path& baseDir() const { return m_base; }
    void Layout(const DialogRects& rects) { m_tools = BuildToolTable(rects); }
    const std::vector<ToolButton>& tools() const { return m_tools; }

    // A left click outside the panel.
    void Click(int x, int y);
    void RunTool(int code);
    // The popup of a tool as it stands now.
    std::vector<MenuEntry> MenuFor(int code) const;
    // The popup of the magnifier panel's right button by the canvas mode.
    std::vector<MenuEntry> PanelMenu() const;
    // A command of a menu, a button or a drawing tool.
    void Command(int id);
    void EndCurrentMode();
    void Wheel(bool up);
    // Shift: in special mode 22 the wheel switches between scaling and
    // turning; in head-sticker mode the sticker form cycles, and then (true)
    // the canvas shows the new form's cursor. Elsewhere it does nothing.
    bool ShiftKey();
    void Notice(const CanvasNotice& n);

    // Photo loading for the commands and the window (the file the user chose
    // is the "original", which 重新装入原始照片 reads again).
    bool OpenPhoto(const std::filesystem::path& file);

    // The material panel.
    std::vector<std::string> ProjectTitles() const;
    bool ChooseProject(const std::string& name);
    void ChooseCategory(const std::string& name);
    const std::vector<int>& listedParts() const { return m_listed; }
    const std::string& category() const { return m_category; }
    void SetPanelShowsMaterials(bool shown);
    bool panelShowsMaterials() const { return m_panelMaterials; }
    void PickPart(int part);
    int pickedPart() const { return m_picked == 'Y' ? m_pickedPart : -1; }
    // Places the picked part (slot by its layer); the slot or -1.
    int PlacePicked(MaterialPictures& pictures);

    const std::string& hint() const { return m_hint; }
    int specialMode() const { return m_special; }
    int wheelSubMode() const { return m_wheel; }
    char autoAdd() const { return m_autoAdd; }
    bool busy() const { return m_busy != 0; }
    int scalings() const { return m_scalings; }
    const std::filesystem::path& originalPhoto() const { return m_original; }

    std::filesystem::path PhotoFolder() const;
    std::filesystem::path WorkFolder() const;  // "tmpBmpData"

private:
    void SetHint(const std::string& text);
    void StartToolMode(int canvasMode, int command);
    void StartSpecial(int mode, int command);
    Rect ToolRect(int code) const;
    bool EnsureFolder(const std::filesystem::path& folder);
    void Grab(int code);

    CPhotoEngine& m_engine;
    CanvasControl& m_canvas;
    picture_controls::CDrawItemList& m_drawing;
    CMaterialTable& m_materials;
    CBasicProjectReader& m_reader;
    PhotoEditHost& m_host;
    std::filesystem::path m_base;
    std::vector<ToolButton> m_tools;

    int m_busy = 0;
    int m_special = 0;
    int m_wheel = kWheelScale;
    char m_autoAdd = ' ';
    int m_scalings = 0;
    bool m_panelMaterials = false;
    char m_picked = ' ';
    int m_pickedPart = -1;
    std::string m_hint = hint::kIdle;
    std::string m_category{kAllCategories};
    std::vector<int> m_listed;
    std::filesystem::path m_original;
};

}  // namespace image_editor
