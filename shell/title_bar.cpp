#include "shell/title_bar.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>

#include <algorithm>

#include "platform/ui/colour.h"
#include "platform/ui/fonts.h"
#include "platform/ui/resources.h"
#include "shell/bar_geometry.h"
#include "shell/deferred_request.h"

using platform::ui::ToColour;

bool CTitleBar::Create(wxWindow* parent, long style, wxWindowID id, int bitmap_id) {
    m_side = style;
    m_background = platform::ui::LoadBitmapResource(bitmap_id);
    if (!m_background.IsOk()) return false;
    if (!wxWindow::Create(parent, id, wxDefaultPosition, wxSize(-1, shell::kTitleBarHeight), wxFULL_REPAINT_ON_RESIZE))
        return false;
    SetMinSize(wxSize(-1, shell::kTitleBarHeight));
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    const wxDateTime now = wxDateTime::Now();
    m_title = wxString::FromUTF8(shell::TitleBarText(now.GetYear(), now.GetMonth() + 1, now.GetDay()));
    m_hand = platform::ui::LoadCursorResource(131);
    Bind(wxEVT_PAINT, &CTitleBar::OnPaint, this);
    Bind(wxEVT_MOTION, &CTitleBar::OnMouseMove, this);
    Bind(wxEVT_LEFT_DOWN, &CTitleBar::OnLeftDown, this);
    return true;
}

int CTitleBar::currentArea() const { return shell::TitleAreaForWindow(shell::Deferred().current); }

void CTitleBar::Draw(wxDC& dc) {
    const wxSize size = GetClientSize();
    {
        // The labels of the click areas keep their width, so that they stay
        // over the areas however wide the strip is; the rest is stretched.
        wxMemoryDC src(m_background);
        const int w = m_background.GetWidth();
        const int h = m_background.GetHeight();
        const int labelled = std::min({shell::kTitleLabelledWidth, w, size.x});
        dc.StretchBlit(0, 0, labelled, size.y, &src, 0, 0, labelled, h);
        if (size.x > labelled && w > labelled)
            dc.StretchBlit(labelled, 0, size.x - labelled, size.y, &src, labelled, 0, w - labelled, h);
    }
    dc.SetFont(platform::ui::MakeFont(15));
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    auto draw = [&dc](const wxString& text, const shell::BarRect& r, platform::ui::ColorRef colour) {
        dc.SetTextForeground(ToColour(colour));
        dc.DrawLabel(text, wxRect(r.left, r.top, r.right - r.left, r.bottom - r.top), wxALIGN_CENTER);
    };
    draw(m_title, shell::kTitleTextRect, 0x008080);
    draw(m_userLabel, shell::kUserLabelRect, 0xD2D2D2);
}

void CTitleBar::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    Draw(dc);
}

void CTitleBar::OnMouseMove(wxMouseEvent& e) {
    SetCursor(shell::TitleBarHit(e.GetX(), e.GetY()) >= 0 ? m_hand : wxNullCursor);
    e.Skip();
}

void CTitleBar::ClickAt(int x, int y) {
    const int area = shell::TitleBarHit(x, y);
    auto& deferred = shell::Deferred();
    if (auto code = shell::TitleBarClick(area, currentArea(), deferred.pending)) {
        SetCursor(m_hand);
        deferred.Store(*code);
        Refresh();
    }
}

void CTitleBar::OnLeftDown(wxMouseEvent& e) {
    ClickAt(e.GetX(), e.GetY());
    e.Skip();
}
