#include "picture_controls/color_swatch_button.h"

#include "platform/ui/colour.h"

CColorSwatchButton::CColorSwatchButton(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos,
                                       const wxSize& size)
    : wxButton(parent, id, label, pos, size) {}

CColorSwatchButton::~CColorSwatchButton() = default;

void CColorSwatchButton::SetColor(ColorRef colour) {
    m_colour = colour;
    m_hasColour = true;
    SetBackgroundColour(platform::ui::ToColour(colour));
    Refresh();
}
