#include "project_editor/project_param_dlg.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/dcbuffer.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/image/picture_cache.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "project_editor/picture_list_dlgs.h"
#include "project_editor/dialog_support.h"
#include "project_editor/project_dialogs.h"
#include "project_editor/project_grids.h"

namespace fs = std::filesystem;
using platform::MbButtons;
using platform::MbIcon;
using platform::MbResult;

namespace project_editor {

namespace {

using namespace dialog_support;

// The media grid's "图片列表" column (after the icon column "--").
constexpr int kFacePictureColumn = 1;

// Show pictures of a face kind: 'G' gif, 'P' png, else jpg.
std::string FaceKindExtension(char kind) { return kind == 'G' ? "gif" : kind == 'P' ? "png" : "jpg"; }

}  // namespace

std::function<void(CPicVoiceListDlg&)>& CProjectParamDlg::ListDialogHook() {
    static std::function<void(CPicVoiceListDlg&)> hook;
    return hook;
}

CProjectParamDlg::CProjectParamDlg(wxWindow* parent, int part)
    : wxDialog(parent, kIdProjectParamDialog, W("设置项目参数")),
      m_params(CProjectStore::Instance(), StageSlotTable::Instance()) {
    SetName("CProjectParamDlg");
    CProjectStore& store = CProjectStore::Instance();
    m_params.SetPartIndex(part);
    CurrentPartIndex() = m_params.part();
    // The face name becomes the first face picture before the grid reads it.
    SeedFaceName(store, m_params.part());

    m_preview = new wxPanel(this, kIdParamPreview, wxPoint(10, 10), wxSize(180, 226), wxBORDER_SUNKEN);
    m_preview->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_preview->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(m_preview);
        DrawPreview(dc);
    });
    const wxCursor hand = platform::ui::LoadCursorResource(kHandCursor);
    m_preview->SetCursor(hand.IsOk() ? hand : wxCursor(wxCURSOR_HAND));

    const int lx = 202, ix = 290, iw = 320;
    auto label = [&](const char* text, int x, int y) { new wxStaticText(this, wxID_ANY, W(text), wxPoint(x, y + 5)); };
    label("商品名称:", lx, 10);
    m_name = new wxTextCtrl(this, kIdGoodsName, "", wxPoint(ix, 10), wxSize(iw, -1));
    label("商品代号:", lx, 42);
    m_code = new wxTextCtrl(this, kIdGoodsCode, "", wxPoint(ix, 42), wxSize(150, -1));
    label("商品单价:", lx, 74);
    m_price = new wxTextCtrl(this, kIdPrice, "", wxPoint(ix, 74), wxSize(150, -1));
    label("WEB链接:", lx, 106);
    m_link = new wxTextCtrl(this, kIdWebLink, "", wxPoint(ix, 106), wxSize(iw, -1));
    label("语音文件:", lx, 138);
    m_voice = new wxComboBox(this, kIdVoice, "", wxPoint(ix, 138), wxSize(iw, -1));
    label("深度:", lx, 172);
    m_depth = new wxComboBox(this, kIdDepth, "", wxPoint(ix, 172), wxSize(90, -1));
    for (int d = 99; d >= 1; --d) m_depth->Append(std::to_string(d));
    label("展示图片数:", 400, 172);
    m_showCount = new wxChoice(this, kIdShowCount, wxPoint(490, 172), wxSize(70, -1));
    for (int d = 0; d <= 9; ++d) m_showCount->Append(std::to_string(d));
    label("类型:", lx, 206);
    m_type = new wxChoice(this, kIdFaceType, wxPoint(ix, 206), wxSize(90, -1));
    for (const char* k : kFaceKinds) m_type->Append(k);
    label("比例:", 400, 206);
    m_scale = new wxChoice(this, kIdScaleChoice, wxPoint(440, 206), wxSize(100, -1));
    for (const char* k : kScaleChoices) m_scale->Append(W(k));
    m_scaleLabel = new wxStaticText(this, wxID_ANY, "", wxPoint(548, 211), wxSize(70, 20));

    m_grid = new CMediaListGrid();
    m_grid->CreateOver(this, wxRect(10, 248, 600, 200), kIdMediaGridPlace);
    new wxButton(this, kIdDeletePicture, W("删除图片"), wxPoint(10, 460), wxSize(110, 32));
    new wxButton(this, kIdSaveExit, W("保存退出"), wxPoint(500, 460), wxSize(110, 32));
    SetClientSize(620, 502);

    Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) { RunCommand(e.GetId()); });
    Bind(wxEVT_CHOICE, [this](wxCommandEvent& e) { RunCommand(e.GetId()); });
    Bind(wxEVT_COMBOBOX, [this](wxCommandEvent& e) { RunCommand(e.GetId()); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
        OnClose();
        e.Skip();
    });

    // Initialisation.
    const PartParamTexts t = m_params.Init();
    m_name->ChangeValue(W(t.name));
    m_code->ChangeValue(W(t.goodsCode));
    m_price->ChangeValue(W(t.price));
    m_link->ChangeValue(W(t.webLink));
    m_voice->ChangeValue(W(t.voice));
    if (m_params.valid()) {
        m_depth->SetValue(t.depth);
        m_showCount->SetStringSelection(t.showCount);
        m_type->SetStringSelection(t.type);
    }
    m_scaleText = t.scale;
    m_scaleLabel->SetLabel(W(t.scale));
    const fs::path sounds = ProjectFolderOf(store) / fs::path(std::string(kSoundSubfolderName));
    for (const std::string& v : ListVoiceFiles(sounds)) m_voice->Append(W(v));
    m_voice->ChangeValue(W(t.voice));
    if (!m_params.valid())
        for (int id : {kIdSaveExit, kIdDeletePicture}) FindWindow(id)->Disable();
    CentreOnParent();
}

CProjectParamDlg::~CProjectParamDlg() = default;

void CProjectParamDlg::Tell(const std::string& text) {
    platform::ui::ShowMessage(text, MbButtons::Ok, MbIcon::Exclamation, kTip, this);
}

PartParamTexts CProjectParamDlg::ReadTexts() const {
    PartParamTexts t;
    t.name = U(m_name->GetValue());
    t.goodsCode = U(m_code->GetValue());
    t.price = U(m_price->GetValue());
    t.webLink = U(m_link->GetValue());
    t.voice = U(m_voice->GetValue());
    t.depth = U(m_depth->GetValue());
    t.showCount = U(m_showCount->GetStringSelection());
    t.type = U(m_type->GetStringSelection());
    return t;
}

void CProjectParamDlg::RunCommand(int id) {
    switch (id) {
        case kIdDeletePicture: OnDeletePicture(); break;
        case kIdSaveExit: OnSaveExit(); break;
        case kIdShowCount: {
            m_grid->EndEdit();
            const std::string s = U(m_showCount->GetStringSelection());
            if (!s.empty()) m_params.SetShowCount(s[0]);
            m_grid->UpdateFaceCount();
            break;
        }
        case kIdVoice: {
            const std::string v = U(m_voice->GetStringSelection());
            if (!v.empty()) {
                m_voice->ChangeValue(W(v));
                m_voiceExtension = VoiceExtension(v);
            }
            break;
        }
        case kIdScaleChoice: OnSetAllScales(); break;
        default: break;  // depth and type are read when saving
    }
}

std::intptr_t CProjectParamDlg::OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t) {
    if (id == grid::kMsgGridNotify && wparam == grid::kGridNotifyTag) OpenList();
    return 0;
}

void CProjectParamDlg::OpenList() {
    int row = -1, column = -1;
    if (!m_params.valid() || !m_grid->GetCurrentCell(row, column) || column != kFacePictureColumn) return;
    m_grid->EndEdit();
    CProjectStore& store = CProjectStore::Instance();
    CPicVoiceListDlg dlg(this);
    dlg.SetList(kListShowPictures, FaceKindExtension(store.Face(m_params.part()).FaceKind()),
                std::string(kShowSubfolderName));
    if (auto& hook = ListDialogHook()) dlg.CallAfter([&dlg, &hook] { hook(dlg); });
    if (dlg.ShowModal() != wxID_OK) return;
    switch (m_params.ApplyListPick(1, row, dlg.result())) {
        case ListPickResult::PoolFull:
            Tell("项目的文字区已满, \"" + dlg.result() + "\" 没有存入, 原来的名称保留不变。");
            return;
        case ListPickResult::Ignored: return;
        case ListPickResult::Applied: break;
    }
    int w = 0, h = 0;
    dlg.GetSelection(w, h);
    m_params.SetFacePictureSize(w, h);
    m_grid->RefreshRow();
}

void CProjectParamDlg::OnSaveExit() {
    m_grid->EndEdit();
    std::string error;
    if (m_params.Save(ReadTexts(), m_scaleChoice, &error) == SaveResult::Failed) {
        Tell(error.empty() ? "项目文件保存失败" : error);
        return;
    }
    if (IsModal()) EndModal(wxID_CANCEL);
}

void CProjectParamDlg::OnDeletePicture() {
    m_grid->EndEdit();
    if (platform::ui::ShowMessage(std::string(kDeletePartQuestion), MbButtons::YesNo, MbIcon::Question, kTip, this) !=
        MbResult::Yes)
        return;
    std::string error;
    if (m_params.Delete(m_moves, &error) == DeleteResult::SaveFailed) Tell(error.empty() ? "项目文件保存失败" : error);
    CurrentPartIndex() = -1;
    if (IsModal()) EndModal(wxID_OK);
}

void CProjectParamDlg::OnSetAllScales() {
    m_scaleChoice = U(m_scale->GetStringSelection());
    if (m_scaleChoice != kScaleChoices[1]) return;
    if (platform::ui::ShowMessage(std::string(kAllScalesQuestion), MbButtons::YesNo, MbIcon::Question, kTip, this) !=
        MbResult::Yes)
        return;
    m_params.SetAllScales();
    m_scaleText = "1.0";
    m_scaleLabel->SetLabel(W(m_scaleText));
}

void CProjectParamDlg::OnClose() { m_grid->EndEdit(); }

void CProjectParamDlg::DrawPreview(wxDC& dc) {
    const wxSize size = m_preview->GetClientSize();
    dc.SetBackground(wxBrush(wxColour(250, 250, 250)));
    dc.Clear();
    if (!m_params.valid()) return;
    CProjectStore& store = CProjectStore::Instance();
    const fs::path folder = ConfinedFolderPath(store.Header().PictureFolder(), store.BaseDir());
    const std::string name = store.Part(m_params.part()).PictureName();
    if (folder.empty() || name.empty()) return;
    const auto image = platform::image::CachedPicture(folder / fs::path(name + ".png"));
    if (!image || !image->IsOk()) return;
    const double s = std::min(static_cast<double>(size.x - 8) / image->GetWidth(),
                              static_cast<double>(size.y - 8) / image->GetHeight());
    const int w = std::max(1, static_cast<int>(image->GetWidth() * std::min(1.0, s)));
    const int h = std::max(1, static_cast<int>(image->GetHeight() * std::min(1.0, s)));
    dc.DrawBitmap(wxBitmap(image->Scale(w, h, wxIMAGE_QUALITY_HIGH)), (size.x - w) / 2, (size.y - h) / 2, true);
}

}  // namespace project_editor
