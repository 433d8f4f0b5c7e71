#pragma once
// The toolbar tip's decisions without a window: where the tip goes for a
// point of its owner, whether a request shows it, and when it hides again.
// Used by CTbarButTittleTip on the UI thread; tests call it directly.

namespace controls {

// Timer of the tip: id 15, a tick every 300 ms, hidden on the fourth tick.
inline constexpr int kTipTimerId = 15;
inline constexpr int kTipTickMs = 300;
inline constexpr int kTipTickLimit = 3;
// The tip's font: 14-pixel "宋体"; the text sits at (2, 2) of the tip's
// client area, inside its one-pixel black frame.
inline constexpr int kTipFontHeight = 14;
inline constexpr int kTipTextInset = 2;
inline constexpr int kTipBorder = 1;
// The tip's background, 0x00BBGGRR: pale yellow.
inline constexpr unsigned kTipBackground = 0xE1FFFF;

struct TipRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const TipRect&) const = default;
};

// The tip for text of w x h pixels asked at (x, y) of the owner's client
// area: it stands above the point, its bottom 10 pixels above y. At small y
// it reaches above the owner (negative top), as users of the toolbar see it.
TipRect TipRectFor(int x, int y, int textWidth, int textHeight);

// A request shows a tip only when none is shown and the program has focus.
bool TipRequestShows(bool tipVisible, bool programHasFocus);

// Counts the timer's ticks since the tip was shown.
class TipTicks {
public:
    void Restart() { m_ticks = 0; }
    // One tick; true when the tip must hide now (past the limit).
    bool Tick() { return ++m_ticks > m_limit; }
    int ticks() const { return m_ticks; }

private:
    int m_limit = kTipTickLimit;
    int m_ticks = 0;
};

}  // namespace controls
