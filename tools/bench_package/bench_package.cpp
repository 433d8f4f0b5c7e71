// Packs and unpacks a project of about 200 MB of pictures and compares the
// times with `tar cf` and `tar xf` of the same folders, in the same run.
// The pictures are generated into a temporary folder first (incompressible
// bytes in picture-sized files); every step runs with warm caches, each is
// repeated and the best time is kept.
// Usage: bench_package [megabytes] [repeats]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "project_editor/project_file.h"
#include "shell/data_package.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const char* const kName = "基准测试项目";

void WriteFile(const fs::path& p, const char* data, std::size_t size) {
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(data, static_cast<std::streamsize>(size));
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

template <typename F>
double Best(int repeats, F run) {
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) best = std::min(best, run());
    return best;
}

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 3;
    const fs::path root = fs::temp_directory_path() / ("bench-package-" + std::to_string(::getpid()));
    const fs::path shop = root / "shop", customer = root / "customer", untar = root / "untar";

    // The project: a project file and pictures of 100 KB to 1.5 MB, with a few
    // sounds and show pictures, 200 MB in all.
    {
        auto project = std::make_unique<project_editor::ProjectFile>();
        project->SetPartCount(100);
        const auto dm3 = project_editor::WriteProjectBytes(*project);
        WriteFile(shop / "KZV网页项目文件" / (std::string(kName) + ".dm3"), reinterpret_cast<const char*>(dm3.data()),
                  dm3.size());
        std::mt19937_64 rng(2010);
        std::vector<char> buf(1536 * 1024);
        for (std::size_t i = 0; i < buf.size(); i += 8) {
            const std::uint64_t v = rng();
            std::copy_n(reinterpret_cast<const char*>(&v), 8, buf.data() + i);
        }
        const fs::path folder = shop / "服饰搭配自定试衣项目" / kName;
        const std::size_t total = megabytes * 1024 * 1024;
        std::size_t written = 0;
        for (int i = 0; written < total; ++i) {
            std::size_t size = 100 * 1024 + (rng() % (1400 * 1024));
            size = std::min(size, total - written);
            const char* sub = i % 10 == 9 ? "展示及说明图片" : (i % 25 == 0 ? "音乐及语音" : "试衣及按钮图片");
            const char* ext = i % 25 == 0 ? ".mp3" : (i % 3 ? ".png" : ".jpg");
            const std::size_t start = rng() % (buf.size() - size + 1);
            WriteFile(folder / sub / ("图片_" + std::to_string(i) + ext), buf.data() + start, size);
            written += size;
        }
    }
    std::size_t files = 0;
    for (const auto& e : fs::recursive_directory_iterator(shop)) files += e.is_regular_file();
    Run("sync");

    shell::CDataPackage shopPackage, customerPackage;
    shopPackage.SetDirectories(shop);
    customerPackage.SetDirectories(customer);
    const fs::path package = shopPackage.PackagePath(kName);
    const fs::path tarball = root / "project.tar";
    const std::string tarFolders = Quote("KZV网页项目文件/" + std::string(kName) + ".dm3") + " " +
                                   Quote("服饰搭配自定试衣项目/" + std::string(kName));

    const double pack = Best(repeats, [&] {
        fs::remove(package);
        const auto t = Clock::now();
        if (!shopPackage.Pack(kName)) {
            std::fprintf(stderr, "pack failed: %s\n", shopPackage.GetLastErrorText().c_str());
            std::exit(1);
        }
        return Seconds(t);
    });
    const double tarCreate = Best(repeats, [&] {
        fs::remove(tarball);
        const auto t = Clock::now();
        Run("tar cf " + Quote(tarball) + " -C " + Quote(shop) + " " + tarFolders);
        return Seconds(t);
    });
    fs::create_directories(customer / "服饰搭配下载专区");
    fs::copy_file(package, customer / "服饰搭配下载专区" / "p.rar");
    const double unpack = Best(repeats, [&] {
        fs::remove_all(customer / "KZV网页项目文件");
        fs::remove_all(customer / "服饰搭配自定试衣项目");
        const auto t = Clock::now();
        if (customerPackage.Unpack("p.rar", nullptr) != 1) {
            std::fprintf(stderr, "unpack failed: %s\n", customerPackage.GetLastErrorText().c_str());
            std::exit(1);
        }
        return Seconds(t);
    });
    const double tarExtract = Best(repeats, [&] {
        fs::remove_all(untar);
        fs::create_directories(untar);
        const auto t = Clock::now();
        Run("tar xf " + Quote(tarball) + " -C " + Quote(untar));
        return Seconds(t);
    });
    const std::string diff = "diff -rq " + Quote(shop / "服饰搭配自定试衣项目") + " " +
                             Quote(customer / "服饰搭配自定试衣项目") + " && cmp -s " +
                             Quote(shop / "KZV网页项目文件" / (std::string(kName) + ".dm3")) + " " +
                             Quote(customer / "KZV网页项目文件" / (std::string(kName) + ".dm3"));
    const bool same = std::system(diff.c_str()) == 0;

    std::printf("project: %zu files, %.1f MB; package %.1f MB, tar %.1f MB; best of %d\n", files,
                static_cast<double>(megabytes), static_cast<double>(fs::file_size(package)) / 1048576.0,
                static_cast<double>(fs::file_size(tarball)) / 1048576.0, repeats);
    std::printf("pack     %7.3f s   tar cf %7.3f s   ratio %.2f\n", pack, tarCreate, pack / tarCreate);
    std::printf("unpack   %7.3f s   tar xf %7.3f s   ratio %.2f\n", unpack, tarExtract, unpack / tarExtract);
    std::printf("unpacked project identical to the packed one: %s\n", same ? "yes" : "no");
    fs::remove_all(root);
    return 0;
}
