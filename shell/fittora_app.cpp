#include "shell/fittora_app.h"

#include <wx/config.h>
#include <wx/filehistory.h>
#include <wx/fileconf.h>
#include <wx/image.h>

#include "fitting_room/dress_child_frame.h"
#include "fitting_room/project_chooser.h"
#include "measure_market/market_child_frame.h"
#include "fitting_room/show_child_frame.h"
#include "measure_market/space_child_frame.h"
#include "platform/files.h"
#include "platform/ui/message_box.h"
#include "platform/ui/quit_signals.h"
#include "platform/ui/profile.h"
#include "shell/base_directory.h"
#include "shell/client_shell.h"
#include "shell/fittora_view.h"
#include "shell/main_frame.h"
#include "shell/pack_chooser_hook.h"

wxIMPLEMENT_APP_NO_MAIN(CFittoraApp);

// The quit signals are watched before anything else runs; a program that a
// signal ended before its main window was up ends with status 0.
int main(int argc, char** argv) {
    platform::ui::WatchQuitSignals();
    const int status = wxEntry(argc, argv);
    return platform::ui::QuitSignalWatch::Received() ? 0 : status;
}

CFittoraApp::CFittoraApp() = default;
CFittoraApp::~CFittoraApp() = default;

bool CFittoraApp::OnInit() {
    SetAppName("Fittora");
    SetVendorName("Local AppWizard-Generated Applications");
    platform::ui::SetDefaultCaption("Fittora");
    m_quit = std::make_unique<platform::ui::QuitSignalWatch>();
    wxInitAllImageHandlers();

    std::string error;
    auto base = platform::CurrentBaseDirectory(&error);
    if (!base) {
        platform::ui::ShowMessage(error, platform::MbButtons::Ok, platform::MbIcon::Stop);
        return false;
    }
    shell::SetBaseDirectory(*base);

    // The profile: the recent-file list of four.
    wxConfigBase::Set(new wxFileConfig("Fittora", "Local AppWizard-Generated Applications"));
    m_recent = std::make_unique<wxFileHistory>(4);
    m_recent->Load(*wxConfigBase::Get());

    m_shell = std::make_unique<ClientShell>();
    m_shell->SetFrameFactory(0, [](platform::ui::MdiClient* client) -> platform::ui::MdiChildFrame* {
        return CMWinFram_ImageEdtChdWnd::Make(client, [](wxWindow* parent) { return new CFittoraView(parent); });
    });
    m_shell->SetFrameFactory(1, [](platform::ui::MdiClient* client) -> platform::ui::MdiChildFrame* {
        return CMWinFram_DressChdWnd::Make(client);
    });
    m_shell->SetFrameFactory(3, [](platform::ui::MdiClient* client) -> platform::ui::MdiChildFrame* {
        return CMWinFram_MarketChdWnd::Make(client);
    });
    m_shell->SetFrameFactory(2, [](platform::ui::MdiClient* client) -> platform::ui::MdiChildFrame* {
        return CMWinFram_SpaceChdWnd::Make(client, shell::BaseDirectory());
    });
    shell::SetPackChooser([](wxWindow* parent) { return fitting_room::RunPackChooser(parent); });
    if (platform::ui::QuitSignalWatch::Received()) return false;  // ended before the frame was made
    CMainFrame* frame = m_shell->Start(&error);
    if (!frame) {
        platform::ui::ShowMessage(error, platform::MbButtons::Ok, platform::MbIcon::Stop);
        return false;
    }
    SetTopWindow(frame);
    m_quit->SetMainWindow(frame);  // a signal that came meanwhile closes it at once
    if (!platform::ui::QuitSignalWatch::Received()) frame->ShowMaximised();
    return true;
}

int CFittoraApp::OnExit() {
    m_quit.reset();
    if (m_recent && wxConfigBase::Get(false)) m_recent->Save(*wxConfigBase::Get());
    platform::ui::SaveProgramProfile("Fittora");
    delete wxConfigBase::Set(nullptr);
    return wxApp::OnExit();
}
