// The player against real files on SDL's dummy driver (or a real device).
#include "platform/sound/sound.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "tests/support/temp_dir.h"

namespace {

// A mono 16-bit PCM WAV file of `ms` milliseconds of a square wave.
std::vector<unsigned char> WavBytes(int ms) {
    const uint32_t rate = 22050, samples = rate * ms / 1000, data = samples * 2;
    std::vector<unsigned char> b;
    auto put = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    auto tag = [&](const char* t) { for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(t[i])); };
    tag("RIFF"); put(36 + data, 4); tag("WAVE");
    tag("fmt "); put(16, 4); put(1, 2); put(1, 2); put(rate, 4); put(rate * 2, 4); put(2, 2); put(16, 2);
    tag("data"); put(data, 4);
    for (uint32_t i = 0; i < samples; ++i) put((i / 50) % 2 ? 0x2000 : 0xE000, 2);
    return b;
}

bool WaitUntil(bool want, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (platform::sound::IsPlaying() != want) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace

TEST(Sound, PlaysStopsAndFinishes) {
    testsupport::TempDir dir;
    dir.write("短音.wav", WavBytes(150));
    dir.write("长音.wav", WavBytes(5000));
    using platform::sound::PlayOutcome;

    std::string error;
    ASSERT_EQ(platform::sound::Play(dir / "长音.wav", false, &error), PlayOutcome::Playing) << error;
    EXPECT_TRUE(platform::sound::IsPlaying());
    platform::sound::Stop();
    EXPECT_FALSE(platform::sound::IsPlaying());

    // A short sound ends by itself; a looped one goes on until stopped.
    ASSERT_EQ(platform::sound::Play(dir / "短音.wav"), PlayOutcome::Playing);
    EXPECT_TRUE(WaitUntil(false, std::chrono::seconds(3)));
    ASSERT_EQ(platform::sound::Play(dir / "短音.wav", true), PlayOutcome::Playing);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_TRUE(platform::sound::IsPlaying());
    platform::sound::Stop();

    // A new sound replaces the one that plays.
    ASSERT_EQ(platform::sound::Play(dir / "长音.wav"), PlayOutcome::Playing);
    ASSERT_EQ(platform::sound::Play(dir / "短音.wav"), PlayOutcome::Playing);
    EXPECT_TRUE(WaitUntil(false, std::chrono::seconds(3)));
}

TEST(Sound, RefusesWhatCannotPlay) {
    testsupport::TempDir dir;
    dir.write("voice.wma", std::string(4000, '\x30'));
    dir.write("empty.wav", std::string());
    using platform::sound::PlayOutcome;
    struct Case { const char* name; PlayOutcome want; } cases[] = {
        {"missing.wav", PlayOutcome::MissingFile},
        {"voice.wma", PlayOutcome::CannotPlay},
        {"empty.wav", PlayOutcome::CannotPlay},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(platform::sound::Play(dir / c.name, false, &error), c.want) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
        EXPECT_FALSE(platform::sound::IsPlaying()) << c.name;
    }
}

// The programs end on SIGTERM and SIGINT through their own close: starting the
// sound device leaves both signals as they were.
TEST(Sound, LeavesTheQuitSignalsAlone) {
    testsupport::TempDir dir;
    dir.write("短音.wav", WavBytes(50));
    std::string error;
    ASSERT_EQ(platform::sound::Play(dir / "短音.wav", false, &error), platform::sound::PlayOutcome::Playing) << error;
    for (int sig : {SIGTERM, SIGINT}) {
        struct sigaction now {};
        ASSERT_EQ(sigaction(sig, nullptr, &now), 0);
        EXPECT_EQ(now.sa_handler, SIG_DFL) << sig;
    }
    platform::sound::Stop();
}
