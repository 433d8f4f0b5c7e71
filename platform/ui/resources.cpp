#include "platform/ui/resources.h"

#include <fstream>
#include <wx/image.h>

#include "platform/shell.h"

namespace platform::ui {
namespace {

std::filesystem::path& DirStore() {
    static std::filesystem::path dir;
    return dir;
}

wxImage LoadImageFile(const std::filesystem::path& p) {
    wxImage img;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(p, ec)) return img;
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxInitAllImageHandlers();
    img.LoadFile(wxString::FromUTF8(p.string()), wxBITMAP_TYPE_PNG);
    return img;
}

std::filesystem::path ResourceFile(const char* kind, int id) {
    return ResourceDir() / kind / (std::to_string(id) + ".png");
}

}  // namespace

std::filesystem::path ResourceDir() {
    if (DirStore().empty()) DirStore() = platform::ExecutableDir() / "resources";
    return DirStore();
}

void SetResourceDir(const std::filesystem::path& dir) { DirStore() = dir; }

wxBitmap LoadBitmapResource(int id) {
    wxImage img = LoadImageFile(ResourceFile("bitmap", id));
    return img.IsOk() ? wxBitmap(img) : wxBitmap();
}

wxIcon LoadIconResource(int id) {
    wxImage img = LoadImageFile(ResourceFile("icon", id));
    wxIcon icon;
    if (img.IsOk()) icon.CopyFromBitmap(wxBitmap(img));
    return icon;
}

wxCursor LoadCursorResource(int id) {
    wxImage img = LoadImageFile(ResourceFile("cursor", id));
    if (!img.IsOk()) return wxCursor(wxCURSOR_ARROW);
    int hx = 0, hy = 0;
    std::ifstream hot(ResourceDir() / "cursor" / (std::to_string(id) + ".hotspot"));
    if (hot >> hx >> hy) {
        img.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_X, hx);
        img.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_Y, hy);
    }
    return wxCursor(img);
}

void LoadImageListStrip(wxImageList& list, int id, int cell, const wxColour& mask) {
    list.Create(cell, cell, true, 12);
    const wxBitmap strip = LoadBitmapResource(id);
    if (!strip.IsOk()) return;
    const wxImage all = strip.ConvertToImage();
    for (int x = 0; x + cell <= all.GetWidth() && all.GetHeight() >= cell; x += cell) {
        wxImage one = all.GetSubImage(wxRect(x, 0, cell, cell));
        one.SetMaskColour(mask.Red(), mask.Green(), mask.Blue());
        list.Add(wxBitmap(one));
    }
}

}  // namespace platform::ui
