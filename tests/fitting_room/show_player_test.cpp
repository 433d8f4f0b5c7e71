// The show player's frames as a function of the tables and the frame
// number, and the pixels of a composed frame.
#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "fitting_room/show_player.h"
#include "platform/text.h"

using namespace fitting_room;

namespace {

std::unique_ptr<ShowTables> Parse(const std::string& utf8) {
    auto t = std::make_unique<ShowTables>();
    ParseShowScript(*platform::Utf8ToGbk(utf8), *t);
    return t;
}

std::vector<int> Xs(const ShowFrame& f) {
    std::vector<int> xs;
    for (const auto& a : f.actors) xs.push_back(a.x);
    return xs;
}

TEST(ShowPlayer, MoveSceneWalksFramesOverItsSteps) {
    auto t = Parse(
        "<BMP1:甲;BMP2:乙>"
        "[NUM:3;(MV1:100,50,10,-5,1.0,0.25;MV2:300,60,0,0,0.5,0;TIM:40)(MV2:20,30,2,3,0,0)]"
        "(MV1:11,22,0.5;TIM:300)");
    ASSERT_EQ(t->sceneCount, 2);
    EXPECT_EQ(ShowFrameCount(*t), 3 * 2 + 1);

    // Frame 0: step 0 at f = 0.
    auto f = ShowFrameAt(*t, 0);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->step, 0);
    EXPECT_EQ(f->delayMs, 40);
    ASSERT_EQ(f->actors.size(), 2u);
    EXPECT_EQ(f->actors[0], (ShowActor{0, 0, 100, 50, 1.0f}));
    EXPECT_EQ(f->actors[1], (ShowActor{1, 1, 300, 60, 0.5f}));
    // Frame 1: step 1 at f = 0; a key row with scale 0 leaves the slot's scale.
    f = ShowFrameAt(*t, 1);
    EXPECT_EQ(f->step, 1);
    EXPECT_EQ(f->delayMs, 100);
    ASSERT_EQ(f->actors.size(), 1u);
    EXPECT_EQ(f->actors[0], (ShowActor{0, 1, 20, 30, 1.0f}));
    // Frames 0, 2, 4: x, x + 10, x + 20; y falls by 5; the scale grows by dscale.
    EXPECT_EQ(Xs(*ShowFrameAt(*t, 2)), (std::vector<int>{110, 300}));
    f = ShowFrameAt(*t, 4);
    EXPECT_EQ(f->moveFrame, 2);
    EXPECT_EQ(f->actors[0], (ShowActor{0, 0, 120, 40, 1.5f}));
    EXPECT_EQ(f->actors[1], (ShowActor{1, 1, 300, 60, 0.5f}));  // dscale 0: the scale itself
    EXPECT_EQ(ShowFrameAt(*t, 5)->actors[0], (ShowActor{0, 1, 24, 36, 1.0f}));
    // The pose scene's one frame, then the end.
    f = ShowFrameAt(*t, 6);
    EXPECT_EQ(f->step, -1);
    EXPECT_EQ(f->delayMs, 300);
    ASSERT_EQ(f->actors.size(), 1u);
    EXPECT_EQ(f->actors[0], (ShowActor{0, 0, 11, 22, 0.5f}));
    EXPECT_FALSE(ShowFrameAt(*t, 7));

    // The cursor the window runs gives the same frames in the same order.
    ShowCursor c;
    for (long long n = 0; n < 7; ++n) {
        auto next = NextShowFrame(*t, c);
        ASSERT_TRUE(next) << n;
        const auto at = ShowFrameAt(*t, n);
        EXPECT_EQ(next->step, at->step) << n;
        EXPECT_EQ(next->actors, at->actors) << n;
    }
    EXPECT_FALSE(NextShowFrame(*t, c));
}

TEST(ShowPlayer, OnlyActorsWhosePictureIsNamedAreShown) {
    // Slot 0 shows picture 2 (named); slot 1 shows picture 0, which is not
    // named: the slot's own picture decides, not the slot's number.
    auto t = Parse("<BMP3:丙>[NUM:1;(MV3:1,2,0,0,1,0;MV1:5,6,0,0,1,0)]");
    auto f = ShowFrameAt(*t, 0);
    ASSERT_EQ(f->actors.size(), 1u);
    EXPECT_EQ(f->actors[0].picture, 2);

    // Nothing named, nothing counted: no frames.
    EXPECT_EQ(ShowFrameCount(*Parse("<BMP1:甲>")), 0);
    ShowCursor c;
    EXPECT_FALSE(NextShowFrame(*Parse("<BMP1:甲>"), c));
    // A move scene with 0 frames or no steps is skipped.
    EXPECT_EQ(ShowFrameCount(*Parse("<BMP1:甲>[NUM:0;(MV1:1,2)][NUM:4;](MV1:1,2)")), 1);
}

TEST(ShowPlayer, BackgroundNumbers) {
    EXPECT_EQ(ShowBackgroundBitmap(2), 140);
    EXPECT_EQ(ShowBackgroundBitmap(3), 138);
    for (int n : {0, 1, 4, -1}) EXPECT_EQ(ShowBackgroundBitmap(n), 139) << n;
}

TEST(ShowPlayer, ActorSizesKeepThePicturesShape) {
    struct Case {
        int w, h;
        float scale;
        ShowSize size;
    };
    const Case cases[] = {
        {100, 50, 0.5f, {50, 25}},
        {101, 51, 0.5f, {50, 25}},           // truncated
        {88, 270, 2.0f, {176, 540}},         // past a 520 x 390 stage: not squashed
        {100, 50, 30.0f, {3000, 1500}},
        {4, 2, 1e30f, {kMaxActorSide, kMaxActorSide / 2}},  // brought down, shape kept
        {3, 9, std::numeric_limits<float>::infinity(), {kMaxActorSide / 3, kMaxActorSide}},
        {100, 50, 0.0f, {}},
        {100, 50, -2.0f, {}},
        {100, 50, std::numeric_limits<float>::quiet_NaN(), {}},
        {100, 50, 0.001f, {}},               // below one pixel
        {0, 50, 1.0f, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ActorSize(c.w, c.h, c.scale), c.size) << c.w << " x " << c.h << " at " << c.scale;
}

ShowImage Image(int w, int h, std::uint32_t colour) {
    ShowImage i;
    i.width = w;
    i.height = h;
    i.pixels.assign(std::size_t(w) * std::size_t(h), colour);
    return i;
}

// The picture as rows of letters: '.' background, 'K' key colour, 'A' actor.
std::vector<std::string> Rows(const ShowImage& img, std::uint32_t bg, std::uint32_t actor) {
    std::vector<std::string> rows;
    for (int y = 0; y < img.height; ++y) {
        std::string r;
        for (int x = 0; x < img.width; ++x) {
            const auto p = img.At(x, y);
            r += p == bg ? '.' : p == actor ? 'A' : '?';
        }
        rows.push_back(r);
    }
    return rows;
}

TEST(ShowPlayer, ComposesActorsCentredWithTheKeyColourTransparent) {
    const std::uint32_t bg = ShowRgb(10, 20, 30), key = ShowRgb(255, 0, 255), red = ShowRgb(200, 0, 0);
    ShowImage background = Image(8, 6, bg);
    ShowImage pic = Image(2, 2, red);
    pic.pixels[0] = key;  // top-left pixel keyed out
    std::array<const ShowImage*, kShowPictures> pictures{};
    pictures[4] = &pic;

    ShowFrame frame;
    frame.actors = {ShowActor{0, 4, 2, 2, 2.0f},    // 4 x 4, centred on (2, 2): left 0, top 0
                    ShowActor{1, 4, 7, 5, 1.0f},    // 2 x 2 at (6, 4), its keyed corner too
                    ShowActor{2, 4, 7, 0, 0.0f},    // scale 0: skipped
                    ShowActor{3, 5, 5, 3, 1.0f},    // picture 5 not loaded
                    ShowActor{4, 4, -50, 2, 1.0f}}; // off the stage
    const ShowImage out = ComposeShowFrame(background, frame, pictures, key);
    EXPECT_EQ(Rows(out, bg, red), (std::vector<std::string>{
                                      "..AA....",
                                      "..AA....",
                                      "AAAA....",
                                      "AAAA....",
                                      ".......A",
                                      "......AA",
                                  }));
    // A huge scale keeps the picture's shape and is clipped at the frame: the
    // 2 x 2 picture at 1000 is 2000 x 2000 centred on (4, 3), so the frame
    // shows the middle of it, its keyed quarter at the top left.
    frame.actors = {ShowActor{0, 4, 4, 3, 1000.0f}};
    const ShowImage big = ComposeShowFrame(background, frame, pictures, key);
    EXPECT_EQ(Rows(big, bg, red), (std::vector<std::string>{
                                      "....AAAA",
                                      "....AAAA",
                                      "....AAAA",
                                      "AAAAAAAA",
                                      "AAAAAAAA",
                                      "AAAAAAAA",
                                  }));
    // Positions at the limits of an int (a damaged script) draw nothing and
    // never write outside the frame; a giant actor far off still reaches in.
    constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    for (const ShowActor& a : {ShowActor{0, 4, kMin, kMin, 1.0f}, ShowActor{0, 4, kMax, kMax, 1.0f},
                               ShowActor{0, 4, kMin, 3, 1.0f}, ShowActor{0, 4, 4, kMax, 1.0f},
                               ShowActor{0, 4, kMin, kMin, 1e30f}, ShowActor{0, 4, kMax, kMin, 1e30f}}) {
        frame.actors = {a};
        const ShowImage far = ComposeShowFrame(background, frame, pictures, key);
        EXPECT_EQ(far.pixels, background.pixels) << a.x << ", " << a.y << " at " << a.scale;
    }
    frame.actors = {ShowActor{0, 4, -static_cast<int>(kMaxActorSide / 2) + 2, 3, 1e30f}};
    EXPECT_EQ(Rows(ComposeShowFrame(background, frame, pictures, key), bg, red),
              (std::vector<std::string>{"AA......", "AA......", "AA......", "AA......", "AA......", "AA......"}));
    // The background itself is never changed.
    EXPECT_EQ(background.At(7, 5), bg);
}

// A script that puts an actor at the most negative int: the frame is the
// background, untouched.
TEST(ShowPlayer, ADamagedScriptsExtremePositionDrawsNothing) {
    auto t = Parse("<BMP1:甲>(MV1:-2147483648,-2147483648,1;)[NUM:2;(MV1:-2147483640,5,-100,0,1,0)]");
    ASSERT_EQ(t->sceneCount, 2);
    ShowImage background = Image(8, 6, ShowRgb(1, 2, 3));
    ShowImage pic = Image(3, 3, ShowRgb(200, 0, 0));
    std::array<const ShowImage*, kShowPictures> pictures{};
    pictures[0] = &pic;
    ShowCursor c;
    int frames = 0;
    while (const auto f = NextShowFrame(*t, c)) {
        ++frames;
        ASSERT_EQ(f->actors.size(), 1u);
        EXPECT_LT(f->actors[0].x, -2000000000);
        EXPECT_EQ(ComposeShowFrame(background, *f, pictures, 0).pixels, background.pixels) << frames;
    }
    EXPECT_EQ(frames, 3);
}

}  // namespace
