#include "fitting_room/replace_cloth_dlg.h"

#include <algorithm>
#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/filedlg.h>
#include <wx/panel.h>
#include <wx/sizer.h>

#include "fitting_room/dress_toolbar_rules.h"
#include "fitting_room/shared_objects.h"
#include "platform/image/picture_cache.h"
#include "platform/ui/dialog_end.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "shell/base_directory.h"

namespace fs = std::filesystem;
using namespace fitting_room;

namespace {
const wxColour kBack(0xA6, 0xB1, 0xA6);

std::shared_ptr<const wxImage> Picture(const fs::path& p) { return platform::image::PictureCache::Instance().Get(p); }

// The picture drawn centred in the box, scaled by the smaller ratio, never up.
void DrawFitted(wxDC& dc, const wxImage& img, const wxRect& box) {
    if (!img.IsOk() || img.GetWidth() < 1 || img.GetHeight() < 1 || box.width < 1 || box.height < 1) return;
    const double s = std::min({1.0, double(box.width) / img.GetWidth(), double(box.height) / img.GetHeight()});
    const int w = std::max(1, int(img.GetWidth() * s)), h = std::max(1, int(img.GetHeight() * s));
    const wxImage scaled = (w == img.GetWidth() && h == img.GetHeight()) ? img : img.Scale(w, h, wxIMAGE_QUALITY_HIGH);
    dc.DrawBitmap(wxBitmap(scaled), box.x + (box.width - w) / 2, box.y + (box.height - h) / 2, true);
}

wxPanel* PaintedPanel(wxWindow* parent, int id, wxSize size, std::function<void(wxDC&)> paint) {
    auto* p = new wxPanel(parent, id, wxDefaultPosition, size, wxFULL_REPAINT_ON_RESIZE);
    p->SetBackgroundStyle(wxBG_STYLE_PAINT);
    p->Bind(wxEVT_PAINT, [p, paint](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(p);
        paint(dc);
    });
    return p;
}
}  // namespace

fs::path& CDlgReplaceCloth::Folder() {
    static fs::path folder;
    return folder;
}

CDlgReplaceCloth::CDlgReplaceCloth(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("替换或添加服装项目"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE) {
    SetBackgroundColour(kBack);
    if (Folder().empty()) Folder() = shell::BaseDirectory();
    PickedItem item;
    if (RightGarmentList().GetPickedItem(&item) == 1) {
        m_target = item.picture;
        m_scale = item.scale;
    }
    m_thumbs = PaintedPanel(this, 1077, wxSize(66 * 6 + 8, 66 * 4 + 8), [this](wxDC& dc) { PaintThumbs(dc); });
    m_targetView = PaintedPanel(this, 1078, wxSize(150, 150),
                                [this](wxDC& dc) { PaintPreview(dc, m_targetView, m_target); });
    m_sourceView = PaintedPanel(this, 1079, wxSize(150, 150),
                                [this](wxDC& dc) { PaintPreview(dc, m_sourceView, m_source); });
    m_thumbs->SetCursor(platform::ui::LoadCursorResource(131));
    m_thumbs->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) { ClickThumbs(e.GetPosition()); });

    auto* folder = new wxButton(this, 1080, wxString::FromUTF8("选图片目录"));
    auto* add = new wxButton(this, 1081, wxString::FromUTF8("添加同类图片"));
    auto* replace = new wxButton(this, 1082, wxString::FromUTF8("替换同类图片"));
    auto* back = new wxButton(this, 1083, wxString::FromUTF8("←"), wxDefaultPosition, wxSize(40, -1));
    auto* forward = new wxButton(this, 1084, wxString::FromUTF8("→"), wxDefaultPosition, wxSize(40, -1));
    add->Disable();  // adding a same-kind picture has no action in this system
    folder->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnChooseFolder(); });
    replace->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Replace(); });
    back->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { PageBack(); });
    forward->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { PageForward(); });

    auto* previews = new wxBoxSizer(wxVERTICAL);
    previews->Add(m_targetView, 0, wxALL, 4);
    previews->Add(m_sourceView, 0, wxALL, 4);
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(m_thumbs, 1, wxEXPAND | wxALL, 4);
    top->Add(previews, 0);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    for (wxWindow* b : std::initializer_list<wxWindow*>{back, forward, folder, add, replace})
        buttons->Add(b, 0, wxALL, 4);
    auto* all = new wxBoxSizer(wxVERTICAL);
    all->Add(top, 1, wxEXPAND);
    all->Add(buttons, 0, wxALIGN_RIGHT);
    SetSizerAndFit(all);
    // The dialog has no close button of its own: Escape and the window's
    // close box end it without replacing anything.
    platform::ui::CancelOnEscapeAndClose(*this);
    ListFolder();
}

void CDlgReplaceCloth::ListFolder() {
    m_names = ListPngFiles(Folder());
    m_pageStart = 0;
    Refresh();
}

ThumbGrid CDlgReplaceCloth::Grid() const {
    const wxSize s = m_thumbs->GetClientSize();
    return LayOutThumbs({0, 0, s.x, s.y});
}

void CDlgReplaceCloth::PaintThumbs(wxDC& dc) {
    dc.SetBackground(wxBrush(kBack));
    dc.Clear();
    const ThumbGrid g = Grid();
    const int count = static_cast<int>(m_names.size());
    for (int i = 0; i < g.rows; ++i)
        for (int j = 0; j < g.columns; ++j) {
            const int n = m_pageStart + g.columns * i + j;
            if (n >= count) return;
            const Point o = g.CellOrigin(i, j);
            if (auto img = Picture(Folder() / fs::path(m_names[n])))
                DrawFitted(dc, *img, wxRect(o.x, o.y, kThumbBox, kThumbBox));
        }
}

void CDlgReplaceCloth::PaintPreview(wxDC& dc, wxPanel* panel, const fs::path& picture) {
    const wxSize s = panel->GetClientSize();
    dc.SetBackground(wxBrush(kBack));
    dc.Clear();
    if (picture.empty()) return;
    if (auto img = Picture(picture)) DrawFitted(dc, *img, wxRect(3, 3, s.x - 6, s.y - 6));
}

void CDlgReplaceCloth::ClickThumbs(wxPoint p) {
    const int n = ThumbAt(Grid(), m_pageStart, static_cast<int>(m_names.size()), {p.x, p.y});
    if (n < 0) return;
    m_source = Folder() / fs::path(m_names[n]);
    m_sourceView->Refresh();
}

void CDlgReplaceCloth::PageBack() {
    m_pageStart = fitting_room::PageBack(m_pageStart, Grid());
    m_thumbs->Refresh();
}

void CDlgReplaceCloth::PageForward() {
    m_pageStart = fitting_room::PageForward(m_pageStart, Grid(), static_cast<int>(m_names.size()));
    m_thumbs->Refresh();
}

void CDlgReplaceCloth::ChooseFile(const fs::path& file) {
    m_source = file;
    Folder() = file.parent_path();
    ListFolder();
}

void CDlgReplaceCloth::OnChooseFolder() {
    wxFileDialog dlg(this, wxString::FromUTF8("选择服饰图片目录"), wxString::FromUTF8(Folder().string()),
                     wxEmptyString, wxString::FromUTF8(CaseBlindWildcard("图形文件(*.png)", "*.png")),
                     wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dlg.ShowModal() == wxID_OK) ChooseFile(fs::path(dlg.GetPath().utf8_string()));
}

bool CDlgReplaceCloth::Replace() {
    if (m_target.empty() || m_source.empty()) return false;
    auto& cache = platform::image::PictureCache::Instance();
    const auto targetSize = cache.SizeOf(m_target);
    const auto sourceSize = cache.SizeOf(m_source);
    const float scale = ReplacedScale(targetSize ? targetSize->x : 0, m_scale, sourceSize ? sourceSize->x : 0);
    std::string error;
    if (!RightGarmentList().ReplaceItemPicture(100, m_target, m_source, scale, &error)) {
        platform::ui::ShowMessage(error.empty() ? "替换图片失败。" : "替换图片失败: " + error, platform::MbButtons::Ok,
                                  platform::MbIcon::Exclamation, "特别提示", this);
        return false;
    }
    m_scale = scale;
    // The stage shows the new picture at its own proportions at once.
    FittingModel().RefitRightPicture(m_target, scale);
    if (IsModal()) EndModal(wxID_OK);
    return true;
}
