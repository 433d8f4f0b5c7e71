#include "platform/ui/menu_bar_hook.h"

#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/menu.h>
#include <wx/window.h>

namespace platform::ui {

namespace {

constexpr const char* kHookKey = "platform-menu-bar-hook";

struct Hook {
    std::function<void(int)> open;
    int highlighted = -1;
};

GtkWidget* EntryWidget(wxMenuBar* bar, int entry) {
    if (!bar || entry < 0 || entry >= static_cast<int>(bar->GetMenuCount())) return nullptr;
    wxMenu* menu = bar->GetMenu(static_cast<std::size_t>(entry));
    return menu ? menu->m_owner : nullptr;
}

// The entry of a bar item widget, -1 when it is none of them.
int EntryOf(wxMenuBar* bar, GtkWidget* item) {
    for (int i = 0; i < static_cast<int>(bar->GetMenuCount()); ++i)
        if (EntryWidget(bar, i) == item) return i;
    return -1;
}

Hook* HookOf(GtkWidget* item) {
    GtkWidget* shell = item ? gtk_widget_get_parent(item) : nullptr;
    return shell ? static_cast<Hook*>(g_object_get_data(G_OBJECT(shell), kHookKey)) : nullptr;
}

// Later, from the event loop: the desktop's own handling of the event that
// asked for the drop-down is over by then.
void Open(wxMenuBar* bar, int entry) {
    GtkWidget* item = EntryWidget(bar, entry);
    if (!item || !wxTheApp) return;
    wxTheApp->CallAfter([bar, entry] {
        GtkWidget* it = EntryWidget(bar, entry);
        if (Hook* hook = HookOf(it); hook && hook->open) hook->open(entry);
    });
}

gboolean OnButtonPress(GtkWidget* item, GdkEventButton* event, gpointer data) {
    auto* bar = static_cast<wxMenuBar*>(data);
    if (event->type != GDK_BUTTON_PRESS || event->button != 1) return TRUE;  // the desktop's menu stays shut
    const int entry = EntryOf(bar, item);
    if (entry >= 0 && gtk_widget_is_sensitive(item)) Open(bar, entry);
    return TRUE;
}

gboolean OnMnemonic(GtkWidget* item, gboolean, gpointer data) {
    auto* bar = static_cast<wxMenuBar*>(data);
    const int entry = EntryOf(bar, item);
    if (entry >= 0 && gtk_widget_is_sensitive(item)) Open(bar, entry);
    return TRUE;
}

// The desktop opened its own drop-down after all (its F10, say): closed
// again, ours instead.
void OnSelect(GtkMenuItem* item, gpointer data) {
    auto* bar = static_cast<wxMenuBar*>(data);
    const int entry = EntryOf(bar, GTK_WIDGET(item));
    if (entry < 0 || !wxTheApp) return;
    wxTheApp->CallAfter([bar, entry] {
        GtkWidget* it = EntryWidget(bar, entry);
        if (!it) return;
        if (GtkWidget* shell = gtk_widget_get_parent(it)) gtk_menu_shell_deactivate(GTK_MENU_SHELL(shell));
        if (Hook* hook = HookOf(it); hook && hook->open) hook->open(entry);
    });
}

// F10 at the frame, before any of its widgets or the desktop's bar sees it
// (the window's first look at every event), while the frame shows the bar.
gboolean OnFrameEvent(GtkWidget* top, GdkEvent* event, gpointer data) {
    if (event->type != GDK_KEY_PRESS || event->key.keyval != GDK_KEY_F10 ||
        (event->key.state & gtk_accelerator_get_default_mod_mask()) != 0)
        return FALSE;
    auto* bar = static_cast<wxMenuBar*>(data);
    GtkWidget* first = EntryWidget(bar, 0);
    GtkWidget* shell = first ? gtk_widget_get_parent(first) : nullptr;
    if (!shell || gtk_widget_get_toplevel(shell) != top || !gtk_widget_get_mapped(shell)) return FALSE;
    Open(bar, 0);
    return TRUE;
}

}  // namespace

void HookMenuBarDropDowns(wxWindow* frame, wxMenuBar* bar, std::function<void(int)> open) {
    GtkWidget* first = EntryWidget(bar, 0);
    GtkWidget* shell = first ? gtk_widget_get_parent(first) : nullptr;
    if (!shell || !frame) return;
    const bool hooked = g_object_get_data(G_OBJECT(shell), kHookKey) != nullptr;
    auto* hook = new Hook;
    hook->open = std::move(open);
    g_object_set_data_full(G_OBJECT(shell), kHookKey, hook, [](gpointer p) { delete static_cast<Hook*>(p); });
    if (hooked) return;
    GtkWidget* top = frame->GetHandle();
    g_signal_connect(top, "event", G_CALLBACK(OnFrameEvent), bar);
    // The frame's look-up of the bar ends with the bar.
    g_object_set_data(G_OBJECT(shell), "platform-menu-bar-frame", top);
    g_signal_connect(shell, "destroy", G_CALLBACK(+[](GtkWidget* widget, gpointer data) {
                         auto* frameWidget = static_cast<GtkWidget*>(
                             g_object_get_data(G_OBJECT(widget), "platform-menu-bar-frame"));
                         if (frameWidget) g_signal_handlers_disconnect_by_data(frameWidget, data);
                     }),
                     bar);
    for (int i = 0; i < static_cast<int>(bar->GetMenuCount()); ++i) {
        GtkWidget* item = EntryWidget(bar, i);
        if (!item) continue;
        g_signal_connect(item, "button-press-event", G_CALLBACK(OnButtonPress), bar);
        g_signal_connect(item, "mnemonic-activate", G_CALLBACK(OnMnemonic), bar);
        g_signal_connect(item, "select", G_CALLBACK(OnSelect), bar);
    }
}

wxRect MenuBarEntryRect(wxMenuBar* bar, int entry) {
    GtkWidget* item = EntryWidget(bar, entry);
    if (!item || !gtk_widget_get_mapped(item)) return wxRect();
    // The allocation is in the window the item draws on (the bar's).
    GdkWindow* window = gtk_widget_get_window(item);
    if (!window) return wxRect();
    int x = 0, y = 0;
    gdk_window_get_origin(window, &x, &y);
    GtkAllocation a;
    gtk_widget_get_allocation(item, &a);
    return wxRect(x + a.x, y + a.y, a.width, a.height);
}

int MenuBarEntryAt(wxMenuBar* bar, const wxPoint& screen) {
    for (int i = 0; bar && i < static_cast<int>(bar->GetMenuCount()); ++i)
        if (MenuBarEntryRect(bar, i).Contains(screen)) return i;
    return -1;
}

void HighlightMenuBarEntry(wxMenuBar* bar, int entry) {
    for (int i = 0; bar && i < static_cast<int>(bar->GetMenuCount()); ++i) {
        GtkWidget* item = EntryWidget(bar, i);
        if (!item) continue;
        if (i == entry)
            gtk_widget_set_state_flags(item, GTK_STATE_FLAG_PRELIGHT, FALSE);
        else
            gtk_widget_unset_state_flags(item, GTK_STATE_FLAG_PRELIGHT);
    }
}

}  // namespace platform::ui
