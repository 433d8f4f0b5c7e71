// The traffic graphs on a machine whose first interfaces are idle. The test
// moves into a network namespace of its own: "ifb0" and "ifb1", down, come
// first there, then a veth pair that carries real traffic, sent by the test
// through both ends. The dialog, reading the live interface table, starts its
// graphs on the pair, shows the pair's name on them and its traffic.
#include "transfer/tranzel_dlg.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>

#include "platform/sysinfo.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"
#include "transfer/net_traffic_button.h"

namespace {

// The calling thread (the test's main thread, which the dialog's graphs and
// /proc/self/net follow, as do threads and programs started from it) in a
// network namespace of its own while the object lives. The namespace and its
// interfaces go away with the last thread and socket in it.
class PrivateNetwork {
public:
    PrivateNetwork() {
        m_home = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        if (m_home < 0 || ::unshare(CLONE_NEWNET) != 0) {
            m_error = std::string("no network namespace of our own: ") + std::strerror(errno);
            return;
        }
        m_entered = true;
        // Two idle interfaces first, named as on the machine where the
        // graphs showed nothing (a pair that stays down, which needs no
        // module of its own), then the busy pair; each of its ends gets an
        // address and a fixed neighbour behind the other end, so datagrams
        // sent to that neighbour cross the pair (and are dropped on the far
        // side).
        for (const char* command : {
                 "ip link set lo up",
                 "ip link add ifb1 type veth peer name ifb0",  // the peer is made first
                 "ip link add veth0 address 02:00:00:00:77:00 type veth peer name veth1 address 02:00:00:00:77:01",
                 "ip addr add 10.77.0.1/24 dev veth0",
                 "ip addr add 10.77.1.1/24 dev veth1",
                 "ip link set veth0 up",
                 "ip link set veth1 up",
                 "ip neigh replace 10.77.0.2 lladdr 02:00:00:00:77:01 dev veth0 nud permanent",
                 "ip neigh replace 10.77.1.2 lladdr 02:00:00:00:77:00 dev veth1 nud permanent",
             }) {
            if (std::system(command) != 0) {
                m_error = std::string("failed: ") + command;
                return;
            }
        }
    }
    ~PrivateNetwork() {
        if (m_entered) ::setns(m_home, CLONE_NEWNET);
        if (m_home >= 0) ::close(m_home);
    }
    bool ok() const { return m_entered && m_error.empty(); }
    const std::string& error() const { return m_error; }

private:
    int m_home = -1;
    bool m_entered = false;
    std::string m_error;
};

// Datagrams of 1,400 bytes across the pair both ways, until the object goes:
// from about 0.7 to 2.8 MB a second each way, a new rate every second, so
// that the bars differ.
class PairTraffic {
public:
    PairTraffic() {
        m_thread = std::thread([this] {
            const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            if (fd < 0) return;
            char payload[1400] = {};
            sockaddr_in to[2] = {};
            for (int i = 0; i < 2; ++i) {
                to[i].sin_family = AF_INET;
                to[i].sin_port = htons(9);
                ::inet_pton(AF_INET, i == 0 ? "10.77.0.2" : "10.77.1.2", &to[i].sin_addr);
            }
            const auto start = std::chrono::steady_clock::now();
            while (!m_stop) {
                const auto second = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
                const int burst = 1 + static_cast<int>(second.count() % 4);
                for (int k = 0; k < burst; ++k)
                    for (const sockaddr_in& a : to)
                        m_sent += ::sendto(fd, payload, sizeof payload, 0, reinterpret_cast<const sockaddr*>(&a), sizeof a) > 0;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            ::close(fd);
        });
    }
    ~PairTraffic() {
        m_stop = true;
        m_thread.join();
    }
    long sent() const { return m_sent; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_sent{0};
    std::thread m_thread;
};

bool PairIsUp() {
    for (int i = 0; i < 100; ++i) {
        const auto flags = platform::ReadNetInterfaceFlags();
        if (flags && flags->count("veth0") && flags->count("veth1") && flags->at("veth0").up && flags->at("veth1").up)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

}  // namespace

TEST(TranzelGraphs, StartOnTheBusyInterfaceAndShowItsName) {
    PrivateNetwork net;
    ASSERT_TRUE(net.ok()) << net.error();
    ASSERT_TRUE(PairIsUp());
    PairTraffic traffic;
    {
        const auto flags = platform::ReadNetInterfaceFlags();
        ASSERT_TRUE(flags && flags->count("ifb0") && flags->count("ifb1"));
        EXPECT_FALSE(flags->at("ifb0").up);
        EXPECT_FALSE(flags->at("ifb1").up);
    }
    testsupport::TempDir base;
    auto* dlg = new CTranzelDlg(nullptr, base.path());
    dlg->Show();
    dlg->Raise();
    testsupport::PumpEvents(6500);  // six one-second samples
    EXPECT_GT(traffic.sent(), 1000);

    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        CNetTrafficButton* g = dlg->graph(i);
        std::string first;
        ASSERT_EQ(g->traffic().GetNetworkInterfaceName(&first, 0), 1);
        EXPECT_EQ(first, "ifb0");  // interface 0, where the graphs used to start
        const std::string name = g->interfaceName();
        EXPECT_TRUE(name == "veth0" || name == "veth1") << name;
        EXPECT_NE(g->interfaceIndex(), 0);
        EXPECT_GT(g->history().maximum(), 100 * 1024.0);  // bytes per second, in both directions
        EXPECT_NE(g->GetToolTipText().utf8_string().find(name + ": "), std::string::npos);
    }
    EXPECT_EQ(dlg->interfaceText(), "NetTrafficButton using Interface: " + std::to_string(dlg->graph(1)->interfaceIndex()));

    testsupport::SaveWindowScreenshot(dlg, testsupport::Screen("tranzel-graph-busy.png"));
    // The total graph drawn at four times its size, where its name and bars
    // can be read.
    CNetTrafficButton* g = dlg->graph(0);
    const wxSize size = g->GetClientSize();
    wxBitmap bmp(size);
    {
        wxMemoryDC mem(bmp);
        g->Draw(mem, size);
    }
    bmp.ConvertToImage().Scale(size.x * 4, size.y * 4).SaveFile(testsupport::Screen("tranzel-graph-busy-total.png"),
                                                                wxBITMAP_TYPE_PNG);
    dlg->Destroy();
    testsupport::PumpEvents(50);
}
