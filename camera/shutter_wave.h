#pragma once
// The shutter sound, made by the build rather than kept as a recording: a
// mono 16-bit 22,050 Hz RIFF wave of 12,928 bytes, two short noise clicks (the
// shutter opening and closing) that die away.
#include <cstdint>
#include <vector>

namespace camera {

inline constexpr std::size_t kShutterWaveBytes = 12928;

std::vector<std::uint8_t> ShutterWaveBytes();

}  // namespace camera
