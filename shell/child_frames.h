#pragma once
// The client's four child frames. Each is a page of the main frame's client
// area with its caption and its views; views and frames receive the deferred
// notifications (WM_USER+50) addressed to their window.
#include <functional>
#include <wx/panel.h>

#include "platform/ui/mdi.h"
#include "platform/ui/messages.h"

inline constexpr unsigned kWmUser50 = platform::ui::kWmUser + 50;

// A child frame that lays out one view over its whole area.
class CClientChildFrame : public platform::ui::MdiChildFrame, public platform::ui::MessageReceiver {
public:
    using ViewFactory = std::function<wxWindow*(wxWindow* parent)>;
    CClientChildFrame(platform::ui::MdiClient* client, const wxString& caption, const ViewFactory& make_view);

    std::intptr_t OnPrivateMessage(unsigned, std::uintptr_t, std::intptr_t) override { return 0; }
};

// A view for a window whose content is not there yet: a quiet page that
// shows the window's caption.
class CPlainView : public wxPanel, public platform::ui::MessageReceiver {
public:
    CPlainView(wxWindow* parent, const wxString& caption);
    void Draw(wxDC& dc, const wxSize& size);
    std::intptr_t OnPrivateMessage(unsigned, std::uintptr_t, std::intptr_t) override { return 0; }

private:
    wxString m_caption;
};

// The captions of child windows A-D.
extern const char* const kChildCaptions[4];
