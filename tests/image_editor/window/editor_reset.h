#pragma once
// The photo editor's process-wide objects made new for a test's base
// directory: the settings record, the project reader, the materials, the
// drawing items and the engine.
#include <filesystem>

#include "image_editor/basic_project_reader.h"
#include "image_editor/camera_sys_info.h"
#include "image_editor/canvas_control.h"
#include "image_editor/material_table.h"
#include "image_editor/photo_engine.h"
#include "platform/image/picture_io.h"

namespace editortest {

inline void ResetEditor(const std::filesystem::path& base) {
    using namespace image_editor;
    CCameraSysInfo::ResetInstance();
    CCameraSysInfo::Instance().SetBaseDir(base);
    CCameraSysInfo::Instance().LoadOrCreate();
    Reader().SetBaseDir(base);
    Materials().Clear();
    EditorDrawing().Clear();
    ResetEngine();
    platform::image::EnsureImageHandlers();
}

}  // namespace editortest
