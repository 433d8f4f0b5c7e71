#pragma once
// Binding the three modules the client calls for one dialog each: loaded by
// full path from the executable's folder, the export called, the module
// released. Missing modules and exports are reported through `sink` with the
// client's own texts; the program goes on.
#include <filesystem>

#include "platform/message.h"

namespace shell {

enum class ClientModule { Camera, ImageEditor, Download };

struct ClientModuleInfo {
    const char* file;         // "Lensory.so"
    const char* export_name;  // "Lensory"
    const char* missing_module_text;
    platform::MbIcon missing_module_icon;
    const char* missing_export_text;
    platform::MbIcon missing_export_icon;
};

const ClientModuleInfo& ModuleInfo(ClientModule m);

// 9 when the export ran, -1 when the module has no export, -2 when the module
// could not be loaded. `dir` is the folder to load from (the executable's).
int BindClientModule(ClientModule m, const std::filesystem::path& dir, const platform::MessageSink& sink);

// The download module's binding; the same results.
int RunDownloadLibrary(const std::filesystem::path& dir, const platform::MessageSink& sink);

}  // namespace shell
