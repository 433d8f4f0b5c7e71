#include "picture_controls/picture_files.h"

#include <wx/bitmap.h>
#include <wx/dcmemory.h>

namespace picture_controls {

namespace {

using platform::image::EncoderByMime;
using platform::image::EncoderByWord;
using platform::image::PictureEncoder;
using platform::image::PictureEncoders;
using platform::image::PictureFormat;

// A grab larger than this on either side is not an area of a window.
constexpr int kMaxGrabSide = 16384;

}  // namespace

int GetEncoderClsid(const std::string& mime, EncoderInfo* out) {
    const PictureEncoder* found = EncoderByMime(mime);
    if (!found) return -1;
    if (out) *out = *found;
    return int(found - PictureEncoders().data());
}

bool GrabScreenToFile(const std::filesystem::path& target, int left, int top, int width,
                      int height, int quality, const std::string& format,
                      const std::function<void(wxDC&)>& render, GrabFormats formats) {
    const PictureEncoder* encoder = EncoderByWord(format);
    if (!encoder) return false;
    if (formats == GrabFormats::NoGif && encoder->format == PictureFormat::Gif) return false;
    if (width <= 0 || height <= 0 || width > kMaxGrabSide || height > kMaxGrabSide) return false;

    wxBitmap bitmap(width, height, 24);
    if (!bitmap.IsOk()) return false;
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        dc.SetDeviceOrigin(-left, -top);
        if (render) render(dc);
        dc.SelectObject(wxNullBitmap);
    }
    wxImage image = bitmap.ConvertToImage();
    if (!image.IsOk()) return false;
    if (image.HasAlpha()) image.ClearAlpha();
    return platform::image::SavePicture(image, target, encoder->format, quality);
}

int ConvertImageFile(const std::string& format, const std::filesystem::path& source,
                     const std::filesystem::path& target, int quality) {
    const PictureEncoder* encoder = EncoderByWord(format);
    if (!encoder) return 0;
    const wxImage image = platform::image::LoadPicture(source);
    if (!image.IsOk()) return 0;
    return platform::image::SavePicture(image, target, encoder->format, quality) ? 1 : 0;
}

}  // namespace picture_controls
