#include "transfer/tranzel_dlg.h"

#include <mutex>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/filedlg.h>
#include <wx/listbox.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/ui/colour.h"
#include "platform/ui/dialog_end.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/fonts.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "transfer/net_traffic_button.h"
#include "transfer/tranzel_about.h"
#include "transfer/tranzel_texts.h"

namespace fs = std::filesystem;

namespace {

constexpr platform::ui::ColorRef kStatusColour = 0xFF0000;  // blue
constexpr int kUploadRunning = 101;
constexpr int kProgramIcon = 128;

wxString U(std::string_view s) { return wxString::FromUTF8(s.data(), s.size()); }

std::string Trimmed(const wxString& s) {
    wxString t = s;
    t.Trim(true).Trim(false);
    return t.utf8_string();
}

}  // namespace

// Carries worker results to the dialog while the dialog exists.
class CTranzelDlg::Poster {
public:
    explicit Poster(CTranzelDlg* dlg) : m_dlg(dlg) {}
    void Post(std::function<void(CTranzelDlg&)> f) {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_dlg) m_dlg->CallAfter([dlg = m_dlg, f = std::move(f)] { f(*dlg); });
    }
    void Detach() {
        std::lock_guard<std::mutex> lock(m_lock);
        m_dlg = nullptr;
    }

private:
    std::mutex m_lock;
    CTranzelDlg* m_dlg;
};

CTranzelDlg::CTranzelDlg(wxWindow* parent, const fs::path& base, transfer::CNetTraffic::Source traffic,
                         transfer::CNetTraffic::FlagsSource flags)
    : m_base(base), m_settingsPath(transfer::FtpSettingsPath(base)), m_poster(std::make_shared<Poster>(this)) {
    Create(parent, 102, U(transfer::kTranzelCaption), wxDefaultPosition, wxDefaultSize,
           wxDEFAULT_DIALOG_STYLE | wxMINIMIZE_BOX, "CTranzelDlg");
    // The big and the small icon.
    const wxIcon icon = platform::ui::LoadIconResource(kProgramIcon);
    if (icon.IsOk()) {
        wxIconBundle icons(icon);
        wxIcon small;
        small.CopyFromBitmap(wxBitmap(wxBitmap(icon).ConvertToImage().Rescale(16, 16, wxIMAGE_QUALITY_HIGH)));
        icons.AddIcon(small);
        SetIcons(icons);
    }
    SetFont(wxFont(wxFontInfo(10).FaceName(platform::ui::MapFace("宋体"))));
    auto at = [this](int x, int y) { return ConvertDialogToPixels(wxPoint(x, y)); };
    auto size = [this](int w, int h) { return ConvertDialogToPixels(wxSize(w, h)); };
    SetClientSize(size(407, 223));

    // The account, the site folder and the query on the left.
    m_labels[0] = new wxStaticText(this, IDC_TRANZEL_SERVER_LABEL, U("域名:"), at(7, 10), size(34, 10));
    m_server = new wxTextCtrl(this, IDC_TRANZEL_SERVER, "", at(42, 8), size(106, 13));
    m_labels[1] = new wxStaticText(this, IDC_TRANZEL_USER_LABEL, U("登录名:"), at(7, 27), size(34, 10));
    m_user = new wxTextCtrl(this, IDC_TRANZEL_USER, "", at(42, 25), size(106, 13));
    m_labels[2] = new wxStaticText(this, IDC_TRANZEL_PASSWORD_LABEL, U("口令:"), at(7, 44), size(34, 10));
    m_password = new wxTextCtrl(this, IDC_TRANZEL_PASSWORD, "", at(42, 42), size(106, 13), wxTE_PASSWORD);
    m_saveSettings = new wxButton(this, IDC_TRANZEL_SAVE_SETTINGS, U("记住设置"), at(98, 58), size(50, 14));
    new wxStaticText(this, wxID_ANY, U("网站目录:"), at(7, 79), size(34, 10));
    const wxString folders[] = {"DressDLoad2010", "DownLoad"};
    m_siteFolder = new wxComboBox(this, IDC_TRANZEL_SITE_FOLDER, transfer::kDefaultSiteFolder, at(42, 76), size(106, 14),
                                  2, folders, wxCB_DROPDOWN);
    m_query = new wxButton(this, IDC_TRANZEL_QUERY, U("网站查询"), at(7, 96), size(66, 16));
    m_exit = new wxButton(this, IDC_TRANZEL_EXIT, U("退出"), at(82, 96), size(66, 16));
    m_query->SetDefault();
    m_folderText = new wxTextCtrl(this, IDC_TRANZEL_FOLDER_TEXT, transfer::kDefaultSiteFolder, at(7, 96), size(20, 10));
    m_folderText->Hide();

    // The traffic graphs.
    new wxStaticBox(this, wxID_ANY, U(" 网络流量 "), at(7, 117), size(141, 100));
    m_graphs[0] = new CNetTrafficButton(this, IDC_TRANZEL_GRAPH_TOTAL, at(13, 129), size(129, 40), traffic, flags);
    m_graphs[1] = new CNetTrafficButton(this, IDC_TRANZEL_GRAPH_RECEIVED, at(13, 174), size(62, 26), traffic, flags);
    m_graphs[2] = new CNetTrafficButton(this, IDC_TRANZEL_GRAPH_SENT, at(80, 174), size(62, 26), traffic, flags);
    new wxStaticText(this, wxID_ANY, U("接收量"), at(13, 203), size(62, 10), wxALIGN_CENTRE_HORIZONTAL);
    new wxStaticText(this, wxID_ANY, U("发送量"), at(80, 203), size(62, 10), wxALIGN_CENTRE_HORIZONTAL);

    // The list and the transfers on the right.
    new wxStaticText(this, wxID_ANY, U("文件目录列表"), at(158, 8), size(100, 10));
    m_list = new wxListBox(this, IDC_TRANZEL_LIST, at(158, 20), size(242, 150), 0, nullptr, wxLB_SINGLE | wxLB_HSCROLL);
    m_status = new wxStaticText(this, IDC_TRANZEL_STATUS, "...", at(158, 174), size(242, 10),
                                wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE);
    m_status->SetForegroundColour(platform::ui::ToColour(kStatusColour));
    m_listLocal = new wxButton(this, IDC_TRANZEL_LIST_LOCAL, U("显示上传文件列表"), at(158, 194), size(78, 16));
    const wxString exts[] = {"htm", "JPG", "RAR", "ZIP"};
    m_extensionBox = new wxComboBox(this, IDC_TRANZEL_EXTENSION, "*", at(240, 195), size(44, 14), 4, exts, wxCB_DROPDOWN);
    m_download = new wxButton(this, IDC_TRANZEL_DOWNLOAD, U("下载"), at(290, 194), size(52, 16));
    m_upload = new wxButton(this, IDC_TRANZEL_UPLOAD, U("上传"), at(348, 194), size(52, 16));
    m_download->Disable();
    m_upload->Disable();
    SetEscapeId(IDC_TRANZEL_EXIT);
    SetAffirmativeId(wxID_NONE);

    // Graphs: total, sent, received, on the first interface that is up and
    // not a loopback (interface 0 when there is none). Each graph shows its
    // interface's name itself.
    const int types[3] = {0, 1, 2};
    const int active = m_graphs[0]->traffic().FirstActiveInterface();  // one reading for the three
    for (int i : {0, 2, 1}) {
        CNetTrafficButton* g = m_graphs[i];
        g->SetTrafficType(types[i]);
        g->SetInterfaceNumberNotificationFunction([this](int index) { m_interfaceText = transfer::InterfaceText(index); });
        g->SelectTrafficInterface(active);
        g->SetUpdateSpeed(1000, 100);
        g->Init();
    }

    ReadSettings();
    ShowMembers();

    m_timer.SetOwner(this, kUploadTimerId);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OnTimer(); }, kUploadTimerId);
    m_query->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnQuerySite(); });
    m_exit->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RequestClose(); });
    m_list->Bind(wxEVT_LISTBOX, [this](wxCommandEvent& e) { OnSelectList(e.GetSelection()); });
    m_download->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDownload(); });
    m_upload->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnUpload(); });
    m_listLocal->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnListLocal(); });
    m_saveSettings->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSaveSettings(); });
    for (wxTextCtrl* edit : {m_server, m_user, m_password, m_folderText})
        edit->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { TakeControls(); });
    m_siteFolder->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { m_settings.siteFolder = Trimmed(m_siteFolder->GetValue()); });
    m_siteFolder->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent& e) {
        m_siteFolder->SetValue(e.GetString());
        m_settings.siteFolder = Trimmed(e.GetString());
    });
    m_extensionBox->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent& e) { m_extension = Trimmed(e.GetString()); });
    m_extensionBox->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { m_extension = Trimmed(m_extensionBox->GetValue()); });
    Bind(wxEVT_RIGHT_DOWN, [this](wxMouseEvent& e) {
        OnRButtonDown();
        const wxPoint at = ClientToScreen(e.GetPosition());
        CallAfter([this, at] { ShowWindowMenu(at); });
    });
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
        if (e.GetKeyCode() == WXK_SPACE && e.GetModifiers() == wxMOD_ALT) {
            CallAfter([this] { ShowWindowMenu(ClientToScreen(wxPoint(0, 0))); });
            return;
        }
        e.Skip();
    });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
        if (!e.CanVeto()) {
            // A close that cannot wait asks nothing: what runs is cancelled,
            // and the destructor waits for it.
            m_closing = true;
            m_task.Cancel();
            m_job.Cancel();
            platform::ui::EndDialog(*this, wxID_CANCEL);
            return;
        }
        e.Veto();
        RequestClose();
    });
    CentreOnScreen();
}

CTranzelDlg::~CTranzelDlg() {
    m_timer.Stop();
    m_poster->Detach();
    m_task.Cancel();
    m_task.Wait();
    m_job.Cancel();
    m_job.Wait();
}

void CTranzelDlg::SetTimeouts(long connectSeconds, long lowSpeedSeconds) {
    m_connectSeconds = connectSeconds;
    m_lowSpeedSeconds = lowSpeedSeconds;
}

void CTranzelDlg::ReadSettings() { transfer::ReadFtpSettings(m_settingsPath, &m_settings); }

void CTranzelDlg::ShowMembers() {
    m_server->ChangeValue(U(m_settings.server));
    m_user->ChangeValue(U(m_settings.user));
    m_password->ChangeValue(U(m_settings.password));
    m_siteFolder->ChangeValue(U(m_settings.siteFolder));
    m_extensionBox->ChangeValue(U(m_extension));
}

void CTranzelDlg::TakeControls() {
    m_settings.server = Trimmed(m_server->GetValue());
    m_settings.user = m_user->GetValue().utf8_string();
    m_settings.password = m_password->GetValue().utf8_string();
}

void CTranzelDlg::SetAccount(const std::string& server, const std::string& user, const std::string& password) {
    m_server->ChangeValue(U(server));
    m_user->ChangeValue(U(user));
    m_password->ChangeValue(U(password));
    TakeControls();
}

void CTranzelDlg::SetSiteFolder(const std::string& folder) {
    m_siteFolder->ChangeValue(U(folder));
    m_settings.siteFolder = folder;
}

void CTranzelDlg::SetExtension(const std::string& extension) {
    m_extensionBox->ChangeValue(U(extension));
    m_extension = extension;
}

std::string CTranzelDlg::status() const { return m_status->GetLabel().utf8_string(); }

void CTranzelDlg::SetStatus(const std::string& text) { m_status->SetLabelText(U(text)); }

bool CTranzelDlg::busy() const { return m_working || m_uploadMode == kUploadRunning; }

bool CTranzelDlg::TransferRunning() const { return m_downloading || m_uploadMode == kUploadRunning; }

void CTranzelDlg::EnableServerControls(bool enable) {
    for (wxWindow* w : {static_cast<wxWindow*>(m_server), static_cast<wxWindow*>(m_user),
                        static_cast<wxWindow*>(m_password), static_cast<wxWindow*>(m_labels[0]),
                        static_cast<wxWindow*>(m_labels[1]), static_cast<wxWindow*>(m_labels[2])})
        w->Enable(enable);
}

platform::FtpSite CTranzelDlg::Site() const {
    platform::FtpSite site;
    site.server = m_settings.server;
    site.user = m_settings.user;
    site.password = m_settings.password;
    site.connectTimeoutSeconds = m_connectSeconds;
    site.lowSpeedSeconds = m_lowSpeedSeconds;
    site.session = m_ftpSession;
    return site;
}

void CTranzelDlg::FillList() {
    m_list->Clear();
    for (const auto& row : m_rows) m_list->Append(U(row.text));
    m_chosenRow = -1;
}

void CTranzelDlg::OnQuerySite() {
    if (m_working || m_closing) return;
    m_rows.clear();
    FillList();
    m_listingMode = 2;
    m_query->Disable();
    m_download->Disable();
    SetStatus(std::string(transfer::kQueryRunning));
    auto poster = m_poster;
    platform::FtpSite site = Site();
    const std::string folder = transfer::RemoteFolder(m_settings.siteFolder);
    m_working = true;
    const bool started = m_task.Start([poster, site, folder](const std::atomic<bool>& cancel) mutable {
        site.cancel = &cancel;
        std::vector<platform::FtpEntry> entries;
        const platform::FtpResult r = platform::FtpList(site, folder, &entries);
        poster->Post([r, entries = std::move(entries)](CTranzelDlg& d) { d.OnListed(r, entries); });
    });
    if (!started) OnListed({}, {});
}

void CTranzelDlg::OnListed(const platform::FtpResult& r, const std::vector<platform::FtpEntry>& entries) {
    m_task.Wait();
    m_working = false;
    if (m_closing) {
        CloseWhenIdle();
        return;
    }
    if (m_uploadMode != kUploadRunning) m_query->Enable();
    if (!r.ok()) {
        SetStatus(std::string(transfer::kQueryFailed));
        return;
    }
    m_rows = transfer::RemoteRows(entries);
    FillList();
    // An empty folder leaves no old status standing.
    SetStatus(m_rows.empty() ? std::string() : std::string(transfer::kQueryDone));
}

void CTranzelDlg::OnListLocal() {
    m_rows = transfer::LocalPackages(m_base, m_extension);
    FillList();
    m_listingMode = 1;
}

void CTranzelDlg::OnSelectList(int row) {
    m_chosenRow = row;
    const bool uploading = m_uploadMode == kUploadRunning;
    if (m_listingMode == 2) {
        EnableServerControls(false);
        m_upload->Disable();
        m_query->Disable();
        m_download->Enable(!m_working);
    } else if (m_listingMode == 1) {
        EnableServerControls(false);
        m_upload->Enable(!uploading);
        m_query->Enable(!uploading && !m_working);
        m_download->Disable();
    }
}

void CTranzelDlg::OnDownload() {
    if (m_working || m_closing) return;
    auto finish = [this] {
        m_download->Disable();
        if (m_uploadMode != kUploadRunning) {
            m_upload->Enable();
            m_query->Enable();
            EnableServerControls(true);
        }
    };
    const bool chosen = m_listingMode == 2 && m_chosenRow >= 0 && m_chosenRow < static_cast<int>(m_rows.size());
    if (!chosen) {
        platform::ui::ShowMessage(std::string(transfer::kDownloadFailed), platform::MbButtons::Ok,
                                  platform::MbIcon::Stop, {}, this);
        finish();
        return;
    }
    const transfer::ListEntry entry = m_rows[static_cast<std::size_t>(m_chosenRow)];
    if (entry.folder) {
        platform::ui::ShowMessage(std::string(transfer::kFolderNotDownloadable), platform::MbButtons::Ok,
                                  platform::MbIcon::Stop, {}, this);
        return;
    }
    std::optional<fs::path> target;
    if (m_saveAsk) {
        target = m_saveAsk(entry.text);
    } else {
        wxFileDialog dlg(this, wxFileSelectorPromptStr, "", U(entry.text), wxFileSelectorDefaultWildcardStr,
                         wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
        platform::ui::AnswerAtOnce(dlg);  // the download starts as the name is confirmed
        if (dlg.ShowModal() == wxID_OK) target = fs::path(dlg.GetPath().utf8_string());
    }
    if (!target || target->empty()) {
        platform::ui::ShowMessage(std::string(transfer::kNoFileName), platform::MbButtons::Ok, platform::MbIcon::Stop,
                                  {}, this);
        finish();
        return;
    }
    const std::string remote = transfer::RemotePath(m_settings.siteFolder, entry.name);
    SetStatus(transfer::DownloadingText(transfer::RemotePath(m_settings.siteFolder, entry.text)));
    m_download->Disable();
    m_query->Disable();
    auto poster = m_poster;
    platform::FtpSite site = Site();
    m_working = true;
    m_downloading = true;
    const bool started = m_task.Start([poster, site, remote, path = *target](const std::atomic<bool>& cancel) mutable {
        site.cancel = &cancel;
        const platform::FtpResult r = platform::FtpDownload(site, remote, path);
        poster->Post([r](CTranzelDlg& d) { d.OnDownloaded(r); });
    });
    if (!started) OnDownloaded({});
}

void CTranzelDlg::OnDownloaded(const platform::FtpResult& r) {
    m_task.Wait();
    m_working = false;
    m_downloading = false;
    if (m_closing) {
        CloseWhenIdle();
        return;
    }
    SetStatus(std::string(r.ok() ? transfer::kDownloadDone : transfer::kDownloadFailed));
    platform::ui::ShowMessage(std::string(r.ok() ? transfer::kDownloadDone : transfer::kDownloadFailed),
                              platform::MbButtons::Ok, r.ok() ? platform::MbIcon::Information : platform::MbIcon::Stop,
                              {}, this);
    m_download->Disable();
    if (m_uploadMode != kUploadRunning) {
        m_upload->Enable();
        m_query->Enable();
        EnableServerControls(true);
    }
}

void CTranzelDlg::OnUpload() {
    if (m_uploadMode == kUploadRunning || m_closing) return;
    EnableServerControls(false);
    m_query->Disable();
    m_upload->Disable();
    fs::path local;
    std::string remote;
    if (m_listingMode == 1 && m_chosenRow >= 0 && m_chosenRow < static_cast<int>(m_rows.size())) {
        const auto& entry = m_rows[static_cast<std::size_t>(m_chosenRow)];
        local = transfer::UploadFolder(m_base) / entry.name;
        remote = transfer::RemotePath(m_settings.siteFolder, entry.name);
    } else {
        local = transfer::UploadFolder(m_base) / "";
    }
    SetStatus(transfer::UploadingText(local.string()));
    m_uploadMode = kUploadRunning;
    if (!m_job.Start(Site(), local, remote)) {
        m_uploadMode = 0;
        SetStatus(transfer::UploadFailedText(local.string()));
        m_query->Enable();
        m_upload->Enable();
        EnableServerControls(true);
        return;
    }
    m_timer.Start(m_timerMs);
}

void CTranzelDlg::OnTimer() {
    std::string message;
    if (m_uploadMode != kUploadRunning || !m_job.TakeResult(&message)) return;
    m_job.Wait();
    m_timer.Stop();
    m_uploadMode = 0;
    if (m_closing) {
        CloseWhenIdle();
        return;
    }
    SetStatus(message);
    m_query->Enable(!m_working);
    m_upload->Enable();
    EnableServerControls(true);
}

int CTranzelDlg::OnSaveSettings() {
    TakeControls();
    m_settings.siteFolder = Trimmed(m_siteFolder->GetValue());
    std::string why;
    const int written = transfer::WriteFtpSettings(m_settingsPath, m_settings, &why);
    if (!written) {
        SetStatus(why);
        m_settingsRefusal = why;
    } else if (!m_settingsRefusal.empty() && status() == m_settingsRefusal) {
        SetStatus("");  // the refusal no longer holds
    }
    return written;
}

void CTranzelDlg::OnRButtonDown() {
    m_download->Disable();
    if (m_uploadMode != kUploadRunning) {
        m_upload->Enable();
        m_query->Enable(!m_working);
    }
    EnableServerControls(true);
}

void CTranzelDlg::ShowWindowMenu(const wxPoint& screen) {
    if (m_closing || !IsShown()) return;
    const int command = transfer::TrackWindowMenu(this, screen);
    if (command != 0) OnSysCommand(command);
}

void CTranzelDlg::OnSysCommand(int command) {
    if (command != transfer::kAboutCommand || m_closing) return;
    transfer::CAboutDlg about(this);
    about.ShowModal();
}

void CTranzelDlg::RequestClose() {
    if (m_closing || m_asking) return;
    if (TransferRunning()) {
        // The question is modal; the transfer goes on and may end meanwhile.
        m_asking = true;
        const auto answer = platform::ui::ShowMessage(
            std::string(m_uploadMode == kUploadRunning ? transfer::kStopUploadQuestion : transfer::kStopDownloadQuestion),
            platform::MbButtons::YesNo, platform::MbIcon::Question, {}, this);
        m_asking = false;
        if (answer != platform::MbResult::Yes) return;
    }
    // Stop what runs; its end comes back through CloseWhenIdle.
    m_closing = true;
    m_task.Cancel();
    m_job.Cancel();
    for (wxWindow* w : {static_cast<wxWindow*>(m_query), static_cast<wxWindow*>(m_exit),
                        static_cast<wxWindow*>(m_download), static_cast<wxWindow*>(m_upload)})
        w->Disable();
    CloseWhenIdle();
}

void CTranzelDlg::CloseWhenIdle() {
    if (busy()) return;
    platform::ui::EndDialog(*this, wxID_CANCEL);
}
