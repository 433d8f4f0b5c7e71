// Tranzel: the FTP transfer program. It takes the working directory as its
// base directory, runs its dialog and ends when the dialog closes.
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
        CTranzelDlg dlg(nullptr, m_base);
        platform::ui::QuitSignalWatch quit(&dlg);
        dlg.ShowModal();
        return 0;
    }

private:
    std::filesystem::path m_base;
};

wxIMPLEMENT_APP(CTranzelApp);
