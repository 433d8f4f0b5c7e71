// The photo-edit dialog. Control places are fixed pixels on a 1040 x 680
// client area laid out after the dialog's template: the canvas at the left
// with the upper tool row above it and the drawing tools below, the material
// list or magnifier panel at the right with its combos above and its buttons
// below. All decisions live in PhotoEditController; this file only builds,
// forwards and paints.
#include "image_editor/photo_edit_dlg.h"

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/filedlg.h>
#include <wx/settings.h>

#include "image_editor/camera_sys_info.h"
#include "image_editor/edit_sub_dialogs.h"
#include "image_editor/fitting_canvas_wnd.h"
#include "picture_controls/color_swatch_button.h"
#include "picture_controls/hover_button.h"
#include "picture_controls/icon_menu.h"
#include "picture_controls/icon_static.h"
#include "picture_controls/my_color_sel_dlg.h"
#include "picture_controls/surface_image.h"
#include "platform/files.h"
#include "platform/image/picture_cache.h"
#include "platform/image/picture_io.h"
#include "platform/ui/colour.h"
#include "platform/ui/dialog_end.h"
#include "platform/ui/message_box.h"
#include "platform/ui/popup_menu.h"

namespace image_editor {

namespace fs = std::filesystem;
using platform::ui::ToColour;

namespace {

constexpr const char* kTitle = "图片编辑[试衣平台]";
constexpr const char* kPictureLabel = "图形文件(*.bmp,*.jpg,*.png,*.gif)";
constexpr const char* kPicturePatterns = "*.bmp;*.jpg;*.png;*.gif";
constexpr int kMaterialCellW = 120, kMaterialCellH = 140, kMaxMaterialCells = 400;
constexpr int kStrip = 6;

Rect R(int l, int t, int r, int b) { return {l, t, r, b}; }
wxRect W(const Rect& r) { return wxRect(r.left, r.top, r.Width(), r.Height()); }
bool In(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

std::string DateCaption() {
    const wxDateTime now = wxDateTime::Now();
    char text[64];
    std::snprintf(text, sizeof text, "%4d年%2d月%2d日", now.GetYear(), static_cast<int>(now.GetMonth()) + 1,
                  static_cast<int>(now.GetDay()));
    return text;
}

}  // namespace

PhotoEditDialogHooks& PhotoEditHooks() {
    static PhotoEditDialogHooks hooks;
    return hooks;
}

CPhotoEditDlg::CPhotoEditDlg(wxWindow* parent, const fs::path& base)
    : wxDialog(parent, 148, wxString::FromUTF8(kTitle), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxWANTS_CHARS, kPhotoEditDlgName),
      m_base(base) {
    Build();
    SetUpControls();
}

CPhotoEditDlg::~CPhotoEditDlg() {
    m_tip.HideTip();
    // The engine outlives the dialog: its boxes must not go to a window that
    // is gone.
    Engine().SetMessageSink({});
    m_canvas->onPainted = nullptr;
}

void CPhotoEditDlg::Build() {
    SetClientSize(1040, 680);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_canvasRect = R(8, 72, 648, 572);
    m_panelRect = R(664, 104, 1032, 544);
    m_previewRect = R(596, 6, 648, 66);
    m_bgRect = R(70, 20, 160, 44);

    m_canvas = new CFittingCanvasWnd(this, 1054, wxPoint(m_canvasRect.left, m_canvasRect.top),
                                     wxSize(m_canvasRect.Width(), m_canvasRect.Height()));
    m_controller = std::make_unique<PhotoEditController>(Engine(), m_canvas->control(), EditorDrawing(), Materials(),
                                                         Reader(), *this);
    m_canvas->onNotice = [this](const CanvasNotice& n) { OnNotice(n); };
    // The magnifier shows the canvas as it is: whatever changed the canvas
    // (a wand click, a tone command, a stroke) is seen in its cells too.
    m_canvas->onPainted = [this] {
        if (!m_controller->panelShowsMaterials()) RedrawPanel();
    };
    // The engine's own boxes ("请注意,当前图片不存在") open over this dialog.
    Engine().SetMessageSink([this](const platform::MessageRequest& r) { return Message(r); });
    m_canvas->control().onMoveAllParts = [](int dx, int dy) { Reader().MoveParts(dx, dy); };

    m_bgCheck = new wxCheckBox(this, 1065, wxString::FromUTF8("背景图片"), wxPoint(m_bgRect.left, m_bgRect.top),
                               wxSize(m_bgRect.Width(), m_bgRect.Height()));
    m_bgCheckSwatch = new CColorSwatchButton(this, wxID_ANY, wxEmptyString, wxPoint(m_bgRect.left, m_bgRect.bottom + 2),
                                             wxSize(m_bgRect.Width(), 8));
    m_bgCheckSwatch->SetColor(Engine().backgroundColour());
    m_bgCheckSwatch->Disable();
    m_makeup = new wxButton(this, 1069, wxString::FromUTF8("化装盒"), wxPoint(340, 28), wxSize(64, 28));
    m_makeup->Hide();

    m_materialCheck = new wxCheckBox(this, 1068, wxString::FromUTF8("素材(服装)"), wxPoint(664, 10), wxSize(120, 24));
    m_labelMaterial = new CIconStatic(this, 1059, wxPoint(664, 40), wxSize(44, 24));
    m_labelMaterial->SetHintText("素材:");
    m_labelMaterial->SetBkColor(0xF2D3C1);
    m_labelMaterial->SetFillStyle(9);
    m_project = new wxChoice(this, 1055, wxPoint(712, 38), wxSize(200, -1));
    m_labelCategory = new CIconStatic(this, 1057, wxPoint(664, 74), wxSize(76, 24));
    m_labelCategory->SetHintText("项目分类:");
    m_category = new wxChoice(this, 1058, wxPoint(744, 72), wxSize(168, -1));

    m_panel = new wxWindow(this, 1056, wxPoint(m_panelRect.left, m_panelRect.top),
                           wxSize(m_panelRect.Width(), m_panelRect.Height()), wxBORDER_NONE, "material_panel");
    m_panel->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_panel->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(m_panel);
        DrawPanel(dc);
    });
    for (auto t : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_MOTION, wxEVT_MIDDLE_DOWN, wxEVT_RIGHT_DOWN})
        m_panel->Bind(t, &CPhotoEditDlg::OnPanelMouse, this);

    m_preview = new wxWindow(this, 1067, wxPoint(m_previewRect.left, m_previewRect.top),
                             wxSize(m_previewRect.Width(), m_previewRect.Height()), wxBORDER_SIMPLE, "material_preview");
    m_preview->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_preview->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(m_preview);
        DrawPreview(dc);
    });
    m_preview->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) { ClickPreview(); });

    m_hint = new CIconStatic(this, 1066, wxPoint(8, 648), wxSize(640, 24));
    m_hint->SetHintText("-----");

    m_pageBack = new wxButton(this, 1071, "Button1", wxPoint(664, 552), wxSize(80, 28));
    m_pageForward = new wxButton(this, 1072, "Button2", wxPoint(752, 552), wxSize(80, 28));
    m_pageBack->SetLabel(wxString::FromUTF8("上一页"));
    m_pageForward->SetLabel(wxString::FromUTF8("下一页"));
    auto hover = [this](int id, const char* text, int x, int y, int w) {
        return new CHoverButton(this, id, wxString::FromUTF8(text), wxPoint(x, y), wxSize(w, 28));
    };
    hover(1073, "整体移动", 840, 552, 92);
    hover(1074, "激活素材", 940, 552, 92);
    m_delete = hover(1075, "删除素材", 664, 590, 90);
    hover(1083, "全清", 762, 590, 90);
    m_materialMode = hover(wxID_OK, "移动缩放", 860, 590, 84);
    new wxButton(this, wxID_CANCEL, "Cancel", wxPoint(952, 590), wxSize(80, 28));

    Bind(wxEVT_PAINT, &CPhotoEditDlg::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CPhotoEditDlg::OnMouse, this);
    Bind(wxEVT_MOTION, &CPhotoEditDlg::OnMouse, this);
    // Leaving the dialog forgets the tool under the pointer, so coming back
    // onto the same tool shows its tip again.
    Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent&) {
        m_toolUnder = -1;
        m_tip.HideTip();
    });
    auto wheel = [this](wxMouseEvent& e) {
        if (e.GetWheelRotation() != 0) Wheel(e.GetWheelRotation() > 0);
    };
    Bind(wxEVT_MOUSEWHEEL, wheel);
    m_canvas->Bind(wxEVT_MOUSEWHEEL, wheel);
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
        if (e.GetKeyCode() == WXK_SHIFT) {
            if (m_controller->ShiftKey()) m_canvas->ShowModeCursor();
            return;
        }
        e.Skip();
    });
    Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) { PressButton(e.GetId()); });
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& e) { SetCheck(e.GetId(), e.IsChecked()); });
    m_project->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { SelectProject(m_project->GetStringSelection().utf8_string()); });
    m_category->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { SelectCategory(m_category->GetStringSelection().utf8_string()); });
    m_tip.Create(this);
}

void CPhotoEditDlg::SetUpControls() {
    m_controller->SetBaseDir(m_base);
    CCameraSysInfo& info = CCameraSysInfo::Instance();
    if (info.BaseDir().empty()) {
        info.SetBaseDir(m_base);
        info.LoadOrCreate();
    }
    // The magnifier: a sixth of the panel, with its four scroll strips.
    Engine().SetMagnifierRect({0, 0, m_panelRect.Width(), m_panelRect.Height()});
    Engine().SetMagnifierSize(m_panelRect.Width() / 6, m_panelRect.Height() / 6);
    m_controller->Layout({m_bgRect, m_previewRect, m_canvasRect});
    // Projects: the titles of the basic projects; the first one is read.
    const auto titles = m_controller->ProjectTitles();
    for (const std::string& t : titles) m_project->Append(wxString::FromUTF8(t));
    if (!titles.empty()) {
        m_project->SetSelection(0);
        m_controller->ChooseProject(titles.front());
    }
    FillCategories();
    m_project->Disable();
    m_category->Disable();
    // The background picture.
    fs::path bg = m_base / fs::path(std::string("kzvEcamsys背景图片")) / fs::path(std::string("背景图001.jpg"));
    if (const std::string remembered = info.GetSetText(301); !remembered.empty()) bg = remembered;
    Engine().SetBackgroundPath(bg);
    // The caption on the picture: today's date.
    m_canvas->control().textItem().caption = DateCaption();
    const wxSize c = m_canvas->GetClientSize();
    m_canvas->control().SetCanvasSize(c.x, c.y);
    std::string title(kTitle);
    title += "< ";
    title += m_controller->originalPhoto().string();
    title += " >";
    SetTitle(wxString::FromUTF8(title));
    LayoutGrid();
    CentreOnScreen();
}

void CPhotoEditDlg::FillCategories() {
    m_category->Clear();
    m_category->Append(wxString::FromUTF8(std::string(kAllCategories)));
    for (const std::string& c : Reader().Categories()) m_category->Append(wxString::FromUTF8(c));
    m_category->SetSelection(0);
}

void CPhotoEditDlg::LayoutGrid() {
    m_cells.clear();
    const int w = m_panelRect.Width(), h = m_panelRect.Height();
    const int margin = std::max(0, (w - 3 * kMaterialCellW) / 2);
    m_rows = std::max(1, h / kMaterialCellH);
    const auto& listed = m_controller->listedParts();
    if (m_firstListed >= static_cast<int>(listed.size())) m_firstListed = 0;
    for (int i = 0; i < std::min(m_rows * 3, kMaxMaterialCells); ++i) {
        MaterialCell cell;
        const int col = i % 3, row = i / 3;
        const int x = margin + col * kMaterialCellW, y = row * kMaterialCellH;
        cell.cell = {x, y, x + kMaterialCellW, y + kMaterialCellH};
        const int side = static_cast<int>(kMaterialCellW * 0.85);
        cell.picture = {x + (kMaterialCellW - side) / 2, y + 4, x + (kMaterialCellW + side) / 2, y + 4 + side};
        cell.caption = {x + 2, cell.picture.bottom + 2, x + kMaterialCellW - 2, cell.picture.bottom + 20};
        cell.lower = {x + 2, cell.caption.bottom, x + kMaterialCellW - 2, y + kMaterialCellH};
        const int index = m_firstListed + i;
        cell.part = index < static_cast<int>(listed.size()) ? listed[static_cast<std::size_t>(index)] : -1;
        m_cells.push_back(cell);
    }
    m_pageBack->Show(m_firstListed > 0);
}

// --- painting ------------------------------------------------------------------------------

void CPhotoEditDlg::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    if (!m_firstPaint) {
        m_firstPaint = true;
        m_iconList.SetBaseDir(m_base);
        m_iconList.Load('B');
    }
    DrawFace(dc);
}

void CPhotoEditDlg::DrawFace(wxDC& dc) {
    const wxSize c = GetClientSize();
    dc.GradientFillLinear(wxRect(0, 0, c.x, c.y), wxColour(0xF4, 0xE6, 0xDC), wxColour(0xE2, 0xCF, 0xC4), wxSOUTH);
    for (const ToolButton& t : m_controller->tools()) {
        if (t.shown != 'Y') continue;
        const fs::path pic = m_base / fs::path(std::string(kSysPictureFolder)) / fs::path(t.picture + ".png");
        if (auto img = platform::image::CachedPicture(pic); img && img->IsOk())
            dc.DrawBitmap(wxBitmap(img->Scale(t.rect.Width(), t.rect.Height(), wxIMAGE_QUALITY_BICUBIC)), t.rect.left,
                          t.rect.top, true);
        else {
            dc.SetPen(wxPen(wxColour(0x80, 0x80, 0x80)));
            dc.SetBrush(*wxTRANSPARENT_BRUSH);
            dc.DrawRectangle(W(t.rect));
        }
    }
}

void CPhotoEditDlg::DrawPanel(wxDC& dc) {
    const wxSize s = m_panel->GetClientSize();
    if (m_controller->panelShowsMaterials()) {
        dc.SetBrush(wxBrush(ToColour(0xF7F2EE)));
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.DrawRectangle(0, 0, s.x, s.y);
        DrawMaterialGrid(dc);
        return;
    }
    Surface surface(std::max(s.x, 1), std::max(s.y, 1), 0xDEDEDE);
    Engine().DrawMagnifier(surface, {0, 0, s.x, s.y});
    dc.DrawBitmap(wxBitmap(picture_controls::SurfaceToImage(surface)), 0, 0, false);
    // The four scroll strips.
    dc.SetBrush(wxBrush(wxColour(0xB0, 0xB8, 0xC8)));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(0, 36, kStrip, s.y - 72);
    dc.DrawRectangle(s.x - kStrip, 36, kStrip, s.y - 72);
    dc.DrawRectangle(26, 0, s.x - 52, kStrip);
    dc.DrawRectangle(26, s.y - kStrip, s.x - 52, kStrip);
}

void CPhotoEditDlg::DrawMaterialGrid(wxDC& dc) {
    const auto& project = Reader().project();
    dc.SetFont(GetFont());
    for (const MaterialCell& cell : m_cells) {
        if (cell.part < 0) continue;
        const auto& part = project.parts[static_cast<std::size_t>(cell.part)];
        const wxRect box = W(cell.picture);
        dc.SetBrush(*wxWHITE_BRUSH);
        dc.SetPen(wxPen(wxColour(0x8B, 0x8B, 0x8B)));
        dc.DrawRectangle(box);
        dc.SetPen(wxPen(wxColour(0xFF, 0xFF, 0xFF)));
        dc.DrawLine(box.x, box.GetBottom(), box.GetRight(), box.GetBottom());
        dc.DrawLine(box.GetRight(), box.y, box.GetRight(), box.GetBottom());
        if (auto img = platform::image::CachedPicture(Reader().PicturePath(cell.part)); img && img->IsOk()) {
            const wxRect in = wxRect(box).Deflate(3);
            const double sc = std::min(static_cast<double>(in.width) / img->GetWidth(),
                                       static_cast<double>(in.height) / img->GetHeight());
            const int w = std::max(1, static_cast<int>(img->GetWidth() * sc));
            const int h = std::max(1, static_cast<int>(img->GetHeight() * sc));
            dc.DrawBitmap(wxBitmap(img->Scale(w, h, wxIMAGE_QUALITY_BICUBIC)), in.x + (in.width - w) / 2,
                          in.y + (in.height - h) / 2, true);
        }
        const wxString name = wxString::FromUTF8(part.Name());
        const wxSize ext = dc.GetTextExtent(name);
        dc.SetTextForeground(cell.part == m_controller->pickedPart() ? wxColour(0xC0, 0x20, 0x40) : *wxBLACK);
        dc.DrawText(name, cell.caption.left + (cell.caption.Width() - ext.x) / 2, cell.caption.top);
    }
}

void CPhotoEditDlg::DrawPreview(wxDC& dc) {
    const wxSize s = m_preview->GetClientSize();
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(0, 0, s.x, s.y);
    if (m_previewPart < 0) return;
    auto img = platform::image::CachedPicture(Reader().PicturePath(m_previewPart));
    if (!img || !img->IsOk()) return;
    const double sc = std::min({static_cast<double>(s.x) / img->GetWidth(), static_cast<double>(s.y) / img->GetHeight(), 1.0});
    const int w = std::max(1, static_cast<int>(img->GetWidth() * sc)), h = std::max(1, static_cast<int>(img->GetHeight() * sc));
    dc.DrawBitmap(wxBitmap(img->Scale(w, h, wxIMAGE_QUALITY_BICUBIC)), (s.x - w) / 2, (s.y - h) / 2, true);
}

// --- input ------------------------------------------------------------------------------------

void CPhotoEditDlg::OnMouse(wxMouseEvent& e) {
    const int x = e.GetX(), y = e.GetY();
    if (e.GetEventType() == wxEVT_LEFT_DOWN) {
        m_tip.HideTip();
        m_controller->Click(x, y);
        return;
    }
    const int code = HitTool(m_controller->tools(), x, y);
    if (code == 0) {
        m_toolUnder = -1;
        m_tip.HideTip();
        SetCursor(*wxSTANDARD_CURSOR);
        return;
    }
    SetCursor(wxCursor(wxCURSOR_HAND));
    if (code == m_toolUnder) return;
    m_toolUnder = code;
    for (const ToolButton& t : m_controller->tools()) {
        if (t.code != code && !(code == tool::kGrabCorner && t.code == tool::kGrabToClipboard)) continue;
        m_tip.HideTip();
        if (code == tool::kGrabCorner)
            m_tip.ShowTip(t.rect.right - 16, t.rect.bottom + 26, "选择图片抓取窗口");
        else if (t.row == 'U')
            m_tip.ShowTip(t.rect.right - 16, t.rect.bottom + 26, t.tip);
        else
            m_tip.ShowTip(t.rect.right - 16, t.rect.top + 10, t.tip);
        break;
    }
}

void CPhotoEditDlg::Wheel(bool up) { m_controller->Wheel(up); }

void CPhotoEditDlg::PressButton(int id) {
    switch (id) {
        case 1069: RunSwatchDialog(); break;
        case 1071:
            m_firstListed = std::max(0, m_firstListed - pageSize());
            LayoutGrid();
            RedrawPanel();
            break;
        case 1072: {
            // Forward paging stops at the last page.
            const int n = static_cast<int>(m_controller->listedParts().size());
            if (m_firstListed + pageSize() < n) m_firstListed += pageSize();
            LayoutGrid();
            RedrawPanel();
            break;
        }
        case wxID_OK: m_controller->Command(cmd::kMaterialMode); break;
        case 1073:
        case 1074:
        case 1075:
        case 1083: m_controller->Command(id); break;
        case wxID_CANCEL:
            platform::ui::EndDialog(*this, wxID_CANCEL);
            break;
        default: break;
    }
}

void CPhotoEditDlg::SetCheck(int id, bool on) {
    if (id == 1065) {
        m_bgCheck->SetValue(on);
        Engine().SetBackgroundShown(on);
        if (on) m_canvas->control().RequestBackgroundReload();
        RepaintCanvas();
        RedrawPanel();
    } else if (id == 1068) {
        m_materialCheck->SetValue(on);
        m_project->Enable(on);
        m_category->Enable(on);
        m_controller->SetPanelShowsMaterials(on);
    }
}

void CPhotoEditDlg::SelectProject(const std::string& name) {
    const int i = m_project->FindString(wxString::FromUTF8(name));
    if (i != wxNOT_FOUND) m_project->SetSelection(i);
    m_controller->ChooseProject(name);
    FillCategories();
    m_firstListed = 0;
    LayoutGrid();
    RedrawPanel();
}

void CPhotoEditDlg::SelectCategory(const std::string& name) {
    const int i = m_category->FindString(wxString::FromUTF8(name));
    if (i != wxNOT_FOUND) m_category->SetSelection(i);
    m_controller->ChooseCategory(name);
    m_firstListed = 0;
    LayoutGrid();
    RedrawPanel();
}

void CPhotoEditDlg::PanelClick(int x, int y) {
    wxMouseEvent down(wxEVT_LEFT_DOWN);
    down.m_x = x;
    down.m_y = y;
    down.m_leftDown = true;
    OnPanelMouse(down);
    wxMouseEvent up(wxEVT_LEFT_UP);
    up.m_x = x;
    up.m_y = y;
    OnPanelMouse(up);
}

void CPhotoEditDlg::ClickPreview() {
    if (m_controller->PlacePicked(m_canvas->materialPictures()) >= 0) m_canvas->Refresh(false);
}

void CPhotoEditDlg::OnPanelMouse(wxMouseEvent& e) {
    const int x = e.GetX(), y = e.GetY();
    const wxEventType t = e.GetEventType();
    const wxSize s = m_panel->GetClientSize();
    if (m_controller->panelShowsMaterials()) {
        if (t != wxEVT_LEFT_DOWN) return;
        for (const MaterialCell& cell : m_cells) {
            if (cell.part < 0 || !In(cell.picture, x, y)) continue;
            m_controller->PickPart(cell.part);
            if (m_controller->autoAdd() == 'Y') ClickPreview();
            RedrawPanel();
            return;
        }
        return;
    }
    CPhotoEngine& engine = Engine();
    const int mode = m_canvas->control().toolMode();
    Surface surface(std::max(s.x, 1), std::max(s.y, 1), 0xDEDEDE);
    if (t == wxEVT_RIGHT_DOWN) {
        std::vector<MenuEntry> entries = m_controller->PanelMenu();
        if (entries.empty()) return;
        int id = 0;
        if (mode == mode::kMakeupBrush && !PhotoEditHooks().trackPopup) {
            CIconMenu menu;
            menu.LoadImageList(154);
            std::vector<picture_controls::MenuNode> nodes;
            for (const MenuEntry& m : entries) {
                picture_controls::MenuNode node;
                node.text = m.text;
                node.id = m.id;
                nodes.push_back(node);
            }
            menu.MakeOwnerDraw(nodes);
            CIconMenu::UpdateMenuUI(nodes, *this);
            id = menu.Track(this, nodes, m_panel->ClientToScreen(wxPoint(x, y)));
        } else {
            id = TrackPopup(entries, {m_panelRect.left + x, m_panelRect.top + y, m_panelRect.left + x, m_panelRect.top + y});
        }
        if (id != 0) m_controller->Command(id);
        return;
    }
    if (t == wxEVT_LEFT_DOWN) {
        // The scroll strips.
        int op = 0;
        if (x < kStrip && y >= 36 && y < s.y - 36) op = 101;
        else if (x >= s.x - kStrip && y >= 36 && y < s.y - 36) op = 102;
        else if (y < kStrip && x >= 26 && x < s.x - 26) op = 201;
        else if (y >= s.y - kStrip && x >= 26 && x < s.x - 26) op = 202;
        if (op != 0) {
            if (engine.StepMagnifier(op) == 1) RedrawPanel();
            return;
        }
        m_panelLeft = true;
        m_panelLast = m_panelPress = {x / CPhotoEngine::kMagnifierCell, y / CPhotoEngine::kMagnifierCell};
        m_panelSampleRequest = false;
        if (mode == mode::kMagicWand) {
            engine.MagicWandAtView(x, y);
            RedrawPanel();
            RepaintCanvas();
        } else if (mode == mode::kMakeupBrush && (e.AltDown() || e.ControlDown() || m_canvas->reverseToggle())) {
            m_panelSampleRequest = true;
        }
        return;
    }
    if (t == wxEVT_MIDDLE_DOWN && mode == mode::kMagicWand) {
        engine.CancelWandSelection();
        RedrawPanel();
        RepaintCanvas();
        return;
    }
    const Point cell{x / CPhotoEngine::kMagnifierCell, y / CPhotoEngine::kMagnifierCell};
    const bool alt = e.AltDown() || e.ControlDown() || m_canvas->reverseToggle();
    if (t == wxEVT_MOTION && e.LeftIsDown() && m_panelLeft) {
        if (mode == mode::kEraser)
            engine.EraseLineView(surface, m_panelLast.x, m_panelLast.y, cell.x, cell.y, alt ? 9 : 0);
        else if (mode == mode::kMakeupBrush && engine.HasMakeupSample() && !m_panelSampleRequest)
            engine.PaintLineView(surface, m_panelLast.x, m_panelLast.y, cell.x, cell.y);
        m_panelLast = cell;
        RedrawPanel();
    } else if (t == wxEVT_LEFT_UP && m_panelLeft) {
        m_panelLeft = false;
        if (mode == mode::kEraser) engine.EraseLineView(surface, m_panelLast.x, m_panelLast.y, cell.x, cell.y, alt ? 9 : 0);
        if (mode == mode::kMakeupBrush) {
            engine.FillStrokeMask(' ');
            if (m_panelSampleRequest) {
                Surface canvas = picture_controls::SurfaceFromImage(m_canvas->Render(true));
                // The sample is taken where the button went down.
                engine.SampleMakeupColor(canvas, engine.x0() + engine.magnifierCol() + m_panelPress.x,
                                         engine.y0() + engine.magnifierRow() + m_panelPress.y);
            }
        }
        RedrawPanel();
        RepaintCanvas();
    }
}

void CPhotoEditDlg::OnNotice(const CanvasNotice& n) { m_controller->Notice(n); }

const std::string& CPhotoEditDlg::hintShown() const { return m_hint->hintText(); }

// --- host -------------------------------------------------------------------------------------

wxPoint CPhotoEditDlg::ScreenOf(const Rect& r, bool bottom) const {
    return ClientToScreen(wxPoint(r.left, bottom ? r.bottom : r.top));
}

void CPhotoEditDlg::ShowHint(const std::string& text) {
    m_hint->SetHintText(text);
    m_hint->Refresh();
}

void CPhotoEditDlg::RepaintCanvas() { m_canvas->Refresh(false); }
void CPhotoEditDlg::RedrawPanel() { m_panel->Refresh(false); }

void CPhotoEditDlg::RedrawTools() {
    m_bgCheckSwatch->SetColor(Engine().backgroundColour());
    Refresh(false);
}

int CPhotoEditDlg::TrackPopup(const std::vector<MenuEntry>& items, const Rect& at) {
    if (auto& hook = PhotoEditHooks().trackPopup) return hook(items);
    std::vector<platform::PopupItem> popup;
    for (const MenuEntry& m : items) {
        platform::PopupItem item;
        item.id = m.id;
        item.text = m.text;
        popup.push_back(std::move(item));
    }
    platform::PopupMenuModel model(std::move(popup));
    return platform::ui::TrackPopupMenu(this, model, ScreenOf(at, true));
}

std::optional<ColorRef> CPhotoEditDlg::ChooseColour(ColorRef initial, const Rect& at) {
    if (auto& hook = PhotoEditHooks().chooseColour) return hook(initial);
    CCMyColorSelDlg dlg(initial, 0, this);
    const wxPoint p = ScreenOf(at, true);
    dlg.SetPosition(p.x, p.y, 0);
    if (dlg.DoModal() != wxID_OK) return std::nullopt;
    return dlg.GetColor();
}

std::optional<fs::path> CPhotoEditDlg::ChoosePicture(const fs::path& folder) {
    if (auto& hook = PhotoEditHooks().choosePicture) return hook(folder);
    wxFileDialog dlg(this, wxString::FromUTF8("选择图片"), wxString::FromUTF8(folder.string()), wxEmptyString,
                     wxString::FromUTF8(platform::CaseBlindWildcard(kPictureLabel, kPicturePatterns)),
                     wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dlg.ShowModal() != wxID_OK) return std::nullopt;
    return fs::path(dlg.GetPath().utf8_string());
}

bool CPhotoEditDlg::GrabCanvas(const Rect& region, const fs::path& file, char format) {
    const wxImage all = m_canvas->Render(true);
    if (!all.IsOk()) return false;
    // The region itself, its width and height whole: the render is in the
    // canvas's client coordinates already, so no border is to be stepped over.
    wxRect r(region.left, region.top, region.Width(), region.Height());
    r.Intersect(wxRect(0, 0, all.GetWidth(), all.GetHeight()));
    if (r.width <= 0 || r.height <= 0) return false;
    const auto fmt = format == 'J' ? platform::image::PictureFormat::Jpeg : platform::image::PictureFormat::Bmp;
    return platform::image::SavePicture(all.GetSubImage(r), file, fmt, 100);
}

bool CPhotoEditDlg::CopyToClipboard(const fs::path& file) {
    const wxImage img = platform::image::LoadPicture(file);
    if (!img.IsOk() || !wxTheClipboard->Open()) return false;
    wxTheClipboard->Clear();
    const bool ok = wxTheClipboard->SetData(new wxBitmapDataObject(wxBitmap(img)));
    wxTheClipboard->Close();
    return ok;
}

void CPhotoEditDlg::RunPhotoSave(const fs::path& source, const Rect& at) {
    CPhotoSaveDlg dlg(this, source, ScreenOf(at, false));
    if (auto& hook = PhotoEditHooks().photoSave)
        hook(dlg);
    else
        dlg.ShowModal();
}

bool CPhotoEditDlg::RunTextDialog(TextItem& item, const Rect& at) {
    CTextItemDlg dlg(this, item, ScreenOf(at, false));
    const int r = PhotoEditHooks().textItem ? PhotoEditHooks().textItem(dlg) : dlg.ShowModal();
    if (r != wxID_OK) return false;
    item = dlg.result();
    return true;
}

void CPhotoEditDlg::RunSwatchDialog() {
    CMakeupSwatchDlg dlg(this, m_makeup->GetScreenRect().GetBottomLeft());
    if (auto& hook = PhotoEditHooks().swatches)
        hook(dlg);
    else
        dlg.ShowModal();
    m_canvas->Refresh(false);
}

void CPhotoEditDlg::ShowMakeupButton(bool shown) { m_makeup->Show(shown); }

void CPhotoEditDlg::ShowPreview(int part) {
    m_previewPart = part;
    m_preview->Refresh(false);
}

void CPhotoEditDlg::EnableMaterialButtons(bool enable) {
    m_delete->Enable(enable);
    m_materialMode->Enable(enable);
}

platform::MbResult CPhotoEditDlg::Message(const platform::MessageRequest& request) {
    return platform::ui::ShowMessage(request, this);
}

void RunPhotoEditDialog(const fs::path& base) {
    // The colour chooser's custom colours start afresh with the editor's
    // other objects (ResetEditorState).
    CCMyColorSelDlg::ResetCustomColours();
    {
        CPhotoEditDlg dlg(nullptr, base);
        dlg.ShowModal();
    }
    // The pictures decoded for this call go with it, as they would with the
    // module: the host keeps running without them.
    platform::image::PictureCache::Instance().Clear();
}

}  // namespace image_editor
