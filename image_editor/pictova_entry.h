#pragma once
// The steps of the image editor's entry that need no window: the editor's
// process-wide objects start afresh, the base directory goes to the settings
// record, which is loaded or created, then the photo-edit dialog runs (the
// module's export passes it in).
//
// The module is not unmapped when the host releases it: its per-thread
// objects (the text converters) have destructors registered for the host's
// window thread, and the C library keeps a library with such destructors
// loaded while that thread lives. Its objects outlive a call, so every call
// makes them new and starts as the first call of a process does.
#include <cstdint>
#include <filesystem>
#include <functional>

namespace image_editor {

// Every process-wide object of the editor as a fresh load of the module has
// it: the engine (photo, background picture, valid area, tool state), the
// settings record, the project reader, the materials, the drawing items and
// the photo-save dialog's last name and folder.
void ResetEditorState();

// Makes the editor's objects new (ResetEditorState), sets the settings
// record's base directory and loads or creates it; the result of the load.
std::uint16_t PrepareEditor(const std::filesystem::path& base);

// The whole entry: prepares, then runs the dialog with the base directory.
void RunEditorEntry(const std::filesystem::path& base,
                    const std::function<void(const std::filesystem::path&)>& runDialog);

}  // namespace image_editor
