// demo_voice: writes one short voice file of a demo project at build time.
//   demo_voice OUTPUT.wav TEXT
// The text is spoken in Mandarin by espeak-ng. When espeak-ng is not
// installed or fails, a short chime takes its place, so the build never
// fails for want of a speech synthesiser and the voice button still plays
// something. The file is written through a temporary file beside it.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/wave.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

// Two soft descending notes, 16-bit mono at 22,050 Hz: a doorbell chime.
std::vector<std::uint8_t> Chime() {
    const int rate = 22050;
    const double notes[] = {880.0, 659.25};
    std::vector<std::int16_t> samples;
    for (double f : notes) {
        const int n = rate * 2 / 5;
        for (int i = 0; i < n; ++i) {
            const double attack = std::min(1.0, i / 300.0);
            const double decay = std::exp(-3.0 * i / n);
            samples.push_back(static_cast<std::int16_t>(9000 * attack * decay *
                                                        std::sin(2 * std::numbers::pi * f * i / rate)));
        }
    }
    return platform::MonoPcm16Wave(rate, samples);
}

// A RIFF WAVE file with a data chunk that holds samples.
bool IsSpokenWave(const std::vector<std::uint8_t>& b) {
    auto tag = [&](std::size_t at, const char* t) { return b.size() >= at + 4 && std::equal(t, t + 4, b.begin() + static_cast<std::ptrdiff_t>(at)); };
    if (!tag(0, "RIFF") || !tag(8, "WAVE")) return false;
    std::size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::uint32_t size = b[at + 4] | (b[at + 5] << 8) | (b[at + 6] << 16) | (static_cast<std::uint32_t>(b[at + 7]) << 24);
        if (tag(at, "data")) return size > 1000 && b.size() > at + 8 + 1000;
        at += 8 + size + (size & 1);
    }
    return false;
}

// Runs espeak-ng into `out`; true when it wrote a usable file.
bool Speak(const std::string& text, const fs::path& out) {
    std::string program = "espeak-ng", voice = "-v", lang = "cmn", speed = "-s", rate = "150", write = "-w";
    std::string file = out.string(), t = text;
    char* argv[] = {program.data(), voice.data(), lang.data(), speed.data(), rate.data(),
                    write.data(), file.data(), t.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started = posix_spawnp(&pid, "espeak-ng", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    std::ifstream in(out, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    return IsSpokenWave(bytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || argv[2][0] == '\0') {
        std::fprintf(stderr, "usage: demo_voice OUTPUT.wav TEXT\n");
        return 2;
    }
    const fs::path out = argv[1];
    std::error_code ec;
    fs::create_directories(out.parent_path(), ec);
    const fs::path spoken = fs::path(out.string() + ".speaking");
    if (Speak(argv[2], spoken)) {
        fs::rename(spoken, out, ec);
        if (!ec) return 0;
    }
    fs::remove(spoken, ec);
    std::fprintf(stderr, "demo_voice: espeak-ng could not speak; %s gets a chime instead\n", out.c_str());
    std::string why;
    if (!platform::SaveFileAtomic(out, Chime(), &why)) {
        std::fprintf(stderr, "demo_voice: cannot write %s: %s\n", out.c_str(), why.c_str());
        return 1;
    }
    return 0;
}
