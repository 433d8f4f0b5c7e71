// The photo engine's magic wand on 640 x 480 photos with two region shapes
// (a blob, and a serpentine corridor that makes every fill walk far) against
// OpenCV's flood fill with the same rule (8-connected, fixed range of 8 per
// channel), run by floodfill_reference.py in the same run; both must fill
// the same number of pixels. Then eraser and brush strokes of 100 points:
// the median time per point.
// Usage: bench_magic_wand [rounds]   (setup.sh installs the reference)
#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "image_editor/photo_engine.h"

using namespace image_editor;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kW = 640, kH = 480;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

ColorRef Rgb(int r, int g, int b) { return ColorRef(r) | ColorRef(g) << 8 | ColorRef(b) << 16; }

// Inside: the seed colour (40, 80, 120) with noise of up to 3; outside:
// colours at least 30 away in red.
Picture Shape(bool serpentine, std::mt19937& rng) {
    Picture p;
    p.width = kW;
    p.height = kH;
    p.pixels.resize(std::size_t(kW) * kH);
    std::uniform_int_distribution<int> noise(-3, 3), far(150, 255);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            bool in;
            if (serpentine) {
                // Corridors two rows high between walls two rows high, joined
                // at alternating ends.
                const int band = y / 2;
                if (band % 2 == 0) {
                    in = true;
                } else {
                    const int wall = band / 2;
                    in = wall % 2 == 0 ? x >= kW - 2 : x < 2;
                }
            } else {
                const double dx = x - 320.0, dy = y - 240.0;
                const double r = 200 + 25 * std::sin(std::atan2(dy, dx) * 7);
                in = dx * dx + dy * dy < r * r;
            }
            p.pixels[std::size_t(y) * kW + x] =
                in ? Rgb(40 + noise(rng), 80 + noise(rng), 120 + noise(rng)) : Rgb(far(rng), far(rng), far(rng));
        }
    return p;
}

void WritePpm(const fs::path& file, const Picture& p) {
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << p.width << " " << p.height << "\n255\n";
    for (ColorRef c : p.pixels) {
        const char rgb[3] = {char(c & 0xFF), char((c >> 8) & 0xFF), char((c >> 16) & 0xFF)};
        out.write(rgb, 3);
    }
}

void BenchWand(const char* name, const Picture& pic, int sx, int sy, int rounds, const fs::path& work) {
    auto engine = std::make_unique<CPhotoEngine>();
    engine->SetPhoto(0, 0, pic);
    std::vector<double> times;
    int filled = 0;
    for (int i = 0; i < rounds; ++i) {
        engine->CancelWandSelection();  // every 'c' back to 'A', outside the timing
        const auto t0 = Clock::now();
        engine->MagicWandAt(sx, sy);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        filled = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) filled += engine->MaskAt(x, y) == 'c';
    }
    const double ours = Median(times);

    const fs::path ppm = work / (std::string(name) + ".ppm");
    WritePpm(ppm, pic);
    const std::string cmd = "/usr/bin/python3 '" + std::string(BENCH_SOURCE_DIR) + "/floodfill_reference.py' '" +
                            ppm.string() + "' " + std::to_string(sx) + " " + std::to_string(sy) + " " +
                            std::to_string(rounds);
    FILE* p = popen(cmd.c_str(), "r");
    int refCount = -1;
    double ref = 0;
    if (p) {
        if (std::fscanf(p, "%d %lf", &refCount, &ref) != 2) refCount = -1;
        pclose(p);
    }
    if (refCount < 0) {
        std::printf("%-11s engine %8.3f ms  (%d pixels); reference not available: run setup.sh\n", name, ours,
                    filled);
        return;
    }
    std::printf("%-11s engine %8.3f ms  OpenCV floodFill %8.3f ms  ratio %.2f (goal <= 1.5)  pixels %d / %d%s\n",
                name, ours, ref, ours / ref, filled, refCount, filled == refCount ? "" : "  MISMATCH");
}

// A 100-point pointer path of small random steps.
std::vector<std::pair<int, int>> Path(std::mt19937& rng) {
    std::vector<std::pair<int, int>> pts;
    int x = 100 + rng() % 440, y = 100 + rng() % 280;
    std::uniform_int_distribution<int> step(-8, 8);
    for (int i = 0; i < 100; ++i) {
        pts.push_back({x, y});
        x = std::clamp(x + step(rng), 0, kW - 1);
        y = std::clamp(y + step(rng), 0, kH - 1);
    }
    return pts;
}

void BenchStrokes(int rounds, std::mt19937& rng, const Picture& pic) {
    auto engine = std::make_unique<CPhotoEngine>();
    Surface dc(kW + 20, kH + 20, 0xFFFFFF);
    engine->SetPhoto(10, 10, pic);
    for (int radius : {3, 9}) {
        engine->SetRadius(radius);
        for (const char* tool : {"eraser", "brighten brush"}) {
            const bool eraser = tool[0] == 'e';
            engine->SetCanvasMode(eraser ? mode::kEraser : mode::kBrightenBrush);
            std::vector<double> perPoint;
            for (int r = 0; r < rounds; ++r) {
                const auto pts = Path(rng);
                const auto t0 = Clock::now();
                for (std::size_t i = 1; i < pts.size(); ++i) {
                    const auto [x1, y1] = pts[i - 1];
                    const auto [x2, y2] = pts[i];
                    if (eraser)
                        engine->EraseLine(dc, x1, y1, x2, y2, r % 2 ? 9 : 0);
                    else
                        engine->BrushLine(dc, x1, y1, x2, y2, 0);
                }
                if (!eraser) engine->FillStrokeMask(' ');  // the release
                perPoint.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count() / 100.0);
            }
            std::printf("%-14s radius %d: median %.4f ms per point (goal < 0.05)\n", tool, radius, Median(perPoint));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 31;
    const fs::path work = fs::temp_directory_path() / ("bench_magic_wand_" + std::to_string(::getpid()));
    fs::create_directories(work);
    std::mt19937 rng(640480);
    const Picture blob = Shape(false, rng);
    const Picture snake = Shape(true, rng);
    std::printf("magic wand on %d x %d, median of %d fills\n", kW, kH, rounds);
    BenchWand("blob", blob, 320, 240, rounds, work);
    BenchWand("serpentine", snake, 0, 0, rounds, work);
    BenchStrokes(rounds, rng, blob);
    fs::remove_all(work);
    return 0;
}
