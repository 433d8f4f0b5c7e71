#pragma once
// A frame's menu bar drawn by the desktop whose drop-downs are our own
// menus: a click on a bar entry, the entry's Alt key and F10 (while the
// frame shows the bar) open the owner's drop-down instead of the desktop's
// (which is closed again should the desktop open it some other way). The bar's entries can be looked up on
// the screen and shown highlighted while their drop-down is open.
// Main thread only.
#include <functional>
#include <wx/gdicmn.h>

class wxMenuBar;
class wxWindow;

namespace platform::ui {

// `open(entry)` runs the drop-down of bar entry `entry`; it is
// called from the event loop, after the event that asked for it. Hooking the
// same bar again replaces the callback; the hook goes with the bar.
void HookMenuBarDropDowns(wxWindow* frame, wxMenuBar* bar, std::function<void(int entry)> open);

// An entry's rectangle on the screen (empty while the bar is not shown).
wxRect MenuBarEntryRect(wxMenuBar* bar, int entry);
// The entry under a screen point, -1 for none.
int MenuBarEntryAt(wxMenuBar* bar, const wxPoint& screen);
// Shows entry `entry` as the open one (-1: none).
void HighlightMenuBarEntry(wxMenuBar* bar, int entry);

}  // namespace platform::ui
