#include "platform/ui/placement.h"

#include <memory>
#include <wx/time.h>
#include <wx/toplevel.h>

namespace platform::ui {

namespace {
// How long after a showing the toolkit's own placement may still arrive.
constexpr int kPlacingMs = 600;
}  // namespace

void KeepPlaced(wxTopLevelWindow* window, const wxPoint& screen) {
    if (!window) return;
    window->Move(screen);
    auto shownAt = std::make_shared<wxLongLong>(-1);
    window->Bind(wxEVT_SHOW, [window, screen, shownAt](wxShowEvent& e) {
        if (e.IsShown()) {
            *shownAt = wxGetLocalTimeMillis();
            window->CallAfter([window, screen] { window->Move(screen); });
        }
        e.Skip();
    });
    // The centring comes as a move once the window is mapped, which may be
    // after the call above: a move elsewhere soon after the showing is undone.
    window->Bind(wxEVT_MOVE, [window, screen, shownAt](wxMoveEvent& e) {
        if (*shownAt >= 0 && wxGetLocalTimeMillis() - *shownAt < kPlacingMs &&
            window->GetScreenPosition() != screen)
            window->CallAfter([window, screen] { window->Move(screen); });
        e.Skip();
    });
}

}  // namespace platform::ui
