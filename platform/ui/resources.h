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
#include <wx/imaglist.h>

namespace platform::ui {

std::filesystem::path ResourceDir();
void SetResourceDir(const std::filesystem::path& dir);  // tests

wxBitmap LoadBitmapResource(int id);
wxIcon LoadIconResource(int id);
wxCursor LoadCursorResource(int id);

// Creates `list` for square cells of `cell` pixels and fills it with the cells
// of the bitmap resource `id`, a strip of them side by side, each masked by
// `mask`. The strip is cut through images: the toolkit's own cutting of a
// masked strip reads past its pixel rows. A missing strip leaves the list empty.
void LoadImageListStrip(wxImageList& list, int id, int cell, const wxColour& mask);

}  // namespace platform::ui
