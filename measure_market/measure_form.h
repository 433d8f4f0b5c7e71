#pragma once
// DlgSpace1FMView: the measurement form docked beside the 3-D view. It shows
// a male or female model with 39 measurement labels (a click edits one in
// the value editor), saves persons as body records, holds the size-chart
// grid, matches sizes, shows size-chart pictures and downloads a new size
// table.
//
// Window thread only. The size database is the process-wide one; the grid's
// edit is committed before every save, match, row operation, download, when
// the program's window closes and when the form goes away, and the chart is
// saved at those last two; a chart that cannot be written is reported (over
// the closing window, or once the form has gone when it closed alone).
//
// The size-table download runs on a thread of its own, so the window keeps
// painting and "下载更新尺码库" shows disabled until the download's report;
// the chart and its row buttons take no change meanwhile (the download is to
// replace it). Closing the window cancels a download and waits for it.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>
#include <wx/font.h>
#include <wx/panel.h>

#include "measure_market/dib_file.h"
#include "measure_market/measure_labels.h"
#include "platform/ui/messages.h"

class CSizeChartGrid;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxCloseEvent;
class wxStaticText;
class wxTextCtrl;
namespace measure {
class CSizeDatabase;
}

// Control ids of the form.
enum MeasureFormId : int {
    kIdMatch = 1019,
    kIdAllSizes = 1020,
    kIdDownload = 1021,
    kIdInsertRow = 1022,
    kIdDeleteRow = 1023,
    kIdTitleRow = 1024,
    kIdPerson = 1025,
    kIdBuild3d = 1026,
    kIdSizePicture = 1027,
    kIdModelSex = 1028,
    kIdShowNumbers = 1029,
    kIdName = 1030,
    kIdSave = 1031,
    kIdEditMode = 1032,
    kIdStatus = 1033,
    kIdGridFrame = 1016,
    kIdPictureArea = 1017,
};

class DlgSpace1FMView : public wxPanel, public platform::ui::MessageReceiver {
public:
    DlgSpace1FMView(wxWindow* parent, const std::filesystem::path& base);
    ~DlgSpace1FMView() override;

    // ---- commands (the buttons and combos call these; tests too) ----------
    void SelectPerson(int index);
    void SelectModel(int entry);  // 0 male, 1 female
    void SetShowNumbers(bool on);
    void SetEditMode(bool on);
    void SaveMeasurements();
    int MatchSizes();
    void ShowAllSizes();
    // Starts the download; false when one is running already. Its report
    // comes to the status line when it ends.
    bool DownloadSizes();
    bool downloading() const { return m_downloading; }
    int RowOperation(int op);
    void ShowSizePicture(int entry);
    // A click in the picture area (its own coordinates).
    void ClickPicture(wxPoint p);
    // Shows a text in the status line (static 1033), on one line.
    void SetStatus(const wxString& text);

    // The value editor: given the current value and the screen position,
    // returns the new value or none. Tests replace the dialog with this.
    std::function<std::optional<std::int32_t>(std::int32_t value, wxPoint screen)> valueEditor;
    void SetDownloadHost(const std::string& host) { m_host = host; }
    void SetName(const wxString& name);

    // Paints the picture area (its size) on any dc.
    void DrawPicture(wxDC& dc, wxSize size);

    std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) override;

    CSizeChartGrid* grid() const { return m_grid; }
    const measure::MeasureLabels& labels() const { return m_labels; }
    wxString statusText() const;
    int selectedPerson() const { return m_person; }
    wxWindow* pictureArea() const { return m_picture; }
    wxChoice* personCombo() const { return m_persons; }
    wxButton* saveButton() const { return m_save; }
    wxButton* matchButton() const { return m_match; }

private:
    void BuildControls();
    void FillPersons();
    void FillSizePictures();
    void ReportKeptFiles();
    // Ends the grid's edit and writes the chart when it changed; the report
    // of a failed write, empty when it was written or its file is kept.
    std::string SaveChart();
    void OnTopLevelClose(wxCloseEvent& e);
    class DownloadPoster;
    struct DownloadOutcome;
    // The download's report, on the window thread: the chart read again
    // when a new one arrived, the result shown, the button enabled.
    void FinishDownload();
    // Cancels a running download and waits for it, then reports it.
    void StopDownload();
    // Enables what may change the chart: not while a download runs.
    void EnableChartEditing();
    void ChooseModel(bool male);
    void Redraw();
    std::filesystem::path DataPath(std::string_view name) const;

    measure::CSizeDatabase& m_db;
    std::filesystem::path m_base;
    std::string m_host;
    measure::MeasureLabels m_labels;
    int m_person = -1;
    bool m_showNumbers = false;
    bool m_editMode = false;
    bool m_editing = false;  // the value editor is open
    bool m_chartFailureShown = false;  // the close of the program's window reported it
    measure::CDibFile m_modelDib;  // read when the model is chosen, painted from here
    std::filesystem::path m_background;
    std::filesystem::path m_sizePicture;  // shown instead of the model while set
    std::vector<std::string> m_sizePictureTitles;

    CSizeChartGrid* m_grid = nullptr;
    wxWindow* m_picture = nullptr;
    wxChoice* m_persons = nullptr;
    wxChoice* m_sex = nullptr;
    wxChoice* m_sizePictures = nullptr;
    wxTextCtrl* m_name = nullptr;
    wxCheckBox* m_numbers = nullptr;
    wxCheckBox* m_edit = nullptr;
    wxButton* m_match = nullptr;
    wxButton* m_download = nullptr;
    wxButton* m_save = nullptr;
    wxButton* m_insert = nullptr;
    wxButton* m_delete = nullptr;
    wxButton* m_title = nullptr;
    wxStaticText* m_status = nullptr;
    wxFont m_statusFont;  // the status line's own font, before any text shrinks it

    bool m_downloading = false;
    std::thread m_downloadThread;
    std::atomic<bool> m_downloadCancel{false};
    std::shared_ptr<DownloadPoster> m_poster;
    std::shared_ptr<DownloadOutcome> m_outcome;  // filled by the download's thread
};

// The picture area's rectangle in the form, and the grid's.
inline constexpr int kPictureLeft = 6, kPictureTop = 6, kPictureWidth = 480, kPictureHeight = 470;
