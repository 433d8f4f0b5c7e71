#include "picture_controls/icon_static.h"

#include <wx/dcbuffer.h>

#include "platform/ui/colour.h"
#include "platform/ui/resources.h"

using platform::ui::ToColour;

CIconStatic::CIconStatic(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxControl(parent, id, pos, size, wxBORDER_NONE) {
    m_icon = wxBitmap(platform::ui::LoadIconResource(4000));
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(this);
        dc.SetBackground(wxBrush(GetParent() ? GetParent()->GetBackgroundColour() : *wxWHITE));
        dc.Clear();
        Draw(dc);
    });
}

CIconStatic::~CIconStatic() = default;

void CIconStatic::Draw(wxDC& dc) {
    const wxSize size = GetClientSize();
    if (m_fill == 9) {
        dc.SetBrush(wxBrush(ToColour(m_back)));
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.DrawRectangle(0, 0, size.x, size.y);
    }
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetFont(GetParent() ? GetParent()->GetFont() : GetFont());
    dc.SetTextForeground(ToColour(m_textColour));
    const wxString text = wxString::FromUTF8(m_text);
    const wxSize ext = dc.GetTextExtent(text);
    // A 3-D rectangle of one-pixel strips (lines would blend where they meet).
    auto frame = [&](unsigned topLeft, unsigned bottomRight) {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(ToColour(topLeft)));
        dc.DrawRectangle(0, 0, size.x - 1, 1);
        dc.DrawRectangle(0, 0, 1, size.y - 1);
        dc.SetBrush(wxBrush(ToColour(bottomRight)));
        dc.DrawRectangle(size.x - 1, 0, 1, size.y);
        dc.DrawRectangle(0, size.y - 1, size.x, 1);
    };
    if (m_frame == 'L') {
        dc.DrawText(text, 6, 3);
        frame(0x2B2B2B, 0x8B8B8B);
        if (m_iconLetter == 'A' && m_icon.IsOk()) dc.DrawBitmap(m_icon, size.x - 19, 3, true);
    } else if (m_frame == 'c') {
        dc.DrawText(text, (size.x - ext.x) / 2, 3);
        frame(0x535353, 0x8B8B8B);
    } else {
        dc.DrawText(text, (size.x - ext.x) / 2, (size.y - ext.y) / 2);
    }
}
