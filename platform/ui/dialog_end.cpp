#include "platform/ui/dialog_end.h"

#include <wx/dialog.h>

namespace platform::ui {

void EndDialog(wxDialog& dialog, int code) {
    if (dialog.IsModal())
        dialog.EndModal(code);
    else
        dialog.Hide();
}

void CancelOnEscape(wxDialog& dialog, std::function<void()> cancel) {
    dialog.Bind(wxEVT_CHAR_HOOK, [cancel = std::move(cancel)](wxKeyEvent& e) {
        if (e.GetKeyCode() == WXK_ESCAPE)
            cancel();
        else
            e.Skip();
    });
}

void CancelOnEscapeAndClose(wxDialog& dialog) {
    CancelOnEscape(dialog, [&dialog] { EndDialog(dialog, wxID_CANCEL); });
    dialog.Bind(wxEVT_CLOSE_WINDOW, [&dialog](wxCloseEvent&) { EndDialog(dialog, wxID_CANCEL); });
}

}  // namespace platform::ui
