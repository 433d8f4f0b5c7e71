#pragma once
// DTMenu: a menu resource as a frame's menu bar whose drop-downs are drawn
// by their owner, each command with the picture its command has on a
// toolbar resource. The bar itself is the desktop's; its drop-downs are our
// own popup menus (platform/ui/popup_menu.h), measured and drawn in the
// lighter XP look or in the classic flat-button look: the bitmap band, the
// separators, checked pictures in a frame, disabled items embossed. They
// open from a click on a bar entry, its Alt key and F10, and move on to the
// neighbouring drop-down with Left and Right. The description it builds
// from is controls::DTMenuModel (dt_menu_model.h).
//
// Window thread only. CreateMenuBar hands out a new menu bar each time; the
// caller (a frame) owns it. The toolkit's menus of the bar stay shut; they
// carry the commands' ids, accelerators and update states.
#include <functional>
#include <vector>
#include <wx/bitmap.h>
#include <wx/dc.h>

#include "controls/dt_menu_model.h"
#include "platform/popup_menu_model.h"
#include "platform/ui/popup_menu.h"

class wxFrame;
class wxMenu;
class wxMenuBar;

class DTMenu {
public:
    // The two drawing switches: the XP look for the newer theme and for every
    // other system (1 on, 0 the classic look).
    void SetXpLook(int forNewerTheme, int forOthers) {
        m_xpNewer = forNewerTheme;
        m_xpOthers = forOthers;
    }
    // The look the drop-downs are drawn in on this display.
    bool xpLook() const;

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

    // Shows the drop-downs of `bar` (made by CreateMenuBar, shown by `frame`)
    // as our own menus. A chosen command reaches the frame as the toolkit's
    // menu command of its item.
    void AttachDropDowns(wxFrame* frame, wxMenuBar* bar, std::function<int(int)> itemIdOf);
    // Runs drop-down `entry` of the attached bar, and the neighbours the user
    // moves on to.
    void RunDropDown(int entry);

    // The items of drop-down `entry` with the states of the bar's items (after
    // their update handlers ran), and how they are measured and drawn.
    platform::PopupMenuModel DropDownModel(int entry) const;
    platform::ui::PopupMenuStyle DropDownStyle() const;
    // The menu height the items are measured with.
    static int MenuHeight(wxDC& dc);
    // The text width an item is measured with: its text without the mnemonic
    // mark, and its accelerator after a gap.
    static int ItemTextWidth(wxDC& dc, const std::string& text);

    const controls::DTMenuModel& model() const { return m_model; }
    // The picture of image-list entry `index`; invalid when there is none.
    wxBitmap Image(int index) const;

private:
    void AddItems(wxMenu* menu, const std::vector<controls::DTMenuNode>& nodes, const std::function<int(int)>& itemIdOf,
                  const std::function<bool(int)>& checkable) const;
    std::vector<platform::PopupItem> Items(const std::vector<controls::DTMenuNode>& nodes, wxMenu* states) const;
    void PaintItem(wxDC& dc, const platform::PopupMenuModel& model, int index, const wxRect& r, bool highlighted,
                   bool xp) const;
    void PaintPicture(wxDC& dc, const platform::PopupItem& it, const wxRect& box, bool highlighted, bool xp) const;

    controls::DTMenuModel m_model;
    std::vector<wxBitmap> m_images;
    int m_xpNewer = 1;
    int m_xpOthers = 0;
    wxFrame* m_frame = nullptr;
    wxMenuBar* m_bar = nullptr;
    std::function<int(int)> m_itemIdOf;
    bool m_running = false;
};
