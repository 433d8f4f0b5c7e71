// Pictures go through memory: a file is read whole and decoded from a memory
// stream, and a save encodes into memory before the bytes reach the disk
// through a temporary file. That keeps file names out of the toolkit (UTF-8
// paths need no conversion) and lets a failed encode leave the old file alone.
//
// The toolkit's GIF writer takes only pictures that carry a palette holding
// every colour they use, and it writes transparency as one masked colour.
// PrepareForGif builds that: alpha becomes the mask, more than 256 colours
// are reduced by median-cut quantization, and the palette lists exactly the
// colours that remain, so a picture of few colours is written unchanged.
#include "platform/image/picture_io.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <unordered_map>

#include <wx/imagbmp.h>
#include <wx/imaggif.h>
#include <wx/imagjpeg.h>
#include <wx/imagpng.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/palette.h>
#include <wx/quantize.h>

#include "platform/error_text.h"
#include "platform/files.h"

namespace platform::image {

namespace {

// Bigger files are not pictures this suite makes or shows.
constexpr std::size_t kMaxPictureFileBytes = 256u * 1024 * 1024;

constexpr std::array<PictureEncoder, 4> kEncoders{{
    {PictureFormat::Bmp, "image/bmp", "BMP", 'B', "bmp"},
    {PictureFormat::Jpeg, "image/jpeg", "JPG", 'J', "jpg"},
    {PictureFormat::Gif, "image/gif", "GIF", 'G', "gif"},
    {PictureFormat::Png, "image/png", "PNG", 'P', "png"},
}};

wxBitmapType BitmapTypeOf(PictureFormat format) {
    switch (format) {
        case PictureFormat::Bmp: return wxBITMAP_TYPE_BMP;
        case PictureFormat::Jpeg: return wxBITMAP_TYPE_JPEG;
        case PictureFormat::Gif: return wxBITMAP_TYPE_GIF;
        case PictureFormat::Png: return wxBITMAP_TYPE_PNG;
    }
    return wxBITMAP_TYPE_INVALID;
}

void AddHandlerOnce(wxBitmapType type, wxImageHandler* (*make)()) {
    if (!wxImage::FindHandler(type)) wxImage::AddHandler(make());
}

std::uint32_t PackRgb(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
}

wxImage PrepareForGif(const wxImage& source) {
    wxImage img = source.Copy();
    const std::size_t count = std::size_t(img.GetWidth()) * std::size_t(img.GetHeight());
    unsigned char* rgb = img.GetData();

    std::vector<bool> clear(count, false);
    bool anyClear = false;
    if (img.HasAlpha()) {
        const unsigned char* alpha = img.GetAlpha();
        for (std::size_t i = 0; i < count; ++i)
            if (alpha[i] < 128) clear[i] = anyClear = true;
        img.ClearAlpha();
    } else if (img.HasMask()) {
        const unsigned char mask[3] = {img.GetMaskRed(), img.GetMaskGreen(), img.GetMaskBlue()};
        for (std::size_t i = 0; i < count; ++i)
            if (std::equal(mask, mask + 3, rgb + 3 * i)) clear[i] = anyClear = true;
        img.SetMask(false);
    }

    // Transparent pixels take an opaque pixel's colour for now, so that they
    // add no colour to the count or the quantization.
    if (anyClear) {
        unsigned char fill[3] = {0, 0, 0};
        for (std::size_t i = 0; i < count; ++i)
            if (!clear[i]) {
                std::copy(rgb + 3 * i, rgb + 3 * i + 3, fill);
                break;
            }
        for (std::size_t i = 0; i < count; ++i)
            if (clear[i]) std::copy(fill, fill + 3, rgb + 3 * i);
    }

    const unsigned limit = anyClear ? 255 : 256;
    if (img.CountColours(limit) > limit) {
        wxImage reduced;
        wxQuantize::Quantize(img, reduced, static_cast<wxPalette**>(nullptr), int(limit), nullptr,
                             wxQUANTIZE_FILL_DESTINATION_IMAGE);
        img = reduced;
        rgb = img.GetData();
    }

    if (anyClear) {
        unsigned char r = 0, g = 0, b = 0;
        img.FindFirstUnusedColour(&r, &g, &b);
        const unsigned char key[3] = {r, g, b};
        for (std::size_t i = 0; i < count; ++i)
            if (clear[i]) std::copy(key, key + 3, rgb + 3 * i);
        img.SetMaskColour(r, g, b);
    }

    // The palette: every colour in order of first use (at most 256 now).
    std::unordered_map<std::uint32_t, int> seen;
    std::vector<unsigned char> pr, pg, pb;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* p = rgb + 3 * i;
        if (seen.emplace(PackRgb(p), int(pr.size())).second) {
            pr.push_back(p[0]);
            pg.push_back(p[1]);
            pb.push_back(p[2]);
        }
    }
    img.SetPalette(wxPalette(int(pr.size()), pr.data(), pg.data(), pb.data()));
    return img;
}

}  // namespace

std::span<const PictureEncoder> PictureEncoders() { return kEncoders; }

const PictureEncoder* EncoderByMime(std::string_view mime) {
    for (const auto& e : kEncoders)
        if (e.mime == mime) return &e;
    return nullptr;
}

const PictureEncoder* EncoderByWord(std::string_view word) {
    for (const auto& e : kEncoders)
        if (e.word == word) return &e;
    return nullptr;
}

const PictureEncoder* EncoderByLetter(char letter) {
    for (const auto& e : kEncoders)
        if (e.letter == letter) return &e;
    return nullptr;
}

const PictureEncoder& EncoderOf(PictureFormat format) {
    for (const auto& e : kEncoders)
        if (e.format == format) return e;
    return kEncoders.front();
}

void EnsureImageHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        AddHandlerOnce(wxBITMAP_TYPE_PNG, []() -> wxImageHandler* { return new wxPNGHandler; });
        AddHandlerOnce(wxBITMAP_TYPE_JPEG, []() -> wxImageHandler* { return new wxJPEGHandler; });
        AddHandlerOnce(wxBITMAP_TYPE_BMP, []() -> wxImageHandler* { return new wxBMPHandler; });
        AddHandlerOnce(wxBITMAP_TYPE_GIF, []() -> wxImageHandler* { return new wxGIFHandler; });
        AddHandlerOnce(wxBITMAP_TYPE_ICO, []() -> wxImageHandler* { return new wxICOHandler; });
    });
}

wxImage DecodePicture(std::span<const std::uint8_t> bytes) {
    EnsureImageHandlers();
    if (bytes.empty()) return {};
    wxLogNull quiet;
    wxMemoryInputStream in(bytes.data(), bytes.size());
    wxImage img;
    if (!img.LoadFile(in, wxBITMAP_TYPE_ANY) || !img.IsOk()) return {};
    return img;
}

wxImage LoadPicture(const std::filesystem::path& path) {
    auto bytes = platform::ReadWholeFile(path, kMaxPictureFileBytes + 1);
    if (!bytes || bytes->size() > kMaxPictureFileBytes) return {};
    return DecodePicture(*bytes);
}

bool EncodePicture(const wxImage& image, PictureFormat format, int quality,
                   std::vector<std::uint8_t>* out) {
    EnsureImageHandlers();
    if (!image.IsOk() || !out) return false;
    wxImage img = format == PictureFormat::Gif ? PrepareForGif(image) : image.Copy();
    if (format == PictureFormat::Jpeg)
        img.SetOption(wxIMAGE_OPTION_QUALITY, std::clamp(quality, 0, 100));

    wxLogNull quiet;
    wxMemoryOutputStream stream;
    if (!img.SaveFile(stream, BitmapTypeOf(format))) return false;
    const std::size_t size = stream.GetLength();
    if (size == 0) return false;
    out->resize(size);
    stream.CopyTo(out->data(), size);
    return true;
}

bool SavePicture(const wxImage& image, const std::filesystem::path& path, PictureFormat format,
                 int quality, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!EncodePicture(image, format, quality, &bytes)) {
        if (error) *error = "无法写入 " + UserPath(path) + ": 图片无法转成 " + std::string(EncoderOf(format).word) + " 格式";
        return false;
    }
    return platform::SaveFileAtomic(path, bytes, error);
}

}  // namespace platform::image
