#include "shell/client_shell.h"

#include "shell/child_frames.h"
#include "shell/deferred_request.h"
#include "shell/fittora_view.h"
#include "shell/main_frame.h"

ClientShell::ClientShell() {
    m_views[0] = [](wxWindow* parent) { return new CFittoraView(parent); };
    for (int i = 1; i < 4; ++i) {
        m_views[i] = [i](wxWindow* parent) { return new CPlainView(parent, wxString::FromUTF8(kChildCaptions[i])); };
    }
}

ClientShell::~ClientShell() = default;

CMainFrame* ClientShell::Start(std::string* error) {
    static const char* const names[4] = {"A", "B", "C", "D"};
    for (int i = 0; i < 4; ++i) {
        ViewFactory view = m_views[i];
        const wxString caption = wxString::FromUTF8(kChildCaptions[i]);
        if (m_frames[i]) {
            m_templates.Add(std::make_unique<platform::ui::DocTemplate>(names[i], m_frames[i]));
            continue;
        }
        m_templates.Add(std::make_unique<platform::ui::DocTemplate>(
            names[i], [view, caption](platform::ui::MdiClient* client) -> platform::ui::MdiChildFrame* {
                return new CClientChildFrame(client, caption, view);
            }));
    }
    m_frame = new CMainFrame(m_templates);
    m_frame->onFileNew = [this] { OnFileNew(); };
    if (!m_frame->CreateBars(error)) {
        m_frame->Destroy();
        m_frame = nullptr;
        return nullptr;
    }
    OnFileNew();
    return m_frame;
}

void ClientShell::OnFileNew() {
    if (m_showStageStarted) return;
    m_showStageStarted = 9;
    if (!m_templates.at(0)->OpenDocument(m_frame->client())) return;
    auto& deferred = shell::Deferred();
    deferred.opened[0] = 'Y';
    deferred.current = 'A';
    m_frame->SetTitle(wxString::FromUTF8("新品展台"));
    m_frame->CallAfter([frame = m_frame] { frame->UpdateFrameTitle(); });
}
