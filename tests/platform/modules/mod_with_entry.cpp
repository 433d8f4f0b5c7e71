// A loadable module whose entry appends one line to the file named by the
// environment variable MOD_ENTRY_LOG, so a test can see that it ran.
#include <cstdio>
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) void TestEntry() {
    const char* log = std::getenv("MOD_ENTRY_LOG");
    if (!log) return;
    if (std::FILE* f = std::fopen(log, "a")) {
        std::fputs("TestEntry\n", f);
        std::fclose(f);
    }
}
