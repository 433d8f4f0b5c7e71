#include "fitting_room/sysproj_pictures.h"

#include <map>
#include <mutex>
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

// Resolved names, kept while the folder's entries stay as they were (its
// modification time): the lists and the stage ask for the same pictures on
// every paint, and a name that differs in case would otherwise cost a scan of
// the folder each time.
struct Resolved {
    std::filesystem::file_time_type folderTime;
    std::filesystem::path path;
};
std::mutex g_resolvedMutex;
std::map<std::string, Resolved> g_resolved;
int g_folderScans = 0;

}  // namespace

int SysprojFolderScans() {
    std::lock_guard lock(g_resolvedMutex);
    return g_folderScans;
}

std::filesystem::path SysprojPicture(const std::filesystem::path& base, std::string_view name) {
    namespace fs = std::filesystem;
    const fs::path folder = base / fs::path(std::string(kSysprojFolder));
    fs::path exact = folder / fs::path(std::string(name));
    std::error_code ec;
    const auto folderTime = fs::last_write_time(folder, ec);
    if (ec) return exact;
    const std::string key = exact.string();
    std::lock_guard lock(g_resolvedMutex);
    if (auto it = g_resolved.find(key); it != g_resolved.end() && it->second.folderTime == folderTime)
        return it->second.path;
    if (g_resolved.size() >= 4096) g_resolved.clear();
    fs::path found = exact;
    if (!fs::is_regular_file(exact, ec)) {
        ++g_folderScans;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            if (SameIgnoringAsciiCase(it->path().filename().string(), name) && it->is_regular_file(ec)) {
                found = it->path();
                break;
            }
        }
    }
    g_resolved[key] = Resolved{folderTime, found};
    return found;
}

}  // namespace fitting_room
