#pragma once
// The network traffic meter: byte counters of the machine's interfaces from
// /proc/net/dev (CNetTraffic), and the sample history a traffic graph shows
// (TrafficHistory). No windows; the graph button draws a TrafficHistory.
//
// CNetTraffic reads a fresh snapshot on every sample. Its sampling state (the
// current interface and its last raw value) changes only in GetTraffic;
// reading names or last values never changes it. A failed read gives 0, and a
// counter that went back (the interface was reset) gives 0, never a negative
// amount; a 32-bit counter that wrapped gives the bytes across the wrap.
// Used on the window thread only.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/sysinfo.h"

namespace transfer {

// The counter a meter follows: the numbers the interface object gives them.
inline constexpr int kCounterTotal = 388;
inline constexpr int kCounterReceived = 264;
inline constexpr int kCounterSent = 506;

class CNetTraffic {
public:
    // The text of /proc/net/dev, or nullopt when it cannot be read.
    using Source = std::function<std::optional<std::string>()>;
    // The interface table's flags by name, or nullopt when it cannot be read.
    using FlagsSource = std::function<std::optional<std::map<std::string, platform::NetInterfaceFlags>>()>;

    // Without a source the live /proc/net/dev is read, without a flags source
    // the live interface table. Reads the interfaces.
    explicit CNetTraffic(Source source = {}, FlagsSource flags = {});

    // Refills the interface list (loopback last): 1, or 0 when the read failed
    // (the list is then empty).
    int GetInterfaces();
    // Bytes of the chosen counter since the last call for the same interface;
    // 0 on the first call for an interface, on a failed read, and for an
    // interface that is gone.
    double GetTraffic(int interfaceIndex);

    // The index of the first interface that is up and not a loopback, by the
    // interface table's flags as they are now; 0 when there is none.
    int FirstActiveInterface() const;

    int GetNetworkInterfacesCount() const { return static_cast<int>(m_names.size()) - 1; }  // the last index
    int InterfaceCount() const { return static_cast<int>(m_names.size()); }
    // 1 when `index` names an interface.
    int GetNetworkInterfaceName(std::string* name, int index) const;
    // The chosen counter of the interface at the last sample or listing.
    double GetInterfaceTotalTraffic(int index) const;
    void SetTrafficType(int counter);  // kCounterTotal, kCounterReceived or kCounterSent
    int trafficType() const { return m_counter; }
    int currentInterface() const { return m_current; }

private:
    std::uint64_t CounterOf(std::uint64_t received, std::uint64_t sent) const;

    Source m_source;
    FlagsSource m_flags;
    std::vector<std::string> m_names;
    std::vector<std::uint64_t> m_lastValues;
    std::uint64_t m_lastReceived = 0;  // raw counters of the current interface at the last sample
    std::uint64_t m_lastSent = 0;
    int m_current = -1;
    int m_counter = kCounterTotal;
};

// The difference of two samples of a counter: a counter that went back is a
// wrap when both values fit 32 bits and the wrapped difference is below 2^31,
// otherwise a reset (0).
std::uint64_t CounterDelta(std::uint64_t previous, std::uint64_t now);

// A graph's samples: one per pixel column plus one, newest last.
class TrafficHistory {
public:
    enum class Scaling { Global = 0, Local = 1 };
    struct Sample {
        double value = 0;
        bool valid = false;
    };

    explicit TrafficHistory(int columns = 0) { Resize(columns); }
    void Resize(int columns);
    void Clear();
    // Shifts the history one place left, puts `bytesPerSecond` last, then
    // takes the maximum (local: over the whole history; global: only grows).
    void Add(double bytesPerSecond);

    void SetScaling(Scaling s) { m_scaling = s; }
    Scaling scaling() const { return m_scaling; }
    void ToggleScaling();
    // The menu entry's ending: the mode a toggle would switch to.
    const char* ToggleText() const { return m_scaling == Scaling::Local ? "global maximum" : "local maximum"; }

    const std::vector<Sample>& samples() const { return m_samples; }
    double maximum() const { return m_maximum; }
    double current() const { return m_samples.empty() ? 0 : m_samples.back().value; }
    int gridOffset() const { return m_gridOffset; }

    std::string CurrentText() const;  // "%.1f KB/sec"
    std::string MaximumText() const;  // "%.1f KB/sec"
    std::string BothText() const;     // "%.1f / %.1f KB/sec"
    std::string ValueText() const;    // "%8.1f" (KB/sec), drawn on the graph

private:
    std::vector<Sample> m_samples;
    double m_maximum = 0;
    Scaling m_scaling = Scaling::Global;  // the toggle offers "local maximum" at start
    int m_gridOffset = 0;
};

inline constexpr int kTrafficGridStep = 10;

}  // namespace transfer
