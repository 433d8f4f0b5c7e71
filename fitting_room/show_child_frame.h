#pragma once
// CMWinFram_ImageEdtChdWnd: window A, "新品展台". The showcase view fills
// the frame; the "Workspace" bar docked on its left holds the show-stage form
// as its page "OutBar".
//
// Window thread only.
#include <functional>
#include <memory>
#include <wx/imaglist.h>

#include "platform/ui/mdi.h"
#include "platform/ui/messages.h"

class CQxTabControlBar;
class DlgImgedtFormview;

// The bar and its image lists.
inline constexpr int kWorkspaceBarId = 61447;
inline constexpr unsigned kWorkspaceBarStyle = 0x50002800;
inline constexpr int kWorkspaceBarWidth = 566;
inline constexpr int kWorkspaceBarHeight = 1200;
inline constexpr int kWorkspaceImages = 136;    // 16-pixel images
inline constexpr int kWorkspaceImages2 = 137;   // 13-pixel images

class CMWinFram_ImageEdtChdWnd : public platform::ui::MdiChildFrame, public platform::ui::MessageReceiver {
public:
    using ViewFactory = std::function<wxWindow*(wxWindow* parent)>;
    // The frame with its view (from `makeView`) and its bar; null when the bar
    // or its page cannot be made. `autoStartDelayMs` goes to the form.
    static CMWinFram_ImageEdtChdWnd* Make(platform::ui::MdiClient* client, const ViewFactory& makeView,
                                          int autoStartDelayMs = 1500);
    ~CMWinFram_ImageEdtChdWnd() override;

    void OnActivated() override;
    std::intptr_t OnPrivateMessage(unsigned, std::uintptr_t, std::intptr_t) override { return 0; }

    CQxTabControlBar* bar() const { return m_bar; }
    DlgImgedtFormview* form() const { return m_form; }
    wxWindow* view() const { return m_view; }

private:
    explicit CMWinFram_ImageEdtChdWnd(platform::ui::MdiClient* client);
    bool CreateParts(const ViewFactory& makeView, int autoStartDelayMs);

    CQxTabControlBar* m_bar = nullptr;
    DlgImgedtFormview* m_form = nullptr;
    wxWindow* m_view = nullptr;
    std::unique_ptr<wxImageList> m_images1, m_images2;
};
