#pragma once
// The machine's network interfaces and their byte counters, from the text of
// /proc/net/dev, and their state flags from the interface table of the
// kernel. Parsing takes the text itself, so a recorded snapshot reads the
// same as the live file. Safe from any thread; both readers see the network
// namespace of the calling thread's process.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct NetDevCounters {
    std::string name;
    std::uint64_t received = 0;  // bytes
    std::uint64_t sent = 0;      // bytes
};

// The interfaces of a /proc/net/dev text in their order, the loopback
// interface ("lo") moved last. Lines that are not interface lines are left out.
std::vector<NetDevCounters> ParseNetDev(std::string_view text);

// The current text of /proc/net/dev (or of `path`); nullopt when it cannot be read.
std::optional<std::string> ReadNetDevText(const std::string& path = "/proc/net/dev");

// What the interface table says of one interface.
struct NetInterfaceFlags {
    bool up = false;        // switched on and with a working link (IFF_UP and IFF_RUNNING)
    bool loopback = false;  // IFF_LOOPBACK
};

// The flags of every interface by name; nullopt when the table cannot be read.
std::optional<std::map<std::string, NetInterfaceFlags>> ReadNetInterfaceFlags();

}  // namespace platform
