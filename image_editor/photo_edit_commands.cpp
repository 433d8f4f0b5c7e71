// The photo-edit dialog's command table. Every mode command first ends the
// running mode (except the one-shot commands the dialog lists), then sets the
// canvas's tool mode or the special mode and shows the mode's hint. Grabs are
// rendered by the host from the canvas's own drawing; work folders are made
// when a grab first needs them.
#include "image_editor/photo_edit_commands.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "image_editor/camera_sys_info.h"

namespace image_editor {

namespace fs = std::filesystem;
using platform::MbButtons;
using platform::MbIcon;
using platform::MbResult;

namespace {

constexpr const char* kDragPictureScale = "按住左键，移动光标拖移当前图片.滚轮缩放(Shift切换旋转).右键结束.";
constexpr const char* kDragPictureRotate = "按住左键，移动光标拖移当前图片.滚轮旋转(Shift切换缩放).右键结束.";
constexpr const char* kClearAllQuestion = "真要清楚全部素材(服装)吗?请确认!";
constexpr const char* kNoticeCaption = "特别提示";
constexpr const char* kFolderFailed = "不能建立目录 < %s > !";
constexpr const char* kGrabFailed = "图片保存失败 < %s > !";
constexpr const char* kPhotoFailed = "照片文件不能装入 < %s > !";

constexpr const char* kClipboardGrab = "tpho00938hfz3721.jpg";
constexpr const char* kSaveGrab = "tpho009383721.bmp";
constexpr const char* kScaleGrab = "ScaleNewTmpOrgPic.bmp";
constexpr const char* kBackgroundFolder = "kzvEcamsys背景图片";

std::string Format(const char* pattern, const std::string& arg) {
    std::string out(pattern);
    const auto at = out.find("%s");
    if (at != std::string::npos) out.replace(at, 2, arg);
    return out;
}

bool Contains(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

std::vector<ToolButton> BuildToolTable(const DialogRects& d) {
    const Rect& b = d.backgroundCheck;
    const Rect& p = d.preview;
    const Rect& c = d.canvas;
    const int upperY = b.top - 2;
    auto make = [](char row, std::string pic, std::string tip, int x, int y, int size, int code) {
        return ToolButton{row, 'Y', std::move(pic), std::move(tip), {x, y, x + size, y + size}, code};
    };
    std::vector<ToolButton> t;
    t.push_back(make('U', "imgEdit_ImageBkgPic", "选择背景图", b.left - 52, upperY, 48, tool::kBackground));
    t.push_back(make('U', "imgEdit_ImageHeadpho", "大头贴", b.right + 6, upperY, 48, tool::kSticker));
    t.push_back(make('U', "imgEdit_ImageClearBkg", "擦除背景", b.right + 62, upperY, 48, tool::kClearBackground));
    t.push_back(make('U', "imgEdit_ImageFaceColor", "美容化装", b.right + 118, upperY, 48, tool::kMakeup));
    t.push_back(make('U', "imgEdit_ImageClothHair", "服装道具自动添加设置", p.left - 56, upperY, 48, tool::kAutoAdd));
    t.push_back(make('U', "imgEdit_ImageToQQtao", "图片抓取到交流窗口", p.left - 122, upperY, 40, tool::kGrabToClipboard));
    t.push_back(make('U', "imgEdit_ImagePhotosave", "图片拍照保留", p.left - 178, upperY, 40, tool::kGrabAndSave));
    const int lowerY = c.bottom + 22;
    const struct {
        const char* pic;
        const char* tip;
        int dx;
        int code;
    } lower[] = {
        {"imgEdit_DrawColor", "画图颜色", 6, tool::kDrawColour},
        {"imgEdit_DrawLine", "手绘自由画线", 60, 3002},
        {"imgEdit_DrawCircle", "画圆", 114, 3003},
        {"imgEdit_DrawPolyLine", "画折线", 168, 3004},
        {"imgEdit_DrawRect", "画矩形", 222, 3005},
        {"imgEdit_DrawPolyArea", "画多边面", 276, 3006},
        {"imgEdit_DrawText", "显示文字", 330, tool::kDrawText},
        {"imgEdit_DrawArrow", "画箭头线", 384, 3007},
        {"imgEdit_DrawDelete", "删除画图项目", 438, tool::kDrawDelete},
    };
    for (const auto& l : lower) t.push_back(make('D', l.pic, l.tip, c.left + l.dx, lowerY, 48, l.code));
    return t;
}

Rect GrabCornerBox(const ToolButton& g) { return {g.rect.left + 1, g.rect.top + 1, g.rect.left + 17, g.rect.top + 17}; }

int HitTool(const std::vector<ToolButton>& tools, int x, int y) {
    for (const ToolButton& t : tools) {
        if (t.shown != 'Y' || !Contains(t.rect, x, y)) continue;
        if (t.code == tool::kGrabToClipboard && Contains(GrabCornerBox(t), x, y)) return tool::kGrabCorner;
        return t.code;
    }
    return 0;
}

std::string HintFor(int command) {
    switch (command) {
        case 3002: return "按住左键移动光标自由画.右键结束.";
        case 3003: return "按住左键选框画圆.右键结束.";
        case 3004: return "按左键选描画点.右键结束.";
        case 3005: return "按住左键选框画矩形.右键结束.";
        case 3006: return "按左键选描画多边面.图形闭合或右键结束.";
        case 3007: return "按住左键，移动光标画箭头线.右键结束.";
        case cmd::kEraser: return "按住左键移动橡皮擦图.滚轮改半径.按Alt(或Ctrl)键反擦.右键结束.";
        case cmd::kCutPolygon: return "扣除背景.按左键选择.中间键回退.右键(或闭合)结束.";
        case cmd::kMagnifierArea: return "移动光标确定图形放大区,按左键确认!";
        case cmd::kMagicWand: return "按左键选择.中键撤消前一步.右键结束.";
        case cmd::kDragBackground:
        case cmd::kScalePhoto: return kDragPictureScale;
        case cmd::kKeepPolygon: return "保留图形.按左键选择.中间键回退.右键(或闭合)结束.";
        case cmd::kBrightenBrush: return "按住左键，移动光标局部增亮.滚轮改半径.右键结束.";
        case cmd::kDodgeBrush: return "按住左键，移动光标局部减淡.滚轮改半径.右键结束.";
        case cmd::kMakeupBrush: return "画笔化装.按下Alt(或Ctrl)键取样本.滚轮改半径.右键结束.";
        case cmd::kEndMode: return hint::kIdle;
        case cmd::kDragPhoto: return "按住左键,移动光标拖移图片.右键结束.";
        case cmd::kValidArea: return "用左键选择两点确定图片有效区.右键终止.";
        case cmd::kStickerPlain:
        case cmd::kStickerFeather:
        case cmd::kStickerBright: return "按住左键框选图像.按住Alt(或Ctrl)键反选.按Shift键改模式.右键结束.";
        case cmd::kSpotlight: return "聚光区.按左键选择.中间键回退.右键(或闭合)结束.";
        case cmd::kMaterialMode: return "按滚轮缩放素材.按住左键移动光标拖移.右键结束.";
        case cmd::kMoveAll: return "按住左键，移动光标拖移当前素材.右键结束.";
        default: return {};
    }
}

PhotoEditController::PhotoEditController(CPhotoEngine& engine, CanvasControl& canvas,
                                         picture_controls::CDrawItemList& drawing, CMaterialTable& materials,
                                         CBasicProjectReader& reader, PhotoEditHost& host)
    : m_engine(engine), m_canvas(canvas), m_drawing(drawing), m_materials(materials), m_reader(reader), m_host(host) {}

void PhotoEditController::SetBaseDir(const fs::path& base) {
    m_base = base;
    m_reader.SetBaseDir(base);
}

fs::path PhotoEditController::PhotoFolder() const {
    return m_base / fs::path(std::string(kPhotoFolderName));
}
fs::path PhotoEditController::WorkFolder() const { return m_base / fs::path("tmpBmpData"); }

void PhotoEditController::SetHint(const std::string& text) {
    m_hint = text;
    m_host.ShowHint(text);
}

Rect PhotoEditController::ToolRect(int code) const {
    for (const ToolButton& t : m_tools)
        if (t.code == code) return t.rect;
    return {};
}

bool PhotoEditController::EnsureFolder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (fs::is_directory(folder, ec)) return true;
    m_host.Message({Format(kFolderFailed, folder.string()), kNoticeCaption, MbButtons::Ok, MbIcon::Stop});
    return false;
}

// --- tools and menus ---------------------------------------------------------------

void PhotoEditController::Click(int x, int y) {
    const int code = HitTool(m_tools, x, y);
    if (code != 0) RunTool(code);
}

std::vector<MenuEntry> PhotoEditController::MenuFor(int code) const {
    std::vector<MenuEntry> m;
    switch (code) {
        case tool::kBackground:
            m = {{"设置背景色", cmd::kBackgroundColour}, {"选择装入背景图", cmd::kLoadBackground}};
            if (m_engine.backgroundShown() && m_engine.backgroundLoaded()) {
                for (const MenuEntry& e : {MenuEntry{"移动缩放旋转背景图", cmd::kDragBackground},
                                           MenuEntry{"背景图增亮", cmd::kBackgroundBrighten},
                                           MenuEntry{"背景图减淡", cmd::kBackgroundDodge},
                                           MenuEntry{"背景图锐化", cmd::kBackgroundQuantise}}) {
                    m.push_back({});
                    m.push_back(e);
                }
            }
            m.push_back({});
            m.push_back({"重新装入背景图", cmd::kReloadBackground});
            break;
        case tool::kSticker:
            m = {{"普通形式", cmd::kStickerPlain},       {"羽化形式", cmd::kStickerFeather},
                 {"亮边形式", cmd::kStickerBright},      {"设置亮边颜色", cmd::kEdgeColour},
                 {"拖移缩放原始照片", cmd::kScalePhoto}, {"重新装入原始照片", cmd::kReloadPhoto}};
            break;
        case tool::kClearBackground:
            if (!m_panelMaterials) m.push_back({"设置放大图区", cmd::kMagnifierArea});
            for (const MenuEntry& e : {MenuEntry{"用橡皮擦去背景", cmd::kEraser}, MenuEntry{"选择扣除背景", cmd::kCutPolygon},
                                       MenuEntry{"选择保留的图形", cmd::kKeepPolygon}, MenuEntry{"魔棒", cmd::kMagicWand},
                                       MenuEntry{"拖移编辑的照片", cmd::kDragPhoto},
                                       MenuEntry{"拖移缩放原始照片", cmd::kScalePhoto},
                                       MenuEntry{"重新装入原始照片", cmd::kReloadPhoto}, MenuEntry{},
                                       MenuEntry{"选择装入新照片", cmd::kNewPhoto}, MenuEntry{},
                                       MenuEntry{"设置照片有效区", cmd::kValidArea}})
                m.push_back(e);
            break;
        case tool::kMakeup:
            m = {{"整个照片增亮", cmd::kPhotoBrighten},     {"整个照片减淡", cmd::kPhotoDodge},
                 {"照片局部增亮(美白)", cmd::kBrightenBrush}, {"照片局部减淡", cmd::kDodgeBrush},
                 {"化装盒", cmd::kMakeupBrush},               {"设置聚光区", cmd::kSpotlight}};
            break;
        default: break;
    }
    return m;
}

std::vector<MenuEntry> PhotoEditController::PanelMenu() const {
    const int mode = m_canvas.toolMode();
    if (mode == mode::kEraser) return {{"终止橡皮擦图操作", cmd::kEndMode}, {"继续操作,...", cmd::kContinue}};
    if (mode == mode::kMagicWand) return {{"终止魔棒操作", cmd::kEndMode}, {"继续操作,...", cmd::kContinue}};
    if (mode == mode::kMakeupBrush)
        return {{"终止化装操作", cmd::kEndMode},   {"继续操作,...", cmd::kContinue},
                {"左移放大窗口", cmd::kMagnifierLeft}, {"右移放大窗口", cmd::kMagnifierRight},
                {"上移放大窗口", cmd::kMagnifierUp},   {"下移放大窗口", cmd::kMagnifierDown}};
    if (mode == 0)
        return {{"继续操作,...", cmd::kContinue},
                {"继续操作,...", cmd::kContinue},
                {"用橡皮擦去背景", cmd::kEraser},
                {"化装盒", cmd::kMakeupBrush},
                {"魔棒", cmd::kMagicWand}};
    return {};
}

void PhotoEditController::RunTool(int code) {
    switch (code) {
        case tool::kBackground:
        case tool::kSticker:
        case tool::kClearBackground:
        case tool::kMakeup: {
            const int id = m_host.TrackPopup(MenuFor(code), ToolRect(code));
            if (id != 0) Command(id);
            break;
        }
        case tool::kAutoAdd:
            m_autoAdd = m_autoAdd == 'Y' ? ' ' : 'Y';
            for (ToolButton& t : m_tools)
                if (t.code == tool::kAutoAdd)
                    t.picture = m_autoAdd == 'Y' ? "imgEdit_ImageCloHairYes" : "imgEdit_ImageClothHair";
            m_host.RedrawTools();
            break;
        case tool::kGrabToClipboard:
        case tool::kGrabAndSave: Grab(code); break;
        case tool::kDrawColour:
            if (auto c = m_host.ChooseColour(m_drawing.colour(), ToolRect(code))) m_drawing.SetColor(*c);
            break;
        case tool::kDrawDelete:
            m_drawing.Undo();
            m_host.RepaintCanvas();
            break;
        case tool::kDrawText: {
            TextItem item = m_canvas.textItem();
            if (m_host.RunTextDialog(item, ToolRect(code))) {
                TextItem& t = m_canvas.textItem();
                t.sizeText = item.sizeText;
                t.caption = item.caption;
                t.colour = item.colour;
                t.fontFace = item.fontFace;
                m_host.RepaintCanvas();
            }
            break;
        }
        case tool::kGrabCorner: Command(cmd::kValidArea); break;
        case 3002: case 3003: case 3004: case 3005: case 3006: case 3007: {
            static constexpr int kModes[] = {draw_mode::kFreeLine, draw_mode::kCircle, draw_mode::kPolyline,
                                             draw_mode::kRectangle, draw_mode::kPolygon, draw_mode::kArrow};
            EndCurrentMode();
            m_canvas.SetToolMode(kModes[code - 3002]);
            SetHint(HintFor(code));
            m_host.RepaintCanvas();
            break;
        }
        default: break;
    }
}

// --- commands ------------------------------------------------------------------------

void PhotoEditController::EndCurrentMode() {
    m_special = 0;
    m_canvas.SetSpecialMode(0);
    m_canvas.EndToolMode();
    m_canvas.SetToolMode(0);
    m_host.ShowMakeupButton(false);
    SetHint(hint::kNone);
}

void PhotoEditController::StartToolMode(int canvasMode, int command) {
    m_canvas.SetToolMode(canvasMode);
    SetHint(HintFor(command));
    m_host.RepaintCanvas();
}

void PhotoEditController::StartSpecial(int mode, int command) {
    m_special = mode;
    m_wheel = kWheelScale;
    m_canvas.SetSpecialMode(mode);
    SetHint(HintFor(command));
    m_host.RepaintCanvas();
}

bool PhotoEditController::OpenPhoto(const fs::path& file) {
    if (!m_canvas.OpenPhoto(file)) {
        m_host.Message({Format(kPhotoFailed, file.string()), kNoticeCaption, MbButtons::Ok, MbIcon::Exclamation});
        return false;
    }
    m_original = file;
    m_host.RepaintCanvas();
    m_host.RedrawPanel();
    return true;
}

void PhotoEditController::Command(int id) {
    switch (id) {
        case cmd::kBackgroundColour:
        case cmd::kLoadBackground:
        case cmd::kBackgroundBrighten:
        case cmd::kBackgroundDodge:
        case cmd::kBackgroundQuantise:
        case cmd::kReloadBackground:
        case cmd::kPhotoBrighten:
        case cmd::kPhotoDodge:
        case cmd::kMagnifierLeft:
        case cmd::kMagnifierRight:
        case cmd::kMagnifierUp:
        case cmd::kMagnifierDown:
        case cmd::kEdgeColour:
        case cmd::kContinue:
        case cmd::kNextMaterial:
        case cmd::kDeleteMaterial:
        case cmd::kClearMaterials: break;
        default: EndCurrentMode(); break;
    }
    switch (id) {
        case cmd::kBackgroundColour:
            if (auto c = m_host.ChooseColour(m_engine.backgroundColour(), ToolRect(tool::kBackground))) {
                m_engine.SetBackgroundColour(*c);
                m_host.RedrawTools();
                m_host.RepaintCanvas();
            }
            break;
        case cmd::kEraser: StartToolMode(mode::kEraser, id); break;
        case cmd::kCutPolygon: {
            Point none{};
            m_engine.AddPolygonPoint(-1, none);
            StartToolMode(mode::kCutPolygon, id);
            break;
        }
        case cmd::kMagnifierArea: StartToolMode(mode::kMagnifierPick, id); break;
        case cmd::kMagicWand: StartToolMode(mode::kMagicWand, id); break;
        case cmd::kLoadBackground: {
            CCameraSysInfo& info = CCameraSysInfo::Instance();
            const std::string remembered = info.GetSetText(101);
            const fs::path folder = remembered.empty() ? m_base / fs::path(kBackgroundFolder) : fs::path(remembered);
            if (auto file = m_host.ChoosePicture(folder)) {
                m_engine.SetBackgroundPath(*file);
                info.GetSetText(302, file->string());
                if (file->parent_path() != folder) info.GetSetText(102, file->parent_path().string());
                m_canvas.RequestBackgroundReload();
                m_host.RepaintCanvas();
            }
            break;
        }
        case cmd::kDragBackground:
            if (m_engine.CheckPictureFile(111) == 1) {
                m_engine.SetDrawRect();
                StartSpecial(special::kDragPicture, id);
            }
            break;
        case cmd::kBackgroundBrighten:
        case cmd::kBackgroundDodge:
        case cmd::kBackgroundQuantise:
            if (m_engine.AdjustBackground(101 + (id - cmd::kBackgroundBrighten)) == 1) m_host.RepaintCanvas();
            break;
        case cmd::kReloadBackground:
            m_canvas.RequestBackgroundReload();
            m_host.RepaintCanvas();
            break;
        case cmd::kKeepPolygon: {
            Point none{};
            m_engine.AddPolygonPoint(-1, none);
            StartToolMode(mode::kKeepPolygon, id);
            break;
        }
        case cmd::kPhotoBrighten:
        case cmd::kPhotoDodge:
            if (m_engine.AdjustPhoto(id == cmd::kPhotoBrighten ? 101 : 102) == 1) m_host.RepaintCanvas();
            break;
        case cmd::kBrightenBrush: StartToolMode(mode::kBrightenBrush, id); break;
        case cmd::kDodgeBrush: StartToolMode(mode::kDodgeBrush, id); break;
        case cmd::kMakeupBrush:
            m_engine.ClearMakeupSample();
            StartToolMode(mode::kMakeupBrush, id);
            m_host.ShowMakeupButton(true);
            break;
        case cmd::kEndMode:
            m_engine.FillStrokeMask(' ');
            SetHint(hint::kIdle);
            m_host.RepaintCanvas();
            break;
        case cmd::kContinue: break;
        case cmd::kDragPhoto: StartSpecial(special::kDragPhoto, id); break;
        case cmd::kScalePhoto: {
            if (m_scalings >= 1) {
                // The view as it stands becomes the photo that is scaled;
                // the photo's file changes only once the grab is written.
                const fs::path file = WorkFolder() / fs::path(kScaleGrab);
                if (!EnsureFolder(WorkFolder())) break;
                if (!m_host.GrabCanvas(m_engine.GetPhotoArea(), file, 'B')) {
                    m_host.Message({Format(kGrabFailed, file.string()), kNoticeCaption, MbButtons::Ok, MbIcon::Stop});
                    break;
                }
                m_engine.SetPhotoPath(file);
            }
            if (m_engine.CheckPictureFile(0) != 1) break;
            m_engine.SetDrawRect();
            ++m_scalings;
            StartSpecial(special::kDragPicture, id);
            break;
        }
        case cmd::kNewPhoto:
            if (auto file = m_host.ChoosePicture(PhotoFolder())) {
                if (OpenPhoto(*file)) m_scalings = 0;
            }
            break;
        case cmd::kReloadPhoto: {
            const fs::path file = m_original.empty() ? m_engine.photoPath() : m_original;
            if (!file.empty()) OpenPhoto(file);
            break;
        }
        case cmd::kValidArea: StartToolMode(mode::kValidArea, id); break;
        case cmd::kStickerPlain:
        case cmd::kStickerFeather:
        case cmd::kStickerBright:
            m_engine.SetStickerForm(id == cmd::kStickerPlain ? ' ' : id == cmd::kStickerFeather ? 'Y' : 'L');
            StartToolMode(mode::kHeadSticker, id);
            break;
        case cmd::kMagnifierLeft:
        case cmd::kMagnifierRight:
        case cmd::kMagnifierUp:
        case cmd::kMagnifierDown: {
            static constexpr int kOps[] = {101, 102, 201, 202};
            if (m_engine.StepMagnifier(kOps[id - cmd::kMagnifierLeft]) == 1 && !m_panelMaterials) m_host.RedrawPanel();
            break;
        }
        case cmd::kEdgeColour:
            if (auto c = m_host.ChooseColour(m_engine.edgeColour(), ToolRect(tool::kSticker))) m_engine.SetEdgeColor(*c);
            break;
        case cmd::kSpotlight: {
            Point none{};
            m_engine.AddPolygonPoint(-1, none);
            StartToolMode(mode::kSpotlight, id);
            break;
        }
        case cmd::kMaterialMode: StartSpecial(special::kMaterial, id); break;
        case cmd::kMoveAll: StartSpecial(special::kMoveAll, id); break;
        case cmd::kNextMaterial: {
            const int slot = m_materials.SelectNext();
            m_host.ShowPreview(slot >= 0 ? m_materials.at(slot).part : -1);
            m_host.RepaintCanvas();
            break;
        }
        case cmd::kDeleteMaterial: {
            const int slot = m_materials.DeleteSelected();
            m_host.ShowPreview(slot >= 0 ? m_materials.at(slot).part : -1);
            m_host.RepaintCanvas();
            break;
        }
        case cmd::kClearMaterials:
            if (m_host.Message({kClearAllQuestion, kNoticeCaption, MbButtons::YesNo, MbIcon::Question}) == MbResult::Yes) {
                m_materials.HideAll();
                m_picked = ' ';
                m_host.ShowPreview(-1);
                m_host.RepaintCanvas();
            }
            break;
        default: break;
    }
}

void PhotoEditController::Wheel(bool up) {
    if (m_special == special::kMaterial) {
        if (m_materials.Wheel(up, m_canvas.canvasWidth())) m_host.RepaintCanvas();
        return;
    }
    if (m_special == special::kDragPicture) {
        if (m_wheel == kWheelScale)
            m_engine.ScaleDrawRect(up ? CMaterialTable::kGrow : CMaterialTable::kShrink);
        else
            m_engine.StepRotation(up ? 101 : 102, 0);
        m_host.RepaintCanvas();
        return;
    }
    const int mode = m_canvas.toolMode();
    if (m_special == 0 && (mode == mode::kEraser || mode == mode::kBrightenBrush || mode == mode::kDodgeBrush ||
                           mode == mode::kMakeupBrush)) {
        m_engine.StepRadius(up ? 22222 : 11111);
        m_host.RepaintCanvas();
    }
}

bool PhotoEditController::ShiftKey() {
    if (m_special == special::kDragPicture) {
        m_wheel = m_wheel == kWheelScale ? kWheelRotate : kWheelScale;
        SetHint(m_wheel == kWheelScale ? kDragPictureScale : kDragPictureRotate);
    } else if (m_canvas.toolMode() == mode::kHeadSticker) {
        m_engine.SetStickerForm('*');
        return true;
    }
    return false;
}

void PhotoEditController::Notice(const CanvasNotice& n) {
    if (m_busy != 0) return;  // a notice sent while one is handled
    m_busy = 9;
    switch (n.code) {
        case notice::kGrabChosen: {
            Rect r = m_engine.TakeGrabArea();
            if (r.Width() <= 50) r = m_engine.GetPhotoArea();
            const fs::path file = WorkFolder() / fs::path(kClipboardGrab);
            if (EnsureFolder(WorkFolder())) {
                if (m_host.GrabCanvas(r, file, 'B'))
                    m_host.CopyToClipboard(file);
                else
                    m_host.Message({Format(kGrabFailed, file.string()), kNoticeCaption, MbButtons::Ok, MbIcon::Stop});
            }
            SetHint(hint::kDone);
            break;
        }
        case notice::kMagnifierMoved:
            if (!m_panelMaterials) m_host.RedrawPanel();
            break;
        case notice::kSpecialEnded:
            if (m_special == special::kDragPhoto || m_special == special::kDragPicture || m_special > 110) m_special = 0;
            SetHint(hint::kNone);
            break;
        case notice::kMagnifierChosen:
            if (!m_panelMaterials) m_host.RedrawPanel();
            SetHint(hint::kDone);
            break;
        case notice::kModeEnded:
            SetHint(hint::kDone);
            if (!m_panelMaterials) m_host.RedrawPanel();
            m_host.ShowMakeupButton(false);
            break;
        default: break;
    }
    m_busy = 0;
}

void PhotoEditController::Grab(int code) {
    m_host.RepaintCanvas();
    if (!EnsureFolder(PhotoFolder())) return;
    const Rect region = m_engine.GetPhotoArea();
    if (code == tool::kGrabToClipboard) {
        const fs::path file = PhotoFolder() / fs::path(kClipboardGrab);
        if (m_host.GrabCanvas(region, file, 'J'))
            m_host.CopyToClipboard(file);
        else
            m_host.Message({Format(kGrabFailed, file.string()), kNoticeCaption, MbButtons::Ok, MbIcon::Stop});
        return;
    }
    const fs::path file = PhotoFolder() / fs::path(kSaveGrab);
    if (!m_host.GrabCanvas(region, file, 'B')) {
        m_host.Message({Format(kGrabFailed, file.string()), kNoticeCaption, MbButtons::Ok, MbIcon::Stop});
        return;
    }
    m_host.RunPhotoSave(file, ToolRect(code));
    m_host.RepaintCanvas();
    m_host.RedrawTools();
}

// --- material panel -------------------------------------------------------------------

std::vector<std::string> PhotoEditController::ProjectTitles() const {
    return CCameraSysInfo::Instance().ListProjects(60);
}

bool PhotoEditController::ChooseProject(const std::string& name) {
    const bool ok = m_reader.ReadProjectIfExists(name) == 1;
    m_category = std::string(kAllCategories);
    m_listed = m_reader.ListedParts(m_category);
    m_picked = ' ';
    m_pickedPart = -1;
    // Placed materials keep their own pictures; the live offsets start anew.
    m_materials.ResetOffsets();
    m_host.ShowPreview(-1);
    m_host.RedrawPanel();
    m_host.RepaintCanvas();
    return ok;
}

void PhotoEditController::ChooseCategory(const std::string& name) {
    m_category = name.empty() ? std::string(kAllCategories) : name;
    m_listed = m_reader.ListedParts(m_category);
    m_host.RedrawPanel();
}

void PhotoEditController::SetPanelShowsMaterials(bool shown) {
    m_panelMaterials = shown;
    m_host.EnableMaterialButtons(!(shown && m_materials.AnyVisible() && !m_materials.SelectedVisible()));
    m_host.RedrawPanel();
}

void PhotoEditController::PickPart(int part) {
    if (part < 0 || part >= m_reader.partCount()) return;
    m_picked = 'Y';
    m_pickedPart = part;
    m_host.ShowPreview(part);
}

int PhotoEditController::PlacePicked(MaterialPictures& pictures) {
    if (m_picked != 'Y') return -1;
    const auto& part = m_reader.project().parts[static_cast<std::size_t>(m_pickedPart)];
    PartPlacement p;
    p.layer = part.Depth();
    p.scale = part.Scale();
    p.x = part.X();
    p.y = part.Y();
    p.part = m_pickedPart;
    p.picture = m_reader.PicturePath(m_pickedPart);
    const auto size = pictures.NaturalSize(p.picture);
    p.naturalWidth = size.first;
    p.naturalHeight = size.second;
    const int slot = m_materials.Place(p);
    m_host.EnableMaterialButtons(true);
    m_host.RepaintCanvas();
    return slot;
}

}  // namespace image_editor
