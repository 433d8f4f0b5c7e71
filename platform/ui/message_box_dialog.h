#pragma once
// The message box window that ShowMessage runs: the box's icon, its text and
// its buttons in a dialog of the toolkit (so that it is one of the program's
// own dialogs, which a quit signal can cancel). The desktop's own message
// dialog does not draw the icon it is given; this one draws each kind's icon
// itself. It takes the keyboard when it shows and gives it back to its
// window when it goes; a text too tall for the screen scrolls inside it.
// Main thread only.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <wx/bitmap.h>
#include <wx/dialog.h>
#include <wx/scrolwin.h>

#include "platform/message.h"

class wxStaticBitmap;
class wxStaticText;

namespace platform::ui {

inline constexpr int kMessageIconSize = 48;

// The icon of a box of kind `icon` at `size` x `size` pixels, with alpha; an
// invalid bitmap for MbIcon::None.
wxBitmap MessageBoxIcon(MbIcon icon, int size = kMessageIconSize);

// The lines the box shows for `text`: its own line breaks kept, and a line
// wider than `maxWidth` (as `width` measures it) broken after the last space
// or before a Chinese character that fits, else between two characters.
std::vector<std::string> WrapMessageText(std::string_view text, int maxWidth,
                                         const std::function<int(std::string_view)>& width);

// A button of a box: the toolkit id it carries and its label.
struct MessageBoxButton {
    int id;
    const char* label;
};
// The buttons of a kind, the default one (Enter) first.
std::vector<MessageBoxButton> MessageBoxButtons(MbButtons buttons);
// What a box of kind `buttons` answers when it ends with toolkit id `id`;
// Escape, the close box and a cancelled box end with wxID_CANCEL.
MbResult MessageBoxAnswer(MbButtons buttons, int id);

class MessageBoxDialog : public wxDialog {
public:
    MessageBoxDialog(wxWindow* parent, const MessageRequest& request, const std::string& caption);

    const std::string& text() const { return m_text; }
    // The icon as it stands in the box (nullptr for a box without one).
    wxStaticBitmap* icon() const { return m_icon; }
    wxWindow* button(int id) const { return FindWindow(id); }
    // The control that shows the text, as wrapped.
    wxStaticText* label() const { return m_label; }
    // The pane the text scrolls in when it is taller than the screen allows,
    // else nullptr.
    wxScrolledWindow* pane() const { return m_pane; }

private:
    void KeepKeyboard();

    std::string m_text;
    wxStaticBitmap* m_icon = nullptr;
    wxStaticText* m_label = nullptr;
    wxScrolledWindow* m_pane = nullptr;
    wxWindow* m_keyboard = nullptr;  // the button that has the keyboard, or had it last
};

}  // namespace platform::ui
