#include "platform/ui/mdi.h"

#include <algorithm>

namespace platform::ui {

MdiChildFrame::MdiChildFrame(MdiClient* client, const wxString& caption)
    : wxPanel(client, wxID_ANY, wxDefaultPosition, client->GetClientSize(), wxTAB_TRAVERSAL | wxNO_BORDER),
      m_client(client),
      m_caption(caption) {
    Hide();
    client->Attach(this);
}

MdiChildFrame::~MdiChildFrame() {
    if (m_template) {
        auto& docs = m_template->m_documents;
        docs.erase(std::remove(docs.begin(), docs.end(), this), docs.end());
    }
    m_client->Detach(this);
}

MdiClient::MdiClient(wxWindow* parent, wxWindowID id)
    : wxPanel(parent, id, wxDefaultPosition, wxDefaultSize, wxNO_BORDER) {
    SetBackgroundColour(wxColour(128, 128, 128));  // the empty MDI area's dark grey
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        if (m_active) Fit(m_active);
        e.Skip();
    });
}

MdiClient::~MdiClient() {
    // The child frames detach themselves from this object as they go, so they
    // go while its members still exist.
    m_closing = true;
    DestroyChildren();
}

void MdiClient::Attach(MdiChildFrame* child) { m_children.insert(m_children.begin(), child); }

void MdiClient::Detach(MdiChildFrame* child) {
    m_children.erase(std::remove(m_children.begin(), m_children.end(), child), m_children.end());
    if (m_active == child) {
        m_active = nullptr;
        if (!m_children.empty() && !m_closing && !IsBeingDeleted()) Activate(m_children.back());
    }
}

void MdiClient::Fit(MdiChildFrame* child) {
    child->SetSize(GetClientSize());
    child->Layout();
}

void MdiClient::Activate(MdiChildFrame* child) {
    if (!child) return;
    m_children.erase(std::remove(m_children.begin(), m_children.end(), child), m_children.end());
    m_children.push_back(child);
    MdiChildFrame* previous = m_active;
    m_active = child;
    Fit(child);
    child->Show();
    if (previous && previous != child) previous->Hide();
    child->OnActivated();
    if (onActivated) onActivated(child);
}

void MdiClient::CloseChild(MdiChildFrame* child) {
    if (!child) return;
    DocTemplate* tmpl = child->docTemplate();
    child->Hide();
    child->Destroy();  // a child window goes at once; Detach runs from its destructor
    if (onClosed) onClosed(tmpl);
}

DocTemplate::~DocTemplate() {
    for (MdiChildFrame* f : m_documents) f->m_template = nullptr;
}

MdiChildFrame* DocTemplate::OpenDocument(MdiClient* client) {
    MdiChildFrame* frame = m_factory(client);
    if (!frame) return nullptr;
    frame->m_template = this;
    m_documents.push_back(frame);
    client->Activate(frame);
    return frame;
}

}  // namespace platform::ui
