// The shot state machine on a clock the test moves, against a writer the
// test answers for.
#include "camera/shot_machine.h"

#include <gtest/gtest.h>

using namespace camera;
using namespace std::chrono_literals;
using platform::capture::FrameWrite;

namespace {

struct FakePort : ShotPort {
    bool refuse = false;
    int arms = 0, disarms = 0;
    FrameWrite result = FrameWrite::None;
    std::string error;
    bool ArmFrame() override {
        if (refuse) return false;
        ++arms;
        result = FrameWrite::Pending;
        return true;
    }
    FrameWrite FrameResult(std::string* e) override {
        if (e) *e = error;
        return result;
    }
    void Disarm() override {
        ++disarms;
        result = FrameWrite::None;
    }
};

class ShotMachineTest : public ::testing::Test {
protected:
    std::chrono::milliseconds now{86'399'000};  // any point: the clock only moves forward
    FakePort port;
    ShotMachine machine{port, [this] { return now; }};
};

TEST_F(ShotMachineTest, TimerZeroOrOneShootsAtOnce) {
    for (int seconds : {0, 1}) {
        SCOPED_TRACE(seconds);
        EXPECT_EQ(machine.Press(seconds), PressOutcome::Armed);
        EXPECT_EQ(machine.state(), ShotState::ArmedNow);
        EXPECT_TRUE(machine.ShotButtonEnabled());
        EXPECT_EQ(machine.Tick().kind, ShotEvent::None);  // still pending
        port.result = FrameWrite::Written;
        EXPECT_EQ(machine.Tick().kind, ShotEvent::FrameReady);
        EXPECT_EQ(machine.state(), ShotState::Idle);
        EXPECT_EQ(machine.Tick().kind, ShotEvent::None);
    }
    EXPECT_EQ(port.arms, 2);
}

TEST_F(ShotMachineTest, SelfTimerCountsOnTheMonotonicClockThenShoots) {
    EXPECT_EQ(machine.Press(3), PressOutcome::CountdownStarted);
    EXPECT_EQ(port.arms, 0);
    EXPECT_FALSE(machine.ShotButtonEnabled());
    // Ticks every 500 ms: 0, 0, 1, 1, 2, 2, then the shot at 3 s.
    const int shown[] = {0, 1, 1, 2, 2};
    for (int want : shown) {
        now += 500ms;
        const ShotEvent ev = machine.Tick();
        EXPECT_EQ(ev.kind, ShotEvent::Countdown);
        EXPECT_EQ(ev.elapsed, want);
        EXPECT_EQ(ev.length, 3);
    }
    EXPECT_EQ(machine.Press(0), PressOutcome::Ignored) << "a press during the countdown";
    now += 500ms;
    const ShotEvent fired = machine.Tick();
    EXPECT_EQ(fired.kind, ShotEvent::CountdownEnded);
    EXPECT_EQ(fired.elapsed, 3);
    EXPECT_TRUE(fired.armed);
    EXPECT_EQ(machine.state(), ShotState::ArmedByTimer);
    EXPECT_FALSE(machine.ShotButtonEnabled()) << "disabled until the timer's shot is done";
    EXPECT_EQ(machine.Press(0), PressOutcome::Ignored) << "a press while the shot is pending";
    EXPECT_EQ(port.arms, 1);
    port.result = FrameWrite::Written;
    EXPECT_EQ(machine.Tick().kind, ShotEvent::FrameReady);
    EXPECT_TRUE(machine.ShotButtonEnabled());
}

TEST_F(ShotMachineTest, FailuresEndTheShot) {
    // The writer could not write the frame.
    ASSERT_EQ(machine.Press(0), PressOutcome::Armed);
    EXPECT_EQ(machine.Press(0), PressOutcome::Ignored);
    port.result = FrameWrite::Failed;
    port.error = "disk full";
    ShotEvent ev = machine.Tick();
    EXPECT_EQ(ev.kind, ShotEvent::WriteFailed);
    EXPECT_EQ(ev.error, "disk full");
    EXPECT_EQ(machine.state(), ShotState::Idle);

    // No frame comes: the shot times out and is disarmed.
    ASSERT_EQ(machine.Press(0), PressOutcome::Armed);
    now += kShotTimeout - 1ms;
    EXPECT_EQ(machine.Tick().kind, ShotEvent::None);
    now += 1ms;
    EXPECT_EQ(machine.Tick().kind, ShotEvent::TimedOut);
    EXPECT_EQ(port.disarms, 1);
    EXPECT_EQ(machine.state(), ShotState::Idle);

    // The writer refuses to arm (no temporary path): at once, or when the
    // timer runs out, which gives the button back.
    port.refuse = true;
    EXPECT_EQ(machine.Press(0), PressOutcome::Refused);
    EXPECT_EQ(machine.state(), ShotState::Idle);
    ASSERT_EQ(machine.Press(2), PressOutcome::CountdownStarted);
    now += 2s;
    ev = machine.Tick();
    EXPECT_EQ(ev.kind, ShotEvent::CountdownEnded);
    EXPECT_FALSE(ev.armed);
    EXPECT_EQ(machine.state(), ShotState::Idle);
    EXPECT_TRUE(machine.ShotButtonEnabled());
}

}  // namespace
