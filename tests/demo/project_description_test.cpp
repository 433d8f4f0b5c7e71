// The demo projects' description files and the placing arithmetic.
#include "demo/project_builder/project_description.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

using demo::ReadDemoProject;
using demo::StageCoordinate;

TEST(DemoDescription, ReadsProjectFigureCategoriesAndItems) {
    std::istringstream in(
        "# a comment\n"
        "project 女装 basic\n"
        "figure 104 14 0.8\r\n"
        "\n"
        "category 模特\n"
        "item 女模特 figure_woman.svg 99 女模特 MODEL-W01 ----\n"
        "category 上装\n"
        "item 白衬衫 blouse_white.svg 45 白色棉衬衫 W-TOP-001 159 https://example.com/a\n");
    const auto p = ReadDemoProject(in);
    EXPECT_EQ(p.name, "女装");
    EXPECT_FALSE(p.web);
    EXPECT_EQ(p.figureX, 104);
    EXPECT_EQ(p.figureY, 14);
    EXPECT_FLOAT_EQ(p.scale, 0.8f);
    EXPECT_EQ(p.categories, (std::vector<std::string>{"模特", "上装"}));
    ASSERT_EQ(p.items.size(), 2u);
    EXPECT_EQ(p.items[0].category, 0);
    EXPECT_EQ(p.items[0].depth, 99);
    EXPECT_TRUE(p.items[0].link.empty());
    EXPECT_EQ(p.items[1].category, 1);
    EXPECT_EQ(p.items[1].picture, "白衬衫");
    EXPECT_EQ(p.items[1].drawing, "blouse_white.svg");
    EXPECT_EQ(p.items[1].name, "白色棉衬衫");
    EXPECT_EQ(p.items[1].goodsCode, "W-TOP-001");
    EXPECT_EQ(p.items[1].price, "159");
    EXPECT_EQ(p.items[1].link, "https://example.com/a");
}

TEST(DemoDescription, AVoiceLineGivesItsItemAFileAndTheTextToSpeak) {
    std::istringstream in(
        "project p basic\nfigure 0 0 1\ncategory c\n"
        "item a a.svg 45 n c 1\nitem b b.svg 45 n c 1\n"
        "voice b b介绍.wav  白色棉衬衫，纯棉面料, 一百五十九元。\r\n");
    const auto p = ReadDemoProject(in);
    ASSERT_EQ(p.items.size(), 2u);
    EXPECT_TRUE(p.items[0].voice.empty());
    EXPECT_EQ(p.items[1].voice, "b介绍.wav");
    EXPECT_EQ(p.items[1].voiceText, "白色棉衬衫，纯棉面料, 一百五十九元。");
}

TEST(DemoDescription, RefusesLinesItCannotUse) {
    const std::string head = "project p web\nfigure 0 0 1\ncategory c\n";
    const char* bad[] = {
        "item a a.svg 45 n c\n",               // no price
        "item a a.svg 0 n c 1\n",              // slot 0 is never shown
        "item a a.svg 100 n c 1\n",            // past the slots in use
        "item a a.svg 45 n c 1 link extra\n",  // one field too many
        "colour red\n",
        "figure 0 0 0\n",
        "item a a.svg 45 n c 1\nvoice b b.wav 你好\n",     // a voice for no item
        "item a a.svg 45 n c 1\nvoice a a.wav\n",          // nothing to say
        "item a a.svg 45 n c 1\nvoice a ../a.wav 你好\n",  // not a plain name
        "item a a.svg 45 n c 1\nvoice a a.mp3 你好\n",     // spoken voices are WAV files
        "voice a a.wav 你好\n",                             // before its item
    };
    for (const char* line : bad) {
        SCOPED_TRACE(line);
        std::istringstream in(head + line);
        EXPECT_THROW(ReadDemoProject(in), std::runtime_error);
    }
    for (const char* text : {"project p basic\nfigure 0 0 1\nitem a a.svg 45 n c 1\n",  // before any category
                             "figure 0 0 1\ncategory c\n",                              // no project
                             "project p basic\ncategory c\n",                           // no figure
                             "project p other\nfigure 0 0 1\n"}) {
        SCOPED_TRACE(text);
        std::istringstream in(text);
        EXPECT_THROW(ReadDemoProject(in), std::runtime_error);
    }
}

TEST(DemoDescription, StoredCornerIsTheCornerOfTheSquareBox) {
    struct Case {
        int left, top, w, h;
        demo::Corner stored;
    };
    const Case cases[] = {
        {100, 50, 40, 100, {70, 50}},   // tall: the box reaches 30 further left
        {100, 50, 100, 41, {100, 21}},  // wide: 29 higher (59 / 2)
        {100, 50, 60, 60, {100, 50}},   // square
    };
    for (const auto& c : cases) {
        EXPECT_EQ(demo::StoredCorner(c.left, c.top, c.w, c.h), c.stored);
        EXPECT_EQ(demo::PictureCorner(c.stored.x, c.stored.y, c.w, c.h), (demo::Corner{c.left, c.top}));
    }
}

TEST(DemoDescription, StageCoordinateScalesTheOriginAndRounds) {
    EXPECT_EQ(StageCoordinate(104, 57, 1.0f), 161);
    EXPECT_EQ(StageCoordinate(129, 57, 0.8f), 175);   // 45.6 -> 46
    EXPECT_EQ(StageCoordinate(129, -5, 0.8f), 125);   // -4 -> -4
    EXPECT_EQ(StageCoordinate(113, 205, 0.8f), 277);  // 164
}
