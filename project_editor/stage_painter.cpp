#include "project_editor/stage_painter.h"

#include <memory>
#include <system_error>
#include <thread>

#include <wx/dcmemory.h>

#include "picture_controls/dc_draw_painter.h"
#include "platform/image/picture_cache.h"
#include "platform/raster/surface.h"
#include "platform/ui/colour.h"
#include "platform/ui/fonts.h"

namespace fs = std::filesystem;

namespace project_editor {

using platform::ui::ToColour;

void StagePainter::Clear() {
    m_pictures.Clear();
    m_layerValid = false;
    m_layer = {};
    m_shown = {};
}

namespace {

// The reference picture's drawn rectangle (its natural or scaled size, top-left at its offset).
Rect ReferenceRect(const StageScene& s) {
    return Rect::FromSize(static_cast<int>(s.referenceX), static_cast<int>(s.referenceY), static_cast<int>(s.referenceW),
                          static_cast<int>(s.referenceH));
}

bool HasReference(const StageScene& s) {
    return s.hasReference && s.referenceW >= 1 && s.referenceH >= 1 && !s.referenceClip.empty();
}

// The picture files a paint of the scene looks at: the reference when it is
// drawn, the parts with a file and a box, the overlay.
std::vector<std::filesystem::path> SceneFiles(const StageScene& s) {
    std::vector<std::filesystem::path> files;
    files.reserve(s.parts.size() + 2);
    if (HasReference(s)) files.push_back(s.reference);
    for (const ScenePicture& p : s.parts)
        if (!p.path.empty() && !p.box.empty()) files.push_back(p.path);
    if (!s.overlay.empty()) files.push_back(s.overlay);
    return files;
}

}  // namespace

Rect StagePainter::PaintBuffer(wxBitmap& buffer, const StageScene& s, const picture_controls::CDrawItemList* items) {
    const LayerKey key = items ? KeyOf(*items, s.stage) : LayerKey{};
    // An item being drawn and the rubber band change with every move.
    const bool live = items && (items->RubberBandShown() || key.building);
    const std::vector<std::filesystem::path> files = SceneFiles(s);
    bool same = m_shown.valid && !live && m_shown.size == buffer.GetSize() && m_shown.items == key.hash &&
                m_shown.scene == s;
    // The same stage: still the same unless one of its picture files changed
    // on disk (each looked at once, nothing decoded).
    auto& cache = platform::image::PictureCache::Instance();
    for (std::size_t i = 0; same && i < files.size(); ++i) same = cache.Held(files[i]) == m_shown.sources[i];
    if (same) return m_shown.caption;

    picture_controls::PicturePainter::Pass pass(m_pictures);
    Rect caption;
    {
        wxMemoryDC dc(buffer);
        caption = PaintKeyed(dc, s, items, key);
    }
    std::vector<std::shared_ptr<const wxImage>> sources;
    sources.reserve(files.size());
    for (const auto& f : files) sources.push_back(m_pictures.Checked(f));
    m_shown = {true, s, key.hash, buffer.GetSize(), std::move(sources), caption};
    return caption;
}

void StagePainter::DrawReference(wxDC& dc, const StageScene& s) {
    if (!HasReference(s)) return;
    const Rect& clip = s.referenceClip;
    wxDCClipper clipper(dc, wxRect(clip.left, clip.top, clip.width(), clip.height()));
    if (s.referenceAngle % 360 == 0) {
        m_pictures.DrawPicture(dc, s.reference, ReferenceRect(s), false);
        return;
    }
    m_pictures.DrawTurnedPicture(dc, s.reference, ReferenceRect(s), s.referenceAngle,
                                 (clip.left + clip.right) / 2.0, (clip.top + clip.bottom) / 2.0);
}

void StagePainter::PaintPictures(wxDC& dc, const StageScene& s) {
    // Every picture this paint needs that is not scaled yet, decoded and
    // scaled together on all cores first.
    picture_controls::PaintOps wanted;
    wanted.reserve(s.parts.size() + 2);
    if (HasReference(s) && s.referenceAngle % 360 == 0)
        wanted.push_back(picture_controls::PaintOp::Picture(s.reference, ReferenceRect(s)));
    for (const ScenePicture& p : s.parts) wanted.push_back(picture_controls::PaintOp::Picture(p.path, p.box));
    if (!s.overlay.empty())
        wanted.push_back(picture_controls::PaintOp::Natural(s.overlay, {s.stage.left + 1, s.stage.top + 1}));
    m_pictures.Prepare(dc, wanted);

    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(ToColour(s.background)));
    dc.DrawRectangle(s.stage.left, s.stage.top, s.stage.width(), s.stage.height());
    DrawReference(dc, s);
    for (const ScenePicture& p : s.parts) m_pictures.DrawPicture(dc, p.path, p.box, false);
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
    if (!s.overlay.empty())
        m_pictures.DrawPicture(dc, s.overlay, Rect::FromSize(s.stage.left + 1, s.stage.top + 1, 0, 0), true);
    if (feedback && (s.focusRect || s.captionFocus)) {
        picture_controls::DcDrawPainter painter(dc);
        if (s.focusRect) painter.FocusRect(s.focus.left, s.focus.top, s.focus.right, s.focus.bottom);
        if (s.captionFocus) painter.FocusRect(caption.left, caption.top, caption.right, caption.bottom);
    }
    return caption;
}

Rect StagePainter::Paint(wxDC& dc, const StageScene& s, const picture_controls::CDrawItemList* items) {
    picture_controls::PicturePainter::Pass pass(m_pictures);
    return PaintKeyed(dc, s, items, items ? KeyOf(*items, s.stage) : LayerKey{});
}

Rect StagePainter::PaintKeyed(wxDC& dc, const StageScene& s, const picture_controls::CDrawItemList* items,
                              const LayerKey& key) {
    // An item layer that must be made again is drawn on our surface on a
    // thread of its own while the pictures are decoded and scaled.
    std::thread layer;
    if (items) {
        if (!LayerCurrent(key)) {
            try {
                layer = std::thread([this, items, key, stage = s.stage] { MakeItemLayer(*items, key, stage); });
            } catch (const std::system_error&) {
                MakeItemLayer(*items, key, s.stage);
            }
        }
    }
    PaintPictures(dc, s);
    if (layer.joinable()) layer.join();
    if (items) PaintItemsKeyed(dc, *items, s.stage, key);
    return PaintTop(dc, s, true);
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
    m_layer = {};
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
    // Transparent to start with: every pixel an item draws becomes opaque.
    m_layer = platform::raster::Surface::WithArgb(box.width(), box.height(), 0);
    picture_controls::RasterDrawPainter painter(m_layer);
    list->DrawAll(painter);
    m_layerAt = {box.left, box.top};
}

StagePainter::LayerKey StagePainter::KeyOf(const picture_controls::CDrawItemList& items, const Rect& stage) {
    const int count = items.itemCount();
    LayerKey key;
    key.building = count > 0 && items.currentItem() == count - 1;
    key.finished = key.building ? count - 1 : count;
    key.hash = 1469598103934665603ull;
    const int geometry[] = {stage.left, stage.top, stage.right, stage.bottom, key.finished};
    key.hash = Fnv(key.hash, geometry, sizeof geometry);
    for (int i = 0; i < key.finished; ++i) {
        key.hash = Fnv(key.hash, &items.item(i), sizeof(picture_controls::DrawingItem));
        const auto points = items.pointsOf(i);
        key.hash = Fnv(key.hash, points.data(), points.size_bytes());
    }
    return key;
}

bool StagePainter::LayerCurrent(const LayerKey& key) const { return m_layerValid && key.hash == m_layerKey; }

void StagePainter::MakeItemLayer(const picture_controls::CDrawItemList& items, const LayerKey& key, const Rect& stage) {
    BuildItemLayer(items, key.finished, stage);
    m_layerKey = key.hash;
    m_layerValid = true;
}

void StagePainter::PaintItems(wxDC& dc, const picture_controls::CDrawItemList& items, const Rect& stage) {
    PaintItemsKeyed(dc, items, stage, KeyOf(items, stage));
}

void StagePainter::PaintItemsKeyed(wxDC& dc, const picture_controls::CDrawItemList& items, const Rect& stage,
                                   const LayerKey& key) {
    if (!LayerCurrent(key)) MakeItemLayer(items, key, stage);
    picture_controls::DrawCoverSurface(dc, m_layer, m_layerAt.x, m_layerAt.y);
    picture_controls::DcDrawPainter painter(dc);
    if (key.building) {
        auto current = std::make_unique<picture_controls::CDrawItemList>();
        CopyItems(items, key.finished, key.finished + 1, 0, 0, *current, false);
        current->DrawAll(painter);
    }
    items.PaintRubberBand(painter);
}

wxImage RenderStagePicture(StagePainter& painter, const StageScene& scene,
                           const picture_controls::CDrawItemList& items) {
    const int w = scene.stage.width(), h = scene.stage.height();
    if (w <= 0 || h <= 0) return {};
    picture_controls::PicturePainter::Pass pass(painter.pictures());
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
