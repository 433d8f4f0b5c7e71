// The stage editor view. Its own areas (the gallery, the preview box, the two
// icons, the tool icon bar, the caption-colour swatch and the painted labels)
// are drawn by Draw and hit-tested by LeftDown; the native controls send
// their commands to RunCommand, ComboSelected and CheckChanged, which tests
// call directly too.
#include "project_editor/pavanel_view.h"

#include <algorithm>
#include <cmath>

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/fontdlg.h>
#include <wx/graphics.h>
#include <wx/settings.h>
#include <wx/textctrl.h>

#include "picture_controls/hover_button.h"
#include "picture_controls/hyper_link.h"
#include "picture_controls/my_color_sel_dlg.h"
#include "platform/image/picture_io.h"
#include "platform/sound/sound.h"
#include "platform/ui/colour.h"
#include "platform/ui/fonts.h"
#include "platform/ui/message_box.h"
#include "project_editor/add_fitting_pic_dlg.h"
#include "project_editor/pavanel_session.h"
#include "project_editor/sys_set_info.h"

namespace fs = std::filesystem;
using platform::ui::ToColour;

namespace project_editor {

namespace {

constexpr int kTop = 72;             // the stage's top edge
constexpr int kToolBarWidth = 46;
constexpr int kColumnWidth = 74;     // the column right of the stage
constexpr int kGalleryWidth = 414;
constexpr int kBottom = 40;          // the row under the stage and the gallery

// Enabled and disabled together around the frame selection.
constexpr int kEditingControls[] = {1000, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013,
                                    1014, 1017, 1018, 1020, 1021, 1022, 1024, 1032};

const char* const kCaptionHeights[] = {"6", "8", "9", "10", "11", "12", "14", "16", "18", "20",
                                       "22", "24", "26", "28", "32", "36", "42", "48", "56", "66"};
const char* const kAngles[] = {"0", "15", "30", "45", "60", "90", "180"};
const char* const kScales[] = {"0.25", "0.5", "0.75", "1.0", "1.25", "1.5", "1.75", "2.0"};
const char* const kTypes[] = {"jpg", "bmp", "png"};

wxRect ToWx(const Rect& r) { return wxRect(r.left, r.top, r.width(), r.height()); }

void Edge3d(wxDC& dc, const Rect& r) {
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.SetPen(wxPen(wxColour(160, 160, 160)));
    dc.DrawLine(r.left, r.bottom - 1, r.left, r.top);
    dc.DrawLine(r.left, r.top, r.right - 1, r.top);
    dc.SetPen(wxPen(wxColour(255, 255, 255)));
    dc.DrawLine(r.right - 1, r.top, r.right - 1, r.bottom - 1);
    dc.DrawLine(r.right - 1, r.bottom - 1, r.left, r.bottom - 1);
}

// The picture scaled by the smaller ratio of the box (no upper limit), centred.
void DrawFitted(wxDC& dc, const fs::path& path, const Rect& box, picture_controls::PicturePainter& painter) {
    auto size = platform::image::PictureSize(path);
    if (!size || size->x <= 0 || size->y <= 0 || box.empty()) return;
    const double f = std::min(static_cast<double>(box.width()) / size->x, static_cast<double>(box.height()) / size->y);
    const int w = std::max(1, static_cast<int>(size->x * f)), h = std::max(1, static_cast<int>(size->y * f));
    painter.DrawPicture(dc, path, Rect::FromSize(box.left + (box.width() - w) / 2, box.top + (box.height() - h) / 2, w, h),
                        false);
}

}  // namespace

CPavanelView::CPavanelView(wxWindow* parent)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxFULL_REPAINT_ON_RESIZE) {
    // The store is reset when the view is made.
    CProjectStore::Instance().Reset();
    m_editor = std::make_unique<StageEditor>(CProjectStore::Instance(), StageSlotTable::Instance(), m_sizes);
    m_gallery = std::make_unique<PartGallery>(CProjectStore::Instance());
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(wxColour(236, 236, 236));
    m_font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    m_font.SetPixelSize(wxSize(0, 13));
    SetFont(m_font);
    m_stage = new CStageWnd(this, kIdStagePlace, wxPoint(6, 6), wxSize(120, 100));
    // The tool icons show the canvas's tool at all times, also when the
    // canvas ends a tool by itself.
    m_stage->SetToolListener([this](int) { RefreshRect(ToWx(m_toolBar)); });
    BuildControls();
    Bind(wxEVT_PAINT, &CPavanelView::OnPaint, this);
    Bind(wxEVT_SIZE, &CPavanelView::OnSize, this);
    // A double click reaches us as two presses already; its own event is not used.
    for (auto t : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_MOTION}) Bind(t, &CPavanelView::OnMouse, this);
    Bind(wxEVT_MOUSEWHEEL, &CPavanelView::OnWheel, this);
    m_stage->Bind(wxEVT_MOUSEWHEEL, &CPavanelView::OnWheel, this);
    Bind(wxEVT_BUTTON, &CPavanelView::OnButton, this);
    Bind(wxEVT_CHOICE, &CPavanelView::OnChoice, this);
    Bind(wxEVT_CHECKBOX, &CPavanelView::OnCheck, this);
    Bind(wxEVT_TEXT, &CPavanelView::OnText, this);
}

CPavanelView::~CPavanelView() {
    m_stage->SetToolListener(nullptr);
    platform::sound::Stop();
}

std::function<void(CPavanelView&)>& CPavanelView::WebPageCommand() {
    static std::function<void(CPavanelView&)> command;
    return command;
}

wxWindow* CPavanelView::control(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void CPavanelView::BuildControls() {
    auto button = [&](int id, const char* caption, int width = 0) {
        auto* b = new CHoverButton(this, id, wxString::FromUTF8(caption), wxDefaultPosition,
                                   wxSize(width > 0 ? width : -1, 26));
        m_controls[id] = b;
    };
    auto check = [&](int id, const char* caption, bool on) {
        auto* c = new wxCheckBox(this, id, wxString::FromUTF8(caption));
        c->SetValue(on);
        m_controls[id] = c;
    };
    auto choice = [&](int id, std::initializer_list<const char*> entries, int sel, int width) {
        auto* c = new wxChoice(this, id, wxDefaultPosition, wxSize(width, -1));
        for (const char* e : entries) c->Append(wxString::FromUTF8(e));
        if (sel >= 0 && sel < static_cast<int>(c->GetCount())) c->SetSelection(sel);
        m_controls[id] = c;
    };
    button(kIdProjectTable, "项目表");
    button(kIdWebPage, "创建搭配网页");
    button(kIdAddPictures, "加试衣图片");
    button(kIdBackgroundPicture, "底图片");
    button(kIdBackgroundColour, "背景色");
    button(kIdClearReference, "清底片");
    button(kIdFrame, "图框");
    button(kIdClearAll, "清除全部");
    button(kIdSaveComposition, "存搭配图");
    auto* name = new wxTextCtrl(this, kIdPictureName, wxEmptyString, wxDefaultPosition, wxSize(110, -1));
    name->SetHint(wxString::FromUTF8("搭配图名"));
    m_controls[kIdPictureName] = name;
    choice(kIdPictureType, {}, -1, 64);
    button(kIdDemoTable, "设置搭配演示表");
    button(kIdPlayDemo, "播放演示");

    check(kIdProcessing, "加工模式", false);
    check(kIdShowFrame, "显示图框", false);
    check(kIdLock, "锁定", true);
    check(kIdMoveReference, "移动参考底图", false);
    check(kIdAuto, "自动", true);
    check(kIdLink, "链接", false);
    button(kIdInteractive, "互动底片");
    choice(kIdCaptionHeight, {}, -1, 58);
    choice(kIdLineWidth, {}, -1, 50);
    choice(kIdReferenceAngle, {}, -1, 58);
    choice(kIdReferenceScale, {}, -1, 64);
    m_controls[kIdCaptionText] = new wxTextCtrl(this, kIdCaptionText, wxString::FromUTF8("试衣背景"),
                                                wxDefaultPosition, wxSize(120, -1));

    button(kIdSelect, "选择", 66);
    button(kIdDelete, "删除", 66);
    button(kIdAddToStage, "加到平台", 66);
    button(kIdStorePlacement, "存定位", 66);
    button(kIdSmaller, "小", 32);
    button(kIdLarger, "大", 32);
    button(kIdForward, "↑", 32);
    button(kIdBack, "↓", 32);
    button(kIdSound, "Sel", 32);
    button(kIdFace, "Sav", 32);
    button(kIdNudgeLeft, "←", 32);
    button(kIdNudgeRight, "→", 32);
    button(kIdNudgeUp, "↑", 32);
    button(kIdNudgeDown, "↓", 32);

    choice(kIdDisplay, {}, -1, 150);
    button(kIdPageUp, "↑", 32);
    button(kIdPageDown, "↓", 32);

    m_manualLink = new CHyperLink(this, wxID_ANY, wxString::FromUTF8("使用说明"), std::string());
    m_shopLink = new CHyperLink(this, wxID_ANY, wxString::FromUTF8("网店"), std::string());
    m_messengerLink = new CHyperLink(this, wxID_ANY, wxString::FromUTF8("在线客服"), std::string());

    FillCombos();
    control(kIdInteractive)->Disable();
    control(kIdAuto)->Disable();
    control(kIdLink)->Hide();
    // Processing mode starts off: no "加试衣图片" until it is turned on.
    for (int id : {kIdAddToStage, kIdDelete, kIdForward, kIdBack, kIdSaveComposition, kIdAddPictures})
        control(id)->Disable();
}

void CPavanelView::FillCombos() {
    auto fill = [&](int id, const auto& entries, int sel) {
        auto* c = static_cast<wxChoice*>(control(id));
        c->Clear();
        for (const char* e : entries) c->Append(wxString::FromUTF8(e));
        c->SetSelection(sel);
    };
    fill(kIdCaptionHeight, kCaptionHeights, 13);  // "28"
    static const char* const kWidths[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"};
    fill(kIdLineWidth, kWidths, 0);
    fill(kIdReferenceAngle, kAngles, 0);
    fill(kIdReferenceScale, kScales, 3);
    fill(kIdPictureType, kTypes, 0);
}

void CPavanelView::FillDisplayCombo() {
    auto* c = static_cast<wxChoice*>(control(kIdDisplay));
    c->Clear();
    for (const std::string& e : m_gallery->ComboEntries()) c->Append(wxString::FromUTF8(e));
    if (m_gallery->markingMode() != kMarkDepth && m_gallery->display() < static_cast<int>(c->GetCount()))
        c->SetSelection(m_gallery->display());
}

void CPavanelView::LayoutControls() {
    const wxSize size = GetClientSize();
    const int W = std::max(size.x, 900), H = std::max(size.y, 600);
    // From the left: the gallery, the tool icon bar, the stage, the column of
    // the part commands.
    const int galleryLeft = 3, galleryRight = galleryLeft + kGalleryWidth;
    const int toolBarLeft = galleryRight + 6;
    const int columnLeft = W - 3 - kColumnWidth;
    const Rect stage{toolBarLeft + kToolBarWidth + 6, kTop, columnLeft - 6, H - kBottom};
    m_stage->SetSize(ToWx(stage));
    m_toolBar = {toolBarLeft, kTop, toolBarLeft + kToolBarWidth, kTop + 6 + 8 * 38};
    m_gallery->SetRect({galleryLeft, kTop, galleryRight, H - kBottom});

    // Two rows of controls above.
    auto row = [&](int y, std::initializer_list<int> ids, int x) {
        for (int id : ids) {
            wxWindow* w = control(id);
            if (!w) continue;
            const wxSize best = w->GetBestSize();
            w->SetSize(x, y, std::max(best.x, w->GetMinSize().x), best.y > 28 ? best.y : 26);
            x += w->GetSize().x + 4;
        }
        return x;
    };
    row(6, {kIdProjectTable, kIdWebPage, kIdAddPictures, kIdBackgroundPicture, kIdBackgroundColour,
            kIdClearReference, kIdFrame, kIdClearAll, kIdSaveComposition, kIdPictureName, kIdPictureType,
            kIdDemoTable, kIdPlayDemo},
        6);
    int x = row(38, {kIdProcessing, kIdShowFrame, kIdLock, kIdMoveReference, kIdAuto, kIdInteractive}, 6);
    // Caption font height, line width, angle (each after its painted name),
    // then the whole-scale label and the scale.
    m_comboLabels.clear();
    for (auto [id, name] : {std::pair{kIdCaptionHeight, "字高"}, std::pair{kIdLineWidth, "线宽"},
                            std::pair{kIdReferenceAngle, "角度"}}) {
        m_comboLabels.push_back({Rect::FromSize(x + 4, 38, 30, 26), name});
        x = row(38, {id}, x + 36);
    }
    m_wholeScaleLabel = Rect::FromSize(x, 38, 84, 26);
    x = row(38, {kIdReferenceScale}, x + 86);
    x = row(38, {kIdCaptionText}, x + 6);
    m_swatch = Rect::FromSize(x + 2, 40, 22, 22);
    m_fontArea = Rect::FromSize(x + 30, 38, 40, 26);
    if (wxWindow* link = control(kIdLink)) link->Move(x + 74, 38);

    // The column right of the stage.
    const int cx = columnLeft + 4;
    int y = kTop;
    for (int id : {kIdSelect, kIdDelete}) {
        control(id)->SetSize(cx, y, 66, 26);
        y += 30;
    }
    control(kIdInteractive)->Show();
    m_preview = Rect::FromSize(cx + 9, stage.top + 106, 48, 64);
    m_icon1 = Rect::FromSize(cx + 8, m_preview.bottom + 8, 50, 50);
    m_icon2 = Rect::FromSize(cx + 8, m_icon1.bottom + 6, 50, 50);
    y = m_icon2.bottom + 10;
    for (int id : {kIdAddToStage, kIdStorePlacement}) {
        control(id)->SetSize(cx, y, 66, 26);
        y += 30;
    }
    auto pair = [&](int a, int b) {
        control(a)->SetSize(cx, y, 32, 26);
        control(b)->SetSize(cx + 34, y, 32, 26);
        y += 30;
    };
    pair(kIdSmaller, kIdLarger);
    pair(kIdForward, kIdBack);
    m_layerLabel = Rect::FromSize(cx, y, 66, 22);
    y += 26;
    pair(kIdSound, kIdFace);
    m_nudgeLabel = Rect::FromSize(cx, y, 66, 22);
    y += 26;
    pair(kIdNudgeLeft, kIdNudgeRight);
    pair(kIdNudgeUp, kIdNudgeDown);

    // Under the gallery: the marking-mode caption, the display combo, paging.
    const int by = H - kBottom + 8;
    m_markingLabel = Rect::FromSize(galleryLeft + 4, by, 76, 26);
    control(kIdDisplay)->SetSize(galleryLeft + 84, by, 170, -1);
    control(kIdPageUp)->SetSize(galleryRight - 72, by, 32, 26);
    control(kIdPageDown)->SetSize(galleryRight - 36, by, 32, 26);
    // Under the stage: the links.
    int lx = stage.left;
    for (CHyperLink* link : {m_manualLink, m_shopLink, m_messengerLink}) {
        link->Move(lx, by + 4);
        lx += link->GetSize().x + 24;
    }
    Refresh();
}

void CPavanelView::OnInitialUpdate(const fs::path& base) {
    m_base = base;
    CProjectStore& store = CProjectStore::Instance();
    const OpenOutcome out = OpenSeriesProject(store, CSysSetInfo::Instance(), base);
    m_gallery->ClearMarks();
    m_editor->ProjectChanged();
    m_gallery->SetDisplay(0);
    FillDisplayCombo();
    m_stage->SetFlagA(1);
    // The links: the manual beside the program's data, the shop's page and
    // the messenger contact from the settings.
    m_manualLink->SetLinkTarget((base / fs::path(std::string(kManualFileName))).string());
    RefreshLinks();
    m_ready = true;
    LayoutControls();
    // Told once the frame shows, not over a window that is not there yet.
    if (!out.opened) CallAfter([this, text = out.error] { Message(text); });
}

void CPavanelView::RefreshLinks() {
    m_shopLink->SetLinkTarget(CSysSetInfo::Instance().GetField(CSysSetInfo::kShopPage));
    const std::string messenger = CSysSetInfo::Instance().GetField(CSysSetInfo::kMessenger);
    m_messengerLink->SetLinkTarget("https://im.example.com/chat?uin=" + messenger);
}

void CPavanelView::OnSize(wxSizeEvent& e) {
    LayoutControls();
    e.Skip();
}

void CPavanelView::Message(const std::string& text) {
    m_lastMessage = text;
    platform::ui::ShowMessage(text, platform::MbButtons::Ok, platform::MbIcon::Exclamation, {}, this);
}

Rect CPavanelView::toolIcon(int i) const {
    const int top = m_toolBar.top + 6 + 38 * i;
    return Rect::FromSize(m_toolBar.left + 6, top, 32, 32);
}

void CPavanelView::EnableEditing(bool on) {
    m_editing = on;
    for (int id : kEditingControls) {
        wxWindow* w = control(id);
        if (!w) continue;
        w->Enable(on);
    }
    if (on) {
        control(kIdAddPictures)->Enable(m_addPicturesOn);
        auto* name = static_cast<wxTextCtrl*>(control(kIdPictureName));
        control(kIdSaveComposition)->Enable(!name->GetValue().empty());
        EnableSlotCommands();
    }
}

void CPavanelView::EnableSlotCommands() {
    const int n = CProjectStore::Instance().PartCount();
    const bool has = StageSlotTable::Instance().CurrentOccupied(n) != nullptr;
    for (int id : {kIdDelete, kIdForward, kIdBack}) control(id)->Enable(has && m_editing);
    // "加到平台" only while a part is selected.
    const int selected = m_editor->selectedPart();
    control(kIdAddToStage)->Enable(m_editing && selected >= 0 && selected < n);
}

void CPavanelView::ShowPreview(int part) {
    m_previewPart = part;
    RefreshRect(ToWx(m_preview.Inflate(2)));
}

void CPavanelView::OpenAddPictures(AddPicturesMode mode) {
    int part = -1;
    if (mode == AddPicturesMode::AddOrReplace) {
        part = m_editor->selectedPart();
        CProjectStore& store = CProjectStore::Instance();
        if (part < 1 || part > 159 || part >= store.PartCount() || store.Part(part).RowType() == 'T') {
            Message("请先在左边选一个部件作为替换参照");
            return;
        }
    }
    CAddFittingPicDlg dlg(this, mode, part);
    const bool added = dlg.ShowModal() == wxID_OK;
    const AddPicturesReport& r = dlg.report();
    int selected = m_editor->selectedPart();
    ApplyRecordMoves(r.moves, StageSlotTable::Instance(), selected);
    m_editor->SelectPart(selected);
    // The preview keeps showing what it showed (the current slot's part, or
    // the part picked last), under its new index.
    m_previewPart = RenumberedPart(r.moves, m_previewPart);
    // After an add the gallery shows every category again, from its first page.
    if (added)
        m_gallery->SetDisplay(0);
    else
        m_gallery->Rebuild();
    FillDisplayCombo();
    AfterStageChange(true);
    Refresh();
}

void CPavanelView::AfterStageChange(bool galleryToo) {
    m_stage->Refresh();
    EnableSlotCommands();
    RefreshRect(ToWx(m_layerLabel));
    if (galleryToo) RefreshRect(ToWx(m_gallery->rect().Inflate(2)));
}

void CPavanelView::PickPart(int part) {
    m_editor->SelectPart(part);
    static_cast<wxCheckBox*>(control(kIdMoveReference))->SetValue(false);
    m_stage->SetFlagB(0);
    m_stage->SetPicturePath({});
    ShowPreview(part);
    EnableSlotCommands();
    if (m_editor->autoPlace()) RunCommand(kIdAddToStage);
}

void CPavanelView::RunCommand(int id) {
    CProjectStore& store = CProjectStore::Instance();
    StageSlotTable& slots = StageSlotTable::Instance();
    const int stageWidth = m_stage->GetClientSize().x;
    switch (id) {
        case kIdBackgroundColour: {
            unsigned colour = m_stage->control().background();
            if (ChooseColour(control(id)->GetScreenPosition(), colour)) {
                m_stage->SetText(3, std::to_string(colour));
            }
            break;
        }
        case kIdSelect:
            if (m_editor->SelectNext()) ShowPreview(slots.Slot(slots.Current()).part);
            AfterStageChange();
            break;
        case kIdDelete:
            m_editor->DeleteCurrent();
            AfterStageChange();
            break;
        case kIdSaveComposition: SaveComposition(); break;
        case kIdProjectTable: OpenProjectTable(); break;
        case kIdBackgroundPicture: OpenBackgroundPicture(); break;
        case kIdWebPage:
            if (m_processing)
                OpenPartParameters();
            else if (WebPageCommand())
                WebPageCommand()(*this);
            break;
        case kIdAddPictures:
            if (m_addPicturesOn) OpenAddPictures(AddPicturesMode::AddToCategory);
            break;
        case kIdFrame:
            m_stage->EndMode();
            EnableEditing(false);
            m_stage->BeginLineMode();
            break;
        case kIdClearAll:
            m_editor->ClearAll();
            m_stage->ClearPicture();
            AfterStageChange();
            break;
        case kIdSmaller:
            if (m_editor->Shrink()) m_stage->Refresh();
            break;
        case kIdLarger:
            if (m_editor->Grow(stageWidth)) m_stage->Refresh();
            break;
        case kIdForward:
        case kIdBack:
            if (m_editor->MoveLayer(id == kIdBack)) AfterStageChange(true);
            break;
        case kIdAddToStage: {
            m_stage->EndMode();
            if (m_editor->AddToStage() != PlaceResult::NoPart) AfterStageChange();
            break;
        }
        case kIdPageUp:
            if (m_gallery->PageUp()) RefreshRect(ToWx(m_gallery->rect().Inflate(2)));
            break;
        case kIdPageDown:
            if (m_gallery->PageDown()) RefreshRect(ToWx(m_gallery->rect().Inflate(2)));
            break;
        case kIdClearReference: m_stage->ClearPicture2(); break;
        case kIdStorePlacement: {
            std::string error;
            if (m_editor->StorePlacement(&error) == StoreResult::SaveFailed)
                Message(error.empty() ? "项目文件保存失败 !" : error);
            RefreshRect(ToWx(m_gallery->rect().Inflate(2)));
            break;
        }
        case kIdNudgeLeft: if (m_editor->Nudge(-1, 0)) m_stage->Refresh(); break;
        case kIdNudgeRight: if (m_editor->Nudge(1, 0)) m_stage->Refresh(); break;
        case kIdNudgeUp: if (m_editor->Nudge(0, -1)) m_stage->Refresh(); break;
        case kIdNudgeDown: if (m_editor->Nudge(0, 1)) m_stage->Refresh(); break;
        case kIdSound: PlayVoice(); break;
        case kIdFace:
            if (auto face = m_editor->NextFacePicture()) m_stage->SetPicturePath(*face);
            break;
        default: break;  // 1000 and 1029 do nothing; the waiting ones are disabled
    }
    (void)store;
}

void CPavanelView::PlayVoice() {
    const auto file = m_editor->VoiceFile();
    if (!file) return;
    std::string error;
    switch (platform::sound::Play(*file, false, &error)) {
        case platform::sound::PlayOutcome::Playing: break;
        case platform::sound::PlayOutcome::MissingFile:
            Message("找不到声音文件: " + file->filename().string());
            break;
        case platform::sound::PlayOutcome::CannotPlay:
            Message("无法播放声音文件: " + file->filename().string() + (error.empty() ? "" : "\n" + error));
            break;
    }
}

void CPavanelView::SaveComposition() {
    const auto* name = static_cast<wxTextCtrl*>(control(kIdPictureName));
    const auto path = m_editor->CompositionPath(name->GetValue().utf8_string(), m_pictureType);
    if (!path) {
        Message("图片名只能是一个文件名 !");
        return;
    }
    wxImage picture = m_stage->RenderPicture();
    // The frame rectangle (view coordinates) on the stage; the whole stage
    // while no frame was chosen.
    const wxPoint at = m_stage->GetPosition();
    const Rect stageRect = Rect::FromSize(0, 0, picture.GetWidth(), picture.GetHeight());
    Rect crop = m_frameRect.Offset(-at.x, -at.y);
    crop = {std::max(crop.left, 0), std::max(crop.top, 0), std::min(crop.right, stageRect.right),
            std::min(crop.bottom, stageRect.bottom)};
    if (m_frameRect.empty() || crop.empty()) crop = stageRect;
    if (crop != stageRect) picture = picture.GetSubImage(ToWx(crop));
    using platform::image::PictureFormat;
    const PictureFormat format = m_pictureType == "png"   ? PictureFormat::Png
                                 : m_pictureType == "bmp" ? PictureFormat::Bmp
                                                          : PictureFormat::Jpeg;
    std::error_code ec;
    fs::create_directories(path->parent_path(), ec);
    std::string error;
    if (!platform::image::SavePicture(picture, *path, format, 100, &error)) {
        Message("搭配图保存失败: " + (error.empty() ? path->filename().string() : error));
        return;
    }
    m_lastComposition = *path;
}

bool CPavanelView::ChooseColour(wxPoint screen, unsigned& colour) {
    CCMyColorSelDlg dlg(colour, 0, this);
    dlg.SetPosition(screen.x, screen.y, 1001);
    if (dlg.DoModal() != wxID_OK) return false;
    colour = dlg.GetColor();
    return true;
}

void CPavanelView::ChooseCaptionColour() {
    unsigned colour = m_captionColour;
    ChooseColour(ClientToScreen(wxPoint(m_swatch.left, m_swatch.top)), colour);
    // The chosen colour, or on cancel the last one.
    m_captionColour = colour;
    m_stage->SetText(2, std::to_string(colour));
    RefreshRect(ToWx(m_swatch.Inflate(2)));
}

void CPavanelView::ChooseDrawingColour() {
    const Rect icon = toolIcon(0);
    unsigned colour = m_stage->items().colour();
    if (ChooseColour(ClientToScreen(wxPoint(icon.right + 4, icon.top)), colour)) {
        m_stage->items().SetColor(colour);
        RefreshRect(ToWx(m_toolBar));
    }
}

void CPavanelView::LeftDown(wxPoint pt) {
    const Point p{pt.x, pt.y};
    const int n = CProjectStore::Instance().PartCount();
    if (m_gallery->HitTest(p) >= 0) {
        const int part = m_gallery->Pick(p);
        if (part >= 0 && part < n) {
            if (m_gallery->markingMode() != kMarkDisplay) RefreshRect(ToWx(m_gallery->rect()));
            PickPart(part);
        }
        return;
    }
    if (m_wholeScaleLabel.Contains(p)) {
        m_editor->ToggleWholeScale();
        RefreshRect(ToWx(m_wholeScaleLabel));
        return;
    }
    if (m_icon1.Contains(p)) {
        OpenAddPictures(AddPicturesMode::AddOrReplace);
        return;
    }
    if (m_icon2.Contains(p)) {
        OpenReplaceBaseProject();
        return;
    }
    if (m_swatch.Contains(p)) {
        ChooseCaptionColour();
        return;
    }
    if (m_fontArea.Contains(p)) {
        wxFontData data;
        data.SetInitialFont(m_font);
        data.EnableEffects(true);
        wxFontDialog dlg(this, data);
        if (dlg.ShowModal() == wxID_OK) m_stage->SetCaptionFont(dlg.GetFontData().GetChosenFont());
        return;
    }
    if (m_nudgeLabel.Contains(p)) {
        m_editor->AdvanceNudgeStep();
        RefreshRect(ToWx(m_nudgeLabel));
        return;
    }
    for (int i = 0; i < 8; ++i) {
        if (!toolIcon(i).Contains(p)) continue;
        if (i == 0) {
            ChooseDrawingColour();
        } else if (i <= 6) {
            m_stage->SetMode(kToolFreehand + i - 1);
        } else {
            m_stage->items().Undo();
            m_stage->Refresh();
            m_stage->SetMode(kToolNone);
        }
        RefreshRect(ToWx(m_toolBar));
        return;
    }
}

void CPavanelView::LeftUp(wxPoint pt) {
    if (!m_markingLabel.Contains({pt.x, pt.y})) return;
    m_gallery->AdvanceMarkingMode();
    FillDisplayCombo();
    RefreshRect(ToWx(m_markingLabel));
    RefreshRect(ToWx(m_gallery->rect()));
}

void CPavanelView::Wheel(bool up) {
    if (m_editor->Wheel(up, m_stage->GetClientSize().x)) m_stage->Refresh();
}

void CPavanelView::ComboSelected(int id, int sel) {
    auto* c = static_cast<wxChoice*>(control(id));
    if (c && sel >= 0 && sel < static_cast<int>(c->GetCount()) && c->GetSelection() != sel) c->SetSelection(sel);
    const std::string text = c && sel >= 0 ? c->GetString(static_cast<unsigned>(sel)).utf8_string() : std::string();
    switch (id) {
        case kIdCaptionHeight: m_stage->SetText(0, text); break;
        case kIdLineWidth: m_stage->items().SetWidth(std::atoi(text.c_str())); break;
        case kIdReferenceAngle: m_stage->SetValue(1, text); break;
        case kIdReferenceScale:
            if (m_editor->wholeScale()) {
                m_editor->ApplyWholeScale(std::atof(text.c_str()));
                RefreshRect(ToWx(m_wholeScaleLabel));
                AfterStageChange(true);
            } else {
                m_stage->SetValue(2, text);
            }
            break;
        case kIdPictureType: m_pictureType = text.empty() ? "jpg" : text; break;
        case kIdDisplay: {
            std::vector<int> map;
            const GalleryChange change = m_gallery->ComboSelected(sel, &map);
            if (change == GalleryChange::Moved) {
                const int selected = m_editor->selectedPart();
                m_editor->SelectPart(selected >= 0 && selected < static_cast<int>(map.size())
                                         ? map[static_cast<std::size_t>(selected)] : -1);
                m_editor->ProjectChanged();
                m_previewPart = m_editor->selectedPart();
            } else if (change == GalleryChange::Redepthed || (change == GalleryChange::Nothing &&
                                                               m_gallery->markingMode() == kMarkDisplay)) {
                m_editor->ProjectChanged();
            }
            if (change != GalleryChange::Display) FillDisplayCombo();
            AfterStageChange(true);
            Refresh();
            break;
        }
        default: break;
    }
}

void CPavanelView::CheckChanged(int id, bool on) {
    if (auto* c = dynamic_cast<wxCheckBox*>(control(id)); c && c->GetValue() != on) c->SetValue(on);
    switch (id) {
        case kIdShowFrame: m_stage->SetOption(on ? 1 : 0); break;
        case kIdLock: m_stage->SetFlagA(on ? 1 : 0); break;
        case kIdMoveReference: m_stage->SetFlagB(on ? 1 : 0); break;
        case kIdAuto: m_editor->SetAutoPlace(on); break;
        case kIdProcessing:
            m_processing = on;
            control(kIdWebPage)->SetLabel(wxString::FromUTF8(on ? "试衣图片参数" : "创建搭配网页"));
            m_addPicturesOn = on;
            control(kIdAddPictures)->Enable(on && m_editing);
            RefreshRect(ToWx(m_gallery->rect()));
            break;
        default: break;
    }
}

std::intptr_t CPavanelView::OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) {
    if (id != kStageNotifyMessage || m_busy) return 0;
    m_busy = 1;
    const auto* record = reinterpret_cast<const StageNotifyRecord*>(lparam);
    if (wparam == static_cast<std::uintptr_t>(kNotifyRectSelected) && record) {
        const wxPoint at = m_stage->GetPosition();
        const Rect r{record->left, record->top, record->right, record->bottom};
        m_frameRect = r.Offset(at.x, at.y);
        m_stage->control().SetFrameRect(r);
        m_stage->Refresh();
        EnableEditing(true);
    } else if (wparam == static_cast<std::uintptr_t>(kNotifySlotSelected)) {
        StageSlotTable& slots = StageSlotTable::Instance();
        if (StageSlot* slot = slots.CurrentOccupied(CProjectStore::Instance().PartCount())) ShowPreview(slot->part);
        AfterStageChange();
    }
    m_busy = 0;
    return 1;
}

// ---- painting ----

void CPavanelView::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    Draw(dc);
}

void CPavanelView::Draw(wxDC& dc) {
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
    dc.SetFont(m_font);
    if (!m_ready) return;
    DrawToolBar(dc);
    DrawPreview(dc);
    DrawLabels(dc);
    DrawGallery(dc);
}

void CPavanelView::DrawToolBar(wxDC& dc) {
    dc.SetPen(wxPen(wxColour(170, 170, 170)));
    dc.SetBrush(wxBrush(wxColour(250, 250, 250)));
    dc.DrawRectangle(ToWx(m_toolBar));
    const int tool = m_stage->control().tool();
    for (int i = 0; i < 8; ++i) {
        const Rect r = toolIcon(i);
        const bool active = i >= 1 && i <= 6 && tool == kToolFreehand + i - 1;
        dc.SetPen(wxPen(active ? wxColour(255, 120, 80) : wxColour(190, 190, 190)));
        dc.SetBrush(wxBrush(active ? wxColour(255, 236, 220) : wxColour(240, 240, 246)));
        dc.DrawRoundedRectangle(ToWx(r), 3);
        const int l = r.left + 7, t = r.top + 7, rr = r.right - 7, b = r.bottom - 7;
        dc.SetPen(wxPen(wxColour(40, 60, 110), 2));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        switch (i) {
            case 0:  // the drawing colour
                dc.SetPen(wxPen(wxColour(60, 60, 60)));
                dc.SetBrush(wxBrush(ToColour(m_stage->items().colour())));
                dc.DrawRectangle(l, t, rr - l, b - t);
                break;
            case 1: {  // freehand
                const wxPoint pts[] = {{l, b}, {l + 5, t + 6}, {l + 10, b - 4}, {rr, t}};
                dc.DrawSpline(4, pts);
                break;
            }
            case 2: dc.DrawRectangle(l, t + 2, rr - l, b - t - 4); break;
            case 3: dc.DrawEllipse(l, t + 2, rr - l, b - t - 4); break;
            case 4: {
                const wxPoint pts[] = {{l, b}, {l + 6, t}, {l + 12, b - 3}, {rr, t + 3}};
                dc.DrawLines(4, pts);
                break;
            }
            case 5: {
                dc.SetBrush(wxBrush(wxColour(40, 60, 110)));
                const wxPoint pts[] = {{l, b - 3}, {rr - 6, t + 5}, {rr - 9, t + 2}, {rr, t}, {rr - 2, t + 9},
                                       {rr - 5, t + 6}, {l + 3, b}};
                dc.DrawPolygon(7, pts);
                break;
            }
            case 6: {
                const wxPoint pts[] = {{l, t + 4}, {rr, t}, {rr - 3, b}, {l + 4, b - 2}, {l, t + 4}};
                dc.DrawLines(5, pts);
                break;
            }
            case 7: {  // undo: a hooked arrow
                dc.DrawArc(rr, b - 2, rr, t + 6, (l + rr) / 2 + 2, (t + b) / 2 + 2);
                dc.DrawLine(rr, t + 6, rr - 6, t + 2);
                dc.DrawLine(rr, t + 6, rr - 6, t + 10);
                break;
            }
        }
    }
}

void CPavanelView::DrawPreview(wxDC& dc) {
    dc.SetPen(wxPen(wxColour(150, 150, 150)));
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(ToWx(m_preview));
    if (m_previewPart >= 0 && m_previewPart < CProjectStore::Instance().PartCount()) {
        const fs::path pic = m_editor->PartPicture(m_previewPart);
        if (auto size = platform::image::PictureSize(pic); size && size->x > 0 && size->y > 0) {
            const Rect inner = m_preview.Inflate(-3);
            int x = inner.left, y = inner.top, w = inner.width(), h = inner.width();
            FitRect(size->x, size->y, x, y, w, h);
            if (h > inner.height()) {  // a tall picture: fit by height
                x = inner.left, y = inner.top, w = inner.height(), h = inner.height();
                FitRect(size->x, size->y, x, y, w, h);
                x = inner.left + (inner.width() - w) / 2;
            }
            m_stage->painter().pictures().DrawPicture(dc, pic, Rect::FromSize(x, y, std::max(1, w), std::max(1, h)),
                                                      false);
        }
    }
    // The two icons below the preview.
    const char* icons[] = {"build_GroupTrans.png", "build_TransDress.png"};
    const Rect boxes[] = {m_icon1, m_icon2};
    for (int i = 0; i < 2; ++i) {
        const fs::path p = m_base / fs::path(std::string(kSysprojFolderName)) / fs::path(icons[i]);
        if (auto image = platform::image::CachedPicture(p); image && image->IsOk()) {
            const wxImage icon = image->Scale(50, 50, wxIMAGE_QUALITY_HIGH);
            dc.DrawBitmap(wxBitmap(icon), boxes[i].left, boxes[i].top, true);
        } else {
            dc.SetPen(wxPen(wxColour(200, 200, 200)));
            dc.SetBrush(*wxTRANSPARENT_BRUSH);
            dc.DrawRectangle(ToWx(boxes[i]));
        }
    }
}

void CPavanelView::DrawLabels(wxDC& dc) {
    dc.SetTextForeground(wxColour(30, 30, 30));
    auto label = [&](const Rect& r, const std::string& text, bool framed) {
        if (framed) {
            dc.SetPen(wxPen(wxColour(170, 170, 170)));
            dc.SetBrush(wxBrush(wxColour(248, 248, 248)));
            dc.DrawRoundedRectangle(ToWx(r), 3);
        }
        dc.DrawLabel(wxString::FromUTF8(text), ToWx(r), wxALIGN_CENTRE);
    };
    label(m_wholeScaleLabel, m_editor->wholeScale() ? "整体改比例开" : "整体比例", true);
    label(m_markingLabel, PartGallery::ModeCaption(m_gallery->markingMode()), true);
    label(m_layerLabel, "层:" + m_editor->LayerText(), false);
    label(m_nudgeLabel, "步长 " + std::to_string(m_editor->nudgeStep()), true);
    label(m_fontArea, "字体", true);
    for (const auto& [r, name] : m_comboLabels) label(r, name, false);
    dc.SetPen(wxPen(wxColour(90, 90, 90)));
    dc.SetBrush(wxBrush(ToColour(m_captionColour)));
    dc.DrawRectangle(ToWx(m_swatch));
}

void CPavanelView::DrawGallery(wxDC& dc) {
    const Rect g = m_gallery->rect();
    if (g.empty()) return;
    // Drawn into a bitmap of the gallery's own size and put in place whole:
    // nothing the gallery draws can land beside it on the view, where a
    // repaint of the gallery alone would leave it standing.
    wxBitmap bitmap(g.width(), g.height(), 24);
    {
        wxMemoryDC mem(bitmap);
        mem.SetDeviceOrigin(-g.left, -g.top);
        PaintGallery(mem);
    }
    dc.DrawBitmap(bitmap, g.left, g.top);
    control(kIdPageUp)->Enable(m_gallery->CanPageUp());
    control(kIdPageDown)->Enable(m_gallery->CanPageDown());
}

void CPavanelView::PaintGallery(wxDC& dc) {
    const Rect g = m_gallery->rect();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(ToColour(kGalleryBackground)));
    dc.DrawRectangle(ToWx(g));
    Edge3d(dc, g);
    wxFont font = m_font;
    font.SetPixelSize(wxSize(0, 13));
    dc.SetFont(font);
    const wxPen green(ToColour(kGalleryPen), 2);
    CProjectStore& store = CProjectStore::Instance();
    picture_controls::PicturePainter::Pass pass(m_stage->painter().pictures());
    // The page's pictures decoded together on all cores, not one by one below.
    const std::vector<GalleryCell> cells = m_gallery->Cells();
    std::vector<fs::path> shown;
    for (const GalleryCell& c : cells)
        if (c.part >= 0) shown.push_back(m_editor->PartPicture(c.part));
    platform::image::PictureCache::Instance().Prefetch(shown);
    for (const GalleryCell& c : cells) {
        if (c.part < 0) continue;
        const PartRecord& part = store.Part(c.part);
        Edge3d(dc, c.picture);
        DrawFitted(dc, m_editor->PartPicture(c.part), c.picture.Inflate(-4), m_stage->painter().pictures());
        // The name centred on one line in 'T', cut where the cell's own part of 'T' ends.
        if (!c.nameClip.empty()) {
            dc.SetClippingRegion(ToWx(c.nameClip));
            if (m_processing) {
                dc.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
                dc.SetTextBackground(ToColour(PartGallery::ProcessColour(part.Depth())));
                dc.SetTextForeground(ToColour(kGalleryProcessText));
                dc.DrawLabel(wxString::FromUTF8(PartGallery::ProcessLabel(part.Depth(), part.Name())),
                             ToWx(c.name), wxALIGN_CENTRE);
            } else {
                dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
                dc.SetTextForeground(ToColour(kGalleryNameColour));
                dc.DrawLabel(wxString::FromUTF8(part.Name()), ToWx(c.name), wxALIGN_CENTRE);
            }
            dc.DestroyClippingRegion();
        }
        if (m_gallery->markingMode() != kMarkDisplay) {
            const Rect box = c.MarkBox();
            dc.SetPen(wxPen(wxColour(150, 150, 150)));
            dc.SetBrush(wxBrush(ToColour(kGalleryMarkFill)));
            dc.DrawRectangle(ToWx(box));
            if (m_gallery->Marked(c.part)) {
                dc.SetPen(green);
                const wxPoint tick[] = {{box.left + 2, box.top + 4}, {box.left + 6, box.top + 12},
                                        {box.left + 12, box.top + 2}};
                dc.DrawLines(3, tick);
            }
        }
    }
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
}

// ---- events ----

void CPavanelView::OnMouse(wxMouseEvent& e) {
    const wxEventType t = e.GetEventType();
    const wxPoint p = e.GetPosition();
    if (t == wxEVT_LEFT_DOWN) {
        LeftDown(p);
    } else if (t == wxEVT_LEFT_UP) {
        LeftUp(p);
    } else if (t == wxEVT_MOTION) {
        const Point q{p.x, p.y};
        const bool hot = m_gallery->HitTest(q) >= 0 || m_icon1.Contains(q) || m_icon2.Contains(q) ||
                         m_wholeScaleLabel.Contains(q) || m_markingLabel.Contains(q) || m_nudgeLabel.Contains(q);
        SetCursor(hot ? wxCursor(wxCURSOR_HAND) : wxNullCursor);
    }
    e.Skip();
}

void CPavanelView::OnWheel(wxMouseEvent& e) { Wheel(e.GetWheelRotation() > 0); }

void CPavanelView::OnButton(wxCommandEvent& e) { RunCommand(e.GetId()); }

void CPavanelView::OnChoice(wxCommandEvent& e) { ComboSelected(e.GetId(), e.GetSelection()); }

void CPavanelView::OnCheck(wxCommandEvent& e) { CheckChanged(e.GetId(), e.IsChecked()); }

void CPavanelView::OnText(wxCommandEvent& e) {
    if (!m_ready) return;
    if (e.GetId() == kIdCaptionText) {
        m_stage->EndMode();
        m_stage->SetText(1, e.GetString().utf8_string());
    } else if (e.GetId() == kIdPictureName) {
        control(kIdSaveComposition)->Enable(m_editing && !e.GetString().empty());
    }
}

}  // namespace project_editor
