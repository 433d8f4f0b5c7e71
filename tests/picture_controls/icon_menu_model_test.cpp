// The icon menu's bookkeeping: picture indices from a toolbar with gaps, the
// records of a converted menu, texts cut to their field; and the embossed
// form of a disabled item's picture.
#include <gtest/gtest.h>

#include "picture_controls/icon_menu_model.h"
#include "picture_controls/icon_menu_picture.h"
#include "platform/text.h"

namespace {

using picture_controls::IconMenuModel;
using picture_controls::IconMenuRecord;
using picture_controls::MenuNode;

MenuNode Cmd(int id, std::string text) {
    MenuNode n;
    n.id = id;
    n.text = std::move(text);
    return n;
}

TEST(IconMenuModel, AToolbarWithGapsGivesConsecutiveIndices) {
    IconMenuModel m;
    m.LoadToolbar({32789, 0, 32790, 0, 0, 32799});
    EXPECT_EQ(m.ImageFor(32789), 0);
    EXPECT_EQ(m.ImageFor(32790), 1);
    EXPECT_EQ(m.ImageFor(32799), 2);
    EXPECT_EQ(m.ImageFor(32800), -1);  // no button: no picture
}

TEST(IconMenuModel, MakeOwnerDrawRecordsItemsSeparatorsAndPopups) {
    IconMenuModel m;
    m.LoadToolbar({32789});
    MenuNode sub;
    sub.text = "放大窗口";
    MenuNode inner;
    inner.text = "更多";
    inner.children = {Cmd(7, "七")};
    sub.children = {Cmd(32799, "左移"), MenuNode{}, Cmd(32800, "右移\tCtrl+R"), inner};
    std::vector<MenuNode> menu{Cmd(32789, "终止化装操作"), sub};
    m.MakeOwnerDraw(menu);
    // Last first; a pop-up's children before the pop-up itself; the pop-ups
    // of the top level stay as they are.
    std::vector<int> commands;
    for (const IconMenuRecord& r : m.records()) commands.push_back(r.command);
    EXPECT_EQ(commands, (std::vector<int>{7, IconMenuRecord::kTopPopup, 32800, IconMenuRecord::kSeparator, 32799,
                                          32789}));
    EXPECT_EQ(m.records()[3].text, "--");
    EXPECT_EQ(m.records()[5].image, 0);
    EXPECT_EQ(m.records()[4].image, -1);
    // Converting again changes nothing.
    m.MakeOwnerDraw(menu);
    EXPECT_EQ(m.records().size(), 6u);
    const auto items = m.PopupItems(menu);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].image, 0);
    // The pop-up carries its sub-menu, and the sub-menu's pop-up its own,
    // each with the marker its record has.
    ASSERT_TRUE(items[1].popup());
    EXPECT_TRUE(items[1].enabled);
    ASSERT_EQ(items[1].children.size(), 4u);
    EXPECT_TRUE(items[1].children[1].separator());
    EXPECT_EQ(items[1].children[2].image, -1);
    const auto& more = items[1].children[3];
    EXPECT_EQ(more.id, IconMenuRecord::kTopPopup);
    ASSERT_EQ(more.children.size(), 1u);
    EXPECT_EQ(more.children[0].id, 7);
}

TEST(IconMenuModel, TextsAreCutToTheFieldOnACharacterBoundary) {
    std::string longText = "A";
    for (int i = 0; i < 100; ++i) longText += "装";  // 1 + 200 GBK bytes
    const std::string cut = IconMenuModel::CutItemText(longText);
    EXPECT_EQ(platform::GbkLength(cut), 127u);  // "A" and 63 whole characters
    EXPECT_EQ(cut.substr(0, 1), "A");
    EXPECT_EQ(IconMenuModel::CutItemText("继续操作,..."), "继续操作,...");
}

TEST(IconMenuPicture, ADisabledPictureIsItsShapeEmbossedInLightAndShade) {
    // '#' dark red, 'w' white, '.' transparent; out: 's' shade, 'l' light.
    const std::vector<std::string> in = {"....", ".##w", ".#w.", "...."};
    std::vector<std::uint32_t> argb;
    for (const auto& row : in)
        for (char c : row) argb.push_back(c == '#' ? 0xFFC02020u : c == 'w' ? 0xFFF8F8F8u : 0x00C0C0C0u);
    const auto out = picture_controls::EmbossPicture(argb, 4, 4, 0xFFFFFF, 0x808080);
    ASSERT_EQ(out.size(), 16u);
    std::string got;
    for (std::size_t i = 0; i < out.size(); ++i) {
        got += out[i] == 0xFF808080u ? 's' : out[i] == 0xFFFFFFFFu ? 'l' : out[i] == 0 ? '.' : '?';
        if (i % 4 == 3) got += '\n';
    }
    // The shape in place, its light copy one pixel right of and below it
    // where the shape does not cover it; white and transparent pixels are no
    // part of the shape.
    EXPECT_EQ(got, "....\n.ss.\n.sll\n..l.\n");
    EXPECT_TRUE(picture_controls::EmbossPicture(argb, 5, 4, 0xFFFFFF, 0x808080).empty());  // too few pixels
}

// The command-UI walk: every command item is asked, last first and the
// sub-menus with them; what the target sets sticks, what it leaves stays.
TEST(IconMenuModel, UpdateMenuUIAsksEveryCommandLastFirstIntoSubMenus) {
    MenuNode inner;
    inner.text = "更多";
    inner.children = {Cmd(5, "五"), Cmd(6, "六")};
    MenuNode sub;
    sub.text = "放大窗口";
    sub.children = {Cmd(3, "三"), MenuNode{}, inner};
    std::vector<MenuNode> menu{Cmd(1, "一"), Cmd(2, "二"), sub, Cmd(4, "四")};
    menu[1].checked = true;
    std::vector<int> asked;
    IconMenuModel::UpdateMenuUI(menu, [&](int id, bool& enabled, bool& checked) {
        asked.push_back(id);
        if (id == 6) enabled = false;
        if (id == 1) checked = true;
    });
    EXPECT_EQ(asked, (std::vector<int>{4, 6, 5, 3, 2, 1}));
    EXPECT_FALSE(menu[2].children[2].children[1].enabled);
    EXPECT_TRUE(menu[2].children[2].children[0].enabled);
    EXPECT_TRUE(menu[0].checked);
    EXPECT_TRUE(menu[1].checked);  // not answered: kept
    EXPECT_TRUE(menu[2].enabled);  // the pop-up itself is not asked
}

}  // namespace
