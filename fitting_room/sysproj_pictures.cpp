#include "fitting_room/sysproj_pictures.h"

#include <string>
#include <system_error>

namespace fitting_room {
namespace {

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

std::filesystem::path SysprojPicture(const std::filesystem::path& base, std::string_view name) {
    namespace fs = std::filesystem;
    const fs::path folder = base / fs::path(std::string(kSysprojFolder));
    fs::path exact = folder / fs::path(std::string(name));
    std::error_code ec;
    if (fs::is_regular_file(exact, ec)) return exact;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string found = it->path().filename().string();
        if (SameIgnoringAsciiCase(found, name) && it->is_regular_file(ec)) return it->path();
    }
    return exact;
}

}  // namespace fitting_room
