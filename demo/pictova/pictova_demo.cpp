// Build-time tool of the demo base directory for the photo editor:
//   pictova_demo photo <person.png> <out.png> <rrggbb>
//       the drawn person on a plain backdrop, with hard edges (every pixel
//       either the person's or the backdrop's), so the magic wand has a
//       clean outline to find;
//   pictova_demo swatch <rrggbb> <out.png>
//       a make-up swatch: the colour with a soft sheen;
//   pictova_demo jxd <out.jxd> <kind> <group>=<item>,<item>... ...
//       an icon list: a header item per group, then its members (kind 'B'
//       and 'C' lists start with a title item that readers skip).
// No display is needed.
#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>
#include <wx/image.h>
#include <wx/init.h>

#include "platform/text.h"

namespace {

bool Hex(const std::string& s, unsigned char rgb[3]) {
    if (s.size() != 6) return false;
    for (int i = 0; i < 3; ++i) rgb[i] = static_cast<unsigned char>(std::stoi(s.substr(2 * i, 2), nullptr, 16));
    return true;
}

int Photo(const char* in, const char* out, const std::string& colour) {
    unsigned char back[3];
    wxImage img;
    if (!Hex(colour, back) || !img.LoadFile(wxString::FromUTF8(in), wxBITMAP_TYPE_PNG)) return 1;
    const int n = img.GetWidth() * img.GetHeight();
    unsigned char* rgb = img.GetData();
    const unsigned char* alpha = img.HasAlpha() ? img.GetAlpha() : nullptr;
    for (int i = 0; i < n; ++i)
        if (!alpha || alpha[i] < 128)
            for (int k = 0; k < 3; ++k) rgb[3 * i + k] = back[k];
    img.ClearAlpha();
    return img.SaveFile(wxString::FromUTF8(out), wxBITMAP_TYPE_PNG) ? 0 : 1;
}

int Swatch(const std::string& colour, const char* out) {
    unsigned char c[3];
    if (!Hex(colour, c)) return 1;
    const int size = 44;
    wxImage img(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int sheen = 10 - (x + y) * 16 / (2 * size);
            unsigned char px[3];
            for (int k = 0; k < 3; ++k) px[k] = static_cast<unsigned char>(std::clamp(c[k] + sheen, 0, 255));
            img.SetRGB(x, y, px[0], px[1], px[2]);
        }
    return img.SaveFile(wxString::FromUTF8(out), wxBITMAP_TYPE_PNG) ? 0 : 1;
}

void PutInt(std::vector<std::uint8_t>& b, std::size_t at, std::int32_t v) {
    for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>((static_cast<std::uint32_t>(v) >> (8 * k)) & 0xFF);
}

int Jxd(const char* out, char kind, int argc, char** argv) {
    struct Item {
        char type;
        int entry;
    };
    std::vector<Item> items;
    std::vector<std::string> texts;
    auto text = [&](const std::string& utf8) {
        texts.push_back(platform::Utf8ToGbkLossy(utf8));
        return static_cast<int>(texts.size()) - 1;
    };
    if (kind == 'B' || kind == 'C') items.push_back({'T', text("图标列表")});
    for (int i = 0; i < argc; ++i) {
        const std::string group(argv[i]);
        const auto eq = group.find('=');
        if (eq == std::string::npos) return 1;
        items.push_back({'H', text(group.substr(0, eq))});
        std::string rest = group.substr(eq + 1);
        std::size_t at = 0;
        while (at <= rest.size()) {
            const auto comma = rest.find(',', at);
            const std::string name = rest.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
            if (!name.empty()) items.push_back({'M', text(name)});
            if (comma == std::string::npos) break;
            at = comma + 1;
        }
    }
    std::string pool;
    std::vector<std::pair<int, int>> entries;
    for (const std::string& t : texts) {
        entries.emplace_back(static_cast<int>(pool.size()), static_cast<int>(t.size()));
        pool += t;
    }
    const std::size_t n = items.size(), m = entries.size();
    std::vector<std::uint8_t> b(32 + 60 * n + 12 * m + pool.size(), 0);
    b[0] = ' ';
    for (int k = 1; k <= 4; ++k) b[k] = ' ';
    b[5] = ' ';
    PutInt(b, 8, static_cast<std::int32_t>(n));
    PutInt(b, 12, static_cast<std::int32_t>(m));
    PutInt(b, 16, static_cast<std::int32_t>(pool.size()));
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t at = 32 + 60 * i;
        b[at] = ' ';
        b[at + 1] = static_cast<std::uint8_t>(items[i].type);
        for (int k = 2; k <= 8; ++k) b[at + k] = ' ';
        for (int k = 0; k < 12; ++k) PutInt(b, at + 12 + 4 * k, -1);
        PutInt(b, at + 16, items[i].entry);
    }
    for (std::size_t i = 0; i < m; ++i) {
        const std::size_t at = 32 + 60 * n + 12 * i;
        PutInt(b, at, entries[i].first);
        PutInt(b, at + 4, entries[i].second);
        PutInt(b, at + 8, 0);
    }
    std::copy(pool.begin(), pool.end(), b.begin() + static_cast<std::ptrdiff_t>(32 + 60 * n + 12 * m));
    std::ofstream f(out, std::ios::binary);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    return f ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    wxInitializer init;
    wxInitAllImageHandlers();
    const std::string what = argc > 1 ? argv[1] : "";
    int r = 2;
    if (what == "photo" && argc == 5) r = Photo(argv[2], argv[3], argv[4]);
    if (what == "swatch" && argc == 4) r = Swatch(argv[2], argv[3]);
    if (what == "jxd" && argc >= 4) r = Jxd(argv[2], argv[3][0], argc - 4, argv + 4);
    if (r == 2) std::fprintf(stderr, "usage: pictova_demo photo|swatch|jxd ...\n");
    else if (r != 0) std::fprintf(stderr, "pictova_demo %s failed\n", what.c_str());
    return r;
}
