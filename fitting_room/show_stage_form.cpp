#include "fitting_room/show_stage_form.h"

#include <algorithm>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcbuffer.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "platform/shell.h"
#include "platform/sound/sound.h"
#include "platform/ui/colour.h"
#include "platform/ui/fonts.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "shell/base_directory.h"
#include "shell/download_host.h"
#include "shell/download_record.h"
#include "shell/library_binding.h"
#include "shell/sys_info.h"
#include "shell/web_links.h"

using namespace fitting_room;

namespace {

// Dialog 135 (311 x 362 dialog units of 宋体 10 points) in pixels.
constexpr int kFormWidth = 544, kFormHeight = 633;
const wxRect kStageRect(12, 12, 520, 390);
const wxRect kDecorationRect(12, 414, 520, 64);
const wxRect kDownloadRect(12, 492, 210, 30);
const wxPoint kAutostartPos(240, 498);
const wxPoint kContactPos(14, 540);

// The gradient's colours (COLORREFs 0xF7DFD6, 0xC5ADA4).
const wxColour kGradientTop(0xD6, 0xDF, 0xF7);
const wxColour kGradientBottom(0xA4, 0xAD, 0xC5);

constexpr int kStageBitmaps[4] = {kStillStageBitmap, kShowBackground1, kShowBackground2, kShowBackground3};
constexpr int kMaxDelayMs = 60000;

bool g_runOnce = false;

std::optional<ShowImage> ToShowImage(const wxImage& img) {
    if (!img.IsOk()) return std::nullopt;
    ShowImage out;
    out.width = img.GetWidth();
    out.height = img.GetHeight();
    out.pixels.resize(std::size_t(out.width) * std::size_t(out.height));
    const unsigned char* rgb = img.GetData();
    for (std::size_t i = 0; i < out.pixels.size(); ++i)
        out.pixels[i] = ShowRgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    return out;
}

wxBitmap ToBitmap(const ShowImage& img) {
    wxImage out(img.width, img.height, false);
    unsigned char* rgb = out.GetData();
    for (std::size_t i = 0; i < img.pixels.size(); ++i) {
        rgb[3 * i] = static_cast<unsigned char>(img.pixels[i] >> 16);
        rgb[3 * i + 1] = static_cast<unsigned char>(img.pixels[i] >> 8);
        rgb[3 * i + 2] = static_cast<unsigned char>(img.pixels[i]);
    }
    return wxBitmap(out);
}

wxString Utf8Path(const std::filesystem::path& p) {
    const auto u8 = p.u8string();
    return wxString::FromUTF8(reinterpret_cast<const char*>(u8.data()), u8.size());
}

}  // namespace

void DlgImgedtFormview::ResetRunOnce() { g_runOnce = false; }

DlgImgedtFormview::DlgImgedtFormview(wxWindow* parent, int autoStartDelayMs)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxSize(kFormWidth, kFormHeight),
              wxTAB_TRAVERSAL | wxFULL_REPAINT_ON_RESIZE, "DlgImgedtFormview"),
      m_base(shell::BaseDirectory()),
      m_hand(platform::ui::LoadCursorResource(kShowHandCursor)),
      m_autoStartDelayMs(autoStartDelayMs),
      m_showTimer(this, kShowTimerId),
      m_frameTimer(this) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetFont(platform::ui::MakeFont(13));
    SetMinSize(wxSize(kFormWidth, kFormHeight));

    // The hidden frame control that marks the stage.
    m_stageControl = new wxWindow(this, IDC_SHOW_STAGE, kStageRect.GetPosition(), kStageRect.GetSize());
    m_stageControl->Hide();
    const wxBitmap decoration = platform::ui::LoadBitmapResource(kShowFormDecorationBitmap);
    if (decoration.IsOk()) {
        auto* deco = new wxStaticBitmap(this, wxID_ANY, decoration, kDecorationRect.GetPosition(),
                                        kDecorationRect.GetSize());
        deco->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) { if (m_playState == kShowPlaying) StopShow(); });
    }
    m_download = new wxButton(this, IDC_SHOW_DOWNLOAD, wxString::FromUTF8("下载新的T台秀展示"),
                              kDownloadRect.GetPosition(), kDownloadRect.GetSize());
    m_noAutostart = new wxCheckBox(this, IDC_SHOW_NO_AUTOSTART, wxString::FromUTF8("关闭开始启动T台秀动画"), kAutostartPos);
    m_contact = new wxStaticText(this, IDC_SHOW_CONTACT,
                                 wxString::FromUTF8("咨询热线: ") + wxString::FromUTF8(shell::kContactNumber), kContactPos);
    // Labels and the check box are drawn over the form's own gradient.
    m_contact->SetForegroundColour(wxColour(0, 0, 160));
    m_contact->SetCursor(m_hand);
    m_contact->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
        wxMouseEvent forwarded(e);
        forwarded.SetPosition(m_contact->GetPosition() + e.GetPosition());
        OnLeftDown(forwarded);
    });

    Bind(wxEVT_PAINT, [this](wxPaintEvent&) { OnPaint(); });
    Bind(wxEVT_LEFT_DOWN, &DlgImgedtFormview::OnLeftDown, this);
    Bind(wxEVT_MOTION, &DlgImgedtFormview::OnMotion, this);
    Bind(wxEVT_SIZE, &DlgImgedtFormview::OnSize, this);
    m_download->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDownloadShows(); });
    m_noAutostart->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { OnStopAutostart(); });
    Bind(wxEVT_TIMER, [this](wxTimerEvent& e) {
        if (e.GetId() == kShowTimerId) {
            OnShowTimer();
        } else if (!PlayNextFrame()) {
            StopShow();
        }
    });

    ResetShow();
    CallAfter([this] { OnInitialUpdate(); });
}

DlgImgedtFormview::~DlgImgedtFormview() {
    m_showTimer.Stop();
    m_frameTimer.Stop();
    if (m_playState == kShowPlaying) platform::sound::Stop();
}

bool DlgImgedtFormview::PictureLoaded(int picture) const {
    return picture >= 0 && picture < kShowPictures && m_pictures[picture].has_value();
}

void DlgImgedtFormview::MeasureStage() {
    // The stage control's rectangle in the form's client coordinates; the
    // paint and the frames use the same.
    m_stageRect = m_stageControl->GetRect();
    m_stageRectFlag = 1;
}

void DlgImgedtFormview::OnInitialUpdate() {
    MeasureStage();
    m_autostartLetter = shell::SysInfo().GetShowAutostart();
    m_autostart = m_autostartLetter != 'Y' ? 1 : 0;
    m_noAutostart->SetValue(m_autostart == 1);
    LoadShowScript();
    // The show starts by itself after the script is read unless the start-up
    // switch says not to.
    if (m_autostartLetter == 'Y') ArmShow(m_autoStartDelayMs);
}

void DlgImgedtFormview::ResetShow() {
    ShowTables& t = ShowStageTables();
    t.Empty();
    for (auto& p : m_pictures) p.reset();
    wxLogNull quiet;
    for (int i = 0; i < 4; ++i) {
        const wxBitmap bmp = platform::ui::LoadBitmapResource(kStageBitmaps[i]);
        m_stage[i] = bmp.IsOk() ? ToShowImage(bmp.ConvertToImage()) : std::nullopt;
    }
}

void DlgImgedtFormview::LoadShowScript() {
    ShowTables& t = ShowStageTables();
    if (!std::filesystem::exists(ShowScriptPath(m_base))) return;
    ResetShow();
    fitting_room::LoadShowScript(m_base, t);
}

void DlgImgedtFormview::ArmShow(int delayMs) {
    if (m_playState == kShowPlaying) return;
    m_playState = kShowArmed;
    m_showTimer.StartOnce(std::max(1, delayMs));
}

void DlgImgedtFormview::OnShowTimer() {
    ++m_timerCounter;
    m_showTimer.Stop();
    if (!g_runOnce) {
        g_runOnce = true;
        PlayBeat();
    }
    m_stageRectFlag = 0;
    Refresh();
}

void DlgImgedtFormview::LoadSceneBitmaps() {
    ShowTables& t = ShowStageTables();
    wxLogNull quiet;
    for (int k = 0; k < kShowPictures; ++k) {
        m_pictures[k].reset();
        if (t.pictures.states[k] == kPictureNone) continue;
        const std::string& name = t.pictures.names[k];
        if (!IsPlainShowName(name)) continue;
        const auto path = ShowFilePath(m_base, name, ".bmp");
        if (!std::filesystem::is_regular_file(path)) continue;
        wxImage img;
        if (!img.LoadFile(Utf8Path(path), wxBITMAP_TYPE_BMP)) continue;
        m_pictures[k] = ToShowImage(img);
        if (m_pictures[k]) t.pictures.states[k] = kPictureLoaded;
    }
}

void DlgImgedtFormview::PlayBeat() {
    if (m_playState != kShowArmed) return;
    ShowTables& t = ShowStageTables();
    LoadSceneBitmaps();
    if (t.sceneCount == 0) {
        m_playState = kShowEnded;
        return;
    }
    m_playState = kShowPlaying;
    const std::string& beat = t.pictures.beatWave;
    std::filesystem::path wave;
    if (!beat.empty() && IsPlainShowName(beat)) {
        wave = ShowFilePath(m_base, beat, ".wav");
    } else {
        wave = m_base / std::filesystem::path(u8"服饰搭配sysproj") / std::filesystem::path(u8"kzv节奏音.wav");
    }
    platform::sound::Play(wave, true);  // a missing wave plays nothing
    m_frameCounter = 0;
    m_cursor = ShowCursor();
    m_lastScene = -1;
    if (m_stage[1]) m_frame = ToBitmap(*m_stage[1]);
    RefreshRect(m_stageRect, false);
    ScheduleNextFrame(1);
}

void DlgImgedtFormview::ScheduleNextFrame(int delayMs) {
    m_frameTimer.StartOnce(std::clamp(delayMs, 1, kMaxDelayMs));
}

bool DlgImgedtFormview::PlayNextFrame() {
    if (m_playState != kShowPlaying) return false;
    const ShowTables& t = ShowStageTables();
    const auto frame = NextShowFrame(t, m_cursor);
    if (!frame) return false;
    if (frame->scene != m_lastScene) {
        m_lastScene = frame->scene;
        const ShowRecord& scene = t.scenes[frame->scene];
        if (scene.IsMoveScene() && scene.ownWave == 'Y' && IsPlainShowName(scene.waveName))
            platform::sound::Play(ShowFilePath(m_base, scene.waveName, ".wav"), true);
    }
    ++m_frameCounter;
    ComposeFrame(*frame);
    ScheduleNextFrame(frame->delayMs);
    return true;
}

void DlgImgedtFormview::ComposeFrame(const ShowFrame& frame) {
    if (m_composing) return;
    m_composing = true;
    const ShowTables& t = ShowStageTables();
    const int bitmap = ShowBackgroundBitmap(t.pictures.background);
    const int index = bitmap == kShowBackground2 ? 2 : bitmap == kShowBackground3 ? 3 : 1;
    if (m_stage[index]) {
        std::array<const ShowImage*, kShowPictures> pictures{};
        for (int k = 0; k < kShowPictures; ++k) {
            if (t.pictures.states[k] == kPictureLoaded && m_pictures[k]) pictures[k] = &*m_pictures[k];
        }
        const std::uint32_t key = ShowRgb(t.pictures.rgb[0], t.pictures.rgb[1], t.pictures.rgb[2]);
        m_frame = ToBitmap(ComposeShowFrame(*m_stage[index], frame, pictures, key));
        RefreshRect(wxRect(m_stageRect.GetPosition(), m_frame.GetSize()), false);
    }
    m_composing = false;
}

void DlgImgedtFormview::StopShow() {
    m_frameTimer.Stop();
    if (m_playState == kShowPlaying) platform::sound::Stop();
    if (m_playState == kShowPlaying || m_playState == kShowArmed) m_playState = kShowEnded;
    m_showTimer.Stop();
    m_frame = wxBitmap();
    m_stageRectFlag = 0;
    Refresh();
}

void DlgImgedtFormview::Draw(wxDC& dc, const wxSize& size) {
    // Vertical gradient, one line per pixel row.
    const int h = std::max(size.y, 1);
    for (int y = 0; y < size.y; ++y) {
        auto mix = [&](unsigned char a, unsigned char b) {
            return static_cast<unsigned char>(a + (static_cast<int>(b) - a) * y / h);
        };
        const wxColour c(mix(kGradientTop.Red(), kGradientBottom.Red()), mix(kGradientTop.Green(), kGradientBottom.Green()),
                         mix(kGradientTop.Blue(), kGradientBottom.Blue()));
        dc.SetPen(wxPen(c));
        dc.DrawLine(0, y, size.x, y);
    }
    if (m_playState == kShowPlaying && m_frame.IsOk()) {
        dc.DrawBitmap(m_frame, m_stageRect.GetPosition());
        return;
    }
    if (m_stage[0] && m_stageRect.width > 0 && m_stageRect.height > 0) {
        wxImage still = ToBitmap(*m_stage[0]).ConvertToImage();
        if (still.GetSize() != m_stageRect.GetSize())
            still.Rescale(m_stageRect.width, m_stageRect.height, wxIMAGE_QUALITY_BILINEAR);
        dc.DrawBitmap(wxBitmap(still), m_stageRect.GetPosition());
    }
}

void DlgImgedtFormview::OnPaint() {
    wxAutoBufferedPaintDC dc(this);
    if (!m_stageRectFlag) MeasureStage();
    Draw(dc, GetClientSize());
}

void DlgImgedtFormview::OnSize(wxSizeEvent& e) {
    m_stageRectFlag = 0;
    Refresh();
    e.Skip();
}

bool DlgImgedtFormview::OverContact(wxPoint p) const { return m_contact && m_contact->GetRect().Contains(p); }

void DlgImgedtFormview::OnLeftDown(wxMouseEvent& e) {
    if (OverContact(e.GetPosition())) {
        if (!m_linkBusy) {
            m_linkBusy = true;
            char url[256];
            std::snprintf(url, sizeof url, shell::kContactUrlFormat, shell::kContactNumber);
            std::string error;
            if (!platform::OpenWithDesktop(url, &error)) {
                platform::ui::ShowMessage(std::string("无法打开 ") + url + " !", platform::MbButtons::Ok,
                                          platform::MbIcon::Exclamation, {}, this);
            }
            m_linkBusy = false;
        }
    } else if (m_playState == kShowPlaying) {
        StopShow();  // a click ends the show
    }
    e.Skip();
}

void DlgImgedtFormview::OnMotion(wxMouseEvent& e) {
    if (OverContact(e.GetPosition())) SetCursor(m_hand);
    else SetCursor(wxNullCursor);
    e.Skip();
}

void DlgImgedtFormview::OnStopAutostart() {
    m_autostart = m_noAutostart->GetValue() ? 1 : 0;
    shell::SysInfo().SetShowAutostart(m_autostart ? ' ' : 'Y');
}

void DlgImgedtFormview::OnDownloadShows() {
    const auto sink = platform::ui::MessageSinkFor(this);
    auto& record = shell::DLoadRec();
    const std::string url = shell::ListPageUrl(shell::DownloadHost(), shell::kShowListPage);
    if (record.WriteRequest(shell::kKindShowList, url, shell::kShowListTitle) != 1) {
        sink({"无法写入下载请求: " + record.path().string(), {}, platform::MbButtons::Ok, platform::MbIcon::Exclamation});
        return;
    }
    shell::RunDownloadLibrary(platform::ExecutableDir(), sink);
    std::string fileName;
    if (record.ReadResult(&fileName)) {
        // The show is not installed: say where the file went.
        const auto folder = m_base / std::filesystem::path(std::u8string(shell::kDownloadFolderName.begin(),
                                                                        shell::kDownloadFolderName.end()));
        const auto u8 = (folder / std::filesystem::path(std::u8string(fileName.begin(), fileName.end()))).u8string();
        sink({"T台秀已下载到下载专区:\n" + std::string(u8.begin(), u8.end()), {}, platform::MbButtons::Ok,
              platform::MbIcon::Information});
    }
    m_stageRectFlag = 0;
    Refresh();
}
