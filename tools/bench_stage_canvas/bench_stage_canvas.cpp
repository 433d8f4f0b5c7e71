// Renders Pavanel's stage canvas off screen at 1920 x 1080 with 99 occupied
// slots and 1,200 drawing items (12,000 points: lines, rectangles, ellipses,
// polylines, outlines and arrows), the way the canvas paints into its memory
// bitmap. Prints the first repaint after a switch (what a user waits for
// after opening a project: every picture decoded and scaled, the item layer
// made), also in its steps, and the process's very first paint, each beside a
// reference measured in the same run: the same 99 files decoded once on one
// core. Then the median steady repaint of the unchanged stage, beside one
// full-size bitmap copy (the floor any repaint costs), and the repaint while a
// part is dragged (the whole stage drawn again). The machine's load average
// is printed with them: on a shared machine the figures move with it.
// Usage: bench_stage_canvas [rounds] [parts]   (needs a display: run under xvfb-run)
#include <algorithm>
#include <chrono>
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

#include "picture_controls/draw_item_list.h"
#include "platform/image/picture_cache.h"
#include "project_editor/stage_canvas.h"
#include "project_editor/stage_painter.h"
#include "project_editor/stage_slot.h"
#include "tools/bench_support/paint_bench.h"

namespace fs = std::filesystem;
using Clock = paint_bench::Clock;
using paint_bench::Median;
using namespace project_editor;

namespace {

void MakePart(const fs::path& p, int w, int h, int seed) {
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

class NoDrawing : public StageDrawing {
    void AddItem(char) override {}
    void AddPoint(int, int) override {}
    void EndItem() override {}
    void BeginRubberBand(char, int, int) override {}
    void MoveRubberBand(int, int) override {}
    void EndRubberBand() override {}
    void Clear() override {}
};

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 100;
    // "parts": the pictures alone, to see what the items cost.
    const bool partsOnly = argc > 2 && std::string(argv[2]) == "parts";
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start wx (is DISPLAY set?)\n");
        return 1;
    }
    wxLog::SetActiveTarget(new wxLogStderr);
    wxInitAllImageHandlers();

    const fs::path base = fs::temp_directory_path() / ("bench_stage_canvas_" + std::to_string(getpid()));
    const fs::path pics = base / "pics";
    fs::create_directories(pics);
    CProjectStore store;
    store.SetBaseDir(base);
    store.Header().SetPictureFolder(pics.string());
    StageSlotTable slots;
    for (int i = 0; i < 99; ++i) {
        const int w = 120 + (i % 5) * 20, h = 160 + (i % 3) * 30;
        const std::string name = "p" + std::to_string(i);
        if (i < 30) MakePart(pics / (name + ".png"), w, h, i);
        else fs::copy_file(pics / ("p" + std::to_string(i % 30) + ".png"), pics / (name + ".png"));
        PartRecord& part = store.Part(i);
        part.Reset();
        part.SetPictureName(name);
        StageSlot& s = slots.Slot(i);
        s.used = s.shown = 'Y';
        s.part = i;
        s.pictureWidth = i < 30 ? w : 120 + (i % 30 % 5) * 20;
        s.pictureHeight = i < 30 ? h : 160 + (i % 30 % 3) * 30;
        const double scale = 0.8 + 0.05 * (i % 7);  // every part drawn resized
        s.scaledWidth = static_cast<int>(s.pictureWidth * scale);
        s.scaledHeight = static_cast<int>(s.pictureHeight * scale);
        s.x = 40 + (i % 11) * 165;
        s.y = 30 + (i / 11) * 110;
    }
    store.SetPartCount(99);

    // 1,200 items of 10 points each: the list's full capacity.
    picture_controls::CDrawItemList items;
    const char kinds[] = {'A', 'B', 'C', 'A', 'D', 'E'};
    for (int i = 0; i < 1200; ++i) {
        items.SetWidth(1 + i % 4);
        items.SetColor(static_cast<unsigned>(0x102030 * (i % 7 + 1)) & 0xFFFFFF);
        const char kind = kinds[i % 6];
        const int x0 = 20 + (i * 37) % 1800, y0 = 20 + (i * 53) % 1000;
        if (kind == 'E') {
            items.BeginRubberBand('A', x0, y0);
            items.DrawRubberBand(x0 + 60, y0 + 25, 0);
            items.EndRubberBand();
        }
        items.AddItem(kind);
        if (kind != 'E') {
            for (int k = 0; k < 10; ++k) items.AddPoint(x0 + (k * 13) % 70, y0 + (k * 29) % 50);
        } else {
            for (int k = 0; k < 2; ++k) items.AddPoint(x0, y0);  // pad to 10 points
        }
        items.EndItem();
    }

    NoDrawing none;
    StageCanvasControl canvas(store, slots, none);
    canvas.SetStageRect({0, 0, 1920, 1080});
    StagePainter painter;
    wxBitmap target(1920, 1080, 24);
    wxBitmap reference(1920, 1080, 24);
    {
        wxMemoryDC dc(reference);
        dc.SetBackground(*wxLIGHT_GREY_BRUSH);
        dc.Clear();
    }
    // As the canvas paints: into its memory bitmap, again only where the stage changed.
    auto repaint = [&] {
        const StageScene scene = canvas.Scene();
        painter.PaintBuffer(target, scene, partsOnly ? nullptr : &items);
        return scene.parts.size();
    };
    auto copy = [&] {
        wxMemoryDC dc(target);
        dc.DrawBitmap(reference, 0, 0, false);
    };

    // Reference: the same files decoded once each, one after the other, on
    // this thread; the median of kSwitches runs.
    constexpr int kSwitches = 7;
    std::vector<fs::path> files;
    for (int i = 0; i < 99; ++i) files.push_back(pics / ("p" + std::to_string(i) + ".png"));
    const paint_bench::SerialDecode serial = paint_bench::DecodeOnOneCore(files, kSwitches);
    const double serialDecode = serial.milliseconds;

    // The process's very first paint (it also pays for loading libraries and
    // starting threads), then the first repaint after a switch: every decoded
    // and scaled picture and the item layer forgotten.
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
    // The same first repaint in its steps, one after the other (the paint
    // itself makes the item layer while the pictures are decoded and
    // scaled): decoding on all cores, the pictures scaled (on all cores) and
    // drawn, the item layer made and drawn, the caption on top.
    std::vector<double> decodeTimes, pictureTimes, itemTimes, topTimes;
    for (int run = 0; run < kSwitches; ++run) {
        cache.Clear();
        painter.Clear();
        const StageScene scene = canvas.Scene();
        wxMemoryDC dc(target);
        const auto s0 = Clock::now();
        cache.Prefetch(files);
        const auto s1 = Clock::now();
        painter.PaintPictures(dc, scene);
        const auto s2 = Clock::now();
        if (!partsOnly) painter.PaintItems(dc, items, scene.stage);
        const auto s3 = Clock::now();
        painter.PaintTop(dc, scene, true);
        const auto s4 = Clock::now();
        decodeTimes.push_back(std::chrono::duration<double, std::milli>(s1 - s0).count());
        pictureTimes.push_back(std::chrono::duration<double, std::milli>(s2 - s1).count());
        itemTimes.push_back(std::chrono::duration<double, std::milli>(s3 - s2).count());
        topTimes.push_back(std::chrono::duration<double, std::milli>(s4 - s3).count());
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
    // A part dragged across the stage: every paint has to draw the stage again.
    std::vector<double> dragTimes;
    StageSlot& dragged = slots.Slot(50);
    for (int r = 0; r < rounds; ++r) {
        dragged.x += r % 2 ? -3 : 3;
        const auto a = Clock::now();
        repaint();
        dragTimes.push_back(paint_bench::MillisecondsSince(a));
    }
    const double decodesPerRepaint =
        static_cast<double>(cache.GetStats().decodes - decodesAfterFirst) / static_cast<double>(rounds);
    const double median = Median(paintTimes);
    const double ref = Median(copyTimes);
    const double load = paint_bench::LoadAverage();
    std::printf("stage canvas 1920x1080, %zu occupied slots, %d drawing items (%d points)%s, %d repaints; "
                "load average %.1f on %u cores\n",
                drawn, items.itemCount(), items.pointCount(), partsOnly ? " not drawn" : "", rounds, load,
                std::max(1u, std::thread::hardware_concurrency()));
    std::printf("reference, decoding the same %zu files once on one core (median of %d): %.2f ms (%.1f Mpixel)\n",
                files.size(), kSwitches, serialDecode, static_cast<double>(serial.pixels) / 1e6);
    std::printf("first repaint after a switch (median of %d): %.2f ms (goal < 100 ms); ratio %.2f (goal <= 1.0)\n",
                kSwitches, first, first / serialDecode);
    std::printf("  in steps, one after the other: decode %.2f ms, pictures scaled and drawn %.2f ms, item layer %.2f ms, caption %.2f ms\n",
                Median(decodeTimes), Median(pictureTimes), Median(itemTimes), Median(topTimes));
    std::printf("first paint of the process (loads libraries, starts threads): %.2f ms; ratio %.2f\n", processFirst,
                processFirst / serialDecode);
    std::printf("steady repaint, the stage unchanged (median): %.3f ms (goal < 8 ms)\n", median);
    std::printf("repaint while a part is dragged (median): %.3f ms\n", Median(dragTimes));
    std::printf("one 1920x1080 bitmap copy: %.3f ms; steady repaint / copy %.2f\n", ref, median / ref);
    std::printf("picture decodes per repaint after the first: %.3f (goal 0)\n", decodesPerRepaint);

    std::error_code ec;
    fs::remove_all(base, ec);
    wxEntryCleanup();
    return median < 8.0 && first < 100.0 && first <= serialDecode && decodesPerRepaint == 0.0 ? 0 : 2;
}
