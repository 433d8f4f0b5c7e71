#pragma once
// CStageWnd: the stage canvas window of the stage editor. It forwards mouse
// events to its StageCanvasControl, paints through StagePainter into a memory
// bitmap (painted again only when the stage changed) and tells its parent
// about selections with message 0x415 (platform/ui/messages.h).
//
// Window thread only. Shares the process-wide slot table and project store;
// the drawing items are the process's CDrawItemList (StageDrawList()).
#include <filesystem>
#include <functional>
#include <memory>

#include <wx/bitmap.h>
#include <wx/window.h>

#include "picture_controls/draw_item_list.h"
#include "project_editor/stage_canvas.h"
#include "project_editor/stage_painter.h"

namespace project_editor {

// The notification record that 0x415's lParam points to: three ints
// (-1, -1, 1001), six unused ints, and the selected rectangle.
struct StageNotifyRecord {
    int a = -1, b = -1, c = 1001;
    int unused[6] = {0, 0, 0, 0, 0, 0};
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Pavanel's one drawing-item list.
picture_controls::CDrawItemList& StageDrawList();

// The canvas's face of the drawing-item list.
class DrawListAdapter : public StageDrawing {
public:
    explicit DrawListAdapter(picture_controls::CDrawItemList& list) : m_list(list) {}
    void AddItem(char kind) override { m_list.AddItem(kind); }
    void AddPoint(int x, int y) override { m_list.AddPoint(x, y); }
    void EndItem() override { m_list.EndItem(); }
    void BeginRubberBand(char mode, int x, int y) override { m_list.BeginRubberBand(mode, x, y); }
    void MoveRubberBand(int x, int y) override { m_list.DrawRubberBand(x, y, 0); }
    void EndRubberBand() override { m_list.EndRubberBand(); }
    void Clear() override { m_list.Clear(); }

private:
    picture_controls::CDrawItemList& m_list;
};

class CStageWnd : public wxWindow {
public:
    CStageWnd(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);
    ~CStageWnd() override;

    StageCanvasControl& control() { return *m_control; }
    picture_controls::CDrawItemList& items() { return m_list; }
    StagePainter& painter() { return m_painter; }

    // The Part's setters, with a repaint where the stage changes.
    void SetMode(int tool);
    void EndMode();
    void SetText(int index, const std::string& text);
    void SetCaptionFont(const wxFont& font);
    void SetOption(int frame);
    void SetValue(int index, const std::string& text);
    void SetOffset(int x, int y);
    void SetFlagA(int lock) { m_control->SetFlagA(lock); }
    void SetFlagB(int moveReference) { m_control->SetFlagB(moveReference); }
    bool LoadPictureFile(const std::filesystem::path& path);
    void SetPicturePath(const std::filesystem::path& overlay);
    void ClearPicture();
    void ClearPicture2();
    void BeginLineMode() { m_control->BeginLineMode(); }

    // Called with the new tool mode whenever it changed, whatever changed it:
    // a tool chosen, a tool that ends itself (an outline closed on its first
    // point), the right button, EndMode. The view keeps its tool icons lit
    // by it.
    void SetToolListener(std::function<void(int tool)> listener) { m_toolListener = std::move(listener); }

    // The composed stage as a picture, rendered off screen.
    wxImage RenderPicture();

    // Mouse input in client coordinates (the event handlers call these; so
    // can tests).
    void HandleButton(bool down, int button, wxPoint p);
    void HandleMotion(wxPoint p, bool left, bool middle);

private:
    void OnPaint(wxPaintEvent&);
    void OnSize(wxSizeEvent&);
    void OnMouse(wxMouseEvent& e);
    void React(const CanvasReaction& r);
    StageScene CurrentScene();
    // Tells the listener when the tool mode is no longer the one last told.
    void ToolMayHaveChanged();

    picture_controls::CDrawItemList& m_list;
    DrawListAdapter m_adapter;
    std::unique_ptr<StageCanvasControl> m_control;
    StagePainter m_painter;
    wxBitmap m_buffer;
    int m_busy = 0;
    wxCursor m_toolCursor;
    wxCursor m_dragCursor;
    std::function<void(int)> m_toolListener;
    int m_toldTool = kToolSelect;
};

}  // namespace project_editor
