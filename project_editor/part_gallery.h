#pragma once
// The part gallery of the stage editor, without a window: which parts are
// listed (all, or one category), the paged 3-column layout of 130 x 150 px
// cells and its hot rectangles, hit testing and picking, the marks of the
// marking modes and the two batch operations on the marked parts (change
// category, change depth). The view owns one and draws its Cells().
//
// Window thread only. Reads and changes the project store it is given; the
// part marks live in byte 4 of each part's face record.
#include <cstdint>
#include <string>
#include <vector>

#include "picture_controls/geometry.h"
#include "project_editor/project_store.h"

namespace project_editor {

using picture_controls::Point;
using picture_controls::Rect;

inline constexpr int kGalleryColumns = 3;
inline constexpr int kGalleryCellWidth = 130;
inline constexpr int kGalleryCellHeight = 150;
inline constexpr int kGalleryNameWidth = 140;  // 'T' and 'P'
inline constexpr std::uint32_t kGalleryBackground = 0xF6F6F6;  // R 246 G 246 B 246
inline constexpr std::uint32_t kGalleryNameColour = 0x818181;  // R 129 G 129 B 129
inline constexpr std::uint32_t kGalleryMarkFill = 0xBEBEBE;    // R 190 G 190 B 190
inline constexpr std::uint32_t kGalleryPen = 0x00FF00;         // R 0 G 255 B 0
inline constexpr std::uint32_t kGalleryProcessText = 0x130000;  // R 0 G 0 B 19

// Marking modes and their captions (control 1159).
inline constexpr int kMarkDisplay = 0;
inline constexpr int kMarkCategory = 1;
inline constexpr int kMarkDepth = 2;

struct GalleryCell {
    int ordinal = 0;    // index into the item list
    int part = -1;      // -1: beyond the list (kind 'x'), nothing drawn
    Rect picture;       // 'G'
    Rect name;          // 'T'
    Rect below;         // 'P'
    // Where the name may draw: 'T' less the 5 px at each side that the
    // neighbouring cells' 'T's share with it (they are 140 px wide on a
    // 130 px pitch), inside the gallery's edge. The name is centred in 'T'
    // and cut at this rectangle, so a long name never reaches its
    // neighbours' names nor leaves the gallery.
    Rect nameClip;
    Rect MarkBox() const { return {below.right - 16, below.bottom - 16, below.right, below.bottom}; }
};

// What a change of the display combo did.
enum class GalleryChange {
    Display,        // mode 0: another category shown from page 0
    Moved,          // mode 1: marked parts moved into a category (records renumbered)
    Redepthed,      // mode 2: marked parts got the chosen depth
    Nothing,        // "全部" chosen in mode 1, or nothing marked
};

class PartGallery {
public:
    explicit PartGallery(CProjectStore& store);

    // The combo's entries: "全部" and the caption rows' names, or "1".."99"
    // in the depth mode.
    std::vector<std::string> ComboEntries() const;
    // The category letter of display index k (the k-th caption row's own
    // letter); 0 for "全部" or an index with no caption row.
    char CategoryLetter(int k) const;

    // Lists the parts of the display index from page 0.
    void Rebuild();
    void SetDisplay(int index);
    int display() const { return m_display; }
    const std::vector<int>& items() const { return m_items; }

    // The gallery's rectangle in view coordinates; rows = height / 150.
    void SetRect(const Rect& r);
    const Rect& rect() const { return m_rect; }
    int rows() const { return m_rows; }
    int PageSize() const { return kGalleryColumns * m_rows; }
    int first() const { return m_first; }
    // The cells of the page, row by row.
    std::vector<GalleryCell> Cells() const;

    bool CanPageUp() const { return m_first > 0; }
    bool CanPageDown() const { return m_first + PageSize() < static_cast<int>(m_items.size()); }
    bool PageDown();
    bool PageUp();

    // The item ordinal under a point (only on a listed cell's picture), or -1.
    int HitTest(Point p) const;
    // A left press on a cell: the part picked (-1 when none). In a marking
    // mode its mark toggles.
    int Pick(Point p);

    int markingMode() const { return m_mode; }
    // 0 -> 1 -> 2 -> 0; returns the caption of control 1159.
    std::string AdvanceMarkingMode();
    static std::string ModeCaption(int mode);
    bool Marked(int part) const;
    void ClearMarks();

    // The display combo's selection changed. For mode 1 `newIndexOf` gets,
    // for every old part index, its new one.
    GalleryChange ComboSelected(int index, std::vector<int>* newIndexOf = nullptr);

    // Processing mode: the label "[depth]name" and its background.
    static std::string ProcessLabel(int depth, const std::string& name);
    static std::uint32_t ProcessColour(int depth);

private:
    bool Listed(int part, char letter) const;

    CProjectStore& m_store;
    int m_display = 0;
    std::vector<int> m_items;
    int m_first = 0;
    Rect m_rect;
    int m_rows = 0;
    int m_margin = 0;
    int m_mode = kMarkDisplay;
};

// Moves the marked parts (not caption rows) right behind the caption row of
// category letter `letter`, in their project order, with that letter; part
// and face records move together. Returns the new index of every old index
// (empty when nothing moved).
std::vector<int> MoveMarkedParts(CProjectStore& store, char letter);

}  // namespace project_editor
