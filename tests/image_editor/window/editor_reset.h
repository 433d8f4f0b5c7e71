#pragma once
// The photo editor's process-wide objects made new for a test's base
// directory, as the editor's entry makes them for each call: the settings
// record, the project reader, the materials, the drawing items and the
// engine.
#include <filesystem>

#include "image_editor/pictova_entry.h"
#include "platform/image/picture_io.h"

namespace editortest {

inline void ResetEditor(const std::filesystem::path& base) {
    image_editor::PrepareEditor(base);
    platform::image::EnsureImageHandlers();
}

}  // namespace editortest
