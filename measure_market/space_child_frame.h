#pragma once
// CMWinFram_SpaceChdWnd: the measurement space, child window C ("个性空间").
// Its main view is the 3-D view; the measurement form is the page "OutBar" of
// a docking tab bar on the left.
//
// Window thread only.
#include <cstdint>
#include <filesystem>

#include "platform/ui/mdi.h"
#include "platform/ui/messages.h"

class CCOpenGLCView;
class CQxTabControlBar;
class DlgSpace1FMView;

class CMWinFram_SpaceChdWnd : public platform::ui::MdiChildFrame, public platform::ui::MessageReceiver {
public:
    // The frame over the data of `base`.
    static CMWinFram_SpaceChdWnd* Make(platform::ui::MdiClient* client, const std::filesystem::path& base);

    void OnActivated() override;
    std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) override;

    CCOpenGLCView* view() const { return m_view; }
    CQxTabControlBar* bar() const { return m_bar; }
    DlgSpace1FMView* form() const { return m_form; }

private:
    explicit CMWinFram_SpaceChdWnd(platform::ui::MdiClient* client);
    bool CreateParts(const std::filesystem::path& base);

    CCOpenGLCView* m_view = nullptr;
    CQxTabControlBar* m_bar = nullptr;
    DlgSpace1FMView* m_form = nullptr;
};

inline constexpr int kSpaceBarId = 0xF007;
