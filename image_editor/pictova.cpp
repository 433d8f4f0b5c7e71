// The image editor module's one export. It runs inside the host's wx
// application, with the host's working directory as its base directory.
#include <string>
#include <wx/app.h>

#include "image_editor/pictova_entry.h"
#include "platform/files.h"
#include "platform/ui/message_box.h"

extern "C" __attribute__((visibility("default"))) void CPictova() {
    if (!wxTheApp) return;
    // The module's boxes carry its own name, as the host's carry the host's.
    platform::ui::SetDefaultCaption("Pictova");
    std::string error;
    const auto base = platform::CurrentBaseDirectory(&error);
    if (!base) {
        platform::ui::ShowMessage(error, platform::MbButtons::Ok, platform::MbIcon::Stop);
        return;
    }
    image_editor::RunEditorEntry(*base, platform::ui::MessageSinkFor(nullptr));
}
