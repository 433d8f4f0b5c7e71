#pragma once
// CAddFittingPicDlg: dialog 160 "添加试衣图片". The pictures of a folder as
// ticked thumbnails (control 1117), paged with "<<" and ">>"; "确认添加"
// turns the ticked ones into parts (mode 0: of the category chosen in combo
// 1121; mode 9: copies of the reference part, "替换全部" or "只添加"). The
// work is AddFittingPics; this is its window.
#include <filesystem>
#include <functional>
#include <memory>

#include <wx/dialog.h>

#include "platform/image/picture_cache.h"
#include "project_editor/add_fitting_pics.h"

class wxButton;
class wxCheckBox;
class wxComboBox;
class wxPanel;
class wxStaticText;

namespace project_editor {

enum AddPicturesId : int {
    kIdAddPicturesDialog = 160, kIdPictureArea = 1117, kIdConfirmAdd = 1118, kIdSourceFolder = 1119,
    kIdPreviousPictures = 1120, kIdCategoryCombo = 1121, kIdPicturePage = 1122, kIdNextPictures = 1123,
    kIdHideAdded = 1156, kIdCategoryName = 1158, kIdReplaceReference = 1160,
};

class CAddFittingPicDlg : public wxDialog {
public:
    CAddFittingPicDlg(wxWindow* parent, AddPicturesMode mode, int part);
    ~CAddFittingPicDlg() override;

    AddFittingPics& core() { return *m_core; }
    const AddPicturesReport& report() const { return m_report; }

    // Paints the picture area (its client coordinates) on any DC.
    void DrawPictures(wxDC& dc);
    // A left click in the picture area: toggles the cell's tick.
    void ClickPictures(wxPoint p);
    // The entry shown at a point of the picture area, -1 for none.
    int EntryAt(wxPoint p) const;
    wxPoint CellOrigin(int entry) const;  // of a visible entry
    // Runs a button as a click would.
    void RunCommand(int id);
    // Mode 9: the folder choice of control 1119; `chooser` lets tests pick.
    void ChooseFolder();
    void SetSourceFolder(const std::filesystem::path& folder);
    // Tests reach the open folder dialog through this.
    static std::function<void(class CFolderTreeDlg&)>& FolderDialogHook();

private:
    void Confirm();
    void UpdateControls();
    void LayoutGrid();

    std::unique_ptr<AddFittingPics> m_core;
    std::unique_ptr<PictureFileOps> m_files;
    platform::image::CachedPictureSizes m_sizes;
    AddPicturesReport m_report;
    wxPanel* m_area = nullptr;
    wxComboBox* m_combo = nullptr;
    wxCheckBox* m_hide = nullptr;
    wxStaticText* m_page = nullptr;
    wxButton* m_source = nullptr;
    wxStaticText* m_reference = nullptr;
    int m_marginX = 0;
    int m_marginY = 0;
};

}  // namespace project_editor
