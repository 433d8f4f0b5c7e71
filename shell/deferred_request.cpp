#include "shell/deferred_request.h"

#include <memory>

namespace shell {
namespace {

std::unique_ptr<DeferredRequest>& Instance() {
    static std::unique_ptr<DeferredRequest> d = std::make_unique<DeferredRequest>();
    return d;
}

bool InWindowRange(std::int32_t c) { return c >= 1000 && c < 1999; }
bool InDressRange(std::int32_t c) { return c >= 66600000 && c < 66690000; }
bool InMarketRange(std::int32_t c) { return c >= 77700000 && c < 77790000; }

}  // namespace

void DeferredRequest::Store(std::int32_t request) {
    code = request;
    pending = 'Y';
    OnIdle(12);
}

void DeferredRequest::OnIdle(int count) {
    if (busy) {
        pending = ' ';
        return;
    }
    busy = 9;
    if (count == 12 && pending == 'Y') {
        // The code is read again after each step: a request stored by a window
        // that a step created still runs when it falls in a later range.
        std::int32_t c = code;
        pending = 'y';
        if (InWindowRange(c)) {
            ActivateOrOpen();
            c = code;
        }
        if (InDressRange(c)) {
            Notify(1, 'B', c);
            c = code;
        }
        if (InMarketRange(c)) Notify(3, 'D', c);
        pending = ' ';
        busy = 0;
        if (onDispatched) onDispatched();
        return;
    }
    busy = 0;
}

void DeferredRequest::ActivateOrOpen() {
    const int tmpl = code - kRequestShowStage;
    if (tmpl < 0 || tmpl > 3) return;
    current = static_cast<char>('A' + tmpl);
    if (!m_host) return;
    if (opened[tmpl] == 'Y') {
        m_host->ShowFramesOf(tmpl);
    } else {
        opened[tmpl] = 'Y';
        m_host->OpenNewDocument(tmpl);
    }
}

void DeferredRequest::Notify(int tmpl, char letter, std::int32_t request) {
    current = letter;
    if (!m_host) return;
    if (opened[tmpl] != 'Y') {
        // A window that is not open yet is only opened; it initialises itself.
        opened[tmpl] = 'Y';
        m_host->OpenNewDocument(tmpl);
        return;
    }
    m_host->NotifyViews(tmpl, request);
}

void DeferredRequest::ChildClosed(int tmpl) {
    if (tmpl < 0 || tmpl > 3) return;
    opened[tmpl] = ' ';
    // The closed window is no longer current: its tab and strip area take a
    // click again, which opens it anew.
    if (current == 'A' + tmpl) current = kNoCurrentWindow;
}

void DeferredRequest::ChildShown(int tmpl) {
    if (tmpl < 0 || tmpl > 3) return;
    current = static_cast<char>('A' + tmpl);
}

DeferredRequest& Deferred() { return *Instance(); }
void ResetDeferred() { Instance() = std::make_unique<DeferredRequest>(); }

}  // namespace shell
