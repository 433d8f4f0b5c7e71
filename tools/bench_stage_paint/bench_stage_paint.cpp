// Renders the fitting stage off screen at 1920 x 1080 with 30 shown garments
// (and the room background) again and again, the way the fitting window
// repaints. Prints the first paint after a switch (what a user waits for
// after switching project, category or background: every picture decoded and
// scaled), also in its steps, the process's very first paint and the median
// steady repaint, each with its ratio to a reference measured in the same
// run, decoding the same files once on one core; also the steady repaint
// beside one full-size bitmap copy (the floor any repaint costs) and the
// picture decodes per repaint after the first. The machine's load average is
// printed with them: on a shared machine the figures move with it.
// Usage: bench_stage_paint [rounds]   (needs a display: run under xvfb-run)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include "fitting_room/fitting_model.h"
#include "fitting_room/garment_pic_list.h"
#include "fitting_room/stage_control.h"
#include "picture_controls/picture_painter.h"
#include "platform/image/picture_cache.h"
#include "tools/bench_support/paint_bench.h"

namespace fs = std::filesystem;
using Clock = paint_bench::Clock;
using paint_bench::Median;
using namespace fitting_room;

namespace {

// A garment-like picture: a soft-edged shape with transparent corners.
void MakeGarment(const fs::path& p, int w, int h, int seed) {
    wxImage img(w, h);
    img.InitAlpha();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = (x - w / 2.0) / (w / 2.0), dy = (y - h / 2.0) / (h / 2.0);
            const double d = dx * dx + dy * dy;
            img.SetRGB(x, y, (40 + seed * 53 + y) % 256, (90 + seed * 31 + x) % 256, (150 + seed * 17) % 256);
            img.SetAlpha(x, y, d < 0.8 ? 255 : d < 1.0 ? static_cast<unsigned char>((1.0 - d) * 1275) : 0);
        }
    img.SaveFile(wxString::FromUTF8(p.string()), wxBITMAP_TYPE_PNG);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 200;
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start wx (is DISPLAY set?)\n");
        return 1;
    }
    wxLog::SetActiveTarget(new wxLogStderr);
    wxInitAllImageHandlers();

    const fs::path base = fs::temp_directory_path() / ("bench_stage_paint_" + std::to_string(getpid()));
    fs::create_directories(base / "服饰搭配背景图");
    fs::create_directories(base / "garments");
    {
        wxImage room(1600, 1200);
        for (int y = 0; y < 1200; ++y)
            for (int x = 0; x < 1600; ++x) room.SetRGB(x, y, 230 - y / 10, 220 - x / 20, 200);
        room.SaveFile(wxString::FromUTF8((base / "服饰搭配背景图" / "试衣间背景图.jpg").string()), wxBITMAP_TYPE_JPEG);
    }
    CFittingModel model;
    platform::image::CachedPictureSizes sizes;
    model.SetPictureSizes(&sizes);
    model.SetDataDir(base);
    for (int i = 0; i < 30; ++i) {
        const fs::path p = base / "garments" / ("g" + std::to_string(i) + ".png");
        MakeGarment(p, 180 + (i % 5) * 20, 240 + (i % 3) * 30, i);
        const int x = 80 + (i % 10) * 170, y = 60 + (i / 10) * 300;
        // Scales other than 1, so that every garment is drawn resized.
        const float scale = 0.8f + 0.03f * static_cast<float>(i % 7);
        if (i % 2)
            model.ShowRightItem(p, scale, x, y, 1 + i);
        else
            model.ShowLeftItem(p, scale, x, y, 1 + i);
    }
    CGarmentPicList right;
    StageControl stage(model, right);
    stage.SetBaseDir(base);
    stage.SetPictureSizes(&sizes);
    stage.Layout(1920, 1080);

    wxBitmap target(1920, 1080, 24);
    wxBitmap reference(1920, 1080, 24);
    {
        wxMemoryDC dc(reference);
        dc.SetBackground(*wxLIGHT_GREY_BRUSH);
        dc.Clear();
    }
    picture_controls::PicturePainter painter;
    auto repaint = [&] {
        wxMemoryDC dc(target);
        PaintOps ops;
        stage.WindowOps(ops);
        painter.Paint(dc, ops);
        return ops.size();
    };
    auto copy = [&] {
        wxMemoryDC dc(target);
        dc.DrawBitmap(reference, 0, 0, false);
    };

    // Reference: the same files decoded once each, one after the other, on
    // this thread; the median of kSwitches runs.
    constexpr int kSwitches = 7;
    std::vector<fs::path> files{base / "服饰搭配背景图" / "试衣间背景图.jpg"};
    for (int i = 0; i < 30; ++i) files.push_back(base / "garments" / ("g" + std::to_string(i) + ".png"));
    const paint_bench::SerialDecode serial = paint_bench::DecodeOnOneCore(files, kSwitches);
    const double serialDecode = serial.milliseconds;

    // The process's very first paint (it also pays for loading libraries and
    // starting threads), then the first paint after a switch: every decoded
    // and scaled picture forgotten, as when new pictures come on the stage.
    auto& cache = platform::image::PictureCache::Instance();
    cache.Clear();
    const auto t0 = Clock::now();
    const std::size_t drawn = repaint();
    const double processFirst = paint_bench::MillisecondsSince(t0);
    auto forget = [&] {
        cache.Clear();
        painter.Clear();
    };
    const double first = paint_bench::MedianAfter(kSwitches, forget, repaint);
    std::vector<double> decodeTimes, scaleTimes, drawTimes;
    // The same first paint in its three steps: decoding on all cores, scaling
    // on all cores, drawing.
    for (int run = 0; run < kSwitches; ++run) {
        cache.Clear();
        painter.Clear();
        PaintOps ops;
        stage.WindowOps(ops);
        std::vector<fs::path> shown;
        for (const PaintOp& op : ops)
            if (op.kind == PaintOp::Kind::Picture && !op.path.empty()) shown.push_back(op.path);
        const auto s0 = Clock::now();
        cache.Prefetch(shown);
        const auto s1 = Clock::now();
        painter.Prepare(ops, Rect{0, 0, 1920, 1080});
        const auto s2 = Clock::now();
        {
            wxMemoryDC dc(target);
            painter.Paint(dc, ops);
        }
        const auto s3 = Clock::now();
        decodeTimes.push_back(std::chrono::duration<double, std::milli>(s1 - s0).count());
        scaleTimes.push_back(std::chrono::duration<double, std::milli>(s2 - s1).count());
        drawTimes.push_back(std::chrono::duration<double, std::milli>(s3 - s2).count());
    }
    const std::size_t decodesAfterFirst = cache.GetStats().decodes;

    std::vector<double> paintTimes, copyTimes;
    for (int r = 0; r < rounds; ++r) {
        auto a = Clock::now();
        repaint();
        auto b = Clock::now();
        copy();
        auto c = Clock::now();
        paintTimes.push_back(std::chrono::duration<double, std::milli>(b - a).count());
        copyTimes.push_back(std::chrono::duration<double, std::milli>(c - b).count());
    }
    const double decodesPerRepaint =
        static_cast<double>(cache.GetStats().decodes - decodesAfterFirst) / static_cast<double>(rounds);
    const double median = Median(paintTimes);
    const double ref = Median(copyTimes);
    const double load = paint_bench::LoadAverage();
    std::printf("stage 1920x1080, 30 garments + room background (%zu pictures drawn), %d repaints; "
                "load average %.1f on %u cores\n",
                drawn, rounds, load, std::max(1u, std::thread::hardware_concurrency()));
    std::printf("reference, decoding the same %zu files once on one core (median of %d): %.2f ms (%.1f Mpixel)\n",
                files.size(), kSwitches, serialDecode, static_cast<double>(serial.pixels) / 1e6);
    std::printf("first paint after a switch (median of %d): %.2f ms (target < 100 ms); ratio %.2f\n", kSwitches,
                first, first / serialDecode);
    std::printf("  in steps: decode %.2f ms, scale %.2f ms, draw %.2f ms\n", Median(decodeTimes),
                Median(scaleTimes), Median(drawTimes));
    std::printf("first paint of the process (loads libraries, starts threads): %.2f ms; ratio %.2f\n", processFirst,
                processFirst / serialDecode);
    std::printf("steady repaint (median): %.3f ms (target < 8 ms); ratio %.3f\n", median, median / serialDecode);
    std::printf("one 1920x1080 bitmap copy: %.3f ms; steady repaint / copy %.2f\n", ref, median / ref);
    std::printf("picture decodes per repaint after the first: %.3f (target 0)\n", decodesPerRepaint);

    std::error_code ec;
    fs::remove_all(base, ec);
    wxEntryCleanup();
    return median < 8.0 && first < 100.0 && decodesPerRepaint == 0.0 ? 0 : 2;
}
