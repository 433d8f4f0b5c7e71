#pragma once
// Keeps a top-level window where its caller put it. GTK centres a dialog on
// its parent when the dialog is mapped, whatever position it was given
// (measured here: Move before Show, or in the show event, is overridden);
// the window is moved to `screen` again after each showing, and once more
// when the centring arrives shortly after it. Main thread only.
#include <wx/gdicmn.h>

class wxTopLevelWindow;

namespace platform::ui {

void KeepPlaced(wxTopLevelWindow* window, const wxPoint& screen);

}  // namespace platform::ui
