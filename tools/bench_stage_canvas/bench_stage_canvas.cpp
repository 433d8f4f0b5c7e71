// Renders Pavanel's stage canvas off screen at 1920 x 1080 with 99 occupied
// slots and 1,200 drawing items (12,000 points: lines, rectangles, ellipses,
// polylines, outlines and arrows) again and again, the way the canvas
// repaints into its memory bitmap, and prints the median repaint time and its
// ratio to one full-size bitmap copy into the same memory context (measured
// alternately in the same run).
// Usage: bench_stage_canvas [rounds]   (needs a display: run under xvfb-run)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
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

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace project_editor;

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

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
    auto repaint = [&] {
        wxMemoryDC dc(target);
        const StageScene scene = canvas.Scene();
        StagePainter::Options o;
        o.items = !partsOnly;
        painter.Paint(dc, scene, &items, o);
        return scene.parts.size();
    };
    auto copy = [&] {
        wxMemoryDC dc(target);
        dc.DrawBitmap(reference, 0, 0, false);
    };

    const auto t0 = Clock::now();
    const std::size_t drawn = repaint();
    const double first = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
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
    const double median = Median(paintTimes);
    const double ref = Median(copyTimes);
    std::printf("stage canvas 1920x1080, %zu occupied slots, %d drawing items (%d points), %d repaints\n", drawn,
                items.itemCount(), items.pointCount(), rounds);
    std::printf("first repaint (decode and scale): %.2f ms\n", first);
    std::printf("median repaint: %.3f ms (goal < 8 ms)\n", median);
    std::printf("reference, one 1920x1080 bitmap copy: %.3f ms; ratio %.2f\n", ref, median / ref);

    std::error_code ec;
    fs::remove_all(base, ec);
    wxEntryCleanup();
    return 0;
}
