#include "platform/ui/message_box.h"

#include <wx/app.h>
#include <wx/toplevel.h>

#include "platform/ui/message_box_dialog.h"

namespace platform::ui {
namespace {

std::string& CaptionStore() {
    static std::string caption;
    return caption;
}

MessageBoxRecorder*& ActiveRecorder() {
    static MessageBoxRecorder* recorder = nullptr;
    return recorder;
}

MbResult FirstButton(MbButtons b) {
    switch (b) {
        case MbButtons::YesNo:
        case MbButtons::YesNoCancel: return MbResult::Yes;
        case MbButtons::RetryCancel: return MbResult::Retry;
        default: return MbResult::Ok;
    }
}

}  // namespace

void SetDefaultCaption(const std::string& caption) { CaptionStore() = caption; }
const std::string& DefaultCaption() { return CaptionStore(); }

MbResult ShowMessage(const MessageRequest& request, wxWindow* parent) {
    if (MessageBoxRecorder* rec = ActiveRecorder()) {
        MessageRequest shown = request;
        if (shown.caption.empty()) shown.caption = DefaultCaption();
        rec->m_shown.push_back(shown);
        if (!rec->m_answers.empty()) {
            MbResult r = rec->m_answers.front();
            rec->m_answers.erase(rec->m_answers.begin());
            return r;
        }
        return FirstButton(request.buttons);
    }
    const std::string& caption = request.caption.empty() ? DefaultCaption() : request.caption;
    if (!parent && wxTheApp) parent = wxTheApp->GetTopWindow();
    // The box belongs to the parent's window, and shows over its middle.
    if (parent) parent = wxGetTopLevelParent(parent);
    if (parent && parent->IsBeingDeleted()) parent = nullptr;
    MessageBoxDialog dlg(parent, request, caption);
    return MessageBoxAnswer(request.buttons, dlg.ShowModal());
}

MbResult ShowMessage(const std::string& text, MbButtons buttons, MbIcon icon, const std::string& caption,
                     wxWindow* parent) {
    return ShowMessage(MessageRequest{text, caption, buttons, icon}, parent);
}

MessageSink MessageSinkFor(wxWindow* parent) {
    return [parent](const MessageRequest& r) { return ShowMessage(r, parent); };
}

MessageBoxRecorder::MessageBoxRecorder() : m_previous(ActiveRecorder()) { ActiveRecorder() = this; }
MessageBoxRecorder::~MessageBoxRecorder() { ActiveRecorder() = m_previous; }

}  // namespace platform::ui
