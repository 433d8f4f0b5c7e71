// libFuzzer target: the show stage's script reader and the player's frames.
// Whatever the script holds, the tables' counters stay within their tables,
// every frame the player makes names a picture 0-9 and a slot 0-9, and a
// frame composes onto a small stage without writing outside it.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "fitting_room/show_player.h"

using namespace fitting_room;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto t = std::make_unique<ShowTables>();
    ParseShowScript(std::string_view(reinterpret_cast<const char*>(data), size), *t);
    if (t->sceneCount < 0 || t->sceneCount > kSceneCountCap) std::abort();
    if (t->stepCount < 0 || t->stepCount > kStepRecords) std::abort();
    if (t->keyRowCount < 0 || t->keyRowCount > kKeyRows) std::abort();
    if (t->positionCount < 0 || t->positionCount > kPoseEntries) std::abort();
    for (int k = 0; k < kShowPictures; ++k) t->pictures.states[k] = t->pictures.states[k] == ' ' ? ' ' : 'y';

    ShowImage stage;
    stage.width = 40;
    stage.height = 30;
    stage.pixels.assign(40 * 30, 0x102030);
    ShowImage picture;
    picture.width = 7;
    picture.height = 9;
    picture.pixels.assign(7 * 9, 0xFF00FF);
    picture.pixels[10] = 0x00FF00;
    std::array<const ShowImage*, kShowPictures> pictures{};
    for (auto& p : pictures) p = &picture;

    ShowCursor cursor;
    for (int n = 0; n < 2000; ++n) {
        const auto frame = NextShowFrame(*t, cursor);
        if (!frame) break;
        for (const ShowActor& a : frame->actors) {
            if (a.picture < 0 || a.picture >= kShowPictures || a.slot < 0 || a.slot >= kShowSlots) std::abort();
        }
        const ShowImage out = ComposeShowFrame(stage, *frame, pictures, 0xFF00FF);
        if (out.width != 40 || out.height != 30 || out.pixels.size() != stage.pixels.size()) std::abort();
        if (n < 50) {
            const auto at = ShowFrameAt(*t, n);
            if (!at || at->actors != frame->actors) std::abort();
        }
    }
    return 0;
}
