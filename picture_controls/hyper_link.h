#pragma once
// CHyperLink: a text that behaves as a link. It draws underlined in link
// colours, turns to the hover colour under the mouse, shows its target as a
// tooltip, and opens the target through the desktop when clicked or when space
// is pressed while it has focus. Only http/https pages and existing files
// open; a refused or failed open shows "Can't open link:" with the reason and
// leaves the visited colour as it was. Main thread only.
#include <string>
#include <wx/control.h>

#include "picture_controls/hyper_link_rules.h"

class CHyperLink : public wxControl {
public:
    CHyperLink() = default;
    // `label` empty: the target is shown. `style` takes wxALIGN_CENTRE_HORIZONTAL,
    // wxALIGN_RIGHT and wxALIGN_CENTRE_VERTICAL for sizing to the text.
    CHyperLink(wxWindow* parent, wxWindowID id, const wxString& label, const std::string& target,
               const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize, long style = 0,
               int options = picture_controls::link_option::kDefault);
    bool Create(wxWindow* parent, wxWindowID id, const wxString& label, const std::string& target,
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize, long style = 0,
                int options = picture_controls::link_option::kDefault);
    ~CHyperLink() override;

    // A new target: the tooltip follows, and so does the text when it shows
    // the target; with the size option the control fits its text again.
    void SetLinkTarget(const std::string& target);
    const std::string& linkTarget() const { return m_target; }
    void SetOptions(int options);
    int options() const { return m_state.options; }
    const picture_controls::LinkState& state() const { return m_state; }
    void SetVisited(bool visited);

    // Every link of the process opens through this opener (tests pass a fake).
    static void SetOpener(picture_controls::LinkOpener opener);

    // Opens the target now (what a click does).
    bool Open();
    // Paints the text at the client size into `dc`.
    void Draw(wxDC& dc);
    bool AcceptsFocus() const override { return true; }

protected:
    wxSize DoGetBestSize() const override;

private:
    void OnPaint(wxPaintEvent&);
    void OnMouse(wxMouseEvent& e);
    void OnKey(wxKeyEvent& e);
    void OnFocus(wxFocusEvent& e);
    void MakeFont();
    void FitToText();

    std::string m_target;
    bool m_labelIsTarget = false;  // the text shows the target and follows it
    picture_controls::LinkState m_state;
    wxFont m_linkFont;
};
