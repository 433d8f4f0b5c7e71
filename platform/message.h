#pragma once
// The kinds of message box the suite shows, as plain values a core can use.
// A core never raises a box itself: it is handed a MessageSink (the window
// side passes ui::ShowMessage; tests pass a recorder).
#include <functional>
#include <string>

namespace platform {

enum class MbButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MbIcon { None, Exclamation, Information, Question, Stop };
enum class MbResult { Ok, Cancel, Yes, No, Retry };

struct MessageRequest {
    std::string text;     // UTF-8
    std::string caption;  // empty: the application's title
    MbButtons buttons = MbButtons::Ok;
    MbIcon icon = MbIcon::None;
};

using MessageSink = std::function<MbResult(const MessageRequest&)>;

}  // namespace platform
