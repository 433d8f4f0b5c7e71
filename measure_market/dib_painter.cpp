#include "measure_market/dib_painter.h"

#include <wx/bitmap.h>
#include <wx/image.h>

#include "measure_market/dib_file.h"
#include "platform/files.h"
#include "platform/ui/message_box.h"

CDibPainter& DibPainter() {
    static CDibPainter painter;
    return painter;
}

int CDibPainter::DrawFile(int x, int y, const std::filesystem::path& path, wxDC& dc) {
    return DrawFileChecked(x, y, path, dc);
}

int CDibPainter::DrawFileChecked(int x, int y, const std::filesystem::path& path, wxDC& dc) {
    if (!platform::FileExists(path)) {
        m_state = -1;
        return -1;
    }
    return DrawDib(x, y, path, dc);
}

int CDibPainter::DrawDib(int x, int y, const std::filesystem::path& path, wxDC& dc) {
    measure::CDibFile dib(path);
    if (dib.status() == measure::DibStatus::NotBitmap) {
        const platform::MessageRequest box{measure::kNotBitmapMessage, "", platform::MbButtons::Ok, platform::MbIcon::None};
        if (m_sink)
            m_sink(box);
        else
            platform::ui::ShowMessage(box);
    }
    if (!dib.loaded()) return -1;
    // The pixels are true colour already (a palette picture has been looked
    // up through its table), so no palette is selected for drawing.
    wxImage image(dib.width(), dib.height());
    std::copy(dib.rgb().begin(), dib.rgb().end(), image.GetData());
    dc.DrawBitmap(wxBitmap(image), x, y, false);
    m_width = dib.width();
    m_height = dib.height();
    m_state = 11;
    return 0;
}
