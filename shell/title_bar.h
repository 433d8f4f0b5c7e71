#pragma once
// The status strip along the bottom of the main frame: the title with today's
// date, the user label, and four click areas that switch child windows
// through deferred requests. Its current area follows the current window.
#include <wx/bitmap.h>
#include <wx/cursor.h>
#include <wx/window.h>

class CTitleBar : public wxWindow {
public:
    CTitleBar() = default;
    // `bitmap_id`: the background, stretched over the bar. False when the
    // bitmap or the window cannot be made.
    bool Create(wxWindow* parent, long style, wxWindowID id, int bitmap_id);

    void Draw(wxDC& dc);
    const wxString& titleText() const { return m_title; }
    int currentArea() const;

    // A left click at a point of the bar (what a button press does).
    void ClickAt(int x, int y);

private:
    void OnPaint(wxPaintEvent&);
    void OnMouseMove(wxMouseEvent&);
    void OnLeftDown(wxMouseEvent&);

    wxString m_userLabel = wxString::FromUTF8("学习用户");
    wxString m_title;
    long m_side = 0;
    wxBitmap m_background;
    wxCursor m_hand;
};
