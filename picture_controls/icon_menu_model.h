#pragma once
// The owner-drawn icon menu's bookkeeping, without a window: the command map
// of a toolbar (the picture index of each command id), the conversion of a
// menu into owner-drawn item records (image index, command or marker, text)
// and the popup items that our popup window shows. Texts are cut to the
// record's 128-byte field (GBK bytes, on a character boundary). Main thread.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/popup_menu_model.h"

namespace picture_controls {

// A menu as the resources describe it.
struct MenuNode {
    std::string text;  // empty with id 0 and no children: a separator
    int id = 0;
    std::vector<MenuNode> children;  // a pop-up when not empty
    bool enabled = true;
    bool checked = false;
    bool ownerDrawn = false;  // already converted
    bool bitmap = false;      // a bitmap item: left alone
    bool separator() const { return id == 0 && text.empty() && children.empty(); }
    bool popup() const { return !children.empty(); }
};

struct IconMenuRecord {
    static constexpr int kTextField = 128;  // bytes, with the terminator
    static constexpr int kNestedPopup = -2;
    static constexpr int kSeparator = -3;
    static constexpr int kTopPopup = -4;
    int image = -1;
    int command = 0;  // command id or one of the markers
    std::string text;
};

class IconMenuModel {
public:
    static constexpr int kMaxReadText = 256;

    // The toolbar's command ids in button order, 0 for a gap: every nonzero
    // id gets the next picture index.
    void LoadToolbar(const std::vector<int>& ids);
    int ImageFor(int command) const;  // -1 when the toolbar has no button for it
    int imageCount() const { return static_cast<int>(m_map.size()); }

    // Converts the menu (last item first, pop-ups first their children) and
    // records every converted item; the top level's pop-ups stay as they are.
    void MakeOwnerDraw(std::vector<MenuNode>& menu);
    const std::vector<IconMenuRecord>& records() const { return m_records; }

    // The state of every command item, asked last first (a pop-up's sub-menu
    // when the walk reaches the pop-up): `ask` gets the command id and the
    // item's enabled and checked values and changes what its handler sets.
    // Separators and pop-ups themselves are not asked.
    using CommandState = std::function<void(int id, bool& enabled, bool& checked)>;
    static void UpdateMenuUI(std::vector<MenuNode>& menu, const CommandState& ask);

    // The popup items of a menu level; a pop-up carries its sub-menu's items
    // and, as its id, its marker (-4 a level down, -2 deeper, -1 on the
    // level shown).
    std::vector<platform::PopupItem> PopupItems(const std::vector<MenuNode>& menu) const;

    // A text as the record keeps it: read with at most 256 bytes, then cut to
    // 127 GBK bytes on a character boundary.
    static std::string CutItemText(std::string_view utf8);

private:
    void Convert(std::vector<MenuNode>& menu, int depth);
    std::vector<platform::PopupItem> Items(const std::vector<MenuNode>& menu, int depth) const;

    std::vector<std::pair<int, int>> m_map;  // (image index, command id)
    std::vector<IconMenuRecord> m_records;
};

}  // namespace picture_controls
