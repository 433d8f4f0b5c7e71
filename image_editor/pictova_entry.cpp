#include "image_editor/pictova_entry.h"

#include "image_editor/basic_project_reader.h"
#include "image_editor/camera_sys_info.h"
#include "image_editor/canvas_control.h"
#include "image_editor/material_table.h"
#include "image_editor/photo_engine.h"
#include "image_editor/sub_dialog_rules.h"

namespace image_editor {

void ResetEditorState() {
    ResetEngine();
    CCameraSysInfo::ResetInstance();
    Reader() = CBasicProjectReader{};
    Materials() = CMaterialTable{};
    EditorDrawing() = picture_controls::CDrawItemList{};
    SaveMemory() = PhotoSaveMemory{};
}

std::uint16_t PrepareEditor(const std::filesystem::path& base) {
    ResetEditorState();
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
