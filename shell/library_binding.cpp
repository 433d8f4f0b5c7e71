#include "shell/library_binding.h"

#include "platform/shell.h"

namespace shell {

using platform::MbIcon;

const ClientModuleInfo& ModuleInfo(ClientModule m) {
    static const ClientModuleInfo kCamera{"Lensory.so", "Lensory", "Lensory.so 不存在 !", MbIcon::None,
                                          " 摄像头拍照程序运行错 ! ", MbIcon::Exclamation};
    static const ClientModuleInfo kImageEditor{"Pictova.so", "CPictova", "Pictova.so 不存在 !", MbIcon::None,
                                               " 图片编辑程序运行错 ! ", MbIcon::Exclamation};
    static const ClientModuleInfo kDownload{"Dolvane.so", "Dolvane", " Dolvane.so not found ! ", MbIcon::None,
                                            " 在线下载程序运行错 ! ", MbIcon::Exclamation};
    switch (m) {
        case ClientModule::Camera: return kCamera;
        case ClientModule::ImageEditor: return kImageEditor;
        case ClientModule::Download: break;
    }
    return kDownload;
}

int BindClientModule(ClientModule m, const std::filesystem::path& dir, const platform::MessageSink& sink) {
    const ClientModuleInfo& info = ModuleInfo(m);
    switch (platform::CallModuleEntry(dir, info.file, info.export_name)) {
        case platform::BindOutcome::Ran: return 9;
        case platform::BindOutcome::MissingExport:
            if (sink) sink({info.missing_export_text, {}, platform::MbButtons::Ok, info.missing_export_icon});
            return -1;
        case platform::BindOutcome::MissingModule: break;
    }
    if (sink) sink({info.missing_module_text, {}, platform::MbButtons::Ok, info.missing_module_icon});
    return -2;
}

int RunDownloadLibrary(const std::filesystem::path& dir, const platform::MessageSink& sink) {
    return BindClientModule(ClientModule::Download, dir, sink);
}

}  // namespace shell
