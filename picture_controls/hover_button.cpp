#include "picture_controls/hover_button.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/graphics.h>

#include "platform/ui/colour.h"
#include "platform/ui/fonts.h"

using namespace picture_controls;

namespace {

constexpr int kIconSize = 16;
constexpr int kIconInset = 2;
constexpr int kCaptionLeftOfIcon = 19;
constexpr int kCornerSize = 3;

wxColour Wx(HbColour c) { return platform::ui::ToColour(c); }

void DrawGradient(wxDC& dc, const GradientFill& g) {
    const std::vector<HbColour> rows = GradientRows(g.from, g.to, g.box.height());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        dc.SetPen(wxPen(Wx(rows[i])));
        const int y = g.box.top + static_cast<int>(i);
        dc.DrawLine(g.box.left, y, g.box.right, y);
    }
}

void DrawRoundFrame(wxDC& dc, const wxRect& r, HbColour colour) {
    dc.SetPen(wxPen(Wx(colour)));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRoundedRectangle(r, kCornerSize / 2.0);
}

// A 3-D rectangle: light top and left edges, shade bottom and right edges.
void Draw3dRect(wxDC& dc, const wxRect& r, HbColour light, HbColour shade) {
    if (r.width <= 0 || r.height <= 0) return;
    const int right = r.x + r.width - 1, bottom = r.y + r.height - 1;
    dc.SetPen(wxPen(Wx(light)));
    dc.DrawLine(r.x, r.y, right, r.y);
    dc.DrawLine(r.x, r.y, r.x, bottom);
    dc.SetPen(wxPen(Wx(shade)));
    dc.DrawLine(right, r.y, right, bottom + 1);
    dc.DrawLine(r.x, bottom, right, bottom);
}

}  // namespace

CHoverButton::CHoverButton(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos,
                           const wxSize& size, HoverButtonLook look) {
    Create(parent, id, label, pos, size, look);
}

bool CHoverButton::Create(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos,
                          const wxSize& size, HoverButtonLook look) {
    m_look = look;
    if (!wxControl::Create(parent, id, pos, size, wxBORDER_NONE | wxWANTS_CHARS)) return false;
    SetLabel(label);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetFont(platform::ui::MakeFont(13));
    SetInitialSize(size);
    Bind(wxEVT_PAINT, &CHoverButton::OnPaint, this);
    for (auto type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_MOTION, wxEVT_ENTER_WINDOW,
                      wxEVT_LEAVE_WINDOW})
        Bind(type, &CHoverButton::OnMouse, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) {
        m_captured = false;
        m_pressed = false;
        Refresh();
    });
    Bind(wxEVT_KEY_DOWN, &CHoverButton::OnKey, this);
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) {
        Refresh();
        e.Skip();
    });
    Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& e) {
        Refresh();
        e.Skip();
    });
    return true;
}

CHoverButton::~CHoverButton() {
    if (m_captured && HasCapture()) ReleaseMouse();
}

void CHoverButton::SetIcon(const wxBitmap& icon) {
    m_icon = icon;
    Refresh();
}

void CHoverButton::SetStyle(int style) {
    m_state.style = style;
    Refresh();
}

void CHoverButton::SetTextColours(unsigned hover, unsigned normal, unsigned pressed) {
    m_colours.textHover = hover;
    m_colours.textNormal = normal;
    m_colours.textPressed = pressed;
    Refresh();
}

bool CHoverButton::Enable(bool enable) {
    if (!enable) {
        m_hovering = false;
        m_pressed = false;
    }
    const bool changed = wxControl::Enable(enable);
    Refresh();
    return changed;
}

void CHoverButton::SetLabel(const wxString& label) {
    if (label == GetLabel()) return;
    wxControl::SetLabel(label);
    Refresh();
}

const HoverButtonState& CHoverButton::state() const {
    m_state.pressed = m_pressed && m_pressInside;
    m_state.hovering = m_hovering;
    m_state.disabled = !IsThisEnabled();
    m_state.hasIcon = m_icon.IsOk();
    m_state.hasCaption = !GetLabel().empty();
    return m_state;
}

wxSize CHoverButton::DoGetBestSize() const {
    wxClientDC dc(const_cast<CHoverButton*>(this));
    dc.SetFont(GetFont());
    const wxSize text = dc.GetTextExtent(GetLabel().empty() ? wxString("M") : GetLabel());
    return wxSize(text.x + (m_icon.IsOk() ? kCaptionLeftOfIcon + 8 : 16), std::max(text.y, kIconSize) + 8);
}

void CHoverButton::Draw(wxDC& dc) {
    const wxSize size = GetClientSize();
    const BoxI item{0, 0, size.x, size.y};
    const HoverButtonFace face = FaceOf(state(), m_colours, item, m_look);
    if (size.x <= 0 || size.y <= 0) return;
    // The smoothed corners of the frame reach past a button only a pixel or
    // two high: nothing is drawn outside the button, whatever the DC.
    wxDCClipper clip(dc, wxRect(0, 0, size.x, size.y));
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    // Corners outside the rounded frame show the parent.
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(GetParent() ? GetParent()->GetBackgroundColour() : GetBackgroundColour()));
    dc.DrawRectangle(0, 0, size.x, size.y);

    wxRect whole(0, 0, size.x, size.y);
    DrawGradient(dc, face.gradients.front());
    DrawRoundFrame(dc, whole, m_colours.frame);
    Draw3dRect(dc, wxRect(whole).Deflate(1), face.light, face.shade);
    for (std::size_t i = 1; i < face.gradients.size(); ++i) DrawGradient(dc, face.gradients[i]);
    if (face.glowOutline) DrawRoundFrame(dc, wxRect(whole).Deflate(1), m_colours.frame);

    dc.SetFont(GetFont());
    dc.SetTextForeground(Wx(face.textColour));
    switch (face.icon) {
    case HoverButtonFace::Icon::AtTopLeft:
        dc.DrawBitmap(m_icon, kIconInset, kIconInset, true);
        break;
    case HoverButtonFace::Icon::Centred:
        dc.DrawBitmap(m_icon, (size.x - kIconSize) / 2, (size.y - kIconSize) / 2, true);
        break;
    case HoverButtonFace::Icon::None:
        break;
    }
    const wxString label = GetLabel();
    switch (face.label) {
    case HoverButtonFace::Label::Centred:
        dc.DrawLabel(label, whole, wxALIGN_CENTRE);
        break;
    case HoverButtonFace::Label::LeftOfIcon:
        dc.DrawLabel(label, wxRect(kCaptionLeftOfIcon, 0, std::max(0, size.x - kCaptionLeftOfIcon), size.y),
                     wxALIGN_LEFT | wxALIGN_CENTRE_VERTICAL);
        break;
    case HoverButtonFace::Label::Dashes:
        dc.DrawLabel("--", whole, wxALIGN_CENTRE);
        break;
    case HoverButtonFace::Label::None:
        break;
    }
}

void CHoverButton::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    Draw(dc);
}

void CHoverButton::OnMouse(wxMouseEvent& e) {
    const wxEventType type = e.GetEventType();
    if (!IsThisEnabled()) return;
    const bool inside = type != wxEVT_LEAVE_WINDOW && wxRect(GetClientSize()).Contains(e.GetPosition());
    if (type == wxEVT_LEFT_DOWN || type == wxEVT_LEFT_DCLICK) {
        m_pressed = true;
        m_pressInside = true;
        m_hovering = false;  // the pressed face has no glow until the mouse moves again
        if (!HasCapture()) {
            CaptureMouse();
            m_captured = true;
        }
        SetFocus();
        Refresh();
        return;
    }
    if (type == wxEVT_LEFT_UP) {
        const bool click = m_pressed && inside;
        m_pressed = false;
        m_pressInside = false;
        if (m_captured && HasCapture()) ReleaseMouse();
        m_captured = false;
        Refresh();
        if (click) Click();
        return;
    }
    // Moves, enter and leave.
    if (m_pressed) {
        if (inside != m_pressInside) {
            m_pressInside = inside;
            Refresh();
        }
    } else if (inside != m_hovering) {
        m_hovering = inside;
        Refresh();
    }
    e.Skip();
}

void CHoverButton::OnKey(wxKeyEvent& e) {
    if (e.GetKeyCode() == WXK_SPACE || e.GetKeyCode() == WXK_RETURN) {
        Click();
        return;
    }
    e.Skip();
}

void CHoverButton::Click() {
    wxCommandEvent event(wxEVT_BUTTON, GetId());
    event.SetEventObject(this);
    ProcessWindowEvent(event);
}
