// The order form's controls are placed by a fixed table (the form is a page
// of the docked bar, 673 pixels wide): the garment's fields at the top left
// with the wide-table picture frame (1038) beside them, the quantity and the
// line buttons, the order table (1039) with the picture frame (1056) at its
// right, then the order's number, orderer and contact and the file buttons.
#include "measure_market/sale_form.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "fitting_room/shared_objects.h"
#include "measure_market/market_menu.h"
#include "measure_market/measure_data.h"
#include "measure_market/order_list_dlg.h"
#include "platform/image/picture_cache.h"
#include "platform/ui/colour.h"
#include "platform/ui/message_box.h"

namespace fs = std::filesystem;
using namespace measure_market;

namespace {

constexpr unsigned kWmUser50 = platform::ui::kWmUser + 50;
constexpr platform::ui::ColorRef kFrameFill = 0xDEDEDE;
constexpr const char* kWideCaption = "<<收缩表格";
constexpr const char* kNarrowCaption = "扩展表格>>";
constexpr const char* kTotalCaption = "定货单合价";

struct GarmentField {
    int id;
    const char* label;
    platform::ui::ColorRef colour;  // 0: the default
};
// In the order they stand on the form.
constexpr GarmentField kGarmentFields[] = {
    {1044, "代号", 0x00C000}, {1049, "货品名称", 0xFF0000}, {1046, "尺码", 0},      {1048, "颜色", 0x000080},
    {1050, "图片名称", 0},    {1045, "单位", 0},             {1047, "单价", 0x0000FF}, {1051, "备注", 0x808000},
};

wxRect Shrunk(const wxRect& r, int d) { return wxRect(r.x + d, r.y + d, r.width - 2 * d, r.height - 2 * d); }

fitting_room::Rect ToCore(const wxRect& r) { return fitting_room::Rect::FromSize(r.x, r.y, r.width, r.height); }
wxRect ToWx(const fitting_room::Rect& r) { return wxRect(r.left, r.top, r.width(), r.height()); }

// A picture centred in `frame`, scaled down to fit, never enlarged.
void DrawFitted(wxDC& dc, const wxImage& picture, const wxRect& frame) {
    if (!picture.IsOk()) return;
    const wxRect r = ToWx(FitCentred(ToCore(frame), picture.GetWidth(), picture.GetHeight()));
    if (r.IsEmpty()) return;
    wxImage scaled = picture;
    if (r.width != picture.GetWidth() || r.height != picture.GetHeight())
        scaled = picture.Scale(r.width, r.height, wxIMAGE_QUALITY_HIGH);
    dc.DrawBitmap(wxBitmap(scaled), r.x, r.y, true);
}

char TagOfShownProject() {
    const std::string& shown = fitting_room::MarketGarmentList().basicProjectShown();
    if (shown == "男装") return 'M';
    if (shown == "女装") return 'W';
    if (shown == "童装") return 'C';
    return 'S';  // a custom project
}

}  // namespace

DlgSaleFMView::DlgSaleFMView(wxWindow* parent, fs::path base)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxSize(sale_form::kWidth, sale_form::kHeight)),
      m_base(std::move(base)) {
    SetName("DlgSaleFMView");
    auto colour = [](wxWindow* w, platform::ui::ColorRef c) { w->SetForegroundColour(platform::ui::ToColour(c)); };
    auto* heading = new wxStaticText(this, 1043, wxString::FromUTF8("当前货品"), wxPoint(8, 10));
    colour(heading, 0x008080);
    heading->SetFont(heading->GetFont().Bold());
    int y = 34;
    for (const GarmentField& f : kGarmentFields) {
        new wxStaticText(this, wxID_ANY, wxString::FromUTF8(f.label) + ":", wxPoint(8, y), wxSize(72, 20));
        auto* value = new wxStaticText(this, f.id, "", wxPoint(84, y), wxSize(340, 20), wxST_NO_AUTORESIZE);
        if (f.colour) colour(value, f.colour);
        y += 24;
    }
    new wxStaticText(this, wxID_ANY, wxString::FromUTF8("数量:"), wxPoint(8, 236));
    m_quantity = new wxTextCtrl(this, 1064, "1", wxPoint(84, 230), wxSize(70, -1));
    m_add = new wxButton(this, 1040, wxString::FromUTF8("加到定货单"), wxPoint(164, 228), wxSize(120, 30));
    m_add->Disable();

    m_delete = new wxButton(this, 1057, wxString::FromUTF8("删除定货单"), wxPoint(436, 228), wxSize(104, 30));
    m_delete->Disable();
    m_total = new wxButton(this, 1042, wxString::FromUTF8(kTotalCaption), wxPoint(294, 228), wxSize(136, 30));
    m_width = new wxButton(this, 1052, wxString::FromUTF8(kNarrowCaption), wxPoint(548, 228), wxSize(104, 30));
    m_check = new wxCheckBox(this, 1058, wxString::FromUTF8("复核定单"), wxPoint(548, 256));

    m_grid = new COrderGrid;
    m_grid->Create(0, 0x50000000, sale_form::kGridFrame, this, 1039);
    m_grid->onLinesChanged = [this] { LinesChanged(); };
    LayOutGrid();

    const int bottom = sale_form::kGridFrame.GetBottom() + 12;
    new wxStaticText(this, wxID_ANY, wxString::FromUTF8("定单号:"), wxPoint(8, bottom + 6));
    m_orderNo = new wxTextCtrl(this, 1053, "2010A_001", wxPoint(66, bottom), wxSize(130, -1));
    new wxStaticText(this, wxID_ANY, wxString::FromUTF8("定货人:"), wxPoint(210, bottom + 6));
    m_orderer = new wxTextCtrl(this, 1054, "", wxPoint(268, bottom), wxSize(120, -1));
    new wxStaticText(this, wxID_ANY, wxString::FromUTF8("联系方式:"), wxPoint(400, bottom + 6));
    m_contact = new wxTextCtrl(this, 1055, "", wxPoint(470, bottom), wxSize(182, -1));
    const int row = bottom + 40;
    new wxButton(this, 1059, wxString::FromUTF8("建定单表"), wxPoint(8, row), wxSize(100, 30));
    m_ok = new wxStaticText(this, 1063, "", wxPoint(114, row + 7), wxSize(40, 20), wxST_NO_AUTORESIZE);
    new wxButton(this, 1060, wxString::FromUTF8("定单图表"), wxPoint(160, row), wxSize(100, 30));
    new wxButton(this, 1061, wxString::FromUTF8("查已有定单"), wxPoint(268, row), wxSize(110, 30));
    new wxButton(this, 1062, wxString::FromUTF8("尺寸图"), wxPoint(386, row), wxSize(100, 30));

    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { AddToOrder(); }, 1040);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowTotal(); }, 1042);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ToggleTableWidth(); }, 1052);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { DeleteLine(); }, 1057);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { WriteOrder(); }, 1059);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowOrderChart(); }, 1060);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ListOrders(); }, 1061);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowSizePicture(); }, 1062);
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { m_checkFlag = m_check->GetValue() ? 1 : 0; }, 1058);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxPaintDC dc(this);
        Draw(dc);
    });
    LinesChanged();
}

DlgSaleFMView::~DlgSaleFMView() {
    if (!m_grid) return;
    m_grid->onLinesChanged = nullptr;
    m_grid->EndEdit(true);
}

std::intptr_t DlgSaleFMView::OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t) {
    if (id == grid::kMsgGridNotify && wparam == grid::kGridNotifyTag) {
        OnGridClick();
    } else if (id == kWmUser50 && static_cast<std::int32_t>(wparam) == kRequestGarmentPicked && !m_busy) {
        m_busy = true;
        TakePickedGarment();
        m_busy = false;
    }
    return 0;
}

void DlgSaleFMView::SetGarmentText(int id, const std::string& text) {
    if (auto* s = dynamic_cast<wxStaticText*>(FindWindow(id))) s->SetLabel(wxString::FromUTF8(text));
}

void DlgSaleFMView::ClearGarment() {
    m_code.clear(), m_name.clear(), m_size.clear(), m_colour.clear();
    m_pictureName.clear(), m_price.clear(), m_note.clear(), m_unit.clear();
    for (const GarmentField& f : kGarmentFields) SetGarmentText(f.id, "");
    m_add->Disable();
}

void DlgSaleFMView::TakePickedGarment() {
    ClearGarment();
    fitting_room::CGarmentPicList& list = fitting_room::MarketGarmentList();
    fitting_room::PickedItem item;
    if (list.GetPickedItem(&item) != 1) return;
    m_picture = item.picture;
    m_tag = TagOfShownProject();
    m_mode = PictureMode::Garment;
    fitting_room::CurrentItemFields fields;
    list.GetCurrentItemFields(&fields);
    m_code = fields.goodsCode;
    m_name = fields.name;
    m_pictureName = fields.pictureName;
    m_price = fields.price;
    SetGarmentText(1044, m_code);
    SetGarmentText(1049, m_name);
    SetGarmentText(1050, m_pictureName);
    SetGarmentText(1047, m_price);
    m_add->Enable();
    RefreshRect(PictureFrame(), false);
}

void DlgSaleFMView::ShowLine(const SelectedLine& s) {
    const OrderLine& l = s.line;
    m_code = l.code, m_name = l.name, m_size = l.size, m_colour = l.colour;
    m_pictureName = l.pictureName, m_price = l.price, m_note = l.note, m_unit = l.unit;
    m_tag = l.tag;
    const std::pair<int, const std::string*> shown[] = {{1044, &m_code},        {1049, &m_name},  {1046, &m_size},
                                                       {1048, &m_colour},      {1050, &m_pictureName},
                                                       {1045, &m_unit},        {1047, &m_price}, {1051, &m_note}};
    for (const auto& [id, text] : shown) SetGarmentText(id, *text);
    m_quantity->ChangeValue(wxString::FromUTF8(l.quantity));
    m_picture = s.picturePath;
    m_mode = PictureMode::Garment;
    m_add->Enable();
    RefreshRect(PictureFrame(), false);
}

void DlgSaleFMView::AddToOrder() {
    OrderLineInput in;
    in.code = m_code;
    in.name = m_name;
    in.size = m_size;
    in.colour = m_colour;
    in.pictureName = m_pictureName;
    in.price = m_price;
    in.note = m_note;
    in.unit = m_unit;
    in.quantity = m_quantity->GetValue().utf8_string();
    if (!m_grid->AddLine(in, m_tag, m_picture.string()))
        Report("定货单已满 (最多 " + std::to_string(kMaxOrderLines) + " 项), 不能再加 !");
}

void DlgSaleFMView::ShowTotal() {
    const OrderTotal t = m_grid->UpdateTotal();
    if (t.overflow) Report("金额太大, 无法合计 !");
}

void DlgSaleFMView::LinesChanged() {
    const OrderTotal& t = OrderLines().lastTotal();
    m_total->SetLabel(wxString::FromUTF8(t.text.empty() ? std::string(kTotalCaption) : t.text));
    m_delete->Enable(m_grid->HasSelectedLine());
    if (m_mode == PictureMode::Chart) RefreshRect(PictureFrame(), false);
}

void DlgSaleFMView::ToggleTableWidth() {
    m_wide = !m_wide;
    m_width->SetLabel(wxString::FromUTF8(m_wide ? kWideCaption : kNarrowCaption));
    LayOutGrid();
    if (!m_wide && m_mode != PictureMode::Garment && !m_picture.empty()) m_mode = PictureMode::Garment;
    Refresh();
}

void DlgSaleFMView::LayOutGrid() {
    wxRect r = sale_form::kGridFrame;
    if (!m_wide) r.SetRight(sale_form::kPictureFrame.GetLeft() - 3 - 1);
    m_grid->SetSize(r);
    m_grid->RecalcLayout();
}

void DlgSaleFMView::DeleteLine() {
    if (!m_grid->DeleteSelectedLine()) return;
    m_delete->Enable(m_grid->HasSelectedLine());
}

void DlgSaleFMView::WriteOrder() {
    m_ok->SetLabel("");
    const auto r = m_grid->WriteOrderFile(m_base, m_orderNo->GetValue().utf8_string(),
                                          m_orderer->GetValue().utf8_string(), m_contact->GetValue().utf8_string(),
                                          platform::ui::MessageSinkFor(this));
    if (r == OrderWriteResult::Written) m_ok->SetLabel("ok");
}

void DlgSaleFMView::ShowOrderChart() {
    m_mode = PictureMode::Chart;
    RefreshRect(PictureFrame(), false);
}

void DlgSaleFMView::ListOrders() {
    m_grid->EndEdit(true);
    COrderListDlg dlg(this, m_base);
    dlg.ShowModal();
    if (!m_picture.empty()) m_mode = PictureMode::Garment;
    Refresh();
}

void DlgSaleFMView::ShowSizePicture() {
    m_mode = PictureMode::SizeReference;
    RefreshRect(PictureFrame(), false);
}

void DlgSaleFMView::OnGridClick() {
    const bool line = m_grid->HasSelectedLine();
    m_delete->Enable(line);
    if (!line || m_checkFlag != 1) return;
    SelectedLine s;
    if (m_grid->GetSelectedLine(&s)) ShowLine(s);
}

void DlgSaleFMView::Report(const std::string& text) {
    platform::ui::ShowMessage(text, platform::MbButtons::Ok, platform::MbIcon::Exclamation, "特别提示", this);
}

void DlgSaleFMView::Draw(wxDC& dc) {
    const wxRect frame = PictureFrame();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(platform::ui::ToColour(kFrameFill)));
    dc.DrawRectangle(frame);
    wxDCClipper clip(dc, frame);
    switch (m_mode) {
        case PictureMode::Garment: DrawGarment(dc, frame); break;
        case PictureMode::Chart: DrawChart(dc, frame); break;
        case PictureMode::SizeReference: DrawSizePicture(dc, frame); break;
        case PictureMode::None: break;
    }
}

void DlgSaleFMView::DrawGarment(wxDC& dc, const wxRect& frame) {
    if (m_picture.empty()) return;
    if (const auto picture = platform::image::CachedPicture(m_picture)) DrawFitted(dc, *picture, Shrunk(frame, 3));
}

void DlgSaleFMView::DrawChart(wxDC& dc, const wxRect& frame) {
    const ChartCells cells = LayOutChart(ToCore(frame));
    int line = 0;
    for (int i = 0; i < cells.columns * cells.rows; ++i) {
        const wxRect square = ToWx(cells.Square(i));
        // A 3-D frame: red on the top and left, blue on the bottom and right.
        dc.SetPen(wxPen(platform::ui::ToColour(0x0000FF)));
        dc.DrawLine(square.GetLeft(), square.GetBottom(), square.GetLeft(), square.GetTop());
        dc.DrawLine(square.GetLeft(), square.GetTop(), square.GetRight(), square.GetTop());
        dc.SetPen(wxPen(platform::ui::ToColour(0xFF0000)));
        dc.DrawLine(square.GetRight(), square.GetTop(), square.GetRight(), square.GetBottom());
        dc.DrawLine(square.GetRight(), square.GetBottom(), square.GetLeft() - 1, square.GetBottom());
        std::string path;
        if (m_grid->GetLineNote(line, &path)) {
            ++line;
            if (const auto picture = path.empty() ? nullptr : platform::image::CachedPicture(path))
                DrawFitted(dc, *picture, square);
        }
    }
}

void DlgSaleFMView::DrawSizePicture(wxDC& dc, const wxRect& frame) {
    const auto cached = platform::image::CachedPicture(measure::DataFile(m_base, measure::kSizeReferencePicture));
    if (!cached || !cached->IsOk()) return;
    const wxImage& picture = *cached;
    // The JPEG's density (wx keeps libjpeg's unit codes: 1 per inch, 2 per
    // centimetre, 0 none).
    PictureResolution resolution;
    const int unit = picture.HasOption(wxIMAGE_OPTION_RESOLUTIONUNIT) ? picture.GetOptionInt(wxIMAGE_OPTION_RESOLUTIONUNIT) : 0;
    if (unit == wxIMAGE_RESOLUTION_INCHES) resolution.unit = DensityUnit::PerInch;
    if (unit == wxIMAGE_RESOLUTION_CM) resolution.unit = DensityUnit::PerCentimetre;
    if (picture.HasOption(wxIMAGE_OPTION_RESOLUTIONX)) resolution.x = picture.GetOptionInt(wxIMAGE_OPTION_RESOLUTIONX);
    if (picture.HasOption(wxIMAGE_OPTION_RESOLUTIONY)) resolution.y = picture.GetOptionInt(wxIMAGE_OPTION_RESOLUTIONY);
    const wxSize dpi = GetDPI();
    const wxRect screen = wxDisplay(this).GetGeometry();
    const PictureExtent size = ReferencePictureSize(picture.GetWidth(), picture.GetHeight(), resolution, dpi.x, dpi.y,
                                                    screen.width, screen.height);
    if (size.width <= 0) return;
    const wxImage scaled = picture.Scale(size.width, size.height, wxIMAGE_QUALITY_HIGH);
    dc.DrawBitmap(wxBitmap(scaled), frame.x + (frame.width - size.width) / 2, frame.y + (frame.height - size.height) / 2,
                  true);
}
