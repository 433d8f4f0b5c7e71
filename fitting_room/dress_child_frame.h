#pragma once
// CMWinFram_DressChdWnd: the fitting room's child frame. The picture toolbar
// runs along its top, the dress view fills the rest, and the snapshot bar
// floats beside it, shown and hidden by the toolbar's camera button
// (deferred request 66601009).
//
// Window thread only.
#include <cstdint>

#include "platform/ui/mdi.h"
#include "platform/ui/messages.h"

class CCDressCCView;
class CDressToolBar;
class DlgPhotoBar;

class CMWinFram_DressChdWnd : public platform::ui::MdiChildFrame, public platform::ui::MessageReceiver {
public:
    // The frame with its toolbar, view and snapshot bar; null when the
    // toolbar cannot be made (its bar picture is missing).
    static CMWinFram_DressChdWnd* Make(platform::ui::MdiClient* client);
    ~CMWinFram_DressChdWnd() override;

    void OnActivated() override;
    std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) override;

    CDressToolBar* toolBar() const { return m_toolBar; }
    CCDressCCView* view() const { return m_view; }
    DlgPhotoBar* photoBar() const { return m_photoBar; }

private:
    explicit CMWinFram_DressChdWnd(platform::ui::MdiClient* client);
    bool CreateParts();

    bool m_busy = false;
    bool m_photoBarPlaced = false;
    CDressToolBar* m_toolBar = nullptr;
    CCDressCCView* m_view = nullptr;
    DlgPhotoBar* m_photoBar = nullptr;
};

// The picture toolbar's bar picture.
inline constexpr int kDressToolBarBitmap = 132;
