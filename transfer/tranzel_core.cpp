#include "transfer/tranzel_core.h"

#include "platform/files.h"
#include "transfer/tranzel_texts.h"

namespace fs = std::filesystem;

namespace transfer {

fs::path UploadFolder(const fs::path& base) { return platform::JoinPath(base, {kUploadFolder}); }

std::vector<ListEntry> LocalPackages(const fs::path& base, std::string_view extension) {
    const std::string pattern = extension.empty() || extension == "*" ? std::string("*")
                                                                      : "*." + std::string(extension);
    std::vector<ListEntry> rows;
    for (const fs::path& file : platform::ListFiles(UploadFolder(base), pattern)) {
        if (static_cast<int>(rows.size()) >= kMaxLocalPackages) break;
        ListEntry e;
        e.name = file.filename().string();
        e.text = file.stem().string();
        rows.push_back(std::move(e));
    }
    return rows;
}

std::vector<ListEntry> RemoteRows(const std::vector<platform::FtpEntry>& entries) {
    std::vector<ListEntry> rows;
    for (const auto& e : entries) {
        if (!e.folder && platform::IsUploadTemporary(e.name)) continue;
        ListEntry row;
        row.name = e.name;
        row.folder = e.folder;
        row.text = e.folder ? "[" + e.display + "]" : e.display;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string RemoteFolder(std::string_view siteFolder) {
    return std::string(kRemoteRoot) + "/" + std::string(siteFolder);
}

std::string RemotePath(std::string_view siteFolder, std::string_view name) {
    return RemoteFolder(siteFolder) + "/" + std::string(name);
}

}  // namespace transfer
