#pragma once
// StageSlot: Pavanel's table of 100 stage slots, one per depth layer (slot 0
// in front), and the current slot. Shared by the stage canvas, which draws and
// hit-tests it, and the stage editor view, which fills and changes it.
// Reached through StageSlotTable::Instance(); user-interface thread only.
//
// A slot shows a part only while both its marks are 'Y' and its part index
// lies inside the open project (0..N-1); everything that reads a slot asks
// Occupied(n) first, so a slot left over from another project never draws
// or changes a record.
#include <array>
#include <string>

#include "picture_controls/geometry.h"

namespace project_editor {

using picture_controls::Point;
using picture_controls::Rect;
using picture_controls::FitRect;
using picture_controls::FittedBox;

inline constexpr int kStageSlotCount = 100;
inline constexpr int kNoSlot = -1;

struct StageSlot {
    char used = ' ';      // 'Y' while the slot shows a part
    char reserved = ' ';
    char shown = ' ';     // set and cleared with `used`
    std::string name;     // label, at most 69 bytes
    int reservedInt = -1;
    int x = 50;           // top-left relative to the stage rectangle
    int y = 50;
    int scaledWidth = 40;  // picture size times the part's scale
    int scaledHeight = 40;
    int pictureWidth = 40;  // natural size of the part's picture
    int pictureHeight = 40;
    int part = -1;          // index of the PartRecord shown

    bool Occupied(int partCount) const {
        return used == 'Y' && shown == 'Y' && part >= 0 && part < partCount;
    }
    // Marks ' ', name empty, part index -1.
    void Empty();
    // The box the picture is drawn in, on a stage whose top-left is `origin`.
    Rect Box(Point origin) const;
};

class StageSlotTable {
public:
    static StageSlotTable& Instance();
    static void ResetInstance();

    StageSlot& Slot(int s) { return m_slots.at(static_cast<std::size_t>(s)); }
    const StageSlot& Slot(int s) const { return m_slots.at(static_cast<std::size_t>(s)); }
    static bool ValidSlot(int s) { return s >= 0 && s < kStageSlotCount; }
    bool Occupied(int s, int partCount) const { return ValidSlot(s) && Slot(s).Occupied(partCount); }

    int Current() const { return m_current; }
    void SetCurrent(int s) { m_current = ValidSlot(s) ? s : kNoSlot; }
    // The current slot when it shows a part of the open project, else null.
    StageSlot* CurrentOccupied(int partCount);
    // The slot showing part `part`, or -1.
    int SlotOfPart(int part, int partCount) const;

    // Every slot emptied and no current slot.
    void EmptyAll();
private:
    std::array<StageSlot, kStageSlotCount> m_slots{};
    int m_current = kNoSlot;
};

}  // namespace project_editor
