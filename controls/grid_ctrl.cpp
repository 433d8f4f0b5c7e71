#include "controls/grid_ctrl.h"

#include <filesystem>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/settings.h>

#include "controls/grid_cell_controls.h"
#include "controls/grid_dc_painter.h"
#include "controls/mem_dc.h"
#include "platform/ui/colour.h"
#include "platform/ui/fonts.h"
#include "platform/ui/messages.h"
#include "platform/ui/resources.h"

namespace {

constexpr long kWsVisible = 0x10000000;
constexpr long kWsBorder = 0x00800000;
constexpr long kWsExClientEdge = 0x00000200;
constexpr long kWsExStaticEdge = 0x00020000;
constexpr int kCellFontHeight = 12;
constexpr int kResizeCursorId = 152;

grid::ColorRef Sys(wxSystemColour which) { return platform::ui::FromColour(wxSystemSettings::GetColour(which)); }

grid::SysColors DesktopColors() {
    grid::SysColors c;
    c.window = Sys(wxSYS_COLOUR_WINDOW);
    c.windowText = Sys(wxSYS_COLOUR_WINDOWTEXT);
    c.highlight = Sys(wxSYS_COLOUR_HIGHLIGHT);
    c.highlightText = Sys(wxSYS_COLOUR_HIGHLIGHTTEXT);
    c.btnFace = Sys(wxSYS_COLOUR_BTNFACE);
    c.btnHighlight = Sys(wxSYS_COLOUR_BTNHIGHLIGHT);
    c.btnShadow = Sys(wxSYS_COLOUR_BTNSHADOW);
    // The desktop's frame colour is often the face colour; frames and the
    // row marker want a dark line.
    c.windowFrame = grid::Rgb(100, 100, 100);
    return c;
}

}  // namespace

CZYKGridCtrl::CZYKGridCtrl() {
    SetHost(this);
    m_cellFont.font = platform::ui::MakeFont(kCellFontHeight, "宋体");
    m_headerFont.font = m_cellFont.font;
    SetFonts(&m_cellFont, &m_cellFont);
    SetSysColors(DesktopColors());
    MeasureFont();
}

CZYKGridCtrl::~CZYKGridCtrl() {
    m_destroying = true;
    if (HasCapture()) ReleaseMouse();
    DestroyEditors();
}

void CZYKGridCtrl::PreCreateWindow(long& exStyle, long& style) { (void)exStyle, (void)style; }

bool CZYKGridCtrl::Create(long exStyle, long style, const wxRect& rect, wxWindow* parent, int id) {
    PreCreateWindow(exStyle, style);
    if (exStyle == 0) exStyle = kWsExClientEdge;
    long wxStyle = wxWANTS_CHARS | wxHSCROLL | wxVSCROLL | wxCLIP_CHILDREN | wxFULL_REPAINT_ON_RESIZE;
    if (exStyle & kWsExClientEdge)
        wxStyle |= wxBORDER_SUNKEN;
    else if ((exStyle & kWsExStaticEdge) || (style & kWsBorder))
        wxStyle |= wxBORDER_SIMPLE;
    else
        wxStyle |= wxBORDER_NONE;
    m_gridStyle = static_cast<unsigned>(style & 0xFFFF);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxWindow::Create(parent, id, rect.GetPosition(), rect.GetSize(), wxStyle)) return false;
    if (!(style & kWsVisible)) Hide();
    m_created = true;

    Bind(wxEVT_PAINT, &CZYKGridCtrl::HandlePaint, this);
    Bind(wxEVT_SIZE, &CZYKGridCtrl::HandleSize, this);
    for (auto type : {wxEVT_SCROLLWIN_TOP, wxEVT_SCROLLWIN_BOTTOM, wxEVT_SCROLLWIN_LINEUP, wxEVT_SCROLLWIN_LINEDOWN,
                      wxEVT_SCROLLWIN_PAGEUP, wxEVT_SCROLLWIN_PAGEDOWN, wxEVT_SCROLLWIN_THUMBTRACK,
                      wxEVT_SCROLLWIN_THUMBRELEASE})
        Bind(type, &CZYKGridCtrl::HandleScrollWin, this);
    Bind(wxEVT_MOUSEWHEEL, &CZYKGridCtrl::HandleMouseWheel, this);
    Bind(wxEVT_LEFT_DOWN, &CZYKGridCtrl::HandleLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CZYKGridCtrl::HandleLeftDClick, this);
    Bind(wxEVT_LEFT_UP, &CZYKGridCtrl::HandleLeftUp, this);
    Bind(wxEVT_MOTION, &CZYKGridCtrl::HandleMotion, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CZYKGridCtrl::HandleCaptureLost, this);
    Bind(wxEVT_KEY_DOWN, &CZYKGridCtrl::HandleKeyDown, this);
    Bind(wxEVT_SET_FOCUS, &CZYKGridCtrl::HandleSetFocus, this);
    Bind(wxEVT_KILL_FOCUS, &CZYKGridCtrl::HandleKillFocus, this);
    for (int cmd : {wxID_CUT, wxID_COPY, wxID_PASTE, wxID_UNDO}) {
        Bind(wxEVT_MENU, &CZYKGridCtrl::HandleEditCommand, this, cmd);
        Bind(wxEVT_UPDATE_UI, &CZYKGridCtrl::HandleUpdateEditCommand, this, cmd);
    }
    RecalcLayout();
    return true;
}

void CZYKGridCtrl::SetHeaderFont(const wxFont& font) {
    m_headerFont.font = font;
    m_widthCache.erase(&m_headerFont);
    SetFonts(&m_cellFont, &m_headerFont);
    if (m_created) Refresh(false);
}

void CZYKGridCtrl::MeasureFont() {
    wxBitmap bitmap(1, 1);
    wxMemoryDC dc(bitmap);
    dc.SetFont(m_cellFont.font);
    wxCoord w = 0, h = 0;
    dc.GetTextExtent(wxString::FromUTF8("Ag国"), &w, &h);
    m_textHeight = h > 0 ? h : kCellFontHeight;
}

void CZYKGridCtrl::Draw(wxDC& dc, const wxRect& rect) {
    GridDcPainter painter(dc, *this);
    Paint(painter, {rect.x, rect.y, rect.x + rect.width, rect.y + rect.height});
}

wxBitmap CZYKGridCtrl::GetCellIcon(int column, int row, bool isCurrent) {
    (void)column, (void)row, (void)isCurrent;
    return wxBitmap();
}

void CZYKGridCtrl::GetCellInfo(int column, int row, GridImageListDraw& info, bool isCurrent) {
    (void)column, (void)row, (void)info, (void)isCurrent;
}

void CZYKGridCtrl::DrawCellIcon(wxDC& dc, int column, int row, int kind, const grid::Rect& rect, bool isCurrent) {
    if (rect.IsEmpty()) return;
    if (kind == grid::kIconBitmap || kind == grid::kIconIcon) {
        wxBitmap picture = GetCellIcon(column, row, isCurrent);
        if (!picture.IsOk()) return;
        if (kind == grid::kIconIcon && (picture.GetWidth() != rect.Width() || picture.GetHeight() != rect.Height())) {
            wxImage image = picture.ConvertToImage();
            picture = wxBitmap(image.Scale(rect.Width(), rect.Height(), wxIMAGE_QUALITY_HIGH));
        }
        dc.SetClippingRegion(rect.left, rect.top, rect.Width(), rect.Height());
        dc.DrawBitmap(picture, rect.left, rect.top, true);
        dc.DestroyClippingRegion();
    } else if (kind == grid::kIconImageList) {
        GridImageListDraw info;
        info.dc = &dc;
        info.x = rect.left;
        info.y = rect.top;
        info.cx = rect.Width();
        info.cy = rect.Height();
        GetCellInfo(column, row, info, isCurrent);
        if (info.imageList && info.index >= 0 && info.index < info.imageList->GetImageCount())
            info.imageList->Draw(info.index, dc, info.x, info.y, info.style, true);
    }
}

CGridCellControl* CZYKGridCtrl::NewCellEditor(int kind, int column, int row) {
    switch (kind) {
        case grid::kEditorEdit: return new CGridEditCell;
        case grid::kEditorCheck: return new CGridCheckCell(column, row);
        case grid::kEditorCombo: return new CGridComboCell;
        default: return CGridCore::NewCellEditor(kind, column, row);
    }
}

void CZYKGridCtrl::PostKey(grid::Key key, bool shift, bool ctrl) {
    CallAfter([this, key, shift, ctrl] {
        if (!m_destroying) HandleKey(key, shift, ctrl);
    });
}

bool CZYKGridCtrl::IsInsideGrid(const wxWindow* window) const {
    for (const wxWindow* w = window; w; w = w->GetParent()) {
        if (w == this) return true;
        if (w->IsTopLevel()) break;
    }
    return false;
}

void CZYKGridCtrl::ScheduleFocusCheck() {
    if (m_focusCheckPending || m_destroying) return;
    m_focusCheckPending = true;
    CallAfter([this] {
        m_focusCheckPending = false;
        if (m_destroying || m_listDropped) return;
        if (!IsInsideGrid(wxWindow::FindFocus())) OnFocusLeft();
    });
}

// ---- GridHost ---------------------------------------------------------------

bool CZYKGridCtrl::WindowExists() const { return m_created && !m_destroying; }

grid::Size CZYKGridCtrl::ClientSize() const {
    const wxSize s = GetClientSize();
    return {s.x, s.y};
}

grid::Size CZYKGridCtrl::FullClientSize() const {
    const wxSize s = GetSize() - GetWindowBorderSize();
    return {std::max(0, s.x), std::max(0, s.y)};
}

grid::Size CZYKGridCtrl::ScrollBarSize() const {
    // Measured while a bar shows (overlay bars take no room), else the
    // desktop's metric.
    const wxSize full = GetSize() - GetWindowBorderSize();
    const wxSize client = GetClientSize();
    int w = HasVerticalBar() && IsShownOnScreen() ? full.x - client.x : -1;
    int h = HasHorizontalBar() && IsShownOnScreen() ? full.y - client.y : -1;
    if (w < 0) w = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, const_cast<CZYKGridCtrl*>(this));
    if (h < 0) h = wxSystemSettings::GetMetric(wxSYS_HSCROLL_Y, const_cast<CZYKGridCtrl*>(this));
    return {std::max(0, w), std::max(0, h)};
}

int CZYKGridCtrl::CellTextHeight() const { return m_textHeight; }

void CZYKGridCtrl::Invalidate(const grid::Rect* rect, bool erase) {
    if (!WindowExists()) return;
    if (rect)
        RefreshRect(wxRect(rect->left, rect->top, rect->Width(), rect->Height()), erase);
    else
        Refresh(erase);
}

void CZYKGridCtrl::UpdateNow() {
    if (WindowExists()) Update();
}

void CZYKGridCtrl::ScrollData(int dx, int dy) {
    (void)dx, (void)dy;
    // The whole window repaints from the buffer: the fixed strips follow the
    // data area in the other direction.
    if (WindowExists()) Refresh(false);
}

void CZYKGridCtrl::SetScrollBar(bool horizontal, bool shown, int position, int page, int range) {
    if (!WindowExists()) return;
    // The toolkit lays the window out again on every change of a bar, so
    // unchanged bars are left alone.
    BarState& last = m_bars[horizontal ? 0 : 1];
    const BarState next{shown, shown ? position : 0, shown ? page : 0, shown ? range : 0};
    if (last.valid && last == next) return;
    last = next;
    last.valid = true;
    SetScrollbar(horizontal ? wxHORIZONTAL : wxVERTICAL, next.position, next.page, next.range, true);
}

void CZYKGridCtrl::SetScrollPosition(bool horizontal, int position) {
    if (!WindowExists()) return;
    m_bars[horizontal ? 0 : 1].position = position;
    SetScrollPos(horizontal ? wxHORIZONTAL : wxVERTICAL, position, true);
}

void CZYKGridCtrl::FocusGrid() {
    if (!WindowExists() || IsInsideGrid(wxWindow::FindFocus())) return;
    SetFocus();
}

void CZYKGridCtrl::SetMouseCapture(bool capture) {
    if (!WindowExists()) return;
    if (capture && !HasCapture())
        CaptureMouse();
    else if (!capture && HasCapture())
        ReleaseMouse();
}

std::uintptr_t CZYKGridCtrl::WindowHandle() const {
    return reinterpret_cast<std::uintptr_t>(static_cast<const wxWindow*>(this));
}

int CZYKGridCtrl::WindowId() const { return GetId(); }

std::intptr_t CZYKGridCtrl::SendToParent(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) {
    return platform::ui::SendMessage(GetParent(), id, wparam, lparam);
}

void CZYKGridCtrl::PostToParent(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) {
    platform::ui::PostMessage(GetParent(), id, wparam, lparam);
}

std::intptr_t CZYKGridCtrl::SendToOwner(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) {
    return platform::ui::SendMessage(GetParent(), id, wparam, lparam);
}

// ---- events -----------------------------------------------------------------

void CZYKGridCtrl::HandlePaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxRect box = GetUpdateRegion().GetBox();
    if (box.IsEmpty()) return;
    CMemDC mem(dc, box);
    Draw(mem.dc(), box);
}

void CZYKGridCtrl::HandleSize(wxSizeEvent& event) {
    event.Skip();
    // Size events can come in bursts (the toolkit showing and hiding a bar);
    // the layout follows once they are handled, at the size then current.
    if (m_layoutPending) return;
    m_layoutPending = true;
    CallAfter([this] {
        m_layoutPending = false;
        if (m_destroying) return;
        const wxSize size = GetClientSize();
        if (size == m_laidOutSize) return;
        m_laidOutSize = size;
        CGridCoreBase::OnSize();
        Refresh(false);
    });
}

void CZYKGridCtrl::HandleScrollWin(wxScrollWinEvent& event) {
    const wxEventType type = event.GetEventType();
    unsigned code = kEndScroll;
    if (type == wxEVT_SCROLLWIN_LINEUP)
        code = kLineUp;
    else if (type == wxEVT_SCROLLWIN_LINEDOWN)
        code = kLineDown;
    else if (type == wxEVT_SCROLLWIN_PAGEUP)
        code = kPageUp;
    else if (type == wxEVT_SCROLLWIN_PAGEDOWN)
        code = kPageDown;
    else if (type == wxEVT_SCROLLWIN_THUMBTRACK)
        code = kThumbTrack;
    else if (type == wxEVT_SCROLLWIN_THUMBRELEASE)
        code = kThumbTrack;
    else if (type == wxEVT_SCROLLWIN_TOP)
        code = kTop;
    else if (type == wxEVT_SCROLLWIN_BOTTOM)
        code = kBottom;
    const bool horizontal = event.GetOrientation() == wxHORIZONTAL;
    OnScroll(horizontal ? (0xFF00u | code) : ((code << 8) | 0xFFu), event.GetPosition(), true);
}

void CZYKGridCtrl::HandleMouseWheel(wxMouseEvent& event) {
    const int delta = event.GetWheelDelta() > 0 ? event.GetWheelDelta() : 120;
    const int lines = -event.GetWheelRotation() * 3 / delta;
    if (!lines) return;
    if (event.GetWheelAxis() == wxMOUSE_WHEEL_HORIZONTAL)
        OnScrollBy(-lines * GetPageSize().width / 10, 0, true);
    else
        OnScrollBy(0, lines * GetDataRowHeight(), true);
}

void CZYKGridCtrl::HandleLeftDown(wxMouseEvent& event) { OnLButtonDown(event.GetX(), event.GetY()); }

void CZYKGridCtrl::HandleLeftDClick(wxMouseEvent& event) { OnLButtonDblClk(event.GetX(), event.GetY()); }

void CZYKGridCtrl::HandleLeftUp(wxMouseEvent& event) { OnLButtonUp(event.GetX(), event.GetY()); }

const wxCursor& CZYKGridCtrl::ResizeCursor() {
    if (!m_resizeCursorLoaded) {
        m_resizeCursorLoaded = true;
        std::error_code ec;
        const auto file = platform::ui::ResourceDir() / "cursor" / (std::to_string(kResizeCursorId) + ".png");
        if (std::filesystem::exists(file, ec)) m_resizeCursor = platform::ui::LoadCursorResource(kResizeCursorId);
        if (!m_resizeCursor.IsOk()) m_resizeCursor = wxCursor(wxCURSOR_SIZEWE);
    }
    return m_resizeCursor;
}

void CZYKGridCtrl::HandleMotion(wxMouseEvent& event) {
    const int x = event.GetX(), y = event.GetY();
    if (!IsResizing()) {
        const bool armed = UpdateResizeZone(x, y);
        if (armed != m_resizeCursorShown) {
            m_resizeCursorShown = armed;
            SetCursor(armed ? ResizeCursor() : wxNullCursor);
        }
    }
    OnMouseMove(x, y, event.LeftIsDown());
}

void CZYKGridCtrl::HandleCaptureLost(wxMouseCaptureLostEvent&) {
    // The capture is gone: end a resize where the marker stands and release
    // pressed header cells.
    const wxPoint p = ScreenToClient(wxGetMousePosition());
    OnLButtonUp(p.x, p.y);
}

void CZYKGridCtrl::HandleKeyDown(wxKeyEvent& event) {
    grid::Key key = GridKeyFromWx(event.GetKeyCode());
    const bool shift = event.ShiftDown();
    const bool ctrl = event.ControlDown();
    if (ctrl && key == grid::Key::Tab) key = shift ? grid::Key::Up : grid::Key::Down;
    if (!HandleKey(key, shift, ctrl)) event.Skip();
}

void CZYKGridCtrl::HandleSetFocus(wxFocusEvent& event) {
    const wxWindow* from = event.GetWindow();
    const bool fromEditor = from && from != this && IsInsideGrid(from);
    OnFocusGained(fromEditor);
    event.Skip();
}

void CZYKGridCtrl::HandleKillFocus(wxFocusEvent& event) {
    OnFocusLostToGrid();
    ScheduleFocusCheck();
    event.Skip();
}

void CZYKGridCtrl::HandleEditCommand(wxCommandEvent& event) {
    switch (event.GetId()) {
        case wxID_CUT: DoEditCommand(grid::EditCommand::Cut); break;
        case wxID_COPY: DoEditCommand(grid::EditCommand::Copy); break;
        case wxID_PASTE: DoEditCommand(grid::EditCommand::Paste); break;
        case wxID_UNDO: DoEditCommand(grid::EditCommand::Undo); break;
        default: event.Skip();
    }
}

void CZYKGridCtrl::HandleUpdateEditCommand(wxUpdateUIEvent& event) {
    grid::EditCommand command = grid::EditCommand::Undo;
    switch (event.GetId()) {
        case wxID_CUT: command = grid::EditCommand::Cut; break;
        case wxID_COPY: command = grid::EditCommand::Copy; break;
        case wxID_PASTE: command = grid::EditCommand::Paste; break;
        default: break;
    }
    event.Enable(CanEditCommand(command) != 0);
}
