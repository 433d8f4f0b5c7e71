#pragma once
// The about box: the program icon, its version line and an OK button.
#include <wx/dialog.h>

class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent);
};
