// The market view's menu: buttons and their pictures, the layout cycle, the
// custom project through the chooser, garment picks, and the geometry of the
// order form's pictures.
#include <gtest/gtest.h>

#include <filesystem>

#include "fitting_room/garment_pic_list.h"
#include "measure_market/market_menu.h"
#include "tests/support/fixture_paths.h"

using namespace measure_market;
using fitting_room::Point;
using fitting_room::Rect;
namespace fs = std::filesystem;

namespace {

TEST(MarketMenu, ButtonsAndTheirPictures) {
    MarketMenu m;
    const auto& b = m.buttons();
    EXPECT_EQ(MenuPictureFile(b[0]), "marketMnu_man(no).png");
    EXPECT_EQ(MenuPictureFile(b[1]), "marketMnu_woman.png");
    EXPECT_EQ(MenuPictureFile(b[4]), "marketMnu_face.png");
    EXPECT_EQ(m.HitButton({5, 2}), kMenuMan);
    EXPECT_EQ(m.HitButton({90, 40}), kMenuFace);
    EXPECT_EQ(m.HitButton({165, 39}), 0);
    m.SetButtonSize(2, 10, 10);
    EXPECT_EQ(m.HitButton({176, 5}), 0);
    EXPECT_EQ(m.HitButton({174, 5}), kMenuChild);
}

TEST(MarketMenu, LayoutPressesCycleModeAndScheme) {
    MarketMenu m;
    fitting_room::CGarmentPicList list;
    const Point face{100, 50};
    const std::pair<int, int> expected[] = {{2, 101}, {1, 102}, {2, 102}, {1, 101}, {2, 101}};
    for (const auto& [mode, scheme] : expected) {
        const MarketClick c = m.Click(face, list, nullptr, 0, 0);
        EXPECT_TRUE(c.repaint);
        EXPECT_EQ(list.layoutMode(), mode);
        EXPECT_EQ(list.GetOption(), scheme);
    }
    EXPECT_EQ(m.buttons()[4].selected, 'Y');
}

// The demo base directory holds the basic and web projects.
class MarketMenuOnDemo : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "服饰搭配基本项目/女装.dm3"));
        MarketMenu::SetUpList(list, testsupport::DemoBase());
        list.SetClientRect(0, kMenuStripHeight, 900, 700);
        list.Relayout();
    }
    fitting_room::CGarmentPicList list;
    MarketMenu menu;
    int chooserRuns = 0;
    fitting_room::ChooserRunner chooser = [this](fitting_room::ChooserMode mode, int, int) {
        EXPECT_EQ(mode, fitting_room::ChooserMode::Market);
        ++chooserRuns;
        fitting_room::ChooserResult r;
        r.outcome = fitting_room::ChooserOutcome::Project;
        r.name = "春夏通勤搭配";
        return r;
    };
};

TEST_F(MarketMenuOnDemo, BasicProjectsLoadEveryTime) {
    EXPECT_EQ(list.basicProjectShown(), "女装");
    for (int i = 0; i < 2; ++i) {
        menu.Click({10, 10}, list, chooser, 0, 0);
        EXPECT_EQ(list.basicProjectShown(), "男装");
    }
    EXPECT_EQ(menu.buttons()[0].selected, 'Y');
    EXPECT_EQ(menu.buttons()[1].selected, 'n');
    EXPECT_EQ(menu.lastCommand(), kMenuMan);
    menu.Click({170, 10}, list, chooser, 0, 0);
    EXPECT_EQ(list.basicProjectShown(), "童装");
    EXPECT_EQ(chooserRuns, 0);
}

TEST_F(MarketMenuOnDemo, TheCustomProjectAsksThroughTheChooserWhenAskedAgain) {
    // No web project yet: the chooser opens at once.
    menu.Click({10, 45}, list, chooser, 0, 0);
    EXPECT_EQ(chooserRuns, 1);
    EXPECT_EQ(list.projectName(), "春夏通勤搭配");
    EXPECT_EQ(list.IsProjectLoaded(), 1);
    EXPECT_TRUE(list.basicProjectShown().empty());
    menu.Click({10, 10}, list, chooser, 0, 0);  // 男装
    // Once: the known web project loads directly; twice: the chooser opens.
    menu.Click({10, 45}, list, chooser, 0, 0);
    EXPECT_EQ(chooserRuns, 1);
    EXPECT_TRUE(list.basicProjectShown().empty());
    menu.Click({10, 45}, list, chooser, 0, 0);
    EXPECT_EQ(chooserRuns, 2);
    EXPECT_EQ(menu.buttons()[3].selected, 'Y');
}

TEST_F(MarketMenuOnDemo, AGarmentPickAsksForTheFormOnly) {
    const auto plan = list.PagePlan();
    ASSERT_FALSE(plan.empty());
    ASSERT_FALSE(plan[0].cells.empty());
    const Rect hit = plan[0].cells[0].hit;
    const MarketClick c = menu.Click({hit.left + 5, hit.top + 5}, list, chooser, 0, 0);
    EXPECT_TRUE(fitting_room::IsItemHit(c.hitCode));
    EXPECT_TRUE(c.storeRequest);
    fitting_room::CurrentItemFields fields;
    EXPECT_GT(list.GetCurrentItemFields(&fields), 0);
    EXPECT_FALSE(fields.name.empty());
    // Empty space below the list: nothing is sent.
    const MarketClick none = menu.Click({899, 699}, list, chooser, 0, 0);
    EXPECT_FALSE(none.storeRequest);
}

TEST(MarketGeometry, OrderChartAndFittedPictures) {
    const ChartCells c = LayOutChart(Rect::FromSize(0, 0, 230, 160));
    EXPECT_EQ(c.columns, 3);
    EXPECT_EQ(c.rows, 2);
    EXPECT_EQ(c.origin, (Point{1, 4}));
    EXPECT_EQ(c.Square(0), Rect::FromSize(4, 7, 70, 70));
    EXPECT_EQ(c.Square(4), Rect::FromSize(4 + 76, 7 + 76, 70, 70));
    EXPECT_EQ(LayOutChart(Rect::FromSize(0, 0, 70, 70)).columns, 0);

    // Never enlarged, centred; shrunk to the tighter side.
    EXPECT_EQ(FitCentred(Rect::FromSize(0, 0, 70, 70), 20, 10), Rect::FromSize(25, 30, 20, 10));
    EXPECT_EQ(FitCentred(Rect::FromSize(10, 10, 70, 70), 140, 70), Rect::FromSize(10, 27, 70, 35));
    EXPECT_TRUE(FitCentred(Rect::FromSize(0, 0, 70, 70), 0, 10).empty());
}

TEST(ReferencePicture, DensityCountsOnlyWithAUnitAndTheScreenCaps) {
    struct Case {
        const char* what;
        int w, h;
        PictureResolution res;
        int screenW, screenH;
        PictureExtent expect;
    };
    const Case cases[] = {
        {"96 per inch", 400, 200, {96, 96, DensityUnit::PerInch}, 1600, 1000, {480, 240}},
        {"192 per inch", 400, 200, {192, 192, DensityUnit::PerInch}, 1600, 1000, {240, 120}},
        {"per centimetre", 254, 254, {100, 100, DensityUnit::PerCentimetre}, 1600, 1000, {115, 115}},
        // JFIF 1:1 without a unit is an aspect ratio, not 1 dot per inch.
        {"1:1, no unit", 640, 400, {1, 1, DensityUnit::None}, 1600, 1000, {768, 480}},
        {"no density", 640, 400, {0, 0, DensityUnit::PerInch}, 1600, 1000, {768, 480}},
        {"1 per inch, capped", 640, 400, {1, 1, DensityUnit::PerInch}, 1600, 1000, {1600, 1000}},
        {"capped, aspect kept", 2000, 500, {96, 96, DensityUnit::PerInch}, 1600, 1000, {1600, 400}},
        {"no pixels", 0, 400, {}, 1600, 1000, {}},
        {"no screen", 640, 400, {}, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PictureExtent e = ReferencePictureSize(c.w, c.h, c.res, 96, 96, c.screenW, c.screenH);
        EXPECT_NEAR(e.width, c.expect.width, 1);
        EXPECT_NEAR(e.height, c.expect.height, 1);
    }
}

}  // namespace
