#include "fitting_room/dress_toolbar.h"

#include <wx/dcbuffer.h>
#include <wx/filedlg.h>

#include "fitting_room/project_chooser.h"
#include "fitting_room/replace_cloth_dlg.h"
#include "fitting_room/shared_objects.h"
#include "platform/image/picture_cache.h"
#include "platform/image/picture_io.h"
#include "platform/shell.h"
#include "platform/sound/sound.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "shell/base_directory.h"
#include "shell/guide_dlg.h"
#include "shell/deferred_request.h"
#include "shell/sys_info.h"

namespace fs = std::filesystem;
using namespace fitting_room;

namespace fitting_room {

ToolBarDialogs& DressToolBarDialogs() {
    static ToolBarDialogs dialogs;
    return dialogs;
}

}  // namespace fitting_room

namespace {

// Width of the labelled left part of the status strip's picture.
constexpr int kStripLabelledWidth = 390;


constexpr int kHandCursor = 131;

fs::path SysprojFolder() { return shell::BaseDirectory() / fs::path("服饰搭配sysproj"); }

// What a click needs of the windows around the bar.
class WindowActions : public ToolBarActions {
public:
    explicit WindowActions(CDressToolBar* bar) : m_bar(bar) {}

    int OpenCategory() override {
        const CGarmentPicList& list = RightGarmentList();
        const std::string& shown = list.basicProjectShown();
        if (shown == "童装") return kBtnChildrens;
        if (shown == "女装") return kBtnWomens;
        if (shown == "男装") return kBtnMens;
        if (shown.empty() && list.IsProjectLoaded()) return kBtnCustom;
        return 0;
    }
    bool HasPickedItem() override {
        PickedItem item;
        return RightGarmentList().GetPickedItem(&item) == 1;
    }
    bool WebProjectLoaded() override { return RightGarmentList().IsProjectLoaded() == 1; }
    int ShowPictureCount() override { return FittingModel().GetListCount(); }
    fs::path VoicePath() override { return FittingModel().GetFirstListTitle(); }
    std::string WebLink() override { return FittingModel().GetSecondListTitle(); }

    bool OpenChooser(int mode) override {
        auto& run = DressToolBarDialogs().chooser;
        const wxRect r = m_bar->GetScreenRect();
        const int x = mode == kChooseProject ? r.GetRight() : r.GetLeft();
        const auto chooserMode = static_cast<ChooserMode>(mode);
        const ChooserResult result = run ? run(m_bar, chooserMode, x, r.GetBottom())
                                         : ProjectChooserRunner(m_bar)(chooserMode, x, r.GetBottom());
        if (result.outcome == ChooserOutcome::Cancelled) return false;
        ApplyChooserResult(result, &RightGarmentList(), &FittingModel());
        return true;
    }
    void OpenReplaceDialog() override {
        if (auto& replace = DressToolBarDialogs().replace) {
            replace(m_bar);
        } else {
            CDlgReplaceCloth dlg(m_bar);
            dlg.ShowModal();
        }
    }
    void ShowNoPickedItem() override {
        platform::ui::ShowMessage("还没有选择同类服装项目!不能添加或替换。", platform::MbButtons::Ok,
                                  platform::MbIcon::Exclamation, "特别提示", m_bar);
    }
    void PlayVoice(const fs::path& voice) override {
        // A second press on the voice that plays stops it; another voice
        // replaces it. Sounds never stack.
        static fs::path playing;
        if (platform::sound::IsPlaying() && playing == voice) {
            platform::sound::Stop();
            playing.clear();
            return;
        }
        std::string error;
        const auto outcome = platform::sound::Play(voice, false, &error);
        playing.clear();
        if (outcome == platform::sound::PlayOutcome::Playing) {
            playing = voice;
            return;
        }
        // A voice that does not play is named, so the user knows why it is silent.
        const std::string text = outcome == platform::sound::PlayOutcome::MissingFile
                                     ? "找不到声音文件: " + voice.filename().string()
                                     : "无法播放声音文件: " + voice.filename().string() +
                                           (error.empty() ? "" : "\n" + error);
        platform::ui::ShowMessage(text, platform::MbButtons::Ok, platform::MbIcon::Exclamation, "特别提示", m_bar);
    }
    void OpenWebLink(const std::string& link) override { platform::OpenWithDesktop(link); }
    bool ImportPhoto() override {
        const fs::path folder = shell::BaseDirectory() / fs::path("服饰搭配拍照图片");
        std::optional<fs::path> chosen;
        if (auto& pick = DressToolBarDialogs().photoFile) {
            chosen = pick(m_bar, folder);
        } else {
            const std::string filter = CaseBlindWildcard("图形文件(*.png,*.bmp,*.jpg)", "*.png;*.bmp;*.jpg");
            wxFileDialog dlg(m_bar, wxString::FromUTF8("导入个人照片"), wxString::FromUTF8(folder.string()),
                             wxEmptyString, wxString::FromUTF8(filter), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
            if (dlg.ShowModal() == wxID_OK) chosen = fs::path(dlg.GetPath().utf8_string());
        }
        if (!chosen) return false;
        FittingModel().SetPhotoPicture(*chosen);
        shell::SysInfo().SetPhotoPath(chosen->string());
        return true;
    }
    void ShowGuide() override {
        if (auto& guide = DressToolBarDialogs().guide) {
            guide(m_bar);
        } else {
            CDlgGuide dlg(m_bar, shell::BaseDirectory());
            dlg.ShowModal();
        }
    }
    void Send(std::int32_t code) override { shell::Deferred().Store(code); }

private:
    CDressToolBar* m_bar;
};

}  // namespace

bool CDressToolBar::Create(wxWindow* parent, wxWindowID id, int bitmapResource) {
    m_bitmap = platform::ui::LoadBitmapResource(bitmapResource);
    if (!m_bitmap.IsOk()) return false;
    // The toolbar shares its background picture with the status strip, whose
    // left part labels the strip's click areas; the toolbar stretches only the
    // plain rest, so no label shows where it cannot be clicked.
    if (m_bitmap.GetWidth() > 2 * kStripLabelledWidth)
        m_bitmap = wxBitmap(m_bitmap.ConvertToImage().GetSubImage(
            wxRect(kStripLabelledWidth, 0, m_bitmap.GetWidth() - kStripLabelledWidth, m_bitmap.GetHeight())));
    if (!wxWindow::Create(parent, id, wxDefaultPosition, wxSize(-1, kToolBarHeight), wxFULL_REPAINT_ON_RESIZE))
        return false;
    SetMinSize(wxSize(-1, kToolBarHeight));
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_hand = platform::ui::LoadCursorResource(kHandCursor);
    Bind(wxEVT_PAINT, &CDressToolBar::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CDressToolBar::OnLeftDown, this);
    Bind(wxEVT_MOTION, &CDressToolBar::OnMotion, this);
    // A pointer that comes onto a button from outside the bar counts as a
    // move there, and one that leaves the bar is over no button.
    Bind(wxEVT_ENTER_WINDOW, &CDressToolBar::OnMotion, this);
    Bind(wxEVT_LEAVE_WINDOW, &CDressToolBar::OnLeave, this);
    m_tip.Create(this);
    return true;
}

fs::path CDressToolBar::PictureOf(const ToolButton& b) const {
    if (b.kind == 'A')
        return SysprojFolder() / fs::path(std::string(b.picture) + (b.state == 'O' ? "Open.ico" : "Close.ico"));
    return SysprojFolder() / fs::path(b.picture);
}

wxSize CDressToolBar::NaturalSize(const ToolButton& b) const {
    if (b.kind == 'A') return wxSize(kCategoryIconSize, kCategoryIconSize);
    return platform::image::PictureCache::Instance().SizeOf(PictureOf(b)).value_or(wxSize(0, 0));
}

void CDressToolBar::Draw(wxDC& dc, const wxSize& size) {
    m_rules.Layout(size.x);
    if (m_bitmap.IsOk()) {
        const wxImage stretched = m_bitmap.ConvertToImage().Scale(std::max(1, size.x), std::max(1, size.y));
        dc.DrawBitmap(wxBitmap(stretched), 0, 0);
    }
    for (const ToolButton& b : m_rules.buttons()) {
        auto picture = platform::image::PictureCache::Instance().Get(PictureOf(b));
        if (!picture || !picture->IsOk()) continue;
        if (b.kind == 'A') {
            wxImage icon = *picture;
            if (icon.GetWidth() != kCategoryIconSize || icon.GetHeight() != kCategoryIconSize)
                icon = icon.Scale(kCategoryIconSize, kCategoryIconSize, wxIMAGE_QUALITY_HIGH);
            dc.DrawBitmap(wxBitmap(icon), b.x, b.y, true);
        } else {
            dc.DrawBitmap(wxBitmap(*picture), b.x, b.y, true);
        }
    }
}

int CDressToolBar::ButtonAt(wxPoint p) {
    m_rules.Layout(GetClientSize().x);
    return m_rules.HitTest({p.x, p.y}, [this](const ToolButton& b) {
        const wxSize s = NaturalSize(b);
        return std::pair{s.x, s.y};
    });
}

wxPoint CDressToolBar::ButtonCentre(int id) {
    m_rules.Layout(GetClientSize().x);
    const ToolButton* b = m_rules.Find(id);
    if (!b) return wxPoint(-1, -1);
    const wxSize s = NaturalSize(*b);
    return wxPoint(b->x + s.x / 2, b->y + s.y / 2);
}

void CDressToolBar::ClickAt(wxPoint p) {
    m_tip.HideTip();
    m_lastTip.clear();
    const int id = ButtonAt(p);
    if (id < 0) {
        SetCursor(wxNullCursor);
        m_handShown = false;
        return;
    }
    WindowActions actions(this);
    m_rules.Click(id, actions);
    // The list may have kept its project (a load refused): show what it holds.
    m_rules.FollowCategory(actions.OpenCategory());
    Refresh();
}

void CDressToolBar::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    Draw(dc, GetClientSize());
}

void CDressToolBar::OnLeftDown(wxMouseEvent& e) { ClickAt(e.GetPosition()); }

void CDressToolBar::OnMotion(wxMouseEvent& e) { PointerAt(e.GetPosition()); }

void CDressToolBar::PointerAt(wxPoint p) {
    const int id = ButtonAt(p);
    const bool over = id >= 0;
    const ToolButton* b = over ? m_rules.Find(id) : nullptr;
    const std::string text = b ? b->tip : "";
    if (text.empty()) {
        m_tip.HideTip();
        m_lastTip.clear();
    } else if (text != m_lastTip) {
        m_tip.HideTip();
        m_tip.ShowTip(p.x, p.y + kTipBelowPointer, text);
        m_lastTip = text;
    }
    if (over != m_handShown) {
        SetCursor(over ? m_hand : wxNullCursor);
        m_handShown = over;
    }
}

void CDressToolBar::OnLeave(wxMouseEvent& e) {
    // The pointer moved onto the tip, still within the bar: the tip stays.
    if (wxRect(GetClientSize()).Contains(e.GetPosition())) return;
    m_tip.HideTip();
    m_lastTip.clear();
}
