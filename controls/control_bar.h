#pragma once
// CQxControlBar: a bar that docks to a side of its frame or floats in a
// small tool frame of its own, with a 5-pixel sizing edge on the side that
// faces the frame's centre. CQxTabControlBar adds a tab control along its
// bottom whose pages are views the bar creates. The frame that holds bars
// calls CQxControlBar::LayoutDockSite from its size handler. UI thread only;
// the bar is a child window of its frame (or of its floating tool frame)
// and the pages are children of the bar.
#include <array>
#include <functional>
#include <string>
#include <vector>
#include <wx/frame.h>
#include <wx/window.h>

#include "controls/control_bar_layout.h"

class wxImageList;
class wxNotebook;
class wxDC;
class CQxFloatFrame;
class wxPopupWindow;

class CQxControlBar : public wxWindow {
public:
    CQxControlBar();
    ~CQxControlBar() override;

    // Creates the bar on `frame` with the given size for every docking
    // direction; the style's alignment bits pick the side it docks to.
    virtual bool Create(wxWindow* frame, int id, const std::string& name, wxSize size, unsigned style);
    virtual bool IsFloating() const;

    // Stores the list and returns the previous one; nothing draws it.
    wxImageList* SetButtonImages(wxImageList* images);

    controls::DockSide side() const { return controls::DockSideOfBar(m_dockBarId); }
    int dockBarId() const { return m_dockBarId; }
    int barId() const { return m_barId; }
    const controls::ControlBarSizes& sizes() const { return m_sizes; }
    unsigned barStyle() const { return m_barStyle; }
    bool tracking() const { return m_tracking; }

    // The sides a drag may dock the bar to (alignment bits; all four unless
    // told otherwise).
    void EnableDocking(unsigned alignBits) { m_dockStyle = alignBits & controls::kCbrsAlignAny; }
    unsigned dockStyle() const { return m_dockStyle; }
    // What a drag of the floating bar needs to know of its frame and screen.
    controls::DockDragSite DragSite() const;

    // Docking by hand (double click, command 1214), hiding (command 1213).
    void ToggleDocking();
    void DockAt(controls::DockSide side);
    void HideBar();
    // A hidden bar comes back, docked where it was (its window was opened
    // again); a shown bar stays as it is.
    void ShowBar();
    // The small frame the bar floats in; null while docked.
    CQxFloatFrame* floatFrame() const { return m_floatFrame; }
    // A command of the bar's own (1213, 1214); false for others.
    bool RunBarCommand(int id);

    // The rectangles of this bar in its own coordinates.
    controls::NonClientLayout Layout() const;
    // The frame's dock layout: places every shown, docked bar of `frame`
    // and gives the rest to `centre` (may be null).
    static void LayoutDockSite(wxWindow* frame, wxWindow* centre);
    // Paints the bar's frame and sizing edge (and the tracking bar).
    static void PaintFrame(wxDC& dc, controls::DockSide side, wxSize size, bool tracking);

    // Mouse on the sizing edge, in bar coordinates (tests drive these).
    bool OnEdgePress(wxPoint p);
    void OnEdgeRelease();

protected:
    // Puts the content into the client rectangle; called after every move.
    virtual void LayoutContent(const wxRect& client);
    wxRect ClientArea() const;

private:
    void OnPaint();
    void OnFrameDestroyed(wxWindowDestroyEvent& e);
    void OnSetCursorAt(wxPoint p);
    void RequestFrameLayout();
    void Reparent(wxWindow* parent, int dockBarId);

    controls::ControlBarSizes m_sizes;
    wxImageList* m_buttonImages = nullptr;
    wxWindow* m_frame = nullptr;
    CQxFloatFrame* m_floatFrame = nullptr;
    int m_dockBarId = 0;
    int m_barId = 0;
    controls::DockSide m_lastDockSide = controls::DockSide::Top;
    unsigned m_barStyle = 0;
    unsigned m_dockStyle = controls::kCbrsAlignAny;
    bool m_tracking = false;
};

// The outline a drag shows: four thin halftone strips on the screen around
// the rectangle where a release would put the bar (thin for the docked
// shape, thick for the floating one). The strips are pop-ups of `owner`.
class CQxDragOutline {
public:
    static constexpr int kDockedWidth = 2;
    static constexpr int kFloatingWidth = 4;

    explicit CQxDragOutline(wxWindow* owner) : m_owner(owner) {}
    void ShowAt(const wxRect& screen, int width);
    void Hide();
    bool shown() const { return m_shown; }
    // Top, bottom, left, right; null until first shown.
    const std::array<wxPopupWindow*, 4>& strips() const { return m_strips; }

private:
    wxWindow* m_owner;
    std::array<wxPopupWindow*, 4> m_strips{};
    bool m_shown = false;
};

// The small frame a floating bar lives in: a caption strip with the bar's
// name and a close box over a thin rim that holds the bar. A drag on the
// caption shows an outline where the bar would go and, on release, docks
// it on the side under the pointer or moves the frame there (Ctrl held
// keeps it floating, Escape ends the drag); a drag on the rim sizes the
// frame. A double click on either docks the bar again, and the close box
// hides the bar. It opens inside the screen's work area, at most as large
// as that, and its caption never leaves the work area.
class CQxFloatFrame : public wxFrame {
public:
    static constexpr int kCaptionHeight = 18;
    static constexpr int kRim = 4;
    static constexpr int kCloseBox = 14;

    // Opens at `screenPos` with room for a bar of `barSize`, both brought
    // into the work area of the screen that shows `owner`.
    CQxFloatFrame(wxWindow* owner, CQxControlBar* bar, wxPoint screenPos, wxSize barSize);

    // In the frame's client coordinates.
    wxRect CaptionRect() const;
    wxRect CloseBoxRect() const;
    wxRect BarRect() const;
    // The window inside the rim that holds the bar.
    wxWindow* body() const { return m_body; }
    // The frame's rectangle for a bar of `barSize` at `screenPos`, inside `workArea`.
    static wxRect FitToWorkArea(wxPoint screenPos, wxSize barSize, const wxRect& workArea);
    // The outline of a caption drag (not shown otherwise).
    const CQxDragOutline& outline() const { return m_outline; }

private:
    enum class Drag { None, Move, Size };
    void Paint(wxDC& dc);
    void OnLeftDown(wxMouseEvent& e);
    void OnMotion(wxMouseEvent& e);
    void OnLeftUp(wxMouseEvent& e);
    void OnDoubleClick(wxMouseEvent& e);
    void OnKey(wxKeyEvent& e);
    // Where a release at the screen point would put the bar.
    controls::DockDrop DropAt(wxPoint screen, bool keepFloating) const;
    void ShowOutline(wxPoint screen, bool keepFloating);
    void EndDrag();
    // The rim's edges under a point (none on the caption or the bar).
    int EdgesAt(wxPoint p) const;

    CQxControlBar* m_bar;
    wxWindow* m_body = nullptr;
    Drag m_drag = Drag::None;
    wxPoint m_dragFrom;       // screen point where the drag began
    wxRect m_rectAtDragStart;  // the frame's screen rectangle then
    int m_sizeEdges = 0;       // which edges a size drag moves
    bool m_moved = false;      // a caption drag went beyond the threshold
    wxPoint m_lastPointer;     // screen point of the drag's last motion
    controls::DockDragSite m_site;  // taken when a caption drag begins
    CQxDragOutline m_outline{this};
};

class CQxTabControlBar : public CQxControlBar {
public:
    using ViewFactory = std::function<wxWindow*(wxWindow* parent)>;

    CQxTabControlBar();
    ~CQxTabControlBar() override;

    bool Create(wxWindow* frame, int id, const std::string& name, wxSize size, unsigned style) override;
    // Creates a page view with `makeView` as a child of the bar's tabs and
    // adds its tab; false when the view could not be made. Only the first
    // page is shown; later pages stay hidden and disabled.
    bool AddView(const std::string& name, const ViewFactory& makeView);
    void SetImageList(wxImageList* images);

    struct Page {
        wxWindow* view = nullptr;
        std::string name;  // at most 31 bytes in the system's encoding
    };
    const std::vector<Page>& pages() const { return m_pages; }
    wxNotebook* tabs() const { return m_tabs; }
    wxWindow* lastView() const { return m_lastView; }

protected:
    void LayoutContent(const wxRect& client) override;

private:
    wxNotebook* m_tabs = nullptr;
    wxWindow* m_lastView = nullptr;
    std::vector<Page> m_pages;
    bool m_adding = false;
};
