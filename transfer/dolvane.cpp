// The download module's entry and its start-up. It runs inside the host's wx
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

namespace {
const std::string kModuleCaption = "Dolvane";
}  // namespace

// The module's start-up: without the network it refuses to load, and the
// host reports the module as missing.
extern "C" __attribute__((visibility("default"))) int ModuleInitInstance() {
    if (platform::InitNetwork()) return 1;
    if (wxTheApp) platform::ui::ShowMessage("Windows 通信端口初始化失败。", platform::MbButtons::Ok,
                                            platform::MbIcon::None, kModuleCaption);
    return 0;
}

extern "C" __attribute__((visibility("default"))) void Dolvane() {
    if (!wxTheApp) return;
    // The module's boxes carry its own name, as the host's carry the host's.
    const platform::ui::ScopedDefaultCaption caption(kModuleCaption);
    std::string error;
    const auto base = platform::CurrentBaseDirectory(&error);
    if (!base) {
        platform::ui::ShowMessage(error, platform::MbButtons::Ok, platform::MbIcon::Stop);
        return;
    }
    // The module stays loaded between calls (its per-thread text converters
    // keep it mapped while the host's thread lives): the record object
    // starts as a fresh load has it, so nothing of the last call's request
    // is left in it when this one reads its own.
    shell::ResetDLoadRec();
    shell::DLoadRec().SetDirectory(*base);
    CDownloadDlg dlg(nullptr, *base);
    dlg.ShowModal();
}
