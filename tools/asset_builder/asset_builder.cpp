// asset_builder: turns one SVG drawing into a PNG, JPEG or BMP picture at a
// given pixel size, with wxWidgets' own SVG renderer. The build runs it for
// every numbered resource and every picture of the demo base directory.
//
// The renderer always draws the root viewBox, so framing is done by rewriting
// that viewBox: --size widens it to the output's aspect; --fit and --trim
// first render a probe to find the painted area, then frame just that area.
// Output pixels carry straight alpha, whatever form the renderer hands them
// back in. Text is laid out from a glyph file beforehand (svg_text.h).
#include "tools/asset_builder/svg_frame.h"
#include "tools/asset_builder/svg_text.h"

#include <wx/bitmap.h>
#include <wx/bmpbndl.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using asset_builder::PixelBox;
using asset_builder::ViewBox;

namespace {

const char kUsage[] =
    "usage: asset_builder [options] INPUT.svg OUTPUT.png|.jpg|.bmp\n"
    "  --size WxH     the whole drawing, centred, at W x H pixels\n"
    "  --fit WxH      the painted part of the drawing, as large as fits in W x H\n"
    "  --trim S       the painted part of the drawing at S pixels per unit, on the\n"
    "                 pixel grid of the whole drawing at that scale\n"
    "  --origin FILE  with --trim: write the picture's top-left corner in that grid\n"
    "                 (\"left top\", pixels from the viewBox origin) into FILE\n"
    "  --glyphs FILE  lay out <text> elements with the outlines in this glyph file\n"
    "  --view X,Y,W,H take this region of the drawing in place of its viewBox\n"
    "  --pad N        empty margin in pixels around a --fit picture (default 2)\n"
    "  --matte R,G,B  lay the picture on this colour (opaque output)\n"
    "  --mask R,G,B   opaque output; pixels less than half covered get this colour\n"
    "  --quality N    JPEG quality 1-100 (default 92)\n"
    "JPEG and BMP output without --matte or --mask is laid on white.\n";

struct Options {
    std::string input, output;
    int width = 0, height = 0;
    bool fit = false;
    double trim = 0;  // pixels per unit; 0 when not trimming on the grid
    std::string origin, glyphs;
    std::optional<ViewBox> view;
    int pad = 2;
    bool matte = false, mask = false;
    unsigned char colour[3] = {255, 255, 255};
    int quality = 92;
};

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

int ParseInt(const std::string& text, const char* what) {
    std::size_t used = 0;
    int v = 0;
    try {
        v = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || text.empty()) Fail(std::string("bad ") + what + ": " + text);
    return v;
}

void ParseSize(const std::string& text, Options& o) {
    const auto x = text.find('x');
    if (x == std::string::npos) Fail("bad size (WxH): " + text);
    o.width = ParseInt(text.substr(0, x), "width");
    o.height = ParseInt(text.substr(x + 1), "height");
    if (o.width < 1 || o.height < 1 || o.width > 8192 || o.height > 8192) Fail("size out of range: " + text);
}

void ParseColour(const std::string& text, Options& o) {
    std::istringstream in(text);
    std::string part;
    int i = 0;
    while (std::getline(in, part, ',')) {
        const int v = i < 3 ? ParseInt(part, "colour") : -1;
        if (v < 0 || v > 255) Fail("bad colour (R,G,B): " + text);
        o.colour[i++] = static_cast<unsigned char>(v);
    }
    if (i != 3) Fail("bad colour (R,G,B): " + text);
}

Options ParseArgs(int argc, char** argv) {
    Options o;
    std::string sizeArg;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) Fail("missing value after " + a);
            return argv[++i];
        };
        if (a == "--size" || a == "--fit") {
            if (!sizeArg.empty()) Fail("give one of --size, --fit and --trim");
            sizeArg = value();
            o.fit = a == "--fit";
            ParseSize(sizeArg, o);
        } else if (a == "--trim") {
            if (!sizeArg.empty()) Fail("give one of --size, --fit and --trim");
            sizeArg = value();
            char* end = nullptr;
            o.trim = std::strtod(sizeArg.c_str(), &end);
            if (*end != '\0' || !(o.trim > 0) || o.trim > 16) Fail("bad scale: " + sizeArg);
        } else if (a == "--origin") {
            o.origin = value();
        } else if (a == "--glyphs") {
            o.glyphs = value();
        } else if (a == "--view") {
            const std::string text = value();
            std::istringstream in(text);
            ViewBox v;
            char c1 = 0, c2 = 0, c3 = 0;
            std::string rest;
            if (!(in >> v.x >> c1 >> v.y >> c2 >> v.w >> c3 >> v.h) || c1 != ',' || c2 != ',' || c3 != ',' ||
                (in >> rest) || !(v.w > 0) || !(v.h > 0))
                Fail("bad region (X,Y,W,H): " + text);
            o.view = v;
        } else if (a == "--pad") {
            o.pad = ParseInt(value(), "margin");
            if (o.pad < 0 || o.pad > 100) Fail("margin out of range");
        } else if (a == "--matte" || a == "--mask") {
            if (o.matte || o.mask) Fail("give one of --matte and --mask");
            (a == "--matte" ? o.matte : o.mask) = true;
            ParseColour(value(), o);
        } else if (a == "--quality") {
            o.quality = ParseInt(value(), "quality");
            if (o.quality < 1 || o.quality > 100) Fail("quality out of range");
        } else if (a.starts_with("--")) {
            Fail("unknown option " + a);
        } else if (o.input.empty()) {
            o.input = a;
        } else if (o.output.empty()) {
            o.output = a;
        } else {
            Fail("too many file names");
        }
    }
    if (o.input.empty() || o.output.empty()) Fail("need an input and an output file");
    if (sizeArg.empty()) Fail("need --size, --fit or --trim");
    if (!o.origin.empty() && o.trim == 0) Fail("--origin goes with --trim");
    return o;
}

wxBitmapType TypeOf(const fs::path& out) {
    std::string ext = out.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".png") return wxBITMAP_TYPE_PNG;
    if (ext == ".jpg" || ext == ".jpeg") return wxBITMAP_TYPE_JPEG;
    if (ext == ".bmp") return wxBITMAP_TYPE_BMP;
    Fail("unsupported output type " + ext);
}

std::string ReadText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) Fail("cannot read " + p.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

wxImage Rasterize(const std::string& text, int width, int height) {
    const wxSize size(width, height);
    const wxBitmapBundle bundle = wxBitmapBundle::FromSVG(text.c_str(), size);
    if (!bundle.IsOk()) Fail("the SVG renderer rejected the drawing");
    wxImage img = bundle.GetBitmap(size).ConvertToImage();
    if (!img.IsOk() || img.GetWidth() != width || img.GetHeight() != height) Fail("rendering failed");
    if (!img.HasAlpha()) img.InitAlpha();
    return img;
}

// Whether the renderer hands back colours multiplied by their coverage. wx
// premultiplies the rendered pixels for the native bitmap; on GTK the bitmap
// keeps them as they are, so a half-covered white pixel comes back grey.
// Asked once, by rendering exactly such a pixel.
bool RendersPremultiplied() {
    static const bool premultiplied = [] {
        const wxImage probe = Rasterize(
            R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 1 1">)"
            R"(<rect width="1" height="1" fill="#ffffff" fill-opacity="0.5"/></svg>)",
            1, 1);
        return probe.GetRed(0, 0) < 192;
    }();
    return premultiplied;
}

// The drawing framed by `frame`, rendered at exactly width x height, with
// straight (not premultiplied) alpha.
wxImage Render(const std::string& svg, const ViewBox& frame, int width, int height) {
    wxImage img = Rasterize(asset_builder::WithViewBox(svg, frame), width, height);
    if (RendersPremultiplied()) {
        unsigned char* rgb = img.GetData();
        const unsigned char* alpha = img.GetAlpha();
        const std::size_t n = static_cast<std::size_t>(width) * height;
        for (std::size_t i = 0; i < n; ++i) {
            const int a = alpha[i];
            if (a == 0 || a == 255) continue;
            for (int c = 0; c < 3; ++c) {
                unsigned char& v = rgb[3 * i + c];
                v = static_cast<unsigned char>(std::min(255, (v * 255 + a / 2) / a));
            }
        }
    }
    return img;
}

PixelBox PaintedArea(const wxImage& img) {
    PixelBox box{img.GetWidth(), img.GetHeight(), 0, 0};
    const unsigned char* alpha = img.GetAlpha();
    for (int y = 0; y < img.GetHeight(); ++y) {
        for (int x = 0; x < img.GetWidth(); ++x) {
            if (alpha[y * img.GetWidth() + x] == 0) continue;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x + 1);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y + 1);
        }
    }
    return box;
}

// Drops the alpha channel: blended on the matte colour, or (mask) kept as it is
// where at least half covered and set to the mask colour elsewhere.
void Flatten(wxImage& img, const Options& o) {
    unsigned char* rgb = img.GetData();
    const unsigned char* alpha = img.GetAlpha();
    const std::size_t n = static_cast<std::size_t>(img.GetWidth()) * img.GetHeight();
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char* px = rgb + 3 * i;
        const int a = alpha[i];
        for (int c = 0; c < 3; ++c) {
            if (o.mask) {
                if (a < 128) px[c] = o.colour[c];
            } else {
                px[c] = static_cast<unsigned char>((px[c] * a + o.colour[c] * (255 - a) + 127) / 255);
            }
        }
    }
    img.ClearAlpha();
}

void Build(const Options& o) {
    const fs::path in(o.input), out(o.output);
    const wxBitmapType type = TypeOf(out);
    std::string svg = ReadText(in);
    if (!o.glyphs.empty()) {
        std::ifstream glyphFile{fs::path(o.glyphs)};
        if (!glyphFile) Fail("cannot read " + o.glyphs);
        svg = asset_builder::ExpandText(svg, asset_builder::ReadGlyphSet(glyphFile));
    } else if (svg.find("<text") != std::string::npos && !asset_builder::TextCharacters(svg).empty()) {
        Fail("the drawing has text: give --glyphs");
    }
    auto whole = asset_builder::FindViewBox(svg);
    if (!whole) Fail("the root <svg> element has no usable viewBox");
    if (o.view) whole = o.view;

    wxImage img;
    asset_builder::GridTrimPlan gridPlan;
    if (o.fit || o.trim > 0) {
        // Probe with the longer side at 2048 pixels: about one unit per pixel
        // for the usual drawings, plenty to find the painted edge.
        const double probeScale = 2048.0 / std::max(whole->w, whole->h);
        const int pw = std::max(1, static_cast<int>(std::lround(whole->w * probeScale)));
        const int ph = std::max(1, static_cast<int>(std::lround(whole->h * probeScale)));
        const ViewBox probeFrame{whole->x, whole->y, pw / probeScale, ph / probeScale};
        const PixelBox painted = PaintedArea(Render(svg, probeFrame, pw, ph));
        if (painted.Empty()) Fail("the drawing paints nothing");
        if (o.trim > 0) {
            gridPlan = asset_builder::PlanTrimOnGrid(*whole, probeScale, painted, o.trim, o.pad);
            img = Render(svg, gridPlan.trim.frame, gridPlan.trim.width, gridPlan.trim.height);
        } else {
            const auto plan = asset_builder::PlanTrim(*whole, probeScale, painted, o.width, o.height, o.pad);
            img = Render(svg, plan.frame, plan.width, plan.height);
        }
    } else {
        img = Render(svg, asset_builder::FitAspect(*whole, o.width, o.height), o.width, o.height);
    }

    Options flat = o;
    if (!o.matte && !o.mask && type != wxBITMAP_TYPE_PNG) flat.matte = true;  // white
    if (flat.matte || flat.mask) Flatten(img, flat);
    if (type == wxBITMAP_TYPE_JPEG) img.SetOption(wxIMAGE_OPTION_QUALITY, o.quality);

    // Encoded in memory and written through the standard library, so that
    // file names never pass through wx's locale-dependent conversion; written
    // beside the target and renamed over it, so that an interrupted build
    // never leaves half a picture behind.
    wxMemoryOutputStream encoded;
    if (!img.SaveFile(encoded, type)) Fail("cannot encode the picture");
    std::vector<char> bytes(encoded.GetLength());
    encoded.CopyTo(bytes.data(), bytes.size());
    if (out.has_parent_path()) fs::create_directories(out.parent_path());
    fs::path tmp = out;
    tmp += ".part";
    {
        std::ofstream file(tmp, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!file.flush()) {
            file.close();
            std::error_code ec;
            fs::remove(tmp, ec);
            Fail("cannot write " + o.output);
        }
    }
    fs::rename(tmp, out);
    if (!o.origin.empty()) {
        const fs::path originFile(o.origin);
        if (originFile.has_parent_path()) fs::create_directories(originFile.parent_path());
        std::ofstream file(originFile, std::ios::binary | std::ios::trunc);
        file << gridPlan.left << " " << gridPlan.top << "\n";
        if (!file.flush()) Fail("cannot write " + o.origin);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = ParseArgs(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "asset_builder: %s\n%s", e.what(), kUsage);
        return 2;
    }
    wxInitializer init(argc, argv);
    if (!init.IsOk()) {
        std::fprintf(stderr, "asset_builder: cannot initialise wxWidgets\n");
        return 1;
    }
    wxLog::SetActiveTarget(new wxLogStderr);
    wxInitAllImageHandlers();
    try {
        Build(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "asset_builder: %s: %s\n", options.input.c_str(), e.what());
        return 1;
    }
    return 0;
}
