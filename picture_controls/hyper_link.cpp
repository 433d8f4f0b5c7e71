#include "picture_controls/hyper_link.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/utils.h>

#include "platform/ui/colour.h"
#include "platform/ui/message_box.h"

using namespace picture_controls;

namespace {

LinkOpener& Opener() {
    static LinkOpener opener = DesktopLinkOpener();
    return opener;
}

}  // namespace

void CHyperLink::SetOpener(LinkOpener opener) { Opener() = opener ? std::move(opener) : DesktopLinkOpener(); }

CHyperLink::CHyperLink(wxWindow* parent, wxWindowID id, const wxString& label, const std::string& target,
                       const wxPoint& pos, const wxSize& size, long style, int options) {
    Create(parent, id, label, target, pos, size, style, options);
}

bool CHyperLink::Create(wxWindow* parent, wxWindowID id, const wxString& label, const std::string& target,
                        const wxPoint& pos, const wxSize& size, long style, int options) {
    if (!wxControl::Create(parent, id, pos, size, (style & ~wxBORDER_MASK) | wxBORDER_NONE | wxWANTS_CHARS))
        return false;
    m_state.options = options;
    m_target = target;
    // An empty target takes the text; an empty text shows the target.
    if (m_target.empty()) m_target = label.utf8_string();
    m_labelIsTarget = label.empty();
    SetLabel(label.empty() ? wxString::FromUTF8(m_target) : label);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    MakeFont();
    if (!(m_state.options & link_option::kNoHandCursor)) SetCursor(wxCursor(wxCURSOR_HAND));
    SetToolTip(wxString::FromUTF8(m_target));
    SetInitialSize(size);
    FitToText();

    Bind(wxEVT_PAINT, &CHyperLink::OnPaint, this);
    for (auto type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_MOTION, wxEVT_ENTER_WINDOW, wxEVT_LEAVE_WINDOW})
        Bind(type, &CHyperLink::OnMouse, this);
    Bind(wxEVT_KEY_DOWN, &CHyperLink::OnKey, this);
    Bind(wxEVT_SET_FOCUS, &CHyperLink::OnFocus, this);
    Bind(wxEVT_KILL_FOCUS, &CHyperLink::OnFocus, this);
    return true;
}

CHyperLink::~CHyperLink() = default;

void CHyperLink::MakeFont() {
    wxFont font = GetFont();
    if (!font.IsOk()) {
        m_state.options &= ~link_option::kAutoSize;  // nothing to measure with
        m_linkFont = wxNullFont;
        return;
    }
    font.SetUnderlined((m_state.options & link_option::kUnderline) != 0);
    m_linkFont = font;
}

void CHyperLink::SetOptions(int options) {
    m_state.options = options;
    MakeFont();
    SetCursor((options & link_option::kNoHandCursor) ? wxNullCursor : wxCursor(wxCURSOR_HAND));
    FitToText();
    Refresh();
}

void CHyperLink::SetLinkTarget(const std::string& target) {
    m_target = target;
    SetToolTip(wxString::FromUTF8(m_target));
    if (m_labelIsTarget || GetLabel().empty()) {
        m_labelIsTarget = true;
        SetLabel(wxString::FromUTF8(m_target));
    }
    FitToText();
    Refresh();
}

void CHyperLink::SetVisited(bool visited) {
    m_state.visited = visited;
    Refresh();
}

wxSize CHyperLink::DoGetBestSize() const {
    wxClientDC dc(const_cast<CHyperLink*>(this));
    dc.SetFont(m_linkFont.IsOk() ? m_linkFont : GetFont());
    return dc.GetMultiLineTextExtent(GetLabel());
}

void CHyperLink::FitToText() {
    if (!(m_state.options & link_option::kAutoSize) || !m_linkFont.IsOk()) return;
    const wxSize text = DoGetBestSize();
    const wxRect now = GetRect();
    const long style = GetWindowStyleFlag();
    const LinkAlign align = (style & wxALIGN_RIGHT)               ? LinkAlign::Right
                            : (style & wxALIGN_CENTRE_HORIZONTAL) ? LinkAlign::Centre
                                                                  : LinkAlign::Left;
    const LinkRect r = SizeLinkToText({now.x, now.y, now.width, now.height}, text.x, text.y, align,
                                      (style & wxALIGN_CENTRE_VERTICAL) != 0);
    SetMinSize(text);
    SetSize(r.x, r.y, r.width, r.height);
}

void CHyperLink::Draw(wxDC& dc) {
    const wxSize size = GetClientSize();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(GetBackgroundColour()));
    dc.DrawRectangle(0, 0, size.x, size.y);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetFont(m_linkFont.IsOk() ? m_linkFont : GetFont());
    dc.SetTextForeground(platform::ui::ToColour(LinkTextColour(m_state)));
    const long style = GetWindowStyleFlag();
    int align = (style & wxALIGN_RIGHT) ? wxALIGN_RIGHT : (style & wxALIGN_CENTRE_HORIZONTAL) ? wxALIGN_CENTRE_HORIZONTAL : wxALIGN_LEFT;
    align |= (style & wxALIGN_CENTRE_VERTICAL) ? wxALIGN_CENTRE_VERTICAL : wxALIGN_TOP;
    dc.DrawLabel(GetLabel(), wxRect(size), align);
}

void CHyperLink::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    Draw(dc);
}

bool CHyperLink::Open() {
    std::string message;
    bool opened = false;
    {
        wxBusyCursor busy;  // the opener is given a moment to say it could not open the target
        opened = OpenLinkTarget(m_target, Opener(), &message);
    }
    if (!opened) {
        wxBell();
        platform::ui::ShowMessage(message, platform::MbButtons::Ok, platform::MbIcon::Exclamation, {}, this);
        return false;
    }
    SetVisited(true);
    return true;
}

void CHyperLink::OnMouse(wxMouseEvent& e) {
    const wxEventType type = e.GetEventType();
    if (type == wxEVT_LEFT_DOWN) {
        if (m_state.options & link_option::kGetFocusOnClick) SetFocus();
        if (m_state.options & link_option::kDownClick) Open();
        m_state.active = true;
        Refresh();
        return;
    }
    if (type == wxEVT_LEFT_UP) {
        if (m_state.active && !(m_state.options & link_option::kDownClick)) Open();
        return;
    }
    const bool inside = type != wxEVT_LEAVE_WINDOW && wxRect(GetClientSize()).Contains(e.GetPosition());
    if (inside != m_state.hover) {
        m_state.hover = inside;
        Refresh();
    }
    e.Skip();
}

void CHyperLink::OnKey(wxKeyEvent& e) {
    if (e.GetKeyCode() == WXK_SPACE) {
        Open();
        return;
    }
    e.Skip();
}

void CHyperLink::OnFocus(wxFocusEvent& e) {
    if (e.GetEventType() == wxEVT_SET_FOCUS) {
        m_state.active = true;
    } else {
        m_state.active = false;
        m_state.hover = false;
    }
    Refresh();
    e.Skip();
}
