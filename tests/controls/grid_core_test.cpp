// Grid core without a display: layout, positions and hit testing, scroll
// arithmetic, column operations and messages, painting decisions.
#include <gtest/gtest.h>

#include "tests/controls/grid_test_support.h"

using namespace gridtest;
using grid::Rect;

namespace {

// Columns 50, 30, 0 and 40 wide; 10 rows; rows 16 high, headers 19, the
// fixed column 8 wide (half a row).
struct GridFixture : ::testing::Test {
    FakeHost host;
    TestGrid grid{&host};

    void SetUp() override {
        for (int w : {50, 30, 0, 40}) grid.InsertColumn(w, "h" + std::to_string(w), 5, 0x8025, 0, 0, 0);
        grid.SetRowCount(10, 0);
        grid.RecalcLayout();
    }
};

TEST_F(GridFixture, LayoutFollowsTheFontAndTheFixedColumnRule) {
    struct Case {
        int textHeight, switchValue, setting;
        unsigned style;
        int rowHeight, headerHeight, fixedWidth;
    };
    const Case cases[] = {
        {13, 0, 0, 0, 16, 19, 8},
        {15, 0, 0, 0, 18, 21, 9},
        {17, 0, 0, 0, 20, 24, 10},
        {13, 999, 36, 0, 16, 19, 36},
        // With style 0x10 the fixed width is left as it was.
        {17, 999, 36, grid::kStyleFixedColumnSizing, 20, 24, 8},
    };
    for (const Case& c : cases) {
        FakeHost h;
        h.textHeight = c.textHeight;
        h.style = c.style;
        TestGrid g(&h);
        g.InsertColumn(50, "a", 5, 0, 0, 0, 0);
        g.SetDefaultCellMetrics(c.switchValue, c.setting);
        g.RecalcLayout();
        SCOPED_TRACE(c.textHeight);
        EXPECT_EQ(g.GetDataRowHeight(), c.rowHeight);
        EXPECT_EQ(g.GetRowHeight(), c.headerHeight);
        EXPECT_EQ(g.GetFixedColumnWidth(), c.fixedWidth);
        EXPECT_EQ(g.GetTotalWidth(), c.fixedWidth + 50);
    }
}

TEST_F(GridFixture, PositionsAndHitTestsAgreeAcrossScrollOffsets) {
    grid.SetRowCount(40, 0);
    host.client = {100, 150};  // content wider and taller than the client
    grid.RecalcLayout();
    struct Case {
        int scrollX, scrollY, x, y;
        GridHit hit;
    };
    using A = GridHit::Area;
    const Case cases[] = {
        {0, 0, 8, 19, {A::Cell, 0, 0}},
        {0, 0, 57, 19, {A::Cell, 0, 0}},  // the boundary line belongs to the left column
        {0, 0, 58, 19, {A::Cell, 1, 0}},
        {0, 0, 87, 30, {A::Cell, 1, 0}},
        {0, 0, 88, 30, {A::Cell, 3, 0}},  // a column of width 0 is never hit
        {0, 0, 10, 34, {A::Cell, 0, 0}},  // the row's bottom line belongs to it
        {0, 0, 10, 35, {A::Cell, 0, 1}},
        {0, 0, 20, 5, {A::Header, 0, 0}},
        {0, 0, 3, 5, {A::Corner, 0, 0}},
        {0, 0, 3, 40, {A::RowHeader, 0, 1}},
        {20, 0, 37, 19, {A::Cell, 0, 0}},
        {20, 0, 38, 19, {A::Cell, 1, 0}},
        {20, 16, 8, 19, {A::Cell, 0, 1}},
        {20, 16, 3, 19, {A::RowHeader, 0, 1}},
        {0, 300, 8, 150 - 1, {A::Cell, 0, 26}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.scrollX << "," << c.scrollY << " @ " << c.x << "," << c.y);
        grid.OnScrollBy(c.scrollX - grid.GetScrollX(), c.scrollY - grid.GetScrollY(), true);
        ASSERT_EQ(grid.GetScrollX(), c.scrollX);
        ASSERT_EQ(grid.GetScrollY(), c.scrollY);
        EXPECT_EQ(grid.GridHitTest(c.x, c.y), c.hit);
        if (c.hit.area == A::Cell) {
            const Rect r = grid.CellRect(c.hit.column, c.hit.row);
            EXPECT_GT(c.x, r.left);
            EXPECT_LT(c.x, r.right);
            EXPECT_EQ(r.left, 8 + (c.hit.column >= 1 ? 50 : 0) + (c.hit.column >= 2 ? 30 : 0) - c.scrollX - 1);
            EXPECT_EQ(r.top, 19 + 16 * c.hit.row - c.scrollY - 1);
        }
    }
}

TEST_F(GridFixture, PointsPastTheLastColumnOrRowHitNothing) {
    EXPECT_EQ(grid.GridHitTest(127, 30).area, GridHit::Cell);
    EXPECT_EQ(grid.GridHitTest(128, 30).area, GridHit::Outside);
    EXPECT_EQ(grid.GridHitTest(128, 5).area, GridHit::Outside);
    EXPECT_EQ(grid.GridHitTest(10, 19 + 160 - 1).area, GridHit::Cell);
    EXPECT_EQ(grid.GridHitTest(10, 19 + 160).area, GridHit::Outside);
}

TEST_F(GridFixture, ScrollBarsAppearOnlyForContentThatDoesNotFit) {
    // 128 x 179 pixels of content (the last border lines included) in 300 x 200.
    EXPECT_FALSE(host.hBar.shown);
    EXPECT_FALSE(host.vBar.shown);
    EXPECT_EQ(grid.OnScroll(0xFF00 | CGridCoreBase::kLineDown, 0, true), 0);

    host.client = {128, 179};  // exactly fits
    grid.RecalcLayout();
    EXPECT_FALSE(host.hBar.shown);
    EXPECT_FALSE(host.vBar.shown);

    host.client = {128, 178};
    grid.RecalcLayout();
    EXPECT_TRUE(host.vBar.shown);
    EXPECT_EQ(grid.MaxScrollY(), 1);
    EXPECT_EQ(host.vBar.range, 179);
    EXPECT_EQ(host.vBar.page, 178);

    // A vertical bar that takes room brings the horizontal one.
    host.bars = {15, 15};
    grid.RecalcLayout();
    EXPECT_TRUE(host.vBar.shown);
    EXPECT_TRUE(host.hBar.shown);
    EXPECT_EQ(grid.GetPageSize(), (grid::Size{113, 163}));
}

TEST_F(GridFixture, ScrollCodesMoveByLinesAndEqualPages) {
    grid.SetRowCount(100, 0);
    host.client = {100, 115};  // page of the data area: 115 - 19 = 96 = six rows
    grid.RecalcLayout();
    const int maxY = grid.MaxScrollY();
    EXPECT_EQ(maxY, 100 * 16 + 19 - 115);
    auto v = [](unsigned code) { return (code << 8) | 0xFFu; };

    EXPECT_EQ(grid.OnScroll(v(CGridCoreBase::kLineDown), 0, true), 1);
    EXPECT_EQ(grid.GetScrollY(), 16);
    grid.OnScroll(v(CGridCoreBase::kPageDown), 0, true);
    EXPECT_EQ(grid.GetScrollY(), 16 + 96);
    grid.OnScroll(v(CGridCoreBase::kPageUp), 0, true);
    EXPECT_EQ(grid.GetScrollY(), 16);  // the same amount back
    grid.OnScroll(v(CGridCoreBase::kPageUp), 0, true);
    EXPECT_EQ(grid.GetScrollY(), 0);
    EXPECT_EQ(grid.OnScroll(v(CGridCoreBase::kLineUp), 0, true), 0);  // nothing changes
    grid.OnScroll(v(CGridCoreBase::kBottom), 0, true);
    EXPECT_EQ(grid.GetScrollY(), maxY);
    EXPECT_EQ(host.vBar.position, maxY);
    grid.OnScroll(v(CGridCoreBase::kLineDown), 0, true);
    EXPECT_EQ(grid.GetScrollY(), maxY);
    grid.OnScroll(v(CGridCoreBase::kThumbTrack), 40, true);
    EXPECT_EQ(grid.GetScrollY(), 40);
    grid.OnScroll(v(CGridCoreBase::kTop), 0, true);
    EXPECT_EQ(grid.GetScrollY(), 0);

    // Horizontal: a line is a tenth of the client width, a page the width.
    grid.OnScroll(0xFF00 | CGridCoreBase::kLineDown, 0, true);
    EXPECT_EQ(grid.GetScrollX(), 10);
    grid.OnScroll(0xFF00 | CGridCoreBase::kPageDown, 0, true);
    EXPECT_EQ(grid.GetScrollX(), grid.MaxScrollX());
}

TEST_F(GridFixture, ContentAboveTheBarLimitScrollsToItsEnd) {
    grid.SetRowCount(3000, 0);
    host.client = {200, 300};
    grid.RecalcLayout();
    const int content = 3000 * 16 + 19 - 1;
    EXPECT_EQ(grid.GetContentSize().height, content);
    EXPECT_EQ(grid.GetScaleY(), 2);
    EXPECT_EQ(host.vBar.range, (content + 2) / 2);
    EXPECT_EQ(host.vBar.page, 150);
    EXPECT_LE(host.vBar.range, 32767);

    // The thumb at its last position reaches the content's end.
    const int lastThumb = host.vBar.range - host.vBar.page;
    grid.OnScroll((CGridCoreBase::kThumbTrack << 8) | 0xFF, lastThumb, true);
    EXPECT_EQ(grid.GetScrollY(), grid.MaxScrollY());
    EXPECT_EQ(grid.GetScrollY(), content + 1 - 300);
    EXPECT_EQ(host.vBar.position, grid.GetScrollY() / 2);
    // The last row shows in full.
    const Rect last = grid.CellRect(0, 2999);
    EXPECT_LE(last.bottom, 300);
    // Positions in between scale by the factor.
    grid.OnScroll((CGridCoreBase::kThumbTrack << 8) | 0xFF, 1000, true);
    EXPECT_EQ(grid.GetScrollY(), 2000);

    // 40,000 rows: the scale grows with the extent.
    grid.SetRowCount(40000, 0);
    grid.RecalcLayout();
    EXPECT_EQ(grid.GetScaleY(), (40000 * 16 + 18) / 32767 + 1);
    EXPECT_LE(host.vBar.range, 32767);
}

TEST_F(GridFixture, ColumnOperationsIgnoreIndicesOutsideTheColumns) {
    const int count = grid.GetCoreValue();
    for (int bad : {-1, count, 1000}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(grid.GetColumnValue(bad), 0);
        grid.SetColumnValue(bad, 77);
        EXPECT_EQ(grid.SetColumnControl(bad, 2, 0, 0), 0);
        EXPECT_EQ(grid.SetColumnMetrics(bad, 15, 15, 4), 0);
        EXPECT_EQ(grid.GetColumnHeader(bad).caption, "");
        EXPECT_EQ(grid.GetColumnControl(bad), nullptr);
        EXPECT_EQ(grid.GetColumnControlId(bad), 0);
        EXPECT_EQ(grid.GetColumnControlStyle(bad), 0);
        EXPECT_EQ(grid.CreateCellControl(bad, 0, 0, 0), nullptr);
        EXPECT_EQ(grid.GetCellIconKind(bad, 0), 0);
        EXPECT_EQ(grid.Column(bad), nullptr);
        grid.SetColumnControlObject(bad, new CGridCellControl);  // dropped, not leaked
    }
    EXPECT_EQ(grid.GetCoreValue(), count);
    const int widths[] = {50, 30, 0, 40};
    for (int c = 0; c < count; ++c) EXPECT_EQ(grid.GetColumnValue(c), widths[c]);
    EXPECT_EQ(host.wholeInvalidations, 0);

    grid::ColorRef color = 0;
    grid.SetColumnColor(38, 0x123456);
    grid.SetColumnColor(-1, 0x123456);
    EXPECT_FALSE(grid.GetColumnColor(38, color));
    EXPECT_EQ(grid.SetColumnColor(37, 0x0000FF), 37);
    EXPECT_TRUE(grid.GetColumnColor(37, color));
    EXPECT_EQ(color, 0x0000FFu);
}

TEST_F(GridFixture, ColumnsAreInsertedAndTheirEditorsConfigured) {
    EXPECT_EQ(grid.InsertColumnAt(99, 20, "end", 4, 0x8025, 0, 0, 0), 4);
    EXPECT_EQ(grid.InsertColumnAt(-5, 25, "first", 6, 0x8025, 4, 0x4000, 0x1234), 0);
    EXPECT_EQ(grid.GetColumnHeader(0).caption, "first");
    EXPECT_EQ(grid.GetColumnHeader(5).caption, "end");
    const GridColumnInfo* first = grid.Column(0);
    EXPECT_EQ(first->editorKind, grid::kEditorEdit);
    EXPECT_EQ(first->editorStyle, 0x40000000);
    EXPECT_EQ(first->editorId, 0x1234);
    EXPECT_EQ(first->iconKind, 0);
    const GridCellFormat format = grid.GetCellFormat(0, 3);
    EXPECT_EQ(format.format, 6);
    EXPECT_EQ(format.glyphType, 4);
    EXPECT_EQ(format.glyphState, 0x4000);

    // Id 0 on a column inserted with id 0 gives 0xF008 + column.
    EXPECT_EQ(grid.SetColumnControl(2, 2, 0x40008003, 0), 1);
    EXPECT_EQ(grid.GetColumnControlId(2), 0xF008 + 2);
    EXPECT_EQ(grid.SetColumnControl(0, 2, 0x40008003, 0), 1);
    EXPECT_EQ(grid.GetColumnControlId(0), 0x1234);

    // Once the column's editor exists nothing changes.
    grid.SetColumnControl(1, grid::kEditorEdit, 0x40000080, 0);
    grid.SetCurrentCell(2, 1);
    ASSERT_NE(grid.Editor(1), nullptr);
    EXPECT_EQ(grid.Editor(1)->createdId, 0xF008 + 1);
    EXPECT_EQ(grid.SetColumnControl(1, grid::kEditorCombo, 0, 0x99), 0);
    EXPECT_EQ(grid.Column(1)->editorKind, grid::kEditorEdit);
    EXPECT_EQ(grid.GetColumnControlId(1), 0xF008 + 1);

    EXPECT_EQ(grid.SetColumnMetrics(3, 15, 14, grid::kIconImageList), 1);
    int w = 0, h = 0;
    grid.GetCellIconSize(3, 0, w, h);
    EXPECT_EQ(w, 15);
    EXPECT_EQ(h, 14);
    EXPECT_TRUE(grid.HasCellIcon(3, 0));
}

TEST_F(GridFixture, RowCountNotificationCarriesTheWindowId) {
    host.messages.clear();
    grid.SetRowCount(10, 1);  // unchanged: nothing posted
    EXPECT_TRUE(host.messages.empty());
    grid.SetRowCount(25, 1);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], (Message{grid::kMsgRowCountChanged, 4711, 25, true}));
    grid.SetRowCount(30, 0);
    EXPECT_EQ(host.messages.size(), 1u);
    grid.SetRowCount(-3, 1);
    EXPECT_EQ(grid.GetRowCount(), 0);
}

TEST_F(GridFixture, ClicksTellTheOwnerWhetherADataCellWasHit) {
    struct Case {
        int x, y, code;
    };
    const Case cases[] = {{20, 30, 9}, {500, 30, 0}, {20, 190, 0}, {20, 5, 0}, {3, 40, 0}};
    for (const Case& c : cases) {
        host.messages.clear();
        grid.OnLButtonDown(c.x, c.y);
        grid.OnLButtonUp(c.x, c.y);
        ASSERT_FALSE(host.messages.empty());
        const Message& last = host.messages.back();
        EXPECT_EQ(last.id, grid::kMsgGridNotify);
        EXPECT_EQ(last.wparam, grid::kGridNotifyTag);
        EXPECT_EQ(last.clickCode, c.code) << c.x << "," << c.y;
    }
    // Only the data-cell click moved the current cell.
    EXPECT_EQ(grid.GetCurrentDataColumn(), 0);
    EXPECT_EQ(grid.GetCurrentDataRow(), 0);
    EXPECT_EQ(grid.headerClicks, (std::vector<std::pair<int, int>>{{0, 0}}));
}

TEST_F(GridFixture, DraggingAHeaderBoundaryResizesTheColumn) {
    // The fixed column can be dragged only with style 0x10.
    EXPECT_FALSE(grid.UpdateResizeZone(8, 5));
    host.style = grid::kStyleFixedColumnSizing;
    ASSERT_TRUE(grid.UpdateResizeZone(8, 5));
    grid.OnLButtonDown(8, 5);
    grid.OnLButtonUp(30, 5);
    EXPECT_EQ(grid.GetFixedColumnWidth(), 30);
    host.style = 0;
    grid.RecalcLayout();
    ASSERT_EQ(grid.GetFixedColumnWidth(), 8);

    // Column 1's right edge is at x = 87 (column 2, of width 0, ends there too).
    EXPECT_FALSE(grid.UpdateResizeZone(87, 30));  // not in the header row
    ASSERT_TRUE(grid.UpdateResizeZone(86, 5));
    grid.OnLButtonDown(86, 5);
    EXPECT_TRUE(grid.IsResizing());
    EXPECT_TRUE(host.captured);
    grid.OnMouseMove(100, 5, true);
    host.messages.clear();
    grid.OnLButtonUp(110, 5);
    EXPECT_FALSE(grid.IsResizing());
    EXPECT_FALSE(host.captured);
    EXPECT_EQ(grid.GetColumnValue(1), 30 + 110 - 87);
    EXPECT_EQ(grid.GetColumnValue(2), 0);
    EXPECT_EQ(grid.GetTotalWidth(), 8 + 50 + 53 + 0 + 40);
    EXPECT_EQ(host.MessageIds(), (std::vector<unsigned>{grid::kMsgColumnResized}));

    // Right of a shared edge the hidden column is taken, so it can be widened.
    ASSERT_TRUE(grid.UpdateResizeZone(112, 5));
    grid.OnLButtonDown(112, 5);
    grid.OnLButtonUp(130, 5);
    EXPECT_EQ(grid.GetColumnValue(1), 53);
    EXPECT_EQ(grid.GetColumnValue(2), 20);

    // Dragged left past the column's start: width 0.
    ASSERT_TRUE(grid.UpdateResizeZone(57, 5));
    grid.OnLButtonDown(57, 5);
    grid.OnLButtonUp(2, 5);
    EXPECT_EQ(grid.GetColumnValue(0), 0);
}

TEST_F(GridFixture, AGridWithoutRowsPaintsItsHeaderOnWindowColour) {
    grid.SetRowCount(0, 0);
    grid.RecalcLayout();
    RecordingPainter p;
    grid.Paint(p, {0, 0, 300, 200});
    EXPECT_NE(p.FindText("h50"), nullptr);
    EXPECT_EQ(p.FindText("c0r0"), nullptr);
    // Below the header everything is window colour.
    bool filledBelow = false;
    for (const auto& f : p.fills)
        if (f.rect == Rect{0, 19, 300, 200} && f.color == grid.SysColors().window) filledBelow = true;
    EXPECT_TRUE(filledBelow);
    EXPECT_EQ(grid.SetCurrentCell(1, 1), 0);
}

TEST_F(GridFixture, CellsPaintTheirTextColoursGlyphsAndTheCurrentFrame) {
    grid.SetColumnControl(0, grid::kEditorValue, 0x40000080, 0);
    grid.SetColumnColor(1, 0x0000FF);
    // Column 4 shows a check glyph in the state its cell format gives: the
    // cell's value does not check it.
    grid.InsertColumn(30, "chk", 5, 0x8025, grid::kDfcButton, grid::kDfcsFlat, 0);
    grid.cells[{4, 2}] = "";
    grid.glyphStates[{4, 2}] = grid::kDfcsFlat | grid::kDfcsChecked;
    grid.cells[{4, 3}] = "";
    grid.values[{4, 3}] = 1;
    grid.RecalcLayout();
    ASSERT_EQ(grid.SetCurrentCell(1, 1), 1);  // data cell (0, 0)

    RecordingPainter p;
    grid.Paint(p, {0, 0, 300, 200});
    const auto* current = p.FindText("c0r0");
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(p.FindText("c1r0")->color, 0x0000FFu);
    EXPECT_EQ(p.FindText("c3r0")->color, grid.CellColors().cellText);
    bool framed = false;
    for (const auto& f : p.frames)
        if (f.color == 0xC86400 && f.rect == grid.CellRect(0, 0).Deflated(1)) framed = true;
    EXPECT_TRUE(framed);
    int checked = 0, unchecked = 0;
    for (const auto& c : p.controls) {
        if (c.type != grid::kDfcButton || (c.state & 0x1F) == grid::kDfcsButtonPush) continue;
        EXPECT_EQ(c.rect.Width(), 13);
        if (c.state == (grid::kDfcsFlat | grid::kDfcsChecked)) ++checked;
        if (c.state == grid::kDfcsFlat) ++unchecked;
    }
    EXPECT_EQ(checked, 1);
    EXPECT_GE(unchecked, 1);
    // The row header of the current row carries the triangle.
    EXPECT_EQ(p.triangles, 1);
}

TEST_F(GridFixture, RowHeadersShowOneBasedNumbersElevenPixelsFromTheRight) {
    grid.SetDefaultCellMetrics(1, 40);  // room for the numbers
    grid.RecalcLayout();
    RecordingPainter p;
    grid.Paint(p, {0, 0, 300, 200});
    struct Case {
        const char* text;
        int top;  // the row's top edge
    };
    for (const Case c : {Case{"1", 18}, Case{"2", 34}, Case{"10", 162}}) {
        SCOPED_TRACE(c.text);
        const auto* number = p.FindText(c.text);
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->rect, (Rect{1, c.top + 1, 29, c.top + 16}));
        EXPECT_EQ(number->format & grid::kDtRight, grid::kDtRight);
    }
    EXPECT_EQ(p.FindText("0"), nullptr);
    EXPECT_EQ(p.FindText("11"), nullptr);
}

// What each style bit changes: borders of cells in background colours
// (0x01), the current row selected and framed (0x02), flat fixed cells (0x04).
TEST_F(GridFixture, StyleBitsChangeBordersRowSelectionAndFixedCells) {
    GridCellColors& colors = grid.CellColors();
    colors.borderLeft = 0x101010;
    colors.borderTop = 0x202020;
    colors.borderRight = 0x303030;
    colors.borderBottom = 0x404040;
    colors.cellBackground = 0xEEEEEE;
    colors.selectedBackground = 0x00AA00;
    colors.solidFrame = true;
    ASSERT_EQ(grid.SetCurrentCell(1, 3), 1);  // data cell (0, 2)
    struct Case {
        unsigned style;
        grid::ColorRef leftBorder;       // of data cell (1, 0)
        grid::ColorRef rowLeftBorder;    // of data cell (1, 2), in the current row
        grid::ColorRef rowBackground;    // of data cell (1, 2)
        int currentFrames;               // the current cell's and the row's
        bool pushedFaces, flatFaces;
    };
    const Case cases[] = {
        {0x00, 0x101010, 0x101010, 0xEEEEEE, 1, true, false},
        {0x01, 0xEEEEEE, 0xEEEEEE, 0xEEEEEE, 1, true, false},
        {0x02, 0x101010, 0x101010, 0x00AA00, 2, true, false},
        {0x03, 0xEEEEEE, 0x00AA00, 0x00AA00, 2, true, false},
        {0x04, 0x101010, 0x101010, 0xEEEEEE, 1, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        host.style = c.style;
        RecordingPainter p;
        grid.Paint(p, {0, 0, 300, 200});
        // The colour left on top along a cell's left edge (the cell before
        // it draws its right line there first).
        auto leftLine = [&p](const Rect& cell) {
            grid::ColorRef last = 0xFFFFFFFF;
            for (const auto& l : p.lines)
                if (l.rect == Rect{cell.left, cell.top, cell.left, cell.bottom}) last = l.color;
            return last;
        };
        const Rect cell10 = grid.CellRect(1, 0);
        const Rect cell12 = grid.CellRect(1, 2);
        EXPECT_EQ(leftLine({cell10.left, cell10.top, cell10.left, cell10.top + 17}), c.leftBorder);
        EXPECT_EQ(leftLine({cell12.left, cell12.top, cell12.left, cell12.top + 17}), c.rowLeftBorder);
        grid::ColorRef background = 0xFFFFFFFF;
        for (const auto& f : p.fills)
            if (f.rect == Rect{cell12.left + 1, cell12.top + 1, cell12.left + 30, cell12.top + 16}) background = f.color;
        EXPECT_EQ(background, c.rowBackground);
        int frames = 0;
        for (const auto& f : p.frames) frames += f.color == colors.frameColor;
        EXPECT_EQ(frames, c.currentFrames);
        bool pushed = false;
        for (const auto& k : p.controls) pushed = pushed || k.state == grid::kDfcsButtonPush;
        EXPECT_EQ(pushed, c.pushedFaces);
        EXPECT_EQ(p.rects3d > 0, c.flatFaces);
    }
}

TEST_F(GridFixture, MoreFixedRowsMoveTheDataDownAndTheEditorWithIt) {
    grid.SetColumnControl(0, grid::kEditorEdit, 0x40000080, 0);
    ASSERT_EQ(grid.SetCurrentCell(1, 3), 1);  // data cell (0, 2)
    ASSERT_NE(grid.Editor(0), nullptr);
    const int editorTop = grid.Editor(0)->shownAt.top;
    struct Case {
        int fixedRows, relayout;
        int currentRow;  // absolute
        int rowTop;      // of data row 0 after a layout
        int editorMoved;
    };
    const Case cases[] = {{2, 1, 4, 37, 19}, {3, 0, 5, 56, 19}, {3, 1, 5, 56, 38}, {1, 1, 3, 18, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixedRows);
        grid.SetFixedRowCount(c.fixedRows, c.relayout);
        EXPECT_EQ(grid.GetCurrentRow(), c.currentRow);
        EXPECT_EQ(grid.GetCurrentDataRow(), 2);  // the same data row
        EXPECT_EQ(grid.CellRect(0, 0).top, c.rowTop);
        EXPECT_EQ(grid.Editor(0)->shownAt.top - editorTop, c.editorMoved);
    }
}

TEST_F(GridFixture, GoToRowRepaintsThatRowsBandWithoutScrolling) {
    struct Case {
        int row;
        Rect band;
    };
    for (const Case c : {Case{0, {0, 18, 300, 34}}, Case{3, {0, 66, 300, 82}}, Case{9, {0, 162, 300, 178}}}) {
        host.invalidated.clear();
        grid.GoToRow(c.row);
        EXPECT_EQ(host.invalidated, std::vector<Rect>{c.band}) << c.row;
        EXPECT_EQ(host.vBar.position, 0);
    }
}

}  // namespace
