// The stage editor's commands that open the project dialogs, and what the
// view redoes after each.
#include <wx/checkbox.h>

#include "platform/error_text.h"
#include "project_editor/pavanel_session.h"
#include "project_editor/pavanel_view.h"
#include "project_editor/picture_list_dlgs.h"
#include "project_editor/project_dialogs.h"
#include "project_editor/project_open_dlg.h"
#include "project_editor/project_param_dlg.h"

namespace fs = std::filesystem;

namespace project_editor {

int CPavanelView::OpenProjectTable() {
    m_stage->EndMode();
    CProjectOpenDlg dlg(this);
    const int result = dlg.ShowModal();
    if (result != wxID_OK) return result;
    CProjectStore& store = CProjectStore::Instance();
    m_gallery->ClearMarks();
    m_editor->ProjectChanged();
    m_editor->SelectPart(-1);
    m_previewPart = -1;
    m_gallery->SetDisplay(0);
    FillDisplayCombo();
    if (wxWindow* top = wxGetTopLevelParent(this)) top->SetLabel(wxString::FromUTF8(ProjectFrameTitle(store.ProjectName())));
    AfterStageChange(true);
    Refresh();
    return result;
}

int CPavanelView::OpenPartParameters() {
    CProjectStore& store = CProjectStore::Instance();
    const int part = m_editor->selectedPart();
    if (part < 0 || part >= store.PartCount() || store.Part(part).RowType() == 'K') {
        Message("请先在左边选一个部件 (锁定的部件不能设置参数)");
        return wxID_CANCEL;
    }
    m_stage->EndMode();
    CProjectParamDlg dlg(this, part);
    const int result = dlg.ShowModal();
    if (!dlg.moves().empty()) {  // the part was deleted
        m_gallery->ClearMarks();
        const auto& moves = dlg.moves();
        const int selected = part < static_cast<int>(moves.size()) ? moves[static_cast<std::size_t>(part)] : -1;
        m_editor->SelectPart(selected);
        m_previewPart = selected;
        m_gallery->Rebuild();
        FillDisplayCombo();
    }
    AfterStageChange(true);
    Refresh();
    return result;
}

int CPavanelView::OpenBackgroundPicture() {
    CBkgPictureDlg dlg(this);
    const int result = dlg.ShowModal();
    if (result == wxID_OK && !dlg.chosen().empty()) {
        const fs::path file = m_base / fs::path(std::string(kBackgroundFolderName)) / fs::path(dlg.chosen() + ".jpg");
        if (m_stage->LoadPictureFile(file))
            m_stage->SetOffset(0, 0);
        else
            Message("背景图片打不开: " + platform::UserPath(file));
    }
    return result;
}

int CPavanelView::OpenReplaceBaseProject() {
    CReplaceBaseProjectDlg dlg(this);
    return dlg.ShowModal();
}

}  // namespace project_editor
