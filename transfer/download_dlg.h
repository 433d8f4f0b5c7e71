#pragma once
// The download dialog "数据下载" of the download module: it reads the request
// from the download record, fetches the list page, lists the names, downloads
// the chosen one into the download folder with a progress bar and a rate
// line, and writes the result into the record. The fetch and the download run
// on a worker thread; their results reach the dialog through CallAfter while
// it exists, so it stays responsive, and "退  出" (or the close box) cancels
// a running transfer before the dialog closes.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>
#include <wx/dialog.h>

#include "transfer/background_task.h"
#include "transfer/download_file.h"

class wxButton;
class wxGauge;
class wxListCtrl;
class wxListEvent;
class wxStaticText;

// Control ids of dialog 1000.
enum DownloadDlgId {
    IDC_DOWNLOAD_LABEL = 65535,
    IDC_DOWNLOAD_STATUS = 32781,
    IDC_DOWNLOAD_LIST = 1012,
    IDC_DOWNLOAD_START = 32772,
    IDC_DOWNLOAD_PROGRESS = 32780,
    IDC_DOWNLOAD_EXIT = 2,
};

// The toolkit takes ids below 32767: the larger ones sit 20000 lower.
constexpr int DownloadDlgWindowId(int id) { return id >= 32767 ? id - 20000 : id; }

inline constexpr const char* kDownloadDlgName = "CDownloadDlg";
inline constexpr int kDownloadListRows = 66;

class CDownloadDlg : public wxDialog {
public:
    // `base` is the base directory the download folder lies in.
    CDownloadDlg(wxWindow* parent, const std::filesystem::path& base);
    ~CDownloadDlg() override;

    // Settings for tests: shorter timeouts, a fixed connected state.
    void SetTimeouts(long connectSeconds, long lowSpeedSeconds);
    void SetOnlineCheck(std::function<bool(std::string_view)> online) { m_online = std::move(online); }

    wxListCtrl* list() const { return m_list; }
    wxStaticText* statusLine() const { return m_status; }
    wxGauge* progress() const { return m_progress; }
    wxButton* downloadButton() const { return m_download; }
    wxButton* exitButton() const { return m_exit; }
    int parsedCount() const { return static_cast<int>(m_names.size()); }
    bool busy() const { return m_phase != Phase::Idle; }

    // What the handlers do, callable from tests.
    void ChooseRow(int row);
    void StartDownload();
    void RequestClose();

private:
    enum class Phase { Idle, Fetching, Downloading };
    class Poster;

    void StartFetch();
    void OnListFetched(bool ok, const std::string& text, const std::string& title);
    void OnProgress();
    void OnDownloadDone(int result);
    void SetStatus(const std::string& text);
    void FinishClose();

    std::filesystem::path m_base;
    std::shared_ptr<Poster> m_poster;
    transfer::BackgroundTask m_task;
    Phase m_phase = Phase::Idle;
    bool m_closing = false;

    std::string m_url;                // the list page
    std::string m_baseUrl;
    std::vector<std::string> m_names;  // GBK, as listed
    std::string m_chosenName;          // UTF-8
    std::string m_chosenGbk;
    int m_chosenRow = -1;
    std::string m_activeName;          // UTF-8: the file being (or last) downloaded

    long m_connectSeconds = 20;
    long m_lowSpeedSeconds = 30;
    std::function<bool(std::string_view)> m_online;

    wxStaticText* m_status = nullptr;
    wxListCtrl* m_list = nullptr;
    wxGauge* m_progress = nullptr;
    wxButton* m_download = nullptr;
    wxButton* m_exit = nullptr;
};
