#include "project_editor/pavanel_frame.h"

#include <wx/display.h>
#include <wx/sizer.h>

#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "project_editor/pavanel_session.h"
#include "project_editor/pavanel_view.h"
#include "project_editor/sys_set_info.h"

namespace project_editor {

CMainFrame::CMainFrame(const std::filesystem::path& base)
    : wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(std::string(kPavanelTitle)), wxDefaultPosition,
              wxSize(1280, 860)) {
    const wxIcon icon = platform::ui::LoadIconResource(130);
    if (icon.IsOk()) SetIcon(icon);
    CProjectStore::Instance().SetModifiedCounter(0);
    LoadSettings(CSysSetInfo::Instance(), base);
    m_view = new CPavanelView(this);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_view, 1, wxEXPAND);
    SetSizer(sizer);
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    m_view->OnInitialUpdate(base);
}

void CMainFrame::ShowMaximised() {
    Show();
    Maximize();
    wxDisplay display(this);
    SetSize(display.GetClientArea());
    Layout();
}

void CMainFrame::OnClose(wxCloseEvent& e) {
    std::string error;
    if (SaveOnClose(CProjectStore::Instance(), &error) == CloseOutcome::SaveFailed) {
        const auto answer = platform::ui::ShowMessage(
            "项目没有保存: " + error + "\n\n仍然退出吗? (修改会丢失)", platform::MbButtons::YesNo,
            platform::MbIcon::Exclamation, {}, this);
        if (answer != platform::MbResult::Yes && e.CanVeto()) {
            e.Veto();
            return;
        }
    }
    Destroy();
}

void CMainFrame::OnSize(wxSizeEvent& e) { e.Skip(); }

}  // namespace project_editor
