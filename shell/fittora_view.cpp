#include "shell/fittora_view.h"

#include <memory>
#include <wx/dcbuffer.h>
#include <wx/graphics.h>

#include "platform/image/picture_cache.h"
#include "shell/base_directory.h"
#include "shell/showcase_layout.h"

CFittoraView::CFittoraView(wxWindow* parent)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CFittoraView::OnPaint, this);
}

void CFittoraView::Draw(wxDC& dc, const wxSize& size) {
    const auto& base = shell::BaseDirectory();
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    // With no room (a docked bar takes the whole frame) nothing is scaled to
    // it: a zero scale would put the window's whole drawing in error.
    if (size.x <= 0 || size.y <= 0) return;
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::CreateFromUnknownDC(dc));
    if (!gc) return;
    gc->SetInterpolationQuality(wxINTERPOLATION_BEST);
    if (auto bg = platform::image::CachedPicture(shell::ShowcaseBackgroundPath(base))) {
        gc->DrawBitmap(gc->CreateBitmapFromImage(*bg), 0, 0, size.x, size.y);
    }
    const auto items = shell::LayoutShowcase(size.x, size.y, [&base](int k) -> std::optional<shell::ShowcaseSize> {
        auto s = platform::image::PictureSize(shell::ShowcaseProductPath(base, k));
        if (!s) return std::nullopt;
        return shell::ShowcaseSize{s->x, s->y};
    });
    for (const auto& item : items) {
        auto img = platform::image::CachedPicture(shell::ShowcaseProductPath(base, item.number));
        if (!img) continue;
        gc->DrawBitmap(gc->CreateBitmapFromImage(*img), item.x, item.y, item.width, item.height);
    }
}

void CFittoraView::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    Draw(dc, GetClientSize());
}
