// HTTP against a real server on the loopback interface, started per test.
#include "platform/net.h"

#include <gtest/gtest.h>

#include <optional>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "tests/support/http_test_server.h"
#include "tests/support/temp_dir.h"

using platform::HttpOutcome;
using testsupport::HttpTestServer;
using testsupport::TempDir;

namespace {

// A loopback port nobody listens on.
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

class NetTest : public ::testing::Test {
protected:
    void SetUp() override {
        root.write("list.htm", std::string("a.rar,b.rar,"));
        root.write("empty.htm", std::string());
        root.write("4095.bin", std::string(4095, 'x'));
        root.write("one.bin", std::string("x"));
        std::string big;
        for (int i = 0; i < 100000; ++i) big += static_cast<char>(i * 7);
        root.write("big.bin", big);
        server = std::make_unique<HttpTestServer>(root.path());
        ASSERT_TRUE(server->running());
    }
    TempDir root;
    std::unique_ptr<HttpTestServer> server;
};

TEST_F(NetTest, FetchFailsForEveryBrokenAnswer) {
    struct Case {
        std::string url;
        int result;
        std::string text;  // what FetchText leaves in its text
        const char* lastLine;  // nullptr: any non-empty line
    };
    const std::string big = std::string(reinterpret_cast<const char*>(testsupport::ReadAll(root / "big.bin").data()), 100000);
    const Case cases[] = {
        {server->url("/files/list.htm"), 1, "a.rar,b.rar,", ""},
        {server->url("/files/empty.htm"), 1, "", ""},
        {server->url("/files/4095.bin"), 1, std::string(4095, 'x'), ""},
        {server->url("/nolength/big.bin"), 1, big, ""},
        {server->url("/files/missing.htm"), 0, "", "The server answered with status 404"},
        {server->url("/status/500"), 0, "", "The server answered with status 500"},
        {server->url("/short/big.bin"), 0, big.substr(0, 50000), nullptr},
        {"http://127.0.0.1:" + std::to_string(ClosedPort()) + "/list.htm", 0, "", nullptr},
        {"ftp://127.0.0.1/list.htm", 0, "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        platform::CHttpFetcher fetcher;
        std::vector<std::string> lines;
        std::string text = "old";
        EXPECT_EQ(fetcher.FetchText(c.url, &text, "Fittora !! ", [&](const std::string& l) { lines.push_back(l); }),
                  c.result);
        EXPECT_EQ(text, c.text);
        ASSERT_FALSE(lines.empty());
        if (c.lastLine)
            EXPECT_EQ(lines.back(), c.lastLine);
        else
            EXPECT_FALSE(lines.back().empty());
    }
}

TEST_F(NetTest, StatusLinesFollowTheTransfer) {
    platform::CHttpFetcher fetcher;
    std::vector<std::string> lines;
    std::string text;
    ASSERT_EQ(fetcher.FetchText(server->url("/files/list.htm"), &text, "Fittora !! ",
                                [&](const std::string& l) { lines.push_back(l); }),
              1);
    const std::vector<std::string> expected = {"",
                                               "Resolving name for 127.0.0.1",
                                               "Resolved name for 127.0.0.1",
                                               "Connecting to socket address ",
                                               "Connected to socket address",
                                               "Sending request...",
                                               "Request sent",
                                               "Response received",
                                               "Read 12 bytes",
                                               "Closing the connection to the server",
                                               "Connection to the server closed",
                                               ""};
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(fetcher.session()->statusText(), "");
    EXPECT_EQ(fetcher.session()->agent(), "Fittora !! ");
}

TEST(StatusLines, EveryStageOfTheTableWritesItsLine) {
    const std::uint8_t host[] = {'h', '.', 'c', 'n'};
    const std::uint8_t words[] = {0x01, 0, 0, 0, 0x2F, 0x2F, 0, 0};
    struct Case {
        unsigned code;
        std::span<const std::uint8_t> info;
        std::optional<std::string> line;
    };
    const Case cases[] = {
        {10, host, "Resolving name for h.cn"},
        {11, host, "Resolved name for h.cn"},
        {20, {}, "Connecting to socket address "},
        {21, {}, "Connected to socket address"},
        {30, {}, "Sending request..."},
        {31, {}, "Request sent"},
        {40, {}, std::nullopt},
        {41, {}, "Response received"},
        {50, {}, "Closing the connection to the server"},
        {51, {}, "Connection to the server closed"},
        {60, {}, ""},
        {70, {}, std::nullopt},
        {100, words, "Request complete, dwResult = 00000001, dwError = 00002F2F"},
        {100, host, "Request complete"},
        {100, {}, "Request complete"},
        {42, {}, "Unknown status: 42"},
        {0, {}, "Unknown status: 0"},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::StatusLine(c.code, c.info), c.line) << c.code;

    // The session writes the line; the stages without one leave the last.
    std::vector<std::string> shown;
    platform::CStatusInternetSession session("a", [&](const std::string& l) { shown.push_back(l); });
    session.OnStatusCallback(31);
    session.OnStatusCallback(40);
    session.OnStatusCallback(100, words);
    session.OnStatusCallback(7);
    EXPECT_EQ(shown, (std::vector<std::string>{"Request sent", "Request complete, dwResult = 00000001, dwError = 00002F2F",
                                               "Unknown status: 7"}));
    EXPECT_EQ(session.statusText(), "Unknown status: 7");
}

TEST_F(NetTest, StallsTimeOutAndCancelStopsATransfer) {
    // A stall right after the headers (bytes received before a stall keep the
    // measured speed up for a few more seconds).
    platform::HttpRequest request;
    request.url = server->url("/stall/one.bin");
    request.lowSpeedSeconds = 1;
    std::uint64_t got = 0;
    platform::HttpCallbacks callbacks;
    callbacks.onData = [&](std::span<const std::uint8_t> c) {
        got += c.size();
        return true;
    };
    auto start = std::chrono::steady_clock::now();
    platform::HttpResult r = platform::HttpGet(request, callbacks);
    EXPECT_EQ(r.outcome, HttpOutcome::TimedOut);
    EXPECT_EQ(r.length, 1);
    EXPECT_EQ(got, 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));

    // A server that accepts and never answers: the same limit.
    request.url = server->url("/hang");
    EXPECT_EQ(platform::HttpGet(request, {}).outcome, HttpOutcome::TimedOut);

    // Cancel from another thread while the transfer stalls.
    std::atomic<bool> cancel{false};
    request.url = server->url("/stall/big.bin");
    request.lowSpeedSeconds = 60;
    request.cancel = &cancel;
    std::thread raiser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancel = true;
    });
    start = std::chrono::steady_clock::now();
    r = platform::HttpGet(request, callbacks);
    raiser.join();
    EXPECT_EQ(r.outcome, HttpOutcome::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    // A refused chunk stops the transfer as a write failure.
    request.url = server->url("/files/big.bin");
    request.cancel = nullptr;
    callbacks.onData = [](std::span<const std::uint8_t>) { return false; };
    EXPECT_EQ(platform::HttpGet(request, callbacks).outcome, HttpOutcome::WriteFailed);
}

TEST_F(NetTest, ErrorPagesAndShortBodiesNeverReachTheData) {
    struct Case {
        std::string path;
        HttpOutcome outcome;
        std::uint64_t delivered;
    } cases[] = {
        {"/files/big.bin", HttpOutcome::Ok, 100000},
        {"/files/nothing", HttpOutcome::HttpStatus, 0},
        {"/status/302", HttpOutcome::HttpStatus, 0},  // a redirect without a target
        {"/short/big.bin", HttpOutcome::ShortBody, 50000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        platform::HttpRequest request;
        request.url = server->url(c.path);
        std::uint64_t got = 0;
        int starts = 0;
        platform::HttpCallbacks callbacks;
        callbacks.onStart = [&](std::int64_t) { ++starts; };
        callbacks.onData = [&](std::span<const std::uint8_t> chunk) {
            EXPECT_LE(chunk.size(), 16384u);
            got += chunk.size();
            return true;
        };
        const platform::HttpResult r = platform::HttpGet(request, callbacks);
        EXPECT_EQ(r.outcome, c.outcome) << r.message;
        EXPECT_EQ(got, c.delivered);
        EXPECT_EQ(r.received, c.delivered);
        EXPECT_EQ(starts, c.delivered ? 1 : 0);
    }
}

TEST(Net, ProgressIsComputedInSixtyFourBits) {
    EXPECT_EQ(platform::ProgressPercent(0, -1), -1);
    EXPECT_EQ(platform::ProgressPercent(10, 0), -1);
    EXPECT_EQ(platform::ProgressPercent(0, 100), 0);
    EXPECT_EQ(platform::ProgressPercent(50, 100), 50);
    EXPECT_EQ(platform::ProgressPercent(3'000'000'000ull, 6'000'000'000ll), 50);  // past 32 bits
    EXPECT_EQ(platform::ProgressPercent(1ull << 62, 1ll << 62), 100);
    EXPECT_EQ(platform::ProgressPercent((1ull << 62) - 1, 1ll << 62), 99);
    EXPECT_EQ(platform::ProgressPercent(200, 100), 100);
    EXPECT_TRUE(platform::NetworkAvailable("http://127.0.0.1:8080/x"));
    EXPECT_TRUE(platform::NetworkAvailable("http://localhost/x"));
}

}  // namespace
