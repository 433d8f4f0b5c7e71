#include "project_editor/part_gallery.h"

#include <algorithm>

namespace project_editor {

PartGallery::PartGallery(CProjectStore& store) : m_store(store) {}

std::vector<std::string> PartGallery::ComboEntries() const {
    std::vector<std::string> out;
    if (m_mode == kMarkDepth) {
        for (int i = 1; i <= 99; ++i) out.push_back(std::to_string(i));
        return out;
    }
    out.emplace_back("全部");
    const int n = m_store.PartCount();
    for (int i = 0; i < n; ++i)
        if (m_store.Part(i).RowType() == 'T') out.push_back(m_store.Part(i).Name());
    return out;
}

char PartGallery::CategoryLetter(int k) const {
    if (k <= 0) return 0;
    const int n = m_store.PartCount();
    int seen = 0;
    for (int i = 0; i < n; ++i) {
        if (m_store.Part(i).RowType() != 'T') continue;
        if (++seen == k) return m_store.Part(i).Category();
    }
    return 0;
}

bool PartGallery::Listed(int part, char letter) const {
    const PartRecord& r = m_store.Part(part);
    if (r.RowType() == 'T' || r.RowType() == 'K' || r.PictureName().empty()) return false;
    return m_display == 0 || (letter != 0 && r.Category() == letter);
}

void PartGallery::Rebuild() {
    m_items.clear();
    m_first = 0;
    const char letter = CategoryLetter(m_display);
    if (m_display != 0 && letter == 0) return;
    const int n = m_store.PartCount();
    for (int i = 0; i < n; ++i)
        if (Listed(i, letter)) m_items.push_back(i);
}

void PartGallery::SetDisplay(int index) {
    m_display = std::max(0, index);
    Rebuild();
}

void PartGallery::SetRect(const Rect& r) {
    m_rect = r;
    m_rows = std::max(0, r.height() / kGalleryCellHeight);
    m_margin = (r.width() - kGalleryColumns * kGalleryCellWidth) / 2;
}

std::vector<GalleryCell> PartGallery::Cells() const {
    std::vector<GalleryCell> cells;
    const int count = static_cast<int>(m_items.size());
    for (int i = 0; i < m_rows; ++i) {
        for (int j = 0; j < kGalleryColumns; ++j) {
            const int t = m_rect.left + m_margin + kGalleryCellWidth * j;
            const int y = m_rect.top + 6 + kGalleryCellHeight * i;
            GalleryCell c;
            c.ordinal = m_first + kGalleryColumns * i + j;
            c.picture = {t + 30, y, t + 110, y + 80};
            c.name = {t, y + 85, t + kGalleryNameWidth, y + 110};
            c.below = {t, y + 115, t + kGalleryNameWidth, y + 140};
            const int shared = (kGalleryNameWidth - kGalleryCellWidth) / 2;
            c.nameClip = {std::max(c.name.left + shared, m_rect.left + 1), std::max(c.name.top, m_rect.top + 1),
                          std::min(c.name.right - shared, m_rect.right - 1),
                          std::min(c.name.bottom, m_rect.bottom - 1)};
            if (c.ordinal < count) c.part = m_items[static_cast<std::size_t>(c.ordinal)];
            cells.push_back(c);
        }
    }
    return cells;
}

bool PartGallery::PageDown() {
    if (m_first + PageSize() >= static_cast<int>(m_items.size())) return false;
    m_first += PageSize();
    return true;
}

bool PartGallery::PageUp() {
    if (m_first == 0) return false;
    m_first = std::max(0, m_first - PageSize());
    return true;
}

int PartGallery::HitTest(Point p) const {
    for (const GalleryCell& c : Cells())
        if (c.part >= 0 && c.picture.Contains(p)) return c.ordinal;
    return -1;
}

int PartGallery::Pick(Point p) {
    const int o = HitTest(p);
    if (o < 0) return -1;
    const int part = m_items[static_cast<std::size_t>(o)];
    if (m_mode != kMarkDisplay) {
        FaceRecord& f = m_store.Face(part);
        f.SetMark(f.Mark() == 'Y' ? ' ' : 'Y');
    }
    return part;
}

std::string PartGallery::ModeCaption(int mode) {
    switch (mode) {
        case kMarkCategory: return "选择改类>";
        case kMarkDepth: return "选改深度>";
        default: return "显示设置:";
    }
}

std::string PartGallery::AdvanceMarkingMode() {
    m_mode = (m_mode + 1) % 3;
    return ModeCaption(m_mode);
}

bool PartGallery::Marked(int part) const {
    return part >= 0 && part < m_store.PartCount() &&
           m_store.Project().faces.at(static_cast<std::size_t>(part)).Mark() == 'Y';
}

void PartGallery::ClearMarks() {
    for (int i = 0; i < kMaxFaces; ++i)
        if (m_store.Face(i).Mark() == 'Y') m_store.Face(i).SetMark(' ');
}

GalleryChange PartGallery::ComboSelected(int index, std::vector<int>* newIndexOf) {
    if (m_mode == kMarkCategory) {
        const char letter = CategoryLetter(index);
        if (letter == 0) return GalleryChange::Nothing;
        std::vector<int> map = MoveMarkedParts(m_store, letter);
        ClearMarks();
        m_mode = kMarkDisplay;
        Rebuild();
        if (map.empty()) return GalleryChange::Nothing;
        m_store.AddModified();
        if (newIndexOf) *newIndexOf = std::move(map);
        return GalleryChange::Moved;
    }
    if (m_mode == kMarkDepth) {
        const int depth = index + 1;  // the entries are 1..99
        int changed = 0;
        const int n = m_store.PartCount();
        if (depth >= 1 && depth <= 99) {
            for (int i = 0; i < n; ++i) {
                PartRecord& r = m_store.Part(i);
                if (!Marked(i) || r.RowType() == 'T' || r.RowType() == 'K') continue;
                r.SetDepth(depth);
                m_store.AddModified();
                ++changed;
            }
        }
        ClearMarks();
        m_mode = kMarkDisplay;
        m_display = 0;
        Rebuild();
        return changed > 0 ? GalleryChange::Redepthed : GalleryChange::Nothing;
    }
    SetDisplay(index);
    return GalleryChange::Display;
}

std::string PartGallery::ProcessLabel(int depth, const std::string& name) {
    return "[" + std::to_string(depth) + "]" + name;
}

std::uint32_t PartGallery::ProcessColour(int depth) {
    const int d = std::clamp(depth, 1, 99);
    const unsigned r = static_cast<unsigned>(255 - d) & 0xFF;
    const unsigned g = static_cast<unsigned>(2 * ((-d - 5) % 128)) & 0xFF;
    const unsigned b = 22;
    return r | (g << 8) | (b << 16);
}

std::vector<int> MoveMarkedParts(CProjectStore& store, char letter) {
    const int n = store.PartCount();
    std::vector<int> marked, rest;
    int caption = -1;
    for (int i = 0; i < n; ++i) {
        const bool isCaption = store.Part(i).RowType() == 'T';
        if (isCaption && caption < 0 && store.Part(i).Category() == letter) caption = i;
        if (!isCaption && store.Face(i).Mark() == 'Y') marked.push_back(i); else rest.push_back(i);
    }
    if (caption < 0 || marked.empty()) return {};
    // New order: the others as they were, the marked ones right behind the caption row.
    std::vector<int> order;
    for (int i : rest) {
        order.push_back(i);
        if (i == caption) order.insert(order.end(), marked.begin(), marked.end());
    }
    std::vector<PartRecord> parts;
    std::vector<FaceRecord> faces;
    for (int i : order) {
        parts.push_back(store.Part(i));
        faces.push_back(store.Face(i));
    }
    std::vector<int> newIndexOf(static_cast<std::size_t>(n), -1);
    for (int k = 0; k < n; ++k) {
        const int old = order[static_cast<std::size_t>(k)];
        store.Part(k) = parts[static_cast<std::size_t>(k)];
        store.Face(k) = faces[static_cast<std::size_t>(k)];
        newIndexOf[static_cast<std::size_t>(old)] = k;
    }
    for (int old : marked) store.Part(newIndexOf[static_cast<std::size_t>(old)]).SetCategory(letter);
    return newIndexOf;
}

}  // namespace project_editor
