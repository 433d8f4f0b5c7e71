// Stands for the download module on a machine whose network cannot start:
// its start-up refuses, so its entry must never run (it would leave a mark in
// the file named by SHELL_TEST_MARK).
#include <cstdio>
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) int ModuleInitInstance() { return 0; }

extern "C" __attribute__((visibility("default"))) void Dolvane() {
    if (const char* mark = std::getenv("SHELL_TEST_MARK")) {
        if (FILE* f = std::fopen(mark, "a")) {
            std::fputs("ran\n", f);
            std::fclose(f);
        }
    }
}
