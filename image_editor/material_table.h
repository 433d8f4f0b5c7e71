#pragma once
// The clothing materials placed on the photo-edit canvas: one entry per slot
// 0..100 (the slot comes from the part's layer, so a new pick of the same
// kind replaces the one worn before, keeping its scale and shift), the
// selected slot and the move-all offsets. Each entry keeps the path of its
// own picture, so a material stays what it was after the dialog switches to
// another project. Main thread only; one process-wide table through
// Materials(), tests build their own.
#include <array>
#include <filesystem>

namespace image_editor {

struct Material {
    char placed = ' ';
    char shown = ' ';
    char saved = ' ';  // the saved width, x and y hold an earlier placement
    int x = 0, y = 0;  // centre, canvas coordinates without the move-all offsets
    int width = 0, height = 0;
    int naturalWidth = 0, naturalHeight = 0;
    int part = -1;  // the part it came from (information only; the picture is below)
    int savedWidth = 0, savedX = 0, savedY = 0;
    std::filesystem::path picture;
    bool visible() const { return placed == 'Y' && shown == 'Y' && !picture.empty(); }
};

// What placing needs of a part and its picture.
struct PartPlacement {
    int layer = 0;       // the part's depth field: the slot (below 0: 10, above 100: 90)
    double scale = 1.0;  // the part's scale factor (0 or less: 1.0)
    int x = 0, y = 0;    // the part's position: the corner of its box (a wide picture sits in a square of its width)
    int naturalWidth = 0, naturalHeight = 0;
    int part = -1;
    std::filesystem::path picture;
};

class CMaterialTable {
public:
    static constexpr int kSlots = 101;
    static constexpr double kGrow = 1.0256;
    static constexpr double kShrink = 0.975;
    static constexpr int kDragMinX = -90;

    static int SlotForLayer(int layer) { return layer < 0 ? 10 : layer > 100 ? 90 : layer; }

    // Places the part in its slot and selects it; the slot. A picture without
    // a size places nothing (-1).
    int Place(const PartPlacement& p);

    // One wheel notch on the selected material (false when nothing changed):
    // up grows by 1.0256 while both sides stay below 1.5 x the canvas width,
    // down shrinks by 0.975 while both stay above 3.
    bool Wheel(bool up, int canvasWidth);
    // Moves the selected material by (dx, dy) and keeps its centre on the
    // canvas: x below -90 jumps to 0, y below -90 stops at -90, either at or
    // beyond the canvas size stops at it.
    bool MoveSelected(int dx, int dy, int canvasWidth, int canvasHeight);

    // Live offsets of a move-all drag, and folding them in at its end.
    void AddOffset(int dx, int dy) { m_dx += dx, m_dy += dy; }
    int offsetX() const { return m_dx; }
    int offsetY() const { return m_dy; }
    // Every visible material moves by (dx, dy); the offsets return to 0.
    void MoveAllBy(int dx, int dy);
    void ResetOffsets() { m_dx = m_dy = 0; }

    // The next visible material after the selected one, wrapping; -1 when none.
    int SelectNext();
    // Hides the selected material and selects the next visible one; the new
    // selection (-1 when none is left).
    int DeleteSelected();
    void HideAll();
    void Clear();

    int selected() const { return m_selected; }
    void Select(int slot) { m_selected = slot >= 0 && slot < kSlots ? slot : -1; }
    bool SelectedVisible() const { return m_selected >= 0 && m_entries[m_selected].visible(); }
    bool AnyVisible() const;
    const Material& at(int slot) const { return m_entries[static_cast<std::size_t>(slot)]; }
    Material& at(int slot) { return m_entries[static_cast<std::size_t>(slot)]; }

private:
    std::array<Material, kSlots> m_entries{};
    int m_selected = -1;
    int m_dx = 0, m_dy = 0;
};

CMaterialTable& Materials();

}  // namespace image_editor
