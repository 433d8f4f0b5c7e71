// The picture toolbar's tips as a user meets them in the fitting room: the
// pointer moved onto buttons through the X server, and what the X server
// then shows: the tip's window mapped with the button's own text and width,
// 48 pixels below the pointer by the tip's rule, and gone after its ticks.
// Screenshot: screens/fitting-room-tip.png.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fitting_room/dress_child_frame.h"
#include "fitting_room/dress_toolbar.h"
#include "fitting_room/dress_view.h"
#include "shell/main_frame.h"
#include "tests/controls/tip_on_screen.h"
#include "tests/fitting_room/window/fitting_room_in_client.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/window_test_util.h"
#include "tests/support/x_window_state.h"

using namespace fitting_room;

namespace {

class ToolbarTipWindowTest : public fittingtest::FittingRoomInClient {
protected:
    void SetUp() override {
        OpenRoom("服饰搭配sysproj/DressTBAR_PHOTO.png");
        if (HasFatalFailure()) return;
        // The user's program is the active one, as after a click on its
        // title bar; none of the room's windows has taken the focus.
        testsupport::GiveKeyboardTo(frame);
        ASSERT_TRUE(testsupport::DeliverUntil([&] { return frame->IsActive(); }));
        // The pointer starts in the room, wherever an earlier test left it.
        testsupport::XPointTo(room->view());
        ASSERT_TRUE(tiptest::XHidesTip(bar->tip()));
    }
    void TearDown() override { CloseRoom(); }
    // The pointer moves onto a button, the way it arrives from the room below.
    wxPoint Hover(int id) {
        const wxPoint at = bar->ButtonCentre(id);
        EXPECT_EQ(bar->ButtonAt(at), id);
        testsupport::XPointTo(bar, at);
        return at;
    }
    wxRect TipPlace(wxPoint pointer, const std::string& text) {
        return tiptest::ExpectedScreenRect(bar, pointer.x, pointer.y + 48, text);
    }
    // Waits until the tip goes; false when it went before its fourth tick.
    ::testing::AssertionResult GoesAfterItsTicks() {
        const int ticksWhenGone = tiptest::TicksWhenXHides(bar->tip());
        if (ticksWhenGone == -1) return ::testing::AssertionFailure() << "the tip never went";
        if (ticksWhenGone != 4) return ::testing::AssertionFailure() << "the tip went on tick " << ticksWhenGone;
        return ::testing::AssertionSuccess();
    }
};

TEST_F(ToolbarTipWindowTest, EachButtonShowsItsOwnTipBelowThePointerUntilItsTicksEnd) {
    struct Case {
        int id;
        std::string text;
    };
    const Case cases[] = {{kBtnPhoto, "导入照片"}, {kBtnWeb, "网上查看或购物"}, {kBtnModel, "隐藏或显示出模特"}};
    int lastWidth = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const wxPoint at = Hover(c.id);
        const wxRect place = TipPlace(at, c.text);
        ASSERT_TRUE(tiptest::XShowsTip(bar->tip(), c.text, place));
        EXPECT_GT(place.width, lastWidth);  // longer texts, wider tips
        lastWidth = place.width;
        if (c.id == kBtnWeb) {
            testsupport::PumpEvents(100);
            EXPECT_TRUE(testsupport::SaveWindowScreenshot(frame, testsupport::Screen("fitting-room-tip.png")));
        }
        // The pointer rests on the button: the tip goes on its fourth tick.
        EXPECT_TRUE(GoesAfterItsTicks());
    }

    // From one button straight to the next while its tip is up: the tip
    // moves there with the new text.
    const wxPoint photo = Hover(kBtnPhoto);
    ASSERT_TRUE(tiptest::XShowsTip(bar->tip(), "导入照片", TipPlace(photo, "导入照片")));
    const wxPoint web = Hover(kBtnWeb);
    EXPECT_TRUE(tiptest::XShowsTip(bar->tip(), "网上查看或购物", TipPlace(web, "网上查看或购物")));

    // Down into the room and back: the same button shows its tip again.
    testsupport::XPointTo(room->view());
    EXPECT_TRUE(tiptest::XHidesTip(bar->tip(), 3000));
    Hover(kBtnWeb);
    EXPECT_TRUE(tiptest::XShowsTip(bar->tip(), "网上查看或购物", TipPlace(web, "网上查看或购物")));
}

// Over a button without a tip (a category) the bar forgets the last tip: the
// next hover of the same button shows it again. While another program has
// the keyboard a hover shows none.
TEST_F(ToolbarTipWindowTest, NoTipOverACategoryNorWhileAnotherProgramIsActive) {
    const wxPoint model = Hover(kBtnModel);
    ASSERT_TRUE(tiptest::XShowsTip(bar->tip(), "隐藏或显示出模特", TipPlace(model, "隐藏或显示出模特")));
    Hover(kBtnMens);
    EXPECT_TRUE(tiptest::XHidesTip(bar->tip(), 3000));
    Hover(kBtnModel);
    EXPECT_TRUE(tiptest::XShowsTip(bar->tip(), "隐藏或显示出模特", TipPlace(model, "隐藏或显示出模特")));
    EXPECT_TRUE(GoesAfterItsTicks());

    testsupport::ForeignFocusWindow other;
    ASSERT_TRUE(other.ok());
    ASSERT_TRUE(testsupport::DeliverUntil([&] { return !frame->IsActive(); }));
    // Once the bar has had the pointer, no tip may come.
    auto arrived = std::make_shared<bool>(false);
    auto seen = [arrived](wxMouseEvent& e) {
        *arrived = true;
        e.Skip();
    };
    bar->Bind(wxEVT_MOTION, seen);
    bar->Bind(wxEVT_ENTER_WINDOW, seen);
    Hover(kBtnPhoto);
    ASSERT_TRUE(testsupport::DeliverUntil([&] { return *arrived; }));
    testsupport::DeliverEvents(300);
    EXPECT_FALSE(testsupport::XStateOf(bar->tip().window()).viewable);
    EXPECT_FALSE(bar->tip().IsShown());
}

}  // namespace
