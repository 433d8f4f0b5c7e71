#pragma once
// What the project dialogs share: texts between the toolkit and UTF-8, the
// hand cursor over their picture buttons and the caption of their messages.
#include <string>
#include <string_view>
#include <wx/string.h>

#include "project_editor/project_dialogs.h"

namespace project_editor::dialog_support {

inline constexpr int kHandCursor = 137;
inline const std::string kTip(kSpecialTipCaption);

inline wxString W(std::string_view s) { return wxString::FromUTF8(s.data(), s.size()); }
inline std::string U(const wxString& s) { return std::string(s.utf8_str()); }

}  // namespace project_editor::dialog_support
