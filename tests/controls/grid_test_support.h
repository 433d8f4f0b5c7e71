#pragma once
// A grid core on a recording host, with a recording editor and painter, for
// tests that need no display.
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "controls/grid_core.h"

namespace gridtest {

struct Message {
    unsigned id;
    std::uintptr_t wparam;
    std::intptr_t lparam;
    bool posted;
    int clickCode = -1;  // for the owner notification: the code the int holds
    bool operator==(const Message&) const = default;
};

class FakeHost : public GridHost {
public:
    grid::Size client{300, 200};
    grid::Size bars{0, 0};
    int textHeight = 13;  // rows of 16 pixels, headers of 19
    unsigned style = 0;
    bool exists = true;
    std::vector<grid::Rect> invalidated;
    int wholeInvalidations = 0;
    std::vector<Message> messages;
    int focusCalls = 0;
    bool captured = false;
    struct Bar {
        bool shown = false;
        int position = 0, page = 0, range = 0;
    } hBar, vBar;

    bool WindowExists() const override { return exists; }
    grid::Size ClientSize() const override {
        return {client.width - (vBar.shown ? bars.width : 0), client.height - (hBar.shown ? bars.height : 0)};
    }
    grid::Size FullClientSize() const override { return client; }
    grid::Size ScrollBarSize() const override { return bars; }
    int CellTextHeight() const override { return textHeight; }
    unsigned GridStyleBits() const override { return style; }
    void Invalidate(const grid::Rect* rect, bool) override {
        if (rect)
            invalidated.push_back(*rect);
        else
            ++wholeInvalidations;
    }
    void UpdateNow() override {}
    void ScrollData(int, int) override {}
    void SetScrollBar(bool horizontal, bool shown, int position, int page, int range) override {
        (horizontal ? hBar : vBar) = {shown, position, page, range};
    }
    void SetScrollPosition(bool horizontal, int position) override { (horizontal ? hBar : vBar).position = position; }
    void FocusGrid() override { ++focusCalls; }
    void SetMouseCapture(bool capture) override { captured = capture; }
    std::uintptr_t WindowHandle() const override { return 0xABCD; }
    int WindowId() const override { return 4711; }
    std::intptr_t SendToParent(unsigned id, std::uintptr_t w, std::intptr_t l) override {
        messages.push_back({id, w, l, false});
        return 0;
    }
    void PostToParent(unsigned id, std::uintptr_t w, std::intptr_t l) override { messages.push_back({id, w, l, true}); }
    std::intptr_t SendToOwner(unsigned id, std::uintptr_t w, std::intptr_t l) override {
        messages.push_back({id, w, 0, false, *reinterpret_cast<const int*>(l)});
        return 0;
    }
    std::vector<unsigned> MessageIds() const {
        std::vector<unsigned> ids;
        for (const Message& m : messages) ids.push_back(m.id);
        return ids;
    }
};

// An editor that records what the grid asks of it; tests "type" by setting
// its text and change mark.
class RecordingEditor : public CGridCellControl {
public:
    explicit RecordingEditor(std::vector<std::string>* log, unsigned char kind = grid::kEditorEdit)
        : m_log(log), m_kind(kind) {}
    unsigned char Kind() const override { return m_kind; }
    int Create(long, GridHost*, int id) override {
        createdId = id;
        Log("create");
        return 1;
    }
    int ShowAt(int x, int y, int w, int h) override {
        shown = true;
        shownAt = {x, y, x + w, y + h};
        Log("show");
        return 1;
    }
    int Hide() override {
        shown = false;
        Log("hide");
        return 1;
    }
    int IsShown() const override { return shown; }
    void SetValue(const std::string& text, int value) override {
        CGridCellControl::SetValue(text, value);
        modified = false;
        Log("load:" + text);
    }
    int IsModified() const override { return modified; }
    void SetModified(int flag) override {
        modified = flag != 0;
        Log(flag ? "modified" : "unmodified");
    }
    int Commit() override {
        Log("commit");
        return commitResult;
    }
    void Click(int x, int y) override { Log("click:" + std::to_string(x) + "," + std::to_string(y)); }
    void Type(const std::string& text) {
        m_text = text;
        modified = true;
    }

    bool shown = false;
    bool modified = false;
    int commitResult = 1;
    int createdId = 0;
    grid::Rect shownAt;

private:
    void Log(const std::string& s) {
        if (m_log) m_log->push_back(s);
    }
    std::vector<std::string>* m_log;
    unsigned char m_kind;
};

// A grid with a text model: cells hold "c<column>r<row>" until edited.
class TestGrid : public CGridCore {
public:
    explicit TestGrid(FakeHost* host) : CGridCore(host) {}

    GridCellText GetCellText(int column, int row) const override {
        auto it = cells.find({column, row});
        if (it != cells.end()) return {it->second, values.count({column, row}) ? values.at({column, row}) : -1};
        return {"c" + std::to_string(column) + "r" + std::to_string(row), -1};
    }
    int OnCellTextChanged(int column, int row) override {
        changes.push_back({column, row});
        if (!acceptChanges) return 0;
        if (CGridCellControl* editor = GetColumnControl(column)) {
            std::string text;
            int value = 0;
            editor->GetValue(text, value);
            cells[{column, row}] = text;
        }
        return CGridCore::OnCellTextChanged(column, row);
    }
    // A check glyph shows the state the grid's subclass gives per cell.
    GridCellFormat GetCellFormat(int column, int row) const override {
        GridCellFormat f = CGridCore::GetCellFormat(column, row);
        if (auto it = glyphStates.find({column, row}); it != glyphStates.end()) f.glyphState = it->second;
        if (noGlyph.count({column, row})) f.glyphType = grid::kDfcNone;
        return f;
    }
    void OnCurrentCellChanged(int column, int row) override { currentChanges.push_back({column, row}); }
    void OnHeaderClick(int column, int row) override { headerClicks.push_back({column, row}); }
    RecordingEditor* Editor(int column) const { return dynamic_cast<RecordingEditor*>(GetColumnControl(column)); }

    std::map<std::pair<int, int>, std::string> cells;
    std::map<std::pair<int, int>, int> values;
    std::map<std::pair<int, int>, int> glyphStates;
    std::set<std::pair<int, int>> noGlyph;  // cells painted without their column's glyph
    std::vector<std::pair<int, int>> changes;
    std::vector<std::pair<int, int>> currentChanges;
    std::vector<std::pair<int, int>> headerClicks;
    std::vector<std::string> editorLog;
    bool acceptChanges = true;

protected:
    CGridCellControl* NewCellEditor(int kind, int column, int row) override {
        if (kind == grid::kEditorEdit || kind == grid::kEditorCheck)
            return new RecordingEditor(&editorLog, static_cast<unsigned char>(kind));
        return CGridCore::NewCellEditor(kind, column, row);
    }
};

// Records what is painted.
class RecordingPainter : public GridPainter {
public:
    struct TextOp {
        std::string text;
        grid::Rect rect;
        unsigned format;
        grid::ColorRef color;
    };
    struct Fill {
        grid::Rect rect;
        grid::ColorRef color;
    };
    struct Control {
        grid::Rect rect;
        int type;
        unsigned state;
    };
    std::vector<TextOp> texts;
    std::vector<Fill> fills;
    std::vector<Fill> frames;
    std::vector<Control> controls;
    std::vector<Fill> lines;
    int triangles = 0;
    int rects3d = 0;

    void SelectFont(const GridFont*) override {}
    void SetClip(const grid::Rect&) override {}
    void ResetClip() override {}
    void FillRect(const grid::Rect& r, grid::ColorRef c) override { fills.push_back({r, c}); }
    void Line(int x1, int y1, int x2, int y2, grid::ColorRef c) override { lines.push_back({{x1, y1, x2, y2}, c}); }
    void FrameRect(const grid::Rect& r, grid::ColorRef c) override { frames.push_back({r, c}); }
    void Draw3dRect(const grid::Rect&, grid::ColorRef, grid::ColorRef) override { ++rects3d; }
    void FocusRect(const grid::Rect&) override {}
    void FrameControl(const grid::Rect& r, int type, unsigned state) override { controls.push_back({r, type, state}); }
    void Text(const std::string& t, const grid::Rect& r, unsigned f, grid::ColorRef c) override {
        texts.push_back({t, r, f, c});
    }
    int TextWidth(const std::string& t) override { return static_cast<int>(t.size()) * 6; }
    void Triangle(const int (&)[3], const int (&)[3], grid::ColorRef) override { ++triangles; }
    void CellIcon(int, int, int, const grid::Rect&, bool) override {}
    void MarkerLine(int, int, int) override {}

    const TextOp* FindText(const std::string& t) const {
        for (const TextOp& op : texts)
            if (op.text == t) return &op;
        return nullptr;
    }
};

}  // namespace gridtest
