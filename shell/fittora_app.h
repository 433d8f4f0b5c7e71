#pragma once
// The client's application object: checks the base directory, starts the
// shell, keeps the profile's recent-file list of four.
#include <memory>
#include <wx/app.h>

class ClientShell;
class wxFileHistory;
namespace platform::ui {
class QuitSignalWatch;
}

class CFittoraApp : public wxApp {
public:
    CFittoraApp();
    ~CFittoraApp() override;
    bool OnInit() override;
    int OnExit() override;

private:
    std::unique_ptr<ClientShell> m_shell;
    std::unique_ptr<wxFileHistory> m_recent;
    std::unique_ptr<platform::ui::QuitSignalWatch> m_quit;  // SIGTERM and SIGINT close the frame
};

wxDECLARE_APP(CFittoraApp);
