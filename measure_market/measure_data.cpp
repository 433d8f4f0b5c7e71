#include "measure_market/measure_data.h"

#include "platform/files.h"

namespace measure {

std::filesystem::path DataFolder(const std::filesystem::path& base) { return platform::JoinPath(base, {kDataFolder}); }

std::filesystem::path DataFile(const std::filesystem::path& base, std::string_view name) {
    return platform::JoinPath(base, {kDataFolder, name});
}

}  // namespace measure
