#include "project_editor/picture_list_dlgs.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/listctrl.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "platform/image/picture_io.h"
#include "platform/ui/message_box.h"
#include "project_editor/dialog_support.h"
#include "project_editor/project_dialogs.h"

namespace fs = std::filesystem;

namespace project_editor {

namespace {

using dialog_support::W;

const wxColour kListBackground(0xD2, 0xD2, 0xFE);  // 0xFED2D2 as the system writes colours
const wxColour kMarkColour(0x0A, 0xC0, 0x00);      // 49162
constexpr int kPreviewSize = 220;

// A picture fitted inside w x h, keeping its proportions.
wxImage Fitted(const wxImage& image, int w, int h) {
    if (!image.IsOk() || w <= 0 || h <= 0) return {};
    const double s = std::min(static_cast<double>(w) / image.GetWidth(), static_cast<double>(h) / image.GetHeight());
    const int sw = std::max(1, static_cast<int>(image.GetWidth() * s));
    const int sh = std::max(1, static_cast<int>(image.GetHeight() * s));
    return image.Scale(sw, sh, wxIMAGE_QUALITY_HIGH);
}

}  // namespace

bool WxPictureResizer::ResizeToJpeg(const fs::path& from, const fs::path& to, int width, int height, std::string& why) {
    if (width < 1 || height < 1 || width > kMaxConvertSide || height > kMaxConvertSide) {
        why = "图片规格不对";
        return false;
    }
    wxImage image = platform::image::LoadPicture(from);
    if (!image.IsOk()) {
        why = "不是能读的图片";
        return false;
    }
    if (image.HasAlpha() || image.HasMask()) {  // laid on white, as the picture shows on the page
        if (image.HasMask()) image.InitAlpha();
        const int n = image.GetWidth() * image.GetHeight();
        unsigned char* rgb = image.GetData();
        const unsigned char* a = image.GetAlpha();
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = static_cast<unsigned char>((rgb[i * 3 + c] * a[i] + 255 * (255 - a[i])) / 255);
        image.ClearAlpha();
    }
    image.Rescale(width, height, wxIMAGE_QUALITY_HIGH);
    return platform::image::SavePicture(image, to, platform::image::PictureFormat::Jpeg, 90, &why);
}

// ---- CPicVoiceListDlg ----

CPicVoiceListDlg::CPicVoiceListDlg(wxWindow* parent) : wxDialog(parent, kIdPicVoiceListDialog, W("图片语音列表")) {
    SetName("CPicVoiceListDlg");
    m_list = new wxListCtrl(this, kIdPicVoiceList, wxPoint(10, 10), wxSize(330, 330),
                            wxLC_REPORT | wxLC_SINGLE_SEL | wxBORDER_SUNKEN);
    m_list->SetBackgroundColour(kListBackground);
    m_list->SetTextColour(*wxBLACK);
    m_preview = new wxPanel(this, kIdPicVoicePreview, wxPoint(350, 10), wxSize(kPreviewSize, kPreviewSize),
                            wxBORDER_SUNKEN);
    m_preview->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_preview->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(m_preview);
        DrawPreview(dc);
    });
    m_confirm = new wxButton(this, kIdPicVoiceConfirm, W("确 认"), wxPoint(350, 306), wxSize(kPreviewSize, 34));
    m_confirm->Disable();
    SetClientSize(350 + kPreviewSize + 10, 350);
    m_list->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent& e) { SelectRow(static_cast<int>(e.GetIndex())); });
    m_list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) { Confirm(); });
    m_confirm->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Confirm(); });
    CentreOnParent();
}

void CPicVoiceListDlg::SetList(int kind, const std::string& extension, const std::string& sub) {
    m_kind = kind;
    m_sub = sub;
    SetTitle(W(ListCaption(kind)));
    const fs::path project = ProjectFolderOf(CProjectStore::Instance());
    m_folder = project / fs::path(sub);
    m_names = ListProjectFiles(project, sub, extension);
    m_selected = -1;
    m_picture = wxImage();
    m_width = m_height = 0;
    m_list->ClearAll();
    m_list->InsertColumn(0, W("序号"), wxLIST_FORMAT_LEFT, 50);
    const bool sounds = kind == kListAnimationSounds || kind == kListPictureSounds;
    m_list->InsertColumn(1, W(sounds ? "音乐(或语音)名" : "图片名称"), wxLIST_FORMAT_LEFT, 260);
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        const long row = m_list->InsertItem(static_cast<long>(i), std::to_string(i + 1));
        m_list->SetItem(row, 1, W(m_names[i]));
    }
    m_confirm->Disable();
    m_preview->Refresh();
}

void CPicVoiceListDlg::SelectRow(int row) {
    if (row < 0 || row >= static_cast<int>(m_names.size())) return;
    m_selected = row;
    if (m_list->GetItemState(row, wxLIST_STATE_SELECTED) == 0)
        m_list->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                             wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    m_confirm->Enable();
    if (m_sub == kShowSubfolderName) {
        m_picture = platform::image::LoadPicture(m_folder / fs::path(m_names[static_cast<std::size_t>(row)]));
        m_width = m_picture.IsOk() ? m_picture.GetWidth() : 0;
        m_height = m_picture.IsOk() ? m_picture.GetHeight() : 0;
        m_preview->Refresh();
    }
}

void CPicVoiceListDlg::GetSelection(int& width, int& height) const {
    width = m_width;
    height = m_height;
}

void CPicVoiceListDlg::Confirm() {
    if (m_selected < 0) return;
    m_result = PickResultName(m_names[static_cast<std::size_t>(m_selected)]);
    if (IsModal()) EndModal(wxID_OK);
}

void CPicVoiceListDlg::DrawPreview(wxDC& dc) {
    const wxSize size = m_preview->GetClientSize();
    dc.SetBackground(wxBrush(wxColour(240, 240, 240)));
    dc.Clear();
    if (!m_picture.IsOk()) return;
    const wxImage fitted = Fitted(m_picture, size.x - 8, size.y - 8);
    if (fitted.IsOk())
        dc.DrawBitmap(wxBitmap(fitted), (size.x - fitted.GetWidth()) / 2, (size.y - fitted.GetHeight()) / 2, true);
}

// ---- CBkgPictureDlg ----

CBkgPictureDlg::CBkgPictureDlg(wxWindow* parent, const std::string& title, char mode)
    : wxDialog(parent, kIdBkgDialog, W("选背景图")), m_title(title), m_mode(mode) {
    SetName("CBkgPictureDlg");
    // The gallery spans the two corner statics 1033 and 1034.
    m_gallery = new wxPanel(this, kIdBkgGalleryTopLeft, wxPoint(10, 10), wxSize(604, 494), wxBORDER_SUNKEN);
    m_gallery->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_gallery->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(m_gallery);
        DrawGallery(dc);
    });
    m_gallery->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) { ClickThumbnail(ThumbnailAt(e.GetPosition())); });
    m_gallery->Bind(wxEVT_MOTION, [this](wxMouseEvent& e) {
        const int i = ThumbnailAt(e.GetPosition());
        m_gallery->SetCursor(i >= 0 ? wxCursor(wxCURSOR_HAND) : wxNullCursor);
        if (i != m_hover) {
            m_hover = i;
            m_gallery->Refresh(false);
        }
    });
    const int y = 514;
    m_name = new wxStaticText(this, kIdBkgName, "", wxPoint(10, y + 6), wxSize(180, 20), wxST_ELLIPSIZE_END);
    new wxStaticText(this, wxID_ANY, W("图片规格"), wxPoint(200, y + 6));
    m_width = new wxTextCtrl(this, kIdBkgWidth, "800", wxPoint(262, y), wxSize(64, -1));
    new wxStaticText(this, wxID_ANY, "x", wxPoint(332, y + 6));
    m_height = new wxTextCtrl(this, kIdBkgHeight, "600", wxPoint(344, y), wxSize(64, -1));
    m_convert = new wxButton(this, kIdBkgConvert, W("转换图片"), wxPoint(418, y - 2), wxSize(90, 32));
    m_confirm = new wxButton(this, kIdBkgConfirm, W("确 认"), wxPoint(524, y - 2), wxSize(90, 32));
    SetClientSize(624, y + 40);
    m_convert->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Convert(); });
    m_confirm->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (IsModal()) EndModal(wxID_OK);
    });
    m_convert->Disable();
    if (m_mode != ' ') {
        SetTitle(W(m_title));
    } else {
        m_convert->Hide();
        for (wxWindow* w : {static_cast<wxWindow*>(m_width), static_cast<wxWindow*>(m_height)}) w->Hide();
        for (wxWindowList::compatibility_iterator n = GetChildren().GetFirst(); n; n = n->GetNext())
            if (auto* s = dynamic_cast<wxStaticText*>(n->GetData()); s && s != m_name) s->Hide();
        m_confirm->Disable();
    }
    List();
    Move(30, 30);
}

void CBkgPictureDlg::List() {
    m_listing = ListBackgrounds(CProjectStore::Instance().BaseDir(), m_title, m_mode);
    m_marks.assign(m_listing.titles.size(), ' ');
    m_thumbs.clear();
    m_gallery->Refresh();
}

std::vector<Rect> CBkgPictureDlg::cells() const {
    const wxSize s = m_gallery->GetClientSize();
    return BackgroundCells({0, 0, s.x, s.y}, static_cast<int>(m_listing.titles.size()));
}

int CBkgPictureDlg::ThumbnailAt(wxPoint p) const {
    const auto all = cells();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i].Contains({p.x, p.y})) return static_cast<int>(i);
    return -1;
}

void CBkgPictureDlg::ClickThumbnail(int i) {
    if (i < 0 || i >= static_cast<int>(m_listing.titles.size())) return;
    if (m_mode == ' ') {
        m_chosen = m_listing.titles[static_cast<std::size_t>(i)];
        m_name->SetLabel(W(m_chosen));
        m_confirm->Enable();
    } else {
        char& m = m_marks[static_cast<std::size_t>(i)];
        m = m == 'Y' ? ' ' : 'Y';
        m_convert->Enable(convertEnabled());
    }
    m_gallery->Refresh(false);
}

bool CBkgPictureDlg::convertEnabled() const {
    return m_mode != ' ' && std::find(m_marks.begin(), m_marks.end(), 'Y') != m_marks.end();
}

void CBkgPictureDlg::SetSizeTexts(const std::string& width, const std::string& height) {
    m_width->ChangeValue(W(width));
    m_height->ChangeValue(W(height));
}

void CBkgPictureDlg::Convert() {
    if (!convertEnabled()) return;
    const ConvertSize size =
        ParseConvertSize(std::string(m_width->GetValue().utf8_str()), std::string(m_height->GetValue().utf8_str()));
    if (!size.ok) {
        platform::ui::ShowMessage(size.error, platform::MbButtons::Ok, platform::MbIcon::Exclamation,
                                  std::string(kSpecialTipCaption), this);
        return;
    }
    std::vector<std::string> marked;
    for (std::size_t i = 0; i < m_marks.size(); ++i)
        if (m_marks[i] == 'Y') marked.push_back(m_listing.titles[i]);
    WxPictureResizer resizer;
    {
        wxBusyCursor busy;
        m_lastConvert = ConvertBackgrounds(m_listing.folder, marked, size, resizer);
    }
    std::string text = "转换了 " + std::to_string(m_lastConvert.converted) + " 张图片 (" + std::to_string(size.width) +
                       " x " + std::to_string(size.height) + ")。";
    for (const std::string& f : m_lastConvert.failed) text += "\n" + f;
    if (!m_lastConvert.failed.empty())
        platform::ui::ShowMessage(text, platform::MbButtons::Ok, platform::MbIcon::Exclamation,
                                  std::string(kSpecialTipCaption), this);
    m_name->SetLabel(W(text.substr(0, text.find('\n'))));
    m_thumbs.clear();
    m_gallery->Refresh();
}

const wxBitmap& CBkgPictureDlg::Thumbnail(int i, int w, int h) {
    auto it = m_thumbs.find(i);
    if (it != m_thumbs.end()) return it->second;
    const fs::path file = m_listing.folder / fs::path(m_listing.titles[static_cast<std::size_t>(i)] + ".jpg");
    const wxImage fitted = Fitted(platform::image::LoadPicture(file), w, h);
    return m_thumbs[i] = fitted.IsOk() ? wxBitmap(fitted) : wxBitmap();
}

void CBkgPictureDlg::DrawGallery(wxDC& dc) {
    dc.SetBackground(wxBrush(wxColour(236, 236, 236)));
    dc.Clear();
    const auto all = cells();
    for (std::size_t k = 0; k < all.size(); ++k) {
        const int i = static_cast<int>(k);
        const Rect& c = all[k];
        // The picture above, its title below.
        Rect inner = c.Inflate(-4);
        inner.bottom -= 14;
        const bool picked = m_mode == ' ' && m_listing.titles[k] == m_chosen;
        dc.SetPen(wxPen(i == m_hover || picked ? wxColour(30, 110, 220) : wxColour(200, 200, 200)));
        dc.SetBrush(*wxWHITE_BRUSH);
        dc.DrawRectangle(c.left + 2, c.top + 2, c.width() - 4, c.height() - 4);
        const wxBitmap& b = Thumbnail(i, inner.width() - 2, inner.height() - 2);
        if (b.IsOk())
            dc.DrawBitmap(b, inner.left + (inner.width() - b.GetWidth()) / 2,
                          inner.top + (inner.height() - b.GetHeight()) / 2, false);
        dc.SetFont(wxFont(wxFontInfo(8)));
        dc.SetTextForeground(wxColour(60, 60, 60));
        dc.DrawLabel(W(m_listing.titles[k]), wxRect(c.left + 4, inner.bottom, c.width() - 8, 14),
                     wxALIGN_CENTRE_HORIZONTAL | wxALIGN_TOP);
        if (marked(i)) {
            dc.SetPen(wxPen(kMarkColour, 2));
            dc.SetBrush(*wxTRANSPARENT_BRUSH);
            dc.DrawRectangle(c.left + 3, c.top + 3, c.width() - 5, c.height() - 5);
        }
    }
}

}  // namespace project_editor
