#pragma once
// Private numeric window messages: an id with two pointer-sized parameters,
// delivered to any window that implements MessageReceiver. Send calls the
// receiver at once and returns its answer; Post queues the call and drops it
// if the window has been destroyed by then.
#include <cstdint>
#include <wx/window.h>

namespace platform::ui {

inline constexpr unsigned kWmUser = 0x0400;

class MessageReceiver {
public:
    virtual ~MessageReceiver() = default;
    virtual std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) = 0;
};

// Returns the receiver's answer, or 0 when the window is null or receives none.
std::intptr_t SendMessage(wxWindow* target, unsigned id, std::uintptr_t wparam, std::intptr_t lparam);

// Queued delivery from the event loop.
void PostMessage(wxWindow* target, unsigned id, std::uintptr_t wparam, std::intptr_t lparam);

}  // namespace platform::ui
