#include "platform/ui/message_box.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

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

long StyleFor(const MessageRequest& r) {
    long style = 0;
    switch (r.buttons) {
        case MbButtons::Ok: style |= wxOK; break;
        case MbButtons::OkCancel: style |= wxOK | wxCANCEL; break;
        case MbButtons::YesNo: style |= wxYES_NO; break;
        case MbButtons::YesNoCancel: style |= wxYES_NO | wxCANCEL; break;
        case MbButtons::RetryCancel: style |= wxOK | wxCANCEL; break;
    }
    switch (r.icon) {
        case MbIcon::None: style |= wxICON_NONE; break;
        case MbIcon::Exclamation: style |= wxICON_EXCLAMATION; break;
        case MbIcon::Information: style |= wxICON_INFORMATION; break;
        case MbIcon::Question: style |= wxICON_QUESTION; break;
        case MbIcon::Stop: style |= wxICON_ERROR; break;
    }
    return style;
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
    wxMessageDialog dlg(parent, wxString::FromUTF8(request.text), wxString::FromUTF8(caption), StyleFor(request));
    if (request.buttons == MbButtons::RetryCancel) dlg.SetOKCancelLabels(wxString::FromUTF8("重试(&R)"), wxString::FromUTF8("取消"));
    switch (dlg.ShowModal()) {
        case wxID_YES: return MbResult::Yes;
        case wxID_NO: return MbResult::No;
        case wxID_CANCEL: return MbResult::Cancel;
        default: return request.buttons == MbButtons::RetryCancel ? MbResult::Retry : MbResult::Ok;
    }
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
