// The grid's keyboard navigation, the editors' key routing and the
// set-current-cell / end-edit protocol, without a display.
#include <gtest/gtest.h>

#include "controls/grid_editor_keys.h"
#include "tests/controls/grid_test_support.h"

using namespace gridtest;
using grid::Key;

namespace {

// Three columns, 50 rows, a client 115 high: the data area shows six rows.
struct NavFixture : ::testing::Test {
    FakeHost host;
    TestGrid grid{&host};

    void SetUp() override {
        for (int i = 0; i < 3; ++i) grid.InsertColumn(60, "col", 5, 0x8025, 0, 0, 0);
        grid.SetRowCount(50, 0);
        host.client = {300, 115};
        grid.RecalcLayout();
    }
    // Current cell as data indices.
    std::pair<int, int> Current() const { return {grid.GetCurrentDataColumn(), grid.GetCurrentDataRow()}; }
    void Go(int column, int row) { ASSERT_EQ(grid.SetCurrentCell(column + 1, row + 1), 1); }
};

TEST_F(NavFixture, KeysMoveTheCurrentCellAndStopAtTheEdges) {
    struct Case {
        int column, row;
        Key key;
        bool shift, ctrl;
        int toColumn, toRow;
    };
    const Case cases[] = {
        {1, 10, Key::Tab, false, false, 2, 10},
        {1, 10, Key::Tab, true, false, 0, 10},
        {2, 10, Key::Tab, false, false, 2, 10},  // no wrapping past the last column
        {0, 10, Key::Tab, true, false, 0, 10},
        {1, 10, Key::Enter, false, false, 1, 11},
        {1, 49, Key::Enter, false, false, 1, 49},  // last row: stays, editor re-activated
        {1, 10, Key::Left, false, false, 0, 10},
        {0, 10, Key::Left, false, false, 0, 10},
        {1, 10, Key::Right, false, false, 2, 10},
        {2, 10, Key::Right, false, false, 2, 10},
        {1, 10, Key::Up, false, false, 1, 9},
        {1, 0, Key::Up, false, false, 1, 0},
        {1, 10, Key::Down, false, false, 1, 11},
        {1, 49, Key::Down, false, false, 1, 49},
        {1, 10, Key::Home, false, false, 0, 10},
        {1, 10, Key::End, false, false, 2, 10},
        {1, 10, Key::PageDown, false, false, 1, 16},
        {1, 10, Key::PageUp, false, false, 1, 4},
        {1, 3, Key::PageUp, false, false, 1, 0},    // not before the first row
        {1, 47, Key::PageDown, false, false, 1, 49},  // the last row when a page would pass it
        {1, 10, Key::PageDown, false, true, 1, 49},
        {1, 10, Key::PageUp, false, true, 1, 0},
        {1, 10, Key::Other, false, false, 1, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "key " << static_cast<int>(c.key) << " from " << c.column << "," << c.row);
        Go(c.column, c.row);
        const bool handled = grid.HandleKey(c.key, c.shift, c.ctrl);
        EXPECT_EQ(handled, c.key != Key::Other);
        EXPECT_EQ(Current(), std::make_pair(c.toColumn, c.toRow));
    }
}

TEST_F(NavFixture, PageKeysMoveAtLeastOneRowInAShortGrid) {
    host.client = {300, 25};  // not even one data row below the header
    grid.RecalcLayout();
    Go(0, 5);
    grid.HandleKey(Key::PageDown, false, false);
    EXPECT_EQ(Current(), std::make_pair(0, 6));
    grid.HandleKey(Key::PageUp, false, false);
    EXPECT_EQ(Current(), std::make_pair(0, 5));
}

TEST_F(NavFixture, EnterOnTheLastRowReactivatesTheEditor) {
    Go(1, 49);
    RecordingEditor* editor = grid.Editor(1);
    ASSERT_NE(editor, nullptr);
    grid.editorLog.clear();
    grid.HandleKey(Key::Enter, false, false);
    EXPECT_EQ(Current(), std::make_pair(1, 49));
    EXPECT_TRUE(editor->shown);
    // Re-activation shows the editor again without reloading it.
    EXPECT_EQ(grid.editorLog, (std::vector<std::string>{"hide", "show"}));
}

TEST_F(NavFixture, MovingTheCurrentCellScrollsItIntoView) {
    Go(0, 20);
    const grid::Rect r = grid.CellRect(0, 20);
    EXPECT_LE(r.bottom, 115);
    EXPECT_GE(r.top + 1, 19);
    Go(0, 2);
    EXPECT_EQ(grid.CellRect(0, 2).top + 1, 19);  // aligned to the top of the data area
    // Scrolling left to a column that lies before the visible part.
    host.client = {100, 115};
    grid.RecalcLayout();
    Go(2, 2);
    EXPECT_LE(grid.CellRect(2, 2).right, 100);
    Go(0, 2);
    EXPECT_EQ(grid.GetScrollX(), 0);
}

TEST(EditorKeys, NavigationGoesToTheGridAndCharactersAreTyped) {
    using grid::KeyAction;
    using grid::KeyRoute;
    const grid::Caret middle{2, 5}, start{0, 5}, end{5, 5}, empty{0, 0};
    struct Case {
        int kind;
        Key key;
        bool shift, ctrl;
        grid::Caret caret;
        KeyRoute route;
    };
    const KeyRoute pass{};
    const Case cases[] = {
        {grid::kEditorEdit, Key::Tab, false, false, middle, {KeyAction::Post, Key::Tab}},
        {grid::kEditorEdit, Key::Enter, false, false, middle, {KeyAction::Post, Key::Enter}},
        {grid::kEditorEdit, Key::Tab, false, true, middle, {KeyAction::Post, Key::Down}},
        {grid::kEditorEdit, Key::Tab, true, true, middle, {KeyAction::Post, Key::Up}},
        {grid::kEditorEdit, Key::Enter, false, true, middle, {KeyAction::Consume, Key::Enter}},
        {grid::kEditorEdit, Key::PageDown, false, false, middle, {KeyAction::Post, Key::PageDown}},
        {grid::kEditorEdit, Key::Home, false, false, middle, {KeyAction::Post, Key::Home}},
        {grid::kEditorEdit, Key::Up, false, false, middle, {KeyAction::Post, Key::Up}},
        {grid::kEditorEdit, Key::Left, false, false, middle, pass},
        {grid::kEditorEdit, Key::Left, false, false, start, {KeyAction::Post, Key::Left}},
        {grid::kEditorEdit, Key::Left, false, false, empty, {KeyAction::Post, Key::Left}},
        {grid::kEditorEdit, Key::Right, false, false, middle, pass},
        {grid::kEditorEdit, Key::Right, false, false, end, {KeyAction::Post, Key::Right}},
        {grid::kEditorEdit, Key::Right, false, false, empty, {KeyAction::Post, Key::Right}},
        {grid::kEditorEdit, Key::Other, false, false, middle, pass},
        {grid::kEditorEdit, Key::Escape, false, false, middle, pass},
        {grid::kEditorCheck, Key::Left, false, false, empty, {KeyAction::Post, Key::Left}},
        {grid::kEditorCheck, Key::End, false, false, empty, {KeyAction::Post, Key::End}},
        {grid::kEditorCheck, Key::Other, false, false, empty, pass},
        {grid::kEditorCombo, Key::Down, false, false, middle, {KeyAction::Post, Key::Down}},
        {grid::kEditorCombo, Key::Down, true, false, middle, pass},  // Shift: the combo's own
        {grid::kEditorCombo, Key::Up, true, false, middle, pass},
        {grid::kEditorCombo, Key::Left, false, false, middle, pass},
        {grid::kEditorCombo, Key::Left, false, false, start, {KeyAction::Post, Key::Left}},
        {grid::kEditorCombo, Key::Right, false, false, end, {KeyAction::Post, Key::Right}},
        {grid::kEditorCombo, Key::PageUp, false, false, middle, {KeyAction::Post, Key::PageUp}},
        {grid::kEditorCombo, Key::Tab, true, false, middle, {KeyAction::Post, Key::Tab}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " key " << static_cast<int>(c.key));
        EXPECT_EQ(grid::RouteEditorKeyDown(c.kind, c.key, c.shift, c.ctrl, c.caret), c.route);
    }

    // Characters whose codes equal navigation key codes elsewhere are typed.
    for (int kind : {grid::kEditorEdit, grid::kEditorCombo})
        for (int ch : {int('%'), int('('), int('!'), int('&'), int('\''), int('"'), int('#'), int('$'), int('a'), 0x4E2D})
            EXPECT_EQ(grid::RouteEditorChar(kind, ch, true), pass) << kind << " " << ch;
    EXPECT_EQ(grid::RouteEditorChar(grid::kEditorEdit, 9, false), (KeyRoute{KeyAction::Post, Key::Tab}));
    EXPECT_EQ(grid::RouteEditorChar(grid::kEditorEdit, 13, false), (KeyRoute{KeyAction::Post, Key::Down}));
    EXPECT_EQ(grid::RouteEditorChar(grid::kEditorEdit, 27, true).action, KeyAction::Undo);
    EXPECT_EQ(grid::RouteEditorChar(grid::kEditorEdit, 27, false).action, KeyAction::Consume);
    EXPECT_EQ(grid::RouteEditorChar(grid::kEditorCombo, 27, true).action, KeyAction::Consume);
    EXPECT_EQ(grid::RouteEditorChar(grid::kEditorCombo, 13, false), (KeyRoute{KeyAction::Post, Key::Down}));
}

// ---- set-current-cell / end-edit ---------------------------------------

TEST_F(NavFixture, TheFirstVisitMakesLoadsAndShowsTheEditor) {
    host.messages.clear();
    EXPECT_EQ(grid.SetCurrentCell(0, 1), 0);  // the fixed column
    EXPECT_EQ(grid.SetCurrentCell(4, 1), 0);
    EXPECT_EQ(grid.SetCurrentCell(1, 51), 0);
    EXPECT_EQ(Current(), std::make_pair(0, 0));
    EXPECT_TRUE(host.messages.empty());

    Go(1, 2);
    RecordingEditor* editor = grid.Editor(1);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->createdId, 0);  // the column was inserted with id 0 and no SetColumnControl
    EXPECT_EQ(grid.editorLog, (std::vector<std::string>{"create", "load:c1r2", "show"}));
    const grid::Rect cell = grid.CellRect(1, 2);
    EXPECT_EQ(editor->shownAt, (grid::Rect{cell.left, cell.top, cell.left + 60, cell.top + 16}));
    EXPECT_EQ(host.MessageIds(), (std::vector<unsigned>{grid::kMsgCurrentCellChanged}));
    EXPECT_EQ(host.messages[0].wparam, 0xABCDu);
    EXPECT_EQ(grid.currentChanges, (std::vector<std::pair<int, int>>{{1, 2}}));
}

TEST_F(NavFixture, AnEditIsCommittedToItsOwnCellWhenTheCellChanges) {
    Go(1, 2);
    grid.Editor(1)->Type("typed");
    grid.editorLog.clear();
    host.messages.clear();
    Go(1, 3);
    EXPECT_EQ(grid.changes, (std::vector<std::pair<int, int>>{{1, 2}}));
    EXPECT_EQ(grid.cells[std::make_pair(1, 2)], "typed");
    EXPECT_EQ(grid.editorLog,
              (std::vector<std::string>{"commit", "unmodified", "hide", "load:c1r3", "show"}));
    EXPECT_EQ(host.MessageIds(),
              (std::vector<unsigned>{grid::kMsgCellTextChanged, grid::kMsgCurrentCellChanged}));
    EXPECT_EQ(host.messages[0].wparam, 1u);
    EXPECT_EQ(host.messages[0].lparam, 2);
}

TEST_F(NavFixture, WhenTheEditCannotEndTheCellStays) {
    Go(1, 2);
    RecordingEditor* editor = grid.Editor(1);
    editor->Type("rejected");
    grid.acceptChanges = false;
    EXPECT_EQ(grid.SetCurrentCell(2, 5), 0);
    EXPECT_EQ(Current(), std::make_pair(1, 2));
    EXPECT_TRUE(editor->modified);  // nothing typed is lost
    EXPECT_TRUE(editor->shown);
    EXPECT_FALSE(grid.HandleKey(Key::Other, false, false));
    EXPECT_EQ(Current(), std::make_pair(1, 2));

    // The commit itself failing is the same.
    grid.acceptChanges = true;
    editor->commitResult = 0;
    EXPECT_EQ(grid.EndEdit(false), 0);
    EXPECT_TRUE(editor->modified);

    // Discarding on failure drops the change and hides the editor.
    EXPECT_EQ(grid.EndEdit(true), 0);
    EXPECT_FALSE(editor->modified);
    EXPECT_FALSE(editor->shown);
    editor->commitResult = 1;
    EXPECT_EQ(grid.SetCurrentCell(2, 5), 1);
}

TEST_F(NavFixture, FocusLeavingTheGridCommitsTheEdit) {
    Go(0, 7);
    grid.Editor(0)->Type("kept");
    grid.OnFocusLeft();
    EXPECT_EQ(grid.changes, (std::vector<std::pair<int, int>>{{0, 7}}));
    EXPECT_EQ(grid.cells[std::make_pair(0, 7)], "kept");
    EXPECT_FALSE(grid.Editor(0)->shown);
    EXPECT_FALSE(grid.IsEditing());

    // Coming back re-activates the cell without a second commit.
    grid.OnFocusGained(false);
    EXPECT_TRUE(grid.Editor(0)->shown);
    EXPECT_EQ(grid.changes.size(), 1u);
}

// Fewer rows than the current one: the edit on the vanished row is dropped
// (a later focus loss commits nothing) and the keys work from the last row.
TEST_F(NavFixture, ShrinkingTheRowsBelowTheCurrentCellDropsItsEditAndClampsIt) {
    struct Case {
        int row, newCount;
        int rowAfter;
        bool editKept;
    };
    const Case cases[] = {
        {40, 10, 9, false}, {9, 10, 9, true}, {3, 10, 3, true}, {49, 1, 0, false}, {20, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.row << " -> " << c.newCount << " rows");
        grid.SetRowCount(50, 0);
        Go(1, c.row);
        grid.Editor(1)->Type("typed");
        grid.changes.clear();
        grid.SetRowCount(c.newCount, 0);
        EXPECT_EQ(Current(), std::make_pair(1, c.rowAfter));
        EXPECT_EQ(grid.IsEditing(), c.editKept);
        grid.OnFocusLeft();
        EXPECT_EQ(grid.changes.size(), c.editKept ? 1u : 0u);
        if (c.newCount > 1) {
            EXPECT_TRUE(grid.HandleKey(Key::Up, false, false));
            EXPECT_EQ(Current(), std::make_pair(1, c.rowAfter - 1));
            EXPECT_TRUE(grid.HandleKey(Key::Down, false, false));
            EXPECT_EQ(Current(), std::make_pair(1, c.rowAfter));
        }
    }
}

TEST_F(NavFixture, AnEditSurvivesScrollingAndLandsOnItsRow) {
    Go(0, 3);
    grid.Editor(0)->Type("scrolled");
    grid.OnScroll((CGridCoreBase::kPageDown << 8) | 0xFF, 0, true);
    EXPECT_FALSE(grid.Editor(0)->shown);
    EXPECT_TRUE(grid.IsEditing());
    EXPECT_TRUE(grid.changes.empty());
    // The current cell paints the edited text meanwhile.
    RecordingPainter p;
    grid.OnScroll((CGridCoreBase::kTop << 8) | 0xFF, 0, true);
    grid.Paint(p, {0, 0, 300, 115});
    EXPECT_NE(p.FindText("scrolled"), nullptr);
    Go(2, 30);
    EXPECT_EQ(grid.changes, (std::vector<std::pair<int, int>>{{0, 3}}));
    EXPECT_EQ(grid.cells[std::make_pair(0, 3)], "scrolled");
}

TEST_F(NavFixture, OwnersCanEndOrCancelTheEditBeforeMovingRows) {
    Go(0, 4);
    grid.Editor(0)->Type("saved");
    EXPECT_TRUE(grid.IsEditing());
    EXPECT_EQ(grid.EndEdit(), 1);
    EXPECT_EQ(grid.cells[std::make_pair(0, 4)], "saved");

    grid.OnFocusGained(false);
    grid.Editor(0)->Type("dropped");
    grid.CancelEdit();
    EXPECT_FALSE(grid.IsEditing());
    std::string text;
    int value = 0;
    grid.Editor(0)->GetValue(text, value);
    EXPECT_EQ(text, "saved");  // reloaded from the cell
    Go(0, 5);
    EXPECT_EQ(grid.changes.size(), 1u);
}

// The owner changes the rows under an unchanged current cell (a delete, an
// insert, a reload, a filter) and repaints or selects the cell again: the
// editor shows the row that is there now, unless it holds a change being
// typed, which is the owner's to end or cancel first.
TEST_F(NavFixture, RowsChangingUnderTheCurrentCellReloadItsEditor) {
    Go(1, 2);
    RecordingEditor* editor = grid.Editor(1);
    const grid::Rect all{0, 0, 300, 115};
    auto painted = [&](const std::string& text) {
        RecordingPainter p;
        grid.Paint(p, all);
        return p.FindText(text) != nullptr;
    };
    auto shown = [&] {
        std::string text;
        int value = 0;
        editor->GetValue(text, value);
        return text;
    };

    grid.cells[{1, 2}] = "next line";  // the line below moved up
    grid.editorLog.clear();
    EXPECT_TRUE(painted("next line"));
    EXPECT_FALSE(painted("c1r2"));
    EXPECT_EQ(grid.editorLog, (std::vector<std::string>{"load:next line"}));  // once

    grid.cells[{1, 2}] = "reloaded";  // selected again by the owner, before a paint
    Go(1, 2);
    EXPECT_EQ(shown(), "reloaded");
    grid.values[{1, 2}] = 1;  // a value alone counts as well
    EXPECT_TRUE(painted("reloaded"));
    EXPECT_EQ(grid.editorLog.back(), "load:reloaded");

    editor->Type("typed");
    grid.cells[{1, 2}] = "filtered";
    EXPECT_TRUE(painted("typed"));
    EXPECT_FALSE(painted("filtered"));
    Go(1, 2);  // the change lands on its cell, then the cell shows it
    EXPECT_EQ(grid.cells[std::make_pair(1, 2)], "typed");
    EXPECT_EQ(shown(), "typed");
}

// A check editor goes only where the grid paints a check box: on a cell
// painted without one it is not shown and a click changes nothing.
TEST_F(NavFixture, ACheckEditorStaysOffCellsWithoutABox) {
    const int column = grid.InsertColumn(30, "复核", 5, 0x8025, grid::kDfcButton, grid::kDfcsFlat, 0);
    grid.SetColumnControl(column, grid::kEditorCheck, 0x40008003, 0);
    grid.noGlyph.insert({column, 4});
    grid.RecalcLayout();
    for (const int row : {3, 4, 3}) {
        SCOPED_TRACE(row);
        grid.editorLog.clear();
        const grid::Rect cell = grid.CellRect(column, row);
        grid.OnLButtonDown(cell.left + 15, cell.top + 8);
        ASSERT_EQ(Current(), std::make_pair(column, row));
        const bool box = row == 3;
        EXPECT_EQ(grid.Editor(column)->shown, box);
        EXPECT_EQ(grid.editorLog.back(), box ? "click:15,8" : "hide");
        EXPECT_EQ(grid.EditorTakesCell(column, row), box);
    }
    Go(1, 4);
    EXPECT_TRUE(grid.Editor(1)->shown);  // other editors take every cell
    EXPECT_TRUE(grid.EditorTakesCell(1, 4));
}

TEST_F(NavFixture, ClickingTheCurrentCellPassesTheClickToItsEditor) {
    const grid::Rect cell = grid.CellRect(1, 1);
    grid.OnLButtonDown(cell.left + 10, cell.top + 5);
    EXPECT_EQ(Current(), std::make_pair(1, 1));
    EXPECT_EQ(grid.editorLog.back(), "click:10,5");
    EXPECT_EQ(grid.GetClickCode(), 9);
}

TEST_F(NavFixture, EditCommandsGoToTheCurrentEditor) {
    EXPECT_EQ(grid.CanEditCommand(grid::EditCommand::Copy), 0);  // no editor yet
    struct CopyEditor : RecordingEditor {
        using RecordingEditor::RecordingEditor;
        int CanCopy() const override { return 1; }
        void Copy() override { ++copies; }
        int copies = 0;
    };
    auto* editor = new CopyEditor(nullptr);
    grid.SetColumnControlObject(0, editor);
    EXPECT_EQ(grid.CanEditCommand(grid::EditCommand::Copy), 1);
    EXPECT_EQ(grid.CanEditCommand(grid::EditCommand::Paste), 0);
    grid.DoEditCommand(grid::EditCommand::Copy);
    EXPECT_EQ(editor->copies, 1);
}

}  // namespace
