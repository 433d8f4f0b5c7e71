// Our own popup menu's model: item sizes, keyboard and mouse rules.
#include <gtest/gtest.h>

#include "platform/popup_menu_model.h"

namespace {

using platform::PopupItem;
using platform::PopupKey;
using platform::PopupMenuModel;

// Every character 7 pixels wide, 13 high.
std::pair<int, int> Mono(const std::string& s) { return {7 * static_cast<int>(s.size()), 13}; }

PopupItem Item(int id, std::string text, bool enabled = true) {
    PopupItem p;
    p.id = id;
    p.text = std::move(text);
    p.enabled = enabled;
    return p;
}

TEST(PopupMenuModel, ItemsAreMeasuredAndStacked) {
    PopupMenuModel m({Item(1, "Open\tCtrl+O"), PopupItem{}, Item(2, "")});
    m.Layout(Mono);
    // "Open" + tab to column 8 + "Ctrl+O": 14 columns; height max(20 + 5, 13).
    EXPECT_EQ(m.ItemRect(0).height, 25);
    const int textWidth = 7 * 14;
    EXPECT_EQ(m.ItemRect(0).width, textWidth + 17 + 25);
    EXPECT_EQ(m.ItemRect(1).height, 6);   // separator
    EXPECT_EQ(m.ItemRect(2).height, 25);  // no text: icon height + 5
    EXPECT_EQ(m.ItemRect(1).y, PopupMenuModel::kFrame + 25);
    EXPECT_EQ(m.height(), 25 + 6 + 25 + 2 * PopupMenuModel::kFrame);
    EXPECT_EQ(m.HitTest(10, PopupMenuModel::kFrame + 30), 1);
}

TEST(PopupMenuModel, KeysSkipSeparatorsAndDisabledItemsAndWrap) {
    PopupMenuModel m({Item(10, "&Stop"), PopupItem{}, Item(11, "Grey", false), Item(12, "Go on"), Item(13, "Left")});
    m.Layout(Mono);
    struct Step {
        PopupKey key;
        char32_t ch;
        int highlighted;
    } steps[] = {
        {PopupKey::Down, 0, 0}, {PopupKey::Down, 0, 3}, {PopupKey::Down, 0, 4}, {PopupKey::Down, 0, 0},
        {PopupKey::Up, 0, 4},   {PopupKey::Home, 0, 0}, {PopupKey::End, 0, 4},  {PopupKey::Char, U'g', 3},
    };
    for (const Step& s : steps) {
        m.Key(s.key, s.ch);
        EXPECT_EQ(m.highlighted(), s.highlighted);
    }
    EXPECT_FALSE(m.finished());
    m.Key(PopupKey::Enter);
    EXPECT_TRUE(m.finished());
    EXPECT_EQ(m.chosen(), 12);
}

TEST(PopupMenuModel, MnemonicsChooseEscapeAndOutsideClicksCancel) {
    PopupMenuModel m({Item(10, "&Stop"), Item(11, "Go")});
    m.Layout(Mono);
    m.Key(PopupKey::Char, U'S');
    EXPECT_EQ(m.chosen(), 10);
    m.SetItems({Item(10, "Stop"), Item(11, "Go")});
    m.Layout(Mono);
    m.Key(PopupKey::Escape);
    EXPECT_TRUE(m.finished());
    EXPECT_EQ(m.chosen(), 0);
    m.SetItems({Item(10, "Stop"), Item(11, "Go", false)});
    m.Layout(Mono);
    m.MouseUp(5, m.ItemRect(1).y + 2);  // a disabled item is not chosen
    EXPECT_FALSE(m.finished());
    m.MouseUp(-3, 4);  // the release of the click that opened the menu
    EXPECT_FALSE(m.finished());
    m.MouseDown(5, 3);  // a press in the menu, released outside it
    m.MouseUp(-3, 4);
    EXPECT_TRUE(m.finished());
    EXPECT_EQ(m.chosen(), 0);
    m.SetItems({Item(10, "Stop")});
    m.Layout(Mono);
    m.MouseDown(-3, 4);  // a press outside
    EXPECT_TRUE(m.finished());
    EXPECT_EQ(m.chosen(), 0);
}

TEST(PopupMenuModel, APopupAsksForItsSubmenuAndASubmenuClosesBack) {
    PopupItem more = Item(-1, "More");
    more.children = {Item(7, "Seven")};
    PopupMenuModel m({Item(1, "One"), more});
    m.Layout(Mono);
    EXPECT_FALSE(m.Key(PopupKey::Left));   // the outer level has nothing to go back to
    m.Key(PopupKey::Down);
    EXPECT_FALSE(m.Key(PopupKey::Right));  // a plain item has no sub-menu
    m.Key(PopupKey::Down);
    m.Key(PopupKey::Enter);
    EXPECT_FALSE(m.finished());
    EXPECT_EQ(m.openRequest(), 1);
    m.ClearOpenRequest();
    m.Key(PopupKey::Right);
    EXPECT_EQ(m.openRequest(), 1);
    m.ClearOpenRequest();
    m.MouseUp(5, m.ItemRect(1).y + 2);  // a click opens it too
    EXPECT_EQ(m.openRequest(), 1);
    m.ChooseFromSubmenu(7);
    EXPECT_TRUE(m.finished());
    EXPECT_EQ(m.chosen(), 7);

    // In the sub-menu: Left and Escape close only it, a press outside ends all.
    for (PopupKey key : {PopupKey::Left, PopupKey::Escape}) {
        PopupMenuModel sub(more.children);
        sub.SetNested(true);
        sub.Layout(Mono);
        EXPECT_TRUE(sub.Key(key));
        EXPECT_TRUE(sub.finished());
        EXPECT_TRUE(sub.closedBack());
    }
    PopupMenuModel sub(more.children);
    sub.SetNested(true);
    sub.Layout(Mono);
    sub.MouseDown(-5, 3);
    EXPECT_TRUE(sub.finished());
    EXPECT_FALSE(sub.closedBack());
}

}  // namespace

TEST(PopupMenuModel, ADropDownOfAMenuBarLeavesForItsNeighbours) {
    PopupItem more = Item(-1, "More");
    more.children = {Item(7, "Seven")};
    auto dropDown = [&] {
        PopupMenuModel m({Item(1, "One"), more});
        m.SetInMenuBar(true);
        m.Layout(Mono);
        return m;
    };
    PopupMenuModel left = dropDown();
    EXPECT_TRUE(left.Key(PopupKey::Left));
    EXPECT_TRUE(left.finished());
    EXPECT_EQ(left.chosen(), 0);
    EXPECT_EQ(left.barStep(), -1);
    // Right on a command goes to the next drop-down, on a pop-up it opens the sub-menu.
    PopupMenuModel right = dropDown();
    right.Key(PopupKey::Down);
    EXPECT_TRUE(right.Key(PopupKey::Right));
    EXPECT_EQ(right.barStep(), +1);
    PopupMenuModel sub = dropDown();
    sub.Key(PopupKey::End);
    EXPECT_TRUE(sub.Key(PopupKey::Right));
    EXPECT_FALSE(sub.finished());
    EXPECT_EQ(sub.openRequest(), 1);
    // In the sub-menu Left closes that level only; Right on a command moves on.
    PopupMenuModel nested(more.children);
    nested.SetNested(true);
    nested.SetInMenuBar(true);
    nested.Layout(Mono);
    nested.Key(PopupKey::Down);
    EXPECT_TRUE(nested.Key(PopupKey::Right));
    EXPECT_EQ(nested.barStep(), +1);
    // Escape closes the drop-down without a move.
    PopupMenuModel escape = dropDown();
    escape.Key(PopupKey::Escape);
    EXPECT_TRUE(escape.finished());
    EXPECT_EQ(escape.barStep(), 0);
    EXPECT_EQ(escape.barEntry(), PopupMenuModel::kNone);
}
