#pragma once
// How the in-cell editors route keys: navigation goes back to the grid so
// that the keyboard moves through the grid while a cell is being edited;
// everything else is left to the editor. Only key-down events carry
// navigation keys: a typed character ('%', '(', '!', ...) is always typed.
#include "controls/grid_types.h"

namespace grid {

enum class KeyAction {
    Pass,     // the editor handles the key itself
    Post,     // posted to the grid as `key`
    Consume,  // swallowed
    Undo,     // the editor undoes its last change
};

struct KeyRoute {
    KeyAction action = KeyAction::Pass;
    Key key = Key::Other;
    bool operator==(const KeyRoute&) const = default;
};

// Caret position and text length of an edit, for Left and Right.
struct Caret {
    int position = 0;
    int length = 0;
};

// A key pressed in an editor of a kind (EditorKind). Tab and Enter go to the
// grid's key handler; with Ctrl, Tab becomes Up (with Shift) or Down.
KeyRoute RouteEditorKeyDown(int kind, Key key, bool shift, bool ctrl, Caret caret);

// A character typed into an edit or combo editor (Tab 9, Enter 13, Esc 27).
KeyRoute RouteEditorChar(int kind, int ch, bool canUndo);

}  // namespace grid
