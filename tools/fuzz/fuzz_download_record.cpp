// libFuzzer target: the download request record as the download module
// reads it. Whatever the file holds (any length), the request reads; a
// result written then reads back as the same name, and the request's kind,
// address and title bytes stay as they were.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "shell/download_record.h"

namespace fs = std::filesystem;

namespace {

// A folder beside the target's own files, reused from run to run.
const fs::path& WorkDir() {
    static const fs::path dir = [] {
        const fs::path d = fs::read_symlink("/proc/self/exe").parent_path() / "work" / "download_record_files";
        fs::create_directories(d / "服饰搭配下载专区");
        return d;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path file = WorkDir() / "服饰搭配下载专区" / "fittoraDLoadRec.3if";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    shell::CDLoadRecord module;
    module.SetDirectory(WorkDir());
    std::string address, title, name;
    char kind = 0;
    if (!module.Read(&address, &title, &kind)) std::abort();
    if (address.find('\0') != std::string::npos || title.find('\0') != std::string::npos) std::abort();
    const auto request = module.record().bytes;

    shell::CDLoadRecord client;
    client.SetDirectory(WorkDir());
    const bool answered = client.ReadResult(&name);
    if (answered != (size > 1 && data[1] == 'Y')) std::abort();

    if (!module.WriteResult("结果.rar")) std::abort();
    if (!client.ReadResult(&name) || name != "结果.rar") std::abort();
    const auto after = client.record().bytes;
    if (after[0] != request[0] || std::memcmp(after.data() + 2, request.data() + 2, 404) != 0) std::abort();
    return 0;
}
