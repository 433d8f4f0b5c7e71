#pragma once
// CMWinFram_MarketChdWnd: the market's child frame "看样定货". The market
// view fills it; the order form docks on its left as the page "OutBar" of a
// tab bar. The frame passes the picked-garment notification (WM_USER+50,
// 77700001) on to every window inside it.
//
// Window thread only.
#include <cstdint>

#include "platform/ui/mdi.h"
#include "platform/ui/messages.h"

class CCMarketCView;
class CQxTabControlBar;
class DlgSaleFMView;

class CMWinFram_MarketChdWnd : public platform::ui::MdiChildFrame, public platform::ui::MessageReceiver {
public:
    static CMWinFram_MarketChdWnd* Make(platform::ui::MdiClient* client);

    void OnActivated() override;
    std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) override;

    CCMarketCView* view() const { return m_view; }
    CQxTabControlBar* bar() const { return m_bar; }
    DlgSaleFMView* form() const { return m_form; }

private:
    explicit CMWinFram_MarketChdWnd(platform::ui::MdiClient* client);
    void CreateParts();

    bool m_busy = false;
    CCMarketCView* m_view = nullptr;
    CQxTabControlBar* m_bar = nullptr;
    DlgSaleFMView* m_form = nullptr;
};
