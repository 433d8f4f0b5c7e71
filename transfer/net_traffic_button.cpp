#include "transfer/net_traffic_button.h"

#include <wx/dcbuffer.h>
#include <wx/menu.h>

#include "controls/mem_dc.h"
#include "platform/ui/colour.h"

namespace {

constexpr platform::ui::ColorRef kGridColour = 0x204020;
constexpr platform::ui::ColorRef kBackColour = platform::ui::Rgb(0, 0, 0);
constexpr platform::ui::ColorRef kBarColour = platform::ui::Rgb(0, 200, 64);
constexpr platform::ui::ColorRef kTextColour = platform::ui::Rgb(192, 255, 192);
constexpr platform::ui::ColorRef kNameColour = platform::ui::Rgb(255, 224, 128);
constexpr int kCorner = 5;

wxString MenuEntry(const transfer::CNetTraffic& t, int index) {
    std::string name;
    t.GetNetworkInterfaceName(&name, index);
    return wxString::Format("%s : %.1f MB", wxString::FromUTF8(name), t.GetInterfaceTotalTraffic(index) / 1048576.0);
}

}  // namespace

CNetTrafficButton::CNetTrafficButton(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size,
                                     transfer::CNetTraffic::Source source, transfer::CNetTraffic::FlagsSource flags)
    : wxWindow(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE),
      m_traffic(std::move(source), std::move(flags)) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_sampleTimer.SetOwner(this, 2);
    m_redrawTimer.SetOwner(this, 1);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxPaintDC paint(this);
        const wxSize size = GetClientSize();
        CMemDC mem(paint, wxRect(size));
        Draw(mem.dc(), size);
    });
    Bind(wxEVT_TIMER, [this](wxTimerEvent& e) {
        if (e.GetId() == 2) Sample();
        Refresh(false);
    });
    Bind(wxEVT_RIGHT_DOWN, [this](wxMouseEvent& e) {
        std::unique_ptr<wxMenu> menu(BuildMenu());
        const int chosen = GetPopupMenuSelectionFromUser(*menu, e.GetPosition());
        if (chosen != wxID_NONE) OnMenuCommand(chosen);
    });
}

CNetTrafficButton::~CNetTrafficButton() { StopTimers(); }

void CNetTrafficButton::Init() {
    SetFont(wxFont(wxFontInfo(wxSize(0, 10)).FaceName("Arial")));
    m_history.Resize(GetClientSize().GetWidth());
    m_initialised = true;
    RestartSampling();
}

void CNetTrafficButton::SetTrafficType(int type) {
    m_type = type;
    m_traffic.SetTrafficType(type == 1 ? transfer::kCounterReceived
                             : type == 2 ? transfer::kCounterSent
                                         : transfer::kCounterTotal);
    if (m_initialised) RestartSampling();
}

void CNetTrafficButton::SelectTrafficInterface(int index) {
    m_interface = index;
    if (m_callback) m_callback(index);
    if (m_initialised) RestartSampling();
    UpdateToolTip();
    Refresh(false);
}

std::string CNetTrafficButton::interfaceName() const {
    std::string name;
    m_traffic.GetNetworkInterfaceName(&name, m_interface);
    return name;
}

void CNetTrafficButton::UpdateToolTip() {
    const std::string name = interfaceName();
    SetToolTip(wxString::FromUTF8((name.empty() ? std::string() : name + ": ") + m_history.BothText()));
}

void CNetTrafficButton::SetUpdateSpeed(int sampleMs, int redrawMs) {
    m_sampleMs = sampleMs > 0 ? sampleMs : 1000;
    m_redrawMs = redrawMs > 0 ? redrawMs : 50;
    if (m_sampleTimer.IsRunning()) StartTimers();
}

void CNetTrafficButton::RestartSampling() {
    StopTimers();
    m_history.Clear();
    // Two samples prime the counter: the first of an interface is always 0.
    m_traffic.GetTraffic(m_interface);
    m_traffic.GetTraffic(m_interface);
    StartTimers();
}

void CNetTrafficButton::StartTimers() {
    m_sampleTimer.Start(m_sampleMs);
    m_redrawTimer.Start(m_redrawMs);
}

void CNetTrafficButton::StopTimers() {
    m_sampleTimer.Stop();
    m_redrawTimer.Stop();
}

void CNetTrafficButton::Sample() {
    const double bytes = m_traffic.GetTraffic(m_interface);
    m_history.Add(bytes * 1000.0 / m_sampleMs);
    UpdateToolTip();
}

void CNetTrafficButton::Draw(wxDC& dc, const wxSize& size) const {
    const int w = size.GetWidth();
    const int h = size.GetHeight();
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(0, 0, w, h);
    dc.SetClippingRegion(0, 0, w, h);
    dc.SetBrush(wxBrush(platform::ui::ToColour(kBackColour)));
    dc.DrawRoundedRectangle(0, 0, w, h, kCorner);
    // Grid lines that scroll with the samples.
    dc.SetPen(wxPen(platform::ui::ToColour(kGridColour)));
    const int off = m_history.gridOffset();
    for (int x = w - 1 - off; x >= 0; x -= transfer::kTrafficGridStep) dc.DrawLine(x, 1, x, h - 1);
    for (int y = h - 1; y >= 0; y -= transfer::kTrafficGridStep) dc.DrawLine(1, y, w - 1, y);
    // Bars from the bottom, newest at the right edge.
    const auto& samples = m_history.samples();
    const double max = m_history.maximum();
    if (max > 0) {
        dc.SetPen(wxPen(platform::ui::ToColour(kBarColour)));
        const int n = static_cast<int>(samples.size());
        for (int i = 0; i < n; ++i) {
            const auto& s = samples[static_cast<std::size_t>(i)];
            if (!s.valid || s.value <= 0) continue;
            const int x = w - n + i;
            if (x < 0 || x >= w) continue;
            int bar = static_cast<int>(s.value / max * (h - 2) + 0.5);
            if (bar < 1) bar = 1;
            dc.DrawLine(x, h - 1, x, h - 1 - bar);
        }
    }
    dc.SetFont(GetFont());
    dc.SetTextForeground(platform::ui::ToColour(kTextColour));
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    const wxString value = wxString::FromUTF8(m_history.ValueText());
    dc.DrawText(value, 2, 1);
    // The interface's name after the value, over the oldest samples (the
    // newest stay in sight at the right), on the background colour so that
    // bars behind it do not hide it; a name too long for the room loses its end.
    wxString name = wxString::FromUTF8(interfaceName());
    if (!name.empty()) {
        const int x = 2 + dc.GetTextExtent(value).x + 4;
        const int room = w - 2 - x;
        if (dc.GetTextExtent(name).x > room) {
            const wxString dots = wxString::FromUTF8("…");
            while (name.length() > 1 && dc.GetTextExtent(name + dots).x > room) name.RemoveLast();
            name += dots;
        }
        const wxSize text = dc.GetTextExtent(name);
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(platform::ui::ToColour(kBackColour)));
        dc.DrawRectangle(x - 2, 1, text.x + 4, text.y);
        dc.SetTextForeground(platform::ui::ToColour(kNameColour));
        dc.DrawText(name, x, 1);
    }
    dc.DestroyClippingRegion();
}

wxMenu* CNetTrafficButton::BuildMenu() const {
    auto* menu = new wxMenu;
    menu->Append(kMenuCurrent, MenuEntry(m_traffic, m_interface));
    menu->AppendSeparator();
    auto* sub = new wxMenu;
    for (int i = 0; i < m_traffic.InterfaceCount(); ++i) sub->Append(kMenuInterface + i, MenuEntry(m_traffic, i));
    menu->AppendSubMenu(sub, "Select Interface");
    menu->AppendSeparator();
    menu->Append(kMenuToggle, wxString("Toggle scaling to ") + m_history.ToggleText());
    return menu;
}

void CNetTrafficButton::OnMenuCommand(int id) {
    if (id == kMenuToggle) {
        m_history.ToggleScaling();
    } else if (id >= kMenuInterface && id < kMenuInterface + m_traffic.InterfaceCount()) {
        SelectTrafficInterface(id - kMenuInterface);
    }
    Refresh(false);
}
