// libFuzzer target: the show stage's script reader, the player's frames and
// the composition of each frame, as the show-stage form runs them. Whatever
// the script holds, the tables' counters stay within their tables, every
// frame the player makes names a picture 0-9 and a slot 0-9, and each frame
// composes onto the stage without writing outside it and with the pixels a
// plain reference drawing gives (every stage pixel mapped back into each
// actor's box in wide arithmetic). Pictures are smaller and larger than the
// stage, one of them wider than tall and one taller than wide.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "fitting_room/show_player.h"

using namespace fitting_room;

namespace {

constexpr int kStageW = 40, kStageH = 30;
constexpr std::uint32_t kKey = 0xFF00FF;

ShowImage Picture(int w, int h, int seed) {
    ShowImage p;
    p.width = w;
    p.height = h;
    p.pixels.resize(std::size_t(w) * std::size_t(h));
    for (std::size_t i = 0; i < p.pixels.size(); ++i)
        p.pixels[i] = (i + seed) % 7 == 0 ? kKey : ShowRgb(int(i * 13 + seed), int(i * 7), seed * 20);
    return p;
}

// The frame drawn pixel by pixel: each actor in order over each stage pixel.
void CheckAgainstReference(const ShowImage& stage, const ShowFrame& frame,
                           const std::array<const ShowImage*, kShowPictures>& pictures, const ShowImage& out) {
    ShowImage ref = stage;
    for (const ShowActor& a : frame.actors) {
        const ShowImage* pic = pictures[a.picture];
        const ShowSize size = ActorSize(pic->width, pic->height, a.scale);
        if (size.width <= 0 || size.height <= 0) continue;
        if (size.width > kMaxActorSide || size.height > kMaxActorSide) std::abort();
        const __int128 left = __int128(a.x) - size.width / 2;
        const __int128 top = __int128(a.y) - size.height / 2;
        for (int y = 0; y < kStageH; ++y) {
            const __int128 ay = y - top;
            if (ay < 0 || ay >= size.height) continue;
            for (int x = 0; x < kStageW; ++x) {
                const __int128 ax = x - left;
                if (ax < 0 || ax >= size.width) continue;
                const int sx = int(ax * pic->width / size.width), sy = int(ay * pic->height / size.height);
                const std::uint32_t p = pic->At(sx, sy) & 0xFFFFFF;
                if (p != kKey) ref.pixels[std::size_t(y) * kStageW + std::size_t(x)] = p;
            }
        }
    }
    if (ref.pixels != out.pixels) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto t = std::make_unique<ShowTables>();
    ParseShowScript(std::string_view(reinterpret_cast<const char*>(data), size), *t);
    if (t->sceneCount < 0 || t->sceneCount > kSceneCountCap) std::abort();
    if (t->stepCount < 0 || t->stepCount > kStepRecords) std::abort();
    if (t->keyRowCount < 0 || t->keyRowCount > kKeyRows) std::abort();
    if (t->positionCount < 0 || t->positionCount > kPoseEntries) std::abort();
    // As the form does once the named pictures have loaded.
    for (int k = 0; k < kShowPictures; ++k) t->pictures.states[k] = t->pictures.states[k] == ' ' ? ' ' : 'y';

    ShowImage stage;
    stage.width = kStageW;
    stage.height = kStageH;
    stage.pixels.assign(std::size_t(kStageW) * kStageH, 0x102030);
    static const std::array<ShowImage, kShowPictures> images = {
        Picture(7, 9, 0),  Picture(3, 27, 1), Picture(55, 4, 2),  Picture(1, 1, 3),  Picture(40, 30, 4),
        Picture(2, 2, 5),  Picture(60, 80, 6), Picture(9, 7, 7),  Picture(13, 1, 8), Picture(1, 13, 9)};
    std::array<const ShowImage*, kShowPictures> pictures{};
    for (int k = 0; k < kShowPictures; ++k) pictures[k] = &images[k];

    ShowCursor cursor;
    for (int n = 0; n < 2000; ++n) {
        const auto frame = NextShowFrame(*t, cursor);
        if (!frame) break;
        for (const ShowActor& a : frame->actors) {
            if (a.picture < 0 || a.picture >= kShowPictures || a.slot < 0 || a.slot >= kShowSlots) std::abort();
        }
        const ShowImage out = ComposeShowFrame(stage, *frame, pictures, kKey);
        if (out.width != kStageW || out.height != kStageH || out.pixels.size() != stage.pixels.size()) std::abort();
        if (n < 50) {
            CheckAgainstReference(stage, *frame, pictures, out);
            const auto at = ShowFrameAt(*t, n);
            if (!at || at->actors != frame->actors) std::abort();
        }
    }
    return 0;
}
