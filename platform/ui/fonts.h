#pragma once
// Fonts by the face names the system uses. "宋体" and the other Chinese faces
// map to the installed CJK font; sizes are character heights in pixels.
#include <string>
#include <wx/font.h>

namespace platform::ui {

// The installed face that stands for `face`.
wxString MapFace(const std::string& face);

// A font whose character cell is `height_px` pixels high.
wxFont MakeFont(int height_px, const std::string& face = "宋体", bool bold = false, bool italic = false,
                bool underline = false);

}  // namespace platform::ui
