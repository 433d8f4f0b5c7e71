#include "tests/support/window_test_util.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <filesystem>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/time.h>
#include <wx/utils.h>
#include <wx/window.h>

namespace testsupport {

void PumpEvents(int ms) {
    const wxLongLong end = wxGetLocalTimeMillis() + ms;
    do {
        if (wxTheApp) {
            wxTheApp->ProcessPendingEvents();
            while (wxTheApp->Pending()) wxTheApp->Dispatch();
            wxTheApp->SafeYieldFor(nullptr, wxEVT_CATEGORY_ALL);
        }
        wxMilliSleep(5);
    } while (wxGetLocalTimeMillis() < end);
}

wxImage GrabScreenArea(const wxRect& area) {
    wxImage image;
    if (area.width <= 0 || area.height <= 0) return image;
    // A connection of our own reads the root window: what the server shows.
    Display* display = XOpenDisplay(nullptr);
    if (!display) return image;
    XImage* shot = XGetImage(display, DefaultRootWindow(display), area.x, area.y, static_cast<unsigned>(area.width),
                             static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (shot) {
        auto channel = [](unsigned long pixel, unsigned long mask) {
            if (!mask) return 0u;
            int shift = 0;
            while (!(mask & 1)) {
                mask >>= 1;
                ++shift;
            }
            return static_cast<unsigned>(((pixel >> shift) & mask) * 255 / mask);
        };
        image.Create(area.width, area.height);
        unsigned char* rgb = image.GetData();
        for (int y = 0; y < area.height; ++y) {
            for (int x = 0; x < area.width; ++x) {
                const unsigned long p = XGetPixel(shot, x, y);
                *rgb++ = static_cast<unsigned char>(channel(p, shot->red_mask));
                *rgb++ = static_cast<unsigned char>(channel(p, shot->green_mask));
                *rgb++ = static_cast<unsigned char>(channel(p, shot->blue_mask));
            }
        }
        XDestroyImage(shot);
    }
    XCloseDisplay(display);
    return image;
}

bool SaveWindowScreenshot(wxWindow* window, const std::string& png_path) {
    if (!window) return false;
    window->Update();
    PumpEvents(50);
    const wxImage shot = GrabScreenArea(window->GetScreenRect());
    if (!shot.IsOk()) return false;
    std::filesystem::create_directories(std::filesystem::path(png_path).parent_path());
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxInitAllImageHandlers();
    return shot.SaveFile(wxString::FromUTF8(png_path), wxBITMAP_TYPE_PNG);
}

}  // namespace testsupport
