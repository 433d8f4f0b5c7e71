#include "measure_market/space_child_frame.h"

#include "controls/control_bar.h"
#include "measure_market/measure_form.h"
#include "measure_market/opengl_view.h"

namespace {
constexpr unsigned kBarStyle = 0x50002800u;
const char* const kCaption = "个性空间";
}  // namespace

CMWinFram_SpaceChdWnd::CMWinFram_SpaceChdWnd(platform::ui::MdiClient* client)
    : MdiChildFrame(client, wxString::FromUTF8(kCaption)) {}

CMWinFram_SpaceChdWnd* CMWinFram_SpaceChdWnd::Make(platform::ui::MdiClient* client, const std::filesystem::path& base) {
    auto* frame = new CMWinFram_SpaceChdWnd(client);
    if (!frame->CreateParts(base)) {
        frame->Destroy();
        return nullptr;
    }
    return frame;
}

bool CMWinFram_SpaceChdWnd::CreateParts(const std::filesystem::path& base) {
    m_view = new CCOpenGLCView(this);
    m_bar = new CQxTabControlBar();
    if (!m_bar->Create(this, kSpaceBarId, "Workspace", wxSize(700, 1200), kBarStyle)) return false;
    const bool added = m_bar->AddView("OutBar", [this, &base](wxWindow* parent) -> wxWindow* {
        m_form = new DlgSpace1FMView(parent, base);
        return m_form;
    });
    if (!added) return false;
    m_bar->DockAt(controls::DockSide::Left);
    Bind(wxEVT_SIZE, [this](wxSizeEvent&) { CQxControlBar::LayoutDockSite(this, m_view); });
    AddView(m_view);
    AddView(m_form);
    return true;
}

void CMWinFram_SpaceChdWnd::OnActivated() {
    SetCaption(wxString::FromUTF8(kCaption));
    if (m_bar) m_bar->ShowBar();  // a bar closed by its close box comes back
}

// Deferred notifications reach the frame; none of them is for this window.
std::intptr_t CMWinFram_SpaceChdWnd::OnPrivateMessage(unsigned, std::uintptr_t, std::intptr_t) { return 0; }
