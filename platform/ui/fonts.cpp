#include "platform/ui/fonts.h"

#include <wx/fontenum.h>

namespace platform::ui {
namespace {

// The CJK faces the suite asks for, all served by one installed CJK font.
const char* const kChineseFaces[] = {"宋体", "新宋体", "黑体", "楷体", "仿宋", "微软雅黑", "宋体-方正超大字符集"};

wxString InstalledCjkFace() {
    static const wxString face = [] {
        for (const char* candidate : {"WenQuanYi Micro Hei", "WenQuanYi Zen Hei", "Noto Sans CJK SC"}) {
            if (wxFontEnumerator::IsValidFacename(candidate)) return wxString(candidate);
        }
        return wxString("Sans");
    }();
    return face;
}

}  // namespace

wxString MapFace(const std::string& face) {
    if (face.empty()) return InstalledCjkFace();
    for (const char* cjk : kChineseFaces) {
        if (face == cjk) return InstalledCjkFace();
    }
    if (face == "Arial" || face == "Tahoma" || face == "MS Sans Serif" || face == "System") return "DejaVu Sans";
    if (face == "Courier New" || face == "Fixedsys") return "DejaVu Sans Mono";
    return wxString::FromUTF8(face);
}

wxFont MakeFont(int height_px, const std::string& face, bool bold, bool italic, bool underline) {
    wxFontInfo info(wxSize(0, height_px));
    info.FaceName(MapFace(face)).Bold(bold).Italic(italic).Underlined(underline);
    return wxFont(info);
}

}  // namespace platform::ui
