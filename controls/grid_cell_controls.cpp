#include "controls/grid_cell_controls.h"

#include <algorithm>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/dcclient.h>

#include "controls/grid_ctrl.h"
#include "controls/grid_dc_painter.h"
#include "controls/grid_editor_keys.h"
#include "platform/ui/colour.h"

namespace {

constexpr long kBsTypeMask = 0x0F;
constexpr long kBs3State = 5;
constexpr long kBsAuto3State = 6;
constexpr int kCheckBoxSize = kGridGlyphSize;

wxString ToWx(const std::string& s) { return wxString::FromUTF8(s); }
std::string FromWx(const wxString& s) { return s.utf8_string(); }

CZYKGridCtrl* GridOf(GridHost* host) { return dynamic_cast<CZYKGridCtrl*>(host); }

// The toolkit takes ids up to 32766; the editor ids of the column table
// (0xF008 + column) lie above, and such a window gets an id of its own.
wxWindowID WindowIdFor(int id) { return id > 0 && id < 32767 ? id : wxID_ANY; }

bool ClipboardHasText() {
    if (!wxTheClipboard->Open()) return false;
    const bool has = wxTheClipboard->IsSupported(wxDF_UNICODETEXT) || wxTheClipboard->IsSupported(wxDF_TEXT);
    wxTheClipboard->Close();
    return has;
}

// Routes a key-down of an editor; returns true when it was taken away from
// the editor.
bool RouteKeyDown(CZYKGridCtrl* grid, int kind, wxKeyEvent& event, grid::Caret caret) {
    const grid::Key key = GridKeyFromWx(event.GetKeyCode());
    if (key == grid::Key::Other) return false;
    const grid::KeyRoute route =
        grid::RouteEditorKeyDown(kind, key, event.ShiftDown(), event.ControlDown(), caret);
    switch (route.action) {
        case grid::KeyAction::Post:
            if (grid) grid->PostKey(route.key, event.ShiftDown(), event.ControlDown());
            return true;
        case grid::KeyAction::Consume:
            return true;
        default:
            return false;
    }
}

}  // namespace

int CopyTextToClipboard(const std::string& text) {
    if (text.empty()) return 0;
    if (!wxTheClipboard->Open()) return 0;
    // The clipboard owns the data object once it takes it.
    const bool ok = wxTheClipboard->SetData(new wxTextDataObject(ToWx(text)));
    wxTheClipboard->Close();
    return ok ? 1 : 0;
}

grid::Key GridKeyFromWx(int keyCode) {
    using grid::Key;
    switch (keyCode) {
        case WXK_TAB: return Key::Tab;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER: return Key::Enter;
        case WXK_ESCAPE: return Key::Escape;
        case WXK_PAGEUP:
        case WXK_NUMPAD_PAGEUP: return Key::PageUp;
        case WXK_PAGEDOWN:
        case WXK_NUMPAD_PAGEDOWN: return Key::PageDown;
        case WXK_END:
        case WXK_NUMPAD_END: return Key::End;
        case WXK_HOME:
        case WXK_NUMPAD_HOME: return Key::Home;
        case WXK_LEFT:
        case WXK_NUMPAD_LEFT: return Key::Left;
        case WXK_UP:
        case WXK_NUMPAD_UP: return Key::Up;
        case WXK_RIGHT:
        case WXK_NUMPAD_RIGHT: return Key::Right;
        case WXK_DOWN:
        case WXK_NUMPAD_DOWN: return Key::Down;
        default: return Key::Other;
    }
}

// ---- check box -------------------------------------------------------------

CGridCheckBox::CGridCheckBox(CZYKGridCtrl* grid, wxWindowID id, bool threeState)
    : m_grid(grid), m_threeState(threeState) {
    Hide();
    Create(grid, id, wxPoint(0, 0), wxSize(kCheckBoxSize, kCheckBoxSize), wxBORDER_NONE | wxWANTS_CHARS);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxPaintDC dc(this);
        Draw(dc);
    });
    // A quick second click comes as a double click: it toggles as well.
    auto click = [this](wxMouseEvent&) {
        SetFocus();
        Toggle();
    };
    Bind(wxEVT_LEFT_DOWN, click);
    Bind(wxEVT_LEFT_DCLICK, click);
    Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_SPACE && !event.HasAnyModifiers())
            Toggle();
        else
            event.Skip();
    });
}

void CGridCheckBox::SetState(wxCheckBoxState state) {
    if (state == wxCHK_UNDETERMINED && !m_threeState) state = wxCHK_UNCHECKED;
    if (state == m_state) return;
    m_state = state;
    Refresh(false);
}

void CGridCheckBox::Toggle() {
    if (m_threeState)
        SetState(m_state == wxCHK_UNCHECKED ? wxCHK_CHECKED
                 : m_state == wxCHK_CHECKED ? wxCHK_UNDETERMINED
                                            : wxCHK_UNCHECKED);
    else
        SetState(m_state == wxCHK_CHECKED ? wxCHK_UNCHECKED : wxCHK_CHECKED);
}

void CGridCheckBox::SetText(const wxString& text) {
    if (text == m_text) return;
    m_text = text;
    Refresh(false);
}

void CGridCheckBox::Draw(wxDC& dc) {
    const wxSize size = GetClientSize();
    GridDcPainter painter(dc, *m_grid);
    const grid::SysColors& sys = m_grid->SysColors();
    painter.FillRect({0, 0, size.x, size.y}, sys.window);
    // The glyph as the grid paints it: flat, the state in its flags.
    unsigned state = grid::kDfcsButtonCheck | grid::kDfcsFlat;
    if (m_state == wxCHK_CHECKED) state |= grid::kDfcsChecked;
    if (m_state == wxCHK_UNDETERMINED) state |= grid::kDfcsChecked | grid::kDfcsInactive;
    PaintGlyphAndText(painter, {0, 0, size.x, size.y}, grid::kDfcButton, state, m_text.utf8_string(), sys.windowText);
}

CGridCheckCell::CGridCheckCell(int column, int row) : m_column(column), m_row(row) {}

CGridCheckCell::~CGridCheckCell() { DestroyWindow(); }

bool CGridCheckCell::IsThreeState() const {
    const long type = m_style & kBsTypeMask;
    return type == kBs3State || type == kBsAuto3State;
}

int CGridCheckCell::Create(long style, GridHost* parent, int id) {
    m_grid = GridOf(parent);
    if (!m_grid) return 0;
    m_style = style;
    auto* box = new CGridCheckBox(m_grid, WindowIdFor(id), IsThreeState());
    box->Disable();
    m_window = box;
    box->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
        // Space is the box's own (it toggles); other keys may be the grid's.
        if (event.GetKeyCode() == WXK_SPACE && !event.HasAnyModifiers()) {
            event.Skip();
            return;
        }
        if (!RouteKeyDown(m_grid, grid::kEditorCheck, event, {})) event.Skip();
    });
    box->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
        if (m_grid) m_grid->ScheduleFocusCheck();
        event.Skip();
    });
    return 1;
}

// The box paints its text in the grid's cell font, the font the grid gives
// its editors; a new font needs only a repaint.
void CGridCheckCell::SetFont(const GridFont* font, bool redraw) {
    if (m_window && font && redraw) m_window->Refresh();
}

int CGridCheckCell::State() const {
    if (!m_window) return m_value;
    switch (m_window->State()) {
        case wxCHK_CHECKED: return 1;
        case wxCHK_UNDETERMINED: return 2;
        default: return 0;
    }
}

void CGridCheckCell::Click(int x, int y) {
    // Only a box that shows takes a click: where the grid paints none, there
    // is nothing to tick.
    if (!m_window || !m_window->IsShown() || !m_shownAt.Contains(x, y)) return;
    m_window->Toggle();
}

void CGridCheckCell::SetModified(int flag) {
    if (!flag) m_value = State();
}

int CGridCheckCell::Enable(int flag) {
    if (m_window) m_window->Enable(flag != 0);
    return 1;
}

int CGridCheckCell::ShowAt(int x, int y, int width, int height) {
    if (!m_window) return 0;
    // Inside the cell: with a text the box fills it, without one it is the
    // 13-pixel glyph, centred where the grid paints it.
    wxRect r;
    if (!m_text.empty()) {
        r = wxRect(x + 2, y + 2, width - 3, height - 3);
    } else {
        int left = x + (width - 16) / 2 + 2;
        if (left - x < 2) left = x + 2;
        r = wxRect(left, y + 2, kCheckBoxSize, height - 3);
    }
    r.width = std::max(1, r.width);
    r.height = std::max(1, r.height);
    m_shownAt = wxRect(r.x - x, r.y - y, r.width, r.height);
    m_window->SetSize(r);
    m_window->Enable();
    m_window->Show();
    m_window->Refresh(false);
    m_window->SetFocus();
    return 1;
}

int CGridCheckCell::Hide() {
    if (!m_window) return 1;
    if (m_grid && wxWindow::FindFocus() == m_window.get()) m_grid->SetFocus();
    m_window->Hide();
    m_window->Move(0, 0);
    return 1;
}

int CGridCheckCell::IsShown() const { return m_window && m_window->IsShown(); }

void CGridCheckCell::SetValue(const std::string& text, int value) {
    m_text = text;
    m_value = value;
    if (!m_window) return;
    m_window->SetText(ToWx(text));
    wxCheckBoxState state = wxCHK_UNCHECKED;
    if (value == 1) state = wxCHK_CHECKED;
    if (value == 2) state = wxCHK_UNDETERMINED;  // two-state boxes take it as unchecked
    m_window->SetState(state);
    m_value = State();
}

void CGridCheckCell::GetValue(std::string& text, int& value) const {
    text = m_window ? FromWx(m_window->Text()) : m_text;
    value = State();
}

int CGridCheckCell::IsModified() const { return State() != m_value; }

int CGridCheckCell::Commit() {
    m_value = State();
    return 1;
}

int CGridCheckCell::DestroyWindow() {
    if (m_window) m_window->Destroy();
    m_window = nullptr;
    return 1;
}

int CGridCheckCell::IsEnabled() const { return m_window && m_window->IsEnabled(); }

// ---- edit box --------------------------------------------------------------

CGridEditCell::CGridEditCell() = default;

CGridEditCell::~CGridEditCell() { DestroyWindow(); }

int CGridEditCell::Create(long style, GridHost* parent, int id) {
    (void)style;  // automatic horizontal scrolling is the toolkit's default
    m_grid = GridOf(parent);
    if (!m_grid) return 0;
    auto* edit = new wxTextCtrl();
    edit->Hide();
    if (!edit->Create(m_grid, WindowIdFor(id), wxString(), wxPoint(0, 0), wxSize(20, 16),
                      wxBORDER_NONE | wxTE_PROCESS_TAB | wxTE_PROCESS_ENTER)) {
        delete edit;
        return 0;
    }
    edit->Hide();
    edit->Disable();
    m_window = edit;
    edit->Bind(wxEVT_KEY_DOWN, &CGridEditCell::OnKeyDown, this);
    edit->Bind(wxEVT_CHAR, &CGridEditCell::OnChar, this);
    edit->Bind(wxEVT_LEFT_DOWN, &CGridEditCell::OnLeftDown, this);
    edit->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
        if (m_grid) m_grid->ScheduleFocusCheck();
        event.Skip();
    });
    return 1;
}

void CGridEditCell::OnLeftDown(wxMouseEvent& event) {
    if (!m_firstClickSelects || !m_window || m_window->IsModified()) {
        m_firstClickSelects = false;
        event.Skip();
        return;
    }
    // The click that makes the cell the user's: the whole text selected, as
    // a click on the cell loads it; the entry places no caret for it.
    m_firstClickSelects = false;
    m_window->SetFocus();
    m_window->SelectAll();
}

void CGridEditCell::OnKeyDown(wxKeyEvent& event) {
    m_firstClickSelects = false;
    grid::Caret caret;
    if (m_window) {
        caret.position = static_cast<int>(m_window->GetInsertionPoint());
        caret.length = static_cast<int>(m_window->GetLastPosition());
    }
    if (!RouteKeyDown(m_grid, grid::kEditorEdit, event, caret)) event.Skip();
}

void CGridEditCell::OnChar(wxKeyEvent& event) {
    const grid::KeyRoute route = grid::RouteEditorChar(grid::kEditorEdit, event.GetKeyCode(), CanUndo());
    switch (route.action) {
        case grid::KeyAction::Post:
            if (m_grid) m_grid->PostKey(route.key, event.ShiftDown(), false);
            break;
        case grid::KeyAction::Undo:
            Undo();
            break;
        case grid::KeyAction::Consume:
            break;
        default:
            event.Skip();
    }
}

void CGridEditCell::SetFont(const GridFont* font, bool redraw) {
    if (!m_window || !font) return;
    m_window->SetFont(font->font);
    if (redraw) m_window->Refresh();
}

void CGridEditCell::SetModified(int flag) {
    if (!m_window) return;
    if (flag)
        m_window->MarkDirty();
    else
        m_window->DiscardEdits();
}

int CGridEditCell::Enable(int flag) {
    if (m_window) m_window->Enable(flag != 0);
    return 1;
}

int CGridEditCell::ShowAt(int x, int y, int width, int height) {
    if (!m_window) return 0;
    m_window->SetSize(x + 2, y + 2, std::max(1, width - 3), std::max(1, height - 3));
    m_window->Enable();
    m_window->Show();
    m_window->SetFocus();
    return 1;
}

int CGridEditCell::Hide() {
    if (!m_window) return 1;
    if (m_grid && wxWindow::FindFocus() == m_window.get()) m_grid->SetFocus();
    m_window->Hide();
    m_window->Move(0, 0);
    return 1;
}

int CGridEditCell::IsShown() const { return m_window && m_window->IsShown(); }

void CGridEditCell::SetValue(const std::string& text, int value) {
    m_text = text;
    m_value = value;
    if (!m_window) return;
    m_window->ChangeValue(ToWx(text));
    m_window->DiscardEdits();
    m_window->SelectAll();
    m_window->ShowPosition(m_window->GetLastPosition());
}

void CGridEditCell::GetValue(std::string& text, int& value) const {
    text = m_window ? FromWx(m_window->GetValue()) : m_text;
    value = m_value;
}

int CGridEditCell::IsModified() const { return m_window && m_window->IsModified(); }

int CGridEditCell::DestroyWindow() {
    if (m_window) m_window->Destroy();
    m_window = nullptr;
    return 1;
}

int CGridEditCell::IsEnabled() const { return m_window && m_window->IsEnabled(); }

int CGridEditCell::CanCut() const { return m_window && m_window->CanCut(); }
int CGridEditCell::CanCopy() const { return m_window && m_window->CanCopy(); }
int CGridEditCell::CanPaste() const { return m_window && m_window->IsEditable() && ClipboardHasText(); }
// The desktop's entry keeps no undo of its own: the editor restores what the
// cell held when it was loaded, which is what editing began from.
int CGridEditCell::CanUndo() const {
    return m_window && (m_window->IsModified() || FromWx(m_window->GetValue()) != m_text);
}
void CGridEditCell::Cut() {
    if (m_window) m_window->Cut();
}
void CGridEditCell::Copy() {
    if (m_window) m_window->Copy();
}
void CGridEditCell::Paste() {
    if (m_window) m_window->Paste();
}
void CGridEditCell::Undo() {
    if (!CanUndo()) return;
    m_window->ChangeValue(ToWx(m_text));
    m_window->DiscardEdits();
    m_window->SelectAll();
}

// ---- combo box -------------------------------------------------------------

wxComboBox* CGridComboEdit::Box() const { return m_combo.Window(); }

grid::Caret CGridComboEdit::Caret() const {
    wxComboBox* box = Box();
    if (!box) return {};
    return {static_cast<int>(box->GetInsertionPoint()), static_cast<int>(box->GetLastPosition())};
}

bool CGridComboEdit::HasSelection() const {
    wxComboBox* box = Box();
    if (!box) return false;
    long from = 0, to = 0;
    box->GetSelection(&from, &to);
    return from != to;
}

void CGridComboEdit::Cut() {
    if (Box()) Box()->Cut();
}
void CGridComboEdit::Copy() {
    if (Box()) Box()->Copy();
}
void CGridComboEdit::Paste() {
    if (Box()) Box()->Paste();
}

CGridComboCell::CGridComboCell() : m_edit(*this) {}

CGridComboCell::~CGridComboCell() { DestroyWindow(); }

int CGridComboCell::Create(long style, GridHost* parent, int id) {
    (void)style;
    m_grid = GridOf(parent);
    if (!m_grid) return 0;
    auto* box = new wxComboBox();
    box->Hide();
    if (!box->Create(m_grid, WindowIdFor(id), wxString(), wxPoint(0, 0), wxSize(40, 18), 0, nullptr,
                     wxCB_DROPDOWN | wxTE_PROCESS_ENTER | wxWANTS_CHARS)) {
        delete box;
        return 0;
    }
    box->Hide();
    box->Disable();
    m_window = box;
    box->Bind(wxEVT_KEY_DOWN, &CGridComboCell::OnKeyDown, this);
    box->Bind(wxEVT_CHAR, &CGridComboCell::OnChar, this);
    box->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
        if (m_grid) m_grid->ScheduleFocusCheck();
        event.Skip();
    });
    box->Bind(wxEVT_COMBOBOX_DROPDOWN, [this](wxCommandEvent& event) {
        if (m_grid) m_grid->SetListDropped(true);
        event.Skip();
    });
    box->Bind(wxEVT_COMBOBOX_CLOSEUP, [this](wxCommandEvent& event) {
        if (m_grid) {
            m_grid->SetListDropped(false);
            m_grid->ScheduleFocusCheck();
        }
        event.Skip();
    });
    return 1;
}

void CGridComboCell::OnKeyDown(wxKeyEvent& event) {
    if (!RouteKeyDown(m_grid, grid::kEditorCombo, event, m_edit.Caret())) event.Skip();
}

void CGridComboCell::OnChar(wxKeyEvent& event) {
    const grid::KeyRoute route = grid::RouteEditorChar(grid::kEditorCombo, event.GetKeyCode(), false);
    switch (route.action) {
        case grid::KeyAction::Post:
            if (m_grid) m_grid->PostKey(route.key, event.ShiftDown(), false);
            break;
        case grid::KeyAction::Consume:
        case grid::KeyAction::Undo:
            break;
        default:
            event.Skip();
    }
}

void CGridComboCell::SetFont(const GridFont* font, bool redraw) {
    if (!m_window || !font) return;
    m_font = font->font;
    m_font.SetPixelSize(wxSize(0, 10));
    m_window->SetFont(m_font);
    if (redraw) m_window->Refresh();
}

std::string CGridComboCell::CurrentText() const { return m_window ? FromWx(m_window->GetValue()) : m_text; }

void CGridComboCell::SetModified(int flag) {
    const std::string text = CurrentText();
    if (!flag)
        m_reference = text;
    else if (text == m_reference)
        m_reference.assign(text.empty() ? 1u : 0u, '_');
}

int CGridComboCell::Enable(int flag) {
    if (m_window) m_window->Enable(flag != 0);
    return 1;
}

int CGridComboCell::ShowAt(int x, int y, int width, int height) {
    if (!m_window) return 0;
    // Inside the current-cell frame, which stays visible around the field.
    m_fieldHeight = std::max(1, height - 3);
    m_window->SetSize(x + 2, y + 2, std::max(1, width - 3), m_fieldHeight);
    m_window->Enable();
    m_window->Show();
    m_window->SetFocus();
    return 1;
}

int CGridComboCell::Hide() {
    if (!m_window) return 1;
    if (m_grid && wxWindow::FindFocus() == m_window.get()) m_grid->SetFocus();
    m_window->Dismiss();
    m_window->Hide();
    m_window->Move(0, 0);
    return 1;
}

int CGridComboCell::IsShown() const { return m_window && m_window->IsShown(); }

void CGridComboCell::SetValue(const std::string& text, int value) {
    if (m_window) {
        if (value == -1) {
            m_window->ChangeValue(ToWx(text));
        } else {
            for (unsigned i = 0, n = m_window->GetCount(); i < n; ++i) {
                if (static_cast<int>(reinterpret_cast<std::intptr_t>(m_window->GetClientData(i))) == value) {
                    m_window->SetSelection(static_cast<int>(i));
                    break;
                }
            }
        }
    }
    m_text = text;
    m_value = value;
    m_reference = CurrentText();
    m_original = m_reference;
}

void CGridComboCell::GetValue(std::string& text, int& value) const {
    text = CurrentText();
    value = -1;
    if (!m_window) {
        value = m_value;
        return;
    }
    const int selection = m_window->GetSelection();
    if (selection != wxNOT_FOUND)
        value = static_cast<int>(reinterpret_cast<std::intptr_t>(m_window->GetClientData(static_cast<unsigned>(selection))));
}

int CGridComboCell::IsModified() const { return CurrentText() != m_reference; }

int CGridComboCell::DestroyWindow() {
    if (m_window) m_window->Destroy();
    m_window = nullptr;
    return 1;
}

int CGridComboCell::IsEnabled() const { return m_window && m_window->IsEnabled(); }

int CGridComboCell::CanCut() const { return m_window && m_edit.HasSelection(); }
int CGridComboCell::CanCopy() const { return m_window && (m_edit.HasSelection() || !CurrentText().empty()); }
int CGridComboCell::CanPaste() const { return m_window && ClipboardHasText(); }
// As the edit box: what the cell held when it was loaded comes back.
int CGridComboCell::CanUndo() const { return m_window && CurrentText() != m_original; }
void CGridComboCell::Cut() { m_edit.Cut(); }
void CGridComboCell::Copy() {
    if (m_edit.HasSelection())
        m_edit.Copy();
    else
        CopyTextToClipboard(CurrentText());
}
void CGridComboCell::Paste() { m_edit.Paste(); }
void CGridComboCell::Undo() {
    if (!CanUndo()) return;
    const std::string original = m_original;
    SetValue(m_text, m_value);
    if (CurrentText() != original) m_window->ChangeValue(ToWx(original));
    m_original = m_reference = original;
}

int CGridComboCell::AddItem(const std::string& text, int data) {
    if (!m_window) return -1;
    return m_window->Append(ToWx(text), reinterpret_cast<void*>(static_cast<std::intptr_t>(data)));
}

void CGridComboCell::ClearList() {
    // The items only; the field's text stays.
    if (m_window) m_window->wxItemContainer::Clear();
}

int CGridComboCell::GetItemCount() const { return m_window ? static_cast<int>(m_window->GetCount()) : 0; }

void CGridComboCell::ShowList(bool show) {
    if (!m_window) return;
    if (show)
        m_window->Popup();
    else
        m_window->Dismiss();
}
