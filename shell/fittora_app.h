#pragma once
// The client's application object: checks the base directory, starts the
// shell, keeps the profile's recent-file list of four.
#include <memory>
#include <wx/app.h>

class ClientShell;
class wxFileHistory;

class CFittoraApp : public wxApp {
public:
    bool OnInit() override;
    int OnExit() override;

private:
    std::unique_ptr<ClientShell> m_shell;
    std::unique_ptr<wxFileHistory> m_recent;
};

wxDECLARE_APP(CFittoraApp);
