#include "web_publish/picture_work_wx.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include "platform/files.h"
#include "platform/image/picture_io.h"

namespace fs = std::filesystem;

namespace web_publish {

wxImage ScaledThumbnail(const wxImage& picture, int width, int height) {
    wxImage out(width, height);
    out.InitAlpha();
    std::fill_n(out.GetAlpha(), static_cast<std::size_t>(width) * height, 0);
    std::fill_n(out.GetData(), static_cast<std::size_t>(width) * height * 3, 255);
    const int pw = picture.GetWidth(), ph = picture.GetHeight();
    if (pw <= 0 || ph <= 0) return out;
    const double s = std::min({static_cast<double>(width) / pw, static_cast<double>(height) / ph, 1.0});
    const int w = std::max(1, static_cast<int>(pw * s)), h = std::max(1, static_cast<int>(ph * s));
    const int x0 = static_cast<int>((width - pw * s) / 2), y0 = static_cast<int>((height - ph * s) / 2);
    const wxImage small = (w == pw && h == ph) ? picture : picture.Scale(w, h, wxIMAGE_QUALITY_HIGH);
    const unsigned char* rgb = small.GetData();
    const unsigned char* alpha = small.HasAlpha() ? small.GetAlpha() : nullptr;
    unsigned char* orgb = out.GetData();
    unsigned char* oalpha = out.GetAlpha();
    for (int y = 0; y < h; ++y) {
        const int ty = y0 + y;
        if (ty < 0 || ty >= height) continue;
        for (int x = 0; x < w; ++x) {
            const int tx = x0 + x;
            if (tx < 0 || tx >= width) continue;
            const std::size_t si = static_cast<std::size_t>(y) * w + x, ti = static_cast<std::size_t>(ty) * width + tx;
            std::copy_n(rgb + si * 3, 3, orgb + ti * 3);
            oalpha[ti] = alpha ? alpha[si] : 255;
        }
    }
    return out;
}

bool SavePictureScaled(const fs::path& source, int width, int height, const fs::path& target) {
    const wxImage picture = platform::image::LoadPicture(source);
    if (!picture.IsOk()) return false;
    return platform::image::SavePicture(ScaledThumbnail(picture, width, height), target,
                                        platform::image::PictureFormat::Png);
}

WxPictureWork::WxPictureWork(unsigned threads) {
    m_threads = threads ? threads : std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

std::vector<PictureOutcome> WxPictureWork::Run(const std::vector<PictureJob>& jobs) {
    platform::image::EnsureImageHandlers();
    std::vector<PictureOutcome> out(jobs.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next++) < jobs.size();) {
            const PictureJob& job = jobs[i];
            PictureOutcome& result = out[i];
            const auto bytes = platform::ReadWholeFile(job.source);
            if (!bytes) continue;
            if (!job.copyTo.empty()) result.copied = platform::SaveFileAtomic(job.copyTo, *bytes);
            const wxImage picture = platform::image::DecodePicture(*bytes);
            if (!picture.IsOk()) continue;
            result.size = platform::PicSize{picture.GetWidth(), picture.GetHeight()};
            if (!job.thumbnailTo.empty()) {
                std::vector<std::uint8_t> png;
                result.thumbnail =
                    platform::image::EncodePicture(ScaledThumbnail(picture, kThumbnailSide, kThumbnailSide),
                                                   platform::image::PictureFormat::Png, 100, &png) &&
                    platform::SaveFileAtomic(job.thumbnailTo, png);
            }
        }
    };
    const unsigned n = static_cast<unsigned>(std::min<std::size_t>(m_threads, jobs.size()));
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < n; ++t) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    return out;
}

}  // namespace web_publish
