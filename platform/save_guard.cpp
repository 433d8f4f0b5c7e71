// Saves share the lock, a barrier holds it alone.
#include "platform/save_guard.h"

#include <shared_mutex>

namespace platform {
namespace {

std::shared_mutex& Saves() {
    static std::shared_mutex saves;
    return saves;
}

}  // namespace

SaveGuard::SaveGuard() { Saves().lock_shared(); }
SaveGuard::~SaveGuard() { Saves().unlock_shared(); }

SaveBarrier::SaveBarrier() { Saves().lock(); }
SaveBarrier::~SaveBarrier() { Saves().unlock(); }

}  // namespace platform
