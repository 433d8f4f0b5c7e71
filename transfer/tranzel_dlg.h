#pragma once
// The dialog of the transfer program: the FTP account and site folder, the
// list of remote files or local packages, download and upload, the status
// line, and three traffic graphs. Listing and downloading run on a worker
// thread whose results come back through CallAfter while the dialog exists;
// an upload runs on the upload job's thread and a one-second timer polls its
// status. "退出" or the window's close during a download or upload asks
// whether to stop it: yes cancels it and closes once it has ended (the
// server's old copy stays), no lets it finish with the dialog open. A
// listing is cancelled without a question. The window menu (a right click on
// the background, Alt+Space) holds the About entry.
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include <wx/dialog.h>
#include <wx/timer.h>

#include "transfer/background_task.h"
#include "transfer/ftp_settings.h"
#include "transfer/net_traffic.h"
#include "transfer/tranzel_core.h"
#include "transfer/upload_job.h"

class wxButton;
class wxComboBox;
class wxListBox;
class wxStaticText;
class wxTextCtrl;
class CNetTrafficButton;

// Control ids of dialog 102.
enum TranzelDlgId {
    IDC_TRANZEL_LIST = 1000,
    IDC_TRANZEL_SERVER = 1001,
    IDC_TRANZEL_USER = 1002,
    IDC_TRANZEL_PASSWORD = 1003,
    IDC_TRANZEL_DOWNLOAD = 1004,
    IDC_TRANZEL_SERVER_LABEL = 1008,
    IDC_TRANZEL_USER_LABEL = 1009,
    IDC_TRANZEL_PASSWORD_LABEL = 1010,
    IDC_TRANZEL_UPLOAD = 1011,
    IDC_TRANZEL_FOLDER_TEXT = 1012,
    IDC_TRANZEL_SITE_FOLDER = 1013,
    IDC_TRANZEL_STATUS = 1014,
    IDC_TRANZEL_LIST_LOCAL = 1015,
    IDC_TRANZEL_SAVE_SETTINGS = 1016,
    IDC_TRANZEL_EXTENSION = 1017,
    IDC_TRANZEL_GRAPH_TOTAL = 1018,
    IDC_TRANZEL_GRAPH_RECEIVED = 1019,
    IDC_TRANZEL_GRAPH_SENT = 1020,
    IDC_TRANZEL_QUERY = 1,
    IDC_TRANZEL_EXIT = 2,
};

inline constexpr int kUploadTimerId = 11;

class CTranzelDlg : public wxDialog {
public:
    // Where a download goes: the chosen path, or nullopt when cancelled.
    using SaveAsk = std::function<std::optional<std::filesystem::path>(const std::string& suggested)>;

    // `base`: the base directory; `traffic` and `flags` stand in for
    // /proc/net/dev and the interface table (tests).
    CTranzelDlg(wxWindow* parent, const std::filesystem::path& base, transfer::CNetTraffic::Source traffic = {},
                transfer::CNetTraffic::FlagsSource flags = {});
    ~CTranzelDlg() override;

    // Settings for tests.
    void SetTimeouts(long connectSeconds, long lowSpeedSeconds);
    void SetSaveAsk(SaveAsk ask) { m_saveAsk = std::move(ask); }
    void SetTimerPeriod(int ms) { m_timerMs = ms; }

    // What the handlers do, callable from tests.
    void SetAccount(const std::string& server, const std::string& user, const std::string& password);
    void SetSiteFolder(const std::string& folder);
    void SetExtension(const std::string& extension);
    void OnQuerySite();
    void OnListLocal();
    void OnSelectList(int row);
    void OnDownload();
    void OnUpload();
    int OnSaveSettings();
    void OnRButtonDown();
    void OnSysCommand(int command);  // the window menu's entries
    void RequestClose();

    bool busy() const;
    int listingMode() const { return m_listingMode; }
    int uploadMode() const { return m_uploadMode; }
    std::string status() const;
    const std::vector<transfer::ListEntry>& rows() const { return m_rows; }
    const transfer::FtpSettings& settings() const { return m_settings; }
    wxListBox* list() const { return m_list; }
    wxButton* queryButton() const { return m_query; }
    wxButton* uploadButton() const { return m_upload; }
    wxButton* downloadButton() const { return m_download; }
    wxButton* exitButton() const { return m_exit; }
    wxButton* listLocalButton() const { return m_listLocal; }
    wxButton* saveSettingsButton() const { return m_saveSettings; }
    wxTextCtrl* serverEdit() const { return m_server; }
    wxTextCtrl* passwordEdit() const { return m_password; }
    CNetTrafficButton* graph(int i) const { return m_graphs[i]; }
    const std::string& interfaceText() const { return m_interfaceText; }

private:
    class Poster;

    void ReadSettings();
    void ShowMembers();
    void TakeControls();
    void SetStatus(const std::string& text);
    void EnableServerControls(bool enable);
    void OnTimer();
    void OnListed(const platform::FtpResult& r, const std::vector<platform::FtpEntry>& entries);
    void OnDownloaded(const platform::FtpResult& r);
    void FillList();
    platform::FtpSite Site() const;
    bool TransferRunning() const;  // a download or an upload
    // After a stop was asked for: closes once nothing runs any more.
    void CloseWhenIdle();
    void ShowWindowMenu(const wxPoint& screen);

    std::filesystem::path m_base;
    std::filesystem::path m_settingsPath;
    transfer::FtpSettings m_settings;
    std::string m_settingsRefusal;  // what the last refused "记住设置" showed
    std::string m_extension = "*";
    int m_listingMode = 0;
    int m_uploadMode = 0;
    int m_chosenRow = -1;
    std::vector<transfer::ListEntry> m_rows;
    std::string m_interfaceText;

    std::shared_ptr<Poster> m_poster;
    // What this run learned about servers (which refuse passive mode).
    std::shared_ptr<platform::FtpSession> m_ftpSession = std::make_shared<platform::FtpSession>();
    transfer::BackgroundTask m_task;
    transfer::UploadJob m_job;
    wxTimer m_timer;
    int m_timerMs = 1000;
    bool m_closing = false;
    bool m_working = false;  // a listing or download runs, until its result is handled
    bool m_downloading = false;
    bool m_asking = false;   // the stop question is open
    long m_connectSeconds = 20;
    long m_lowSpeedSeconds = 30;
    SaveAsk m_saveAsk;

    wxTextCtrl* m_server = nullptr;
    wxTextCtrl* m_user = nullptr;
    wxTextCtrl* m_password = nullptr;
    wxTextCtrl* m_folderText = nullptr;
    wxStaticText* m_labels[3] = {};
    wxButton* m_saveSettings = nullptr;
    wxComboBox* m_siteFolder = nullptr;
    wxComboBox* m_extensionBox = nullptr;
    wxButton* m_query = nullptr;
    wxButton* m_exit = nullptr;
    wxListBox* m_list = nullptr;
    wxStaticText* m_status = nullptr;
    wxButton* m_listLocal = nullptr;
    wxButton* m_download = nullptr;
    wxButton* m_upload = nullptr;
    CNetTrafficButton* m_graphs[3] = {};
};
