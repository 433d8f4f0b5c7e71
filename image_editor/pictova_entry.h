#pragma once
// The steps of the image editor's entry that need no window: the base
// directory goes to the settings record, which is loaded or created, then
// the photo-edit dialog runs (the module's export passes it in).
#include <cstdint>
#include <filesystem>
#include <functional>

namespace image_editor {

// Sets the settings record's base directory and loads or creates it; the
// result of the load.
std::uint16_t PrepareEditor(const std::filesystem::path& base);

// The whole entry: prepares, then runs the dialog with the base directory.
void RunEditorEntry(const std::filesystem::path& base,
                    const std::function<void(const std::filesystem::path&)>& runDialog);

}  // namespace image_editor
