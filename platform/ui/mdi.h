#pragma once
// The multi-document frame of the client: a client area that holds child
// frames as pages, one shown at a time and always filling the area, and the
// document templates that open them. Documents hold no data; a document is its
// child frame and the views inside it.
//
// Window thread only. The client owns the child frames (they are its wx
// children); a template keeps a list of the open documents and forgets a
// document when its frame is destroyed.
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <wx/panel.h>

namespace platform::ui {

class DocTemplate;
class MdiClient;

// A child frame: a page of the client area with a caption and its views.
class MdiChildFrame : public wxPanel {
public:
    MdiChildFrame(MdiClient* client, const wxString& caption);
    ~MdiChildFrame() override;

    const wxString& caption() const { return m_caption; }
    void SetCaption(const wxString& c) { m_caption = c; }

    // Views are the windows that receive the frame's notifications, in order.
    void AddView(wxWindow* view) { m_views.push_back(view); }
    const std::vector<wxWindow*>& views() const { return m_views; }

    DocTemplate* docTemplate() const { return m_template; }
    MdiClient* client() const { return m_client; }

    // Called when the frame becomes the shown one.
    virtual void OnActivated() {}

private:
    friend class DocTemplate;
    MdiClient* m_client;
    wxString m_caption;
    std::vector<wxWindow*> m_views;
    DocTemplate* m_template = nullptr;
};

class MdiClient : public wxPanel {
public:
    explicit MdiClient(wxWindow* parent, wxWindowID id = wxID_ANY);
    ~MdiClient() override;

    // Shows `child` maximised in the area and hides the others.
    void Activate(MdiChildFrame* child);
    MdiChildFrame* ActiveChild() const { return m_active; }
    const std::vector<MdiChildFrame*>& children() const { return m_children; }

    // Closes a child frame (the user's close command): destroys it and shows
    // the child that was active before it.
    void CloseChild(MdiChildFrame* child);

    // Told after a child was activated, and after one was closed (with the
    // template it belonged to, whose document list no longer holds it).
    std::function<void(MdiChildFrame*)> onActivated;
    std::function<void(DocTemplate*)> onClosed;

private:
    friend class MdiChildFrame;
    void Attach(MdiChildFrame* child);
    void Detach(MdiChildFrame* child);
    void Fit(MdiChildFrame* child);

    std::vector<MdiChildFrame*> m_children;  // in activation order, last = active
    MdiChildFrame* m_active = nullptr;
    bool m_closing = false;  // being destroyed: no child is activated any more
};

// One kind of child window. OpenDocument makes a new document: its frame
// (with its views) from the factory, shown and made active.
class DocTemplate {
public:
    using FrameFactory = std::function<MdiChildFrame*(MdiClient*)>;

    DocTemplate(std::string name, FrameFactory factory) : m_name(std::move(name)), m_factory(std::move(factory)) {}
    ~DocTemplate();

    const std::string& name() const { return m_name; }
    MdiChildFrame* OpenDocument(MdiClient* client);
    // The open documents' frames, oldest first.
    const std::vector<MdiChildFrame*>& documents() const { return m_documents; }

private:
    friend class MdiChildFrame;
    std::string m_name;
    FrameFactory m_factory;
    std::vector<MdiChildFrame*> m_documents;
};

// The templates of a program, in the order they were added.
class TemplateRegistry {
public:
    DocTemplate* Add(std::unique_ptr<DocTemplate> t) {
        m_templates.push_back(std::move(t));
        return m_templates.back().get();
    }
    DocTemplate* at(std::size_t i) const { return i < m_templates.size() ? m_templates[i].get() : nullptr; }
    std::size_t size() const { return m_templates.size(); }

private:
    std::vector<std::unique_ptr<DocTemplate>> m_templates;
};

}  // namespace platform::ui
