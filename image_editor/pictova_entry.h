#pragma once
// The steps of the image editor's entry that need no window: the base
// directory goes to the settings record, which is loaded or created. The
// module's export (pictova.cpp) runs them and then the editor; until the
// photo-edit dialog is part of the module it tells the user so instead.
#include <cstdint>
#include <filesystem>

#include "platform/message.h"

namespace image_editor {

// What the user reads while the module has no photo-edit dialog yet.
inline constexpr const char* kEditorNotReadyText = "图片编辑窗口还没有完成, 暂时不能使用 !";

// Sets the settings record's base directory and loads or creates it; the
// result of the load.
std::uint16_t PrepareEditor(const std::filesystem::path& base);

// The whole entry without a window: prepares, then shows the editor (for
// now: the notice through `sink`).
void RunEditorEntry(const std::filesystem::path& base, const platform::MessageSink& sink);

}  // namespace image_editor
