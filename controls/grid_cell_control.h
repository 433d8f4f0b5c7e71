#pragma once
// The interface through which the grid drives an in-cell editor. Alone it is
// the value holder: an editor without a window that keeps a text and a value.
// The edit, check and combo editors of the window side implement it on top of
// the toolkit's controls.
#include <string>

#include "controls/grid_types.h"

struct GridCellColors;
struct GridFont;
class GridHost;

class CGridCellControl {
public:
    CGridCellControl() = default;
    virtual ~CGridCellControl() = default;
    CGridCellControl(const CGridCellControl&) = delete;
    CGridCellControl& operator=(const CGridCellControl&) = delete;

    // Which kind this editor is (grid::EditorKind).
    virtual unsigned char Kind() const { return grid::kEditorValue; }

    // A click on the current cell, relative to the cell's top-left corner.
    virtual void Click(int x, int y) { (void)x, (void)y; }
    virtual void SetFont(const GridFont* font, bool redraw) { (void)font, (void)redraw; }
    virtual void SetModified(int flag) { (void)flag; }
    virtual int Enable(int flag) { (void)flag; return 1; }
    // Creates the window as a child of the grid behind `parent`.
    virtual int Create(long style, GridHost* parent, int id) { (void)style, (void)parent, (void)id; return 1; }
    // The second creation entry: no window is made.
    virtual int CreateWithoutWindow(long style, GridHost* parent, int id) {
        (void)style, (void)parent, (void)id;
        return 1;
    }
    // Moves over a cell rectangle, enables, shows and focuses the editor.
    virtual int ShowAt(int x, int y, int width, int height) { (void)x, (void)y, (void)width, (void)height; return 1; }
    // The editor came up over its cell without the user's click on the cell
    // (the keys moved there, or its owner made it current again after the
    // rows changed): the user's first click into it is then the click that
    // makes the cell current, and selects the whole text as such a click does
    // instead of placing the caret. Typing ends it.
    virtual void SetFirstClickSelects(bool on) { (void)on; }
    // Takes the focus away, hides and parks the window.
    virtual int Hide() { return 1; }
    virtual int IsShown() const { return 0; }
    // Loads a cell.
    virtual void SetValue(const std::string& text, int value) {
        m_text = text;
        m_value = value;
    }
    // Reads the edited cell.
    virtual void GetValue(std::string& text, int& value) const {
        text = m_text;
        value = m_value;
    }
    virtual int IsModified() const { return 0; }
    // Accepts the edited value.
    virtual int Commit() { return 1; }
    virtual int DestroyWindow() { return 1; }
    virtual int IsEnabled() const { return 0; }
    virtual int CanCut() const { return 0; }
    virtual int CanCopy() const { return 0; }
    virtual int CanPaste() const { return 0; }
    virtual int CanUndo() const { return 0; }
    virtual void Cut() {}
    virtual void Copy() {}
    virtual void Paste() {}
    virtual void Undo() {}

    // The grid's current-cell frame settings (given at creation).
    void SetFrameSettings(const GridCellColors* frame) { m_frame = frame; }
    const GridCellColors* FrameSettings() const { return m_frame; }

protected:
    const GridCellColors* m_frame = nullptr;
    std::string m_text;
    int m_value = 0;
};
