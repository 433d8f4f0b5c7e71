// The download module's one export. It runs inside the host's wx
// application: the dialog is modal without a parent, and it is destroyed
// (its worker stopped) before the entry returns, so nothing of the module is
// left running when the host releases it.
#include <string>
#include <wx/app.h>

#include "platform/files.h"
#include "platform/net.h"
#include "platform/ui/message_box.h"
#include "shell/download_record.h"
#include "transfer/download_dlg.h"

extern "C" __attribute__((visibility("default"))) void Dolvane() {
    if (!wxTheApp) return;
    if (!platform::InitNetwork()) {
        platform::ui::ShowMessage("Windows 通信端口初始化失败。");
        return;
    }
    std::string error;
    const auto base = platform::CurrentBaseDirectory(&error);
    if (!base) {
        platform::ui::ShowMessage(error, platform::MbButtons::Ok, platform::MbIcon::Stop);
        return;
    }
    shell::DLoadRec().SetDirectory(*base);
    CDownloadDlg dlg(nullptr, *base);
    dlg.ShowModal();
}
