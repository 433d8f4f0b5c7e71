#include "camera/shot_machine.h"

namespace camera {

using platform::capture::FrameWrite;

MonotonicClock SteadyClock() {
    return [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    };
}

ShotMachine::ShotMachine(ShotPort& port, MonotonicClock clock, std::chrono::milliseconds timeout)
    : m_port(port), m_clock(std::move(clock)), m_timeout(timeout) {}

PressOutcome ShotMachine::Press(int seconds) {
    if (CountingDown() || m_state != ShotState::Idle) return PressOutcome::Ignored;
    if (seconds > 1) {
        m_countdownStart = m_clock();
        m_length = seconds;
        return PressOutcome::CountdownStarted;
    }
    if (!m_port.ArmFrame()) return PressOutcome::Refused;
    m_state = ShotState::ArmedNow;
    m_armedAt = m_clock();
    return PressOutcome::Armed;
}

ShotEvent ShotMachine::Tick() {
    ShotEvent ev;
    const auto now = m_clock();
    if (CountingDown()) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now - m_countdownStart).count();
        ev.kind = ShotEvent::Countdown;
        ev.elapsed = int(elapsed);
        ev.length = m_length;
        if (elapsed >= m_length) {
            m_length = 0;
            ev.kind = ShotEvent::CountdownEnded;
            ev.armed = m_port.ArmFrame();
            if (ev.armed) {
                m_state = ShotState::ArmedByTimer;
                m_armedAt = now;
            }
        }
        return ev;
    }
    if (m_state == ShotState::Idle) return ev;
    switch (m_port.FrameResult(&ev.error)) {
        case FrameWrite::Written:
            m_state = ShotState::Idle;
            ev.kind = ShotEvent::FrameReady;
            return ev;
        case FrameWrite::Failed:
        case FrameWrite::None:  // disarmed behind the machine's back
            m_state = ShotState::Idle;
            ev.kind = ShotEvent::WriteFailed;
            return ev;
        case FrameWrite::Pending:
            break;
    }
    if (now - m_armedAt >= m_timeout) {
        m_port.Disarm();
        m_state = ShotState::Idle;
        ev.kind = ShotEvent::TimedOut;
    }
    return ev;
}

}  // namespace camera
