#include "controls/grid_editor_keys.h"

namespace grid {

namespace {

bool IsNavigation(Key key) {
    switch (key) {
        case Key::Tab:
        case Key::Enter:
        case Key::PageUp:
        case Key::PageDown:
        case Key::End:
        case Key::Home:
        case Key::Left:
        case Key::Up:
        case Key::Right:
        case Key::Down:
            return true;
        default:
            return false;
    }
}

KeyRoute Post(Key key) { return {KeyAction::Post, key}; }

}  // namespace

KeyRoute RouteEditorKeyDown(int kind, Key key, bool shift, bool ctrl, Caret caret) {
    if (ctrl && key == Key::Tab) key = shift ? Key::Up : Key::Down;
    else if (!ctrl && (key == Key::Tab || key == Key::Enter))
        return Post(key);

    const bool atStart = caret.length == 0 || caret.position <= 0;
    const bool atEnd = caret.length == 0 || caret.position >= caret.length;
    switch (kind) {
        case kEditorCheck:
            return IsNavigation(key) ? Post(key) : KeyRoute{};
        case kEditorEdit:
            switch (key) {
                case Key::Tab:
                case Key::Enter:
                    return {KeyAction::Consume, key};
                case Key::PageUp:
                case Key::PageDown:
                case Key::End:
                case Key::Home:
                case Key::Up:
                case Key::Down:
                    return Post(key);
                case Key::Left:
                    return atStart ? Post(key) : KeyRoute{};
                case Key::Right:
                    return atEnd ? Post(key) : KeyRoute{};
                default:
                    return {};
            }
        case kEditorCombo:
            switch (key) {
                case Key::Tab:
                case Key::Enter:
                    return {KeyAction::Consume, key};
                case Key::PageUp:
                case Key::PageDown:
                case Key::End:
                case Key::Home:
                    return Post(key);
                case Key::Up:
                case Key::Down:
                    return shift ? KeyRoute{} : Post(key);
                case Key::Left:
                    return atStart ? Post(key) : KeyRoute{};
                case Key::Right:
                    return atEnd ? Post(key) : KeyRoute{};
                default:
                    return {};
            }
        default:
            return {};
    }
}

KeyRoute RouteEditorChar(int kind, int ch, bool canUndo) {
    if (kind != kEditorEdit && kind != kEditorCombo) return {};
    switch (ch) {
        case 9:
            return Post(Key::Tab);
        case 13:
            return Post(Key::Down);
        case 27:
            if (kind == kEditorEdit && canUndo) return {KeyAction::Undo, Key::Escape};
            return {KeyAction::Consume, Key::Escape};
        default:
            return {};
    }
}

}  // namespace grid
