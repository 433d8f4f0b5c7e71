// Writes the seed corpora of the image editor's readers: settings records
// (new, with texts, with a Windows photo folder) and icon-list files (empty,
// two groups, a long name).
// Usage: make_pictova_seeds <settings corpus folder> <icon-list corpus folder>
#include <cstdio>
#include <cstring>
#include <span>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image_editor/camera_sys_info.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& file, std::span<const std::uint8_t> bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
}

std::vector<std::uint8_t> IconList(const std::vector<std::pair<char, int>>& items, const std::vector<std::string>& names) {
    std::string text;
    std::vector<std::pair<int, int>> entries;
    for (const auto& n : names) {
        const std::string g = platform::Utf8ToGbkLossy(n);
        entries.push_back({static_cast<int>(text.size()), static_cast<int>(g.size())});
        text += g;
    }
    std::vector<std::uint8_t> b(32 + 60 * items.size() + 12 * entries.size() + text.size(), 0);
    std::memcpy(b.data(), "      ", 6);
    Put32(b, 8, static_cast<std::int32_t>(items.size()));
    Put32(b, 12, static_cast<std::int32_t>(entries.size()));
    Put32(b, 16, static_cast<std::int32_t>(text.size()));
    std::size_t at = 32;
    for (const auto& [type, name] : items) {
        std::memcpy(&b[at], "         ", 9);
        b[at + 1] = static_cast<std::uint8_t>(type);
        for (int k = 0; k < 12; ++k) Put32(b, at + 12 + 4 * k, -1);
        Put32(b, at + 16, name);
        at += 60;
    }
    for (const auto& [off, len] : entries) {
        Put32(b, at, off);
        Put32(b, at + 4, len);
        at += 12;
    }
    std::memcpy(&b[at], text.data(), text.size());
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_pictova_seeds <settings dir> <icon-list dir>\n");
        return 2;
    }
    const fs::path settings = argv[1], icons = argv[2];
    fs::create_directories(settings);
    fs::create_directories(icons);

    const fs::path work = fs::temp_directory_path() / ("pictova_seeds_" + std::to_string(::getpid()));
    fs::create_directories(work);
    {
        image_editor::CCameraSysInfo info;
        info.SetBaseDir(work);
        info.LoadOrCreate();
        Write(settings / "new.e3f", info.Bytes());
        info.GetSetText(102, "背景目录");
        info.GetSetText(302, "/home/u/kzvEcamsys背景图片/背景图001.jpg");
        info.GetSetText(202, "D:\\照片\\保存");
        Write(settings / "texts.e3f", info.Bytes());
    }
    fs::remove_all(work);

    Write(icons / "empty.jxd", IconList({}, {}));
    Write(icons / "groups.jxd", IconList({{'T', 0}, {'H', 1}, {' ', 2}, {' ', 3}, {'H', 4}, {' ', 5}},
                                         {"标题", "上衣", "衬衫", "外套", "裙子", "长裙"}));
    Write(icons / "long.jxd", IconList({{'H', 0}, {' ', 1}}, {std::string(300, 'n'), "衣"}));
    return 0;
}
