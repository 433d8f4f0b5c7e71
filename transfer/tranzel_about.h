#pragma once
// The transfer program's About box (template 100) and the window menu that
// opens it. The desktop keeps its own window menu to itself, so the dialog
// offers the menu's entry where its users reach for that menu: a right click
// on the dialog's background and Alt+Space.
#include <wx/dialog.h>
#include <wx/gdicmn.h>

namespace transfer {

inline constexpr int kAboutCommand = 16;      // the About entry's command
inline constexpr int kAboutTemplate = 100;
inline constexpr const char* kAboutEntry = "关于 Tranzel(&A)...";  // string 101
inline constexpr const char* kAboutCaption = "关于“Lumora文件上传下载专用工具”";
inline constexpr const char* kAboutVersion = "Tranzel 1.0 版";
inline constexpr const char* kAboutTitle = "Lumora文件上传下载专用工具";
inline constexpr const char* kAboutCopyright = "版权所有 (C) 2012-2026 Lumora";

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
