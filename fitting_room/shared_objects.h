#pragma once
// The fitting room's process-wide objects: the right-hand and left-hand
// garment lists of the fitting room, the market's garment list and the one
// fitting model. Each is made on first use and lives until exit; tests reset
// them. Window thread only.
#include "fitting_room/fitting_model.h"
#include "fitting_room/garment_pic_list.h"

namespace fitting_room {

CGarmentPicList& RightGarmentList();
CGarmentPicList& LeftGarmentList();
CGarmentPicList& MarketGarmentList();
CFittingModel& FittingModel();

// Fresh objects in place of the old ones (tests).
void ResetSharedObjects();

}  // namespace fitting_room
