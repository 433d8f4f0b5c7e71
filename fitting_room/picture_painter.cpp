#include "fitting_room/picture_painter.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <unordered_set>
#include <vector>
#include <wx/graphics.h>

#include "platform/image/picture_cache.h"
#include "platform/ui/colour.h"
#include "platform/ui/resources.h"

namespace fitting_room {

namespace {

// Larger pictures are drawn scaled on the fly rather than kept.
constexpr long long kMaxKeptPixels = 4096LL * 4096LL;

// Shrinking averages the covered pixels; enlarging (a room background
// stretched to a wide stage) takes the bilinear filter, which at a stage's
// small factors looks the same as the bicubic one at a fraction of its time.
wxImageResizeQuality ScaleQuality(const wxImage& source, int w, int h) {
    return w > source.GetWidth() || h > source.GetHeight() ? wxIMAGE_QUALITY_BILINEAR
                                                           : wxIMAGE_QUALITY_HIGH;
}
}  // namespace

void PicturePainter::Paint(wxDC& dc, const PaintOps& ops) {
    Prepare(ops);
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

static std::string ScaledKey(const std::filesystem::path& path, int w, int h) {
    return path.string() + '\n' + std::to_string(w) + 'x' + std::to_string(h);
}

void PicturePainter::Prepare(const PaintOps& ops) {
    // Which pictures are drawn scaled (or at their own size) and not kept.
    struct Want {
        std::filesystem::path path;
        int w = 0, h = 0;  // 0 x 0: the picture's own size
    };
    std::vector<Want> wants;
    for (const PaintOp& op : ops) {
        if (op.kind != PaintOp::Kind::Picture || op.path.empty()) continue;
        if (op.natural) {
            wants.push_back({op.path, 0, 0});
        } else if (!op.dest.empty() &&
                   static_cast<long long>(op.dest.width()) * op.dest.height() <= kMaxKeptPixels) {
            wants.push_back({op.path, op.dest.width(), op.dest.height()});
        }
    }
    std::vector<std::filesystem::path> sources;
    for (const Want& want : wants) sources.push_back(want.path);
    auto& cache = platform::image::PictureCache::Instance();
    cache.Prefetch(sources);

    struct Job {
        std::string key;
        std::shared_ptr<const wxImage> source;
        int w = 0, h = 0;
        wxImage scaled;  // left invalid when the size is the picture's own
    };
    std::vector<Job> jobs;
    std::unordered_set<std::string> queued;
    for (const Want& want : wants) {
        auto image = cache.Get(want.path);
        if (!image || !image->IsOk()) continue;
        const int w = want.w > 0 ? want.w : image->GetWidth();
        const int h = want.h > 0 ? want.h : image->GetHeight();
        std::string key = ScaledKey(want.path, w, h);
        if (auto it = m_scaled.find(key); it != m_scaled.end() && it->second.source == image) continue;
        if (!queued.insert(key).second) continue;
        jobs.push_back(Job{std::move(key), std::move(image), w, h, {}});
    }
    if (jobs.empty()) return;
    // The largest pictures start first, so one big background does not run
    // alone at the end.
    std::sort(jobs.begin(), jobs.end(), [](const Job& a, const Job& b) {
        return static_cast<long long>(a.w) * a.h > static_cast<long long>(b.w) * b.h;
    });
    // Scaling reads the shared decoded pictures and writes only its own.
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < jobs.size();) {
            Job& job = jobs[i];
            if (job.w != job.source->GetWidth() || job.h != job.source->GetHeight())
                job.scaled = job.source->Scale(job.w, job.h, ScaleQuality(*job.source, job.w, job.h));
        }
    };
    const unsigned threads =
        std::min<unsigned>(std::max(1u, std::thread::hardware_concurrency()), static_cast<unsigned>(jobs.size()));
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
    for (auto& t : pool) t.join();
    for (Job& job : jobs) Keep(job.key, job.source, job.scaled.IsOk() ? job.scaled : *job.source);
}

const wxBitmap* PicturePainter::Keep(const std::string& key, std::shared_ptr<const wxImage> source,
                                     const wxImage& scaled) {
    if (auto it = m_scaled.find(key); it != m_scaled.end()) {
        m_bytes -= it->second.bytes;
        m_lru.erase(it->second.lru);
        m_scaled.erase(it);
    }
    Scaled entry;
    entry.source = std::move(source);
    entry.bitmap = wxBitmap(scaled);
    entry.bytes = static_cast<std::size_t>(scaled.GetWidth()) * static_cast<std::size_t>(scaled.GetHeight()) * 4;
    m_lru.push_front(key);
    entry.lru = m_lru.begin();
    m_bytes += entry.bytes;
    auto [it, inserted] = m_scaled.emplace(key, std::move(entry));
    (void)inserted;
    const wxBitmap* result = &it->second.bitmap;
    Trim();
    return result;
}

const wxBitmap* PicturePainter::ScaledBitmap(const std::filesystem::path& path, int w, int h) {
    auto image = platform::image::CachedPicture(path);
    if (!image || !image->IsOk()) return nullptr;
    if (w <= 0 || h <= 0) {
        w = image->GetWidth();
        h = image->GetHeight();
    }
    const std::string key = ScaledKey(path, w, h);
    if (auto it = m_scaled.find(key); it != m_scaled.end() && it->second.source == image) {
        m_lru.splice(m_lru.begin(), m_lru, it->second.lru);
        return &it->second.bitmap;
    }
    const bool own = w == image->GetWidth() && h == image->GetHeight();
    return Keep(key, image, own ? *image : image->Scale(w, h, ScaleQuality(*image, w, h)));
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
