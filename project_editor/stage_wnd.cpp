#include "project_editor/stage_wnd.h"

#include <memory>

#include <wx/dcclient.h>

#include "platform/image/picture_cache.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"
#include "platform/ui/resources.h"

namespace project_editor {

picture_controls::CDrawItemList& StageDrawList() {
    static auto* list = new picture_controls::CDrawItemList();
    return *list;
}

CStageWnd::CStageWnd(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxWindow(parent, id, pos, size, wxBORDER_STATIC | wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS),
      m_list(StageDrawList()),
      m_adapter(m_list),
      m_control(std::make_unique<StageCanvasControl>(CProjectStore::Instance(), StageSlotTable::Instance(),
                                                      m_adapter)) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_toolCursor = wxCursor(wxCURSOR_CROSS);
    m_dragCursor = wxCursor(wxCURSOR_SIZING);
    Bind(wxEVT_PAINT, &CStageWnd::OnPaint, this);
    Bind(wxEVT_SIZE, &CStageWnd::OnSize, this);
    for (auto type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_UP, wxEVT_RIGHT_DOWN,
                      wxEVT_MOTION})
        Bind(type, &CStageWnd::OnMouse, this);
    const wxSize client = GetClientSize();
    m_control->SetStageRect({0, 0, client.x, client.y});
}

CStageWnd::~CStageWnd() = default;

void CStageWnd::SetMode(int tool) {
    m_control->SetMode(tool);
    ToolMayHaveChanged();
}

void CStageWnd::EndMode() {
    if (m_control->EndMode()) {
        SetCursor(wxNullCursor);
        Refresh();
    }
    ToolMayHaveChanged();
}

void CStageWnd::ToolMayHaveChanged() {
    const int tool = m_control->tool();
    if (tool == m_toldTool) return;
    m_toldTool = tool;
    if (m_toolListener) m_toolListener(tool);
}

void CStageWnd::SetText(int index, const std::string& text) {
    m_control->SetText(index, text);
    Refresh();
}

void CStageWnd::SetCaptionFont(const wxFont& font) {
    m_painter.SetFontFace(font);
    Refresh();
    Update();
}

void CStageWnd::SetOption(int frame) {
    m_control->SetOption(frame);
    Refresh();
}

void CStageWnd::SetValue(int index, const std::string& text) {
    m_control->SetValue(index, text);
    Refresh();
}

void CStageWnd::SetOffset(int x, int y) {
    m_control->SetOffset(x, y);
    Refresh();
}

bool CStageWnd::LoadPictureFile(const std::filesystem::path& path) {
    if (!m_control->LoadPictureFile(path)) return false;
    if (auto size = platform::image::PictureSize(path)) m_control->SetReferenceSize(size->x, size->y);
    Refresh();
    return true;
}

void CStageWnd::SetPicturePath(const std::filesystem::path& overlay) {
    m_control->SetPicturePath(overlay);
    Refresh();
}

void CStageWnd::ClearPicture() {
    m_control->ClearPicture();
    Refresh();
}

void CStageWnd::ClearPicture2() {
    m_control->ClearPicture2();
    Refresh();
}

StageScene CStageWnd::CurrentScene() {
    const wxSize client = GetClientSize();
    m_control->SetStageRect({0, 0, client.x, client.y});
    return m_control->Scene();
}

wxImage CStageWnd::RenderPicture() { return RenderStagePicture(m_painter, CurrentScene(), m_list); }

void CStageWnd::OnPaint(wxPaintEvent&) {
    wxPaintDC paint(this);
    const wxSize client = GetClientSize();
    if (client.x <= 0 || client.y <= 0) return;
    if (!m_buffer.IsOk() || m_buffer.GetWidth() != client.x || m_buffer.GetHeight() != client.y)
        m_buffer = wxBitmap(client.x, client.y, 24);
    // The buffer is painted again only when the stage changed.
    if (!m_busy) {
        m_busy = 9;
        m_control->SetCaptionRect(m_painter.PaintBuffer(m_buffer, CurrentScene(), &m_list));
        m_busy = 0;
    }
    paint.DrawBitmap(m_buffer, 0, 0);
}

void CStageWnd::OnSize(wxSizeEvent& e) {
    const wxSize client = GetClientSize();
    m_control->SetStageRect({0, 0, client.x, client.y});
    Refresh();
    e.Skip();
}

void CStageWnd::React(const CanvasReaction& r) {
    switch (r.cursor) {
        case CanvasCursor::Arrow: SetCursor(wxNullCursor); break;
        case CanvasCursor::Drag: SetCursor(m_dragCursor); break;
        case CanvasCursor::Tool: SetCursor(m_toolCursor); break;
        case CanvasCursor::Keep: break;
    }
    if (r.releaseClip && HasCapture()) ReleaseMouse();
    if (r.repaint) Refresh();
    if (!r.saveError.empty())
        platform::ui::ShowMessage(r.saveError, platform::MbButtons::Ok, platform::MbIcon::Exclamation, {}, this);
    if (r.notify != 0) {
        StageNotifyRecord record;
        record.left = r.selected.left;
        record.top = r.selected.top;
        record.right = r.selected.right;
        record.bottom = r.selected.bottom;
        platform::ui::SendMessage(GetParent(), kStageNotifyMessage, static_cast<std::uintptr_t>(r.notify),
                                  reinterpret_cast<std::intptr_t>(&record));
    }
    ToolMayHaveChanged();
}

void CStageWnd::HandleButton(bool down, int button, wxPoint p) {
    const CanvasButton b = button == 2 ? CanvasButton::Middle : button == 3 ? CanvasButton::Right : CanvasButton::Left;
    const Point at{p.x, p.y};
    React(down ? m_control->ButtonDown(b, at) : m_control->ButtonUp(b, at));
}

void CStageWnd::HandleMotion(wxPoint p, bool left, bool middle) {
    React(m_control->Motion({p.x, p.y}, left, middle));
}

void CStageWnd::OnMouse(wxMouseEvent& e) {
    const wxPoint p = e.GetPosition();
    const wxEventType t = e.GetEventType();
    if (t == wxEVT_MOTION) {
        HandleMotion(p, e.LeftIsDown(), e.MiddleIsDown());
    } else if (t == wxEVT_LEFT_DOWN) {
        SetFocus();
        if (!HasCapture()) CaptureMouse();
        HandleButton(true, 1, p);
    } else if (t == wxEVT_LEFT_UP) {
        if (HasCapture()) ReleaseMouse();
        HandleButton(false, 1, p);
    } else if (t == wxEVT_MIDDLE_DOWN) {
        if (!HasCapture()) CaptureMouse();
        HandleButton(true, 2, p);
    } else if (t == wxEVT_MIDDLE_UP) {
        HandleButton(false, 2, p);
    } else if (t == wxEVT_RIGHT_DOWN) {
        HandleButton(true, 3, p);
    }
}

}  // namespace project_editor
