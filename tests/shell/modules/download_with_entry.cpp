// Stands for the download module: its entry leaves a mark in the file named
// by SHELL_TEST_MARK, so the test sees that it ran.
#include <cstdio>
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) void Dolvane() {
    if (const char* mark = std::getenv("SHELL_TEST_MARK")) {
        if (FILE* f = std::fopen(mark, "a")) {
            std::fputs("ran\n", f);
            std::fclose(f);
        }
    }
}
