#pragma once
// A popup menu in a window of our own (the toolkit's menus cannot be drawn
// by their owner): borderless, modal while it is tracked, with the keyboard
// rules of PopupMenuModel and mouse tracking. The owner may paint the items
// (an icon menu does); without a painter the items are drawn plainly in the
// system's menu colours. Main thread only.
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

// Lays the model out with `font` (the menu font when invalid).
void LayoutPopupMenu(PopupMenuModel& model, wxDC& dc, const wxFont& font = wxFont());
// Paints the whole menu (background, frame, items) at (0, 0); what the window
// shows, callable on a memory bitmap.
void PaintPopupMenu(wxDC& dc, const PopupMenuModel& model, const PopupItemPainter& painter = {},
                    const wxFont& font = wxFont());

// Shows the menu with its top-left corner at `screen` (kept on the display),
// runs it modally and returns the chosen id (0 when cancelled).
int TrackPopupMenu(wxWindow* parent, PopupMenuModel& model, const wxPoint& screen,
                   const PopupItemPainter& painter = {}, const wxFont& font = wxFont());

// The menu being tracked (tests and accessibility): its window and model,
// null when none; a key sent to it as the keyboard would.
wxWindow* ActivePopupMenuWindow();
const PopupMenuModel* ActivePopupMenuModel();
bool SendPopupMenuKey(PopupKey key, char32_t ch = 0);

}  // namespace platform::ui
