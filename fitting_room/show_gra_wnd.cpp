#include "fitting_room/show_gra_wnd.h"

#include <wx/dcclient.h>

#include "controls/mem_dc.h"
#include "picture_controls/picture_files.h"
#include "platform/image/picture_io.h"
#include "platform/ui/messages.h"
#include "platform/ui/resources.h"
#include "shell/sys_info.h"

using namespace fitting_room;

CCShowGraCWnd::CCShowGraCWnd(wxWindow* parent, const wxRect& rect, CFittingModel& model,
                             const CGarmentPicList& rightList, const std::filesystem::path& base,
                             platform::PictureSizeSource* sizes)
    : wxWindow(parent, kShowGraWndId, rect.GetPosition(), rect.GetSize(),
               wxBORDER_SIMPLE | wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE),
      m_control(model, rightList),
      m_slideTimer(this),
      m_handCursor(platform::ui::LoadCursorResource(kCursorHand)),
      m_dragCursor(platform::ui::LoadCursorResource(kCursorDrag)) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    model.SetDataDir(base);
    m_control.SetBaseDir(base);
    m_control.SetPictureSizes(sizes);

    std::string photo;
    const char flag = shell::SysInfo().GetPhoto(&photo);
    if (flag != ' ' && flag != '\0' && !photo.empty()) model.SetPhotoPicture(std::filesystem::path(photo));
    m_control.SetPhotoSettings(shell::SysInfo().HasPhoto(), flag == 'Y');
    m_control.onPhotoShownChanged = [](bool shown) { shell::SysInfo().SetPhotoFlag(shown ? 1 : 0); };

    Bind(wxEVT_PAINT, &CCShowGraCWnd::OnPaint, this);
    Bind(wxEVT_SIZE, &CCShowGraCWnd::OnSize, this);
    Bind(wxEVT_TIMER, &CCShowGraCWnd::OnSlideTimer, this, m_slideTimer.GetId());
    for (auto type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_UP, wxEVT_RIGHT_DOWN,
                      wxEVT_RIGHT_UP, wxEVT_MOTION, wxEVT_MOUSEWHEEL})
        Bind(type, &CCShowGraCWnd::OnMouse, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, [](wxMouseCaptureLostEvent&) {});
    LayOutIfNeeded();
}

CCShowGraCWnd::~CCShowGraCWnd() {
    m_slideTimer.Stop();
    if (HasCapture()) ReleaseMouse();
}

void CCShowGraCWnd::LayOutIfNeeded() {
    const wxSize size = GetClientSize();
    if (size == m_laidOut) return;
    m_laidOut = size;
    m_control.Layout(size.x, size.y);
}

void CCShowGraCWnd::DrawStage(wxDC& dc) {
    LayOutIfNeeded();
    PaintOps ops;
    m_control.WindowOps(ops);
    m_painter.Paint(dc, ops);
}

void CCShowGraCWnd::DrawDressedStage(wxDC& dc) {
    LayOutIfNeeded();
    PaintOps ops;
    m_control.StageOps(ops);
    m_painter.Paint(dc, ops);
}

void CCShowGraCWnd::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    CMemDC mem(dc, wxRect(0, 0, size.x, size.y));
    mem.dc().SetBackground(*wxWHITE_BRUSH);
    mem.dc().Clear();
    DrawStage(mem.dc());
}

void CCShowGraCWnd::OnSize(wxSizeEvent& e) {
    LayOutIfNeeded();
    SetFocus();
    Refresh(false);
    e.Skip();
}

int CCShowGraCWnd::OnMenuCommand(int command) {
    const int repaint = m_control.OnMenuCommand(command);
    if (repaint) RepaintStage();
    return repaint;
}

void CCShowGraCWnd::ToggleMenu() {
    m_control.ToggleMenu();
    RepaintStage();
}

void CCShowGraCWnd::ShowStringPictures() {
    m_slideTimer.Stop();
    if (m_control.StartSlideshow()) m_slideTimer.StartOnce(2600);
    Refresh(false);
}

void CCShowGraCWnd::OnSlideTimer(wxTimerEvent&) {
    if (m_control.NextSlide()) m_slideTimer.StartOnce(2600);
    Refresh(false);
}

void CCShowGraCWnd::ShowPicture(const std::filesystem::path& picture) {
    m_control.ShowPicture(picture);
    Refresh(false);
}

void CCShowGraCWnd::RepaintStage() {
    m_control.ClearShownPicture();
    Refresh(false);
}

void CCShowGraCWnd::ShowImportedPhoto() {
    const bool hasPhoto = shell::SysInfo().HasPhoto();
    m_control.SetPhotoSettings(hasPhoto, hasPhoto);
    // The settings follow the stage, as the photo on/off button has them.
    if (hasPhoto) shell::SysInfo().SetPhotoFlag(1);
    RepaintStage();
}

void CCShowGraCWnd::HandleWheel(int direction) { Apply(m_control.Wheel(direction)); }

void CCShowGraCWnd::Apply(const StageReaction& r) {
    if (r.notifyParent) {
        // The first three ints of the record: -1, -1 and 1001.
        static const int record[3] = {-1, -1, 1001};
        wxWindow* to = GetParent();
        platform::ui::SendMessage(to, kStageNotifyMessage, kStageNotifyItemPicked,
                                  reinterpret_cast<std::intptr_t>(record));
    }
    switch (r.cursor) {
    case StageCursor::Keep:
        break;
    case StageCursor::Arrow:
        SetCursor(*wxSTANDARD_CURSOR);
        break;
    case StageCursor::Hand:
        SetCursor(m_handCursor);
        break;
    case StageCursor::Drag:
        SetCursor(m_dragCursor);
        break;
    }
    if (r.repaint) Refresh(false);
}

void CCShowGraCWnd::OnMouse(wxMouseEvent& e) {
    LayOutIfNeeded();
    const Point p{e.GetX(), e.GetY()};
    const wxEventType type = e.GetEventType();
    if (type == wxEVT_MOUSEWHEEL) {
        HandleWheel(e.GetWheelRotation() > 0 ? 1 : e.GetWheelRotation() < 0 ? -1 : 0);
        return;
    }
    if (type == wxEVT_MOTION) {
        Apply(m_control.Motion(p, e.LeftIsDown(), e.MiddleIsDown(), e.RightIsDown()));
        return;
    }
    const bool down = type == wxEVT_LEFT_DOWN || type == wxEVT_MIDDLE_DOWN || type == wxEVT_RIGHT_DOWN;
    const MouseButton b = (type == wxEVT_LEFT_DOWN || type == wxEVT_LEFT_UP)       ? MouseButton::Left
                          : (type == wxEVT_MIDDLE_DOWN || type == wxEVT_MIDDLE_UP) ? MouseButton::Middle
                                                                                   : MouseButton::Right;
    if (down) {
        SetFocus();
        if (!HasCapture()) CaptureMouse();
        Apply(m_control.ButtonDown(b, p));
    } else {
        Apply(m_control.ButtonUp(b, p));
        if (HasCapture() && !e.ButtonIsDown(wxMOUSE_BTN_ANY)) ReleaseMouse();
    }
}

bool CCShowGraCWnd::SaveStage(const std::filesystem::path& file, char format) {
    const auto* encoder = platform::image::EncoderByLetter(format);
    if (!encoder || file.empty()) return false;
    const wxSize size = GetClientSize();
    return picture_controls::GrabScreenToFile(
        file, 0, 0, size.x, size.y, 100, std::string(encoder->word),
        [this](wxDC& dc) { DrawDressedStage(dc); }, picture_controls::GrabFormats::NoGif);
}
