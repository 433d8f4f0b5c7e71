// A module that loads but lacks the download entry.
extern "C" __attribute__((visibility("default"))) void SomethingElse() {}
