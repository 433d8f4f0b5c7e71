// dress_preview: pictures for checking the demo artwork by eye, drawn without
// a display.
//   dress_preview sheet OUT.png CELL FILE...
//       every picture fitted into a CELL x CELL square on a chequered ground,
//       eight to a row, to see transparency and proportions side by side;
//   dress_preview stage BASE OUT.png PROJECT [R:PICTURE|L:PICTURE]...
//       the fitting stage (460 x 520) with the room background and, placed
//       by their stored x, y, depth and scale, the basic project's model
//       (its first category) and the named pictures of PROJECT ('R') or of
//       the accessory project "饰品" ('L'); with no names, the model and the
//       first item of every category. MENU as the first pick also draws the
//       fitting window's in-window menu at its places, with its preview frame.
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "demo/project_builder/project_description.h"
#include "project_editor/project_file.h"

namespace fs = std::filesystem;
namespace pe = project_editor;

namespace {

wxImage Load(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string data = bytes.str();
    wxMemoryInputStream stream(data.data(), data.size());
    wxImage img;
    img.LoadFile(stream, wxBITMAP_TYPE_ANY);
    if (img.IsOk() && !img.HasAlpha()) img.InitAlpha();
    return img;
}

bool Save(const wxImage& img, const fs::path& path) {
    wxMemoryOutputStream encoded;
    if (!img.SaveFile(encoded, wxBITMAP_TYPE_PNG)) return false;
    std::vector<char> bytes(encoded.GetLength());
    encoded.CopyTo(bytes.data(), bytes.size());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

wxImage Canvas(int w, int h, bool chequered) {
    wxImage img(w, h);
    img.InitAlpha();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned char v = chequered ? (((x / 8 + y / 8) % 2) ? 200 : 235) : 255;
            img.SetRGB(x, y, v, v, v);
            img.SetAlpha(x, y, 255);
        }
    return img;
}

// Draws `pic` at (left, top) over `dst`, scaled to w x h, "over" blending.
void Blend(wxImage& dst, const wxImage& pic, int left, int top, int w, int h) {
    if (!pic.IsOk() || w < 1 || h < 1) return;
    const wxImage src = (w == pic.GetWidth() && h == pic.GetHeight()) ? pic : pic.Scale(w, h, wxIMAGE_QUALITY_BICUBIC);
    for (int y = 0; y < h; ++y) {
        const int dy = top + y;
        if (dy < 0 || dy >= dst.GetHeight()) continue;
        for (int x = 0; x < w; ++x) {
            const int dx = left + x;
            if (dx < 0 || dx >= dst.GetWidth()) continue;
            const int a = src.HasAlpha() ? src.GetAlpha(x, y) : 255;
            if (a == 0) continue;
            auto mix = [a](int s, int d) { return static_cast<unsigned char>((s * a + d * (255 - a) + 127) / 255); };
            dst.SetRGB(dx, dy, mix(src.GetRed(x, y), dst.GetRed(dx, dy)), mix(src.GetGreen(x, y), dst.GetGreen(dx, dy)),
                       mix(src.GetBlue(x, y), dst.GetBlue(dx, dy)));
        }
    }
}

int Sheet(const fs::path& out, int cell, const std::vector<std::string>& files) {
    const int cols = std::min<int>(8, static_cast<int>(files.size()));
    const int rows = (static_cast<int>(files.size()) + 7) / 8;
    wxImage sheet = Canvas(cols * (cell + 6) + 6, rows * (cell + 6) + 6, true);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const wxImage pic = Load(fs::path(files[i]));
        if (!pic.IsOk()) {
            std::fprintf(stderr, "dress_preview: cannot read %s\n", files[i].c_str());
            continue;
        }
        const double k = std::min(1.0, std::min(static_cast<double>(cell) / pic.GetWidth(),
                                               static_cast<double>(cell) / pic.GetHeight()));
        const int w = std::max(1, static_cast<int>(pic.GetWidth() * k));
        const int h = std::max(1, static_cast<int>(pic.GetHeight() * k));
        const int cx = 6 + static_cast<int>(i % 8) * (cell + 6), cy = 6 + static_cast<int>(i / 8) * (cell + 6);
        Blend(sheet, pic, cx + (cell - w) / 2, cy + (cell - h) / 2, w, h);
    }
    return Save(sheet, out) ? 0 : 1;
}

struct Placed {
    fs::path path;
    int x = 0, y = 0, slot = 0;
    float scale = 1;
    char list = 'R';
};

bool LoadProject(const fs::path& base, const std::string& name, pe::ProjectFile& project) {
    const auto error = pe::LoadProjectFile(pe::BasicProjectFilePath(base, name), project);
    if (error != pe::ProjectFileError::None) {
        std::fprintf(stderr, "dress_preview: %s: %s\n", name.c_str(), pe::DescribeProjectError(error).c_str());
        return false;
    }
    return true;
}

Placed PlaceOf(const fs::path& base, const std::string& project, const pe::PartRecord& part, char list) {
    Placed p;
    p.path = base / pe::kBasicProjectFolderName / project / pe::kPictureSubfolderName / (part.PictureName() + ".png");
    p.x = part.X();
    p.y = part.Y();
    p.slot = pe::DepthToSlot(part.Depth(), pe::SlotRange::FromOne);
    p.scale = part.Scale();
    p.list = list;
    return p;
}

int Stage(const fs::path& base, const fs::path& out, const std::string& name, std::vector<std::string> picks) {
    const bool withMenu = !picks.empty() && picks.front() == "MENU";
    if (withMenu) picks.erase(picks.begin());
    auto right = std::make_unique<pe::ProjectFile>();
    auto left = std::make_unique<pe::ProjectFile>();
    const bool wantsLeft = std::any_of(picks.begin(), picks.end(), [](const std::string& p) { return p[0] == 'L'; });
    if (!LoadProject(base, name, *right) || (wantsLeft && !LoadProject(base, "饰品", *left))) return 1;
    std::vector<Placed> items;
    // The model: the items of the first category.
    int category = -1;
    for (int i = 0; i < right->PartCount(); ++i) {
        const auto& part = right->parts[static_cast<std::size_t>(i)];
        if (part.RowType() == 'T') {
            if (++category == 1) break;
            continue;
        }
        if (category == 0) items.push_back(PlaceOf(base, name, part, 'R'));
    }
    auto find = [&](const pe::ProjectFile& project, const std::string& projectName, const std::string& picture,
                    char list) {
        for (int i = 0; i < project.PartCount(); ++i) {
            const auto& part = project.parts[static_cast<std::size_t>(i)];
            if (part.RowType() != 'T' && part.PictureName() == picture) {
                items.push_back(PlaceOf(base, projectName, part, list));
                return true;
            }
        }
        std::fprintf(stderr, "dress_preview: %s has no picture %s\n", projectName.c_str(), picture.c_str());
        return false;
    };
    if (picks.empty()) {
        bool first = false;
        category = -1;
        for (int i = 0; i < right->PartCount(); ++i) {
            const auto& part = right->parts[static_cast<std::size_t>(i)];
            if (part.RowType() == 'T') {
                first = ++category > 0;
                continue;
            }
            if (first) items.push_back(PlaceOf(base, name, part, 'R'));
            first = false;
        }
    }
    for (const std::string& pick : picks) {
        if (pick.size() < 3 || pick[1] != ':' || (pick[0] != 'R' && pick[0] != 'L')) {
            std::fprintf(stderr, "dress_preview: give R:PICTURE or L:PICTURE, not %s\n", pick.c_str());
            return 2;
        }
        if (!(pick[0] == 'R' ? find(*right, name, pick.substr(2), 'R') : find(*left, "饰品", pick.substr(2), 'L')))
            return 1;
    }
    // Slots from the back (99) to the front (1); in one slot 'L' under 'R'.
    std::stable_sort(items.begin(), items.end(), [](const Placed& a, const Placed& b) {
        if (a.slot != b.slot) return a.slot > b.slot;
        return a.list == 'L' && b.list == 'R';
    });
    const int W = 460, H = 520;
    wxImage stage = Canvas(W, H, false);
    const wxImage room = Load(base / "服饰搭配背景图" / "试衣间背景图.jpg");
    if (room.IsOk()) {
        const double k = std::max(static_cast<double>(W) / room.GetWidth(), static_cast<double>(H) / room.GetHeight());
        Blend(stage, room, 0, 0, static_cast<int>(room.GetWidth() * k), static_cast<int>(room.GetHeight() * k));
    }
    for (const Placed& p : items) {
        const wxImage pic = Load(p.path);
        if (!pic.IsOk()) {
            std::fprintf(stderr, "dress_preview: cannot read %s\n", p.path.string().c_str());
            continue;
        }
        const int w = static_cast<int>(static_cast<float>(pic.GetWidth()) * p.scale);
        const int h = static_cast<int>(static_cast<float>(pic.GetHeight()) * p.scale);
        const demo::Corner at = demo::PictureCorner(p.x, p.y, w, h);
        Blend(stage, pic, at.x, at.y, w, h);
    }
    if (withMenu) {
        const fs::path sys = base / "服饰搭配sysproj";
        const struct {
            const char* picture;
            int x, y;
        } menu[] = {
            {"DressHouseMnu_Clear.png", 3, 3},          {"DressHouseMnu_DeepDown.png", 3, 35},
            {"DressHouseMnu_DeepUp.png", 63, 35},       {"DressHouseMnu_PicMovPlate.png", 18, 71},
            {"DressHouseMnu_PlaNum1.png", 38, 93},      {"DressHouseMnu_Small.png", 3, 141},
            {"DressHouseMnu_Large.png", 63, 141},       {"DressHouseMnu_ClothSEL.png", W - 60, H - 60},
            {"DressHouseMnu_LDecoSEL.png", 6, H - 60},  {"DressHouseMnu_ClothDel.png", W - 184, H - 46},
            {"DressHouseMnu_SaveDeco.png", W - 110, 4}, {"DressHouseMnu_PhotoShowOn.png", 3, 191},
            {"DressHouseMnu_PhotoMovSca.png", 3, 231},  {"图片框背景RED.png", W - 148, H - 98},
        };
        for (const auto& b : menu) {
            const wxImage pic = Load(sys / b.picture);
            Blend(stage, pic, b.x, b.y, pic.GetWidth(), pic.GetHeight());
        }
    }
    return Save(stage, out) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    wxInitializer init(argc, argv);
    if (!init.IsOk()) return 1;
    wxLog::SetActiveTarget(new wxLogStderr);
    wxInitAllImageHandlers();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 4 && args[0] == "sheet")
        return Sheet(fs::path(args[1]), std::max(16, std::atoi(args[2].c_str())), {args.begin() + 3, args.end()});
    if (args.size() >= 4 && args[0] == "stage")
        return Stage(fs::path(args[1]), fs::path(args[2]), args[3], {args.begin() + 4, args.end()});
    std::fprintf(stderr,
                 "usage: dress_preview sheet OUT.png CELL FILE...\n"
                 "       dress_preview stage BASE OUT.png PROJECT [R:PICTURE|L:PICTURE]...\n");
    return 2;
}
