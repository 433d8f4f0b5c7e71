#pragma once
// The client's main frame: no caption bar, maximised, with the status strip
// along the bottom, the side bar on the left, the (hidden) status bar and the
// client area that holds the four child windows. It carries the command
// table of the menu and carries out the deferred requests' window work.
#include <functional>
#include <memory>
#include <wx/frame.h>
#include <wx/imaglist.h>

#include "controls/dt_menu.h"
#include "platform/ui/mdi.h"
#include "shell/deferred_request.h"

class CTitleBar;
class CNavBar;

inline constexpr const char* kMainWindowTitle = "Lumora服饰搭配试衣软件(客户端)";
inline constexpr const char* kFixedFrameTitle = "Lumora服饰搭配试衣软件2012";

// Menu commands of the client (ids as the menu resource has them).
enum ClientCommand {
    ID_BUILD_DOWNLOAD_FILES = 32771,
    ID_UPLOAD = 32772,
    ID_DOWNLOAD_PROJECTS = 32773,
    ID_VIDEO_DRESSING = 32774,
    ID_PROJECT_MAKER = 32775,
    ID_VIDEO_WEB_ROOM = 32776,
    ID_GUIDE = 32777,
    ID_WEB_SITE = 32778,
    ID_FORUM = 32779,
    ID_WEB_SHOP = 32780,
    ID_VIDEO_PHOTOSHOP = 32781,
    ID_CONSULT = 32782,
    ID_CAMERA = 32783,
    ID_IMAGE_EDIT = 32784,
    ID_MANUAL_DOC = 32785,
    ID_APP_EXIT_CMD = 57665,
    ID_APP_ABOUT_CMD = 57664,
    ID_CLOSE_CHILD = 32900,  // Ctrl+F4: close the current child window
};

// Menu item ids: the toolkit takes ids below 32768, so the commands sit 20000
// lower in the menu, and exit and about use the toolkit's standard ids.
int MenuItemId(int command);
int CommandOfMenuItem(int item_id);
// Item ids of the frame's own menu 129 (the class library's commands,
// 57344 and up, sit 40000 lower).
int DefaultMenuItemId(int command);

class CMainFrame : public wxFrame, public shell::DeferredHost {
public:
    // `templates` holds the four child templates A-D; the frame does not own it.
    explicit CMainFrame(platform::ui::TemplateRegistry& templates);
    ~CMainFrame() override;

    // The frame's creation steps: settings record, status bar, status strip,
    // side bar, menu. False when a bar cannot be made (its bitmap is missing);
    // `error` says which.
    bool CreateBars(std::string* error);

    // Shows the frame filling the screen's work area.
    void ShowMaximised();
    void UpdateFrameTitle();

    platform::ui::MdiClient* client() const { return m_client; }
    CTitleBar* titleBar() const { return m_titleBar; }
    CNavBar* navBar() const { return m_navBar; }
    wxStatusBar* hiddenStatusBar() const { return m_statusBar; }

    // The window work of the deferred requests.
    void OpenNewDocument(int tmpl) override;
    void ShowFramesOf(int tmpl) override;
    void NotifyViews(int tmpl, std::int32_t code) override;

    // The command handlers, callable from tests.
    void RunCommand(int id);

    // File-New of the frame's own menu (the client opens the show stage once).
    std::function<void()> onFileNew;

    // The owner-drawn default menu 129, shown while no child window is open,
    // and the child windows' menu 165, shown while one is.
    const DTMenu& defaultMenu() const { return m_menu; }
    wxMenuBar* defaultMenuBar() const { return m_defaultMenuBar; }
    wxMenuBar* childMenuBar() const { return m_childMenuBar; }

private:
    void BuildMenu();
    // The menu bar that fits: 165 with a child window open, else 129.
    void UpdateMenuBar();
    int TemplateIndex(platform::ui::DocTemplate* t) const;
    void StartSibling(const char* name);
    void OpenTarget(const std::string& target);
    // The project download: request, download module, unpacking.
    void OnDownloadProjects();

    platform::ui::TemplateRegistry& m_templates;
    platform::ui::MdiClient* m_client = nullptr;
    CTitleBar* m_titleBar = nullptr;
    CNavBar* m_navBar = nullptr;
    wxStatusBar* m_statusBar = nullptr;
    std::unique_ptr<wxImageList> m_images;
    DTMenu m_menu;
    wxMenuBar* m_defaultMenuBar = nullptr;
    wxMenuBar* m_childMenuBar = nullptr;
};
