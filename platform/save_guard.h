#pragma once
// The one save's guard. SaveFileAtomic holds a SaveGuard from its first write
// to its rename; code that must end the process at once (the quit signals'
// watchdog) takes a SaveBarrier first, which waits until no save is in
// progress and keeps new ones waiting while it lives, so that the process
// never ends in the middle of writing a file. Any thread.
namespace platform {

class SaveGuard {
public:
    SaveGuard();
    ~SaveGuard();
    SaveGuard(const SaveGuard&) = delete;
    SaveGuard& operator=(const SaveGuard&) = delete;
};

class SaveBarrier {
public:
    SaveBarrier();  // returns once the saves in progress have ended
    ~SaveBarrier();
    SaveBarrier(const SaveBarrier&) = delete;
    SaveBarrier& operator=(const SaveBarrier&) = delete;
};

}  // namespace platform
