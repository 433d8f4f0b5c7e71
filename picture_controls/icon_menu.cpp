#include "picture_controls/icon_menu.h"

#include <fstream>
#include <wx/dc.h>
#include <wx/event.h>
#include <wx/image.h>
#include <wx/settings.h>
#include <wx/window.h>

#include "picture_controls/icon_menu_picture.h"
#include "platform/raster/surface.h"
#include "platform/ui/colour.h"
#include "platform/ui/resources.h"

namespace {
// A 3-D frame: `topLeft` along the top and left edges, `bottomRight` along the others.
void Frame3D(wxDC& dc, const wxRect& r, const wxColour& topLeft, const wxColour& bottomRight) {
    dc.SetPen(wxPen(topLeft));
    dc.DrawLine(r.x, r.y, r.GetRight(), r.y);
    dc.DrawLine(r.x, r.y, r.x, r.GetBottom());
    dc.SetPen(wxPen(bottomRight));
    dc.DrawLine(r.GetRight(), r.y, r.GetRight(), r.GetBottom() + 1);
    dc.DrawLine(r.x, r.GetBottom(), r.GetRight(), r.GetBottom());
}

// A picture as a disabled item shows it: embossed in the light and shade colours.
wxBitmap EmbossedBitmap(const wxImage& img, const wxColour& light, const wxColour& shade) {
    using platform::raster::ToArgb;
    using platform::ui::FromColour;
    const int w = img.GetWidth(), h = img.GetHeight();
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned a = img.IsTransparent(x, y) ? 0u : 255u;
            argb[static_cast<std::size_t>(y) * w + x] = a << 24 | static_cast<std::uint32_t>(img.GetRed(x, y)) << 16 |
                                                       static_cast<std::uint32_t>(img.GetGreen(x, y)) << 8 |
                                                       img.GetBlue(x, y);
        }
    const auto out = picture_controls::EmbossPicture(argb, w, h, ToArgb(FromColour(light)), ToArgb(FromColour(shade)));
    wxImage e(w, h);
    e.InitAlpha();
    unsigned char* rgb = e.GetData();
    unsigned char* alpha = e.GetAlpha();
    for (std::size_t i = 0; i < out.size(); ++i) {
        rgb[3 * i] = static_cast<unsigned char>(out[i] >> 16);
        rgb[3 * i + 1] = static_cast<unsigned char>(out[i] >> 8);
        rgb[3 * i + 2] = static_cast<unsigned char>(out[i]);
        alpha[i] = static_cast<unsigned char>(out[i] >> 24);
    }
    return wxBitmap(e);
}
}  // namespace

CIconMenu::CIconMenu() {
    m_text = wxSystemSettings::GetColour(wxSYS_COLOUR_MENUTEXT);
    m_selText = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT);
    m_imageBack = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
    m_back = wxSystemSettings::GetColour(wxSYS_COLOUR_MENU);
    m_selBack = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
    m_light = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT);
    m_shade = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW);
    m_grey = wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT);
    m_menuFont = platform::ui::PopupMenuFont();
    m_boldFont = m_menuFont.Bold();
}

CIconMenu::~CIconMenu() = default;

bool CIconMenu::LoadImageList(const wxBitmap& strip, int width, int height, const std::vector<int>& ids,
                              const wxColour& mask) {
    if (!strip.IsOk() || width <= 0 || height <= 0) return false;
    m_model.LoadToolbar(ids);
    m_images.clear();
    m_embossed.clear();
    wxImage img = strip.ConvertToImage();
    if (!img.HasAlpha()) img.SetMaskColour(mask.Red(), mask.Green(), mask.Blue());
    for (int i = 0; i < m_model.imageCount(); ++i) {
        if ((i + 1) * width > img.GetWidth()) break;
        const wxImage picture = img.GetSubImage(wxRect(i * width, 0, width, std::min(height, img.GetHeight())));
        m_images.emplace_back(picture);
        m_embossed.push_back(EmbossedBitmap(picture, m_light, m_shade));
    }
    m_iconW = width;
    m_iconH = height;
    return true;
}

bool CIconMenu::LoadImageList(int toolbarId) {
    const auto dir = platform::ui::ResourceDir() / "Pictova";
    std::ifstream in(dir / "toolbar" / (std::to_string(toolbarId) + ".txt"));
    int version = 0, w = 0, h = 0, count = 0;
    if (!(in >> version >> w >> h >> count) || count < 0 || count > 256) return false;
    std::vector<int> ids;
    for (int i = 0, id = 0; i < count && in >> id; ++i) ids.push_back(id);
    wxImage strip;
    if (!strip.LoadFile(wxString::FromUTF8((dir / "bitmap" / (std::to_string(toolbarId) + ".png")).string())))
        return false;
    return LoadImageList(wxBitmap(strip), w, h, ids);
}

void CIconMenu::UpdateMenuUI(std::vector<picture_controls::MenuNode>& menu, wxEvtHandler& target) {
    // A window answers through its handler chain, as its menus are routed.
    wxWindow* window = wxDynamicCast(&target, wxWindow);
    wxEvtHandler& handler = window ? *window->GetEventHandler() : target;
    picture_controls::IconMenuModel::UpdateMenuUI(menu, [&](int id, bool& enabled, bool& checked) {
        wxUpdateUIEvent event(id);
        event.SetEventObject(&target);
        if (!handler.ProcessEvent(event)) return;
        if (event.GetSetEnabled()) enabled = event.GetEnabled();
        if (event.GetSetChecked()) checked = event.GetChecked();
    });
}

platform::ui::PopupItemPainter CIconMenu::Painter() const {
    return [this](wxDC& dc, const platform::PopupMenuModel& model, int index, const wxRect& rect, bool hl) {
        DrawItem(dc, model, index, rect, hl);
    };
}

int CIconMenu::Track(wxWindow* parent, const std::vector<picture_controls::MenuNode>& menu, const wxPoint& screen) {
    platform::PopupMenuModel popup(m_model.PopupItems(menu));
    popup.SetIconSize(m_iconW, m_iconH);
    const int id = platform::ui::TrackPopupMenu(parent, popup, screen, Painter(), m_menuFont);
    return id > 0 ? id : 0;
}

void CIconMenu::DrawItem(wxDC& dc, const platform::PopupMenuModel& model, int index, const wxRect& r,
                         bool selected) const {
    const platform::PopupItem& it = model.items()[static_cast<std::size_t>(index)];
    dc.SetFont(it.isDefault ? m_boldFont : m_menuFont);
    if (it.separator()) {
        dc.SetPen(wxPen(m_back));
        dc.SetBrush(wxBrush(m_back));
        dc.DrawRectangle(r);
        dc.SetPen(wxPen(m_shade));
        dc.DrawLine(r.x + 2, r.y + 2, r.GetRight() - 1, r.y + 2);
        dc.SetPen(wxPen(m_light));
        dc.DrawLine(r.x + 2, r.y + 3, r.GetRight() - 1, r.y + 3);
        return;
    }
    if (it.popup() && it.id == picture_controls::IconMenuRecord::kTopPopup) {
        // A pop-up of the first nested level: its text centred on one line,
        // pressed in while it is selected.
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(m_back));
        dc.DrawRectangle(r);
        const wxString text = wxString::FromUTF8(it.text);
        const wxSize ext = dc.GetTextExtent(text);
        int x = r.x + (r.width - ext.x) / 2, y = r.y + (r.height - ext.y) / 2;
        if (selected && it.enabled) {
            x += 2;
            y += 1;
            Frame3D(dc, r, m_shade, m_light);  // sunken
        }
        dc.SetTextForeground(it.enabled ? m_text : m_grey);
        dc.DrawText(text, x, y);
        platform::ui::PaintSubmenuArrow(dc, r, it.enabled ? m_text : m_grey);
        return;
    }
    const wxRect box(r.x, r.y, r.height, r.height);
    const bool picture = it.image >= 0 && it.image < static_cast<int>(m_images.size());
    const wxRect textArea(box.GetRight() + 2, r.y, r.width - box.width - 1, r.height);
    // Background: the selected colour over the text area (the whole item
    // when it has neither a picture nor a check mark).
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(m_back));
    dc.DrawRectangle(r);
    if (selected) {
        dc.SetBrush(wxBrush(m_selBack));
        dc.DrawRectangle(picture || it.checked ? textArea : r);
    }
    if (picture) {
        const wxBitmap& bmp = m_images[static_cast<std::size_t>(it.image)];
        if (selected && it.enabled) Frame3D(dc, box, m_light, m_shade);  // raised
        const int x = box.x + (box.width - bmp.GetWidth()) / 2, y = box.y + (box.height - bmp.GetHeight()) / 2;
        if (it.enabled) {
            dc.DrawBitmap(bmp, x, y, true);
        } else {
            dc.DrawBitmap(m_embossed[static_cast<std::size_t>(it.image)], x, y, true);
        }
    } else if (it.checked) {
        const int cx = box.x + box.width / 2, cy = box.y + box.height / 2 - 2;
        dc.SetPen(wxPen(selected ? m_selText : m_text, 2));
        dc.DrawLine(cx - 4, cy, cx - 1, cy + 3);
        dc.DrawLine(cx - 1, cy + 3, cx + 5, cy - 4);
    }
    const wxString text = wxString::FromUTF8(it.text);
    const int tab = text.Find('\t');
    const wxString left = tab == wxNOT_FOUND ? text : text.Left(tab);
    const wxString right = tab == wxNOT_FOUND ? wxString() : text.Mid(tab + 1);
    const int textLeft = box.GetRight() + 3, textRight = r.GetRight() - 15;
    auto draw = [&](int dx, int dy) {
        const wxSize le = dc.GetTextExtent(left);
        dc.DrawText(left, textLeft + dx, r.y + (r.height - le.y) / 2 + dy);
        if (!right.empty()) {
            const wxSize re = dc.GetTextExtent(right);
            dc.DrawText(right, textRight - re.x + dx, r.y + (r.height - re.y) / 2 + dy);
        }
    };
    if (!it.enabled && !selected) {
        dc.SetTextForeground(m_light);
        draw(1, 1);
        dc.SetTextForeground(m_grey);
        draw(0, 0);
    } else if (!it.enabled) {
        dc.SetTextForeground(m_back);
        draw(0, 0);
    } else {
        dc.SetTextForeground(selected ? m_selText : m_text);
        draw(0, 0);
    }
    if (it.popup()) platform::ui::PaintSubmenuArrow(dc, r, it.enabled ? (selected ? m_selText : m_text) : m_grey);
}
