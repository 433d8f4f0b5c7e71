#pragma once
// Assembles the client: the four child-window templates, the main frame, and
// the first File-New that opens the show stage. The application object and
// the window tests both start the client through it.
#include <functional>
#include <memory>
#include <wx/window.h>

#include "platform/ui/mdi.h"

class CMainFrame;

class ClientShell {
public:
    using ViewFactory = std::function<wxWindow*(wxWindow* parent)>;

    ClientShell();
    ~ClientShell();

    // Replaces the view of child window 0-3 (A-D) before Start.
    void SetViewFactory(int tmpl, ViewFactory f) { m_views[tmpl] = std::move(f); }
    // Replaces the whole child frame of window 0-3 before Start (a frame
    // with bars of its own around its view); it wins over the view factory.
    using FrameFactory = platform::ui::DocTemplate::FrameFactory;
    void SetFrameFactory(int tmpl, FrameFactory f) { m_frames[tmpl] = std::move(f); }

    // Creates the templates A-D and the main frame, and runs File-New.
    // Null when the frame cannot be created; `error` says why.
    CMainFrame* Start(std::string* error = nullptr);
    CMainFrame* frame() const { return m_frame; }
    platform::ui::TemplateRegistry& templates() { return m_templates; }

    // File-New: opens the show stage once per run; later calls do nothing.
    void OnFileNew();
    int showStageStarted() const { return m_showStageStarted; }

private:
    platform::ui::TemplateRegistry m_templates;
    ViewFactory m_views[4];
    FrameFactory m_frames[4];
    CMainFrame* m_frame = nullptr;
    int m_showStageStarted = 0;
};
