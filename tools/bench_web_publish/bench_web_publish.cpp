// Publishes a project of 166 parts, each with its own 1200 x 1600 PNG picture,
// as a web fitting room (the first 62 entries of the publish list, the cap:
// the page, scripts, data script, picture copies and 70 x 70 thumbnails), and
// times it against `vipsthumbnail` making the same 62 thumbnails from the
// same pictures in the same run, alternately. Prints the medians and their
// ratio (goal: at most 1.5).
// Usage: bench_web_publish [rounds]   (run tools/bench_web_publish/setup.sh first;
// needs the build's demo-base/KZV网页项目模板, run from the build folder)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>
#include <wx/image.h>
#include <wx/init.h>

#include "platform/image/picture_io.h"
#include "project_editor/project_file.h"
#include "web_publish/picture_work_wx.h"
#include "web_publish/web_site_build.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace project_editor;

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A garment-like picture: a shaded body on a transparent ground, with stripes
// that differ from picture to picture so no two encode alike.
wxImage Garment(int seed) {
    const int w = 1200, h = 1600;
    wxImage img(w, h);
    img.InitAlpha();
    unsigned char* rgb = img.GetData();
    unsigned char* a = img.GetAlpha();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            const int dx = x - w / 2;
            const int half = 260 + y / 5 + ((y / 40 + seed) % 3) * 8;
            const bool inside = std::abs(dx) < half && y > 80 && y < h - 60;
            a[i] = inside ? 255 : 0;
            const int stripe = ((y + seed * 7) / 24) % 2;
            rgb[i * 3] = static_cast<unsigned char>(stripe ? 30 + seed % 200 : 240 - (x * 60) / w);
            rgb[i * 3 + 1] = static_cast<unsigned char>(stripe ? 60 : 230 - (y * 50) / h);
            rgb[i * 3 + 2] = static_cast<unsigned char>(stripe ? 120 + (seed * 13) % 120 : 220);
        }
    }
    return img;
}

double Seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

}  // namespace

int main(int argc, char** argv) {
    wxInitializer init;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const fs::path templates = fs::absolute("demo-base") / "KZV网页项目模板";
    if (!fs::exists(templates)) {
        std::fprintf(stderr, "run from the build folder (no demo-base/KZV网页项目模板)\n");
        return 1;
    }
    if (std::system("command -v vipsthumbnail >/dev/null") != 0) {
        std::fprintf(stderr, "vipsthumbnail is missing: run tools/bench_web_publish/setup.sh\n");
        return 1;
    }
    platform::image::EnsureImageHandlers();
    const fs::path root = fs::temp_directory_path() / ("bench-web-publish-" + std::to_string(::getpid()));
    const fs::path base = root / "base", pictures = base / "店" / "试衣及按钮图片";
    fs::create_directories(pictures);
    fs::create_directory_symlink(templates, base / "KZV网页项目模板");

    auto project = std::make_unique<ProjectFile>();
    project->Reset();
    project->header.SetPictureFolder(pictures.string());
    project->SetPartCount(project_editor::kMaxParts);
    project->SetFaceCount(project_editor::kMaxParts);
    std::printf("Drawing %d pictures of 1200 x 1600 ...\n", project_editor::kMaxParts);
    for (int i = 0; i < project_editor::kMaxParts; ++i) {
        PartRecord& p = project->parts[static_cast<std::size_t>(i)];
        p.Reset();
        p.SetCategory(static_cast<char>('B' + i % 5));
        p.SetRowType(' ');
        const std::string name = "衣服" + std::to_string(i);
        p.SetName(name);
        p.SetPictureName(name);
        p.SetPrice(std::to_string(100 + i));
        p.SetDepth(10 + i % 50);
        p.SetScale(0.25f);
        wxImage img = Garment(i);
        img.SetOption(wxIMAGE_OPTION_PNG_COMPRESSION_LEVEL, 3);
        img.SaveFile(wxString::FromUTF8((pictures / (name + ".png")).string()), wxBITMAP_TYPE_PNG);
    }
    web_publish::PublishList list = web_publish::CollectPublishList(*project);
    web_publish::ApplyCountRule(list);
    std::vector<std::string> published;
    for (int e = 0; e < list.count; ++e) published.push_back(project->parts[list.at(e).part].PictureName());

    std::vector<double> ours, vips;
    for (int r = 0; r < rounds; ++r) {
        // Ours: the whole fitting-room build.
        const fs::path out = root / ("out" + std::to_string(r));
        web_publish::WebPageSettings s;
        s.outputFolder = out.string();
        s.pageFolder = "site";
        s.pageName = "index";
        s.templateName = "网页试衣间[下标]模板";
        auto t0 = Clock::now();
        web_publish::WxPictureWork work;
        web_publish::WebSiteBuild build(base, *project, work);
        const web_publish::BuildReport report = build.Build(s);
        ours.push_back(Seconds(t0));
        if (!report.ok() || report.published != 62 || report.thumbnails != 62) {
            std::fprintf(stderr, "the build did not publish 62 entries: %s\n", report.message.c_str());
            return 1;
        }
        // The reference: the same 62 thumbnails by vipsthumbnail.
        const fs::path thumbs = root / ("vips" + std::to_string(r));
        fs::create_directories(thumbs);
        std::string command = "cd '" + pictures.string() + "' && vipsthumbnail --size 70x70 -o '" + thumbs.string() + "/S%s.png'";
        for (const std::string& name : published) command += " '" + name + ".png'";
        t0 = Clock::now();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "vipsthumbnail failed\n");
            return 1;
        }
        vips.push_back(Seconds(t0));
        std::printf("round %d: publish %.3f s, vipsthumbnail %.3f s\n", r + 1, ours.back(), vips.back());
    }
    const double o = Median(ours), v = Median(vips);
    std::printf("publish 166 parts (62 entries, 62 thumbnails of 1200 x 1600): median %.3f s\n", o);
    std::printf("vipsthumbnail, the same 62 thumbnails:                       median %.3f s\n", v);
    std::printf("ratio publish / vipsthumbnail: %.2f (goal <= 1.5)\n", o / v);
    std::error_code ec;
    fs::remove_all(root, ec);
    return 0;
}
