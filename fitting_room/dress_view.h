#pragma once
// CCDressCCView: the view of the fitting-room child window. It lays out the
// right-hand garment list (right third), the left-hand accessory list
// (a narrow strip on the left) and the fitting window between them, passes
// list clicks to the fitting model, and carries out the fitting room's
// deferred requests (WM_USER+50, code in wParam).
//
// Window thread only. The lists and the model are the process-wide ones;
// constructing the view gives them their start state.
#include <cstdint>
#include <filesystem>

#include <wx/cursor.h>
#include <wx/window.h>

#include "fitting_room/dress_room.h"
#include "fitting_room/show_gra_wnd.h"
#include "picture_controls/picture_painter.h"
#include "platform/image/picture_cache.h"
#include "platform/ui/messages.h"

class CCDressCCView : public wxWindow,
                      public platform::ui::MessageReceiver,
                      private fitting_room::DressRoomHost {
public:
    // The base directory is the client's (shell::BaseDirectory()).
    explicit CCDressCCView(wxWindow* parent);
    ~CCDressCCView() override;

    // The platform background and the two lists, in client coordinates.
    void Draw(wxDC& dc);

    std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) override;

    CCShowGraCWnd* stage() const { return m_stage; }
    fitting_room::DressRoom& room() { return m_room; }
    const fitting_room::DressLayout& layout() const { return m_layout; }

private:
    // DressRoomHost
    void RepaintView() override;
    void RepaintList(char list) override;
    void RepaintStage() override;
    void ToggleStageMenu() override;
    void ShowStringPictures() override;
    void ShowPicture(const std::filesystem::path& picture) override;
    void SaveSnapshot() override;
    void SaveTransparentBackground() override;
    void PhotoImported() override;

    void LayOut();
    void DrawPlatformBackground(wxDC& dc);
    void OnPaint(wxPaintEvent& e);
    void OnSize(wxSizeEvent& e);
    void OnLeftDown(wxMouseEvent& e);
    void OnMotion(wxMouseEvent& e);
    void OnWheel(wxMouseEvent& e);
    void ReportFailure(const std::string& text);

    std::filesystem::path m_base;
    platform::image::CachedPictureSizes m_sizes;
    fitting_room::DressRoom m_room;
    picture_controls::PicturePainter m_painter;
    fitting_room::DressLayout m_layout;
    bool m_laidOut = false;
    CCShowGraCWnd* m_stage = nullptr;
    wxCursor m_handCursor;
    bool m_handShown = false;
};
