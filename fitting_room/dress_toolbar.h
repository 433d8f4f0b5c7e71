#pragma once
// CDressToolBar: the fitting room's 54-pixel picture toolbar. It paints the
// bar picture, the four category icons and twelve picture buttons placed
// from its right edge, and carries out a click through DressToolBarRules.
//
// Window thread only. The dialogs it opens that live elsewhere (the project
// chooser, the operation guide) and the photo file dialog can be replaced
// through ToolBarDialogs, so that tests drive them without modal windows.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include <wx/bitmap.h>
#include <wx/cursor.h>
#include <wx/window.h>

#include "controls/tbar_but_tittle_tip.h"
#include "fitting_room/dress_toolbar_rules.h"
#include "fitting_room/project_chooser_core.h"

namespace fitting_room {

struct ToolBarDialogs {
    // The project chooser in a mode at a screen point (the bar's right
    // edge for projects, its left edge for backgrounds).
    std::function<ChooserResult(wxWindow* parent, ChooserMode mode, int x, int y)> chooser;
    // The operation guide (modal).
    std::function<void(wxWindow* parent)> guide;
    // The photo to import, or nothing when cancelled.
    std::function<std::optional<std::filesystem::path>(wxWindow* parent, const std::filesystem::path& folder)>
        photoFile;
    // The replace-garment dialog (modal).
    std::function<void(wxWindow* parent)> replace;
};
// The dialogs the bars use; empty members fall back to the built-in ones.
ToolBarDialogs& DressToolBarDialogs();

}  // namespace fitting_room

class CDressToolBar : public wxWindow {
public:
    CDressToolBar() = default;
    // Creates the bar along the top of the parent with the bar picture
    // (bitmap resource); false when the picture is missing.
    bool Create(wxWindow* parent, wxWindowID id, int bitmapResource);

    // Paints the bar into a client area of the given size.
    void Draw(wxDC& dc, const wxSize& size);

    // A click at a point of the bar, as the left button does it.
    void ClickAt(wxPoint p);
    // The button at a point, -1 for none.
    int ButtonAt(wxPoint p);

    fitting_room::DressToolBarRules& rules() { return m_rules; }
    CTbarButTittleTip& tip() { return m_tip; }
    wxPoint ButtonCentre(int id);

private:
    std::filesystem::path PictureOf(const fitting_room::ToolButton& b) const;
    wxSize NaturalSize(const fitting_room::ToolButton& b) const;
    void OnPaint(wxPaintEvent& e);
    void OnLeftDown(wxMouseEvent& e);
    void OnMotion(wxMouseEvent& e);
    void OnLeave(wxMouseEvent& e);
    // The pointer at a point of the bar: the hand over a button, the tip of
    // the button under it (once per button), none elsewhere.
    void PointerAt(wxPoint p);

    CTbarButTittleTip m_tip;
    std::string m_lastTip;
    wxBitmap m_bitmap;
    wxCursor m_hand;
    bool m_handShown = false;
    fitting_room::DressToolBarRules m_rules;
};
