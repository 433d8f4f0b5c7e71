// The photo-edit engine. Pixels live in flat stores indexed col + row x width
// of the current photo area; every operation checks a photo position against
// that area before it touches a store, and draws through the raster surface,
// which clips on its own.
//
// The magic wand is a span flood fill (wand_fill.h): its result is the set of
// kept ('A') pixels 8-connected to the seed through kept pixels whose
// channels each lie within 8 of the seed's, which is what repeating
// whole-image passes until nothing changes converges to.
//
// Brush and eraser rings sit one row below the pointer: the ring points are
// (col + trunc(cos a x i), row + trunc(sin a x i) + 1), in double precision,
// while the pointer's pixel and its eight neighbours are on the pointer.
//
// Polygon selections are scanned from the smallest y of their points up to
// but not including the largest, each edge counting at its smaller-y end and
// not at its larger one (so a vertex gives one crossing); a pair of crossings
// fills the columns trunc(left) .. trunc(right + 0.5) - 1.
#include "image_editor/photo_engine.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "platform/raster/scan.h"

namespace image_editor {

namespace {

constexpr double kRingStep = 0.5235988;  // 30 degrees
constexpr const char* kMissingPicture = "请注意,当前图片不存在";

int R(ColorRef c) { return static_cast<int>(c & 0xFF); }
int G(ColorRef c) { return static_cast<int>((c >> 8) & 0xFF); }
int B(ColorRef c) { return static_cast<int>((c >> 16) & 0xFF); }
ColorRef Rgb(int r, int g, int b) {
    return static_cast<ColorRef>(r) | (static_cast<ColorRef>(g) << 8) | (static_cast<ColorRef>(b) << 16);
}
template <class Fn>
ColorRef PerChannel(ColorRef c, Fn&& fn) {
    return Rgb(fn(R(c)), fn(G(c)), fn(B(c)));
}
int Trunc(double v) { return static_cast<int>(std::trunc(v)); }

int Brighten110(int c) {
    int n = Trunc(c * 1.1);
    if (n == c) n = c + 2;
    return std::min(n, 255);
}
int Dodge90(int c) { return Trunc(c * 0.9); }

// The brush template: '*' where a make-up stamp may paint; centre at row 11,
// column 12.
const char* const kBrushTemplate[CPhotoEngine::kSampleSize] = {
    "                         ", "                         ", "       ***********       ",
    "      *************      ", "     ***************     ", "    *****************    ",
    "   *******************   ", "  *********************  ", "  *********************  ",
    "  *********************  ", "  *********************  ", "  **********0**********  ",
    "  *********************  ", "  *********************  ", "  *********************  ",
    "  *********************  ", "  *********************  ", "  *********************  ",
    "    *****************    ", "     ***************     ", "      *************      ",
    "                         ", "                         ",
};

// The ring points of radius i = 3..9: (trunc(cos(j x step) x i),
// trunc(sin(j x step) x i) + 1) for j = 0..11, in double, worked out once.
constexpr int kMaxRingRadius = 9;
using RingTable = std::array<std::array<Point, 12>, kMaxRingRadius + 1>;
const RingTable& RingOffsets() {
    static const RingTable table = [] {
        RingTable t{};
        for (int i = 3; i <= kMaxRingRadius; ++i)
            for (int j = 0; j < 12; ++j) {
                const double a = j * kRingStep;
                t[i][j] = {Trunc(std::cos(a) * i), Trunc(std::sin(a) * i) + 1};
            }
        return t;
    }();
    return table;
}

}  // namespace

CPhotoEngine::CPhotoEngine(PictureSource* pictures)
    : m_pictures(pictures),
      m_colours(kStoreEntries, kClearedColour),
      m_mask(kStoreEntries, mask::kEmpty),
      m_stroke(kStoreEntries, ' '),
      m_bgColours(kStoreEntries, 0),
      m_bgMask(kStoreEntries, ' '),
      m_fill(static_cast<std::size_t>(kMaxWidth) * kMaxHeight) {
    m_poly.reserve(kMaxOutlinePoints);
    m_inner.reserve(kMaxOutlinePoints);
    m_wandSeeds.reserve(static_cast<std::size_t>(kMaxWidth) * kMaxHeight);
    m_wandRuns.reserve(static_cast<std::size_t>(kMaxWidth) * kMaxHeight / 2 + 1);
}

std::optional<Picture> CPhotoEngine::Decode(const std::filesystem::path& p) const {
    if (!m_pictures || p.empty()) return std::nullopt;
    auto pic = m_pictures->Load(p);
    if (pic && (pic->width <= 0 || pic->height <= 0 ||
                pic->pixels.size() != static_cast<std::size_t>(pic->width) * pic->height))
        return std::nullopt;
    return pic;
}

// --- photo and background ------------------------------------------------

void CPhotoEngine::ClearPhoto() {
    std::fill(m_mask.begin(), m_mask.end(), mask::kEmpty);
    std::fill(m_colours.begin(), m_colours.end(), kClearedColour);
    m_viewScale = 1.0;
    m_photoPresent = ' ';
    m_width = m_height = 0;
    m_magCol = m_magRow = 0;
}

void CPhotoEngine::CaptureArea(Surface& dc, int x0, int y0, int width, int height) {
    m_x0 = x0;
    m_y0 = y0;
    m_width = std::clamp(width, 0, kMaxWidth);
    m_height = std::clamp(height, 0, kMaxHeight);
    for (int row = 0; row < m_height; ++row)
        for (int col = 0; col < m_width; ++col) {
            ColorRef c = dc.GetPixel(x0 + col, y0 + row);
            if (c == platform::raster::kInvalidColor) c = m_bgColour;
            m_colours[Index(col, row)] = c;
            m_mask[Index(col, row)] = mask::kKept;
            m_stroke[Index(col, row)] = ' ';
        }
    m_photoPresent = 'Y';
    AnyRowMayHoldSelection();
}

void CPhotoEngine::SetPhoto(int x0, int y0, const Picture& pic) {
    m_x0 = x0;
    m_y0 = y0;
    m_width = std::min(pic.width, kMaxWidth);
    m_height = std::min(pic.height, kMaxHeight);
    for (int row = 0; row < m_height; ++row)
        for (int col = 0; col < m_width; ++col) {
            m_colours[Index(col, row)] = pic.At(col, row);
            m_mask[Index(col, row)] = mask::kKept;
            m_stroke[Index(col, row)] = ' ';
        }
    m_valid = {x0, y0, x0 + m_width, y0 + m_height};
    m_photoPresent = 'Y';
    AnyRowMayHoldSelection();
}

bool CPhotoEngine::LoadPhoto(const std::filesystem::path& path, Surface& dc) {
    const auto pic = Decode(path);
    if (!pic) return false;  // the current photo and valid area stay
    m_photoPath = path;
    auto centre = [](int box, int image) {
        const std::uint32_t half = static_cast<std::uint32_t>(box - image) / 2u;
        return half > 320u ? 1 : static_cast<int>(half);
    };
    const int x0 = centre(dc.width(), pic->width);
    const int y0 = centre(dc.height(), pic->height);
    m_showX = x0;
    m_showY = y0;
    m_naturalW = pic->width;
    m_naturalH = pic->height;
    DrawPicture(dc, *pic, x0, y0, pic->width, pic->height);
    const int w = std::min(pic->width, kMaxWidth);
    const int h = std::min(pic->height, kMaxHeight);
    m_valid = {x0, y0, x0 + w, y0 + h};
    CaptureArea(dc, x0, y0, w, h);
    return true;
}

bool CPhotoEngine::CapturePhotoFromWindow(Surface& dc) {
    const auto path = m_photoPath;
    return LoadPhoto(path, dc);
}

bool CPhotoEngine::LoadPhotoFitted(Surface& dc) {
    const int aw = m_valid.Width(), ah = m_valid.Height();
    if (aw <= 10 || ah <= 10) return false;
    const auto pic = Decode(m_photoPath);
    if (!pic) return false;
    m_naturalW = pic->width;
    m_naturalH = pic->height;
    const double s = std::max({static_cast<double>(pic->width) / aw, static_cast<double>(pic->height) / ah, 1.0});
    // The fitted picture stands on the background colour: whatever the area
    // showed before (the photo at its natural size, when it was loaded just
    // now) is not part of it.
    dc.FillRect(m_valid.left, m_valid.top, m_valid.right, m_valid.bottom, m_bgColour);
    DrawPicture(dc, *pic, m_valid.left, m_valid.top, Trunc(pic->width / s), Trunc(pic->height / s));
    CaptureArea(dc, m_valid.left, m_valid.top, aw, ah);
    return true;
}

void CPhotoEngine::SetDrawRect() {
    m_drawL = m_x0;
    m_drawT = m_y0;
    m_drawW = m_naturalW;
    m_drawH = m_naturalH;
}

void CPhotoEngine::MoveDrawRect(int dx, int dy) {
    m_drawL += dx;
    m_drawT += dy;
}

int CPhotoEngine::ScaleDrawRect(double factor) {
    const int w = Trunc(m_drawW * factor);
    const int h = Trunc(m_drawH * factor);
    if (w <= 100 || h <= 60) return 0;
    m_drawW = w;
    m_drawH = h;
    return 1;
}

int CPhotoEngine::StepRotation(int op, int value) {
    if (op == 100) m_angle = value;
    if (op == 101 && ++m_angle >= 360) m_angle = 0;
    if (op == 102 && --m_angle <= -360) m_angle = 0;
    return m_angle;
}

int CPhotoEngine::CheckPictureFile(int code) {
    const auto& p = code == 111 ? m_bgPath : m_photoPath;
    if (m_pictures && !p.empty() && m_pictures->Exists(p)) {
        m_redrawTarget = code;
        return 1;
    }
    if (m_sink) m_sink({kMissingPicture, {}, platform::MbButtons::Ok, platform::MbIcon::Exclamation});
    return 0;
}

void CPhotoEngine::RedrawPhoto(int code, Surface& dc) {
    if (m_redrawTarget == 111) {
        RedrawBackgroundPicture(code, dc);
        return;
    }
    const auto pic = Decode(m_photoPath);
    if (!pic) return;
    DrawPicture(dc, *pic, m_drawL, m_drawT, m_drawW, m_drawH, m_angle);
    if (code == 99) {
        CaptureArea(dc, m_valid.left, m_valid.top, m_valid.Width(), m_valid.Height());
        m_angle = 0;
    }
}

void CPhotoEngine::RedrawBackgroundPicture(int code, Surface& dc) {
    const auto pic = Decode(m_bgPath);
    if (!pic) return;
    DrawPicture(dc, *pic, m_drawL, m_drawT, m_drawW, m_drawH, m_angle);
    if (code != 99) return;
    m_bgX = m_bgY = 1;
    m_bgW = std::min(pic->width, kMaxWidth);
    m_bgH = std::min(pic->height, kMaxHeight);
    for (int row = 0; row < m_bgH; ++row)
        for (int col = 0; col < m_bgW; ++col) {
            ColorRef c = dc.GetPixel(m_bgX + col, m_bgY + row);
            if (c == platform::raster::kInvalidColor) c = m_bgColour;
            m_bgColours[col + static_cast<std::size_t>(row) * m_bgW] = c;
            m_bgMask[col + static_cast<std::size_t>(row) * m_bgW] = 'A';
        }
    m_bgLoaded = 'Y';
    m_angle = 0;
    m_redrawTarget = 0;
}

bool CPhotoEngine::LoadBackground(Surface& dc) {
    const auto pic = Decode(m_bgPath);
    if (!pic) {
        m_bgLoaded = ' ';
        return false;
    }
    DrawPicture(dc, *pic, m_bgX, m_bgY, pic->width, pic->height);
    m_bgLoaded = 'Y';
    m_bgW = std::min(pic->width, kMaxWidth);
    m_bgH = std::min(pic->height, kMaxHeight);
    for (int row = 0; row < m_bgH; ++row)
        for (int col = 0; col < m_bgW; ++col) {
            ColorRef c = dc.GetPixel(m_bgX + col, m_bgY + row);
            if (c == platform::raster::kInvalidColor) c = m_bgColour;
            m_bgColours[col + static_cast<std::size_t>(row) * m_bgW] = c;
            m_bgMask[col + static_cast<std::size_t>(row) * m_bgW] = 'A';
        }
    m_quantStep = 2;
    return true;
}

void CPhotoEngine::DrawBackground(Surface& dc) const {
    if (!BackgroundActive()) return;
    for (int row = 0; row < m_bgH; ++row)
        for (int col = 0; col < m_bgW; ++col)
            dc.SetPixel(m_bgX + col, m_bgY + row, m_bgColours[col + static_cast<std::size_t>(row) * m_bgW]);
}

ColorRef CPhotoEngine::BackgroundPixelAt(int col, int row) const {
    if (BackgroundActive() && col >= 0 && row >= 0 && col < m_bgW && row < m_bgH)
        return m_bgColours[col + static_cast<std::size_t>(row) * m_bgW];
    return m_bgColour;
}

void CPhotoEngine::DrawMaskedPhoto(Surface& dc) const {
    if (!photoPresent()) return;
    const bool sticker = m_mode == mode::kHeadSticker;
    for (int row = 0; row < m_height; ++row)
        for (int col = 0; col < m_width; ++col) {
            const char m = m_mask[Index(col, row)];
            const ColorRef c = m_colours[Index(col, row)];
            if (sticker) {
                if (m == mask::kKept)
                    dc.SetPixel(m_x0 + col, m_y0 + row, PerChannel(c, [](int v) { return Trunc(v * 0.6); }));
                else if (m == mask::kPending)
                    dc.SetPixel(m_x0 + col, m_y0 + row, c);
            } else if (m == mask::kKept) {
                dc.SetPixel(m_x0 + col, m_y0 + row, c);
            } else if (m_bgShown != 1) {
                dc.SetPixel(m_x0 + col, m_y0 + row, BackgroundPixelAt(col, row));
            }
        }
}

void CPhotoEngine::SetPhotoArea(int x1, int y1, int x2, int y2) {
    m_valid = {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

void CPhotoEngine::SetGrabArea(int op, int x1, int y1, int x2, int y2) {
    if (op == 100)
        m_grab = {};
    else
        m_grab = {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

Rect CPhotoEngine::TakeGrabArea() {
    const Rect r = m_grab;
    m_grab = {};
    return r;
}

// --- selections ------------------------------------------------------------

int CPhotoEngine::AddPolygonPoint(int op, Point& point) {
    if (op < 0) {
        m_poly.clear();
        return 0;
    }
    if (op == 666) {
        if (m_poly.size() > 2) {
            const Point f = m_poly.front();
            if (point.x >= f.x - 5 && point.x < f.x + 5 && point.y >= f.y - 5 && point.y < f.y + 5) {
                m_poly.push_back(f);
                return kPolygonClosed;
            }
        }
        if (m_poly.size() < static_cast<std::size_t>(kMaxPolygonPoints)) m_poly.push_back(point);
    } else if (op == 111) {
        if (m_poly.size() < 2) return -1;
        m_poly.pop_back();
        point = m_poly.back();
    }
    return static_cast<int>(m_poly.size());
}

Rect CPhotoEngine::DrawPolygon(Surface& dc) const {
    Rect box{};
    if (m_poly.empty()) return box;
    const Point f = m_poly.front();
    box = {f.x - 5, f.y - 5, f.x + 5, f.y + 5};
    // A raised frame: yellow top and left, cyan bottom and right.
    dc.FillRect(box.left, box.top, box.right - 1, box.top + 1, 0x00FFFF);
    dc.FillRect(box.left, box.top, box.left + 1, box.bottom - 1, 0x00FFFF);
    dc.FillRect(box.right - 1, box.top, box.right, box.bottom, 0xFFFF00);
    dc.FillRect(box.left, box.bottom - 1, box.right, box.bottom, 0xFFFF00);
    if (m_poly.size() >= 2) {
        const auto oldRop = dc.rop2();
        const auto oldPen = dc.pen();
        dc.SetRop2(platform::raster::Rop2::XorPen);
        dc.SetPen({0xF4E9E9, 1, platform::raster::PenStyle::Solid});
        dc.Polyline(m_poly);
        dc.SetRop2(oldRop);
        dc.SetPen(oldPen);
    }
    return box;
}

void CPhotoEngine::FillPolygonMask(int value) {
    if (m_poly.size() >= 2) {
        platform::raster::ScanPolygon(
            m_poly,
            [&](const platform::raster::Span& s) {
                const int row = s.y - m_y0;
                const int from = std::max(s.x0, m_x0), to = std::min(s.x1, m_x0 + m_width);
                for (int x = from; x < to; ++x) {
                    const int col = x - m_x0;
                    if (!Inside(col, row)) continue;
                    char& m = m_mask[Index(col, row)];
                    if (m_shapeFill == 9) {
                        if (m_shapeValue == 9) {
                            m = mask::kKept;
                        } else if (m_shapeValue != 111) {
                            m = mask::kPending;
                        } else if (m != mask::kPending) {
                            BlendRingPixel(x, s.y, col, row);
                            m = mask::kPending;
                        }
                    } else if (value == 'L') {
                        BrightenMaskedPixel(col, row);
                    } else {
                        m = static_cast<char>(value);
                    }
                    if (m == mask::kWandSelected) AnyRowMayHoldSelection();
                }
            },
            m_y0, m_y0 + m_height, platform::raster::EdgeEnd::Low);
    }
    if (!(m_shapeFill == 9 && m_stickerForm != ' ')) m_poly.clear();
}

void CPhotoEngine::CommitKeepSelection() {
    if (!photoPresent()) return;
    const std::size_t n = static_cast<std::size_t>(m_width) * m_height;
    for (std::size_t i = 0; i < n; ++i)
        if (m_mask[i] == mask::kKept) m_mask[i] = mask::kRemoved;
    for (std::size_t i = 0; i < n; ++i)
        if (m_mask[i] == mask::kPending) m_mask[i] = mask::kKept;
}

template <class Fn>
void CPhotoEngine::ForRing(int col, int row, Fn&& fn) const {
    fn(col, row);
    fn(col + 1, row);
    fn(col + 1, row - 1);
    fn(col + 1, row + 1);
    fn(col - 1, row);
    fn(col - 1, row - 1);
    fn(col - 1, row + 1);
    fn(col, row - 1);
    fn(col, row + 1);
    for (int i = 3; i <= std::min(m_radius, kMaxRingRadius); ++i)
        for (const Point& d : RingOffsets()[i]) fn(col + d.x, row + d.y);
}

void CPhotoEngine::EraseAt(Surface& dc, int col, int row, int alt) {
    if (!Inside(col, row)) return;
    if (alt == 9) {
        dc.SetPixel(m_x0 + col, m_y0 + row, m_colours[Index(col, row)]);
        m_mask[Index(col, row)] = mask::kKept;
    } else {
        dc.SetPixel(m_x0 + col, m_y0 + row, BackgroundPixelAt(col, row));
        m_mask[Index(col, row)] = mask::kRemoved;
    }
}

void CPhotoEngine::StampEraser(Surface& dc, int x, int y, int alt) {
    ForRing(x - m_x0, y - m_y0, [&](int c, int r) { EraseAt(dc, c, r, alt); });
}

void CPhotoEngine::EraseLine(Surface& dc, int x1, int y1, int x2, int y2, int alt) {
    StepSegment(x1, y1, x2, y2, [&](int x, int y) { StampEraser(dc, x, y, alt); });
}

void CPhotoEngine::MagicWandAt(int x, int y) {
    const int col = x - m_x0, row = y - m_y0;
    if (!Inside(col, row) || m_mask[Index(col, row)] != mask::kKept) return;
    // The previous selection is removed for good.
    ForEachSelected([](char& m) { m = mask::kRemoved; });
    m_mask[Index(col, row)] = mask::kWandRunning;
    const ColorRef c = m_colours[Index(col, row)];
    const int ch[3] = {R(c), G(c), B(c)};
    for (int k = 0; k < 3; ++k) {
        m_lo[k] = ch[k] - 8;
        m_hi[k] = ch[k] + 8;
    }
    m_wandSeeds.clear();
    m_wandSeeds.push_back(static_cast<std::uint32_t>(Index(col, row)));
    FloodWand();
}

void CPhotoEngine::MagicWandAtView(int x, int y) {
    MagicWandAt(m_x0 + m_magCol + x / kMagnifierCell, m_y0 + m_magRow + y / kMagnifierCell);
}

int CPhotoEngine::WandPixelInRange(int col, int row) {
    if (!Inside(col, row)) return 0;
    char& m = m_mask[Index(col, row)];
    if (m != mask::kKept) return 0;
    const ColorRef c = m_colours[Index(col, row)];
    const int r = R(c), g = G(c), b = B(c);
    if (r < m_lo[0] || r > m_hi[0] || g < m_lo[1] || g > m_hi[1] || b < m_lo[2] || b > m_hi[2]) return 0;
    m = mask::kWandRunning;
    return 1;
}

void CPhotoEngine::GrowWandRegion() {
    AnyRowMayHoldSelection();
    m_wandSeeds.clear();
    const std::size_t n = static_cast<std::size_t>(m_width) * m_height;
    for (std::size_t i = 0; i < n; ++i)
        if (m_mask[i] == mask::kWandRunning) m_wandSeeds.push_back(static_cast<std::uint32_t>(i));
    FloodWand();
}

void CPhotoEngine::FloodWand() {
    if (m_photoPresent == 'Y')
        m_fill.Run(m_mask.data(), m_colours.data(), m_width, m_height, m_wandSeeds, m_lo,
                   m_wandRunsKnown ? &m_wandRuns : nullptr);
    m_wandSeeds.clear();
}

void CPhotoEngine::CancelWandSelection() {
    ForEachSelected([](char& m) { m = mask::kKept; });
}

template <class Fn>
void CPhotoEngine::ForEachSelected(Fn&& fn) {
    if (m_wandRunsKnown) {
        for (const WandRun& run : m_wandRuns)
            for (std::uint32_t i = run.start; i < run.start + run.length; ++i)
                if (m_mask[i] == mask::kWandSelected) fn(m_mask[i]);
    } else {
        const std::size_t n = static_cast<std::size_t>(m_width) * m_height;
        for (std::size_t i = 0; i < n; ++i)
            if (m_mask[i] == mask::kWandSelected) fn(m_mask[i]);
    }
    m_wandRuns.clear();
    m_wandRunsKnown = true;
}

// --- tone and make-up ------------------------------------------------------

int CPhotoEngine::AdjustBackground(int op) {
    if (!BackgroundActive() || (op != 101 && op != 102 && op != 103)) return 0;
    if (op == 103 && m_quantStep < 2) m_quantStep = 2;
    const int s = m_quantStep;
    const std::size_t n = static_cast<std::size_t>(m_bgW) * m_bgH;
    for (std::size_t i = 0; i < n; ++i) {
        ColorRef& c = m_bgColours[i];
        if (op == 101) c = PerChannel(c, Brighten110);
        if (op == 102) c = PerChannel(c, Dodge90);
        if (op == 103) c = PerChannel(c, [s](int v) { return s * (v / s); });
    }
    if (op == 103) {
        m_quantStep *= 2;
        if (m_quantStep > 62 && m_quantStep != 64) m_quantStep = 64;
    }
    return 1;
}

int CPhotoEngine::AdjustPhoto(int op) {
    if (!photoPresent() || (op != 101 && op != 102)) return 0;
    for (int row = 0; row < m_height; ++row)
        for (int col = 0; col < m_width; ++col) {
            ColorRef& c = m_colours[Index(col, row)];
            c = op == 101 ? PerChannel(c, Brighten110) : PerChannel(c, Dodge90);
        }
    return 1;
}

void CPhotoEngine::FillStrokeMask(char value) {
    if (photoPresent()) std::fill(m_stroke.begin(), m_stroke.end(), value);
}

void CPhotoEngine::BrushBrightenDodge(Surface& dc, int col, int row) {
    if (!Inside(col, row)) return;
    ColorRef& c = m_colours[Index(col, row)];
    char& touched = m_stroke[Index(col, row)];
    if (touched == ' ' && m_mode == mode::kBrightenBrush) {
        c = PerChannel(c, [](int v) {
            int n = Trunc(v * 1.05);
            if (n == v) n = v + 2;
            return std::min(n, 255);
        });
        touched = 'A';
    } else if (touched == ' ' && m_mode == mode::kDodgeBrush) {
        c = PerChannel(c, [](int v) {
            int n = Trunc(v * 0.95);
            if (n == v && v >= 3) n = v - 2;
            return n;
        });
        touched = 'A';
    }
    dc.SetPixel(m_x0 + col, m_y0 + row, c);
}

void CPhotoEngine::StampBrush(Surface& dc, int x, int y, int /*alt*/) {
    const int col = x - m_x0, row = y - m_y0;
    if (m_mode == mode::kMakeupBrush) {
        StampMakeup(dc, col, row, 0);
        return;
    }
    ForRing(col, row, [&](int c, int r) { BrushBrightenDodge(dc, c, r); });
}

void CPhotoEngine::BrushLine(Surface& dc, int x1, int y1, int x2, int y2, int alt) {
    m_stampMade = ' ';
    StepSegment(x1, y1, x2, y2, [&](int x, int y) { StampBrush(dc, x, y, alt); });
}

void CPhotoEngine::StampMakeup(Surface& dc, int x, int y, int mode) {
    if (!m_sampleTaken) return;
    const int r = std::clamp(m_radius, 1, 9);
    if (m_stampMade == 'Y') {
        const double dx = x - m_lastStampX, dy = y - m_lastStampY;
        if (Trunc(std::sqrt(dx * dx + dy * dy)) < r) return;
    }
    const int f = mode == 99 ? r : std::max(r / 3 - 1, 0);
    for (int dy = -f; dy <= f; ++dy)
        for (int dx = -f; dx <= f; ++dx) {
            const int col = x + dx, row = y + dy;
            if (!Inside(col, row)) continue;
            if (kBrushTemplate[11 + dy][12 + dx] == ' ') continue;
            if (Trunc(std::sqrt(static_cast<double>(dx * dx + dy * dy))) > f) continue;
            const ColorRef c = SampleAt(11 + dy, 11 + dx);
            m_colours[Index(col, row)] = c;
            dc.SetPixel(m_x0 + col, m_y0 + row, c);
        }
    m_lastStampX = x;
    m_lastStampY = y;
    m_stampMade = 'Y';
}

void CPhotoEngine::SampleMakeupArea(const Surface& dc, int x, int y) {
    m_sampleTaken = true;
    for (int r = 0; r < kSampleSize; ++r)
        for (int c = 0; c < kSampleSize; ++c) {
            ColorRef v = dc.GetPixel(x - 11 + c, y - 11 + r);
            if (v == platform::raster::kInvalidColor) v = m_bgColour;
            m_sample[r * kSampleStride + c] = v;
        }
}

void CPhotoEngine::SampleMakeupColor(const Surface& dc, int x, int y) {
    m_sampleTaken = true;
    ColorRef v = dc.GetPixel(x, y);
    if (v == platform::raster::kInvalidColor) v = m_bgColour;
    for (int r = 0; r < kSampleSize; ++r)
        for (int c = 0; c < kSampleSize; ++c) m_sample[r * kSampleStride + c] = v;
}

void CPhotoEngine::BrightenMaskedPixel(int col, int row) {
    if (!Inside(col, row) || m_mask[Index(col, row)] != mask::kKept) return;
    ColorRef& c = m_colours[Index(col, row)];
    c = PerChannel(c, [](int v) { return std::min(Trunc(v * 1.3), 255); });
}

int CPhotoEngine::StepRadius(int op) {
    if (op == 22222) m_radius = std::min(m_radius + 3, 9);
    if (op == 11111) m_radius = std::max(m_radius - 3, 3);
    return m_radius;
}

// --- head stickers -----------------------------------------------------------

void CPhotoEngine::SetStickerForm(char c) {
    if (c == '*')
        m_stickerForm = m_stickerForm == ' ' ? 'Y' : m_stickerForm == 'Y' ? 'L' : ' ';
    else
        m_stickerForm = c;
}

void CPhotoEngine::BuildEllipse(double cx, double cy, double rx, double ry) {
    m_poly.clear();
    const double m = rx > ry ? rx : ry;
    if (!(m > 0)) return;  // a zero box has no outline
    const double k = m < 5.08 ? 0.015 : m < 7.62 ? 0.06 : m < 25.4 ? 0.075 : 0.15;
    const double t = k * 25.4 / m;
    int n = Trunc(6.283188 / t + 0.5);
    if (n == 0) n = Trunc(6.28319 / t + 0.5);
    const Point first{Trunc(cx + rx), Trunc(cy)};
    m_poly.push_back(first);
    double a = 0;
    for (int i = 1; i <= n; ++i) {
        a += t;
        m_poly.push_back({Trunc(cx + rx * std::cos(a)), Trunc(cy + ry * std::sin(a))});
        if (m_poly.size() > 860) break;
    }
    m_poly.push_back(first);
}

void CPhotoEngine::MakeHeadSticker(int x1, int y1, int x2, int y2, int value) {
    m_shapeValue = value;
    m_shapeFill = 9;
    const int cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
    const int rx = std::abs(x1 - x2) / 2, ry = std::abs(y1 - y2) / 2;
    BuildEllipse(cx, cy, rx, ry);
    if (m_stickerForm != ' ') m_inner = m_poly;
    FillPolygonMask('x');
    if (value != 9 && (m_stickerForm == 'Y' || m_stickerForm == 'L')) {
        m_radX = rx;
        m_radY = ry;
        const int w = std::min(rx, ry) / 6;
        m_ringWidth = w;
        if (w >= 2) {
            m_ringCx = cx;
            m_ringCy = cy;
            m_shapeValue = 111;
            BuildEllipse(cx, cy, rx + w, ry + w);
            FillPolygonMask('x');
        }
    }
    m_shapeFill = 0;
    m_shapeValue = 0;
    m_poly.clear();
    m_stickerMade = true;
}

bool CPhotoEngine::SegmentIntersect(double ax, double ay, double bx, double by, double px, double py, double qx,
                                    double qy, Point& out) {
    const double ex = bx - ax, ey = by - ay, lx = qx - px, ly = qy - py;
    const double det = ex * ly - ey * lx;
    if (std::fabs(det) < 0.00001) return false;
    const double t = ((px - ax) * ly - (py - ay) * lx) / det;
    const double x = ax + t * ex, y = ay + t * ey;
    constexpr double kEps = 1e-9;
    if (x < std::min(ax, bx) - kEps || x > std::max(ax, bx) + kEps) return false;
    if (y < std::min(ay, by) - kEps || y > std::max(ay, by) + kEps) return false;
    out = {Trunc(x), Trunc(y)};
    return true;
}

bool CPhotoEngine::FindEdgeCrossing(int x, int y, int cx, int cy, Point& out) const {
    if (m_inner.size() < 2) return false;
    for (std::size_t i = 1; i < m_inner.size(); ++i)
        if (SegmentIntersect(m_inner[i - 1].x, m_inner[i - 1].y, m_inner[i].x, m_inner[i].y, x, y, cx, cy, out))
            return true;
    return false;
}

void CPhotoEngine::BlendRingPixel(int x, int y, int col, int row) {
    if (!Inside(col, row)) return;
    int e = 5;
    if (m_inner.size() < 2) m_inner.clear();
    Point cross;
    if (m_ringWidth > 0 && FindEdgeCrossing(x, y, m_ringCx, m_ringCy, cross)) {
        auto dist = [&](double px, double py) { return std::hypot(px - m_ringCx, py - m_ringCy); };
        const int d = std::clamp(Trunc(dist(x, y)) - Trunc(dist(cross.x, cross.y)), 0, m_ringWidth);
        e = d * 9 / m_ringWidth + 1;
    }
    ColorRef& c = m_colours[Index(col, row)];
    if (m_stickerForm == 'Y') {
        const ColorRef target = BackgroundPixelAt(col, row);
        c = Rgb(std::min(R(c) * (10 - e) / 10 + R(target) * e / 10, 255),
                std::min(G(c) * (10 - e) / 10 + G(target) * e / 10, 255),
                std::min(B(c) * (10 - e) / 10 + B(target) * e / 10, 255));
    } else if (m_stickerForm == 'L') {
        const int drop = e * 60 / 10;
        c = PerChannel(m_edgeColour, [drop](int v) { return std::max(v - drop, 0); });
    }
}

void CPhotoEngine::LeaveStickerMode() {
    if (m_stickerMade) CommitKeepSelection();
    m_stickerMade = false;
}

void CPhotoEngine::SetCanvasMode(int newMode) {
    if (m_mode == mode::kHeadSticker && newMode != mode::kHeadSticker) LeaveStickerMode();
    if (newMode == mode::kHeadSticker && m_mode != mode::kHeadSticker) m_stickerMade = false;
    m_mode = newMode;
}

// --- magnifier ---------------------------------------------------------------

void CPhotoEngine::SetMagnifierOrigin(int x, int y) {
    // The origin stays on the photo, wherever the pointer is.
    m_magCol = std::clamp(x - m_x0, 0, std::max(m_width - 1, 0));
    m_magRow = std::clamp(y - m_y0, 0, std::max(m_height - 1, 0));
}

int CPhotoEngine::StepMagnifier(int op) {
    if (!photoPresent()) return 0;
    switch (op) {
        case 101:
            if (m_magCol <= 0) return 0;
            m_magCol = std::max(m_magCol - m_magViewW / 3, 0);
            return 1;
        case 102:
            if (m_magCol + m_magViewW >= m_width) return 0;
            m_magCol += m_magViewW / 3;
            return 1;
        case 201:
            if (m_magRow <= 0) return 0;
            m_magRow = std::max(m_magRow - m_magViewH / 3, 0);
            return 1;
        case 202:
            if (m_magRow + m_magViewH >= m_height) return 0;
            m_magRow += m_magViewH / 3;
            return 1;
        default: return 0;
    }
}

void CPhotoEngine::DrawMagnifier(Surface& dc, const Rect& rect) const {
    if (!photoPresent()) return;
    dc.FillRect(rect.left, rect.top, rect.right, rect.bottom, 0xDEDEDE);
    const int cols = std::max(rect.Width() / kMagnifierCell, 0), rows = std::max(rect.Height() / kMagnifierCell, 0);
    for (int b = 0; b < rows; ++b)
        for (int a = 0; a < cols; ++a) {
            const int col = m_magCol + a, row = m_magRow + b;
            const ColorRef c = Inside(col, row) && m_mask[Index(col, row)] == mask::kKept
                                   ? m_colours[Index(col, row)]
                                   : BackgroundPixelAt(col, row);
            const int l = rect.left + a * kMagnifierCell, t = rect.top + b * kMagnifierCell;
            dc.FillRect(l, t, l + kMagnifierCell, t + kMagnifierCell, c);
        }
    for (int a = 0; a <= cols; ++a) {
        const int x = rect.left + a * kMagnifierCell;
        if (x < rect.right) dc.FillRect(x, rect.top, x + 1, rect.bottom, 0x808080);
    }
    for (int b = 0; b <= rows; ++b) {
        const int y = rect.top + b * kMagnifierCell;
        if (y < rect.bottom) dc.FillRect(rect.left, y, rect.right, y + 1, 0x808080);
    }
}

bool CPhotoEngine::MagnifierCellRect(int a, int b, Rect& out) const {
    out = {a * kMagnifierCell + m_magRect.left + 1, b * kMagnifierCell + m_magRect.top + 1,
           a * kMagnifierCell + m_magRect.left + 7, b * kMagnifierCell + m_magRect.top + 7};
    return a >= 0 && b >= 0 && out.right <= m_magRect.right && out.bottom <= m_magRect.bottom;
}

void CPhotoEngine::ShowCell(Surface& dc, int a, int b, ColorRef c) const {
    Rect r;
    if (MagnifierCellRect(a, b, r)) dc.FillRect(r.left, r.top, r.right, r.bottom, c);
}

void CPhotoEngine::EraseAtView(Surface& dc, int a, int b, int alt) {
    const int col = a + m_magCol, row = b + m_magRow;
    if (!Inside(col, row)) return;
    if (alt == 9) {
        m_mask[Index(col, row)] = mask::kKept;
        ShowCell(dc, a, b, m_colours[Index(col, row)]);
    } else {
        m_mask[Index(col, row)] = mask::kRemoved;
        ShowCell(dc, a, b, BackgroundPixelAt(col, row));
    }
}

void CPhotoEngine::EraseLineView(Surface& dc, int x1, int y1, int x2, int y2, int alt) {
    StepSegment(x1, y1, x2, y2, [&](int a, int b) { EraseAtView(dc, a, b, alt); });
}

void CPhotoEngine::PaintAtView(Surface& dc, int a, int b) {
    const int col = a + m_magCol, row = b + m_magRow;
    if (!Inside(col, row) || !m_sampleTaken) return;
    m_colours[Index(col, row)] = SampleAt(10, 12);
    ShowCell(dc, a, b, m_mask[Index(col, row)] == mask::kKept ? m_colours[Index(col, row)] : BackgroundPixelAt(col, row));
}

void CPhotoEngine::PaintLineView(Surface& dc, int x1, int y1, int x2, int y2) {
    StepSegment(x1, y1, x2, y2, [&](int a, int b) { PaintAtView(dc, a, b); });
}

// --- free functions ----------------------------------------------------------

namespace {
std::unique_ptr<CPhotoEngine>& EngineSlot() {
    static std::unique_ptr<CPhotoEngine> engine;
    return engine;
}
}  // namespace

CPhotoEngine& Engine() {
    auto& e = EngineSlot();
    if (!e) e = std::make_unique<CPhotoEngine>();
    return *e;
}

void ResetEngine() { EngineSlot().reset(); }

void DrawPicture(Surface& dc, const Picture& pic, int l, int t, int w, int h, double degrees) {
    if (w <= 0 || h <= 0 || pic.width <= 0 || pic.height <= 0) return;
    if (degrees == 0.0 && w == pic.width && h == pic.height) {
        const int y0 = std::max(t, 0), y1 = std::min(t + h, dc.height());
        const int x0 = std::max(l, 0), x1 = std::min(l + w, dc.width());
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) dc.SetPixel(x, y, pic.At(x - l, y - t));
        return;
    }
    // Inverse mapping: each surface pixel centre is turned back about the
    // box's centre and sampled bilinearly from the picture.
    const double cx = l + w / 2.0, cy = t + h / 2.0;
    const double rad = degrees * 3.14159265358979323846 / 180.0;
    const double cs = std::cos(rad), sn = std::sin(rad);
    const double hw = w / 2.0, hh = h / 2.0;
    const double ex = std::fabs(hw * cs) + std::fabs(hh * sn), ey = std::fabs(hw * sn) + std::fabs(hh * cs);
    const int y0 = std::max(static_cast<int>(std::floor(cy - ey)), 0);
    const int y1 = std::min(static_cast<int>(std::ceil(cy + ey)), dc.height());
    const int x0 = std::max(static_cast<int>(std::floor(cx - ex)), 0);
    const int x1 = std::min(static_cast<int>(std::ceil(cx + ex)), dc.width());
    const double sx = static_cast<double>(pic.width) / w, sy = static_cast<double>(pic.height) / h;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const double px = x + 0.5 - cx, py = y + 0.5 - cy;
            const double u = px * cs + py * sn + hw, v = -px * sn + py * cs + hh;
            if (u < 0 || v < 0 || u >= w || v >= h) continue;
            const double fx = std::clamp(u * sx - 0.5, 0.0, pic.width - 1.0);
            const double fy = std::clamp(v * sy - 0.5, 0.0, pic.height - 1.0);
            const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
            const int jx = std::min(ix + 1, pic.width - 1), jy = std::min(iy + 1, pic.height - 1);
            const double ax = fx - ix, ay = fy - iy;
            auto mix = [&](int shift) {
                auto ch = [&](ColorRef c) { return static_cast<double>((c >> shift) & 0xFF); };
                const double top = ch(pic.At(ix, iy)) * (1 - ax) + ch(pic.At(jx, iy)) * ax;
                const double bot = ch(pic.At(ix, jy)) * (1 - ax) + ch(pic.At(jx, jy)) * ax;
                return static_cast<ColorRef>(std::lround(top * (1 - ay) + bot * ay)) << shift;
            };
            dc.SetPixel(x, y, mix(0) | mix(8) | mix(16));
        }
}

}  // namespace image_editor
