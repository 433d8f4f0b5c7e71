#pragma once
// A popup menu in a window of our own (the toolkit's menus cannot be drawn
// by their owner): borderless, modal while it is tracked, with the keyboard
// rules of PopupMenuModel and mouse tracking. While it is open it holds the
// keyboard and the pointer, as the desktop's menus do: keys reach it wherever
// the focus was, a click outside closes it. The owner may paint the items
// (an icon menu does) and measure them; without a painter the items are
// drawn plainly in the system's menu colours. Main thread only.
//
//   platform::PopupMenuModel model({{32789, "终止化装操作"}, {32790, "继续操作,..."}});
//   int id = platform::ui::TrackPopupMenu(parent, model, screenPoint);
#include <functional>
#include <wx/dc.h>
#include <wx/font.h>
#include <wx/gdicmn.h>

#include "platform/popup_menu_model.h"

class wxWindow;

namespace platform::ui {

// Draws item `index` into `rect` (the item's rectangle in the menu).
using PopupItemPainter =
    std::function<void(wxDC& dc, const PopupMenuModel& model, int index, const wxRect& rect, bool highlighted)>;

// The menu font (the system's) and the plain item painter.
wxFont PopupMenuFont();
void PaintPlainPopupItem(wxDC& dc, const PopupMenuModel& model, int index, const wxRect& rect, bool highlighted);
// The small arrow at the right end of a pop-up item that has a sub-menu.
void PaintSubmenuArrow(wxDC& dc, const wxRect& rect, const wxColour& colour);

// How a menu is measured and drawn, and the menu bar it drops from; every
// part may be left empty.
struct PopupMenuStyle {
    PopupItemPainter painter;  // the items (the plain painter without)
    wxFont font;               // the menu font when invalid
    // Measures the items (the model's own rule without), the font selected.
    std::function<void(PopupMenuModel& model, wxDC& dc)> layout;
    // Paints the ground and the frame under the items (plain without).
    std::function<void(wxDC& dc, const PopupMenuModel& model)> frame;
    // A drop-down of a menu bar: the bar entry under a screen point (-1 for
    // none). Moving onto another entry than `barEntry` leaves the menu for it.
    std::function<int(const wxPoint& screen)> barEntryAt;
    int barEntry = -1;
};

// Lays the model out with `font` (the menu font when invalid).
void LayoutPopupMenu(PopupMenuModel& model, wxDC& dc, const wxFont& font = wxFont());
// Paints the whole menu (background, frame, items) at (0, 0); what the window
// shows, callable on a memory bitmap.
void PaintPopupMenu(wxDC& dc, const PopupMenuModel& model, const PopupItemPainter& painter = {},
                    const wxFont& font = wxFont());
void PaintPopupMenu(wxDC& dc, const PopupMenuModel& model, const PopupMenuStyle& style);

// Shows the menu with its top-left corner at `screen` (kept on the display),
// runs it modally and returns the chosen id (0 when cancelled).
int TrackPopupMenu(wxWindow* parent, PopupMenuModel& model, const wxPoint& screen,
                   const PopupItemPainter& painter = {}, const wxFont& font = wxFont());
int TrackPopupMenu(wxWindow* parent, PopupMenuModel& model, const wxPoint& screen, const PopupMenuStyle& style);

// The menu being tracked (tests and accessibility): its window and model,
// null when none.
wxWindow* ActivePopupMenuWindow();
const PopupMenuModel* ActivePopupMenuModel();
// Whether the open menu holds the keyboard.
bool ActivePopupMenuHasKeyboard();

}  // namespace platform::ui
