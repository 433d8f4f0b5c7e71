#include "camera/lensory_dlg.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/graphics.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <system_error>

#include "camera/photo_names.h"
#include "picture_controls/picture_files.h"
#include "platform/capture/v4l2_source.h"
#include "platform/error_text.h"
#include "platform/image/picture_io.h"
#include "platform/shell.h"
#include "platform/ui/message_box.h"

namespace fs = std::filesystem;
using namespace camera;
using platform::capture::DibStride;
using platform::capture::VideoFrame;

namespace {

wxString U(std::string_view s) { return wxString::FromUTF8(s.data(), s.size()); }

// A plain child window that paints through the dialog.
class PaintedPane : public wxWindow {
public:
    PaintedPane(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size, std::function<void(wxDC&)> paint)
        : wxWindow(parent, id, pos, size, wxBORDER_SUNKEN | wxFULL_REPAINT_ON_RESIZE), m_paint(std::move(paint)) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxAutoBufferedPaintDC dc(this);
            m_paint(dc);
        });
    }

private:
    std::function<void(wxDC&)> m_paint;
};

}  // namespace

wxImage FrameImage(const VideoFrame& frame) {
    if (frame.width <= 0 || frame.height <= 0 ||
        frame.dib.size() < platform::capture::DibSize(frame.width, frame.height))
        return {};
    wxImage img(frame.width, frame.height, false);
    unsigned char* out = img.GetData();
    const std::size_t stride = DibStride(frame.width);
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* row = frame.dib.data() + stride * std::size_t(frame.height - 1 - y);
        for (int x = 0; x < frame.width; ++x, out += 3) {
            out[0] = row[x * 3 + 2];
            out[1] = row[x * 3 + 1];
            out[2] = row[x * 3];
        }
    }
    return img;
}

void DrawVideo(wxDC& dc, const wxSize& size, const VideoFrame* frame) {
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
    if (!frame || size.x <= 0 || size.y <= 0) return;
    wxImage img = FrameImage(*frame);
    if (!img.IsOk()) return;
    if (img.GetWidth() != size.x || img.GetHeight() != size.y) img.Rescale(size.x, size.y, wxIMAGE_QUALITY_BILINEAR);
    dc.DrawBitmap(wxBitmap(img), 0, 0);
}

void DrawPhoto(wxDC& dc, const wxSize& size, const wxImage& photo) {
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.Clear();
    if (!photo.IsOk() || photo.GetWidth() <= 0 || photo.GetHeight() <= 0 || size.x <= 0 || size.y <= 0) return;
    const double scale = std::min(double(size.x) / photo.GetWidth(), double(size.y) / photo.GetHeight());
    const int w = int(photo.GetWidth() * scale), h = int(photo.GetHeight() * scale);
    if (w <= 0 || h <= 0) return;
    const wxImage scaled = photo.Scale(w, h, wxIMAGE_QUALITY_BICUBIC);
    dc.DrawBitmap(wxBitmap(scaled), (size.x - w) / 2, (size.y - h) / 2);
}

CLensoryDlg::CLensoryDlg(wxWindow* parent, const fs::path& base, Options options)
    : wxDialog(parent, wxID_ANY, U(DialogCaption(base)), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE,
               kLensoryDlgName),
      m_base(base),
      m_photoBase(base),
      m_options(std::move(options)),
      m_graph(m_options.cameras),
      m_port(m_graph),
      m_machine(m_port, m_options.clock ? m_options.clock : SteadyClock()),
      m_timer(this, kShotTimerId),
      m_photoName(kDefaultPhotoName),
      m_format(kDefaultFormat) {
    platform::image::EnsureImageHandlers();
    if (m_options.shutter_sound.empty())
        m_options.shutter_sound = platform::ExecutableDir() / "resources" / "wave" / "3000.wav";
    if (!m_options.sink) m_options.sink = platform::ui::MessageSinkFor(this);
    CreateControls();
    ListCameras();
    Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { OnShotTimer(); }, kShotTimerId);
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
        Shutdown();
        e.Skip();
    });
    m_timer.Start(kShotTimerMs);
    m_graph.stream().SetFrameNotify([this] {
        if (!m_framePosted.exchange(true)) CallAfter([this] { OnFrameArrived(); });
    });
}

CLensoryDlg::~CLensoryDlg() { Shutdown(); }

void CLensoryDlg::CreateControls() {
    auto px = [this](int x, int y) { return ConvertDialogToPixels(wxPoint(x, y)); };
    auto sz = [this](int w, int h) { return ConvertDialogToPixels(wxSize(w, h)); };
    SetClientSize(sz(354, 350));

    m_videoHost = new PaintedPane(this, IDC_VIDEO_HOST, px(7, 7), sz(250, 188), [this](wxDC& dc) { PaintVideo(dc); });
    m_videoHost->SetBackgroundColour(*wxBLACK);
    const wxSize host = m_videoHost->GetClientSize();
    m_videoMessage = new wxStaticText(m_videoHost, IDC_VIDEO_MESSAGE, "", wxPoint(10, host.y / 2 - 30),
                                      wxSize(host.x - 20, 60), wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
    m_videoMessage->SetForegroundColour(*wxWHITE);
    m_videoMessage->SetBackgroundColour(*wxBLACK);
    m_videoMessage->Hide();

    const int cx = 264, cw = 83;
    new wxStaticText(this, wxID_ANY, U("设备:"), px(cx, 7), sz(cw, 9));
    m_device = new wxChoice(this, IDC_DEVICE, px(cx, 17), sz(cw, 14));
    m_open = new wxButton(this, IDC_OPEN_CAMERA, U("开启摄像头"), px(cx, 35), sz(cw, 16));
    new wxStaticText(this, wxID_ANY, U("自拍定时:"), px(cx, 58), sz(cw, 9));
    wxArrayString timers;
    for (const auto& t : SelfTimerItems()) timers.Add(U(t));
    m_selfTimer = new wxChoice(this, IDC_SELF_TIMER, px(cx, 68), sz(cw, 14), timers);
    m_selfTimer->SetSelection(0);
    new wxStaticText(this, wxID_ANY, U("照片名:"), px(cx, 88), sz(cw, 9));
    m_nameEdit = new wxTextCtrl(this, IDC_PHOTO_NAME, U(m_photoName), px(cx, 98), sz(cw, 13));
    wxArrayString formats;
    for (const auto& f : FormatWords()) formats.Add(U(f));
    m_formatChoice = new wxChoice(this, IDC_FORMAT, px(cx, 118), sz(cw, 14), formats);
    m_formatChoice->SetStringSelection(U(m_format));
    m_shot = new wxButton(this, IDC_SHOT, U("拍照"), px(cx, 140), sz(cw, 22));
    m_shot->Disable();
    m_countdown = new wxStaticText(this, IDC_COUNTDOWN, "", px(cx, 166), sz(cw, 12),
                                   wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
    new wxButton(this, IDC_PHOTO_DIR, U("照片目录"), px(cx, 182), sz(cw, 16));

    m_photoView = new PaintedPane(this, IDC_PHOTO_VIEW, px(7, 202), sz(250, 141), [this](wxDC& dc) { PaintPhoto(dc); });
    new wxButton(this, wxID_OK, "OK", px(264, 327), sz(40, 16));
    new wxButton(this, wxID_CANCEL, U("关闭"), px(307, 327), sz(40, 16));

    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OpenCamera(); }, IDC_OPEN_CAMERA);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { TakeShot(); }, IDC_SHOT);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { Close(wxID_OK); }, wxID_OK);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { Close(wxID_CANCEL); }, wxID_CANCEL);
    Bind(
        wxEVT_CHOICE, [this](wxCommandEvent& e) { ChooseSelfTimer(e.GetSelection()); }, IDC_SELF_TIMER);
    Bind(
        wxEVT_CHOICE, [this](wxCommandEvent& e) { ChooseFormat(e.GetSelection()); }, IDC_FORMAT);
    Bind(
        wxEVT_TEXT, [this](wxCommandEvent&) { m_photoName = m_nameEdit->GetValue().utf8_string(); }, IDC_PHOTO_NAME);
}

void CLensoryDlg::ListCameras() {
    std::vector<std::string> names;
    if (m_graph.ListDevices(&names) < 0) {
        m_open->Disable();
        m_shot->Disable();
        ShowVideoMessage(std::string(kNoCameraText));
        return;
    }
    for (const auto& n : names) m_device->Append(U(n));
    m_device->SetSelection(0);
}

void CLensoryDlg::ShowVideoMessage(const std::string& text) {
    m_videoMessage->SetLabel(U(text));
    m_videoMessage->Show(!text.empty());
    m_videoHost->Refresh();
}

void CLensoryDlg::OpenCamera() {
    if (m_graph.Running()) return;
    const int device = m_device->GetSelection();
    std::string error;
    if (device < 0 || m_graph.Start(device, &error) != kStartOk) {
        ShowVideoMessage(std::string(kCameraStartFailedText) + (error.empty() ? "" : "\n" + error));
        UpdateShotButton();
        return;
    }
    ShowVideoMessage({});
    m_open->Disable();
    UpdateShotButton();
}

void CLensoryDlg::Tell(std::string_view text) {
    m_options.sink({std::string(text), {}, platform::MbButtons::Ok, platform::MbIcon::Exclamation});
}

void CLensoryDlg::TakeShot() {
    if (!m_graph.Running() || !m_machine.ShotButtonEnabled()) return;
    if (m_machine.state() != ShotState::Idle) return;  // a shot is pending
    if (auto problem = PhotoNameProblem(CheckPhotoName(m_photoName)); !problem.empty()) {
        Tell(problem);
        return;
    }
    std::error_code ec;
    fs::create_directories(PhotoFolder(m_base), ec);
    if (ec) {
        Tell(std::string(kPhotoFolderFailedText) + platform::UserPath(PhotoFolder(m_base)) + ": " +
             platform::ErrorReason(ec));
        return;
    }
    m_graph.SetTempName(TempFramePath(m_base));
    const PressOutcome outcome = m_machine.Press(m_selfTimerSeconds);
    if (outcome == PressOutcome::CountdownStarted) m_countdown->SetLabel(U(CountdownText(0, m_selfTimerSeconds)));
    UpdateShotButton();
}

void CLensoryDlg::OnShotTimer() {
    const ShotEvent ev = m_machine.Tick();
    switch (ev.kind) {
        case ShotEvent::None:
            break;
        case ShotEvent::Countdown:
        case ShotEvent::CountdownEnded:
            m_countdown->SetLabel(U(CountdownText(ev.elapsed, ev.length)));
            break;
        case ShotEvent::FrameReady:
            SavePhoto();
            break;
        case ShotEvent::WriteFailed:
            Tell(std::string(kFrameWriteFailedText) + (ev.error.empty() ? "" : "\n" + ev.error));
            break;
        case ShotEvent::TimedOut:
            Tell(kShotTimedOutText);
            break;
    }
    UpdateShotButton();
}

void CLensoryDlg::SavePhoto() {
    m_lastSound = platform::sound::Play(m_options.shutter_sound);
    ++m_soundsPlayed;
    // Until this shot is saved, no earlier photo stands for it.
    m_lastPhoto.clear();
    m_photo = wxImage();
    m_photoView->Refresh();
    if (auto problem = PhotoNameProblem(CheckPhotoName(m_photoName)); !problem.empty()) {
        Tell(problem);
        return;
    }
    std::error_code ec;
    fs::create_directories(PhotoFolder(m_photoBase), ec);
    const fs::path target = PhotoPath(m_photoBase, m_photoName, m_format);
    if (picture_controls::ConvertImageFile(m_format, TempFramePath(m_base), target, kPhotoQuality) != 1) {
        Tell(std::string(kPhotoSaveFailedText) + platform::UserPath(target));
        return;
    }
    m_lastPhoto = target;
    ShowPhoto(target);
}

void CLensoryDlg::ShowPhoto(const fs::path& file) {
    m_photo = platform::image::LoadPicture(file);  // a picture that does not load is not drawn
    m_photoView->Refresh();
}

void CLensoryDlg::OnFrameArrived() {
    m_framePosted.store(false);
    if (m_shutDown) return;
    VideoFrame frame;
    if (m_graph.stream().CopyLatest(&frame)) m_frame = std::move(frame);
    if (m_graph.stream().Ended()) {
        ShowVideoMessage(std::string(kCameraStoppedText) + "\n" + m_graph.stream().Error());
        m_graph.Stop();  // its thread has ended; the camera may be opened again
        m_open->Enable();
        UpdateShotButton();
    }
    m_videoHost->Refresh(false);
}

void CLensoryDlg::UpdateShotButton() {
    m_shot->Enable(!m_shutDown && m_graph.Running() && m_machine.ShotButtonEnabled());
}

void CLensoryDlg::ChooseSelfTimer(int index) {
    if (index < 0 || unsigned(index) >= SelfTimerItems().size()) return;
    m_selfTimer->SetSelection(index);
    m_selfTimerSeconds = SelfTimerSeconds(SelfTimerItems()[std::size_t(index)]);
}

void CLensoryDlg::ChooseFormat(int index) {
    if (index < 0 || unsigned(index) >= FormatWords().size()) return;
    m_formatChoice->SetSelection(index);
    m_format = FormatWords()[std::size_t(index)];
}

void CLensoryDlg::SetPhotoName(const std::string& name) { m_nameEdit->SetValue(U(name)); }

void CLensoryDlg::Shutdown() {
    if (m_shutDown) return;
    m_shutDown = true;
    m_timer.Stop();
    m_graph.Stop();
    m_graph.stream().SetFrameNotify({});
}

void CLensoryDlg::Close(int code) {
    Shutdown();
    if (IsModal())
        EndModal(code);
    else
        Hide();
}

void CLensoryDlg::PaintVideo(wxDC& dc) {
    DrawVideo(dc, m_videoHost->GetClientSize(), m_frame.number ? &m_frame : nullptr);
}

void CLensoryDlg::PaintPhoto(wxDC& dc) { DrawPhoto(dc, m_photoView->GetClientSize(), m_photo); }

void RunCaptureDialog(const fs::path& base) {
    CLensoryDlg::Options options;
    options.cameras = std::make_shared<platform::capture::SystemCameras>();
    CLensoryDlg dlg(nullptr, base, std::move(options));
    dlg.ShowModal();
}
