#include "shell/main_frame.h"

#include <wx/display.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>

#include "platform/ui/messages.h"
#include "platform/ui/resources.h"
#include "shell/base_directory.h"
#include "shell/child_frames.h"
#include "shell/data_package.h"
#include "shell/download_record.h"
#include "shell/frame_resources.h"
#include "shell/nav_bar.h"
#include "shell/pack_chooser_hook.h"
#include "shell/sys_info.h"
#include "shell/title_bar.h"
#include "shell/web_links.h"

namespace {
// The bars' own ids (59645, 59644, 59393) lie outside the toolkit's id range;
// nothing looks windows up by id, so they take the toolkit's.
constexpr wxWindowID kTitleBarId = wxID_ANY;
constexpr wxWindowID kNavBarId = wxID_ANY;
constexpr wxWindowID kStatusBarId = wxID_ANY;
// Control-bar docking styles as the bars take them.
constexpr long kBarBottom = 0x8200;
constexpr long kBarLeft = 0x1400;
}  // namespace

CMainFrame::CMainFrame(platform::ui::TemplateRegistry& templates)
    : wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(kMainWindowTitle), wxDefaultPosition, wxSize(1024, 700),
              wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLIP_CHILDREN),
      m_templates(templates) {
    SetIcon(platform::ui::LoadIconResource(130));
    shell::DLoadRec().SetDirectory(shell::BaseDirectory());
    shell::DataPackage().SetDirectories(shell::BaseDirectory());
}

bool CMainFrame::CreateBars(std::string* error) {
    shell::SysInfo().SetDirectory(shell::BaseDirectory());
    shell::SysInfo().LoadOrCreate();

    // The class library's status bar exists, hidden, with its four panes.
    m_statusBar = CreateStatusBar(4, wxSTB_DEFAULT_STYLE, kStatusBarId);
    m_statusBar->Hide();

    m_titleBar = new CTitleBar();
    if (!m_titleBar->Create(this, kBarBottom, kTitleBarId, 132)) {
        if (error) *error = "界面图片 132 不存在: " + platform::ui::ResourceDir().string();
        return false;
    }

    m_images = std::make_unique<wxImageList>(16, 16, true, 0);
    wxBitmap strip = platform::ui::LoadBitmapResource(134);
    if (strip.IsOk()) m_images->Add(strip, wxColour(0, 128, 128));

    m_navBar = new CNavBar();
    if (!m_navBar->Create(this, kBarLeft, kNavBarId, 133)) {
        if (error) *error = "界面图片 133 不存在: " + platform::ui::ResourceDir().string();
        return false;
    }
    m_navBar->SetImageList(m_images.get());

    m_client = new platform::ui::MdiClient(this);
    m_client->onActivated = [this](platform::ui::MdiChildFrame*) {
        UpdateFrameTitle();
        UpdateMenuBar();
    };
    m_client->onClosed = [this](platform::ui::DocTemplate* t) {
        UpdateMenuBar();
        auto& deferred = shell::Deferred();
        if (t && t->documents().empty()) deferred.ChildClosed(TemplateIndex(t));
        // The client shows the window that was active before: both bars mark it.
        if (auto* shown = m_client->ActiveChild()) deferred.ChildShown(TemplateIndex(shown->docTemplate()));
        m_titleBar->Refresh();
        m_navBar->Refresh();
    };

    auto* middle = new wxBoxSizer(wxHORIZONTAL);
    middle->Add(m_navBar, 0, wxEXPAND);
    middle->Add(m_client, 1, wxEXPAND);
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(middle, 1, wxEXPAND);
    outer->Add(m_titleBar, 0, wxEXPAND);
    SetSizer(outer);

    BuildMenu();
    SetStatusText("-----", 2);

    auto& deferred = shell::Deferred();
    deferred.SetHost(this);
    deferred.onDispatched = [this] {
        m_titleBar->Refresh();
        m_navBar->Refresh();
    };
    return true;
}

CMainFrame::~CMainFrame() {
    // The menu bar not shown belongs to no one else.
    if (m_defaultMenuBar && GetMenuBar() != m_defaultMenuBar) delete m_defaultMenuBar;
    if (m_childMenuBar && GetMenuBar() != m_childMenuBar) delete m_childMenuBar;
    auto& deferred = shell::Deferred();
    deferred.SetHost(nullptr);
    deferred.onDispatched = nullptr;
    if (m_client) {
        m_client->onActivated = nullptr;
        m_client->onClosed = nullptr;
    }
}

namespace {
constexpr int kMenuIdOffset = 20000;
}  // namespace

int DefaultMenuItemId(int command) { return command >= 57344 ? command - 40000 : MenuItemId(command); }

int MenuItemId(int command) {
    switch (command) {
        case ID_APP_EXIT_CMD: return wxID_EXIT;
        case ID_APP_ABOUT_CMD: return wxID_ABOUT;
        default: return command - kMenuIdOffset;
    }
}

int CommandOfMenuItem(int item_id) {
    switch (item_id) {
        case wxID_EXIT: return ID_APP_EXIT_CMD;
        case wxID_ABOUT: return ID_APP_ABOUT_CMD;
        default:
            if (item_id >= 57344 - 40000 && item_id < 65536 - 40000) return item_id + 40000;
            return item_id + kMenuIdOffset;
    }
}

void CMainFrame::BuildMenu() {
    auto item = [](wxMenu* m, int id, const char* text) { m->Append(MenuItemId(id), wxString::FromUTF8(text)); };
    auto* file = new wxMenu;
    item(file, ID_BUILD_DOWNLOAD_FILES, "构建网上供客户下载的文件");
    file->AppendSeparator();
    item(file, ID_APP_EXIT_CMD, "退出(&X)");
    auto* upload = new wxMenu;
    item(upload, ID_UPLOAD, "上传试衣文件");
    auto* download = new wxMenu;
    item(download, ID_DOWNLOAD_PROJECTS, "下载试衣图片");
    auto* maker = new wxMenu;
    item(maker, ID_PROJECT_MAKER, "试衣搭配制作软件");
    auto* photo = new wxMenu;
    item(photo, ID_CAMERA, "摄像头拍照");
    item(photo, ID_IMAGE_EDIT, "图片编辑");
    photo->AppendSeparator();
    item(photo, ID_MANUAL_DOC, "查看操作说明");
    auto* video = new wxMenu;
    item(video, ID_VIDEO_DRESSING, "试衣搭配操作视频");
    item(video, ID_VIDEO_WEB_ROOM, "网上在线试衣间制作视频");
    item(video, ID_VIDEO_PHOTOSHOP, "用PhotoShop制作试衣图片");
    auto* help = new wxMenu;
    item(help, ID_GUIDE, "操作指引");
    help->AppendSeparator();
    help->Append(MenuItemId(ID_WEB_SITE), wxString::FromUTF8("进入网站(") + shell::kWebHost + ")");
    help->Append(MenuItemId(ID_FORUM), wxString::FromUTF8("进入论坛(") + shell::kForumHost + ")");
    help->Append(MenuItemId(ID_WEB_SHOP), wxString::FromUTF8("进入网店(") + shell::kShopHost + ")");
    help->Append(MenuItemId(ID_CONSULT), wxString::FromUTF8("咨询服务(") + shell::kContactNumber + ")");
    help->AppendSeparator();
    item(help, ID_APP_ABOUT_CMD, "关于Lumora服饰搭配试衣软件");

    auto* bar = new wxMenuBar;
    m_childMenuBar = bar;
    bar->Append(file, wxString::FromUTF8("文件管理"));
    bar->Append(upload, wxString::FromUTF8("上传试衣文件"));
    bar->Append(download, wxString::FromUTF8("下载试衣文件"));
    bar->Append(maker, wxString::FromUTF8("试衣项目制作"));
    bar->Append(photo, wxString::FromUTF8("拍照编辑"));
    bar->Append(video, wxString::FromUTF8("软件使用视频"));
    bar->Append(help, wxString::FromUTF8("帮助"));

    // The frame's own menu: drop-downs of our own with the toolbar's
    // pictures, in the XP look.
    shell::RegisterFrameResources();
    m_menu.SetXpLook(1, 1);
    m_menu.LoadMenu(shell::kDefaultMenu);
    m_menu.LoadToolbars({shell::kDefaultToolbar});
    m_defaultMenuBar = m_menu.CreateMenuBar(DefaultMenuItemId, [](int c) { return c == shell::ID_VIEW_STATUS_BAR; });
    m_menu.AttachDropDowns(this, m_defaultMenuBar, DefaultMenuItemId);
    Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) { e.Check(m_statusBar && m_statusBar->IsShown()); },
         DefaultMenuItemId(shell::ID_VIEW_STATUS_BAR));
    SetMenuBar(m_defaultMenuBar);

    // The forum entry is always greyed; commands whose windows are not part
    // of the client yet stay greyed until they are.
    bar->Enable(MenuItemId(ID_FORUM), false);
    bar->Enable(MenuItemId(ID_BUILD_DOWNLOAD_FILES), shell::HasPackChooser());

    Bind(wxEVT_MENU, [this](wxCommandEvent& e) { RunCommand(CommandOfMenuItem(e.GetId())); });
    wxAcceleratorEntry accel[] = {wxAcceleratorEntry(wxACCEL_CTRL, WXK_F4, MenuItemId(ID_CLOSE_CHILD))};
    SetAcceleratorTable(wxAcceleratorTable(1, accel));
}

void CMainFrame::UpdateMenuBar() {
    wxMenuBar* want = m_client && !m_client->children().empty() ? m_childMenuBar : m_defaultMenuBar;
    if (want && GetMenuBar() != want) SetMenuBar(want);
}

void CMainFrame::ShowMaximised() {
    Show();
    Maximize();
    // Without a caption the frame does not fill the screen by itself.
    wxDisplay display(this);
    SetSize(display.GetClientArea());
    Layout();
}

void CMainFrame::UpdateFrameTitle() { SetTitle(wxString::FromUTF8(kFixedFrameTitle)); }

int CMainFrame::TemplateIndex(platform::ui::DocTemplate* t) const {
    for (std::size_t i = 0; i < m_templates.size(); ++i) {
        if (m_templates.at(i) == t) return static_cast<int>(i);
    }
    return -1;
}

void CMainFrame::OpenNewDocument(int tmpl) {
    if (auto* t = m_templates.at(tmpl)) t->OpenDocument(m_client);
}

void CMainFrame::ShowFramesOf(int tmpl) {
    auto* t = m_templates.at(tmpl);
    if (!t) return;
    const auto frames = t->documents();
    for (auto* frame : frames) m_client->Activate(frame);
}

void CMainFrame::NotifyViews(int tmpl, std::int32_t code) {
    auto* t = m_templates.at(tmpl);
    if (!t) return;
    const auto frames = t->documents();
    for (auto* frame : frames) {
        const auto views = frame->views();
        for (wxWindow* view : views) {
            platform::ui::SendMessage(view, kWmUser50, static_cast<std::uintptr_t>(code), shell::kNotifyLParam);
            platform::ui::SendMessage(frame, kWmUser50, static_cast<std::uintptr_t>(code), shell::kNotifyLParam);
        }
    }
}
