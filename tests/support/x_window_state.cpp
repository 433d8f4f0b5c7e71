#include "tests/support/x_window_state.h"

#include <X11/Xlib.h>
#include <dlfcn.h>

#include <wx/time.h>
#include <wx/window.h>

#include "tests/support/user_input.h"

namespace testsupport {

// The toolkit's own functions, looked up at run time: the tests are not built
// against its headers.
unsigned long XWindowOf(wxWindow* window) {
    using WidgetWindow = void* (*)(void*);
    using Xid = unsigned long (*)(void*);
    static const auto widgetWindow = reinterpret_cast<WidgetWindow>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
    static const auto xid = reinterpret_cast<Xid>(dlsym(RTLD_DEFAULT, "gdk_x11_window_get_xid"));
    if (!window || !widgetWindow || !xid || !window->GetHandle()) return 0;
    void* gdk = widgetWindow(window->GetHandle());
    return gdk ? xid(gdk) : 0;
}

XWindowState XStateOf(wxWindow* window) {
    XWindowState state;
    const Window w = static_cast<Window>(XWindowOf(window));
    if (!w) return state;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return state;
    XWindowAttributes a{};
    if (XGetWindowAttributes(display, w, &a)) {
        state.exists = true;
        state.viewable = a.map_state == IsViewable;
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(display, w, DefaultRootWindow(display), 0, 0, &x, &y, &child);
        state.screen = wxRect(x, y, a.width, a.height);
    }
    XCloseDisplay(display);
    return state;
}

bool XFocusIsIn(wxWindow* topLevel) {
    const Window top = static_cast<Window>(XWindowOf(topLevel));
    if (!top) return false;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    bool inside = false;
    // Up from the focus window to the root: the top-level window on the way
    // holds it.
    for (Window w = focus; w && w != PointerRoot && !inside;) {
        if (w == top) {
            inside = true;
            break;
        }
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, w, &root, &parent, &children, &count)) break;
        if (children) XFree(children);
        if (w == root) break;
        w = parent;
    }
    XCloseDisplay(display);
    return inside;
}

bool KeyboardHeld() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    const int status = XGrabKeyboard(display, DefaultRootWindow(display), False, GrabModeAsync, GrabModeAsync,
                                     CurrentTime);
    if (status == GrabSuccess) XUngrabKeyboard(display, CurrentTime);
    XCloseDisplay(display);
    return status == AlreadyGrabbed;
}

bool DeliverUntil(const std::function<bool()>& done, int ms) {
    const wxLongLong end = wxGetLocalTimeMillis() + ms;
    while (!done()) {
        if (wxGetLocalTimeMillis() >= end) return false;
        DeliverEvents(20);
    }
    return true;
}

struct ForeignFocusWindow::X {
    Display* display = nullptr;
    Window window = 0;
};

ForeignFocusWindow::ForeignFocusWindow() : m_x(std::make_unique<X>()) {
    m_x->display = XOpenDisplay(nullptr);
    if (!m_x->display) return;
    Display* d = m_x->display;
    const int screen = DefaultScreen(d);
    XSetWindowAttributes attrs{};
    attrs.override_redirect = True;  // no window manager places it
    attrs.background_pixel = BlackPixel(d, screen);
    m_x->window = XCreateWindow(d, RootWindow(d, screen), 0, DisplayHeight(d, screen) - 20, 20, 20, 0,
                                CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attrs);
    XMapRaised(d, m_x->window);
    XSync(d, False);
    // Focus can go to a window only once it is viewable.
    for (int i = 0; i < 200; ++i) {
        XWindowAttributes a{};
        if (XGetWindowAttributes(d, m_x->window, &a) && a.map_state == IsViewable) break;
        wxMilliSleep(5);
    }
    XSetInputFocus(d, m_x->window, RevertToPointerRoot, CurrentTime);
    XSync(d, False);
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    m_ok = focus == m_x->window;
}

ForeignFocusWindow::~ForeignFocusWindow() {
    if (!m_x->display) return;
    if (m_x->window) {
        XSetInputFocus(m_x->display, PointerRoot, RevertToPointerRoot, CurrentTime);
        XDestroyWindow(m_x->display, m_x->window);
    }
    XCloseDisplay(m_x->display);
}

}  // namespace testsupport
