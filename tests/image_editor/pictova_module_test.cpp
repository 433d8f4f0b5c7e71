// The built module: it loads, its one export is found and called. Without a
// host application the entry returns at once (nothing to show a dialog in).
#include <gtest/gtest.h>

#include <dlfcn.h>

#include "platform/shell.h"

TEST(PictovaModule, ExportsItsEntryOnly) {
    // The module stays mapped for the life of the test program, with the
    // toolkit it brings, as it does in the host: unmapping the toolkit would
    // turn its start-up allocations into leaks that are none.
    void* h = dlopen((std::string(PICTOVA_MODULE_DIR) + "/Pictova.so").c_str(),
                     RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    ASSERT_NE(h, nullptr);
    std::string error;
    EXPECT_EQ(platform::CallModuleEntry(PICTOVA_MODULE_DIR, "Pictova.so", "CPictova", &error),
              platform::BindOutcome::Ran)
        << error;
    EXPECT_NE(dlsym(h, "CPictova"), nullptr);
    for (const char* hidden : {"_ZN12image_editor14CCameraSysInfo8InstanceEv", "_ZN12image_editor6EngineEv"})
        EXPECT_EQ(dlsym(h, hidden), nullptr) << hidden;
    dlclose(h);
}
