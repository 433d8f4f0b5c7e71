// Uploads and downloads a package of about 200 MB, packed by the client's
// packer, over one loopback FTP server (python3-pyftpdlib) with the FTP
// layer, and does the same transfers with the `curl` program in the same run.
// The four transfers take turns in every round, so that the machine's load
// falls on both sides alike; each is reported as the median of its rounds,
// and the ratios are ours / curl's. Our upload includes its rename onto the
// package's name (curl writes straight to the name).
// Usage: bench_ftp [megabytes] [rounds]   (run tools/bench_ftp/setup.sh first)
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

#include "platform/ftp.h"
#include "project_editor/project_file.h"
#include "shell/data_package.h"
#include "tests/support/ftp_test_server.h"

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

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

void Check(const platform::FtpResult& r, const char* what) {
    if (r.ok()) return;
    std::fprintf(stderr, "%s failed: %s\n", what, r.message.c_str());
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
    const int rounds = std::max(1, argc > 2 ? std::atoi(argv[2]) : 5);
    if (std::system("command -v curl >/dev/null") != 0) {
        std::fprintf(stderr, "the curl program is missing: run tools/bench_ftp/setup.sh\n");
        return 1;
    }
    const fs::path root = fs::temp_directory_path() / ("bench-ftp-" + std::to_string(::getpid()));
    const fs::path shop = root / "shop", site = root / "site", down = root / "down";

    // The package: a project of pictures of 100 KB to 1.5 MB, packed.
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
            std::size_t size = std::min<std::size_t>(100 * 1024 + (rng() % (1400 * 1024)), total - written);
            const std::size_t start = rng() % (buf.size() - size + 1);
            WriteFile(folder / "试衣及按钮图片" / ("图片_" + std::to_string(i) + ".png"), buf.data() + start, size);
            written += size;
        }
    }
    shell::CDataPackage packer;
    packer.SetDirectories(shop);
    if (!packer.Pack(kName)) {
        std::fprintf(stderr, "pack failed: %s\n", packer.GetLastErrorText().c_str());
        return 1;
    }
    const fs::path package = packer.PackagePath(kName);
    fs::remove_all(shop / "服饰搭配自定试衣项目");
    fs::create_directories(site / "web" / "DressDLoad2010");
    fs::create_directories(down);
    Run("sync");

    testsupport::FtpTestServer server(site, "shop", "secret");
    if (!server.running()) {
        std::fprintf(stderr, "the FTP server did not start (python3-pyftpdlib missing?)\n");
        return 1;
    }
    platform::FtpSite ftp;
    ftp.server = server.server();
    ftp.user = "shop";
    ftp.password = "secret";
    const std::string remote = "web/DressDLoad2010/package.rar";
    const std::string url = "ftp://127.0.0.1:" + std::to_string(server.port()) + "/" + remote;
    const std::string curl = "curl -s -S --user shop:secret ";

    std::vector<double> upload, curlUpload, download, curlDownload;
    for (int round = 0; round < rounds; ++round) {
        auto t = Clock::now();
        Check(platform::FtpUpload(ftp, package, remote), "upload");
        upload.push_back(Seconds(t));
        t = Clock::now();
        Run(curl + "-T " + Quote(package) + " " + url);
        curlUpload.push_back(Seconds(t));
        fs::remove(down / "ours.rar");
        t = Clock::now();
        Check(platform::FtpDownload(ftp, remote, down / "ours.rar"), "download");
        download.push_back(Seconds(t));
        fs::remove(down / "curl.rar");
        t = Clock::now();
        Run(curl + "-o " + Quote(down / "curl.rar") + " " + url);
        curlDownload.push_back(Seconds(t));
    }
    const bool same = std::system(("cmp -s " + Quote(package) + " " + Quote(down / "ours.rar") + " && cmp -s " +
                                   Quote(package) + " " + Quote(down / "curl.rar"))
                                      .c_str()) == 0;
    const double mb = static_cast<double>(fs::file_size(package)) / (1024.0 * 1024.0);
    std::printf("package: %.1f MB, medians of %d interleaved rounds, one loopback pyftpdlib server\n", mb, rounds);
    auto line = [&](const char* what, const std::vector<double>& ours, const std::vector<double>& theirs) {
        const double a = Median(ours), b = Median(theirs);
        std::printf("%-9s ours %.3f s (%.0f MB/s), curl %.3f s (%.0f MB/s), ratio %.2f\n", what, a, mb / a, b, mb / b,
                    a / b);
    };
    line("upload:", upload, curlUpload);
    line("download:", download, curlDownload);
    std::printf("downloads byte-identical to the package: %s\n", same ? "yes" : "NO");
    server.Stop();
    fs::remove_all(root);
    return same ? 0 : 1;
}
