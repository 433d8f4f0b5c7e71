#include "platform/sysinfo.h"

#include <ifaddrs.h>
#include <net/if.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace platform {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool ParseU64(std::string_view s, std::uint64_t* v) {
    if (s.empty()) return false;
    std::uint64_t x = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        const unsigned d = static_cast<unsigned>(c - '0');
        if (x > (UINT64_MAX - d) / 10) return false;
        x = x * 10 + d;
    }
    *v = x;
    return true;
}

}  // namespace

std::vector<NetDevCounters> ParseNetDev(std::string_view text) {
    // "  eth0: 1234 5 0 0 0 0 0 0 5678 6 0 0 0 0 0 0": received bytes first,
    // sent bytes ninth.
    std::vector<NetDevCounters> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view name = Trim(line.substr(0, colon));
        if (name.empty() || name.find(' ') != std::string_view::npos || name.find('|') != std::string_view::npos)
            continue;
        std::vector<std::string_view> fields;
        std::string_view rest = line.substr(colon + 1);
        std::size_t i = 0;
        while (i < rest.size()) {
            while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t' || rest[i] == '\r')) ++i;
            std::size_t j = i;
            while (j < rest.size() && rest[j] != ' ' && rest[j] != '\t' && rest[j] != '\r') ++j;
            if (j > i) fields.push_back(rest.substr(i, j - i));
            i = j;
        }
        NetDevCounters c;
        if (fields.size() < 9 || !ParseU64(fields[0], &c.received) || !ParseU64(fields[8], &c.sent)) continue;
        c.name = std::string(name);
        out.push_back(std::move(c));
    }
    std::stable_partition(out.begin(), out.end(), [](const NetDevCounters& c) { return c.name != "lo"; });
    return out;
}

std::optional<std::string> ReadNetDevText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return s.str();
}

std::optional<std::map<std::string, NetInterfaceFlags>> ReadNetInterfaceFlags() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return std::nullopt;
    // One entry per address, and one without an address for every interface;
    // an alias ("eth0:1") carries the flags of its interface.
    std::map<std::string, NetInterfaceFlags> out;
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_name) continue;
        std::string name = a->ifa_name;
        if (const auto colon = name.find(':'); colon != std::string::npos) name.resize(colon);
        NetInterfaceFlags& f = out[name];
        f.up = f.up || ((a->ifa_flags & IFF_UP) && (a->ifa_flags & IFF_RUNNING));
        f.loopback = f.loopback || (a->ifa_flags & IFF_LOOPBACK);
    }
    ::freeifaddrs(list);
    return out;
}

}  // namespace platform
