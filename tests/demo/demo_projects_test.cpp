// The fitting projects and interface pictures the build puts into the demo
// base directory: real ".dm3" files read back through the project reader,
// pictures where the fitting room looks for them, garments that land on the
// model, and every interface picture the fitting room names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "demo/project_builder/project_description.h"
#include "platform/sound/sound.h"
#include "project_editor/project_file.h"
#include "tests/demo/picture_probe.h"

namespace fs = std::filesystem;
namespace pe = project_editor;
using demotest::LoadPicture;
using demotest::PaintedArea;

namespace {

const fs::path kBase = DEMO_BASE_DIR;
const fs::path kOrigins = DEMO_ORIGIN_DIR;
const fs::path kSysproj = kBase / "服饰搭配sysproj";

const std::vector<std::string> kGarmentCategories = {"模特", "上装", "下装", "包鞋类", "饰品", "套装"};
const std::vector<std::string> kAccessoryCategories = {"发型", "帽子等", "耳坠等", "动物等", "礼品等"};

struct Loaded {
    demo::DemoProject description;
    std::unique_ptr<pe::ProjectFile> file = std::make_unique<pe::ProjectFile>();
    fs::path folder;  // the folder that holds "试衣及按钮图片" and "展示及说明图片"
};

std::vector<fs::path> Descriptions() {
    std::vector<fs::path> list;
    for (const auto& entry : fs::directory_iterator(fs::path(DEMO_SOURCE_DIR) / "projects"))
        if (entry.path().extension() == ".txt") list.push_back(entry.path());
    std::sort(list.begin(), list.end());
    return list;
}

Loaded Load(const fs::path& description) {
    Loaded p;
    std::ifstream in(description);
    p.description = demo::ReadDemoProject(in);
    const std::string& name = p.description.name;
    const fs::path dm3 = p.description.web ? pe::ProjectFilePath(kBase, name) : pe::BasicProjectFilePath(kBase, name);
    EXPECT_EQ(pe::LoadProjectFile(dm3, *p.file), pe::ProjectFileError::None) << dm3;
    p.folder = p.description.web ? kBase / name : kBase / pe::kBasicProjectFolderName / name;
    return p;
}

std::vector<int> ItemRows(const pe::ProjectFile& f) {
    std::vector<int> rows;
    for (int i = 0; i < f.PartCount(); ++i)
        if (f.parts[static_cast<std::size_t>(i)].RowType() != 'T') rows.push_back(i);
    return rows;
}

wxImage ItemPicture(const Loaded& p, const pe::PartRecord& part) {
    return LoadPicture(p.folder / pe::kPictureSubfolderName / (part.PictureName() + ".png"));
}

// Where the fitting model draws the picture's own top-left corner: centred in
// the square box whose corner the record stores.
demo::Corner DrawnCorner(const pe::PartRecord& part, const wxImage& img) {
    const int w = static_cast<int>(static_cast<float>(img.GetWidth()) * part.Scale());
    const int h = static_cast<int>(static_cast<float>(img.GetHeight()) * part.Scale());
    return demo::PictureCorner(part.X(), part.Y(), w, h);
}

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

TEST(DemoProjects, ReadBackThroughTheProjectReaderAsDescribed) {
    const auto descriptions = Descriptions();
    std::set<std::string> names;
    for (const fs::path& d : descriptions) {
        SCOPED_TRACE(d.filename().string());
        const Loaded p = Load(d);
        const demo::DemoProject& want = p.description;
        names.insert(want.name + (want.web ? " web" : ""));
        const pe::ProjectFile& f = *p.file;
        ASSERT_EQ(f.PartCount(), static_cast<int>(want.categories.size() + want.items.size()));
        ASSERT_EQ(f.FaceCount(), f.PartCount());

        // Categories as 'T' rows in order, each followed by its items.
        std::vector<std::string> categories;
        std::size_t item = 0;
        char letter = 0;
        for (int i = 0; i < f.PartCount(); ++i) {
            const pe::PartRecord& part = f.parts[static_cast<std::size_t>(i)];
            if (part.RowType() == 'T') {
                categories.push_back(part.Name());
                letter = part.Category();
                EXPECT_EQ(letter, static_cast<char>('A' + categories.size() - 1));
                continue;
            }
            ASSERT_LT(item, want.items.size());
            const demo::DemoItem& w = want.items[item++];
            SCOPED_TRACE(w.picture);
            EXPECT_EQ(part.Category(), letter);
            EXPECT_NE(part.RowType(), 'K');
            EXPECT_EQ(w.category + 1, static_cast<int>(categories.size()));
            EXPECT_EQ(part.PictureName(), w.picture);
            EXPECT_EQ(part.Name(), w.name);
            EXPECT_EQ(part.GoodsCode(), w.goodsCode);
            EXPECT_EQ(part.Price(), w.price);
            EXPECT_EQ(part.Depth(), w.depth);
            EXPECT_EQ(pe::DepthToSlot(part.Depth(), pe::SlotRange::FromOne), w.depth);
            EXPECT_FLOAT_EQ(part.Scale(), want.scale);
            EXPECT_NE(part.PictureKind(), 'J');  // ".png"
            EXPECT_NE(part.PictureKind(), 'G');
            if (!w.link.empty()) {
                EXPECT_EQ(part.WebLink(), w.link);
                EXPECT_TRUE(w.link.starts_with("https://") || w.link.starts_with("http://"));
            }

            // The picture, its natural size in the record, its place from its origin.
            const wxImage img = ItemPicture(p, part);
            ASSERT_TRUE(img.IsOk());
            EXPECT_EQ(part.Width(), img.GetWidth());
            EXPECT_EQ(part.Height(), img.GetHeight());
            std::ifstream origin(kOrigins / want.name / (w.picture + ".origin"));
            int left = 0, top = 0;
            ASSERT_TRUE(origin >> left >> top);
            // The stored corner is that of the square box the model centres
            // the picture in.
            const int sw = static_cast<int>(static_cast<float>(img.GetWidth()) * want.scale);
            const int sh = static_cast<int>(static_cast<float>(img.GetHeight()) * want.scale);
            EXPECT_EQ(demo::PictureCorner(part.X(), part.Y(), sw, sh),
                      (demo::Corner{demo::StageCoordinate(want.figureX, left, want.scale),
                                    demo::StageCoordinate(want.figureY, top, want.scale)}));

            // One show picture, named in the pool, in the project's show folder.
            const pe::FaceRecord& face = f.faces[static_cast<std::size_t>(i)];
            EXPECT_EQ(face.FaceCount(), 1);
            EXPECT_EQ(face.FaceKind(), 'J');
            const std::string show = f.FaceString(i, 1, 0);
            EXPECT_EQ(show, w.picture + "_展示");
            const wxImage shown = LoadPicture(p.folder / "展示及说明图片" / (show + ".jpg"));
            ASSERT_TRUE(shown.IsOk());
            // The slideshow draws it at natural size in the 460 x 520 stage.
            EXPECT_LE(shown.GetWidth(), 456);
            EXPECT_LE(shown.GetHeight(), 516);
        }
        EXPECT_EQ(item, want.items.size());
        EXPECT_EQ(categories, want.categories);

        // The header names a folder that exists here, relative to the base.
        const fs::path stored = pe::StoredFolderPath(f.header.PictureFolder(), kBase);
        EXPECT_TRUE(fs::is_directory(stored)) << f.header.PictureFolder();
        EXPECT_TRUE(fs::equivalent(stored, p.folder / pe::kPictureSubfolderName));
    }
    EXPECT_EQ(names, (std::set<std::string>{"女装", "男装", "童装", "饰品", "春夏通勤搭配 web", "2010秋冬女装 web"}));
}

// Every voice line gives its item a spoken WAV file in the project's
// "音乐及语音" that the sound layer plays; 女装, the project the fitting room
// opens with, has some.
TEST(DemoProjects, ItemsWithAVoiceNameAFileThatPlays) {
    std::map<std::string, int> voices;
    for (const fs::path& d : Descriptions()) {
        const Loaded p = Load(d);
        const pe::ProjectFile& f = *p.file;
        for (const demo::DemoItem& w : p.description.items) {
            if (w.voice.empty()) continue;
            SCOPED_TRACE(p.description.name + "/" + w.picture);
            ++voices[p.description.name];
            const auto rows = ItemRows(f);
            const auto at = std::find_if(rows.begin(), rows.end(), [&](int r) {
                return f.parts[static_cast<std::size_t>(r)].PictureName() == w.picture;
            });
            ASSERT_NE(at, rows.end());
            EXPECT_EQ(f.parts[static_cast<std::size_t>(*at)].VoiceText(), w.voice);
            const fs::path file = p.folder / "音乐及语音" / w.voice;
            std::ifstream in(file, std::ios::binary);
            char head[12] = {};
            ASSERT_TRUE(in.read(head, sizeof head)) << file;
            EXPECT_EQ(std::string(head, 4), "RIFF");
            EXPECT_EQ(std::string(head + 8, 4), "WAVE");
            std::string why;
            EXPECT_EQ(platform::sound::Play(file, false, &why), platform::sound::PlayOutcome::Playing) << why;
            EXPECT_TRUE(platform::sound::IsPlaying());
            platform::sound::Stop();
            EXPECT_FALSE(platform::sound::IsPlaying());
        }
    }
    EXPECT_GE(voices["女装"], 1);
    EXPECT_GE(voices.size(), 3u);
}

TEST(DemoProjects, GarmentProjectsPutTheModelFirstAndTheButtonsWordsAfterIt) {
    // The right-hand list shows a project's first category last and its next
    // five under the buttons 上装, 下装, 包鞋类, 饰品, 套装; "dress the model with
    // the last category" then shows the model. The left-hand list keeps the
    // order of its buttons 发型 ... 礼品等.
    for (const fs::path& d : Descriptions()) {
        SCOPED_TRACE(d.filename().string());
        const Loaded p = Load(d);
        const auto& want = p.description;
        int model = 0, others = 0;
        for (const auto& item : want.items) (item.category == 0 && want.name != "饰品" ? model : others) += 1;
        EXPECT_GE(others, 8);
        EXPECT_LE(others, 20);
        if (want.name == "饰品") {
            EXPECT_EQ(want.categories, kAccessoryCategories);
            continue;
        }
        EXPECT_EQ(want.categories, kGarmentCategories);
        ASSERT_EQ(model, 1);
        EXPECT_EQ(want.items.front().depth, 99);
        for (const auto& item : want.items) {
            if (item.category > 0) {
                EXPECT_LT(item.depth, 99) << item.picture;
            }
        }
        // The web project is found by the loaders' own folder fallback too.
        if (want.web) {
            EXPECT_TRUE(fs::is_directory(kBase / want.name / pe::kPictureSubfolderName));
        }
    }
}

TEST(DemoProjects, ItemPicturesAreTransparentCutOutsOnTheStage) {
    for (const fs::path& d : Descriptions()) {
        const Loaded p = Load(d);
        for (int row : ItemRows(*p.file)) {
            const pe::PartRecord& part = p.file->parts[static_cast<std::size_t>(row)];
            SCOPED_TRACE(p.description.name + "/" + part.PictureName());
            const wxImage img = ItemPicture(p, part);
            ASSERT_TRUE(img.IsOk());
            ASSERT_TRUE(img.HasAlpha());
            const int w = img.GetWidth(), h = img.GetHeight();
            EXPECT_EQ(img.GetAlpha(0, 0), 0);
            EXPECT_EQ(img.GetAlpha(w - 1, h - 1), 0);
            // Cropped to the painted part: at most the margin and a pixel of slack.
            const wxRect painted = PaintedArea(img);
            EXPECT_LE(painted.GetLeft(), 4);
            EXPECT_LE(painted.GetTop(), 4);
            EXPECT_GE(painted.GetRight(), w - 5);
            EXPECT_GE(painted.GetBottom(), h - 5);
            // Inside the 460 x 520 stage where it is placed.
            const float s = part.Scale();
            const demo::Corner at = DrawnCorner(part, img);
            EXPECT_GE(at.x + painted.GetLeft() * s, 0);
            EXPECT_GE(at.y + painted.GetTop() * s, 0);
            EXPECT_LE(at.x + painted.GetRight() * s, 460);
            EXPECT_LE(at.y + painted.GetBottom() * s, 520);
        }
    }
}

TEST(DemoProjects, GarmentsLandOnTheModelOfTheirProject) {
    // Every garment of a garment project, drawn where the project puts it,
    // lies mostly over the model drawn where it puts the model; bags hang from
    // the hand and only need to touch it. Hair, hats and earrings (the left
    // list's accessories, placed for the adult models) are checked on the
    // women's model, counting what lies within 6 pixels of it: brims and
    // earrings reach past the head. Animals and gifts stand beside the model.
    const std::map<std::string, std::string> modelOf = {
        {"女装", "女装"}, {"男装", "男装"}, {"童装", "童装"}, {"春夏通勤搭配", "春夏通勤搭配"}, {"2010秋冬女装", "2010秋冬女装"},
        {"饰品", "女装"}};
    std::map<std::string, Loaded> loaded;
    for (const fs::path& d : Descriptions()) {
        Loaded p = Load(d);
        const std::string name = p.description.name;
        loaded.emplace(name, std::move(p));
    }
    for (const auto& [name, p] : loaded) {
        const Loaded& m = loaded.at(modelOf.at(name));
        const pe::PartRecord& modelPart = m.file->parts[1];  // the first item follows the 模特 row
        ASSERT_EQ(modelPart.Depth(), 99);
        const wxImage model = ItemPicture(m, modelPart);
        ASSERT_TRUE(model.IsOk());
        const double ms = modelPart.Scale();
        const demo::Corner modelAt = DrawnCorner(modelPart, model);
        auto solidAt = [&](int mx, int my) {
            return mx >= 0 && my >= 0 && mx < model.GetWidth() && my < model.GetHeight() && model.GetAlpha(mx, my) >= 128;
        };
        auto onModel = [&](double sx, double sy, int near) {
            const int mx = static_cast<int>((sx - modelAt.x) / ms), my = static_cast<int>((sy - modelAt.y) / ms);
            for (int dy = -near; dy <= near; dy += 2)
                for (int dx = -near; dx <= near; dx += 2)
                    if (solidAt(mx + dx, my + dy)) return true;
            return false;
        };
        for (int row : ItemRows(*p.file)) {
            const pe::PartRecord& part = p.file->parts[static_cast<std::size_t>(row)];
            const int slot = part.Depth();
            if (slot == 99 || slot == 3 || slot == 4) continue;  // the model itself; animals and gifts
            SCOPED_TRACE(name + "/" + part.PictureName());
            const wxImage img = ItemPicture(p, part);
            ASSERT_TRUE(img.IsOk());
            const double s = part.Scale();
            const demo::Corner at = DrawnCorner(part, img);
            const bool headWear = slot >= 6 && slot <= 8;
            int solid = 0, over = 0;
            for (int y = 0; y < img.GetHeight(); y += 2) {
                for (int x = 0; x < img.GetWidth(); x += 2) {
                    if (img.GetAlpha(x, y) < 128) continue;
                    ++solid;
                    if (onModel(at.x + (x + 0.5) * s, at.y + (y + 0.5) * s, headWear ? 6 : 0)) ++over;
                }
            }
            ASSERT_GT(solid, 0);
            const double share = static_cast<double>(over) / solid;
            if (slot == 15) {
                EXPECT_GT(share, 0.03) << "share over the model " << share;
            } else if (headWear) {
                EXPECT_GT(share, 0.35) << "share over the model " << share;
            } else {
                EXPECT_GT(share, 0.5) << "share over the model " << share;
            }
        }
    }
}

TEST(DemoInterface, EveryListAndMenuPictureIsThereInItsSize) {
    struct Case {
        std::string file;
        wxSize size;
    };
    std::vector<Case> cases;
    for (const char* scheme : {"RED", "BLUE"}) {
        const std::string s = scheme;
        for (const char* word : {"上装", "下装", "包鞋类", "饰品", "套装"}) {
            cases.push_back({"LEFT" + s + "AR_" + word + ".png", {20, 108}});
            cases.push_back({"TOPAGE" + s + "_NO" + word + ".png", {26, 68}});
            cases.push_back({"TOPAGE" + s + "_YES" + word + ".png", {26, 68}});
        }
        for (const char* word : {"发型", "帽子等", "耳坠等", "动物等", "礼品等"}) {
            cases.push_back({"ALEFT" + s + "AR_" + word + ".png", {20, 108}});
            cases.push_back({"BTOPAGE" + s + "_NO" + word + ".png", {26, 68}});
            cases.push_back({"BTOPAGE" + s + "_YES" + word + ".png", {26, 68}});
        }
        cases.push_back({"图片框背景" + s + ".png", {86, 86}});
    }
    const Case menu[] = {
        {"DressHouseMnu_Clear.png", {116, 28}},          {"DressHouseMnu_DeepDown.png", {56, 32}},
        {"DressHouseMnu_DeepUp.png", {56, 32}},          {"DressHouseMnu_PicMovPlate.png", {60, 57}},
        {"DressHouseMnu_PlaNum1.png", {22, 20}},         {"DressHouseMnu_PlaNum3.png", {22, 20}},
        {"DressHouseMnu_PlaNum7.png", {22, 20}},         {"DressHouseMnu_Small.png", {56, 44}},
        {"DressHouseMnu_Large.png", {56, 44}},           {"DressHouseMnu_ClothSEL.png", {56, 56}},
        {"DressHouseMnu_LDecoSEL.png", {56, 56}},        {"DressHouseMnu_ClothDel.png", {34, 40}},
        {"DressHouseMnu_SaveDeco.png", {104, 28}},       {"DressHouseMnu_PhotoShowOn.png", {116, 34}},
        {"DressHouseMnu_PhotoShowOff.png", {116, 34}},   {"DressHouseMnu_PhotoMovSca.png", {116, 34}},
        {"DressHouse_TipPhotoMov.png", {330, 58}},       {"DressHouse_TipPhotoMicro.png", {330, 58}},
    };
    cases.insert(cases.end(), std::begin(menu), std::end(menu));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const wxImage img = LoadPicture(kSysproj / c.file);
        ASSERT_TRUE(img.IsOk());
        EXPECT_EQ(img.GetSize(), c.size);
        ASSERT_TRUE(img.HasAlpha());
        EXPECT_LT(img.GetAlpha(0, 0), 128);  // rounded corners over whatever lies below
        EXPECT_GT(img.GetAlpha(img.GetWidth() / 2, img.GetHeight() / 2), 128);
    }
    for (const char* file : {"图片列表背景RED.png", "图片列表背景BLUE.png"}) {
        SCOPED_TRACE(file);
        const wxImage img = LoadPicture(kSysproj / file);
        ASSERT_TRUE(img.IsOk());
        if (img.HasAlpha()) {
            EXPECT_EQ(img.GetAlpha(0, 0), 255);  // stretched under the whole list
        }
    }
}

TEST(DemoInterface, MenuPicturesFitTheWindowsLayout) {
    // The menu's left column: Clear at (3, 3), DeepDown/DeepUp at (3, 35) and
    // (63, 35), the pad at (18, 71), Small/Large at (3, 141) and (63, 141),
    // the photo buttons at (3, 191) and (3, 231): none may reach the next.
    const struct {
        const char* file;
        int x, y;
    } column[] = {
        {"DressHouseMnu_Clear.png", 3, 3},       {"DressHouseMnu_DeepDown.png", 3, 35},
        {"DressHouseMnu_DeepUp.png", 63, 35},    {"DressHouseMnu_PicMovPlate.png", 18, 71},
        {"DressHouseMnu_Small.png", 3, 141},     {"DressHouseMnu_Large.png", 63, 141},
        {"DressHouseMnu_PhotoShowOn.png", 3, 191}, {"DressHouseMnu_PhotoMovSca.png", 3, 231},
    };
    std::vector<wxRect> rects;
    for (const auto& b : column) {
        const wxImage img = LoadPicture(kSysproj / b.file);
        ASSERT_TRUE(img.IsOk()) << b.file;
        rects.emplace_back(b.x, b.y, img.GetWidth(), img.GetHeight());
    }
    for (std::size_t i = 0; i < rects.size(); ++i) {
        for (std::size_t j = i + 1; j < rects.size(); ++j) {
            EXPECT_FALSE(rects[i].Intersects(rects[j])) << column[i].file << " / " << column[j].file;
        }
    }
    // The step number, drawn at (38, 93), lies in the pad's centre zone
    // (18..44 x 18..42 from the pad's corner at (18, 71)).
    for (const char* n : {"1", "3", "7"}) {
        const wxImage num = LoadPicture(kSysproj / (std::string("DressHouseMnu_PlaNum") + n + ".png"));
        ASSERT_TRUE(num.IsOk());
        EXPECT_TRUE(wxRect(18 + 18, 71 + 18, 27, 25).Contains(wxRect(38, 93, num.GetWidth(), num.GetHeight()))) << n;
    }
    // The list's page arrows (16 x 16 at 2, 4 and 2, 91 from a category
    // button's corner) lie on the button.
    const wxImage button = LoadPicture(kSysproj / "LEFTREDAR_上装.png");
    ASSERT_TRUE(button.IsOk());
    EXPECT_TRUE(wxRect(wxPoint(0, 0), button.GetSize()).Contains(wxRect(2, 91, 16, 16)));
}

TEST(DemoInterface, NamesThatDifferOnlyInLetterCaseAreOneFile) {
    // The cell frame is spelled "图片框背景BLUE.PNG" in one place and ".png" in
    // another; the base directory holds one file per name, whatever the case.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kSysproj)) names.push_back(entry.path().filename().string());
    for (std::size_t i = 0; i < names.size(); ++i) {
        for (std::size_t j = i + 1; j < names.size(); ++j) {
            EXPECT_FALSE(EqualsIgnoringAsciiCase(names[i], names[j])) << names[i] << " / " << names[j];
        }
    }
    for (const char* upper : {"图片框背景BLUE.PNG", "图片框背景RED.PNG"}) {
        const auto hit = std::find_if(names.begin(), names.end(),
                                      [&](const std::string& n) { return EqualsIgnoringAsciiCase(n, upper); });
        EXPECT_NE(hit, names.end()) << upper;
    }
}

TEST(DemoInterface, BackgroundsCoverTheStageAndThePlatform) {
    const fs::path folder = kBase / "服饰搭配背景图";
    struct Case {
        const char* file;
        wxSize atLeast;
    };
    const Case cases[] = {
        {"试衣间背景图.jpg", {460, 520}},   {"试衣平台背景.jpg", {1280, 800}},
        {"kzv_透明试衣间背景.jpg", {460, 520}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const wxImage img = LoadPicture(folder / c.file);
        ASSERT_TRUE(img.IsOk());
        EXPECT_GE(img.GetWidth(), c.atLeast.x);
        EXPECT_GE(img.GetHeight(), c.atLeast.y);
    }
    // The chooser lists the rooms and platforms by these patterns.
    int rooms = 0, platforms = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string n = entry.path().filename().string();
        if (n.starts_with("试衣间背景图") && n.ends_with(".jpg")) ++rooms;
        if (n.starts_with("试衣平台背景") && n.ends_with(".jpg")) ++platforms;
    }
    EXPECT_GE(rooms, 2);
    EXPECT_GE(platforms, 2);
}
