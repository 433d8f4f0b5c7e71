// Tranzel: the FTP transfer program. It takes the working directory as its
// base directory, runs its dialog and ends when the dialog closes.
#include <memory>

#include <wx/app.h>
#include <wx/image.h>
#include <wx/log.h>

#include "platform/files.h"
#include "platform/net.h"
#include "platform/ui/message_box.h"
#include "platform/ui/quit_signals.h"
#include "transfer/tranzel_dlg.h"
#include "transfer/tranzel_texts.h"

class CTranzelApp : public wxApp {
public:
    bool OnInit() override {
        m_quit = std::make_unique<platform::ui::QuitSignalWatch>();
        wxInitAllImageHandlers();
        platform::ui::SetDefaultCaption("Tranzel");
        platform::InitNetwork();
        std::string error;
        const auto base = platform::CurrentBaseDirectory(&error);
        if (!base) {
            platform::ui::ShowMessage(error, platform::MbButtons::Ok, platform::MbIcon::Stop);
            return false;
        }
        m_base = *base;
        return true;
    }
    // The dialog is the program: it ends when the dialog closes, also on
    // SIGTERM and SIGINT (an upload that runs is stopped first, as for "退出").
    int OnRun() override {
        if (platform::ui::QuitSignalWatch::Received()) return 0;  // ended before the dialog was made
        {
            CTranzelDlg dlg(nullptr, m_base);
            m_quit->SetMainWindow(&dlg);
            if (!platform::ui::QuitSignalWatch::Received()) dlg.ShowModal();
            m_quit->SetMainWindow(nullptr);
        }
        return 0;
    }
    int OnExit() override {
        m_quit.reset();
        return wxApp::OnExit();
    }

private:
    std::filesystem::path m_base;
    std::unique_ptr<platform::ui::QuitSignalWatch> m_quit;  // SIGTERM and SIGINT close the dialog
};

wxIMPLEMENT_APP_NO_MAIN(CTranzelApp);

// The quit signals are watched before anything else runs; a program that a
// signal ended before its main window was up ends with status 0.
int main(int argc, char** argv) {
    platform::ui::WatchQuitSignals();
    const int status = wxEntry(argc, argv);
    return platform::ui::QuitSignalWatch::Received() ? 0 : status;
}
