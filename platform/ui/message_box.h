#pragma once
// Message boxes with the system's button and icon kinds. Tests replace the
// dialog with a recorder, so that nothing modal opens under Xvfb.
#include <functional>
#include <string>
#include <vector>

#include "platform/message.h"

class wxWindow;

namespace platform::ui {

// The caption used when a request leaves it empty (the program's title).
void SetDefaultCaption(const std::string& caption);
const std::string& DefaultCaption();

// While alive, boxes without a caption of their own carry `caption`: a
// module's entry names its boxes so. The caption before comes back after.
class ScopedDefaultCaption {
public:
    explicit ScopedDefaultCaption(const std::string& caption) : m_previous(DefaultCaption()) {
        SetDefaultCaption(caption);
    }
    ~ScopedDefaultCaption() { SetDefaultCaption(m_previous); }
    ScopedDefaultCaption(const ScopedDefaultCaption&) = delete;
    ScopedDefaultCaption& operator=(const ScopedDefaultCaption&) = delete;

private:
    std::string m_previous;
};

// Shows the box modally over `parent` (or the top window) and returns the
// button chosen.
MbResult ShowMessage(const MessageRequest& request, wxWindow* parent = nullptr);
MbResult ShowMessage(const std::string& text, MbButtons buttons = MbButtons::Ok, MbIcon icon = MbIcon::None,
                     const std::string& caption = {}, wxWindow* parent = nullptr);

// A MessageSink that shows boxes over `parent`.
MessageSink MessageSinkFor(wxWindow* parent);

// While alive, every box is recorded instead of shown, and answered with the
// queued answers in order (then Ok/Yes by default: the first button).
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void QueueAnswer(MbResult r) { m_answers.push_back(r); }
    const std::vector<MessageRequest>& shown() const { return m_shown; }

private:
    friend MbResult ShowMessage(const MessageRequest&, wxWindow*);
    std::vector<MessageRequest> m_shown;
    std::vector<MbResult> m_answers;
    MessageBoxRecorder* m_previous;
};

}  // namespace platform::ui
