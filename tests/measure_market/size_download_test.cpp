// The size-table download against a loopback HTTP server: a good chart
// replaces the old one; every broken answer leaves it as it was.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "measure_market/measure_data.h"
#include "measure_market/size_database.h"
#include "measure_market/size_download.h"
#include "platform/record.h"
#include "platform/text.h"
#include "tests/support/http_test_server.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace measure;
using testsupport::ReadAll;

int ClosedPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(s);
    return ntohs(a.sin_port);
}

// A chart file of exactly `size` bytes: 10 rows, 10 slots, the rest pool.
std::vector<unsigned char> ChartBytes(std::size_t size) {
    std::vector<unsigned char> b(size, 'p');
    platform::RecordWriter w(b);
    w.Fill(0, 4, ' ');
    w.I32(4, 10);
    w.I32(8, 10);
    w.I32(12, static_cast<std::int32_t>(size - 28 - 480 - 120));
    w.Fill(16, 12, 0);
    for (int r = 0; r < 10; ++r) {
        const std::size_t at = 28 + 48 * static_cast<std::size_t>(r);
        w.Fill(at, 48, 0);
        w.Char(at, ' ');
        w.Char(at + 1, 'W');
        w.Char(at + 2, '3');
        w.Char(at + 3, ' ');
        for (int i = 0; i < 10; ++i) w.I32(at + 8 + 4 * i, i == 0 ? r : -1);
    }
    for (int s = 0; s < 10; ++s) {
        const std::size_t at = 28 + 480 + 12 * static_cast<std::size_t>(s);
        w.I32(at, s * 2);
        w.I32(at + 4, 2);
        w.I32(at + 8, 2);
    }
    return b;
}

struct DownloadFixture : ::testing::Test {
    testsupport::TempDir site, base;
    std::unique_ptr<testsupport::HttpTestServer> server;
    std::filesystem::path chart;
    std::vector<unsigned char> old = {'o', 'l', 'd'};
    void SetUp() override {
        const std::string name = platform::Utf8ToGbkLossy(kSizeTableName);
        site.write(std::filesystem::path("kzvweb_clothda") / name, ChartBytes(30000));
        site.write(std::filesystem::path("bad") / "kzvweb_clothda" / name, std::string(500, 'x'));
        site.write(std::filesystem::path("long") / "kzvweb_clothda" / name, std::string(130000, 'x'));
        server = std::make_unique<testsupport::HttpTestServer>(site.path());
        ASSERT_TRUE(server->running());
        chart = DataFile(base.path(), kSizeFileName);
        base.write(chart.lexically_relative(base.path()), old);
    }
};

// The body is read in blocks of 10,240 bytes however the network cuts it:
// whole at once, in 16 KB pieces, or without a length.
TEST_F(DownloadFixture, AGoodChartReplacesTheOldOne) {
    const struct {
        const char* path;
        std::vector<std::string> progress;
    } cases[] = {
        {"/files", {"( 34% ),[ 10240 ]", "( 68% ),[ 20480 ]", "( 100% ),[ 30000 ]"}},
        {"/slow", {"( 34% ),[ 10240 ]", "( 68% ),[ 20480 ]", "( 100% ),[ 30000 ]"}},
        {"/nolength", {"( --% ),[ 10240 ]", "( --% ),[ 20480 ]", "( --% ),[ 30000 ]"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        base.write(chart.lexically_relative(base.path()), old);
        std::vector<std::string> progress;
        const auto r = DownloadSizeTable(SizeTableUrl(server->url(c.path)), chart,
                                         [&](const std::string& t) { progress.push_back(t); });
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.text, kTextDone);
        EXPECT_EQ(r.total, 30000u);
        EXPECT_EQ(progress, c.progress);
        EXPECT_EQ(ReadAll(chart), ChartBytes(30000));
    }
    CSizeDatabase db;
    db.CopyTrimmedName(base.path());
    ASSERT_EQ(db.LoadSizes(), LoadResult::Loaded);
    EXPECT_EQ(db.GetSizeCount(), 10);
    EXPECT_EQ(db.GetSizeChar(9, kCharDigit), '3');
    EXPECT_EQ(db.GetSizeField(3, 1), "pp");
}

TEST_F(DownloadFixture, BrokenAnswersLeaveTheChart) {
    struct Case {
        std::string url;
        const char* text;
    };
    const Case cases[] = {
        {SizeTableUrl(server->url("/status/404")), kTextRequestFailed},
        {SizeTableUrl(server->url("/status/204")), kTextRequestFailed},
        {SizeTableUrl(server->url("/missing")), kTextRequestFailed},
        {SizeTableUrl(server->url("/short")), kTextReadFailed},
        {SizeTableUrl(server->url("/files/bad")), kTextNotAChart},
        {SizeTableUrl(server->url("/files/long")), kTextNotAChart},
        {SizeTableUrl("http://127.0.0.1:" + std::to_string(ClosedPort())), kTextNoServer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        SizeDownloadOptions options;
        options.connectTimeoutSeconds = 5;
        options.lowSpeedSeconds = 5;
        const auto r = DownloadSizeTable(c.url, chart, nullptr, options);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.text, c.text);
        EXPECT_EQ(ReadAll(chart), old);
    }
    // Nothing left behind in the data folder but the chart.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(chart.parent_path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(SizeDownloadText, ProgressAndAddress) {
    EXPECT_EQ(ProgressText(10240, 30000), "( 34% ),[ 10240 ]");
    EXPECT_EQ(ProgressText(20480, 30000), "( 68% ),[ 20480 ]");
    EXPECT_EQ(ProgressText(30000, 30000), "( 100% ),[ 30000 ]");
    EXPECT_EQ(ProgressText(500, -1), "( --% ),[ 500 ]");
    EXPECT_EQ(ProgressText(500, 0), "( --% ),[ 500 ]");
    EXPECT_EQ(SizeTableUrl("http://h.example/"),
              "http://h.example/kzvweb_clothda/%B7%FE%CA%CE%B3%DF%C2%EB%BC%C7%C2%BC%B1%EDcd3.zip");
}

}  // namespace
