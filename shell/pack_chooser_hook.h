#pragma once
// "构建网上供客户下载的文件": the main frame runs the fitting room's project
// chooser in its packing mode through this hook, which the program sets
// before the frame is made (the shell does not link the fitting room). The
// hook returns the message to show afterwards, or nothing when the user
// cancelled. Without a hook the command stays disabled.
#include <functional>
#include <optional>

#include "platform/message.h"

class wxWindow;

namespace shell {

using PackChooser = std::function<std::optional<platform::MessageRequest>(wxWindow* parent)>;
void SetPackChooser(PackChooser chooser);
bool HasPackChooser();

}  // namespace shell
