#include "project_editor/stage_slot.h"

#include <memory>

namespace project_editor {

void StageSlot::Empty() {
    used = ' ';
    shown = ' ';
    name.clear();
    part = -1;
}

Rect StageSlot::Box(Point origin) const {
    return FittedBox(pictureWidth, pictureHeight, origin.x + x, origin.y + y, scaledWidth, scaledHeight);
}

namespace {
std::unique_ptr<StageSlotTable>& Holder() {
    static std::unique_ptr<StageSlotTable> table;
    return table;
}
}  // namespace

StageSlotTable& StageSlotTable::Instance() {
    auto& t = Holder();
    if (!t) t = std::make_unique<StageSlotTable>();
    return *t;
}

void StageSlotTable::ResetInstance() { Holder() = std::make_unique<StageSlotTable>(); }

StageSlot* StageSlotTable::CurrentOccupied(int partCount) {
    return Occupied(m_current, partCount) ? &Slot(m_current) : nullptr;
}

int StageSlotTable::SlotOfPart(int part, int partCount) const {
    for (int s = 0; s < kStageSlotCount; ++s)
        if (Occupied(s, partCount) && Slot(s).part == part) return s;
    return kNoSlot;
}

void StageSlotTable::EmptyAll() {
    for (auto& s : m_slots) s.Empty();
    m_current = kNoSlot;
}

}  // namespace project_editor
