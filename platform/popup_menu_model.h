#pragma once
// A popup menu drawn by our own window, without the toolkit: its items, the
// size of each (measured through a text-extent callback), the highlighted
// item and the keyboard and mouse rules. The window (platform/ui/
// popup_menu.h) shows it and lets an owner paint the items; tests drive it
// with plain keys and points.
//
// Keys: Up/Down move to the previous/next enabled item (wrapping, skipping
// separators), Home/End to the first/last, Enter or Space choose the
// highlighted item, Escape cancels; a letter chooses the next enabled item
// whose text holds "&<letter>" or, failing that, starts with the letter.
// An item with children is a pop-up: choosing it (or Right on it) asks the
// window to open its sub-menu instead of ending the menu; in a sub-menu Left
// and Escape close that level only. A drop-down of a menu bar leaves for its
// neighbour on Left and on Right (over an item without a sub-menu), in any
// of its levels. Main thread only.
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

struct PopupItem {
    int id = 0;              // command id; 0 with an empty text: a separator
    std::string text;        // UTF-8; a tab separates the accelerator text
    bool enabled = true;
    bool checked = false;
    int image = -1;          // picture index of the owner's image list, -1 none
    bool isDefault = false;  // drawn in the bold font
    std::vector<PopupItem> children;  // a pop-up's sub-menu
    bool separator() const { return id == 0 && text.empty() && children.empty(); }
    bool popup() const { return !children.empty(); }
};

enum class PopupKey { Up, Down, Home, End, Enter, Escape, Left, Right, Char };

struct PopupRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

class PopupMenuModel {
public:
    // Width and height of a text in the menu font (tabs not expanded).
    using TextExtent = std::function<std::pair<int, int>(const std::string&)>;
    static constexpr int kNone = -1;
    static constexpr int kFrame = 2;  // border around the items

    PopupMenuModel() = default;
    explicit PopupMenuModel(std::vector<PopupItem> items) : m_items(std::move(items)) {}

    void SetItems(std::vector<PopupItem> items);
    const std::vector<PopupItem>& items() const { return m_items; }
    void SetIconSize(int width, int height) { m_iconW = width, m_iconH = height; }
    int iconWidth() const { return m_iconW; }
    int iconHeight() const { return m_iconH; }

    // Measures every item: a separator is 10 x 6; an item without text is
    // 100 wide and icon height + 5 high; any other is max(icon height + 5,
    // text height) high and text width (tabs expanded) + 17 + max(icon
    // width, that height) wide. Items stack from (kFrame, kFrame), all as
    // wide as the widest.
    void Layout(const TextExtent& extent);
    // Stacks the items with the sizes an owner measured (width, height of
    // item `index`), all as wide as the widest.
    using ItemSize = std::function<std::pair<int, int>(int index)>;
    void LayoutItems(const ItemSize& size);
    PopupRect ItemRect(int index) const;
    int width() const { return m_width; }
    int height() const { return m_height; }

    int HitTest(int x, int y) const;  // the item under the point or kNone
    int highlighted() const { return m_highlight; }
    void Highlight(int index);

    // The mouse: a move highlights the enabled item under it; a press
    // outside the menu cancels it; a release on an enabled item chooses it,
    // outside the menu it cancels once a button went down in the menu's time
    // (the release of the click that opened the menu leaves it open).
    void MouseMove(int x, int y);
    void MouseDown(int x, int y);
    void MouseUp(int x, int y);
    // Returns true when the key was used.
    bool Key(PopupKey key, char32_t ch = 0);

    bool finished() const { return m_finished; }
    int chosen() const { return m_chosen; }  // the command id; 0 when cancelled
    void Cancel() { m_finished = true, m_chosen = 0; }

    // Sub-menus. The pop-up item whose sub-menu is to be opened, or kNone.
    int openRequest() const { return m_open; }
    void ClearOpenRequest() { m_open = kNone; }
    // A sub-menu's command ends this menu too.
    void ChooseFromSubmenu(int id) { m_finished = true, m_chosen = id; }
    // This menu is a sub-menu: Left and Escape close it alone (closedBack).
    void SetNested(bool nested) { m_nested = nested; }
    bool closedBack() const { return m_back; }

    // A drop-down of a menu bar (its sub-menus too).
    void SetInMenuBar(bool inBar) { m_inBar = inBar; }
    bool inMenuBar() const { return m_inBar; }
    // Leaves the menu for the previous (-1) or next (+1) drop-down, or for
    // bar entry `entry`; what the menu left for (0 and kNone for nothing).
    void LeaveForBar(int step) { m_finished = true, m_chosen = 0, m_barStep = step; }
    void LeaveForBarEntry(int entry) { m_finished = true, m_chosen = 0, m_barEntry = entry; }
    int barStep() const { return m_barStep; }
    int barEntry() const { return m_barEntry; }

    // Texts with tabs expanded to the next multiple of 8 columns.
    static std::string ExpandTabs(const std::string& text);

private:
    bool Selectable(int index) const;
    int Step(int from, int direction) const;
    void Choose(int index);

    std::vector<PopupItem> m_items;
    std::vector<PopupRect> m_rects;
    int m_iconW = 20, m_iconH = 20;
    int m_width = 0, m_height = 0;
    int m_highlight = kNone;
    bool m_finished = false;
    int m_chosen = 0;
    int m_open = kNone;
    bool m_pressed = false;
    bool m_nested = false;
    bool m_back = false;
    bool m_inBar = false;
    int m_barStep = 0;
    int m_barEntry = kNone;
};

}  // namespace platform
