// The owner-drawn menu's description: a menu resource walked into nested
// levels, the toolbar pictures matched by command id, and the look chosen by
// the switches.
#include <gtest/gtest.h>

#include "controls/dt_menu_model.h"

using namespace controls;

namespace {

// A menu of the resource's shape: two top pop-ups, the first with a nested
// pop-up in the middle and one after its last command.
MenuTemplate NestedMenu() {
    return {
        {kMfPopup, 0, "文件(&F)"},
        {0, 100, "新建(&N)"},
        {kMfPopup, 0, "最近(&R)"},
        {0, 110, "一"},
        {kMfPopup | kMfEnd, 0, "更多"},
        {kMfEnd, 120, "二"},
        {0, 0, ""},
        {kMfGrayed, 101, "打开"},
        {kMfPopup | kMfEnd, 0, "尾"},
        {kMfEnd, 130, "三"},
        {kMfPopup | kMfEnd, 0, "帮助(&H)"},
        {kMfEnd, 200, "关于"},
    };
}

std::string Outline(const DTMenuModel& m) {
    std::string out;
    m.ForEach([&](const DTMenuNode& n, int depth) {
        out += std::string(static_cast<std::size_t>(depth) * 2, ' ');
        if (n.separator) out += "---";
        else if (n.popup) out += n.data.text + ">";
        else out += n.data.text + "=" + std::to_string(n.data.id);
        if (n.data.bitmapIndex >= 0) out += " [" + std::to_string(n.data.bitmapIndex) + "]";
        if (!n.ownerDrawn) out += " (bar)";
        out += "\n";
    });
    return out;
}

TEST(DTMenuModel, WalksNestedPopupsAndSeparators) {
    DTMenuModel m;
    ASSERT_TRUE(m.LoadMenu(NestedMenu()));
    EXPECT_EQ(Outline(m),
              "文件(&F)> (bar)\n"
              "  新建(&N)=100\n"
              "  最近(&R)>\n"
              "    一=110\n"
              "    更多>\n"
              "      二=120\n"
              "  ---\n"
              "  打开=101\n"
              "  尾>\n"
              "    三=130\n"
              "帮助(&H)> (bar)\n"
              "  关于=200\n");
    EXPECT_EQ(m.Find(101)->data.flags & kMfGrayed, kMfGrayed);
    EXPECT_FALSE(m.Contains(0));  // separators are no command
}

TEST(DTMenuModel, RefusesTemplatesThatDoNotCloseTheirLevels) {
    DTMenuModel m;
    ASSERT_TRUE(m.LoadMenu(NestedMenu()));
    MenuTemplate open = NestedMenu();
    open.back().flags = 0;  // the help pop-up never ends
    EXPECT_FALSE(m.LoadMenu(open));
    MenuTemplate extra = NestedMenu();
    extra.push_back({0, 300, "多余"});  // after the menu's end
    EXPECT_FALSE(m.LoadMenu(extra));
    EXPECT_FALSE(m.LoadMenu(987654));  // no such resource
}

TEST(DTMenuModel, CommandsBorrowTheirToolbarPictures) {
    RegisterMenuResource(9001, NestedMenu());
    // Toolbar: 100, separator, 999 (not in the menu), 200, 130.
    RegisterToolbarResource(9001, ToolbarResource{77, 16, 15, {100, 0, 999, 200, 130}});
    RegisterToolbarResource(9002, ToolbarResource{78, 16, 15, {101}});
    DTMenuModel m;
    ASSERT_TRUE(m.LoadMenu(9001));
    EXPECT_FALSE(m.LoadToolbars({9001, 424242, 9002}));  // one toolbar is missing
    EXPECT_EQ(m.Find(100)->data.bitmapIndex, 0);
    EXPECT_EQ(m.Find(200)->data.bitmapIndex, 1);
    EXPECT_EQ(m.Find(130)->data.bitmapIndex, 2);
    EXPECT_EQ(m.Find(101)->data.bitmapIndex, 3);  // from the later toolbar
    EXPECT_EQ(m.Find(110)->data.bitmapIndex, -1);  // on no toolbar
    ASSERT_EQ(m.images().size(), 4u);
    // Button images count only buttons: 999 took image 1, so 200 is image 2.
    EXPECT_EQ(m.images()[0], (MenuImage{77, 0, 16, 15}));
    EXPECT_EQ(m.images()[1], (MenuImage{77, 2, 16, 15}));
    EXPECT_EQ(m.images()[2], (MenuImage{77, 3, 16, 15}));
    EXPECT_EQ(m.images()[3], (MenuImage{78, 0, 16, 15}));
    m.DestroyMenu();
    EXPECT_TRUE(m.top().empty());
    EXPECT_TRUE(m.images().empty());
}

// What the drop-downs measure and show is checked on the screen
// (tests/controls/dt_menu_window_test.cpp); here the choice of the look.
TEST(DTMenuModel, TheSwitchThatAppliesChoosesTheLook) {
    struct Case {
        int osKind;
        bool classicTheme, palette;
        int newer, others;
        bool xp;
    };
    const Case cases[] = {
        {kOsKindXp, false, false, 1, 0, true},   // XP, its newer theme: the newer theme's switch
        {kOsKindXp, false, false, 0, 1, false},
        {kOsKindXp, true, false, 0, 1, true},    // XP's classic theme: the other systems' switch
        {kOsKindXp, true, false, 1, 1, true},    // the main frame sets both
        {kOsKindXp, true, false, 1, 0, false},
        {6, false, false, 1, 0, false},          // Windows 2000
        {6, false, false, 0, 1, true},
        {kOsKindXp, false, true, 1, 1, false},   // 256 colours or fewer: always classic
    };
    for (const Case& c : cases)
        EXPECT_EQ(UsesXpLook(c.osKind, c.classicTheme, c.palette, c.newer, c.others), c.xp)
            << c.osKind << " " << c.classicTheme << " " << c.palette << " " << c.newer << c.others;
}

}  // namespace
