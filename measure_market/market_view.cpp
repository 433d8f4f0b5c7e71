#include "measure_market/market_view.h"

#include <wx/dcclient.h>

#include "controls/mem_dc.h"
#include "fitting_room/project_chooser.h"
#include "fitting_room/shared_objects.h"
#include "fitting_room/stage_control.h"
#include "platform/image/picture_io.h"
#include "platform/ui/resources.h"
#include "shell/deferred_request.h"

using namespace measure_market;
namespace fs = std::filesystem;

CCMarketCView::CCMarketCView(wxWindow* parent, fs::path base)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE),
      m_base(std::move(base)),
      m_handCursor(platform::ui::LoadCursorResource(fitting_room::kCursorHand)) {
    SetName("CCMarketCView");
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    fitting_room::CGarmentPicList& list = fitting_room::MarketGarmentList();
    list.SetPictureSizes(&m_sizes);
    MarketMenu::SetUpList(list, m_base);
    chooser = fitting_room::ProjectChooserRunner(this);
    Bind(wxEVT_PAINT, &CCMarketCView::OnPaint, this);
    Bind(wxEVT_SIZE, &CCMarketCView::OnSize, this);
    Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) { ClickAt(e.GetPosition()); });
    Bind(wxEVT_MOTION, &CCMarketCView::OnMotion, this);
}

CCMarketCView::~CCMarketCView() {
    // The list outlives the view: it must not keep the view's size source.
    fitting_room::MarketGarmentList().SetPictureSizes(nullptr);
}

void CCMarketCView::LayOut() {
    const wxSize size = GetClientSize();
    fitting_room::CGarmentPicList& list = fitting_room::MarketGarmentList();
    list.SetClientRect(0, kMenuStripHeight, std::max(size.x, 1), std::max(size.y, kMenuStripHeight + 1));
    list.Relayout();
    m_laidOut = true;
}

void CCMarketCView::Draw(wxDC& dc) {
    if (!m_laidOut) LayOut();
    fitting_room::PaintOps ops;
    fitting_room::MarketGarmentList().DrawOps(ops);
    m_painter.Paint(dc, ops);
    const fs::path folder = m_base / "服饰搭配sysproj";
    for (std::size_t i = 0; i < m_menu.buttons().size(); ++i) {
        const MenuButton& b = m_menu.buttons()[i];
        const fs::path file = folder / MenuPictureFile(b);
        const auto size = m_sizes.SizeOf(file);
        if (!size) continue;
        m_painter.DrawPicture(dc, file, fitting_room::Rect::FromSize(b.topLeft.x, b.topLeft.y, size->w, size->h), true);
        m_menu.SetButtonSize(static_cast<int>(i), size->w, size->h);
    }
}

void CCMarketCView::ClickAt(wxPoint p) {
    const wxPoint screen = ClientToScreen(wxPoint(0, 0));
    const MarketClick c = m_menu.Click(fitting_room::Point{p.x, p.y}, fitting_room::MarketGarmentList(), chooser,
                                       screen.x, screen.y);
    if (c.repaint) Refresh(false);
    if (c.storeRequest) shell::Deferred().Store(kRequestGarmentPicked);
}

void CCMarketCView::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    CMemDC mem(dc, wxRect(0, 0, size.x, size.y));
    mem.dc().SetBackground(wxBrush(wxColour(0xF4, 0xF1, 0xEC)));
    mem.dc().Clear();
    Draw(mem.dc());
}

void CCMarketCView::OnSize(wxSizeEvent& e) {
    LayOut();
    Refresh(false);
    e.Skip();
}

void CCMarketCView::OnMotion(wxMouseEvent& e) {
    const fitting_room::Point p{e.GetX(), e.GetY()};
    const bool hand = m_menu.HitButton(p) != 0 ||
                      fitting_room::IsItemHit(fitting_room::MarketGarmentList().HitTestItem(p));
    if (hand == m_handShown) return;
    m_handShown = hand;
    SetCursor(hand ? m_handCursor : *wxSTANDARD_CURSOR);
}
