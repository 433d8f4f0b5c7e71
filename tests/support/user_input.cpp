#include "tests/support/user_input.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <dlfcn.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/menu.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/utils.h>
#include <wx/window.h>

#include "tests/support/x_window_state.h"

namespace testsupport {

namespace {

// The toolkit asked as a window manager would ask it, through its own call
// (found in the running process): the test X server runs no window manager.
void CallToolkit(const char* function, wxWindow* topLevel) {
    using Call = void (*)(void*);
    if (auto call = reinterpret_cast<Call>(::dlsym(RTLD_DEFAULT, function))) call(topLevel->GetHandle());
    DeliverEvents(150);
}

// The toolkit's shown top-level windows of a type, through its own calls.
struct ListLink {  // the layout of the toolkit's list cells
    void* data;
    ListLink* next;
    ListLink* prev;
};

template <class F>
F Toolkit(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_DEFAULT, name));
}

std::vector<void*> ShownDesktopDialogs(const char* gtkType) {
    static const auto list = Toolkit<ListLink* (*)()>("gtk_window_list_toplevels");
    static const auto freeList = Toolkit<void (*)(ListLink*)>("g_list_free");
    static const auto typeFromName = Toolkit<std::size_t (*)(const char*)>("g_type_from_name");
    static const auto isA = Toolkit<int (*)(void*, std::size_t)>("g_type_check_instance_is_a");
    static const auto mapped = Toolkit<int (*)(void*)>("gtk_widget_get_mapped");
    std::vector<void*> found;
    if (!list || !freeList || !typeFromName || !isA || !mapped) return found;
    const std::size_t type = typeFromName(gtkType);
    if (!type) return found;
    ListLink* all = list();
    for (ListLink* l = all; l; l = l->next)
        if (isA(l->data, type) && mapped(l->data)) found.push_back(l->data);
    freeList(all);
    return found;
}

}  // namespace

bool FocusDesktopDialog(const char* gtkType) {
    static const auto present = Toolkit<void (*)(void*)>("gtk_window_present");
    static const auto widgetWindow = Toolkit<void* (*)(void*)>("gtk_widget_get_window");
    static const auto origin = Toolkit<int (*)(void*, int*, int*)>("gdk_window_get_origin");
    static const auto width = Toolkit<int (*)(void*)>("gtk_widget_get_allocated_width");
    static const auto height = Toolkit<int (*)(void*)>("gtk_widget_get_allocated_height");
    const std::vector<void*> shown = ShownDesktopDialogs(gtkType);
    if (shown.empty() || !present || !widgetWindow || !origin || !width || !height) return false;
    void* dialog = shown.front();
    void* gdk = widgetWindow(dialog);
    int x = 0, y = 0;
    if (!gdk) return false;
    origin(gdk, &x, &y);
    present(dialog);
    wxUIActionSimulator sim;
    sim.MouseMove(x + width(dialog) / 2, y + height(dialog) / 2);
    return true;
}

bool DesktopDialogShown(const char* gtkType) { return !ShownDesktopDialogs(gtkType).empty(); }

int DesktopDropDownShown(wxMenuBar* bar, int* highlighted) {
    static const auto mapped = Toolkit<int (*)(void*)>("gtk_widget_get_mapped");
    static const auto selected = Toolkit<void* (*)(void*)>("gtk_menu_shell_get_selected_item");
    if (highlighted) *highlighted = -1;
    if (!bar || !mapped || !selected) return -1;
    for (std::size_t entry = 0; entry < bar->GetMenuCount(); ++entry) {
        wxMenu* menu = bar->GetMenu(entry);
        if (!menu || !menu->m_menu || !mapped(menu->m_menu)) continue;
        if (highlighted) {
            void* item = selected(menu->m_menu);
            for (std::size_t i = 0; item && i < menu->GetMenuItemCount(); ++i)
                if (menu->FindItemByPosition(i)->GetMenuItem() == item) *highlighted = static_cast<int>(i);
        }
        return static_cast<int>(entry);
    }
    return -1;
}

void CancelDesktopDialogs(const char* gtkType) {
    static const auto respond = Toolkit<void (*)(void*, int)>("gtk_dialog_response");
    constexpr int kResponseCancel = -6;
    if (!respond) return;
    for (void* dialog : ShownDesktopDialogs(gtkType)) respond(dialog, kResponseCancel);
}

namespace {

// The layout of the toolkit's tree iterator.
struct TreeIter {
    int stamp;
    void* data[3];
};

// Calls `visit` (view, model, row) for every row of every tree view inside
// `widget`, until it returns true; whether one did.
using RowVisit = std::function<bool(void* view, void* model, TreeIter* row)>;
bool VisitTreeRows(void* widget, const RowVisit& visit) {
    static const auto typeFromName = Toolkit<std::size_t (*)(const char*)>("g_type_from_name");
    static const auto isA = Toolkit<int (*)(void*, std::size_t)>("g_type_check_instance_is_a");
    static const auto forall = Toolkit<void (*)(void*, void (*)(void*, void*), void*)>("gtk_container_forall");
    static const auto viewModel = Toolkit<void* (*)(void*)>("gtk_tree_view_get_model");
    static const auto first = Toolkit<int (*)(void*, TreeIter*)>("gtk_tree_model_get_iter_first");
    static const auto next = Toolkit<int (*)(void*, TreeIter*)>("gtk_tree_model_iter_next");
    if (!typeFromName || !isA || !forall || !viewModel || !first || !next) return false;
    if (isA(widget, typeFromName("GtkTreeView"))) {
        void* model = viewModel(widget);
        TreeIter it{};
        if (model && first(model, &it)) do {
                if (visit(widget, model, &it)) return true;
            } while (next(model, &it));
    }
    if (!isA(widget, typeFromName("GtkContainer"))) return false;
    struct Walk {
        const RowVisit* visit;
        bool found;
    } walk{&visit, false};
    forall(widget, [](void* child, void* data) {
        auto* w = static_cast<Walk*>(data);
        if (!w->found) w->found = VisitTreeRows(child, *w->visit);
    }, &walk);
    return walk.found;
}

// The texts of a row (its text columns).
std::vector<std::string> RowTexts(void* model, TreeIter* row) {
    static const auto columns = Toolkit<int (*)(void*)>("gtk_tree_model_get_n_columns");
    static const auto columnType = Toolkit<std::size_t (*)(void*, int)>("gtk_tree_model_get_column_type");
    static const auto get = Toolkit<void (*)(void*, TreeIter*, ...)>("gtk_tree_model_get");
    static const auto release = Toolkit<void (*)(void*)>("g_free");
    std::vector<std::string> out;
    if (!columns || !columnType || !get || !release) return out;
    constexpr std::size_t kStringType = 16 << 2;  // G_TYPE_STRING
    for (int c = 0; c < columns(model); ++c) {
        if (columnType(model, c) != kStringType) continue;
        char* text = nullptr;
        get(model, row, c, &text, -1);
        if (text) out.emplace_back(text);
        release(text);
    }
    return out;
}

}  // namespace

std::vector<std::string> DesktopChooserTexts() {
    std::vector<std::string> out;
    for (void* dialog : ShownDesktopDialogs("GtkFileChooserDialog"))
        VisitTreeRows(dialog, [&](void*, void* model, TreeIter* row) {
            for (std::string& t : RowTexts(model, row)) out.push_back(std::move(t));
            return false;
        });
    return out;
}

bool DesktopChooserRowAt(const std::string& text, wxPoint* screen) {
    static const auto pathOf = Toolkit<void* (*)(void*, TreeIter*)>("gtk_tree_model_get_path");
    static const auto freePath = Toolkit<void (*)(void*)>("gtk_tree_path_free");
    static const auto column = Toolkit<void* (*)(void*, int)>("gtk_tree_view_get_column");
    static const auto cellArea = Toolkit<void (*)(void*, void*, void*, int*)>("gtk_tree_view_get_cell_area");
    static const auto binToWidget =
        Toolkit<void (*)(void*, int, int, int*, int*)>("gtk_tree_view_convert_bin_window_to_widget_coords");
    static const auto toplevel = Toolkit<void* (*)(void*)>("gtk_widget_get_toplevel");
    static const auto translate = Toolkit<int (*)(void*, void*, int, int, int*, int*)>("gtk_widget_translate_coordinates");
    static const auto widgetWindow = Toolkit<void* (*)(void*)>("gtk_widget_get_window");
    static const auto origin = Toolkit<int (*)(void*, int*, int*)>("gdk_window_get_origin");
    if (!pathOf || !freePath || !column || !cellArea || !binToWidget || !toplevel || !translate || !widgetWindow ||
        !origin)
        return false;
    for (void* dialog : ShownDesktopDialogs("GtkFileChooserDialog")) {
        const bool found = VisitTreeRows(dialog, [&](void* view, void* model, TreeIter* row) {
            const auto texts = RowTexts(model, row);
            if (std::find(texts.begin(), texts.end(), text) == texts.end()) return false;
            void* path = pathOf(model, row);
            int area[4] = {0, 0, 0, 0};  // x, y, width, height in the view's bin window
            cellArea(view, path, column(view, 0), area);
            freePath(path);
            int wx = 0, wy = 0, tx = 0, ty = 0, ox = 0, oy = 0;
            binToWidget(view, area[0] + area[2] / 2, area[1] + area[3] / 2, &wx, &wy);
            void* top = toplevel(view);
            void* gdk = widgetWindow(top);
            if (!gdk || !translate(view, top, wx, wy, &tx, &ty)) return false;
            origin(gdk, &ox, &oy);
            *screen = wxPoint(ox + tx, oy + ty);
            return true;
        });
        if (found) return true;
    }
    return false;
}

wxRect DesktopDialogRect(const char* gtkType) {
    static const auto widgetWindow = Toolkit<void* (*)(void*)>("gtk_widget_get_window");
    static const auto origin = Toolkit<int (*)(void*, int*, int*)>("gdk_window_get_origin");
    static const auto width = Toolkit<int (*)(void*)>("gtk_widget_get_allocated_width");
    static const auto height = Toolkit<int (*)(void*)>("gtk_widget_get_allocated_height");
    const std::vector<void*> shown = ShownDesktopDialogs(gtkType);
    if (shown.empty() || !widgetWindow || !origin || !width || !height) return {};
    void* gdk = widgetWindow(shown.front());
    if (!gdk) return {};
    int x = 0, y = 0;
    origin(gdk, &x, &y);
    return wxRect(x, y, width(shown.front()), height(shown.front()));
}

void XPointTo(wxWindow* window, const wxPoint& client) {
    wxUIActionSimulator sim;
    sim.MouseMove(window->ClientToScreen(client));
}

void XPointTo(wxWindow* window) {
    const wxSize size = window->GetClientSize();
    XPointTo(window, wxPoint(size.x / 2, size.y / 2));
}

void XLeftClick() {
    wxUIActionSimulator sim;
    sim.MouseClick();
}

void XKey(int key_code, int modifiers) {
    wxUIActionSimulator sim;
    sim.Char(key_code, modifiers);
}

void XClickAtScreen(const wxPoint& screen, int button) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    XTestFakeMotionEvent(display, -1, screen.x, screen.y, CurrentTime);
    XSync(display, False);
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
}

void XMovePointer(const wxPoint& screen) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    XTestFakeMotionEvent(display, -1, screen.x, screen.y, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
}

void XPressKey(int key, int modifiers) {
    KeySym sym = NoSymbol;
    switch (key) {
        case WXK_ESCAPE: sym = XK_Escape; break;
        case WXK_RETURN: sym = XK_Return; break;
        case WXK_UP: sym = XK_Up; break;
        case WXK_DOWN: sym = XK_Down; break;
        case WXK_LEFT: sym = XK_Left; break;
        case WXK_RIGHT: sym = XK_Right; break;
        case WXK_HOME: sym = XK_Home; break;
        case WXK_END: sym = XK_End; break;
        case WXK_TAB: sym = XK_Tab; break;
        case WXK_SPACE: sym = XK_space; break;
        default:
            if (key >= WXK_F1 && key <= WXK_F12) sym = XK_F1 + (key - WXK_F1);
            else if (key >= 'a' && key <= 'z') sym = XK_a + (key - 'a');
            else if (key >= 'A' && key <= 'Z') sym = XK_a + (key - 'A'), modifiers |= wxMOD_SHIFT;
            else if (key >= '0' && key <= '9') sym = XK_0 + (key - '0');
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display || sym == NoSymbol) {
        if (display) XCloseDisplay(display);
        return;
    }
    std::vector<KeyCode> held;
    if (modifiers & wxMOD_CONTROL) held.push_back(XKeysymToKeycode(display, XK_Control_L));
    if (modifiers & wxMOD_ALT) held.push_back(XKeysymToKeycode(display, XK_Alt_L));
    if (modifiers & wxMOD_SHIFT) held.push_back(XKeysymToKeycode(display, XK_Shift_L));
    for (KeyCode c : held) XTestFakeKeyEvent(display, c, True, CurrentTime);
    const KeyCode code = XKeysymToKeycode(display, sym);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    for (auto c = held.rbegin(); c != held.rend(); ++c) XTestFakeKeyEvent(display, *c, False, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
}

void XType(const char* text) {
    wxUIActionSimulator sim;
    sim.Text(text);
}

void DeliverEvents(int ms) {
    static wxGUIEventLoop* own = new wxGUIEventLoop;
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    std::optional<wxEventLoopActivator> activate;
    if (!loop) {
        activate.emplace(own);
        loop = own;
    }
    const wxLongLong end = wxGetLocalTimeMillis() + ms;
    do {
        loop->YieldFor(wxEVT_CATEGORY_ALL);
        wxMilliSleep(5);
    } while (wxGetLocalTimeMillis() < end);
    loop->YieldFor(wxEVT_CATEGORY_ALL);
}

void ClickAtScreen(const wxPoint& screen, int deliverMs) {
    wxUIActionSimulator sim;
    sim.MouseMove(screen);
    DeliverEvents(60);
    sim.MouseClick();
    DeliverEvents(deliverMs);
}

void DoubleClickAtScreen(const wxPoint& screen, int deliverMs) {
    wxUIActionSimulator sim;
    sim.MouseMove(screen);
    DeliverEvents(60);
    sim.MouseDblClick();
    DeliverEvents(deliverMs);
}

void ClickAt(wxWindow* window, wxPoint client, int deliverMs) {
    ClickAtScreen(window->ClientToScreen(client), deliverMs);
}

void ClickOn(wxWindow* window) {
    const wxSize size = window->GetClientSize();
    ClickAt(window, wxPoint(size.x / 2, size.y / 2));
}

void PressKey(int key, int deliverMs) {
    XKey(key);
    DeliverEvents(deliverMs);
}

void TypeText(const wxString& text) {
    XType(text.utf8_str());
    DeliverEvents(150);
}

XDrag::XDrag(const wxPoint& from, bool ctrl) : m_at(from), m_ctrl(ctrl) {
    wxUIActionSimulator sim;
    sim.MouseMove(from);
    DeliverEvents(60);
    if (m_ctrl) {
        sim.KeyDown(WXK_CONTROL);
        DeliverEvents(40);
    }
    sim.MouseDown();
    DeliverEvents(80);
}

XDrag::~XDrag() { Release(); }

void XDrag::MoveTo(const wxPoint& to, int steps) {
    wxUIActionSimulator sim;
    const wxPoint from = m_at;
    for (int i = 1; i <= steps; ++i) {
        sim.MouseMove(from + wxPoint((to.x - from.x) * i / steps, (to.y - from.y) * i / steps));
        DeliverEvents(40);
    }
    m_at = to;
    DeliverEvents(80);
}

void XDrag::Release() {
    if (!m_down) return;
    m_down = false;
    wxUIActionSimulator sim;
    sim.MouseUp();
    DeliverEvents(80);
    if (m_ctrl) sim.KeyUp(WXK_CONTROL);
    DeliverEvents(150);
}

void GiveKeyboardTo(wxWindow* topLevel) { CallToolkit("gtk_window_present", topLevel); }

bool OffersCloseBox(wxTopLevelWindow* window) {
    const Window w = static_cast<Window>(XWindowOf(window));
    if (!w) return false;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    const Atom hintsAtom = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    bool offered = false;
    if (XGetWindowProperty(display, w, hintsAtom, 0, 5, False, AnyPropertyType, &type, &format, &items, &after,
                           &data) == Success) {
        if (!data || items < 3) {
            offered = true;  // no hints: the window manager's full decoration
        } else {
            // flags, functions, decorations (Motif: 1 all, 32 close; 1 all, 8 title, 16 menu).
            const auto* hints = reinterpret_cast<const unsigned long*>(data);
            const unsigned long flags = hints[0], functions = hints[1], decorations = hints[2];
            const bool mayClose = !(flags & 1) || (functions & 1) || (functions & 32);
            const bool buttons = !(flags & 2) || (decorations & 1) || ((decorations & 8) && (decorations & 16));
            offered = mayClose && buttons;
        }
    }
    if (data) XFree(data);
    XCloseDisplay(display);
    return offered;
}

bool PressCloseBox(wxWindow* topLevel) {
    const Window w = static_cast<Window>(XWindowOf(dynamic_cast<wxTopLevelWindow*>(topLevel)));
    Display* display = w ? XOpenDisplay(nullptr) : nullptr;
    if (!display) return false;
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, w, False, NoEventMask, &e) != 0;
    XFlush(display);
    XCloseDisplay(display);
    DeliverEvents(200);
    return sent;
}

XInputScript::XInputScript(int interval_ms, int timeout_ms) : m_timeoutMs(timeout_ms), m_intervalMs(interval_ms) {
    m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
}

XInputScript::~XInputScript() { m_timer.Stop(); }

XInputScript& XInputScript::Then(Step step) {
    m_steps.push_back(std::move(step));
    return *this;
}

XInputScript& XInputScript::Do(std::function<void()> action) {
    return Then([action = std::move(action)] {
        action();
        return true;
    });
}

void XInputScript::Start() {
    m_deadline = wxGetLocalTimeMillis() + m_timeoutMs;
    m_timer.Start(m_intervalMs);
}

void XInputScript::Tick() {
    // A step may run a loop of its own (a dialog it opens): no tick starts
    // while one runs.
    if (m_running) return;
    if (done()) {
        m_timer.Stop();
        return;
    }
    if (wxGetLocalTimeMillis() > m_deadline) {
        m_timer.Stop();
        m_timedOut = true;
        if (onTimeout) onTimeout();
        return;
    }
    m_running = true;
    if (m_steps[m_next]()) ++m_next;
    m_running = false;
}

ModalDialogDriver::ModalDialogDriver(std::function<wxDialog*()> find, std::function<void(wxDialog*)> act, int seconds)
    : m_find(std::move(find)), m_seconds(seconds), m_script(50, seconds * 1000) {
    m_script
        .Then([this, act = std::move(act)] {
            wxDialog* dlg = m_find();
            if (!dlg) return false;
            if (++m_shownTicks < 6) return false;  // mapped, placed and painted first
            m_acted = true;
            act(dlg);
            return true;
        })
        .Then([this] { return !m_find(); });
    m_script.onTimeout = [this] {
        if (wxDialog* dlg = m_find(); dlg && dlg->IsModal()) dlg->EndModal(wxID_CANCEL);
    };
    m_script.Start();
}

void ModalDialogDriver::WaitUntilClosed() {
    const wxLongLong end = wxGetLocalTimeMillis() + m_seconds * 1000 + 1000;
    while (wxGetLocalTimeMillis() < end && !m_script.timedOut() && !m_script.done()) DeliverEvents(50);
    DeliverEvents(200);
}

}  // namespace testsupport
