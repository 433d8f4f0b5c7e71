#include "fitting_room/show_player.h"

#include <algorithm>
#include <cmath>

namespace fitting_room {

int ShowBackgroundBitmap(std::int32_t number) {
    if (number == 2) return kShowBackground2;
    if (number == 3) return kShowBackground3;
    return kShowBackground1;
}

namespace {

bool ValidScene(int scene, const ShowTables& t) { return scene >= 0 && scene < t.sceneCount && scene < kSceneRecords; }

std::int32_t Wrap(long long v) {
    return static_cast<std::int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

bool ScenePlays(const ShowTables& t, int scene) {
    if (!ValidScene(scene, t)) return false;
    const ShowRecord& s = t.scenes[scene];
    if (!s.IsMoveScene()) return true;
    return s.firstStep() >= 0 && s.firstStep() < s.endStep() && s.endStep() <= kStepRecords && s.countOrDelay > 0;
}

ShowFrame MoveFrame(const ShowTables& t, int scene, int step, int f) {
    ShowFrame frame;
    frame.scene = scene;
    frame.step = step;
    frame.moveFrame = f;
    if (step < 0 || step >= kStepRecords) return frame;
    const ShowRecord& s = t.steps[step];
    frame.delayMs = s.countOrDelay;
    for (int k = 0; k < kShowSlots; ++k) {
        const int picture = s.slotPicture[k];
        const int row = s.slotIndex[k];
        if (!t.pictures.Named(picture) || !s.Active(k) || row < 0 || row >= kKeyRows) continue;
        const KeyRow& r = t.keyRows[row];
        ShowActor a;
        a.slot = k;
        a.picture = picture;
        a.x = Wrap(static_cast<long long>(f) * r.dx + r.x);
        a.y = Wrap(static_cast<long long>(f) * r.dy + r.y);
        a.scale = s.slotScale[k];
        if (r.scale > 0) a.scale = r.dscale > 0 ? static_cast<float>(f) * r.dscale + r.scale : r.scale;
        frame.actors.push_back(a);
    }
    return frame;
}

ShowFrame PoseFrame(const ShowTables& t, int scene) {
    ShowFrame frame;
    frame.scene = scene;
    if (!ValidScene(scene, t)) return frame;
    const ShowRecord& s = t.scenes[scene];
    frame.delayMs = s.countOrDelay;
    for (int k = 0; k < kShowSlots; ++k) {
        const int entry = s.slotIndex[k];
        const int picture = s.slotPicture[k];
        if (!s.Active(k) || entry < 0 || entry >= kPoseEntries || picture < 0 || picture >= kShowPictures) continue;
        frame.actors.push_back(ShowActor{k, picture, t.positions[entry].x, t.positions[entry].y, s.slotScale[k]});
    }
    return frame;
}

std::optional<ShowFrame> NextShowFrame(const ShowTables& t, ShowCursor& c) {
    while (c.scene < t.sceneCount && c.scene < kSceneRecords) {
        if (!ScenePlays(t, c.scene)) {
            ++c.scene;
            c.started = false;
            continue;
        }
        const ShowRecord& s = t.scenes[c.scene];
        if (!s.IsMoveScene()) {
            ShowFrame frame = PoseFrame(t, c.scene);
            ++c.scene;
            c.started = false;
            return frame;
        }
        if (!c.started) {
            c.started = true;
            c.f = 0;
            c.step = s.firstStep();
        }
        if (c.step >= s.endStep()) {
            c.step = s.firstStep();
            ++c.f;
        }
        if (c.f >= s.countOrDelay) {
            ++c.scene;
            c.started = false;
            continue;
        }
        ShowFrame frame = MoveFrame(t, c.scene, c.step, c.f);
        ++c.step;
        return frame;
    }
    return std::nullopt;
}

namespace {
long long SceneFrames(const ShowTables& t, int scene) {
    if (!ScenePlays(t, scene)) return 0;
    const ShowRecord& s = t.scenes[scene];
    if (!s.IsMoveScene()) return 1;
    return static_cast<long long>(s.countOrDelay) * (s.endStep() - s.firstStep());
}
}  // namespace

long long ShowFrameCount(const ShowTables& t, long long limit) {
    long long n = 0;
    for (int scene = 0; scene < t.sceneCount && scene < kSceneRecords && n < limit; ++scene) n += SceneFrames(t, scene);
    return std::min(n, limit);
}

std::optional<ShowFrame> ShowFrameAt(const ShowTables& t, long long n) {
    if (n < 0) return std::nullopt;
    for (int scene = 0; scene < t.sceneCount && scene < kSceneRecords; ++scene) {
        const long long frames = SceneFrames(t, scene);
        if (n >= frames) {
            n -= frames;
            continue;
        }
        const ShowRecord& s = t.scenes[scene];
        if (!s.IsMoveScene()) return PoseFrame(t, scene);
        const int steps = s.endStep() - s.firstStep();
        return MoveFrame(t, scene, s.firstStep() + static_cast<int>(n % steps), static_cast<int>(n / steps));
    }
    return std::nullopt;
}

ShowSize ActorSize(int pictureWidth, int pictureHeight, float scale) {
    if (!(scale > 0) || pictureWidth <= 0 || pictureHeight <= 0) return {};
    const double s = static_cast<double>(scale);
    double w = std::trunc(pictureWidth * s);
    double h = std::trunc(pictureHeight * s);
    const double cap = static_cast<double>(kMaxActorSide);
    if (!(w <= cap && h <= cap)) {
        // The same factor for both sides, so the picture keeps its shape.
        const double k = cap / std::max(pictureWidth, pictureHeight);
        w = std::trunc(pictureWidth * k);
        h = std::trunc(pictureHeight * k);
    }
    if (w < 1 || h < 1) return {};
    return {static_cast<std::int64_t>(w), static_cast<std::int64_t>(h)};
}

ShowImage ComposeShowFrame(const ShowImage& background, const ShowFrame& frame,
                           const std::array<const ShowImage*, kShowPictures>& pictures, std::uint32_t keyColour) {
    ShowImage out = background;
    if (!out.Ok()) return out;
    keyColour &= 0xFFFFFF;
    const std::int64_t frameWidth = out.width, frameHeight = out.height;
    for (const ShowActor& a : frame.actors) {
        if (a.picture < 0 || a.picture >= kShowPictures) continue;
        const ShowImage* pic = pictures[a.picture];
        if (!pic || !pic->Ok()) continue;
        const ShowSize size = ActorSize(pic->width, pic->height, a.scale);
        if (size.width <= 0) continue;
        // The actor's box on the frame, and the part of it inside the frame,
        // in the actor's own coordinates.
        const std::int64_t left = static_cast<std::int64_t>(a.x) - size.width / 2;
        const std::int64_t top = static_cast<std::int64_t>(a.y) - size.height / 2;
        const std::int64_t x0 = std::clamp<std::int64_t>(-left, 0, size.width);
        const std::int64_t x1 = std::clamp<std::int64_t>(frameWidth - left, 0, size.width);
        const std::int64_t y0 = std::clamp<std::int64_t>(-top, 0, size.height);
        const std::int64_t y1 = std::clamp<std::int64_t>(frameHeight - top, 0, size.height);
        for (std::int64_t y = y0; y < y1; ++y) {
            const int sy = static_cast<int>(y * pic->height / size.height);
            std::uint32_t* row = &out.pixels[static_cast<std::size_t>(top + y) * static_cast<std::size_t>(out.width)];
            for (std::int64_t x = x0; x < x1; ++x) {
                const int sx = static_cast<int>(x * pic->width / size.width);
                const std::uint32_t p = pic->At(sx, sy) & 0xFFFFFF;
                if (p != keyColour) row[left + x] = p;
            }
        }
    }
    return out;
}

bool IsPlainShowName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name) {
        if (c == '/' || c == '\\' || c < 32) return false;
    }
    return true;
}

}  // namespace fitting_room
