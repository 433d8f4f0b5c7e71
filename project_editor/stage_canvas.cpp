// The stage canvas's state machines. A press in select mode either grabs the
// caption, selects a part (the parent is told) or arms a drag of the current
// part; the drag starts only once the pointer is more than 2 px away in both
// directions. With the move-reference option the drag moves the reference
// picture, or every part of the project (records and slots) at once, and the
// project is saved. The drawing tools feed the item list: two-point shapes
// through a rubber band, polylines and outlines one segment per press.
#include "project_editor/stage_canvas.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "project_editor/project_file.h"

namespace fs = std::filesystem;

namespace project_editor {

namespace {

bool ParseInt(const std::string& text, long long& out) {
    const char* b = text.data();
    const char* e = b + text.size();
    while (b < e && *b == ' ') ++b;
    const auto r = std::from_chars(b, e, out);
    return r.ec == std::errc() && r.ptr != b;
}

char ToolItem(int tool) {
    switch (tool) {
        case kToolRectangle: return 'B';
        case kToolEllipse: return 'C';
        case kToolArrow: return 'E';
        case kToolPolyline: return 'A';
        case kToolOutline: return 'D';
        default: return 0;
    }
}

char ToolBand(int tool) {
    switch (tool) {
        case kToolRectangle: return 'R';
        case kToolEllipse: return 'C';
        case kToolArrow: return 'A';
        default: return 'L';
    }
}

bool FarFrom(Point a, Point b, int limit) {
    const double dx = a.x - b.x, dy = a.y - b.y;
    return std::sqrt(dx * dx + dy * dy) > limit;
}

}  // namespace

StageCanvasControl::StageCanvasControl(CProjectStore& store, StageSlotTable& slots, StageDrawing& drawing)
    : m_store(store), m_slots(slots), m_drawing(drawing) {}

void StageCanvasControl::SetMode(int tool) {
    m_tool = tool;
    m_phase = 0;
}

bool StageCanvasControl::EndMode() {
    if (m_tool <= 0) return false;
    m_tool = kToolSelect;
    m_phase = 0;
    m_drawing.EndRubberBand();
    return true;
}

bool StageCanvasControl::SetText(int index, const std::string& text) {
    long long v = 0;
    switch (index) {
        case 0:
            if (ParseInt(text, v) && v > 0 && v < 1000) m_captionHeight = static_cast<int>(v);
            return true;
        case 1: m_caption = text; return true;
        case 2:
            if (ParseInt(text, v) && v >= 0) m_captionColour = static_cast<std::uint32_t>(v) & 0xFFFFFF;
            return true;
        case 3:
            if (ParseInt(text, v) && v >= 0) m_background = static_cast<std::uint32_t>(v) & 0xFFFFFF;
            return true;
        default: return false;
    }
}

bool StageCanvasControl::SetValue(int index, const std::string& text) {
    if (index == 1) {
        long long v = 0;
        if (ParseInt(text, v)) m_refAngle = static_cast<int>(v % 360);
        return true;
    }
    if (index == 2) {
        char* end = nullptr;
        const double v = std::strtod(text.c_str(), &end);
        if (end != text.c_str() && v > 0 && v < 100) m_refScale = v;
        return true;
    }
    return false;
}

bool StageCanvasControl::LoadPictureFile(const fs::path& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec || size == 0 || !fs::is_regular_file(path, ec)) return false;
    m_refPath = path;
    m_refLoaded = 'Y';
    m_refW = m_refH = 0;
    return true;
}

void StageCanvasControl::ClearPicture() {
    ClearPicture2();
    m_drawing.Clear();
    m_slots.SetCurrent(kNoSlot);
}

void StageCanvasControl::ClearPicture2() {
    m_refPath.clear();
    m_refLoaded = ' ';
    m_refW = m_refH = 0;
}

void StageCanvasControl::BeginLineMode() {
    m_rectState = kRectArmed;
    m_rectMark = 'N';
}

bool StageCanvasControl::HitTestSlots(Point p) {
    const int n = m_store.PartCount();
    if (m_lock == 1 && StageSlotTable::ValidSlot(m_slots.Current())) return false;
    // Front first: slot 0 is drawn last, so it is what the user sees and clicks.
    int hit = kNoSlot;
    for (int s = 0; s < kStageSlotCount; ++s) {
        if (!m_slots.Occupied(s, n)) continue;
        if (m_slots.Slot(s).Box(Origin()).Contains(p)) {
            hit = s;
            break;
        }
    }
    if (hit == kNoSlot || hit == m_slots.Current()) return false;
    m_slots.SetCurrent(hit);
    return true;
}

void StageCanvasControl::SelectPress(Point p, CanvasReaction& r) {
    if (!m_captionRect.empty() && m_captionRect.Contains(p)) {
        m_drag = kDragCaptionPressed;
    } else if (HitTestSlots(p)) {
        r.notify = kNotifySlotSelected;
        r.repaint = true;
    } else {
        m_drag = kDragPressed;
    }
    m_press = p;
    if (m_moveReference == 1) m_drag = kDragPressed;
}

void StageCanvasControl::ToolDown(Point p, CanvasReaction& r) {
    switch (m_tool) {
        case kToolFreehand:
            m_press = p;
            m_phase = 1;
            break;
        case kToolRectangle:
        case kToolEllipse:
        case kToolArrow:
            if (m_phase == 0) {
                m_press = p;
                m_phase = 1;
                m_drawing.BeginRubberBand(ToolBand(m_tool), p.x, p.y);
            } else if (m_phase == 2) {
                m_drawing.MoveRubberBand(p.x, p.y);
                m_drawing.EndRubberBand();
                m_phase = 0;
                m_drawing.AddItem(ToolItem(m_tool));
                if (m_tool != kToolArrow) {
                    m_drawing.AddPoint(m_press.x, m_press.y);
                    m_drawing.AddPoint(p.x, p.y);
                }
                m_drawing.EndItem();
                r.repaint = true;
            }
            break;
        case kToolPolyline:
        case kToolOutline:
            if (m_phase == 0) {
                m_press = p;
                m_phase = 1;
                m_polyCount = 0;
                if (m_tool == kToolOutline) m_closeRect = Rect{p.x - 3, p.y - 3, p.x + 4, p.y + 4};
                m_drawing.BeginRubberBand('L', p.x, p.y);
            } else if (m_phase == 2) {
                m_drawing.EndRubberBand();
                if (m_tool == kToolOutline && m_polyCount >= 1 && m_closeRect.Contains(p)) {
                    // Closing press: the outline ends on its first point exactly.
                    m_drawing.AddPoint(m_press.x, m_press.y);
                    m_drawing.EndItem();
                    m_tool = kToolSelect;
                    m_phase = 0;
                    r.cursor = CanvasCursor::Arrow;
                    r.repaint = true;
                    break;
                }
                m_phase = 1;
                if (m_polyCount == 0) {
                    m_drawing.AddItem(ToolItem(m_tool));
                    m_drawing.AddPoint(m_press.x, m_press.y);
                }
                m_drawing.AddPoint(p.x, p.y);
                ++m_polyCount;
                m_drawing.BeginRubberBand('L', p.x, p.y);
                r.repaint = true;
            }
            break;
        default: break;
    }
}

CanvasReaction StageCanvasControl::ButtonDown(CanvasButton b, Point p) {
    CanvasReaction r;
    if (b == CanvasButton::Right) {
        if (m_tool > 0) {
            m_tool = kToolSelect;
            m_phase = 0;
            m_drawing.EndRubberBand();
            m_drawing.EndItem();
            r.cursor = CanvasCursor::Arrow;
            r.repaint = true;
        }
        return r;
    }
    if (b == CanvasButton::Middle) {
        if (m_rectState == kRectArmed || m_rectState == kRectRunning) return r;
        SelectPress(p, r);
        return r;
    }
    // Left.
    if (m_tool > 0) {
        ToolDown(p, r);
        return r;
    }
    if (m_rectState == kRectArmed) {
        m_rectStart = p;
        m_rectMark = ' ';
        m_rectState = kRectRunning;
        return r;
    }
    if (m_rectState == kRectRunning) {
        r.notify = kNotifyRectSelected;
        r.selected = m_rectSel;
        r.repaint = m_rectMark == 'Y';
        m_rectMark = ' ';
        m_rectState = kRectDone;
        return r;
    }
    SelectPress(p, r);
    return r;
}

void StageCanvasControl::ReleaseStage(Point p, CanvasReaction& r) {
    if (m_drag == kDragCaption) r.repaint = true;
    if (m_drag == kDragStage && m_moveReference == 1) {
        const int dx = p.x - m_press.x, dy = p.y - m_press.y;
        const bool moved = dx != 0 || dy != 0;
        const int n = m_store.PartCount();
        if (moved && !m_refPath.empty()) {
            m_refOffset.x += dx;
            m_refOffset.y += dy;
            r.repaint = true;
        } else if (moved && n > 0) {
            for (int i = 0; i < n; ++i) {
                PartRecord& part = m_store.Part(i);
                part.SetX(part.X() + dx);
                part.SetY(part.Y() + dy);
            }
            for (int s = 0; s < kStageSlotCount; ++s) {
                if (!m_slots.Occupied(s, n)) continue;
                m_slots.Slot(s).x += dx;
                m_slots.Slot(s).y += dy;
            }
            m_store.AddModified();
            std::string error;
            const SaveResult saved = m_store.Save(&error);
            r.saved = saved == SaveResult::Saved;
            if (saved == SaveResult::Failed) r.saveError = error.empty() ? "项目文件保存失败 !" : error;
            r.repaint = true;
        }
    }
    if (m_drag != kDragNone) r.cursor = CanvasCursor::Arrow;
    m_drag = kDragNone;
}

CanvasReaction StageCanvasControl::ButtonUp(CanvasButton b, Point p) {
    CanvasReaction r;
    if (b == CanvasButton::Middle) {
        r.releaseClip = true;
        ReleaseStage(p, r);
        return r;
    }
    if (b != CanvasButton::Left) return r;
    ReleaseStage(p, r);
    if (m_tool == kToolFreehand) {
        if (m_phase > 0) m_drawing.EndItem();
        m_phase = 0;
    } else if ((m_tool == kToolRectangle || m_tool == kToolEllipse || m_tool == kToolArrow) && m_phase == 2) {
        if (FarFrom(p, m_press, 10)) {
            m_drawing.MoveRubberBand(p.x, p.y);
            m_drawing.EndRubberBand();
            m_phase = 0;
            m_drawing.AddItem(ToolItem(m_tool));
            if (m_tool != kToolArrow) {
                m_drawing.AddPoint(m_press.x, m_press.y);
                m_drawing.AddPoint(p.x, p.y);
            }
            m_drawing.EndItem();
            r.repaint = true;
        }
    }
    return r;
}

CanvasReaction StageCanvasControl::Motion(Point p, bool left, bool middle) {
    CanvasReaction r;
    if (m_tool > 0) {
        r.cursor = CanvasCursor::Tool;
        if (m_tool == kToolFreehand && m_phase > 0 && left) {
            if (m_phase == 1) {
                m_drawing.AddItem('A');
                m_drawing.AddPoint(m_press.x, m_press.y);
            }
            if (!(p == m_press)) {
                m_drawing.AddPoint(p.x, p.y);
                m_press = p;
                ++m_phase;
                r.repaint = true;
            }
        } else if (m_tool >= kToolRectangle && m_tool <= kToolOutline && m_phase > 0) {
            m_phase = 2;
            m_drawing.MoveRubberBand(p.x, p.y);
            r.repaint = true;
        }
        return r;
    }
    if (m_moveReference == 1 && m_drag == kDragPressed) m_drag = kDragStage;
    if ((m_drag == kDragCaptionPressed || m_drag == kDragPressed) && (left || middle) &&
        std::abs(p.x - m_press.x) > 2 && std::abs(p.y - m_press.y) > 2) {
        m_drag = m_drag == kDragCaptionPressed ? kDragCaption : kDragStage;
    }
    if (m_drag == kDragStage && m_moveReference != 1 && (left || middle)) {
        if (StageSlot* slot = m_slots.CurrentOccupied(m_store.PartCount())) {
            int x = p.x - m_stage.left - slot->scaledHeight / 2;
            int y = p.y - m_stage.top - slot->scaledWidth / 2;
            const int right = m_stage.width(), bottom = m_stage.height();
            if (x < -90) x = 0;
            if (x > right) x = right;
            if (y < -90) y = -90;
            if (y > bottom) y = bottom;
            slot->x = x;
            slot->y = y;
            r.repaint = true;
        }
        r.cursor = CanvasCursor::Drag;
    } else if (m_drag == kDragCaption && (left || middle)) {
        const int w = m_captionRect.width(), h = m_captionRect.height();
        m_captionPos = {p.x - w / 2 - m_stage.left, p.y - h / 2 - m_stage.top};
        m_captionRect = Rect::FromSize(p.x - w / 2, p.y - h / 2, w, h);
        r.repaint = true;
    }
    if (m_rectState == kRectRunning) {
        if (m_rectMark == ' ') {
            m_rectStart = m_rectStart;  // the first move only starts the outline
            m_rectMark = 'y';
        } else {
            m_rectMark = 'Y';
            m_rectSel = Rect::Normalised(m_rectStart, p);
            r.repaint = true;
        }
    }
    return r;
}

fs::path StageCanvasControl::PartPicture(int part) const {
    if (part < 0 || part >= m_store.PartCount()) return {};
    const fs::path folder = StoredFolderPath(m_store.Header().PictureFolder(), m_store.BaseDir());
    const std::string name = m_store.Project().parts.at(static_cast<std::size_t>(part)).PictureName();
    if (folder.empty() || name.empty()) return {};
    return folder / fs::path(name + ".png");
}

void StageCanvasControl::ReferenceGeometry(int w, int h, StageScene& scene) const {
    const Rect box = m_stage.Inflate(-5);
    scene.referenceClip = box;
    if (w <= 0 || h <= 0 || box.empty()) return;
    const double fit = std::min({static_cast<double>(box.width()) / w, static_cast<double>(box.height()) / h, 1.0});
    double dw = w, dh = h;
    if (m_refScale != 1.0) {
        dw = w * fit * m_refScale;
        dh = h * fit * m_refScale;
    }
    scene.referenceX = box.left + m_refOffset.x;
    scene.referenceY = box.top + m_refOffset.y;
    scene.referenceW = dw;
    scene.referenceH = dh;
    scene.referenceAngle = m_refAngle;
}

StageScene StageCanvasControl::Scene() const {
    StageScene s;
    s.stage = m_stage;
    s.background = m_background;
    if (!m_refPath.empty()) {
        s.hasReference = true;
        s.reference = m_refPath;
        ReferenceGeometry(m_refW, m_refH, s);
    }
    const int n = m_store.PartCount();
    for (int i = kStageSlotCount - 1; i >= 0; --i) {
        if (!m_slots.Occupied(i, n)) continue;
        const StageSlot& slot = m_slots.Slot(i);
        fs::path pic = PartPicture(slot.part);
        if (pic.empty()) continue;
        s.parts.push_back({std::move(pic), slot.Box(Origin())});
    }
    s.caption = m_caption;
    s.captionHeight = m_captionHeight;
    s.captionColour = m_captionColour;
    s.captionAt = {m_stage.left + m_captionPos.x, m_stage.top + m_captionPos.y};
    s.frame = m_frameOption == 1;
    s.frameRect = m_frameRect;
    s.overlay = m_overlay;
    s.focusRect = m_rectState == kRectRunning && m_rectMark == 'Y';
    s.focus = m_rectSel;
    s.captionFocus = m_drag == kDragCaption;
    return s;
}

}  // namespace project_editor
