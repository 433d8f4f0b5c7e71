#pragma once
// CIconMenu: a menu whose commands show the picture of the toolbar button
// with the same command id, in the system's menu font and colours, with
// embossed disabled items, a check picture and right-aligned accelerator
// text. It is drawn by our own popup window (platform/ui/popup_menu.h);
// IconMenuModel keeps the records and the command map. Main thread only.
#include <vector>
#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/font.h>
#include <wx/gdicmn.h>

#include "picture_controls/icon_menu_model.h"
#include "platform/ui/popup_menu.h"

class wxDC;
class wxEvtHandler;
class wxWindow;

class CIconMenu {
public:
    CIconMenu();
    virtual ~CIconMenu();

    // A toolbar strip: pictures of width x height side by side, one per
    // nonzero id; `mask` is the transparent colour (0xC0C0C0 by default).
    bool LoadImageList(const wxBitmap& strip, int width, int height, const std::vector<int>& ids,
                       const wxColour& mask = wxColour(0xC0, 0xC0, 0xC0));
    // The toolbar resource `id` of the editor: "resources/Pictova/toolbar/<id>.txt"
    // (version, width, height, count, then the ids) with the strip
    // "resources/Pictova/bitmap/<id>.png". False when either is missing.
    bool LoadImageList(int toolbarId);

    void MakeOwnerDraw(std::vector<picture_controls::MenuNode>& menu) { m_model.MakeOwnerDraw(menu); }
    // Asks `target` for the enabled and checked state of every command item
    // (last first, sub-menus included) with the toolkit's update-UI event, as
    // its own menus are updated before they open; an item no handler answers
    // keeps its state.
    static void UpdateMenuUI(std::vector<picture_controls::MenuNode>& menu, wxEvtHandler& target);
    // Shows the menu at the screen point; the chosen command or 0.
    int Track(wxWindow* parent, const std::vector<picture_controls::MenuNode>& menu, const wxPoint& screen);

    // Draws one item as the menu shows it.
    void DrawItem(wxDC& dc, const platform::PopupMenuModel& model, int index, const wxRect& rect,
                  bool highlighted) const;
    platform::ui::PopupItemPainter Painter() const;

    const picture_controls::IconMenuModel& model() const { return m_model; }
    int iconWidth() const { return m_iconW; }
    int iconHeight() const { return m_iconH; }
    const wxFont& menuFont() const { return m_menuFont; }

private:
    picture_controls::IconMenuModel m_model;
    std::vector<wxBitmap> m_images;
    std::vector<wxBitmap> m_embossed;  // m_images as disabled items show them
    int m_iconW = 20, m_iconH = 20;
    wxFont m_boldFont, m_menuFont;
    wxColour m_text, m_selText, m_imageBack, m_back, m_selBack, m_light, m_shade, m_grey;
};
