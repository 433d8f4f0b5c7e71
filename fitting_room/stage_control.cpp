#include "fitting_room/stage_control.h"

#include <algorithm>
#include <cstdlib>

#include "fitting_room/sysproj_pictures.h"

namespace fitting_room {

namespace fs = std::filesystem;

namespace {

struct ButtonSpec {
    const char* picture;
    int command;
    Point pos;  // buttons 8-11 are placed from the client rectangle instead
};

constexpr ButtonSpec kButtonSpecs[kMenuButtonCount] = {
    {"DressHouseMnu_Clear.png", kCmdClear, {3, 3}},
    {"DressHouseMnu_DeepDown.png", kLayerDeeper, {3, 35}},
    {"DressHouseMnu_DeepUp.png", kLayerNearer, {63, 35}},
    {"DressHouseMnu_PicMovPlate.png", kCmdNudgePad, {18, 71}},
    {"DressHouseMnu_PlaNum1.png", kCmdNudgeNumber, {38, 93}},
    {"DressHouseMnu_Small.png", kCmdShrink, {3, 141}},
    {"DressHouseMnu_Large.png", kCmdGrow, {63, 141}},
    {"DressHouseMnu_ClothSEL.png", kSelectNextRight, {0, 0}},
    {"DressHouseMnu_LDecoSEL.png", kSelectNextLeft, {0, 0}},
    {"DressHouseMnu_ClothDel.png", kCmdRemove, {0, 0}},
    {"DressHouseMnu_SaveDeco.png", kCmdStoreGroup, {0, 0}},
    {"DressHouseMnu_PhotoShowOn.png", kCmdPhotoOnOff, {3, 191}},
    {"DressHouseMnu_PhotoMovSca.png", kCmdPhotoPlace, {3, 231}},
};

constexpr int kPadButton = 3;  // index of the nudge pad

}  // namespace

StageControl::StageControl(CFittingModel& model, const CGarmentPicList& rightList)
    : m_model(model), m_rightList(rightList) {
    for (int i = 0; i < kMenuButtonCount; ++i) {
        MenuButton& b = m_buttons[static_cast<std::size_t>(i)];
        b.picture = kButtonSpecs[i].picture;
        b.command = kButtonSpecs[i].command;
        b.pos = kButtonSpecs[i].pos;
    }
}

fs::path StageControl::InterfacePicture(const std::string& name) const { return SysprojPicture(m_baseDir, name); }

void StageControl::SetPhotoSettings(bool hasPhoto, bool shown) {
    m_hasPhoto = hasPhoto;
    m_photoShown = shown;
    UpdateButtons();
}

bool StageControl::ButtonShown(int i) const {
    if (!m_menuShown || i < 0 || i >= kMenuButtonCount) return false;
    if (i == 11) return m_hasPhoto;
    if (i == 12) return m_hasPhoto && m_photoShown;
    return true;
}

void StageControl::Layout(int width, int height) {
    m_client = Rect{0, 0, width, height};
    m_model.SetStageRect(0, 0, width, height);
    const Rect& c = m_client;
    m_buttons[7].pos = Point{c.right - 60, c.bottom - 60};
    m_buttons[8].pos = Point{c.left + 6, c.bottom - 60};
    m_buttons[9].pos = Point{c.right - 184, c.bottom - 46};
    m_buttons[10].pos = Point{c.right - 110, c.top + 4};
    m_previewBox = Rect{c.right - 148, c.bottom - 98, c.right - 78, c.bottom - 28};
    UpdateButtons();
}

void StageControl::UpdateButtons() {
    m_buttons[4].picture = "DressHouseMnu_PlaNum" + std::to_string(m_nudgeStep) + ".png";
    m_buttons[11].picture = m_photoShown ? "DressHouseMnu_PhotoShowOn.png" : "DressHouseMnu_PhotoShowOff.png";
    for (int i = 0; i < kMenuButtonCount; ++i) {
        MenuButton& b = m_buttons[static_cast<std::size_t>(i)];
        b.drawn = {};
        if (!ButtonShown(i)) continue;
        const auto size = m_sizes ? m_sizes->SizeOf(InterfacePicture(b.picture)) : std::nullopt;
        if (size) b.drawn = Rect::FromSize(b.pos.x, b.pos.y, size->w, size->h);
    }
}

int StageControl::PadZone(Point p) const {
    const Point o = m_buttons[kPadButton].pos;
    const auto in = [&](int l, int t, int r, int b) { return Rect{o.x + l, o.y + t, o.x + r, o.y + b}.Contains(p); };
    if (in(19, 43, 42, 56)) return kCmdNudgeDown;
    if (in(18, 0, 41, 17)) return kCmdNudgeUp;
    if (in(42, 22, 60, 41)) return kCmdNudgeRight;
    if (in(0, 22, 19, 38)) return kCmdNudgeLeft;
    if (in(18, 18, 44, 42)) return kCmdNudgeStep;
    return kCmdNudgePad;
}

int StageControl::MenuHitTest(Point p) const {
    if (!m_menuShown) return -1;
    for (int i = 0; i < kMenuButtonCount; ++i) {
        const MenuButton& b = m_buttons[static_cast<std::size_t>(i)];
        if (b.drawn.empty() || !b.drawn.Contains(p)) continue;
        return i == kPadButton ? PadZone(p) : b.command;
    }
    return -1;
}

int StageControl::OnMenuCommand(int command) {
    switch (command) {
    case kCmdClear:
        m_model.ResetRightList();
        m_model.ResetLeftList();
        m_model.ResetAll();
        return 1;
    case kCmdPhotoOnOff:
        m_photoShown = !m_photoShown;
        if (onPhotoShownChanged) onPhotoShownChanged(m_photoShown);
        UpdateButtons();
        return 1;
    case kCmdPhotoPlace:
        if (!m_photoShown || m_model.GetPhotoPicture(nullptr, nullptr).native().size() <= 2) return 0;
        m_photoMode = kPhotoModePlace;
        m_fineZoom = false;
        return 1;
    case kSelectNextRight:
    case kSelectNextLeft:
        m_currentPicture = m_model.SelectNext(command);
        return 1;
    case kCmdRemove:
        return m_model.RemoveSelected();
    case kCmdStoreGroup:
        m_model.StoreGroup(m_photoShown ? 1 : 0);
        return 1;
    case kLayerDeeper:
    case kLayerNearer:
        return m_model.ChangeLayer(command);
    case kCmdShrink:
        return m_model.ScaleSelected(-1, 2);
    case kCmdGrow:
        return m_model.ScaleSelected(1, 2);
    case kCmdNudgeStep:
        m_nudgeStep = m_nudgeStep == 1 ? 3 : m_nudgeStep == 3 ? 7 : 1;
        UpdateButtons();
        return 1;
    case kCmdNudgeLeft:
        return m_model.MoveSelectedBy(-m_nudgeStep, 0);
    case kCmdNudgeUp:
        return m_model.MoveSelectedBy(0, -m_nudgeStep);
    case kCmdNudgeRight:
        return m_model.MoveSelectedBy(m_nudgeStep, 0);
    case kCmdNudgeDown:
        return m_model.MoveSelectedBy(0, m_nudgeStep);
    default:
        return 0;
    }
}

void StageControl::ToggleMenu() {
    m_menuShown = !m_menuShown;
    UpdateButtons();
}

// ---- mouse ----

StageReaction StageControl::ButtonDown(MouseButton b, Point p) {
    StageReaction r;
    if (InSlideshow()) return r;
    if (!m_shownPicture.empty()) {
        m_shownPicture.clear();
        r.repaint = true;
    }
    if (m_photoMode == kPhotoModePlace) {
        if (b == MouseButton::Left) {
            m_model.SetPhotoRect(m_photoRect, 'Y');
            m_photoMode = kPhotoModeOff;
        } else if (b == MouseButton::Right) {
            m_photoMode = kPhotoModeOff;
        } else {
            m_fineZoom = !m_fineZoom;
        }
        r.repaint = true;
        return r;
    }
    if (b == MouseButton::Right) {
        m_panAnchor = p;
        return r;
    }
    if (m_menuShown) {
        const int command = MenuHitTest(p);
        if (command != -1) {
            if (OnMenuCommand(command)) r.repaint = true;
            return r;
        }
    }
    m_press = p;
    if (m_model.HitTest(p) == 1) {
        // The first press on an item only picks it.
        m_dragState = kDragIdle;
        r.notifyParent = true;
    } else {
        m_dragState = kDragPressed;
    }
    return r;
}

StageReaction StageControl::ButtonUp(MouseButton b, Point) {
    StageReaction r;
    if (b == MouseButton::Right || m_photoMode == kPhotoModePlace) return r;
    if (m_dragState == kDragMoving) r.cursor = StageCursor::Arrow;
    m_dragState = kDragIdle;
    return r;
}

StageReaction StageControl::Motion(Point p, bool left, bool middle, bool right) {
    StageReaction r;
    if (InSlideshow()) return r;
    if (m_photoMode == kPhotoModePlace) {
        const int w = m_photoRect.width();
        const int h = m_photoRect.height();
        m_photoRect = Rect::FromSize(p.x - w / 2, p.y - h / 2, w, h);
        r.repaint = true;
        return r;
    }
    if (left || middle) {
        if (m_dragState == kDragPressed && std::abs(p.x - m_press.x) > 2 && std::abs(p.y - m_press.y) > 2)
            m_dragState = kDragMoving;
        if (m_dragState == kDragMoving) {
            if (m_model.MoveSelectedTo(p.x, p.y)) {
                m_shownPicture.clear();
                r.repaint = true;
            }
            r.cursor = StageCursor::Drag;
        }
        return r;
    }
    if (right) {
        if (std::abs(p.x - m_panAnchor.x) > 5 || std::abs(p.y - m_panAnchor.y) > 5) {
            m_model.OffsetAll(m_panAnchor.x - p.x, m_panAnchor.y - p.y);
            m_panAnchor = p;
            m_shownPicture.clear();
            r.cursor = StageCursor::Drag;
            r.repaint = true;
        }
        return r;
    }
    r.cursor = m_menuShown && MenuHitTest(p) != -1 ? StageCursor::Hand : StageCursor::Arrow;
    return r;
}

StageReaction StageControl::Wheel(int direction) {
    StageReaction r;
    if (InSlideshow() || direction == 0) return r;
    if (m_photoMode == kPhotoModePlace) {
        const int w = m_photoRect.width();
        const int step = std::clamp(w / 100, 1, m_fineZoom ? 2 : 50);
        if (direction > 0 && w < 1600) {
            m_photoRect = m_photoRect.Inflate(step);
            r.repaint = true;
        } else if (direction < 0 && w > 10) {
            m_photoRect = m_photoRect.Inflate(-step);
            r.repaint = true;
        }
        return r;
    }
    if (m_model.ScaleSelected(direction, 0)) {
        m_shownPicture.clear();
        r.repaint = true;
    }
    return r;
}

// ---- painting ----

void StageControl::PhotoOps(PaintOps& ops, bool tip) {
    Rect rect;
    char letter = ' ';
    const fs::path& photo = m_model.GetPhotoPicture(&rect, &letter);
    if (photo.native().size() <= 2 || !m_photoShown) return;
    const auto size = m_sizes ? m_sizes->SizeOf(photo) : std::nullopt;
    if (!size) return;
    if (m_photoMode == kPhotoModePlace) {
        const double s = CoverScale(m_photoRect.width(), m_photoRect.height(), size->w, size->h);
        ops.push_back(PaintOp::Picture(photo, ScaledAt(m_photoRect.left, m_photoRect.top, size->w, size->h, s)));
        if (tip)
            ops.push_back(PaintOp::Natural(
                InterfacePicture(m_fineZoom ? "DressHouse_TipPhotoMicro.png" : "DressHouse_TipPhotoMov.png"), {2, 2}));
        return;
    }
    const double s = letter == 'Y' ? CoverScale(rect.width(), rect.height(), size->w, size->h) : 1.0;
    m_photoRect = ScaledAt(rect.left, rect.top, size->w, size->h, s);
    ops.push_back(PaintOp::Picture(photo, m_photoRect));
}

void StageControl::StageOps(PaintOps& ops) { DressedStage(ops, false); }

void StageControl::DressedStage(PaintOps& ops, bool tip) {
    const fs::path& background = m_model.GetBackgroundPath();
    if (background.native().size() > 2) {
        const auto size = m_sizes ? m_sizes->SizeOf(background) : std::nullopt;
        if (size) {
            const double s = CoverScale(m_client.width(), m_client.height(), size->w, size->h);
            ops.push_back(PaintOp::Picture(background, ScaledAt(m_client.left, m_client.top, size->w, size->h, s)));
        }
    }
    PhotoOps(ops, tip);
    m_model.DrawOps(ops);
}

void StageControl::WindowOps(PaintOps& ops) {
    if (InSlideshow()) {
        ops.push_back(PaintOp::Fill(m_client, kSlideBackground));
        ops.push_back(PaintOp::Natural(m_model.GetListString(m_slide), {m_client.left, m_client.top}));
        return;
    }
    DressedStage(ops, true);
    if (m_menuShown) {
        for (int i = 0; i < kMenuButtonCount; ++i) {
            const MenuButton& b = m_buttons[static_cast<std::size_t>(i)];
            if (ButtonShown(i)) ops.push_back(PaintOp::Natural(InterfacePicture(b.picture), b.pos));
        }
        if (!m_currentPicture.empty()) {
            const bool blue = m_rightList.GetOption() == kSchemeBlue;
            ops.push_back(PaintOp::Natural(InterfacePicture(std::string(blue ? kCellFrameBlue : kCellFrameRed)),
                                           {m_previewBox.left, m_previewBox.top}));
            const auto size = m_sizes ? m_sizes->SizeOf(m_currentPicture) : std::nullopt;
            if (size) {
                const double s = ContainScale(m_previewBox.width(), m_previewBox.height(), size->w, size->h);
                const int w = static_cast<int>(size->w * s);
                const int h = static_cast<int>(size->h * s);
                const int x = m_previewBox.left + (m_previewBox.width() - w) / 2 + 6;
                const int y = m_previewBox.top + (m_previewBox.height() - h) / 2 + (blue ? 12 : 6);
                ops.push_back(PaintOp::Picture(m_currentPicture, Rect::FromSize(x, y, w, h)));
            }
        }
    }
    if (!m_shownPicture.empty()) ops.push_back(PaintOp::Natural(m_shownPicture, {1, 1}));
}

bool StageControl::StartSlideshow() {
    m_slide = m_model.GetListCount() > 0 ? 0 : -1;
    return m_slide >= 0;
}

bool StageControl::NextSlide() {
    if (m_slide < 0) return false;
    if (++m_slide >= m_model.GetListCount()) m_slide = -1;
    return m_slide >= 0;
}

}  // namespace fitting_room
