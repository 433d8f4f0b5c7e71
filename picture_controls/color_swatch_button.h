#pragma once
// CColorSwatchButton: a button whose face shows a chosen colour (the image
// editor's background-colour swatch). Main thread only.
#include <string>
#include <wx/button.h>

class CColorSwatchButton : public wxButton {
public:
    using ColorRef = unsigned int;  // 0x00BBGGRR
    CColorSwatchButton() = default;
    CColorSwatchButton(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos = wxDefaultPosition,
                       const wxSize& size = wxDefaultSize);
    ~CColorSwatchButton() override;

    // Stores the colour; the face shows it from the next paint.
    void SetColor(ColorRef colour);
    ColorRef GetColor() const { return m_colour; }
    bool HasColor() const { return m_hasColour; }
    // Stored only; the caption does not change.
    void SetText(const std::string& text) { m_text = text; }
    const std::string& text() const { return m_text; }
    void SetSecondValue(int v) { m_second = v; }

private:
    int m_second = 0;
    std::string m_text = "99999";
    ColorRef m_colour = 0;
    bool m_hasColour = false;
};
