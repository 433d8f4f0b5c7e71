#pragma once
// CTbarButTittleTip: the one-line hint a picture toolbar shows above a
// button the mouse rests on; it hides itself about 1.2 s later (fourth tick
// of a 300 ms timer) or when the owner calls HideTip. A member of the
// toolbar that uses it; UI thread only. The pop-up window belongs to the
// owner window and goes with it; the tip object may outlive it safely.
#include <functional>
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
    // while a tip is shown or when no window of the program has the focus.
    void ShowTip(int x, int y, const std::string& text);
    void HideTip();
    // One timer tick (the timer calls it; tests may too).
    void OnTimer();

    bool IsShown() const;
    const std::string& text() const { return m_text; }
    // The pop-up's rectangle in screen coordinates (empty before the first tip).
    controls::TipRect ScreenRect() const;
    wxPopupWindow* window() const;

    // Tests replace "does the program have the focus".
    void SetFocusQuery(std::function<bool()> query) { m_hasFocus = std::move(query); }

    // Draws the tip's face: info background, black text at (2, 2).
    static void Paint(wxDC& dc, int width, int height, const std::string& text);

private:
    controls::TipTicks m_ticks;
    wxWindow* m_owner = nullptr;
    wxWeakRef<wxPopupWindow> m_popup;
    wxTimer m_timer;
    std::string m_text;
    std::function<bool()> m_hasFocus;
};
