#pragma once
// CNetTrafficButton: a small owner-drawn graph of one network counter (total,
// received or sent bytes per second of one interface). It samples once per
// sample period, repaints every redraw period, and offers a right-click menu
// to choose the interface and the scaling. The chosen interface's name stays
// on the graph (after the value, on its own background) and in the tooltip
// beside the rates. Draw() paints on any DC, so tests render it on a memory bitmap.
#include <functional>
#include <wx/timer.h>
#include <wx/window.h>

#include "transfer/net_traffic.h"

class CNetTrafficButton : public wxWindow {
public:
    enum { kMenuCurrent = 1001, kMenuInterface = 2000, kMenuToggle = 3000 };

    // `source` and `flags` stand in for /proc/net/dev and the interface table
    // (tests); empty ones read the live machine.
    CNetTrafficButton(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size,
                      transfer::CNetTraffic::Source source = {}, transfer::CNetTraffic::FlagsSource flags = {});
    ~CNetTrafficButton() override;

    // Font, history for the client width, timers.
    void Init();
    void SetTrafficType(int type);  // 0 total, 1 received, 2 sent
    void SelectTrafficInterface(int index);
    void SetInterfaceNumberNotificationFunction(std::function<void(int)> callback) { m_callback = std::move(callback); }
    void SetUpdateSpeed(int sampleMs, int redrawMs);

    // One sample (what the sample timer does).
    void Sample();
    void Draw(wxDC& dc, const wxSize& size) const;
    // The right-click menu's entries (text and id, a separator as id 0).
    wxMenu* BuildMenu() const;
    void OnMenuCommand(int id);

    const transfer::TrafficHistory& history() const { return m_history; }
    transfer::TrafficHistory& history() { return m_history; }
    const transfer::CNetTraffic& traffic() const { return m_traffic; }
    int interfaceIndex() const { return m_interface; }
    std::string interfaceName() const;  // empty when the index names no interface

private:
    void RestartSampling();
    void StartTimers();
    void StopTimers();
    void UpdateToolTip();

    transfer::CNetTraffic m_traffic;
    transfer::TrafficHistory m_history;
    int m_interface = 0;
    int m_type = 0;
    int m_sampleMs = 1000;
    int m_redrawMs = 50;
    std::function<void(int)> m_callback;
    wxTimer m_sampleTimer;  // timer 2
    wxTimer m_redrawTimer;  // timer 1
    bool m_initialised = false;
};
