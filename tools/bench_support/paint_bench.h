#pragma once
// What the painting benchmarks share: the median of timed runs, the machine's
// load, and the reference they are measured against in the same run, the
// pictures decoded once each on one core. Header only; for the benchmarks.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <vector>

#include <wx/image.h>

#include "platform/image/picture_io.h"

namespace paint_bench {

using Clock = std::chrono::steady_clock;

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

inline double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The one-minute load average (0 when it cannot be read).
inline double LoadAverage() {
    double load = 0;
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1) load = 0;
        std::fclose(f);
    }
    return load;
}

// The median time of `runs` calls of `paint`, each after `forget` (which drops
// what the paint keeps, as a switch to new pictures does).
template <class Forget, class Paint>
double MedianAfter(int runs, Forget forget, Paint paint) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        forget();
        const auto start = Clock::now();
        paint();
        times.push_back(MillisecondsSince(start));
    }
    return Median(times);
}

struct SerialDecode {
    double milliseconds = 0;  // the median of the runs
    std::size_t pixels = 0;   // decoded in one run
};

// The files decoded once each, one after the other, on this thread; `runs` times.
inline SerialDecode DecodeOnOneCore(const std::vector<std::filesystem::path>& files, int runs) {
    SerialDecode result;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        result.pixels = 0;
        const auto start = Clock::now();
        for (const auto& f : files) {
            const wxImage img = platform::image::LoadPicture(f);
            result.pixels += static_cast<std::size_t>(img.GetWidth()) * static_cast<std::size_t>(img.GetHeight());
        }
        times.push_back(MillisecondsSince(start));
    }
    result.milliseconds = Median(times);
    return result;
}

}  // namespace paint_bench
