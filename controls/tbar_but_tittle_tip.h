#pragma once
// CTbarButTittleTip: the one-line hint a picture toolbar shows above a
// button the mouse rests on; it hides itself about 1.2 s later (fourth tick
// of a 300 ms timer) or when the owner calls HideTip. A member of the
// toolbar that uses it; UI thread only. The pop-up window belongs to the
// owner window and goes with it; the tip object may outlive it safely.
#include <string>
#include <wx/timer.h>
#include <wx/popupwin.h>
#include <wx/weakref.h>

#include "controls/tip_placement.h"

class wxDC;
class wxWindow;

class CTbarButTittleTip {
public:
    CTbarButTittleTip();
    virtual ~CTbarButTittleTip();
    CTbarButTittleTip(const CTbarButTittleTip&) = delete;
    CTbarButTittleTip& operator=(const CTbarButTittleTip&) = delete;

    // Creates the hidden pop-up for `owner`, whose client coordinates
    // ShowTip takes. False when the window cannot be made.
    virtual bool Create(wxWindow* owner);

    // Shows `text` (UTF-8) above (x, y) of the owner's client area; ignored
    // while a tip is shown or while the program does not have the keyboard
    // (none of its windows has the focus and none of its frames is active).
    void ShowTip(int x, int y, const std::string& text);
    void HideTip();
    // One timer tick (the timer calls it; tests may too).
    void OnTimer();

    bool IsShown() const;
    const std::string& text() const { return m_text; }
    // Timer ticks since the current tip was shown.
    int ticks() const { return m_ticks.ticks(); }
    wxPopupWindow* window() const;

    // Draws the tip's face over the whole pop-up: pale yellow in a black
    // one-pixel frame, black text at (2, 2) inside the frame.
    static void Paint(wxDC& dc, int width, int height, const std::string& text);

private:
    controls::TipTicks m_ticks;
    wxWindow* m_owner = nullptr;
    wxWeakRef<wxPopupWindow> m_popup;
    wxTimer m_timer;
    std::string m_text;
};
