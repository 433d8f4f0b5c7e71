// The canvas's modes as one state machine. A tool mode (engine or drawing
// mode) takes every mouse event; without one the left or middle button arms
// the drags of the special modes and of the caption. Rubber bands and the
// brush outline are state that the next paint draws (the surface is composed
// anew every time), so nothing has to be erased by drawing it twice.
#include "image_editor/canvas_control.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace image_editor {

using platform::raster::Argb;
using platform::raster::Pen;
using platform::raster::PenStyle;
using platform::raster::Rop2;

namespace {
constexpr int kRestore = 9;  // the eraser's reverse gesture
int Distance(Point a, Point b) {
    const double dx = a.x - b.x, dy = a.y - b.y;
    return static_cast<int>(std::sqrt(dx * dx + dy * dy));
}
bool InBox(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }
char BandFor(int mode) {
    switch (mode) {
        case draw_mode::kRectangle: return 'R';
        case draw_mode::kCircle: return 'C';
        case draw_mode::kArrow: return 'A';
        case mode::kHeadSticker: return 'C';
        default: return 'R';
    }
}
char ItemFor(int mode) {
    switch (mode) {
        case draw_mode::kRectangle: return 'B';
        case draw_mode::kCircle: return 'C';
        case draw_mode::kArrow: return 'E';
        default: return 'A';
    }
}
}  // namespace

picture_controls::CDrawItemList& EditorDrawing() {
    static picture_controls::CDrawItemList list;
    return list;
}

int TextItem::SizeValue() const {
    const int v = std::atoi(sizeText.c_str());
    return std::clamp(v, 6, 200);
}

CanvasControl::CanvasControl(CPhotoEngine& engine, picture_controls::CDrawItemList& drawing,
                             CMaterialTable& materials)
    : m_engine(engine), m_drawing(drawing), m_materials(materials) {}

Surface& CanvasControl::Dc() {
    if (m_surface && !m_surface->empty()) return *m_surface;
    if (m_scratch.width() != std::max(m_width, 1) || m_scratch.height() != std::max(m_height, 1))
        m_scratch = Surface(std::max(m_width, 1), std::max(m_height, 1), m_engine.backgroundColour());
    return m_scratch;
}

bool CanvasControl::OpenPhoto(const std::filesystem::path& path) {
    Surface& dc = Dc();
    if (path.string().size() < 4) return m_engine.CapturePhotoFromWindow(dc);
    if (!m_engine.LoadPhoto(path, dc)) return false;
    m_engine.LoadPhotoFitted(dc);
    return true;
}

void CanvasControl::SetCanvasSize(int width, int height) {
    m_width = width;
    m_height = height;
    m_text.offsetY = height - 60;
}

bool CanvasControl::PolygonMode() const {
    return m_toolMode == mode::kCutPolygon || m_toolMode == mode::kKeepPolygon || m_toolMode == mode::kSpotlight;
}
bool CanvasControl::BrushMode() const {
    return m_toolMode == mode::kBrightenBrush || m_toolMode == mode::kDodgeBrush || m_toolMode == mode::kMakeupBrush;
}
bool CanvasControl::BandMode() const {
    return m_toolMode == draw_mode::kRectangle || m_toolMode == draw_mode::kCircle || m_toolMode == draw_mode::kArrow;
}

void CanvasControl::SetToolMode(int mode) {
    m_toolMode = mode;
    m_band = 0;
    m_outline = false;
    m_sampleRequest = 0;
    m_brushOutline = false;
    m_magnifierBox = false;
    m_drawing.EndRubberBand();
    if (mode > 0) m_special = 0;
    m_engine.SetCanvasMode(mode >= 1000 && mode <= 1005 ? 0 : mode);
}

void CanvasControl::SetSpecialMode(int mode) {
    m_special = mode;
    m_capture = 0;
    m_drag = 0;
}

CanvasReaction CanvasControl::EndToolMode() {
    CanvasReaction r;
    if (m_toolMode == 0) return r;
    m_toolMode = 0;
    m_band = 0;
    m_drawing.EndItem();
    m_drawing.EndRubberBand();
    m_brushOutline = false;
    m_magnifierBox = false;
    m_engine.SetCanvasMode(0);
    r.cursor = CanvasCursor::Arrow;
    r.repaint = true;
    return r;
}

CanvasCursor CanvasControl::ModeCursor() const {
    switch (m_toolMode) {
        case mode::kEraser:
        case mode::kBrightenBrush:
        case mode::kDodgeBrush:
            return m_engine.radius() <= 3 ? CanvasCursor::Brush3
                   : m_engine.radius() <= 6 ? CanvasCursor::Brush6
                                            : CanvasCursor::Brush9;
        case mode::kMakeupBrush:
            return m_engine.HasMakeupSample() ? CanvasCursor::Makeup : CanvasCursor::MakeupNoSample;
        case mode::kMagicWand: return CanvasCursor::Wand;
        case mode::kHeadSticker:
            return m_engine.GetStickerForm() == 'Y'   ? CanvasCursor::StickerFeather
                   : m_engine.GetStickerForm() == 'L' ? CanvasCursor::StickerBright
                                                      : CanvasCursor::StickerPlain;
        case 0:
            return m_special == special::kNone ? CanvasCursor::Arrow : CanvasCursor::Hand;
        default: return CanvasCursor::Cross;
    }
}

// --- buttons -------------------------------------------------------------------

CanvasReaction CanvasControl::LeftDown(const CanvasInput& in) {
    CanvasReaction r;
    if (m_toolMode == 0) {
        StartDrag(in);
        return r;
    }
    const Point p{in.x, in.y};
    m_press = p;
    m_moved = ' ';
    switch (m_toolMode) {
        case mode::kEraser:
        case mode::kBrightenBrush:
        case mode::kDodgeBrush:
            m_last = p;
            m_brushOutline = false;
            r.repaint = true;
            break;
        case mode::kMakeupBrush:
            m_last = p;
            m_brushOutline = false;
            if (in.alt) {
                m_sampleRequest = 9;
                r.flashCursor = true;
            }
            r.cursor = ModeCursor();
            r.repaint = true;
            break;
        case mode::kMagicWand:
            m_engine.MagicWandAt(in.x, in.y);
            r.repaint = true;
            break;
        case draw_mode::kFreeLine:
            m_drawing.AddItem('A');
            m_drawing.AddPoint(in.x, in.y);
            break;
        case draw_mode::kRectangle:
        case draw_mode::kCircle:
        case draw_mode::kArrow:
            if (m_band == 2) {
                const Point a = m_drawing.rubberBandAnchor();
                m_drawing.DrawRubberBand(in.x, in.y, 0);
                m_drawing.AddItem(ItemFor(m_toolMode));
                m_drawing.AddPoint(a.x, a.y);
                m_drawing.AddPoint(in.x, in.y);
                m_drawing.EndItem();
                m_drawing.EndRubberBand();
                m_band = 0;
            } else {
                m_drawing.BeginRubberBand(BandFor(m_toolMode), in.x, in.y);
                m_band = 1;
            }
            r.repaint = true;
            break;
        case draw_mode::kPolyline:
            if (m_band <= 0) {
                m_drawing.AddItem('A');
                m_band = 1;
            }
            m_drawing.AddPoint(in.x, in.y);
            m_drawing.BeginRubberBand('L', in.x, in.y);
            r.repaint = true;
            break;
        case draw_mode::kPolygon:
            if (m_band <= 0) {
                m_closeBox = {in.x - 3, in.y - 3, in.x + 3, in.y + 3};
                m_drawing.AddItem('D');
                m_drawing.AddPoint(in.x, in.y);
                m_drawing.BeginRubberBand('L', in.x, in.y);
                m_band = 1;
            } else if (InBox(m_closeBox, in.x, in.y) && m_drawing.currentItem() >= 0 &&
                       m_drawing.item(m_drawing.currentItem()).count >= 2) {
                m_drawing.EndItem();
                m_drawing.EndRubberBand();
                m_band = 0;
                m_toolMode = 0;
                r.notices.push_back({notice::kModeEnded, draw_mode::kPolygon, {}});
                r.cursor = CanvasCursor::Arrow;
            } else {
                m_drawing.AddPoint(in.x, in.y);
                m_drawing.BeginRubberBand('L', in.x, in.y);
            }
            r.repaint = true;
            break;
        case mode::kValidArea:
        case mode::kGrabRegion:
            if (m_band == 2) {
                const Point a = m_drawing.rubberBandAnchor();
                if (std::abs(in.x - a.x) >= kMinAreaSide && std::abs(in.y - a.y) >= kMinAreaSide) {
                    const Rect box{std::min(a.x, in.x), std::min(a.y, in.y), std::max(a.x, in.x),
                                   std::max(a.y, in.y)};
                    const int was = m_toolMode;
                    m_drawing.EndRubberBand();
                    m_band = 0;
                    m_toolMode = 0;
                    m_engine.SetCanvasMode(0);
                    if (was == mode::kValidArea) {
                        m_engine.SetPhotoArea(box.left, box.top, box.right, box.bottom);
                    } else {
                        m_engine.SetGrabArea(1, box.left, box.top, box.right, box.bottom);
                        r.notices.push_back({notice::kGrabChosen, was, box});
                    }
                    r.cursor = CanvasCursor::Arrow;
                    r.repaint = true;
                }
            } else {
                m_drawing.BeginRubberBand('R', in.x, in.y);
                m_band = 1;
            }
            break;
        case mode::kHeadSticker:
            m_drawing.BeginRubberBand('C', in.x, in.y);
            m_band = 1;
            break;
        case mode::kCutPolygon:
        case mode::kKeepPolygon:
        case mode::kSpotlight: {
            if (m_band <= 0) {
                if (m_band < 0) m_engine.AddPolygonPoint(-1, m_press);
                m_band = 1;
                m_outline = true;
            }
            Point q = p;
            const int res = m_engine.AddPolygonPoint(666, q);
            if (res == CPhotoEngine::kPolygonClosed) {
                const int was = m_toolMode;
                if (was == mode::kCutPolygon) {
                    m_engine.FillPolygonMask(mask::kRemoved);
                } else if (was == mode::kKeepPolygon) {
                    m_engine.FillPolygonMask(mask::kPending);
                    m_engine.CommitKeepSelection();
                } else {
                    m_engine.FillPolygonMask('L');
                }
                m_toolMode = 0;
                m_band = 0;
                m_outline = false;
                m_drawing.EndRubberBand();
                m_engine.SetCanvasMode(0);
                r.notices.push_back({notice::kModeEnded, was, {}});
                r.cursor = CanvasCursor::Arrow;
            } else {
                m_drawing.BeginRubberBand('L', in.x, in.y);
            }
            r.repaint = true;
            break;
        }
        default: break;
    }
    return r;
}

CanvasReaction CanvasControl::LeftUp(const CanvasInput& in) {
    CanvasReaction r;
    if (m_toolMode == 0) return DragEnd(in);
    const Point p{in.x, in.y};
    switch (m_toolMode) {
        case mode::kEraser:
            r.repaint = true;
            break;
        case mode::kBrightenBrush:
        case mode::kDodgeBrush:
            m_engine.FillStrokeMask(' ');
            r.repaint = true;
            break;
        case mode::kMakeupBrush:
            m_engine.FillStrokeMask(' ');
            if (m_sampleRequest == 9) {
                // The sample is taken where the button went down.
                m_engine.SampleMakeupArea(Dc(), m_press.x, m_press.y);
                m_sampleRequest = 0;
            } else if (m_moved == ' ' && m_engine.HasMakeupSample()) {
                m_engine.StampMakeup(Dc(), in.x - m_engine.x0(), in.y - m_engine.y0(), 99);
            }
            r.cursor = ModeCursor();
            r.repaint = true;
            break;
        case mode::kMagnifierPick:
            m_toolMode = 0;
            m_magnifierBox = false;
            m_engine.SetCanvasMode(0);
            m_engine.SetMagnifierOrigin(in.x, in.y);
            r.notices.push_back({notice::kMagnifierChosen, mode::kMagnifierPick, {}});
            r.cursor = CanvasCursor::Arrow;
            r.repaint = true;
            break;
        case draw_mode::kFreeLine:
            m_drawing.EndItem();
            r.repaint = true;
            break;
        case draw_mode::kRectangle:
        case draw_mode::kCircle:
        case draw_mode::kArrow:
            if (m_band >= 1 && Distance(m_press, p) >= kMinBandDistance) {
                m_drawing.DrawRubberBand(in.x, in.y, 0);
                m_drawing.AddItem(ItemFor(m_toolMode));
                m_drawing.AddPoint(m_press.x, m_press.y);
                m_drawing.AddPoint(in.x, in.y);
                m_drawing.EndItem();
                m_drawing.EndRubberBand();
                m_band = 0;
                r.repaint = true;
            }
            break;
        case mode::kHeadSticker:
            if (m_band >= 1 && Distance(m_press, p) >= kMinBandDistance) {
                m_engine.MakeHeadSticker(m_press.x, m_press.y, in.x, in.y, in.alt ? 9 : 0);
                m_drawing.EndRubberBand();
                m_band = 0;
                r.repaint = true;
            }
            break;
        default: break;
    }
    return r;
}

CanvasReaction CanvasControl::Move(const CanvasInput& in) {
    CanvasReaction r;
    const bool button = in.left || in.middle;
    if (m_toolMode == 0) {
        if (button) return DragMove(in);
        r.cursor = ModeCursor();
        return r;
    }
    const Point p{in.x, in.y};
    if (button && (p.x != m_press.x || p.y != m_press.y)) m_moved = 'Y';
    switch (m_toolMode) {
        case mode::kMagnifierPick:
            m_magnifierBox = true;
            m_magnifierAt = p;
            m_engine.SetMagnifierOrigin(in.x, in.y);
            r.notices.push_back({notice::kMagnifierMoved, mode::kMagnifierPick, {}});
            r.repaint = true;
            break;
        case mode::kEraser:
            if (in.left) {
                m_engine.EraseLine(Dc(), m_last.x, m_last.y, in.x, in.y, in.alt ? kRestore : 0);
                m_last = p;
                m_brushOutline = false;
            } else {
                m_brushOutline = true;
                m_brushAt = p;
            }
            r.cursor = ModeCursor();
            r.repaint = true;
            break;
        case mode::kBrightenBrush:
        case mode::kDodgeBrush:
        case mode::kMakeupBrush:
            if (in.left) {
                if (m_toolMode != mode::kMakeupBrush ||
                    (m_engine.HasMakeupSample() && m_sampleRequest != 9))
                    m_engine.BrushLine(Dc(), m_last.x, m_last.y, in.x, in.y, in.alt ? 1 : 0);
                m_last = p;
                r.repaint = true;
                r.cursor = ModeCursor();
            } else {
                m_brushOutline = true;
                m_brushAt = p;
                r.repaint = true;
                r.cursor = CanvasCursor::Arrow;
            }
            break;
        case draw_mode::kFreeLine:
            if (in.left && m_drawing.currentItem() >= 0) {
                m_drawing.AddPoint(in.x, in.y);
                r.repaint = true;
            }
            break;
        case draw_mode::kRectangle:
        case draw_mode::kCircle:
        case draw_mode::kArrow:
        case mode::kValidArea:
        case mode::kGrabRegion:
            if (m_band >= 1) {
                m_band = 2;
                m_drawing.DrawRubberBand(in.x, in.y, 0);
                r.repaint = true;
            }
            break;
        case draw_mode::kPolyline:
        case draw_mode::kPolygon:
        case mode::kCutPolygon:
        case mode::kKeepPolygon:
        case mode::kSpotlight:
            if (m_band >= 1) {
                m_drawing.DrawRubberBand(in.x, in.y, 0);
                r.repaint = true;
            }
            break;
        case mode::kHeadSticker:
            if (in.left && m_band >= 1) {
                m_band = 2;
                m_drawing.DrawRubberBand(in.x, in.y, 0);
                r.repaint = true;
            } else {
                r.cursor = ModeCursor();
            }
            break;
        default: break;
    }
    return r;
}

CanvasReaction CanvasControl::MiddleDown(const CanvasInput& in) {
    CanvasReaction r;
    if (m_toolMode == 0) {
        StartDrag(in);
        return r;
    }
    if (m_toolMode == mode::kMagicWand) {
        m_engine.CancelWandSelection();
        r.repaint = true;
    } else if (PolygonMode()) {
        Point q{in.x, in.y};
        if (m_engine.AddPolygonPoint(111, q) >= 1) {
            m_drawing.BeginRubberBand('L', q.x, q.y);
            m_drawing.DrawRubberBand(in.x, in.y, 0);
        } else {
            m_band = -1;
            m_drawing.EndRubberBand();
        }
        r.repaint = true;
    }
    return r;
}

CanvasReaction CanvasControl::MiddleUp(const CanvasInput& in) {
    if (m_toolMode == 0) return DragEnd(in);
    return {};
}

CanvasReaction CanvasControl::RightDown(const CanvasInput&) {
    CanvasReaction r;
    if (m_toolMode == 0) {
        if (m_special == special::kDragPhoto || m_special > 110) {
            m_special = 0;
            m_drag = 0;
            r.notices.push_back({notice::kSpecialEnded, 1001, {}});
            r.cursor = CanvasCursor::Arrow;
            r.repaint = true;
        } else if (m_special == special::kDragPicture) {
            m_capture = kCaptureNow;
            r.repaint = true;
        }
        return r;
    }
    return EndByRightButton();
}

CanvasReaction CanvasControl::EndByRightButton() {
    CanvasReaction r;
    const int was = m_toolMode;
    // Leaving the sticker mode commits the stickers made in it.
    m_engine.SetCanvasMode(0);
    m_toolMode = 0;
    m_band = 0;
    m_outline = false;
    m_brushOutline = false;
    m_magnifierBox = false;
    m_drawing.EndItem();
    m_drawing.EndRubberBand();
    r.cursor = CanvasCursor::Arrow;
    r.notices.push_back({notice::kModeEnded, was, {}});
    r.repaint = true;
    return r;
}

// --- drags without a tool mode ----------------------------------------------------

void CanvasControl::StartDrag(const CanvasInput& in) {
    m_dragPress = m_dragLast = {in.x, in.y};
    m_moveAll = false;
    if (InBox(m_text.box, in.x, in.y) && m_special == special::kNone) {
        m_drag = 9;
        return;
    }
    m_drag = 19;
    if (m_special == special::kMoveAll) m_moveAll = true;
}

CanvasReaction CanvasControl::DragMove(const CanvasInput& in) {
    CanvasReaction r;
    if (m_drag == 0) return r;
    const int dx = in.x - m_dragLast.x, dy = in.y - m_dragLast.y;
    if (m_drag == 9 || m_drag == 109) {
        if (std::abs(dx) > 2 && std::abs(dy) > 2) {
            const int w = m_text.box.Width(), h = m_text.box.Height();
            m_text.offsetX = in.x - w / 2;
            m_text.offsetY = in.y - h / 2;
            m_text.box = {m_text.offsetX, m_text.offsetY, m_text.offsetX + w, m_text.offsetY + h};
            m_dragLast = {in.x, in.y};
            m_drag = 109;
            r.repaint = true;
        }
        return r;
    }
    switch (m_special) {
        case special::kDragPhoto:
            if (m_engine.photoPresent() && std::abs(dx) > 1) {
                m_engine.MovePhoto(dx, dy);
                m_dragLast = {in.x, in.y};
                r.repaint = true;
            }
            break;
        case special::kDragPicture:
            if (std::abs(dx) > 2) {
                m_engine.MoveDrawRect(dx, dy);
                m_dragLast = {in.x, in.y};
                r.repaint = true;
            }
            break;
        case special::kMaterial:
            if (m_materials.SelectedVisible() && std::abs(dx) > 1) {
                m_materials.MoveSelected(dx, dy, m_width, m_height);
                m_dragLast = {in.x, in.y};
                r.repaint = true;
            }
            break;
        case special::kMoveAll:
            if (std::abs(dx) >= 3 || std::abs(dy) >= 3) {
                m_materials.AddOffset(dx, dy);
                m_dragLast = {in.x, in.y};
                m_drag = 119;
                r.repaint = true;
            }
            break;
        default: break;
    }
    return r;
}

CanvasReaction CanvasControl::DragEnd(const CanvasInput& in) {
    CanvasReaction r;
    if (m_moveAll && m_drag == 119) {
        // The live offsets become the materials' positions.
        const int dx = m_materials.offsetX(), dy = m_materials.offsetY();
        (void)in;
        if (backgroundPicture.empty()) {
            if (dx != 0 || dy != 0) {
                m_materials.MoveAllBy(dx, dy);
                if (onMoveAllParts) onMoveAllParts(dx, dy);
            }
        } else {
            backgroundOffsetX += dx;
            backgroundOffsetY += dy;
        }
        m_materials.ResetOffsets();
        r.repaint = true;
    }
    m_drag = 0;
    m_moveAll = false;
    return r;
}

// --- painting -------------------------------------------------------------------

CanvasReaction CanvasControl::Paint(Surface& dc, MaterialPictures* pictures, bool forGrab) {
    CanvasReaction r;
    if (dc.width() != m_width || dc.height() != m_height) SetCanvasSize(dc.width(), dc.height());
    dc.SetRop2(Rop2::CopyPen);
    const ColorRef fill = m_engine.backgroundShown() ? kPanelColour : m_engine.backgroundColour();
    dc.Fill(fill);
    if (m_special == special::kDragPicture) {
        const int request = m_capture;
        m_engine.RedrawPhoto(request, dc);
        if (request == kCaptureNow) {
            m_capture = 0;
            m_special = 0;
            r.notices.push_back({notice::kSpecialEnded, 1001, {}});
            dc.Fill(fill);
        } else {
            DrawMaterials(dc, pictures);
            return r;
        }
    }
    if (m_reloadBackground) {
        m_engine.LoadBackground(dc);
        m_reloadBackground = false;
    }
    m_engine.DrawBackground(dc);
    m_engine.SetCanvasMode(m_toolMode >= 1000 && m_toolMode <= 1005 ? 0 : m_toolMode);
    m_engine.DrawMaskedPhoto(dc);
    if (PolygonMode()) m_firstBox = m_engine.DrawPolygon(dc);
    {
        picture_controls::RasterDrawPainter painter(dc);
        m_drawing.DrawAll(painter);
        if (!forGrab) m_drawing.PaintRubberBand(painter);
    }
    DrawMaterials(dc, pictures);
    if (!forGrab) {
        const Rect v = m_engine.GetPhotoArea();
        dc.SetRop2(Rop2::XorPen);
        dc.SetPen(Pen{kValidAreaColour, 1, PenStyle::Dot});
        dc.FrameBox(v.left + 1, v.top + 1, v.right - 2, v.bottom - 2);
        if (m_brushOutline) {
            const int rad = m_engine.radius();
            dc.SetRop2(Rop2::NotXorPen);
            dc.SetPen(Pen{0xF4F4F4, 1, PenStyle::Solid});
            dc.Ellipse(m_brushAt.x - rad, m_brushAt.y - rad, m_brushAt.x + rad + 1, m_brushAt.y + rad + 1);
        }
        if (m_magnifierBox) {
            const int w = std::max(m_engine.GetMagnifierWidth(), 4), h = std::max(m_engine.GetMagnifierHeight(), 4);
            dc.SetRop2(Rop2::NotXorPen);
            dc.SetPen(Pen{0xF4F4F4, 1, PenStyle::Solid});
            dc.FrameBox(m_magnifierAt.x, m_magnifierAt.y, m_magnifierAt.x + w - 1, m_magnifierAt.y + h - 1);
        }
        dc.SetRop2(Rop2::CopyPen);
    }
    return r;
}

void CanvasControl::DrawMaterials(Surface& dc, MaterialPictures* pictures) const {
    if (!pictures) return;
    // The last slot first, so slot 1 lies in front.
    for (int slot = CMaterialTable::kSlots - 1; slot >= 0; --slot) {
        const Material& m = m_materials.at(slot);
        if (!m.visible() || m.width <= 0 || m.height <= 0) continue;
        const Surface* pic = pictures->Scaled(m.picture, m.width, m.height);
        if (!pic) continue;
        const int left = m.x + m_materials.offsetX() - m.width / 2;
        const int top = m.y + m_materials.offsetY() - m.height / 2;
        for (int y = 0; y < pic->height(); ++y) {
            const int ty = top + y;
            if (ty < 0 || ty >= dc.height()) continue;
            const Argb* src = pic->Row(y);
            Argb* dst = dc.Row(ty);
            for (int x = 0; x < pic->width(); ++x) {
                const int tx = left + x;
                if (tx < 0 || tx >= dc.width()) continue;
                const Argb s = src[x];
                const unsigned a = s >> 24;
                if (a == 0) continue;
                if (a == 255) {
                    dst[tx] = s;
                    continue;
                }
                const Argb d = dst[tx];
                auto mix = [&](int shift) {
                    const unsigned sc = (s >> shift) & 0xFF, dcv = (d >> shift) & 0xFF;
                    return ((sc * a + dcv * (255 - a) + 127) / 255) << shift;
                };
                dst[tx] = 0xFF000000u | mix(16) | mix(8) | mix(0);
            }
        }
    }
}

}  // namespace image_editor
