#include "fitting_room/picture_painter.h"

#include <wx/graphics.h>

#include "platform/image/picture_cache.h"
#include "platform/ui/colour.h"
#include "platform/ui/resources.h"

namespace fitting_room {

namespace {

// Larger pictures are drawn scaled on the fly rather than kept.
constexpr long long kMaxKeptPixels = 4096LL * 4096LL;

}  // namespace

void PicturePainter::Paint(wxDC& dc, const PaintOps& ops) {
    for (const PaintOp& op : ops) {
        switch (op.kind) {
        case PaintOp::Kind::Picture:
            DrawPicture(dc, op.path, op.dest, op.natural);
            break;
        case PaintOp::Kind::Fill: {
            const wxColour c = platform::ui::ToColour(op.colour);
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.SetBrush(wxBrush(c));
            dc.DrawRectangle(op.dest.left, op.dest.top, op.dest.width(), op.dest.height());
            break;
        }
        case PaintOp::Kind::Icon:
            DrawIcon(dc, op.resource, op.dest);
            break;
        }
    }
}

const wxBitmap* PicturePainter::ScaledBitmap(const std::filesystem::path& path, int w, int h) {
    auto image = platform::image::CachedPicture(path);
    if (!image || !image->IsOk()) return nullptr;
    if (w <= 0 || h <= 0) {
        w = image->GetWidth();
        h = image->GetHeight();
    }
    const std::string key = path.string() + '\n' + std::to_string(w) + 'x' + std::to_string(h);
    if (auto it = m_scaled.find(key); it != m_scaled.end()) {
        if (it->second.source == image) {
            m_lru.splice(m_lru.begin(), m_lru, it->second.lru);
            return &it->second.bitmap;
        }
        m_bytes -= it->second.bytes;
        m_lru.erase(it->second.lru);
        m_scaled.erase(it);
    }
    wxImage scaled = (w == image->GetWidth() && h == image->GetHeight())
                         ? *image
                         : image->Scale(w, h, wxIMAGE_QUALITY_HIGH);
    Scaled entry;
    entry.source = image;
    entry.bitmap = wxBitmap(scaled);
    entry.bytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4;
    m_lru.push_front(key);
    entry.lru = m_lru.begin();
    m_bytes += entry.bytes;
    auto [it, inserted] = m_scaled.emplace(key, std::move(entry));
    (void)inserted;
    const wxBitmap* result = &it->second.bitmap;
    Trim();
    return result;
}

void PicturePainter::Trim() {
    while (m_lru.size() > 1 && m_bytes > m_maxBytes) {
        auto it = m_scaled.find(m_lru.back());
        m_bytes -= it->second.bytes;
        m_scaled.erase(it);
        m_lru.pop_back();
    }
}

void PicturePainter::DrawPicture(wxDC& dc, const std::filesystem::path& path, const Rect& dest, bool natural) {
    if (path.empty()) return;
    if (natural) {
        if (const wxBitmap* bmp = ScaledBitmap(path, 0, 0)) dc.DrawBitmap(*bmp, dest.left, dest.top, true);
        return;
    }
    if (dest.empty()) return;
    if (static_cast<long long>(dest.width()) * dest.height() > kMaxKeptPixels) {
        // A picture blown up beyond any screen: let the graphics context scale
        // it while drawing, without a bitmap of that size.
        auto image = platform::image::CachedPicture(path);
        if (!image || !image->IsOk()) return;
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::CreateFromUnknownDC(dc));
        if (!gc) return;
        gc->SetInterpolationQuality(wxINTERPOLATION_BEST);
        gc->DrawBitmap(wxBitmap(*image), dest.left, dest.top, dest.width(), dest.height());
        return;
    }
    if (const wxBitmap* bmp = ScaledBitmap(path, dest.width(), dest.height()))
        dc.DrawBitmap(*bmp, dest.left, dest.top, true);
}

void PicturePainter::DrawIcon(wxDC& dc, int resource, const Rect& dest) {
    auto it = m_icons.find(resource);
    if (it == m_icons.end()) {
        const wxIcon icon = platform::ui::LoadIconResource(resource);
        it = m_icons.emplace(resource, icon.IsOk() ? wxBitmap(icon) : wxBitmap()).first;
    }
    if (!it->second.IsOk()) return;
    wxBitmap bmp = it->second;
    if (bmp.GetWidth() != dest.width() || bmp.GetHeight() != dest.height()) {
        if (dest.empty()) return;
        bmp = wxBitmap(bmp.ConvertToImage().Scale(dest.width(), dest.height(), wxIMAGE_QUALITY_HIGH));
        it->second = bmp;
    }
    dc.DrawBitmap(bmp, dest.left, dest.top, true);
}

void PicturePainter::Clear() {
    m_scaled.clear();
    m_lru.clear();
    m_bytes = 0;
    m_icons.clear();
}

}  // namespace fitting_room
