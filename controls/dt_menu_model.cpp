#include "controls/dt_menu_model.h"

#include <algorithm>
#include <map>

namespace controls {

namespace {

std::map<int, MenuTemplate>& Menus() {
    static std::map<int, MenuTemplate> m;
    return m;
}
std::map<int, ToolbarResource>& Toolbars() {
    static std::map<int, ToolbarResource> m;
    return m;
}

}  // namespace

void RegisterMenuResource(int id, MenuTemplate menu) { Menus()[id] = std::move(menu); }
void RegisterToolbarResource(int id, ToolbarResource toolbar) { Toolbars()[id] = std::move(toolbar); }

const MenuTemplate* FindMenuResource(int id) {
    const auto it = Menus().find(id);
    return it == Menus().end() ? nullptr : &it->second;
}

const ToolbarResource* FindToolbarResource(int id) {
    const auto it = Toolbars().find(id);
    return it == Toolbars().end() ? nullptr : &it->second;
}

bool DTMenuModel::LoadMenu(int id) {
    const MenuTemplate* menu = FindMenuResource(id);
    if (!menu) return false;
    return LoadMenu(*menu);
}

bool DTMenuModel::LoadMenu(const MenuTemplate& menu) {
    DestroyMenu();
    std::vector<DTMenuNode> top;
    // The open pop-ups as indices from the top (vectors move as they grow);
    // a pop-up opens a level, kMfEnd closes it.
    std::vector<std::size_t> path;
    auto levelAt = [&](std::size_t depth) -> std::vector<DTMenuNode>& {
        std::vector<DTMenuNode>* level = &top;
        for (std::size_t i = 0; i < depth; ++i) level = &(*level)[path[i]].children;
        return *level;
    };
    bool closed = false;
    for (const MenuTemplateItem& item : menu) {
        if (closed) return false;  // items after the menu's end
        std::vector<DTMenuNode>& level = levelAt(path.size());
        DTMenuNode node;
        node.data.text = item.text;
        node.data.flags = item.flags & ~kMfEnd;
        node.popup = (item.flags & kMfPopup) != 0;
        node.data.id = node.popup ? 0 : item.id;
        node.separator = !node.popup && item.id == 0 && item.text.empty();
        level.push_back(std::move(node));
        if (item.flags & kMfPopup) {
            path.push_back(level.size() - 1);
            // A pop-up that is also the last of its level closes it after its own items.
            if (item.flags & kMfEnd) levelAt(path.size() - 1).back().data.flags |= kMfEnd;
            continue;
        }
        if (item.flags & kMfEnd) {
            // Close this level and every finished pop-up above it.
            while (true) {
                if (path.empty()) {
                    closed = true;
                    break;
                }
                const std::size_t owner = path.back();
                path.pop_back();
                DTMenuNode& popup = levelAt(path.size())[owner];
                if (!(popup.data.flags & kMfEnd)) break;
                popup.data.flags &= ~kMfEnd;
            }
        }
    }
    if (!closed) return false;
    // The menu bar's own items are plain strings; the drop-down items are drawn.
    for (DTMenuNode& n : top) n.ownerDrawn = false;
    m_top = std::move(top);
    return true;
}

DTMenuNode* DTMenuModel::FindMutable(int command) {
    DTMenuNode* found = nullptr;
    std::function<void(std::vector<DTMenuNode>&)> walk = [&](std::vector<DTMenuNode>& level) {
        for (DTMenuNode& n : level) {
            if (found) return;
            if (!n.popup && !n.separator && n.data.id == command) found = &n;
            walk(n.children);
        }
    };
    walk(m_top);
    return found;
}

const DTMenuNode* DTMenuModel::Find(int command) const { return const_cast<DTMenuModel*>(this)->FindMutable(command); }

void DTMenuModel::ForEach(const std::function<void(const DTMenuNode&, int)>& f) const {
    std::function<void(const std::vector<DTMenuNode>&, int)> walk = [&](const std::vector<DTMenuNode>& level, int depth) {
        for (const DTMenuNode& n : level) {
            f(n, depth);
            walk(n.children, depth + 1);
        }
    };
    walk(m_top, 0);
}

bool DTMenuModel::LoadToolbars(const std::vector<int>& ids) {
    bool all = true;
    for (int id : ids) {
        const ToolbarResource* bar = FindToolbarResource(id);
        if (!bar) {
            all = false;
            continue;
        }
        int image = 0;
        for (int button : bar->buttons) {
            if (button == 0) continue;  // separators have no image
            if (DTMenuNode* n = FindMutable(button)) {
                n->data.bitmapIndex = static_cast<int>(m_images.size());
                m_images.push_back(MenuImage{bar->bitmap, image, bar->imageWidth, bar->imageHeight});
            }
            ++image;
        }
    }
    return all;
}

void DTMenuModel::DestroyMenu() {
    m_top.clear();
    m_images.clear();
}

MenuItemSize MeasureMenuItem(bool separator, bool xpLook, bool bitmap3d, int textWidth, int cyMenu) {
    const int margin = xpLook && bitmap3d ? 7 : 4;
    if (separator) {
        if (xpLook) return {0, 3};
        return {0, std::max((kMenuBitmapHeight + margin) / 2, cyMenu / 2)};
    }
    const int width = textWidth + (xpLook ? kMenuBitmapWidth + margin + 8 : 2 * kMenuBitmapWidth + 1);
    return {width, std::max(cyMenu, kMenuBitmapHeight + margin)};
}

bool UsesXpLook(int osKind, bool classicTheme, bool paletteDisplay, int xpForNewerTheme, int xpForOthers) {
    if (paletteDisplay) return false;
    return (osKind == kOsKindXp && !classicTheme ? xpForNewerTheme : xpForOthers) == 1;
}

}  // namespace controls
