// Build-time tool: writes the stored (scrambled) form of a page template file.
//
//   template_scrambler PLAIN STORED
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/files.h"
#include "web_publish/template_scramble.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: template_scrambler PLAIN STORED\n");
        return 2;
    }
    const auto plain = platform::ReadWholeFile(std::filesystem::path(argv[1]));
    if (!plain) {
        std::fprintf(stderr, "template_scrambler: cannot read %s\n", argv[1]);
        return 1;
    }
    if (plain->size() * 2 > web_publish::kMaxStoredTemplateBytes) {
        std::fprintf(stderr, "template_scrambler: %s is too long for a stored template\n", argv[1]);
        return 1;
    }
    std::string error;
    if (!platform::SaveFileAtomic(std::filesystem::path(argv[2]), web_publish::ScrambleTemplate(*plain), &error)) {
        std::fprintf(stderr, "template_scrambler: cannot write %s: %s\n", argv[2], error.c_str());
        return 1;
    }
    return 0;
}
