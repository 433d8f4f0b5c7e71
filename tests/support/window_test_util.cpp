#include "tests/support/window_test_util.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <filesystem>
#include <string>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/time.h>
#include <wx/toplevel.h>
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

void WaitUntilPlaced(wxWindow* window) {
    wxPoint last = window->GetScreenPosition();
    for (int same = 0, i = 0; same < 4 && i < 60; ++i) {
        PumpEvents(50);
        const wxPoint now = window->GetScreenPosition();
        same = now == last && window->IsShownOnScreen() ? same + 1 : 0;
        last = now;
    }
}

wxWindow* FindShownWindow(const wxString& name) {
    for (wxWindow* w : wxTopLevelWindows)
        if (w->GetName() == name && w->IsShown()) return w;
    return nullptr;
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

std::vector<WindowIcon> WindowIcons(const std::string& title) {
    std::vector<WindowIcon> icons;
    Display* x = XOpenDisplay(nullptr);
    if (!x) return icons;
    const Atom nameAtom = XInternAtom(x, "_NET_WM_NAME", False), utf8 = XInternAtom(x, "UTF8_STRING", False);
    const Atom iconAtom = XInternAtom(x, "_NET_WM_ICON", False);
    // A property's items: bytes for 8-bit ones, longs for 32-bit ones (Xlib's rule).
    auto property = [&](Window w, Atom what, Atom type, std::vector<unsigned char>* bytes, unsigned long* count) {
        Atom got = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(x, w, what, 0, 1 << 22, False, type, &got, &format, &n, &after, &data) != Success || !data)
            return false;
        const std::size_t unit = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
        bytes->assign(data, data + n * unit);
        *count = n;
        XFree(data);
        return true;
    };
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int n = 0;
    XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &n);
    for (unsigned int i = 0; i < n && icons.empty(); ++i) {
        std::vector<unsigned char> bytes;
        unsigned long count = 0;
        if (!property(children[i], nameAtom, utf8, &bytes, &count) || std::string(bytes.begin(), bytes.end()) != title)
            continue;
        if (!property(children[i], iconAtom, XA_CARDINAL, &bytes, &count)) continue;
        const auto* v = reinterpret_cast<const unsigned long*>(bytes.data());
        for (unsigned long k = 0; k + 2 <= count;) {
            WindowIcon icon;
            icon.width = static_cast<int>(v[k]);
            icon.height = static_cast<int>(v[k + 1]);
            const unsigned long size = v[k] * v[k + 1];
            if (size == 0 || k + 2 + size > count) break;
            icon.argb.assign(v + k + 2, v + k + 2 + size);
            icons.push_back(std::move(icon));
            k += 2 + size;
        }
    }
    if (children) XFree(children);
    XCloseDisplay(x);
    return icons;
}

}  // namespace testsupport
