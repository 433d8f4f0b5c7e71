// The pauses come from the toolkit's button: activated from the keyboard (as
// the dialog's default button is, on Return and again when the chooser asks
// for the answer it has checked), it answers only when a 250 ms timer ends.
// Both routes are taken here before the button is involved: the name entry's
// activation answers the dialog straight away, and the chooser's own request
// for an answer (made after its checks, the overwrite question included) is
// granted at once. The dialog's own handler has marked that request, so the
// answer passes its checks without running them again.
#include "platform/ui/file_dialog.h"

#include <gtk/gtk.h>
#include <wx/filedlg.h>

namespace platform::ui {
namespace {

GtkWidget* FindChild(GtkWidget* widget, GType type) {
    if (G_TYPE_CHECK_INSTANCE_TYPE(widget, type)) return widget;
    if (!GTK_IS_CONTAINER(widget)) return nullptr;
    struct Search {
        GType type;
        GtkWidget* found = nullptr;
    } search{type};
    // forall: the dialog's chooser and entry are internal children.
    gtk_container_forall(
        GTK_CONTAINER(widget),
        [](GtkWidget* child, gpointer data) {
            auto* s = static_cast<Search*>(data);
            if (!s->found) s->found = FindChild(child, s->type);
        },
        &search);
    return search.found;
}

gint AcceptResponse(GtkDialog* dialog) {
    GtkWidget* button = gtk_window_get_default_widget(GTK_WINDOW(dialog));
    const gint id = button ? gtk_dialog_get_response_for_widget(dialog, button) : GTK_RESPONSE_NONE;
    return id == GTK_RESPONSE_NONE ? GTK_RESPONSE_ACCEPT : id;
}

void OnEntryActivate(GtkEntry* entry, gpointer dialog) {
    g_signal_stop_emission_by_name(entry, "activate");
    gtk_dialog_response(GTK_DIALOG(dialog), AcceptResponse(GTK_DIALOG(dialog)));
}

void OnResponseRequested(GtkWidget*, gpointer dialog) {
    gtk_dialog_response(GTK_DIALOG(dialog), AcceptResponse(GTK_DIALOG(dialog)));
}

}  // namespace

void AnswerAtOnce(wxFileDialog& dialog) {
    GtkWidget* window = dialog.GetHandle();
    if (!window || !GTK_IS_DIALOG(window)) return;
    if (GtkWidget* chooser = FindChild(window, GTK_TYPE_FILE_CHOOSER_WIDGET))
        g_signal_connect(chooser, "response-requested", G_CALLBACK(OnResponseRequested), window);
    // The name entry of a save chooser (a private entry type).
    const GType entryType = g_type_from_name("GtkFileChooserEntry");
    if (GtkWidget* entry = entryType ? FindChild(window, entryType) : nullptr)
        g_signal_connect(entry, "activate", G_CALLBACK(OnEntryActivate), window);
}

}  // namespace platform::ui
