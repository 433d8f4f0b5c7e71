#include "fitting_room/show_child_frame.h"

#include <wx/notebook.h>

#include "controls/control_bar.h"
#include "fitting_room/show_stage_form.h"
#include "platform/ui/resources.h"

namespace {

const wxString kCaption = wxString::FromUTF8("新品展台");

std::unique_ptr<wxImageList> MakeImageList(int bitmap, int width) {
    auto list = std::make_unique<wxImageList>();
    platform::ui::LoadImageListStrip(*list, bitmap, width, wxColour(0, 255, 0));
    return list;
}

}  // namespace

CMWinFram_ImageEdtChdWnd::CMWinFram_ImageEdtChdWnd(platform::ui::MdiClient* client) : MdiChildFrame(client, kCaption) {}

CMWinFram_ImageEdtChdWnd* CMWinFram_ImageEdtChdWnd::Make(platform::ui::MdiClient* client, const ViewFactory& makeView,
                                                         int autoStartDelayMs) {
    auto* frame = new CMWinFram_ImageEdtChdWnd(client);
    if (!frame->CreateParts(makeView, autoStartDelayMs)) {
        frame->Destroy();
        return nullptr;
    }
    return frame;
}

bool CMWinFram_ImageEdtChdWnd::CreateParts(const ViewFactory& makeView, int autoStartDelayMs) {
    m_images1 = MakeImageList(kWorkspaceImages, 16);
    m_images2 = MakeImageList(kWorkspaceImages2, 13);
    m_view = makeView ? makeView(this) : nullptr;
    m_bar = new CQxTabControlBar();
    if (!m_bar->Create(this, kWorkspaceBarId, "Workspace", wxSize(kWorkspaceBarWidth, kWorkspaceBarHeight),
                       kWorkspaceBarStyle)) {
        delete m_bar;
        m_bar = nullptr;
        return false;
    }
    if (!m_bar->AddView("OutBar", [this, autoStartDelayMs](wxWindow* parent) {
            m_form = new DlgImgedtFormview(parent, autoStartDelayMs);
            return m_form;
        })) {
        return false;
    }
    m_bar->SetImageList(m_images1.get());
    // The tab was made before the list came: give it its picture now.
    if (m_bar->tabs() && m_bar->tabs()->GetPageCount() > 0) m_bar->tabs()->SetPageImage(0, 0);
    // It may dock on any side, and docks on the left first.
    m_bar->EnableDocking(controls::kCbrsAlignAny);
    m_bar->DockAt(controls::DockSide::Left);
    if (m_view) AddView(m_view);
    Bind(wxEVT_SIZE, [this](wxSizeEvent&) { CQxControlBar::LayoutDockSite(this, m_view); });
    return true;
}

CMWinFram_ImageEdtChdWnd::~CMWinFram_ImageEdtChdWnd() = default;

void CMWinFram_ImageEdtChdWnd::OnActivated() {
    SetCaption(kCaption);
    // A bar closed by its close box comes back with its window.
    if (m_bar) m_bar->ShowBar();
}
