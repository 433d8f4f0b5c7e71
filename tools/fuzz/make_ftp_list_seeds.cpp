// Writes the seed corpus of the FTP listing fuzz target: LIST replies as Unix
// and DOS servers send them, with Chinese and GBK names, links, folders, the
// temporaries of uploads and names that look like them.
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    const std::string seeds[] = {
        "-rw-r--r--   1 owner    group     1048576 Dec 10 02:51 春季新款.rar\r\n"
        "drwxr-xr-x   2 owner    group        4096 Jan 01  2010 DownLoad\r\n"
        "lrwxrwxrwx   1 root     root            7 Mar  3 11:00 latest -> 春季新款.rar\r\n",
        "total 24\r\n"
        "-rw-r--r--   1 ftp      ftp          5000 Mar  3 11:00 .春装.rar.0badc0de.part\r\n"
        "-rw-r--r--   1 ftp      ftp          5000 Mar  3 11:00 .春装.rar.part\r\n"
        "-rw-r--r--   1 ftp      ftp          5000 Mar  3 11:00 春装.rar.12345678.part\r\n"
        "drwxr-xr-x   2 ftp      ftp          4096 Mar  3 11:00 .夏装.rar.89abcdef.part\r\n",
        "01-31-10  09:12PM       <DIR>          Shows\r\n"
        "01-31-10  09:12PM              2048000 春装 2010.rar\r\n"
        "01-31-10  09:12PM                 1000 .a b.rar.ffffffff.part\r\n",
        "-rw-r--r--   1 owner    group          10 Dec 10 02:51 \xB4\xBA\xD7\xB0.rar\n"
        "-rw-r--r--   1 ftp           123 Mar  3 11:00 nogroup.zip\n",
        ".春装.rar.0badc0de.part",
        "127.0.0.1:2121",
    };
    int n = 0;
    for (const std::string& s : seeds) {
        std::ofstream out(dir / ("seed" + std::to_string(n++)), std::ios::binary);
        out.write(s.data(), static_cast<std::streamsize>(s.size()));
    }
    return 0;
}
