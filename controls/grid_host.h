#pragma once
// What the grid core needs from the window that shows it. The window side
// implements it over the toolkit; tests implement it with a recorder.
#include <cstdint>

#include "controls/grid_types.h"

class GridHost {
public:
    virtual ~GridHost() = default;

    // Whether the window exists (messages and repaints go nowhere before).
    virtual bool WindowExists() const = 0;
    // The client area as it is now, and as it would be with no scroll bar.
    virtual grid::Size ClientSize() const = 0;
    virtual grid::Size FullClientSize() const = 0;
    // Width of a vertical scroll bar and height of a horizontal one.
    virtual grid::Size ScrollBarSize() const = 0;
    // Height of a line of text in the grid's cell font.
    virtual int CellTextHeight() const = 0;
    // The low bits of the window style (grid::GridStyle).
    virtual unsigned GridStyleBits() const = 0;

    // Repaint requests; a null rectangle is the whole client area.
    virtual void Invalidate(const grid::Rect* rect, bool erase) = 0;
    // Paints pending repaints now.
    virtual void UpdateNow() = 0;
    // The data area moved by (dx, dy) pixels; the window repaints it.
    virtual void ScrollData(int dx, int dy) = 0;

    // A scroll bar in pixels divided by the axis scale: shown only when
    // `shown`; range and page in bar units.
    virtual void SetScrollBar(bool horizontal, bool shown, int position, int page, int range) = 0;
    virtual void SetScrollPosition(bool horizontal, int position) = 0;

    virtual void FocusGrid() = 0;
    virtual void SetMouseCapture(bool capture) = 0;

    // Identity of the window as its messages carry it.
    virtual std::uintptr_t WindowHandle() const = 0;
    virtual int WindowId() const = 0;

    // Messages to the parent window and to the owner (the parent when there
    // is no owner).
    virtual std::intptr_t SendToParent(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) = 0;
    virtual void PostToParent(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) = 0;
    virtual std::intptr_t SendToOwner(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) = 0;
};
