#include "project_editor/shell_tree_ctrl.h"

#include <cstdlib>

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/imaglist.h>
#include <wx/sizer.h>

namespace fs = std::filesystem;

namespace project_editor {

namespace {

fs::path HomeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? fs::path(home) : fs::path();
}

bool IsBelow(const fs::path& folder, const fs::path& root) {
    auto f = folder.begin();
    for (auto r = root.begin(); r != root.end(); ++r, ++f) {
        if (r->empty()) continue;  // a trailing separator
        if (f == folder.end() || *f != *r) return false;
    }
    return true;
}

}  // namespace

struct CShellTreeCtrl::ItemData : wxTreeItemData {
    ItemData(int n, fs::path p) : node(n), path(std::move(p)) {}
    int node;
    fs::path path;
};

CShellTreeCtrl::CShellTreeCtrl(wxWindow* parent, int id, FolderReader* reader)
    : wxTreeCtrl(parent, id, wxDefaultPosition, wxDefaultSize,
                 wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxTR_SINGLE),
      m_ownReader(reader ? nullptr : std::make_unique<FolderReader>()),
      m_tree(reader ? *reader : *m_ownReader, HomeFolder()) {}

void CShellTreeCtrl::AttachSystemImageList() {
    auto* images = new wxImageList(16, 16);
    images->Add(wxArtProvider::GetBitmap(wxART_FOLDER, wxART_OTHER, wxSize(16, 16)));
    images->Add(wxArtProvider::GetBitmap(wxART_FOLDER_OPEN, wxART_OTHER, wxSize(16, 16)));
    images->Add(wxArtProvider::GetBitmap(wxART_HARDDISK, wxART_OTHER, wxSize(16, 16)));
    AssignImageList(images);
}

int CShellTreeCtrl::NodeOf(const wxTreeItemId& item) const {
    if (!item.IsOk()) return FolderTree::kNone;
    const auto* data = static_cast<const ItemData*>(GetItemData(item));
    return data ? data->node : FolderTree::kNone;
}

fs::path CShellTreeCtrl::PathOf(const wxTreeItemId& item) const {
    if (!item.IsOk()) return {};
    const auto* data = static_cast<const ItemData*>(GetItemData(item));
    return data ? data->path : fs::path();
}

void CShellTreeCtrl::InsertChildren(const wxTreeItemId& parent, const std::vector<int>& nodes) {
    const bool top = parent == m_root;
    for (int node : nodes) {
        const FolderEntry& e = m_tree.entry(node);
        const int image = GetImageList() ? (top && e.path != m_tree.entry(m_tree.roots().front()).path ? 2 : 0) : -1;
        const wxTreeItemId item = AppendItem(parent, wxString::FromUTF8(e.name), image,
                                             GetImageList() && !top ? 1 : image, new ItemData(node, e.path));
        SetItemHasChildren(item, e.hasChildren);
    }
}

void CShellTreeCtrl::Populate() {
    DeleteAllItems();
    m_root = AddRoot("");
    m_tree.Populate();
    InsertChildren(m_root, m_tree.roots());
    wxTreeItemIdValue cookie;
    const wxTreeItemId first = GetFirstChild(m_root, cookie);
    if (!first.IsOk()) return;
    // The model filled the first root; its items follow.
    InsertChildren(first, m_tree.children(NodeOf(first)));
    Expand(first);
    SelectItem(first);
}

void CShellTreeCtrl::ExpandItem(wxTreeEvent& event) {
    const wxTreeItemId item = event.GetItem();
    const int node = NodeOf(item);
    if (node == FolderTree::kNone) return;
    const std::vector<int> added = m_tree.Expand(node);
    if (!added.empty()) InsertChildren(item, added);
    else if (GetChildrenCount(item, false) == 0) SetItemHasChildren(item, false);
}

bool CShellTreeCtrl::GetSelectedPath(fs::path& out) {
    const wxTreeItemId item = GetSelection();
    const int node = NodeOf(item);
    if (node == FolderTree::kNone) return false;
    std::vector<int> added;
    const auto path = m_tree.Select(node, &added);
    if (!added.empty()) InsertChildren(item, added);
    if (!path) return false;
    out = *path;
    return true;
}

bool CShellTreeCtrl::SelectFolder(const fs::path& folder) {
    // The deepest root that holds the folder.
    wxTreeItemIdValue cookie;
    wxTreeItemId at;
    std::size_t best = 0;
    for (wxTreeItemId c = GetFirstChild(m_root, cookie); c.IsOk(); c = GetNextChild(m_root, cookie)) {
        const fs::path p = PathOf(c);
        const std::size_t len = p.string().size();
        if (IsBelow(folder, p) && (!at.IsOk() || len > best)) {
            at = c;
            best = len;
        }
    }
    if (!at.IsOk()) return false;
    for (;;) {
        const fs::path here = PathOf(at);
        if (fs::path(here).lexically_normal() == fs::path(folder).lexically_normal()) break;
        const int node = NodeOf(at);
        const std::vector<int> added = m_tree.Expand(node);
        if (!added.empty()) InsertChildren(at, added);
        Expand(at);
        wxTreeItemId next;
        wxTreeItemIdValue ck;
        for (wxTreeItemId c = GetFirstChild(at, ck); c.IsOk(); c = GetNextChild(at, ck))
            if (IsBelow(folder, PathOf(c))) {
                next = c;
                break;
            }
        if (!next.IsOk()) return false;
        at = next;
    }
    SelectItem(at);
    EnsureVisible(at);
    return true;
}

CFolderTreeDlg::CFolderTreeDlg(wxWindow* parent, FolderReader* reader)
    : wxDialog(parent, kFolderDialogId, wxString::FromUTF8("选择文件夹"), wxDefaultPosition, wxSize(420, 480),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    m_tree = new CShellTreeCtrl(this, kFolderTreeId, reader);
    auto* ok = new wxButton(this, wxID_OK, wxString::FromUTF8("确 认"));
    auto* cancel = new wxButton(this, wxID_CANCEL, wxString::FromUTF8("放 弃"));
    ok->Disable();
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    buttons->Add(ok, 0, wxALL, 6);
    buttons->Add(cancel, 0, wxALL, 6);
    auto* box = new wxBoxSizer(wxVERTICAL);
    box->Add(m_tree, 1, wxEXPAND | wxALL, 6);
    box->Add(buttons, 0, wxEXPAND);
    SetSizer(box);
    Bind(wxEVT_TREE_SEL_CHANGED, &CFolderTreeDlg::OnSelChanged, this, kFolderTreeId);
    Bind(wxEVT_TREE_ITEM_EXPANDING, [this](wxTreeEvent& e) { m_tree->ExpandItem(e); }, kFolderTreeId);
    m_tree->AttachSystemImageList();
    m_tree->Populate();
    // GTK does not report the selection Populate made.
    fs::path p;
    if (m_tree->GetSelectedPath(p)) {
        m_path = p;
        ok->Enable();
        SetTitle(wxString::FromUTF8(p.string()));
    }
}

void CFolderTreeDlg::OnSelChanged(wxTreeEvent&) {
    fs::path p;
    if (!m_tree->GetSelectedPath(p)) return;
    m_path = p;
    FindWindow(wxID_OK)->Enable();
    SetTitle(wxString::FromUTF8(p.string()));
}

}  // namespace project_editor
