#include "web_publish/build_web_page_dlg.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dcbuffer.h>
#include <wx/graphics.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "platform/files.h"
#include "platform/image/picture_cache.h"
#include "platform/shell.h"
#include "platform/ui/colour.h"
#include "platform/ui/dialog_end.h"
#include "platform/ui/message_box.h"
#include "project_editor/project_store.h"
#include "project_editor/shell_tree_ctrl.h"
#include "web_publish/picture_work_wx.h"

namespace fs = std::filesystem;
using project_editor::CSysSetInfo;

namespace web_publish {

namespace {

const char* const kLayerEntries[] = {"1:初层为主面", "0:初层为普通(视频)", ""};

wxString W(const std::string& s) { return wxString::FromUTF8(s); }
std::string U(const wxString& s) { return s.utf8_string(); }

PageOpener& Opener() {
    static PageOpener opener = [](const std::string& target, std::string* error) {
        return platform::OpenWithDesktop(target, error);
    };
    return opener;
}

}  // namespace

int& LastTemplateChoice() {
    static int choice = 0;
    return choice;
}

std::string& LastBuiltPageFolder() {
    static std::string folder;
    return folder;
}

std::function<void(project_editor::CFolderTreeDlg&)>& CBuildWebPageDlg::FolderDialogHook() {
    static std::function<void(project_editor::CFolderTreeDlg&)> hook;
    return hook;
}

CBuildWebPageDlg::CBuildWebPageDlg(wxWindow* parent, fs::path base)
    : wxDialog(parent, kIdWebPageDialog, W("建立网页")), m_base(std::move(base)) {
    m_download = "http://shop.example.com/download.html";
    m_shop = "http://shop.example.com/";
    m_messenger = "10000";
    auto* grid = new wxFlexGridSizer(2, 6, 8);
    grid->AddGrowableCol(1);
    auto label = [&](const char* text) { grid->Add(new wxStaticText(this, wxID_ANY, W(text)), 0, wxALIGN_CENTER_VERTICAL); };
    auto edit = [&](int id) {
        auto* e = new wxTextCtrl(this, id, wxEmptyString, wxDefaultPosition, wxSize(300, -1));
        e->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnEditChanged(); });
        return e;
    };
    label("网页模板:");
    m_templateCombo = new wxChoice(this, kIdTemplateCombo, wxDefaultPosition, wxSize(220, -1));
    grid->Add(m_templateCombo, 0, wxEXPAND);
    label("输出目录:");
    auto* outRow = new wxBoxSizer(wxHORIZONTAL);
    m_output = edit(kIdOutputFolder);
    outRow->Add(m_output, 1, wxEXPAND | wxRIGHT, 4);
    outRow->Add(new wxButton(this, kIdChangeOutput, W("改变输出目录")));
    grid->Add(outRow, 1, wxEXPAND);
    label("网页目录名:");
    grid->Add(m_pageFolderEdit = edit(kIdPageFolder), 1, wxEXPAND);
    label("网页名称:");
    grid->Add(m_pageNameEdit = edit(kIdPageName), 1, wxEXPAND);
    label("初始层类型:");
    m_layerCombo = new wxChoice(this, kIdInitialLayer, wxDefaultPosition, wxSize(220, -1));
    for (const char* e : kLayerEntries) m_layerCombo->Append(W(e));
    grid->Add(m_layerCombo, 0);
    label("客服号码:");
    grid->Add(m_messengerEdit = edit(kIdMessenger), 1, wxEXPAND);
    label("商家网址:");
    grid->Add(m_shopEdit = edit(kIdShopAddress), 1, wxEXPAND);
    label("下载地址:");
    grid->Add(m_downloadEdit = edit(kIdDownloadAddress), 1, wxEXPAND);

    m_thumbnail = new wxPanel(this, kIdTemplateThumbnail, wxDefaultPosition, wxSize(200, 240));
    m_thumbnail->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_thumbnail->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(m_thumbnail);
        DrawThumbnail(dc);
    });

    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(grid, 1, wxEXPAND | wxALL, 10);
    top->Add(m_thumbnail, 0, wxALL, 10);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    m_test = new wxCheckBox(this, kIdTestAfterBuild, W("创建后测试网页"));
    buttons->Add(m_test, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 20);
    buttons->AddStretchSpacer();
    buttons->Add(new wxButton(this, kIdStartBuild, W("开 始 创 建")), 0, wxRIGHT, 8);
    buttons->Add(new wxButton(this, wxID_CANCEL, W("放 弃")), 0);
    auto* all = new wxBoxSizer(wxVERTICAL);
    all->Add(top, 1, wxEXPAND);
    all->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    SetSizerAndFit(all);

    Bind(wxEVT_INIT_DIALOG, [this](wxInitDialogEvent&) { OnInitDialog(); });
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnStartBuild(); }, kIdStartBuild);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnChangeOutputFolder(); }, kIdChangeOutput);
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { ReadControls(); }, kIdTestAfterBuild);
    m_templateCombo->Bind(wxEVT_CHOICE, [this](wxCommandEvent& e) { OnSelTemplate(e.GetSelection()); });
    m_layerCombo->Bind(wxEVT_CHOICE, [this](wxCommandEvent& e) { OnSelInitialLayer(e.GetSelection()); });
}

wxWindow* CBuildWebPageDlg::control(int id) const { return FindWindow(id); }

void CBuildWebPageDlg::OnInitDialog() {
    if (m_initialised) return;
    m_initialised = true;
    m_settings.SetBaseDir(m_base);
    m_settings.Load();
    m_outputFolder = m_settings.GetOutputFolder();
    m_offered = OfferedTemplates(m_mode);
    m_templateCombo->Clear();
    for (const WebTemplate& t : m_offered) m_templateCombo->Append(W(std::string(t.name)));
    const int last = std::clamp(LastTemplateChoice(), 0, static_cast<int>(m_offered.size()) - 1);
    m_templateName = std::string(m_offered.at(static_cast<std::size_t>(last)).name);
    m_templateIndex = std::atoi(m_settings.GetField(CSysSetInfo::kTemplateIndex).c_str());
    m_shop = m_settings.GetField(CSysSetInfo::kShopPage);
    m_pageFolder = m_settings.GetField(CSysSetInfo::kPageFolder);
    m_download = m_settings.GetField(CSysSetInfo::kDownloadPage);
    m_messenger = m_settings.GetField(CSysSetInfo::kMessenger);
    m_pageName = m_settings.GetField(CSysSetInfo::kPageName);
    const std::string layer = m_settings.GetField(CSysSetInfo::kInitialLayer);
    m_initialLayer = layer.empty() ? "" : layer == "0" ? kLayerEntries[1] : kLayerEntries[0];
    // The stored template when it is offered (its name wins over its number),
    // else the first one offered.
    int sel = -1;
    const std::string storedName = m_settings.GetField(CSysSetInfo::kTemplateName);
    for (std::size_t i = 0; i < m_offered.size(); ++i)
        if (!storedName.empty() && m_offered[i].name == storedName) sel = static_cast<int>(i);
    for (std::size_t i = 0; sel < 0 && i < m_offered.size(); ++i)
        if (m_offered[i].index == m_templateIndex) sel = static_cast<int>(i);
    if (sel < 0) sel = 0;
    m_templateIndex = m_offered.at(static_cast<std::size_t>(sel)).index;
    m_templateName = std::string(m_offered.at(static_cast<std::size_t>(sel)).name);
    m_templateCombo->SetSelection(sel);
    ShowMembers();
    m_changes = 0;
}

void CBuildWebPageDlg::ShowMembers() {
    m_output->ChangeValue(W(m_outputFolder));
    m_pageFolderEdit->ChangeValue(W(m_pageFolder));
    m_pageNameEdit->ChangeValue(W(m_pageName));
    m_messengerEdit->ChangeValue(W(m_messenger));
    m_shopEdit->ChangeValue(W(m_shop));
    m_downloadEdit->ChangeValue(W(m_download));
    m_test->SetValue(m_testAfterBuild);
    int layer = 2;
    for (int i = 0; i < 3; ++i)
        if (m_initialLayer == kLayerEntries[i]) layer = i;
    m_layerCombo->SetSelection(layer);
    m_thumbnail->Refresh();
}

void CBuildWebPageDlg::ReadControls() {
    m_outputFolder = U(m_output->GetValue());
    m_pageFolder = U(m_pageFolderEdit->GetValue());
    m_pageName = U(m_pageNameEdit->GetValue());
    m_messenger = U(m_messengerEdit->GetValue());
    m_shop = U(m_shopEdit->GetValue());
    m_download = U(m_downloadEdit->GetValue());
    m_testAfterBuild = m_test->GetValue();
}

void CBuildWebPageDlg::OnEditChanged() {
    ReadControls();
    ++m_changes;
}

void CBuildWebPageDlg::OnSelTemplate(int sel) {
    if (sel < 0 || sel >= static_cast<int>(m_offered.size())) return;
    if (m_templateCombo->GetSelection() != sel) m_templateCombo->SetSelection(sel);
    ReadControls();
    m_templateIndex = m_offered[static_cast<std::size_t>(sel)].index;
    LastTemplateChoice() = sel;
    m_templateName = std::string(m_offered[static_cast<std::size_t>(sel)].name);
    m_pageFolder = m_templateName;
    ShowMembers();
    ++m_changes;
}

void CBuildWebPageDlg::OnSelInitialLayer(int sel) {
    if (sel < 0 || sel > 2) return;
    if (m_layerCombo->GetSelection() != sel) m_layerCombo->SetSelection(sel);
    ReadControls();
    m_initialLayer = kLayerEntries[sel];
    ShowMembers();
    ++m_changes;
}

void CBuildWebPageDlg::OnChangeOutputFolder() {
    project_editor::CFolderTreeDlg dlg(this);
    if (FolderDialogHook()) CallAfter([&dlg] {
        if (auto& h = FolderDialogHook()) h(dlg);
    });
    if (dlg.ShowModal() != wxID_OK || dlg.path().empty()) return;
    const std::string path = dlg.path().string();
    if (path.size() >= 260) return;
    ReadControls();
    m_settings.SetOutputFolder(path);
    m_outputFolder = path;
    ++m_changes;
    ShowMembers();
}

WebPageSettings CBuildWebPageDlg::CurrentSettings() const {
    WebPageSettings s;
    s.outputFolder = m_outputFolder;
    s.pageFolder = m_pageFolder;
    s.pageName = m_pageName;
    s.templateName = m_templateName;
    s.templateIndex = m_templateIndex;
    s.texts = {m_messenger, m_shop, m_download, m_initialLayer};
    return s;
}

void CBuildWebPageDlg::OnStartBuild() {
    ReadControls();
    if (m_changes > 0) {
        m_settings.SetField(CSysSetInfo::kTemplateIndex, std::to_string(m_templateIndex));
        m_settings.SetField(CSysSetInfo::kTemplateName, m_templateName);
        m_settings.SetField(CSysSetInfo::kShopPage, m_shop);
        m_settings.SetField(CSysSetInfo::kPageFolder, m_pageFolder);
        m_settings.SetField(CSysSetInfo::kDownloadPage, m_download);
        m_settings.SetField(CSysSetInfo::kMessenger, m_messenger);
        m_settings.SetField(CSysSetInfo::kPageName, m_pageName);
        m_settings.SetField(CSysSetInfo::kInitialLayer, m_initialLayer);
        m_settings.SetOutputFolder(m_outputFolder);  // saves the record
    }
    FindWindow(kIdStartBuild)->Disable();
    FindWindow(wxID_CANCEL)->Disable();
    BuildReport report;
    {
        wxBusyCursor busy;
        WxPictureWork pictures;
        WebSiteBuild build(m_base, project_editor::CProjectStore::Instance().Project(), pictures);
        report = build.Build(CurrentSettings());
    }
    m_report = report;
    if (report.ok()) {
        LastBuiltPageFolder() = m_pageFolder;
    } else {
        platform::ui::ShowMessage(report.message, platform::MbButtons::Ok, platform::MbIcon::Exclamation,
                                  std::string(kBuildCaption), this);
    }
    // The build runs once per dialog: it ends with OK whatever the build did;
    // the report tells the caller whether there is a page to open.
    platform::ui::EndDialog(*this, wxID_OK);
}

void CBuildWebPageDlg::DrawThumbnail(wxDC& dc) {
    const wxSize size = m_thumbnail->GetClientSize();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(platform::ui::ToColour(kThumbnailBackground)));
    dc.DrawRectangle(0, 0, size.x, size.y);
    const fs::path pic = m_base / fs::path(std::string(kTemplateRootName)) / fs::path(m_templateName) /
                         fs::path(std::string(kTemplateThumbnailName));
    const auto image = platform::image::CachedPicture(pic);
    if (!image || !image->IsOk() || image->GetWidth() <= 0 || image->GetHeight() <= 0) return;
    const int w = size.x - 4, h = size.y - 4;
    const int side = std::min(w, h);
    const double s = std::min(static_cast<double>(side) / image->GetWidth(), static_cast<double>(side) / image->GetHeight());
    const int dw = std::max(1, static_cast<int>(image->GetWidth() * s)), dh = std::max(1, static_cast<int>(image->GetHeight() * s));
    const wxImage scaled = image->Scale(dw, dh, wxIMAGE_QUALITY_BICUBIC);
    dc.DrawBitmap(wxBitmap(scaled), 2 + (w - dw) / 2, 2 + (h - dh) / 2, true);
}

void SetPageOpener(PageOpener opener) { Opener() = std::move(opener); }

std::function<void(CBuildWebPageDlg&)>& WebPageDialogHook() {
    static std::function<void(CBuildWebPageDlg&)> hook;
    return hook;
}

std::optional<BuildReport> RunWebPageCommand(wxWindow* parent, const fs::path& base) {
    CBuildWebPageDlg dlg(parent, base);
    dlg.SetMode(WebDialogModeFor(ProjectFolderOf(project_editor::CProjectStore::Instance().Project(), base)));
    if (WebPageDialogHook()) dlg.CallAfter([&dlg] {
        if (auto& h = WebPageDialogHook()) h(dlg);
    });
    const int result = dlg.ShowModal();
    // The dialog saves through a record of its own: the program's record takes
    // it over, so a later save of the program's record keeps what was typed here.
    project_editor::CSysSetInfo::Instance().LoadBytes(dlg.settings().Bytes());
    if (result == wxID_OK && dlg.report() && dlg.report()->ok() && dlg.testAfterBuild()) {
        std::string error;
        if (!Opener()(dlg.report()->pagePath.string(), &error))
            platform::ui::ShowMessage("网页打不开: " + error, platform::MbButtons::Ok, platform::MbIcon::Exclamation,
                                      std::string(kBuildCaption), parent);
    }
    return dlg.report();
}

}  // namespace web_publish
