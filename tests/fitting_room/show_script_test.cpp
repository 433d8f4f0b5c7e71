// The show script reader over real script texts: each statement, the
// tables' limits, broken blocks, GBK names and overlong blocks and tokens.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fitting_room/show_script.h"
#include "platform/text.h"
#include "tests/support/temp_dir.h"

using namespace fitting_room;

namespace {

std::unique_ptr<ShowTables> Parse(const std::string& utf8) {
    auto t = std::make_unique<ShowTables>();
    ParseShowScript(*platform::Utf8ToGbk(utf8), *t);
    return t;
}

TEST(ShowScript, PictureBlockNamesPicturesColourBackgroundAndBeat) {
    auto t = Parse("<RGB:255,0,255;BG:3;WAV:节拍二;BMP1:红裙模特;BMP3:ab;BMPA:西装;BMP2:;BMPX:no;>");
    const ShowPictureBlock& p = t->pictures;
    EXPECT_EQ(p.rgb, (std::array<std::int32_t, 3>{255, 0, 255}));
    EXPECT_EQ(p.background, 3);
    EXPECT_EQ(p.beatWave, "节拍二");
    EXPECT_EQ(p.names[0], "红裙模特");  // GBK bytes above 0x7F survive the character filter
    EXPECT_EQ(p.states[0], 'Y');
    EXPECT_EQ(p.names[2], "ab");
    EXPECT_EQ(p.names[9], "西装");
    EXPECT_EQ(p.states[9], 'Y');
    EXPECT_EQ(p.states[1], ' ');  // an empty name names nothing
    EXPECT_EQ(t->sceneCount, 0);   // pictures only: nothing to play
    // Blanks belong to the tokens here: " BMP4" is no keyword.
    t = Parse("<RGB:1,2,3; BMP4:x;>");
    EXPECT_EQ(t->pictures.states[3], ' ');
    // A new picture block starts the colour at black again.
    t = Parse("<RGB:9,9,9;><BG:2>");
    EXPECT_EQ(t->pictures.rgb, (std::array<std::int32_t, 3>{0, 0, 0}));
    EXPECT_EQ(t->pictures.background, 2);
}

TEST(ShowScript, MoveSceneTakesStepsKeyRowsAndFrames) {
    auto t = Parse(
        "注释不算 [ NUM:5; WAV:开场;\r\n"
        "  (MV3:10,20,3,-2,0.5,0.1; TIM:40)\n"
        "  (MV1:100,200; MV2:7)\t]");
    ASSERT_EQ(t->sceneCount, 1);
    const ShowRecord& scene = t->scenes[0];
    EXPECT_TRUE(scene.IsMoveScene());
    EXPECT_EQ(scene.countOrDelay, 5);
    EXPECT_EQ(scene.firstStep(), 0);
    EXPECT_EQ(scene.endStep(), 2);
    EXPECT_EQ(scene.ownWave, 'Y');
    EXPECT_EQ(scene.waveName, "开场");
    EXPECT_EQ(t->stepCount, 2);
    // MV3 first: slot 0 shows picture 2.
    const ShowRecord& s0 = t->steps[0];
    EXPECT_EQ(s0.slotPicture[0], 2);
    EXPECT_EQ(s0.slotIndex[0], 0);
    EXPECT_TRUE(s0.Active(0));
    EXPECT_EQ(s0.countOrDelay, 40);
    const KeyRow& r0 = t->keyRows[0];
    EXPECT_EQ(r0.x, 10);
    EXPECT_EQ(r0.y, 20);
    EXPECT_EQ(r0.dx, 3);
    EXPECT_EQ(r0.dy, -2);
    EXPECT_FLOAT_EQ(r0.scale, 0.5f);
    EXPECT_FLOAT_EQ(r0.dscale, 0.1f);
    // Second step: slot 0 with only x and y keeps dx = dy = 1 from taking the
    // row; slot 1 with only x is not active (its row is taken all the same).
    const ShowRecord& s1 = t->steps[1];
    EXPECT_EQ(s1.slotPicture[0], 0);
    EXPECT_EQ(t->keyRows[1].x, 100);
    EXPECT_EQ(t->keyRows[1].y, 200);
    EXPECT_EQ(t->keyRows[1].dx, 1);
    EXPECT_EQ(t->keyRows[1].dy, 1);
    EXPECT_FLOAT_EQ(t->keyRows[1].scale, 1.0f);
    EXPECT_TRUE(s1.Active(0));
    EXPECT_EQ(s1.slotPicture[1], 1);
    EXPECT_EQ(t->keyRows[2].x, 7);
    EXPECT_FALSE(s1.Active(1));
    EXPECT_EQ(s1.countOrDelay, 100);
    EXPECT_EQ(t->keyRowCount, 3);
    // Rows not taken keep their empty values.
    EXPECT_EQ(t->keyRows[3].x, 50);
    EXPECT_EQ(t->keyRows[3].dx, 0);
}

TEST(ShowScript, PoseSceneTakesPositionsAndScales) {
    auto t = Parse("(MV2:30,40,0.75;MV1:5;MVA: 60, 70;TIM:250)( MV1:1,2;)");
    ASSERT_EQ(t->sceneCount, 1);  // the second block's " MV1" is no keyword: nothing active
    const ShowRecord& s = t->scenes[0];
    EXPECT_FALSE(s.IsMoveScene());
    EXPECT_EQ(s.countOrDelay, 250);
    EXPECT_EQ(s.slotPicture[0], 1);
    EXPECT_EQ(t->positions[s.slotIndex[0]].x, 30);
    EXPECT_EQ(t->positions[s.slotIndex[0]].y, 40);
    EXPECT_FLOAT_EQ(s.slotScale[0], 0.75f);
    EXPECT_TRUE(s.Active(0));
    EXPECT_FALSE(s.Active(1));  // x only
    EXPECT_TRUE(s.Active(2));   // leading blanks of numbers still convert
    EXPECT_EQ(s.slotPicture[2], 9);
    EXPECT_EQ(t->positions[s.slotIndex[2]].y, 70);
    EXPECT_EQ(t->positionCount, 3);
}

TEST(ShowScript, BadBlocksAndUnknownKeywordsChangeNothing) {
    struct Case {
        const char* script;
        int scenes, steps;
    };
    const Case cases[] = {
        {"[(MV1:1,2,3,4,1,0)]", 0, 1},                   // no NUM: the record stays unused
        {"[(MV1:1,2,3,4,1,0)][NUM:2;(MV1:5,5)]", 1, 2},  // ... and the next block takes it
        {"(FOO:1,2;BAR:3)", 0, 0},
        {"(MV1:1)", 0, 0},                               // x only: no slot active
        {"[NUM:2;(MV1:1,2)", 0, 0},                      // never closed
        {"no blocks at all ] ) >", 0, 0},
        {"[NUM:x;(MV1:1,2)]", 1, 1},                     // not a number: 0 frames, still a move scene
    };
    for (const Case& c : cases) {
        auto t = Parse(c.script);
        EXPECT_EQ(t->sceneCount, c.scenes) << c.script;
        EXPECT_EQ(t->stepCount, c.steps) << c.script;
    }
    // A move scene without steps is counted; the player finds nothing in it.
    auto t = Parse("[NUM:3;]");
    EXPECT_EQ(t->sceneCount, 1);
    EXPECT_EQ(t->scenes[0].firstStep(), t->scenes[0].endStep());
}

TEST(ShowScript, TablesStopAtTheirLimits) {
    // 70 pose scenes: 60 counted, the 61st record filled, nothing beyond.
    std::string script;
    for (int i = 0; i < 70; ++i) script += "(MV1:" + std::to_string(i) + ",1)";
    auto t = Parse(script);
    EXPECT_EQ(t->sceneCount, 60);
    EXPECT_EQ(t->positions[t->scenes[60].slotIndex[0]].x, 69);

    // Move blocks are taken while at most 130 steps exist; one block may run
    // on to the end of the 166-record step table, never past it.
    std::string block = "[NUM:1;";
    for (int i = 0; i < 60; ++i) block += "(MV1:1,1)";
    block += "]";
    ASSERT_LE(block.size(), 602u);
    t = Parse(block + block + block + block);
    EXPECT_EQ(t->stepCount, kStepRecords);  // 0, 60, 120 -> the third block stops at 166
    EXPECT_EQ(t->sceneCount, 3);            // the fourth finds more than 130 steps
    EXPECT_EQ(t->scenes[2].firstStep(), 120);
    EXPECT_EQ(t->scenes[2].endStep(), kStepRecords);

    // Key rows stop at 960: a slot beyond gets no row and is not active.
    std::string rows = "[NUM:1;(";
    for (int i = 0; i < 10; ++i) rows += "MV1:1,2;";
    rows += ")]";
    std::string all;
    for (int i = 0; i < 100; ++i) all += rows;
    t = Parse(all);
    EXPECT_EQ(t->keyRowCount, kKeyRows);
    EXPECT_EQ(t->sceneCount, 60);
    EXPECT_EQ(t->stepCount, 100);  // the 61st record is filled again and again
    EXPECT_EQ(t->steps[95].slotIndex[9], kKeyRows - 1);
    EXPECT_EQ(t->steps[96].slotIndex[0], -1);
    EXPECT_FALSE(t->steps[96].Active(0));

    // Positions stop at 1,600 pose entries.
    std::string poses = "(";
    for (int i = 0; i < 10; ++i) poses += "MV1:1,2;";
    poses += ")";
    std::string allPoses;
    for (int i = 0; i < 170; ++i) allPoses += poses;
    t = Parse(allPoses);
    EXPECT_LE(t->positionCount, kPoseEntries);
}

TEST(ShowScript, LongBlocksAndTokensAreCut) {
    // A token of 20 characters keeps its first 17; a GBK name is never cut
    // inside a character.
    auto t = Parse("<BMP1:ABCDEFGHIJKLMNOPQRST;BMP2:一二三四五六七八九十>");
    EXPECT_EQ(t->pictures.names[0], "ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(t->pictures.names[1], "一二三四五六七八");  // 16 bytes; the 9th character would end at 18

    // A block of exactly 600 characters is read whole.
    const std::string pad(589, ';');
    t = Parse("<" + pad + "BMP1:x;BG:2>");
    EXPECT_EQ(t->pictures.names[0], "x");
    EXPECT_EQ(t->pictures.background, 2);
    // Beyond 600, the later characters all land on the 601st place.
    t = Parse("<" + pad + "BMP1:x;BG:2" + std::string(50, '7') + "9>");
    EXPECT_EQ(t->pictures.background, 29);
}

TEST(ShowScript, ReadsTheFileAndLeavesTablesWhenItIsMissing) {
    testsupport::TempDir dir;
    auto t = std::make_unique<ShowTables>();
    t->sceneCount = 7;
    EXPECT_FALSE(LoadShowScript(dir.path(), *t));
    EXPECT_EQ(t->sceneCount, 7);
    dir.write(std::filesystem::path("服饰发布展台图片") / "KZV动画描述.txt",
              *platform::Utf8ToGbk("<BMP1:模特>\r\n(MV1:1,2)\r\n"));
    EXPECT_TRUE(LoadShowScript(dir.path(), *t));
    EXPECT_EQ(t->sceneCount, 1);
    EXPECT_EQ(t->pictures.names[0], "模特");
    EXPECT_EQ(ShowFilePath(dir.path(), "模特", ".bmp"), dir / "服饰发布展台图片" / "模特.bmp");
}

}  // namespace
