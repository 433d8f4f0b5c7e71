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
#include <wx/uiaction.h>
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

void ClickAtScreen(const wxPoint& p, int pumpMs) {
    wxUIActionSimulator sim;
    sim.MouseMove(p);
    PumpEvents(60);
    sim.MouseClick();
    PumpEvents(pumpMs);
}

void DoubleClickAtScreen(const wxPoint& p, int pumpMs) {
    wxUIActionSimulator sim;
    sim.MouseMove(p);
    PumpEvents(60);
    sim.MouseDblClick();
    PumpEvents(pumpMs);
}

void PressKey(int keyCode, int pumpMs) {
    wxUIActionSimulator sim;
    sim.Char(keyCode);
    PumpEvents(pumpMs);
}

wxPoint ScreenPoint(wxWindow* window, const wxPoint& client) { return window->ClientToScreen(client); }

namespace {

// The mapped window below `w` whose _NET_WM_NAME (or WM_NAME) is `title`.
Window FindByTitle(Display* d, Window w, const std::string& title, int depth) {
    const Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) == Success &&
        data) {
        const bool match = std::string(reinterpret_cast<char*>(data), count) == title;
        XFree(data);
        if (match) return w;
    }
    char* name = nullptr;
    if (XFetchName(d, w, &name) && name) {
        const bool match = title == name;
        XFree(name);
        if (match) return w;
    }
    if (depth <= 0) return None;
    Window root = None, parent = None, *children = nullptr;
    unsigned int n = 0;
    Window found = None;
    if (XQueryTree(d, w, &root, &parent, &children, &n)) {
        for (unsigned int i = n; i-- > 0 && found == None;) {
            XWindowAttributes a;
            if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable)
                found = FindByTitle(d, children[i], title, depth - 1);
        }
        if (children) XFree(children);
    }
    return found;
}

}  // namespace

bool SendCloseRequest(wxWindow* topLevel) {
    auto* tlw = dynamic_cast<wxTopLevelWindow*>(topLevel);
    if (!tlw) return false;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    const Window target = FindByTitle(d, DefaultRootWindow(d), tlw->GetTitle().utf8_string(), 2);
    if (target != None) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = target;
        e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, target, False, NoEventMask, &e);
        XFlush(d);
    }
    XCloseDisplay(d);
    PumpEvents(200);
    return target != None;
}

}  // namespace testsupport
