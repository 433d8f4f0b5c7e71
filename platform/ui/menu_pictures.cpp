#include "platform/ui/menu_pictures.h"

#include <dlfcn.h>
#include <wx/menuitem.h>

namespace platform::ui {

void ShowMenuItemPicture(wxMenuItem* item) {
#ifdef __WXGTK__
    if (!item || !item->GetBitmap().IsOk() || !item->GetMenuItem()) return;
    // GTK is already loaded by the toolkit: look the call up in the process
    // instead of building against GTK's headers.
    using SetAlwaysShow = void (*)(void* imageMenuItem, int alwaysShow);
    static const auto setAlwaysShow =
        reinterpret_cast<SetAlwaysShow>(dlsym(RTLD_DEFAULT, "gtk_image_menu_item_set_always_show_image"));
    if (setAlwaysShow) setAlwaysShow(item->GetMenuItem(), 1);
#else
    (void)item;
#endif
}

}  // namespace platform::ui
