#include "shell/base_directory.h"

namespace shell {
namespace {
std::filesystem::path& Store() {
    static std::filesystem::path dir;
    return dir;
}
}  // namespace

const std::filesystem::path& BaseDirectory() { return Store(); }
void SetBaseDirectory(const std::filesystem::path& dir) { Store() = dir; }

}  // namespace shell
