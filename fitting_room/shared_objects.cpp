#include "fitting_room/shared_objects.h"

#include <memory>

namespace fitting_room {
namespace {

template <typename T>
std::unique_ptr<T>& Slot(int which) {
    static std::unique_ptr<T> objects[3];
    auto& p = objects[which];
    if (!p) p = std::make_unique<T>();
    return p;
}

}  // namespace

CGarmentPicList& RightGarmentList() { return *Slot<CGarmentPicList>(0); }
CGarmentPicList& LeftGarmentList() { return *Slot<CGarmentPicList>(1); }
CGarmentPicList& MarketGarmentList() { return *Slot<CGarmentPicList>(2); }
CFittingModel& FittingModel() { return *Slot<CFittingModel>(0); }

void ResetSharedObjects() {
    for (int i = 0; i < 3; ++i) Slot<CGarmentPicList>(i) = std::make_unique<CGarmentPicList>();
    Slot<CFittingModel>(0) = std::make_unique<CFittingModel>();
}

}  // namespace fitting_room
