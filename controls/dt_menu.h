#pragma once
// DTMenu: a menu resource shown as the toolkit's menus, each drop-down
// command with the picture its command has on a toolbar resource. The menu
// bar's own items stay plain; separators, greyed items (drawn greyed with
// their pictures), mnemonics and accelerators are the toolkit's. The
// description it builds from is controls::DTMenuModel (dt_menu_model.h).
//
// Window thread only. CreateMenuBar hands out a new menu bar each time; the
// caller (a frame) owns it.
#include <functional>
#include <vector>
#include <wx/bitmap.h>

#include "controls/dt_menu_model.h"

class wxMenu;
class wxMenuBar;

class DTMenu {
public:
    // The two drawing switches (the newer theme's look and every other
    // system's); kept for the frame that sets them, the toolkit draws.
    void SetXpLook(int forNewerTheme, int forOthers) {
        m_xpNewer = forNewerTheme;
        m_xpOthers = forOthers;
    }

    bool LoadMenu(int id);
    // The toolbars' pictures; true only when every toolbar and its bitmap loaded.
    bool LoadToolbars(const std::vector<int>& ids);
    bool DestroyMenu();

    // The toolkit's menu bar: `itemIdOf` maps a command to the toolkit's item
    // id; commands for which `checkable` answers true become check items.
    wxMenuBar* CreateMenuBar(const std::function<int(int)>& itemIdOf,
                             const std::function<bool(int)>& checkable = {}) const;
    // The same levels as one pop-up menu (for a context menu or a test).
    wxMenu* CreatePopup(const controls::DTMenuNode& popup, const std::function<int(int)>& itemIdOf,
                        const std::function<bool(int)>& checkable = {}) const;

    const controls::DTMenuModel& model() const { return m_model; }
    // The picture of image-list entry `index`; invalid when there is none.
    wxBitmap Image(int index) const;

private:
    void AddItems(wxMenu* menu, const std::vector<controls::DTMenuNode>& nodes, const std::function<int(int)>& itemIdOf,
                  const std::function<bool(int)>& checkable) const;

    controls::DTMenuModel m_model;
    std::vector<wxBitmap> m_images;
    int m_xpNewer = 1;
    int m_xpOthers = 0;
};
