#pragma once
// The transfer program's About box (template 100) and the window menu that
// opens it. The desktop keeps its own window menu to itself, so the dialog
// offers the menu's entry where its users reach for that menu: a right click
// on the dialog's background and Alt+Space.
#include <wx/dialog.h>
#include <wx/gdicmn.h>

namespace transfer {

inline constexpr int kAboutCommand = 16;  // the About entry's command
inline constexpr int kAboutTemplate = 100;

// The program's icon, its name and version, and "确定"; Escape and the
// window's close end it too.
class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent);
};

// Shows the window menu of `owner` with its top-left corner at `screen` and
// returns the chosen command (kAboutCommand) or 0 when it was cancelled.
int TrackWindowMenu(wxWindow* owner, const wxPoint& screen);

}  // namespace transfer
