#include "platform/ui/input_grab.h"

#include <gtk/gtk.h>
#include <wx/window.h>

namespace platform::ui {

namespace {

constexpr const char* kHandlerKey = "platform-held-key-handler";

int KeyCodeOf(guint keyval) {
    switch (keyval) {
        case GDK_KEY_Up: case GDK_KEY_KP_Up: return WXK_UP;
        case GDK_KEY_Down: case GDK_KEY_KP_Down: return WXK_DOWN;
        case GDK_KEY_Left: case GDK_KEY_KP_Left: return WXK_LEFT;
        case GDK_KEY_Right: case GDK_KEY_KP_Right: return WXK_RIGHT;
        case GDK_KEY_Home: case GDK_KEY_KP_Home: return WXK_HOME;
        case GDK_KEY_End: case GDK_KEY_KP_End: return WXK_END;
        case GDK_KEY_Return: return WXK_RETURN;
        case GDK_KEY_KP_Enter: return WXK_NUMPAD_ENTER;
        case GDK_KEY_Escape: return WXK_ESCAPE;
        case GDK_KEY_space: case GDK_KEY_KP_Space: return WXK_SPACE;
        default: return WXK_NONE;
    }
}

// The window's own first look at every event (before the toolkit's key
// handlers, which keep typed characters for themselves).
gboolean OnEvent(GtkWidget* widget, GdkEvent* any, gpointer) {
    if (any->type != GDK_KEY_PRESS) return FALSE;
    const GdkEventKey* event = &any->key;
    auto* handler = static_cast<HeldKeyHandler*>(g_object_get_data(G_OBJECT(widget), kHandlerKey));
    if (!handler || !*handler) return FALSE;
    const int code = KeyCodeOf(event->keyval);
    const guint32 uni = gdk_keyval_to_unicode(event->keyval);
    if (code == WXK_NONE && uni == 0) return FALSE;  // Shift, Alt and the like
    return (*handler)(code != WXK_NONE ? code : static_cast<int>(uni), static_cast<wxChar>(uni)) ? TRUE : FALSE;
}

}  // namespace

bool GrabKeyboard(wxWindow* window, HeldKeyHandler onKey) {
    if (!window || !window->IsShown()) return false;
    GdkWindow* target = window->GTKGetDrawingWindow();
    if (!target) target = gtk_widget_get_window(window->GetHandle());
    if (!target || !gdk_window_is_viewable(target)) return false;
    GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(target));
    if (!seat) return false;
    if (gdk_seat_grab(seat, target, GDK_SEAT_CAPABILITY_KEYBOARD, FALSE, nullptr, nullptr, nullptr, nullptr) !=
        GDK_GRAB_SUCCESS)
        return false;
    // The held keys arrive at the top-level window (whatever has the focus
    // in it, if anything).
    GtkWidget* top = window->GetHandle();
    if (!g_object_get_data(G_OBJECT(top), kHandlerKey)) g_signal_connect(top, "event", G_CALLBACK(OnEvent), nullptr);
    g_object_set_data_full(G_OBJECT(top), kHandlerKey, new HeldKeyHandler(std::move(onKey)),
                           [](gpointer p) { delete static_cast<HeldKeyHandler*>(p); });
    return true;
}

void ReleaseKeyboard() {
    GdkDisplay* display = gdk_display_get_default();
    GdkSeat* seat = display ? gdk_display_get_default_seat(display) : nullptr;
    GdkDevice* keyboard = seat ? gdk_seat_get_keyboard(seat) : nullptr;
    if (!keyboard) return;
    // The keyboard alone: the seat's own release would end the pointer's
    // capture too, which the toolkit keeps for itself (and hands back to the
    // menu below when a sub-menu ends).
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gdk_device_ungrab(keyboard, GDK_CURRENT_TIME);
    G_GNUC_END_IGNORE_DEPRECATIONS
}

}  // namespace platform::ui
