#include "shell/nav_bar.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>

#include "platform/ui/colour.h"
#include "platform/ui/fonts.h"
#include "platform/ui/resources.h"
#include "shell/bar_geometry.h"
#include "shell/deferred_request.h"

using platform::ui::ToColour;

namespace {
constexpr platform::ui::ColorRef kOutline = 0x000000;
constexpr platform::ui::ColorRef kFillLine = 0xEAF46F;
constexpr platform::ui::ColorRef kCurrentOutline = 0xFF0000;
constexpr platform::ui::ColorRef kCurrentFill = 0xFFFFFF;
}  // namespace

bool CNavBar::Create(wxWindow* parent, long style, wxWindowID id, int bitmap_id) {
    m_side = style;
    m_background = platform::ui::LoadBitmapResource(bitmap_id);
    if (!m_background.IsOk()) return false;
    if (!wxWindow::Create(parent, id, wxDefaultPosition, wxSize(shell::kNavBarWidth, -1), wxFULL_REPAINT_ON_RESIZE))
        return false;
    SetMinSize(wxSize(shell::kNavBarWidth, -1));
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_hand = platform::ui::LoadCursorResource(131);
    {
        wxClientDC dc(this);
        dc.SetFont(platform::ui::MakeFont(15));
        m_lineHeight = dc.GetTextExtent(wxString::FromUTF8("工程设置")).y;
    }
    Bind(wxEVT_PAINT, &CNavBar::OnPaint, this);
    Bind(wxEVT_MOTION, &CNavBar::OnMouseMove, this);
    Bind(wxEVT_LEFT_DOWN, &CNavBar::OnLeftDown, this);
    return true;
}

wxImageList* CNavBar::SetImageList(wxImageList* list) {
    wxImageList* old = m_images;
    m_images = list;
    return old;
}

int CNavBar::currentTab() const { return shell::NavTabForWindow(shell::Deferred().current); }

void CNavBar::DrawTab(wxDC& dc, int top, int bottom, const wxColour& outline, const wxColour& fill, int tab,
                     int caption_offset) {
    dc.SetPen(wxPen(fill));
    for (const auto& l : shell::NavTabFill(top, bottom)) dc.DrawLine(l.x1, l.y1, l.x2, l.y2);
    dc.SetPen(wxPen(outline));
    for (const auto& l : shell::NavTabOutline(top, bottom)) dc.DrawLine(l.x1, l.y1, l.x2, l.y2);
    const wxString caption = wxString::FromUTF8(shell::kNavTabCaptions[tab]);
    int y = top + caption_offset;
    for (wxUniChar ch : caption) {
        dc.DrawText(wxString(ch), 3, y);
        y += m_lineHeight;
    }
}

void CNavBar::Draw(wxDC& dc) {
    const wxSize size = GetClientSize();
    {
        wxMemoryDC src(m_background);
        dc.StretchBlit(0, 0, size.x, size.y, &src, 0, 0, m_background.GetWidth(), m_background.GetHeight());
    }
    dc.SetFont(platform::ui::MakeFont(15));
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetTextForeground(*wxBLACK);
    const auto tabs = shell::NavTabs(m_lineHeight);
    for (int i = 0; i < shell::kNavTabCount; ++i) {
        DrawTab(dc, tabs[i].top, tabs[i].bottom, ToColour(kOutline), ToColour(kFillLine), i, 2);
    }
    // The current tab again over its full height, in its own colours.
    const int cur = currentTab();
    if (cur < 0) return;  // the current window was closed
    const auto& t = tabs[static_cast<std::size_t>(cur)];
    DrawTab(dc, t.hit.top, t.hit.bottom + m_lineHeight / 2, ToColour(kCurrentOutline), ToColour(kCurrentFill), cur, 3);
}

void CNavBar::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    Draw(dc);
}

void CNavBar::OnMouseMove(wxMouseEvent& e) {
    bool over = shell::NavBarHit(e.GetX(), e.GetY(), m_lineHeight) >= 0;
    for (const auto& r : shell::NavSmallAreas(m_lineHeight)) over = over || r.Contains(e.GetX(), e.GetY());
    SetCursor(over ? m_hand : wxNullCursor);
    e.Skip();
}

void CNavBar::ClickAt(int x, int y) {
    if (m_busy) return;
    m_busy = true;
    const int tab = shell::NavBarHit(x, y, m_lineHeight);
    if (auto code = shell::NavBarClick(tab, currentTab())) {
        shell::Deferred().Store(*code);
        Refresh();
    }
    m_busy = false;
}

void CNavBar::OnLeftDown(wxMouseEvent& e) {
    ClickAt(e.GetX(), e.GetY());
    e.Skip();
}
