#pragma once
// Picture files read and written through the toolkit's image handlers.
//
// The suite names a picture format three ways: by MIME type ("image/jpeg"),
// by a three-letter format word ("JPG") and, in records, by one letter ('J').
// All three are looked up in one fixed encoder table, compared exactly
// (case-sensitively). Loading recognises the file by its content (PNG, JPEG,
// BMP, GIF, ICO); saving writes BMP, JPEG (with a quality), GIF or PNG.
//
// Call from the main thread: the toolkit's image handlers are shared.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <wx/image.h>

namespace platform::image {

enum class PictureFormat { Bmp, Jpeg, Gif, Png };

struct PictureEncoder {
    PictureFormat format;
    std::string_view mime;       // "image/jpeg"
    std::string_view word;       // "JPG"
    char letter;                 // 'J'
    std::string_view extension;  // "jpg" (no dot)
};

// The encoders on offer, in their fixed order: bmp, jpeg, gif, png.
std::span<const PictureEncoder> PictureEncoders();

// Exact lookups; null when nothing in the table matches.
const PictureEncoder* EncoderByMime(std::string_view mime);
const PictureEncoder* EncoderByWord(std::string_view word);
const PictureEncoder* EncoderByLetter(char letter);
const PictureEncoder& EncoderOf(PictureFormat format);

// Registers the image handlers the suite reads and writes, once per process;
// handlers that are already registered are left alone. The functions below
// call it themselves.
void EnsureImageHandlers();

// The decoded picture, or an invalid image when the file is missing or not a
// picture. Never shows a message.
wxImage LoadPicture(const std::filesystem::path& path);
wxImage DecodePicture(std::span<const std::uint8_t> bytes);

// The picture encoded in `format`. `quality` (0..100, clamped) matters for
// JPEG. Alpha is kept by PNG; BMP and JPEG keep the colour channels only; GIF
// keeps exact colours up to 256 of them (more are reduced to a palette) and
// turns alpha below half into its transparent colour.
bool EncodePicture(const wxImage& image, PictureFormat format, int quality,
                   std::vector<std::uint8_t>* out);

// Encodes, writes a temporary file beside `path` and renames it over `path`,
// so a failed save leaves an existing file as it was. `error` says why it
// failed.
bool SavePicture(const wxImage& image, const std::filesystem::path& path, PictureFormat format,
                 int quality = 100, std::string* error = nullptr);

}  // namespace platform::image
