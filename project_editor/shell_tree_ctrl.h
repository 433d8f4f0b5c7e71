#pragma once
// CShellTreeCtrl: a tree control over FolderTree (the home folder, the file
// system, mounted volumes, folders filled on first expansion). Each item
// carries its node and its folder's path as item data, deleted with the item.
// CFolderTreeDlg: dialog 150 "选择文件夹" around it; the caller reads path()
// after the dialog ends with OK. Used by the add-pictures dialog and the
// other folder choices of Pavanel and Pictova.
#include <filesystem>
#include <memory>
#include <optional>

#include <wx/dialog.h>
#include <wx/treectrl.h>

#include "project_editor/folder_tree.h"

namespace project_editor {

inline constexpr int kFolderDialogId = 150;
inline constexpr int kFolderTreeId = 1070;

class CShellTreeCtrl : public wxTreeCtrl {
public:
    // `reader` may be given by tests; the control keeps a plain one otherwise.
    CShellTreeCtrl(wxWindow* parent, int id, FolderReader* reader = nullptr);

    void AttachSystemImageList();
    // All items deleted, the roots inserted, the first one expanded and selected.
    void Populate();
    // TVN_ITEMEXPANDING: fills the item's children the first time.
    void ExpandItem(wxTreeEvent& event);
    // The caret item's folder; its children are filled without expanding it.
    bool GetSelectedPath(std::filesystem::path& out);
    // Expands the tree down to `folder` and selects it; false when it is not
    // below any root.
    bool SelectFolder(const std::filesystem::path& folder);
    // The path an item keeps (empty for none).
    std::filesystem::path PathOf(const wxTreeItemId& item) const;

private:
    struct ItemData;
    void InsertChildren(const wxTreeItemId& parent, const std::vector<int>& nodes);
    int NodeOf(const wxTreeItemId& item) const;

    std::unique_ptr<FolderReader> m_ownReader;
    FolderTree m_tree;
    wxTreeItemId m_root;
};

class CFolderTreeDlg : public wxDialog {
public:
    explicit CFolderTreeDlg(wxWindow* parent, FolderReader* reader = nullptr);

    CShellTreeCtrl& tree() { return *m_tree; }
    const std::filesystem::path& path() const { return m_path; }

private:
    void OnSelChanged(wxTreeEvent& e);

    CShellTreeCtrl* m_tree = nullptr;
    std::filesystem::path m_path;
};

}  // namespace project_editor
