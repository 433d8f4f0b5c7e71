// "定货单列表": the file grid on the left (the frame of 1065), the chosen
// order as text on the right (1066), "打 开" (1068) under them, the combo of
// order numbers (1070) and the "联系商家" link (1067).
#include "measure_market/order_list_dlg.h"

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "measure_market/order_file.h"
#include "platform/ui/dialog_end.h"
#include "platform/ui/resources.h"

namespace fs = std::filesystem;
using namespace measure_market;

namespace {
constexpr int kBitmapListIcons = 154;
constexpr grid::ColorRef kFileRowEven = 0xD2FFFF;
constexpr grid::ColorRef kFilePastEnd = 0xC0C0C0;
constexpr grid::ColorRef kFileCurrent = 0xDCDC00;
constexpr int kMinFileRows = 30;
constexpr int kCursorHand = 0x83;
constexpr int kIconFile = 10;
}  // namespace

COrderFileGrid::COrderFileGrid(fs::path base) : m_base(std::move(base)) {
    InsertColumn(15, "--", 5, 0x8025, 0, 0, 0);
    SetColumnMetrics(0, 15, 15, grid::kIconImageList);
    InsertColumn(110, "定单号", 4 | grid::kDtSingleLine, 0x8025, 0, 0, 0);
    SetColumnColor(1, 0xFF0000);
    SetDefaultCellMetrics(999, 36);
    platform::ui::LoadImageListStrip(m_icons, kBitmapListIcons, 15, wxColour(0, 128, 128));
    m_titles = ListOrderTitles(m_base);
    SetRowCount(std::max(fileCount(), kMinFileRows), 0);
}

bool COrderFileGrid::HasSelectedFile() const {
    const int r = GetCurrentDataRow();
    return r >= 0 && r < fileCount();
}

bool COrderFileGrid::GetSelectedPath(fs::path* path) const {
    if (!HasSelectedFile()) {
        path->clear();
        return false;
    }
    *path = OrderFilePath(m_base, m_titles[static_cast<std::size_t>(GetCurrentDataRow())]);
    return true;
}

GridCellText COrderFileGrid::GetCellText(int column, int row) const {
    if (column == 1 && row >= 0 && row < fileCount()) return {m_titles[static_cast<std::size_t>(row)], -1};
    return {};
}

const GridCellColors& COrderFileGrid::GetRowColors(int column, int row) const {
    GridCellColors& c = m_colours;
    c = CZYKGridCtrl::GetRowColors(column, row);
    auto set = [&c](grid::ColorRef colour) { c.cellBackground = c.currentBackground = colour; };
    if (row % 2 == 0) set(kFileRowEven);
    if (row >= fileCount()) set(kFilePastEnd);
    if (row == GetCurrentDataRow()) {
        set(kFileCurrent);
        c.selectedBackground = kFileCurrent;
        c.selectedText = c.cellText;
    }
    return c;
}

void COrderFileGrid::GetCellInfo(int column, int row, GridImageListDraw& info, bool) {
    if (column != 0 || row < 0 || row >= fileCount() || m_icons.GetImageCount() == 0) return;
    info.imageList = &m_icons;
    info.index = std::min(kIconFile, m_icons.GetImageCount() - 1);
}

void COrderFileGrid::OnCurrentCellChanged(int column, int row) {
    const int before = m_lastRow;
    CZYKGridCtrl::OnCurrentCellChanged(column, row);
    m_lastRow = row;
    if (before != row) Refresh(false);
}

COrderListDlg::COrderListDlg(wxWindow* parent, fs::path base)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("定货单列表"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_base(std::move(base)) {
    SetName("COrderListDlg");
    const wxRect gridFrame(6, 6, 150, 420);  // static 1065
    m_grid = new COrderFileGrid(m_base);
    m_grid->Create(0, 0x50300004 | grid::kStyleRowSelect, wxRect(6, 6, 120, 100), this, 1069);
    m_grid->SetSize(gridFrame);
    m_grid->RecalcLayout();

    m_text = new wxTextCtrl(this, 1066, "", wxPoint(164, 6), wxSize(700, 420),
                            wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP | wxHSCROLL);
    // The order file lines up its columns by bytes: a Chinese character takes
    // two columns in a fixed-width face.
    m_text->SetFont(wxFont(wxFontInfo(10).FaceName("WenQuanYi Micro Hei Mono")));

    m_open = new wxButton(this, 1068, wxString::FromUTF8("打 开"), wxPoint(6, 436), wxSize(150, 30));
    // Enabled while a file row is current: the first row is current from the
    // start, so with one order file or more the button is ready at once.
    m_open->Enable(m_grid->HasSelectedFile());
    wxArrayString titles;
    for (const std::string& t : m_grid->titles()) titles.Add(wxString::FromUTF8(t));
    m_combo = new wxComboBox(this, 1070, "", wxPoint(164, 438), wxSize(200, -1), titles, wxCB_READONLY);
    m_link = new wxStaticText(this, 1067, wxString::FromUTF8("联系商家"), wxPoint(790, 444));
    m_link->SetForegroundColour(*wxBLUE);
    m_link->SetFont(m_link->GetFont().Underlined());
    m_link->SetCursor(platform::ui::LoadCursorResource(kCursorHand));
    SetClientSize(870, 476);
    CentreOnParent();

    // The dialog has no cancel button for the toolkit to press on Escape:
    // Escape closes it as the close box does.
    platform::ui::CancelOnEscape(*this, [this] { Close(); });
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OpenSelected(); }, 1068);
    Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) {
        m_comboText = m_combo->GetStringSelection().utf8_string();
        // The chosen number becomes the grid's current row.
        const int i = m_combo->GetSelection();
        if (i >= 0 && i < m_grid->fileCount()) {
            m_grid->SetCurrentCell(m_grid->GetFixedColumnCount() + 1, m_grid->GetFixedRowCount() + i);
            m_open->Enable(m_grid->HasSelectedFile());
        }
    }, 1070);
    m_link->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) {
        // The contact address needs a contact number; this dialog has none,
        // so the link leads nowhere.
        if (m_inLink) return;
        m_inLink = true;
        m_inLink = false;
    });
}

std::intptr_t COrderListDlg::OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t) {
    // A click on the grid, or the current cell moved by the keys.
    if ((id == grid::kMsgGridNotify && wparam == grid::kGridNotifyTag) || id == grid::kMsgCurrentCellChanged)
        m_open->Enable(m_grid->HasSelectedFile());
    return 0;
}

void COrderListDlg::OpenSelected() {
    fs::path path;
    if (!m_grid->GetSelectedPath(&path)) return;
    const auto text = ReadOrderText(path);
    if (!text) return;
    std::string shown;
    shown.reserve(text->size());
    for (char c : *text)
        if (c != '\r') shown += c;
    m_text->ChangeValue(wxString::FromUTF8(shown));
}
