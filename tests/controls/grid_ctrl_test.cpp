// The grid window under a display: 200 rows with check, edit and combo
// editors, typed into through the X server's test extension, a column
// resized by dragging, scrolling, and a screenshot in screens/grid.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <filesystem>
#include <string>
#include <vector>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/stopwatch.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "controls/grid_cell_controls.h"
#include "controls/grid_ctrl.h"
#include "platform/ui/colour.h"
#include "platform/ui/messages.h"

#include "tests/support/fixture_paths.h"
#include "tests/support/window_test_util.h"

namespace {

constexpr int kRows = 200;
constexpr int kColumns = 10;

// Handles pending X, toolkit and queued events for a while, through a loop
// of its own so that simulated input is read back as it is typed.
void Pump(int ms = 60) {
    static wxGUIEventLoop* loop = new wxGUIEventLoop;
    wxEventLoopActivator activate(loop);
    wxStopWatch watch;
    do {
        loop->YieldFor(wxEVT_CATEGORY_ALL);
        wxTheApp->ProcessIdle();
        wxMilliSleep(5);
    } while (watch.Time() < ms);
    loop->YieldFor(wxEVT_CATEGORY_ALL);
}

// The dialog side: records the grid's messages.
class OwnerPanel : public wxPanel, public platform::ui::MessageReceiver {
public:
    explicit OwnerPanel(wxWindow* parent) : wxPanel(parent) {}
    struct Message {
        unsigned id;
        std::uintptr_t wparam;
        std::intptr_t lparam;
        int clickCode;
    };
    std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) override {
        const int code = id == grid::kMsgGridNotify && wparam == grid::kGridNotifyTag ? *reinterpret_cast<int*>(lparam) : -1;
        messages.push_back({id, wparam, lparam, code});
        return 0;
    }
    int Count(unsigned id) const {
        int n = 0;
        for (const Message& m : messages) n += m.id == id;
        return n;
    }
    std::vector<Message> messages;
};

// An order-table-like grid: a check column, an edit column, a combo column
// and plain text columns, over a small model.
class DemoGrid : public CZYKGridCtrl {
public:
    DemoGrid() {
        InsertColumn(30, "复核", 5, 0x8025, grid::kDfcButton, grid::kDfcsFlat, 0);
        SetColumnControl(0, grid::kEditorCheck, 0x40008003, 0);
        InsertColumn(120, "名称", 4 | grid::kDtSingleLine, 0x8025, 0, 0, 0);
        SetColumnControl(1, grid::kEditorEdit, 0x40000080, 0);
        InsertColumn(90, "颜色", 5, 0x8025, 0, 0, 0);
        SetColumnControl(2, grid::kEditorCombo, 0x40200042, 0);
        const char* captions[] = {"单价", "数量", "单位", "合价", "尺码", "代码", "备注"};
        for (const char* c : captions) {
            const int column = InsertColumn(70, c, 6, 0x8025, 0, 0, 0);
            SetColumnControl(column, grid::kEditorEdit, 0x40000080, 0);
        }
        SetColumnColor(1, 0xFF0000);
        SetColumnColor(3, 0x000080);
        SetDefaultCellMetrics(999, 36);
        for (int r = 0; r < kRows; ++r) {
            auto& row = text[static_cast<size_t>(r)];
            row[1] = "服饰 " + std::to_string(r + 1);
            row[2] = kColours[r % 3];
            for (int c = 3; c < kColumns; ++c) row[static_cast<size_t>(c)] = std::to_string((r + 1) * c);
            checks[static_cast<size_t>(r)] = r % 4 == 0 ? 1 : 0;
        }
    }

    GridCellText GetCellText(int column, int row) const override {
        if (row < 0 || row >= kRows || column < 0 || column >= kColumns) return {};
        if (column == 0) return {"", checks[static_cast<size_t>(row)]};
        if (column == 2) {
            const std::string& t = text[static_cast<size_t>(row)][2];
            for (int i = 0; i < 3; ++i)
                if (t == kColours[i]) return {t, i};
            return {t, -1};
        }
        return {text[static_cast<size_t>(row)][static_cast<size_t>(column)], -1};
    }

    // The check column shows each row's value as its glyph state.
    GridCellFormat GetCellFormat(int column, int row) const override {
        GridCellFormat f = CZYKGridCtrl::GetCellFormat(column, row);
        if (column == 0 && row >= 0 && row < kRows && checks[static_cast<size_t>(row)] == 1)
            f.glyphState |= grid::kDfcsChecked;
        return f;
    }

    int OnCellTextChanged(int column, int row) override {
        CGridCellControl* editor = GetColumnControl(column);
        if (!editor || row < 0 || row >= kRows) return 0;
        std::string t;
        int value = 0;
        editor->GetValue(t, value);
        if (column == 0)
            checks[static_cast<size_t>(row)] = value;
        else
            text[static_cast<size_t>(row)][static_cast<size_t>(column)] = t;
        return CZYKGridCtrl::OnCellTextChanged(column, row);
    }

    CGridCellControl* CreateCellControl(int column, int row, long style, int id) override {
        CGridCellControl* editor = CZYKGridCtrl::CreateCellControl(column, row, style, id);
        if (auto* combo = dynamic_cast<CGridComboCell*>(editor)) {
            combo->ClearList();
            for (int i = 0; i < 3; ++i) combo->AddItem(kColours[i], i);
        }
        return editor;
    }

    static constexpr const char* kColours[3] = {"红色", "藏青", "米白"};
    std::array<std::array<std::string, kColumns>, kRows> text;
    std::array<int, kRows> checks{};
};

// The X server's root window as an image (native controls and dropped lists
// included), or the grid's own painting where there is no X library.
wxImage GrabScreen(const wxRect& area, CZYKGridCtrl* grid) {
    wxImage image = testsupport::GrabScreenArea(area);
    if (image.IsOk()) return image;
    wxBitmap bitmap(grid->GetClientSize());
    wxMemoryDC dc(bitmap);
    grid->Draw(dc, wxRect(grid->GetClientSize()));
    dc.SelectObject(wxNullBitmap);
    return bitmap.ConvertToImage();
}

struct GridWindow : ::testing::Test {
    wxFrame* frame = nullptr;
    OwnerPanel* owner = nullptr;
    DemoGrid* grid = nullptr;
    wxTextCtrl* outside = nullptr;

    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, "grid", wxPoint(0, 0), wxSize(820, 520), wxBORDER_NONE);
        owner = new OwnerPanel(frame);
        outside = new wxTextCtrl(owner, wxID_ANY, "", wxPoint(10, 480), wxSize(200, 28));
        grid = new DemoGrid;
        ASSERT_TRUE(grid->Create(0, 0x50300004, wxRect(10, 10, 800, 460), owner, 1005));
        grid->SetRowCount(kRows, 1);
        grid->RecalcLayout();
        frame->Show();
        frame->Raise();
        Pump(300);
    }
    void TearDown() override {
        frame->Destroy();
        Pump(50);
    }

    // Mouse events straight to the grid, in client coordinates.
    void Mouse(wxEventType type, int x, int y, bool leftDown) {
        wxMouseEvent event(type);
        event.SetEventObject(grid);
        event.SetPosition(wxPoint(x, y));
        event.m_leftDown = leftDown;
        grid->GetEventHandler()->ProcessEvent(event);
        Pump(20);
    }
    void Click(int x, int y) {
        Mouse(wxEVT_MOTION, x, y, false);
        Mouse(wxEVT_LEFT_DOWN, x, y, true);
        Mouse(wxEVT_LEFT_UP, x, y, false);
    }
    void ClickCell(int column, int row) {
        const grid::Rect r = grid->CellRect(column, row);
        Click(r.left + r.Width() / 2, r.top + r.Height() / 2);
    }
    // Real key presses through the X server, to whatever has the focus.
    void Type(const char* text) {
        wxUIActionSimulator sim;
        sim.Text(text);
        Pump(80);
    }
    void Key(int keyCode, int modifiers = wxMOD_NONE) {
        wxUIActionSimulator sim;
        sim.Char(keyCode, modifiers);
        Pump(80);
    }
    // A real click through the X server at a point of the grid's client area.
    void XClick(int x, int y) {
        wxUIActionSimulator sim;
        sim.MouseMove(grid->ClientToScreen(wxPoint(x, y)));
        Pump(40);
        sim.MouseClick();
        Pump(150);
    }
    void XClickCell(int column, int row) {
        const grid::Rect r = grid->CellRect(column, row);
        XClick(r.left + r.Width() / 2, r.top + r.Height() / 2);
    }
    CGridEditCell* EditCell(int column) const { return dynamic_cast<CGridEditCell*>(grid->GetColumnControl(column)); }
    std::pair<int, int> Current() const { return {grid->GetCurrentDataColumn(), grid->GetCurrentDataRow()}; }
};

TEST_F(GridWindow, TypingIntoCellsCommitsThemAndNavigates) {
    ASSERT_EQ(owner->Count(grid::kMsgRowCountChanged), 1);
    for (const auto& m : owner->messages)
        if (m.id == grid::kMsgRowCountChanged) {
            EXPECT_EQ(m.wparam, 1005u);  // the window's id
            EXPECT_EQ(m.lparam, kRows);
        }

    ClickCell(1, 0);
    ASSERT_EQ(Current(), std::make_pair(1, 0));
    CGridEditCell* edit = EditCell(1);
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(edit->Window()->IsShown());
    ASSERT_EQ(wxWindow::FindFocus(), edit->Window());
    EXPECT_EQ(owner->messages.back().id, grid::kMsgGridNotify);
    EXPECT_EQ(owner->messages.back().clickCode, 9);

    Type("ab%(!");
    EXPECT_EQ(edit->Window()->GetValue(), "ab%(!");
    EXPECT_TRUE(grid->IsEditing());
    Key(WXK_RETURN);
    EXPECT_EQ(Current(), std::make_pair(1, 1));
    EXPECT_EQ(grid->text[0][1], "ab%(!");
    EXPECT_EQ(owner->Count(grid::kMsgCellTextChanged), 1);

    // Tab to the combo column, then back with Left at the caret's start.
    Key(WXK_TAB);
    EXPECT_EQ(Current(), std::make_pair(2, 1));
    Key(WXK_TAB, wxMOD_SHIFT);
    EXPECT_EQ(Current(), std::make_pair(1, 1));
    Key(WXK_HOME);
    EXPECT_EQ(Current(), std::make_pair(0, 1));
}

TEST_F(GridWindow, DraggingAHeaderEdgeResizesTheColumn) {
    const int width = grid->GetColumnValue(1);
    const int edge = grid->ColumnLeft(1) + width;
    const int y = grid->GetRowHeight() / 2;
    Mouse(wxEVT_MOTION, edge - 1, y, false);
    ASSERT_TRUE(grid->IsResizeArmed());
    Mouse(wxEVT_LEFT_DOWN, edge - 1, y, true);
    ASSERT_TRUE(grid->IsResizing());
    Mouse(wxEVT_MOTION, edge + 20, y, true);
    Mouse(wxEVT_MOTION, edge + 40, y, true);
    Mouse(wxEVT_LEFT_UP, edge + 40, y, false);
    EXPECT_FALSE(grid->IsResizing());
    EXPECT_EQ(grid->GetColumnValue(1), width + 40);
    EXPECT_EQ(owner->Count(grid::kMsgColumnResized), 1);
    EXPECT_FALSE(grid->HasCapture());
    // A header click tells the owner with code 0 and moves nothing.
    const auto before = Current();
    Click(grid->ColumnLeft(4) + 10, y);
    EXPECT_EQ(Current(), before);
    EXPECT_EQ(owner->messages.back().clickCode, 0);
}

TEST_F(GridWindow, ScrollsLineByLineAndToTheLastRow) {
    const int step = grid->GetDataRowHeight();
    auto scroll = [&](wxEventType type, int position = 0) {
        wxScrollWinEvent event(type, position, wxVERTICAL);
        event.SetEventObject(grid);
        grid->GetEventHandler()->ProcessEvent(event);
        Pump(20);
    };
    ASSERT_TRUE(grid->HasVerticalBar());
    for (int i = 1; i <= 5; ++i) {
        scroll(wxEVT_SCROLLWIN_LINEDOWN);
        EXPECT_EQ(grid->GetScrollY(), i * step);
    }
    scroll(wxEVT_SCROLLWIN_PAGEDOWN);
    const int page = grid->GetPageSize().height - grid->GetRowHeight();
    EXPECT_EQ(grid->GetScrollY(), 5 * step + page);
    scroll(wxEVT_SCROLLWIN_PAGEUP);
    EXPECT_EQ(grid->GetScrollY(), 5 * step);
    scroll(wxEVT_SCROLLWIN_BOTTOM);
    EXPECT_EQ(grid->GetScrollY(), grid->MaxScrollY());
    EXPECT_LE(grid->CellRect(0, kRows - 1).bottom, grid->GetClientSize().y);
    EXPECT_EQ(grid->GetScrollPos(wxVERTICAL), grid->GetScrollY());

    // The keyboard scrolls the current cell into view.
    scroll(wxEVT_SCROLLWIN_TOP);
    ClickCell(3, 0);
    Key(WXK_END, wxMOD_NONE);
    EXPECT_EQ(Current(), std::make_pair(kColumns - 1, 0));
    EXPECT_LE(grid->CellRect(kColumns - 1, 0).right, grid->GetClientSize().x);
    Key(WXK_PAGEDOWN, wxMOD_CONTROL);
    EXPECT_EQ(Current(), std::make_pair(kColumns - 1, kRows - 1));
    EXPECT_EQ(grid->GetScrollY(), grid->MaxScrollY());
}

TEST_F(GridWindow, EditorsCommitWhenFocusLeavesAndOnNavigation) {
    // Edit box: focus moving to a control outside the grid commits.
    ClickCell(4, 3);
    Type("77");
    outside->SetFocus();
    Pump(120);
    EXPECT_EQ(grid->text[3][4], "77");
    EXPECT_FALSE(EditCell(4)->Window()->IsShown());
    EXPECT_FALSE(grid->IsEditing());

    // Check box: a click on the cell toggles it, moving on commits.
    ASSERT_EQ(grid->checks[2], 0);
    ClickCell(0, 2);
    auto* check = dynamic_cast<CGridCheckCell*>(grid->GetColumnControl(0));
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->Window()->IsShown());
    EXPECT_TRUE(check->IsModified());
    Key(WXK_DOWN);
    EXPECT_EQ(Current(), std::make_pair(0, 3));
    EXPECT_EQ(grid->checks[2], 1);
    Key(WXK_SPACE);  // the toolkit's own toggle
    Key(WXK_UP);
    EXPECT_EQ(grid->checks[3], 1);

    // Combo box: typed text is committed; its list holds the items.
    ClickCell(2, 5);
    auto* combo = dynamic_cast<CGridComboCell*>(grid->GetColumnControl(2));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetItemCount(), 3);
    std::string text;
    int value = 0;
    combo->GetValue(text, value);
    EXPECT_EQ(text, grid->text[5][2]);
    EXPECT_EQ(value, 5 % 3);
    combo->Window()->SelectAll();
    Type("navy");
    EXPECT_TRUE(combo->IsModified());
    Key(WXK_RETURN);
    EXPECT_EQ(grid->text[5][2], "navy");
    EXPECT_EQ(Current(), std::make_pair(2, 6));
}

// What the X server shows of a rectangle of the grid's client area.
wxImage GrabGrid(CZYKGridCtrl* grid, const wxRect& client) {
    return testsupport::GrabScreenArea(wxRect(grid->ClientToScreen(client.GetTopLeft()), client.GetSize()));
}

bool SamePixels(const wxImage& a, const wxImage& b) {
    if (!a.IsOk() || !b.IsOk() || a.GetSize() != b.GetSize()) return false;
    return std::equal(a.GetData(), a.GetData() + a.GetWidth() * a.GetHeight() * 3, b.GetData());
}

// The "复核" cell clicked through the X server: the check editor over the
// current cell stays inside the cell and shows the cell's true state, pixel
// for pixel the box the grid paints on a row that is not current.
TEST_F(GridWindow, CurrentCheckCellShowsItsTrueStateInsideTheCell) {
    ASSERT_EQ(grid->checks[0], 1);  // rows 0, 4, 8 ticked
    ASSERT_EQ(grid->checks[1], 0);
    ASSERT_EQ(grid->checks[2], 0);
    XClickCell(0, 1);
    ASSERT_EQ(Current(), std::make_pair(0, 1));
    auto* check = dynamic_cast<CGridCheckCell*>(grid->GetColumnControl(0));
    ASSERT_NE(check, nullptr);
    ASSERT_TRUE(check->Window()->IsShown());
    // The box lies inside its cell, where the grid paints the glyph.
    const grid::Rect cell = grid->CellRect(0, 1);
    const wxRect box = check->Window()->GetRect();
    EXPECT_TRUE(wxRect(cell.left, cell.top, cell.Width(), cell.Height()).Contains(box)) << box.x << "," << box.y << " "
                                                                                       << box.width << "x" << box.height;
    EXPECT_EQ(box.width, 13);
    const wxPoint offset(box.x - cell.left, box.y - cell.top);
    // The box of `row` as the screen shows it.
    const auto boxOf = [&](int row) {
        const grid::Rect r = grid->CellRect(0, row);
        return GrabGrid(grid, wxRect(wxPoint(r.left, r.top) + offset, box.GetSize()));
    };
    // A sheet of the first rows, four times enlarged, for people to look at.
    const auto sheet = [&](const char* name) {
        const grid::Rect last = grid->CellRect(2, 5);
        wxImage shot = GrabGrid(grid, wxRect(0, 0, last.right + 1, last.bottom + 1));
        ASSERT_TRUE(shot.IsOk());
        shot.Rescale(shot.GetWidth() * 4, shot.GetHeight() * 4, wxIMAGE_QUALITY_NEAREST);
        ASSERT_TRUE(shot.SaveFile(testsupport::Screen(name), wxBITMAP_TYPE_PNG));
    };

    // The click made row 1 current and ticked it: the tick shows at once.
    EXPECT_EQ(check->Window()->State(), wxCHK_CHECKED);
    const wxImage ticked = boxOf(1);
    EXPECT_TRUE(SamePixels(ticked, boxOf(4))) << "the current box does not look like a ticked one";
    EXPECT_FALSE(SamePixels(ticked, boxOf(2)));
    sheet("grid-check-current-ticked.png");

    // A second click, on the box itself, unticks it and the box is empty.
    XClickCell(0, 1);
    EXPECT_EQ(check->Window()->State(), wxCHK_UNCHECKED);
    EXPECT_TRUE(SamePixels(boxOf(1), boxOf(2))) << "the current box does not look like an empty one";
    sheet("grid-check-current-unticked.png");

    // Down through the X server commits row 1 and moves on; a ticked row
    // reached by the keyboard shows its tick without a click.
    Key(WXK_DOWN);
    Key(WXK_DOWN);
    Key(WXK_DOWN);
    ASSERT_EQ(Current(), std::make_pair(0, 4));
    EXPECT_EQ(grid->checks[1], 0);
    EXPECT_EQ(grid->checks[4], 1);
    EXPECT_TRUE(SamePixels(boxOf(4), ticked));
}

// Esc in an edit cell, pressed through the X server, and the Undo command:
// the cell comes back as it was loaded, pixel for pixel, and nothing is
// stored; with nothing typed, Esc does nothing.
TEST_F(GridWindow, EscapeAndUndoRestoreWhatTheCellHeld) {
    XClickCell(1, 0);
    ASSERT_EQ(Current(), std::make_pair(1, 0));
    CGridEditCell* edit = EditCell(1);
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(edit->IsShown());
    ASSERT_EQ(wxWindow::FindFocus(), edit->Window());
    const grid::Rect cell = grid->CellRect(1, 0);
    const wxRect area(cell.left, cell.top, cell.Width(), cell.Height());
    Pump(150);
    const wxImage loaded = GrabGrid(grid, area);
    auto undoEnabled = [&] {
        wxUpdateUIEvent update(wxID_UNDO);
        update.SetEventObject(grid);
        grid->ProcessWindowEvent(update);
        return update.GetEnabled();
    };
    EXPECT_FALSE(undoEnabled());

    Key(WXK_ESCAPE);  // nothing to undo
    EXPECT_TRUE(edit->IsShown());
    EXPECT_EQ(edit->Window()->GetValue().utf8_string(), "服饰 1");
    EXPECT_FALSE(grid->IsEditing());

    Type("ab%(!");
    ASSERT_EQ(edit->Window()->GetValue(), "ab%(!");
    EXPECT_TRUE(undoEnabled());
    Key(WXK_ESCAPE);
    EXPECT_EQ(edit->Window()->GetValue().utf8_string(), "服饰 1");
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_FALSE(undoEnabled());
    Pump(150);
    EXPECT_TRUE(SamePixels(GrabGrid(grid, area), loaded)) << "the cell does not show what it held";

    // The menu's Undo does the same.
    Type("xyz");
    ASSERT_TRUE(undoEnabled());
    wxCommandEvent undo(wxEVT_MENU, wxID_UNDO);
    undo.SetEventObject(grid);
    grid->ProcessWindowEvent(undo);
    EXPECT_EQ(edit->Window()->GetValue().utf8_string(), "服饰 1");

    Key(WXK_RETURN);
    EXPECT_EQ(Current(), std::make_pair(1, 1));
    EXPECT_EQ(grid->text[0][1], "服饰 1");
    EXPECT_EQ(owner->Count(grid::kMsgCellTextChanged), 0);
}

// The value rules of the check box (two- and three-state) and the combo box.
TEST_F(GridWindow, CheckAndComboEditorsFollowTheirValueRules) {
    const int triColumn = grid->InsertColumn(30, "三态", 5, 0x8025, grid::kDfcButton, grid::kDfcsFlat, 0);
    grid->SetColumnControl(triColumn, grid::kEditorCheck, 0x40008006, 0);  // automatic three-state
    std::unique_ptr<CGridCellControl> two(grid->CreateCellControl(0, 0, 0x40008003, 0));
    std::unique_ptr<CGridCellControl> tri(grid->CreateCellControl(triColumn, 0, 0x40008006, 0));
    ASSERT_TRUE(two && tri);
    struct CheckCase {
        CGridCellControl* cell;
        int value;    // loaded with SetValue("", value)
        bool click;   // then a click on the box
        int read;     // GetValue's value
        bool modified;
    };
    const CheckCase checks[] = {
        {two.get(), 1, false, 1, false}, {two.get(), 2, false, 0, false},  // two states: 2 is unchecked
        {two.get(), 0, false, 0, false}, {two.get(), 7, false, 0, false},
        {tri.get(), 2, false, 2, false}, {tri.get(), 1, false, 1, false},
        {two.get(), 0, true, 1, true},   {two.get(), 1, true, 0, true},
        {tri.get(), 1, true, 2, true},   {tri.get(), 2, true, 0, true},
    };
    for (const CheckCase& c : checks) {
        SCOPED_TRACE(::testing::Message() << (c.cell == tri.get() ? "three-state " : "two-state ") << c.value
                                          << (c.click ? " clicked" : ""));
        c.cell->SetValue("", c.value);
        c.cell->ShowAt(0, 0, 30, 20);
        if (c.click) c.cell->Click(15, 10);
        std::string text = "x";
        int value = -9;
        c.cell->GetValue(text, value);
        EXPECT_EQ(text, "");
        EXPECT_EQ(value, c.read);
        EXPECT_EQ(c.cell->IsModified() != 0, c.modified);
        c.cell->SetModified(1);  // marks nothing
        EXPECT_EQ(c.cell->IsModified() != 0, c.modified);
        EXPECT_EQ(c.cell->Commit(), 1);
        EXPECT_FALSE(c.cell->IsModified());
        c.cell->Hide();
    }

    // Combo box: items 红色 0, 藏青 1, 米白 2.
    std::unique_ptr<CGridCellControl> made(grid->CreateCellControl(2, 0, 0x40200042, 0));
    auto* combo = dynamic_cast<CGridComboCell*>(made.get());
    ASSERT_NE(combo, nullptr);
    struct ComboCase {
        std::string text;
        int value;
        std::string read;  // GetValue after SetValue
        int readValue;
    };
    const ComboCase loads[] = {
        {"藏青", 1, "藏青", 1},
        {"自定颜色", -1, "自定颜色", -1},  // -1: the text as it stands
        {"米白", 2, "米白", 2},
        {"别的", 7, "米白", 2},  // no item carries 7: the selection stays
    };
    for (const ComboCase& c : loads) {
        SCOPED_TRACE(c.text);
        combo->SetValue(c.text, c.value);
        std::string text;
        int value = -9;
        combo->GetValue(text, value);
        EXPECT_EQ(text, c.read);
        EXPECT_EQ(value, c.readValue);
        EXPECT_FALSE(combo->IsModified());
    }
    // Undo brings back the item the cell was loaded with.
    combo->SetValue("藏青", 1);
    EXPECT_FALSE(combo->CanUndo());
    combo->Window()->ChangeValue("navy");
    ASSERT_TRUE(combo->CanUndo());
    combo->Undo();
    std::string undone;
    int undoneValue = -9;
    combo->GetValue(undone, undoneValue);
    EXPECT_EQ(undone, "藏青");
    EXPECT_EQ(undoneValue, 1);
    EXPECT_FALSE(combo->IsModified());
    EXPECT_FALSE(combo->CanUndo());

    struct MarkCase {
        std::string typed;  // the field's text before the call
        int flag;
        bool modified;      // afterwards
    };
    const MarkCase marks[] = {
        {"navy", 0, false},  // 0: the text becomes the reference
        {"navy", 1, true},   // the reference was the text: it becomes empty
        {"navy", 1, true},   // a changed text stays changed
        {"", 0, false},
        {"", 1, true},       // an empty reference becomes "_"
    };
    for (const MarkCase& m : marks) {
        SCOPED_TRACE(::testing::Message() << m.typed << " " << m.flag);
        combo->Window()->ChangeValue(wxString::FromUTF8(m.typed));
        combo->SetModified(m.flag);
        EXPECT_EQ(combo->IsModified() != 0, m.modified);
    }
}

TEST_F(GridWindow, ScreenshotShowsEditingAndADroppedList) {
    const wxRect area(frame->GetScreenPosition(), frame->GetSize());
    // An edit in progress next to a checked box, a few rows down.
    ClickCell(1, 2);
    EditCell(1)->Window()->SelectAll();
    Type("Edit in progress");
    EXPECT_TRUE(grid->IsEditing());
    Pump(150);
    const wxImage editing = GrabScreen(area, grid);

    // A dropped combo list on another row.
    ClickCell(2, 6);
    auto* combo = dynamic_cast<CGridComboCell*>(grid->GetColumnControl(2));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(grid->text[2][1], "Edit in progress");
    combo->ShowList(true);
    Pump(400);
    const wxImage dropped = GrabScreen(area, grid);
    combo->ShowList(false);
    Pump(100);

    // Both states, one above the other.
    wxImage sheet(std::max(editing.GetWidth(), dropped.GetWidth()), editing.GetHeight() + dropped.GetHeight() + 4);
    sheet.SetRGB(wxRect(0, 0, sheet.GetWidth(), sheet.GetHeight()), 64, 64, 64);
    sheet.Paste(editing, 0, 0);
    sheet.Paste(dropped, 0, editing.GetHeight() + 4);
    ASSERT_TRUE(sheet.SaveFile(testsupport::Screen("grid.png"), wxBITMAP_TYPE_PNG));

    // The grid's own painting, off screen: headers, row numbers, the frame.
    wxBitmap bitmap(grid->GetClientSize());
    wxMemoryDC dc(bitmap);
    grid->Draw(dc, wxRect(grid->GetClientSize()));
    dc.SelectObject(wxNullBitmap);
    const wxImage painted = bitmap.ConvertToImage();
    const grid::Rect current = grid->CellRect(2, 6).Deflated(1);
    EXPECT_EQ(wxColour(painted.GetRed(current.left, current.top + 3), painted.GetGreen(current.left, current.top + 3),
                       painted.GetBlue(current.left, current.top + 3)),
              platform::ui::ToColour(0xC86400));
}

}  // namespace
