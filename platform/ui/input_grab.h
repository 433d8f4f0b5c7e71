#pragma once
// The keyboard held by one of our own windows while it is open, as the
// desktop's menus hold it: every key goes to that window, wherever the focus
// was before (the pointer is held through the toolkit's mouse capture).
// Main thread only.
#include <functional>
#include <wx/defs.h>

class wxWindow;

namespace platform::ui {

// A key pressed while the keyboard is held: a wxKeyCode (arrows, Home, End,
// Return, Escape, Space) or else the character typed, with its Unicode
// value. True when the key was used.
using HeldKeyHandler = std::function<bool(int keyCode, wxChar unicode)>;

// Takes the keyboard for the shown window `window`, whose keys then go to
// `onKey`; false when the desktop refused (the window is not on the screen
// yet, another program holds the keyboard).
bool GrabKeyboard(wxWindow* window, HeldKeyHandler onKey);
// Gives it back.
void ReleaseKeyboard();

}  // namespace platform::ui
