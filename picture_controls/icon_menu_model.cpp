#include "picture_controls/icon_menu_model.h"

#include "platform/text.h"

namespace picture_controls {

void IconMenuModel::LoadToolbar(const std::vector<int>& ids) {
    m_map.clear();
    int index = 0;
    for (int id : ids)
        if (id != 0) m_map.emplace_back(index++, id);
}

int IconMenuModel::ImageFor(int command) const {
    for (const auto& [image, id] : m_map)
        if (id == command) return image;
    return -1;
}

std::string IconMenuModel::CutItemText(std::string_view utf8) {
    const std::string read = platform::CutToGbkBytes(utf8, kMaxReadText);
    return platform::CutToGbkBytes(read, IconMenuRecord::kTextField - 1);
}

void IconMenuModel::MakeOwnerDraw(std::vector<MenuNode>& menu) { Convert(menu, 0); }

void IconMenuModel::Convert(std::vector<MenuNode>& menu, int depth) {
    for (auto it = menu.rbegin(); it != menu.rend(); ++it) {
        MenuNode& n = *it;
        if (n.popup()) {
            Convert(n.children, depth + 1);
            if (depth > 0 && !n.ownerDrawn) {
                n.ownerDrawn = true;
                m_records.push_back({-1, depth == 1 ? IconMenuRecord::kTopPopup : IconMenuRecord::kNestedPopup,
                                     CutItemText(n.text)});
            }
        } else if (n.separator()) {
            if (!n.ownerDrawn) {
                n.ownerDrawn = true;
                m_records.push_back({-1, IconMenuRecord::kSeparator, "--"});
            }
        } else if (!n.ownerDrawn && !n.bitmap) {
            n.ownerDrawn = true;
            n.text = CutItemText(n.text);
            m_records.push_back({ImageFor(n.id), n.id, n.text});
        }
    }
}

void IconMenuModel::UpdateMenuUI(std::vector<MenuNode>& menu, const CommandState& ask) {
    for (auto it = menu.rbegin(); it != menu.rend(); ++it) {
        if (it->popup()) {
            UpdateMenuUI(it->children, ask);
        } else if (!it->separator()) {
            ask(it->id, it->enabled, it->checked);
        }
    }
}

std::vector<platform::PopupItem> IconMenuModel::PopupItems(const std::vector<MenuNode>& menu) const {
    return Items(menu, 0);
}

std::vector<platform::PopupItem> IconMenuModel::Items(const std::vector<MenuNode>& menu, int depth) const {
    std::vector<platform::PopupItem> out;
    for (const MenuNode& n : menu) {
        platform::PopupItem p;
        if (n.separator()) {
            out.push_back(p);
            continue;
        }
        p.text = CutItemText(n.text);
        p.enabled = n.enabled;
        p.checked = n.checked;
        if (n.popup()) {
            // Its marker as MakeOwnerDraw records it (the shown level's own
            // pop-ups are not converted: -1).
            p.id = depth == 0 ? -1 : depth == 1 ? IconMenuRecord::kTopPopup : IconMenuRecord::kNestedPopup;
            p.children = Items(n.children, depth + 1);
        } else {
            p.id = n.id;
            p.image = ImageFor(n.id);
        }
        out.push_back(p);
    }
    return out;
}

}  // namespace picture_controls
