#pragma once
// CProjectOpenDlg: dialog 161 "创建或打开项目" — creates a project, opens a
// listed one, or imports marked files of a chosen folder into the open
// project. CReplaceBaseProjectDlg: dialog 168 "替换电脑本地试衣基本项目" —
// replaces a basic project's folders with the open project's. The work is
// in project_dialogs; these are its windows. Modal, window thread only.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "platform/ui/messages.h"
#include "project_editor/add_fitting_pics.h"

class wxButton;
class wxCheckBox;
class wxChoice;
class wxStaticText;
class wxTextCtrl;

namespace project_editor {

class CFolderTreeDlg;
class CPictureFileGrid;

enum ProjectOpenId : int {
    kIdProjectOpenDialog = 161, kIdNewProject = 1124, kIdOpenProject = 1125, kIdProjectName = 1126,
    kIdImportMode = 1147, kIdImportKind = 1148, kIdFileFolder = 1149, kIdStartImport = 1150,
    kIdFileGridPlace = 1154, kIdInvertMarks = 1155, kIdReferenceTemplate = 1161,
    kIdReplaceDialog = 168, kIdReplaceProjectFile = 1162, kIdBasicKind = 1163, kIdBasicFolder = 1164,
};

// Tests reach the folder dialogs these dialogs open through this.
std::function<void(CFolderTreeDlg&)>& ProjectFolderDialogHook();
// Runs the folder dialog (or the hook); the chosen folder, or empty.
std::filesystem::path ChooseProjectFolder(wxWindow* parent);

class CProjectOpenDlg : public wxDialog, public platform::ui::MessageReceiver {
public:
    explicit CProjectOpenDlg(wxWindow* parent);
    ~CProjectOpenDlg() override;

    std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) override;

    // Runs a button, check or combo as the user would.
    void RunCommand(int id);
    CPictureFileGrid& grid() { return *m_grid; }
    void SetSourceFolder(const std::filesystem::path& folder);
    const std::vector<std::string>& names() const { return m_names; }
    // Problems of the last create or import, shown to the user too.
    const std::vector<std::string>& problems() const { return m_problems; }

private:
    void ListProjects();
    void ListSource();
    void ShowNames(std::vector<std::string> names);
    void OnNewProject();
    void OnOpenProject();
    void OnImportPictures();
    void OnStartImport();
    void OnListPick();
    void Tell(const std::string& text);

    CPictureFileGrid* m_grid = nullptr;
    std::vector<std::string> m_names;
    int m_selected = -1;
    std::filesystem::path m_source;
    std::unique_ptr<PictureFileOps> m_files;
    std::vector<std::string> m_problems;
    wxTextCtrl* m_name = nullptr;
    wxCheckBox* m_importMode = nullptr;
    wxChoice* m_importKind = nullptr;
    wxChoice* m_reference = nullptr;
    wxStaticText* m_sourceText = nullptr;
};

class CReplaceBaseProjectDlg : public wxDialog {
public:
    explicit CReplaceBaseProjectDlg(wxWindow* parent);
    ~CReplaceBaseProjectDlg() override;

    // A click on the basic-project folder (static 1164).
    void ChooseFolder();
    // A kind chosen in combo 1163 (0 "男装", 1 "女装", 2 "童装").
    void ChooseKind(int index);
    // Button 1 "确认替换": asks, then replaces.
    void Confirm();
    bool replaceEnabled() const;
    std::string kind() const { return m_kind; }

private:
    void UpdateButton();

    std::string m_kind = "男装";
    std::unique_ptr<PictureFileOps> m_files;
    wxChoice* m_kindChoice = nullptr;
    wxStaticText* m_folderText = nullptr;
    wxButton* m_ok = nullptr;
};

}  // namespace project_editor
