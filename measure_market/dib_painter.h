#pragma once
// CDibPainter: draws a bitmap file (".bmp") at its natural size on a device
// context through the validated reader CDibFile. A file that is there but
// cannot be read as a bitmap (not one at all, or one whose headers, colours
// or pixels do not fit) is reported with "This isn't a bitmap file!" each
// time it is opened; a missing file draws nothing and says nothing. A window
// that paints the same picture again and again opens it once (Open) and
// paints what it read (DrawLoaded), so the box comes once per file chosen.
//
// Window thread only; one process-wide instance (DibPainter()).
#include <filesystem>
#include <wx/dc.h>

#include "measure_market/dib_file.h"
#include "platform/message.h"

class CDibPainter {
public:
    // Reads the file and reports one that cannot be read as a bitmap.
    measure::CDibFile Open(const std::filesystem::path& path);
    // Draws a picture read before, the part that falls on the dc; -1 when it
    // did not load. Reports nothing.
    int DrawLoaded(int x, int y, const measure::CDibFile& dib, wxDC& dc);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int state() const { return m_state; }  // -1 after a missing file, 11 after a drawing
    // Where the "not a bitmap" message goes (the message box by default).
    void SetMessageSink(platform::MessageSink sink) { m_sink = std::move(sink); }

private:
    int m_width = 0;
    int m_height = 0;
    int m_state = 0;
    platform::MessageSink m_sink;
};

CDibPainter& DibPainter();
