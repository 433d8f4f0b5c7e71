#include "fitting_room/photo_bar.h"

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "fitting_room/dress_room.h"
#include "fitting_room/photo_bar_rules.h"
#include "fitting_room/shared_objects.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "shell/base_directory.h"
#include "shell/deferred_request.h"

namespace fs = std::filesystem;
using namespace fitting_room;

namespace {
constexpr int kIdLabel = 1014, kIdName = 1009, kIdFormat = 1010, kIdShoot = 1011, kIdHandle = 1012, kIdClose = 1013,
              kIdSaved = 1015;
const wxColour kBarColour(214, 226, 236);
}  // namespace

DlgPhotoBar::DlgPhotoBar(wxWindow* owner)
    : wxDialog(owner, wxID_ANY, wxString::FromUTF8("拍照"), wxPoint(kOpenX, kOpenY), wxDefaultSize,
               wxBORDER_SIMPLE | wxFRAME_FLOAT_ON_PARENT | wxFRAME_NO_TASKBAR) {
    SetBackgroundColour(kBarColour);
    const wxCursor hand = platform::ui::LoadCursorResource(131);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    m_handle = new wxPanel(this, kIdHandle, wxDefaultPosition, wxSize(14, 26));
    m_handle->SetBackgroundColour(wxColour(120, 140, 160));
    m_handle->SetCursor(hand);
    m_label = new wxStaticText(this, kIdLabel, wxString::FromUTF8("新照片名:"));
    m_label->SetCursor(hand);
    m_name = new wxTextCtrl(this, kIdName, wxString::FromUTF8(kDefaultPictureName), wxDefaultPosition,
                            wxSize(120, -1));
    m_saved = new wxComboBox(this, kIdSaved, wxEmptyString, wxDefaultPosition, wxSize(160, -1), 0, nullptr,
                             wxCB_READONLY);
    auto* formatLabel = new wxStaticText(this, wxID_ANY, wxString::FromUTF8("格式:"));
    const wxString formats[] = {"JPG", "PNG", "BMP"};
    m_format = new wxComboBox(this, kIdFormat, "JPG", wxDefaultPosition, wxSize(86, -1), 3, formats, wxCB_READONLY);
    m_format->SetSelection(0);
    m_shoot = new wxButton(this, kIdShoot, wxString::FromUTF8("拍照"));
    m_close = new wxStaticText(this, kIdClose, " X ");
    m_close->SetCursor(hand);
    row->Add(m_handle, 0, wxALL | wxALIGN_CENTER_VERTICAL, 3);
    row->Add(m_label, 0, wxALL | wxALIGN_CENTER_VERTICAL, 3);
    row->Add(m_name, 0, wxALL | wxALIGN_CENTER_VERTICAL, 3);
    row->Add(m_saved, 0, wxALL | wxALIGN_CENTER_VERTICAL, 3);
    row->Add(formatLabel, 0, wxALL | wxALIGN_CENTER_VERTICAL, 3);
    row->Add(m_format, 0, wxALL | wxALIGN_CENTER_VERTICAL, 3);
    row->Add(m_shoot, 0, wxALL | wxALIGN_CENTER_VERTICAL, 3);
    row->Add(m_close, 0, wxALL | wxALIGN_CENTER_VERTICAL, 3);
    m_saved->Hide();
    SetSizerAndFit(row);

    m_shoot->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { TakeSnapshot(); });
    m_saved->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) { ChooseSaved(m_saved->GetStringSelection()); });
    m_label->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) { ToggleMode(); });
    m_close->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) { Close(); });
    m_handle->Bind(wxEVT_LEFT_DOWN, &DlgPhotoBar::OnHandleDown, this);
    m_handle->Bind(wxEVT_MOTION, &DlgPhotoBar::OnHandleMove, this);
    m_handle->Bind(wxEVT_LEFT_UP, &DlgPhotoBar::OnHandleUp, this);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); }, wxID_OK);
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Close(); });
}

void DlgPhotoBar::Send(int code) { shell::Deferred().Store(code); }

bool DlgPhotoBar::TakeSnapshot() {
    const std::string name = m_name->GetValue().utf8_string();
    if (!IsPlainPictureName(name)) {
        platform::ui::ShowMessage("照片名不能为空,也不能含有路径分隔符(/ 或 \\)。", platform::MbButtons::Ok,
                                  platform::MbIcon::Exclamation, "特别提示", this);
        return false;
    }
    const SnapshotTarget target = SnapshotFile(shell::BaseDirectory(), name, m_format->GetValue().utf8_string());
    FittingModel().SetSavePath(target.path, target.format);
    Send(kReqSnapshot);
    return true;
}

void DlgPhotoBar::ChooseSaved(const wxString& fileName) {
    if (fileName.empty()) return;
    FittingModel().SetSavePath(
        shell::BaseDirectory() / fs::path(kPhotoFolderName) / fs::path(fileName.utf8_string()), ' ');
    // The choice shows at once: the toolkit may close the list before it
    // reports the choice, and a choice made with the keys closes no list.
    Send(kReqShowSaved);
}

void DlgPhotoBar::FillSaved() {
    m_saved->Clear();
    for (const std::string& n : SavedPictures(shell::BaseDirectory() / fs::path(kPhotoFolderName)))
        m_saved->Append(wxString::FromUTF8(n));
}

void DlgPhotoBar::ToggleMode() {
    if (m_mode == 1) {
        m_mode = 0;
        m_label->SetLabel(wxString::FromUTF8("新照片名:"));
        m_saved->Hide();
        m_name->Show();
        m_shoot->Show();
        m_shoot->SetLabel(wxString::FromUTF8("拍照"));
    } else {
        m_mode = 1;
        m_label->SetLabel(wxString::FromUTF8("老照片名:"));
        m_name->Hide();
        m_shoot->Hide();
        m_saved->Show();
        FillSaved();
    }
    GetSizer()->Layout();
    Fit();
}

void DlgPhotoBar::Close() {
    Hide();
    Send(kReqSnapshotBarMoved);
}

void DlgPhotoBar::OnHandleDown(wxMouseEvent& e) {
    m_drag = 9;
    m_dragFrom = m_handle->ClientToScreen(e.GetPosition()) - GetPosition();
    if (!m_handle->HasCapture()) m_handle->CaptureMouse();
}

void DlgPhotoBar::OnHandleMove(wxMouseEvent& e) {
    if (m_drag == 9 && e.LeftIsDown()) {
        Move(m_handle->ClientToScreen(e.GetPosition()) - m_dragFrom);
    } else if (m_drag > 8) {
        m_drag = 0;
        Send(kReqSnapshotBarMoved);
    }
}

void DlgPhotoBar::OnHandleUp(wxMouseEvent&) {
    if (m_handle->HasCapture()) m_handle->ReleaseMouse();
    if (m_drag == 9) {
        m_drag = 19;
        Send(kReqSnapshotBarMoved);
    }
}
