#include "transfer/tranzel_about.h"

#include <string>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "platform/popup_menu_model.h"
#include "platform/ui/dialog_end.h"
#include "platform/ui/popup_menu.h"
#include "platform/ui/resources.h"
#include "transfer/tranzel_texts.h"

namespace transfer {
namespace {

constexpr int kProgramIcon = 128;

wxString U(std::string_view s) { return wxString::FromUTF8(s.data(), s.size()); }

}  // namespace

CAboutDlg::CAboutDlg(wxWindow* parent)
    : wxDialog(parent, kAboutTemplate, U(kAboutCaption), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE, "CAboutDlg") {
    const wxIcon icon = platform::ui::LoadIconResource(kProgramIcon);
    if (icon.IsOk()) SetIcon(icon);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    if (icon.IsOk()) row->Add(new wxStaticBitmap(this, wxID_ANY, icon), 0, wxALL, 12);
    auto* lines = new wxBoxSizer(wxVERTICAL);
    for (const std::string_view text : {kAboutVersion, kTranzelCaption, kAboutCopyright})
        lines->Add(new wxStaticText(this, wxID_ANY, U(text)), 0, wxBOTTOM, 6);
    row->Add(lines, 1, wxTOP | wxRIGHT, 12);
    auto* ok = new wxButton(this, wxID_OK, U("确定"));
    row->Add(ok, 0, wxALL, 12);
    SetSizerAndFit(row);
    ok->SetDefault();
    ok->SetFocus();
    platform::ui::CancelOnEscapeAndClose(*this);
    CentreOnParent();
}

int TrackWindowMenu(wxWindow* owner, const wxPoint& screen) {
    platform::PopupItem about;
    about.id = kAboutCommand;
    about.text = std::string(kAboutEntry);
    platform::PopupMenuModel menu({about});
    return platform::ui::TrackPopupMenu(owner, menu, screen);
}

}  // namespace transfer
