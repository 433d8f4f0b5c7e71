#pragma once
// CCMyColorSelDlg: the colour chooser placed at a point the caller chooses
// (next to the button or tool that opened it) instead of centred. A modal
// dialog of 48 basic colours, 16 custom colours kept for the process, red,
// green and blue fields and a preview. Main thread only.
//
//   CCMyColorSelDlg dlg(0, 0, nullptr);
//   dlg.SetPosition(screen_x, screen_y, 1001);
//   if (dlg.DoModal() == wxID_OK) use(dlg.GetColor());
#include <array>
#include <wx/dialog.h>

#include "picture_controls/colour_placement.h"

class wxSpinCtrl;
class wxSpinEvent;
class wxPanel;

class CCMyColorSelDlg : public wxDialog {
public:
    using ColorRef = unsigned int;  // 0x00BBGGRR
    static constexpr int kBasicColours = 48;
    static constexpr int kCustomColours = 16;

    // As the system's colour dialog: the initial colour, flags (unused) and the
    // parent (none: the top window). x 100, y 50, mode 0.
    explicit CCMyColorSelDlg(ColorRef initial = 0, unsigned flags = 0, wxWindow* parent = nullptr);
    ~CCMyColorSelDlg() override;

    // Where the next DoModal places the dialog (screen coordinates) and by
    // which corner (picture_controls::ColourPlacementMode).
    void SetPosition(int x, int y, int mode);
    void SetPlacementRules(picture_controls::ColourPlacementRules rules) { m_rules = rules; }

    // Places the dialog, shows it modally: wxID_OK or wxID_CANCEL.
    int DoModal();
    int ShowModal() override;
    // Puts the dialog where SetPosition says, on the screen (DoModal does it).
    void ApplyPlacement();

    ColorRef GetColor() const { return m_colour; }
    void SetColor(ColorRef c);

    int x() const { return m_x; }
    int y() const { return m_y; }
    int mode() const { return m_mode; }

    // The custom colours the process keeps between choosers.
    static std::array<ColorRef, kCustomColours>& CustomColours();
    // All white again, as at the process's first chooser.
    static void ResetCustomColours();
    static ColorRef BasicColour(int index);  // 0..47: 8 columns by 6 rows

    // Paints the swatch panel (basic and custom colours, the selection) at its
    // size into `dc`; what the window shows.
    void DrawSwatches(wxDC& dc) const;
    wxPanel* swatchPanel() const { return m_swatches; }

private:
    void Build();
    void OnSwatchClick(int x, int y);
    void OnSpin(wxSpinEvent& e);
    void OnAddCustom();
    void SyncFields();
    int SwatchAt(int x, int y) const;  // 0..47 basic, 48..63 custom, -1

    int m_x = 100;
    int m_y = 50;
    int m_mode = 0;
    picture_controls::ColourPlacementRules m_rules = picture_controls::ColourPlacementRules::ProjectBuilder;
    ColorRef m_colour = 0;
    int m_selected = -1;
    int m_customNext = 0;
    wxPanel* m_swatches = nullptr;
    wxPanel* m_preview = nullptr;
    wxSpinCtrl* m_rgb[3] = {nullptr, nullptr, nullptr};
};
