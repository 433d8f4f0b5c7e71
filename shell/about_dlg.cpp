#include "shell/about_dlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "platform/ui/resources.h"

CAboutDlg::CAboutDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("关于“Lumora服饰搭配试衣软件”"), wxDefaultPosition,
               parent ? parent->ConvertDialogToPixels(wxSize(235, 94)) : wxSize(350, 150)) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    wxIcon icon = platform::ui::LoadIconResource(130);
    if (icon.IsOk()) row->Add(new wxStaticBitmap(this, wxID_ANY, icon), 0, wxALL, 12);
    auto* lines = new wxBoxSizer(wxVERTICAL);
    for (const char* text : {"Fittora 6.13 版", "服装店和顾客的试衣搭配软件", "版权所有 (C) 2012-2026 Lumora"}) {
        lines->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(text)), 0, wxBOTTOM, 6);
    }
    row->Add(lines, 1, wxTOP | wxRIGHT, 12);
    auto* ok = new wxButton(this, wxID_OK, wxString::FromUTF8("确定"));
    row->Add(ok, 0, wxALL, 12);
    SetSizer(row);
    ok->SetDefault();
}
