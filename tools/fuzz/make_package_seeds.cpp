// Writes the seed corpora of the package and download-record fuzz targets:
// packages packed from a small project (Chinese names, an empty file), one
// with the pool's names cut, and request and result records.
// Usage: make_package_seeds <package corpus folder> <record corpus folder>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "project_editor/project_file.h"
#include "shell/data_package.h"
#include "shell/download_record.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <package corpus> <record corpus>\n", argv[0]);
        return 2;
    }
    const fs::path packages = argv[1], records = argv[2];
    fs::create_directories(packages);
    fs::create_directories(records);
    const fs::path base = fs::temp_directory_path() / ("package-seeds-" + std::to_string(::getpid()));

    auto project = std::make_unique<project_editor::ProjectFile>();
    project->SetPartCount(2);
    const auto dm3 = project_editor::WriteProjectBytes(*project);
    Write(base / "KZV网页项目文件" / "春装.dm3", std::string(dm3.begin(), dm3.end()));
    const fs::path folder = base / "服饰搭配自定试衣项目" / "春装";
    Write(folder / "试衣及按钮图片" / "红色上衣.png", std::string(300, 'r'));
    Write(folder / "试衣及按钮图片" / "空.png", "");
    Write(folder / "音乐及语音" / "a.mp3", "music");
    Write(folder / "展示及说明图片" / "说明.jpg", "show");
    shell::CDataPackage packer;
    packer.SetDirectories(base);
    if (!packer.Pack("春装")) {
        std::fprintf(stderr, "%s\n", packer.GetLastErrorText().c_str());
        return 1;
    }
    const std::string package = Read(packer.PackagePath("春装"));
    Write(packages / "project.rar", package);
    std::string cut = package;
    cut.resize(cut.size() - 3);  // the pool's last name cut short
    Write(packages / "cut.rar", cut);

    shell::CDLoadRecord record;
    record.SetDirectory(base);
    record.WriteRequest('B', "http://127.0.0.1/dressDLoad2010/FittoraProjLst.htm", "试衣项目下载");
    Write(records / "request.3if", Read(record.path()));
    record.WriteResult("春装.rar");
    Write(records / "result.3if", Read(record.path()));
    Write(records / "short.3if", Read(record.path()).substr(0, 100));
    fs::remove_all(base);
    return 0;
}
