#pragma once
// The capture dialog "摄像头拍照" of the camera module: pick a camera, open
// it, watch the live picture, and take a photo (at once or with the
// self-timer) into the photo folder in the chosen format; the photo is then
// shown beside the controls with a shutter sound.
//
// Frames arrive on the capture stream's thread; a notification turns into
// one CallAfter at a time, and the window thread copies the latest frame and
// repaints. The dialog stops the stream (joining its thread) when it closes
// and when it is destroyed, so nothing of it runs once the module is
// released. It registers the picture handlers it needs and never removes
// any, so the host keeps drawing after it closes.
#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/timer.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

#include "camera/capture_graph.h"
#include "camera/shot_machine.h"
#include "platform/capture/frame.h"
#include "platform/message.h"
#include "platform/sound/sound.h"

class wxButton;
class wxChoice;
class wxStaticText;
class wxTextCtrl;

// Control ids of dialog 168; kVideoMessageId is the text shown over the
// video host when there is no picture.
enum LensoryDlgId {
    IDC_VIDEO_HOST = 1031,
    IDC_OPEN_CAMERA = 1032,
    IDC_SHOT = 1033,
    IDC_SELF_TIMER = 1034,
    IDC_DEVICE = 1035,
    IDC_PHOTO_DIR = 1036,
    IDC_PHOTO_NAME = 1037,
    IDC_FORMAT = 1038,
    IDC_COUNTDOWN = 1039,
    IDC_PHOTO_VIEW = 3000,
    IDC_VIDEO_MESSAGE = 1040,
};

inline constexpr const char* kLensoryDlgName = "CLensoryDlg";
inline constexpr int kShotTimerId = 16;
inline constexpr int kShotTimerMs = 500;

// Paints a frame stretched over `size`, or black when there is none.
void DrawVideo(wxDC& dc, const wxSize& size, const platform::capture::VideoFrame* frame);
// Paints `photo` scaled to fit `size` (it may enlarge), centred; nothing
// when the picture is not valid.
void DrawPhoto(wxDC& dc, const wxSize& size, const wxImage& photo);
// A frame as a picture (top row first).
wxImage FrameImage(const platform::capture::VideoFrame& frame);

// Runs the dialog modally over the machine's cameras (the module's entry).
void RunCaptureDialog(const std::filesystem::path& base);

class CLensoryDlg : public wxDialog {
public:
    struct Options {
        std::shared_ptr<platform::capture::CameraProvider> cameras;
        platform::MessageSink sink;           // empty: message boxes over the dialog
        camera::MonotonicClock clock;         // empty: the steady clock
        std::filesystem::path shutter_sound;  // empty: resources/wave/3000.wav beside the program
    };

    CLensoryDlg(wxWindow* parent, const std::filesystem::path& base, Options options);
    ~CLensoryDlg() override;

    // What the controls do, callable from tests.
    void OpenCamera();
    void TakeShot();
    void OnShotTimer();
    void ChooseSelfTimer(int index);
    void ChooseFormat(int index);
    void SetPhotoName(const std::string& name);
    // Stops the timer and the stream; the dialog may close then.
    void Shutdown();

    camera::CCaptureGraph& graph() { return m_graph; }
    const camera::ShotMachine& machine() const { return m_machine; }
    wxButton* shotButton() const { return m_shot; }
    wxButton* openButton() const { return m_open; }
    wxStaticText* videoMessage() const { return m_videoMessage; }
    wxStaticText* countdown() const { return m_countdown; }
    const std::filesystem::path& lastPhoto() const { return m_lastPhoto; }
    const wxImage& shownPhoto() const { return m_photo; }
    std::uint64_t shownFrameNumber() const { return m_frame.number; }
    std::string format() const { return m_format; }
    platform::sound::PlayOutcome lastSound() const { return m_lastSound; }
    int soundsPlayed() const { return m_soundsPlayed; }

    // The video host's and the photo's painting, for tests.
    void PaintVideo(wxDC& dc);
    void PaintPhoto(wxDC& dc);

private:
    class Port : public camera::ShotPort {
    public:
        explicit Port(camera::CCaptureGraph& graph) : m_graph(graph) {}
        bool ArmFrame() override { return m_graph.SetCaptureFlag(1); }
        platform::capture::FrameWrite FrameResult(std::string* error) override {
            return m_graph.stream().LastWrite(error);
        }
        void Disarm() override { m_graph.SetCaptureFlag(0); }

    private:
        camera::CCaptureGraph& m_graph;
    };

    void CreateControls();
    void ListCameras();
    void ShowVideoMessage(const std::string& text);
    void OnFrameArrived();
    void SavePhoto();
    void ShowPhoto(const std::filesystem::path& file);
    void UpdateShotButton();
    void Tell(std::string_view text);
    void Close(int code);

    std::filesystem::path m_base;
    std::filesystem::path m_photoBase;
    Options m_options;
    camera::CCaptureGraph m_graph;
    Port m_port;
    camera::ShotMachine m_machine;
    wxTimer m_timer;
    std::atomic<bool> m_framePosted{false};
    bool m_shutDown = false;

    std::string m_photoName;
    std::string m_format;
    int m_selfTimerSeconds = 0;
    platform::capture::VideoFrame m_frame;
    wxImage m_photo;
    std::filesystem::path m_lastPhoto;
    platform::sound::PlayOutcome m_lastSound = platform::sound::PlayOutcome::MissingFile;
    int m_soundsPlayed = 0;

    wxWindow* m_videoHost = nullptr;
    wxStaticText* m_videoMessage = nullptr;
    wxWindow* m_photoView = nullptr;
    wxButton* m_open = nullptr;
    wxButton* m_shot = nullptr;
    wxChoice* m_selfTimer = nullptr;
    wxChoice* m_device = nullptr;
    wxChoice* m_formatChoice = nullptr;
    wxTextCtrl* m_nameEdit = nullptr;
    wxStaticText* m_countdown = nullptr;
};
