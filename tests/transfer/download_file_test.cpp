// Downloading a listed file from a real server on the loopback interface.
#include "transfer/download_file.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "tests/support/http_test_server.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testsupport::HttpTestServer;
using testsupport::ReadAll;
using testsupport::TempDir;

namespace {


std::size_t FilesIn(const fs::path& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

class DownloadFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        site.write("p.rar", testsupport::PatternBytes(100000));
        site.write("one.bin", std::string("x"));
        server = std::make_unique<HttpTestServer>(site.path());
        ASSERT_TRUE(server->running());
        target = base / "服饰搭配下载专区" / "p.rar";
        options.lowSpeedSeconds = 1;
        options.progress = [this](const transfer::DownloadProgress& p) { reports.push_back(p); };
    }
    int Download(const std::string& path) { return transfer::DownloadFile(server->url(path), target, options); }

    TempDir site, base;
    std::unique_ptr<HttpTestServer> server;
    fs::path target;
    transfer::DownloadOptions options;
    std::vector<transfer::DownloadProgress> reports;
};

TEST_F(DownloadFileTest, AWholeFileArrivesWithProgress) {
    ASSERT_EQ(Download("/files/p.rar"), transfer::kDownloadDone);
    EXPECT_EQ(ReadAll(target), testsupport::PatternBytes(100000));
    EXPECT_EQ(FilesIn(target.parent_path()), 1u);  // no temporary file left
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().received, 100000u);
    EXPECT_EQ(reports.back().length, 100000);
    EXPECT_EQ(reports.back().percent, 100);
    EXPECT_EQ(reports.back().line.rfind("97 KB / 97 KB @ ", 0), 0u) << reports.back().line;
    // The first chunk's rate is taken over 10 ms, whenever it came.
    EXPECT_EQ(reports.front().line, transfer::RateLine(reports.front().received, 100000, 10));
    for (std::size_t i = 1; i < reports.size(); ++i) {
        EXPECT_GT(reports[i].received, reports[i - 1].received);
        EXPECT_LE(reports[i].received - reports[i - 1].received, 16384u);
    }

    // Without a length the bar has nothing to show and the total reads 0.
    reports.clear();
    ASSERT_EQ(Download("/nolength/p.rar"), transfer::kDownloadDone);
    EXPECT_EQ(ReadAll(target), testsupport::PatternBytes(100000));
    EXPECT_EQ(reports.back().percent, -1);
    EXPECT_EQ(reports.back().line.rfind("97 KB / 0 KB @ ", 0), 0u) << reports.back().line;
}

// A download of a name removes the temporaries that killed downloads of the
// same name left (their process is gone), and no others; a name that is a
// link gets the file it names written.
TEST_F(DownloadFileTest, ADownloadRemovesItsOwnStaleTemporariesAndWritesThroughLinks) {
    const pid_t child = testsupport::EndedProcessId();
    ASSERT_GT(child, 0);
    const std::string gone = std::to_string(child);
    const fs::path folder = target.parent_path();
    base.write(fs::path("服饰搭配下载专区") / (".p.rar.part-" + gone + "-0"), "half a download");
    base.write(fs::path("服饰搭配下载专区") / (".q.rar.part-" + gone + "-0"), "another name's");
    base.write(fs::path("服饰搭配下载专区") / "real.rar", "old");
    fs::create_symlink("real.rar", target);
    ASSERT_EQ(Download("/files/p.rar"), transfer::kDownloadDone);
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_EQ(ReadAll(folder / "real.rar"), testsupport::PatternBytes(100000));
    EXPECT_EQ(testsupport::FileNames(folder),
              (std::vector<std::string>{".q.rar.part-" + gone + "-0", "p.rar", "real.rar"}));
}

TEST_F(DownloadFileTest, AFailedDownloadKeepsTheEarlierCopy) {
    ASSERT_EQ(Download("/files/p.rar"), transfer::kDownloadDone);
    std::atomic<bool> cancel{false};
    struct Case {
        const char* what;
        std::string url;
        int result;
    } cases[] = {
        {"404", server->url("/files/missing.rar"), transfer::kDownloadOpenFailed},
        {"server error", server->url("/status/503"), transfer::kDownloadOpenFailed},
        {"body cut short", server->url("/short/p.rar"), transfer::kDownloadReadFailed},
        {"stall", server->url("/stall/one.bin"), transfer::kDownloadReadFailed},
        {"no server", "http://127.0.0.1:1/p.rar", transfer::kDownloadOpenFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(transfer::DownloadFile(c.url, target, options), c.result);
        EXPECT_EQ(ReadAll(target), testsupport::PatternBytes(100000));
        EXPECT_EQ(FilesIn(target.parent_path()), 1u);
    }

    // Offline: nothing is asked of the network.
    options.online = [](std::string_view) { return false; };
    EXPECT_EQ(Download("/files/p.rar"), transfer::kDownloadOffline);
    options.online = nullptr;

    // Cancelled while the server stalls.
    options.cancel = &cancel;
    options.lowSpeedSeconds = 60;
    std::thread raiser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancel = true;
    });
    EXPECT_EQ(Download("/stall/p.rar"), transfer::kDownloadCancelled);
    raiser.join();
    EXPECT_EQ(ReadAll(target), testsupport::PatternBytes(100000));
    EXPECT_EQ(FilesIn(target.parent_path()), 1u);

    // The target's name is taken by a folder: the file cannot be put there.
    fs::remove(target);
    fs::create_directories(target / "x");
    cancel = false;
    EXPECT_EQ(Download("/files/p.rar"), transfer::kDownloadCreateFailed);
    EXPECT_EQ(FilesIn(target.parent_path()), 1u);
}

TEST(DownloadWork, RateLinesAndTheWorkRecord) {
    EXPECT_EQ(transfer::RateLine(2048, 10240, 1000), "2 KB / 10 KB @ 2.0 KB/s");
    EXPECT_EQ(transfer::RateLine(1024, -1, 0), "1 KB / 0 KB @ 100.0 KB/s");  // 0 ms counts as 10
    EXPECT_EQ(transfer::RateLine(6'000'000'000ull, 6'000'000'000ll, 1000), "5859375 KB / 5859375 KB @ 5859375.0 KB/s");

    TempDir base;
    EXPECT_FALSE(transfer::WriteWorkRecord(base.path()));
    EXPECT_FALSE(fs::exists(base / "JXCellTemp"));
    fs::create_directories(base / "JXCellTemp");
    ASSERT_TRUE(transfer::WriteWorkRecord(base.path()));
    const auto b = ReadAll(base / "JXCellTemp" / "jxClothDownRec.jxr");
    ASSERT_EQ(b.size(), 400u);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const bool blank = i == 0 || (i >= 367 && i <= 372);
        EXPECT_EQ(b[i], blank ? ' ' : 0) << i;
    }
}

}  // namespace
