#include "shell/child_frames.h"

#include <wx/dcbuffer.h>
#include <wx/sizer.h>

#include "platform/ui/fonts.h"

const char* const kChildCaptions[4] = {"新品展台", "试衣搭配", "个性空间", "看样定货"};

CClientChildFrame::CClientChildFrame(platform::ui::MdiClient* client, const wxString& caption,
                                     const ViewFactory& make_view)
    : MdiChildFrame(client, caption) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    if (wxWindow* view = make_view(this)) {
        sizer->Add(view, 1, wxEXPAND);
        AddView(view);
    }
    SetSizer(sizer);
}

CPlainView::CPlainView(wxWindow* parent, const wxString& caption)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE), m_caption(caption) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(this);
        Draw(dc, GetClientSize());
    });
}

void CPlainView::Draw(wxDC& dc, const wxSize& size) {
    dc.SetBackground(wxBrush(wxColour(236, 233, 216)));
    dc.Clear();
    dc.SetFont(platform::ui::MakeFont(28));
    dc.SetTextForeground(wxColour(128, 128, 128));
    dc.DrawLabel(m_caption, wxRect(wxPoint(0, 0), size), wxALIGN_CENTER);
}
