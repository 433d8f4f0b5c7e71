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

bool SaveWindowScreenshot(wxWindow* window, const std::string& png_path) {
    if (!window) return false;
    window->Update();
    PumpEvents(50);
    const wxRect r = window->GetScreenRect();
    if (r.width <= 0 || r.height <= 0) return false;
    // A connection of our own reads the root window: what the server shows.
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XImage* img = XGetImage(display, DefaultRootWindow(display), r.x, r.y, static_cast<unsigned>(r.width),
                            static_cast<unsigned>(r.height), AllPlanes, ZPixmap);
    bool ok = false;
    if (img) {
        wxImage out(r.width, r.height);
        unsigned char* rgb = out.GetData();
        for (int y = 0; y < r.height; ++y) {
            for (int x = 0; x < r.width; ++x) {
                const unsigned long p = XGetPixel(img, x, y);
                *rgb++ = static_cast<unsigned char>((p & img->red_mask) >> 16);
                *rgb++ = static_cast<unsigned char>((p & img->green_mask) >> 8);
                *rgb++ = static_cast<unsigned char>(p & img->blue_mask);
            }
        }
        XDestroyImage(img);
        std::filesystem::create_directories(std::filesystem::path(png_path).parent_path());
        if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxInitAllImageHandlers();
        ok = out.SaveFile(wxString::FromUTF8(png_path), wxBITMAP_TYPE_PNG);
    }
    XCloseDisplay(display);
    return ok;
}

}  // namespace testsupport
