// Pavanel's application object: the base directory is the working directory,
// the profile keeps four recent files, and the frame opens maximised.
#include <memory>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/filehistory.h>
#include <wx/image.h>

#include "platform/files.h"
#include "platform/ui/message_box.h"
#include "platform/ui/quit_signals.h"
#include "platform/ui/profile.h"
#include "project_editor/pavanel_frame.h"
#include "project_editor/pavanel_session.h"
#include "project_editor/pavanel_view.h"
#include "web_publish/build_web_page_dlg.h"

class CPavanelApp : public wxApp {
public:
    bool OnInit() override {
        SetAppName("Pavanel");
        SetVendorName("Local AppWizard-Generated Applications");
        platform::ui::SetDefaultCaption(std::string(project_editor::kPavanelTitle));
        m_quit = std::make_unique<platform::ui::QuitSignalWatch>();
        wxInitAllImageHandlers();
        std::string error;
        auto base = platform::CurrentBaseDirectory(&error);
        if (!base) {
            platform::ui::ShowMessage(error, platform::MbButtons::Ok, platform::MbIcon::Stop);
            return false;
        }
        wxConfigBase::Set(new wxFileConfig("Pavanel", "Local AppWizard-Generated Applications"));
        m_recent = std::make_unique<wxFileHistory>(4);
        m_recent->Load(*wxConfigBase::Get());
        project_editor::CPavanelView::WebPageCommand() = [](project_editor::CPavanelView& view) {
            web_publish::RunWebPageCommand(&view, view.base());
            view.RefreshLinks();
        };
        if (platform::ui::QuitSignalWatch::Received()) return false;  // ended before the frame was made
        auto* frame = new project_editor::CMainFrame(*base);
        SetTopWindow(frame);
        m_quit->SetMainWindow(frame);  // a signal that came meanwhile closes it at once
        if (!platform::ui::QuitSignalWatch::Received()) frame->ShowMaximised();
        return true;
    }
    int OnExit() override {
        m_quit.reset();
        if (m_recent && wxConfigBase::Get(false)) m_recent->Save(*wxConfigBase::Get());
        platform::ui::SaveProgramProfile("Pavanel");
        delete wxConfigBase::Set(nullptr);
        return wxApp::OnExit();
    }

private:
    std::unique_ptr<wxFileHistory> m_recent;
    std::unique_ptr<platform::ui::QuitSignalWatch> m_quit;  // SIGTERM and SIGINT close the frame
};

wxIMPLEMENT_APP_NO_MAIN(CPavanelApp);

// The quit signals are watched before anything else runs; a program that a
// signal ended before its main window was up ends with status 0.
int main(int argc, char** argv) {
    platform::ui::WatchQuitSignals();
    const int status = wxEntry(argc, argv);
    return platform::ui::QuitSignalWatch::Received() ? 0 : status;
}
