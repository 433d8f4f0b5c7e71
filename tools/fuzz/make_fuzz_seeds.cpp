// Writes the seed corpora of the fuzz targets, so the repository keeps code
// rather than binary files: fitting projects (empty, small with face strings,
// full), older ".dy3" files, and settings records.
// Usage: make_fuzz_seeds <project corpus folder> <settings corpus folder>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "project_editor/project_file.h"
#include "project_editor/project_store.h"
#include "project_editor/sys_set_info.h"

using namespace project_editor;
namespace fs = std::filesystem;

namespace {

void Write(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> Project(int parts, int stringsPerPart) {
    CProjectStore store;
    store.Header().SetStateLetter('A');
    store.Header().SetEditionLetter('1');
    store.Header().SetPictureFolder("C:\\KZV\\试衣及按钮图片");
    store.SetPartCount(parts);
    for (int i = 0; i < parts; ++i) {
        PartRecord& p = store.Part(i);
        p.SetCategory(static_cast<char>('A' + i % 5));
        p.SetRowType(i % 7 == 0 ? 'T' : 'x');
        p.SetName("部件" + std::to_string(i));
        p.SetPictureName("pic" + std::to_string(i));
        p.SetDepth(i - 3);
        p.SetScale(0.5f + static_cast<float>(i) / 10.0f);
        store.Face(i).SetFaceCountLetter(static_cast<char>('0' + i % 10));
        for (int k = 0; k < stringsPerPart; ++k) {
            std::int32_t off = -1, len = 0;
            if (store.AddString(off, len, "face" + std::to_string(i) + "_" + std::to_string(k) + ".jpg") ==
                AddStringResult::PoolFull)
                break;
            store.Face(i).SetString(1 + k % 4, k / 4, off, static_cast<std::uint8_t>(len));
        }
    }
    if (store.FaceCount() < store.PartCount()) store.Project().SetFaceCount(store.PartCount());
    return WriteProjectBytes(store.Project());
}

std::vector<std::uint8_t> Legacy(int parts) {
    std::vector<std::uint8_t> bytes(kHeaderSize + kLegacyPartSize * static_cast<std::size_t>(parts), 0);
    bytes[368] = static_cast<std::uint8_t>(parts);
    for (int i = 0; i < parts; ++i) {
        std::uint8_t* r = bytes.data() + kHeaderSize + kLegacyPartSize * static_cast<std::size_t>(i);
        r[0] = 'A';
        r[1] = 'x';
        std::snprintf(reinterpret_cast<char*>(r + 3), 66, "old%d", i);
        r[492 + 3] = 0x3F;  // scale 0.5
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <project corpus> <settings corpus>\n", argv[0]);
        return 2;
    }
    const fs::path projects = argv[1], settings = argv[2];
    fs::create_directories(projects);
    fs::create_directories(settings);
    Write(projects / "empty.dm3", Project(0, 0));
    Write(projects / "small.dm3", Project(3, 5));
    Write(projects / "full.dm3", Project(kMaxParts, 64));
    Write(projects / "old.dy3", Legacy(2));

    CSysSetInfo info;
    info.SetBaseDir("/base");
    const auto rec = info.Bytes();
    Write(settings / "default.sy3", std::vector<std::uint8_t>(rec.begin(), rec.end()));
    info.SetField(CSysSetInfo::kTemplateName, "模板");
    info.SetField(CSysSetInfo::kTemplateIndex, "3");
    std::vector<std::uint8_t> withText(info.Bytes().begin(), info.Bytes().end());
    for (char c : std::string("新的文字")) withText.push_back(static_cast<std::uint8_t>(c));
    Write(settings / "with_text.sy3", withText);
    return 0;
}
