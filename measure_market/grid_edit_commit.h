#pragma once
// Ending a grid's edit before the owner acts on its data: a save, a total, an
// order-file write, a row operation or closing the window. The value typed
// into the cell's editor lands on its own row first, so nothing typed is
// lost. Shared by the measurement form and the market's order form.
#include "controls/grid_core_base.h"

namespace measure {

// True when no edit was open or the typed value was stored; false when the
// grid could not store it (the editor stays open with the value).
inline bool CommitGridEdit(CGridCoreBase& grid) { return !grid.IsEditing() || grid.EndEdit() != 0; }

}  // namespace measure
