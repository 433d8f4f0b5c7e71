#include "measure_market/measure_form.h"

#include <mutex>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/config.h>
#include <wx/dcbuffer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "controls/grid_types.h"
#include "measure_market/dib_painter.h"
#include "measure_market/grid_edit_commit.h"
#include "measure_market/measure_data.h"
#include "measure_market/size_chart_grid.h"
#include "measure_market/size_database.h"
#include "measure_market/size_download.h"
#include "measure_market/value_edit_dlg.h"
#include "platform/files.h"
#include "platform/image/picture_cache.h"
#include "platform/ui/colour.h"
#include "platform/ui/fonts.h"
#include "platform/ui/message_box.h"
#include "shell/download_record.h"

namespace {

constexpr unsigned kWmUser70 = platform::ui::kWmUser + 70;
constexpr int kMaxSizePictures = 27;
constexpr platform::ui::ColorRef kAreaFill = 0xDEDEDE;
constexpr platform::ui::ColorRef kLabelFill = 0xDCDCDC;
constexpr platform::ui::ColorRef kEditedText = 0xFF0000;  // blue
constexpr const char* kCaption = "特别提示";
constexpr const char* kChartNotSaved = "尺码库没有保存: ";
// The smallest font a status text is shrunk to before it is cut.
constexpr double kMinStatusPoints = 7.0;

// The picture area: paints through the form and hands clicks to it.
class PictureArea : public wxPanel {
public:
    PictureArea(DlgSpace1FMView* form, const wxRect& rect)
        : wxPanel(form, kIdPictureArea, rect.GetPosition(), rect.GetSize()), m_form(form) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxAutoBufferedPaintDC dc(this);
            m_form->DrawPicture(dc, GetClientSize());
        });
        Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) { m_form->ClickPicture(e.GetPosition()); });
        Bind(wxEVT_MOTION, [this](wxMouseEvent& e) {
            const bool over = m_form->labels().HitTest(e.GetX(), e.GetY()) >= 0;
            SetCursor(over ? wxCursor(wxCURSOR_HAND) : wxNullCursor);
        });
    }

private:
    DlgSpace1FMView* m_form;
};

}  // namespace

// Carries the download thread's texts to the form while the form exists.
class DlgSpace1FMView::DownloadPoster {
public:
    explicit DownloadPoster(DlgSpace1FMView* form) : m_form(form) {}
    void Post(std::function<void(DlgSpace1FMView&)> f) {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_form) m_form->CallAfter([form = m_form, f = std::move(f)] { f(*form); });
    }
    void Detach() {
        std::lock_guard<std::mutex> lock(m_lock);
        m_form = nullptr;
    }

private:
    std::mutex m_lock;
    DlgSpace1FMView* m_form;
};

// The download's result, written by its thread before it ends.
struct DlgSpace1FMView::DownloadOutcome {
    std::mutex lock;
    bool ended = false;
    measure::SizeDownloadResult result;
};

namespace {

std::string HostFromProfile() {
    const std::string fallback(shell::kDefaultDownloadHost);
    wxConfigBase* config = wxConfigBase::Get(false);
    if (!config) return fallback;
    const wxString key = wxString::FromUTF8(shell::kDownloadHostKey.data(), shell::kDownloadHostKey.size());
    const wxString host = config->Read(key, wxString::FromUTF8(fallback));
    return host.empty() ? fallback : host.utf8_string();
}

wxString U(const std::string& s) { return wxString::FromUTF8(s); }
wxString U(const char* s) { return wxString::FromUTF8(s); }

}  // namespace

DlgSpace1FMView::DlgSpace1FMView(wxWindow* parent, const std::filesystem::path& base)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxSize(690, 800)),
      m_db(measure::SizeDatabase()),
      m_base(base),
      m_poster(std::make_shared<DownloadPoster>(this)) {
    m_host = HostFromProfile();
    valueEditor = [this](std::int32_t value, wxPoint screen) -> std::optional<std::int32_t> {
        DlgValueEdit dlg(this, value, screen);
        if (dlg.ShowModal() != wxID_OK) return std::nullopt;
        return dlg.result();
    };
    BuildControls();
    FillPersons();
    FillSizePictures();
    if (m_db.bodyFileKept() || m_db.sizeFileKept()) CallAfter([this] { ReportKeptFiles(); });
    // The chart is saved when the program's window closes, while a box can
    // still be shown over it; the binding goes with the form.
    if (wxWindow* top = wxGetTopLevelParent(this))
        top->Bind(wxEVT_CLOSE_WINDOW, &DlgSpace1FMView::OnTopLevelClose, this);
}

void DlgSpace1FMView::ReportKeptFiles() {
    std::string text;
    if (m_db.bodyFileKept()) text = m_db.bodyKeptText();
    if (m_db.sizeFileKept()) text += (text.empty() ? "" : "\n\n") + std::string(m_db.chartKeptText());
    if (!text.empty())
        platform::ui::ShowMessage(text, platform::MbButtons::Ok, platform::MbIcon::Exclamation, kCaption, this);
}

void DlgSpace1FMView::ChooseModel(bool male) {
    m_labels.SetModelSex(male ? 'M' : 'W');
    m_modelDib = DibPainter().Open(DataPath(male ? measure::kMaleFigure : measure::kFemaleFigure));
    m_sex->SetSelection(male ? 0 : 1);
    m_background = DataPath(measure::kFigureBackground);
    m_sizePicture.clear();
}

DlgSpace1FMView::~DlgSpace1FMView() {
    m_poster->Detach();
    StopDownload();
    // A window closed on its own (not with the program) reports a chart it
    // could not write once it is gone; the program's close has reported it.
    const std::string failure = SaveChart();
    if (!failure.empty() && !m_chartFailureShown && wxTheApp)
        wxTheApp->CallAfter([failure] {
            platform::ui::ShowMessage(failure, platform::MbButtons::Ok, platform::MbIcon::Stop, kCaption);
        });
}

std::string DlgSpace1FMView::SaveChart() {
    // The chart goes to disk with the value still being typed into the grid;
    // a chart whose file could not be read asks nothing now and keeps its
    // file (that was reported when it was read).
    if (m_grid && m_db.sizeFileKept())
        m_grid->CancelEdit();
    else if (m_grid)
        measure::CommitGridEdit(*m_grid);
    if (m_db.sizeFileKept() || m_db.SaveSizes()) return {};
    return kChartNotSaved + m_db.lastError();
}

void DlgSpace1FMView::OnTopLevelClose(wxCloseEvent& e) {
    e.Skip();
    StopDownload();
    const std::string failure = SaveChart();
    m_chartFailureShown = !failure.empty();
    if (!failure.empty())
        platform::ui::ShowMessage(failure, platform::MbButtons::Ok, platform::MbIcon::Stop, kCaption,
                                  wxGetTopLevelParent(this));
}

void DlgSpace1FMView::BuildControls() {
    m_picture = new PictureArea(this, wxRect(kPictureLeft, kPictureTop, kPictureWidth, kPictureHeight));
    const int x = kPictureLeft + kPictureWidth + 8, w = 690 - x - 4;
    const int labelWidth = 40, fieldX = x + labelWidth, fieldW = w - labelWidth;
    int y = 6;
    auto labelled = [&](const char* text, wxWindow* field) {
        new wxStaticText(this, wxID_ANY, U(text), wxPoint(x, y + 6));
        field->SetPosition(wxPoint(fieldX, y));
        field->SetSize(wxSize(fieldW, -1));
        y += 32;
    };
    auto button = [&](int id, const char* text) {
        auto* b = new wxButton(this, id, U(text), wxPoint(x, y), wxSize(w, 26));
        y += 30;
        return b;
    };
    m_persons = new wxChoice(this, kIdPerson);
    labelled("客户:", m_persons);
    m_name = new wxTextCtrl(this, kIdName, "");
    labelled("姓名:", m_name);
    m_sex = new wxChoice(this, kIdModelSex);
    m_sex->Append(U("男性"));
    m_sex->Append(U("女性"));
    labelled("模特:", m_sex);
    m_numbers = new wxCheckBox(this, kIdShowNumbers, U("显示数字"), wxPoint(x, y));
    y += 24;
    m_save = button(kIdSave, "保存测量数据");
    m_save->Disable();
    button(kIdBuild3d, "建三维模形");
    m_sizePictures = new wxChoice(this, kIdSizePicture);
    labelled("尺码图:", m_sizePictures);
    m_match = button(kIdMatch, "匹配尺码");
    m_match->Disable();
    button(kIdAllSizes, "全部尺码");
    m_download = button(kIdDownload, "下载更新尺码库");
    m_status = new wxStaticText(this, kIdStatus, "", wxPoint(x, y), wxSize(w, 32),
                                wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    m_status->SetForegroundColour(platform::ui::ToColour(0x0000C0));
    m_statusFont = m_status->GetFont();
    y += 34;
    m_edit = new wxCheckBox(this, kIdEditMode, U("编辑方式"), wxPoint(x, y));
    y += 24;
    const int half = (w - 4) / 2;
    m_insert = new wxButton(this, kIdInsertRow, U("插入尺码"), wxPoint(x, y), wxSize(half, 26));
    m_delete = new wxButton(this, kIdDeleteRow, U("删除尺码"), wxPoint(x + half + 4, y), wxSize(half, 26));
    y += 30;
    m_title = new wxButton(this, kIdTitleRow, U("设置标题行"), wxPoint(x, y), wxSize(w, 26));
    SetEditMode(false);

    // The size chart below the picture.
    m_grid = new CSizeChartGrid(m_db, m_base);
    const int gridTop = kPictureTop + kPictureHeight + 8;
    m_grid->Create(0, 0x50300004, wxRect(6, gridTop, 690 - 12, 800 - gridTop - 6), this, kIdGridFrame);
    m_grid->RecalcLayout();
    // The chart takes the page's height below the picture.
    Bind(wxEVT_SIZE, [this, gridTop](wxSizeEvent& e) {
        const wxSize size = GetClientSize();
        m_grid->SetSize(wxRect(6, gridTop, std::max(100, size.x - 12), std::max(80, size.y - gridTop - 6)));
        e.Skip();
    });

    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { MatchSizes(); }, kIdMatch);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowAllSizes(); }, kIdAllSizes);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { DownloadSizes(); }, kIdDownload);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RowOperation(measure::kRowInsert); }, kIdInsertRow);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RowOperation(measure::kRowDelete); }, kIdDeleteRow);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RowOperation(measure::kRowTitle); }, kIdTitleRow);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SaveMeasurements(); }, kIdSave);
    Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { SelectPerson(m_persons->GetSelection()); }, kIdPerson);
    Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { SelectModel(m_sex->GetSelection()); }, kIdModelSex);
    Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { ShowSizePicture(m_sizePictures->GetSelection()); }, kIdSizePicture);
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& e) { SetShowNumbers(e.IsChecked()); }, kIdShowNumbers);
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& e) { SetEditMode(e.IsChecked()); }, kIdEditMode);
}

std::filesystem::path DlgSpace1FMView::DataPath(std::string_view name) const { return measure::DataFile(m_base, name); }

void DlgSpace1FMView::FillPersons() {
    m_persons->Clear();
    for (int i = 0; i < m_db.GetBodyCount(); ++i) m_persons->Append(U(m_db.GetBodyName(i)));
    if (m_person >= 0 && m_person < static_cast<int>(m_persons->GetCount())) m_persons->SetSelection(m_person);
}

void DlgSpace1FMView::FillSizePictures() {
    m_sizePictures->Clear();
    m_sizePictureTitles.clear();
    for (const auto& p : platform::ListFiles(measure::DataFolder(m_base), measure::kSizePicturePattern)) {
        if (static_cast<int>(m_sizePictureTitles.size()) >= kMaxSizePictures) break;
        m_sizePictureTitles.push_back(p.stem().string());
        m_sizePictures->Append(U(m_sizePictureTitles.back()));
    }
}

void DlgSpace1FMView::SetStatus(const wxString& text) {
    // One line in the status's place: the form's font when the text fits, a
    // smaller one when it does not; only a text too wide even then is cut
    // with an ellipsis.
    const int room = m_status->GetSize().x;
    wxFont font = m_statusFont;
    int width = 0;
    for (double points = m_statusFont.GetFractionalPointSize(); points >= kMinStatusPoints; points -= 0.5) {
        font.SetFractionalPointSize(points);
        m_status->GetTextExtent(text, &width, nullptr, nullptr, nullptr, &font);
        if (width <= room) break;
    }
    m_status->SetFont(font);
    m_status->SetLabelText(text);
    m_status->Update();
}

wxString DlgSpace1FMView::statusText() const { return m_status->GetLabelText(); }

void DlgSpace1FMView::SetName(const wxString& name) { m_name->ChangeValue(name); }

void DlgSpace1FMView::Redraw() {
    m_picture->Refresh(false);
}

void DlgSpace1FMView::SelectPerson(int index) {
    std::string texts[2];
    std::int32_t values[measure::kFormValues];
    if (m_db.GetBody(index, texts, values, measure::kFormValues) != 1) return;
    m_person = index;
    m_persons->SetSelection(index);
    m_name->ChangeValue(U(texts[0]));
    const char sex = texts[1].empty() ? ' ' : texts[1][0];
    ChooseModel(sex == 'M');
    m_labels.LoadValues(values);
    m_showNumbers = true;
    m_numbers->SetValue(true);
    Redraw();
    m_match->Enable();
    m_save->Disable();
    m_db.ResetFilter(measure::kRowTitle);
    m_grid->RefreshRows();
}

void DlgSpace1FMView::SelectModel(int entry) {
    if (entry != 0 && entry != 1) return;
    ChooseModel(entry == 0);
    Redraw();
}

void DlgSpace1FMView::SetShowNumbers(bool on) {
    m_showNumbers = on;
    m_numbers->SetValue(on);
    Redraw();
}

void DlgSpace1FMView::SetEditMode(bool on) {
    m_editMode = on;
    m_edit->SetValue(on);
    EnableChartEditing();
}

void DlgSpace1FMView::EnableChartEditing() {
    const bool rows = m_editMode && !m_downloading;
    m_insert->Enable(rows);
    m_delete->Enable(rows);
    m_title->Enable(rows);
    if (m_grid) m_grid->Enable(!m_downloading);
}

void DlgSpace1FMView::SaveMeasurements() {
    const std::string name = m_name->GetValue().utf8_string();
    const std::string texts[2] = {name, std::string(1, m_labels.modelSex())};
    const auto& values = m_labels.values();
    if (m_db.bodyFileKept()) {
        // The file could not be read: only the user's choice puts a new table
        // in its place.
        if (platform::ui::ShowMessage(measure::kAskNewBodies, platform::MbButtons::YesNo, platform::MbIcon::Question,
                                      kCaption, this) != platform::MbResult::Yes)
            return;
        m_db.StartNewBodies();
        m_person = -1;
        FillPersons();
    }
    measure::StoreResult result;
    if (m_person >= 0 && m_db.GetBodyName(m_person) == name) {
        result = m_db.UpdateBody(m_person, texts, values.data(), measure::kFormValues);
    } else {
        result = m_db.AddBody(texts, values.data(), measure::kFormValues);
        if (result == measure::StoreResult::Stored) {
            // The new person becomes the selected record: later saves update it.
            m_person = m_db.GetBodyCount() - 1;
            std::string t[2];
            std::int32_t v[measure::kFormValues];
            m_db.GetBody(m_person, t, v, measure::kFormValues);
            FillPersons();
            m_match->Enable();
        }
    }
    switch (result) {
    case measure::StoreResult::Stored:
        m_save->Disable();
        break;
    case measure::StoreResult::TableFull:
        platform::ui::ShowMessage("客户测量记录已满 (40 人), 不能再增加!", platform::MbButtons::Ok,
                                  platform::MbIcon::Exclamation, kCaption, this);
        break;
    default:
        platform::ui::ShowMessage("测量数据没有保存: " + m_db.lastError(), platform::MbButtons::Ok, platform::MbIcon::Stop,
                                  kCaption, this);
        break;
    }
}

int DlgSpace1FMView::MatchSizes() {
    measure::CommitGridEdit(*m_grid);
    const int n = m_db.MatchSizes();
    if (n > 0) {
        SetStatus(wxString::Format(U("有 %d 个合适的尺码."), n));
        m_grid->RefreshRows();
    } else {
        SetStatus(U("没有合适的尺码!!"));
        m_grid->Refresh(false);
    }
    return n;
}

void DlgSpace1FMView::ShowAllSizes() {
    measure::CommitGridEdit(*m_grid);
    m_db.ResetFilter(0);
    m_grid->RefreshRows();
}

bool DlgSpace1FMView::DownloadSizes() {
    if (m_downloading) return false;
    measure::CommitGridEdit(*m_grid);
    m_downloading = true;
    m_download->Disable();
    EnableChartEditing();
    SetStatus(U(measure::kTextConnecting));
    m_downloadCancel = false;
    auto poster = m_poster;
    auto outcome = m_outcome = std::make_shared<DownloadOutcome>();
    const std::string url = measure::SizeTableUrl(m_host);
    const std::filesystem::path file = m_db.SizeFile();
    try {
        m_downloadThread = std::thread([this, poster, outcome, url, file] {
            measure::SizeDownloadOptions options;
            options.cancel = &m_downloadCancel;
            auto result = measure::DownloadSizeTable(
                url, file,
                [poster](const std::string& text) {
                    poster->Post([text](DlgSpace1FMView& form) {
                        if (form.m_downloading) form.SetStatus(U(text));
                    });
                },
                options);
            {
                std::lock_guard<std::mutex> lock(outcome->lock);
                outcome->result = std::move(result);
                outcome->ended = true;
            }
            poster->Post([](DlgSpace1FMView& form) { form.FinishDownload(); });
        });
    } catch (const std::system_error&) {
        std::lock_guard<std::mutex> lock(outcome->lock);
        outcome->result.text = measure::kTextNoSession;
        outcome->ended = true;
        FinishDownload();
        return false;
    }
    return true;
}

void DlgSpace1FMView::FinishDownload() {
    if (!m_downloading || !m_outcome) return;
    measure::SizeDownloadResult result;
    {
        std::lock_guard<std::mutex> lock(m_outcome->lock);
        if (!m_outcome->ended) return;
        result = m_outcome->result;
    }
    if (m_downloadThread.joinable()) m_downloadThread.join();
    m_outcome.reset();
    m_downloading = false;
    EnableChartEditing();
    if (result.ok) m_grid->ReloadRows();
    SetStatus(U(result.text));
    m_download->Enable();
}

void DlgSpace1FMView::StopDownload() {
    if (!m_downloading) return;
    m_downloadCancel = true;
    if (m_downloadThread.joinable()) m_downloadThread.join();
    FinishDownload();
}

int DlgSpace1FMView::RowOperation(int op) {
    if (m_downloading) return -1;
    const int result = m_grid->RowOperation(op);
    return result;
}

void DlgSpace1FMView::ShowSizePicture(int entry) {
    if (entry < 0 || entry >= static_cast<int>(m_sizePictureTitles.size())) return;
    m_sizePictures->SetSelection(entry);
    m_sizePicture = DataPath(m_sizePictureTitles[static_cast<std::size_t>(entry)] + ".jpg");
    Redraw();
}

void DlgSpace1FMView::ClickPicture(wxPoint p) {
    if (m_editing || m_labels.modelSex() == ' ' || !m_sizePicture.empty()) return;
    const int i = m_labels.HitTest(p.x, p.y);
    if (i < 0) return;
    m_editing = true;
    const measure::LabelRect r = measure::LabelRectOf(i);
    const wxPoint screen = m_picture->ClientToScreen(wxPoint(r.left, r.top + 2));
    const auto value = valueEditor(m_labels.value(i), screen);
    m_editing = false;
    if (!value) return;
    m_labels.SetValue(i, *value);
    m_save->Enable();
    Redraw();
}

void DlgSpace1FMView::DrawPicture(wxDC& dc, wxSize size) {
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(platform::ui::ToColour(kAreaFill)));
    dc.DrawRectangle(0, 0, size.x, size.y);
    dc.SetClippingRegion(0, 0, size.x, size.y);
    if (!m_sizePicture.empty()) {
        const auto cached = platform::image::CachedPicture(m_sizePicture);
        if (cached && cached->IsOk()) {
            const wxImage& picture = *cached;
            const double scale = std::min({1.0, static_cast<double>(size.x) / picture.GetWidth(),
                                           static_cast<double>(size.y) / picture.GetHeight()});
            const int w = std::max(1, static_cast<int>(picture.GetWidth() * scale));
            const int h = std::max(1, static_cast<int>(picture.GetHeight() * scale));
            dc.DrawBitmap(wxBitmap(picture.Scale(w, h, wxIMAGE_QUALITY_HIGH)), (size.x - w) / 2, (size.y - h) / 2);
        }
        dc.DestroyClippingRegion();
        return;
    }
    if (!m_background.empty()) {
        const auto back = platform::image::CachedPicture(m_background);
        if (back && back->IsOk()) dc.DrawBitmap(wxBitmap(*back), 0, 0);
    }
    if (m_labels.modelSex() != ' ') {
        DibPainter().DrawLoaded(0, 0, m_modelDib, dc);
        dc.SetFont(platform::ui::MakeFont(12));
        dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
        for (int i = 0; i < measure::kLabelCount; ++i) {
            if (m_labels.mark(i) == 'X') continue;
            const measure::LabelRect r = measure::LabelRectOf(i);
            const wxRect box(r.left, r.top + 2, r.right - r.left, r.bottom - r.top);
            dc.SetBrush(wxBrush(platform::ui::ToColour(kLabelFill)));
            dc.DrawRectangle(box);
            dc.SetTextForeground(m_labels.mark(i) == 'Y' ? platform::ui::ToColour(kEditedText) : *wxBLACK);
            if (m_showNumbers)
                dc.DrawLabel(U(measure::FormatCentimetres(m_labels.value(i))), box, wxALIGN_CENTER);
            else
                dc.DrawLabel(U(measure::LabelText(i)), box, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
        }
    }
    dc.DestroyClippingRegion();
}

std::intptr_t DlgSpace1FMView::OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t) {
    if (id == kWmUser70 && wparam == grid::kGridNotifyTag && m_grid) m_grid->ToggleAtCurrentCell();
    return 0;
}
