#include "image_editor/pictova_entry.h"

#include "image_editor/basic_project_reader.h"
#include "image_editor/camera_sys_info.h"

namespace image_editor {

std::uint16_t PrepareEditor(const std::filesystem::path& base) {
    CCameraSysInfo& info = CCameraSysInfo::Instance();
    info.SetBaseDir(base);
    Reader().SetBaseDir(base);
    return info.LoadOrCreate();
}

void RunEditorEntry(const std::filesystem::path& base,
                    const std::function<void(const std::filesystem::path&)>& runDialog) {
    (void)PrepareEditor(base);
    if (runDialog) runDialog(base);
}

}  // namespace image_editor
