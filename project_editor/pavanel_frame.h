#pragma once
// Pavanel's frame: its creation loads the settings from the base directory
// and makes the stage editor view, which opens the series project; closing
// it saves a modified project (a failed save asks whether to close anyway).
// Window thread only.
#include <filesystem>
#include <wx/frame.h>

namespace project_editor {

class CPavanelView;

class CMainFrame : public wxFrame {
public:
    explicit CMainFrame(const std::filesystem::path& base);

    CPavanelView* view() const { return m_view; }
    // Shown and sized to the display's client area.
    void ShowMaximised();

private:
    void OnClose(wxCloseEvent& e);
    void OnSize(wxSizeEvent& e);

    CPavanelView* m_view = nullptr;
};

}  // namespace project_editor
