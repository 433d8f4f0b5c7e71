#include "image_editor/pictova_entry.h"

#include "image_editor/camera_sys_info.h"

namespace image_editor {

std::uint16_t PrepareEditor(const std::filesystem::path& base) {
    CCameraSysInfo& info = CCameraSysInfo::Instance();
    info.SetBaseDir(base);
    return info.LoadOrCreate();
}

void RunEditorEntry(const std::filesystem::path& base, const platform::MessageSink& sink) {
    (void)PrepareEditor(base);
    if (sink) sink({kEditorNotReadyText, {}, platform::MbButtons::Ok, platform::MbIcon::Information});
}

}  // namespace image_editor
