#pragma once
// CCMarketCView: the market window's view. Five menu buttons run along its
// top strip (76 pixels); the market's garment list fills the rest. A click
// on a garment stores deferred request 77700001, which the order form
// answers by showing the garment.
//
// Window thread only. The garment list is the process-wide market list;
// constructing the view gives it its start state.
#include <cstdint>
#include <filesystem>

#include <wx/cursor.h>
#include <wx/window.h>

#include "measure_market/market_menu.h"
#include "picture_controls/picture_painter.h"
#include "platform/image/picture_cache.h"
#include "platform/ui/messages.h"

class CCMarketCView : public wxWindow, public platform::ui::MessageReceiver {
public:
    CCMarketCView(wxWindow* parent, std::filesystem::path base);
    ~CCMarketCView() override;

    // The list and the buttons, in client coordinates.
    void Draw(wxDC& dc);
    // A left click at p, as the mouse gives it.
    void ClickAt(wxPoint p);

    std::intptr_t OnPrivateMessage(unsigned, std::uintptr_t, std::intptr_t) override { return 0; }

    measure_market::MarketMenu& menu() { return m_menu; }
    // Runs the project chooser for the custom project (tests replace it).
    fitting_room::ChooserRunner chooser;

private:
    void LayOut();
    void OnPaint(wxPaintEvent& e);
    void OnSize(wxSizeEvent& e);
    void OnMotion(wxMouseEvent& e);

    std::filesystem::path m_base;
    measure_market::MarketMenu m_menu;
    platform::image::CachedPictureSizes m_sizes;
    picture_controls::PicturePainter m_painter;
    bool m_laidOut = false;
    wxCursor m_handCursor;
    bool m_handShown = false;
};
