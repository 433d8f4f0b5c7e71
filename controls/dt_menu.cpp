#include "controls/dt_menu.h"

#include <algorithm>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/settings.h>

#include "platform/ui/menu_bar_hook.h"
#include "platform/ui/menu_pictures.h"
#include "platform/ui/resources.h"

namespace {
// Toolbar strips are drawn on the button face grey, which is transparent.
const unsigned char kToolbarMask[3] = {192, 192, 192};

// The pictures always get the wider margin of the 3-D bitmaps.
constexpr bool kBitmap3d = true;
// Between an item's text and its accelerator.
constexpr int kAcceleratorGap = 16;
// Where this desktop stands among the systems the looks were made for: not
// Windows XP, so the other systems' switch applies and the newer theme is
// never active.
constexpr int kThisSystemKind = 1;
constexpr bool kNewerThemeActive = false;

wxColour Sys(wxSystemColour c) { return wxSystemSettings::GetColour(c); }

// A colour lightened towards white by `factor` (0 unchanged, 1 white).
wxColour Lighten(const wxColour& c, double factor) {
    auto up = [factor](unsigned char v) { return static_cast<unsigned char>(v + (255 - v) * factor + 0.5); };
    return wxColour(up(c.Red()), up(c.Green()), up(c.Blue()));
}

int Margin(bool xp) { return xp && kBitmap3d ? 7 : 4; }
// The band (XP) or the picture box (classic) at the left of an item.
int PictureBoxWidth(bool xp) { return controls::kMenuBitmapWidth + Margin(xp); }
// From the item's left edge to its text, and what stays free on its right.
int TextLeft(bool xp) { return PictureBoxWidth(xp) + 4; }
int TextRightSpare(bool xp) { return xp ? 4 : 2 * controls::kMenuBitmapWidth + 1 - TextLeft(false); }

struct ItemText {
    wxString label;      // without the mnemonic mark
    int mnemonic = -1;   // the index of the underlined character
    wxString accelerator;
};

ItemText Split(const std::string& utf8) {
    ItemText t;
    const wxString text = wxString::FromUTF8(utf8);
    const int tab = text.Find('\t');
    const wxString left = tab == wxNOT_FOUND ? text : text.Left(tab);
    if (tab != wxNOT_FOUND) t.accelerator = text.Mid(tab + 1);
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (left[i] == '&' && i + 1 < left.size()) {
            ++i;
            if (left[i] != '&' && t.mnemonic < 0) t.mnemonic = static_cast<int>(t.label.size());
        }
        t.label += left[i];
    }
    return t;
}

// The picture's shape in one colour (its opaque pixels).
wxBitmap Silhouette(const wxBitmap& picture, const wxColour& colour) {
    wxImage img = picture.ConvertToImage();
    if (!img.HasAlpha()) img.InitAlpha();
    for (int y = 0; y < img.GetHeight(); ++y)
        for (int x = 0; x < img.GetWidth(); ++x) {
            const bool opaque = img.GetAlpha(x, y) >= 128;
            img.SetRGB(x, y, colour.Red(), colour.Green(), colour.Blue());
            img.SetAlpha(x, y, opaque ? 255 : 0);
        }
    return wxBitmap(img);
}

void Edge(wxDC& dc, const wxRect& r, const wxColour& topLeft, const wxColour& bottomRight) {
    dc.SetPen(wxPen(topLeft));
    dc.DrawLine(r.x, r.GetBottom(), r.x, r.y);
    dc.DrawLine(r.x, r.y, r.GetRight(), r.y);
    dc.SetPen(wxPen(bottomRight));
    dc.DrawLine(r.GetRight(), r.y, r.GetRight(), r.GetBottom());
    dc.DrawLine(r.GetRight(), r.GetBottom(), r.x - 1, r.GetBottom());
}

void CheckMark(wxDC& dc, const wxRect& box, const wxColour& colour) {
    const int cx = box.x + box.width / 2, cy = box.y + box.height / 2;
    dc.SetPen(wxPen(colour));
    for (int d = 0; d < 3; ++d) {
        dc.DrawLine(cx - 4, cy - 1 + d, cx - 1, cy + 2 + d);
        dc.DrawLine(cx - 1, cy + 2 + d, cx + 4, cy - 3 + d);
    }
}
}  // namespace

bool DTMenu::xpLook() const {
    return controls::UsesXpLook(kThisSystemKind, false, wxDisplayDepth() <= 8, m_xpNewer, m_xpOthers);
}

int DTMenu::MenuHeight(wxDC& dc) {
    const int metric = wxSystemSettings::GetMetric(wxSYS_MENU_Y);
    return metric > 0 ? metric : dc.GetCharHeight() + 6;
}

int DTMenu::ItemTextWidth(wxDC& dc, const std::string& text) {
    const ItemText t = Split(text);
    int width = dc.GetTextExtent(t.label).x;
    if (!t.accelerator.empty()) width += kAcceleratorGap + dc.GetTextExtent(t.accelerator).x;
    return width;
}

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

void DTMenu::AttachDropDowns(wxFrame* frame, wxMenuBar* bar, std::function<int(int)> itemIdOf) {
    m_frame = frame;
    m_bar = bar;
    m_itemIdOf = std::move(itemIdOf);
    platform::ui::HookMenuBarDropDowns(frame, bar, [this](int entry) {
        if (m_frame && m_frame->GetMenuBar() == m_bar) RunDropDown(entry);
    });
}

std::vector<platform::PopupItem> DTMenu::Items(const std::vector<controls::DTMenuNode>& nodes, wxMenu* states) const {
    std::vector<platform::PopupItem> items;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const controls::DTMenuNode& n = nodes[i];
        platform::PopupItem it;
        if (!n.separator) {
            it.id = n.popup ? 0 : n.data.id;
            it.text = n.data.text;
            it.enabled = (n.data.flags & (controls::kMfGrayed | controls::kMfDisabled)) == 0;
            it.checked = (n.data.flags & controls::kMfChecked) != 0;
            it.image = n.data.bitmapIndex;
        }
        // The bar's own items, in the same order, carry the current states.
        wxMenuItem* state = states && i < states->GetMenuItemCount() ? states->FindItemByPosition(i) : nullptr;
        if (state && !n.separator) {
            it.enabled = state->IsEnabled();
            it.checked = state->IsCheckable() && state->IsChecked();
        }
        if (n.popup) it.children = Items(n.children, state ? state->GetSubMenu() : nullptr);
        items.push_back(std::move(it));
    }
    return items;
}

platform::PopupMenuModel DTMenu::DropDownModel(int entry) const {
    const auto& top = m_model.top();
    if (entry < 0 || entry >= static_cast<int>(top.size())) return platform::PopupMenuModel();
    wxMenu* states = m_bar && entry < static_cast<int>(m_bar->GetMenuCount()) ? m_bar->GetMenu(entry) : nullptr;
    if (states && m_frame) states->UpdateUI(m_frame);  // the frame's update handlers set the states
    platform::PopupMenuModel model(Items(top[static_cast<std::size_t>(entry)].children, states));
    model.SetInMenuBar(true);
    model.SetIconSize(controls::kMenuBitmapWidth, controls::kMenuBitmapHeight);
    return model;
}

platform::ui::PopupMenuStyle DTMenu::DropDownStyle() const {
    const bool xp = xpLook();
    platform::ui::PopupMenuStyle style;
    style.font = platform::ui::PopupMenuFont();
    style.layout = [xp](platform::PopupMenuModel& model, wxDC& dc) {
        const int cyMenu = MenuHeight(dc);
        model.LayoutItems([&](int index) {
            const platform::PopupItem& it = model.items()[static_cast<std::size_t>(index)];
            const controls::MenuItemSize size = controls::MeasureMenuItem(
                it.separator(), xp, kBitmap3d, it.separator() ? 0 : ItemTextWidth(dc, it.text), cyMenu);
            return std::pair<int, int>{size.width, size.height};
        });
    };
    style.frame = [xp](wxDC& dc, const platform::PopupMenuModel& model) {
        const wxRect all(0, 0, model.width(), model.height());
        dc.SetPen(*wxTRANSPARENT_PEN);
        if (xp) {
            dc.SetBrush(wxBrush(Lighten(Sys(wxSYS_COLOUR_WINDOW), 0.02)));
            dc.DrawRectangle(all);
            // The band runs from top to bottom beside every item.
            dc.SetBrush(wxBrush(Lighten(Sys(wxSYS_COLOUR_BTNFACE), kNewerThemeActive ? 0.0 : 0.25)));
            dc.DrawRectangle(1, 1, platform::PopupMenuModel::kFrame - 1 + PictureBoxWidth(true), all.height - 2);
            dc.SetBrush(*wxTRANSPARENT_BRUSH);
            dc.SetPen(wxPen(Sys(wxSYS_COLOUR_BTNSHADOW)));
            dc.DrawRectangle(all);
        } else {
            dc.SetBrush(wxBrush(Sys(kNewerThemeActive ? wxSYS_COLOUR_BTNFACE : wxSYS_COLOUR_MENU)));
            dc.DrawRectangle(all);
            Edge(dc, all, Sys(wxSYS_COLOUR_BTNFACE), Sys(wxSYS_COLOUR_3DDKSHADOW));
            Edge(dc, wxRect(all).Deflate(1), Sys(wxSYS_COLOUR_BTNHIGHLIGHT), Sys(wxSYS_COLOUR_BTNSHADOW));
        }
    };
    style.painter = [this, xp](wxDC& dc, const platform::PopupMenuModel& model, int index, const wxRect& r,
                               bool highlighted) { PaintItem(dc, model, index, r, highlighted, xp); };
    return style;
}

void DTMenu::PaintPicture(wxDC& dc, const platform::PopupItem& it, const wxRect& box, bool highlighted,
                          bool xp) const {
    const wxBitmap picture = Image(it.image);
    const wxRect cell(box.x + (box.width - controls::kMenuBitmapWidth) / 2,
                      box.y + (box.height - controls::kMenuBitmapHeight) / 2, controls::kMenuBitmapWidth,
                      controls::kMenuBitmapHeight);
    const wxRect frame = cell.Inflate(2, 2);
    if (it.checked) {
        if (xp) {
            dc.SetPen(wxPen(Sys(wxSYS_COLOUR_HIGHLIGHT)));
            dc.SetBrush(wxBrush(Lighten(Sys(wxSYS_COLOUR_HIGHLIGHT), highlighted ? 0.6 : 0.8)));
            dc.DrawRectangle(frame);
        } else {
            // Pressed in, as a checked flat button.
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.SetBrush(wxBrush(Lighten(Sys(wxSYS_COLOUR_BTNFACE), 0.5)));
            dc.DrawRectangle(frame);
            Edge(dc, frame, Sys(wxSYS_COLOUR_BTNSHADOW), Sys(wxSYS_COLOUR_BTNHIGHLIGHT));
        }
    } else if (!xp && highlighted && it.enabled && picture.IsOk()) {
        Edge(dc, frame, Sys(wxSYS_COLOUR_BTNHIGHLIGHT), Sys(wxSYS_COLOUR_BTNSHADOW));  // raised
    }
    if (picture.IsOk()) {
        if (it.enabled) {
            dc.DrawBitmap(picture, cell.x, cell.y, true);
        } else {
            // Embossed: the shape in the light colour, the shade above it.
            dc.DrawBitmap(Silhouette(picture, Sys(wxSYS_COLOUR_BTNHIGHLIGHT)), cell.x + 1, cell.y + 1, true);
            dc.DrawBitmap(Silhouette(picture, Sys(wxSYS_COLOUR_BTNSHADOW)), cell.x, cell.y, true);
        }
    } else if (it.checked) {
        CheckMark(dc, cell, Sys(it.enabled ? wxSYS_COLOUR_MENUTEXT : wxSYS_COLOUR_GRAYTEXT));
    }
}

void DTMenu::PaintItem(wxDC& dc, const platform::PopupMenuModel& model, int index, const wxRect& r,
                       bool highlighted, bool xp) const {
    const platform::PopupItem& it = model.items()[static_cast<std::size_t>(index)];
    const int box = PictureBoxWidth(xp);
    const wxRect boxRect(r.x, r.y, box, r.height);
    const wxRect textArea(r.x + box, r.y, r.width - box, r.height);
    dc.SetPen(*wxTRANSPARENT_PEN);
    if (xp) {
        const wxColour band = Lighten(Sys(wxSYS_COLOUR_BTNFACE), kNewerThemeActive ? 0.0 : 0.25);
        dc.SetBrush(wxBrush(band));
        dc.DrawRectangle(boxRect);
        dc.SetBrush(wxBrush(Lighten(Sys(wxSYS_COLOUR_WINDOW), 0.02)));
        dc.DrawRectangle(textArea);
        if (it.separator()) {
            dc.SetPen(wxPen(Sys(wxSYS_COLOUR_BTNSHADOW)));
            dc.DrawLine(r.x + TextLeft(true), r.y + r.height / 2, r.GetRight() + 1, r.y + r.height / 2);
            return;
        }
        if (highlighted) {
            dc.SetPen(wxPen(Sys(wxSYS_COLOUR_HIGHLIGHT)));
            dc.SetBrush(wxBrush(Lighten(Sys(wxSYS_COLOUR_HIGHLIGHT), 0.7)));
            dc.DrawRectangle(r);
        }
    } else {
        dc.SetBrush(wxBrush(Sys(kNewerThemeActive ? wxSYS_COLOUR_BTNFACE : wxSYS_COLOUR_MENU)));
        dc.DrawRectangle(r);
        if (it.separator()) {
            // Etched across the middle.
            const int y = r.y + r.height / 2 - 1;
            dc.SetPen(wxPen(Sys(wxSYS_COLOUR_BTNSHADOW)));
            dc.DrawLine(r.x + 1, y, r.GetRight(), y);
            dc.SetPen(wxPen(Sys(wxSYS_COLOUR_BTNHIGHLIGHT)));
            dc.DrawLine(r.x + 1, y + 1, r.GetRight(), y + 1);
            return;
        }
        if (highlighted) {
            dc.SetBrush(wxBrush(Sys(wxSYS_COLOUR_HIGHLIGHT)));
            dc.DrawRectangle(Image(it.image).IsOk() || it.checked ? textArea : r);
        }
    }
    PaintPicture(dc, it, boxRect, highlighted, xp);

    const ItemText t = Split(it.text);
    const wxRect text(r.x + TextLeft(xp), r.y, r.width - TextLeft(xp) - TextRightSpare(xp), r.height);
    const wxColour ink = xp || !highlighted ? Sys(wxSYS_COLOUR_MENUTEXT) : Sys(wxSYS_COLOUR_HIGHLIGHTTEXT);
    auto write = [&](const wxRect& at, const wxColour& colour) {
        dc.SetTextForeground(colour);
        dc.DrawLabel(t.label, at, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL, t.mnemonic);
        if (!t.accelerator.empty()) dc.DrawLabel(t.accelerator, at, wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL);
    };
    if (it.enabled) {
        write(text, ink);
    } else if (xp) {
        write(text, Sys(wxSYS_COLOUR_GRAYTEXT));
    } else {
        write(wxRect(text.x + 1, text.y + 1, text.width, text.height), Sys(wxSYS_COLOUR_BTNHIGHLIGHT));  // embossed
        write(text, Sys(wxSYS_COLOUR_BTNSHADOW));
    }
    if (it.popup()) platform::ui::PaintSubmenuArrow(dc, r, it.enabled ? ink : Sys(wxSYS_COLOUR_GRAYTEXT));
}

void DTMenu::RunDropDown(int entry) {
    if (m_running || !m_bar || !m_frame) return;
    m_running = true;
    const int count = static_cast<int>(m_model.top().size());
    wxMenuBar* bar = m_bar;
    while (entry >= 0 && entry < count) {
        // As the desktop's drop-downs: nothing highlighted until Down or the mouse.
        platform::PopupMenuModel model = DropDownModel(entry);
        platform::ui::PopupMenuStyle style = DropDownStyle();
        style.barEntry = entry;
        style.barEntryAt = [bar](const wxPoint& screen) { return platform::ui::MenuBarEntryAt(bar, screen); };
        const wxRect r = platform::ui::MenuBarEntryRect(bar, entry);
        const wxPoint at = r.IsEmpty() ? m_frame->GetScreenPosition() : wxPoint(r.x, r.GetBottom() + 1);
        platform::ui::HighlightMenuBarEntry(bar, entry);
        const int chosen = platform::ui::TrackPopupMenu(m_frame, model, at, style);
        platform::ui::HighlightMenuBarEntry(bar, -1);
        if (chosen != 0) {
            // As the toolkit's menu gives it, once the menu is gone.
            auto* command = new wxCommandEvent(wxEVT_MENU, m_itemIdOf ? m_itemIdOf(chosen) : chosen);
            command->SetEventObject(m_frame);
            m_frame->GetEventHandler()->QueueEvent(command);
            break;
        }
        if (model.barStep() != 0) {
            entry = (entry + model.barStep() + count) % count;
        } else if (model.barEntry() != platform::PopupMenuModel::kNone) {
            entry = model.barEntry();
        } else {
            break;
        }
    }
    m_running = false;
}

wxMenu* DTMenu::CreatePopup(const controls::DTMenuNode& popup, const std::function<int(int)>& itemIdOf,
                            const std::function<bool(int)>& checkable) const {
    auto* menu = new wxMenu;
    AddItems(menu, popup.children, itemIdOf, checkable);
    return menu;
}
