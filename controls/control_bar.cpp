// The docking bars on the toolkit's windows. A docked bar is a child of its
// frame, placed by LayoutDockSite from the core's dock arithmetic; a
// floating bar moves into a small tool frame of its own and back. There is
// no non-client area here, so the bar paints its border and sizing edge
// itself and keeps its content inside the client rectangle the core gives.
#include "controls/control_bar.h"

#include <wx/dcbuffer.h>
#include <wx/imaglist.h>
#include <wx/minifram.h>
#include <wx/notebook.h>
#include <wx/settings.h>

namespace {

using controls::BarRect;
using controls::DockSide;

wxString Utf8(const std::string& s) { return wxString::FromUTF8(s.data(), s.size()); }
wxRect ToWx(const BarRect& r) { return wxRect(r.left, r.top, r.Width(), r.Height()); }

}  // namespace

CQxControlBar::CQxControlBar() = default;

CQxControlBar::~CQxControlBar() {
    if (m_floatFrame) {
        // This window has left the tool frame's children by now.
        m_floatFrame->Destroy();
        m_floatFrame = nullptr;
    }
}

bool CQxControlBar::Create(wxWindow* frame, int id, const std::string& name, wxSize size, unsigned style) {
    if (!frame) return false;
    m_barStyle = style & controls::kBarStyleMask;
    m_sizes.SetAll({size.x, size.y});
    m_frame = frame;
    // The system's bar ids (61446 and up) lie beyond the toolkit's window ids.
    m_barId = id;
    if (!wxWindow::Create(frame, id > 0 && id < 32767 ? id : wxID_ANY, wxDefaultPosition, wxDefaultSize,
                          wxFULL_REPAINT_ON_RESIZE | wxCLIP_CHILDREN | wxBORDER_NONE, Utf8(name)))
        return false;
    SetLabel(Utf8(name));
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    DockSide first = controls::DockSideOfStyle(style);
    if (first == DockSide::Floating) first = DockSide::Top;
    m_lastDockSide = first;
    m_dockBarId = controls::DockBarIdOf(first);

    Bind(wxEVT_PAINT, [this](wxPaintEvent&) { OnPaint(); });
    Bind(wxEVT_SIZE, [this](wxSizeEvent&) {
        LayoutContent(ClientArea());
        Refresh();
    });
    Bind(wxEVT_MOTION, [this](wxMouseEvent& e) {
        OnSetCursorAt(e.GetPosition());
        e.Skip();
    });
    Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
        if (!OnEdgePress(e.GetPosition())) e.Skip();
    });
    Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& e) {
        if (m_tracking) OnEdgeRelease();
        e.Skip();
    });
    Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) {
        if (m_tracking) OnEdgeRelease();
    });
    Bind(wxEVT_LEFT_DCLICK, [this](wxMouseEvent&) { ToggleDocking(); });
    Bind(wxEVT_MENU, [this](wxCommandEvent& e) {
        if (!RunBarCommand(e.GetId())) e.Skip();
    });
    return true;
}

bool CQxControlBar::IsFloating() const { return side() == DockSide::Floating; }

wxImageList* CQxControlBar::SetButtonImages(wxImageList* images) {
    wxImageList* old = m_buttonImages;
    m_buttonImages = images;
    return old;
}

controls::NonClientLayout CQxControlBar::Layout() const {
    const wxSize s = GetSize();
    return controls::LayoutNonClient(side(), BarRect{0, 0, s.x, s.y});
}

wxRect CQxControlBar::ClientArea() const { return ToWx(Layout().client); }

void CQxControlBar::LayoutContent(const wxRect&) {}

void CQxControlBar::PaintFrame(wxDC& dc, DockSide side, wxSize size, bool tracking) {
    const wxColour face = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
    dc.SetBackground(wxBrush(face));
    dc.Clear();
    const controls::NonClientLayout l = controls::LayoutNonClient(side, BarRect{0, 0, size.x, size.y});
    if (l.edge.Empty()) return;
    const wxRect e = ToWx(l.edge);
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT)));
    dc.DrawLine(e.GetLeft(), e.GetTop(), e.GetRight(), e.GetTop());
    dc.DrawLine(e.GetLeft(), e.GetTop(), e.GetLeft(), e.GetBottom());
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
    dc.DrawLine(e.GetLeft(), e.GetBottom(), e.GetRight() + 1, e.GetBottom());
    dc.DrawLine(e.GetRight(), e.GetTop(), e.GetRight(), e.GetBottom());
    if (tracking) {
        // The halftone tracking bar over the edge while the button is down.
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(wxColour(64, 64, 64), wxBRUSHSTYLE_CROSSDIAG_HATCH));
        dc.DrawRectangle(e);
    }
}

void CQxControlBar::OnPaint() {
    wxAutoBufferedPaintDC dc(this);
    PaintFrame(dc, side(), GetSize(), m_tracking);
}

void CQxControlBar::OnSetCursorAt(wxPoint p) {
    const controls::NonClientLayout l = Layout();
    if (!IsFloating() && !m_tracking && l.edge.Contains(p.x, p.y))
        SetCursor(wxCursor(controls::IsHorizontalDock(side()) ? wxCURSOR_SIZENS : wxCURSOR_SIZEWE));
    else if (!m_tracking)
        SetCursor(wxNullCursor);
}

bool CQxControlBar::OnEdgePress(wxPoint p) {
    if (IsFloating() || m_tracking || !Layout().edge.Contains(p.x, p.y)) return false;
    m_tracking = true;
    if (!HasCapture()) CaptureMouse();
    Refresh();
    return true;
}

void CQxControlBar::OnEdgeRelease() {
    if (!m_tracking) return;
    m_tracking = false;
    if (HasCapture()) ReleaseMouse();
    // The tracking bar does not follow the mouse: the thickness stays.
    m_sizes.EndEdgeTracking();
    Refresh();
    RequestFrameLayout();
}

void CQxControlBar::RequestFrameLayout() {
    if (m_frame) m_frame->SendSizeEvent(wxSEND_EVENT_POST);
}

void CQxControlBar::Reparent(wxWindow* parent, int dockBarId) {
    m_dockBarId = dockBarId;
    if (GetParent() != parent) wxWindow::Reparent(parent);
}

void CQxControlBar::DockAt(DockSide where) {
    if (where == DockSide::Floating) {
        if (IsFloating()) return;
        m_lastDockSide = side();
        const controls::BarSize f = m_sizes.floating();
        wxWindow* top = wxGetTopLevelParent(m_frame);
        m_floatFrame = new wxMiniFrame(top, wxID_ANY, GetLabel(), GetScreenPosition(), wxDefaultSize,
                                       wxCAPTION | wxCLOSE_BOX | wxRESIZE_BORDER | wxFRAME_TOOL_WINDOW |
                                           wxFRAME_FLOAT_ON_PARENT);
        m_floatFrame->SetClientSize(f.cx, f.cy);
        Reparent(m_floatFrame, 0);
        m_floatFrame->Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
            if (m_floatFrame && GetParent() == m_floatFrame) SetSize(m_floatFrame->GetClientSize());
            e.Skip();
        });
        m_floatFrame->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { HideBar(); });
        SetSize(m_floatFrame->GetClientSize());
        m_floatFrame->Show();
    } else {
        Reparent(m_frame, controls::DockBarIdOf(where));
        if (m_floatFrame) {
            m_floatFrame->Destroy();
            m_floatFrame = nullptr;
        }
        Show();
    }
    LayoutContent(ClientArea());
    Refresh();
    RequestFrameLayout();
}

void CQxControlBar::ToggleDocking() { DockAt(IsFloating() ? m_lastDockSide : DockSide::Floating); }

void CQxControlBar::HideBar() {
    if (IsFloating()) DockAt(m_lastDockSide);
    Hide();
    RequestFrameLayout();
}

bool CQxControlBar::RunBarCommand(int id) {
    if (id == controls::kCmdHideBar)
        HideBar();
    else if (id == controls::kCmdToggleDocking)
        ToggleDocking();
    else
        return false;
    return true;
}

void CQxControlBar::LayoutDockSite(wxWindow* frame, wxWindow* centre) {
    if (!frame) return;
    const wxSize client = frame->GetClientSize();
    std::vector<CQxControlBar*> bars;
    std::vector<controls::DockedBar> docked;
    for (wxWindow* child : frame->GetChildren()) {
        auto* bar = dynamic_cast<CQxControlBar*>(child);
        if (!bar || !bar->IsShown() || bar->IsFloating()) continue;
        const bool horizontal = controls::IsHorizontalDock(bar->side());
        const controls::BarSize fixed = bar->m_sizes.CalcFixedLayout(false, horizontal, client.x, client.y);
        bars.push_back(bar);
        docked.push_back({bar->side(), horizontal ? fixed.cy : fixed.cx});
    }
    const controls::DockSiteLayout l = controls::LayoutDockSite(BarRect{0, 0, client.x, client.y}, docked);
    for (std::size_t i = 0; i < bars.size(); ++i) bars[i]->SetSize(ToWx(l.bars[i]));
    if (centre) centre->SetSize(ToWx(l.centre));
}

// ---- the tabbed bar ----

CQxTabControlBar::CQxTabControlBar() = default;

CQxTabControlBar::~CQxTabControlBar() { m_pages.clear(); }

bool CQxTabControlBar::Create(wxWindow* frame, int id, const std::string& name, wxSize size, unsigned style) {
    if (!CQxControlBar::Create(frame, id, name, size, style)) return false;
    m_tabs = new wxNotebook(this, controls::kTabControlId, wxDefaultPosition, wxDefaultSize, wxNB_BOTTOM);
    m_tabs->SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    // Selection changes are not followed: the first page stays shown.
    m_tabs->Bind(wxEVT_NOTEBOOK_PAGE_CHANGING, [this](wxBookCtrlEvent& e) {
        if (!m_adding) e.Veto();
    });
    // Each tab's tip is its page name.
    m_tabs->Bind(wxEVT_MOTION, [this](wxMouseEvent& e) {
        const int hit = m_tabs->HitTest(e.GetPosition());
        if (hit >= 0 && hit < static_cast<int>(m_pages.size()))
            m_tabs->SetToolTip(Utf8(m_pages[hit].name));
        else
            m_tabs->UnsetToolTip();
        e.Skip();
    });
    LayoutContent(ClientArea());
    return true;
}

bool CQxTabControlBar::AddView(const std::string& name, const ViewFactory& makeView) {
    if (!m_tabs || !makeView) return false;
    wxWindow* view = nullptr;
    try {
        view = makeView(m_tabs);
    } catch (...) {
        return false;
    }
    if (!view) return false;
    m_lastView = view;
    const int index = static_cast<int>(m_pages.size());
    m_pages.push_back({view, controls::PageNameForRecord(name)});
    // Later pages are disabled; the tab control keeps them out of sight (a
    // page hidden by hand would lose its tab as well).
    if (index > 0) view->Disable();
    wxImageList* images = m_tabs->GetImageList();
    const int image = images && index < images->GetImageCount() ? index : wxNOT_FOUND;
    m_adding = true;
    m_tabs->AddPage(view, Utf8(m_pages.back().name), index == 0, image);
    m_adding = false;
    return true;
}

void CQxTabControlBar::SetImageList(wxImageList* images) {
    if (m_tabs) m_tabs->SetImageList(images);
}

void CQxTabControlBar::LayoutContent(const wxRect& client) {
    if (m_tabs) m_tabs->SetSize(client);
}
