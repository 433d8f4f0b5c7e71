#pragma once
// Off-screen painting: a painting routine composes its picture in memory with
// the target's own coordinates, and the picture is copied to the target in one
// step when the CMemDC goes out of scope. A printer target gets the drawing
// directly, unbuffered.
#include <memory>
#include <wx/dc.h>
#include <wx/dcmemory.h>
#include <wx/gdicmn.h>

class CMemDC {
public:
    CMemDC(wxDC& target, const wxRect& rect);
    ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    // The context to draw into: the memory one, or the target when printing.
    wxDC& dc() { return m_buffering ? static_cast<wxDC&>(*m_mem) : m_target; }
    wxDC* operator->() { return &dc(); }
    bool IsBuffering() const { return m_buffering; }
    const wxRect& rect() const { return m_rect; }

private:
    wxDC& m_target;
    wxRect m_rect;
    bool m_buffering;
    wxBitmap m_bitmap;
    std::unique_ptr<wxMemoryDC> m_mem;
};
