#include "measure_market/dib_painter.h"

#include <wx/bitmap.h>
#include <wx/image.h>

#include "platform/ui/message_box.h"

CDibPainter& DibPainter() {
    static CDibPainter painter;
    return painter;
}

measure::CDibFile CDibPainter::Open(const std::filesystem::path& path) {
    measure::CDibFile dib(path);
    if (!dib.loaded() && dib.status() != measure::DibStatus::NoFile) {
        const platform::MessageRequest box{measure::kNotBitmapMessage, "", platform::MbButtons::Ok, platform::MbIcon::None};
        if (m_sink)
            m_sink(box);
        else
            platform::ui::ShowMessage(box);
    }
    return dib;
}

int CDibPainter::DrawLoaded(int x, int y, const measure::CDibFile& dib, wxDC& dc) {
    if (!dib.loaded()) {
        if (dib.status() == measure::DibStatus::NoFile) m_state = -1;
        return -1;
    }
    // The pixels are true colour already (a palette picture has been looked
    // up through its table), so no palette is selected for drawing. Only the
    // part on the dc is made into a bitmap.
    const wxSize area = dc.GetSize();
    measure::DibPatch patch = measure::VisiblePart(dib, x, y, area.x, area.y);
    if (patch.width > 0) {
        wxImage image(patch.width, patch.height);
        std::copy(patch.rgb.begin(), patch.rgb.end(), image.GetData());
        dc.DrawBitmap(wxBitmap(image), patch.x, patch.y, false);
    }
    m_width = dib.width();
    m_height = dib.height();
    m_state = 11;
    return 0;
}
