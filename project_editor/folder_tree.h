#pragma once
// FolderTree: the folder tree of the folder dialogs as a Linux user sees the
// file system: the home folder, the file system root and the mounted
// volumes at the top, the folders below each filled the first time it is
// expanded or selected. Hidden folders are left out; links to folders are
// folders; a folder that cannot be read simply shows no children.
//
// No window: CShellTreeCtrl mirrors the nodes into its tree items. Folders
// are read through a FolderReader so that tests can make one unreadable.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace project_editor {

struct FolderEntry {
    std::string name;             // shown text
    std::filesystem::path path;
    bool hasChildren = false;     // shows the expand button before the children exist
};

class FolderReader {
public:
    virtual ~FolderReader() = default;
    // The visible sub-folders of `folder` (links to folders included), in
    // any order; nullopt when the folder cannot be read.
    virtual std::optional<std::vector<std::filesystem::path>> SubFolders(const std::filesystem::path& folder);
    // Mount points of removable and other volumes, from /proc/self/mounts.
    virtual std::vector<std::filesystem::path> Volumes();
};

// The order of the tree: case-insensitive by name, then byte order.
bool FolderNameLess(const std::string& a, const std::string& b);

class FolderTree {
public:
    static constexpr int kNone = -1;

    FolderTree(FolderReader& reader, std::filesystem::path home);

    // All nodes dropped; the roots inserted; the first root expanded.
    void Populate();
    const std::vector<int>& roots() const { return m_roots; }

    const FolderEntry& entry(int node) const { return m_nodes.at(static_cast<std::size_t>(node)).entry; }
    const std::vector<int>& children(int node) const { return m_nodes.at(static_cast<std::size_t>(node)).children; }
    bool filled(int node) const { return m_nodes.at(static_cast<std::size_t>(node)).filled; }
    int size() const { return static_cast<int>(m_nodes.size()); }

    // Fills the node's children the first time; returns the nodes inserted
    // (none the second time or for an unreadable folder).
    std::vector<int> Expand(int node);
    // The folder of a selected node; fills its children without expanding it.
    std::optional<std::filesystem::path> Select(int node, std::vector<int>* inserted = nullptr);

private:
    struct Node {
        FolderEntry entry;
        int parent = kNone;
        std::vector<int> children;
        bool filled = false;
    };
    int Add(FolderEntry e, int parent);
    bool HasSubFolders(const std::filesystem::path& folder);

    FolderReader& m_reader;
    std::filesystem::path m_home;
    std::vector<Node> m_nodes;
    std::vector<int> m_roots;
};

}  // namespace project_editor
