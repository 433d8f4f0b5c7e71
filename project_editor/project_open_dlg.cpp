// Dialog 161 lays its controls out as the resource does: the file grid on
// the left over static 1154, the name, create and open, the reference
// template and the import controls in a column on the right.
#include "project_editor/project_open_dlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "project_editor/dialog_support.h"
#include "project_editor/project_dialogs.h"
#include "project_editor/project_grids.h"
#include "project_editor/shell_tree_ctrl.h"

namespace fs = std::filesystem;
using platform::MbButtons;
using platform::MbIcon;
using platform::MbResult;

namespace project_editor {

namespace {

using namespace dialog_support;

std::string Joined(const std::string& head, const std::vector<std::string>& lines) {
    std::string s = head;
    const std::size_t shown = std::min<std::size_t>(lines.size(), 12);
    for (std::size_t i = 0; i < shown; ++i) s += "\n" + lines[i];
    if (lines.size() > shown) s += "\n... (共 " + std::to_string(lines.size()) + " 项)";
    return s;
}

}  // namespace

std::function<void(CFolderTreeDlg&)>& ProjectFolderDialogHook() {
    static std::function<void(CFolderTreeDlg&)> hook;
    return hook;
}

fs::path ChooseProjectFolder(wxWindow* parent) {
    CFolderTreeDlg dlg(parent);
    if (auto& hook = ProjectFolderDialogHook()) {
        dlg.CallAfter([&dlg, &hook] { hook(dlg); });
    }
    if (dlg.ShowModal() != wxID_OK) return {};
    return dlg.path();
}

// ---- CProjectOpenDlg ----

CProjectOpenDlg::CProjectOpenDlg(wxWindow* parent)
    : wxDialog(parent, kIdProjectOpenDialog, W("创建或打开项目")), m_files(std::make_unique<PictureFileOps>()) {
    SetName("CProjectOpenDlg");
    m_grid = new CPictureFileGrid();
    m_grid->CreateOver(this, wxRect(10, 10, 320, 372), kIdFileGridPlace);
    m_sourceText = new wxStaticText(this, wxID_ANY, "", wxPoint(10, 388), wxSize(320, 20), wxST_ELLIPSIZE_START);

    const int x = 346, w = 200;
    new wxStaticText(this, wxID_ANY, W("项目名称:"), wxPoint(x, 12));
    m_name = new wxTextCtrl(this, kIdProjectName, "", wxPoint(x, 32), wxSize(w, -1));
    new wxButton(this, kIdNewProject, W("建新项目"), wxPoint(x, 70), wxSize(96, 30));
    new wxButton(this, kIdOpenProject, W("打开项目"), wxPoint(x + 104, 70), wxSize(96, 30));
    new wxStaticText(this, wxID_ANY, W("参照模板:"), wxPoint(x, 114));
    m_reference = new wxChoice(this, kIdReferenceTemplate, wxPoint(x, 134), wxSize(w, -1));
    for (const char* t : kReferenceTemplates) m_reference->Append(W(t));
    m_reference->SetSelection(0);  // "女装模板"
    m_importMode = new wxCheckBox(this, kIdImportMode, W("导入图片"), wxPoint(x, 186));
    m_importKind = new wxChoice(this, kIdImportKind, wxPoint(x, 212), wxSize(w, -1));
    for (std::string_view k : {kImportFittingPictures, kImportShowPictures, kImportSounds}) m_importKind->Append(W(k));
    m_importKind->SetSelection(0);
    new wxButton(this, kIdFileFolder, W("文件目录"), wxPoint(x, 254), wxSize(w, 30));
    new wxButton(this, kIdInvertMarks, W("反选"), wxPoint(x, 292), wxSize(w, 30));
    new wxButton(this, kIdStartImport, W("开始导入"), wxPoint(x, 330), wxSize(w, 30));
    SetClientSize(x + w + 12, 416);

    for (int id : {kIdNewProject, kIdOpenProject, kIdStartImport, kIdImportKind, kIdFileFolder, kIdInvertMarks})
        FindWindow(id)->Disable();

    Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) { RunCommand(e.GetId()); });
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& e) { RunCommand(e.GetId()); });
    Bind(wxEVT_CHOICE, [this](wxCommandEvent& e) { RunCommand(e.GetId()); });
    m_name->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { FindWindow(kIdNewProject)->Enable(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
        m_grid->EndEdit();
        e.Skip();
    });

    // A project row made current by the keyboard is picked as a click picks
    // it; marks for the import are only set by clicks.
    m_grid->onRowChanged = [this] {
        if (!m_importMode->GetValue()) OnListPick();
    };

    // Initialisation.
    ListProjects();
    const std::string current = CProjectStore::Instance().ProjectName();
    if (!current.empty()) SetTitle(W(current));
    else m_importMode->Disable();
    CentreOnParent();
}

CProjectOpenDlg::~CProjectOpenDlg() = default;

void CProjectOpenDlg::ShowNames(std::vector<std::string> names) {
    m_names = std::move(names);
    m_selected = -1;
    m_grid->SetFileList(m_names);
}

void CProjectOpenDlg::ListProjects() { ShowNames(ListProjectNames(CProjectStore::Instance().BaseDir())); }

void CProjectOpenDlg::ListSource() {
    if (m_source.empty()) return;
    ShowNames(ListImportFiles(m_source, U(m_importKind->GetStringSelection())));
    FindWindow(kIdStartImport)->Disable();
}

void CProjectOpenDlg::SetSourceFolder(const fs::path& folder) {
    m_source = folder;
    m_sourceText->SetLabel(W(folder.string()));
    ListSource();
}

void CProjectOpenDlg::Tell(const std::string& text) {
    platform::ui::ShowMessage(text, MbButtons::Ok, MbIcon::Exclamation, kTip, this);
}

void CProjectOpenDlg::RunCommand(int id) {
    switch (id) {
        case kIdNewProject: OnNewProject(); break;
        case kIdOpenProject: OnOpenProject(); break;
        case kIdImportMode: OnImportPictures(); break;
        case kIdImportKind: ListSource(); break;
        case kIdFileFolder:
            if (fs::path chosen = ChooseProjectFolder(this); !chosen.empty()) SetSourceFolder(chosen);
            break;
        case kIdStartImport: OnStartImport(); break;
        case kIdInvertMarks:
            m_grid->EndEdit();
            FindWindow(kIdStartImport)->Enable(m_grid->InvertMarks(9));
            break;
        case kIdReferenceTemplate: break;  // read when the project is made
        default: break;
    }
}

std::intptr_t CProjectOpenDlg::OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t) {
    if (id == grid::kMsgGridNotify && wparam == grid::kGridNotifyTag) OnListPick();
    return 0;
}

void CProjectOpenDlg::OnListPick() {
    if (m_importMode->GetValue()) {
        FindWindow(kIdStartImport)->Enable(m_grid->ToggleMark());
        return;
    }
    int index = -1;
    std::string name;
    if (!m_grid->GetSelectedName(index, name)) return;
    m_selected = index;
    m_name->ChangeValue(W(name));
    FindWindow(kIdOpenProject)->Enable();
    FindWindow(kIdNewProject)->Disable();
}

void CProjectOpenDlg::OnNewProject() {
    m_grid->EndEdit();
    CProjectStore& store = CProjectStore::Instance();
    const std::string name = U(m_name->GetValue());
    const AskUser ask = [this](const std::string& q) {
        return platform::ui::ShowMessage(q, MbButtons::YesNo, MbIcon::Question, kTip, this) == MbResult::Yes;
    };
    CreateReport r;
    {
        wxBusyCursor busy;
        r = CreateProject(store, CSysSetInfo::Instance(), name, U(m_reference->GetStringSelection()), ask, *m_files);
    }
    m_problems = r.problems;
    switch (r.outcome) {
        case CreateOutcome::Created:
            if (!r.problems.empty()) Tell(Joined("项目已建好, 但有些文件没有复制:", r.problems));
            EndModal(wxID_OK);
            break;
        case CreateOutcome::Declined: break;
        default: Tell(r.message); break;
    }
}

void CProjectOpenDlg::OnOpenProject() {
    if (m_selected < 0 || m_selected >= static_cast<int>(m_names.size())) return;
    std::string error;
    if (!OpenProject(CProjectStore::Instance(), CSysSetInfo::Instance(), m_names[static_cast<std::size_t>(m_selected)],
                     &error)) {
        Tell(error);
        return;
    }
    if (!error.empty()) Tell(error);  // opened, but its save failed
    EndModal(wxID_OK);
}

void CProjectOpenDlg::OnImportPictures() {
    const bool on = m_importMode->GetValue();
    m_name->Enable(!on);
    for (int id : {kIdImportKind, kIdInvertMarks, kIdFileFolder}) FindWindow(id)->Enable(on);
    if (on) {
        ShowNames({});
    } else {
        ListProjects();
    }
    for (int id : {kIdStartImport, kIdOpenProject, kIdNewProject}) FindWindow(id)->Disable();
}

void CProjectOpenDlg::OnStartImport() {
    m_grid->EndEdit();
    for (int id : {kIdImportMode, kIdImportKind, kIdFileFolder, kIdStartImport}) FindWindow(id)->Disable();
    const std::string kind = U(m_importKind->GetStringSelection());
    const fs::path target = ImportTargetFolder(CProjectStore::Instance(), kind);
    const int marked = static_cast<int>(m_grid->MarkedNames().size());
    {
        wxBusyCursor busy;
        m_problems = m_grid->CopyMarkedFiles(m_source, target, *m_files);
    }
    for (int id : {kIdImportMode, kIdImportKind, kIdFileFolder}) FindWindow(id)->Enable();
    if (!m_problems.empty())
        Tell(Joined("导入了 " + std::to_string(marked - static_cast<int>(m_problems.size())) + " 个文件, 这些没有导入:",
                    m_problems));
}

// ---- CReplaceBaseProjectDlg ----

CReplaceBaseProjectDlg::CReplaceBaseProjectDlg(wxWindow* parent)
    : wxDialog(parent, kIdReplaceDialog, W("替换电脑本地试衣基本项目")), m_files(std::make_unique<PictureFileOps>()) {
    SetName("CReplaceBaseProjectDlg");
    CProjectStore& store = CProjectStore::Instance();
    const int x = 12, w = 460;
    new wxStaticText(this, wxID_ANY, W("当前项目文件:"), wxPoint(x, 12));
    new wxStaticText(this, kIdReplaceProjectFile, W(ProjectFilePath(store.BaseDir(), store.ProjectName()).string()),
                     wxPoint(x, 32), wxSize(w, 20), wxST_ELLIPSIZE_START);
    new wxStaticText(this, wxID_ANY, W("替换的基本项目:"), wxPoint(x, 66));
    m_kindChoice = new wxChoice(this, kIdBasicKind, wxPoint(x + 120, 62), wxSize(120, -1));
    for (const char* k : kBasicKinds) m_kindChoice->Append(W(k));
    m_kindChoice->SetSelection(0);
    new wxStaticText(this, wxID_ANY, W("基本项目目录 (点击选择):"), wxPoint(x, 102));
    m_folderText = new wxStaticText(this, kIdBasicFolder, "", wxPoint(x, 122), wxSize(w, 22),
                                    wxST_ELLIPSIZE_START | wxBORDER_SUNKEN);
    const wxCursor hand = platform::ui::LoadCursorResource(kHandCursor);
    m_folderText->SetCursor(hand.IsOk() ? hand : wxCursor(wxCURSOR_HAND));
    m_folderText->SetForegroundColour(wxColour(0, 0, 200));
    m_ok = new wxButton(this, wxID_OK, W("确认替换"), wxPoint(x + w - 200, 162), wxSize(96, 30));
    new wxButton(this, wxID_CANCEL, W("取消"), wxPoint(x + w - 96, 162), wxSize(96, 30));
    SetClientSize(x + w + 12, 206);

    m_folderText->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) { ChooseFolder(); });
    m_kindChoice->Bind(wxEVT_CHOICE, [this](wxCommandEvent& e) { ChooseKind(e.GetSelection()); });
    m_ok->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Confirm(); });

    const fs::path folder = InitialBasicFolder(store.BaseDir(), m_kind);
    m_folderText->SetLabel(W(folder.string()));
    UpdateButton();
    CentreOnParent();
}

CReplaceBaseProjectDlg::~CReplaceBaseProjectDlg() = default;

bool CReplaceBaseProjectDlg::replaceEnabled() const { return m_ok->IsEnabled(); }

void CReplaceBaseProjectDlg::UpdateButton() { m_ok->Enable(BasicProjectExists(BasicProjectFolder(), m_kind)); }

void CReplaceBaseProjectDlg::ChooseFolder() {
    const fs::path chosen = ChooseProjectFolder(this);
    if (chosen.empty()) return;
    BasicProjectFolder() = chosen;
    m_folderText->SetLabel(W(chosen.string()));
    UpdateButton();
}

void CReplaceBaseProjectDlg::ChooseKind(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kBasicKinds))) return;
    m_kindChoice->SetSelection(index);
    m_kind = kBasicKinds[index];
    UpdateButton();
}

void CReplaceBaseProjectDlg::Confirm() {
    if (!replaceEnabled()) return;
    if (platform::ui::ShowMessage(std::string(kReplaceQuestion), MbButtons::YesNo, MbIcon::Question, kTip, this) !=
        MbResult::Yes)
        return;
    ReplaceReport r;
    {
        wxBusyCursor busy;
        r = ReplaceBaseProject(CProjectStore::Instance(), BasicProjectFolder(), m_kind, *m_files);
    }
    if (r.outcome != ReplaceOutcome::Replaced || !r.problems.empty()) {
        platform::ui::ShowMessage(r.Message(), MbButtons::Ok, MbIcon::Exclamation, kTip, this);
        if (r.outcome != ReplaceOutcome::Replaced) return;
    }
    EndModal(wxID_OK);
}

}  // namespace project_editor
