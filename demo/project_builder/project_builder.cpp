// project_builder: writes one demo fitting project as a real ".dm3" through
// the project store, at build time.
//   project_builder DESCRIPTION.txt BASE ORIGINS
// DESCRIPTION is a demo/projects file (project_description.h); BASE the demo
// base directory, in which the item pictures have already been drawn; ORIGINS
// the folder of "<picture>.origin" files the asset builder wrote beside them.
// A basic project goes to "<BASE>/服饰搭配基本项目/<name>.dm3", a web project to
// "<BASE>/KZV网页项目文件/<name>.dm3" through the store's own save. Every item
// gets one show picture, "<picture>_展示.jpg", in the project's "展示及说明图片";
// an item with a voice names its file in the project's "音乐及语音".
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "demo/project_builder/project_description.h"
#include "platform/files.h"
#include "project_editor/project_file.h"
#include "project_editor/project_store.h"

namespace fs = std::filesystem;
namespace pe = project_editor;

namespace {

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

// Width and height from a PNG's header.
void PngSize(const fs::path& file, int& width, int& height) {
    std::ifstream in(file, std::ios::binary);
    unsigned char head[24] = {};
    if (!in.read(reinterpret_cast<char*>(head), sizeof head) || head[1] != 'P' || head[2] != 'N' || head[3] != 'G')
        Fail("not a PNG picture: " + file.string());
    auto be = [&](int at) { return (head[at] << 24) | (head[at + 1] << 16) | (head[at + 2] << 8) | head[at + 3]; };
    width = be(16);
    height = be(20);
}

void ReadOrigin(const fs::path& file, int& left, int& top) {
    std::ifstream in(file);
    if (!(in >> left >> top)) Fail("cannot read the origin file " + file.string());
}

void Build(const fs::path& description, const fs::path& base, const fs::path& origins) {
    std::ifstream in(description);
    if (!in) Fail("cannot read " + description.string());
    const demo::DemoProject project = demo::ReadDemoProject(in);

    // Where the pictures lie, as the programs look for them.
    const fs::path projectFolder = project.web ? fs::path(project.name)
                                               : fs::path(pe::kBasicProjectFolderName) / project.name;
    const fs::path pictures = base / projectFolder / pe::kPictureSubfolderName;

    pe::CProjectStore store;
    store.SetBaseDir(base);
    store.SetProjectName(project.name);
    store.Reset();
    pe::ProjectHeader& header = store.Header();
    header.SetStateLetter(' ');
    header.SetEditionLetter('1');
    // Stored relative to the base directory, with the backslashes of the
    // project files, so that the project keeps working wherever the base lies.
    std::string stored = (projectFolder / pe::kPictureSubfolderName).generic_string();
    for (char& c : stored)
        if (c == '/') c = '\\';
    header.SetPictureFolder(stored);

    int row = 0;
    auto next = [&]() -> pe::PartRecord& {
        if (row >= pe::kMaxParts) Fail("more than 166 rows");
        pe::PartRecord& part = store.Part(row++);
        part.Reset();
        part.SetSwitch('1');
        return part;
    };
    for (int c = 0; c < static_cast<int>(project.categories.size()); ++c) {
        const char letter = static_cast<char>('A' + c);
        pe::PartRecord& caption = next();
        caption.SetCategory(letter);
        caption.SetRowType('T');
        caption.SetName(project.categories[static_cast<std::size_t>(c)]);
        for (const demo::DemoItem& item : project.items) {
            if (item.category != c) continue;
            const int index = row;
            pe::PartRecord& part = next();
            part.SetCategory(letter);
            part.SetRowType(' ');
            if (!part.SetName(item.name) || !part.SetGoodsCode(item.goodsCode) ||
                !part.SetPictureName(item.picture) || !part.SetPrice(item.price))
                Fail("a text of " + item.picture + " is too long for its field");
            if (!item.link.empty()) part.SetWebLink(item.link);
            if (!item.voice.empty()) {
                if (!fs::exists(base / projectFolder / "音乐及语音" / item.voice))
                    Fail("no voice file " + item.voice);
                if (!part.SetVoiceText(item.voice)) Fail("the voice name " + item.voice + " is too long for its field");
            }
            part.SetPictureKind('P');
            int width = 0, height = 0, left = 0, top = 0;
            PngSize(pictures / (item.picture + ".png"), width, height);
            ReadOrigin(origins / (item.picture + ".origin"), left, top);
            part.SetWidth(width);
            part.SetHeight(height);
            part.SetSizeText(std::to_string(width) + "," + std::to_string(height));
            const demo::Corner corner = demo::StoredCorner(
                demo::StageCoordinate(project.figureX, left, project.scale),
                demo::StageCoordinate(project.figureY, top, project.scale),
                static_cast<int>(static_cast<float>(width) * project.scale),
                static_cast<int>(static_cast<float>(height) * project.scale));
            part.SetX(corner.x);
            part.SetY(corner.y);
            part.SetDepth(item.depth);
            part.SetScale(project.scale);

            // One show picture, named in the pool as face string 1 of kind 1.
            const std::string show = item.picture + "_展示";
            if (!fs::exists(base / projectFolder / "展示及说明图片" / (show + ".jpg")))
                Fail("no show picture " + show + ".jpg");
            std::int32_t offset = -1, length = 0;
            if (store.AddString(offset, length, show) != pe::AddStringResult::Appended) Fail("the text pool is full");
            pe::FaceRecord& face = store.Face(index);
            face.SetFaceKind('J');
            face.SetFaceCountLetter('1');
            face.SetString(1, 0, offset, static_cast<std::uint8_t>(length));
        }
    }
    store.SetPartCount(row);
    store.Project().SetFaceCount(row);

    if (project.web) {
        std::string why;
        if (store.Save(&why) != pe::SaveResult::Saved) Fail("cannot save the web project: " + why);
        return;
    }
    const auto bytes = pe::WriteProjectBytes(store.Project());
    std::string why;
    if (!platform::SaveFileAtomic(pe::BasicProjectFilePath(base, project.name), bytes, &why))
        Fail("cannot write the basic project: " + why);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: project_builder DESCRIPTION.txt BASE ORIGINS\n");
        return 2;
    }
    try {
        Build(fs::path(argv[1]), fs::path(argv[2]), fs::path(argv[3]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "project_builder: %s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}
