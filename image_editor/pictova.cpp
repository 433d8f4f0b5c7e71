// The image editor module's one export. It runs inside the host's wx
// application, with the host's working directory as its base directory; the
// dialog is modal without a parent and destroyed before the entry returns.
#include <string>
#include <wx/app.h>

#include "image_editor/photo_edit_dlg.h"
#include "image_editor/pictova_entry.h"
#include "platform/files.h"
#include "platform/image/picture_io.h"
#include "platform/ui/message_box.h"

extern "C" __attribute__((visibility("default"))) void CPictova() {
    if (!wxTheApp) return;
    // The module's boxes carry its own name, as the host's carry the host's.
    const platform::ui::ScopedDefaultCaption caption("Pictova");
    std::string error;
    const auto base = platform::CurrentBaseDirectory(&error);
    if (!base) {
        platform::ui::ShowMessage(error, platform::MbButtons::Ok, platform::MbIcon::Stop);
        return;
    }
    platform::image::EnsureImageHandlers();
    image_editor::RunEditorEntry(*base, [](const std::filesystem::path& dir) { image_editor::RunPhotoEditDialog(dir); });
}
