#pragma once
// The show player's arithmetic: which frames a script's tables make, what
// each frame shows (background, actors with position, scale and picture,
// the delay after it), and the pixels of a frame composed from the stage
// background and the actors' pictures with the key colour transparent.
//
// A move scene of n frames over steps s0..s1-1 makes n x (s1 - s0) frames:
// for frame f, each step in turn, every actor of the step at
// (x + f*dx, y + f*dy) of its key row. A pose scene makes one frame.
// Everything here is a pure function of the tables; the show-stage form runs
// it one frame per timer tick.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fitting_room/show_script.h"

namespace fitting_room {

// The stage bitmaps: the still stage and the three show backgrounds.
inline constexpr int kStillStageBitmap = 141;
inline constexpr int kShowBackground1 = 139;
inline constexpr int kShowBackground2 = 140;
inline constexpr int kShowBackground3 = 138;

// The show background a background number picks (2: 140, 3: 138, else 139).
int ShowBackgroundBitmap(std::int32_t number);

struct ShowActor {
    int slot = 0;
    int picture = 0;  // 0-9
    int x = 0, y = 0; // the picture's centre on the frame
    float scale = 1.0f;
    bool operator==(const ShowActor&) const = default;
};

struct ShowFrame {
    int scene = 0;          // index into the scene table
    int step = -1;          // the step of a move scene, -1 for a pose scene
    int moveFrame = 0;      // f of a move scene
    std::int32_t delayMs = kDefaultDelay;
    std::vector<ShowActor> actors;  // slot order
};

// Where a run stands: the next frame to make.
struct ShowCursor {
    int scene = 0;
    int f = 0;
    int step = 0;
    bool started = false;  // inside the scene at `scene`
};

// A move scene's frame f of `step`: the actors whose own picture is named,
// active in the step, with a key row and a picture; scale f*dscale + scale
// (dscale > 0) or the row's scale when it is above 0, else the step's.
ShowFrame MoveFrame(const ShowTables& t, int scene, int step, int f);
// A pose scene's one frame.
ShowFrame PoseFrame(const ShowTables& t, int scene);

// True when the scene is played: a move scene whose first step is below its
// end step (both within the step table) with a frame count above 0, or a pose
// scene.
bool ScenePlays(const ShowTables& t, int scene);

// The next frame from `cursor`, advancing it; nullopt when the run is over.
std::optional<ShowFrame> NextShowFrame(const ShowTables& t, ShowCursor& cursor);

// Frame n (0-based) of the whole run; nullopt past its end.
std::optional<ShowFrame> ShowFrameAt(const ShowTables& t, long long n);

// How many frames the whole run has (counted up to `limit`).
long long ShowFrameCount(const ShowTables& t, long long limit = 1'000'000'000LL);

// Pixels: 0x00RRGGBB, rows top down.
struct ShowImage {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    bool Ok() const { return width > 0 && height > 0 && pixels.size() == std::size_t(width) * std::size_t(height); }
    std::uint32_t At(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

inline std::uint32_t ShowRgb(int r, int g, int b) {
    return (std::uint32_t(r & 255) << 16) | (std::uint32_t(g & 255) << 8) | std::uint32_t(b & 255);
}

// An actor's drawn size: the picture's size times the scale, truncated,
// with the picture's aspect kept however far it reaches past the stage (the
// frame clips it); empty (0 x 0) when the scale is not above 0 or a side
// comes out below one pixel. A side never exceeds kMaxActorSide: an absurd
// scale is brought down to that, both sides by the same factor.
inline constexpr std::int64_t kMaxActorSide = std::int64_t(1) << 30;
struct ShowSize {
    std::int64_t width = 0, height = 0;
    bool operator==(const ShowSize&) const = default;
};
ShowSize ActorSize(int pictureWidth, int pictureHeight, float scale);

// The frame on a copy of `background`: each actor whose picture is loaded
// (non-null and Ok), scaled (nearest pixel) and centred on its position,
// clipped at the frame's edges, with pixels of the key colour left out. Any
// position an int holds is safe: the visible part is worked out in 64 bits.
ShowImage ComposeShowFrame(const ShowImage& background, const ShowFrame& frame,
                           const std::array<const ShowImage*, kShowPictures>& pictures, std::uint32_t keyColour);

// A name from the script taken as a file name in the show folder: no path
// separators, not empty, "." or "..".
bool IsPlainShowName(const std::string& name);

}  // namespace fitting_room
