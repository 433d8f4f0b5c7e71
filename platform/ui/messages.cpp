#include "platform/ui/messages.h"

#include <wx/weakref.h>

namespace platform::ui {

std::intptr_t SendMessage(wxWindow* target, unsigned id, std::uintptr_t wparam, std::intptr_t lparam) {
    auto* receiver = dynamic_cast<MessageReceiver*>(target);
    if (!receiver) return 0;
    return receiver->OnPrivateMessage(id, wparam, lparam);
}

void PostMessage(wxWindow* target, unsigned id, std::uintptr_t wparam, std::intptr_t lparam) {
    if (!target) return;
    wxWeakRef<wxWindow> weak(target);
    // Queued on the window itself: a destroyed window takes its pending calls with it,
    // and the weak reference covers a window that is being destroyed.
    target->CallAfter([weak, id, wparam, lparam]() {
        if (weak) SendMessage(weak.get(), id, wparam, lparam);
    });
}

}  // namespace platform::ui
