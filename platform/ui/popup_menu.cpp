#include "platform/ui/popup_menu.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/settings.h>
#include <wx/timer.h>

#include "platform/text.h"
#include "platform/ui/input_grab.h"
#include "platform/ui/placement.h"

namespace platform::ui {

namespace {

class PopupMenuWindow;
PopupMenuWindow* g_active = nullptr;

wxFont FontOr(const wxFont& f) { return f.IsOk() ? f : PopupMenuFont(); }

// Runs `win` modally at `screen` (kept on the display) as the active menu.
void RunMenuWindow(PopupMenuWindow& win, const wxPoint& screen);

class PopupMenuWindow : public wxDialog {
public:
    PopupMenuWindow(wxWindow* parent, PopupMenuModel& model, const PopupMenuStyle& style)
        : wxDialog(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                   wxBORDER_NONE | wxSTAY_ON_TOP | wxFRAME_NO_TASKBAR, "platform_popup_menu"),
          m_model(model), m_style(style) {
        m_style.font = FontOr(style.font);
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        {
            wxMemoryDC dc;
            wxBitmap probe(8, 8);
            dc.SelectObject(probe);
            dc.SetFont(m_style.font);
            if (m_style.layout)
                m_style.layout(m_model, dc);
            else
                LayoutPopupMenu(m_model, dc, m_style.font);
        }
        SetClientSize(m_model.width(), m_model.height());
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxAutoBufferedPaintDC dc(this);
            PaintPopupMenu(dc, m_model, m_style);
        });
        Bind(wxEVT_MOTION, [this](wxMouseEvent& e) {
            if (m_style.barEntryAt) {
                const int entry = m_style.barEntryAt(ClientToScreen(e.GetPosition()));
                if (entry >= 0 && entry != m_style.barEntry) {
                    m_model.LeaveForBarEntry(entry);
                    Finish();
                    return;
                }
            }
            const int before = m_model.highlighted();
            m_model.MouseMove(e.GetX(), e.GetY());
            if (before != m_model.highlighted()) Refresh();
        });
        Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
            m_model.MouseDown(e.GetX(), e.GetY());
            Finish();
        });
        Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& e) {
            m_model.MouseUp(e.GetX(), e.GetY());
            Finish();
        });
        Bind(wxEVT_RIGHT_DOWN, [this](wxMouseEvent& e) {
            if (m_model.HitTest(e.GetX(), e.GetY()) == PopupMenuModel::kNone) {
                m_model.Cancel();
                Finish();
            }
        });
        Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
            if (!KeyCode(e.GetKeyCode(), e.GetUnicodeKey())) e.Skip();
        });
        Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) {
            if (m_submenuOpen) return;  // the sub-menu holds the mouse
            m_model.Cancel();
            Finish();
        });
        Bind(wxEVT_SHOW, [this](wxShowEvent& e) {
            // A menu lies over every window (a window raised after the menu
            // was mapped would cover it where no window manager stacks them).
            if (e.IsShown()) CallAfter([this] {
                    if (!IsShown()) return;
                    Raise();
                    TakeInput();
                });
        });
        // The keyboard can be taken once the window is on the screen, which
        // may be a little after it was shown.
        m_grabRetry.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            if (m_done || m_submenuOpen || !IsShown()) return;
            if (!m_hasKeyboard) TakeInput();
            if (m_hasKeyboard || ++m_grabTries > 100) m_grabRetry.Stop();
        });
    }

    ~PopupMenuWindow() override { GiveInputBack(); }

    bool KeyCode(int code, wxChar uni) {
        PopupKey key;
        char32_t ch = 0;
        switch (code) {
            case WXK_UP: case WXK_NUMPAD_UP: key = PopupKey::Up; break;
            case WXK_DOWN: case WXK_NUMPAD_DOWN: key = PopupKey::Down; break;
            case WXK_HOME: key = PopupKey::Home; break;
            case WXK_END: key = PopupKey::End; break;
            case WXK_RETURN: case WXK_NUMPAD_ENTER: case WXK_SPACE: key = PopupKey::Enter; break;
            case WXK_ESCAPE: key = PopupKey::Escape; break;
            case WXK_LEFT: case WXK_NUMPAD_LEFT: key = PopupKey::Left; break;
            case WXK_RIGHT: case WXK_NUMPAD_RIGHT: key = PopupKey::Right; break;
            default:
                if (uni == WXK_NONE) return false;
                key = PopupKey::Char;
                ch = static_cast<char32_t>(uni);
        }
        const bool used = m_model.Key(key, ch);
        if (used) Refresh();
        Finish();
        return true;  // a menu that holds the keyboard passes no key on
    }

    void Finish() {
        if (m_model.openRequest() != PopupMenuModel::kNone && !m_submenuOpen) CallAfter([this] { OpenSubmenu(); });
        if (!m_model.finished() || m_done) return;
        m_done = true;
        GiveInputBack();
        if (IsModal()) EndModal(m_model.chosen() != 0 ? wxID_OK : wxID_CANCEL);
    }

    PopupMenuModel& model() { return m_model; }
    bool hasKeyboard() const { return m_hasKeyboard; }

    void GiveInputBack() {
        m_grabRetry.Stop();
        if (m_hasKeyboard) ReleaseKeyboard();
        m_hasKeyboard = false;
        if (HasCapture()) ReleaseMouse();
    }

private:
    // The pointer (the toolkit's capture) and the keyboard, as a menu holds
    // them; the held keys come to KeyCode.
    void TakeInput() {
        if (m_done) return;
        if (!HasCapture()) CaptureMouse();
        m_hasKeyboard = GrabKeyboard(this, [this](int code, wxChar uni) { return KeyCode(code, uni); });
        if (!m_hasKeyboard && !m_grabRetry.IsRunning()) {
            m_grabTries = 0;
            m_grabRetry.Start(20);
        }
    }

    // The sub-menu of the requested pop-up item, at the item's right edge;
    // its command ends this menu too, its Left or Escape comes back here,
    // anything else ends every level.
    void OpenSubmenu() {
        const int index = m_model.openRequest();
        m_model.ClearOpenRequest();
        if (index < 0 || index >= static_cast<int>(m_model.items().size()) || m_done) return;
        PopupMenuModel sub(m_model.items()[static_cast<std::size_t>(index)].children);
        sub.SetNested(true);
        sub.SetInMenuBar(m_model.inMenuBar());
        sub.SetIconSize(m_model.iconWidth(), m_model.iconHeight());
        const PopupRect r = m_model.ItemRect(index);
        PopupMenuWindow win(this, sub, m_style);
        m_submenuOpen = true;
        m_grabRetry.Stop();
        m_hasKeyboard = false;  // the sub-menu takes it
        RunMenuWindow(win, ClientToScreen(wxPoint(r.x + r.width, r.y - PopupMenuModel::kFrame)));
        m_submenuOpen = false;
        if (sub.finished() && sub.chosen() != 0)
            m_model.ChooseFromSubmenu(sub.chosen());
        else if (sub.barStep() != 0)
            m_model.LeaveForBar(sub.barStep());
        else if (sub.barEntry() != PopupMenuModel::kNone)
            m_model.LeaveForBarEntry(sub.barEntry());
        else if (!sub.closedBack())
            m_model.Cancel();
        Refresh();
        if (!m_model.finished()) TakeInput();
        Finish();
    }

    PopupMenuModel& m_model;
    PopupMenuStyle m_style;
    bool m_done = false;
    bool m_submenuOpen = false;
    bool m_hasKeyboard = false;
    int m_grabTries = 0;
    wxTimer m_grabRetry;
};

void RunMenuWindow(PopupMenuWindow& win, const wxPoint& screen) {
    wxPoint at = screen;
    const int d = wxDisplay::GetFromPoint(screen);
    const wxRect area = wxDisplay(d == wxNOT_FOUND ? 0u : static_cast<unsigned>(d)).GetClientArea();
    const wxSize size = win.GetSize();
    if (at.x + size.x > area.GetRight()) at.x = std::max(area.x, area.GetRight() - size.x);
    if (at.y + size.y > area.GetBottom()) at.y = std::max(area.y, at.y - size.y);
    KeepPlaced(&win, at);  // not centred on the parent, as the toolkit places dialogs
    PopupMenuWindow* previous = g_active;
    g_active = &win;
    win.ShowModal();
    g_active = previous;
    win.GiveInputBack();  // also when ended from outside (a quit signal)
}

}  // namespace

wxFont PopupMenuFont() { return wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT); }

void LayoutPopupMenu(PopupMenuModel& model, wxDC& dc, const wxFont& font) {
    dc.SetFont(FontOr(font));
    model.Layout([&dc](const std::string& text) {
        const wxSize s = dc.GetTextExtent(wxString::FromUTF8(text));
        return std::pair<int, int>{s.x, s.y};
    });
}

void PaintPlainPopupItem(wxDC& dc, const PopupMenuModel& model, int index, const wxRect& r, bool highlighted) {
    const PopupItem& it = model.items()[static_cast<std::size_t>(index)];
    if (it.separator()) {
        dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
        dc.DrawLine(r.x + 2, r.y + 2, r.GetRight() - 1, r.y + 2);
        dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT)));
        dc.DrawLine(r.x + 2, r.y + 3, r.GetRight() - 1, r.y + 3);
        return;
    }
    const wxColour back = highlighted ? wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT)
                                      : wxSystemSettings::GetColour(wxSYS_COLOUR_MENU);
    dc.SetBrush(wxBrush(back));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(r);
    dc.SetTextForeground(!it.enabled ? wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT)
                         : highlighted ? wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT)
                                       : wxSystemSettings::GetColour(wxSYS_COLOUR_MENUTEXT));
    const int box = r.height;
    // "&" marks an item's key; the item shows its text without the marks.
    const wxString text = wxString::FromUTF8(StripMnemonics(it.text));
    const int tab = text.Find('\t');
    const wxString left = tab == wxNOT_FOUND ? text : text.Left(tab);
    const wxSize ext = dc.GetTextExtent(left);
    dc.DrawText(left, r.x + box + 2, r.y + (r.height - ext.y) / 2);
    if (tab != wxNOT_FOUND) {
        const wxString right = text.Mid(tab + 1);
        const wxSize re = dc.GetTextExtent(right);
        dc.DrawText(right, r.GetRight() - 15 - re.x, r.y + (r.height - re.y) / 2);
    }
    if (it.checked) dc.DrawText(wxString::FromUTF8("✓"), r.x + 4, r.y + (r.height - ext.y) / 2);
    if (it.popup()) PaintSubmenuArrow(dc, r, dc.GetTextForeground());
}

void PaintSubmenuArrow(wxDC& dc, const wxRect& r, const wxColour& colour) {
    const int cx = r.GetRight() - 7, cy = r.y + r.height / 2;
    const wxPoint tip[3] = {{cx - 2, cy - 4}, {cx + 2, cy}, {cx - 2, cy + 4}};
    dc.SetPen(wxPen(colour));
    dc.SetBrush(wxBrush(colour));
    dc.DrawPolygon(3, tip);
}

void PaintPopupMenu(wxDC& dc, const PopupMenuModel& model, const PopupItemPainter& painter, const wxFont& font) {
    PopupMenuStyle style;
    style.painter = painter;
    style.font = font;
    PaintPopupMenu(dc, model, style);
}

void PaintPopupMenu(wxDC& dc, const PopupMenuModel& model, const PopupMenuStyle& style) {
    dc.SetFont(FontOr(style.font));
    if (style.frame) {
        style.frame(dc, model);
    } else {
        dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_MENU)));
        dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
        dc.DrawRectangle(wxRect(0, 0, model.width(), model.height()));
    }
    for (int i = 0; i < static_cast<int>(model.items().size()); ++i) {
        const PopupRect p = model.ItemRect(i);
        const wxRect r(p.x, p.y, p.width, p.height);
        if (style.painter)
            style.painter(dc, model, i, r, i == model.highlighted());
        else
            PaintPlainPopupItem(dc, model, i, r, i == model.highlighted());
    }
}

int TrackPopupMenu(wxWindow* parent, PopupMenuModel& model, const wxPoint& screen, const PopupItemPainter& painter,
                   const wxFont& font) {
    PopupMenuStyle style;
    style.painter = painter;
    style.font = font;
    return TrackPopupMenu(parent, model, screen, style);
}

int TrackPopupMenu(wxWindow* parent, PopupMenuModel& model, const wxPoint& screen, const PopupMenuStyle& style) {
    if (model.items().empty()) return 0;
    PopupMenuWindow win(parent, model, style);
    RunMenuWindow(win, screen);
    return model.finished() ? model.chosen() : 0;
}

wxWindow* ActivePopupMenuWindow() { return g_active; }
const PopupMenuModel* ActivePopupMenuModel() { return g_active ? &g_active->model() : nullptr; }
bool ActivePopupMenuHasKeyboard() { return g_active && g_active->hasKeyboard(); }

}  // namespace platform::ui
