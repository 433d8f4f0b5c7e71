#pragma once
// The project chooser dialog "自选试衣项目" (DlgSelfProject) and its list
// (CProjectListGrid). Callers run it through RunProjectChooser and act on the
// ChooserResult (project_chooser_core.h holds the decisions).
#include <filesystem>
#include <optional>

#include "fitting_room/project_chooser_core.h"

class wxWindow;

namespace fitting_room {

struct ChooserRequest {
    ChooserMode mode = ChooserMode::Project;
    int x = 0;  // mode 0: the dialog's right edge; 1012/1013: its left edge
    int y = 0;
    std::filesystem::path base;  // base directory (empty: the client's)
};

// Runs the dialog modally over `parent`. In the packing mode the chosen
// project is packed (shell's DataPackage) before it returns; nothing is shown.
ChooserResult RunProjectChooser(wxWindow* parent, const ChooserRequest& request);

// "构建网上供客户下载的文件": the chooser in its packing mode over `parent`,
// and the message to show afterwards (nullopt when cancelled).
std::optional<platform::MessageRequest> RunPackChooser(wxWindow* parent);

// A ChooserRunner bound to `parent` and the client's base directory.
ChooserRunner ProjectChooserRunner(wxWindow* parent);

}  // namespace fitting_room
