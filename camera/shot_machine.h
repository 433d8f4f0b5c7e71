#pragma once
// Taking a shot: "拍照" arms the frame writer at once or after a self-timer
// countdown, and the dialog's 500 ms timer drives the machine on until the
// frame is written (or failed, or never came). Window thread only; the clock
// is monotonic and injectable, so tests run the countdown without waiting.
//
//   Idle --press, timer 0/1--> ArmedNow --written/failed/timeout--> Idle
//   Idle --press, timer n>1--> countdown --n seconds--> ArmedByTimer --...--> Idle
//
// A press while a countdown runs or a shot is pending is ignored.
#include <chrono>
#include <functional>
#include <string>

#include "platform/capture/capture_stream.h"

namespace camera {

// What the machine drives: the frame writer of the capture graph.
class ShotPort {
public:
    virtual ~ShotPort() = default;
    virtual bool ArmFrame() = 0;  // false: nothing was armed
    virtual platform::capture::FrameWrite FrameResult(std::string* error) = 0;
    virtual void Disarm() = 0;
};

enum class ShotState { Idle = 0, ArmedNow = 9, ArmedByTimer = 11 };

enum class PressOutcome { Armed, CountdownStarted, Ignored, Refused };

struct ShotEvent {
    enum Kind {
        None,
        Countdown,       // show "elapsed/length"
        CountdownEnded,  // show "elapsed/length"; the shot is armed now (or refused: see armed)
        FrameReady,      // the frame file is written: sound, save, show
        WriteFailed,     // the frame could not be written; `error` says why
        TimedOut,        // no frame came in time; the shot is dropped
    };
    Kind kind = None;
    int elapsed = 0;
    int length = 0;
    bool armed = true;  // CountdownEnded: false when the writer refused
    std::string error;
};

using MonotonicClock = std::function<std::chrono::milliseconds()>;
MonotonicClock SteadyClock();

constexpr std::chrono::milliseconds kShotTimeout{5000};

class ShotMachine {
public:
    explicit ShotMachine(ShotPort& port, MonotonicClock clock = SteadyClock(),
                         std::chrono::milliseconds timeout = kShotTimeout);

    // A press of "拍照" with the self-timer's seconds.
    PressOutcome Press(int self_timer_seconds);
    // The timer's tick.
    ShotEvent Tick();

    ShotState state() const { return m_state; }
    bool CountingDown() const { return m_length > 1; }
    // "拍照" is disabled while a countdown runs and until its shot is done.
    bool ShotButtonEnabled() const { return !CountingDown() && m_state != ShotState::ArmedByTimer; }

private:
    ShotPort& m_port;
    MonotonicClock m_clock;
    std::chrono::milliseconds m_timeout;
    ShotState m_state = ShotState::Idle;
    int m_length = 0;
    std::chrono::milliseconds m_countdownStart{0};
    std::chrono::milliseconds m_armedAt{0};
};

}  // namespace camera
