#include "fitting_room/dress_child_frame.h"

#include <wx/sizer.h>

#include "fitting_room/dress_toolbar.h"
#include "fitting_room/dress_view.h"
#include "fitting_room/photo_bar.h"
#include "shell/child_frames.h"

namespace {
constexpr std::int32_t kReqSnapshotBar = 66601009;
}

CMWinFram_DressChdWnd::CMWinFram_DressChdWnd(platform::ui::MdiClient* client)
    : MdiChildFrame(client, wxString::FromUTF8("试衣搭配")) {}

CMWinFram_DressChdWnd* CMWinFram_DressChdWnd::Make(platform::ui::MdiClient* client) {
    auto* frame = new CMWinFram_DressChdWnd(client);
    if (!frame->CreateParts()) {
        frame->Destroy();
        return nullptr;
    }
    return frame;
}

bool CMWinFram_DressChdWnd::CreateParts() {
    m_toolBar = new CDressToolBar;
    if (!m_toolBar->Create(this, wxID_ANY, kDressToolBarBitmap)) {
        delete m_toolBar;
        m_toolBar = nullptr;
        return false;
    }
    m_view = new CCDressCCView(this);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_toolBar, 0, wxEXPAND);
    sizer->Add(m_view, 1, wxEXPAND);
    SetSizer(sizer);
    AddView(m_view);
    m_photoBar = new DlgPhotoBar(wxGetTopLevelParent(this));
    return true;
}

CMWinFram_DressChdWnd::~CMWinFram_DressChdWnd() {
    if (m_photoBar) m_photoBar->Destroy();
    m_photoBar = nullptr;
}

void CMWinFram_DressChdWnd::OnActivated() { SetCaption(wxString::FromUTF8("试衣搭配")); }

std::intptr_t CMWinFram_DressChdWnd::OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t) {
    if (id != kWmUser50 || m_busy) return 0;
    m_busy = true;
    if (static_cast<std::int32_t>(wparam) == kReqSnapshotBar && m_photoBar) {
        if (m_photoBar->IsShown()) {
            m_photoBar->Hide();
        } else {
            m_photoBar->Show();
            // The bar opens at (60, 100) of the screen the first time; later
            // where the user left it. GTK may centre a transient window when
            // it maps it, while the toolkit still believes it at (60, 100)
            // and skips a move to there: it is moved away and back.
            if (!m_photoBarPlaced) {
                m_photoBar->Move(DlgPhotoBar::kOpenX + 1, DlgPhotoBar::kOpenY);
                m_photoBar->Move(DlgPhotoBar::kOpenX, DlgPhotoBar::kOpenY);
            }
            m_photoBarPlaced = true;
            m_photoBar->Raise();
        }
    }
    m_busy = false;
    return 0;
}
