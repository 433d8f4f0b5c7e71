#pragma once
// Picture files from pixels: the encoder of a MIME type, an off-screen grab of
// an area of the program's own window saved as a picture, and a picture file
// converted into another format. Formats are named by the format words "BMP",
// "JPG", "PNG" and "GIF", compared case-sensitively. None of these functions
// shows a message: failures show only in the result. Main thread only.
#include <filesystem>
#include <functional>
#include <string>

#include <wx/dc.h>

#include "platform/image/picture_io.h"

namespace picture_controls {

using EncoderInfo = platform::image::PictureEncoder;

// The index of the encoder whose MIME type equals `mime` exactly ("image/bmp",
// "image/jpeg", "image/gif", "image/png" are 0..3), or -1. On success the
// encoder is copied to `out` when it is given.
int GetEncoderClsid(const std::string& mime, EncoderInfo* out);

// Which format words a grab accepts: the fitting-room client and the project
// builder know no GIF.
enum class GrabFormats { All, NoGif };

// Saves the area (left, top, width, height) of a window as a picture file.
// The screen is never read: `render` draws the window's content in window
// coordinates onto a memory DC whose origin puts (left, top) at the bitmap's
// top-left corner; the bitmap starts white. The picture is saved with the
// encoder of the format word and the quality (0..100). Returns whether the
// file was written; an unknown format word, an empty area or a failed save
// write nothing and leave an existing file as it was.
bool GrabScreenToFile(const std::filesystem::path& target, int left, int top, int width,
                      int height, int quality, const std::string& format,
                      const std::function<void(wxDC&)>& render,
                      GrabFormats formats = GrabFormats::All);

// Loads `source` and saves it to `target` in the format of the word with the
// quality: 1 when the file was written, else 0 (an unknown word writes
// nothing). `target` may be `source` itself.
int ConvertImageFile(const std::string& format, const std::filesystem::path& source,
                     const std::filesystem::path& target, int quality);

}  // namespace picture_controls
