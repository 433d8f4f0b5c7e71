// The traffic meter over recorded /proc/net/dev snapshots, and the history
// a graph draws.
#include "transfer/net_traffic.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "platform/sysinfo.h"

namespace {

const char* const kHeader =
    "Inter-|   Receive                                                |  Transmit\n"
    " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets errs drop fifo colls carrier "
    "compressed\n";

// A snapshot with lo, eth0 and wlan0 (in the kernel's order: lo first).
std::string Snap(unsigned long long loRx, unsigned long long ethRx, unsigned long long ethTx,
                 unsigned long long wlanRx = 0, unsigned long long wlanTx = 0) {
    char buf[1024];
    std::snprintf(buf, sizeof buf,
                  "%s    lo: %llu 10 0 0 0 0 0 0 %llu 10 0 0 0 0 0 0\n"
                  "  eth0: %llu 200 0 0 0 0 0 3 %llu 150 0 0 0 0 0 0\n"
                  " wlan0:%llu 0 0 0 0 0 0 0 %llu 0 0 0 0 0 0 0\n",
                  kHeader, loRx, loRx, ethRx, ethTx, wlanRx, wlanTx);
    return buf;
}

// A source that hands out the queued snapshots in order (nullopt: a failed read).
struct Feed {
    std::deque<std::optional<std::string>> queue;
    std::optional<std::string> last;
    transfer::CNetTraffic::Source source() {
        return [this]() -> std::optional<std::string> {
            if (!queue.empty()) {
                last = queue.front();
                queue.pop_front();
            }
            return last;
        };
    }
};

}  // namespace

TEST(NetDev, ParsesInterfacesWithLoopbackLast) {
    const auto list = platform::ParseNetDev(Snap(5, 1000, 2000, 7, 8) + "garbage line\n  bad: 1 2\n");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].name, "eth0");
    EXPECT_EQ(list[0].received, 1000u);
    EXPECT_EQ(list[0].sent, 2000u);
    EXPECT_EQ(list[1].name, "wlan0");  // no blank after the colon
    EXPECT_EQ(list[1].received, 7u);
    EXPECT_EQ(list[1].sent, 8u);
    EXPECT_EQ(list[2].name, "lo");
    EXPECT_TRUE(platform::ParseNetDev(kHeader).empty());
    EXPECT_TRUE(platform::ParseNetDev("").empty());
    // The live file reads, whatever it holds.
    EXPECT_TRUE(platform::ReadNetDevText().has_value());
    EXPECT_FALSE(platform::ReadNetDevText("/nonexistent/net/dev").has_value());
}

TEST(NetTraffic, SamplesATableOfSnapshots) {
    // Each row: the next snapshot (or a failed read) and what GetTraffic(0)
    // on eth0 gives for the chosen counter.
    struct Row {
        const char* what;
        std::optional<std::string> snap;
        double total, received, sent;
    };
    const unsigned long long k4G = 1ull << 32;
    const std::vector<Row> rows = {
        {"first sample of an interface", Snap(0, 1000, 500), 0, 0, 0},
        {"traffic", Snap(0, 3000, 800), 2300, 2000, 300},
        {"idle", Snap(0, 3000, 800), 0, 0, 0},
        {"failed read shows 0", std::nullopt, 0, 0, 0},
        {"after a failed read", Snap(0, 4000, 900), 1100, 1000, 100},
        {"counter reset: never negative", Snap(0, 100, 50), 0, 0, 0},
        {"after the reset", Snap(0, 600, 150), 600, 500, 100},
        {"near the 32-bit end", Snap(0, k4G - 100, 150), 0, 0, 0},
        {"32-bit wrap", Snap(0, 400, 150), 500, 500, 0},
    };
    for (int type : {transfer::kCounterTotal, transfer::kCounterReceived, transfer::kCounterSent}) {
        Feed feed;
        feed.queue = {Snap(0, 0, 0)};
        transfer::CNetTraffic meter(feed.source());  // reads the interface list
        meter.SetTrafficType(type);
        for (const Row& r : rows) feed.queue.push_back(r.snap);
        for (const Row& r : rows) {
            SCOPED_TRACE(std::string(r.what) + " counter " + std::to_string(type));
            const double want = type == transfer::kCounterTotal ? r.total : type == transfer::kCounterReceived ? r.received : r.sent;
            if (std::string(r.what) == "near the 32-bit end") {
                meter.GetTraffic(0);  // a big jump; only the wrap after it matters
                continue;
            }
            EXPECT_EQ(meter.GetTraffic(0), want);
        }
    }
}

TEST(NetTraffic, ReadingNamesAndValuesLeavesTheSamplingAlone) {
    Feed feed;
    feed.queue = {Snap(50, 1000, 0, 70, 0)};
    transfer::CNetTraffic meter(feed.source());
    ASSERT_EQ(meter.InterfaceCount(), 3);
    EXPECT_EQ(meter.GetNetworkInterfacesCount(), 2);
    std::string name;
    ASSERT_EQ(meter.GetNetworkInterfaceName(&name, 2), 1);
    EXPECT_EQ(name, "lo");
    EXPECT_EQ(meter.GetNetworkInterfaceName(&name, 3), 0);

    feed.queue = {Snap(50, 1000, 0, 70, 0), Snap(60, 1500, 0, 90, 0), Snap(60, 1800, 0, 90, 0)};
    EXPECT_EQ(meter.GetTraffic(0), 0);     // first sample of eth0
    // Asking for another interface's value neither switches the interface
    // nor takes a sample of eth0.
    EXPECT_EQ(meter.GetInterfaceTotalTraffic(1), 70);  // stored by the sample
    EXPECT_EQ(meter.currentInterface(), 0);
    EXPECT_EQ(meter.GetTraffic(0), 500);
    EXPECT_EQ(meter.GetTraffic(0), 300);
    EXPECT_EQ(meter.GetTraffic(7), 0);  // no such interface

    // No interfaces at all: empty lists, every sample 0.
    Feed none;
    none.queue = {std::string(kHeader)};
    transfer::CNetTraffic empty(none.source());
    EXPECT_EQ(empty.InterfaceCount(), 0);
    EXPECT_EQ(empty.GetTraffic(0), 0);
    // An unreadable file: empty lists too.
    Feed broken;
    broken.queue = {std::nullopt};
    transfer::CNetTraffic unread(broken.source());
    EXPECT_EQ(unread.GetInterfaces(), 0);
    EXPECT_EQ(unread.InterfaceCount(), 0);
}

TEST(TrafficHistory, TakesTheMaximumAfterTheNewValue) {
    transfer::TrafficHistory h(4);  // five entries
    ASSERT_EQ(h.samples().size(), 5u);
    EXPECT_EQ(h.scaling(), transfer::TrafficHistory::Scaling::Global);
    EXPECT_STREQ(h.ToggleText(), "local maximum");
    // Global: a burst raises the maximum for good.
    for (double v : {1024.0, 10240.0, 2048.0, 0.0, 0.0, 0.0, 0.0, 0.0}) h.Add(v);
    EXPECT_EQ(h.maximum(), 10240.0);
    // Local: the maximum is over the history, including the value just added.
    h.ToggleScaling();
    EXPECT_STREQ(h.ToggleText(), "global maximum");
    h.Add(4096);
    EXPECT_EQ(h.maximum(), 4096.0);
    h.Add(512);
    EXPECT_EQ(h.maximum(), 4096.0);
    for (int i = 0; i < 5; ++i) h.Add(512);
    EXPECT_EQ(h.maximum(), 512.0);  // the burst has scrolled out
    EXPECT_EQ(h.CurrentText(), "0.5 KB/sec");
    EXPECT_EQ(h.BothText(), "0.5 / 0.5 KB/sec");
    EXPECT_EQ(h.ValueText(), "     0.5");
    h.Clear();
    EXPECT_EQ(h.maximum(), 0);
    for (const auto& s : h.samples()) EXPECT_FALSE(s.valid);
}

// Where the graphs start: the first interface that the interface table calls
// up and not a loopback, in the meter's order (loopback last); interface 0
// when there is none.
TEST(NetTraffic, StartsOnTheFirstInterfaceThatIsUpAndNotALoopback) {
    using Flags = std::map<std::string, platform::NetInterfaceFlags>;
    const platform::NetInterfaceFlags up{true, false}, down{false, false}, loop{true, true};
    // The machine the fault was seen on: two idle ifb interfaces before eth0.
    const std::string machine = std::string(kHeader) +
                                "    lo: 1 1 0 0 0 0 0 0 1 1 0 0 0 0 0 0\n"
                                "  ifb0: 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
                                "  ifb1: 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
                                "  eth0: 9 9 0 0 0 0 0 0 9 9 0 0 0 0 0 0\n"
                                " wlan0: 9 9 0 0 0 0 0 0 9 9 0 0 0 0 0 0\n";
    struct Case {
        const char* what;
        std::optional<Flags> flags;
        int start;
    } cases[] = {
        {"idle ifb interfaces first", Flags{{"lo", loop}, {"ifb0", down}, {"ifb1", down}, {"eth0", up}, {"wlan0", up}}, 2},
        {"the first of two that are up", Flags{{"lo", loop}, {"ifb0", down}, {"ifb1", up}, {"eth0", up}}, 1},
        {"only the loopback is up", Flags{{"lo", loop}, {"ifb0", down}, {"ifb1", down}, {"eth0", down}}, 0},
        {"a loopback by its flags, whatever its name",
         Flags{{"lo", loop}, {"ifb0", loop}, {"ifb1", down}, {"eth0", down}, {"wlan0", up}}, 3},
        {"an interface the table does not know", Flags{{"lo", loop}, {"wlan0", up}}, 3},
        {"no table", std::nullopt, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        transfer::CNetTraffic meter([&] { return std::optional<std::string>(machine); }, [&] { return c.flags; });
        EXPECT_EQ(meter.FirstActiveInterface(), c.start);
    }
    // No interfaces at all.
    transfer::CNetTraffic none([] { return std::optional<std::string>(kHeader); }, [&] { return cases[0].flags; });
    EXPECT_EQ(none.FirstActiveInterface(), 0);
    // The live table names the loopback as a loopback.
    const auto live = platform::ReadNetInterfaceFlags();
    ASSERT_TRUE(live.has_value());
    ASSERT_TRUE(live->count("lo"));
    EXPECT_TRUE(live->at("lo").loopback);
}
