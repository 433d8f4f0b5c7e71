// The magic wand against OpenCV's flood fill with the same rule (8-connected,
// fixed range of 8 per channel, floodfill_reference.py), on two region shapes
// (a blob, and a serpentine corridor that makes every fill walk far): the
// engine's own wand on 640 x 480 photos, its fill routine on 1920 x 1080
// pictures (the editor edits at most 640 x 480). Fills are interleaved, one
// of ours then one of the reference's, so that load falls on both alike;
// both must fill the same number of pixels. Then eraser and brush strokes of
// 100 points: the median time per point.
// Usage: bench_magic_wand [rounds]   (setup.sh installs the reference)
#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "image_editor/photo_engine.h"
#include "image_editor/wand_fill.h"

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
Picture Shape(bool serpentine, int w, int h, std::mt19937& rng) {
    Picture p;
    p.width = w;
    p.height = h;
    p.pixels.resize(std::size_t(w) * h);
    std::uniform_int_distribution<int> noise(-3, 3), far(150, 255);
    const double unit = std::min(w, h) / 480.0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool in;
            if (serpentine) {
                // Corridors two rows high between walls two rows high, joined
                // at alternating ends.
                const int band = y / 2;
                if (band % 2 == 0) {
                    in = true;
                } else {
                    const int wall = band / 2;
                    in = wall % 2 == 0 ? x >= w - 2 : x < 2;
                }
            } else {
                const double dx = x - w / 2.0, dy = y - h / 2.0;
                const double r = (200 + 25 * std::sin(std::atan2(dy, dx) * 7)) * unit;
                in = dx * dx + dy * dy < r * r;
            }
            p.pixels[std::size_t(y) * w + x] =
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

// floodfill_reference.py as a co-process: one line out asks for a fill, one
// line back answers it.
class Reference {
public:
    Reference(const fs::path& ppm, int sx, int sy) {
        int toChild[2], fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(toChild[0], 0);
            dup2(fromChild[1], 1);
            close(toChild[1]);
            close(fromChild[0]);
            const std::string script = std::string(BENCH_SOURCE_DIR) + "/floodfill_reference.py";
            const std::string x = std::to_string(sx), y = std::to_string(sy);
            execl("/usr/bin/python3", "python3", script.c_str(), ppm.c_str(), x.c_str(), y.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        m_out = fdopen(toChild[1], "w");
        m_in = fdopen(fromChild[0], "r");
        char word[16] = {};
        m_ok = m_in && std::fscanf(m_in, "%15s", word) == 1 && std::strcmp(word, "ready") == 0;
    }
    ~Reference() {
        if (m_out) std::fclose(m_out);
        if (m_in) std::fclose(m_in);
        if (m_pid > 0) waitpid(m_pid, nullptr, 0);
    }
    bool ok() const { return m_ok; }
    // One fill: the pixel count and its time in ms; false when it failed.
    bool Fill(int& count, double& ms) {
        if (!m_ok) return false;
        std::fputs("fill\n", m_out);
        std::fflush(m_out);
        m_ok = std::fscanf(m_in, "%d %lf", &count, &ms) == 2;
        return m_ok;
    }

private:
    pid_t m_pid = -1;
    FILE* m_out = nullptr;
    FILE* m_in = nullptr;
    bool m_ok = false;
};

// One of our fills, timed, with the selection put back outside the timing;
// the number of pixels it selected.
class OurWand {
public:
    OurWand(const Picture& pic, int sx, int sy) : m_pic(pic), m_sx(sx), m_sy(sy) {
        if (pic.width <= CPhotoEngine::kMaxWidth && pic.height <= CPhotoEngine::kMaxHeight) {
            m_engine = std::make_unique<CPhotoEngine>();
            m_engine->SetPhoto(0, 0, pic);
        } else {
            m_fill = std::make_unique<WandFill>(pic.pixels.size());
            m_mask.assign(pic.pixels.size(), 'A');
        }
    }
    const char* kind() const { return m_engine ? "engine" : "fill routine"; }
    double Fill(int& count) {
        count = 0;
        if (m_engine) {
            m_engine->CancelWandSelection();  // every 'c' back to 'A'
            const auto t0 = Clock::now();
            m_engine->MagicWandAt(m_sx, m_sy);
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
            for (int y = 0; y < m_pic.height; ++y)
                for (int x = 0; x < m_pic.width; ++x) count += m_engine->MaskAt(x, y) == 'c';
            return ms;
        }
        std::fill(m_mask.begin(), m_mask.end(), 'A');
        const auto t0 = Clock::now();
        // As MagicWandAt does: the seed marked, its bounds taken, the fill run.
        const std::uint32_t seed = static_cast<std::uint32_t>(m_sy) * m_pic.width + m_sx;
        const ColorRef c = m_pic.pixels[seed];
        const int lo[3] = {int(c & 0xFF) - 8, int((c >> 8) & 0xFF) - 8, int((c >> 16) & 0xFF) - 8};
        m_mask[seed] = 'a';
        m_fill->Run(m_mask.data(), m_pic.pixels.data(), m_pic.width, m_pic.height, {&seed, 1}, lo);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        count = static_cast<int>(std::count(m_mask.begin(), m_mask.end(), 'c'));
        return ms;
    }

private:
    const Picture& m_pic;
    int m_sx, m_sy;
    std::unique_ptr<CPhotoEngine> m_engine;
    std::unique_ptr<WandFill> m_fill;
    std::vector<char> m_mask;
};

void BenchWand(const char* name, const Picture& pic, int sx, int sy, int rounds, const fs::path& work) {
    const fs::path ppm = work / (std::string(name) + ".ppm");
    WritePpm(ppm, pic);
    OurWand ours(pic, sx, sy);
    Reference ref(ppm, sx, sy);
    std::vector<double> ourTimes, refTimes, ratios;
    int filled = 0, refCount = -1;
    for (int i = 0; i < rounds; ++i) {
        const double a = ours.Fill(filled);
        ourTimes.push_back(a);
        double b = 0;
        if (ref.Fill(refCount, b)) {
            refTimes.push_back(b);
            ratios.push_back(a / b);
        }
    }
    const double mine = Median(ourTimes);
    char size[32];
    std::snprintf(size, sizeof size, "%dx%d", pic.width, pic.height);
    if (refTimes.size() != static_cast<std::size_t>(rounds)) {
        std::printf("%-11s %-9s %-12s %8.3f ms  (%d pixels); reference not available: run setup.sh\n", name, size,
                    ours.kind(), mine, filled);
        return;
    }
    std::printf("%-11s %-9s %-12s %8.3f ms  OpenCV floodFill %8.3f ms  ratio %.2f (median of pairs %.2f; goal <= 1.0)"
                "  pixels %d / %d%s\n",
                name, size, ours.kind(), mine, Median(refTimes), mine / Median(refTimes), Median(ratios), filled,
                refCount, filled == refCount ? "" : "  MISMATCH");
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
    std::signal(SIGPIPE, SIG_IGN);  // a reference that died answers nothing, and no more is asked
    const fs::path work = fs::temp_directory_path() / ("bench_magic_wand_" + std::to_string(::getpid()));
    fs::create_directories(work);
    std::mt19937 rng(640480);
    std::printf("magic wand, medians of %d interleaved fills\n", rounds);
    Picture blob;
    for (const auto& [w, h] : {std::pair{kW, kH}, std::pair{1920, 1080}}) {
        const Picture b = Shape(false, w, h, rng);
        const Picture snake = Shape(true, w, h, rng);
        BenchWand("blob", b, w / 2, h / 2, rounds, work);
        BenchWand("serpentine", snake, 0, 0, rounds, work);
        if (w == kW) blob = b;
    }
    BenchStrokes(rounds, rng, blob);
    fs::remove_all(work);
    return 0;
}
