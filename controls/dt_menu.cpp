#include "controls/dt_menu.h"

#include <wx/image.h>
#include <wx/menu.h>

#include "platform/ui/menu_pictures.h"
#include "platform/ui/resources.h"

namespace {
// Toolbar strips are drawn on the button face grey, which is transparent.
const unsigned char kToolbarMask[3] = {192, 192, 192};
}  // namespace

bool DTMenu::LoadMenu(int id) {
    m_images.clear();
    return m_model.LoadMenu(id);
}

bool DTMenu::LoadToolbars(const std::vector<int>& ids) {
    bool all = m_model.LoadToolbars(ids);
    m_images.clear();
    for (const controls::MenuImage& img : m_model.images()) {
        const wxBitmap strip = platform::ui::LoadBitmapResource(img.bitmap);
        wxBitmap picture;
        const wxRect cell(img.image * img.width, 0, img.width, img.height);
        if (strip.IsOk() && cell.GetRight() < strip.GetWidth() && cell.GetBottom() < strip.GetHeight()) {
            wxImage part = strip.ConvertToImage().GetSubImage(cell);
            if (part.HasAlpha()) part.ClearAlpha();
            part.SetMaskColour(kToolbarMask[0], kToolbarMask[1], kToolbarMask[2]);
            part.InitAlpha();
            picture = wxBitmap(part);
        } else {
            all = false;  // the toolbar's bitmap is missing: its commands get no pictures
        }
        m_images.push_back(picture);
    }
    return all;
}

bool DTMenu::DestroyMenu() {
    m_model.DestroyMenu();
    m_images.clear();
    return true;
}

wxBitmap DTMenu::Image(int index) const {
    if (index < 0 || index >= static_cast<int>(m_images.size())) return wxBitmap();
    return m_images[index];
}

void DTMenu::AddItems(wxMenu* menu, const std::vector<controls::DTMenuNode>& nodes,
                      const std::function<int(int)>& itemIdOf, const std::function<bool(int)>& checkable) const {
    for (const controls::DTMenuNode& n : nodes) {
        const wxString text = wxString::FromUTF8(n.data.text);
        const bool greyed = (n.data.flags & (controls::kMfGrayed | controls::kMfDisabled)) != 0;
        if (n.separator) {
            menu->AppendSeparator();
        } else if (n.popup) {
            auto* sub = new wxMenu;
            AddItems(sub, n.children, itemIdOf, checkable);
            wxMenuItem* item = menu->AppendSubMenu(sub, text);
            if (greyed) item->Enable(false);
        } else {
            const bool check = checkable && checkable(n.data.id);
            auto* item = new wxMenuItem(menu, itemIdOf(n.data.id), text, wxEmptyString,
                                        check ? wxITEM_CHECK : wxITEM_NORMAL);
            const wxBitmap picture = Image(n.data.bitmapIndex);
            if (picture.IsOk() && !check) item->SetBitmap(picture);
            menu->Append(item);
            platform::ui::ShowMenuItemPicture(item);
            if (check && (n.data.flags & controls::kMfChecked)) item->Check(true);
            if (greyed) item->Enable(false);
        }
    }
}

wxMenuBar* DTMenu::CreateMenuBar(const std::function<int(int)>& itemIdOf, const std::function<bool(int)>& checkable) const {
    auto* bar = new wxMenuBar;
    for (const controls::DTMenuNode& n : m_model.top()) {
        auto* menu = new wxMenu;
        AddItems(menu, n.children, itemIdOf, checkable);
        bar->Append(menu, wxString::FromUTF8(n.data.text));
    }
    return bar;
}

wxMenu* DTMenu::CreatePopup(const controls::DTMenuNode& popup, const std::function<int(int)>& itemIdOf,
                            const std::function<bool(int)>& checkable) const {
    auto* menu = new wxMenu;
    AddItems(menu, popup.children, itemIdOf, checkable);
    return menu;
}
