// The camera module's one export. It runs inside the host's wx application:
// the dialog is modal without a parent and is destroyed (its stream thread
// joined) before the entry returns, so nothing of the module runs when the
// host releases it.
#include <dlfcn.h>
#include <wx/app.h>

#include <string>

#include "camera/lensory_dlg.h"
#include "platform/files.h"
#include "platform/ui/message_box.h"

extern "C" __attribute__((visibility("default"))) void Lensory() {
    if (!wxTheApp) return;
    // The module's boxes carry its own name, as the host's carry the host's.
    const platform::ui::ScopedDefaultCaption caption("Lensory");
    std::string error;
    const auto base = platform::CurrentBaseDirectory(&error);
    if (!base) {
        platform::ui::ShowMessage(error, platform::MbButtons::Ok, platform::MbIcon::Stop);
        return;
    }
    RunCaptureDialog(*base);
    // The shutter may still sound, and the audio device stays open with its
    // thread inside the sound libraries, which came in with this module: keep
    // them mapped when the host releases the module.
    for (const char* lib : {"libSDL2_mixer-2.0.so.0", "libSDL2-2.0.so.0"})
        ::dlopen(lib, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}
