#pragma once
// The side bar along the left edge of the main frame: four vertical tabs for
// the four child windows. A click on a tab that is not current stores the
// deferred request that opens or activates its window; the current tab
// follows the current window, whoever switched it.
#include <wx/bitmap.h>
#include <wx/cursor.h>
#include <wx/imaglist.h>
#include <wx/window.h>

class CNavBar : public wxWindow {
public:
    CNavBar() = default;
    bool Create(wxWindow* parent, long style, wxWindowID id, int bitmap_id);
    wxImageList* SetImageList(wxImageList* list);

    void Draw(wxDC& dc);
    int currentTab() const;
    int lineHeight() const { return m_lineHeight; }
    void ClickAt(int x, int y);

private:
    void OnPaint(wxPaintEvent&);
    void OnMouseMove(wxMouseEvent&);
    void OnLeftDown(wxMouseEvent&);
    void DrawTab(wxDC& dc, int top, int bottom, const wxColour& outline, const wxColour& fill, int tab,
                 int caption_offset);

    long m_side = 0;
    wxBitmap m_background;
    wxCursor m_hand;
    wxImageList* m_images = nullptr;
    int m_lineHeight = 15;  // v: the height of a caption line
    bool m_busy = false;
};
