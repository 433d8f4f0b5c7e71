#include "project_editor/add_fitting_pic_dlg.h"

#include <algorithm>
#include <cstdio>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/dcbuffer.h>
#include <wx/panel.h>
#include <wx/renderer.h>
#include <wx/stattext.h>

#include "platform/ui/dialog_end.h"
#include "platform/ui/message_box.h"
#include "project_editor/shell_tree_ctrl.h"

namespace fs = std::filesystem;

namespace project_editor {

namespace {

constexpr int kAreaWidth = 5 * kPictureCellWidth + 10;
constexpr int kAreaHeight = 4 * kPictureCellHeight + 10;

}  // namespace

std::function<void(CFolderTreeDlg&)>& CAddFittingPicDlg::FolderDialogHook() {
    static std::function<void(CFolderTreeDlg&)> hook;
    return hook;
}

CAddFittingPicDlg::CAddFittingPicDlg(wxWindow* parent, AddPicturesMode mode, int part)
    : wxDialog(parent, kIdAddPicturesDialog,
               wxString::FromUTF8(mode == AddPicturesMode::AddToCategory ? "添加试衣图片" : "批量添加替换试衣图片")),
      m_files(std::make_unique<PictureFileOps>()) {
    CProjectStore& store = CProjectStore::Instance();
    m_core = std::make_unique<AddFittingPics>(store, m_sizes, *m_files);
    const bool add = mode == AddPicturesMode::AddToCategory;

    m_area = new wxPanel(this, kIdPictureArea, wxPoint(10, 10), wxSize(kAreaWidth, kAreaHeight));
    m_area->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_area->SetCursor(wxCursor(wxCURSOR_HAND));
    m_area->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(m_area);
        DrawPictures(dc);
    });
    m_area->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) { ClickPictures(e.GetPosition()); });
    m_area->Bind(wxEVT_MOTION, [this](wxMouseEvent& e) {
        m_area->SetCursor(EntryAt(e.GetPosition()) >= 0 ? wxCursor(wxCURSOR_HAND) : wxNullCursor);
    });

    const int cx = 20 + kAreaWidth;
    int y = 10;
    auto button = [&](int id, const char* text, int h = 28) {
        auto* b = new wxButton(this, id, wxString::FromUTF8(text), wxPoint(cx, y), wxSize(160, h));
        y += h + 8;
        return b;
    };
    button(kIdConfirmAdd, add ? "确认添加" : "添加替换", 34);
    new wxButton(this, kIdPreviousPictures, "<<", wxPoint(cx, y), wxSize(50, 28));
    m_page = new wxStaticText(this, kIdPicturePage, "1", wxPoint(cx + 60, y + 6), wxSize(40, 20), wxALIGN_CENTRE_HORIZONTAL);
    new wxButton(this, kIdNextPictures, ">>", wxPoint(cx + 110, y), wxSize(50, 28));
    y += 40;
    button(kIdCategoryName, add ? "分类名:" : "操作控制");
    m_combo = new wxComboBox(this, kIdCategoryCombo, "", wxPoint(cx, y), wxSize(160, -1), 0, nullptr,
                             add ? wxCB_DROPDOWN : wxCB_READONLY);
    y += 40;
    m_hide = new wxCheckBox(this, kIdHideAdded, wxString::FromUTF8("隐藏已加"), wxPoint(cx, y));
    m_hide->SetValue(true);
    y += 32;
    m_reference = new wxStaticText(this, kIdReplaceReference, "", wxPoint(cx, y), wxSize(160, 40), wxST_ELLIPSIZE_END);
    m_reference->Show(!add);
    m_source = new wxButton(this, kIdSourceFolder, "", wxPoint(10, 20 + kAreaHeight), wxSize(kAreaWidth + 170, 28),
                            wxBU_LEFT);
    SetClientSize(cx + 170, 60 + kAreaHeight);
    if (wxWindow* w = FindWindow(kIdCategoryName); w && !add) w->Disable();

    m_core->Start(mode, part);
    LayoutGrid();
    if (add) {
        for (const auto& [row, name] : m_core->Categories()) m_combo->Append(wxString::FromUTF8(name));
        if (!m_combo->IsListEmpty()) m_combo->SetSelection(0);
    } else {
        m_combo->Append(wxString::FromUTF8("替换全部"));
        m_combo->Append(wxString::FromUTF8("只添加"));
        m_combo->SetSelection(1);
        m_reference->SetLabel(wxString::FromUTF8(m_core->ReferenceText()));
    }
    Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) {
        if (e.GetId() == wxID_CANCEL) e.Skip();
        else RunCommand(e.GetId());
    });
    // The dialog has no cancel button: Escape and the close box leave it
    // without adding anything.
    platform::ui::CancelOnEscapeAndClose(*this);
    m_hide->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& e) {
        m_core->SetHideAdded(e.IsChecked());
        UpdateControls();
    });
    UpdateControls();
    CentreOnParent();
}

CAddFittingPicDlg::~CAddFittingPicDlg() = default;

void CAddFittingPicDlg::LayoutGrid() {
    const wxSize s = m_area->GetClientSize();
    m_core->SetGrid(s.x / kPictureCellWidth, s.y / kPictureCellHeight);
    m_marginX = (s.x - m_core->columns() * kPictureCellWidth) / 2;
    m_marginY = (s.y - m_core->rows() * kPictureCellHeight) / 2;
}

void CAddFittingPicDlg::UpdateControls() {
    m_page->SetLabel(wxString::Format("%d", m_core->PageNumber()));
    m_source->SetLabel(wxString::FromUTF8(m_core->sourceFolder().string()));
    m_area->Refresh();
}

wxPoint CAddFittingPicDlg::CellOrigin(int entry) const {
    const int k = entry - m_core->first();
    return {m_marginX + k % m_core->columns() * kPictureCellWidth, m_marginY + k / m_core->columns() * kPictureCellHeight};
}

int CAddFittingPicDlg::EntryAt(wxPoint p) const {
    if (p.x < m_marginX || p.y < m_marginY) return -1;
    const int col = (p.x - m_marginX) / kPictureCellWidth, row = (p.y - m_marginY) / kPictureCellHeight;
    if (col >= m_core->columns() || row >= m_core->rows()) return -1;
    const int entry = m_core->first() + row * m_core->columns() + col;
    return entry < static_cast<int>(m_core->entries().size()) ? entry : -1;
}

void CAddFittingPicDlg::DrawPictures(wxDC& dc) {
    const wxSize s = m_area->GetClientSize();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxColour(128, 128, 128)));
    dc.DrawRectangle(0, 0, s.x, s.y);
    const int count = static_cast<int>(m_core->entries().size());
    const int last = std::min(count, m_core->first() + m_core->columns() * m_core->rows());
    for (int e = m_core->first(); e < last; ++e) {
        const wxPoint o = CellOrigin(e);
        const PictureEntry& entry = m_core->entries()[static_cast<std::size_t>(e)];
        // 3-D frame from (x + 5, y + 5) to (x + 85, y + 101).
        const wxRect frame(o.x + 5, o.y + 5, 81, 97);
        dc.SetBrush(wxBrush(wxColour(236, 236, 236)));
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.DrawRectangle(frame);
        dc.SetPen(wxPen(*wxWHITE));
        dc.DrawLine(frame.GetLeft(), frame.GetBottom(), frame.GetLeft(), frame.GetTop());
        dc.DrawLine(frame.GetLeft(), frame.GetTop(), frame.GetRight(), frame.GetTop());
        dc.SetPen(wxPen(wxColour(64, 64, 64)));
        dc.DrawLine(frame.GetRight(), frame.GetTop(), frame.GetRight(), frame.GetBottom());
        dc.DrawLine(frame.GetLeft(), frame.GetBottom(), frame.GetRight() + 1, frame.GetBottom());
        const fs::path file = m_core->sourceFolder() / fs::path(entry.title + ".png");
        if (auto image = platform::image::CachedPicture(file); image && image->IsOk() && image->GetWidth() > 0 &&
                                                               image->GetHeight() > 0) {
            const double f = std::min(80.0 / image->GetWidth(), 80.0 / image->GetHeight());
            const int w = std::max(1, static_cast<int>(image->GetWidth() * f));
            const int h = std::max(1, static_cast<int>(image->GetHeight() * f));
            dc.DrawBitmap(wxBitmap(image->Scale(w, h, wxIMAGE_QUALITY_HIGH)), o.x + 45 - w / 2, o.y + 45 - h / 2, true);
        }
        dc.SetTextForeground(wxColour(20, 20, 20));
        dc.SetFont(wxFont(wxFontInfo(8)));
        wxString title = wxString::FromUTF8(entry.title);
        while (title.size() > 1 && dc.GetTextExtent(title).x > 60) title.RemoveLast();
        dc.DrawText(title, o.x + 8, o.y + 86);
        // The tick box at the frame's bottom-right.
        const wxRect box(frame.GetRight() - 16, frame.GetBottom() - 16, 16, 16);
        dc.SetPen(wxPen(wxColour(90, 90, 90)));
        dc.SetBrush(wxBrush(wxColour(190, 190, 190)));
        dc.DrawRectangle(box);
        if (entry.tick != ' ') {
            dc.SetPen(wxPen(entry.tick == 'Y' ? wxColour(0, 255, 0) : wxColour(0, 120, 0), 2));
            const wxPoint pts[] = {{box.x + 2, box.y + 4}, {box.x + 6, box.y + 12}, {box.x + 12, box.y + 2}};
            dc.DrawLines(3, pts);
        }
    }
}

void CAddFittingPicDlg::ClickPictures(wxPoint p) {
    const int e = EntryAt(p);
    if (e < 0) return;
    m_core->Toggle(e);
    m_area->Refresh();
}

void CAddFittingPicDlg::SetSourceFolder(const fs::path& folder) {
    m_core->SetSourceFolder(folder);
    UpdateControls();
}

void CAddFittingPicDlg::ChooseFolder() {
    if (m_core->mode() != AddPicturesMode::AddOrReplace) return;
    CFolderTreeDlg dlg(this);
    if (!m_core->sourceFolder().empty()) dlg.tree().SelectFolder(m_core->sourceFolder());
    if (FolderDialogHook()) CallAfter([&dlg] {
        if (auto& h = FolderDialogHook()) h(dlg);
    });
    if (dlg.ShowModal() == wxID_OK && !dlg.path().empty()) SetSourceFolder(dlg.path());
}

void CAddFittingPicDlg::RunCommand(int id) {
    switch (id) {
        case kIdConfirmAdd: Confirm(); break;
        case kIdPreviousPictures:
            if (m_core->PreviousPage()) UpdateControls();
            break;
        case kIdNextPictures:
            if (m_core->NextPage()) UpdateControls();
            break;
        case kIdSourceFolder: ChooseFolder(); break;
        case kIdCategoryName: {
            const auto cats = m_core->Categories();
            const int sel = m_combo->GetSelection();
            const std::string name = m_combo->GetValue().utf8_string();
            // The chosen row is the one selected last; typing clears the
            // selection, so the row whose name was picked stays the target.
            int row = sel >= 0 && sel < static_cast<int>(cats.size()) ? cats[static_cast<std::size_t>(sel)].first : -1;
            if (row < 0 && !cats.empty()) row = cats.front().first;
            if (m_core->RenameCategory(row, name)) {
                m_combo->Clear();
                int at = 0, i = 0;
                for (const auto& [r, n] : m_core->Categories()) {
                    m_combo->Append(wxString::FromUTF8(n));
                    if (r == row) at = i;
                    ++i;
                }
                m_combo->SetSelection(at);
            }
            break;
        }
        default: break;
    }
}

void CAddFittingPicDlg::Confirm() {
    if (m_core->mode() == AddPicturesMode::AddToCategory) {
        const auto cats = m_core->Categories();
        const int sel = m_combo->GetSelection();
        int row = -1;
        if (sel >= 0 && sel < static_cast<int>(cats.size())) row = cats[static_cast<std::size_t>(sel)].first;
        m_report = m_core->AddToCategory(row);
    } else {
        m_report = m_core->AddOrReplace(m_combo->GetSelection() == 0);
    }
    const std::string problems = m_report.Problems();
    if (!problems.empty()) platform::ui::ShowMessage(problems);
    m_area->Refresh();
    if (m_report.Changed()) EndModal(wxID_OK);
}

}  // namespace project_editor
