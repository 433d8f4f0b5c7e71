#pragma once
// DlgImgedtFormview: the show-stage form, page "OutBar" of window A's
// "Workspace" bar. It shows the stage, offers the show download, the
// start-up switch of the show and the contact link, and runs the show
// player over the process-wide show tables (show_script.h).
//
// The player runs on a timer: each tick composes one frame off screen
// (show_player.h) and shows it, then waits the frame's delay on the timer,
// so the window stays live and the mouse is never captured. A click on the
// form or closing the window stops the show and its beat. A run happens at
// most once per process.
//
// Window thread only.
#include <array>
#include <filesystem>
#include <optional>
#include <wx/bitmap.h>
#include <wx/cursor.h>
#include <wx/panel.h>
#include <wx/timer.h>

#include "fitting_room/show_player.h"

class wxButton;
class wxCheckBox;
class wxStaticText;

// Controls of dialog 135 and the show timer.
inline constexpr int IDC_SHOW_STAGE = 1000;
inline constexpr int IDC_SHOW_DECORATION = 1001;
inline constexpr int IDC_SHOW_DOWNLOAD = 1002;
inline constexpr int IDC_SHOW_NO_AUTOSTART = 1003;
inline constexpr int IDC_SHOW_CONTACT = 1071;
inline constexpr int kShowTimerId = 11;
inline constexpr int kShowFormDecorationBitmap = 163;
inline constexpr int kShowHandCursor = 131;

// Play states.
inline constexpr int kShowConstructed = 1;
inline constexpr int kShowArmed = 11;
inline constexpr int kShowPlaying = 222;
inline constexpr int kShowEnded = 9;

class DlgImgedtFormview : public wxPanel {
public:
    // `autoStartDelayMs`: how long after the script is read the show starts
    // when the start-up switch lets it (window tests shorten it).
    explicit DlgImgedtFormview(wxWindow* parent, int autoStartDelayMs = 1500);
    ~DlgImgedtFormview() override;

    // Paints the form (gradient, stage) on any DC, as OnPaint does.
    void Draw(wxDC& dc, const wxSize& size);

    // Start: stage rectangle, start-up switch, script.
    void OnInitialUpdate();
    // Empties the tables and loads the stage bitmaps again.
    void ResetShow();
    void LoadShowScript();
    // Arms the player and starts the show timer (id 11) after `delayMs`.
    void ArmShow(int delayMs);
    // The show timer: runs the player once per process.
    void OnShowTimer();
    // Starts a run in play state 11: pictures, beat, first background.
    void PlayBeat();
    // One frame of the run; false when the run has ended.
    bool PlayNextFrame();
    // Ends the run: beat stopped, play state 9, still stage again.
    void StopShow();

    void OnDownloadShows();
    void OnStopAutostart();

    int playState() const { return m_playState; }
    int frameCounter() const { return m_frameCounter; }
    int timerCounter() const { return m_timerCounter; }
    wxRect stageRect() const { return m_stageRect; }
    const wxBitmap& currentFrame() const { return m_frame; }
    wxCheckBox* autostartBox() const { return m_noAutostart; }
    wxButton* downloadButton() const { return m_download; }
    wxStaticText* contactLink() const { return m_contact; }
    bool PictureLoaded(int picture) const;

    // Tests: the process-wide run-once flag back to clear.
    static void ResetRunOnce();

private:
    void OnPaint();
    void OnLeftDown(wxMouseEvent& e);
    void OnMotion(wxMouseEvent& e);
    void OnSize(wxSizeEvent& e);
    void LoadSceneBitmaps();
    void ComposeFrame(const fitting_room::ShowFrame& frame);
    void ScheduleNextFrame(int delayMs);
    bool OverContact(wxPoint p) const;
    void MeasureStage();

    std::filesystem::path m_base;
    int m_autostart = 0;  // check box 1003: 1 checked
    bool m_linkBusy = false;
    wxCursor m_hand;
    int m_stageRectFlag = 0;
    wxRect m_stageRect;
    int m_playState = kShowConstructed;
    int m_frameCounter = 0;
    int m_timerCounter = 0;
    char m_autostartLetter = 'Y';
    int m_autoStartDelayMs;
    bool m_composing = false;
    int m_lastScene = -1;

    // 141 (still stage), 139, 140, 138.
    std::array<std::optional<fitting_room::ShowImage>, 4> m_stage;
    std::array<std::optional<fitting_room::ShowImage>, fitting_room::kShowPictures> m_pictures;
    fitting_room::ShowCursor m_cursor;
    wxBitmap m_frame;  // the last composed frame, shown while the show plays
    wxTimer m_showTimer;
    wxTimer m_frameTimer;

    wxButton* m_download = nullptr;
    wxCheckBox* m_noAutostart = nullptr;
    wxStaticText* m_contact = nullptr;
    wxWindow* m_stageControl = nullptr;
};
