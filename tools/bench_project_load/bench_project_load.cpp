// Loads a full fitting project (166 parts, 166 faces, a full pool) through the
// project store again and again, and compares the median load time with the
// median time of reading the same file's bytes into memory, measured
// alternately in the same run.
// Usage: bench_project_load [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/files.h"
#include "project_editor/project_file.h"
#include "project_editor/project_store.h"

using namespace project_editor;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Every part and face record used, every face string pointing into a pool
// filled to its capacity.
std::vector<std::uint8_t> FullProject(const fs::path& pictures) {
    auto project = std::make_unique<ProjectFile>();
    project->header.SetPictureFolder(pictures.string());
    project->SetPartCount(kMaxParts);
    project->SetFaceCount(kMaxFaces);
    project->SetPoolLength(kPoolCapacity);
    auto pool = project->pool.MutableBytes();
    for (std::size_t i = 0; i < pool.size(); ++i) pool[i] = static_cast<std::uint8_t>('a' + i % 26);
    for (int i = 0; i < kMaxParts; ++i) {
        PartRecord& p = project->parts[static_cast<std::size_t>(i)];
        p.SetCategory(static_cast<char>('A' + i % 16));
        p.SetRowType('x');
        p.SetName("部件名称" + std::to_string(i));
        p.SetPictureName("picture" + std::to_string(i));
        p.SetDepth(i % 100);
        FaceRecord& f = project->faces[static_cast<std::size_t>(i)];
        for (int k = 1; k <= kFaceStringKinds; ++k)
            for (int n = 0; n < kFaceStringsPerKind; ++n)
                f.SetString(k, n, (i * 64 + (k - 1) * 16 + n) * 17 % (kPoolCapacity - 66), 66);
    }
    return WriteProjectBytes(*project);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    const fs::path base = fs::temp_directory_path() / ("bench_project_load_" + std::to_string(::getpid()));
    fs::create_directories(base / std::string(kProjectFolderName));
    fs::create_directories(base / "pics");
    const auto bytes = FullProject(base / "pics");
    const fs::path file = ProjectFilePath(base, "bench");
    if (!platform::SaveFileAtomic(file, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return 1;
    }

    CProjectStore& store = CProjectStore::Instance();
    store.SetBaseDir(base);
    std::vector<double> loadUs, readUs;
    std::size_t sink = 0;
    for (int r = 0; r < rounds + 50; ++r) {
        const auto t0 = Clock::now();
        const auto raw = platform::ReadWholeFile(file, kMaxProjectFileSize + 1);
        const auto t1 = Clock::now();
        if (!store.Load("bench")) {
            std::fprintf(stderr, "load failed\n");
            return 1;
        }
        const auto t2 = Clock::now();
        sink += raw->size() + static_cast<std::size_t>(store.PartCount());
        if (r < 50) continue;  // warm-up
        readUs.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
        loadUs.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count());
    }
    const double load = Median(loadUs), read = Median(readUs);
    std::printf("file: %zu bytes (166 parts, 166 faces, pool %d bytes), %d rounds\n", bytes.size(), kPoolCapacity,
                rounds);
    std::printf("median project load: %.1f us\n", load);
    std::printf("median raw read:     %.1f us\n", read);
    std::printf("load / raw read:     %.2fx\n", load / read);
    std::error_code ec;
    fs::remove_all(base, ec);
    return sink == 0;
}
