// The folder dialogs' tree over a temporary folder structure: roots, sorted
// children filled once, links to folders, hidden folders left out, and a
// folder that cannot be read (injected: the tests run as root).
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "project_editor/folder_tree.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace project_editor;

namespace {

class Reader : public FolderReader {
public:
    std::optional<std::vector<fs::path>> SubFolders(const fs::path& folder) override {
        ++reads[folder.filename().string()];
        if (folder.filename() == "unread") return std::nullopt;
        return FolderReader::SubFolders(folder);
    }
    std::vector<fs::path> Volumes() override { return volumes; }
    std::vector<fs::path> volumes;
    std::map<std::string, int> reads;
};

std::vector<std::string> Texts(const FolderTree& t, const std::vector<int>& ids) {
    std::vector<std::string> v;
    for (int id : ids) v.push_back(t.entry(id).name);
    return v;
}

int Child(const FolderTree& t, int node, const std::string& name) {
    for (int c : t.children(node))
        if (t.entry(c).name == name) return c;
    return -1;
}

TEST(FolderTree, HomeFolderFilledLazilyWithLinksAndAnUnreadableFolder) {
    testsupport::TempDir dir;
    const fs::path home = dir / "home";
    for (const char* sub : {"a/a1", "B", "unread/x", ".hidden/y", "vol/v1"}) fs::create_directories(home / sub);
    std::ofstream(home / "file.txt") << "x";
    fs::create_directory_symlink(home / "a", home / "c");
    fs::create_directory_symlink(home / "a", home / "a" / "a1" / "loop");  // a loop through a link
    fs::create_symlink(home / "missing", home / "broken");

    Reader reader;
    reader.volumes = {home / "vol"};
    FolderTree tree(reader, home);
    tree.Populate();
    ASSERT_EQ(tree.roots().size(), 3u);
    EXPECT_EQ(tree.entry(tree.roots()[1]).path, fs::path("/"));
    EXPECT_EQ(tree.entry(tree.roots()[2]).name, "vol");
    const int root = tree.roots()[0];
    EXPECT_TRUE(tree.filled(root)) << "the first root is expanded";
    EXPECT_EQ(Texts(tree, tree.children(root)), (std::vector<std::string>{"a", "B", "c", "unread", "vol"}));

    const int a = Child(tree, root, "a"), b = Child(tree, root, "B"), c = Child(tree, root, "c");
    const int unread = Child(tree, root, "unread");
    EXPECT_TRUE(tree.entry(a).hasChildren);
    EXPECT_FALSE(tree.entry(b).hasChildren);
    EXPECT_TRUE(tree.entry(c).hasChildren) << "a link to a folder";
    EXPECT_FALSE(tree.entry(unread).hasChildren);
    EXPECT_FALSE(tree.filled(c));

    // The link's children are reached through the link's own path.
    const std::vector<int> under = tree.Expand(c);
    ASSERT_EQ(under.size(), 1u);
    EXPECT_EQ(tree.entry(under[0]).path, home / "c" / "a1");
    EXPECT_TRUE(tree.Expand(c).empty()) << "expanding twice inserts once";
    // Following the loop goes one level at a time.
    const int loop = tree.Expand(under[0]).at(0);
    EXPECT_EQ(tree.entry(loop).name, "loop");
    EXPECT_EQ(Texts(tree, tree.Expand(loop)), (std::vector<std::string>{"a1"}));

    // An unreadable folder shows nothing and breaks nothing.
    EXPECT_TRUE(tree.Expand(unread).empty());
    EXPECT_TRUE(tree.children(unread).empty());

    // Selecting fills the children without expanding; expanding later adds nothing.
    std::vector<int> filled;
    const auto path = tree.Select(a, &filled);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, home / "a");
    EXPECT_EQ(Texts(tree, filled), (std::vector<std::string>{"a1"}));
    EXPECT_TRUE(tree.Expand(a).empty());
    EXPECT_EQ(tree.children(a).size(), 1u);

    // Populating again starts over.
    tree.Populate();
    EXPECT_EQ(tree.children(tree.roots()[0]).size(), 5u);
}

TEST(FolderTree, NamesSortWithoutCaseThenByBytes) {
    EXPECT_TRUE(FolderNameLess("a", "B"));
    EXPECT_TRUE(FolderNameLess("B", "b"));
    EXPECT_TRUE(FolderNameLess("ab", "abc"));
    EXPECT_TRUE(FolderNameLess("z", "图片"));
}

}  // namespace
