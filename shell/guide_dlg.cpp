#include "shell/guide_dlg.h"

#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "platform/image/picture_io.h"
#include "platform/ui/colour.h"

namespace {

wxString Utf8(const char* s) { return wxString::FromUTF8(s); }

}  // namespace

CDlgGuide::CDlgGuide(wxWindow* parent, const std::filesystem::path& baseDir)
    : wxDialog(parent, IDD, Utf8("操作指引"), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE),
      m_pages(baseDir) {
    SetClientSize(ConvertDialogToPixels(wxSize(479, 347)));
    const wxSize client = GetClientSize();
    const wxSize button = ConvertDialogToPixels(wxSize(60, 16));
    const int margin = ConvertDialogToPixels(wxSize(7, 0)).x;
    const int rowY = client.y - margin - button.y;

    m_area = new wxWindow(this, IDC_PAGE_AREA, wxPoint(margin, margin),
                          wxSize(client.x - 2 * margin, rowY - 2 * margin), wxFULL_REPAINT_ON_RESIZE);
    m_area->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_area->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(m_area);
        DrawPage(dc, wxRect(m_area->GetClientSize()), m_pages.CurrentFile());
    });

    auto* prev = new wxButton(this, IDC_PREV_PAGE, Utf8("<<=前一页"), wxPoint(margin, rowY), button);
    m_number = new wxStaticText(this, IDC_PAGE_NUMBER, "", wxPoint(margin + button.x + margin, rowY + button.y / 4),
                                wxSize(button.x / 2, -1), wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
    auto* next = new wxButton(this, IDC_NEXT_PAGE, Utf8("后一页=>>"),
                              wxPoint(margin + button.x * 3 / 2 + 2 * margin, rowY), button);
    auto* ok = new wxButton(this, wxID_OK, "OK", wxPoint(client.x - 2 * button.x - 2 * margin, rowY), button);
    new wxButton(this, wxID_CANCEL, Utf8("关 闭"), wxPoint(client.x - button.x - margin, rowY), button);
    ok->SetDefault();
    prev->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnPrevPage(); });
    next->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnNextPage(); });
    ShowCurrentPage();
    CentreOnParent();
}

wxString CDlgGuide::pageNumberText() const { return m_number->GetLabel(); }

void CDlgGuide::ShowCurrentPage() {
    m_number->SetLabel(wxString::Format("%d", m_pages.current()));
    m_area->Refresh();
}

void CDlgGuide::OnNextPage() {
    if (m_pages.Next()) ShowCurrentPage();
}

void CDlgGuide::OnPrevPage() {
    if (m_pages.Prev()) ShowCurrentPage();
}

void CDlgGuide::DrawPage(wxDC& dc, const wxRect& area, const std::filesystem::path& file) {
    const wxColour fill = platform::ui::ToColour(shell::kGuideAreaColour);
    dc.SetPen(wxPen(fill));
    dc.SetBrush(wxBrush(fill));
    dc.DrawRectangle(area);
    const wxImage page = platform::image::LoadPicture(file);
    if (!page.IsOk()) return;
    const shell::GuideRect at = shell::PlaceGuidePage(
        {area.GetLeft(), area.GetTop(), area.GetRight() + 1, area.GetBottom() + 1}, page.GetWidth(), page.GetHeight());
    const int w = at.right - at.left, h = at.bottom - at.top;
    if (w <= 0 || h <= 0) return;
    const wxImage drawn =
        (w == page.GetWidth() && h == page.GetHeight()) ? page : page.Scale(w, h, wxIMAGE_QUALITY_BICUBIC);
    dc.DrawBitmap(wxBitmap(drawn), at.left, at.top, false);
}
