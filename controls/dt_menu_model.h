#pragma once
// The owner-drawn menu's description without a toolkit: a menu resource
// walked into nested levels (pop-ups, commands, separators), the toolbar
// resources whose button pictures the commands borrow by command id, and the
// measuring rules of the drawn items. DTMenu (dt_menu.h) turns it into the
// toolkit's menus; tests check it directly.
//
// Menu and toolbar resources are registered by number (the program's own
// resources register at start-up). Window thread only.
#include <functional>
#include <string>
#include <vector>

namespace controls {

// Flags of a menu template item, as the resource holds them.
inline constexpr unsigned kMfGrayed = 0x01;
inline constexpr unsigned kMfDisabled = 0x02;
inline constexpr unsigned kMfChecked = 0x08;
inline constexpr unsigned kMfPopup = 0x10;
inline constexpr unsigned kMfEnd = 0x80;

// One item of a menu template, in resource order: a pop-up is followed by
// its items; the last item of each level carries kMfEnd. A command item with
// id 0 and no text is a separator. Pop-ups have no id.
struct MenuTemplateItem {
    unsigned flags = 0;
    int id = 0;
    std::string text;  // UTF-8; '&' marks the mnemonic, "\t" the accelerator
};
using MenuTemplate = std::vector<MenuTemplateItem>;

// A toolbar resource: its bitmap (a strip of images) and its buttons in
// order, 0 for a separator (which has no image).
struct ToolbarResource {
    int bitmap = 0;
    int imageWidth = 16;
    int imageHeight = 15;
    std::vector<int> buttons;
};

void RegisterMenuResource(int id, MenuTemplate menu);
void RegisterToolbarResource(int id, ToolbarResource toolbar);
const MenuTemplate* FindMenuResource(int id);
const ToolbarResource* FindToolbarResource(int id);

// The picture a command borrows: image `image` of the strip of `bitmap`.
struct MenuImage {
    int bitmap = 0;
    int image = 0;
    int width = 16, height = 15;
    bool operator==(const MenuImage&) const = default;
};

struct DTMenuItemData {
    std::string text;
    unsigned flags = 0;
    int id = 0;
    int bitmapIndex = -1;  // into the menu's image list; -1 none
    int globalOffset = -1;
};

struct DTMenuNode {
    DTMenuItemData data;
    bool popup = false;
    bool separator = false;
    bool ownerDrawn = true;  // false for the menu bar's own items
    std::vector<DTMenuNode> children;
};

class DTMenuModel {
public:
    // Walks the registered menu resource `id` into levels. False when there
    // is no such resource or its items do not close their levels.
    bool LoadMenu(int id);
    bool LoadMenu(const MenuTemplate& menu);
    // For each toolbar in order, each button whose command is in the menu
    // gives that command its picture. True only when every toolbar exists.
    bool LoadToolbars(const std::vector<int>& ids);
    // Removes everything (the menu, its levels, the image list).
    void DestroyMenu();

    const std::vector<DTMenuNode>& top() const { return m_top; }
    const std::vector<MenuImage>& images() const { return m_images; }
    // The node of a command, or null.
    const DTMenuNode* Find(int command) const;
    bool Contains(int command) const { return Find(command) != nullptr; }
    // Every node, depth first.
    void ForEach(const std::function<void(const DTMenuNode&, int depth)>& f) const;

private:
    DTMenuNode* FindMutable(int command);
    std::vector<DTMenuNode> m_top;
    std::vector<MenuImage> m_images;
};

// Sizes of a drawn item (MeasureItem).
inline constexpr int kMenuBitmapWidth = 16;
inline constexpr int kMenuBitmapHeight = 15;
struct MenuItemSize {
    int width = 0, height = 0;
    bool operator==(const MenuItemSize&) const = default;
};
// `textWidth`: the text's extent in the menu font; `cyMenu`: the system's
// menu height.
MenuItemSize MeasureMenuItem(bool separator, bool xpLook, bool bitmap3d, int textWidth, int cyMenu);

// The look of the drop-downs: the XP look on a display with more than 256
// colours when the switch that applies is on (on Windows XP without its
// classic theme the newer theme's switch, elsewhere the other systems'),
// else the classic look. `osKind` 7 is Windows XP.
inline constexpr int kOsKindXp = 7;
bool UsesXpLook(int osKind, bool classicTheme, bool paletteDisplay, int xpForNewerTheme, int xpForOthers);

}  // namespace controls
