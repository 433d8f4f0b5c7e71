#pragma once
// Numbered bitmaps, icons and cursors. They live as PNG files in the folder
// "resources" beside the running executable:
//   resources/bitmap/<id>.png, resources/icon/<id>.png,
//   resources/cursor/<id>.png with resources/cursor/<id>.hotspot ("x y").
// A missing resource gives an invalid bitmap/icon and the standard arrow.
#include <filesystem>
#include <wx/bitmap.h>
#include <wx/cursor.h>
#include <wx/icon.h>

namespace platform::ui {

std::filesystem::path ResourceDir();
void SetResourceDir(const std::filesystem::path& dir);  // tests

wxBitmap LoadBitmapResource(int id);
wxIcon LoadIconResource(int id);
wxCursor LoadCursorResource(int id);

}  // namespace platform::ui
