#include "image_editor/edit_sub_dialogs.h"

#include <system_error>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/fontdlg.h>
#include <wx/graphics.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "image_editor/camera_sys_info.h"
#include "image_editor/sub_dialog_rules.h"
#include "picture_controls/my_color_sel_dlg.h"
#include "picture_controls/surface_image.h"
#include "platform/image/picture_cache.h"
#include "platform/image/picture_io.h"
#include "platform/ui/colour.h"
#include "platform/ui/message_box.h"
#include "platform/ui/placement.h"
#include "project_editor/shell_tree_ctrl.h"

namespace image_editor {

namespace fs = std::filesystem;
using platform::ui::ToColour;

namespace {

constexpr const char* kCaption = "特别提示";

void Frame3d(wxDC& dc, const wxRect& r, unsigned topLeft, unsigned bottomRight) {
    dc.SetPen(wxPen(ToColour(topLeft)));
    dc.DrawLine(r.x, r.y, r.GetRight(), r.y);
    dc.DrawLine(r.x, r.y, r.x, r.GetBottom());
    dc.SetPen(wxPen(ToColour(bottomRight)));
    dc.DrawLine(r.GetRight(), r.y, r.GetRight(), r.GetBottom() + 1);
    dc.DrawLine(r.x, r.GetBottom(), r.GetRight(), r.GetBottom());
}

// The picture scaled by the smaller ratio (never enlarged), centred in `box`.
void DrawFitted(wxDC& dc, const wxImage& img, const wxRect& box, bool enlarge) {
    if (!img.IsOk() || box.width <= 0 || box.height <= 0) return;
    double s = std::min(static_cast<double>(box.width) / img.GetWidth(), static_cast<double>(box.height) / img.GetHeight());
    if (!enlarge) s = std::min(s, 1.0);
    const int w = std::max(1, static_cast<int>(img.GetWidth() * s)), h = std::max(1, static_cast<int>(img.GetHeight() * s));
    wxBitmap bmp(img.Scale(w, h, wxIMAGE_QUALITY_BICUBIC));
    dc.DrawBitmap(bmp, box.x + (box.width - w) / 2, box.y + (box.height - h) / 2, true);
}

}  // namespace

// --- make-up swatches ----------------------------------------------------------------

CMakeupSwatchDlg::CMakeupSwatchDlg(wxWindow* parent, const wxPoint& screen)
    : wxDialog(parent, 167, wxEmptyString, screen, wxDefaultSize, wxBORDER_RAISED, "makeup_swatch_dlg") {
    SetClientSize(200, 236);
    m_frame = {10, 8, 190, 194};  // frame static 1070
    m_ok = new wxButton(this, wxID_OK, "OK", wxPoint(20, 202), wxSize(74, 26));
    new wxButton(this, wxID_CANCEL, "Cancel", wxPoint(106, 202), wxSize(74, 26));
    m_ok->Disable();
    LoadSwatches();
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(this);
        Draw(dc);
    });
    Bind(wxEVT_MOTION, [this](wxMouseEvent& e) {
        SetCursor(HitSwatch(m_cells, e.GetX(), e.GetY()) >= 0 ? wxCursor(wxCURSOR_HAND) : *wxSTANDARD_CURSOR);
    });
    Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) { ClickAt(e.GetX(), e.GetY()); });
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        TakeSample();
        EndModal(wxID_OK);
    }, wxID_OK);
    if (screen != wxDefaultPosition) platform::ui::KeepPlaced(this, screen);
}

void CMakeupSwatchDlg::LoadSwatches() {
    m_paths = CCameraSysInfo::Instance().ListMakeupSwatches(kMaxSwatches);
    m_cells = SwatchLayout(m_frame, static_cast<int>(m_paths.size()));
}

void CMakeupSwatchDlg::ClickAt(int x, int y) {
    const int i = HitSwatch(m_cells, x, y);
    if (i < 0) return;
    m_chosen = i;
    m_ok->Enable();
    Refresh();
}

void CMakeupSwatchDlg::Draw(wxDC& dc) {
    const wxSize c = GetClientSize();
    dc.SetBrush(wxBrush(ToColour(0xC8C8C8)));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(0, 0, c.x, c.y);
    Frame3d(dc, wxRect(m_frame.left, m_frame.top, m_frame.Width(), m_frame.Height()), 0x808080, 0xFFFFFF);
    for (std::size_t i = 0; i < m_cells.size(); ++i) {
        const Rect& r = m_cells[i];
        if (auto img = platform::image::CachedPicture(m_paths[i]); img && img->IsOk())
            dc.DrawBitmap(wxBitmap(img->Scale(kSwatchSize, kSwatchSize, wxIMAGE_QUALITY_BICUBIC)), r.left, r.top, true);
        Frame3d(dc, wxRect(r.left - 1, r.top - 1, r.Width() + 2, r.Height() + 2), 0x2C2C2C, 0xBCBCBC);
        if (static_cast<int>(i) == m_chosen) {
            dc.SetBrush(*wxTRANSPARENT_BRUSH);
            dc.SetPen(wxPen(*wxWHITE, 2));
            dc.DrawRectangle(r.left - 3, r.top - 3, r.Width() + 6, r.Height() + 6);
        }
    }
}

void CMakeupSwatchDlg::TakeSample() {
    if (m_chosen < 0 || m_chosen >= static_cast<int>(m_cells.size())) return;
    // What the dialog shows, read back from our own drawing of it.
    const wxSize c = GetClientSize();
    wxBitmap bmp(c.x, c.y, 24);
    {
        wxMemoryDC dc(bmp);
        const int keep = m_chosen;
        m_chosen = -1;  // the selection frame is not part of the sample
        Draw(dc);
        m_chosen = keep;
    }
    const Surface s = picture_controls::SurfaceFromImage(bmp.ConvertToImage());
    const Rect& r = m_cells[static_cast<std::size_t>(m_chosen)];
    Engine().SampleMakeupArea(s, SwatchSampleX(r), SwatchSampleY(r));
}

// --- caption text --------------------------------------------------------------------

CTextItemDlg::CTextItemDlg(wxWindow* parent, const TextItem& item, const wxPoint& leftBottom)
    : wxDialog(parent, 178, wxString::FromUTF8("编辑显示文字"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE, "text_item_dlg"),
      m_item(item) {
    SetClientSize(360, 150);
    new wxStaticText(this, wxID_ANY, wxString::FromUTF8("显示文字"), wxPoint(10, 14));
    m_text = new wxTextCtrl(this, 1077, wxString::FromUTF8(item.caption), wxPoint(80, 10), wxSize(270, 26));
    wxArrayString sizes;
    for (int s : {12, 16, 20, 24, 28, 32, 36, 48, 60, 72}) sizes.Add(wxString::Format("%d", s));
    new wxStaticText(this, wxID_ANY, wxString::FromUTF8("字号"), wxPoint(10, 50));
    m_size = new wxComboBox(this, 1078, wxString::FromUTF8(item.sizeText), wxPoint(80, 46), wxSize(80, -1), sizes,
                            wxCB_READONLY);
    auto* font = new wxButton(this, 1079, wxString::FromUTF8("选择字体"), wxPoint(170, 46), wxSize(90, 28));
    m_fontName = new wxStaticText(this, 1080, wxString::FromUTF8(item.fontFace), wxPoint(266, 52));
    auto* colour = new wxButton(this, 1082, wxString::FromUTF8("颜色"), wxPoint(80, 80), wxSize(70, 28));
    m_swatch = new wxWindow(this, wxID_ANY, wxPoint(150 + 3, 84), wxSize(18, 20));
    m_swatch->SetBackgroundColour(ToColour(m_item.colour));
    new wxButton(this, wxID_OK, wxString::FromUTF8("确认修改"), wxPoint(170, 114), wxSize(86, 28));
    new wxButton(this, wxID_CANCEL, wxString::FromUTF8("取 消"), wxPoint(264, 114), wxSize(86, 28));
    font->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        wxFontData data;
        data.EnableEffects(true);
        wxFontDialog dlg(this, data);
        if (dlg.ShowModal() == wxID_OK) {
            m_item.fontFace = dlg.GetFontData().GetChosenFont().GetFaceName().utf8_string();
            m_fontName->SetLabel(wxString::FromUTF8(m_item.fontFace));
        }
    });
    colour->Bind(wxEVT_BUTTON, [this, colour](wxCommandEvent&) {
        CCMyColorSelDlg dlg(m_item.colour, 0, this);
        const wxPoint at = colour->GetScreenPosition();
        dlg.SetPosition(at.x, at.y + colour->GetSize().y, 0);
        if (dlg.DoModal() == wxID_OK) {
            m_item.colour = dlg.GetColor();
            m_swatch->SetBackgroundColour(ToColour(m_item.colour));
            m_swatch->Refresh();
        }
    });
    m_size->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) { m_item.sizeText = m_size->GetValue().utf8_string(); });
    if (leftBottom != wxDefaultPosition) platform::ui::KeepPlaced(this, wxPoint(leftBottom.x, leftBottom.y - GetSize().y));
}

void CTextItemDlg::SetCaption(const std::string& text) { m_text->SetValue(wxString::FromUTF8(text)); }
void CTextItemDlg::SetSizeText(const std::string& size) {
    m_size->SetValue(wxString::FromUTF8(size));
    m_item.sizeText = size;
}

TextItem CTextItemDlg::result() const {
    TextItem t = m_item;
    t.caption = m_text->GetValue().utf8_string();
    t.sizeText = m_size->GetValue().utf8_string();
    return t;
}

// --- photo save ----------------------------------------------------------------------

CPhotoSaveDlg::CPhotoSaveDlg(wxWindow* parent, const fs::path& source, const wxPoint& screen)
    : wxDialog(parent, 181, wxString::FromUTF8("拍照保留图片"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE, "photo_save_dlg"),
      m_source(source) {
    SetClientSize(420, 330);
    m_preview = new wxWindow(this, 1087, wxPoint(10, 10), wxSize(250, 250));
    m_preview->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_preview->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(m_preview);
        DrawPreview(dc, wxRect(wxPoint(0, 0), m_preview->GetClientSize()));
    });
    auto* choose = new wxButton(this, 1084, wxString::FromUTF8("选择目录"), wxPoint(270, 10), wxSize(140, 28));
    m_folderText = new wxStaticText(this, 1085, wxEmptyString, wxPoint(10, 268), wxSize(400, 20), wxST_ELLIPSIZE_START);
    new wxStaticText(this, wxID_ANY, wxString::FromUTF8("图片名:"), wxPoint(270, 52));
    m_name = new wxTextCtrl(this, 1086, wxString::FromUTF8(std::string(kDefaultPhotoName)), wxPoint(270, 72),
                            wxSize(140, 26));
    new wxButton(this, wxID_OK, wxString::FromUTF8("确认保存"), wxPoint(220, 294), wxSize(90, 28));
    new wxButton(this, wxID_CANCEL, wxString::FromUTF8("取 消"), wxPoint(320, 294), wxSize(90, 28));
    // The folder: the remembered one of the settings, the last chosen one,
    // else the photo folder.
    fs::path folder = CCameraSysInfo::Instance().GetSetText(201);
    PhotoSaveMemory& memory = SaveMemory();
    if (!memory.lastFolder.empty()) folder = memory.lastFolder;
    if (folder.empty()) folder = CCameraSysInfo::Instance().GetPhotoDir();
    SetFolder(folder);
    if (!memory.lastName.empty()) m_name->SetValue(wxString::FromUTF8(memory.lastName));
    choose->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ChooseFolder(); });
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (Save()) EndModal(wxID_OK);
    }, wxID_OK);
    if (screen != wxDefaultPosition) platform::ui::KeepPlaced(this, screen);
}

std::string CPhotoSaveDlg::name() const { return m_name->GetValue().utf8_string(); }
void CPhotoSaveDlg::SetName(const std::string& name) { m_name->SetValue(wxString::FromUTF8(name)); }
void CPhotoSaveDlg::SetFolder(const fs::path& folder) {
    m_folder = folder;
    m_folderText->SetLabel(wxString::FromUTF8(folder.string()));
}

void CPhotoSaveDlg::DrawPreview(wxDC& dc, const wxRect& frame) {
    dc.SetBrush(wxBrush(ToColour(0xC8C8C8)));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(frame);
    Frame3d(dc, frame, 0x424242, 0xE9E9E9);
    const wxImage img = platform::image::LoadPicture(m_source);
    DrawFitted(dc, img, wxRect(frame).Deflate(2), false);
}

void CPhotoSaveDlg::ChooseFolder() {
    CFolderPickDlg dlg(this, m_folder);
    if (dlg.ShowModal() != wxID_OK) return;
    SaveMemory().lastFolder = dlg.path().string();
    SetFolder(dlg.path());
    CCameraSysInfo::Instance().GetSetText(202, dlg.path().string());
}

bool CPhotoSaveDlg::Save() {
    const std::string n = name();
    auto tell = [this](const std::string& text, platform::MbIcon icon) {
        platform::ui::ShowMessage({text, kCaption, platform::MbButtons::Ok, icon}, this);
    };
    switch (CheckPhotoName(n)) {
        case PhotoNameCheck::Empty: tell("请输入图片名!", platform::MbIcon::Exclamation); return false;
        case PhotoNameCheck::BadCharacters:
            tell("图片名 < " + n + " > 不能作文件名!", platform::MbIcon::Exclamation);
            return false;
        case PhotoNameCheck::Ok: break;
    }
    std::error_code ec;
    fs::create_directories(m_folder, ec);
    if (!fs::is_directory(m_folder, ec)) {
        tell("不能建立目录 < " + m_folder.string() + " > !", platform::MbIcon::Stop);
        return false;
    }
    const fs::path target = PhotoSaveTarget(m_folder, n);
    if (fs::exists(target, ec) &&
        platform::ui::ShowMessage({ReplaceQuestion(n), kCaption, platform::MbButtons::YesNo, platform::MbIcon::Question},
                                  this) != platform::MbResult::Yes)
        return false;
    const wxImage img = platform::image::LoadPicture(m_source);
    std::string error;
    if (!img.IsOk() ||
        !platform::image::SavePicture(img, target, platform::image::PictureFormat::Jpeg, 100, &error)) {
        tell("图片保存失败 < " + target.string() + " > !" + (error.empty() ? "" : "\n" + error), platform::MbIcon::Stop);
        return false;
    }
    SaveMemory().lastName = n;
    m_saved = target;
    return true;
}

// --- folder chooser --------------------------------------------------------------------

CFolderPickDlg::CFolderPickDlg(wxWindow* parent, const fs::path& start)
    : wxDialog(parent, 142, wxString::FromUTF8("选择(创建)目录"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE, "folder_pick_dlg"),
      m_path(start.empty() ? CCameraSysInfo::Instance().GetPhotoDir() : start),
      m_newName(kDefaultFolderName) {
    SetClientSize(380, 420);
    m_tree = new project_editor::CShellTreeCtrl(this, 1024);
    m_tree->SetSize(10, 10, 360, 320);
    m_name = new wxTextCtrl(this, 1027, wxString::FromUTF8(m_newName), wxPoint(10, 340), wxSize(250, 26));
    m_create = new wxButton(this, 1026, wxString::FromUTF8("创建"), wxPoint(270, 340), wxSize(100, 28));
    m_confirm = new wxButton(this, 1025, wxString::FromUTF8("确认"), wxPoint(170, 380), wxSize(96, 28));
    new wxButton(this, wxID_OK, wxString::FromUTF8("默认"), wxPoint(274, 380), wxSize(96, 28));
    m_confirm->Disable();
    Bind(wxEVT_TREE_ITEM_EXPANDING, [this](wxTreeEvent& e) { m_tree->ExpandItem(e); }, 1024);
    Bind(wxEVT_TREE_SEL_CHANGED, [this](wxTreeEvent&) {
        fs::path p;
        if (m_filling || !m_tree->GetSelectedPath(p)) {
            ++m_changes;
            return;
        }
        ++m_changes;
        m_confirm->Enable();
        m_path = p;
        SetTitle(wxString::FromUTF8(p.string()));
    }, 1024);
    m_name->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
        m_newName = m_name->GetValue().utf8_string();
        m_create->Enable(!m_newName.empty());
    });
    m_create->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (CreateFolder()) EndModal(wxID_OK);
    });
    m_confirm->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(wxID_OK); });
    m_tree->AttachSystemImageList();
    m_tree->Populate();
    m_tree->SelectFolder(m_path);
    m_filling = false;
    SetTitle(wxString::FromUTF8(m_path.string()));
}

void CFolderPickDlg::SetNewName(const std::string& name) { m_name->SetValue(wxString::FromUTF8(name)); }

bool CFolderPickDlg::CreateFolder() {
    if (m_newName.empty()) return false;
    const fs::path made = m_path / fs::path(m_newName);
    std::error_code ec;
    if (m_newName.find('/') != std::string::npos || !fs::create_directory(made, ec) || ec) {
        if (!fs::is_directory(made, ec) || m_newName.find('/') != std::string::npos) {
            platform::ui::ShowMessage({CreateFolderFailed(made.string()), kCaption, platform::MbButtons::Ok,
                                       platform::MbIcon::Stop},
                                      this);
            return false;
        }
    }
    m_path = made;
    return true;
}

}  // namespace image_editor
