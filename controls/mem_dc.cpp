#include "controls/mem_dc.h"

#include <wx/dcprint.h>

namespace {
bool IsPrinting(const wxDC& dc) {
#if wxUSE_PRINTING_ARCHITECTURE
    if (dynamic_cast<const wxPrinterDC*>(&dc)) return true;
#endif
    return false;
}
}  // namespace

CMemDC::CMemDC(wxDC& target, const wxRect& rect)
    : m_target(target), m_rect(rect), m_buffering(!IsPrinting(target)) {
    if (!m_buffering) return;
    // An empty rectangle still gets a context to draw into; nothing is copied.
    const int w = std::max(1, rect.width);
    const int h = std::max(1, rect.height);
    m_bitmap.Create(w, h, 24);
    m_mem = std::make_unique<wxMemoryDC>(m_bitmap);
    m_mem->SetDeviceOrigin(-rect.x, -rect.y);
    m_mem->SetFont(target.GetFont());
}

CMemDC::~CMemDC() {
    if (!m_buffering) return;
    if (m_rect.width > 0 && m_rect.height > 0) {
        m_mem->SetDeviceOrigin(0, 0);
        m_target.Blit(m_rect.x, m_rect.y, m_rect.width, m_rect.height, m_mem.get(), 0, 0, wxCOPY);
    }
    m_mem->SelectObject(wxNullBitmap);
}
