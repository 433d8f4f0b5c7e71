#pragma once
// CCShowGraCWnd: the fitting window, the stage of the fitting room between
// the two garment lists. It paints the room background, the personal photo,
// the dressed items and, when switched on, the in-window menu, and turns the
// mouse into model operations through StageControl.
//
// A child of the dress view (control id 111), window thread only. The model
// and the right list are the process-wide ones, not owned.
#include <filesystem>
#include <string>

#include <wx/cursor.h>
#include <wx/timer.h>
#include <wx/window.h>

#include "fitting_room/fitting_model.h"
#include "fitting_room/garment_pic_list.h"
#include "fitting_room/stage_control.h"
#include "picture_controls/picture_painter.h"
#include "platform/picture_size.h"

inline constexpr int kShowGraWndId = 111;
// WM_USER+21 with this wParam tells the parent that a press picked an item.
inline constexpr unsigned kStageNotifyMessage = 0x0400 + 21;
inline constexpr std::uintptr_t kStageNotifyItemPicked = 20090807;

class CCShowGraCWnd : public wxWindow {
public:
    // Reads the photo flag and path of the settings record and gives the
    // model the base directory.
    CCShowGraCWnd(wxWindow* parent, const wxRect& rect, fitting_room::CFittingModel& model,
                  const fitting_room::CGarmentPicList& rightList, const std::filesystem::path& base,
                  platform::PictureSizeSource* sizes);
    ~CCShowGraCWnd() override;

    // Everything the window shows, and the dressed stage alone; both in
    // client coordinates.
    void DrawStage(wxDC& dc);
    void DrawDressedStage(wxDC& dc);

    int OnMenuCommand(int command);
    void ToggleMenu();
    // Shows the picked item's show pictures one after another, 2.6 seconds
    // each, on a timer; then the stage again.
    void ShowStringPictures();
    void ShowPicture(const std::filesystem::path& picture);
    // A repaint after a change of the stage (drops a shown picture).
    void RepaintStage();
    // A personal photo was just imported (the model and the settings hold
    // it): the stage shows it and its menu gets the photo buttons at once.
    void ShowImportedPhoto();
    // The wheel, also as the dress view passes it on.
    void HandleWheel(int direction);

    // Renders the dressed stage off screen at the client size and saves it
    // in the format of the letter ('J', 'B', 'P'), quality 100. False when
    // nothing was written.
    bool SaveStage(const std::filesystem::path& file, char format);

    fitting_room::StageControl& control() { return m_control; }
    picture_controls::PicturePainter& painter() { return m_painter; }

private:
    void OnPaint(wxPaintEvent& e);
    void OnSize(wxSizeEvent& e);
    void OnMouse(wxMouseEvent& e);
    void OnSlideTimer(wxTimerEvent& e);
    void Apply(const fitting_room::StageReaction& r);
    void LayOutIfNeeded();

    fitting_room::StageControl m_control;
    picture_controls::PicturePainter m_painter;
    wxTimer m_slideTimer;
    wxCursor m_handCursor;
    wxCursor m_dragCursor;
    wxSize m_laidOut{-1, -1};
};
