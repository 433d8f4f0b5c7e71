// The one save and the barrier that whoever ends the process takes: a save
// does not start while a barrier lives, and a barrier waits for the save that
// runs.
#include "platform/save_guard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "platform/files.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::chrono_literals;

TEST(SaveGuard, ASaveWaitsForTheBarrierAndTheBarrierForASave) {
    testsupport::TempDir dir;
    const auto file = dir / "chart.cd3";
    const std::uint8_t bytes[] = {1, 2, 3};

    std::optional<platform::SaveBarrier> ending(std::in_place);
    std::atomic<bool> saved{false};
    std::thread save([&] { saved = platform::SaveFileAtomic(file, bytes); });
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(saved.load());
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(testsupport::FileNames(dir.path()).empty()) << "a save began under the barrier";
    ending.reset();
    save.join();
    EXPECT_TRUE(saved.load());
    EXPECT_EQ(testsupport::ReadAll(file), std::vector<std::uint8_t>(bytes, bytes + 3));

    std::atomic<bool> through{false};
    std::optional<platform::SaveGuard> running(std::in_place);
    std::thread barrier([&] {
        const platform::SaveBarrier b;
        through = true;
    });
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(through.load()) << "the barrier did not wait for the save";
    running.reset();
    barrier.join();
    EXPECT_TRUE(through.load());
}

}  // namespace
