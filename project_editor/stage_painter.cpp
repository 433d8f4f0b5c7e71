#include "project_editor/stage_painter.h"

#include <cmath>
#include <memory>

#include <wx/dcmemory.h>
#include <wx/graphics.h>

#include "picture_controls/dc_draw_painter.h"
#include "platform/image/picture_cache.h"
#include "platform/raster/surface.h"
#include "platform/ui/colour.h"
#include "platform/ui/fonts.h"

namespace fs = std::filesystem;

namespace project_editor {

using platform::ui::ToColour;

void StagePainter::Clear() {
    m_scaled.clear();
    m_lru.clear();
    m_bytes = 0;
}

void StagePainter::Trim() {
    while (m_bytes > m_maxBytes && m_lru.size() > 1) {
        const auto it = m_scaled.find(m_lru.back());
        if (it != m_scaled.end()) {
            m_bytes -= it->second.bytes;
            m_scaled.erase(it);
        }
        m_lru.pop_back();
    }
}

const wxBitmap* StagePainter::Scaled(const fs::path& path, int w, int h) {
    if (w <= 0 || h <= 0 || w > 16000 || h > 16000) return nullptr;
    const std::string key = path.string() + '|' + std::to_string(w) + 'x' + std::to_string(h);
    if (auto it = m_scaled.find(key); it != m_scaled.end()) {
        m_lru.splice(m_lru.begin(), m_lru, it->second.lru);
        return &it->second.bitmap;
    }
    auto image = platform::image::CachedPicture(path);
    if (!image || !image->IsOk()) return nullptr;
    wxImage scaled = (image->GetWidth() == w && image->GetHeight() == h)
                         ? *image
                         : image->Scale(w, h, wxIMAGE_QUALITY_HIGH);
    m_lru.push_front(key);
    Entry e;
    e.bitmap = wxBitmap(scaled);
    e.bytes = static_cast<std::size_t>(w) * h * 4;
    e.lru = m_lru.begin();
    m_bytes += e.bytes;
    auto [it, inserted] = m_scaled.emplace(key, std::move(e));
    Trim();
    return &it->second.bitmap;
}

void StagePainter::DrawReference(wxDC& dc, const StageScene& s) {
    if (!s.hasReference || s.referenceW < 1 || s.referenceH < 1 || s.referenceClip.empty()) return;
    const Rect& clip = s.referenceClip;
    wxDCClipper clipper(dc, wxRect(clip.left, clip.top, clip.width(), clip.height()));
    const int w = static_cast<int>(s.referenceW), h = static_cast<int>(s.referenceH);
    const wxBitmap* bmp = Scaled(s.reference, w, h);
    if (!bmp) return;
    if (s.referenceAngle % 360 == 0) {
        dc.DrawBitmap(*bmp, static_cast<int>(s.referenceX), static_cast<int>(s.referenceY), true);
        return;
    }
    auto* memory = dynamic_cast<wxMemoryDC*>(&dc);
    std::unique_ptr<wxGraphicsContext> gc(memory ? wxGraphicsContext::Create(*memory) : nullptr);
    if (!gc) return;
    gc->Clip(clip.left, clip.top, clip.width(), clip.height());
    const double cx = (clip.left + clip.right) / 2.0, cy = (clip.top + clip.bottom) / 2.0;
    gc->Translate(cx, cy);
    gc->Rotate(s.referenceAngle * 3.14159265358979 / 180.0);
    gc->Translate(-cx, -cy);
    gc->DrawBitmap(*bmp, s.referenceX, s.referenceY, w, h);
}

void StagePainter::PaintPictures(wxDC& dc, const StageScene& s) {
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(ToColour(s.background)));
    dc.DrawRectangle(s.stage.left, s.stage.top, s.stage.width(), s.stage.height());
    DrawReference(dc, s);
    for (const ScenePicture& p : s.parts) {
        if (const wxBitmap* bmp = Scaled(p.path, p.box.width(), p.box.height()))
            dc.DrawBitmap(*bmp, p.box.left, p.box.top, true);
    }
}

Rect StagePainter::PaintTop(wxDC& dc, const StageScene& s, bool feedback) {
    wxFont font = m_font.IsOk() ? m_font : platform::ui::MakeFont(13);
    font.SetPixelSize(wxSize(0, std::max(1, s.captionHeight)));
    dc.SetFont(font);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetTextForeground(ToColour(s.captionColour));
    const wxString text = wxString::FromUTF8(s.caption);
    const wxSize extent = dc.GetTextExtent(text);
    dc.DrawText(text, s.captionAt.x, s.captionAt.y);
    const Rect caption = Rect::FromSize(s.captionAt.x, s.captionAt.y, extent.x, extent.y);
    if (s.frame && !s.frameRect.empty()) {
        const Rect& f = s.frameRect;
        dc.SetPen(wxPen(ToColour(kFrameDark)));
        dc.DrawLine(f.left, f.bottom - 1, f.left, f.top);
        dc.DrawLine(f.left, f.top, f.right - 1, f.top);
        dc.SetPen(wxPen(ToColour(kFrameLight)));
        dc.DrawLine(f.right - 1, f.top, f.right - 1, f.bottom - 1);
        dc.DrawLine(f.right - 1, f.bottom - 1, f.left - 1, f.bottom - 1);
    }
    if (!s.overlay.empty()) {
        if (auto image = platform::image::CachedPicture(s.overlay); image && image->IsOk()) {
            if (const wxBitmap* bmp = Scaled(s.overlay, image->GetWidth(), image->GetHeight()))
                dc.DrawBitmap(*bmp, s.stage.left + 1, s.stage.top + 1, true);
        }
    }
    if (feedback && (s.focusRect || s.captionFocus)) {
        picture_controls::DcDrawPainter painter(dc);
        if (s.focusRect) painter.FocusRect(s.focus.left, s.focus.top, s.focus.right, s.focus.bottom);
        if (s.captionFocus) painter.FocusRect(caption.left, caption.top, caption.right, caption.bottom);
    }
    return caption;
}

Rect StagePainter::Paint(wxDC& dc, const StageScene& s, const picture_controls::CDrawItemList* items,
                         Options options) {
    PaintPictures(dc, s);
    if (items && options.items) PaintItems(dc, *items, s.stage);
    return PaintTop(dc, s, options.feedback);
}

namespace {

// The finished items (or the one being drawn) copied into a fresh list,
// moved by (dx, dy).
void CopyItems(const picture_controls::CDrawItemList& from, int first, int last, int dx, int dy,
               picture_controls::CDrawItemList& to, bool endLast) {
    for (int i = first; i < last; ++i) {
        const picture_controls::DrawingItem& item = from.item(i);
        to.SetWidth(item.width);
        to.SetColor(item.colour);
        to.AddItem(item.kind);
        for (const auto& p : from.pointsOf(i)) to.AddPoint(p.x + dx, p.y + dy);
        if (i + 1 < last || endLast) to.EndItem();
    }
}

std::uint64_t Fnv(std::uint64_t h, const void* data, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    return h;
}

}  // namespace

void StagePainter::BuildItemLayer(const picture_controls::CDrawItemList& items, int finished, const Rect& stage) {
    m_layer = wxBitmap();
    // The box the items cover, with room for their widest pen.
    Rect box{stage.right, stage.bottom, stage.left, stage.top};
    int pen = 1;
    for (int i = 0; i < finished; ++i) {
        pen = std::max(pen, static_cast<int>(items.item(i).width));
        for (const auto& p : items.pointsOf(i)) {
            box.left = std::min(box.left, p.x);
            box.top = std::min(box.top, p.y);
            box.right = std::max(box.right, p.x + 1);
            box.bottom = std::max(box.bottom, p.y + 1);
        }
    }
    box = box.Inflate(pen + 2);
    box = {std::max(box.left, stage.left), std::max(box.top, stage.top), std::min(box.right, stage.right),
           std::min(box.bottom, stage.bottom)};
    if (box.empty()) return;
    auto list = std::make_unique<picture_controls::CDrawItemList>();
    CopyItems(items, 0, finished, -box.left, -box.top, *list, true);
    // Drawn twice on two background colours: a pixel that keeps its
    // background in both is not covered by any item.
    constexpr platform::raster::ColorRef kKeyA = 0x030201, kKeyB = 0xFCFDFE;
    platform::raster::Surface a(box.width(), box.height(), kKeyA), b(box.width(), box.height(), kKeyB);
    picture_controls::RasterDrawPainter pa(a), pb(b);
    list->DrawAll(pa);
    list->DrawAll(pb);
    wxImage image(box.width(), box.height(), false);
    image.InitAlpha();
    unsigned char* rgb = image.GetData();
    unsigned char* alpha = image.GetAlpha();
    for (int y = 0; y < box.height(); ++y) {
        const platform::raster::Argb* ra = a.Row(y);
        const platform::raster::Argb* rb = b.Row(y);
        for (int x = 0; x < box.width(); ++x, rgb += 3, ++alpha) {
            const bool covered = platform::raster::ToColorRef(ra[x]) != kKeyA ||
                                 platform::raster::ToColorRef(rb[x]) != kKeyB;
            rgb[0] = static_cast<unsigned char>(ra[x] >> 16);
            rgb[1] = static_cast<unsigned char>(ra[x] >> 8);
            rgb[2] = static_cast<unsigned char>(ra[x]);
            *alpha = covered ? 255 : 0;
        }
    }
    m_layer = wxBitmap(image, 32);
    m_layerAt = {box.left, box.top};
}

void StagePainter::PaintItems(wxDC& dc, const picture_controls::CDrawItemList& items, const Rect& stage) {
    const int count = items.itemCount();
    const bool building = count > 0 && items.currentItem() == count - 1;
    const int finished = building ? count - 1 : count;
    std::uint64_t key = 1469598103934665603ull;
    const int geometry[] = {stage.left, stage.top, stage.right, stage.bottom, finished};
    key = Fnv(key, geometry, sizeof geometry);
    for (int i = 0; i < finished; ++i) {
        key = Fnv(key, &items.item(i), sizeof(picture_controls::DrawingItem));
        const auto points = items.pointsOf(i);
        key = Fnv(key, points.data(), points.size_bytes());
    }
    if (!m_layerValid || key != m_layerKey) {
        BuildItemLayer(items, finished, stage);
        m_layerKey = key;
        m_layerValid = true;
    }
    if (m_layer.IsOk()) dc.DrawBitmap(m_layer, m_layerAt.x, m_layerAt.y, true);
    picture_controls::DcDrawPainter painter(dc);
    if (building) {
        auto current = std::make_unique<picture_controls::CDrawItemList>();
        CopyItems(items, count - 1, count, 0, 0, *current, false);
        current->DrawAll(painter);
    }
    items.PaintRubberBand(painter);
}

wxImage RenderStagePicture(StagePainter& painter, const StageScene& scene,
                           const picture_controls::CDrawItemList& items) {
    const int w = scene.stage.width(), h = scene.stage.height();
    if (w <= 0 || h <= 0) return {};
    StageScene local = scene;
    const int dx = -scene.stage.left, dy = -scene.stage.top;
    local.stage = scene.stage.Offset(dx, dy);
    // Pictures through the toolkit.
    wxBitmap bitmap(w, h, 24);
    {
        wxMemoryDC dc(bitmap);
        painter.PaintPictures(dc, local);
    }
    // Items through our raster surface, with the pixel rules of stored pictures.
    wxImage image = bitmap.ConvertToImage();
    platform::raster::Surface surface(w, h);
    const unsigned char* rgb = image.GetData();
    for (int y = 0; y < h; ++y) {
        platform::raster::Argb* row = surface.Row(y);
        for (int x = 0; x < w; ++x, rgb += 3) row[x] = 0xFF000000u | (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
    }
    picture_controls::RasterDrawPainter raster(surface);
    items.DrawAll(raster);
    unsigned char* out = image.GetData();
    for (int y = 0; y < h; ++y) {
        const platform::raster::Argb* row = surface.Row(y);
        for (int x = 0; x < w; ++x, out += 3) {
            out[0] = static_cast<unsigned char>(row[x] >> 16);
            out[1] = static_cast<unsigned char>(row[x] >> 8);
            out[2] = static_cast<unsigned char>(row[x]);
        }
    }
    // Caption, frame and overlay on top.
    wxBitmap top(image);
    {
        wxMemoryDC dc(top);
        local.focusRect = local.captionFocus = false;
        painter.PaintTop(dc, local, false);
    }
    return top.ConvertToImage();
}

}  // namespace project_editor
