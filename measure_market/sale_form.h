#pragma once
// DlgSaleFMView: the market's order form, docked in the market frame's tab
// bar. It shows the garment picked in the market view (deferred request
// 77700001), adds it as an order line with a quantity, deletes, totals and
// checks lines in the order grid, writes the order file, lists saved orders
// and draws the garment, the order chart or the size reference picture in
// its picture frame.
//
// Window thread only. Order lines are the process-wide OrderLines(); the
// garment comes from the market's garment list.
#include <filesystem>
#include <string>

#include <wx/panel.h>

#include "measure_market/order_grid.h"
#include "platform/ui/messages.h"

class wxButton;
class wxCheckBox;
class wxStaticText;
class wxTextCtrl;

// The form's fixed layout, in pixels of its client area.
namespace sale_form {
inline const wxRect kGarmentFrame(436, 8, 216, 220);  // static 1038: the picture when the table is wide
inline const wxRect kGridFrame(8, 280, 644, 360);     // static 1039: the order table's area
inline const wxRect kPictureFrame(436, 280, 216, 360);  // static 1056: the picture beside the narrow table
inline constexpr int kWidth = 660;
inline constexpr int kHeight = 760;
}  // namespace sale_form

class DlgSaleFMView : public wxPanel, public platform::ui::MessageReceiver {
public:
    enum class PictureMode { None, Garment, Chart, SizeReference };

    DlgSaleFMView(wxWindow* parent, std::filesystem::path base);
    // A value still being typed into the table is kept when the form closes.
    ~DlgSaleFMView() override;

    std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) override;

    // The commands of the form's buttons.
    void AddToOrder();       // 1040
    void ShowTotal();        // 1042
    void ToggleTableWidth();  // 1052
    void DeleteLine();       // 1057
    void WriteOrder();       // 1059
    void ShowOrderChart();   // 1060
    void ListOrders();       // 1061
    void ShowSizePicture();  // 1062

    // Paints the picture frame (and the form's background) onto dc.
    void Draw(wxDC& dc);
    wxRect PictureFrame() const { return m_wide ? sale_form::kGarmentFrame : sale_form::kPictureFrame; }

    COrderGrid* grid() const { return m_grid; }
    wxWindow* control(int id) const { return FindWindow(id); }
    wxTextCtrl* quantityEdit() const { return m_quantity; }
    wxTextCtrl* orderNoEdit() const { return m_orderNo; }
    wxTextCtrl* ordererEdit() const { return m_orderer; }
    wxTextCtrl* contactEdit() const { return m_contact; }
    PictureMode pictureMode() const { return m_mode; }
    bool wide() const { return m_wide; }
    const std::filesystem::path& garmentPicture() const { return m_picture; }

private:
    void TakePickedGarment();
    void ShowLine(const measure_market::SelectedLine& l);
    void ClearGarment();
    void SetGarmentText(int id, const std::string& text);
    void LayOutGrid();
    void LinesChanged();
    void OnGridClick();
    void DrawGarment(wxDC& dc, const wxRect& frame);
    void DrawChart(wxDC& dc, const wxRect& frame);
    void DrawSizePicture(wxDC& dc, const wxRect& frame);
    void Report(const std::string& text);

    std::filesystem::path m_base;
    COrderGrid* m_grid = nullptr;
    wxTextCtrl* m_quantity = nullptr;
    wxTextCtrl* m_orderNo = nullptr;
    wxTextCtrl* m_orderer = nullptr;
    wxTextCtrl* m_contact = nullptr;
    wxButton* m_add = nullptr;
    wxButton* m_delete = nullptr;
    wxButton* m_total = nullptr;
    wxButton* m_width = nullptr;
    wxCheckBox* m_check = nullptr;
    wxStaticText* m_ok = nullptr;
    // The current garment.
    std::string m_code, m_name, m_size, m_colour, m_pictureName, m_price, m_note, m_unit;
    std::filesystem::path m_picture;
    char m_tag = ' ';
    int m_checkFlag = 0;
    bool m_wide = false;
    PictureMode m_mode = PictureMode::None;
    bool m_busy = false;
};
