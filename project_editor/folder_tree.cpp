#include "project_editor/folder_tree.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace project_editor {

namespace {

// "\040" and the other octal escapes of /proc/self/mounts.
std::string UnescapeMount(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1]))) {
            out.push_back(static_cast<char>(std::stoi(s.substr(i + 1, 3), nullptr, 8)));
            i += 3;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

std::string NameOf(const fs::path& p) {
    std::string n = p.filename().string();
    return n.empty() ? p.string() : n;
}

}  // namespace

std::optional<std::vector<fs::path>> FolderReader::SubFolders(const fs::path& folder) {
    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    if (ec) return std::nullopt;
    std::vector<fs::path> out;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) break;
        const fs::path& p = it->path();
        if (p.filename().string().starts_with('.')) continue;
        std::error_code e2;
        if (fs::is_directory(p, e2)) out.push_back(p);  // follows links
    }
    return out;
}

std::vector<fs::path> FolderReader::Volumes() {
    std::vector<fs::path> out;
    std::ifstream in("/proc/self/mounts");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream ls(line);
        std::string dev, dir;
        ls >> dev >> dir;
        dir = UnescapeMount(dir);
        if (dir.starts_with("/media/") || dir.starts_with("/mnt/") || dir.starts_with("/run/media/")) out.emplace_back(dir);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

bool FolderNameLess(const std::string& a, const std::string& b) {
    const auto lower = [](unsigned char c) { return static_cast<char>(std::tolower(c)); };
    std::string la(a.size(), ' '), lb(b.size(), ' ');
    std::transform(a.begin(), a.end(), la.begin(), lower);
    std::transform(b.begin(), b.end(), lb.begin(), lower);
    return la != lb ? la < lb : a < b;
}

FolderTree::FolderTree(FolderReader& reader, fs::path home) : m_reader(reader), m_home(std::move(home)) {}

int FolderTree::Add(FolderEntry e, int parent) {
    m_nodes.push_back({std::move(e), parent, {}, false});
    return static_cast<int>(m_nodes.size()) - 1;
}

bool FolderTree::HasSubFolders(const fs::path& folder) {
    const auto subs = m_reader.SubFolders(folder);
    return subs && !subs->empty();
}

void FolderTree::Populate() {
    m_nodes.clear();
    m_roots.clear();
    if (!m_home.empty()) m_roots.push_back(Add({"主文件夹 (" + NameOf(m_home) + ")", m_home, HasSubFolders(m_home)}, kNone));
    m_roots.push_back(Add({"文件系统", "/", HasSubFolders("/")}, kNone));
    for (const fs::path& v : m_reader.Volumes()) m_roots.push_back(Add({NameOf(v), v, HasSubFolders(v)}, kNone));
    if (!m_roots.empty()) Expand(m_roots.front());
}

std::vector<int> FolderTree::Expand(int node) {
    std::vector<int> inserted;
    if (node < 0 || node >= size() || m_nodes[static_cast<std::size_t>(node)].filled) return inserted;
    m_nodes[static_cast<std::size_t>(node)].filled = true;
    const fs::path folder = m_nodes[static_cast<std::size_t>(node)].entry.path;
    auto subs = m_reader.SubFolders(folder);
    if (!subs) {
        m_nodes[static_cast<std::size_t>(node)].entry.hasChildren = false;
        return inserted;
    }
    std::vector<FolderEntry> entries;
    for (const fs::path& p : *subs) entries.push_back({NameOf(p), p, HasSubFolders(p)});
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return FolderNameLess(a.name, b.name); });
    for (FolderEntry& e : entries) {
        const int id = Add(std::move(e), node);
        m_nodes[static_cast<std::size_t>(node)].children.push_back(id);
        inserted.push_back(id);
    }
    m_nodes[static_cast<std::size_t>(node)].entry.hasChildren = !inserted.empty();
    return inserted;
}

std::optional<fs::path> FolderTree::Select(int node, std::vector<int>* inserted) {
    if (node < 0 || node >= size()) return std::nullopt;
    std::vector<int> added = Expand(node);
    if (inserted) *inserted = std::move(added);
    return m_nodes[static_cast<std::size_t>(node)].entry.path;
}

}  // namespace project_editor
