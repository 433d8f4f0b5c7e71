#pragma once
// CIconStatic: a static control that shows a hint text (the image editor's
// mode hints) with an optional frame and icon. Frame letter 'L': the text at
// the left with a 3-D frame (and the icon at the right with icon letter
// 'A'); 'c': centred from the top with a frame; anything else ('C'): centred.
// Main thread only.
#include <string>
#include <wx/bitmap.h>
#include <wx/control.h>

class wxDC;

class CIconStatic : public wxControl {
public:
    using ColorRef = unsigned int;
    CIconStatic() = default;
    CIconStatic(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);
    ~CIconStatic() override;

    void SetHintText(const std::string& text) { m_text = text; }
    const std::string& hintText() const { return m_text; }
    void SetBkColor(ColorRef c) { m_back = c; }
    void SetTextColor(ColorRef c) { m_textColour = c; }
    void SetFillStyle(int style) { m_fill = style; }
    void SetLetters(char frame, char icon) { m_frame = frame, m_iconLetter = icon; }

    // Paints the control at its client size into `dc`.
    void Draw(wxDC& dc);

private:
    wxBitmap m_icon;
    char m_frame = 'C';
    char m_iconLetter = ' ';
    ColorRef m_textColour = 0;
    ColorRef m_back = 0xF0F0F0;
    std::string m_text;
    int m_fill = 0;
};
