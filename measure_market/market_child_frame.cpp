#include "measure_market/market_child_frame.h"

#include <functional>

#include "controls/control_bar.h"
#include "measure_market/market_menu.h"
#include "measure_market/market_view.h"
#include "measure_market/sale_form.h"
#include "shell/base_directory.h"

namespace {
constexpr int kBarId = 0xF007;
constexpr unsigned kBarStyle = 0x50002800;
constexpr unsigned kWmUser50 = platform::ui::kWmUser + 50;
constexpr const char* kCaption = "看样定货";
}  // namespace

CMWinFram_MarketChdWnd::CMWinFram_MarketChdWnd(platform::ui::MdiClient* client)
    : MdiChildFrame(client, wxString::FromUTF8(kCaption)) {}

CMWinFram_MarketChdWnd* CMWinFram_MarketChdWnd::Make(platform::ui::MdiClient* client) {
    auto* frame = new CMWinFram_MarketChdWnd(client);
    frame->CreateParts();
    return frame;
}

void CMWinFram_MarketChdWnd::CreateParts() {
    SetName("CMWinFram_MarketChdWnd");
    const auto base = shell::BaseDirectory();
    m_view = new CCMarketCView(this, base);
    AddView(m_view);
    m_bar = new CQxTabControlBar();
    m_bar->Create(this, kBarId, "Workspace", wxSize(sale_form::kWidth + 13, 1200), kBarStyle);
    m_bar->AddView("OutBar", [this, base](wxWindow* parent) -> wxWindow* {
        m_form = new DlgSaleFMView(parent, base);
        return m_form;
    });
    m_bar->DockAt(controls::DockSide::Left);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        CQxControlBar::LayoutDockSite(this, m_view);
        e.Skip();
    });
}

void CMWinFram_MarketChdWnd::OnActivated() {
    SetCaption(wxString::FromUTF8(kCaption));
    if (m_bar) m_bar->ShowBar();  // a bar closed by its close box comes back
}

std::intptr_t CMWinFram_MarketChdWnd::OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t) {
    if (id != kWmUser50 || static_cast<std::int32_t>(wparam) != measure_market::kRequestGarmentPicked || m_busy)
        return 0;
    m_busy = true;
    // Every window inside the frame hears of the pick (the order form acts).
    std::function<void(wxWindow*)> tell = [&](wxWindow* w) {
        for (wxWindow* child : w->GetChildren()) {
            platform::ui::SendMessage(child, kWmUser50, wparam, 1001);
            tell(child);
        }
    };
    tell(this);
    m_busy = false;
    return 0;
}
