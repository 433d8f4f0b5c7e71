#include "platform/popup_menu_model.h"

#include <algorithm>
#include <cctype>

namespace platform {

void PopupMenuModel::SetItems(std::vector<PopupItem> items) {
    m_items = std::move(items);
    m_rects.clear();
    m_highlight = kNone;
    m_finished = false;
    m_chosen = 0;
    m_open = kNone;
    m_pressed = false;
    m_back = false;
    m_barStep = 0;
    m_barEntry = kNone;
}

std::string PopupMenuModel::ExpandTabs(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\t') {
            do out.push_back(' ');
            while (out.size() % 8 != 0);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

void PopupMenuModel::Layout(const TextExtent& extent) {
    LayoutItems([&](int index) {
        const PopupItem& it = m_items[static_cast<std::size_t>(index)];
        if (it.separator()) return std::pair<int, int>{10, 6};
        if (it.text.empty()) return std::pair<int, int>{100, m_iconH + 5};
        const auto [tw, th] = extent ? extent(ExpandTabs(it.text)) : std::pair<int, int>{0, 0};
        const int h = std::max(m_iconH + 5, th);
        return std::pair<int, int>{tw + 17 + std::max(m_iconW, h), h};
    });
}

void PopupMenuModel::LayoutItems(const ItemSize& size) {
    m_rects.assign(m_items.size(), {});
    int y = kFrame, widest = 0;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const auto [w, h] = size(static_cast<int>(i));
        widest = std::max(widest, w);
        m_rects[i] = {kFrame, y, 0, h};
        y += h;
    }
    for (PopupRect& r : m_rects) r.width = widest;
    m_width = widest + 2 * kFrame;
    m_height = y + kFrame;
}

PopupRect PopupMenuModel::ItemRect(int index) const {
    if (index < 0 || index >= static_cast<int>(m_rects.size())) return {};
    return m_rects[static_cast<std::size_t>(index)];
}

int PopupMenuModel::HitTest(int x, int y) const {
    for (std::size_t i = 0; i < m_rects.size(); ++i)
        if (m_rects[i].Contains(x, y)) return static_cast<int>(i);
    return kNone;
}

bool PopupMenuModel::Selectable(int index) const {
    if (index < 0 || index >= static_cast<int>(m_items.size())) return false;
    const PopupItem& it = m_items[static_cast<std::size_t>(index)];
    return !it.separator() && it.enabled;
}

void PopupMenuModel::Highlight(int index) { m_highlight = Selectable(index) ? index : kNone; }

int PopupMenuModel::Step(int from, int direction) const {
    const int n = static_cast<int>(m_items.size());
    if (n == 0) return kNone;
    int i = from;
    for (int k = 0; k < n; ++k) {
        i = i == kNone ? (direction > 0 ? 0 : n - 1) : (i + direction + n) % n;
        if (Selectable(i)) return i;
    }
    return kNone;
}

void PopupMenuModel::Choose(int index) {
    if (!Selectable(index)) return;
    if (m_items[static_cast<std::size_t>(index)].popup()) {
        m_highlight = index;
        m_open = index;
        return;
    }
    m_finished = true;
    m_chosen = m_items[static_cast<std::size_t>(index)].id;
}

void PopupMenuModel::MouseMove(int x, int y) {
    const int i = HitTest(x, y);
    if (Selectable(i)) m_highlight = i;
}

void PopupMenuModel::MouseDown(int x, int y) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        Cancel();
        return;
    }
    m_pressed = true;
}

void PopupMenuModel::MouseUp(int x, int y) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        if (m_pressed) Cancel();
        return;
    }
    Choose(HitTest(x, y));
}

bool PopupMenuModel::Key(PopupKey key, char32_t ch) {
    switch (key) {
        case PopupKey::Up: m_highlight = Step(m_highlight, -1); return true;
        case PopupKey::Down: m_highlight = Step(m_highlight, +1); return true;
        case PopupKey::Home: m_highlight = Step(kNone, +1); return true;
        case PopupKey::End: m_highlight = Step(kNone, -1); return true;
        case PopupKey::Enter:
            if (m_highlight == kNone) return false;
            Choose(m_highlight);
            return true;
        case PopupKey::Escape:
            Cancel();
            m_back = m_nested;
            return true;
        case PopupKey::Left:
            if (m_nested) {
                Cancel();
                m_back = true;
                return true;
            }
            if (!m_inBar) return false;
            LeaveForBar(-1);
            return true;
        case PopupKey::Right:
            if (!Selectable(m_highlight) || !m_items[static_cast<std::size_t>(m_highlight)].popup()) {
                if (!m_inBar) return false;
                LeaveForBar(+1);
                return true;
            }
            Choose(m_highlight);
            return true;
        case PopupKey::Char: {
            if (ch == 0 || ch > 0x7F) return false;
            const char c = static_cast<char>(std::tolower(static_cast<int>(ch)));
            const int n = static_cast<int>(m_items.size());
            auto matches = [&](int i, bool mnemonic) {
                const std::string& t = m_items[static_cast<std::size_t>(i)].text;
                if (mnemonic) {
                    const auto amp = t.find('&');
                    return amp != std::string::npos && amp + 1 < t.size() &&
                           std::tolower(static_cast<unsigned char>(t[amp + 1])) == c;
                }
                return !t.empty() && std::tolower(static_cast<unsigned char>(t[0])) == c;
            };
            for (bool mnemonic : {true, false})
                for (int k = 1; k <= n; ++k) {
                    const int i = ((m_highlight == kNone ? -1 : m_highlight) + k + n) % n;
                    if (Selectable(i) && matches(i, mnemonic)) {
                        m_highlight = i;
                        if (mnemonic) Choose(i);
                        return true;
                    }
                }
            return false;
        }
    }
    return false;
}

}  // namespace platform
