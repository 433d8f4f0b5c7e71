#pragma once
// The in-cell editors of the grid on the toolkit's own controls: a check box,
// an edit box and an editable combo box. Each is created as a hidden child of
// the grid the first time a cell of its column becomes current, and is moved
// over whichever cell of the column is current. Navigation keys go back to the
// grid, so the keyboard moves through the grid while a cell is edited.
#include <string>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/control.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include "controls/grid_cell_control.h"
#include "controls/grid_editor_keys.h"

class CZYKGridCtrl;

// Puts a text on the clipboard. Returns 0 for an empty text or when the
// clipboard cannot be opened or refuses it, else 1.
int CopyTextToClipboard(const std::string& text);

// The key of a key-down event, as the grid knows keys.
grid::Key GridKeyFromWx(int keyCode);

// The check editor's window. The toolkit's own check box cannot be made as
// small as a grid cell (it grows to its indicator's size, and squeezed into
// the cell it shows no tick), so the editor draws its box the way the grid
// draws its check cells: the 13-pixel glyph in its true state, the cell's
// text after it. A left click or Space toggles it (three states cycle).
class CGridCheckBox : public wxControl {
public:
    CGridCheckBox(CZYKGridCtrl* grid, wxWindowID id, bool threeState);

    wxCheckBoxState State() const { return m_state; }
    void SetState(wxCheckBoxState state);
    void Toggle();
    void SetText(const wxString& text);
    const wxString& Text() const { return m_text; }

    // Paints the box onto `dc`, which covers the window's client area.
    void Draw(wxDC& dc);

private:
    CZYKGridCtrl* m_grid;
    bool m_threeState;
    wxCheckBoxState m_state = wxCHK_UNCHECKED;
    wxString m_text;
};

class CGridCheckCell : public CGridCellControl {
public:
    CGridCheckCell(int column, int row);
    ~CGridCheckCell() override;

    unsigned char Kind() const override { return grid::kEditorCheck; }
    void Click(int x, int y) override;
    void SetFont(const GridFont* font, bool redraw) override;
    void SetModified(int flag) override;
    int Enable(int flag) override;
    int Create(long style, GridHost* parent, int id) override;
    int ShowAt(int x, int y, int width, int height) override;
    int Hide() override;
    int IsShown() const override;
    void SetValue(const std::string& text, int value) override;
    void GetValue(std::string& text, int& value) const override;
    int IsModified() const override;
    int Commit() override;
    int DestroyWindow() override;
    int IsEnabled() const override;

    CGridCheckBox* Window() const { return m_window.get(); }
    int Column() const { return m_column; }
    int Row() const { return m_row; }

private:
    int State() const;
    bool IsThreeState() const;

    wxWeakRef<CGridCheckBox> m_window;
    CZYKGridCtrl* m_grid = nullptr;
    long m_style = 0;
    int m_column;
    int m_row;
    wxRect m_shownAt;  // the box relative to the cell it was last shown over
};

class CGridEditCell : public CGridCellControl {
public:
    CGridEditCell();
    ~CGridEditCell() override;

    unsigned char Kind() const override { return grid::kEditorEdit; }
    void SetFont(const GridFont* font, bool redraw) override;
    void SetModified(int flag) override;
    int Enable(int flag) override;
    int Create(long style, GridHost* parent, int id) override;
    int ShowAt(int x, int y, int width, int height) override;
    void SetFirstClickSelects(bool on) override { m_firstClickSelects = on; }
    int Hide() override;
    int IsShown() const override;
    void SetValue(const std::string& text, int value) override;
    void GetValue(std::string& text, int& value) const override;
    int IsModified() const override;
    int DestroyWindow() override;
    int IsEnabled() const override;
    int CanCut() const override;
    int CanCopy() const override;
    int CanPaste() const override;
    int CanUndo() const override;
    void Cut() override;
    void Copy() override;
    void Paste() override;
    void Undo() override;

    wxTextCtrl* Window() const { return m_window.get(); }

private:
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnLeftDown(wxMouseEvent& event);

    wxWeakRef<wxTextCtrl> m_window;
    CZYKGridCtrl* m_grid = nullptr;
    bool m_firstClickSelects = false;
};

class CGridComboCell;

// The edit part of the combo editor: caret, selection and edit commands.
class CGridComboEdit {
public:
    explicit CGridComboEdit(CGridComboCell& combo) : m_combo(combo) {}

    grid::Caret Caret() const;
    bool HasSelection() const;
    void Cut();
    void Copy();
    void Paste();

private:
    wxComboBox* Box() const;
    CGridComboCell& m_combo;
};

class CGridComboCell : public CGridCellControl {
public:
    CGridComboCell();
    ~CGridComboCell() override;

    unsigned char Kind() const override { return grid::kEditorCombo; }
    void SetFont(const GridFont* font, bool redraw) override;
    void SetModified(int flag) override;
    int Enable(int flag) override;
    int Create(long style, GridHost* parent, int id) override;
    int ShowAt(int x, int y, int width, int height) override;
    int Hide() override;
    int IsShown() const override;
    void SetValue(const std::string& text, int value) override;
    void GetValue(std::string& text, int& value) const override;
    int IsModified() const override;
    int DestroyWindow() override;
    int IsEnabled() const override;
    int CanCut() const override;
    int CanCopy() const override;
    int CanPaste() const override;
    int CanUndo() const override;
    void Cut() override;
    void Copy() override;
    void Paste() override;
    void Undo() override;

    // The list: items with their data value.
    int AddItem(const std::string& text, int data);
    void ClearList();
    int GetItemCount() const;
    // Drops or closes the list.
    void ShowList(bool show);

    wxComboBox* Window() const { return m_window.get(); }
    CGridComboEdit& Edit() { return m_edit; }
    const std::string& ReferenceText() const { return m_reference; }

private:
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    std::string CurrentText() const;

    wxWeakRef<wxComboBox> m_window;
    CZYKGridCtrl* m_grid = nullptr;
    wxFont m_font;
    CGridComboEdit m_edit;
    std::string m_reference;
    std::string m_original;  // the text as loaded: what Undo restores
    int m_fieldHeight = 0;
};
