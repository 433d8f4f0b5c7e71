#include "controls/tbar_but_tittle_tip.h"

#include <wx/dcclient.h>
#include <wx/popupwin.h>
#include <wx/settings.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include "platform/ui/colour.h"
#include "platform/ui/fonts.h"

namespace {

wxString Utf8(const std::string& s) { return wxString::FromUTF8(s.data(), s.size()); }

// The program has the keyboard when one of its windows holds the focus or one
// of its top-level windows is the active one: under GTK an active frame whose
// windows all draw themselves (and take no focus) has no focused window.
bool ProgramHasFocus() {
    if (wxWindow::FindFocus()) return true;
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* top = dynamic_cast<wxTopLevelWindow*>(w); top && top->IsActive()) return true;
    return false;
}

}  // namespace

CTbarButTittleTip::CTbarButTittleTip() {
    m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OnTimer(); });
}

CTbarButTittleTip::~CTbarButTittleTip() {
    m_timer.Stop();
    if (m_popup) m_popup->Destroy();
}

bool CTbarButTittleTip::Create(wxWindow* owner) {
    if (!owner) return false;
    m_owner = owner;
    auto* popup = new wxPopupWindow();
    // The pop-up draws its own frame: the toolkit draws none on pop-ups.
    if (!popup->Create(owner, wxBORDER_NONE)) {
        delete popup;
        return false;
    }
    popup->SetBackgroundStyle(wxBG_STYLE_PAINT);
    popup->Bind(wxEVT_PAINT, [this, popup](wxPaintEvent&) {
        wxPaintDC dc(popup);
        const wxSize size = popup->GetClientSize();
        Paint(dc, size.x, size.y, m_text);
    });
    popup->Hide();
    m_popup = popup;
    return true;
}

void CTbarButTittleTip::Paint(wxDC& dc, int width, int height, const std::string& text) {
    // A black frame filled with the classic pale yellow of tips: dark desktop
    // themes would hide the black text on their own tip colour.
    const int b = controls::kTipBorder;
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(*wxBLACK_BRUSH);
    dc.DrawRectangle(0, 0, width, height);
    dc.SetBrush(wxBrush(platform::ui::ToColour(controls::kTipBackground)));
    dc.DrawRectangle(b, b, width - 2 * b, height - 2 * b);
    dc.SetFont(platform::ui::MakeFont(controls::kTipFontHeight));
    dc.SetTextForeground(*wxBLACK);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetClippingRegion(b, b, width - 2 * b, height - 2 * b);
    dc.DrawText(Utf8(text), b + controls::kTipTextInset, b + controls::kTipTextInset);
}

void CTbarButTittleTip::ShowTip(int x, int y, const std::string& text) {
    if (!m_popup || !m_owner) return;
    if (!controls::TipRequestShows(m_popup->IsShown(), ProgramHasFocus())) return;
    m_text = text;
    wxCoord w = 0, h = 0;
    {
        wxClientDC dc(m_owner);
        dc.SetFont(platform::ui::MakeFont(controls::kTipFontHeight));
        dc.GetTextExtent(Utf8(text), &w, &h);
    }
    const controls::TipRect r = controls::TipRectFor(x, y, w, h);
    const wxPoint topLeft = m_owner->ClientToScreen(wxPoint(r.left, r.top));
    m_popup->SetSize(topLeft.x, topLeft.y, r.Width(), r.Height());
    m_popup->Show();
    m_popup->Raise();
    m_popup->Refresh();
    m_ticks.Restart();
    m_timer.Start(controls::kTipTickMs);
}

void CTbarButTittleTip::HideTip() {
    m_timer.Stop();
    if (m_popup) m_popup->Hide();
}

void CTbarButTittleTip::OnTimer() {
    if (m_ticks.Tick()) HideTip();
}

bool CTbarButTittleTip::IsShown() const { return m_popup && m_popup->IsShown(); }

wxPopupWindow* CTbarButTittleTip::window() const { return m_popup.get(); }
