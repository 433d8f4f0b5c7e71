// A loadable module with an export, but not the entry the tests look for.
extern "C" __attribute__((visibility("default"))) int OtherExport() { return 7; }
