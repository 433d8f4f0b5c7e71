#pragma once
// The show-stage window's showcase: the newest products over the showcase
// background, from the base directory's picture folders.
#include <wx/window.h>

#include "platform/ui/messages.h"

class CFittoraView : public wxWindow, public platform::ui::MessageReceiver {
public:
    explicit CFittoraView(wxWindow* parent);

    // Paints the whole client area of the given size.
    void Draw(wxDC& dc, const wxSize& size);

    std::intptr_t OnPrivateMessage(unsigned, std::uintptr_t, std::intptr_t) override { return 0; }

private:
    void OnPaint(wxPaintEvent&);
};
