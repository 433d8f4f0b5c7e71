#include "transfer/download_dlg.h"

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>

#include "platform/files.h"
#include "platform/net.h"
#include "platform/text.h"
#include "platform/ui/colour.h"
#include "platform/ui/dialog_end.h"
#include "platform/ui/fonts.h"
#include "shell/download_record.h"
#include "transfer/download_list.h"

namespace fs = std::filesystem;

namespace {

constexpr platform::ui::ColorRef kListColour = 0xFED2D2;
constexpr const char* kAgent = "Fittora !! ";

wxString U(const std::string& s) { return wxString::FromUTF8(s); }

}  // namespace

// Carries results from the worker to the dialog while the dialog exists.
// Progress reports are coalesced: only the newest is kept, and at most one
// call is queued for it at a time.
class CDownloadDlg::Poster {
public:
    explicit Poster(CDownloadDlg* dlg) : m_dlg(dlg) {}

    void Post(std::function<void(CDownloadDlg&)> f) {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_dlg) m_dlg->CallAfter([dlg = m_dlg, f = std::move(f)] { f(*dlg); });
    }
    void Detach() {
        std::lock_guard<std::mutex> lock(m_lock);
        m_dlg = nullptr;
    }
    void StoreProgress(const transfer::DownloadProgress& p) {
        {
            std::lock_guard<std::mutex> lock(m_progressLock);
            m_latest = p;
        }
        if (!m_progressPosted.exchange(true)) Post([](CDownloadDlg& d) { d.OnProgress(); });
    }
    bool TakeProgress(transfer::DownloadProgress* p) {
        if (!m_progressPosted.exchange(false)) return false;
        std::lock_guard<std::mutex> lock(m_progressLock);
        *p = m_latest;
        return true;
    }

private:
    std::mutex m_lock;
    CDownloadDlg* m_dlg;
    std::mutex m_progressLock;
    transfer::DownloadProgress m_latest;
    std::atomic<bool> m_progressPosted{false};
};

CDownloadDlg::CDownloadDlg(wxWindow* parent, const fs::path& base)
    : m_base(base), m_poster(std::make_shared<Poster>(this)) {
    Create(parent, 1000, U("数据下载"), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxSTAY_ON_TOP,
           kDownloadDlgName);
    SetFont(wxFont(wxFontInfo(10).FaceName(platform::ui::MapFace("宋体"))));
    auto at = [this](int x, int y) { return ConvertDialogToPixels(wxPoint(x, y)); };
    auto size = [this](int w, int h) { return ConvertDialogToPixels(wxSize(w, h)); };
    SetClientSize(size(242, 188));

    new wxStaticText(this, wxID_ANY, U("下载文件:"), at(7, 8), size(38, 10));
    m_status = new wxStaticText(this, DownloadDlgWindowId(IDC_DOWNLOAD_STATUS), "...", at(46, 8), size(189, 10),
                                wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    m_list = new wxListCtrl(this, IDC_DOWNLOAD_LIST, at(7, 22), size(228, 120),
                            wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_HRULES | wxLC_VRULES | wxBORDER_SUNKEN);
    m_progress = new wxGauge(this, DownloadDlgWindowId(IDC_DOWNLOAD_PROGRESS), 100, at(7, 148), size(228, 9));
    m_download = new wxButton(this, DownloadDlgWindowId(IDC_DOWNLOAD_START), U("数据下载"), at(58, 164), size(50, 16));
    m_exit = new wxButton(this, IDC_DOWNLOAD_EXIT, U("退  出"), at(134, 164), size(50, 16));
    m_download->Disable();
    SetEscapeId(IDC_DOWNLOAD_EXIT);
    SetAffirmativeId(wxID_NONE);

    // Rows are 20 pixels high: the height of the (empty) small images.
    auto* images = new wxImageList(1, 20, false, 1);
    images->Add(wxBitmap(1, 20));
    m_list->AssignImageList(images, wxIMAGE_LIST_SMALL);
    m_list->SetBackgroundColour(platform::ui::ToColour(kListColour));
    m_list->AppendColumn(U("序号"), wxLIST_FORMAT_LEFT, 50);
    m_list->AppendColumn(U("项目名称"), wxLIST_FORMAT_LEFT, 260);
    for (int i = 0; i < kDownloadListRows; ++i) {
        const long row = m_list->InsertItem(i, wxString::Format("%d", i + 1), -1);
        m_list->SetItemBackgroundColour(row, platform::ui::ToColour(kListColour));
    }

    transfer::WriteWorkRecord(m_base);
    SetTitle(U("正在联接站点...."));
    CentreOnScreen();

    m_list->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent& e) { ChooseRow(static_cast<int>(e.GetIndex())); });
    m_download->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { StartDownload(); });
    m_exit->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RequestClose(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
        if (busy() && e.CanVeto()) e.Veto();
        RequestClose();
    });
    Bind(wxEVT_INIT_DIALOG, [this](wxInitDialogEvent& e) {
        e.Skip();
        CallAfter([this] { StartFetch(); });
    });
}

CDownloadDlg::~CDownloadDlg() {
    m_poster->Detach();
    m_task.Cancel();
    m_task.Wait();
}

void CDownloadDlg::SetTimeouts(long connectSeconds, long lowSpeedSeconds) {
    m_connectSeconds = connectSeconds;
    m_lowSpeedSeconds = lowSpeedSeconds;
}

void CDownloadDlg::SetStatus(const std::string& text) { m_status->SetLabelText(U(text)); }

void CDownloadDlg::StartFetch() {
    if (!m_url.empty() || m_phase != Phase::Idle || m_closing) return;
    SetTitle(U("正在连接站点,....."));
    std::string title;
    char kind = 0;
    if (!shell::DLoadRec().Read(&m_url, &title, &kind)) {
        m_url.clear();
        SetTitle("------");
        return;
    }
    m_phase = Phase::Fetching;
    auto poster = m_poster;
    const long connect = m_connectSeconds;
    const long lowSpeed = m_lowSpeedSeconds;
    const bool started = m_task.Start([poster, url = m_url, title, connect, lowSpeed](const std::atomic<bool>& cancel) {
        platform::CHttpFetcher fetcher;
        fetcher.SetTimeouts(connect, lowSpeed);
        std::string text;
        auto status = [poster](const std::string& line) {
            poster->Post([line](CDownloadDlg& d) { d.SetStatus(line); });
        };
        const int ok = fetcher.FetchText(url, &text, kAgent, status, &cancel);
        poster->Post([ok, text = std::move(text), title](CDownloadDlg& d) { d.OnListFetched(ok == 1, text, title); });
    });
    if (!started) OnListFetched(false, {}, title);
}

void CDownloadDlg::OnListFetched(bool ok, const std::string& text, const std::string& title) {
    m_task.Wait();
    m_phase = Phase::Idle;
    if (m_closing) {
        FinishClose();
        return;
    }
    if (ok) {
        m_names = transfer::ParseFileList(text);
        m_baseUrl = transfer::GetBaseUrl(m_url);
        for (int i = 0; i < kDownloadListRows && i < parsedCount(); ++i)
            m_list->SetItem(i, 1, U(platform::GbkToUtf8(m_names[static_cast<std::size_t>(i)])));
    } else {
        SetStatus("连接网络失败!");
    }
    SetTitle(U(title));
}

void CDownloadDlg::ChooseRow(int row) {
    if (m_closing) return;
    // A row chosen while a transfer runs is remembered for the button; the
    // status line and the button belong to the transfer until it ends.
    const bool running = busy();
    if (!running) SetStatus("");
    m_chosenRow = row;
    m_chosenName.clear();
    m_chosenGbk.clear();
    std::string note;
    if (row >= 0 && row < parsedCount()) {
        const std::string& listed = m_names[static_cast<std::size_t>(row)];
        if (auto name = transfer::DownloadableName(listed)) {
            m_chosenName = *name;
            m_chosenGbk = listed;
            note = m_chosenName;
        } else if (!listed.empty()) {
            note = "文件名无效, 不能下载!";
        }
    }
    if (running) return;
    m_download->Enable(!m_chosenName.empty());
    if (!note.empty()) SetStatus(note);
}

void CDownloadDlg::StartDownload() {
    if (busy() || m_closing || m_chosenName.empty()) return;
    m_download->Disable();
    m_activeName = m_chosenName;
    const std::string url = transfer::FileUrl(m_baseUrl, m_chosenGbk);
    const fs::path path = platform::JoinPath(m_base, {shell::kDownloadFolderName, m_chosenName});
    SetStatus("正在下载 < " + url + " >");
    m_progress->SetValue(0);
    m_phase = Phase::Downloading;

    transfer::DownloadOptions options;
    options.connectTimeoutSeconds = m_connectSeconds;
    options.lowSpeedSeconds = m_lowSpeedSeconds;
    options.online = m_online;
    auto poster = m_poster;
    options.progress = [poster](const transfer::DownloadProgress& p) { poster->StoreProgress(p); };
    const bool started = m_task.Start([poster, url, path, options](const std::atomic<bool>& cancel) mutable {
        options.cancel = &cancel;
        const int result = transfer::DownloadFile(url, path, options);
        poster->Post([result](CDownloadDlg& d) { d.OnDownloadDone(result); });
    });
    if (!started) OnDownloadDone(transfer::kDownloadReadFailed);
}

void CDownloadDlg::OnProgress() {
    transfer::DownloadProgress p;
    if (!m_poster->TakeProgress(&p)) return;
    if (p.percent >= 0) m_progress->SetValue(p.percent);
    SetStatus(p.line);
}

void CDownloadDlg::OnDownloadDone(int result) {
    m_task.Wait();
    m_phase = Phase::Idle;
    OnProgress();
    if (m_closing) {
        FinishClose();
        return;
    }
    if (result == transfer::kDownloadDone) {
        SetStatus("下载成功!");
        if (shell::DLoadRec().WriteResult(m_activeName)) {
            if (IsModal()) EndModal(wxID_OK);
            return;
        }
        SetStatus("下载记录无法写入!");
    } else {
        SetStatus("下载失败!");
    }
    m_download->Enable(!m_chosenName.empty());
}

void CDownloadDlg::RequestClose() {
    if (busy()) {
        if (m_closing) return;
        m_closing = true;
        m_task.Cancel();
        m_download->Disable();
        m_exit->Disable();
        SetStatus("正在取消下载...");
        return;
    }
    FinishClose();
}

void CDownloadDlg::FinishClose() {
    m_closing = true;
    platform::ui::EndDialog(*this, wxID_CANCEL);
}
