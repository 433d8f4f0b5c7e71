#pragma once
// The photo-edit dialog's four small dialogs: the make-up swatches (167), the
// caption text editor (178), the photo-save dialog (181) and the folder
// chooser with folder creation (142). Callers give each its position and
// data before ShowModal and read the results after OK. Main thread only.
#include <filesystem>
#include <string>
#include <vector>
#include <wx/dialog.h>

#include "image_editor/canvas_control.h"
#include "image_editor/photo_engine.h"

class wxButton;
class wxChoice;
class wxComboBox;
class wxStaticText;
class wxTextCtrl;
namespace project_editor {
class CShellTreeCtrl;
}

namespace image_editor {

class CMakeupSwatchDlg : public wxDialog {
public:
    CMakeupSwatchDlg(wxWindow* parent, const wxPoint& screen);
    const std::vector<std::filesystem::path>& swatches() const { return m_paths; }
    const std::vector<Rect>& cells() const { return m_cells; }
    int chosen() const { return m_chosen; }
    // A click on a swatch (client coordinates of the dialog).
    void ClickAt(int x, int y);
    // Paints the frame and the swatches (what the dialog shows) into `dc`.
    void Draw(wxDC& dc);
    // OK: the 23 x 23 pixels around the chosen swatch become the engine's
    // make-up sample.
    void TakeSample();

private:
    void LoadSwatches();
    std::vector<std::filesystem::path> m_paths;
    std::vector<Rect> m_cells;
    Rect m_frame{};
    int m_chosen = -1;
    wxButton* m_ok = nullptr;
};

class CTextItemDlg : public wxDialog {
public:
    // Placed with its left at x and its bottom at y (screen).
    CTextItemDlg(wxWindow* parent, const TextItem& item, const wxPoint& leftBottom);
    TextItem result() const;
    void SetCaption(const std::string& text);
    void SetSizeText(const std::string& size);

private:
    TextItem m_item;
    wxTextCtrl* m_text = nullptr;
    wxComboBox* m_size = nullptr;
    wxStaticText* m_fontName = nullptr;
    wxWindow* m_swatch = nullptr;
};

class CPhotoSaveDlg : public wxDialog {
public:
    CPhotoSaveDlg(wxWindow* parent, const std::filesystem::path& source, const wxPoint& screen);
    const std::filesystem::path& folder() const { return m_folder; }
    std::string name() const;
    void SetName(const std::string& name);
    void SetFolder(const std::filesystem::path& folder);
    // The OK button: checks, asks, writes; true when the dialog may close.
    bool Save();
    const std::filesystem::path& saved() const { return m_saved; }

private:
    void ChooseFolder();
    void DrawPreview(wxDC& dc, const wxRect& frame);
    std::filesystem::path m_source;
    std::filesystem::path m_folder;
    std::filesystem::path m_saved;
    wxStaticText* m_folderText = nullptr;
    wxTextCtrl* m_name = nullptr;
    wxWindow* m_preview = nullptr;
};

class CFolderPickDlg : public wxDialog {
public:
    CFolderPickDlg(wxWindow* parent, const std::filesystem::path& start);
    const std::filesystem::path& path() const { return m_path; }
    // "创建": the folder "<current>/<name>"; true when made (the dialog ends).
    bool CreateFolder();
    void SetNewName(const std::string& name);
    project_editor::CShellTreeCtrl& tree() { return *m_tree; }

private:
    std::filesystem::path m_path;
    std::string m_newName;
    project_editor::CShellTreeCtrl* m_tree = nullptr;
    wxTextCtrl* m_name = nullptr;
    wxButton* m_create = nullptr;
    wxButton* m_confirm = nullptr;
    int m_changes = 0;
    bool m_filling = true;
};

}  // namespace image_editor
