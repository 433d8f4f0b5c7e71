// The project chooser dialog: the list grid over the rectangle of 1005, the
// chosen name (1006), "打开"/"开始构建" (1007), "透明" (1008, room
// backgrounds only) and the background preview (1072).
#include "fitting_room/project_chooser.h"

#include <functional>
#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/dialog.h>
#include <wx/imaglist.h>
#include <wx/panel.h>
#include <wx/stattext.h>

#include "controls/grid_ctrl.h"
#include "platform/image/picture_io.h"
#include "platform/ui/colour.h"
#include "platform/ui/messages.h"
#include "platform/ui/resources.h"
#include "shell/base_directory.h"
#include "shell/data_package.h"

namespace fs = std::filesystem;

namespace fitting_room {

namespace {

constexpr int kBitmapListIcons = 154;
constexpr long kWsBorder = 0x00800000;
constexpr long kWsExClientEdge = 0x00000200;
constexpr long kWsExStaticEdge = 0x00020000;
constexpr grid::ColorRef kCurrentRowColour = 0xDCDC00;
constexpr grid::ColorRef kPastEndColour = 0xBCBCBC;
constexpr grid::ColorRef kPreviewFill = 0xDEDEDE;

// The dialog's layout, in pixels of its client area.
constexpr int kMargin = 8;
constexpr int kGridWidth = 348;
constexpr int kGridHeight = 300;
constexpr int kPreviewHeight = 180;
constexpr int kNameHeight = 22;
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 28;

}  // namespace

// The list of names: an icon column and the names.
class CProjectListGrid : public CZYKGridCtrl {
public:
    explicit CProjectListGrid(ProjectListRows* rows) : m_rows(rows) {
        InsertColumn(22, "--", 5, 0x8025, 0, 0, 0);
        SetColumnMetrics(0, 15, 15, grid::kIconImageList);
        InsertColumn(260, "名称", 4 | grid::kDtSingleLine, 0x8025, 0, 0, 0);
        SetColumnColor(1, 0xFF0000);
        for (int c : {4, 5, 6}) SetColumnColor(c, 0x808080);
        SetDefaultCellMetrics(999, 46);
        platform::ui::LoadImageListStrip(m_icons, kBitmapListIcons, 15, wxColour(0, 128, 128));
    }

    void SetRows(const std::vector<std::string>& names) {
        m_rows->SetRows(names);
        SetRowCount(m_rows->count(), 0);
        RecalcLayout();
        Refresh();
    }

    void GetCellInfo(int column, int row, GridImageListDraw& info, bool) override {
        if (column != 0) return;
        info.imageList = &m_icons;
        info.index = m_rows->IconIndex(row);
    }
    GridCellText GetCellText(int column, int row) const override {
        if (column == 1) return {m_rows->Name(row), -1};
        return {};
    }
    const GridCellColors& GetRowColors(int column, int row) const override {
        const GridCellColors& base = CZYKGridCtrl::GetRowColors(column, row);
        GridCellColors& c = m_colours;
        c = base;
        if (row >= m_rows->count()) c.cellBackground = c.currentBackground = kPastEndColour;
        if (row == GetCurrentDataRow()) c.cellBackground = c.currentBackground = c.selectedBackground = kCurrentRowColour;
        return c;
    }
    void OnCurrentCellChanged(int column, int row) override {
        const int before = m_lastRow;
        CZYKGridCtrl::OnCurrentCellChanged(column, row);
        m_lastRow = row;
        if (before == row) return;
        Refresh(false);
        // A row made current by the keyboard is chosen as a click chooses it.
        if (onRowChanged) onRowChanged();
    }

    // Told when another row becomes current (a click or a key).
    std::function<void()> onRowChanged;
    void OnCellChangedHook(int column, int row) override { CZYKGridCtrl::OnCellChangedHook(column, row); }
    void PreCreateWindow(long& exStyle, long& style) override {
        CZYKGridCtrl::PreCreateWindow(exStyle, style);
        style &= ~kWsBorder;
        exStyle = (exStyle & ~kWsExClientEdge) | kWsExStaticEdge;
    }

private:
    ProjectListRows* m_rows;
    wxImageList m_icons;
    mutable GridCellColors m_colours;
    int m_lastRow = 0;  // the grid starts on its first row
};

namespace {

// Control 1072: the chosen background, centred on a grey field.
class BackgroundPreview : public wxPanel {
public:
    BackgroundPreview(wxWindow* parent, const wxRect& rect) : wxPanel(parent, 1072, rect.GetPosition(), rect.GetSize()) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxAutoBufferedPaintDC dc(this);
            Paint(dc);
        });
    }
    void Show(const fs::path& picture) {
        m_picture = platform::image::LoadPicture(picture);
        Refresh();
        Update();
    }
    void Paint(wxDC& dc) {
        const wxSize size = GetClientSize();
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(platform::ui::ToColour(kPreviewFill)));
        dc.DrawRectangle(0, 0, size.x, size.y);
        if (!m_picture.IsOk()) return;
        const PreviewRect r = PreviewPlacement(size.x, size.y, m_picture.GetWidth(), m_picture.GetHeight());
        if (r.width <= 0 || r.height <= 0) return;
        wxImage scaled = m_picture;
        if (r.width != scaled.GetWidth() || r.height != scaled.GetHeight())
            scaled = m_picture.Scale(r.width, r.height, wxIMAGE_QUALITY_HIGH);
        dc.DrawBitmap(wxBitmap(scaled), r.x, r.y, true);
    }

private:
    wxImage m_picture;
};

}  // namespace

// "自选试衣项目" (dialog 153).
class DlgSelfProject : public wxDialog, public platform::ui::MessageReceiver {
public:
    DlgSelfProject(wxWindow* parent, ChooserMode mode, int x, int y, fs::path base, ChooserSetup setup,
                   ProjectPacker pack)
        : wxDialog(parent, wxID_ANY, wxString::FromUTF8(setup.caption), wxDefaultPosition, wxDefaultSize,
                   wxDEFAULT_DIALOG_STYLE),
          m_mode(mode),
          m_base(std::move(base)),
          m_setup(std::move(setup)),
          m_pack(std::move(pack)) {
        SetName("DlgSelfProject");
        int top = kMargin;
        m_grid = new CProjectListGrid(&m_rows);
        m_grid->Create(0, 0x50000000 | grid::kStyleRowSelect,
                       wxRect(kMargin, top, kGridWidth, kGridHeight), this, 1005);
        top += kGridHeight + 6;
        m_nameText = new wxStaticText(this, 1006, "", wxPoint(kMargin, top + 3), wxSize(kGridWidth, kNameHeight - 3),
                                      wxST_NO_AUTORESIZE);
        top += kNameHeight + 4;
        if (m_setup.previewBackground) {
            m_preview = new BackgroundPreview(this, wxRect(kMargin, top, kGridWidth, kPreviewHeight));
            top += kPreviewHeight + 8;
        }
        const int right = kMargin + kGridWidth;
        auto* cancel = new wxButton(this, wxID_CANCEL, wxString::FromUTF8("取消"),
                                    wxPoint(right - kButtonWidth, top), wxSize(kButtonWidth, kButtonHeight));
        m_open = new wxButton(this, 1007, wxString::FromUTF8(m_setup.openLabel),
                              wxPoint(right - 2 * kButtonWidth - 8, top), wxSize(kButtonWidth, kButtonHeight));
        m_open->Disable();
        m_open->SetDefault();
        if (m_setup.showTransparent)
            new wxButton(this, 1008, wxString::FromUTF8(std::string(kTransparentLabel)), wxPoint(kMargin, top),
                         wxSize(kButtonWidth, kButtonHeight));
        (void)cancel;
        top += kButtonHeight + kMargin;
        SetClientSize(kGridWidth + 2 * kMargin, top);

        Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOpen(); }, 1007);
        Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnTransparent(); }, 1008);

        m_grid->SetRows(ListChooserTitles(m_setup.folder, m_setup.pattern));
        m_grid->onRowChanged = [this] { ChooseCurrentRow(); };
        Place(parent, x, y);
    }

    const ChooserResult& result() const { return m_result; }
    CProjectListGrid* grid() const { return m_grid; }

    std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t) override {
        if (id == grid::kMsgGridNotify && wparam == grid::kGridNotifyTag) ChooseCurrentRow();
        return 0;
    }

private:
    // The grid's current row, when it holds a name, is the chosen one.
    void ChooseCurrentRow() {
        const auto chosen = m_rows.Chosen(m_grid->GetCurrentDataRow());
        if (!chosen) return;
        if (*chosen == m_chosenRow) return;
        m_chosenRow = *chosen;
        m_chosenName = m_rows.Name(*chosen);
        m_open->Enable();
        m_nameText->SetLabel(wxString::FromUTF8(m_chosenName));
        if (m_preview) m_preview->Show(BackgroundPicturePath(m_base, m_chosenName));
    }

    void Place(wxWindow* parent, int x, int y) {
        if (m_setup.placement == ChooserPlacement::Centred) {
            CentreOnParent();
            return;
        }
        const ChooserPoint p = ChooserTopLeft(m_setup.placement, x, y, GetSize().x);
        Move(p.x, p.y);
        (void)parent;
    }

    void OnOpen() {
        if (m_chosenRow < 0) return;
        if (m_mode == ChooserMode::Pack) {
            SetTitle(wxString::FromUTF8(std::string(kPackingCaption)));
            m_open->Disable();
            Update();
            wxBusyCursor busy;
            m_result = ChooseName(m_mode, m_base, m_chosenName, m_pack);
        } else {
            m_result = ChooseName(m_mode, m_base, m_chosenName, m_pack);
        }
        EndModal(wxID_OK);
    }

    void OnTransparent() {
        m_result = ChooseTransparent();
        m_chosenName = m_result.name;
        EndModal(wxID_OK);
    }

    ChooserMode m_mode;
    fs::path m_base;
    ChooserSetup m_setup;
    ProjectPacker m_pack;
    ProjectListRows m_rows;
    CProjectListGrid* m_grid = nullptr;
    wxStaticText* m_nameText = nullptr;
    wxButton* m_open = nullptr;
    BackgroundPreview* m_preview = nullptr;
    int m_chosenRow = -1;
    std::string m_chosenName;
    ChooserResult m_result;
};

ChooserResult RunProjectChooser(wxWindow* parent, const ChooserRequest& request) {
    const fs::path base = request.base.empty() ? shell::BaseDirectory() : request.base;
    auto setup = ChooserSetupFor(static_cast<int>(request.mode), base);
    if (!setup) return {};
    ProjectPacker pack = [](std::string_view name, fs::path* package, std::string* error) {
        auto& packer = shell::DataPackage();
        if (!packer.Pack(name)) {
            *error = packer.GetLastErrorText();
            return false;
        }
        *package = packer.PackagePath(name);
        return true;
    };
    DlgSelfProject dlg(parent, request.mode, request.x, request.y, base, std::move(*setup), std::move(pack));
    if (dlg.ShowModal() != wxID_OK) return {};
    return dlg.result();
}

std::optional<platform::MessageRequest> RunPackChooser(wxWindow* parent) {
    ChooserRequest request;
    request.mode = ChooserMode::Pack;
    return PackReport(RunProjectChooser(parent, request));
}

ChooserRunner ProjectChooserRunner(wxWindow* parent) {
    return [parent](ChooserMode mode, int x, int y) {
        ChooserRequest request;
        request.mode = mode;
        request.x = x;
        request.y = y;
        return RunProjectChooser(parent, request);
    };
}

}  // namespace fitting_room
