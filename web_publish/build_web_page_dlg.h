#pragma once
// CBuildWebPageDlg: dialog 151 "建立网页". Shows the page settings of the
// builder's settings record, lets the user pick a template (with its
// thumbnail), the output folder, page folder and name, the contact and shop
// data and the initial layer, stores changed settings and builds the site
// (WebSiteBuild). A build ends the dialog with OK, also one that was refused
// (after its message); the report says whether a site was built, and the
// caller opens a page only then. "放 弃" ends it with Cancel.
//
// RunWebPageCommand is the stage editor's "创建搭配网页" command: the dialog in
// the mode WebDialogModeFor gives, then the built page opened when asked.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "project_editor/sys_set_info.h"
#include "web_publish/publish_list.h"
#include "web_publish/web_site_build.h"
#include "web_publish/web_templates.h"

class wxButton;
class wxCheckBox;
class wxChoice;
class wxPanel;
class wxTextCtrl;

namespace project_editor {
class CFolderTreeDlg;
}

namespace web_publish {

enum WebPageId : int {
    kIdWebPageDialog = 151, kIdTemplateCombo = 1073, kIdTemplateThumbnail = 1074, kIdChangeOutput = 1075,
    kIdOutputFolder = 1076, kIdPageFolder = 1077, kIdPageName = 1078, kIdTestAfterBuild = 1079,
    kIdStartBuild = 1080, kIdMessenger = 1081, kIdShopAddress = 1094, kIdInitialLayer = 1096,
    kIdDownloadAddress = 1101,
};

inline constexpr unsigned kThumbnailBackground = 0xA6A664;  // COLORREF

// Process-wide: the combo place of the template chosen last in any dialog,
// and the page folder of the last build.
int& LastTemplateChoice();
std::string& LastBuiltPageFolder();

class CBuildWebPageDlg : public wxDialog {
public:
    CBuildWebPageDlg(wxWindow* parent, std::filesystem::path base);

    void SetMode(int mode) { m_mode = mode; }
    int mode() const { return m_mode; }

    // The initialisation (also run by the dialog's own init event).
    void OnInitDialog();
    // Paints the thumbnail area (client coordinates of its panel).
    void DrawThumbnail(wxDC& dc);
    // Handlers, callable by tests.
    void OnStartBuild();
    void OnSelTemplate(int selection);
    void OnSelInitialLayer(int selection);
    void OnChangeOutputFolder();
    // Tests reach the folder dialog through this.
    static std::function<void(project_editor::CFolderTreeDlg&)>& FolderDialogHook();

    wxWindow* control(int id) const;
    int changeCount() const { return m_changes; }
    int templateIndex() const { return m_templateIndex; }
    const std::string& templateName() const { return m_templateName; }
    bool testAfterBuild() const { return m_testAfterBuild; }
    const std::vector<WebTemplate>& offered() const { return m_offered; }
    // The settings record as the dialog left it (saved when a build started with changes).
    const project_editor::CSysSetInfo& settings() const { return m_settings; }
    const std::optional<BuildReport>& report() const { return m_report; }
    WebPageSettings CurrentSettings() const;

private:
    void ReadControls();
    void ShowMembers();
    void OnEditChanged();

    std::filesystem::path m_base;
    project_editor::CSysSetInfo m_settings;
    std::vector<WebTemplate> m_offered;
    std::string m_templateName;
    int m_templateIndex = 0;
    std::string m_download, m_shop, m_messenger;
    std::string m_outputFolder = "默认001";
    std::string m_pageFolder = "男装女装童装";
    std::string m_pageName = "Fittora";
    std::string m_initialLayer = "1:初层为主面";
    bool m_testAfterBuild = false;
    int m_changes = 0;
    int m_mode = 0;
    bool m_initialised = false;
    bool m_showing = false;
    std::optional<BuildReport> m_report;

    wxChoice* m_templateCombo = nullptr;
    wxChoice* m_layerCombo = nullptr;
    wxPanel* m_thumbnail = nullptr;
    wxCheckBox* m_test = nullptr;
    wxTextCtrl* m_output = nullptr;
    wxTextCtrl* m_pageFolderEdit = nullptr;
    wxTextCtrl* m_pageNameEdit = nullptr;
    wxTextCtrl* m_messengerEdit = nullptr;
    wxTextCtrl* m_shopEdit = nullptr;
    wxTextCtrl* m_downloadEdit = nullptr;
};

// Opens pages after a build; tests replace it.
using PageOpener = std::function<bool(const std::string& target, std::string* error)>;
void SetPageOpener(PageOpener opener);

// The stage editor's web page command over `parent`. Returns the dialog's
// report when a build ran (nullopt when the user gave up).
std::optional<BuildReport> RunWebPageCommand(wxWindow* parent, const std::filesystem::path& base);
// Tests see the dialog once it is open through this hook.
std::function<void(CBuildWebPageDlg&)>& WebPageDialogHook();

}  // namespace web_publish
