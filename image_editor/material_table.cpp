#include "image_editor/material_table.h"

#include <algorithm>

namespace image_editor {

namespace {
int Trunc(double v) { return static_cast<int>(v); }
}  // namespace

int CMaterialTable::Place(const PartPlacement& p) {
    if (p.naturalWidth <= 0 || p.naturalHeight <= 0 || p.picture.empty()) return -1;
    const int slot = SlotForLayer(p.layer);
    Material& m = m_entries[static_cast<std::size_t>(slot)];
    // A replacement keeps the scale and shift the user gave the one before.
    bool keep = false;
    double ratio = 1.0;
    int shiftX = 0, shiftY = 0;
    if (m.visible() && m.saved == 'Y' && m.savedWidth > 0) {
        keep = true;
        ratio = static_cast<double>(m.width) / m.savedWidth;
        shiftX = m.x - m.savedX;
        shiftY = m.y - m.savedY;
    }
    const double scale = p.scale > 0 ? p.scale : 1.0;
    const int nw = p.naturalWidth, nh = p.naturalHeight;
    // The box is the scaled picture at the part's position; the picture is
    // fitted to its aspect ratio and moved across by half the difference
    // between the box's longer side and the fitted shorter one. That is the
    // rule by which the project builder's stage and the fitting room draw the
    // part at this position (a wide picture centred in a square of its
    // width), so the material lands where the project puts it.
    int w = Trunc(nw * scale), h = Trunc(nh * scale);
    int offX = 0, offY = 0;
    if (nw > nh) {
        h = Trunc(static_cast<double>(w) / nw * nh);
        offY += (w - h) / 2;
    } else if (nh > nw) {
        w = Trunc(static_cast<double>(nw) * h / nh);
        offX += (h - w) / 2;
    }
    m = Material{};
    m.placed = m.shown = m.saved = 'Y';
    m.width = w;
    m.height = h;
    m.naturalWidth = nw;
    m.naturalHeight = nh;
    m.x = p.x + (w + 2 * offX) / 2;
    m.y = p.y + (h + 2 * offY) / 2;
    m.savedWidth = w;
    m.savedX = m.x;
    m.savedY = m.y;
    m.part = p.part;
    m.picture = p.picture;
    if (keep) {
        m.width = Trunc(m.width * ratio);
        m.height = Trunc(m.height * ratio);
        m.x += shiftX;
        m.y += shiftY;
    }
    m_selected = slot;
    return slot;
}

bool CMaterialTable::Wheel(bool up, int canvasWidth) {
    if (!SelectedVisible()) return false;
    Material& m = m_entries[static_cast<std::size_t>(m_selected)];
    if (up) {
        int w = Trunc(m.width * kGrow), h = Trunc(m.height * kGrow);
        if (w == m.width) ++w;
        if (h == m.height) ++h;
        const int limit = Trunc(1.5 * canvasWidth);
        if (w >= limit || h >= limit) return false;
        m.width = w;
        m.height = h;
    } else {
        const int w = Trunc(m.width * kShrink), h = Trunc(m.height * kShrink);
        if (w <= 3 || h <= 3) return false;
        m.width = w;
        m.height = h;
    }
    return true;
}

bool CMaterialTable::MoveSelected(int dx, int dy, int canvasWidth, int canvasHeight) {
    if (!SelectedVisible()) return false;
    Material& m = m_entries[static_cast<std::size_t>(m_selected)];
    int x = m.x + dx, y = m.y + dy;
    if (x < kDragMinX) x = 0;
    if (x >= canvasWidth) x = canvasWidth;
    if (y < kDragMinX) y = kDragMinX;
    if (y >= canvasHeight) y = canvasHeight;
    m.x = x;
    m.y = y;
    return true;
}

void CMaterialTable::MoveAllBy(int dx, int dy) {
    for (Material& m : m_entries)
        if (m.visible()) {
            m.x += dx;
            m.y += dy;
        }
    ResetOffsets();
}

int CMaterialTable::SelectNext() {
    for (int k = 1; k <= kSlots; ++k) {
        const int slot = ((m_selected < 0 ? -1 : m_selected) + k + kSlots) % kSlots;
        if (m_entries[static_cast<std::size_t>(slot)].visible()) {
            m_selected = slot;
            return slot;
        }
    }
    m_selected = -1;
    return -1;
}

int CMaterialTable::DeleteSelected() {
    if (m_selected < 0) return -1;
    m_entries[static_cast<std::size_t>(m_selected)].shown = ' ';
    return SelectNext();
}

void CMaterialTable::HideAll() {
    for (Material& m : m_entries) m.shown = ' ';
    m_selected = -1;
}

void CMaterialTable::Clear() {
    m_entries.fill(Material{});
    m_selected = -1;
    ResetOffsets();
}

bool CMaterialTable::AnyVisible() const {
    for (const Material& m : m_entries)
        if (m.visible()) return true;
    return false;
}

CMaterialTable& Materials() {
    static CMaterialTable table;
    return table;
}

}  // namespace image_editor
