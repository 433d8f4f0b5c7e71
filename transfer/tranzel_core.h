#pragma once
// What the transfer dialog lists and where its files go: the packages of the
// upload folder, the remote site folder under "web", and the paths built
// from them. Remote paths use '/'. No windows here.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ftp.h"

namespace transfer {

// One row of the dialog's list: what it shows and the real name behind it.
struct ListEntry {
    std::string text;    // shown (a remote folder in square brackets)
    std::string name;    // the real file name: local UTF-8, or the server's bytes
    bool folder = false;
};

std::filesystem::path UploadFolder(const std::filesystem::path& base);

// The packages "<upload folder>/*.<extension>" (every file for "*"), sorted
// by name, at most 60; each shows its title (the name without extension).
std::vector<ListEntry> LocalPackages(const std::filesystem::path& base, std::string_view extension);

// The rows of a remote listing, in the server's order; the temporary files
// of uploads (".<包名>.<8 hex digits>.part", left by a server or a program
// that died in the middle of one) are left out.
std::vector<ListEntry> RemoteRows(const std::vector<platform::FtpEntry>& entries);

// "web/<site folder>" and "web/<site folder>/<name>".
std::string RemoteFolder(std::string_view siteFolder);
std::string RemotePath(std::string_view siteFolder, std::string_view name);

}  // namespace transfer
