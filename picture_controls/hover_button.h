#pragma once
// CHoverButton: a push button with rounded corners, a soft vertical gradient
// face, an orange glow while the mouse is over it, and an optional 16 x 16
// icon. It sends wxEVT_BUTTON with its id when clicked (mouse release inside,
// or space). Main thread only.
#include <wx/bitmap.h>
#include <wx/control.h>

#include "picture_controls/hover_button_look.h"

class CHoverButton : public wxControl {
public:
    CHoverButton() = default;
    CHoverButton(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos = wxDefaultPosition,
                 const wxSize& size = wxDefaultSize,
                 picture_controls::HoverButtonLook look = picture_controls::HoverButtonLook::ProjectBuilder);
    bool Create(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize,
                picture_controls::HoverButtonLook look = picture_controls::HoverButtonLook::ProjectBuilder);
    ~CHoverButton() override;

    void SetIcon(const wxBitmap& icon);
    void SetStyle(int style);
    void SetTextColours(unsigned hover, unsigned normal, unsigned pressed);

    bool hovering() const { return m_hovering; }
    bool pressed() const { return m_pressed && m_pressInside; }
    const picture_controls::HoverButtonState& state() const;

    // Paints the button at its client size into `dc` (the paint handler's work).
    void Draw(wxDC& dc);

    bool Enable(bool enable = true) override;
    // A new caption shows at once, not at the next hover.
    void SetLabel(const wxString& label) override;
    bool AcceptsFocus() const override { return true; }

protected:
    wxSize DoGetBestSize() const override;

private:
    void OnPaint(wxPaintEvent&);
    void OnMouse(wxMouseEvent& e);
    void OnKey(wxKeyEvent& e);
    void Click();

    picture_controls::HoverButtonLook m_look = picture_controls::HoverButtonLook::ProjectBuilder;
    picture_controls::HoverButtonColours m_colours;
    mutable picture_controls::HoverButtonState m_state;
    wxBitmap m_icon;
    bool m_hovering = false;
    bool m_pressed = false;      // the left button went down inside and is held
    bool m_pressInside = false;  // ... and the pointer is inside
    bool m_captured = false;
};
