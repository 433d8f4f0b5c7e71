// The docking bars on the toolkit's windows. A docked bar is a child of its
// frame, placed by LayoutDockSite from the core's dock arithmetic; a
// floating bar moves into a small tool frame of its own and back. There is
// no non-client area here, so the bar paints its border and sizing edge
// itself and keeps its content inside the client rectangle the core gives.
// The tool frame draws its own caption and rim: the toolkit's mini frame
// keeps double clicks on its caption to itself, and a tabbed bar's tabs
// cover the whole bar, so the frame's caption and rim are where a double
// click docks the bar again. A drag on the caption leaves the frame where it
// is and moves an outline of pop-up strips instead (the screen cannot be
// drawn on with XOR here); the core's WhereDropLands says where the outline
// goes and what the release does.
#include "controls/control_bar.h"

#include <algorithm>
#include <wx/dcbuffer.h>
#include <wx/display.h>
#include <wx/imaglist.h>
#include <wx/notebook.h>
#include <wx/popupwin.h>
#include <wx/settings.h>

namespace {

using controls::BarRect;
using controls::DockSide;

wxString Utf8(const std::string& s) { return wxString::FromUTF8(s.data(), s.size()); }
wxRect ToWx(const BarRect& r) { return wxRect(r.left, r.top, r.Width(), r.Height()); }
BarRect FromWx(const wxRect& r) { return BarRect{r.x, r.y, r.x + r.width, r.y + r.height}; }
controls::BarPoint FromWx(const wxPoint& p) { return controls::BarPoint{p.x, p.y}; }

// The shown, docked bars of a frame in its layout order, with their thickness.
struct FrameBar {
    CQxControlBar* bar;
    controls::DockedBar docked;
};
std::vector<FrameBar> DockedBarsOf(wxWindow* frame, const CQxControlBar* except = nullptr) {
    std::vector<FrameBar> out;
    const wxSize client = frame->GetClientSize();
    for (wxWindow* child : frame->GetChildren()) {
        auto* bar = dynamic_cast<CQxControlBar*>(child);
        if (!bar || bar == except || !bar->IsShown() || bar->IsFloating()) continue;
        const bool horizontal = controls::IsHorizontalDock(bar->side());
        const controls::BarSize fixed = bar->sizes().CalcFixedLayout(false, horizontal, client.x, client.y);
        out.push_back({bar, {bar->side(), horizontal ? fixed.cy : fixed.cx}});
    }
    return out;
}

}  // namespace

CQxControlBar::CQxControlBar() = default;

CQxControlBar::~CQxControlBar() {
    // A floating bar goes with its tool frame (it is the frame's grandchild);
    // the frame is told only when it is not the one going.
    if (m_floatFrame && !m_floatFrame->IsBeingDeleted()) m_floatFrame->Destroy();
    m_floatFrame = nullptr;
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
    Bind(wxEVT_LEFT_DCLICK, [this](wxMouseEvent&) {
        // The first click of the pair may have started tracking the edge.
        if (m_tracking) OnEdgeRelease();
        // The bar changes its parent: after this event, not inside it.
        CallAfter([this] { ToggleDocking(); });
    });
    // Bound to a method, so the toolkit forgets it when the bar goes first.
    frame->Bind(wxEVT_DESTROY, &CQxControlBar::OnFrameDestroyed, this);
    Bind(wxEVT_MENU, [this](wxCommandEvent& e) {
        if (!RunBarCommand(e.GetId())) e.Skip();
    });
    return true;
}

void CQxControlBar::OnFrameDestroyed(wxWindowDestroyEvent& e) {
    e.Skip();
    if (e.GetEventObject() != m_frame) return;
    // A frame closed while its bar floats takes the bar and its tool frame along.
    m_frame = nullptr;
    if (m_floatFrame) {
        CQxFloatFrame* f = m_floatFrame;
        m_floatFrame = nullptr;
        f->Destroy();
    }
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
    if (!m_frame) return;
    if (where == DockSide::Floating) {
        if (IsFloating()) return;
        m_lastDockSide = side();
        const controls::BarSize f = m_sizes.floating();
        m_floatFrame = new CQxFloatFrame(wxGetTopLevelParent(m_frame), this, GetScreenPosition(), wxSize(f.cx, f.cy));
        Reparent(m_floatFrame->body(), 0);
        SetSize(m_floatFrame->BarRect());
        Show();
        m_floatFrame->Show();
    } else {
        m_lastDockSide = where;
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

void CQxControlBar::ShowBar() {
    if (IsShown()) return;
    Show();
    LayoutContent(ClientArea());
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
    const std::vector<FrameBar> bars = DockedBarsOf(frame);
    std::vector<controls::DockedBar> docked;
    for (const FrameBar& b : bars) docked.push_back(b.docked);
    const controls::DockSiteLayout l = controls::LayoutDockSite(BarRect{0, 0, client.x, client.y}, docked);
    for (std::size_t i = 0; i < bars.size(); ++i) bars[i].bar->SetSize(ToWx(l.bars[i]));
    if (centre) centre->SetSize(ToWx(l.centre));
}

controls::DockDragSite CQxControlBar::DragSite() const {
    controls::DockDragSite s;
    s.dockStyle = m_dockStyle;
    s.horzThickness = m_sizes.horz().cy;
    s.vertThickness = m_sizes.vert().cx;
    s.captionBottom = CQxFloatFrame::kRim + CQxFloatFrame::kCaptionHeight;
    const wxWindow* onScreen = m_floatFrame ? static_cast<const wxWindow*>(m_floatFrame) : this;
    s.workArea = FromWx(wxDisplay(m_frame ? m_frame : onScreen).GetClientArea());
    // A frame out of sight (another child window is shown) takes no bar.
    if (!m_frame || !m_frame->IsShownOnScreen()) return s;
    s.site = FromWx(wxRect(m_frame->ClientToScreen(wxPoint(0, 0)), m_frame->GetClientSize()));
    for (const FrameBar& b : DockedBarsOf(m_frame, this)) s.docked.push_back(b.docked);
    return s;
}

// ---- the drag outline ----

void CQxDragOutline::ShowAt(const wxRect& r, int width) {
    if (!m_strips[0]) {
        // A halftone of black and white pixels, as a drag rectangle shows.
        wxImage halftone(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const unsigned char v = (x + y) % 2 ? 255 : 0;
                halftone.SetRGB(x, y, v, v, v);
            }
        const wxBitmap pattern(halftone);
        for (wxPopupWindow*& strip : m_strips) {
            strip = new wxPopupWindow(m_owner, wxBORDER_NONE);
            strip->SetBackgroundStyle(wxBG_STYLE_PAINT);
            strip->Bind(wxEVT_PAINT, [strip, pattern](wxPaintEvent&) {
                wxPaintDC dc(strip);
                dc.SetPen(*wxTRANSPARENT_PEN);
                dc.SetBrush(wxBrush(pattern));
                dc.DrawRectangle(wxPoint(0, 0), strip->GetClientSize());
            });
        }
    }
    const int w = std::max(1, std::min(width, std::min(r.width, r.height) / 2));
    const int inner = std::max(1, r.height - 2 * w);
    const wxRect places[] = {
        {r.x, r.y, r.width, w},
        {r.x, r.GetBottom() + 1 - w, r.width, w},
        {r.x, r.y + w, w, inner},
        {r.GetRight() + 1 - w, r.y + w, w, inner},
    };
    for (std::size_t i = 0; i < m_strips.size(); ++i) {
        m_strips[i]->SetSize(places[i]);
        if (!m_strips[i]->IsShown()) m_strips[i]->Show();
        m_strips[i]->Refresh();
    }
    m_shown = true;
}

void CQxDragOutline::Hide() {
    for (wxPopupWindow* strip : m_strips)
        if (strip) strip->Hide();
    m_shown = false;
}

// ---- the floating bar's frame ----

namespace {
using controls::kEdgeBottom;
using controls::kEdgeLeft;
using controls::kEdgeRight;
using controls::kEdgeTop;
constexpr controls::BarSize kMinFloatSize{120, 80};
}  // namespace

wxRect CQxFloatFrame::FitToWorkArea(wxPoint screenPos, wxSize barSize, const wxRect& area) {
    wxRect r(screenPos, wxSize(barSize.x + 2 * kRim, barSize.y + 2 * kRim + kCaptionHeight));
    r.width = std::clamp(r.width, 1, std::max(1, area.width));
    r.height = std::clamp(r.height, 1, std::max(1, area.height));
    r.x = std::clamp(r.x, area.x, area.GetRight() + 1 - r.width);
    r.y = std::clamp(r.y, area.y, area.GetBottom() + 1 - r.height);
    return r;
}

CQxFloatFrame::CQxFloatFrame(wxWindow* owner, CQxControlBar* bar, wxPoint screenPos, wxSize barSize)
    : wxFrame(owner, wxID_ANY, bar->GetLabel(), wxDefaultPosition, wxDefaultSize,
              wxFRAME_TOOL_WINDOW | wxFRAME_FLOAT_ON_PARENT | wxFRAME_NO_TASKBAR | wxBORDER_NONE),
      m_bar(bar) {
    const wxRect area = wxDisplay(owner ? owner : static_cast<wxWindow*>(this)).GetClientArea();
    SetSize(FitToWorkArea(screenPos, barSize, area));
    m_body = new wxWindow(this, wxID_ANY, wxPoint(0, 0), GetClientSize(), wxFULL_REPAINT_ON_RESIZE | wxCLIP_CHILDREN);
    m_body->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_body->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(m_body);
        Paint(dc);
    });
    m_body->Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        if (m_bar->GetParent() == m_body) m_bar->SetSize(BarRect());
        m_body->Refresh();
        e.Skip();
    });
    m_body->Bind(wxEVT_LEFT_DOWN, &CQxFloatFrame::OnLeftDown, this);
    m_body->Bind(wxEVT_MOTION, &CQxFloatFrame::OnMotion, this);
    m_body->Bind(wxEVT_LEFT_UP, &CQxFloatFrame::OnLeftUp, this);
    m_body->Bind(wxEVT_LEFT_DCLICK, &CQxFloatFrame::OnDoubleClick, this);
    m_body->Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { EndDrag(); });
    // Escape ends a drag; Ctrl pressed or let go changes the outline at once.
    m_body->Bind(wxEVT_KEY_DOWN, &CQxFloatFrame::OnKey, this);
    m_body->Bind(wxEVT_KEY_UP, &CQxFloatFrame::OnKey, this);
    // A close request from the desktop hides the bar, as the close box does.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { m_bar->CallAfter([bar = m_bar] { bar->HideBar(); }); });
}

wxRect CQxFloatFrame::CaptionRect() const {
    const wxSize s = GetClientSize();
    return wxRect(kRim, kRim, std::max(0, s.x - 2 * kRim), kCaptionHeight);
}

wxRect CQxFloatFrame::CloseBoxRect() const {
    const wxRect c = CaptionRect();
    return wxRect(c.GetRight() - 2 - kCloseBox, c.y + (kCaptionHeight - kCloseBox) / 2, kCloseBox, kCloseBox);
}

wxRect CQxFloatFrame::BarRect() const {
    const wxSize s = GetClientSize();
    return wxRect(kRim, kRim + kCaptionHeight, std::max(1, s.x - 2 * kRim), std::max(1, s.y - 2 * kRim - kCaptionHeight));
}

void CQxFloatFrame::Paint(wxDC& dc) {
    const wxSize s = m_body->GetClientSize();
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.Clear();
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(0, 0, s.x, s.y);
    const wxRect caption = CaptionRect();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_ACTIVECAPTION)));
    dc.DrawRectangle(caption);
    dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_CAPTIONTEXT));
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    font.SetPixelSize(wxSize(0, kCaptionHeight - 6));
    font.MakeBold();
    dc.SetFont(font);
    const wxSize text = dc.GetTextExtent(GetTitle());
    dc.DrawText(GetTitle(), caption.x + 4, caption.y + (caption.height - text.y) / 2);
    const wxRect box = CloseBoxRect();
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_CAPTIONTEXT), 2));
    dc.DrawLine(box.x + 3, box.y + 3, box.GetRight() - 2, box.GetBottom() - 2);
    dc.DrawLine(box.GetRight() - 2, box.y + 3, box.x + 3, box.GetBottom() - 2);
}

void CQxFloatFrame::OnLeftDown(wxMouseEvent& e) {
    const wxPoint p = e.GetPosition();
    if (CloseBoxRect().Contains(p)) {
        // The bar leaves this frame, which then goes: after this event.
        m_bar->CallAfter([bar = m_bar] { bar->HideBar(); });
        return;
    }
    m_dragFrom = m_body->ClientToScreen(p);
    m_rectAtDragStart = GetScreenRect();
    if (CaptionRect().Contains(p)) {
        m_drag = Drag::Move;
        m_moved = false;
        m_lastPointer = m_dragFrom;
        m_site = m_bar->DragSite();
        // As a window's title does, the caption takes the keyboard: Escape
        // and Ctrl reach the drag.
        m_body->SetFocus();
    } else {
        m_sizeEdges = EdgesAt(p);
        if (!m_sizeEdges) return;
        m_drag = Drag::Size;
    }
    if (!m_body->HasCapture()) m_body->CaptureMouse();
}

int CQxFloatFrame::EdgesAt(wxPoint p) const {
    const wxSize s = m_body->GetClientSize();
    if (CaptionRect().Contains(p) || BarRect().Contains(p)) return 0;
    return (p.x < kRim ? kEdgeLeft : 0) | (p.x >= s.x - kRim ? kEdgeRight : 0) | (p.y < kRim ? kEdgeTop : 0) |
           (p.y >= s.y - kRim ? kEdgeBottom : 0);
}

void CQxFloatFrame::OnMotion(wxMouseEvent& e) {
    if (m_drag == Drag::None) {
        // The rim shows which way it sizes the frame.
        const int edges = EdgesAt(e.GetPosition());
        const bool across = edges & (kEdgeLeft | kEdgeRight), upDown = edges & (kEdgeTop | kEdgeBottom);
        const bool falling = (edges & kEdgeLeft && edges & kEdgeTop) || (edges & kEdgeRight && edges & kEdgeBottom);
        m_body->SetCursor(!edges              ? wxNullCursor
                          : across && upDown ? wxCursor(falling ? wxCURSOR_SIZENWSE : wxCURSOR_SIZENESW)
                          : across           ? wxCursor(wxCURSOR_SIZEWE)
                                             : wxCursor(wxCURSOR_SIZENS));
        return;
    }
    if (!e.LeftIsDown()) return;
    const wxPoint at = m_body->ClientToScreen(e.GetPosition());
    if (m_drag == Drag::Move) {
        if (!m_moved && !controls::BeyondDragThreshold(FromWx(m_dragFrom), FromWx(at))) return;
        m_moved = true;
        m_lastPointer = at;
        ShowOutline(at, e.ControlDown());
        return;
    }
    const wxPoint d = at - m_dragFrom;
    const wxRect area = wxDisplay(this).GetClientArea();
    SetSize(ToWx(controls::SizeFloatingFrame(FromWx(m_rectAtDragStart), static_cast<unsigned>(m_sizeEdges), d.x, d.y,
                                             kMinFloatSize, FromWx(area))));
}

controls::DockDrop CQxFloatFrame::DropAt(wxPoint screen, bool keepFloating) const {
    return controls::WhereDropLands(m_site, FromWx(m_rectAtDragStart), FromWx(m_dragFrom), FromWx(screen),
                                    keepFloating);
}

void CQxFloatFrame::ShowOutline(wxPoint screen, bool keepFloating) {
    const controls::DockDrop drop = DropAt(screen, keepFloating);
    m_outline.ShowAt(ToWx(drop.outline), drop.side == DockSide::Floating ? CQxDragOutline::kFloatingWidth
                                                                         : CQxDragOutline::kDockedWidth);
}

void CQxFloatFrame::EndDrag() {
    m_drag = Drag::None;
    m_moved = false;
    m_outline.Hide();
    if (m_body->HasCapture()) m_body->ReleaseMouse();
}

void CQxFloatFrame::OnLeftUp(wxMouseEvent& e) {
    const bool dropping = m_drag == Drag::Move && m_moved;
    const controls::DockDrop drop = DropAt(m_body->ClientToScreen(e.GetPosition()), e.ControlDown());
    EndDrag();
    if (!dropping) return;
    if (drop.side == DockSide::Floating) {
        SetSize(ToWx(drop.outline));
        return;
    }
    // Docking takes the bar out of this frame, which then goes: after this event.
    m_bar->CallAfter([bar = m_bar, side = drop.side] {
        if (bar->IsFloating()) bar->DockAt(side);
    });
}

void CQxFloatFrame::OnKey(wxKeyEvent& e) {
    if (m_drag != Drag::Move) {
        e.Skip();
        return;
    }
    const bool down = e.GetEventType() != wxEVT_KEY_UP;
    if (e.GetKeyCode() == WXK_ESCAPE && down)
        EndDrag();
    else if (e.GetKeyCode() == WXK_CONTROL && m_moved)
        ShowOutline(m_lastPointer, down);
    else
        e.Skip();
}

void CQxFloatFrame::OnDoubleClick(wxMouseEvent& e) {
    EndDrag();
    if (CloseBoxRect().Contains(e.GetPosition())) return;
    // The caption or the rim: the bar docks where it was.
    m_bar->CallAfter([bar = m_bar] {
        if (bar->IsFloating()) bar->ToggleDocking();
    });
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
