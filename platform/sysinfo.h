#pragma once
// The machine's network interfaces and their byte counters, from the text of
// /proc/net/dev. Parsing takes the text itself, so a recorded snapshot reads
// the same as the live file. Safe from any thread.
#include <cstdint>
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

}  // namespace platform
