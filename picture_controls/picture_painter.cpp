#include "picture_controls/picture_painter.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <atomic>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>
#include <cairo.h>
#include <wx/graphics.h>

#include "picture_controls/picture_scaler.h"
#include "picture_controls/surface_image.h"
#include "platform/image/picture_cache.h"
#include "platform/ui/colour.h"
#include "platform/ui/resources.h"

namespace picture_controls {

namespace {

// A visible part larger than this is drawn scaled on the fly rather than kept.
constexpr long long kMaxKeptPixels = 4096LL * 4096LL;
// Rows of one result that a thread scales at a time.
constexpr int kBandRows = 48;
// A picture of at most this many rows is scaled by the thread that decoded it.
constexpr int kInlineRows = 4 * kBandRows;

// A surface over memory of our own, not cleared: the scaler writes every
// pixel, and clearing megabytes first costs as much as scaling them.
std::shared_ptr<cairo_surface_t> NewSurface(const wxImage& source, int w, int h) {
    const cairo_format_t format = source.HasAlpha() ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
    const int stride = cairo_format_stride_for_width(format, w);
    if (stride <= 0 || h <= 0) return nullptr;
    auto* data = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(stride) * static_cast<std::size_t>(h)));
    if (!data) return nullptr;
    cairo_surface_t* s = cairo_image_surface_create_for_data(data, format, w, h, stride);
    static cairo_user_data_key_t owner;
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_set_user_data(s, &owner, data, std::free) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        std::free(data);
        return nullptr;
    }
    return std::shared_ptr<cairo_surface_t>(s, cairo_surface_destroy);
}

SourcePlanes Planes(const wxImage& image) {
    SourcePlanes p;
    p.rgb = image.GetData();
    p.alpha = image.HasAlpha() ? image.GetAlpha() : nullptr;
    p.width = image.GetWidth();
    p.height = image.GetHeight();
    return p;
}

// Everything: no window edge to cut pictures at.
constexpr Rect kEverywhere{INT_MIN / 4, INT_MIN / 4, INT_MAX / 4, INT_MAX / 4};

// The logical rectangle a device context covers.
Rect DcArea(wxDC& dc) {
    const wxSize size = dc.GetSize();
    if (size.x <= 0 || size.y <= 0) return kEverywhere;
    return Rect{dc.DeviceToLogicalX(0), dc.DeviceToLogicalY(0), dc.DeviceToLogicalX(size.x),
                dc.DeviceToLogicalY(size.y)};
}

// The part of a w x h picture at (left, top) inside `area`, relative to the
// picture's corner.
Rect VisiblePart(int left, int top, int w, int h, const Rect& area) {
    return Rect{std::clamp(area.left - left, 0, w), std::clamp(area.top - top, 0, h),
                std::clamp(area.right - left, 0, w), std::clamp(area.bottom - top, 0, h)};
}

bool Kept(const Rect& part) {
    return static_cast<long long>(part.width()) * part.height() <= kMaxKeptPixels;
}

// The part of a picture drawn into `dest` and turned by `radians` about
// (cx, cy) that shows in `area`, relative to the picture's corner: the area
// turned back, its bounding box, with room for the filter at its edges.
Rect TurnedPart(const Rect& dest, const Rect& area, double radians, double cx, double cy) {
    const double c = std::cos(radians), s = std::sin(radians);
    double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
    for (const int x : {area.left, area.right})
        for (const int y : {area.top, area.bottom}) {
            const double dx = x - cx, dy = y - cy;
            const double px = cx + dx * c + dy * s, py = cy - dx * s + dy * c;
            x0 = std::min(x0, px);
            y0 = std::min(y0, py);
            x1 = std::max(x1, px);
            y1 = std::max(y1, py);
        }
    constexpr double kMargin = 2;
    auto edge = [](double v, int origin, int size) {
        return static_cast<int>(std::clamp(v - origin, 0.0, static_cast<double>(size)));
    };
    return Rect{edge(std::floor(x0 - kMargin), dest.left, dest.width()),
                edge(std::floor(y0 - kMargin), dest.top, dest.height()),
                edge(std::ceil(x1 + kMargin), dest.left, dest.width()),
                edge(std::ceil(y1 + kMargin), dest.top, dest.height())};
}

// The device context's area, cut to its clipping box when it has one.
Rect ClippedArea(wxDC& dc) {
    Rect area = DcArea(dc);
    wxRect box;
    if (dc.GetClippingBox(box))
        area = Rect{std::max(area.left, box.GetLeft()), std::max(area.top, box.GetTop()),
                    std::min(area.right, box.GetRight() + 1), std::min(area.bottom, box.GetBottom() + 1)};
    return area;
}

// A picture drawn into `dest`, turned by `radians` about (cx, cy), with the
// graphics context scaling it while drawing: no kept pixels of that size.
void DrawUnkept(wxDC& dc, const wxImage& image, const Rect& dest, double radians, double cx, double cy) {
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::CreateFromUnknownDC(dc));
    if (!gc) return;
    gc->SetInterpolationQuality(wxINTERPOLATION_BEST);
    if (radians != 0) {
        gc->Translate(cx, cy);
        gc->Rotate(radians);
        gc->Translate(-cx, -cy);
    }
    gc->DrawBitmap(wxBitmap(image), dest.left, dest.top, dest.width(), dest.height());
}

void ScaleInto(const PictureScaler& scaler, cairo_surface_t* surface, int y0, int y1) {
    scaler.ScaleRows(reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface)),
                     cairo_image_surface_get_stride(surface), y0, y1);
}

// The kept pixels as a toolkit bitmap, for a device context that is not
// drawn through cairo.
wxBitmap SurfaceBitmap(cairo_surface_t* surface) {
    const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const bool alpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    wxImage image(w, h, false);
    if (alpha) image.InitAlpha();
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = row[x];
            const unsigned a = alpha ? p >> 24 : 255;
            auto un = [a](unsigned c) { return static_cast<unsigned char>(a ? std::min(255u, (c * 255 + a / 2) / a) : 0); };
            image.SetRGB(x, y, un((p >> 16) & 0xFF), un((p >> 8) & 0xFF), un(p & 0xFF));
            if (alpha) image.SetAlpha(x, y, static_cast<unsigned char>(a));
        }
    }
    return wxBitmap(image);
}

}  // namespace

PicturePainter::Pass::~Pass() {
    if (--m_painter.m_passes == 0) m_painter.m_checked.clear();
}

std::shared_ptr<const wxImage> PicturePainter::Source(const std::filesystem::path& path) {
    if (m_passes == 0) return platform::image::CachedPicture(path);
    auto [it, fresh] = m_checked.try_emplace(path.string());
    if (fresh) it->second = platform::image::CachedPicture(path);
    return it->second;
}

std::shared_ptr<const wxImage> PicturePainter::Checked(const std::filesystem::path& path) const {
    const auto it = m_checked.find(path.string());
    return it == m_checked.end() ? nullptr : it->second;
}

void PicturePainter::Paint(wxDC& dc, const PaintOps& ops) {
    Pass pass(*this);
    Prepare(ops, DcArea(dc));
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

static std::string ScaledKey(const std::filesystem::path& path, int w, int h, const Rect& part) {
    std::string key = path.string() + '\n' + std::to_string(w) + 'x' + std::to_string(h);
    if (part != Rect{0, 0, w, h})
        key += '@' + std::to_string(part.left) + ',' + std::to_string(part.top) + ',' + std::to_string(part.right) +
               ',' + std::to_string(part.bottom);
    return key;
}

void PicturePainter::Prepare(const PaintOps& ops) { Prepare(ops, kEverywhere); }

void PicturePainter::Prepare(wxDC& dc, const PaintOps& ops) { Prepare(ops, DcArea(dc)); }

void PicturePainter::Prepare(const PaintOps& ops, const Rect& area) {
    // Which pictures are drawn scaled (or at their own size) and not kept.
    struct Want {
        std::filesystem::path path;
        int left = 0, top = 0;
        int w = 0, h = 0;  // 0 x 0: the picture's own size
    };
    std::vector<Want> wants;
    for (const PaintOp& op : ops) {
        if (op.kind != PaintOp::Kind::Picture || op.path.empty()) continue;
        if (op.natural) {
            wants.push_back({op.path, op.dest.left, op.dest.top, 0, 0});
        } else if (!op.dest.empty()) {
            wants.push_back({op.path, op.dest.left, op.dest.top, op.dest.width(), op.dest.height()});
        }
    }
    struct Job {
        std::string key;
        std::shared_ptr<const wxImage> source;
        std::shared_ptr<cairo_surface_t> surface;
        std::unique_ptr<PictureScaler> scaler;
        bool scaled = false;  // made on the decoding thread already
    };
    std::vector<Job> jobs;
    std::unordered_set<std::string> queued;
    std::mutex queue;
    // A job for each want of a picture whose scaled pixels are not kept yet.
    auto plan = [&](std::size_t i, const std::shared_ptr<const wxImage>& image, std::vector<Job>& out) {
        const Want& want = wants[i];
        if (!image || !image->IsOk()) return;
        const int w = want.w > 0 ? want.w : image->GetWidth();
        const int h = want.h > 0 ? want.h : image->GetHeight();
        const Rect part = VisiblePart(want.left, want.top, w, h, area);
        if (part.empty() || !Kept(part)) return;
        std::string key = ScaledKey(want.path, w, h, part);
        if (auto it = m_scaled.find(key); it != m_scaled.end() && it->second.source == image) return;
        {
            std::lock_guard lock(queue);
            if (!queued.insert(key).second) return;
        }
        auto surface = NewSurface(*image, part.width(), part.height());
        if (!surface) return;
        auto scaler = std::make_unique<PictureScaler>(Planes(*image), w, h, part.left, part.top, part.right, part.bottom);
        out.push_back(Job{std::move(key), image, std::move(surface), std::move(scaler)});
    };
    // The wants of each file, so that the thread that decodes a picture
    // scales it at once, while it is fresh in the cache; a large one is left
    // for the bands below, where all threads share it.
    std::vector<std::filesystem::path> sources;
    std::unordered_map<std::string, std::vector<std::size_t>> wantsOf;
    for (std::size_t i = 0; i < wants.size(); ++i) {
        sources.push_back(wants[i].path);
        wantsOf[wants[i].path.lexically_normal().string()].push_back(i);
    }
    const auto& groups = wantsOf;  // read only on the decoding threads
    auto decoded = [&](std::size_t index, const std::shared_ptr<const wxImage>& image) {
        std::vector<Job> made;
        for (std::size_t i : groups.at(sources[index].lexically_normal().string())) plan(i, image, made);
        for (Job& job : made) {
            if (job.scaler->height() <= kInlineRows) {
                ScaleInto(*job.scaler, job.surface.get(), 0, job.scaler->height());
                job.scaled = true;
            }
        }
        std::lock_guard lock(queue);
        for (Job& job : made) jobs.push_back(std::move(job));
    };
    const auto images = platform::image::PictureCache::Instance().GetAll(sources, 0, decoded);
    if (m_passes > 0)
        for (std::size_t i = 0; i < sources.size(); ++i) m_checked[sources[i].string()] = images[i];
    // Pictures that were decoded before, but not scaled to this size yet.
    for (std::size_t i = 0; i < wants.size(); ++i) plan(i, images[i], jobs);
    if (jobs.empty()) return;
    // Bands of rows, the largest pictures' first, so that one big background
    // is shared by all threads instead of running alone at the end.
    std::sort(jobs.begin(), jobs.end(), [](const Job& a, const Job& b) {
        return static_cast<long long>(a.scaler->width()) * a.scaler->height() >
               static_cast<long long>(b.scaler->width()) * b.scaler->height();
    });
    struct Band {
        const Job* job;
        int y0, y1;
    };
    std::vector<Band> bands;
    for (const Job& job : jobs)
        for (int y = 0; !job.scaled && y < job.scaler->height(); y += kBandRows)
            bands.push_back({&job, y, std::min(job.scaler->height(), y + kBandRows)});
    // Scaling reads the shared decoded pictures and writes only its own rows.
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < bands.size();) {
            const Band& band = bands[i];
            ScaleInto(*band.job->scaler, band.job->surface.get(), band.y0, band.y1);
        }
    };
    const unsigned threads = std::min<unsigned>(std::max(1u, std::thread::hardware_concurrency()),
                                                static_cast<unsigned>(std::max<std::size_t>(bands.size(), 1)));
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
    for (auto& t : pool) t.join();
    for (Job& job : jobs) {
        cairo_surface_mark_dirty(job.surface.get());
        Keep(job.key, std::move(job.source), std::move(job.surface));
    }
}

PicturePainter::Scaled* PicturePainter::Keep(const std::string& key, std::shared_ptr<const wxImage> source,
                                             std::shared_ptr<cairo_surface_t> surface) {
    if (auto it = m_scaled.find(key); it != m_scaled.end()) {
        m_bytes -= it->second.bytes;
        m_lru.erase(it->second.lru);
        m_scaled.erase(it);
    }
    Scaled entry;
    entry.source = std::move(source);
    entry.bytes = static_cast<std::size_t>(cairo_image_surface_get_stride(surface.get())) *
                  static_cast<std::size_t>(cairo_image_surface_get_height(surface.get()));
    entry.surface = std::move(surface);
    m_lru.push_front(key);
    entry.lru = m_lru.begin();
    m_bytes += entry.bytes;
    auto [it, inserted] = m_scaled.emplace(key, std::move(entry));
    (void)inserted;
    Scaled* result = &it->second;
    Trim();
    return result;
}

PicturePainter::Scaled* PicturePainter::ScaledPicture(const std::filesystem::path& path,
                                                      const std::shared_ptr<const wxImage>& image, int w, int h,
                                                      const Rect& part) {
    if (part.empty()) return nullptr;
    const std::string key = ScaledKey(path, w, h, part);
    if (auto it = m_scaled.find(key); it != m_scaled.end() && it->second.source == image) {
        m_lru.splice(m_lru.begin(), m_lru, it->second.lru);
        return &it->second;
    }
    auto surface = NewSurface(*image, part.width(), part.height());
    if (!surface) return nullptr;
    ScaleInto(PictureScaler(Planes(*image), w, h, part.left, part.top, part.right, part.bottom), surface.get(), 0,
              part.height());
    cairo_surface_mark_dirty(surface.get());
    return Keep(key, image, std::move(surface));
}

void PicturePainter::Draw(wxDC& dc, Scaled& picture, int x, int y) {
    cairo_surface_t* surface = picture.surface.get();
    // The toolkit's device contexts here draw through cairo: the kept pixels
    // go on as they are. Any other context gets a bitmap made once.
    if (auto* cr = static_cast<cairo_t*>(dc.GetHandle())) {
        cairo_save(cr);
        cairo_set_source_surface(cr, surface, x, y);
        cairo_rectangle(cr, x, y, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface));
        cairo_fill(cr);
        cairo_restore(cr);
        return;
    }
    if (!picture.bitmap.IsOk()) picture.bitmap = SurfaceBitmap(surface);
    dc.DrawBitmap(picture.bitmap, x, y, true);
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
    if (path.empty() || (!natural && dest.empty())) return;
    const auto image = Source(path);
    if (!image || !image->IsOk()) return;
    const int w = natural ? image->GetWidth() : dest.width(), h = natural ? image->GetHeight() : dest.height();
    // Of a picture blown up beyond the window only the part in it is made.
    const Rect part = VisiblePart(dest.left, dest.top, w, h, DcArea(dc));
    if (!Kept(part)) {
        DrawUnkept(dc, *image, Rect::FromSize(dest.left, dest.top, w, h), 0, 0, 0);
        return;
    }
    if (Scaled* picture = ScaledPicture(path, image, w, h, part))
        Draw(dc, *picture, dest.left + part.left, dest.top + part.top);
}

void PicturePainter::DrawTurnedPicture(wxDC& dc, const std::filesystem::path& path, const Rect& dest, double degrees,
                                       double cx, double cy) {
    if (path.empty() || dest.empty()) return;
    const auto image = Source(path);
    if (!image || !image->IsOk()) return;
    const double radians = degrees * 3.14159265358979323846 / 180.0;
    // Only the part of the picture that shows in the context is made (a
    // zoomed picture reaches far past the window).
    const Rect area = ClippedArea(dc);
    if (area.empty()) return;
    const Rect part = TurnedPart(dest, area, radians, cx, cy);
    if (!Kept(part)) {
        DrawUnkept(dc, *image, dest, radians, cx, cy);
        return;
    }
    Scaled* picture = ScaledPicture(path, image, dest.width(), dest.height(), part);
    if (!picture) return;
    const int x = dest.left + part.left, y = dest.top + part.top;
    if (auto* cr = static_cast<cairo_t*>(dc.GetHandle())) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, radians);
        cairo_translate(cr, -cx, -cy);
        cairo_set_source_surface(cr, picture->surface.get(), x, y);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_rectangle(cr, x, y, part.width(), part.height());
        cairo_fill(cr);
        cairo_restore(cr);
        return;
    }
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::CreateFromUnknownDC(dc));
    if (!gc) return;
    if (!picture->bitmap.IsOk()) picture->bitmap = SurfaceBitmap(picture->surface.get());
    gc->Translate(cx, cy);
    gc->Rotate(radians);
    gc->Translate(-cx, -cy);
    gc->DrawBitmap(picture->bitmap, x, y, part.width(), part.height());
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

void DrawCoverSurface(wxDC& dc, const platform::raster::Surface& surface, int x, int y) {
    if (surface.empty()) return;
    const int w = surface.width(), h = surface.height();
    if (auto* cr = static_cast<cairo_t*>(dc.GetHandle())) {
        // Opaque or transparent black pixels are their own premultiplied form.
        auto* data = reinterpret_cast<unsigned char*>(const_cast<platform::raster::Argb*>(surface.pixels().data()));
        cairo_surface_t* s = cairo_image_surface_create_for_data(data, CAIRO_FORMAT_ARGB32, w, h, w * 4);
        if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
            cairo_save(cr);
            cairo_set_source_surface(cr, s, x, y);
            cairo_rectangle(cr, x, y, w, h);
            cairo_fill(cr);
            cairo_restore(cr);
        }
        cairo_surface_destroy(s);
        return;
    }
    dc.DrawBitmap(wxBitmap(SurfaceToImage(surface, true)), x, y, true);
}

void PicturePainter::Clear() {
    m_scaled.clear();
    m_lru.clear();
    m_bytes = 0;
    m_icons.clear();
}

}  // namespace picture_controls
