#include "transfer/net_traffic.h"

#include <algorithm>
#include <cstdio>

#include "platform/sysinfo.h"

namespace transfer {

std::uint64_t CounterDelta(std::uint64_t previous, std::uint64_t now) {
    if (now >= previous) return now - previous;
    constexpr std::uint64_t k32 = std::uint64_t{1} << 32;
    if (previous < k32 && now < k32) {
        const std::uint64_t wrapped = k32 - previous + now;
        if (wrapped < (std::uint64_t{1} << 31)) return wrapped;
    }
    return 0;
}

CNetTraffic::CNetTraffic(Source source, FlagsSource flags) : m_source(std::move(source)), m_flags(std::move(flags)) {
    if (!m_source) m_source = [] { return platform::ReadNetDevText(); };
    if (!m_flags) m_flags = [] { return platform::ReadNetInterfaceFlags(); };
    GetInterfaces();
}

int CNetTraffic::FirstActiveInterface() const {
    const auto flags = m_flags();
    if (!flags) return 0;
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        const auto it = flags->find(m_names[i]);
        if (it != flags->end() && it->second.up && !it->second.loopback) return static_cast<int>(i);
    }
    return 0;
}

std::uint64_t CNetTraffic::CounterOf(std::uint64_t received, std::uint64_t sent) const {
    switch (m_counter) {
        case kCounterReceived: return received;
        case kCounterSent: return sent;
        default: return received + sent;
    }
}

int CNetTraffic::GetInterfaces() {
    m_names.clear();
    m_lastValues.clear();
    const auto text = m_source();
    if (!text) return 0;
    for (const auto& c : platform::ParseNetDev(*text)) {
        m_names.push_back(c.name);
        m_lastValues.push_back(0);
    }
    return 1;
}

double CNetTraffic::GetTraffic(int index) {
    if (index < 0 || index >= InterfaceCount()) return 0;
    const std::string& name = m_names[static_cast<std::size_t>(index)];
    const auto text = m_source();
    if (!text) return 0;
    double result = 0;
    for (const auto& c : platform::ParseNetDev(*text)) {
        const std::uint64_t value = CounterOf(c.received, c.sent);
        const auto it = std::find(m_names.begin(), m_names.end(), c.name);
        if (it != m_names.end()) m_lastValues[static_cast<std::size_t>(it - m_names.begin())] = value;
        if (c.name != name) continue;
        // Each direction wraps or resets on its own; the total is their sum.
        if (index == m_current) {
            const std::uint64_t rx = CounterDelta(m_lastReceived, c.received);
            const std::uint64_t tx = CounterDelta(m_lastSent, c.sent);
            result = static_cast<double>(CounterOf(rx, tx));
        } else {
            m_current = index;
        }
        m_lastReceived = c.received;
        m_lastSent = c.sent;
    }
    return result;
}

int CNetTraffic::GetNetworkInterfaceName(std::string* name, int index) const {
    if (index < 0 || index >= InterfaceCount()) return 0;
    *name = m_names[static_cast<std::size_t>(index)];
    return 1;
}

double CNetTraffic::GetInterfaceTotalTraffic(int index) const {
    if (index < 0 || index >= InterfaceCount()) return 0;
    const std::uint64_t stored = m_lastValues[static_cast<std::size_t>(index)];
    if (stored != 0) return static_cast<double>(stored);
    // Not sampled yet: a fresh look, leaving the sampling state alone.
    const auto text = m_source();
    if (!text) return 0;
    for (const auto& c : platform::ParseNetDev(*text))
        if (c.name == m_names[static_cast<std::size_t>(index)]) return static_cast<double>(CounterOf(c.received, c.sent));
    return 0;
}

void CNetTraffic::SetTrafficType(int counter) {
    m_counter = (counter == kCounterReceived || counter == kCounterSent) ? counter : kCounterTotal;
    m_current = -1;
    m_lastReceived = m_lastSent = 0;
    std::fill(m_lastValues.begin(), m_lastValues.end(), 0);
}

void TrafficHistory::Resize(int columns) {
    m_samples.assign(static_cast<std::size_t>(std::max(columns, 0) + 1), Sample{});
    m_maximum = 0;
    m_gridOffset = 0;
}

void TrafficHistory::Clear() { Resize(static_cast<int>(m_samples.size()) - 1); }

void TrafficHistory::Add(double value) {
    if (value < 0) value = 0;
    if (!m_samples.empty()) {
        std::rotate(m_samples.begin(), m_samples.begin() + 1, m_samples.end());
        m_samples.back() = {value, true};
    }
    if (m_scaling == Scaling::Local) {
        m_maximum = 0;
        for (const Sample& s : m_samples)
            if (s.valid) m_maximum = std::max(m_maximum, s.value);
    } else {
        m_maximum = std::max(m_maximum, value);
    }
    m_gridOffset = (m_gridOffset + 1) % kTrafficGridStep;
}

void TrafficHistory::ToggleScaling() {
    m_scaling = m_scaling == Scaling::Local ? Scaling::Global : Scaling::Local;
}

namespace {
std::string Format(const char* f, double a, double b = 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, f, a, b);
    return buf;
}
}  // namespace

std::string TrafficHistory::CurrentText() const { return Format("%.1f KB/sec", current() / 1024.0); }
std::string TrafficHistory::MaximumText() const { return Format("%.1f KB/sec", m_maximum / 1024.0); }
std::string TrafficHistory::BothText() const {
    return Format("%.1f / %.1f KB/sec", current() / 1024.0, m_maximum / 1024.0);
}
std::string TrafficHistory::ValueText() const { return Format("%8.1f", current() / 1024.0); }

}  // namespace transfer
