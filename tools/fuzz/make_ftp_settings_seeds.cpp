// Writes the seed corpus of the FTP settings fuzz target: whole records with
// plain, empty, Chinese and full-length texts, and two cut ones.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "transfer/ftp_settings.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    const transfer::FtpSettings seeds[] = {
        {"ftp.shop.cn", "shop", "secret", "DressDLoad2010"},
        {"", "", "", ""},
        {"127.0.0.1:2121", "用户", "口令口令", "春装目录"},
        {std::string(36, 's'), std::string(36, 'u'), std::string(36, 'p'), std::string(36, 'f')},
    };
    int n = 0;
    for (const auto& s : seeds) {
        const auto bytes = transfer::EncodeFtpSettings(s);
        for (std::size_t len : {bytes.size(), bytes.size() / 2}) {
            if (len != bytes.size() && n > 2) continue;
            std::ofstream out(dir / ("seed" + std::to_string(n++)), std::ios::binary);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(len));
        }
    }
    return 0;
}
