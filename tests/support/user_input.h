#pragma once
// Input as a user gives it: the mouse and keys through the X server
// (synthetic XTest events), so that they reach a control through the
// toolkit's own handlers. The window must be shown and not covered.
#include <wx/gdicmn.h>
#include <wx/string.h>

class wxWindow;

namespace testsupport {

// Moves the pointer to `at` (client coordinates of `window`), clicks the left
// button there and lets the events arrive.
void ClickAt(wxWindow* window, wxPoint at);
// A click in the middle of the window.
void ClickOn(wxWindow* window);
// A key pressed and released (a wxKeyCode, or a character), then the events.
void PressKey(int key);
// Types the text, key by key.
void TypeText(const wxString& text);
// Gives a top-level window the keyboard, as a window manager does when the
// user clicks its title bar.
void GiveKeyboardTo(wxWindow* topLevel);
// What a click on the window manager's close box of a top-level window asks
// for (a delete request through the toolkit), then the events.
void PressCloseBox(wxWindow* topLevel);

}  // namespace testsupport
