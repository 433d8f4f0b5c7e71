#include "fitting_room/photo_bar_rules.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace fitting_room {

bool IsPlainPictureName(const std::string& name) {
    if (name.empty() || name.size() > 200 || name == "." || name == "..") return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == '/' || c == '\\' || c == 0x7f) return false;
    return true;
}

SnapshotTarget SnapshotFile(const fs::path& base, const std::string& name, const std::string& format) {
    SnapshotTarget t;
    const char first = format.empty() ? 'J' : format[0];
    const char* ext = ".jpg";
    if (first == 'B') {
        ext = ".bmp";
        t.format = 'B';
    } else if (first == 'P') {
        ext = ".png";
        t.format = 'P';
    }
    t.path = base / fs::path(kPhotoFolderName) / fs::path(name + ext);
    return t;
}

std::vector<std::string> SavedPictures(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        const std::string name = it->path().filename().string();
        const auto dot = name.rfind('.');
        if (dot == std::string::npos) continue;
        const std::string ext = name.substr(dot + 1);
        if (ext == "bmp" || ext == "jpg" || ext == "png") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    if (names.size() > static_cast<std::size_t>(kMaxSavedPictures)) names.resize(kMaxSavedPictures);
    return names;
}

}  // namespace fitting_room
