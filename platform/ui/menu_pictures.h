#pragma once
// Pictures beside menu commands. On GTK 3 the desktop no longer shows the
// picture of a menu item unless the item itself asks for it; this asks for
// it. Call after the item is in its menu. Window thread only.
class wxMenuItem;

namespace platform::ui {

// Makes the item's picture show; nothing for items without one.
void ShowMenuItemPicture(wxMenuItem* item);

}  // namespace platform::ui
