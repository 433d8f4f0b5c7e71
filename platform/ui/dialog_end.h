#pragma once
// Ending a dialog as its own close command does, whether it runs modally or
// is only shown. Main thread only.
#include <functional>

class wxDialog;

namespace platform::ui {

// Ends `dialog` with `code`: its modal loop when one runs, else it is hidden.
void EndDialog(wxDialog& dialog, int code);

// For a dialog without a cancel button the toolkit could press on Escape:
// Escape runs `cancel`; other keys go on as before.
void CancelOnEscape(wxDialog& dialog, std::function<void()> cancel);

// Escape and the window's close box both end the dialog with wxID_CANCEL.
void CancelOnEscapeAndClose(wxDialog& dialog);

}  // namespace platform::ui
