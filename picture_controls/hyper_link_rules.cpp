#include "picture_controls/hyper_link_rules.h"

#include "platform/shell.h"

namespace picture_controls {

LinkColour LinkTextColour(const LinkState& s) {
    if (s.hover && (s.options & link_option::kUseHover)) return kHoverColour;
    if ((s.options & link_option::kNoActiveColour) || !s.active) return s.visited ? kVisitedColour : kLinkColour;
    return kActiveColour;
}

LinkRect SizeLinkToText(LinkRect r, int text_width, int text_height, LinkAlign horizontal, bool centre_vertical) {
    LinkRect out = r;
    out.width = text_width;
    out.height = text_height;
    if (centre_vertical) out.y = r.y + (r.height - text_height) / 2;
    switch (horizontal) {
    case LinkAlign::Left:
        break;
    case LinkAlign::Centre:
        out.x = r.x + (r.width - text_width) / 2;
        break;
    case LinkAlign::Right:
        out.x = r.x + r.width - text_width;
        break;
    }
    return out;
}

LinkOpener DesktopLinkOpener(const std::string& opener_program) {
    return [opener_program](const std::string& target, std::string* error) {
        return platform::OpenWithDesktop(target, error, opener_program);
    };
}

bool OpenLinkTarget(const std::string& target, const LinkOpener& opener, std::string* message) {
    std::string reason;
    if (opener && opener(target, &reason)) return true;
    if (message) *message = "Can't open link:\n\n" + (reason.empty() ? std::string("没有打开链接的程序") : reason);
    return false;
}

}  // namespace picture_controls
