#include "picture_controls/my_color_sel_dlg.h"

#include <algorithm>
#include <cmath>

#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/display.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include "platform/ui/colour.h"
#include "platform/ui/fonts.h"

using namespace picture_controls;

namespace {

constexpr int kColumns = 8;
constexpr int kBasicRows = 6;
constexpr int kCustomRows = 2;
constexpr int kCellW = 22, kCellH = 18, kGap = 5;
constexpr int kLabelH = 20;
constexpr CCMyColorSelDlg::ColorRef kFreshCustomColour = 0xFFFFFF;  // the custom colours before any is added
constexpr int kCustomTop = kLabelH + kBasicRows * (kCellH + kGap) + kLabelH;
constexpr int kPanelW = kGap + kColumns * (kCellW + kGap);
constexpr int kPanelH = kCustomTop + kCustomRows * (kCellH + kGap);

// A colour from hue (degrees), saturation and lightness (0..1).
CCMyColorSelDlg::ColorRef Hsl(double h, double s, double l) {
    const double c = (1 - std::abs(2 * l - 1)) * s;
    const double hp = std::fmod(h, 360.0) / 60.0;
    const double x = c * (1 - std::abs(std::fmod(hp, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    if (hp < 1) r = c, g = x;
    else if (hp < 2) r = x, g = c;
    else if (hp < 3) g = c, b = x;
    else if (hp < 4) g = x, b = c;
    else if (hp < 5) r = x, b = c;
    else r = c, b = x;
    const double m = l - c / 2;
    auto v = [&](double ch) { return static_cast<unsigned>(std::lround((ch + m) * 255)); };
    return platform::ui::Rgb(v(r), v(g), v(b));
}

wxRect CellRect(int index) {
    if (index < CCMyColorSelDlg::kBasicColours)
        return wxRect(kGap + (index % kColumns) * (kCellW + kGap), kLabelH + (index / kColumns) * (kCellH + kGap),
                      kCellW, kCellH);
    const int i = index - CCMyColorSelDlg::kBasicColours;
    return wxRect(kGap + (i % kColumns) * (kCellW + kGap), kCustomTop + (i / kColumns) * (kCellH + kGap), kCellW,
                  kCellH);
}

}  // namespace

CCMyColorSelDlg::ColorRef CCMyColorSelDlg::BasicColour(int index) {
    static const double kHues[kColumns] = {0, 30, 55, 120, 180, 215, 265, 320};
    static const double kLight[kBasicRows - 1] = {0.85, 0.70, 0.50, 0.35, 0.20};
    if (index < 0 || index >= kBasicColours) return 0;
    const int row = index / kColumns, col = index % kColumns;
    if (row == kBasicRows - 1) {
        const unsigned v = static_cast<unsigned>(std::lround(col * 255.0 / (kColumns - 1)));
        return platform::ui::Rgb(v, v, v);
    }
    return Hsl(kHues[col], 1.0, kLight[row]);
}

std::array<CCMyColorSelDlg::ColorRef, CCMyColorSelDlg::kCustomColours>& CCMyColorSelDlg::CustomColours() {
    static std::array<ColorRef, kCustomColours> colours = [] {
        std::array<ColorRef, kCustomColours> a;
        a.fill(kFreshCustomColour);
        return a;
    }();
    return colours;
}

void CCMyColorSelDlg::ResetCustomColours() { CustomColours().fill(kFreshCustomColour); }

CCMyColorSelDlg::CCMyColorSelDlg(ColorRef initial, unsigned /*flags*/, wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("颜色"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE) {
    m_colour = initial & 0xFFFFFF;
    Build();
    SyncFields();
}

CCMyColorSelDlg::~CCMyColorSelDlg() = default;

void CCMyColorSelDlg::Build() {
    SetFont(platform::ui::MakeFont(13));
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* row = new wxBoxSizer(wxHORIZONTAL);

    m_swatches = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxSize(kPanelW, kPanelH));
    m_swatches->SetMinSize(wxSize(kPanelW, kPanelH));
    m_swatches->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_swatches->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(m_swatches);
        DrawSwatches(dc);
    });
    m_swatches->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) { OnSwatchClick(e.GetX(), e.GetY()); });
    m_swatches->Bind(wxEVT_LEFT_DCLICK, [this](wxMouseEvent& e) {
        OnSwatchClick(e.GetX(), e.GetY());
        if (SwatchAt(e.GetX(), e.GetY()) >= 0) EndModal(wxID_OK);
    });
    row->Add(m_swatches, 0, wxALL, 8);

    auto* side = new wxBoxSizer(wxVERTICAL);
    m_preview = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxSize(96, 64), wxBORDER_SIMPLE);
    m_preview->SetMinSize(wxSize(96, 64));
    side->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8("预览:")), 0, wxBOTTOM, 4);
    side->Add(m_preview, 0, wxBOTTOM, 10);
    auto* grid = new wxFlexGridSizer(2, 6, 6);
    const char* names[3] = {"红(&R):", "绿(&G):", "蓝(&U):"};
    for (int i = 0; i < 3; ++i) {
        grid->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(names[i])), 0, wxALIGN_CENTRE_VERTICAL);
        m_rgb[i] = new wxSpinCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(140, -1),
                                  wxSP_ARROW_KEYS, 0, 255, 0);
        m_rgb[i]->Bind(wxEVT_SPINCTRL, &CCMyColorSelDlg::OnSpin, this);
        m_rgb[i]->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
            wxSpinEvent e;
            OnSpin(e);
        });
        grid->Add(m_rgb[i]);
    }
    side->Add(grid, 0, wxBOTTOM, 10);
    auto* add = new wxButton(this, wxID_ANY, wxString::FromUTF8("添加到自定义颜色(&A)"));
    add->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAddCustom(); });
    side->Add(add, 0, wxEXPAND);
    row->Add(side, 0, wxALL, 8);
    top->Add(row);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    buttons->Add(new wxButton(this, wxID_OK, wxString::FromUTF8("确定")), 0, wxRIGHT, 8);
    buttons->Add(new wxButton(this, wxID_CANCEL, wxString::FromUTF8("取消")));
    top->Add(buttons, 0, wxEXPAND | wxALL, 8);
    SetSizerAndFit(top);
}

void CCMyColorSelDlg::SetPosition(int x, int y, int mode) {
    m_x = x;
    m_y = y;
    m_mode = mode;
}

void CCMyColorSelDlg::ApplyPlacement() {
    const wxSize size = GetSize();
    int display = wxDisplay::GetFromPoint(wxPoint(m_x, m_y));
    if (display == wxNOT_FOUND) display = GetParent() ? wxDisplay::GetFromWindow(GetParent()) : 0;
    if (display == wxNOT_FOUND) display = 0;
    const wxRect a = wxDisplay(static_cast<unsigned>(display)).GetClientArea();
    const ScreenRect area{a.x, a.y, a.width, a.height};
    if (const auto r = PlaceColourDialog(m_x, m_y, m_mode, size.x, size.y, area, m_rules)) {
        Move(r->x, r->y);
        return;
    }
    // The system's placement: centred, on the screen.
    const wxWindow* over = GetParent();
    const wxRect base = over ? over->GetScreenRect() : a;
    const ScreenRect centred = KeepOnArea(
        {base.x + (base.width - size.x) / 2, base.y + (base.height - size.y) / 2, size.x, size.y}, area);
    Move(centred.x, centred.y);
}

int CCMyColorSelDlg::ShowModal() {
    ApplyPlacement();
    return wxDialog::ShowModal();
}

int CCMyColorSelDlg::DoModal() { return ShowModal(); }

void CCMyColorSelDlg::SetColor(ColorRef c) {
    m_colour = c & 0xFFFFFF;
    m_selected = -1;
    SyncFields();
}

void CCMyColorSelDlg::SyncFields() {
    const unsigned v[3] = {platform::ui::RedOf(m_colour), platform::ui::GreenOf(m_colour),
                           platform::ui::BlueOf(m_colour)};
    for (int i = 0; i < 3; ++i)
        if (m_rgb[i] && m_rgb[i]->GetValue() != static_cast<int>(v[i])) m_rgb[i]->SetValue(static_cast<int>(v[i]));
    if (m_preview) {
        m_preview->SetBackgroundColour(platform::ui::ToColour(m_colour));
        m_preview->Refresh();
    }
    if (m_swatches) m_swatches->Refresh();
}

void CCMyColorSelDlg::OnSpin(wxSpinEvent&) {
    if (!m_rgb[0] || !m_rgb[1] || !m_rgb[2]) return;
    const ColorRef c = platform::ui::Rgb(static_cast<unsigned>(m_rgb[0]->GetValue()),
                                         static_cast<unsigned>(m_rgb[1]->GetValue()),
                                         static_cast<unsigned>(m_rgb[2]->GetValue()));
    if (c == m_colour) return;
    m_colour = c;
    m_selected = -1;
    SyncFields();
}

void CCMyColorSelDlg::OnAddCustom() {
    CustomColours()[static_cast<std::size_t>(m_customNext)] = m_colour;
    m_selected = kBasicColours + m_customNext;
    m_customNext = (m_customNext + 1) % kCustomColours;
    SyncFields();
}

int CCMyColorSelDlg::SwatchAt(int x, int y) const {
    for (int i = 0; i < kBasicColours + kCustomColours; ++i)
        if (wxRect(CellRect(i)).Inflate(kGap / 2).Contains(x, y)) return i;
    return -1;
}

void CCMyColorSelDlg::OnSwatchClick(int x, int y) {
    const int i = SwatchAt(x, y);
    if (i < 0) return;
    m_selected = i;
    m_colour = i < kBasicColours ? BasicColour(i) : CustomColours()[static_cast<std::size_t>(i - kBasicColours)];
    if (i >= kBasicColours) m_customNext = i - kBasicColours;
    SyncFields();
}

void CCMyColorSelDlg::DrawSwatches(wxDC& dc) const {
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
    dc.SetFont(GetFont());
    dc.SetTextForeground(*wxBLACK);
    dc.DrawText(wxString::FromUTF8("基本颜色:"), kGap, 2);
    dc.DrawText(wxString::FromUTF8("自定义颜色:"), kGap, kCustomTop - kLabelH + 2);
    for (int i = 0; i < kBasicColours + kCustomColours; ++i) {
        wxRect r = CellRect(i);
        const ColorRef c = i < kBasicColours ? BasicColour(i) : CustomColours()[static_cast<std::size_t>(i - kBasicColours)];
        if (i == m_selected) {
            dc.SetPen(wxPen(*wxBLACK, 1, wxPENSTYLE_DOT));
            dc.SetBrush(*wxTRANSPARENT_BRUSH);
            dc.DrawRectangle(wxRect(r).Inflate(2));
        }
        dc.SetPen(wxPen(wxColour(128, 128, 128)));
        dc.SetBrush(wxBrush(platform::ui::ToColour(c)));
        dc.DrawRectangle(r);
    }
}
